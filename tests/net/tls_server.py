#!/usr/bin/env python3
"""HTTPS test server on 127.0.0.1 at an ephemeral port.

Usage: tls_server.py CERT KEY. Prints the port, then serves until killed.
  /to/URL  answers 302 with "Location: URL"
  anything else answers 200 with the exact request bytes (head and body) as the body
"""
import socket
import ssl
import sys
import threading


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            return None
        data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    while len(rest) < length:
        chunk = conn.recv(65536)
        if not chunk:
            return None
        rest += chunk
    return head + b"\r\n\r\n" + rest[:length]


def serve(conn):
    try:
        request = read_request(conn)
        if request is None:
            return
        target = request.split(b" ", 2)[1]
        if target.startswith(b"/to/"):
            reply = (b"HTTP/1.1 302 Found\r\nLocation: " + target[4:] +
                     b"\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
        else:
            reply = (b"HTTP/1.1 200 OK\r\nContent-Length: " + str(len(request)).encode() +
                     b"\r\nConnection: close\r\n\r\n" + request)
        conn.sendall(reply)
    except (OSError, ssl.SSLError):
        pass
    finally:
        conn.close()


def main():
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[1], sys.argv[2])
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print(listener.getsockname()[1], flush=True)
    while True:
        raw, _ = listener.accept()
        try:
            conn = context.wrap_socket(raw, server_side=True)
        except (OSError, ssl.SSLError):
            raw.close()
            continue
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
