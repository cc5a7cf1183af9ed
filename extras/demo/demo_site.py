"""The demo catalogue's content: the items, their private links, the catalogue page
(index.htm), the video pages, the catalogue documents under /rjson/, the scrolling-text lists
and the pages of the display server. Everything is built once at start, in memory, from the
servers' addresses (links carry full addresses, so the pages depend on the ports)."""

import html
import json

from demo_posters import banner_svg, poster_svg

# Film-like items played through a page with a <video> (private links of kind "video").
# slug, title, clip, format text, duration text, category, poster colours, motif, description.
MOVIES = [
    ("starlight", "星光列车", "starlight.webm", "WebM · VP8", "0:20", "movie",
     ("#1d2b64", "#0b0f24", "#9fc4ff"), "stars", "一列穿越银河的夜车，载着失眠的旅客驶向黎明。"),
    ("harbour", "港湾之夜", "harbour.ogv", "Ogg · Theora", "0:15", "movie",
     ("#0f4c5c", "#04161c", "#7fe3d8"), "waves", "雾中的港口，最后一班渡轮迟迟没有靠岸。"),
    ("city", "城市脉搏", "city.mp4", "MP4 · H.264", "0:15", "movie",
     ("#5b1f4a", "#12060f", "#ff9ed2"), "city", "霓虹灯下，一座城市二十四小时的呼吸。"),
    ("bench720", "高清样片 720p", "bench-720p.mp4", "MP4 · 720p", "0:20", "movie",
     ("#3a3a3a", "#0c0c0c", "#ffd36b"), "stack", "1280×720 测试样片，用于检验播放性能。"),
    ("bench720", "高清样片 720p", "bench-720p.webm", "WebM · 720p", "0:20", "movie",
     ("#3a3a3a", "#0c0c0c", "#ffd36b"), "stack", "1280×720 测试样片，用于检验播放性能。"),
    ("midnight", "午夜电台", "tone.wav", "WAV · 音频", "0:12", "music",
     ("#3b2667", "#100a1e", "#c3a6ff"), "sound", "只有声音的节目：一段安静的正弦波。"),
]

SERIES_ID = 9001
SERIES_TITLE = "星海巡航 第一季"
EPISODES = 12
PICKS_ID = 9002
PICKS_TITLE = "周末精选"
SEGMENT_FILES = ["mountains_1.mp4", "mountains_2.mp4", "mountains_3.mp4"]


