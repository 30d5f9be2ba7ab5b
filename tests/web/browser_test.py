"""The programs built for the browser, played in headless Chromium: their
canvases compared pixel for pixel with the native build's frames of the same
screens (drawn by the native still helpers), mouse and touch input, the
program's end, and Test's output in the page.

    browser_test.py <web build folder> <native build folder>

The programs' site is what `cmake --install <web build> --prefix <web build>/site`
puts there; the tests' own pages are in <web build>/tests/web."""
import pathlib
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
        page.touch(250, 230, hold_seconds=0.8)  # the next one, turned by a finger held still
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

    def test_the_close_box_ends_the_game(self):
        page = self.open("OperationBrannoway.html")
        page.js("document.querySelector('.window .caption button').click()")
        self.assertEnded()


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


if __name__ == "__main__":
    WEB, NATIVE = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2]).resolve()
    unittest.main(argv=sys.argv[:1], verbosity=2)
