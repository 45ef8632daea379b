"""A level played to its end in the real game: a corridor level where the
cheese can appear nowhere but on the mouse's path, the cat switched off and
lives, speed and cheese set in the control panel, keys and clicks sent with
xdotool; the level finishes and the interlude of level 2 shows its maze."""
import os
import struct
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import scene_view as sv  # noqa: E402

TITLE = "Dravel: Vimmo Squeakling"
ROW = 14                      # the corridor: cells (1 ... 28, ROW)
BLOCK = [(x, y) for x in range(20, 26) for y in range(3, 9)]  # level 2's obstacles


def corridor_level():
    g = [[1] * 30 for _ in range(30)]  # wall codes inside the ring: passable, never empty
    for x in range(1, 29):
        g[x][ROW] = 0
    g[1][ROW] = 3
    return g


def block_level():
    g = sv.ring_level()
    for x, y in BLOCK:
        g[x][y] = 2
    g[1][ROW] = 3
    return g


def image_width(path):
    with open(path, "rb") as f:
        header = f.read(12)
    return struct.unpack(">H", header[6:8])[0]


class Playthrough(unittest.TestCase):
    def setUp(self):
        self.s = harness.Session(harness.ARGS).__enter__()

    def tearDown(self):
        self.s.__exit__(None, None, None)

    def shows_level_two(self, img):
        v = sv.View(2)
        red = 0
        for x, y in BLOCK:
            r, g, b = img.pixel(*v.pixel((x, y, 0.5)))
            red += r > 30 and r > 3 * g and r > 3 * b
        return red >= len(BLOCK) * 3 // 4

    def test_finishing_a_level_shows_the_next_levels_interlude(self):
        levels = os.path.join(self.s.data, "corridor_levels.txt")
        sv.write_level(levels, [corridor_level(), block_level()])
        game = self.s.start("squeakling", levels)
        win = self.s.find_window(TITLE)
        time.sleep(1)
        track = image_width(os.path.join(self.s.data, "images", "SCheese.rgb"))
        right = 495 + track - 2  # the right end of the sliders' strip

        self.s.click(win, 950, 25)        # title bar: Control panel
        self.s.click(win, 300, 415)       # Cat: off
        self.s.click(win, right, 160)     # mouse speed: highest
        self.s.click(win, right, 240)     # lives: most
        self.s.click(win, 525, 320)       # cheese: fewest (5)
        self.s.click(win, 780, 415)       # Restart: a new game with these settings
        time.sleep(6)                     # the interlude of level 1
        self.s.key(win, "3")              # overhead view
        shot = self.s.screenshot(win, "playthrough_level1")
        self.assertFalse(self.shows_level_two(shot))

        deadline = time.time() + 240
        n = 0
        while time.time() < deadline:
            self.assertTrue(game.alive(), game.stderr())
            n += 1
            img = self.s.screenshot(win, "playthrough_latest")
            if self.shows_level_two(img):
                self.s.screenshot(win, "playthrough_level2_interlude")
                break
            time.sleep(2)
        else:
            self.fail("level 1 never finished")


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
