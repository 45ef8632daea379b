"""The game's start-up and screen flow, played through the real program."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

TITLE = "Dravel: Vimmo Squeakling"


class GameFlow(unittest.TestCase):
    def setUp(self):
        self.s = harness.Session(harness.ARGS).__enter__()

    def tearDown(self):
        self.s.__exit__(None, None, None)

    def start_game(self, *argv):
        game = self.s.start("squeakling", *argv)
        win = self.s.find_window(TITLE)
        return game, win

    def test_window_and_start_screen(self):
        game, win = self.start_game()
        self.assertEqual(self.s.window_size(win), (1200, 600))
        time.sleep(2)
        self.assertTrue(game.alive(), game.stderr())
        self.s.screenshot(win, "flow_start_screen")
        self.s.click(win, 750, 20)
        self.assertEqual(game.wait(10), 0)
        # Without a sound device the game says so and plays on, silent.
        self.assertIn("Cannot intialize audio", game.stdout())

    def test_escape_is_ignored_in_the_interlude_and_while_paused(self):
        game, win = self.start_game()
        self.s.key(win, "Return")  # any key starts a game, in its interlude
        self.s.key(win, "Escape")
        time.sleep(0.5)
        self.assertTrue(game.alive(), "Escape in the interlude ended the game")
        time.sleep(6)  # the interlude is over; pause and try again
        self.s.key(win, "space", "Escape")
        time.sleep(0.5)
        self.assertTrue(game.alive(), "Escape while paused ended the game")
        self.s.screenshot(win, "flow_paused")
        self.s.key(win, "space", "Escape")
        self.assertEqual(game.wait(10), 0)

    def test_quit_region_of_the_title_bar(self):
        game, win = self.start_game()
        self.s.click(win, 750, 20)
        self.assertEqual(game.wait(10), 0)

    def test_restart_region_starts_a_game_and_panel_region_opens_panel(self):
        game, win = self.start_game()
        self.s.click(win, 850, 10)
        time.sleep(1)
        self.assertTrue(game.alive())
        self.s.screenshot(win, "flow_restarted")
        self.s.click(win, 950, 25)
        time.sleep(1)
        self.assertTrue(game.alive())
        self.s.screenshot(win, "flow_control_panel")

    def test_missing_level_file_does_not_crash(self):
        game, win = self.start_game("no-such-levels.txt")
        self.s.key(win, "Return")
        time.sleep(7)
        self.assertTrue(game.alive(), game.stderr())
        self.s.screenshot(win, "flow_empty_levels")

    def test_two_arguments_load_the_default_set(self):
        game, win = self.start_game("no-such-levels.txt", "another")
        self.s.key(win, "Return")
        time.sleep(2)
        self.assertTrue(game.alive(), game.stderr())
        self.s.screenshot(win, "flow_two_arguments")

    def test_popup_menu_exit(self):
        game, win = self.start_game()
        # The right button opens the menu under the pointer; releasing on the
        # fourth entry, "Exit demo", ends the program.
        self.s.press(win, 300, 200, button=3)
        time.sleep(0.5)
        self.s.screenshot(win, "flow_popup_menu")
        for dy in range(8, 140, 4):
            self.s.xdotool("mousemove", "--window", win, 330, 200 + dy)
            time.sleep(0.02)
        self.s.release(win, 330, 200 + 4 * 22 - 10, button=3)
        code = game.wait(5)
        if code is None:
            self.skipTest("the menu's entry layout differs here")
        self.assertEqual(code, 0)


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
