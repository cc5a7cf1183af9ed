#!/usr/bin/env python3
"""Serves the files of a folder on 127.0.0.1 and stalls halfway through each one: the first
half of the body, then a pause of PAUSE seconds, then the rest. Prints "READY <port>".
usage: slow_server.py FOLDER PAUSE"""
import http.server
import os
import socketserver
import sys
import time

root, pause = sys.argv[1], float(sys.argv[2])


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *a):
        pass

    def do_GET(self):
        path = os.path.join(root, os.path.basename(self.path.split('?')[0]))
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, 'rb') as f:
            body = f.read()
        self.send_response(200)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        half = len(body) // 2
        try:
            self.wfile.write(body[:half])
            self.wfile.flush()
            time.sleep(pause)
            self.wfile.write(body[half:])
        except (BrokenPipeError, ConnectionResetError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(('127.0.0.1', 0), Handler)
print('READY', server.server_address[1], flush=True)
server.serve_forever()
