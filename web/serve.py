"""Serves the built web page on this machine only.

    python3 web/serve.py SITE_DIR [PORT]

A plain static server on 127.0.0.1 (PORT 0, the default, takes a free one).
It prints the page's URL as its first line, then serves until stopped; one
line per request goes to standard error. The content types are given here,
not guessed from the system's tables: module scripts must be JavaScript.
"""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        ".html": "text/html; charset=utf-8",
        ".css": "text/css; charset=utf-8",
        ".js": "text/javascript; charset=utf-8",
        ".json": "application/json",
        ".wasm": "application/wasm",
        ".png": "image/png",
        "": "application/octet-stream",
    }

    def end_headers(self):
        # Every load reads the files as built: no stale page after a rebuild.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: python3 web/serve.py SITE_DIR [PORT]")
    site = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 0
    handler = functools.partial(Handler, directory=site)
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
