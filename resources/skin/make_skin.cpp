// Draws every picture of the skin: make_skin OUTDIR writes the PNG files that the program
// compiles in under ":/skin/" (README.md beside this file lists them). The committed images are
// this program's output; run the build target skin-images after changing it.
//
// One palette for everything: a dark, calm look with one blue accent.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

namespace {

const QColor kDeep(0x14, 0x16, 0x1a);      // window edge, deepest shade
const QColor kBase(0x1c, 0x1f, 0x24);      // window body
const QColor kPanel(0x24, 0x28, 0x2e);     // bars
const QColor kRaised(0x2f, 0x34, 0x3b);    // raised parts
const QColor kLine(0x3b, 0x41, 0x4a);      // separators
const QColor kText(0xd4, 0xd9, 0xe0);      // icons and text
const QColor kTextDim(0x6a, 0x71, 0x7b);   // disabled icons
const QColor kAccent(0x4c, 0x9f, 0xdc);    // played track, play button
const QColor kAccentHi(0x6d, 0xb6, 0xec);  // accent under the mouse
const QColor kAccentLo(0x35, 0x7f, 0xb8);  // accent pressed
const QColor kDanger(0xc8, 0x4b, 0x4b);    // close button under the mouse

enum Look { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

QString outDir;
int failures = 0;

QImage blank(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

void save(const QImage& image, const QString& name) {
  const QString path = outDir + QLatin1Char('/') + name;
  QDir().mkpath(QFileInfo(path).absolutePath());
  if (!image.save(path, "PNG")) {
    std::fprintf(stderr, "make_skin: cannot write %s\n", qPrintable(path));
    ++failures;
  }
}

void smooth(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// A grid of looks: `columns` mouse looks side by side, one row per state image.
using CellPainter = std::function<void(QPainter&, QRectF cell, int look, int row)>;
QImage grid(int cw, int ch, int columns, int rows, const CellPainter& paint) {
  QImage image = blank(cw * columns, ch * rows);
  QPainter p(&image);
  smooth(p);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      p.save();
      p.setClipRect(c * cw, r * ch, cw, ch);
      paint(p, QRectF(c * cw, r * ch, cw, ch), c, r);
      p.restore();
    }
  return image;
}

QColor iconColour(int look) {
  switch (look) {
    case kHover:
      return Qt::white;
    case kPressed:
      return kAccentHi;
    case kDisabled:
      return kTextDim;
    default:
      return kText;
  }
}

// The soft round backdrop of a small bar button under the mouse or pressed.
void backdrop(QPainter& p, QRectF cell, int look) {
  if (look != kHover && look != kPressed) return;
  const QRectF r = cell.adjusted(2, 2, -2, -2);
  p.setPen(Qt::NoPen);
  p.setBrush(look == kHover ? QColor(255, 255, 255, 26) : QColor(0, 0, 0, 70));
  p.drawRoundedRect(r, 5, 5);
}

// Icon shapes, drawn into a unit box centred on `c` with half size `s`.
void playTriangle(QPainter& p, QPointF c, qreal s, const QColor& colour) {
  QPainterPath path;
  path.moveTo(c.x() - s * 0.55, c.y() - s);
  path.lineTo(c.x() + s * 0.95, c.y());
  path.lineTo(c.x() - s * 0.55, c.y() + s);
  path.closeSubpath();
  p.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(colour);
  p.drawPath(path);
}

void pauseBars(QPainter& p, QPointF c, qreal s, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(c.x() - s * 0.75, c.y() - s, s * 0.5, s * 2), 1.2, 1.2);
  p.drawRoundedRect(QRectF(c.x() + s * 0.25, c.y() - s, s * 0.5, s * 2), 1.2, 1.2);
}

void speaker(QPainter& p, QPointF c, qreal s, const QColor& colour, bool muted) {
  QPainterPath body;
  body.moveTo(c.x() - s, c.y() - s * 0.35);
  body.lineTo(c.x() - s * 0.5, c.y() - s * 0.35);
  body.lineTo(c.x(), c.y() - s * 0.85);
  body.lineTo(c.x(), c.y() + s * 0.85);
  body.lineTo(c.x() - s * 0.5, c.y() + s * 0.35);
  body.lineTo(c.x() - s, c.y() + s * 0.35);
  body.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(body);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap));
  if (muted) {
    p.drawLine(QPointF(c.x() + s * 0.35, c.y() - s * 0.4),
               QPointF(c.x() + s * 1.1, c.y() + s * 0.4));
    p.drawLine(QPointF(c.x() + s * 0.35, c.y() + s * 0.4),
               QPointF(c.x() + s * 1.1, c.y() - s * 0.4));
  } else {
    p.drawArc(QRectF(c.x() - s * 0.45, c.y() - s * 0.55, s * 1.1, s * 1.1), -50 * 16, 100 * 16);
    p.drawArc(QRectF(c.x() - s * 0.75, c.y() - s * 0.95, s * 1.9, s * 1.9), -50 * 16, 100 * 16);
  }
}

