"""The level editor used as a user would: clicks, drags and keys in window
pixels; checks the exact bytes of the level-set file it saves and appends to,
its standard output, what the top view shows where, and the preview's turns;
keeps screenshots of both views as artefacts."""
import ctypes
import ctypes.util
import os
import shutil
import signal

import pytest

from editor_common import (BLUE, DARK_GREEN, FIXTURE, MESSAGE, NO_AUDIO, RED, RIGHT, TITLE,
                           WHITE, block, cell_pixel, near, new_level, shows_near,
                           wait_first_frame)
from harness import GAME_TITLE


class Editor:
    def __init__(self, session, *argv):
        self.s = session
        self.ed = session.start("gridcraft", *argv)
        self.win = session.find_window(TITLE)
        wait_first_frame(session, self.win, "editor_first_frame")

    # ---- driving

    def keys(self, *names):
        self.s.key(self.win, *names)

    def type(self, text):
        self.s.type(self.win, text)

    def click_cell(self, i, j):
        self.s.click(self.win, *cell_pixel(i, j))

    def drag(self, points):
        self.s.drag(self.win, points)

    def shot(self, name=None):
        return self.s.screenshot(self.win, name)

    def shot_until(self, name, ready, timeout=30):
        """Screenshots until ready(image) holds; fails after timeout seconds."""
        return self.s.shot_until(self.win, name, ready, timeout, name)

    def file_becomes(self, name, content):
        path = os.path.join(self.s.data, name)

        def matches():
            if not os.path.exists(path):
                return False
            with open(path, "rb") as f:
                return f.read() == content
        try:
            self.s.until(f"{name} to hold what was saved", matches, timeout=10)
        except AssertionError:
            pass
        with open(path, "rb") as f:
            return f.read()

    def quit(self, unsaved=False):
        """Escape; with unsaved changes the editor asks first, on its message
        line, and a second Escape ends it."""
        if unsaved:
            before = self.shot()
            self.keys("Escape")
            self.shot_until("the unsaved-changes question",
                            lambda img: img.differs(before, box=MESSAGE) > 100, 10)
            assert self.ed.alive(), "Escape with unsaved changes ended the editor"
        self.keys("Escape")
        assert self.s.exits(self.ed) == 0
        return self.ed.stdout()

    def shot_cells(self, name, expected):
        """Screenshots until every cell shows its expected colour."""
        def wrong(img):
            return [(cell, img.pixel(*cell_pixel(*cell)), colour)
                    for cell, colour in expected.items()
                    if not near(img.pixel(*cell_pixel(*cell)), colour)]
        try:
            return self.shot_until(name, lambda img: not wrong(img), 15)
        except AssertionError:
            pytest.fail(f"{name}: cells (cell, shown, wanted): {wrong(self.s.last)}")

    # ---- the three levels of the fixture

    def edit_first_level(self):
        grid = new_level()
        self.click_cell(10, 20)                # selects the cell
        self.click_cell(10, 20)                # a second press paints it
        grid[10][20] = 2
        self.drag([cell_pixel(5, j) for j in range(1, 7)])
        for j in range(2, 7):
            grid[5][j] = 2
        self.keys("i", "i", "i", "v")          # the start moves to (8, 6)
        grid[2][2], grid[8][6] = 0, 3
        self.keys("z", "j", "z")               # z leaves the start; (8, 7) gets an obstacle
        grid[8][7] = 2
        self.shot_cells("editor_top_view", {(10, 20): RED, (5, 4): RED, (8, 6): DARK_GREEN,
                                            (8, 7): BLUE, (2, 2): WHITE, (5, 1): WHITE})
        return grid

    def edit_second_level(self):
        self.keys("c", "z", "m", "m", "v")     # cleared; the cursor stays on (8, 7)
        grid = new_level()
        grid[8][7] = 2
        grid[2][2], grid[6][7] = 0, 3
        # Across the start cell and off the square: both left alone.
        self.drag([cell_pixel(6, j) for j in range(5, 9)] + [(RIGHT + 40, 200)])
        grid[6][6] = grid[6][8] = 2
        return grid

    def edit_third_level(self):
        self.keys("c")
        grid = new_level()
        self.drag([cell_pixel(20, 10), cell_pixel(20, 11), cell_pixel(21, 11), cell_pixel(22, 11)])
        grid[20][11] = grid[21][11] = grid[22][11] = 2
        return grid



