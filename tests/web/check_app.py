"""The page as an app in headless chromium, served from a sub-path: installable, its service
worker active after the first load, the title and a game after a reload without the network, a
second build taken up whole; and records carried between the page and the Linux build's code
(web_reference): imported in Shift-JIS and UTF-16, refused whole, exported and read back.

usage: check_app.py <site folder> <web_reference> <work folder>"""
import functools, hashlib, http.server, os, re, shutil, subprocess, sys, threading, time

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
    written = linux("written.ini")
    os.symlink(site, os.path.join(work, "root", "zum"))
    server = serve(os.path.join(work, "root"))
    page = Page("http://127.0.0.1:%d/zum/" % server.server_address[1], work)
    b = lambda: page.browser  # noqa: E731

    def check(ok, what):
        if not ok:
            page.fail(what)

    def until(condition, what):
        deadline = time.time() + 20
        while not condition():
            check(time.time() < deadline, "timed out waiting for " + what)
            time.sleep(0.1)

    def boxes(count):
        for _ in range(count):
            b().wait_for("!!document.querySelector('.message-box')", what="a message box")
            text = b().evaluate("document.querySelector('.message-box .stop-icon') && "
                                "document.querySelector('.message-box .box-text').textContent")
            page.key("Return")
            b().wait_for("!document.querySelector('.message-box')", what="the box to close")
        return text

    def offer(name, data):
        path = os.path.join(work, name)
        open(path, "wb").write(data)
        chooser = b().call("Runtime.evaluate", expression="document.getElementById('records-file')")
        b().call("DOM.setFileInputFiles", files=[path], objectId=chooser["result"]["objectId"])

    def records_texts():
        item = "[...document.querySelectorAll('.menu-item')].find(e => e.textContent.startsWith('記録'))"
        b().click(*page.element_point(item + ".closest('.menu-top')"))
        b().click(*page.element_point(item))
        texts = b().wait_for(TEXTS, what="the records dialog").encode()
        page.key("Return")
        page.wait_dialog(False)
        return texts

    def reload():
        b().evaluate("window.before = true")
        b().call("Page.reload")
        b().wait_for("!window.before && !document.getElementById('game').hidden", what="the reloaded game")

    def starts_level1():
        page.key("ctrl+N")
        size = read_ppm(os.path.join(work, "records", "level1.ppm"))[:2]
        b().wait_for("document.getElementById('screen').width === %d" % size[0], what="a level 1 board")
        page.key("ctrl+T")

    try:
        page.open()
        boxes(3)
        b().wait_for("navigator.serviceWorker.controller?.state === 'activated'", what="the service worker")
        check(not b().call("Page.getInstallabilityErrors")["installabilityErrors"], "not installable")
        # Each refused file differs from one the game takes in one way only; the records stay whole.
        stored = page.stored()
        for name, data, reason in [
                ("large.ini", written + b";" * 65536, "ファイルが 64 KiB を超えています。"),
                ("binary.ini", b";\0\r\n" + written, "テキストのファイルではありません。"),
                ("other.ini", written.replace(b"[", b"[x"), "[ずむタイ32] のセクションがありません。")]:
            offer(name, data)
            check(boxes(1) == "記録ファイルを読み込めませんでした。\n" + reason, name + ": not the refusal")
            check(page.stored() == stored, name + ": the records changed")
        # An editor's UTF-16 copy of the Linux build's file: its records, and its level at the next Start.
        utf16 = b"\xff\xfe" + written.decode("cp932").encode("utf-16-le")
        offer("utf16.ini", utf16)
        until(lambda: page.stored() == utf16, "the UTF-16 file stored as it is")
        check(records_texts() == linux("written.texts"), "the records dialog differs after the UTF-16 file")
        starts_level1()
        # Ranks missing from a file are filled as at first start; the export reads back on Linux.
        partial = re.sub(rb"(TIME5\(1\)|\w+\(3\))=[^\r\n]*\r\n", b"", written)
        offer("partial.ini", partial)
        boxes(2)
        texts = records_texts()
        downloads = os.path.join(work, "downloads")
        b().call("Browser.setDownloadBehavior", behavior="allow", downloadPath=downloads)
        b().click(*page.element_point("document.getElementById('records-save')"))
        exported = os.path.join(downloads, "ZUM32.INI")
        until(lambda: os.path.exists(exported), "the export")
        check(open(exported, "rb").read() == page.stored() != partial, "the export differs from the records")
        check(reference(binary, work, "readback", exported)("readback.texts") == texts, "Linux read back others")
        offer("sjis.ini", written)
        until(lambda: page.stored() == written, "the Shift-JIS file stored")
        check(records_texts() == linux("written.texts"), "the records dialog differs after the Shift-JIS file")
        # No network at all: the title and a game from the service worker's cache.
        b().call("Network.enable")
        b().call("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
                 uploadThroughput=-1)
        server.shutdown()
        server.server_close()
        reload()
        page.compare("title", read_ppm(os.path.join(work, "records", "title.ppm")), [245, 64, 32, 32])
        starts_level1()
        # A second build with one changed file: after a reload the cache holds it whole, the old one gone.
        second = os.path.join(work, "second")
        shutil.copytree(site, second)
        open(os.path.join(second, "page.css"), "a").write("/* second build */\n")
        subprocess.run(["cmake", "-DSITE=" + second, "-DTEMPLATE=" + os.path.join(HERE, "..", "..", "platform",
                        "web", "sw.js"), "-P", os.path.join(HERE, "..", "..", "cmake", "site_worker.cmake")], check=True)
        os.remove(os.path.join(work, "root", "zum"))
        os.symlink(second, os.path.join(work, "root", "zum"))
        server = serve(os.path.join(work, "root"), server.server_address[1])
        b().call("Network.emulateNetworkConditions", offline=False, latency=0, downloadThroughput=-1,
                 uploadThroughput=-1)
        want = sorted([page.url + n, hashlib.sha256(open(os.path.join(second, n), "rb").read()).hexdigest()]
                      for n in re.findall(r"'([^']+)': '[0-9a-f]{64}'", open(os.path.join(second, "sw.js")).read()))
        reload()
        build = re.search(r"BUILD = '(\w+)'", open(os.path.join(second, "sw.js")).read()).group(1)
        until(lambda: b().evaluate("caches.keys().then(k => k.length === 1 && k[0].endsWith(%r))" % build,
                                   await_promise=True), "the second build's cache alone")
        reload()
        check(sorted(b().evaluate(CACHED, await_promise=True)[0]) == want, "the cache is not the second build")
        check(b().evaluate("[...document.styleSheets].some(s => s.href?.endsWith('page.css') && "
                           "[...s.cssRules].length) && fetch('page.css').then(r => r.text())",
                           await_promise=True).endswith("/* second build */\n"), "the page is not the second build")
    finally:
        page.close()
        server.shutdown()
    print("app check: installable, offline, a new build whole; records imported, refused, exported")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    run(*sys.argv[1:])
