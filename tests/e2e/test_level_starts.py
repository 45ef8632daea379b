"""Each level of a set is played from its own mouse start, in the real game:
level 2's start, two cells before the wall, would kill a mouse put there on
level 1 within a second of the interlude's end."""
import pytest

from overlay_common import (CAT, SLIDER_LEFT, SPEED, Game, box_differs, level_text)

LIVES_TEXT = (128, 6, 300, 36)  # "Squeaklings x 3" on the scoreboard


def playing(img):
    """The scoreboard's blue Restart button shows only during play."""
    r, g, b = img.mean(815, 12, 885, 32)
    return b > 120 and b > r + 40


@pytest.mark.cost(7)
def test_first_level_is_played_from_its_own_start(session):
    # Both mice head down the rows (+x): from (1, 14) 27 free cells, at the
    # slowest mouse speed some twenty seconds of play even on a loaded
    # machine; from (27, 14) one cell and then the wall.
    with open(f"{session.data}/starts.txt", "w") as f:
        f.write(level_text({(1, 14): 3}) + level_text({(27, 14): 3}))
    g = Game(session, "starts.txt")
    g.open_panel()
    g.press_left(CAT)  # only the maze can kill the mouse
    g.slide(SPEED, SLIDER_LEFT)
    g.restart_from_panel()
    # A mouse put on level 2's start dies before a screenshot sees the
    # scoreboard, interlude after interlude.
    first = g.until("play after the interlude (the mouse dies at once otherwise)", playing, 20,
                    name="starts_first_play_frame")
    # For the next second every frame shows play with all three lives.
    later = g.s.holds(g.win, "play with no life lost",
                      lambda i: playing(i) and box_differs(first, i, LIVES_TEXT) == 0, 1.0)
    g.s.keep(later, "starts_play_later")
    g.alive()
    assert playing(later), "the mouse died: an interlude or game over shows"
    assert box_differs(first, later, LIVES_TEXT) == 0, "a life was lost"
