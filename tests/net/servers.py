#!/usr/bin/env python3
"""Loopback servers for the network download tests, on ports chosen free at run time.

Usage: servers.py ROOT PORTFILE

HTTP serves ROOT/http (unknown files get the standard 404 page, whose first 30 bytes do
not say "404"); "/short/NAME" announces 100000 bytes and sends 10000. FTP serves ROOT/ftp
to anonymous logins and ROOT/ftp/private to the user "kestrune" with the password
"heslo". A third port accepts connections and never answers. A fourth was free when
chosen and nobody listens on it. The ports are written to PORTFILE as
"http ftp stall down" once everything listens; the servers run until killed.
"""
import functools
import http.server
import os
import socket
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/short/"):
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b"x" * 10000)
            self.wfile.flush()
            self.close_connection = True
            return
        super().do_GET()

    def log_message(self, *args):
        pass


def main():
    root, port_file = sys.argv[1], sys.argv[2]
    os.makedirs(os.path.join(root, "http"), exist_ok=True)
    os.makedirs(os.path.join(root, "ftp", "private"), exist_ok=True)

    web = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=os.path.join(root, "http")))
    threading.Thread(target=web.serve_forever, daemon=True).start()

    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(os.path.join(root, "ftp"))
    authorizer.add_user("kestrune", "heslo", os.path.join(root, "ftp", "private"), perm="elr")
    FTPHandler.authorizer = authorizer
    FTPHandler.passive_ports = None
    ftp = FTPServer(("127.0.0.1", 0), FTPHandler)
    threading.Thread(target=ftp.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()

    stall = socket.socket()
    stall.bind(("127.0.0.1", 0))
    stall.listen(16)
    held = []

    def accept_and_hold():
        while True:
            held.append(stall.accept()[0])

    threading.Thread(target=accept_and_hold, daemon=True).start()

    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    down = probe.getsockname()[1]
    probe.close()

    with open(port_file + ".tmp", "w") as out:
        out.write("%d %d %d %d\n" % (web.server_address[1], ftp.address[1], stall.getsockname()[1], down))
    os.rename(port_file + ".tmp", port_file)
    threading.Event().wait()


if __name__ == "__main__":
    main()
