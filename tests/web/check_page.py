"""The page in headless chromium against the Linux build's own code: web_reference plays the step
script and writes what the game showed and stored; this replays the same steps on the page over
the DevTools protocol and holds its canvas and its stored records equal to them, step by step.

usage: check_page.py <site folder> <web_reference> <script> <work folder>"""
import base64
import functools
import http.server
import os
import re
import shutil
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from cdp import Browser  # noqa: E402
from ppm import read_ppm  # noqa: E402

SCREEN = """(() => {
  const canvases = [...document.querySelectorAll('canvas')];
  const c = canvases.reduce((a, b) => a.width * a.height >= b.width * b.height ? a : b);
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let s = '';
  for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
  const r = c.getBoundingClientRect();
  return [c.width, c.height, btoa(s), r.width, r.height];
})()"""

STORED = """new Promise(resolve => {
  const open = indexedDB.open('zum32');
  open.onsuccess = () => {
    const db = open.result;
    if (!db.objectStoreNames.contains('files')) { resolve(null); return; }
    const get = db.transaction('files').objectStore('files').get('zum32.ini');
    get.onsuccess = () => {
      const v = get.result;
      resolve(v ? btoa(String.fromCharCode.apply(null, v)) : null);
      db.close();
    };
    get.onerror = () => resolve(null);
  };
  open.onerror = () => resolve(null);
})"""

KEYS = {
    "Left": ("ArrowLeft", "ArrowLeft", 37, None), "Right": ("ArrowRight", "ArrowRight", 39, None),
    "Up": ("ArrowUp", "ArrowUp", 38, None), "Down": ("ArrowDown", "ArrowDown", 40, None),
    "Space": (" ", "Space", 32, " "), "Return": ("Enter", "Enter", 13, "\r"),
    "Tab": ("Tab", "Tab", 9, None),
}


def freeze_calendar(seconds):
    """The page's calendar time, fixed before any of its scripts runs."""
    return """(() => {
  const T = %d * 1000, Real = Date;
  class Frozen extends Real {
    constructor(...a) { if (a.length) super(...a); else super(T); }
    static now() { return T; }
  }
  window.Date = Frozen;
})();""" % seconds


