"""The overlay's screens, played through the real game: the start screen's
moving title, game over after the last life with its Restart and Quit
buttons, and the win screen after the last level."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from overlay_common import *  # noqa: E402,F401,F403


class OverlayScreens(GameCase):
    def test_start_title_moves_between_frames(self):
        self.start_game()
        a = self.shot("start_screen")
        time.sleep(0.7)
        b = self.shot("start_screen_later")
        # The title slides along its band (window rows 190 ... 450).
        self.assertGreater(box_differs(a, b, (0, 190, 1200, 450)), 1000)
        self.assertEqual(box_differs(a, b, (0, 0, 1200, 180)), 0, "only the title moves")
        self.s.key(self.win, "Escape")  # any key starts a game
        time.sleep(1.0)
        self.alive()
        self.shot("play_level1_interlude")

    def prepare(self, level, *sliders, cat_off=False):
        """Starts on `level`, sets sliders (row, x) in the panel, restarts."""
        self.write_level("test.txt", level)
        self.start_game("test.txt")
        self.open_panel()
        self.remember_restart_face(self.shot("panel_before_end_screen"))
        for row, x in sliders:
            self.slide(row, x)
        if cat_off:
            self.press_left(CAT)
        self.press_right(RESTART, pause=0.5)

    def test_game_over_after_the_last_life_then_restart_and_quit(self):
        self.prepare(dead_end_level(), (LIVES, SLIDER_LEFT))
        over = self.wait_for_end_screen(40)
        self.assertIsNotNone(over, "no game-over screen")
        over = self.shot("game_over")
        message = bright_span(over, 276, 302, 540, 1000)
        self.assertIsNotNone(message, "no message")
        self.assertLess(message[1], 720, "'Game Over' is a short line")
        for key in ("Return", "space", "Escape", "q"):
            self.s.key(self.win, key)
        self.alive()
        self.assertIsNotNone(self.wait_for_end_screen(2), "a key left the game-over screen")

        self.click(*DEATH_RESTART, pause=1.0)
        restarted = self.shot("game_over_restarted")
        self.assertIsNotNone(bright_span(restarted, 280, 302, 490, 760), "no interlude")
        self.assertIsNotNone(self.wait_for_end_screen(40), "no second game over")
        self.click(*DEATH_QUIT, pause=0.2)
        self.assertEqual(self.game.wait(10), 0)

    def test_win_screen_after_the_last_level(self):
        self.prepare(corridor_level(), (CHEESE, SLIDER_LEFT), (LIVES, SLIDER_RIGHT),
                     (SPEED, SLIDER_RIGHT), (BONUS, SLIDER_LEFT), cat_off=True)
        won = self.wait_for_end_screen(150)
        self.assertIsNotNone(won, "the corridor was not won")
        won = self.shot("win_screen")
        message = bright_span(won, 276, 302, 540, 1100)
        self.assertIsNotNone(message, "no message")
        self.assertGreater(message[1], 800, "'Congratulations!! You Win!!' is a long line")
        self.click(*DEATH_QUIT, pause=0.2)
        self.assertEqual(self.game.wait(10), 0)


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