void skipIcon(QPainter& p, QPointF c, qreal s, const QColor& colour, bool forward) {
  const qreal dir = forward ? 1 : -1;
  QPainterPath tri;
  tri.moveTo(c.x() - dir * s * 0.7, c.y() - s * 0.8);
  tri.lineTo(c.x() + dir * s * 0.45, c.y());
  tri.lineTo(c.x() - dir * s * 0.7, c.y() + s * 0.8);
  tri.closeSubpath();
  p.setPen(QPen(colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(colour);
  p.drawPath(tri);
  const qreal x = c.x() + dir * s * 0.62;
  p.drawRoundedRect(QRectF(x - s * 0.14, c.y() - s * 0.8, s * 0.28, s * 1.6), 0.8, 0.8);
}

// ---- window frame -------------------------------------------------------------------------

constexpr int kTitleHeight = 34;
constexpr int kBottomHeight = 60;

QImage titleBar(int w, bool leftEdge, bool rightEdge, int h = kTitleHeight) {
  QImage image = blank(w, h);
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, h);
  g.setColorAt(0, kPanel.lighter(112));
  g.setColorAt(1, kPanel);
  p.fillRect(image.rect(), g);
  p.setPen(QColor(255, 255, 255, 20));  // top light
  p.drawLine(0, 0, w - 1, 0);
  p.setPen(kDeep);  // seam to the body
  p.drawLine(0, h - 1, w - 1, h - 1);
  p.setPen(kDeep);
  if (leftEdge) p.drawLine(0, 0, 0, h - 1);
  if (rightEdge) p.drawLine(w - 1, 0, w - 1, h - 1);
  return image;
}

QImage bottomBar(int w, bool leftEdge, bool rightEdge) {
  QImage image = blank(w, kBottomHeight);
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, kBottomHeight);
  g.setColorAt(0, kPanel);
  g.setColorAt(1, kBase.darker(110));
  p.fillRect(image.rect(), g);
  p.setPen(kLine);
  p.drawLine(0, 0, w - 1, 0);
  p.setPen(kDeep);
  p.drawLine(0, kBottomHeight - 1, w - 1, kBottomHeight - 1);
  if (leftEdge) p.drawLine(0, 0, 0, kBottomHeight - 1);
  if (rightEdge) p.drawLine(w - 1, 0, w - 1, kBottomHeight - 1);
  return image;
}

QImage sideEdge(bool left) {
  QImage image = blank(4, 8);
  QPainter p(&image);
  p.fillRect(image.rect(), kBase);
  p.setPen(kDeep);
  const int x = left ? 0 : 3;
  p.drawLine(x, 0, x, 7);
  return image;
}

