#!/usr/bin/python3
"""Answers every HEAD or GET on 127.0.0.1:PORT with 200 and a fixed Date header.

    date_server.py PORT "Fri, 07 Mar 2025 01:05:03 GMT"
Prints "ready" once it listens.
"""
import http.server
import sys


class FixedDateHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def date_time_string(self, timestamp=None):
        return self.server.fixed_date

    def do_HEAD(self):
        self.send_response(200)
        self.send_header("Content-Length", "0")
        self.end_headers()

    do_GET = do_HEAD

    def log_message(self, format, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), FixedDateHandler)
    server.fixed_date = sys.argv[2]
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
