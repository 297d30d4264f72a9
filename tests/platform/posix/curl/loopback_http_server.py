#!/usr/bin/python3
"""A scriptable HTTP/1.1 server on 127.0.0.1 for the request-object tests.

Usage: loopback_http_server.py SCRIPT LOG_DIR [CERT KEY]

Listens on an ephemeral port of 127.0.0.1 (TLS when CERT and KEY are given) and prints
"PORT <n>" on its first output line once it accepts connections.

Every request is stored byte for byte (head and body) as LOG_DIR/<n>.req, numbered from 1 in
the order of arrival, before any answer goes out, so a client that has its answer can read
the request it sent.

SCRIPT holds one route per block; the request target's path (query and, for a proxy's
absolute form, scheme and authority left out) picks the route:

    ROUTE <path> respond|hang|close
    SEND <repeat> <hex bytes>      # appended to the answer, <repeat> times in a row
    PAUSE <milliseconds>           # what is ready goes out, then the server waits
    SEND ...

respond sends the answer and keeps the connection for the next request; hang reads and
ignores everything until the client goes away; close drops the connection unanswered.
A path without a route gets a 404. Large answers are streamed piece by piece, never built
whole, so the server stays small whatever it sends.
"""

import os
import socket
import ssl
import sys
import threading
import time
import urllib.parse

HEAD_LIMIT = 1 << 20
CHUNK = 64 * 1024


class Route:
    def __init__(self, mode):
        self.mode = mode
        self.segments = []  # (repeat, bytes), or (None, seconds) for a pause


def read_script(path):
    routes = {}
    current = None
    with open(path, encoding="ascii") as script:
        for line in script:
            words = line.split()
            if not words:
                continue
            if words[0] == "ROUTE":
                current = Route(words[2])
                routes[words[1]] = current
            elif words[0] == "SEND":
                data = bytes.fromhex(words[2]) if len(words) > 2 else b""
                current.segments.append((int(words[1]), data))
            elif words[0] == "PAUSE":
                current.segments.append((None, int(words[1]) / 1000))
            else:
                raise ValueError("unknown script line: " + line)
    return routes


NOT_FOUND = Route("respond")
NOT_FOUND.segments.append((1, b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"))


class Server:
    def __init__(self, routes, log_dir, tls):
        self.routes = routes
        self.log_dir = log_dir
        self.tls = tls
        self.count = 0
        self.lock = threading.Lock()

    def record(self, request):
        with self.lock:
            self.count += 1
            number = self.count
        final = os.path.join(self.log_dir, "%d.req" % number)
        with open(final + ".tmp", "wb") as log:
            log.write(request)
        os.rename(final + ".tmp", final)

    def route_for(self, head):
        target = head.split(b"\r\n", 1)[0].split(b" ")
        target = target[1].decode("latin-1") if len(target) > 1 else ""
        path = urllib.parse.urlsplit(target).path or target
        return self.routes.get(path, NOT_FOUND)

    def serve(self, conn):
        try:
            if self.tls:
                conn.settimeout(10)
                conn = self.tls.wrap_socket(conn, server_side=True)
                conn.settimeout(None)
            pending = b""
            while True:
                request, pending = read_request(conn, pending)
                if request is None:
                    return
                self.record(request)
                route = self.route_for(request)
                if route.mode == "close":
                    return
                if route.mode == "hang":
                    while conn.recv(CHUNK):
                        pass
                    return
                send_segments(conn, route.segments)
        except (OSError, ssl.SSLError, ValueError):
            pass
        finally:
            conn.close()


def read_request(conn, pending):
    """The next request on the connection (head and body), or None at its end."""
    while b"\r\n\r\n" not in pending:
        if len(pending) > HEAD_LIMIT:
            return None, b""
        data = conn.recv(CHUNK)
        if not data:
            return None, b""
        pending += data
    end = pending.index(b"\r\n\r\n") + 4
    head = pending[:end]
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    while len(pending) < end + length:
        data = conn.recv(CHUNK)
        if not data:
            return None, b""
        pending += data
    return pending[: end + length], pending[end + length :]


def send_segments(conn, segments):
    buffer = bytearray()
    for repeat, data in segments:
        if repeat is None:
            if buffer:
                conn.sendall(buffer)
                buffer.clear()
            time.sleep(data)
            continue
        for _ in range(repeat):
            buffer += data
            if len(buffer) >= CHUNK:
                conn.sendall(buffer)
                buffer.clear()
    if buffer:
        conn.sendall(buffer)


def main():
    routes = read_script(sys.argv[1])
    tls = None
    if len(sys.argv) > 4:
        tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls.load_cert_chain(sys.argv[3], sys.argv[4])
    server = Server(routes, sys.argv[2], tls)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=server.serve, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
