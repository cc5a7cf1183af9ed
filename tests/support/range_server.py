#!/usr/bin/env python3
"""Serves the files of a folder on 127.0.0.1 with byte ranges (206 Partial Content), as the
video sites' segment servers do. A path under /cut/ serves its file cut off in the middle: the
headers promise the whole file, half the body comes, and the connection closes. A missing file
is 404. Prints "READY <port>".
usage: range_server.py FOLDER"""
import http.server
import os
import re
import socketserver
import sys

root = sys.argv[1]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, *a):
        pass

    def do_HEAD(self):
        self.respond(False)

    def do_GET(self):
        self.respond(True)

    def respond(self, with_body):
        name = self.path.split('?')[0]
        cut = name.startswith('/cut/')
        path = os.path.join(root, name[len('/cut/') if cut else 1:])
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, 'rb') as f:
            body = f.read()
        first, last = 0, len(body) - 1
        match = re.fullmatch(r'bytes=(\d*)-(\d*)', self.headers.get('Range', ''))
        if match and (match.group(1) or match.group(2)):
            if match.group(1):
                first = int(match.group(1))
                if match.group(2):
                    last = min(int(match.group(2)), last)
            else:
                first = max(len(body) - int(match.group(2)), 0)
            if first > last:
                self.send_response(416)
                self.send_header('Content-Range', f'bytes */{len(body)}')
                self.send_header('Content-Length', '0')
                self.end_headers()
                return
            self.send_response(206)
            self.send_header('Content-Range', f'bytes {first}-{last}/{len(body)}')
        else:
            self.send_response(200)
        self.send_header('Accept-Ranges', 'bytes')
        self.send_header('Content-Type', 'application/octet-stream')
        self.send_header('Content-Length', str(last - first + 1))
        if cut:
            self.send_header('Connection', 'close')
        self.end_headers()
        if not with_body:
            return
        part = body[first:last + 1]
        if cut:
            part = part[:max(len(body) // 2 - first, 0)]
            self.close_connection = True
        try:
            self.wfile.write(part)
            self.wfile.flush()
        except (BrokenPipeError, ConnectionResetError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # a client closing early (a reset connection) is no news


server = Server(('127.0.0.1', 0), Handler)
print('READY', server.server_address[1], flush=True)
server.serve_forever()
