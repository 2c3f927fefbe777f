#!/usr/bin/env python3
"""An HTTP server on loopback that misbehaves on request, for the failures a static server never shows.

Every path is /<behaviour>/<n>[?anything]. For the blob behaviours n is the size of a blob whose byte i
is i % 251 (see FaultBlob in test_servers.h); the Range header "bytes=first-last" picks the part that is
answered (the whole blob with status 200 when there is no Range header).

  status/<code>        that status, with a short text body
  range/<n>            a correct answer: 206 and the range with its Content-Length
  no-length/<n>        206 and the range without Content-Length; the body ends when the connection closes
  short/<n>            like no-length, one byte short
  long/<n>             like no-length, one byte too many (sent after a pause, as a separate piece)
  wrong-length/<n>     206 announcing and sending one byte more than the range
  ignore-range/<n>     200 and the whole blob, whatever the Range header says
  drop/<n>             206 with the right Content-Length, half the range, then the connection is reset
  slow/<n>             206 with the right Content-Length, sent in 16 pieces with pauses
  drip/<n>             200 with the right Content-Length, then one byte a second

Files of the served folder (--root) are reachable as /store/<mode>/<path>, each request recorded in
--request-log as "<mode> <path> <Range header or ->":

  store/ok/<path>       the file, with ranges answered 206 as a static server does
  store/fail500/<path>  status 500 for every request with a Range header; the file otherwise
  store/trickle/<path>  like ok, but a range that does not start at byte 0 trickles out slowly
                        (64 bytes every 50 ms), so a test can stop a download in the middle of a blob
  store/trickleblobs/<path>  like ok, but every answer for a blob trickles out slowly
  store/corrupt/<path>  like ok, but every answer for a blob has its first byte changed
  store/stallhalf/<path>  like ok, but the first segment of a blob of several (a range from byte 0 that
                        does not reach the end) sends half its range and then nothing, holding the
                        connection open
  store/crawl/<path>    like stallhalf, but that range crawls at 1 KiB a second, while every other answer
                        for a blob goes at a steady 2 MiB a second (so the fast ones are busy beside it)

A mode may carry a tag after a dot (ok.run7): it only marks the test's requests in the log.

The server listens on 127.0.0.1 only, writes its port to --port-file once it listens, and exits by
itself after --lifetime seconds.
"""
import argparse
import http.server
import os
import re
import select
import socket
import struct
import sys
import threading
import time

PATTERN = bytes(range(251))
STALL_HOLD = 120
CRAWL_PIECE = 1024
CRAWL_PAUSE = 1.0
PACED_PIECE = 64 * 1024
PACED_PAUSE = 0.03
SLOW_PIECES = 16
SLOW_PAUSE = 0.05
LONG_PAUSE = 0.2
DRIP_PAUSE = 1.0


