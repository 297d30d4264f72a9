#!/usr/bin/python3
"""Stands in for the time source in the Windows end-to-end run: answers every request with a
fixed Date header, holds the first answer back for a while (so that the window's waiting texts
can be seen), and logs each request as one JSON line before answering it.

    time_source_server.py PORT LOG_FILE [FIRST_DELAY_SECONDS]
"""
import http.server
import json
import sys
import threading
import time

DATE = "Sun, 06 Nov 1994 08:49:37 GMT"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    first_answered = threading.Event()
    log_lock = threading.Lock()

    def answer(self, with_body):
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        record = {"method": self.command, "path": self.path, "headers": list(self.headers.items())}
        with self.log_lock:
            with open(self.server.log_file, "a", encoding="utf-8") as log:
                log.write(json.dumps(record) + "\n")
        if not self.first_answered.is_set():
            time.sleep(self.server.first_delay)
            self.first_answered.set()
        body = b"<html></html>" if with_body else b""
        # send_response would add the real time as Date; the time source's Date is fixed.
        self.send_response_only(200)
        self.send_header("Date", DATE)
        self.send_header("Server", "tolvaris-e2e")
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if with_body and self.command != "HEAD":
            self.wfile.write(body)
        self.close_connection = True

    def do_HEAD(self):
        self.answer(with_body=False)

    def do_GET(self):
        self.answer(with_body=True)

    def log_message(self, *args):
        pass


def main():
    port = int(sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.log_file = sys.argv[2]
    server.first_delay = float(sys.argv[3]) if len(sys.argv) > 3 else 0.0
    print("listening", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
