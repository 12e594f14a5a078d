"""The page on a touch phone, by finger alone, against the Linux build's code (web_reference) step
by step, as check_page.py does with the mouse and keys: the page never moves under a finger, the
pinned clues copy the picture's, and every control is a finger's size.

usage: check_phone.py <site folder> <web_reference> <work folder>"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_page import Page, read_ppm, freeze_calendar  # noqa: E402
from check_app import serve  # noqa: E402
from cdp import Browser  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

# The page's controls that a finger must hit: where each is, and when it shows.
TARGETS = {
    "menu": "[...document.querySelectorAll('.menu-top'), ...document.querySelectorAll('#records button')]",
    "items": "[...document.querySelectorAll('.menu-popup:not([hidden]) .menu-item')]",
    "box": "[...document.querySelectorAll('.message-box button')]",
    "dialog": "[...document.querySelectorAll('.dialog .radio, .dialog button, .dialog .edit')]",
    "help": "[...document.querySelectorAll('.help-bar button')]",
}

PINNED = """(() => {
  const screen = document.getElementById('screen'), view = document.getElementById('view').getBoundingClientRect();
  const s = screen.getBoundingClientRect(), scale = s.width / screen.width;
  const rows = document.getElementById('pin-rows'), columns = document.getElementById('pin-columns');
  if (rows.hidden || columns.hidden) return 'the strips are hidden while zoomed';
  const r = rows.getBoundingClientRect(), c = columns.getBoundingClientRect();
  if (Math.abs(r.left - view.left) > 0.01 || Math.abs(c.top - view.top) > 0.01) return 'not at the edges';
  if (Math.abs(r.top - s.top) > 0.01 || Math.abs(c.left - s.left) > 0.01) return 'not beside the rows and columns in view';
  if (Math.abs(r.height - rows.height * scale) > 0.05 || Math.abs(c.width - columns.width * scale) > 0.05)
    return 'not along the rows and columns';
  if (r.width > view.width / 2 || c.height > view.height / 2) return 'over most of the view';
  const same = (strip, w, h) => {
    const a = strip.getContext('2d').getImageData(0, 0, w, h).data;
    const b = screen.getContext('2d').getImageData(0, 0, w, h).data;
    return a.every((v, i) => v === b[i]);
  };
  if (!same(rows, rows.width, rows.height) || !same(columns, columns.width, columns.height)) return 'pixels differ';
  return s.left < view.left && s.top < view.top ? 'ok' : 'not panned';
})()"""


class Phone(Page):
    def open(self):
        self.browser = Browser(profile=self.profile)
        self.browser.call("Emulation.setDeviceMetricsOverride", width=390, height=844, deviceScaleFactor=3,
                          mobile=True)
        self.browser.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
        self.browser.call("Emulation.setEmulatedMedia", features=[
            {"name": "pointer", "value": "coarse"}, {"name": "hover", "value": "none"}])
        if self.calendar is not None:
            self.browser.before_scripts(freeze_calendar(self.calendar))
        self.browser.navigate(self.url)

    def touch(self, kind, points):
        self.browser.call("Input.dispatchTouchEvent", type=kind,
                          touchPoints=[dict(x=x, y=y, id=i) for i, (x, y) in enumerate(points)])

    def tap(self, x, y):
        self.touch("touchStart", [(x, y)])
        self.touch("touchEnd", [])

    def tap_element(self, script):
        self.tap(*self.element_point(script))

    def reach(self, x, y):
        """The canvas point (x, y) on the glass, panned into the view first when it lies outside."""
        px, py = self.canvas_point(x, y)
        # The view, less the pinned clues at its left and top.
        box = self.browser.evaluate("""(r => [r.left, r.top, r.right, r.bottom,
            ...['pin-rows', 'pin-columns'].map((id, i) => (e => e.hidden ? [r.left, r.top][i]
                : e.getBoundingClientRect()[['right', 'bottom'][i]])(document.getElementById(id)))])(
            document.getElementById('view').getBoundingClientRect())""")
        cx, cy = (box[0] + box[2]) / 2, (box[1] + box[3]) / 2
        if not (box[4] + 10 < px < box[2] - 10 and box[5] + 10 < py < box[3] - 10):
            self.two_fingers([(cx - 30, cy), (cx + 30, cy)], cx - px, cy - py)
            px, py = self.canvas_point(x, y)
        return px, py

    def two_fingers(self, start, dx, dy, spread=0.0, steps=8):
        self.touch("touchStart", start[:1])
        self.touch("touchStart", start)
        for i in range(1, steps + 1):
            f = i / steps
            (ax, ay), (bx, by) = start
            mx, my = (ax + bx) / 2 + dx * f, (ay + by) / 2 + dy * f
            half = (bx - ax) / 2 * (1 + spread * f)
            self.touch("touchMove", [(mx - half, my), (mx + half, my)])
            self.browser.advance_time(20)
        self.touch("touchEnd", [])

    def fingers_fit(self, which):
        small = self.browser.evaluate("%s.filter(e => { const r = e.getBoundingClientRect(); "
                                      "return r.height < 44 || r.width < 44; }).map(e => e.textContent || e.tagName)"
                                      % TARGETS[which])
        if small is None or small:
            self.fail("%s: smaller than 44 CSS px: %r" % (which, small))

    def steady(self, what):
        moved = self.browser.evaluate("[scrollX, scrollY, visualViewport.pageLeft, visualViewport.pageTop, "
                                      "visualViewport.scale, document.documentElement.scrollWidth - innerWidth]")
        if moved != [0, 0, 0, 0, 1, 0]:
            self.fail("%s: the page moved or scrolls sideways: %r" % (what, moved))


def pinch(page):
    """Two fingers spread over the picture's middle, then pan it: the clues stay pinned."""
    width = "document.getElementById('screen').getBoundingClientRect().width"
    before = page.browser.evaluate(width)
    page.two_fingers([(165, 300), (225, 300)], 0, 0, spread=3)
    page.two_fingers([(165, 300), (225, 300)], -40, -40)
    pinned = page.browser.evaluate("[%s, %s]" % (width, PINNED))
    if pinned[0] <= 2 * before or pinned[1] != "ok":
        page.fail("the pinch: %s -> %s CSS px, the pinned clues %s" % (before, pinned[0], pinned[1]))
    page.steady("the pinch")


