"""make bench's figures of the browser build: what a player downloads, and the time from the
navigation to the first frame on the canvas in headless chromium, cold (fresh profile) and on a
reload, against a minimal emscripten page built with the same options (web_hello) in the same run;
and what the service worker and manifest cost, against the same site served without them, which
is the build before them.
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
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from cdp import Browser  # noqa: E402

RUNS = 7
# The first frames move by a display frame or more from one load to the next on a shared machine:
# more loads, the game's and the minimal page's taken in turn, keep the medians from drifting apart.
FRAME_RUNS = 15
TRANSFER_TARGET_KB = 350
FRAME_TARGET = 1.5
APP_TRANSFER_TARGET_KB = 10
WARM_RELOAD_TARGET = 1.2
TAPS = 20
TAP_FRAME_TARGET = 16.7  # one display frame
APP_FILES = ("/sw.js", "/zum32.webmanifest")

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


def serve(folder, extra=None, missing=(), served=None):
    """missing: paths answered 404; served: gets (path, status) of every answer."""
    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def send_response(self, code, message=None):
            if served is not None:
                served.append((self.path, code))
            super().send_response(code, message)

        def do_GET(self):
            if self.path in missing:
                self.send_error(404)
                return
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


def in_turn(measure, game_url, hello_url):
    """FRAME_RUNS measures of the game's page (seeded records) and of the minimal page, in turn."""
    game, base = [], []
    for _ in range(FRAME_RUNS):
        game.append(measure(game_url, True))
        base.append(measure(hello_url, False))
    return game, base


def phone(browser):
    """A touch phone: its screen, touch alone, and a CPU four times slower."""
    browser.call("Emulation.setDeviceMetricsOverride", width=390, height=844, deviceScaleFactor=3, mobile=True)
    browser.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    browser.call("Emulation.setCPUThrottlingRate", rate=4)


def phone_first_frame(url, seed):
    """Milliseconds to the first frame in a fresh profile on the phone."""
    profile = tempfile.mkdtemp(prefix="zum32-bench-chromium-")
    browser = Browser(profile=profile)
    try:
        phone(browser)
        if seed:
            browser.navigate(url + "__seed.html")
            browser.wait_for("document.title === 'seeded'", what="the seeded records")
        browser.before_scripts(FIRST_FRAME)
        browser.navigate(url)
        return browser.wait_for("location.pathname === '/' && document.readyState !== 'loading' && "
                                "window.firstFrame", what="the first frame on the phone")
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


# From a finger's lift to the frame that shows what the tap opened.
TAP_FRAME = """(() => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  document.addEventListener('touchend', e => { window.lifted = e.timeStamp; window.tapFrame = undefined; }, true);
  CanvasRenderingContext2D.prototype.putImageData = function() {
    if (window.lifted !== undefined && window.tapFrame === undefined) {
      const lifted = window.lifted;
      window.lifted = undefined;
      requestAnimationFrame(now => { window.tapFrame = now - lifted; });
    }
    return put.apply(this, arguments);
  };
})();"""


# Where a tap lands: a cell of the game's new board, or the middle of the minimal page's canvas.
CELL = """(() => { const c = ZP.canvas, r = c.getBoundingClientRect(), s = r.width / c.width;
  return [r.left + (ZPTouch.band + 8) * s, r.top + (ZPTouch.band + 8) * s]; })()"""
MIDDLE = """(() => { const r = document.getElementById('screen').getBoundingClientRect();
  return [r.left + r.width / 2, r.top + r.height / 2]; })()"""


def touch_frames(url, taps, game):
    """Milliseconds from a tap's lift to the frame showing what it drew: on the game, the cell it
    opened, once a game each; on the minimal page, the square its lift puts on its canvas."""
    profile = tempfile.mkdtemp(prefix="zum32-bench-chromium-")
    browser = Browser(profile=profile)
    times = []
    try:
        phone(browser)
        if game:
            browser.navigate(url + "__seed.html")
            browser.wait_for("document.title === 'seeded'", what="the seeded records")
        browser.before_scripts(TAP_FRAME)
        browser.navigate(url)
        browser.wait_for("!document.getElementById('game').hidden" if game else
                         "document.readyState === 'complete'", what="the page")
        for _ in range(taps):
            if game:
                browser.key("n", "KeyN", ord("N"), modifiers=2)
                browser.wait_for("ZPTouch.band > 0", what="a board")
            time.sleep(0.3)
            x, y = browser.evaluate(CELL if game else MIDDLE)
            browser.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[dict(x=x, y=y)])
            browser.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
            times.append(browser.wait_for("window.tapFrame", what="the tap's frame"))
        return times
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def phone_figures(site, hello):
    seed = {"/__seed.html": SEED % ("'%s'" % records_file())}
    game_server, game_url = serve(site, seed)
    hello_server, hello_url = serve(hello)
    try:
        taps = touch_frames(game_url, TAPS, True)
        least = statistics.median(touch_frames(hello_url, TAPS, False))
        game, base = in_turn(phone_first_frame, game_url, hello_url)
    finally:
        game_server.shutdown()
        hello_server.shutdown()
    tap = statistics.median(taps)
    row("Browser build: a tap's lift to the frame showing the opened cell, phone, CPU 4× slower "
        "(median of %d)" % TAPS, "%.1f ms" % tap,
        "%.1f ms (minimal emscripten page, a square put at the lift)" % least, "slowest %.1f ms" % max(taps),
        "≤ %.1f ms" % TAP_FRAME_TARGET, tap <= TAP_FRAME_TARGET)
    g, b = statistics.median(game), statistics.median(base)
    row("Browser build: navigation to the first title frame on a phone, CPU 4× slower (median of %d)" % FRAME_RUNS,
        "%.1f ms" % g, "%.1f ms (minimal emscripten page, same emulation)" % b, "%.2f×" % (g / b),
        "≤ %.1f×" % FRAME_TARGET, g <= FRAME_TARGET * b)


