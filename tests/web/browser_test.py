"""The programs built for the browser, played in headless Chromium: their
canvases compared pixel for pixel with the native build's frames of the same
screens (drawn by the native still helpers), mouse and touch input, the
program's end, Test's output in the page; the site from hosts of every kind,
offline and installed; the game on phones, tablets and a desktop.

    browser_test.py <web build folder> <native build folder> [test...]

The programs' site is what `cmake --install <web build> --prefix <web build>/site`
puts there; the tests' own pages are in <web build>/tests/web."""
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import time
import unittest

import browser

WEB = NATIVE = None
STILLS = None  # a temporary folder of the native frames
site = test_pages = chromium = None


def setUpModule():
    global site, test_pages, chromium, STILLS
    STILLS = tempfile.TemporaryDirectory(prefix="brannoway-stills-")
    media = NATIVE / "game"  # the still helpers find Media/ in their current folder
    for command in (["tools/MenuStills", "menu.png", "instructions.png"], ["tools/PlacementStill", "placement.png"]):
        subprocess.run([str(NATIVE / command[0])] + [str(pathlib.Path(STILLS.name) / p) for p in command[1:]],
                       cwd=media, check=True, stdout=subprocess.DEVNULL, timeout=120)
    site = browser.Site(WEB / "site")
    test_pages = browser.Site(WEB / "tests" / "web")
    chromium = browser.Browser()


def tearDownModule():
    if chromium:
        chromium.close()
    for served in (site, test_pages):
        if served:
            served.close()
    STILLS.cleanup()


class ProgramPage(unittest.TestCase):
    def open(self, page):
        self.page = chromium.open(site.address + page)
        self.page.wait_for_window()
        return self.page

    def assertShows(self, still):
        """The canvas equals the native frame; text may differ by one grey level on rare pixels."""
        saved = pathlib.Path(STILLS.name) / ("web-" + still)
        large, small = self.page.compare_with_png(pathlib.Path(STILLS.name) / still, save_to=saved)
        self.assertEqual(large, 0, f"{still}: {large} pixels differ from the native frame (the page's: {saved})")
        self.assertLess(small, 100, f"{still}: {small} pixels differ by one level")

    def shown(self):
        """Waits until the window stops changing."""
        self.page.track_frames()
        self.page.frames_settled(quiet=0.3)

    def assertEnded(self):
        self.page.wait_for("!document.getElementById('notice').hidden && document.getElementById('desk').classList.contains('ended')",
                           timeout=20, what="the program's end")
        self.assertIn("Reload to play again", self.page.notice())


class ButtonSampleTest(ProgramPage):
    # ButtonSample draws its text over the last frame's, so its edges depend on
    # how long each button has been lit: the colours are looked at, not compared.
    def buttons_showing(self, colour):
        """Which of the three buttons' text areas show a pixel near the colour."""
        return self.page.js(browser.SHOWN_WINDOW + """
            const [r, g, b] = arguments[0];
            return [100, 130, 160].map(top => {
              const d = w.context.getImageData(50, top, 201, 21).data;
              for (let i = 0; i < d.length; i += 4)
                if (Math.abs(d[i] - r) < 56 && Math.abs(d[i + 1] - g) < 90 && Math.abs(d[i + 2] - b) < 90) return true;
              return false;
            });""", colour)

    def test_opties_lights_under_the_mouse_and_afsluiten_ends_the_program(self):
        page = self.open("ButtonSample.html")
        self.assertEqual(page.js("return document.title"), "Titel")
        page.move(80, 140)  # over "Opties"
        self.shown()
        self.assertEqual(self.buttons_showing([255, 0, 0]), [False, True, False])
        self.assertEqual(self.buttons_showing([255, 255, 255])[0::2], [True, True])
        page.click(70, 165)  # "Afsluiten"
        self.assertEnded()