def test_save_then_two_appends_write_exact_level_blocks(session):
    self = Editor(session)
    self.shot("editor_start")
    want = block(self.edit_first_level())
    self.keys("a")
    self.type("levels.txt")
    self.shot_until("editor_typing_name",
                    lambda img: shows_near(img, (360, 12, 430, 36), WHITE, 30), 10)
    self.keys("Return")
    assert self.file_becomes("levels.txt", want) == want
    self.shot("editor_saved_message")

    want += block(self.edit_second_level())
    self.keys("s")
    self.type("levels.txt ")
    assert self.file_becomes("levels.txt", want) == want

    want += block(self.edit_third_level())
    self.keys("s")
    self.type("levels.txt")
    self.keys("Tab")
    got = self.file_becomes("levels.txt", want)
    assert got == want
    shutil.copy(os.path.join(self.s.data, "levels.txt"),
                os.path.join(session.artifacts, "editor_levels.txt"))
    # The game's round-trip test reads this fixture as the editor's output.
    with open(FIXTURE, "rb") as f:
        assert f.read() == got
    assert self.quit(unsaved=True) == NO_AUDIO

def test_preview_turns_and_snaps_back_on_release(session):
    self = Editor(session)
    self.drag([cell_pixel(7, j) for j in range(3, 9)])
    self.click_cell(3, 6)
    self.keys("v", "i", "z", "i", "z", "j", "j", "z", "m")
    self.keys("z")                         # (4, 8): an obstacle under the cursor
    cells = {(4, 8): BLUE, (4, 6): RED, (3, 6): DARK_GREEN, (7, 5): RED}
    top = self.shot_cells("editor_top_view_painted", cells)
    self.keys("2")
    start = self.shot_until("editor_preview", lambda img: img.differs(top) > 100000)
    self.keys("o", "o", "o")
    self.shot_until("editor_preview_turned", lambda img: img.differs(start) > 1000)
    self.drag([(500, 300), (520, 300), (540, 300), (560, 300)])
    self.shot_until("editor_preview_snapped_back", lambda img: img.differs(start) == 0, 10)
    self.keys("1")
    self.shot_cells("editor_top_view_again", cells)
    self.quit(unsaved=True)

def test_unopenable_name_is_reported_on_screen_and_stdout(session):
    self = Editor(session)
    self.keys("a", "Return")               # an empty name cannot be opened
    self.shot_until("editor_save_failed",
                    lambda img: shows_near(img, (25, 12, 340, 36), WHITE, 30), 10)
    self.keys("s")
    self.type("no/such/dir.txt")
    self.keys("space")
    self.shot("editor_append_failed")
    assert self.quit() == NO_AUDIO + "Cannot open file for saving\n" * 2
    assert not os.path.exists(os.path.join(self.s.data, "no"))


def test_backspace_mends_the_name_of_a_save(session):
    self = Editor(session)
    self.keys("a")
    self.type("mendx")
    self.keys("BackSpace")
    self.type("ed.txt")
    self.keys("Return")
    assert self.file_becomes("mended.txt", block(new_level())) == block(new_level())
    assert not os.path.exists(os.path.join(self.s.data, "mendxed.txt"))
    assert self.quit() == NO_AUDIO


# ---- whole level sets

STATUS = (25, 37, 500, 50)   # the set's status under the message line
BLOCK = 30 * 31 + 9          # one level block in bytes


def blocks_of(data):
    assert len(data) % BLOCK == 0
    return [data[n:n + BLOCK] for n in range(0, len(data), BLOCK)]


def cell_of(block, i, j):
    return block[i * 31 + j] - ord("0")


def empty_run(block, length):
    """(i, j): `length` empty cells from (i, j) on along a row, away from the
    cursor's start cell (1, 1), where a press would paint."""
    for i in range(3, 29):
        for j in range(1, 29 - length):
            if all(cell_of(block, i, j + k) == 0 for k in range(length)):
                return i, j
    raise AssertionError("no empty run")


def children(pid):
    with open(f"/proc/{pid}/task/{pid}/children") as f:
        return [int(c) for c in f.read().split()]