// One picture holding all four corners: white is cut from the window.
QImage cornerMask() {
  constexpr int kSize = 12, kRadius = 6;
  QImage image(kSize, kSize, QImage::Format_RGB32);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      // Distance of the pixel centre from the centre of its corner's rounding.
      const qreal cx = x < kSize / 2 ? kRadius : kSize - kRadius;
      const qreal cy = y < kSize / 2 ? kRadius : kSize - kRadius;
      const qreal dx = (x + 0.5) - cx, dy = (y + 0.5) - cy;
      const bool outside = (x < kSize / 2) == (dx < 0) && (y < kSize / 2) == (dy < 0) &&
                           dx * dx + dy * dy > kRadius * kRadius;
      image.setPixel(x, y, outside ? 0xFFFFFFFF : 0xFF000000);
    }
  return image;
}

// ---- buttons ------------------------------------------------------------------------------

QImage titleButton(int rows, bool danger,
                   const std::function<void(QPainter&, QPointF, const QColor&, int row)>& icon) {
  return grid(28, 24, 4, rows, [&](QPainter& p, QRectF cell, int look, int row) {
    if (look == kHover || look == kPressed) {
      p.setPen(Qt::NoPen);
      QColor bg = danger ? kDanger : QColor(255, 255, 255, 28);
      if (look == kPressed) bg = danger ? kDanger.darker(125) : QColor(0, 0, 0, 80);
      p.setBrush(bg);
      p.drawRoundedRect(cell.adjusted(2, 2, -2, -2), 4, 4);
    }
    const QPointF shift = look == kPressed ? QPointF(0.5, 0.5) : QPointF();
    icon(p, cell.center() + shift,
         iconColour(danger && look != kDisabled && look != kNormal ? kHover : look), row);
  });
}

QImage barButton(int w, int h, int columns, int rows,
                 const std::function<void(QPainter&, QPointF, const QColor&, int row)>& icon) {
  return grid(w, h, columns, rows, [&](QPainter& p, QRectF cell, int look, int row) {
    backdrop(p, cell, look);
    const QPointF shift = look == kPressed ? QPointF(0.5, 0.5) : QPointF();
    icon(p, cell.center() + shift, iconColour(look), row);
  });
}

QImage playButton() {
  return grid(50, 45, 4, 2, [](QPainter& p, QRectF cell, int look, int row) {
    const QPointF c = cell.center();
    const qreal r = 19;
    QColor fill = look == kHover ? kAccentHi : look == kPressed ? kAccentLo : kAccent;
    if (look == kDisabled) fill = kRaised;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));  // shadow
    p.drawEllipse(c + QPointF(0, 1.5), r, r);
    QRadialGradient g(c - QPointF(0, r * 0.6), r * 1.8);
    g.setColorAt(0, fill.lighter(118));
    g.setColorAt(1, fill.darker(112));
    p.setBrush(g);
    p.setPen(QPen(fill.darker(140), 1));
    p.drawEllipse(c, r, r);
    const QColor glyph = look == kDisabled ? kTextDim : Qt::white;
    if (row == 0) {
      playTriangle(p, c + QPointF(1.5, 0), 8, glyph);
    } else {
      pauseBars(p, c, 8, glyph);
    }
  });
}

