#!/usr/bin/env python3
"""A scripted HTTP/1.1 server on 127.0.0.1 for the download tests. Prints "READY <port>".
  /chunked      200, chunked body, no Content-Length
  /error        404 with a Content-Length body
  /empty        200 with Content-Length: 0
  /truncated    Content-Length 1000, then 500 bytes and the connection closes
  /headers      200, the request line and headers as received, as the body
  /flaky?N      chunked (no Content-Length) for the first N requests, then a real body
  /count        the number of /flaky requests so far
  /hang         never answers
  /moved        302 with a "moved" body (Content-Length) to /final
  /final        200 "final body"
  /dir/relative 301 to the relative "final", that is /dir/final ("final in dir")
  /absolute     307 to http://127.0.0.1:<this port>/final, chunked "moved" body
  /chain/N      302 to /chain/N-1, /chain/0 is "end of chain"
  /to-error     303 to /error
  /to-chunked   302 to /chunked
  /to-ftp       302 to ftp://127.0.0.1:1/x
  /no-location  302 without a Location, body "no location"""
import http.server
import socketserver
import time

flaky_requests = 0


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, *a):
        pass

    def send_body(self, status, body):
        self.send_response(status)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_redirect(self, status, location, chunked=False):
        self.send_response(status)
        self.send_header('Location', location)
        if chunked:
            self.send_chunk_body(b'moved')
            return
        self.send_header('Content-Length', '5')
        self.end_headers()
        self.wfile.write(b'moved')

    def send_chunked(self, body):
        self.send_response(200)
        self.send_chunk_body(body)

    def send_chunk_body(self, body):
        self.send_header('Transfer-Encoding', 'chunked')
        self.end_headers()
        for i in range(0, len(body), 4):
            part = body[i:i + 4]
            self.wfile.write(b'%x\r\n%s\r\n' % (len(part), part))
        self.wfile.write(b'0\r\n\r\n')

    def do_GET(self):
        global flaky_requests
        path, _, query = self.path.partition('?')
        if path == '/chunked':
            self.send_chunked(b'chunked body text')
        elif path == '/error':
            self.send_body(404, b'<html>not here</html>')
        elif path == '/empty':
            self.send_body(200, b'')
        elif path == '/truncated':
            self.send_response(200)
            self.send_header('Content-Length', '1000')
            self.end_headers()
            self.wfile.write(b'z' * 500)
            self.wfile.flush()
            self.close_connection = True
        elif path == '/headers':
            head = self.requestline + '\r\n' + str(self.headers)
            self.send_body(200, head.encode('latin-1'))
        elif path == '/flaky':
            flaky_requests += 1
            if flaky_requests <= int(query or '0'):
                self.send_chunked(b'not yet')
            else:
                self.send_body(200, b'finally here')
        elif path == '/hang':
            time.sleep(60)
        elif path == '/moved':
            self.send_redirect(302, '/final')
        elif path == '/final':
            self.send_body(200, b'final body')
        elif path == '/dir/relative':
            self.send_redirect(301, 'final')
        elif path == '/dir/final':
            self.send_body(200, b'final in dir')
        elif path == '/absolute':
            port = self.server.server_address[1]
            self.send_redirect(307, 'http://127.0.0.1:%d/final' % port, chunked=True)
        elif path.startswith('/chain/'):
            n = int(path[len('/chain/'):])
            if n == 0:
                self.send_body(200, b'end of chain')
            else:
                self.send_redirect(302, '/chain/%d' % (n - 1))
        elif path == '/to-error':
            self.send_redirect(303, '/error')
        elif path == '/to-chunked':
            self.send_redirect(302, '/chunked')
        elif path == '/to-ftp':
            self.send_redirect(302, 'ftp://127.0.0.1:1/x')
        elif path == '/no-location':
            self.send_body(302, b'no location')
        elif path == '/count':
            self.send_body(200, str(flaky_requests).encode())
        else:
            self.send_body(404, b'unknown')


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # clients that hang up early (on purpose) are not errors here


server = Server(('127.0.0.1', 0), Handler)
print('READY', server.server_address[1], flush=True)
server.serve_forever()
