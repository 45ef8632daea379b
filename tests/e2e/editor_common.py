"""Shared by the tests that drive the level editor: its window title, where
the top view's cells are in window pixels, the level blocks it writes, and
the colour checks the tests make."""
import os

from harness import EDITOR_TITLE

TITLE = EDITOR_TITLE

CELL = 15.46429           # one top-view cell in pixels
RIGHT, BOTTOM = 825, 525  # the inner cells' square ends here (y from the top)
FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures",
                       "editor_three_levels.txt")
NO_AUDIO = "" if os.path.exists("/dev/dsp") else "Cannot intialize audio\n"

RED, BLUE, DARK_GREEN, WHITE = (255, 0, 0), (0, 0, 255), (0, 77, 0), (255, 255, 255)
WALL = (77, 77, 77)
MESSAGE = (25, 12, 700, 36)   # the message line in the title strip


def cell_pixel(i, j):
    """Window pixel at the centre of inner cell (i, j) of the top view."""
    return int(RIGHT - (j - 0.5) * CELL), int(BOTTOM - (i - 0.5) * CELL)


def new_level():
    grid = [[1 if i in (0, 29) or j in (0, 29) else 0 for j in range(30)] for i in range(30)]
    grid[2][2] = 3
    return grid


def block(grid):
    return ("".join("".join(map(str, row)) + "\n" for row in grid) + "endLevel\n").encode()


def near(rgb, want, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(rgb, want))


def shows_near(img, box, colour, tolerance):
    """Whether some pixel of the box is near the colour."""
    d = abs(img.box(*box) - colour)
    return bool((d <= tolerance).all(axis=2).any())


def wait_first_frame(session, win, name):
    """Waits for the editor's first frame (the window opens before the
    images are read), the pointer moved out of the way first."""
    session.move(win, 600, 300)
    return session.shot_until(win, "the editor's top view",
                              lambda img: near(img.pixel(380, 300), WALL, 10), 30, name=name)

