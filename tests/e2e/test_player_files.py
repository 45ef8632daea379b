"""The player's files, played through the real game: a quick game's score on
the game-over screen and, at the next start, on the start screen, with the
lives set in the control panel still set; display settings read at start
that draw the scene as the panel's buttons do; and a scores file of random
bytes set aside at start."""
import os

import numpy as np
import pytest

from overlay_common import (DEATH_QUIT, LIVES, RETURN, RIGHT_X, SLIDER_LEFT, SPOTLIGHTS,
                            TEXTURES, Game, bright_span, button_y, knob_left, level_text,
                            pause_message, shadow_corridor_level)
from test_overlay_screens import prepare

# Window rows (y down) of what the end screens draw below their message: the
# final score's line, and the first row of the table.
FINAL_LINE = (316, 346)
FIRST_ROW = (370, 393)
TABLE_X = (340, 960)
# The start screen's band of best games, under the sliding title.
START_BAND = (462, 592)


def cheese_then_obstacle_level():
    """The mouse starts at (2, 2) heading +x: it eats the cheese just ahead
    as play begins and runs into the obstacle two cells on."""
    return level_text({(2, 2): 3, (3, 2): 4, (5, 2): 2})


def yellow(img, y0, y1):
    """Pixels of the table's colour for the game just ended."""
    p = img.box(TABLE_X[0], y0, TABLE_X[1], y1)
    return int(((p[:, :, 0] > 200) & (p[:, :, 1] > 150) & (p[:, :, 2] < 120)).sum())


def score_lines(session):
    with open(os.path.join(session.data_home, "squeakling", "scores")) as f:
        return f.read().splitlines()


@pytest.mark.cost(30)
def test_a_quick_game_shows_its_score_then_and_at_the_next_start(session):
    g, face = prepare(session, cheese_then_obstacle_level(), (LIVES, SLIDER_LEFT))
    over = g.wait_for_end_screen(face, 40)
    g.s.keep(over, "scores_game_over")
    assert bright_span(over, *FINAL_LINE, *TABLE_X) is not None, "no final score line"
    assert yellow(over, *FIRST_ROW) > 50, "the game just ended is not the marked first row"
    lines = score_lines(session)
    assert lines[0] == "squeakling scores 1" and len(lines) == 2, lines
    fields = lines[1].split()
    assert int(fields[1]) >= 1000 and fields[2] == "1", "score and level reached: " + lines[1]
    assert fields[4] == "1" and fields[10] == "0", "one life: not the start values"
    g.click(*DEATH_QUIT)
    assert g.exits() == 0

    with open(os.path.join(session.config_home, "squeakling", "settings")) as f:
        assert "lives = 1\n" in f.read()
    again = Game(session, "test.txt")
    start = again.until("the best games on the start screen",
                        lambda i: bright_span(i, *START_BAND, *TABLE_X) is not None,
                        name="scores_start_screen")
    assert not yellow(start, *START_BAND), "nothing is marked on the start screen"
    panel = again.open_panel(name="scores_panel_after_restart")
    assert knob_left(panel, LIVES) < SLIDER_LEFT, "the lives set in the last run are lost"


def test_a_scores_file_of_random_bytes_is_set_aside_at_start(session):
    folder = os.path.join(session.data_home, "squeakling")
    os.makedirs(folder)
    noise = b"\0" + np.random.default_rng(7).integers(0, 256, 4095, dtype=np.uint8).tobytes()
    with open(os.path.join(folder, "scores"), "wb") as f:
        f.write(noise)
    g = Game(session)
    g.s.until("the warning", lambda: "moved to" in g.proc.stderr(), 20)
    assert "scores: not a text file" in g.proc.stderr()
    with open(os.path.join(folder, "scores.bad"), "rb") as f:
        assert f.read() == noise
    img = g.shot("scores_random_bytes_start")
    assert bright_span(img, *START_BAND, *TABLE_X) is None, "no games to show"
    g.alive()


@pytest.mark.cost(12)
def test_display_settings_read_at_start_draw_as_the_panel_sets_them(session):
    folder = os.path.join(session.config_home, "squeakling")
    os.makedirs(folder)
    with open(os.path.join(folder, "settings"), "w") as f:
        f.write("textures = 0\nspotlights = 0\n")
    with open(os.path.join(session.data, "still.txt"), "w") as f:
        f.write(shadow_corridor_level())
    g = Game(session, "still.txt")
    read = g.paused_play_from_start(name="settings_read_at_start")
    noise = read.differs(g.shot(), tolerance=24)
    g.open_panel()
    for row in (TEXTURES, SPOTLIGHTS):  # on and off again, through the panel
        g.press_left(row)
        g.press_left(row)
    g.click(RIGHT_X, button_y(RETURN))
    set_here = g.s.settled(g.win, "paused play after the panel", pause_message,
                           name="settings_set_in_the_panel", pixels=30000, seconds=0.5)
    # Texturing or the spotlights left on would change most of the floor.
    assert read.differs(set_here, tolerance=24) < 2 * noise + 3000
    g.alive()
