# Serves the built site on the loopback address only, with WebAssembly's MIME type (which
# Python's table may lack and instantiateStreaming requires) and the policy on who may frame each
# page.
#   python3 serve.py DIR PORT      (port 0: any free port, printed)
import functools
import http.server
import sys
import urllib.parse

# The pages made to be framed by any site: the embeddable figure, and the wallpaper (a wallpaper
# host may show it in a frame of its own). The playground and the site's documents refuse every
# frame, so that no other site can show the editor under its own controls. Only a header can say
# this: browsers ignore frame-ancestors in a <meta> policy.
FRAMED_ANYWHERE = {"/embed.html", "/wallpaper.html"}


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".mjs": "text/javascript",
        ".css": "text/css",
        ".html": "text/html",
        ".ico": "image/x-icon",
    }

    def end_headers(self):
        path = urllib.parse.urlsplit(self.path).path
        ancestors = "*" if path in FRAMED_ANYWHERE else "'none'"
        self.send_header("Content-Security-Policy", f"frame-ancestors {ancestors}")
        super().end_headers()


def main():
    directory, port = sys.argv[1], int(sys.argv[2])
    handler = functools.partial(Handler, directory=directory)
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"Lumenweave playground: http://127.0.0.1:{server.server_address[1]}/", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