class GameTest(ProgramPage):
    def test_the_menu_the_instructions_and_back(self):
        page = self.open("OperationBrannoway.html")
        self.assertEqual(page.js("return document.title"), "OperationBrannoway")
        page.move(320, 316)  # over the start button
        self.shown()
        self.assertShows("menu.png")
        page.click(320, 362)  # "Instructions"
        self.shown()
        self.assertShows("instructions.png")
        page.click(320, 362, "right")  # any click goes back
        page.move(320, 316)
        self.shown()
        self.assertShows("menu.png")

    def test_a_ship_placed_with_a_click_and_one_turned_with_a_long_touch(self):
        page = self.open("OperationBrannoway.html")
        page.move(300, 310)
        self.shown()
        page.track_frames()
        page.click(300, 310)  # "Player vs Player"
        flight = page.frames_settled(quiet=0.5)
        print(f"\n  the camera's flight in the page: {flight:.3f} s", file=sys.stderr)
        # 500 frames at 400 a second, seen at the page's 60 frames a second; an
        # unpaced program flies in a fraction of that, a starved one far longer.
        self.assertGreater(flight, 1.1)
        self.assertLess(flight, 2.0)
        page.click(150, 200)  # the first ship, placed upright
        time.sleep(0.3)
        page.finger_down(250, 230)  # the next one, turned by a finger held still
        time.sleep(0.8)
        self.shown()
        self.assertShows("placement.png")  # turned while the finger still rests
        page.finger_up()  # and lifting it does nothing more
        self.shown()
        self.assertShows("placement.png")

    def test_a_tap_places_a_ship_as_a_click_does(self):
        page = self.open("OperationBrannoway.html")
        page.touch(300, 310, hold_seconds=0.05)  # "Player vs Player"
        page.track_frames()
        page.frames_settled(quiet=0.5)
        page.touch(150, 200, hold_seconds=0.05)
        time.sleep(0.3)
        page.click(250, 230, "right")
        self.shown()
        self.assertShows("placement.png")

    GREEN, RED, MAGENTA = [0, 255, 0], [255, 0, 0], [255, 0, 255]
    # The middles of the sidebar's weapon buttons in the target choice.
    WEAPON = {1: (529, 228), 2: (601, 228), 3: (529, 298), 4: (601, 298), 5: (565, 368)}

    def find_spot(self, colour, avoid=(), **where):
        """Hovers the mouse over the fields until the square under it shows the colour: a place to click."""
        spot = self.page.find_spot(colour, avoid, **where)
        if spot is None:
            self.fail(f"no square under the mouse shows {colour}")
        return spot

    def tap(self, x, y):
        self.page.touch(x, y, hold_seconds=0)
        time.sleep(0.15)

    def test_a_finger_drags_a_ship_and_places_it_where_lifted_and_taps_choose_every_weapon(self):
        page = self.open("OperationBrannoway.html")
        self.tap(300, 310)  # "Player vs Player"
        page.track_frames()
        page.frames_settled(quiet=0.5)
        # Player 1's first ship: the finger goes down on one free place, slides to another, lifts there.
        start = self.find_spot(self.GREEN)
        end = self.find_spot(self.GREEN, avoid=[start])
        page.finger_down(*start)
        for i in range(1, 11):
            page.finger_to(start[0] + (end[0] - start[0]) * i // 10, start[1] + (end[1] - start[1]) * i // 10)
            time.sleep(0.02)
        time.sleep(0.1)
        self.assertEqual(page.pixel(*end), self.GREEN)  # the ship followed the finger, not yet placed
        page.finger_up()
        time.sleep(0.3)
        page.move(*end)
        time.sleep(0.1)
        r, g, b = page.pixel(*end)
        self.assertTrue(b > 200 and r < 60 and g < 60, f"the ship's blue hull lies where the finger was lifted: {[r, g, b]}")
        page.move(*start)
        time.sleep(0.1)
        self.assertEqual(page.pixel(*start), self.GREEN, "nothing was placed where the finger went down")
        placed = [end]
        for ship in range(7):  # the rest of both fleets, by taps
            if ship == 3:
                page.track_frames()
                page.frames_settled(quiet=0.5)  # the flight to player 2
                placed = []
            spot = self.find_spot(self.GREEN, avoid=placed)
            self.tap(*spot)
            placed.append(spot)
        page.track_frames()
        page.frames_settled(quiet=0.5)
        self.tap(320, 240)  # the hand-over screen
        page.track_frames()
        page.frames_settled(quiet=0.5)
        # Player 1 aims at the middle of player 2's field, the near one.
        aim = self.find_spot(self.MAGENTA, columns=range(230, 280, 8), rows=range(250, 290, 8))
        square = page.count_colour(self.MAGENTA)

        def pattern_after_tapping(weapon):
            self.tap(*self.WEAPON[weapon])
            page.move(*aim)
            time.sleep(0.1)
            return page.count_colour(self.MAGENTA) / square

        # Twenty taps on the radar and the cross, each read from the pattern that follows the pointer.
        chosen = 0
        for tap in range(20):
            weapon = 2 if tap % 2 == 0 else 5
            ratio = pattern_after_tapping(weapon)
            chosen += (3 < ratio < 4.5) if weapon == 2 else (ratio > 4.5)
        print(f"\n  weapon taps that chose their weapon: {chosen} of 20", file=sys.stderr)
        self.assertEqual(chosen, 20)
        # The chain: a first target taps in and stays; with a second square off its diagonal both are red.
        self.tap(*self.WEAPON[4])
        page.move(*aim)
        time.sleep(0.1)
        self.tap(*aim)
        page.move(aim[0] + 48, aim[1])
        time.sleep(0.15)
        self.assertEqual(page.pixel(*aim), self.RED, "the chain's first target stays")
        self.assertEqual(page.pixel(aim[0] + 48, aim[1]), self.RED)
        # The salvo takes any free square as its second target.
        self.tap(*self.WEAPON[3])
        page.move(aim[0] + 48, aim[1])
        time.sleep(0.15)
        self.assertEqual(page.pixel(aim[0] + 48, aim[1]), self.MAGENTA)
        self.assertEqual(page.pixel(*aim), self.MAGENTA)

    def test_the_close_box_ends_the_game(self):
        page = self.open("OperationBrannoway.html")
        page.js("document.querySelector('.window .caption .close').click()")
        self.assertEnded()


class HostingTest(ProgramPage):
    """The site as players get it: from a static host that sends no special
    headers, offline, installed, from where it cannot run, on a bad network."""

    def serve(self, **options):
        served = browser.Site(WEB / "site", **options)
        self.addCleanup(served.close)
        return served

    def site_files(self):
        """The files the site's service worker names."""
        worker = (WEB / "site" / "service-worker.js").read_text()
        return [name for group in ("kSmallFiles", "kLargeFiles")
                for name in json.loads(re.search(group + r" = (\[.*?\]);", worker).group(1))]

    def kept_files(self):
        return self.page.driver.execute_async_script("""
            const done = arguments[0];
            caches.keys().then(async names => {
              let kept = 0;
              for (const name of names.filter(n => n.startsWith('operation-brannoway-')))
                kept += (await (await caches.open(name)).keys()).length;
              done(kept);
            });""")

    def wait_until_the_site_is_kept(self):
        """Once the game runs, the worker keeps the rest of the site."""
        files = len(self.site_files())
        deadline = time.monotonic() + 60
        while self.kept_files() < files and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.kept_files(), files)

    def assertMenuPlays(self):
        self.page.move(320, 316)  # over the start button
        self.shown()
        self.assertShows("menu.png")

    def test_a_host_without_headers_reloads_once_then_plays_and_every_program_plays_offline(self):
        plain = self.serve(isolation=False)
        self.open_at(plain, "OperationBrannoway.html")
        page = self.page
        self.assertTrue(page.js("return crossOriginIsolated"))
        self.assertEqual(page.js("return performance.getEntriesByType('navigation')[0].type"), "reload")
        page.js("window.stillTheSameLoad = true")
        self.assertMenuPlays()
        page.track_frames()
        page.click(300, 310)  # "Player vs Player": the camera's flight
        self.assertIsNotNone(page.frames_settled(quiet=0.5), "the click started the flight")
        self.assertTrue(page.js("return window.stillTheSameLoad === true"), "the page reloaded once only")
        self.wait_until_the_site_is_kept()
        plain.close()  # no network from here on
        page.js("location.reload()")  # as the browser's reload button does (not a reload past the cache)
        time.sleep(0.5)
        page.wait_for_window()
        self.assertMenuPlays()
        self.page = chromium.open(plain.address + "ButtonSample.html")
        self.page.wait_for_window()
        self.page = chromium.open(plain.address + "Test.html")
        self.assertEnded()
        self.assertEqual(len(self.page.output().split()), 2, "Test printed its two times offline")

    def caches(self):
        return self.page.driver.execute_async_script("caches.keys().then(arguments[0])")

    def test_a_new_build_takes_over_at_the_next_visit_and_replaces_the_old_cache(self):
        replaced = {}
        served = self.serve(isolation=False, replaced=replaced)
        self.open_at(served, "OperationBrannoway.html")  # a game of the old build
        self.wait_until_the_site_is_kept()
        self.assertEqual(len(self.caches()), 1)
        # A new build: its worker has another version.
        worker = (WEB / "site" / "service-worker.js").read_text()
        replaced["service-worker.js"] = re.sub(r"const kVersion = '\w+';", "const kVersion = 'a-new-build';", worker).encode()
        self.page = chromium.open(served.address + "index.html")  # the browser finds the new worker
        deadline = time.monotonic() + 60  # which keeps the new files, takes over and removes the old cache
        while self.caches() != ["operation-brannoway-a-new-build"] and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.kept_files(), len(self.site_files()))
        self.open_at(served, "OperationBrannoway.html")  # the next visit: the new build's
        self.assertEqual(self.caches(), ["operation-brannoway-a-new-build"])
        self.assertMenuPlays()

    def test_a_worker_that_cannot_isolate_the_page_gives_one_reload_and_an_explanation(self):
        # A host whose service-worker.js is not ours: the page is controlled but not isolated.
        broken = self.serve(isolation=False, replaced={"service-worker.js": b"// does nothing"})
        self.page = chromium.open(broken.address + "OperationBrannoway.html")
        self.page.wait_for("document.getElementById('notice').classList.contains('problem')", what="the explanation")
        time.sleep(1)
        self.assertIn("did not give this page the isolation", self.page.notice())
        self.assertEqual(broken.requests["OperationBrannoway.html"], 2, "the first load and one reload")
        self.assertEqual(broken.requests["OperationBrannoway.wasm"], 0, "the program was not started")

    def assertExplains(self, address, words):
        self.page = chromium.open(address)
        self.page.wait_for("document.getElementById('notice').classList.contains('problem')", what="the explanation")
        self.assertIn(words, self.page.notice())
        self.assertNotIn("Downloading", self.page.notice())

    def test_where_the_page_cannot_run_it_says_why(self):
        insecure = self.serve(isolation=False, host=browser.INSECURE_HOST)
        self.assertExplains(insecure.address + "OperationBrannoway.html", "over plain HTTP")
        self.assertExplains(insecure.address + "index.html", "over plain HTTP")
        self.assertExplains((WEB / "site" / "OperationBrannoway.html").as_uri(), "opened as a file")
        missing = self.serve(refused={"OperationBrannoway.data"})
        self.assertExplains(missing.address + "OperationBrannoway.html", "could not be downloaded (OperationBrannoway.data)")

    def test_the_site_is_installable_with_a_manifest_that_parses(self):
        self.open_at(self.serve(), "OperationBrannoway.html")
        manifest = chromium.cdp("Page.getAppManifest")
        self.assertEqual(manifest.get("errors"), [], manifest)
        parsed = json.loads(manifest["data"])
        self.assertEqual((parsed["display"], parsed["orientation"]), ("fullscreen", "landscape"))
        deadline = time.monotonic() + 30
        while True:
            errors = chromium.cdp("Page.getInstallabilityErrors")["installabilityErrors"]
            if not errors or time.monotonic() > deadline:
                break
            time.sleep(0.5)
        self.assertEqual(errors, [])

    def test_the_game_comes_compressed_in_under_one_and_a_half_megabytes(self):
        self.open_at(self.serve(), "OperationBrannoway.html")
        sizes = self.page.js("""
            return performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))
                   .map(e => [e.name.split('/').pop(), e.transferSize, e.encodedBodySize, e.decodedBodySize]);""")
        wire = sum(size[1] for size in sizes)
        print(f"\n  the game's first load over the wire: {wire} bytes", file=sys.stderr)
        data = next(size for size in sizes if size[0] == "OperationBrannoway.data")
        self.assertLess(data[2], data[3] / 2, f"the pictures came compressed: {data}")
        self.assertLess(wire, 1_500_000)

    def open_at(self, served, page):
        self.page = chromium.open(served.address + page)
        self.page.wait_for_window(timeout=60)