class Site:
    """Every document of both HTTP servers: {path: (bytes, content type)}."""

    def __init__(self, links, catalogue_base, display_base, clips, segment_ms):
        self.links = links
        self.cat = catalogue_base.rstrip("/")
        self.disp = display_base.rstrip("/")
        self.clips = set(clips)
        self.catalogue = {}
        self.display = {}
        self.movies = [m for m in MOVIES if m[2] in self.clips]
        self.segment_ms = segment_ms  # lengths of the documentary's parts, equal but the last
        self.has_segments = all(name in self.clips for name in SEGMENT_FILES)
        self._build()

    # Links -----------------------------------------------------------------------------------

    def page_link(self, title, slug):
        return self.links.link("video", title, "%s/v/%s.html" % (self.cat, slug))

    def episode_link(self, n):
        return self.page_link("%s 第%d集" % (SERIES_TITLE, n), "xinghai-%02d" % n)

    def segment_link(self):
        return self.links.link("nvswf", "山川纪行", "%s/media/mountains_\\%d,%d"
                               % (self.cat, self.segment_ms[0], sum(self.segment_ms)))

    def list_link(self, title, doc_id):
        return self.links.link("jslist", title, "%d.js" % doc_id)

    # Output helpers --------------------------------------------------------------------------

    def _put(self, table, path, text, ctype):
        table[path] = (text.encode("utf-8"), ctype)

    def _json(self, name, doc):
        self._put(self.catalogue, "/rjson/" + name, json.dumps(doc, ensure_ascii=False, indent=1),
                  "application/json; charset=utf-8")

    def _html(self, table, path, text):
        self._put(table, path, text, "text/html; charset=utf-8")

    # Building --------------------------------------------------------------------------------

    def _build(self):
        for slug, title, clip, fmt, length, _, colours, motif, desc in self.movies:
            self._poster(slug, title, fmt, colours, motif)
            self._video_page(slug, title, clip, desc, fmt)
        for n in range(1, EPISODES + 1):
            self._video_page("xinghai-%02d" % n, "%s 第%d集" % (SERIES_TITLE, n),
                             "xinghai-%02d.webm" % n, "星际巡逻舰“远航号”的第%d次任务。" % n,
                             "WebM · VP8")
        self._poster("xinghai", "星海巡航", "第一季 · 全12集", ("#1b4d3e", "#04120d", "#8ff0c0"),
                     "stars")
        for n in range(1, EPISODES + 1):
            self._poster("xinghai-%02d" % n, "星海巡航", "第%d集" % n,
                         ("#1b4d3e", "#04120d", "#8ff0c0"), ("stars", "mountains", "waves")[n % 3])
        self._put(self.catalogue, "/posters/banner.svg", banner_svg(7), "image/svg+xml")
        self._poster("picks", PICKS_TITLE, "编辑挑选 · 合集", ("#6a3b12", "#170b02", "#ffc27a"),
                     "stack")
        self._poster("mountains", "山川纪行", "分段播放 · 3段", ("#2d4a6b", "#0a1522", "#bfe0ff"),
                     "mountains")
        self._poster("fox", "小狐狸", "动画短片", ("#8a3d0c", "#1e0c02", "#ffb070"), "stars")
        self._poster("plane", "纸飞机", "动画 · 3集", ("#24546b", "#061319", "#a5e6ff"), "waves")
        self._documents()
        self._index()
        self._frame()
        self._display_pages()
        self._html(self.catalogue, "/check.htm", "<!DOCTYPE html><title>ok</title>ok")
        self._html(self.catalogue, "/forum.htm", _page("论坛", "<h1>Nivra 论坛</h1><p>演示站点没有论坛。</p>"))

    def _poster(self, slug, title, subtitle, colours, motif):
        self._put(self.catalogue, "/posters/%s.svg" % slug,
                  poster_svg(title, subtitle, *colours, motif, slug), "image/svg+xml")

    def _video_page(self, slug, title, clip, desc, fmt):
        t = html.escape(title)
        body = ('<div class="watch"><h1>%s</h1><video src="/media/%s" controls preload="auto">'
                '</video><p class="meta">%s</p><p>%s</p><p><a href="/index.htm">返回视频库</a>'
                '</p></div>' % (t, clip, html.escape(fmt), html.escape(desc)))
        self._html(self.catalogue, "/v/%s.html" % slug, _page(title, body))

    def _episode_entries(self):
        return [{"i": n, "t": 2, "n": "", "c": "", "u": self.episode_link(n), "al": "5"}
                for n in range(1, EPISODES + 1)]

    def _single(self, doc_id, url):
        # A single-episode album's document: its one episode carries the link.
        self._json("%d.js" % doc_id, {"c": "1", "arr": [{"i": 1, "t": 2, "n": "", "u": url}]})

    def _documents(self):
        movies = [m for m in self.movies if m[5] == "movie"]
        music = [m for m in self.movies if m[5] == "music"]
        albums = []
        for k, m in enumerate(movies):
            albums.append({"i": 9201 + k, "t": 1, "n": m[1], "c": "1", "al": "4"})
            self._single(9201 + k, self.page_link(m[1], m[0]))
        self._json("100.js", {"c": len(albums), "arr": albums})
        self._json("200.js", {"c": 2, "arr": [
            {"i": SERIES_ID, "t": 1, "n": SERIES_TITLE, "c": str(EPISODES), "al": "5"},
            {"i": 210, "t": 0, "n": "动画", "c": "2"}]})
        self._json("210.js", {"c": 2, "arr": [
            {"i": 9101, "t": 1, "n": "小狐狸", "c": "1"},
            {"i": 9102, "t": 1, "n": "纸飞机", "c": "3"}]})
        self._single(9101, self.episode_link(1))
        self._json("9102.js", {"c": 3, "arr": [
            {"i": n, "t": 2, "n": "纸飞机 %d" % n, "u": self.episode_link(n + 1)}
            for n in range(1, 4)]})
        # The series: an album of the tree and, with its name and kind, a list document.
        self._json("%d.js" % SERIES_ID, {"n": SERIES_TITLE, "t": 1, "c": str(EPISODES),
                                         "arr": self._episode_entries()})
        top = [{"i": 100, "t": 0, "n": "电影", "c": str(len(albums))},
               {"i": 200, "t": 0, "n": "剧集", "c": "2"}]
        if self.has_segments:
            top.append({"i": 300, "t": 0, "n": "纪录片", "c": "1"})
            self._json("300.js", {"c": 1, "arr": [{"i": 9301, "t": 1, "n": "山川纪行", "c": "1"}]})
            self._single(9301, self.segment_link())
        if music:
            top.append({"i": 400, "t": 0, "n": "音乐", "c": "1"})
            self._json("400.js", {"c": 1, "arr": [{"i": 9401, "t": 1, "n": music[0][1], "c": "1"}]})
            self._single(9401, self.page_link(music[0][1], music[0][0]))
        first = movies[0]
        top.append({"i": 500, "t": 3, "n": "今日推荐 · " + first[1], "c": "0",
                    "u": self.page_link(first[1], first[0])})
        self._json("Tree.js", {"c": len(top), "arr": top})
        picks = [{"i": 9201 + k, "t": 3, "n": m[1], "c": "", "u": self.page_link(m[1], m[0])}
                 for k, m in enumerate(movies)]
        if self.has_segments:
            picks.append({"i": 9301, "t": 3, "n": "山川纪行", "c": "", "u": self.segment_link()})
        self.picks_count = len(picks)
        self._json("%d.js" % PICKS_ID, {"n": PICKS_TITLE, "t": 1, "c": str(len(picks)),
                                        "arr": picks})

    def _cards(self):
        """(section title, [(link, poster slug, title, badge, meta)])"""
        movies = [(self.page_link(m[1], m[0]), m[0], m[1], "电影", m[3] + " · " + m[4])
                  for m in self.movies if m[5] == "movie"]
        series = [(self.list_link(SERIES_TITLE, SERIES_ID), "xinghai", SERIES_TITLE,
                   "剧集 · 12集", "播放列表 · 自动连播")]
        series += [(self.episode_link(n), "xinghai-%02d" % n, "星海巡航 第%d集" % n, "单集",
                    "WebM · 0:06") for n in (1, 2, 3)]
        series.append((self.episode_link(1), "fox", "小狐狸", "动画", "WebM · 0:06"))
        series.append((self.episode_link(2), "plane", "纸飞机", "动画", "WebM · 3集"))
        other = []
        if self.has_segments:
            other.append((self.segment_link(), "mountains", "山川纪行", "纪录片",
                          "MP4 分段 · 0:25"))
        other += [(self.page_link(m[1], m[0]), m[0], m[1], "音乐", m[3] + " · " + m[4])
                  for m in self.movies if m[5] == "music"]
        other.append((self.list_link(PICKS_TITLE, PICKS_ID), "picks", PICKS_TITLE, "合集",
                      "播放列表 · %d部" % self.picks_count))
        return [("热门电影", "movies", movies), ("剧集与动画", "series", series),
                ("纪录片 · 音乐 · 合集", "more", other)]

    def _index(self):
        sections = []
        nav = []
        for title, anchor, cards in self._cards():
            nav.append('<a href="#%s">%s</a>' % (anchor, html.escape(title)))
            items = "".join(_card(*c) for c in cards)
            sections.append('<section id="%s"><h2>%s</h2><div class="grid">%s</div></section>'
                            % (anchor, html.escape(title), items))
        hero_link = self.list_link(SERIES_TITLE, SERIES_ID)
        first_ep = self.episode_link(1)
        body = INDEX_BODY % {
            "nav": "".join(nav), "sections": "".join(sections), "hero": html.escape(hero_link),
            "first": html.escape(first_ep)}
        self._html(self.catalogue, "/index.htm", _page("Nivra 视频库", body, INDEX_STYLE))

    def _frame(self):
        rows = []
        for link, title, note in (
                (self.episode_link(EPISODES), "星海巡航 大结局", "第12集"),
                (self.page_link(self.movies[0][1], self.movies[0][0]), self.movies[0][1], "电影"),
                (self.list_link(PICKS_TITLE, PICKS_ID), PICKS_TITLE, "合集")):
            rows.append('<li><a href="%s">%s</a><span>%s</span></li>'
                        % (html.escape(link), html.escape(title), html.escape(note)))
        self._html(self.catalogue, "/frame/picks.htm",
                   _page("编辑推荐", '<ol class="picks">%s</ol>' % "".join(rows), FRAME_STYLE))

    def _link_list(self, entries):
        rows = "".join("<ds><title>%s</title><url>%s</url></ds>"
                       % (html.escape(t), html.escape(u)) for t, u in entries)
        return '<?xml version="1.0" encoding="utf-8"?>\n<NewDataSet>%s</NewDataSet>\n' % rows

    def _display_pages(self):
        left = [("《星海巡航》第一季全12集上线，今晚连播", self.cat + "/v/xinghai-01.html"),
                ("港湾之夜：雾中的最后一班渡轮", self.cat + "/v/harbour.html"),
                ("周末精选：四部短片一次看完", self.cat + "/index.htm#more")]
        right = [("新片速递 · 星光列车", self.cat + "/v/starlight.html"),
                 ("纪录片《山川纪行》分段播放", self.cat + "/index.htm#more"),
                 ("午夜电台：只有声音的节目", self.cat + "/v/midnight.html")]
        self._put(self.display, "/left.xml", self._link_list(left), "text/xml; charset=utf-8")
        self._put(self.display, "/right.xml", self._link_list(right), "text/xml; charset=utf-8")
        picks = "".join(
            '<a href="%s"><img src="%s/posters/%s.svg" alt=""><span>%s</span></a>'
            % (html.escape(link), self.cat, slug, html.escape(title))
            for link, slug, title in (
                (self.list_link(SERIES_TITLE, SERIES_ID), "xinghai", "星海巡航"),
                (self.page_link(self.movies[0][1], self.movies[0][0]), self.movies[0][0],
                 self.movies[0][1]),
                (self.page_link(self.movies[1][1], self.movies[1][0]), self.movies[1][0],
                 self.movies[1][1])))
        self._html(self.display, "/ads/mini.html", MINI_PAGE.replace("%(picks)s", picks))


