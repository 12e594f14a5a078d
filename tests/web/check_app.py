"""The page as an app in headless chromium, served from a sub-path: installable, its service
worker active after the first load, the title and a game after a reload without the network, a
second build taken up whole; and records carried between the page and the Linux build's code
(web_reference): imported in Shift-JIS and UTF-16, refused whole, exported and read back.

usage: check_app.py <site folder> <web_reference> <work folder>"""
import functools, hashlib, http.server, os, re, shutil, subprocess, sys, threading, time  # noqa: E401

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_page import Page, read_ppm  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
TEXTS = """(() => { const d = document.querySelector('.dialog');
  return d && [d.querySelector('.caption').textContent,
               ...[...d.querySelectorAll('.control')].map(e => e.tagName === 'INPUT' ? e.value : e.textContent)].join('\\n') + '\\n'; })()"""
CACHED = """caches.keys().then(keys => Promise.all(keys.map(k => caches.open(k).then(c => c.keys().then(rs =>
  Promise.all(rs.map(r => c.match(r).then(m => m.arrayBuffer()).then(b => crypto.subtle.digest('SHA-256', b))
    .then(d => [r.url, [...new Uint8Array(d)].map(x => x.toString(16).padStart(2, '0')).join('')]))))))))"""


def reference(binary, work, script, start=None):
    out, config = os.path.join(work, script), os.path.join(work, script + "-config")
    os.makedirs(config)
    subprocess.run([binary, os.path.join(HERE, script + ".script"), out] + ([start] if start else []),
                   check=True, env=dict(os.environ, XDG_CONFIG_HOME=config))
    return lambda name: open(os.path.join(out, name), "rb").read()