class SmallScreenTest(ProgramPage):
    """The game on phones, tablets and a desktop: as large as the page allows,
    sharp, and every touch on the pixel under the finger."""

    SCREENS = [("phone", 412, 915, 2.625), ("phone, landscape", 915, 412, 2.625), ("tablet, landscape", 1280, 800, 2),
               ("tablet", 800, 1280, 2), ("desktop", 1400, 1250, 1)]

    def tearDown(self):
        chromium.stop_emulating()

    def test_the_game_fills_each_screen_sharply_and_the_pixel_under_a_touch_is_the_one_the_game_sees(self):
        for name, width, height, ratio in self.SCREENS:
            with self.subTest(name):
                chromium.emulate(width, height, ratio, mobile=name != "desktop")
                page = self.open("OperationBrannoway.html")
                shown = page.js(browser.SHOWN_WINDOW + """
                    const r = w.canvas.getBoundingClientRect();
                    return {left: r.left, top: r.top, width: r.width, height: r.height, pixels: w.canvas.width,
                            rendering: w.canvas.style.imageRendering, pageWidth: innerWidth, pageHeight: innerHeight,
                            ratio: devicePixelRatio};""")
                print(f"\n  {name} {width} x {height}: the game {shown['width']:.0f} x {shown['height']:.0f} CSS px,"
                      f" drawn {shown['pixels']} px wide", file=sys.stderr)
                self.assertAlmostEqual(shown["width"] / shown["height"], 640 / 480, places=2)
                self.assertLessEqual(shown["left"] + shown["width"], shown["pageWidth"] + 0.5)
                self.assertLessEqual(shown["top"] + shown["height"], shown["pageHeight"] + 0.5)
                self.assertGreaterEqual(max(shown["width"] / shown["pageWidth"], shown["height"] / shown["pageHeight"]), 0.75)
                device = shown["width"] * shown["ratio"]
                if shown["rendering"] == "pixelated":  # whole squares of the screen's pixels
                    self.assertAlmostEqual(device / 640, round(device / 640), places=2)
                else:  # drawn at least as large as it shows, and scaled down
                    self.assertGreaterEqual(shown["pixels"], device - 0.5)
                self.assertTouchesLandExactly()
                self.assertShows("menu.png")  # the game saw the pointer over its start button

    def assertTouchesLandExactly(self):
        """A finger near each edge of pixels across the window lands on that pixel."""
        for x, y in [(0, 0), (639, 479), (1, 478), (320, 316), (637, 2)]:
            for inside in (0.05, 0.5, 0.95):  # of the pixel's width
                landed = self.page.js(browser.SHOWN_WINDOW + """
                    const [x, y, inside] = arguments, r = w.canvas.getBoundingClientRect();
                    return [r.left + (x + inside) * r.width / w.width, r.top + (y + inside) * r.height / w.height];""",
                                      x, y, inside)
                chromium.cdp("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": landed[0], "y": landed[1], "id": 1}]})
                seen = self.page.js(browser.SHOWN_WINDOW + "return [w.pointerX, w.pointerY]")
                chromium.cdp("Input.dispatchTouchEvent", {"type": "touchCancel", "touchPoints": []})
                self.assertEqual(seen, [x, y], f"a finger at {inside} of pixel {x}, {y}")
        self.page.move(320, 316)
        self.shown()

    def test_the_full_screen_button_takes_the_whole_screen(self):
        chromium.emulate(915, 412, 2.625)
        page = self.open("OperationBrannoway.html")
        page.js("document.querySelector('.window .caption .full').id = 'full'")
        button = page.js("const r = document.getElementById('full').getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]")
        for kind in ("mousePressed", "mouseReleased"):
            chromium.cdp("Input.dispatchMouseEvent", {"type": kind, "x": button[0], "y": button[1], "button": "left", "clickCount": 1})
        page.wait_for("document.fullscreenElement === document.documentElement", timeout=10, what="the full screen")