@pytest.mark.cost(12)
def test_default_set_opened_edited_saved_and_undone(session):
    path = os.path.join(session.data, "defaultlevel.txt")
    with open(path, "rb") as f:
        old = f.read()
    levels = blocks_of(old)
    assert len(levels) == 10
    self = Editor(session, "defaultlevel.txt")
    first = self.shot("editor_set_level_1")
    # A cell that tells level 3 from level 1 on the screen.
    marker = next((i, j) for i in range(1, 29) for j in range(1, 29)
                  if cell_of(levels[2], i, j) == 2 and cell_of(levels[0], i, j) == 0)
    self.keys("Page_Down", "Page_Down")
    third = self.shot_cells("editor_set_level_3", {marker: RED})
    assert third.differs(first, box=STATUS) > 5, "the status line did not change"

    i, j = empty_run(levels[2], 5)
    self.drag([cell_pixel(i, j + k) for k in range(5)])   # the press selects, the rest paint
    # The cursor follows the paint: the last cell shows blue.
    self.shot_cells("editor_set_painted", {(i, j + 1): RED, (i, j + 3): RED, (i, j + 4): BLUE})
    self.keys("ctrl+s")
    want = bytearray(levels[2])
    for k in range(1, 5):
        want[i * 31 + j + k] = ord("2")
    saved = b"".join(levels[:2]) + bytes(want) + b"".join(levels[3:])
    assert self.file_becomes("defaultlevel.txt", saved) == saved
    with open(path + "~", "rb") as f:
        assert f.read() == old, "the backup is not the file as it was"

    self.keys("ctrl+z")                                   # the whole drag at once
    self.shot_cells("editor_set_undone", {(i, j + k): WHITE for k in range(1, 5)})
    self.quit(unsaved=True)
    with open(path, "rb") as f:
        assert f.read() == saved, "quitting touched the file"


@pytest.mark.cost(10)
def test_play_test_runs_the_game_from_the_current_level(session):
    with open(os.path.join(session.data, "defaultlevel.txt"), "rb") as f:
        levels = blocks_of(f.read())
    self = Editor(session, "defaultlevel.txt")
    self.keys("Page_Down", "p")
    # Below the editor: without a window manager both open at the corner.
    session.xdotool("windowmove", session.find_window(GAME_TITLE), 0, 620)
    (game,) = children(self.ed.popen.pid)
    try:
        with open(f"/proc/{game}/cmdline", "rb") as f:
            program, copy = f.read().split(b"\0")[:2]
        assert program == os.path.join(session.bin, "squeakling").encode()
        assert os.readlink(f"/proc/{game}/cwd") == session.data
        with open(copy, "rb") as f:
            assert f.read() == b"".join(levels[1:]), "the game's set does not begin at level 2"
        # The editor stays usable while the game runs.
        before = self.shot()
        self.keys("Page_Down")
        self.shot_until("level 3 while the game runs", lambda img: img.differs(before) > 100)
    finally:
        os.kill(game, signal.SIGTERM)
    # Reaped: no zombie stays, and the copy is gone. The editor removes the
    # copy just after reaping the game, so the two are waited for together.
    session.until("the game to be reaped and its copy removed",
                  lambda: not os.path.exists(f"/proc/{game}") and not os.path.exists(copy), 10)
    self.quit()


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def press_close_button(display, win):
    """Sends the window WM_DELETE_WINDOW, what a window manager's close
    button sends (the tests run without a window manager)."""
    x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(_Event)]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    d = x.XOpenDisplay(display.encode())
    assert d, f"cannot open display {display}"
    e = _Event()
    e.xclient.type = 33  # ClientMessage
    e.xclient.window = int(win)
    e.xclient.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
    e.xclient.format = 32
    e.xclient.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(d, int(win), 0, 0, ctypes.byref(e))
    x.XCloseDisplay(d)  # flushes


@pytest.mark.cost(6)
def test_close_button_with_unsaved_changes_keeps_the_set(session):
    self = Editor(session, "defaultlevel.txt")
    self.keys("z")                                        # an obstacle at (1, 1)
    changed = self.shot_cells("editor_close_changed", {(1, 1): BLUE})
    press_close_button(session.display, self.win)
    # The window goes; another takes its place, with the set and the question.
    self.win = session.until("the editor's window again", lambda: [
        w for w in session.xdotool("search", "--onlyvisible", "--name", f"^{TITLE}$",
                                   check=False).split() if w != self.win], 10)[-1]
    # Until its first frame the new window may still show the old one's
    # pixels, so the header is waited for, then the set's change checked.
    # The header's status line asks for as long as the question stands.
    self.shot_until("editor_close_reopened",
                    lambda img: img.differs(changed, box=(200, 37, 700, 50)) > 100, 15)
    self.shot_cells("editor_close_reopened", {(1, 1): BLUE})
    assert self.ed.alive()
    self.quit()  # asked already: the next Escape quits