def blob(size):
    return (PATTERN * (size // len(PATTERN) + 1))[:size]


class Handler(http.server.BaseHTTPRequestHandler):
    # HTTP/1.0: one request per connection, so a body without Content-Length ends when the connection closes.
    protocol_version = "HTTP/1.0"
    # A client that stops reading or never sends its request cannot hold a thread for long.
    timeout = 30

    def log_message(self, format, *args):
        sys.stderr.write("%s\n" % (format % args))

    def do_GET(self):
        if self.path.startswith("/store/"):
            self.answer_store()
            return
        match = re.fullmatch(r"/([a-z-]+)/(\d+)", self.path.split("?", 1)[0])
        behaviour = getattr(self, "answer_" + match.group(1).replace("-", "_"), None) if match else None
        if behaviour is None:
            self.send_error(400, "unknown behaviour")
            return
        behaviour(int(match.group(2)))

    def requested_range(self, size):
        """(first, last) asked for, or None without a Range header."""
        match = re.fullmatch(r"bytes=(\d+)-(\d+)", self.headers.get("Range", ""))
        if match is None:
            return None
        first, last = int(match.group(1)), int(match.group(2))
        return first, min(last, size - 1)

    def head(self, status, length=None):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        if length is not None:
            self.send_header("Content-Length", str(length))
        self.end_headers()

    def range_body(self, size):
        """(status, body) of a correct answer."""
        data = blob(size)
        asked = self.requested_range(size)
        if asked is None:
            return 200, data
        return 206, data[asked[0] : asked[1] + 1]

    def answer_store(self):
        match = re.fullmatch(r"/store/(([a-z0-9]+)(?:\.[A-Za-z0-9-]+)?)/([^?]+)(\?.*)?", self.path)
        root = os.path.realpath(self.server.root)
        path = os.path.realpath(os.path.join(root, match.group(3))) if match else ""
        if not match or not path.startswith(root + os.sep) or not os.path.isfile(path):
            self.send_error(404)
            return
        mode, ranged = match.group(2), "Range" in self.headers
        with self.server.log_lock, open(self.server.request_log, "a") as log:
            log.write("%s %s %s\n" % (match.group(1), match.group(3), self.headers.get("Range", "-")))
        if mode == "fail500" and ranged:
            self.answer_status(500)
            return
        with open(path, "rb") as f:
            data = f.read()
        asked = self.requested_range(len(data))
        status, body = (200, data) if asked is None else (206, data[asked[0] : asked[1] + 1])
        if mode == "corrupt" and "/blobs/" in path and body:
            body = bytes([body[0] ^ 0xFF]) + body[1:]
        self.head(status, len(body))
        first_segment = "/blobs/" in path and asked is not None and asked[0] == 0 and len(body) < len(data)
        if (mode == "trickle" and asked is not None and asked[0] > 0) or (mode == "trickleblobs" and "/blobs/" in path):
            self.trickle(body)
        elif mode == "stallhalf" and first_segment:
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.hold()
        elif mode == "crawl" and first_segment:
            self.paced(body, CRAWL_PIECE, CRAWL_PAUSE)
        elif mode == "crawl" and "/blobs/" in path:
            self.paced(body, PACED_PIECE, PACED_PAUSE)
        else:
            self.wfile.write(body)

    def hold(self):
        """Sends nothing more until the client hangs up (or STALL_HOLD seconds pass)."""
        deadline = time.monotonic() + STALL_HOLD
        while time.monotonic() < deadline:
            readable, _, _ = select.select([self.connection], [], [], 0.5)
            if readable and not self.connection.recv(1):
                return

    def paced(self, body, piece, pause):
        deadline = time.monotonic() + STALL_HOLD
        for offset in range(0, len(body), piece):
            if time.monotonic() > deadline:
                return
            self.wfile.write(body[offset : offset + piece])
            self.wfile.flush()
            time.sleep(pause)

    def trickle(self, body):
        deadline = time.monotonic() + 120
        for offset in range(0, len(body), 64):
            if time.monotonic() > deadline:
                return
            self.wfile.write(body[offset : offset + 64])
            self.wfile.flush()
            time.sleep(0.05)

    def answer_status(self, code):
        body = ("status %d from the fault server\n" % code).encode()
        self.head(code, len(body))
        self.wfile.write(body)

    def answer_range(self, size):
        status, body = self.range_body(size)
        self.head(status, len(body))
        self.wfile.write(body)

    def answer_no_length(self, size):
        status, body = self.range_body(size)
        self.head(status)
        self.wfile.write(body)

    def answer_short(self, size):
        status, body = self.range_body(size)
        self.head(status)
        self.wfile.write(body[:-1])

    def answer_long(self, size):
        status, body = self.range_body(size)
        self.head(status)
        self.wfile.write(body)
        self.wfile.flush()
        time.sleep(LONG_PAUSE)
        self.wfile.write(b"+")

    def answer_wrong_length(self, size):
        status, body = self.range_body(size)
        body += b"+"
        self.head(status, len(body))
        self.wfile.write(body)

    def answer_ignore_range(self, size):
        body = blob(size)
        self.head(200, len(body))
        self.wfile.write(body)

    def answer_drop(self, size):
        status, body = self.range_body(size)
        self.head(status, len(body))
        self.wfile.write(body[: len(body) // 2])
        self.wfile.flush()
        # Give the client time to take the head, so the reset falls in the body and not in the head.
        time.sleep(LONG_PAUSE)
        # Linger with a zero time-out: close() resets the connection instead of ending it cleanly.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True

    def answer_drip(self, size):
        body = blob(size)
        self.head(200, len(body))
        self.wfile.flush()
        for i in range(len(body)):
            self.wfile.write(body[i : i + 1])
            self.wfile.flush()
            time.sleep(DRIP_PAUSE)

    def answer_slow(self, size):
        status, body = self.range_body(size)
        self.head(status, len(body))
        step = max(1, -(-len(body) // SLOW_PIECES))
        for start in range(0, len(body), step):
            self.wfile.write(body[start : start + step])
            self.wfile.flush()
            time.sleep(SLOW_PAUSE)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    # Bounds each wait for a connection so that the main loop sees its deadline.
    timeout = 0.5

    def handle_error(self, request, client_address):
        # Clients that hang up early are part of the tests, not errors of the server.
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--lifetime", type=float, default=3600)
    parser.add_argument("--root", default=".")
    parser.add_argument("--request-log", default=os.devnull)
    args = parser.parse_args()

    server = Server(("127.0.0.1", 0), Handler)
    server.root = args.root
    server.request_log = args.request_log
    server.log_lock = threading.Lock()
    temporary = args.port_file + ".tmp"
    with open(temporary, "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(temporary, args.port_file)

    deadline = time.monotonic() + args.lifetime
    while time.monotonic() < deadline:
        server.handle_request()
    server.server_close()


if __name__ == "__main__":
    main()
