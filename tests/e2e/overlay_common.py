"""Shared by the overlay's end-to-end tests: where the control panel's
controls sit in the window, level files made for a purpose, and the few
pixel checks the tests make."""
import os
import time
import unittest

import harness

TITLE = "Dravel: Vimmo Squeakling"

# Window pixels, y down from the top, at the default 1200 x 600 window.
PANEL_REGION = (950, 25)          # title bar: Control panel
LEFT_X, RIGHT_X = 370, 850        # centres of the button columns
VIEW, TEXTURES, SPOTLIGHTS, CAT, SOUND = range(5)
SHADOWS, REFLECTIONS, RETURN, RESTART, LOAD = range(5)
SPEED, LIVES, CHEESE, CAT_SPEED, BONUS = range(5)
SLIDER_LEFT, SLIDER_RIGHT = 525, 675   # the strip of a 180-pixel track
DEATH_RESTART, DEATH_QUIT = (540, 75), (740, 75)


def button_y(row):
    return 175 + 80 * row


def slider_y(row):
    return 160 + 80 * row


def face_box(column_x, row):
    """The face rectangle (x0, y0, x1, y1) of a button column's row."""
    x0 = 280 if column_x == LEFT_X else 760
    return (x0 + 4, 150 + 80 * row + 4, x0 + 176, 150 + 80 * row + 46)


def level_text(cells):
    """One level from a dict {(x, y): code} over a walled, empty grid."""
    rows = []
    for x in range(30):
        row = ""
        for y in range(30):
            ring = x in (0, 29) or y in (0, 29)
            row += str(cells.get((x, y), 1 if ring else 0))
        rows.append(row + "\n")
    return "".join(rows) + "endLevel\n"


def dead_end_level():
    """The mouse starts at (2, 2) heading +x, an obstacle two cells ahead."""
    return level_text({(2, 2): 3, (4, 2): 2})


def corridor_level():
    """A straight corridor, column 1 from row 1 to 28, the mouse at its
    start heading along it; every other inner cell is a passable hole, so
    cheese (and the cat's start) can only land in the corridor, ahead of the
    mouse whenever it starts a life."""
    cells = {(x, y): 1 for x in range(1, 29) for y in range(2, 29)}
    cells[(1, 1)] = 3
    return level_text(cells)


def knob_left(img, row):
    """Left edge of a slider's knob (the cheese-yellow pixels), or None."""
    y = slider_y(row)
    for x in range(500, 700):
        r, g, b = img.pixel(x, y)
        if r > 90 and b < 80 and r > b + 60:
            return x
    return None


def box_differs(a, b, box, tolerance=24):
    x0, y0, x1, y1 = box
    pa, pb = a.region(x0, y0, x1, y1), b.region(x0, y0, x1, y1)
    return sum(1 for p, q in zip(pa, pb) if any(abs(p[c] - q[c]) > tolerance for c in range(3)))


def bright_span(img, y0, y1, x0=0, x1=1200, level=200):
    """Leftmost and rightmost x of near-white pixels in the band, or None."""
    xs = [x for y in range(y0, y1) for x in range(x0, x1) if min(img.pixel(x, y)) >= level]
    return (min(xs), max(xs)) if xs else None


def ink_span(img, y0=540, y1=580, x0=350, x1=1200):
    """Horizontal extent of the panel's prompt line (blue or white ink)."""
    xs = [x for y in range(y0, y1) for x in range(x0, x1) if max(img.pixel(x, y)) >= 150]
    return (min(xs), max(xs)) if xs else None


PAUSE_BAND = (395, 48, 830, 76)  # "Game paused - press spacebar to continue"


def white_pixels(img, box):
    x0, y0, x1, y1 = box
    return [(x, y) for y in range(y0, y1) for x in range(x0, x1) if min(img.pixel(x, y)) >= 250]


def shows_all(img, pixels):
    """Whether every pixel of a (non-empty) white mask is white in img."""
    return bool(pixels) and all(min(img.pixel(x, y)) >= 250 for x, y in pixels)


class GameCase(unittest.TestCase):
    """One private display and one game per test."""

    def setUp(self):
        self.s = harness.Session(harness.ARGS).__enter__()

    def tearDown(self):
        self.s.__exit__(None, None, None)

    def start_game(self, *argv):
        self.game = self.s.start("squeakling", *argv)
        self.win = self.s.find_window(TITLE)
        time.sleep(0.5)
        return self.game, self.win

    def write_level(self, name, text):
        with open(os.path.join(self.s.data, name), "w") as f:
            f.write(text)

    def shot(self, name):
        return self.s.screenshot(self.win, name)

    def click(self, x, y, pause=0.4):
        self.s.click(self.win, x, y, delay=pause)

    def open_panel(self):
        self.click(*PANEL_REGION, pause=0.8)

    def press_left(self, row):
        self.click(LEFT_X, button_y(row))

    def press_right(self, row, pause=0.4):
        self.click(RIGHT_X, button_y(row), pause)

    def slide(self, row, x):
        self.click(x, slider_y(row))

    def alive(self):
        self.assertTrue(self.game.alive(), self.game.stderr())

    def changes(self, wait=1.0):
        """Pixels that differ between two frames `wait` seconds apart."""
        a = self.shot("_frame_a")
        time.sleep(wait)
        b = self.shot("_frame_b")
        return a.differs(b, tolerance=24)

    def wait_for_end_screen(self, timeout):
        """Polls until the end screens' Restart button shows; the frame."""
        panel_restart = self.panel_restart_face
        deadline = time.time() + timeout
        while time.time() < deadline:
            img = self.shot("_poll")
            here = img.region(460, 60, 620, 90)
            same = sum(1 for p, q in zip(here, panel_restart)
                       if all(abs(p[c] - q[c]) <= 24 for c in range(3)))
            if same > 0.9 * len(here):
                return img
            self.alive()
            time.sleep(1.0)
        return None

    def remember_restart_face(self, panel_img):
        """The panel shows the very image the end screens use as Restart."""
        self.panel_restart_face = panel_img.region(770, 400, 930, 430)
