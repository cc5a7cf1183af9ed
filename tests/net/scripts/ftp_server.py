#!/usr/bin/env python3
"""pyftpdlib on 127.0.0.1 for the network tests: serves ROOT to one user or anonymously and
prints "READY <port>". The session keeps pyftpdlib's own defaults, like a stock server: it
starts in ASCII type (SIZE is refused with 550 and RETR turns LF into CR LF until the client
sends "TYPE I")."""
import argparse
import logging

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument('--root', required=True)
parser.add_argument('--port', type=int, default=0)
parser.add_argument('--user')
parser.add_argument('--password', default='')
parser.add_argument('--log', help='file that gets every command line received')
parser.add_argument('--banner')
args = parser.parse_args()

authorizer = DummyAuthorizer()
if args.user:
    authorizer.add_user(args.user, args.password, args.root, perm='elr')
else:
    authorizer.add_anonymous(args.root)


class Handler(FTPHandler):
    def pre_process_command(self, line, cmd, arg):
        if args.log:
            with open(args.log, 'a') as log:
                log.write(line + '\n')
        super().pre_process_command(line, cmd, arg)


Handler.authorizer = authorizer
Handler.auth_failed_timeout = 0
if args.banner:
    Handler.banner = args.banner
logging.basicConfig(level=logging.CRITICAL)
server = FTPServer(('127.0.0.1', args.port), Handler)
print('READY', server.address[1], flush=True)
server.serve_forever()
