#!/usr/bin/env python3
"""Serves a folder of the web build as the programs need it: with the two
headers that allow threads (SharedArrayBuffer), the types of WebAssembly and
the manifest, and compressed with gzip when the browser accepts it.

    serve-web.py <folder> [port] [address]    (port 8000 unless given, 0: any
                                               free one; address 127.0.0.1)

Prints the address on its first line, then serves until stopped."""
import functools
import gzip
import http.server
import os
import sys
import threading

# What is worth compressing: everything of the site but its PNG icons.
COMPRESSED = (".html", ".js", ".wasm", ".data", ".txt", ".webmanifest", ".ico")


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript", ".data": "application/octet-stream",
                      ".webmanifest": "application/manifest+json"}
    isolation = True  # the two headers; a test serves without them as a plain static host does
    _compressed = {}  # (path, modified, size) → the gzip bytes, made once
    _lock = threading.Lock()

    def end_headers(self):
        if self.isolation:
            # Without these two the browser gives no shared memory, and the programs' threads cannot start.
            self.send_header("Cross-Origin-Opener-Policy", "same-origin")
            self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def do_GET(self):
        if not self._send_compressed():
            super().do_GET()

    def _send_compressed(self):
        """Sends the file gzipped when the browser accepts it and it is worth it; False to send it as it is."""
        path = self.translate_path(self.path)
        if not path.endswith(COMPRESSED) or "gzip" not in self.headers.get("Accept-Encoding", "") \
                or not os.path.isfile(path):
            return False
        status = os.stat(path)
        key = (path, status.st_mtime_ns, status.st_size)
        with self._lock:
            body = self._compressed.get(key)
        if body is None:
            with open(path, "rb") as f:
                body = gzip.compress(f.read(), compresslevel=6, mtime=0)
            with self._lock:
                self._compressed[key] = body
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Vary", "Accept-Encoding")
        self.end_headers()
        self.wfile.write(body)
        return True

    def log_message(self, *args):
        pass


def serve(folder, port=0, address="127.0.0.1", handler=Handler):
    """A server of `folder`, not yet started; its address is server.server_address."""
    return http.server.ThreadingHTTPServer((address, port), functools.partial(handler, directory=folder))


if __name__ == "__main__":
    address = sys.argv[3] if len(sys.argv) > 3 else "127.0.0.1"
    server = serve(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 8000, address)
    shown = "localhost" if address == "127.0.0.1" else address
    print(f"http://{shown}:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
