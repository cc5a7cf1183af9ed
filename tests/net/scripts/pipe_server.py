#!/usr/bin/env python3
"""A scripted server of the background-service pipe (a Unix stream socket at PATH). Prints
"READY", then for every connection per --mode:
  reply      reads the request, prints "REQUEST <hex>", answers with --size bytes (byte i is
             i % 256) written in small pieces
  close      closes every connection at once
  silent     reads the request and never answers
  busy       never accepts (a backlog of one fills up)"""
import argparse
import os
import socket
import struct
import threading
import time

parser = argparse.ArgumentParser()
parser.add_argument('--path', required=True)
parser.add_argument('--mode', required=True)
parser.add_argument('--size', type=int, default=0)
args = parser.parse_args()

os.makedirs(os.path.dirname(args.path), mode=0o700, exist_ok=True)
if os.path.exists(args.path):
    os.unlink(args.path)
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(args.path)
server.listen(0 if args.mode == 'busy' else 8)
print('READY', flush=True)


def read_exact(conn, n):
    data = b''
    while len(data) < n:
        chunk = conn.recv(n - len(data))
        if not chunk:
            raise EOFError
        data += chunk
    return data


def handle(conn):
    with conn:
        try:
            if args.mode == 'close':
                return
            head = read_exact(conn, 4)
            body = read_exact(conn, struct.unpack('<I', head)[0])
            print('REQUEST', (head + body).hex(), flush=True)
            if args.mode == 'silent':
                time.sleep(30)
                return
            reply = bytes(i % 256 for i in range(args.size))
            conn.sendall(struct.pack('<I', len(reply)))
            for i in range(0, len(reply), 1500):
                conn.sendall(reply[i:i + 1500])
                time.sleep(0.001)
        except (OSError, EOFError):
            pass


if args.mode == 'busy':
    time.sleep(60)
while True:
    conn, _ = server.accept()
    threading.Thread(target=handle, args=(conn,), daemon=True).start()
