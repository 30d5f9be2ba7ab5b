"""The programs' pages in a real browser, for the tests: the web build's site
served on localhost with the headers it needs, Debian's Chromium driven
headless through Debian's chromedriver (Selenium), and a player's hands:
mouse and touch sent as the browser's own input events (DevTools protocol),
at a window's client pixels."""
import base64
import collections
import importlib.util
import os
import pathlib
import shutil
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

_ROOT = pathlib.Path(__file__).resolve().parents[2]
_spec = importlib.util.spec_from_file_location("serve_web", _ROOT / "scripts" / "serve-web.py")
serve_web = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(serve_web)

# JavaScript: `w`, the program's window that is shown.
SHOWN_WINDOW = "const w = [...Module.winlayer.windows.values()].find(w => !w.frame.hidden);"

INSECURE_HOST = "brannoway.test"
CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("CHROMEDRIVER", "/usr/bin/chromedriver")


class Site:
    """A folder served on a free port of 127.0.0.1 until closed: as serve-web.py
    serves it, or (isolation=False) as a plain static host does, with no special
    headers. It counts the requests for each file, answers 404 for the files in
    `refused` and other contents for those in `replaced` (name → bytes).
    `host` names it in the address (a name Chromium maps to 127.0.0.1: see
    Browser)."""

    def __init__(self, folder, isolation=True, refused=(), replaced=None, host="127.0.0.1"):
        replaced = {} if replaced is None else replaced  # (the caller may change it while it serves)
        self.requests = collections.Counter()
        site = self

        class Handler(serve_web.Handler):
            def do_GET(self):
                name = self.path.split("?")[0].lstrip("/")
                site.requests[name] += 1
                if name in refused:
                    return self.send_error(404)
                if name in replaced:
                    self.send_response(200)
                    self.send_header("Content-Type", self.guess_type(name))
                    self.send_header("Content-Length", str(len(replaced[name])))
                    self.end_headers()
                    return self.wfile.write(replaced[name])
                super().do_GET()

        Handler.isolation = isolation
        self.server = serve_web.serve(str(folder), 0, handler=Handler)
        self.address = f"http://{host}:{self.server.server_address[1]}/"
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        """Stops serving (the network is gone for the pages of it); again does nothing."""
        if self.server:
            self.server.shutdown()
            self.server.server_close()
            self.server = None


class Browser:
    """One headless Chromium for a whole run; a page loaded per test. Its window
    is large enough that the game's 640 × 480 shows enlarged twice."""

    def __init__(self, width=1400, height=1250):
        self.profile = tempfile.mkdtemp(prefix="brannoway-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in ("--headless=new", "--disable-gpu", "--no-first-run", "--disable-background-networking",
                     "--disable-extensions", "--disable-sync", "--mute-audio", f"--window-size={width},{height}",
                     f"--user-data-dir={self.profile}",
                     # Animation frames and timers at full rate, though no one looks at the headless window.
                     "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                     "--disable-backgrounding-occluded-windows",
                     # A host name that is not localhost: a page from it over HTTP is not in a secure context.
                     f"--host-resolver-rules=MAP {INSECURE_HOST} 127.0.0.1"):
            options.add_argument(flag)
        if os.geteuid() == 0:
            options.add_argument("--no-sandbox")  # Chromium refuses its sandbox to root
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.set_script_timeout(60)

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)

    def open(self, address):
        self.driver.get(address)
        return Page(self.driver)

    def cdp(self, command, parameters=None):
        return self.driver.execute_cdp_cmd(command, parameters or {})

    def emulate(self, width, height, ratio, mobile=True):
        """The page's viewport as a phone's or a tablet's: CSS pixels and device pixels per CSS pixel."""
        self.cdp("Emulation.setDeviceMetricsOverride", {"width": width, "height": height, "deviceScaleFactor": ratio,
                                                        "mobile": mobile})

    def stop_emulating(self):
        self.cdp("Emulation.clearDeviceMetricsOverride")


