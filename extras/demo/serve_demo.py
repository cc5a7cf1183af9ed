#!/usr/bin/env python3
"""The demo servers on 127.0.0.1: the catalogue server (start page, catalogue documents with
ETags) and the display server (pause and buffering pages, scrolling-text lists). They serve the
files under www/ and stop on Ctrl+C or SIGTERM.

usage: serve_demo.py [--catalogue-port 8780] [--display-port 8781]
"""

import argparse
import functools
import hashlib
import http.server
import os
import signal
import sys
import threading

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "www")


class DemoHandler(http.server.SimpleHTTPRequestHandler):
    """Static files with a strong ETag on every reply and 304 for a matching If-None-Match."""

    def log_message(self, fmt, *args):
        sys.stderr.write("demo %s: %s\n" % (self.server.server_port, fmt % args))

    def do_GET(self):
        path = self.translate_path(self.path)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                body = f.read()
            etag = '"%s"' % hashlib.sha1(body).hexdigest()[:16]
            if self.headers.get("If-None-Match") in (etag, etag.strip('"')):
                self.send_response(304)
                self.send_header("ETag", etag)
                self.end_headers()
                return
            self.send_response(200)
            self.send_header("Content-Type", self.guess_type(path))
            self.send_header("Content-Length", str(len(body)))
            self.send_header("ETag", etag)
            self.end_headers()
            self.wfile.write(body)
            return
        super().do_GET()


def serve(port, folder):
    handler = functools.partial(DemoHandler, directory=os.path.join(ROOT, folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    parser = argparse.ArgumentParser(description="Nivra demo servers on 127.0.0.1")
    parser.add_argument("--catalogue-port", type=int, default=8780)
    parser.add_argument("--display-port", type=int, default=8781)
    args = parser.parse_args()
    servers = [serve(args.catalogue_port, "catalogue"), serve(args.display_port, "display")]
    print("catalogue http://127.0.0.1:%d/index.htm" % args.catalogue_port, flush=True)
    print("display   http://127.0.0.1:%d/" % args.display_port, flush=True)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    for s in servers:
        s.shutdown()


if __name__ == "__main__":
    main()