def _card(link, slug, title, badge, meta):
    return ('<a class="card" href="%s" title="%s"><div class="poster">'
            '<img src="/posters/%s.svg" alt=""><span class="badge">%s</span>'
            '<span class="play">&#9654;</span></div><div class="t">%s</div>'
            '<div class="m">%s</div></a>'
            % (html.escape(link), html.escape(title), slug, html.escape(badge),
               html.escape(title), html.escape(meta)))


def _page(title, body, style=""):
    return ('<!DOCTYPE html>\n<html lang="zh-CN"><head><meta charset="utf-8"><title>%s</title>'
            '<style>%s%s</style></head><body>%s</body></html>\n'
            % (html.escape(title), BASE_STYLE, style, body))


BASE_STYLE = """
body{margin:0;background:#101218;color:#d9dce3;font:14px/1.5 "Noto Sans CJK SC",sans-serif}
a{color:#7cb8ff;text-decoration:none}
.watch{max-width:760px;margin:24px auto;padding:0 16px}
.watch video{width:100%;aspect-ratio:16/9;background:#000;border-radius:6px}
.watch h1{font-weight:500;font-size:22px}.meta{color:#8a90a0}
"""

INDEX_STYLE = """
header{display:flex;align-items:center;gap:22px;padding:12px 24px;background:#181b23;
 border-bottom:1px solid #262a35;position:sticky;top:0;z-index:2}
.brand{font-size:20px;font-weight:700;color:#fff;letter-spacing:1px}
.brand b{color:#ff7a45}
nav a{color:#b8bfcc;margin-right:16px}nav a:hover{color:#fff}
.search{margin-left:auto;background:#0f1117;border:1px solid #2c3140;border-radius:14px;
 color:#7d8494;padding:4px 14px;width:180px}
main{display:flex;gap:24px;padding:18px 24px}
.content{flex:1;min-width:0}
.hero{display:flex;align-items:flex-end;height:170px;border-radius:10px;padding:20px 26px;
 background:linear-gradient(100deg,rgba(8,20,16,.92) 25%,rgba(8,20,16,0) 60%),
 url(/posters/banner.svg) right center/cover no-repeat,#0d2a22;margin-bottom:8px}
.hero h1{margin:0;color:#fff;font-size:28px}.hero p{margin:4px 0 12px;color:#a9c9bb}
.btn{display:inline-block;background:#ff7a45;color:#fff;padding:6px 18px;border-radius:16px;
 margin-right:10px}.btn.ghost{background:transparent;border:1px solid #6d8f82;color:#cfe6dc}
h2{font-size:17px;font-weight:500;color:#fff;margin:22px 0 10px;padding-left:10px;
 border-left:3px solid #ff7a45}
.grid{display:grid;grid-template-columns:repeat(auto-fill,minmax(128px,1fr));gap:16px}
.card{display:block;color:#d9dce3}
.poster{position:relative;aspect-ratio:5/7;border-radius:6px;overflow:hidden;background:#222;
 box-shadow:0 4px 12px rgba(0,0,0,.4)}
.poster img{width:100%;height:100%;display:block;transition:transform .2s}
.card:hover img{transform:scale(1.05)}
.badge{position:absolute;top:6px;left:6px;background:rgba(0,0,0,.6);color:#fff;font-size:11px;
 padding:1px 7px;border-radius:9px}
.play{position:absolute;right:8px;bottom:8px;width:28px;height:28px;border-radius:50%;
 background:rgba(255,122,69,.9);color:#fff;font-size:12px;text-align:center;line-height:28px;
 opacity:0;transition:opacity .2s}.card:hover .play{opacity:1}
.t{margin-top:6px;white-space:nowrap;overflow:hidden;text-overflow:ellipsis}
.m{color:#7d8494;font-size:12px}
aside{width:230px;flex:none}
aside h3{font-size:15px;font-weight:500;color:#fff;margin:4px 0 8px}
aside iframe{width:100%;height:118px;border:0;border-radius:8px;background:#161922}
.notice{margin-top:16px;background:#161922;border-radius:8px;padding:10px 14px;color:#8a90a0;
 font-size:12px}
footer{color:#5d6372;font-size:12px;text-align:center;padding:18px}
"""

