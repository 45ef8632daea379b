"""Both programs in windows of other sizes, on a screen of their own big
enough for twice the default window: the size the desktop's Xft.dpi asks
for, clicks and drags at the places drawn there, text drawn anew at twice
the size, black bars around a 3:1 window's picture, full screen by F11 and
--fullscreen and back."""
import os
import subprocess

import pytest

import harness
from overlay_common import (CHEESE, DEATH_QUIT, DEATH_RESTART, LIVES, RIGHT_X, SHADOWS,
                            SLIDER_LEFT, Game, at, bars, dead_end_level, in_interlude,
                            in_play, knob_left, picture_for, picture_of)
from editor_common import TITLE as EDITOR_TITLE
from editor_common import MESSAGE, WALL, block, cell_pixel, near, new_level

SCREEN = (2600, 1400)


@pytest.fixture
def session(request, options):
    """A session on an Xvfb of SCREEN's size, for this test alone: the X
    resources a test sets stay its own."""
    xvfb, display = harness.start_xvfb("%dx%dx24" % SCREEN)
    name = request.node.name
    s = harness.Session(options["bin"], options["data"], options["artifacts"], display, name)
    yield s
    s.close()
    harness.stop(xvfb)


def start_window_manager(s):
    wm = subprocess.Popen(["openbox"], env=s.env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    s.procs.append(harness.Process(wm, os.devnull, os.devnull))
    s.until("openbox to manage the screen", lambda: subprocess.run(
        ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=s.env, capture_output=True,
        text=True).stdout.count("window id") > 0, 10)


def size_becomes(s, win, size):
    s.until(f"the window at {size[0]} x {size[1]}", lambda: s.window_size(win) == size, 15)


def partly_lit_blocks(img, box):
    """Of the 2 x 2 blocks (at even coordinates) in the box holding
    near-white text pixels, the share that is only partly near-white. A
    pixel zoom of the 1x bitmap text has whole blocks only."""
    x0, y0, x1, y1 = box
    white = img.box(x0, y0, x1, y1).min(axis=2) >= 230
    h, w = white.shape[0] // 2 * 2, white.shape[1] // 2 * 2
    blocks = white[:h, :w].reshape(h // 2, 2, w // 2, 2).sum(axis=(1, 3))
    lit = blocks > 0
    return float(((blocks > 0) & (blocks < 4)).sum()) / max(1, int(lit.sum())), int(lit.sum())


@pytest.mark.cost(30)
def test_game_at_twice_the_size_from_xft_dpi_then_full_screen(session):
    subprocess.run(["xrdb", "-nocpp", "-merge"], input=b"Xft.dpi: 192\n", env=session.env,
                   check=True)
    start_window_manager(session)
    g = Game(session, any_size=True)
    assert g.size == (2400, 1200), "1200 x 600 times Xft.dpi 192 / 96"

    # The title bar's Control panel button, a panel button and a slider,
    # each clicked where it is drawn at twice the size.
    g.open_panel(name="window_2x_panel")
    g.click_face(RIGHT_X, SHADOWS)
    g.slide(CHEESE, 600)   # 20 cheese: the knob's left edge at 590
    g.until("the cheese knob at 20", lambda img: abs((knob_left(img, CHEESE) or 0) - 590) <= 2)
    g.return_paused(name="window_2x_paused_play")

    # The score line is drawn anew at 48 pixels, not the 24-pixel bitmap
    # glyphs doubled: its white edges cut across the 2 x 2 blocks.
    raw = session.screenshot(g.win, "window_2x_score_line", raw=True)
    share, lit = partly_lit_blocks(raw, (40, 20, 1400, 84))
    assert lit > 1500, "the score line shows"
    assert share > 0.3, f"only {share:.0%} of the text's blocks are partly white"

    g.key("F11")
    size_becomes(session, g.win, SCREEN)
    assert picture_for(*SCREEN) == (0, 50, 2600, 1300)

    def full_screen_play():
        raw = session.screenshot(g.win, raw=True)
        # Black bars above and below the picture, play inside it.
        return int(bars(raw, SCREEN).max()) == 0 and in_play(picture_of(raw, SCREEN)) and raw
    session.keep(session.until("play in full screen between black bars", full_screen_play),
                 "window_full_screen")
    g.key("F11")
    size_becomes(session, g.win, (2400, 1200))
    g.alive()


@pytest.mark.cost(30)
def test_three_to_one_window_and_the_end_screens_buttons(session):
    with open(os.path.join(session.data, "test.txt"), "w") as f:
        f.write(dead_end_level())
    g = Game(session, "-geometry", "1800x600", "test.txt", any_size=True)
    assert g.size == (1800, 600), "-geometry still sets the size"
    face = g.restart_face(g.open_panel())
    raw = session.screenshot(g.win, "window_3to1_panel", raw=True)
    assert int(bars(raw, g.size).max()) == 0, "black bars left and right"
    assert raw.box(300, 0, 1500, 600).any()
    g.slide(LIVES, SLIDER_LEFT)  # one life
    g.restart_from_panel()
    g.wait_for_end_screen(face, 40)
    g.click(*DEATH_RESTART)
    ended = g.end_screen(face)
    g.until("the interlude after Restart", lambda i: in_interlude(i) and not ended(i))
    g.wait_for_end_screen(face, 40)
    g.click(*DEATH_QUIT)
    assert g.exits() == 0


@pytest.mark.cost(15)
def test_editor_full_screen_then_twice_the_size_paints_and_saves(session):
    ed = session.start("gridcraft", "--fullscreen", "-geometry", "2400x1200")
    win = session.find_window(EDITOR_TITLE)
    size_becomes(session, win, SCREEN)
    session.key(win, "F11")
    size_becomes(session, win, (2400, 1200))
    size = (2400, 1200)
    session.view = lambda img: picture_of(img, size)
    session.shot_until(win, "the top view", lambda img: near(img.pixel(380, 300), WALL, 10))

    def cell(i, j):
        return at(size, *cell_pixel(i, j))
    grid = new_level()
    session.click(win, *cell(10, 20))   # selects the cell
    session.click(win, *cell(10, 20))   # a second press paints it
    grid[10][20] = 2
    session.drag(win, [cell(5, j) for j in range(1, 7)])
    for j in range(2, 7):
        grid[5][j] = 2
    session.shot_until(win, "the painted cells", lambda img: all(
        near(img.pixel(*cell_pixel(i, j)), (255, 0, 0)) for i, j in [(10, 20), (5, 2), (5, 4)]),
        name="editor_2x_painted")
    session.key(win, "a")
    session.type(win, "big.txt")
    session.key(win, "Return")
    path = os.path.join(session.data, "big.txt")
    want = block(grid)

    def saved():
        if not os.path.exists(path):
            return False
        with open(path, "rb") as f:
            return f.read() == want
    session.until("big.txt to hold the painted level", saved, 10)
    # The level went to its own file, not into the set being edited: the
    # editor asks before a second Escape ends it.
    before = session.screenshot(win)
    session.key(win, "Escape")
    session.shot_until(win, "the unsaved-changes question",
                       lambda img: img.differs(before, box=MESSAGE) > 100, 10)
    session.key(win, "Escape")
    assert session.exits(ed) == 0
