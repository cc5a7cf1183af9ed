#!/usr/bin/python3
"""A catalogue server for tests: serves DOCROOT/<name> for GET /rjson/<name>.

Per document, optional side files steer the reply:
  <name>.etag    the ETag header value, sent exactly as written (no header without the file)
  <name>.status  a status code to answer with instead of the document
  <name>.delay   seconds to wait before answering
A request whose If-None-Match equals the ETag value, quotes aside, gets 304 with no body.
Every request is appended to LOG as one JSON line: {"path": ..., "if_none_match": ... or null}.
The chosen port is written to PORTFILE once the socket listens.

usage: etag_server.py DOCROOT PORTFILE LOG
"""
import http.server
import json
import os
import sys
import threading
import time

docroot, portfile, logfile = sys.argv[1:4]
log_lock = threading.Lock()


def side(path, suffix):
    try:
        with open(path + suffix, "rb") as f:
            return f.read().decode("utf-8").rstrip("\r\n")
    except OSError:
        return None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body=b"", headers=()):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body:
            self.wfile.write(body)

    def do_GET(self):
        inm = self.headers.get("If-None-Match")
        with log_lock, open(logfile, "a") as log:
            log.write(json.dumps({"path": self.path, "if_none_match": inm}) + "\n")
        if not self.path.startswith("/rjson/"):
            return self.reply(404)
        name = self.path[len("/rjson/"):]
        path = os.path.normpath(os.path.join(docroot, name))
        if not path.startswith(os.path.abspath(docroot) + os.sep):
            return self.reply(403)
        delay = side(path, ".delay")
        if delay:
            time.sleep(float(delay))
        status = side(path, ".status")
        if status:
            return self.reply(int(status))
        try:
            with open(path, "rb") as f:
                body = f.read()
        except OSError:
            return self.reply(404)
        etag = side(path, ".etag")
        headers = [("ETag", etag)] if etag is not None else []
        if etag is not None and inm is not None and inm.strip('"') == etag.strip('"'):
            return self.reply(304, b"", headers)
        self.reply(200, body, headers)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
tmp = portfile + ".tmp"
with open(tmp, "w") as f:
    f.write(str(server.server_address[1]))
os.rename(tmp, portfile)
server.serve_forever()