class Page:
    """A program's page: its windows, their frames, and input at client pixels."""

    def __init__(self, driver):
        self.driver = driver

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, timeout=30, what="the page"):
        """Polls a JavaScript expression until it is true; fails after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.js("return !!(" + condition + ")"):
                return
            time.sleep(0.05)
        raise AssertionError(f"{what}: {condition} still false after {timeout} s; the page says: {self.notice()!r}")

    def wait_for_window(self, timeout=30):
        self.wait_for("typeof Module !== 'undefined' && Module.winlayer && [...Module.winlayer.windows.values()].some(w => !w.frame.hidden && w.framesShown > 0)",
                      timeout, "a window with a frame")

    def notice(self):
        return self.js("const n = document.getElementById('notice'); return n.hidden ? '' : n.textContent")

    def output(self):
        return self.js("return document.getElementById('output').innerText")

    def compare_with_png(self, path, save_to=None):
        """The shown window's canvas against a picture (a PNG of the native build's
        frame, decoded by the browser): how many pixels differ by more than one
        level in a channel, and how many by exactly one. Saves the canvas as a
        PNG to `save_to` when it is given."""
        picture = base64.b64encode(pathlib.Path(path).read_bytes()).decode()
        large, small, shown = self.driver.execute_async_script(SHOWN_WINDOW + """
            const [picture, done] = arguments;
            const image = new Image();
            image.onerror = () => done([-1, -1, '']);
            image.onload = () => {
              if (image.width !== w.width || image.height !== w.height) return done([-2, -2, '']);
              const c = new OffscreenCanvas(w.width, w.height).getContext('2d');
              c.drawImage(image, 0, 0);
              const a = c.getImageData(0, 0, w.width, w.height).data;
              const b = w.context.getImageData(0, 0, w.width, w.height).data;
              let large = 0, small = 0;
              for (let i = 0; i < a.length; i += 4) {
                const worst = Math.max(Math.abs(a[i] - b[i]), Math.abs(a[i + 1] - b[i + 1]), Math.abs(a[i + 2] - b[i + 2]));
                if (worst > 1) large++; else if (worst === 1) small++;
              }
              done([large, small, w.canvas.toDataURL('image/png')]);
            };
            image.src = 'data:image/png;base64,' + picture;""", picture)
        if save_to and shown:
            pathlib.Path(save_to).write_bytes(base64.b64decode(shown.split(",", 1)[1]))
        assert large >= 0, f"{path}: not a picture of the window's size"
        return large, small

    def track_frames(self):
        """From now on, notes when the shown window shows new frames (see frames_settled)."""
        self.js(SHOWN_WINDOW + """
            const track = window.frameTrack = {first: null, last: performance.now(), count: w.framesShown};
            (function look(now) {
              if (w.framesShown !== track.count) { track.count = w.framesShown; track.last = now; track.first ??= now; }
              if (window.frameTrack === track) requestAnimationFrame(look);
            })();""")

    def frames_settled(self, quiet=0.4, timeout=30):
        """Waits until no new frame has come for `quiet` seconds; the seconds from
        the first new frame after track_frames to the last (None if none came)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            first, last, now = self.js("const t = window.frameTrack; return [t.first, t.last, performance.now()]")
            if now - last >= quiet * 1000:
                self.js("window.frameTrack = null")
                return None if first is None else (last - first) / 1000
            time.sleep(0.05)
        raise AssertionError(f"the frames still change after {timeout} s")

    # ---- input: the browser's own events, at the centre of a client pixel --------

    def _at(self, x, y):
        return self.js(SHOWN_WINDOW + """
            const r = w.canvas.getBoundingClientRect();
            return [r.left + (arguments[0] + 0.5) * r.width / w.width, r.top + (arguments[1] + 0.5) * r.height / w.height];""",
                       x, y)

    def _mouse(self, kind, x, y, button="none", buttons=0):
        px, py = self._at(x, y)
        self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {"type": kind, "x": px, "y": py, "button": button,
                                                                 "buttons": buttons, "clickCount": 1 if kind != "mouseMoved" else 0})

    def move(self, x, y):
        self._mouse("mouseMoved", x, y)

    def click(self, x, y, button="left"):
        bits = {"left": 1, "right": 2}[button]
        self._mouse("mouseMoved", x, y)
        self._mouse("mousePressed", x, y, button, bits)
        time.sleep(0.1)  # as a hand clicks
        self._mouse("mouseReleased", x, y, button, 0)

    def _finger(self, kind, x=None, y=None):
        points = []
        if x is not None:
            px, py = self._at(x, y)
            points = [{"x": px, "y": py, "id": 1}]
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    def finger_down(self, x, y):
        self._finger("touchStart", x, y)

    def finger_to(self, x, y):
        self._finger("touchMove", x, y)

    def finger_up(self):
        self._finger("touchEnd")

    def touch(self, x, y, hold_seconds):
        """A finger put down on a client pixel, held still, and lifted."""
        self.finger_down(x, y)
        time.sleep(hold_seconds)
        self.finger_up()

    def find_spot(self, colour, avoid=(), columns=range(100, 440, 30), rows=range(440, 170, -20)):
        """Hovers the mouse over the game's fields until the square under it shows
        the colour (a place to click), away from the spots in `avoid`; None if none does."""
        for y in rows:
            for x in columns:
                if any(abs(x - ax) < 60 and abs(y - ay) < 60 for ax, ay in avoid):
                    continue
                self.move(x, y)
                time.sleep(0.03)
                if self.pixel(x, y) == colour:
                    return x, y
        return None

    def pixel(self, x, y):
        """The shown window's pixel as [red, green, blue]."""
        return self.js(SHOWN_WINDOW + "return [...w.context.getImageData(arguments[0], arguments[1], 1, 1).data.slice(0, 3)]", x, y)

    def count_colour(self, colour):
        """How many pixels of the shown window have exactly the colour."""
        return self.js(SHOWN_WINDOW + """
            const [r, g, b] = arguments[0];
            const d = w.context.getImageData(0, 0, w.width, w.height).data;
            let n = 0;
            for (let i = 0; i < d.length; i += 4) n += d[i] === r && d[i + 1] === g && d[i + 2] === b;
            return n;""", colour)
