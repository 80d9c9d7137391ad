"""Serves the built web page on this machine only.

    python3 web/serve.py SITE_DIR [PORT]
    python3 web/serve.py --check-port PORT

A plain static server on 127.0.0.1 (PORT 0, the default, takes a free one).
It prints the page's URL as its first line, then serves until stopped; one
line per request goes to standard error. --check-port only says whether PORT
could be served now (scripts/run.sh asks before it builds the page).

A port that is in use or is no port, or a site folder that is not there, is
refused with one line on standard error and status 2; the line names the
command that takes a free port, GEODESICS_SERVE_COMMAND when the caller sets
it (scripts/run.sh does).

It answers as a page's server should and no more: files only, never a
folder's listing; a path with a NUL byte is a bad request (400). A file
with a compressed twin (FILE.gz, made by web/build.mjs) is sent as that
twin, with Content-Encoding: gzip, to a browser that accepts gzip, and as
it is to any other. The files of a build's version folder (named by the
first 12 hexadecimal digits of its content hash) never change under their
names, and browsers may keep them; every other file is read anew at each
load, so that a rebuilt page is never stale. A request
that has not arrived whole within kRequestSeconds of connecting is dropped,
and at most kConnections connections are served at once (the others wait in
the listen queue), so slow or half-open connections cannot pile up threads.
The content types are given here, not guessed from the system's tables:
module scripts must be JavaScript.
"""
import errno
import functools
import http.server
import io
import os
import re
import sys
import threading
import time

kHost = "127.0.0.1"
kRequestSeconds = 5  # from connecting to the end of the request's headers; also each later send
kConnections = 32  # a browser opens at most 6 to one server
kListenQueue = 128
kVersionFolder = re.compile(r"/[0-9a-f]{12}/")  # web/build.mjs's name for a build's own files


def accepts_gzip(header):
    """Whether an Accept-Encoding header takes gzip: named, or by '*', with
    a weight above 0."""
    weights = {}
    for part in header.split(","):
        coding, _, parameters = part.strip().partition(";")
        match = re.fullmatch(r"\s*q=([0-9.]+)\s*", parameters)
        try:
            weights[coding.strip().lower()] = float(match.group(1)) if match else 1.0
        except ValueError:
            weights[coding.strip().lower()] = 0.0
    return weights.get("gzip", weights.get("*", 0.0)) > 0


class RequestReader(io.RawIOBase):
    """The connection's reading side: the request must arrive before one
    deadline (time.monotonic()), however slowly it trickles in."""

    def __init__(self, connection, deadline):
        self._connection = connection
        self._deadline = deadline

    def readable(self):
        return True

    def readinto(self, buffer):
        left = self._deadline - time.monotonic()
        if left <= 0:
            raise TimeoutError("the request did not arrive in time")
        self._connection.settimeout(left)
        return self._connection.recv_into(buffer)


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        ".html": "text/html; charset=utf-8",
        ".css": "text/css; charset=utf-8",
        ".js": "text/javascript; charset=utf-8",
        ".json": "application/json",
        ".wasm": "application/wasm",
        ".png": "image/png",
        ".webmanifest": "application/manifest+json",
        "": "application/octet-stream",
    }
    timeout = kRequestSeconds

    def setup(self):
        super().setup()
        self.rfile.close()
        self.rfile = io.BufferedReader(RequestReader(self.connection, time.monotonic() + kRequestSeconds))

    def parse_request(self):
        parsed = super().parse_request()
        # The head has arrived: the answer's sends each get the usual timeout.
        self.connection.settimeout(kRequestSeconds)
        return parsed

    def send_head(self):
        path = self.translate_path(self.path)
        if "\0" in path:
            self.send_error(400, "Bad Request", "The path holds a NUL byte.")
            return None
        if os.path.isdir(path) and self.path.split("?", 1)[0].endswith("/"):
            path = os.path.join(path, "index.html")  # as the folder's answer below
        self.compressed = os.path.isfile(path) and os.path.isfile(path + ".gz")
        if self.compressed and accepts_gzip(self.headers.get("Accept-Encoding", "")):
            return self.send_compressed(path)
        return super().send_head()

    def send_compressed(self, path):
        twin = open(path + ".gz", "rb")
        try:
            self.send_response(200)
            self.send_header("Content-Type", self.guess_type(path))
            self.send_header("Content-Encoding", "gzip")
            self.send_header("Content-Length", str(os.fstat(twin.fileno()).st_size))
            self.end_headers()
            return twin
        except BaseException:
            twin.close()
            raise

    def list_directory(self, path):
        self.send_error(404, "File not found")
        return None

    def end_headers(self):
        if kVersionFolder.search(self.path):
            self.send_header("Cache-Control", "public, max-age=31536000, immutable")
        else:
            self.send_header("Cache-Control", "no-store")
        if getattr(self, "compressed", False):
            self.send_header("Vary", "Accept-Encoding")
        super().end_headers()


class Server(http.server.ThreadingHTTPServer):
    request_queue_size = kListenQueue

    def __init__(self, address, handler):
        self.slots = threading.BoundedSemaphore(kConnections)
        super().__init__(address, handler)

    # A connection is taken from the listen queue only when a slot is free.
    def process_request(self, request, client_address):
        self.slots.acquire()
        try:
            super().process_request(request, client_address)
        except BaseException:
            self.slots.release()
            raise

    def process_request_thread(self, request, client_address):
        try:
            super().process_request_thread(request, client_address)
        finally:
            self.slots.release()

    def handle_error(self, request, client_address):
        # A visitor that goes away mid-answer is no fault of the server's:
        # one line, never a traceback.
        error = sys.exc_info()[1]
        print(f"{client_address[0]}: {error.__class__.__name__}: {error}", file=sys.stderr, flush=True)


def refuse(message):
    print(message, file=sys.stderr, flush=True)
    sys.exit(2)


def read_port(word, command):
    if not re.fullmatch(r"[0-9]+", word) or int(word) > 65535:
        refuse(f"port '{word}' is not a port number, 0 to 65535; `{command} 0` takes a free one")
    return int(word)


def open_server(port, handler, command):
    try:
        return Server((kHost, port), handler)
    except OSError as error:
        if error.errno == errno.EADDRINUSE:
            refuse(f"port {port} is in use; `{command} 0` takes a free one")
        refuse(f"cannot serve on {kHost} port {port}: {error.strerror or error}; `{command} 0` takes a free one")


def main():
    command = os.environ.get("GEODESICS_SERVE_COMMAND") or "python3 web/serve.py SITE_DIR"
    args = sys.argv[1:]
    if len(args) == 2 and args[0] == "--check-port":
        open_server(read_port(args[1], command), Handler, command).server_close()
        return
    if len(args) not in (1, 2):
        refuse("usage: python3 web/serve.py SITE_DIR [PORT]")
    site = args[0]
    port = read_port(args[1], command) if len(args) == 2 else 0
    if not os.path.exists(site):
        refuse(f"site folder '{site}' does not exist; `scripts/run.sh web` builds the page")
    if not os.path.isdir(site):
        refuse(f"site folder '{site}' is not a folder")
    with open_server(port, functools.partial(Handler, directory=site), command) as server:
        print(f"http://{kHost}:{server.server_address[1]}/", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
