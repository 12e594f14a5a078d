"""make bench's figures of the browser build: what a player downloads, and the time from the
navigation to the first frame on the canvas in headless chromium, cold (fresh profile) and on a
reload, against a minimal emscripten page built with the same options (web_hello) in the same run.
Prints the rows of bench/run.sh's table (tab-separated).

usage: web_page.py <site folder> <hello site folder>"""
import functools
import gzip
import http.server
import os
import shutil
import statistics
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from cdp import Browser  # noqa: E402

RUNS = 7
TRANSFER_TARGET_KB = 350
FRAME_TARGET = 1.5

# Marks the first frame that shows a picture put on a canvas, from the navigation's start.
FIRST_FRAME = """(() => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function() {
    if (window.firstPicture === undefined) {
      window.firstPicture = performance.now();
      requestAnimationFrame(() => { window.firstFrame = performance.now(); });
    }
    return put.apply(this, arguments);
  };
})();"""

# A full records file, so that the title comes first, as on a player's second visit.
SEED = """<!DOCTYPE html><meta charset="utf-8"><script>
const text = %s;
const bytes = Uint8Array.from(atob(text), c => c.charCodeAt(0));
const open = indexedDB.open('zum32', 1);
open.onupgradeneeded = () => open.result.createObjectStore('files');
open.onsuccess = () => {
  const t = open.result.transaction('files', 'readwrite');
  t.objectStore('files').put(bytes, 'zum32.ini');
  t.oncomplete = () => { open.result.close(); document.title = 'seeded'; };
};
</script>"""


def records_file():
    import base64
    lines = ["[" + "ずむタイ32" + "]", "LEVEL=2"]
    for level in (1, 2, 3):
        for rank in range(1, 6):
            lines += ["NAME%d(%d)=NO DATA" % (rank, level), "TIME%d(%d)=9999" % (rank, level)]
    return base64.b64encode(("\r\n".join(lines) + "\r\n").encode("cp932")).decode()


def serve(folder, extra=None):
    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def do_GET(self):
            if extra and self.path in extra:
                body = extra[self.path].encode()
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            super().do_GET()

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def first_frames(url, seed):
    """Milliseconds to the first frame in a fresh profile, then on a reload."""
    profile = tempfile.mkdtemp(prefix="zum32-bench-chromium-")
    browser = Browser(profile=profile)
    try:
        browser.viewport(1000, 760)
        if seed:
            browser.navigate(url + "__seed.html")
            browser.wait_for("document.title === 'seeded'", what="the seeded records")
        browser.call("Network.clearBrowserCache")
        browser.before_scripts(FIRST_FRAME)
        times = []
        for load in (lambda: browser.navigate(url), browser.reload):
            browser.evaluate("window.firstFrame = undefined")
            load()
            times.append(browser.wait_for(
                "location.pathname === '/' && document.readyState !== 'loading' && window.firstFrame",
                what="the first frame on the canvas"))
        return times
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def row(figure, measured, baseline, result, target, met):
    print("\t".join([figure, measured, baseline, result, target, "yes" if met else "no"]))


def main(site, hello):
    page_files = ["zum32.wasm", "zum32.js", "index.html", "page.css"]
    sizes = [len(gzip.compress(open(os.path.join(site, f), "rb").read(), 9)) for f in page_files]
    total = sum(sizes) / 1024
    row("Browser build: transfer of the page (wasm, js, html, css; gzip -9)", "%.0f KB" % total,
        "—", "wasm %.0f KB, js %.0f KB" % (sizes[0] / 1024, sizes[1] / 1024),
        "≤ %d KB" % TRANSFER_TARGET_KB, total <= TRANSFER_TARGET_KB)

    game_server, game_url = serve(site, {"/__seed.html": SEED % ("'%s'" % records_file())})
    hello_server, hello_url = serve(hello)
    game, base = [], []
    try:
        for _ in range(RUNS):
            game.append(first_frames(game_url, True))
            base.append(first_frames(hello_url, False))
    finally:
        game_server.shutdown()
        hello_server.shutdown()
    for i, what in enumerate(("fresh profile", "reload")):
        g = statistics.median(t[i] for t in game)
        b = statistics.median(t[i] for t in base)
        row("Browser build: navigation to the first title frame, %s (median of %d)" % (what, RUNS),
            "%.1f ms" % g, "%.1f ms (minimal emscripten page, same options)" % b, "%.2f×" % (g / b),
            "≤ %.1f×" % FRAME_TARGET, g <= FRAME_TARGET * b)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