QImage captionButton(int w, int h, int rows) {
  // Row 0: the chosen one (the page shown); row 1: the others.
  return grid(w, h, 4, rows, [](QPainter& p, QRectF cell, int look, int row) {
    const QRectF r = cell.adjusted(1.5, 2.5, -1.5, -2.5);
    QColor fill = row == 0 ? kRaised : kPanel;
    if (look == kHover) fill = fill.lighter(125);
    if (look == kPressed) fill = kDeep;
    if (look == kDisabled) fill = kPanel;
    p.setPen(QPen(row == 0 && look != kDisabled ? kAccent : kLine, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, 4, 4);
    if (row == 0 && look != kDisabled) {  // accent underline of the chosen page
      p.setPen(Qt::NoPen);
      p.setBrush(kAccent);
      p.drawRoundedRect(QRectF(r.left() + 6, r.bottom() - 2.5, r.width() - 12, 2), 1, 1);
    }
  });
}

// ---- track bars ---------------------------------------------------------------------------

// Three parts side by side: 0 the empty (downloaded) track, 1 the played track, 2 the part not
// downloaded yet. Flat along x, since the played part is tiled and the others stretched.
QImage trackStrip(int partWidth, int h) {
  QImage image = blank(partWidth * 3, h);
  QPainter p(&image);
  const QColor parts[3][2] = {{QColor(0x4a, 0x51, 0x5b), QColor(0x3e, 0x44, 0x4d)},
                              {kAccentHi, kAccent},
                              {QColor(0x2c, 0x30, 0x37), QColor(0x26, 0x2a, 0x30)}};
  for (int i = 0; i < 3; ++i) {
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, parts[i][0]);
    g.setColorAt(1, parts[i][1]);
    p.fillRect(QRect(i * partWidth, 0, partWidth, h), g);
    p.fillRect(QRect(i * partWidth, h - 1, partWidth, 1), QColor(0, 0, 0, 60));
  }
  return image;
}

QImage trackThumb(int d) {
  QImage image = blank(d, d);
  QPainter p(&image);
  smooth(p);
  const QRectF r(0.5, 0.5, d - 1, d - 1);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 80));
  p.drawEllipse(r.translated(0, 0.5));
  p.setBrush(QColor(0xee, 0xf1, 0xf4));
  p.setPen(QPen(kAccent, 1.5));
  p.drawEllipse(r.adjusted(0.8, 0.8, -0.8, -0.8));
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  p.drawEllipse(r.center(), d * 0.14, d * 0.14);
  return image;
}

// ---- built-in images of the scroll bar and the tree ----------------------------------------

QImage scrollTrack() {
  QImage image = blank(16, 32);
  QPainter p(&image);
  p.fillRect(image.rect(), kBase);
  p.fillRect(QRect(7, 0, 2, 32), QColor(0x26, 0x2a, 0x30));
  p.setPen(QColor(0, 0, 0, 60));
  p.drawLine(0, 0, 0, 31);
  return image;
}

QImage scrollArrow(bool up) {
  return grid(16, 16, 3, 1, [up](QPainter& p, QRectF cell, int look, int) {
    if (look != kNormal) {
      p.setPen(Qt::NoPen);
      p.setBrush(look == kHover ? kRaised : kDeep);
      p.drawRoundedRect(cell.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    }
    const QPointF c = cell.center();
    QPainterPath tri;
    const qreal d = up ? -1 : 1;
    tri.moveTo(c.x() - 4, c.y() - d * 2);
    tri.lineTo(c.x() + 4, c.y() - d * 2);
    tri.lineTo(c.x(), c.y() + d * 2.5);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(look == kNormal ? kTextDim.lighter(130) : look == kHover ? kText : kAccentHi);
    p.drawPath(tri);
  });
}

// The thumb is cut into a top (rows 0-2), a body row (4), a grip (rows h/2-6 .. h/2+4) and a
// bottom (the last 4 rows): a rounded pill with three grip lines.
QImage scrollThumb() {
  constexpr int kH = 24;
  return grid(16, kH, 3, 1, [](QPainter& p, QRectF cell, int look, int) {
    const QColor fill = look == kNormal  ? QColor(0x45, 0x4c, 0x56)
                        : look == kHover ? QColor(0x58, 0x60, 0x6b)
                                         : kAccentLo;
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(cell.left() + 4, cell.top(), 8, kH), 3.5, 3.5);
    p.setPen(QPen(fill.lighter(150), 1));
    const qreal mid = cell.top() + kH / 2.0 - 1;
    for (int i = -1; i <= 1; ++i)
      p.drawLine(QPointF(cell.left() + 6, mid + i * 2.5), QPointF(cell.left() + 10, mid + i * 2.5));
  });
}

