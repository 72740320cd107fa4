# Serves the built site on the loopback address only, with WebAssembly's MIME type (which
# Python's table may lack and instantiateStreaming requires), the policy on who may frame each
# page, and each file compressed as the browser accepts it: the brotli (.br) or gzip (.gz) copy
# that the build made beside it (web/tools/compress.mjs), or the file itself.
#   python3 serve.py DIR PORT      (port 0: any free port, printed)
import email.utils
import functools
import http.server
import os
import sys
import urllib.parse

# The pages made to be framed by any site: the embeddable figure, and the wallpaper (a wallpaper
# host may show it in a frame of its own). The playground and the site's documents refuse every
# frame, so that no other site can show the editor under its own controls. Only a header can say
# this: browsers ignore frame-ancestors in a <meta> policy.
FRAMED_ANYWHERE = {"/embed.html", "/wallpaper.html"}

# The copies the build makes, in the order preferred, with their Content-Encoding.
ENCODINGS = (("br", ".br"), ("gzip", ".gz"))


class Handler(http.server.SimpleHTTPRequestHandler):
    # As the base class answers, without its Server header: it tells a browser nothing, and each
    # answer of a first visit carried it.
    def send_response(self, code, message=None):
        self.log_request(code)
        self.send_response_only(code, message)
        self.send_header("Date", self.date_time_string())

    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".mjs": "text/javascript",
        ".css": "text/css",
        ".html": "text/html",
        ".ico": "image/x-icon",
    }

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        accepted = {part.split(";")[0].strip() for part in self.headers.get("Accept-Encoding", "").split(",")}
        for encoding, ending in ENCODINGS:
            if encoding in accepted and os.path.isfile(path + ending):
                return self.send_encoded(path, path + ending, encoding)
        return super().send_head()

    # The compressed copy of path, as a plain GET of it would be answered, but for its encoding.
    def send_encoded(self, path, copy, encoding):
        if not urllib.parse.urlsplit(self.path).path.endswith("/") and os.path.isdir(self.translate_path(self.path)):
            return super().send_head()  # the redirect to the folder's address with its slash
        modified = os.path.getmtime(path)
        asked = self.headers.get("If-Modified-Since")
        if asked and "If-None-Match" not in self.headers:
            try:
                if int(modified) <= email.utils.parsedate_to_datetime(asked).timestamp():
                    self.send_response(304)  # the browser's copy is the file as it is
                    self.end_headers()
                    return None
            except (TypeError, ValueError, IndexError, OverflowError):
                pass  # a date it cannot read: the file is sent
        stream = open(copy, "rb")
        stat = os.fstat(stream.fileno())
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", encoding)
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Content-Length", str(stat.st_size))
        self.send_header("Last-Modified", email.utils.formatdate(modified, usegmt=True))
        self.end_headers()
        return stream

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