class Page:
    def __init__(self, url, work, language="ja"):
        self.url = url
        self.language = language
        self.work = work
        self.profile = os.path.join(work, "profile")
        self.browser = None
        self.calendar = None

    def open(self, hold=None):
        """hold: the URL pattern of requests kept waiting until the check continues them."""
        self.browser = Browser(profile=self.profile, language=self.language)
        self.browser.viewport(1000, 760)
        if self.calendar is not None:
            self.browser.before_scripts(freeze_calendar(self.calendar))
        if hold:
            self.browser.call("Fetch.enable", patterns=[{"urlPattern": hold}])
        self.browser.navigate(self.url)

    def close(self):
        if self.browser:
            self.browser.close()
            self.browser = None

    def fail(self, message):
        raise AssertionError(message + "\npage console:\n" + "\n".join(self.browser.console[-30:]))

    def screen(self):
        return self.browser.evaluate(SCREEN)

    def canvas_point(self, x, y):
        """Where the page takes a press for client pixel (x, y)."""
        return self.browser.evaluate("""(() => {
          const c = document.getElementById('screen'), r = c.getBoundingClientRect();
          return [r.left + %d * r.width / c.width, r.top + %d * r.height / c.height];
        })()""" % (x, y))

    def element_point(self, selector_script):
        point = self.browser.evaluate("""(() => {
          const e = (%s);
          if (!e) return null;
          const r = e.getBoundingClientRect();
          return [r.left + r.width / 2, r.top + r.height / 2];
        })()""" % selector_script)
        if not point:
            self.fail("no element for " + selector_script)
        return point

    def key(self, stroke):
        """A key of the script (ctrl+ puts Control down around it, as a player's hand does)."""
        control = stroke.startswith("ctrl+")
        name = stroke[5:] if control else stroke
        key, code, vk, text = KEYS[name] if name in KEYS else (name.lower(), "Key" + name, ord(name), name.lower())
        send = self.browser.call
        if control:
            send("Input.dispatchKeyEvent", type="rawKeyDown", key="Control", code="ControlLeft",
                 windowsVirtualKeyCode=17, modifiers=2)
        self.browser.key(key, code, vk, modifiers=2 if control else 0, text=None if control else text)
        if control:
            send("Input.dispatchKeyEvent", type="keyUp", key="Control", code="ControlLeft",
                 windowsVirtualKeyCode=17)

    def compare(self, name, expected, mask, timeout=10):
        width, height, pixels = expected
        deadline = time.time() + timeout
        while True:
            w, h, data, css_w, css_h = self.screen()
            rgba = base64.b64decode(data)
            differ = []
            if (w, h) == (width, height):
                for y in range(h):
                    row = rgba[4 * w * y: 4 * w * (y + 1)]
                    want = pixels[3 * w * y: 3 * w * (y + 1)]
                    if row[0::4] == want[0::3] and row[1::4] == want[1::3] and row[2::4] == want[2::3]:
                        continue
                    for x in range(w):
                        if mask and mask[0] <= x < mask[0] + mask[2] and mask[1] <= y < mask[1] + mask[3]:
                            continue
                        if row[4 * x: 4 * x + 3] != want[3 * x: 3 * x + 3]:
                            differ.append((x, y))
                if not differ:
                    return css_w, css_h
            if time.time() > deadline:
                with open(os.path.join(self.work, name + ".page.ppm"), "wb") as out:
                    out.write(b"P6 %d %d 255\n" % (w, h))
                    out.write(bytes(b for i, b in enumerate(rgba) if i % 4 != 3))
                where = ""
                if differ:
                    xs, ys = [p[0] for p in differ], [p[1] for p in differ]
                    where = " in x %d..%d, y %d..%d" % (min(xs), max(xs), min(ys), max(ys))
                self.fail("step %s: the canvas (%d x %d) differs from the Linux build's (%d x %d) "
                          "in %d pixels%s; the page's picture is %s.page.ppm" % (
                              name, w, h, width, height, len(differ), where, name))
            time.sleep(0.05)

    def check_reader(self):
        """A flag set by keys as a screen reader gets it: the canvas hidden, the cursor's cell the
        grid's active descendant, named, and the flag said in the live region."""
        for stroke in ("ctrl+N", "Right", "F"):
            self.key(stroke)
        self.browser.wait_for("document.getElementById('said').textContent === '旗を立てました'", what="the flag said")
        self.browser.call("Accessibility.enable")
        shown = [(n.get("role", {}).get("value"), n.get("name", {}).get("value", ""))
                 for n in self.browser.call("Accessibility.getFullAXTree")["nodes"] if not n.get("ignored")]
        active = self.browser.evaluate("document.getElementById('board').getAttribute('aria-activedescendant')")
        cell = r"1行 1列 旗、行のヒント [\d ]+、列のヒント [\d ]+$"
        if "canvas" in dict(shown) or "grid" not in dict(shown) or active != "cell-0" or not [
                name for role, name in shown if role == "gridcell" and re.match(cell, name)]:
            self.fail("what a screen reader gets: %r, active cell %r" % (shown, active))

    def stored(self):
        value = self.browser.evaluate(STORED, await_promise=True)
        return base64.b64decode(value) if value else None

    def wait_dialog(self, present):
        self.browser.wait_for("(document.querySelector('.dialog') !== null) === %s" % (
            "true" if present else "false"), what="a dialog to " + ("open" if present else "close"))