class TestProgramTest(ProgramPage):
    def test_prints_its_two_times(self):
        self.page = chromium.open(site.address + "Test.html")
        self.assertEnded()
        lines = self.page.output().split("\n")
        times = [line for line in lines if line.strip()]
        self.assertEqual(len(times), 2, lines)
        for t in times:
            self.assertRegex(t, r"^[1-9][0-9]*$")
        print(f"\n  Test in the page: Wimdows {times[0]} ms, BrannowayLib {times[1]} ms", file=sys.stderr)


class MessageBoxTest(ProgramPage):
    def dialog(self):
        self.page.wait_for("document.querySelector('dialog[open]')", timeout=20, what="a message box")
        return self.page.js("""
            const d = document.querySelector('dialog[open]');
            return [d.querySelector('h2').textContent, d.querySelector('p').textContent,
                    [...d.querySelectorAll('button')].map(b => b.textContent)];""")

    def test_a_message_box_is_a_dialog_that_the_program_waits_for(self):
        self.page = chromium.open(test_pages.address + "MessageBoxPage.html")
        self.assertEqual(self.dialog(), ["Vraag", "Nog een potje?", ["Yes", "No"]])
        time.sleep(0.3)
        self.assertEqual(self.page.output(), "")  # the program waits
        self.page.js("[...document.querySelectorAll('dialog[open] button')].find(b => b.textContent === 'No').click()")
        self.page.wait_for("document.getElementById('output').innerText.trim() === '7'", what="the answer IDNO")
        self.assertEqual(self.dialog(), ["Einde", "Tot ziens", ["OK"]])
        self.page.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {"type": "keyDown", "key": "Escape", "code": "Escape",
                                                                    "windowsVirtualKeyCode": 27})
        self.assertEnded()
        self.assertEqual(self.page.output().split(), ["7", "1"])  # Escape closes a box of one button with OK


class KeyTest(ProgramPage):
    def test_punctuation_and_keypad_keys_reach_the_program_by_their_names(self):
        self.page = chromium.open(test_pages.address + "KeyPage.html")
        self.page.wait_for_window()
        keys = [("Minus", "-", 189), ("Numpad7", "7", 103), ("KeyA", "a", 65), ("Period", ".", 190),
                ("BracketLeft", "[", 219), ("NumpadAdd", "+", 107), ("Escape", "Escape", 27)]
        for code, key, vk in keys:
            for kind in ("keyDown", "keyUp"):
                self.page.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {"type": kind, "key": key, "code": code,
                                                                            "windowsVirtualKeyCode": vk})
        self.assertEnded()
        self.assertEqual(self.page.output().split(), ["BD", "67", "41", "BE", "DB", "6B", "1B"])


if __name__ == "__main__":
    WEB, NATIVE = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2]).resolve()
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)  # then the tests to run, if named
