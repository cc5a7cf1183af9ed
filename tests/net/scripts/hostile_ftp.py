#!/usr/bin/env python3
"""A scripted FTP control server on 127.0.0.1 that misbehaves on purpose. Prints "READY <port>",
then serves connections one at a time according to --scenario:

  greeting-refused  answers the connection with 421
  user-accepted     accepts the user with 230 (no password asked)
  silent            accepts and never says anything
  long-greeting     a 3000-byte greeting
  pasv-few          a passive reply with only two items
  long-pasv         a passive reply whose port items lie beyond the first 1024 bytes
  type-refused      refuses "TYPE I" with 504
  file              a working server for one file of --size bytes (byte i is i % 251), whose
                    passive reply names 10.0.0.5; --cuts N,M,... closes the data connection of
                    the first, second, ... RETR after N, M, ... bytes; --refuse-size answers
                    SIZE with 550
Every command line received is appended to --log."""
import argparse
import socket
import threading

parser = argparse.ArgumentParser()
parser.add_argument('--scenario', required=True)
parser.add_argument('--size', type=int, default=5000)
parser.add_argument('--cuts', default='')
parser.add_argument('--log')
parser.add_argument('--refuse-size', action='store_true')
args = parser.parse_args()
cuts = [int(c) for c in args.cuts.split(',') if c]
content = bytes(i % 251 for i in range(args.size))


def log(line):
    if args.log:
        with open(args.log, 'a') as f:
            f.write(line + '\n')


def lines(conn):
    buf = b''
    while True:
        while b'\r\n' not in buf:
            chunk = conn.recv(4096)
            if not chunk:
                return
            buf += chunk
        line, buf = buf.split(b'\r\n', 1)
        text = line.decode('latin-1')
        log(text)
        yield text


def say(conn, text):
    conn.sendall(text.encode('latin-1') + b'\r\n')


def passive_listener():
    data = socket.socket()
    data.bind(('127.0.0.1', 0))
    data.listen(1)
    data.settimeout(10)
    return data


def serve_file(conn):
    say(conn, '220 ready')
    data_listener = None
    restart = 0
    for line in lines(conn):
        verb, _, arg = line.partition(' ')
        verb = verb.upper()
        if verb == 'USER':
            say(conn, '331 password please')
        elif verb == 'PASS':
            say(conn, '230 logged in')
        elif verb == 'TYPE':
            say(conn, '200 type set to %s' % arg)
        elif verb == 'PASV':
            data_listener = passive_listener()
            port = data_listener.getsockname()[1]
            say(conn, '227 Entering Passive Mode (10,0,0,5,%d,%d).' % (port // 256, port % 256))
        elif verb == 'SIZE':
            if args.refuse_size:
                say(conn, '550 SIZE not allowed here')
            else:
                say(conn, '213 %d' % len(content))
        elif verb == 'REST':
            restart = int(arg)
            say(conn, '350 restarting at %d' % restart)
        elif verb == 'RETR':
            say(conn, '150 opening data connection')
            data, peer = data_listener.accept()
            log('DATA-FROM %s' % peer[0])
            part = content[restart:]
            if cuts:
                part = part[:cuts.pop(0)]
            data.sendall(part)
            data.close()
            say(conn, '226 done')
        else:
            say(conn, '502 not here')


def serve(conn):
    s = args.scenario
    if s == 'greeting-refused':
        say(conn, '421 Service not available')
    elif s == 'silent':
        conn.settimeout(30)
        try:
            conn.recv(1)
        except OSError:
            pass
        return
    elif s == 'long-greeting':
        conn.sendall(b'220 ' + b'x' * 3000 + b'\r\n')
    elif s == 'file':
        serve_file(conn)
        return
    else:
        say(conn, '220 ready')
    for line in lines(conn):
        verb = line.split(' ')[0].upper()
        if verb == 'USER':
            say(conn, '230 no password needed' if s == 'user-accepted' else '331 password please')
        elif verb == 'PASS':
            say(conn, '230 logged in')
        elif verb == 'TYPE':
            say(conn, '504 not that type' if s == 'type-refused' else '200 type set')
        elif verb == 'PASV' and s == 'pasv-few':
            say(conn, '227 Entering')
        elif verb == 'PASV' and s == 'long-pasv':
            listener = passive_listener()
            port = listener.getsockname()[1]
            say(conn, '227 ' + 'y' * 1200 + ' (127,0,0,1,%d,%d)' % (port // 256, port % 256))
        else:
            say(conn, '502 not here')


def handle(conn):
    with conn:
        try:
            serve(conn)
        except OSError:
            pass


server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(('127.0.0.1', 0))
server.listen(8)
print('READY', server.getsockname()[1], flush=True)
while True:
    conn, _ = server.accept()
    threading.Thread(target=handle, args=(conn,), daemon=True).start()