INDEX_BODY = """
<header><span class="brand"><b>N</b>ivra 视频库</span><nav>%(nav)s</nav>
<span class="search">搜索影片、剧集…</span></header>
<main><div class="content">
<div class="hero"><div><h1>星海巡航 第一季</h1><p>全12集 · 科幻 · 每集6分钟的星际冒险</p>
<a class="btn" href="%(hero)s">&#9654; 连续播放</a><a class="btn ghost" href="%(first)s">第1集</a>
</div></div>
%(sections)s
</div>
<aside><h3>编辑推荐</h3><iframe src="/frame/picks.htm" title="编辑推荐"></iframe>
<div class="notice">点击海报即可在播放器中观看。剧集和合集会载入到“收藏列表”，并自动连播。</div>
</aside></main>
<footer>Nivra 演示目录 · 所有影片均由测试图案生成</footer>
"""

FRAME_STYLE = """
body{background:#161922}
.picks{margin:0;padding:8px 12px 8px 30px;color:#ff7a45}
.picks li{padding:5px 0;border-bottom:1px solid #232735}
.picks a{color:#d9dce3}.picks span{float:right;color:#7d8494;font-size:12px}
"""

MINI_PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>今日推荐</title><style>
html,body{height:100%}
body{margin:0;background:linear-gradient(160deg,#1c2030,#0d0f16);color:#e6e8ee;
 font:13px "Noto Sans CJK SC",sans-serif;overflow:hidden}
h1{font-size:16px;margin:10px 14px 8px;font-weight:500}h1 b{color:#ff7a45}
.row{display:flex;gap:10px;padding:0 14px}
.row a{flex:1;color:#e6e8ee;text-decoration:none;text-align:center}
.row img{width:100%;border-radius:5px;display:block;margin-bottom:4px}
.close{position:absolute;top:8px;right:12px;color:#7d8494;cursor:pointer}
</style></head><body><span class="close" onclick="window.close()">×</span>
<h1><b>今日推荐</b> · 精彩不容错过</h1><div class="row">%(picks)s</div></body></html>
"""