def app_visit(url, served, worker):
    """A first visit (seeded records) and a reload with everything cached: the bytes answered up
    to the first frame and in all, and the reload's milliseconds to its first frame."""
    profile = tempfile.mkdtemp(prefix="zum32-bench-chromium-")
    browser = Browser(profile=profile)
    try:
        browser.viewport(1000, 760)
        browser.navigate(url + "__seed.html")
        browser.wait_for("document.title === 'seeded'", what="the seeded records")
        browser.before_scripts(FIRST_FRAME)
        del served[:]
        browser.navigate(url)
        browser.wait_for("document.readyState !== 'loading' && window.firstFrame", what="the first frame")
        to_frame = list(served)
        if worker:
            browser.wait_for("navigator.serviceWorker.controller?.state === 'activated'", what="the worker")
        else:
            browser.wait_for("document.readyState === 'complete'", what="the page's load")
        time.sleep(1)
        whole = list(served)
        browser.evaluate("window.firstFrame = undefined")
        browser.call("Page.reload")
        reload = browser.wait_for("document.readyState !== 'loading' && window.firstFrame", what="a reload")
        return to_frame, whole, reload
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def app_figures(site):
    gzipped = {}

    def kb(answers):
        total = 0
        for path, status in answers:
            name = os.path.join(site, path.split("?")[0].lstrip("/") or "index.html")
            if status == 200 and os.path.isfile(name):
                if name not in gzipped:
                    gzipped[name] = len(gzip.compress(open(name, "rb").read(), 9))
                total += gzipped[name]
        return total / 1024

    seed = {"/__seed.html": SEED % ("'%s'" % records_file())}
    served, plain_served = [], []
    app, app_url = serve(site, seed, served=served)
    plain, plain_url = serve(site, seed, missing=APP_FILES, served=plain_served)
    runs = {True: [], False: []}
    try:
        for _ in range(RUNS):
            runs[True].append(app_visit(app_url, served, True))
            runs[False].append(app_visit(plain_url, plain_served, False))
    finally:
        app.shutdown()
        plain.shutdown()
    first = {w: statistics.median(kb(r[0]) for r in runs[w]) for w in runs}
    whole = {w: statistics.median(kb(r[1]) for r in runs[w]) for w in runs}
    warm = {w: statistics.median(r[2] for r in runs[w]) for w in runs}
    added = first[True] - first[False]
    files = sum(len(gzip.compress(open(os.path.join(site, f[1:]), "rb").read(), 9)) for f in APP_FILES) / 1024
    row("Browser build: transfer added to the first load by the service worker and manifest (gzip -9)",
        "%.1f KB" % added, "%.0f KB (the same site without them)" % first[False],
        "sw.js and manifest %.1f KB in all" % files, "≤ %d KB" % APP_TRANSFER_TARGET_KB,
        max(added, files) <= APP_TRANSFER_TARGET_KB)
    print("\t".join(["Browser build: first visit in all, the copy for play offline included (gzip -9)",
                     "%.0f KB" % whole[True], "%.0f KB (the same site without them)" % whole[False],
                     "+%.0f KB, once" % (whole[True] - whole[False]), "—", "—"]))
    row("Browser build: reload with a warm cache to the first frame (median of %d)" % RUNS,
        "%.1f ms" % warm[True], "%.1f ms (the same site without the service worker)" % warm[False],
        "%.2f×" % (warm[True] / warm[False]), "≤ %.1f×" % WARM_RELOAD_TARGET,
        warm[True] <= WARM_RELOAD_TARGET * warm[False])


def row(figure, measured, baseline, result, target, met):
    print("\t".join([figure, measured, baseline, result, target, "yes" if met else "no"]))


def main(site, hello):
    # The program's script is inside index.html.
    page_files = ["zum32.wasm", "index.html", "page.css"]
    sizes = [len(gzip.compress(open(os.path.join(site, f), "rb").read(), 9)) for f in page_files]
    total = sum(sizes) / 1024
    row("Browser build: transfer of the page (wasm, html with the js, css; gzip -9)", "%.0f KB" % total,
        "—", "wasm %.0f KB, html %.0f KB" % (sizes[0] / 1024, sizes[1] / 1024),
        "≤ %d KB" % TRANSFER_TARGET_KB, total <= TRANSFER_TARGET_KB)

    game_server, game_url = serve(site, {"/__seed.html": SEED % ("'%s'" % records_file())})
    hello_server, hello_url = serve(hello)
    try:
        game, base = in_turn(first_frames, game_url, hello_url)
    finally:
        game_server.shutdown()
        hello_server.shutdown()
    for i, what in enumerate(("fresh profile", "reload")):
        g = statistics.median(t[i] for t in game)
        b = statistics.median(t[i] for t in base)
        row("Browser build: navigation to the first title frame, %s (median of %d)" % (what, FRAME_RUNS),
            "%.1f ms" % g, "%.1f ms (minimal emscripten page, same options)" % b, "%.2f×" % (g / b),
            "≤ %.1f×" % FRAME_TARGET, g <= FRAME_TARGET * b)
    app_figures(site)
    phone_figures(site, hello)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