QImage hotRow() {
  QImage image = blank(40, 20);
  QPainter p(&image);
  smooth(p);
  QLinearGradient g(0, 0, 0, 20);
  g.setColorAt(0, QColor(0x4c, 0x9f, 0xdc, 70));
  g.setColorAt(1, QColor(0x4c, 0x9f, 0xdc, 40));
  p.setPen(QPen(QColor(0x4c, 0x9f, 0xdc, 110), 1));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0.5, 1.5, 39, 17), 3, 3);
  return image;
}

QImage treeStates() {
  // 0 none, 1 collapsed, 2 expanded, 3 playing.
  return grid(16, 16, 4, 1, [](QPainter& p, QRectF cell, int index, int) {
    const QPointF c = cell.center();
    p.setPen(Qt::NoPen);
    p.setBrush(index == 3 ? kAccent : kTextDim.lighter(140));
    QPainterPath path;
    if (index == 1) {
      path.moveTo(c.x() - 2, c.y() - 4);
      path.lineTo(c.x() + 3, c.y());
      path.lineTo(c.x() - 2, c.y() + 4);
    } else if (index == 2) {
      path.moveTo(c.x() - 4, c.y() - 2);
      path.lineTo(c.x() + 4, c.y() - 2);
      path.lineTo(c.x(), c.y() + 3);
    } else if (index == 3) {
      playTriangle(p, c, 4, kAccent);
      return;
    } else {
      return;
    }
    path.closeSubpath();
    p.drawPath(path);
  });
}

// ---- page control strip -------------------------------------------------------------------

QImage tabButton() {
  // Columns: normal, under the mouse, the active page.
  return grid(40, 28, 3, 1, [](QPainter& p, QRectF cell, int look, int) {
    const QRectF r = cell.adjusted(0.5, 3.5, -0.5, 4);
    p.setPen(QPen(look == 2 ? kLine.lighter(120) : kLine, 1));
    p.setBrush(look == 2 ? kRaised : look == 1 ? kPanel.lighter(118) : kPanel);
    p.drawRoundedRect(r, 5, 5);
    if (look == 2) {
      p.setPen(Qt::NoPen);
      p.setBrush(kAccent);
      p.drawRect(QRectF(r.left() + 5, r.top() + 0.5, r.width() - 10, 2));
    }
  });
}

QImage smallGlyph(const std::function<void(QPainter&, QPointF, const QColor&)>& icon) {
  return grid(16, 16, 3, 1, [&](QPainter& p, QRectF cell, int look, int) {
    if (look != kNormal) {
      p.setPen(Qt::NoPen);
      p.setBrush(look == kHover ? QColor(255, 255, 255, 30) : QColor(0, 0, 0, 80));
      p.drawRoundedRect(cell.adjusted(1, 1, -1, -1), 3, 3);
    }
    icon(p, cell.center(), iconColour(look));
  });
}

// ---- other pieces -------------------------------------------------------------------------

QImage rollBackground() {
  // An 8-pixel left cap, a stretchable middle and a right cap.
  QImage image = blank(24, 22);
  QPainter p(&image);
  smooth(p);
  p.setPen(QPen(kLine, 1));
  p.setBrush(kDeep);
  p.drawRoundedRect(QRectF(0.5, 0.5, 23, 21), 6, 6);
  return image;
}

QImage dialogBackground() {
  QImage image = blank(16, 64);
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, 64);
  g.setColorAt(0, kBase.lighter(106));
  g.setColorAt(1, kBase);
  p.fillRect(image.rect(), g);
  return image;
}

QImage logo() {
  QImage image = blank(240, 80);
  QPainter p(&image);
  smooth(p);
  const QPointF c(40, 40);
  QRadialGradient g(c - QPointF(0, 14), 48);
  g.setColorAt(0, kAccentHi);
  g.setColorAt(1, kAccentLo);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(12, 12, 56, 56), 16, 16);
  playTriangle(p, c + QPointF(3, 0), 13, Qt::white);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(38);
  font.setWeight(QFont::DemiBold);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  p.setFont(font);
  p.setPen(kText);
  p.drawText(QRectF(80, 10, 160, 60), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Nivra"));
  return image;
}