def run(site, binary, work):
    shutil.rmtree(work, ignore_errors=True)
    expected = os.path.join(work, "reference")
    config = os.path.join(work, "reference-config")
    os.makedirs(config)
    subprocess.run([binary, os.path.join(HERE, "phone.script"), expected], check=True,
                   env=dict(os.environ, XDG_CONFIG_HOME=config, SDL_AUDIODRIVER="dummy"))
    server = serve(site)
    page = Phone("http://127.0.0.1:%d/" % server.server_address[1], work)
    br = None
    try:
        with open(os.path.join(expected, "expanded.script"), encoding="utf-8") as f:
            lines = [line.rstrip("\n").split(" ") for line in f if line.strip()]
        held = False
        for words in lines:
            if words[0] == "dialog":
                words = words[1:]
                if words[0] not in ("run", "pause"):
                    page.wait_dialog(True)
            step, rest = words[0], " ".join(words[1:])
            if step == "time":
                page.calendar = int(rest)
                page.open()
                br = page.browser
            elif step == "boxes":
                for number in range(1, int(rest) + 1):
                    br.wait_for("document.getElementById('box-caption-%d') !== null" % number)
                    page.fingers_fit("box")
                    page.tap_element("document.querySelector('#box-caption-%d').parentNode.querySelector('button')"
                                     % number)
                    br.wait_for("document.getElementById('box-caption-%d') === null" % number)
                br.wait_for("!document.getElementById('game').hidden", what="the game's window")
                page.fingers_fit("menu")
            elif step == "snap":
                mask = [int(v) for v in words[3:7]] if len(words) > 2 else None
                page.compare(words[1], read_ppm(os.path.join(expected, words[1] + ".ppm")), mask)
                page.steady(words[1])
                if words[1] == "level3":
                    pinch(page)
            elif step in ("pause", "run"):
                (br.pause_time if step == "pause" else br.run_time)()
            elif step == "advance":
                br.advance_time(int(rest))
                if held:  # the long press's time has passed: the finger lifts
                    page.touch("touchEnd", [])
                    held = False
            elif step == "left":
                page.tap(*page.reach(int(words[1]), int(words[2])))
            elif step == "right":
                page.touch("touchStart", [page.reach(int(words[1]), int(words[2]))])
                held = True
            elif step == "drag":
                a, b = page.reach(int(words[1]), int(words[2])), page.canvas_point(int(words[3]), int(words[4]))
                page.touch("touchStart", [a])
                for i in range(1, 5):
                    page.touch("touchMove", [(a[0] + (b[0] - a[0]) * i / 4, a[1] + (b[1] - a[1]) * i / 4)])
                page.touch("touchEnd", [])
                page.steady("the drag")
            elif step == "menu":
                item = ("[...document.querySelectorAll('.menu-item')].find(e => "
                        "e.querySelector('.label').textContent.startsWith(%r))" % " ".join(words[2:]))
                page.tap_element(item + ".closest('.menu-top')")
                page.fingers_fit("items")
                page.tap_element(item)
                if words[2].startswith("目次"):
                    br.wait_for("!document.getElementById('help').hidden", what="the help")
                    page.fingers_fit("help")
                    if br.evaluate("(r => r.width < innerWidth || r.height < innerHeight)(help.getBoundingClientRect())"):
                        page.fail("the help does not fill the screen")
                    page.tap_element("document.getElementById('help-close')")
            elif step == "click":
                page.fingers_fit("dialog")
                page.tap_element("[...document.querySelectorAll('.dialog .control')].find("
                                 "e => e.textContent.trim() === %r)" % " ".join(words[2:]))
            elif step == "type":
                page.tap_element("document.querySelector('.dialog .edit')")
                br.insert_text(rest)
            elif step == "dialog-closed":
                page.wait_dialog(False)
            elif step == "key" and rest == "Return":
                page.tap_element("document.querySelector('.dialog button.default')")
            elif step == "ini":
                want = open(os.path.join(expected, words[1] + ".ini"), "rb").read()
                deadline = time.time() + 10
                while page.stored() != want:
                    if time.time() > deadline:
                        page.fail("the stored records differ from the Linux build's")
                    time.sleep(0.05)
            else:
                page.fail("no finger for the step: " + " ".join(words))
        if any(line.startswith("exception") for line in br.console):
            page.fail("the page threw")
    finally:
        page.close()
        server.shutdown()
    print("phone check: %d steps by finger, the canvas and the records equal to the Linux build's" % len(lines))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    run(*sys.argv[1:])
