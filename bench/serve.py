#!/usr/bin/env python3
"""Serves one folder over HTTP on 127.0.0.1 at an ephemeral port; prints the port, then serves
until killed. Used by bench/run for the loopback pages."""
import functools
import http.server
import sys


class Quiet(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass


def main():
    folder = sys.argv[1]
    handler = functools.partial(Quiet, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
