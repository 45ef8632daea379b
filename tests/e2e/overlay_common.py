"""Shared by the overlay's end-to-end tests: where the control panel's
controls sit in the window, level files made for a purpose, the pixel checks
the tests make, and `Game`, one running game in a test's session."""
import os
import time

import numpy as np
from PIL import Image as PILImage

from harness import GAME_TITLE as TITLE
from harness import Image

# Window pixels, y down from the top, at the default 1200 x 600 window.
PANEL_REGION = (950, 25)          # title bar: Control panel
RESTART_REGION = (850, 10)        # title bar: Restart
QUIT_REGION = (750, 20)           # title bar: Quit
LEFT_X, RIGHT_X = 370, 850        # centres of the button columns
VIEW, TEXTURES, SPOTLIGHTS, CAT, SOUND = range(5)
SHADOWS, REFLECTIONS, RETURN, RESTART, LOAD = range(5)
SPEED, LIVES, CHEESE, CAT_SPEED, BONUS = range(5)
SLIDER_LEFT, SLIDER_RIGHT = 525, 675   # the strip of a 180-pixel track
DEATH_RESTART, DEATH_QUIT = (540, 75), (740, 75)
PAUSE_BAND = (395, 48, 830, 76)  # "Game paused - press spacebar to continue"
GET_READY = (490, 280, 760, 302)  # "Level 1 Get Ready!!" in the interlude


# ---- Windows of other sizes: the 1200 x 600 picture in the largest 2:1
# rectangle centred in the window, black bars beside or above it.

