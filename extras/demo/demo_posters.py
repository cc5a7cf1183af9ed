"""Poster pictures for the demo catalogue, drawn as SVG text: a colour gradient, a motif that
hints at the item (stars, waves, a skyline, mountains, sound bars, a stack of episodes) and the
title."""

import html
import random

WIDTH, HEIGHT = 300, 420


def _stars(rng, colour):
    dots = []
    for _ in range(60):
        x, y, r = rng.uniform(0, WIDTH), rng.uniform(0, HEIGHT * 0.7), rng.uniform(0.6, 2.2)
        dots.append('<circle cx="%.1f" cy="%.1f" r="%.1f" fill="%s" opacity="%.2f"/>'
                    % (x, y, r, colour, rng.uniform(0.4, 1)))
    dots.append('<path d="M-20 300 Q150 180 320 260" stroke="%s" stroke-width="3" fill="none" '
                'opacity=".7"/>' % colour)
    dots.append('<rect x="70" y="238" width="120" height="26" rx="8" fill="%s" opacity=".85"/>'
                % colour)
    return "".join(dots)


def _waves(rng, colour):
    paths = []
    for i in range(6):
        y = 190 + i * 26
        paths.append('<path d="M0 %d C75 %d 150 %d 225 %d S300 %d 300 %d V420 H0Z" fill="%s" '
                     'opacity="%.2f"/>' % (y, y - 22, y + 22, y, y - 10, y, colour, 0.12 + i * 0.1))
    paths.append('<circle cx="220" cy="90" r="34" fill="%s" opacity=".8"/>' % colour)
    return "".join(paths)


def _skyline(rng, colour):
    shapes, x = [], 0
    while x < WIDTH:
        w, h = rng.randint(22, 46), rng.randint(90, 260)
        shapes.append('<rect x="%d" y="%d" width="%d" height="%d" fill="%s" opacity=".55"/>'
                      % (x, 330 - h, w - 3, h, colour))
        for wy in range(330 - h + 10, 320, 18):
            for wx in range(x + 5, x + w - 8, 10):
                if rng.random() < 0.45:
                    shapes.append('<rect x="%d" y="%d" width="4" height="7" fill="#ffe9a8" '
                                  'opacity=".8"/>' % (wx, wy))
        x += w
    return "".join(shapes)


def _mountains(rng, colour):
    return ('<path d="M0 330 L70 170 L120 240 L190 110 L300 300 V420 H0Z" fill="%s" opacity=".45"/>'
            '<path d="M0 360 L90 240 L160 300 L240 200 L300 260 V420 H0Z" fill="%s" opacity=".7"/>'
            '<path d="M175 125 L190 110 L206 132 Z" fill="#fff" opacity=".9"/>'
            '<circle cx="70" cy="80" r="26" fill="#fff6d5" opacity=".85"/>' % (colour, colour))


def _sound(rng, colour):
    bars = []
    for i in range(16):
        h = rng.randint(30, 190)
        bars.append('<rect x="%d" y="%d" width="11" height="%d" rx="5" fill="%s" opacity=".8"/>'
                    % (22 + i * 16, 250 - h // 2, h, colour))
    return "".join(bars)


def _stack(rng, colour):
    cards = []
    for i in range(4):
        cards.append('<rect x="%d" y="%d" width="170" height="110" rx="10" fill="%s" '
                     'opacity="%.2f" stroke="#fff" stroke-opacity=".3"/>'
                     % (50 + i * 14, 90 + i * 40, colour, 0.35 + i * 0.15))
    cards.append('<path d="M138 225 L170 245 L138 265 Z" fill="#fff" opacity=".9"/>')
    return "".join(cards)


MOTIFS = {"stars": _stars, "waves": _waves, "city": _skyline, "mountains": _mountains,
          "sound": _sound, "stack": _stack}


def poster_svg(title, subtitle, top, bottom, accent, motif, seed):
    rng = random.Random(seed)
    t, s = html.escape(title), html.escape(subtitle)
    size = 34 if len(title) <= 5 else 26
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
            '<defs><linearGradient id="g" x1="0" y1="0" x2="0.3" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
            '<linearGradient id="f" x1="0" y1="0" x2="0" y2="1"><stop offset="0.55" '
            'stop-color="#000" stop-opacity="0"/><stop offset="1" stop-color="#000" '
            'stop-opacity=".75"/></linearGradient></defs>'
            '<rect width="100%%" height="100%%" fill="url(#g)"/>%s'
            '<rect width="100%%" height="100%%" fill="url(#f)"/>'
            '<text x="22" y="370" font-family="Noto Sans CJK SC, sans-serif" font-weight="700" '
            'font-size="%d" fill="#fff">%s</text>'
            '<text x="23" y="398" font-family="Noto Sans CJK SC, sans-serif" font-size="15" '
            'fill="%s">%s</text></svg>'
            % (WIDTH, HEIGHT, WIDTH, HEIGHT, top, bottom, MOTIFS[motif](rng, accent), size, t,
               accent, s))


def banner_svg(seed):
    """The wide picture behind the featured series: a night sky, a ringed planet, a ship."""
    rng = random.Random(seed)
    stars = "".join('<circle cx="%.0f" cy="%.0f" r="%.1f" fill="#fff" opacity="%.2f"/>'
                    % (rng.uniform(0, 900), rng.uniform(0, 240), rng.uniform(0.5, 1.8),
                       rng.uniform(0.3, 1)) for _ in range(140))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="900" height="240" viewBox="0 0 900 240">'
            '<defs><radialGradient id="p" cx="0.35" cy="0.35" r="0.8"><stop offset="0" '
            'stop-color="#9ff5cf"/><stop offset="0.6" stop-color="#1f7a5c"/><stop offset="1" '
            'stop-color="#0a2a20"/></radialGradient><linearGradient id="s" x1="0" y1="0" x2="1" '
            'y2="1"><stop offset="0" stop-color="#0d2a22"/><stop offset="1" stop-color="#050d0b"/>'
            '</linearGradient></defs><rect width="900" height="240" fill="url(#s)"/>%s'
            '<ellipse cx="700" cy="120" rx="150" ry="28" fill="none" stroke="#8ff0c0" '
            'stroke-width="3" opacity=".5" transform="rotate(-12 700 120)"/>'
            '<circle cx="700" cy="120" r="78" fill="url(#p)"/>'
            '<path d="M700 120 m-150 0 a150 28 0 0 0 300 0" fill="none" stroke="#8ff0c0" '
            'stroke-width="3" opacity=".7" transform="rotate(-12 700 120)"/>'
            '<path d="M520 70 l34 -8 l-10 10 l14 4 l-38 2 z" fill="#e8fff4" opacity=".9"/>'
            '<path d="M520 70 l-60 14" stroke="#8ff0c0" stroke-width="2" opacity=".5"/></svg>'
            % stars)