void drawEverything() {
  // Window frame: title bar, edges, control bar, corner mask.
  save(titleBar(8, true, false), QStringLiteral("frame_top_left.png"));
  save(titleBar(8, false, false), QStringLiteral("frame_top_center.png"));
  save(titleBar(8, false, true), QStringLiteral("frame_top_right.png"));
  save(sideEdge(true), QStringLiteral("frame_left.png"));
  save(sideEdge(false), QStringLiteral("frame_right.png"));
  save(bottomBar(8, true, false), QStringLiteral("frame_bottom_left.png"));
  save(bottomBar(8, false, false), QStringLiteral("frame_bottom_center.png"));
  save(bottomBar(8, false, true), QStringLiteral("frame_bottom_right.png"));
  save(cornerMask(), QStringLiteral("mask.png"));
  save(titleBar(8, true, false, 30), QStringLiteral("dlg_top_left.png"));
  save(titleBar(8, false, false, 30), QStringLiteral("dlg_top_center.png"));
  save(titleBar(8, false, true, 30), QStringLiteral("dlg_top_right.png"));
  save(dialogBackground(), QStringLiteral("dlg_bg.png"));

  // Title-bar buttons: four looks (normal, mouse over, pressed, disabled).
  save(titleButton(1, false,
                   [](QPainter& p, QPointF c, const QColor& col, int) {
                     p.setPen(QPen(col, 1.5, Qt::SolidLine, Qt::RoundCap));
                     p.drawLine(QPointF(c.x() - 5, c.y() + 4), QPointF(c.x() + 5, c.y() + 4));
                   }),
       QStringLiteral("btn_min.png"));
  save(titleButton(2, false,
                   [](QPainter& p, QPointF c, const QColor& col, int row) {
                     p.setPen(QPen(col, 1.4));
                     p.setBrush(Qt::NoBrush);
                     if (row == 0) {
                       p.drawRoundedRect(QRectF(c.x() - 5, c.y() - 5, 10, 10), 1.5, 1.5);
                     } else {  // restore: two overlapping frames
                       p.drawRoundedRect(QRectF(c.x() - 5, c.y() - 3, 8, 8), 1.5, 1.5);
                       p.drawPolyline(QPolygonF({QPointF(c.x() - 2.5, c.y() - 5.5),
                                                 QPointF(c.x() + 5.5, c.y() - 5.5),
                                                 QPointF(c.x() + 5.5, c.y() + 2.5)}));
                     }
                   }),
       QStringLiteral("btn_max.png"));
  save(titleButton(1, true,
                   [](QPainter& p, QPointF c, const QColor& col, int) {
                     p.setPen(QPen(col, 1.6, Qt::SolidLine, Qt::RoundCap));
                     p.drawLine(c + QPointF(-4.5, -4.5), c + QPointF(4.5, 4.5));
                     p.drawLine(c + QPointF(-4.5, 4.5), c + QPointF(4.5, -4.5));
                   }),
       QStringLiteral("btn_close.png"));
  save(titleButton(1, false,
                   [](QPainter& p, QPointF c, const QColor& col, int) {
                     p.setPen(QPen(col, 1.5, Qt::SolidLine, Qt::RoundCap));
                     for (int i = -1; i <= 1; ++i)
                       p.drawLine(QPointF(c.x() - 6, c.y() + i * 4),
                                  QPointF(c.x() + 6, c.y() + i * 4));
                   }),
       QStringLiteral("btn_menu.png"));

  // Control-bar buttons.
  save(playButton(), QStringLiteral("btn_play.png"));
  save(barButton(29, 28, 4, 1,
                 [](QPainter& p, QPointF c, const QColor& col, int) {
                   p.setPen(Qt::NoPen);
                   p.setBrush(col);
                   p.drawRoundedRect(QRectF(c.x() - 5.5, c.y() - 5.5, 11, 11), 2, 2);
                 }),
       QStringLiteral("btn_stop.png"));
  save(barButton(
           29, 28, 4, 1,
           [](QPainter& p, QPointF c, const QColor& col, int) { skipIcon(p, c, 7, col, false); }),
       QStringLiteral("btn_prev.png"));
  save(barButton(
           29, 28, 4, 1,
           [](QPainter& p, QPointF c, const QColor& col, int) { skipIcon(p, c, 7, col, true); }),
       QStringLiteral("btn_next.png"));
  // Mute: three looks, two state images. The main window shows row 1 while sound is on and
  // row 0 while muted; the embeddable control uses the other order (btn_mute_ctl.png).
  save(barButton(29, 28, 3, 2,
                 [](QPainter& p, QPointF c, const QColor& col, int row) {
                   speaker(p, c - QPointF(2, 0), 7, col, row == 0);
                 }),
       QStringLiteral("btn_mute.png"));
  save(barButton(29, 28, 3, 2,
                 [](QPainter& p, QPointF c, const QColor& col, int row) {
                   speaker(p, c - QPointF(2, 0), 7, col, row == 1);
                 }),
       QStringLiteral("btn_mute_ctl.png"));
  save(barButton(16, 14, 4, 2,
                 [](QPainter& p, QPointF c, const QColor& col, int row) {
                   // Four corner brackets: pointing out (row 0, enter full screen) or in (row 1,
                   // leave).
                   p.setRenderHint(QPainter::Antialiasing, false);
                   p.setPen(Qt::NoPen);
                   p.setBrush(col);
                   const int cx = static_cast<int>(c.x()), cy = static_cast<int>(c.y());
                   const int x0 = cx - 6, x1 = cx + 5, y0 = cy - 5, y1 = cy + 4, k = 3;
                   for (int sx : {0, 1})
                     for (int sy : {0, 1}) {
                       const int x = sx ? x1 : x0, y = sy ? y1 : y0;
                       const int hx = (sx ? -1 : 1) * (row == 0 ? 1 : -1),
                                 vy = (sy ? -1 : 1) * (row == 0 ? 1 : -1);
                       const int ax = row == 0 ? x : x + (sx ? -k + 1 : k - 1);
                       const int ay = row == 0 ? y : y + (sy ? -k + 1 : k - 1);
                       p.drawRect(
                           QRect(hx > 0 ? ax : ax - k + 1, ay, k, 1));  // along x from the corner
                       p.drawRect(QRect(ax, vy > 0 ? ay : ay - k + 1, 1, k));  // along y
                     }
                 }),
       QStringLiteral("btn_full.png"));
  save(barButton(29, 28, 4, 1,
                 [](QPainter& p, QPointF c, const QColor& col, int) {
                   p.setPen(QPen(col, 1.5, Qt::SolidLine, Qt::RoundCap));
                   for (int i = -1; i <= 1; ++i) {
                     p.drawPoint(QPointF(c.x() - 6, c.y() + i * 4));
                     p.drawLine(QPointF(c.x() - 3, c.y() + i * 4),
                                QPointF(c.x() + 6, c.y() + i * 4));
                   }
                 }),
       QStringLiteral("btn_list.png"));
  save(barButton(29, 28, 4, 1,
                 [](QPainter& p, QPointF c, const QColor& col, int) {
                   QPainterPath folder;
                   folder.moveTo(c.x() - 7, c.y() + 5);
                   folder.lineTo(c.x() - 7, c.y() - 5);
                   folder.lineTo(c.x() - 2, c.y() - 5);
                   folder.lineTo(c.x(), c.y() - 3);
                   folder.lineTo(c.x() + 7, c.y() - 3);
                   folder.lineTo(c.x() + 7, c.y() + 5);
                   folder.closeSubpath();
                   p.setPen(QPen(col, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                   p.setBrush(Qt::NoBrush);
                   p.drawPath(folder);
                 }),
       QStringLiteral("btn_open.png"));
  save(captionButton(80, 30, 2), QStringLiteral("btn_page.png"));
  save(captionButton(72, 26, 1), QStringLiteral("btn_dlg.png"));

  // Track bars and their thumbs.
  save(trackStrip(12, 6), QStringLiteral("seek_bar.png"));
  save(trackThumb(13), QStringLiteral("seek_thumb.png"));
  save(trackStrip(12, 4), QStringLiteral("volume_bar.png"));
  save(trackThumb(11), QStringLiteral("volume_thumb.png"));

  // Tree, scrolling label, library panel edges, logo.
  save(treeStates(), QStringLiteral("tree_state.png"));
  save(rollBackground(), QStringLiteral("roll_bg.png"));
  save(sideEdge(true), QStringLiteral("panel_left.png"));
  save(sideEdge(false), QStringLiteral("panel_right.png"));
  save(logo(), QStringLiteral("logo.png"));

  // Built-in images loaded by name (resource type PNGIMG).
  save(scrollTrack(), QStringLiteral("PNGIMG/BG.png"));
  save(scrollArrow(true), QStringLiteral("PNGIMG/UP.png"));
  save(scrollArrow(false), QStringLiteral("PNGIMG/DOWN.png"));
  save(scrollThumb(), QStringLiteral("PNGIMG/THUMB.png"));
  save(hotRow(), QStringLiteral("PNGIMG/HOTBG.png"));
  save(tabButton(), QStringLiteral("PNGIMG/TAB_BTN.png"));
  save(smallGlyph([](QPainter& p, QPointF c, const QColor& col) {
         p.setPen(QPen(col, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         p.drawPolyline(QPolygonF({c + QPointF(2, -4), c + QPointF(-2, 0), c + QPointF(2, 4)}));
       }),
       QStringLiteral("PNGIMG/TAB_LEFT.png"));
  save(smallGlyph([](QPainter& p, QPointF c, const QColor& col) {
         p.setPen(QPen(col, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         p.drawPolyline(QPolygonF({c + QPointF(-2, -4), c + QPointF(2, 0), c + QPointF(-2, 4)}));
       }),
       QStringLiteral("PNGIMG/TAB_RIGHT.png"));
  save(smallGlyph([](QPainter& p, QPointF c, const QColor& col) {
         p.setPen(QPen(col, 1.5, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(c + QPointF(-4, 0), c + QPointF(4, 0));
         p.drawLine(c + QPointF(0, -4), c + QPointF(0, 4));
       }),
       QStringLiteral("PNGIMG/TAB_ADD.png"));
  save(smallGlyph([](QPainter& p, QPointF c, const QColor& col) {
         p.setPen(QPen(col, 1.4, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(c + QPointF(-3, -3), c + QPointF(3, 3));
         p.drawLine(c + QPointF(-3, 3), c + QPointF(3, -3));
       }),
       QStringLiteral("PNGIMG/TAB_CLOSE.png"));
  save(smallGlyph([](QPainter& p, QPointF c, const QColor& col) {
         p.setPen(Qt::NoPen);
         p.setBrush(col);
         QPainterPath tri;
         tri.moveTo(c + QPointF(-4, -2));
         tri.lineTo(c + QPointF(4, -2));
         tri.lineTo(c + QPointF(0, 3));
         tri.closeSubpath();
         p.drawPath(tri);
       }),
       QStringLiteral("PNGIMG/TAB_MENU.png"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || QByteArray(argv[1]) == "--help") {
    std::fprintf(stderr, "usage: make_skin OUTDIR\n");
    return argc == 2 ? 0 : 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // fonts for the logo
  outDir = QString::fromLocal8Bit(argv[1]);
  drawEverything();
  return failures == 0 ? 0 : 1;
}