def picture_for(width, height):
    """(left, top, width, height) of the picture in a window of that size."""
    h = max(1, min(height, width // 2))
    w = 2 * h
    left = max(0, (width - w) // 2)
    bottom = max(0, (height - h) // 2)
    return left, max(0, height - bottom - h), w, h


def at(size, x, y):
    """The window pixel that shows pixel (x, y) of the 1200 x 600 window, in
    a window of `size` (width, height); (x, y) itself at 1200 x 600."""
    left, top, w, h = picture_for(*size)
    return left + (2 * x + 1) * w // 2400, top + (2 * y + 1) * h // 1200


def picture_of(img, size):
    """The picture of a window screenshot as 1200 x 600 pixels (averaged
    down, or up, from the window's resolution), so that the places and
    pixel checks of the default window apply at any size."""
    left, top, w, h = picture_for(*size)
    a = img.a[top:top + h, left:left + w]
    if (w, h) != (1200, 600):
        a = np.asarray(PILImage.fromarray(a).resize((1200, 600), PILImage.BOX))
    return Image(a.copy())


def bars(img, size):
    """The pixels of a window screenshot outside its picture, flattened."""
    left, top, w, h = picture_for(*size)
    mask = np.ones(img.a.shape[:2], dtype=bool)
    mask[top:top + h, left:left + w] = False
    return img.a[mask]


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


def cheese_run_level(cheese=10):
    """A straight corridor, column 1 from row 1 to 28, the mouse at its
    start heading along it and `cheese` cheese lined up in the cells ahead of
    it; every other inner cell is a passable hole. The mouse eats cheese
    after cheese in its first seconds of play. There are twice as many as
    the fewest a level can ask for, so a slow frame on a loaded machine
    that steps the mouse past one cannot keep the level from finishing,
    and the last of them lies some sixteen cells before the wall."""
    cells = {(x, y): 1 for x in range(1, 29) for y in range(2, 29)}
    cells[(1, 1)] = 3
    for x in range(2, 2 + cheese):
        cells[(x, 1)] = 4
    return level_text(cells)


def shadow_corridor_level():
    """A still scene for comparing settings: the mouse starts at (6, 28)
    heading +x along column 28, some nine seconds from the far wall at the
    start speed, with obstacles on every other cell of column 27 casting
    shadows onto the corridor's floor. Random placements never draw row or
    column 28, and every other cell is a hole except a pocket (1..3, 1..3)
    walled by obstacles, beside and behind the camera: cheese, fruit and the
    cat start there, out of view, and the cat cannot leave it to reach the
    mouse."""
    cells = {(x, y): 1 for x in range(1, 29) for y in range(1, 29)}
    for x in range(1, 29):
        cells[(x, 28)] = 0
        if x % 2 == 0:
            cells[(x, 27)] = 2
    for x in range(1, 5):
        for y in range(1, 5):
            cells[(x, y)] = 2 if 4 in (x, y) else 0
    cells[(6, 28)] = 3
    return level_text(cells)


def knob_left(img, row):
    """Left edge of a slider's knob (the cheese-yellow pixels), or None."""
    p = img.box(500, slider_y(row), 700, slider_y(row) + 1)[0]
    r, b = p[:, 0], p[:, 2]
    xs = np.nonzero((r > 90) & (b < 80) & (r > b + 60))[0]
    return 500 + int(xs[0]) if len(xs) else None


def box_differs(a, b, box, tolerance=24):
    return a.differs(b, tolerance, box)


def _span(mask, x0):
    xs = np.nonzero(mask.any(axis=0))[0]
    return (x0 + int(xs[0]), x0 + int(xs[-1])) if len(xs) else None


def bright_span(img, y0, y1, x0=0, x1=1200, level=200):
    """Leftmost and rightmost x of near-white pixels in the band, or None."""
    return _span(img.box(x0, y0, x1, y1).min(axis=2) >= level, x0)


def ink_span(img, y0=540, y1=580, x0=350, x1=1200):
    """Horizontal extent of the panel's prompt line (blue or white ink)."""
    return _span(img.box(x0, y0, x1, y1).max(axis=2) >= 150, x0)


def white_pixels(img, box):
    """The near-white pixels of a box, as a mask over the box."""
    return box, img.box(*box).min(axis=2) >= 250


def shows_all(img, pixels):
    """Whether every pixel of a (non-empty) white mask is white in img."""
    box, mask = pixels
    return bool(mask.any()) and bool((img.box(*box).min(axis=2)[mask] >= 250).all())


def count(pixels):
    return int(pixels[1].sum())


def scoreboard(img):
    return bright_span(img, 12, 40, 20, 700) is not None


def panel_open(img):
    """The control panel shows: every slider has its knob, and no scoreboard
    (whose orange floor could pass for knobs)."""
    return not scoreboard(img) and all(knob_left(img, row) is not None for row in range(5))


def in_play(img):
    """The scoreboard line shows: play (running or paused), not the start
    screen, an interlude or the panel."""
    return scoreboard(img)


def pause_message(img):
    """Play with the pause message (the only pure white in its band)."""
    return in_play(img) and count(white_pixels(img, PAUSE_BAND)) > 150


def in_interlude(img):
    return bright_span(img, GET_READY[1], GET_READY[3], GET_READY[0], GET_READY[2]) is not None \
        and bright_span(img, 12, 40, 20, 700) is None


class Game:
    """One game in a test's session, its window and the control panel's
    controls, each action waiting until the game has shown its result."""

    def __init__(self, session, *argv, env=None, any_size=False):
        """With any_size the window keeps the size it opens at, clicks go to
        the places drawn there and screenshots show its picture at 1200 x 600
        (picture_of); otherwise the window is the default one."""
        self.s = session
        self.proc = session.start("squeakling", *argv, env=env)
        self.win = session.find_window(TITLE)
        self.size = (1200, 600)
        if any_size:
            self.resized()
        # The window maps before its first frame is drawn.
        self.until("the first frame", lambda img: img.a.any(), 30)

    def resized(self):
        """Takes the window's size anew (after full screen, say)."""
        self.size = self.s.window_size(self.win)
        self.s.view = lambda img: picture_of(img, self.size)
        return self.size

    def write_level(self, name, text):
        with open(os.path.join(self.s.data, name), "w") as f:
            f.write(text)

    def shot(self, name=None):
        return self.s.screenshot(self.win, name)

    def until(self, what, ready, timeout=20, name=None, step=0.1):
        return self.s.shot_until(self.win, what, ready, timeout, name, step)

    def key(self, *keys):
        self.s.key(self.win, *keys)

    def click(self, x, y):
        """A click at (x, y) of the 1200 x 600 picture, wherever it is drawn."""
        self.s.click(self.win, *at(self.size, x, y))

    def alive(self):
        assert self.proc.alive(), self.proc.stderr()

    def exits(self, timeout=20):
        return self.s.exits(self.proc, timeout)

    def start_play(self, key="Return", name=None):
        """From the start screen: a key starts a game; waits out the interlude."""
        self.key(key)
        return self.wait_play(name=name)

    def wait_play(self, timeout=30, name=None):
        """Waits for the scoreboard line: the interlude is over."""
        img = self.until("play with the scoreboard line", in_play, timeout, name)
        self.play_seen = time.monotonic()
        return img

    def paused_play_from_start(self, name=None):
        """From the start screen: the panel, then Return to game, which
        shows play paused at once. No game has been started, so no interlude
        runs first (the last death is as old as the clock), and space works
        at once."""
        self.open_panel()
        return self.return_paused(name)

    def return_paused(self, name=None):
        """Return to game from a panel entered on the start screen: paused
        play, settled."""
        self.click(RIGHT_X, button_y(RETURN))
        # The first frames of play still show the camera and the spotlights
        # of the mouse's start on the set's last level. A cheese near the
        # camera spins through many pixels, as much as the tests allow a
        # paused game to change.
        img = self.s.settled(self.win, "paused play after Return to game", pause_message,
                             name=name, pixels=30000, seconds=0.5)
        self.play_seen = time.monotonic() - 1.2
        return img

    def space(self):
        """Sends space once the game takes it: it ignores space until a
        whole second of play has passed since the interlude, which the
        screen does not show, so that second is counted from the first
        play frame seen."""
        self.s.until("a second of play", lambda: time.monotonic() > self.play_seen + 1.2, 5)
        self.key("space")

    def open_panel(self, name=None):
        self.click(*PANEL_REGION)
        return self.until("the control panel", panel_open, name=name)

    def click_face(self, column_x, row, name=None):
        """Clicks a panel button and waits until its face has changed."""
        box = face_box(column_x, row)
        before = self.shot()
        self.click(column_x, button_y(row))
        return self.until(f"a new face of button ({column_x}, {row})",
                          lambda img: box_differs(before, img, box) > 300, name=name)

    def press_left(self, row, name=None):
        return self.click_face(LEFT_X, row, name)

    def slide(self, row, x):
        """Clicks a slider's strip; the knob's place is checked by the test
        once a later action shows the click was handled."""
        self.click(x, slider_y(row))

    def restart_from_panel(self, name=None):
        """Restart: the panel closes onto a new game's interlude."""
        self.click(RIGHT_X, button_y(RESTART))
        return self.until("the interlude after Restart", in_interlude, name=name)

    def end_screen(self, restart_face):
        """Whether the end screens' Restart button shows (the very image the
        panel uses for Restart)."""
        def ready(img):
            same = ~img.diff_mask(restart_face, 24, (460, 60, 620, 90))
            return same.sum() > 0.9 * same.size
        return ready

    def wait_for_end_screen(self, restart_face, timeout):
        def ready(img):
            self.alive()
            return self.end_screen(restart_face)(img)
        return self.until("an end screen's Restart button", ready, timeout, step=0.3)

    def restart_face(self, panel_img):
        """The panel's Restart face, placed where the end screens show it."""
        a = np.zeros_like(panel_img.a)
        a[60:90, 460:620] = panel_img.a[400:430, 770:930]
        return Image(a)
