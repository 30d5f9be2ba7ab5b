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

    def find_spot(self, colour, avoid=(), columns=range(100, 440, 30), rows=range(440, 170, -20)):
        """Hovers the mouse over the fields until the square under it shows the colour: a place to click."""
        page = self.page
        for y in rows:
            for x in columns:
                if any(abs(x - ax) < 60 and abs(y - ay) < 60 for ax, ay in avoid):
                    continue
                page.move(x, y)
                time.sleep(0.03)
                if page.pixel(x, y) == colour:
                    return x, y
        self.fail(f"no square under the mouse shows {colour}")

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
