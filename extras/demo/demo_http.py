"""The demo's HTTP servers: documents built in memory, static files under www/, and media
clips from the cache folder with byte ranges. Every reply carries a strong ETag; a matching
If-None-Match gives 304."""

import hashlib
import http.server
import os
import re
import sys
import threading
import urllib.parse

TYPES = {".htm": "text/html; charset=utf-8", ".html": "text/html; charset=utf-8",
         ".js": "application/json; charset=utf-8", ".xml": "text/xml; charset=utf-8",
         ".svg": "image/svg+xml", ".webm": "video/webm", ".ogv": "video/ogg",
         ".mp4": "video/mp4", ".wav": "audio/wav", ".flv": "video/x-flv"}
CHUNK = 64 * 1024
MEDIA_WAIT_SECONDS = 300


def parse_range(header, size):
    """(first, last) of a single "bytes=" range within `size` bytes; None when the header asks
    for something else (the whole body is sent); "unsatisfiable" when no byte of it exists."""
    match = re.fullmatch(r"\s*bytes\s*=\s*(\d*)\s*-\s*(\d*)\s*", header or "")
    if not match or match.group(1) == match.group(2) == "":
        return None
    first, last = match.group(1), match.group(2)
    if first == "":
        length = int(last)
        if length == 0:
            return "unsatisfiable"
        return max(0, size - length), size - 1
    first = int(first)
    last = size - 1 if last == "" else min(int(last), size - 1)
    if first >= size or last < first:
        return "unsatisfiable"
    return first, last


def etag_matches(header, etag):
    if not header:
        return False
    tags = [t.strip() for t in header.split(",")]
    return "*" in tags or any(t in (etag, "W/" + etag, etag.strip('"')) for t in tags)


class Content:
    """What one server answers: in-memory documents, a static folder (or None), aliases and the
    media."""

    def __init__(self, documents, folder, media=None, aliases=()):
        self.documents = documents
        self.folder = folder
        self.media = media
        self.aliases = aliases  # (prefix, replacement) applied to the path first
        self.ready = threading.Event()  # set once the documents are filled in

    def resolve(self, path):
        for prefix, replacement in self.aliases:
            if path == prefix or path.startswith(prefix + "/"):
                path = replacement + path[len(prefix):]
        return path


class DemoHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    content = None  # set per server class

    def log_message(self, fmt, *args):
        sys.stderr.write("demo %s: %s\n" % (self.server.server_port, fmt % args))

    def do_HEAD(self):
        self._answer(send_body=False)

    def do_GET(self):
        self._answer(send_body=True)

    def _answer(self, send_body):
        self.content.ready.wait(60)
        path = self.content.resolve(urllib.parse.unquote(urllib.parse.urlsplit(self.path).path))
        if path == "/":
            path = "/index.htm"
        if path in self.content.documents:
            body, ctype = self.content.documents[path]
            return self._send_bytes(body, ctype, send_body)
        if path.startswith("/media/") and self.content.media is not None:
            name = path[len("/media/"):]
            file = self.content.media.wait(name, MEDIA_WAIT_SECONDS) if "/" not in name else None
            return self._send_file(file, send_body)
        if self.content.folder is None:
            return self._send_error(404)
        file = os.path.normpath(os.path.join(self.content.folder, path.lstrip("/")))
        if not file.startswith(self.content.folder + os.sep) or not os.path.isfile(file):
            return self._send_error(404)
        with open(file, "rb") as f:
            body = f.read()
        return self._send_bytes(body, TYPES.get(os.path.splitext(file)[1], "application/octet-stream"),
                                send_body)

    def _not_modified(self, etag):
        if not etag_matches(self.headers.get("If-None-Match"), etag):
            return False
        self.send_response(304)
        self.send_header("ETag", etag)
        self.send_header("Content-Length", "0")
        self.end_headers()
        return True

    def _send_bytes(self, body, ctype, send_body):
        etag = '"%s"' % hashlib.sha1(body).hexdigest()[:20]
        if self._not_modified(etag):
            return
        self.send_response(200)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("ETag", etag)
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def _send_file(self, file, send_body):
        if file is None:
            return self._send_error(404)
        stat = os.stat(file)
        size = stat.st_size
        etag = '"%x-%x"' % (size, int(stat.st_mtime))
        if self._not_modified(etag):
            return
        wanted = parse_range(self.headers.get("Range"), size)
        if wanted == "unsatisfiable":
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        first, last = wanted if wanted else (0, size - 1)
        self.send_response(206 if wanted else 200)
        self.send_header("Content-Type", TYPES.get(os.path.splitext(file)[1],
                                                   "application/octet-stream"))
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("ETag", etag)
        self.send_header("Content-Length", str(last - first + 1))
        if wanted:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (first, last, size))
        self.end_headers()
        if not send_body:
            return
        with open(file, "rb") as f:
            f.seek(first)
            left = last - first + 1
            try:
                while left > 0:
                    chunk = f.read(min(CHUNK, left))
                    if not chunk:
                        break
                    self.wfile.write(chunk)
                    left -= len(chunk)
            except (BrokenPipeError, ConnectionResetError):
                pass  # players drop connections when they seek

    def _send_error(self, code):
        body = b"not found\n"
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)


class DemoServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def start(port, content):
    """Binds 127.0.0.1:port (0 picks a free port) and serves `content` on a thread. The content
    can be filled in after binding: the pages need the ports."""
    handler = type("Handler", (DemoHandler,), {"content": content})
    server = DemoServer(("127.0.0.1", port), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
