"""Headless Chromium over the DevTools protocol: just what the page checks need, with Debian's
chromium and python3-websocket, and nothing downloaded."""
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket


class Browser:
    """One chromium with a fresh profile, and the one page tab it opens."""

    def __init__(self, profile=None, extra_args=(), language="ja"):
        self.profile = profile or tempfile.mkdtemp(prefix="zum32-chromium-")
        self.own_profile = profile is None
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        if os.path.exists(port_file):
            os.remove(port_file)
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-features=Translate,MediaRouter",
             "--autoplay-policy=no-user-gesture-required", "--remote-debugging-port=0",
             "--user-data-dir=" + self.profile, "--lang=" + language, "--accept-lang=" + language,
             *extra_args, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 60
        while not os.path.exists(port_file) or len(open(port_file).read().split()) < 2:
            if time.time() > deadline or self.process.poll() is not None:
                raise RuntimeError("chromium did not start")
            time.sleep(0.1)
        port = open(port_file).read().split()[0]
        tabs = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json" % port))
        page = next(t for t in tabs if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60,
                                                  suppress_origin=True)
        self.next_id = 0
        self.events = []
        self.console = []
        self.call("Page.enable")
        self.call("Runtime.enable")

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self.note(message)

    def note(self, message):
        method = message.get("method")
        if method == "Runtime.consoleAPICalled":
            self.console.append(" ".join(str(a.get("value", a.get("description", "")))
                                         for a in message["params"]["args"]))
        elif method in ("Emulation.virtualTimeBudgetExpired", "Fetch.requestPaused"):
            self.events.append(message)
            return
        elif method == "Runtime.exceptionThrown":
            details = message["params"]["exceptionDetails"]
            self.console.append("exception: " + details.get("exception", {}).get(
                "description", details.get("text", "")))

    def wait_event(self, method, timeout=60):
        """Waits for the next event of that method, taking one already seen first."""
        for i, message in enumerate(self.events):
            if message.get("method") == method:
                del self.events[i]
                return message.get("params", {})
        deadline = time.time() + timeout
        while time.time() < deadline:
            self.socket.settimeout(max(0.1, deadline - time.time()))
            message = json.loads(self.socket.recv())
            self.socket.settimeout(60)
            if message.get("method") == method:
                return message.get("params", {})
            self.note(message)
        raise AssertionError("no %s within %d s" % (method, timeout))

    def pause_time(self):
        """Stops the page's timers: from here on they run only through advance_time."""
        self.call("Emulation.setVirtualTimePolicy", policy="pause")

    def run_time(self):
        """Lets the page's timers run again, as fast as the page has nothing else to do."""
        self.call("Emulation.setVirtualTimePolicy", policy="advance")

    def advance_time(self, ms):
        self.call("Emulation.setVirtualTimePolicy", policy="advance", budget=ms)
        self.wait_event("Emulation.virtualTimeBudgetExpired")

    def evaluate(self, expression, await_promise=False):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=await_promise)
        if "exceptionDetails" in result:
            raise RuntimeError("page script failed: %s" % result["exceptionDetails"])
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30, what=None):
        deadline = time.time() + timeout
        while True:
            try:
                value = self.evaluate(expression)
            except RuntimeError:
                value = None  # the page is still on its way
            if value:
                return value
            if time.time() > deadline:
                raise AssertionError("timed out waiting for %s\nconsole:\n%s" % (
                    what or expression, "\n".join(self.console[-20:])))
            time.sleep(0.05)

    def viewport(self, width, height, scale=1):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=False)

    def before_scripts(self, source):
        self.call("Page.addScriptToEvaluateOnNewDocument", source=source)

    def navigate(self, url):
        self.call("Page.navigate", url=url)

    def reload(self):
        self.call("Page.reload", ignoreCache=True)

    def key(self, key, code, vk, modifiers=0, text=None):
        """A key press and release as the keyboard sends them (modifiers: 2 Ctrl, 8 Shift)."""
        down = dict(type="rawKeyDown" if text is None else "keyDown", key=key, code=code,
                    windowsVirtualKeyCode=vk, modifiers=modifiers)
        if text is not None:
            down["text"] = text
        self.call("Input.dispatchKeyEvent", **down)
        self.call("Input.dispatchKeyEvent", type="keyUp", key=key, code=code,
                  windowsVirtualKeyCode=vk, modifiers=modifiers)

    def insert_text(self, text):
        self.call("Input.insertText", text=text)

    def click(self, x, y, button="left"):
        """A press and release at (x, y). No move comes first: with the page's clock stopped,
        chromium holds a move back until its next frame."""
        buttons = {"left": 1, "right": 2}[button]
        self.call("Input.dispatchMouseEvent", type="mousePressed", x=x, y=y, button=button,
                  buttons=buttons, clickCount=1)
        self.call("Input.dispatchMouseEvent", type="mouseReleased", x=x, y=y, button=button,
                  buttons=0, clickCount=1)

    def close(self):
        try:
            self.call("Browser.close")
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        if self.own_profile:
            shutil.rmtree(self.profile, ignore_errors=True)
