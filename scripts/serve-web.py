#!/usr/bin/env python3
"""Serves a folder of the web build on localhost as the programs need it:
with the two headers that allow threads (SharedArrayBuffer) and the
WebAssembly type.

    serve-web.py <folder> [port]      (port 0: any free one)

Prints the address on its first line, then serves until stopped."""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript", ".data": "application/octet-stream"}

    def end_headers(self):
        # Without these two the browser gives no shared memory, and the programs' threads cannot start.
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, *args):
        pass


def serve(folder, port=0):
    """A server of `folder` on 127.0.0.1, not yet started; its address is server.server_address."""
    return http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Handler, directory=folder))


if __name__ == "__main__":
    server = serve(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 8000)
    print(f"http://localhost:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
