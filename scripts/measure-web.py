#!/usr/bin/python3
"""Measures the game in headless Chromium as the browser tests run it: the
processor use of all of Chromium's processes together on the menu, during a
camera flight, on the placement screen and on the hand-over screen.

    scripts/measure-web.py [site folder] [seconds]

The site folder is an installed web build (build-web/site by default)."""
import os
import pathlib
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "web"))
import browser  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
GREEN = [0, 255, 0]


def descendants(root):
    """The process ids below `root` (Chromium's processes, below chromedriver)."""
    children = {}
    for entry in pathlib.Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
            except OSError:
                continue
            children.setdefault(int(fields[1]), []).append(int(entry.name))
    found, todo = [], [root]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def processor_seconds(root):
    total = 0
    for pid in descendants(root):
        try:
            fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        total += int(fields[11]) + int(fields[12])  # utime, stime
    return total / TICKS


class Meter:
    def __init__(self, root):
        self.root = root

    def start(self):
        self.wall, self.cpu = time.monotonic(), processor_seconds(self.root)

    def share(self):
        return 100 * (processor_seconds(self.root) - self.cpu) / (time.monotonic() - self.wall)


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build-web" / "site")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 5
    site = browser.Site(folder)
    chromium = browser.Browser()
    try:
        meter = Meter(chromium.driver.service.process.pid)
        page = chromium.open(site.address + "OperationBrannoway.html")
        page.wait_for_window()
        page.move(300, 310)  # over "Player vs Player"
        time.sleep(1)

        def watch(name):
            meter.start()
            time.sleep(seconds)
            print(f"{name:12} {meter.share():5.1f}% of a core (Chromium, all processes; {seconds:.0f} s)")

        watch("menu")
        page.track_frames()
        meter.start()
        page.click(300, 310)
        flight = page.frames_settled(quiet=0.5)
        print(f"{'flight':12} {meter.share():5.1f}% of a core (from the click until the frames settle; the flight {flight:.2f} s)")
        page.move(100, 300)
        time.sleep(0.5)
        watch("placement")
        placed = []
        for ship in range(8):  # both fleets
            if ship == 4:
                page.track_frames()
                page.frames_settled(quiet=0.5)  # the flight to player 2
                placed = []
            spot = page.find_spot(GREEN, avoid=placed)
            if spot is None:
                raise RuntimeError("no free square for a ship")
            page.click(*spot)
            time.sleep(0.3)
            placed.append(spot)
        page.track_frames()
        page.frames_settled(quiet=0.5)
        watch("hand-over")
    finally:
        chromium.close()
        site.close()


if __name__ == "__main__":
    main()
