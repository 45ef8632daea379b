"""Each level of a set is played from its own mouse start, in the real game:
level 2's start, two cells before the wall, would kill a mouse put there on
level 1 within a second of the interlude's end."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from overlay_common import *  # noqa: E402,F401,F403

LIVES_TEXT = (128, 6, 300, 36)  # "Squeaklings x 3" on the scoreboard


def playing(img):
    """The scoreboard's blue Restart button shows only during play."""
    r, g, b = img.mean(815, 12, 885, 32)
    return b > 120 and b > r + 40


class LevelStarts(GameCase):
    def test_first_level_is_played_from_its_own_start(self):
        # Both mice head down the rows (+x): from (1, 14) 27 free cells, at
        # the slowest mouse speed some twenty seconds of play even on a
        # loaded machine; from (27, 14) one cell and then the wall.
        self.write_level("starts.txt", level_text({(1, 14): 3}) + level_text({(27, 14): 3}))
        self.start_game("starts.txt")
        self.open_panel()
        self.press_left(CAT)  # only the maze can kill the mouse
        self.slide(SPEED, SLIDER_LEFT)
        self.press_right(RESTART, pause=0.2)
        # A mouse put on level 2's start dies before a slow screenshot sees
        # the scoreboard, interlude after interlude.
        frames = []
        self.assertTrue(self.s.wait_for(lambda: self.play_shows(frames), 15, 0.2),
                        "no play after the interlude: the mouse dies at once")
        time.sleep(1.0)
        later = self.shot("starts_play_later")
        self.alive()
        self.assertTrue(playing(later), "the mouse died: an interlude or game over shows")
        self.assertEqual(box_differs(frames[-1], later, LIVES_TEXT), 0, "a life was lost")

    def play_shows(self, frames):
        frames.append(self.shot("starts_first_play_frame"))
        return playing(frames[-1])


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