def serve(root, port=0):
    handler = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *a: None})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(handler, directory=root))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def run(site, binary, work):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "root"))
    linux = reference(binary, work, "records")
    written, level1 = linux("written.ini"), read_ppm(os.path.join(work, "records", "level1.ppm"))
    os.symlink(site, os.path.join(work, "root", "zum"))
    server = serve(os.path.join(work, "root"))
    page = Page("http://127.0.0.1:%d/zum/" % server.server_address[1], work)

    def check(ok, what):
        if not ok:
            page.fail(what)

    def until(condition, what):
        deadline = time.time() + 20
        while not condition():
            check(time.time() < deadline, "timed out waiting for " + what)
            time.sleep(0.1)

    def boxes(count):  # the last box's text, after 'no icon: ' when it has not the stop icon
        for _ in range(count):
            br.wait_for("!!document.querySelector('.message-box:not([data-answered])')", what="a message box")
            # Marked, since the next box may stand in its place before a look finds none.
            text = br.evaluate("(b => (b.dataset.answered = 1) && (b.querySelector('.stop-icon') ? '' : 'no icon: ') + "
                               "b.querySelector('.box-text').textContent)(document.querySelector('.message-box'))")
            page.key("Return")
            br.wait_for("!document.querySelector('.message-box[data-answered]')", what="the box to close")
        return text

    def offer(name, data):
        open(os.path.join(work, name), "wb").write(data)
        chooser = br.call("Runtime.evaluate", expression="document.getElementById('records-file')")
        br.call("DOM.setFileInputFiles", files=[os.path.join(work, name)], objectId=chooser["result"]["objectId"])

    def records_texts():
        item = "[...document.querySelectorAll('.menu-item')].find(e => e.textContent.startsWith('記録'))"
        br.click(*page.element_point(item + ".closest('.menu-top')"))
        br.click(*page.element_point(item))
        texts = br.wait_for(TEXTS, what="the records dialog").encode()
        page.key("Return")
        page.wait_dialog(False)
        return texts

    def reload():
        br.evaluate("window.before = true")
        br.call("Page.reload")
        br.wait_for("!window.before && !document.getElementById('game').hidden", what="the reloaded game")

    def starts_level1():
        page.key("ctrl+N")
        br.wait_for("document.getElementById('screen').width === %d" % level1[0], what="a level 1 board")
        page.key("ctrl+T")

    try:
        page.open()
        br = page.browser
        boxes(3)
        br.wait_for("navigator.serviceWorker.controller?.state === 'activated'", what="the service worker")
        check(not br.call("Page.getInstallabilityErrors")["installabilityErrors"], "not installable")
        # Each refused file differs from one the game takes in one way only; the records stay whole.
        stored = page.stored()
        for name, data, reason in [
                ("large.ini", written + b";" * 65536, "ファイルが 64 KiB を超えています。"),
                ("binary.ini", b";\0\r\n" + written, "テキストのファイルではありません。"),
                ("other.ini", written.replace(b"[", b"[x"), "[ずむタイ32] のセクションがありません。")]:
            offer(name, data)
            check(boxes(1) == "記録ファイルを読み込めませんでした。\n" + reason, name + ": not the refusal")
            check(page.stored() == stored, name + ": the records changed")
        # An editor's UTF-16 copy of the Linux build's file, then the file itself: their records, and
        # their level at the next Start.
        for name, data in [("utf16.ini", b"\xff\xfe" + written.decode("cp932").encode("utf-16-le")),
                           ("sjis.ini", written)]:
            offer(name, data)
            until(lambda: page.stored() == data, name + " stored as it is")
            check(boxes(1) == "no icon: 記録ファイルを読み込みました。", name + ": its taking not said")
            check(records_texts() == linux("written.texts"), name + ": the records dialog differs")
            starts_level1()
            # Ranks missing from a file are filled as at first start; the export reads back on Linux.
            if name == "utf16.ini":
                partial = re.sub(rb"(TIME5\(1\)|\w+\(3\))=[^\r\n]*\r\n", b"", written)
                offer("partial.ini", partial)
                boxes(3)
                texts, exported = records_texts(), os.path.join(work, "downloads", "ZUM32.INI")
                br.call("Browser.setDownloadBehavior", behavior="allow", downloadPath=os.path.dirname(exported))
                br.click(*page.element_point("document.getElementById('records-save')"))
                until(lambda: os.path.exists(exported), "the export")
                check(open(exported, "rb").read() == page.stored() != partial, "the export differs")
                check(reference(binary, work, "readback", exported)("readback.texts") == texts, "Linux reads others")
        # No network at all: the title and a game from the service worker's cache.
        net = lambda off: br.call("Network.emulateNetworkConditions", offline=off, latency=0,  # noqa: E731
                                  downloadThroughput=-1, uploadThroughput=-1)
        br.call("Network.enable")
        net(True)
        server.shutdown()
        server.server_close()
        reload()
        page.compare("title", read_ppm(os.path.join(work, "records", "title.ppm")), [245, 64, 32, 32])
        starts_level1()
        # A second build with one changed file: after a reload the cache holds it whole, the old one gone.
        second, source = os.path.join(work, "second"), os.path.join(HERE, "..", "..")
        shutil.copytree(site, second)
        open(os.path.join(second, "page.css"), "a").write("/* second build */\n")
        subprocess.run(["cmake", "-DSITE=" + second, "-DTEMPLATE=%s/platform/web/sw.js" % source,
                        "-P", source + "/cmake/site_worker.cmake"], check=True)
        worker = open(os.path.join(second, "sw.js")).read()
        want = sorted([page.url + n, hashlib.sha256(open(os.path.join(second, n), "rb").read()).hexdigest()]
                      for n in re.findall(r"'([^']+)': '[0-9a-f]{64}'", worker))
        os.remove(os.path.join(work, "root", "zum"))
        os.symlink(second, os.path.join(work, "root", "zum"))
        server = serve(os.path.join(work, "root"), server.server_address[1])
        net(False)
        reload()
        until(lambda: br.evaluate("caches.keys().then(k => k.length === 1 && k[0].endsWith(%r))" % re.search(
            r"BUILD = '(\w+)'", worker).group(1), await_promise=True), "the second build's cache alone")
        reload()
        check(sorted(br.evaluate(CACHED, await_promise=True)[0]) == want, "the cache is not the second build")
    finally:
        page.close()
        server.shutdown()
    print("app check: installable, offline, a new build whole; records imported, refused, exported")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    run(*sys.argv[1:])
