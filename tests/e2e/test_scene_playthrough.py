"""A level played to its end in the real game: a corridor level with a run
of cheese on the mouse's path, the cat switched off and lives and cheese set
in the control panel, keys and clicks sent with xdotool; the level finishes
and the interlude of level 2 shows its maze."""
import os

import pytest

import scene_view as sv
from overlay_common import (CAT, CHEESE, LEFT_X, LIVES, PANEL_REGION, RESTART, RIGHT_X,
                            SLIDER_LEFT, SLIDER_RIGHT, TITLE, button_y, in_play, panel_open,
                            slider_y)
ROW = 14                      # the corridor: cells (1 ... 28, ROW)
BLOCK = [(x, y) for x in range(20, 26) for y in range(3, 9)]  # level 2's obstacles
CHEESE_RUN = range(10, 20)    # twice the fewest cheese a level asks for


def corridor_level():
    """The mouse heads along the corridor from its start; after some nine
    cells, time for the test to look at level 1 from overhead, it meets ten
    cheese in a row, so a slow frame that steps it past one or two still
    leaves enough to finish the level."""
    g = [[1] * 30 for _ in range(30)]  # wall codes inside the ring: passable, never empty
    for x in range(1, 29):
        g[x][ROW] = 4 if x in CHEESE_RUN else 0
    g[1][ROW] = 3
    return g


def block_level():
    g = sv.ring_level()
    for x, y in BLOCK:
        g[x][y] = 2
    g[1][ROW] = 3
    return g


def shows_level_two(img, v):
    red = 0
    for x, y in BLOCK:
        r, g, b = img.pixel(*v.pixel((x, y, 0.5)))
        red += r > 30 and r > 3 * g and r > 3 * b
    return red >= len(BLOCK) * 3 // 4


@pytest.mark.cost(14)
def test_finishing_a_level_shows_the_next_levels_interlude(session):
    s = session
    overhead = sv.view(s, 2)
    levels = os.path.join(s.data, "corridor_levels.txt")
    sv.write_level(levels, [corridor_level(), block_level()])
    game = s.start("squeakling", levels)
    win = s.find_window(TITLE)
    s.shot_until(win, "the first frame", lambda i: i.a.any())

    s.click(win, *PANEL_REGION)
    s.shot_until(win, "the control panel", panel_open)
    s.click(win, LEFT_X, button_y(CAT))              # off
    s.click(win, SLIDER_RIGHT, slider_y(LIVES))      # most
    s.click(win, SLIDER_LEFT, slider_y(CHEESE))      # fewest (5)
    s.click(win, RIGHT_X, button_y(RESTART))         # a new game with these settings
    s.shot_until(win, "play after the interlude of level 1", in_play, 30)
    s.key(win, "3")              # overhead view
    shot = s.shot_until(win, "the overhead view",
                        lambda i: in_play(i) and i.pixel(*overhead.pixel((0, 5, 0.5)))[0] > 10,
                        name="playthrough_level1")
    assert not shows_level_two(shot, overhead)

    def finished(img):
        assert game.alive(), game.stderr()
        return shows_level_two(img, overhead)
    s.shot_until(win, "level 1 to finish and level 2's interlude", finished, 60,
                 name="playthrough_level2_interlude", step=0.5)
