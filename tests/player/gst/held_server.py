#!/usr/bin/env python3
"""Serves the files of a folder on 127.0.0.1 without byte ranges, and answers each request only
when it may: after DELAY seconds, or, with DELAY "held", once a file named "release" appears in
the folder. Prints "READY <port>", then "REQUEST <path>" as each request arrives.
usage: held_server.py FOLDER DELAY|held"""
import http.server
import os
import socketserver
import sys
import time

root, delay = sys.argv[1], sys.argv[2]


def wait_until_allowed():
    if delay != 'held':
        time.sleep(float(delay))
        return
    while not os.path.exists(os.path.join(root, 'release')):
        time.sleep(0.02)


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *a):
        pass

    def do_GET(self):
        print('REQUEST', self.path, flush=True)
        wait_until_allowed()
        path = os.path.join(root, os.path.basename(self.path.split('?')[0]))
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, 'rb') as f:
            body = f.read()
        self.send_response(200)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(('127.0.0.1', 0), Handler)
print('READY', server.server_address[1], flush=True)
server.serve_forever()