def run(site, reference, script, work):
    # Every run starts with empty storage on both sides.
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    expected = os.path.join(work, "reference")
    os.makedirs(expected, exist_ok=True)
    config = os.path.join(work, "reference-config")
    os.makedirs(config, exist_ok=True)
    env = dict(os.environ, XDG_CONFIG_HOME=config, SDL_AUDIODRIVER="dummy")
    subprocess.run([reference, script, expected], check=True, env=env)

    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    page = Page("http://127.0.0.1:%d/" % server.server_address[1], work)
    steps = 0
    try:
        with open(os.path.join(expected, "expanded.script"), encoding="utf-8") as f:
            lines = [line.rstrip("\n") for line in f if line.strip()]
        for line in lines:
            words = line.split(" ")
            if words[0] == "dialog":
                words = words[1:]
                # The clock's steps are the page's, whether or not the dialog shows yet.
                if words[0] not in ("run", "pause"):
                    page.wait_dialog(True)
            step = words[0]
            steps += 1
            if os.environ.get("ZUM32_CHECK_VERBOSE"):
                print("%.2f %s" % (time.time(), line), flush=True)
            if step == "time":
                page.calendar = int(words[1])
                page.open()
            elif step == "boxes":
                for number in range(1, int(words[1]) + 1):
                    page.browser.wait_for("document.getElementById('box-caption-%d') !== null" % number,
                                          what="message box %d" % number)
                    page.key("Return")
                    page.browser.wait_for("document.getElementById('box-caption-%d') === null" % number,
                                          what="message box %d to close" % number)
                page.browser.wait_for("!document.getElementById('game').hidden", what="the game's window")
            elif step == "snap":
                mask = [int(v) for v in words[3:7]] if len(words) > 2 and words[2] == "mask" else None
                size = page.compare(words[1], read_ppm(os.path.join(expected, words[1] + ".ppm")), mask)
                if words[1] in ("title", "start") and tuple(size) != (368, 368):
                    page.fail("step %s: the canvas shows %s CSS pixels, not 368 x 368" % (words[1], size))
            elif step == "pause":
                page.browser.pause_time()
            elif step == "run":
                page.browser.run_time()
            elif step == "key":
                page.key(words[1])
            elif step in ("left", "right"):
                x, y = page.canvas_point(int(words[1]), int(words[2]))
                page.browser.click(x, y, button=step)
            elif step == "advance":
                page.browser.advance_time(int(words[1]))
            elif step == "menu":
                label = " ".join(words[2:])
                item = """[...document.querySelectorAll('.menu-item')].find(
                    e => e.querySelector('.label').textContent.startsWith(%r))""" % label
                page.browser.click(*page.element_point(item + ".closest('.menu-top')"))
                page.browser.click(*page.element_point(item))
            elif step == "click":
                label = " ".join(words[2:])
                page.browser.click(*page.element_point(
                    """[...document.querySelectorAll('.dialog .control')].find(
                        e => e.textContent.trim() === %r)""" % label))
            elif step == "type":
                page.browser.insert_text(" ".join(words[1:]))
            elif step == "dialog-closed":
                page.wait_dialog(False)
            elif step == "ini":
                with open(os.path.join(expected, words[1] + ".ini"), "rb") as f:
                    want = f.read()
                deadline = time.time() + 10
                while page.stored() != want:
                    if time.time() > deadline:
                        page.fail("step ini %s: the stored records differ from the Linux build's:\n"
                                  "%r\nagainst\n%r" % (words[1], page.stored(), want))
                    time.sleep(0.05)
            elif step == "restart":
                page.close()
                page.open()
                page.browser.wait_for("!document.getElementById('game').hidden", what="the game's window")
            else:
                page.fail("unknown step: " + line)
        page.check_reader()
        errors = [line for line in page.browser.console if line.startswith("exception")]
        if errors:
            page.fail("the page threw: " + errors[0])
        page.close()
        page = Page(page.url, os.path.join(work, "english"), language="en-US")
        check_english(page)
        # A server that does not call the program application/wasm: the page compiles its bytes.
        Quiet.extensions_map = dict(Quiet.extensions_map, **{".wasm": "application/octet-stream"})
        page.close()
        page = Page(page.url, os.path.join(work, "plain-server"))
        page.open()
        page.browser.wait_for("!!document.querySelector('.message-box')", what="the game from its bytes")
    finally:
        page.close()
        server.shutdown()
    print("page check: %d steps, the canvas and the records equal to the Linux build's; "
          "in English under an English browser; from a server without the wasm type" % steps)


def check_english(page):
    """English boxes, page words and menu, and the title of the README's English picture."""
    os.makedirs(page.work)
    reference, docs = os.path.join(page.work, "title_en.ppm"), os.path.dirname(os.path.abspath(__file__))
    subprocess.run(["convert", docs + "/../../docs/title_en.png", "-gravity", "SouthWest", "-crop",
                    "368x368+0+0", "+repage", "ppm:" + reference], check=True)
    # The page's first script compiles the program and reads the records while the stylesheet is
    # still on its way (its policy lets it run); the game waits for the stylesheet.
    page.open(hold="*page.css")
    held = page.browser.wait_event("Fetch.requestPaused")
    page.browser.wait_for("typeof zumBoot === 'object'", what="the page's first script")
    if not page.browser.evaluate("""Promise.all([zumBoot.program, zumBoot.records])
            .then(([program]) => program instanceof WebAssembly.Module)""", await_promise=True):
        page.fail("the program was not compiled before the page was styled")
    if page.browser.evaluate("typeof ZP !== 'undefined' || !!document.querySelector('.message-box')"):
        page.fail("the game started before the page was styled")
    page.browser.call("Fetch.continueRequest", requestId=held["requestId"])
    for number in (1, 2, 3):
        page.browser.wait_for("!!document.getElementById('box-caption-%d')" % number, what="a box")
        words = words if number > 1 else [page.browser.evaluate("document.getElementById('box-text-1').textContent")]
        page.key("Return")
    page.browser.wait_for("!document.getElementById('game').hidden", what="the game's window")
    words += page.browser.evaluate("""[document.documentElement.lang,
        document.getElementById('records-save').textContent, document.getElementById('help').dataset.index,
        document.getElementById('menubar').textContent]""")
    if words[:4] != ["No records for Beginner were found.\nA new table will be created.", "en",
                     "Save records…", "help/en/index.html"] or not words[4].startswith("GameStart"):
        page.fail("the English page's words: %r" % words)
    if tuple(page.compare("english-title", read_ppm(reference), (245, 64, 32, 32))) != (368, 368):  # it animates
        page.fail("the English title is not shown at 368 x 368 CSS pixels")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    run(*sys.argv[1:])
