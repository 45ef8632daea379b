"""The control panel, played through the real game: every button and slider
clicked as a player would, with screenshots of the faces and of the play
screen the settings change."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from overlay_common import *  # noqa: E402,F401,F403


class ControlPanel(GameCase):
    def start_paused_play(self):
        """A running game, paused by the panel's entry, then returned to."""
        self.start_game()
        self.s.key(self.win, "Return")
        time.sleep(6.5)  # the interlude of level 1 is over; play runs
        self.open_panel()
        self.press_right(RETURN, pause=1.0)
        return self.shot("panel_play_paused_baseline")

    def test_buttons_change_their_faces_and_the_play_screen(self):
        baseline = self.start_paused_play()
        # Paused play is frozen but for the spinning cheese.
        noise = baseline.differs(self.shot("_again"), tolerance=24)
        self.assertLess(noise, 6000, "the paused play screen keeps changing")

        # Each setting is changed alone, then play is looked at, still paused.
        changed = {}
        for name, column, row in [("view", LEFT_X, VIEW), ("textures", LEFT_X, TEXTURES),
                                  ("spotlights", LEFT_X, SPOTLIGHTS),
                                  ("shadows", RIGHT_X, SHADOWS),
                                  ("reflections", RIGHT_X, REFLECTIONS)]:
            self.open_panel()
            before = self.shot(f"panel_{name}_before")
            self.click(column, button_y(row))
            after = self.shot(f"panel_{name}_after")
            self.assertGreater(box_differs(before, after, face_box(column, row)), 300,
                               f"the {name} face did not change")
            self.press_right(RETURN, pause=1.0)
            play = self.shot(f"play_{name}_changed")
            changed[name] = play.differs(baseline, tolerance=24)
            self.assertGreater(changed[name], noise + 500, f"{name}: play looks the same")
            # Back as it was, so the next setting is compared alone.
            self.open_panel()
            for _ in range(3 if name == "shadows" else 1):
                self.click(column, button_y(row))
            self.press_right(RETURN, pause=1.0)
        self.alive()

        # Cat and sound: their faces change; the game plays on.
        self.open_panel()
        before = self.shot("panel_cat_sound_before")
        self.press_left(CAT)
        self.press_left(SOUND)
        after = self.shot("control_panel_cat_sound_changed")
        self.assertGreater(box_differs(before, after, face_box(LEFT_X, CAT)), 300)
        self.assertGreater(box_differs(before, after, face_box(LEFT_X, SOUND)), 300)
        self.press_right(RETURN, pause=1.0)
        self.alive()

    def test_return_and_escape_come_back_paused_and_space_resumes(self):
        self.start_paused_play()
        self.assertLess(self.changes(), 6000, "Return to game did not come back paused")
        self.open_panel()
        self.s.key(self.win, "Escape")
        time.sleep(1.0)
        self.alive()
        img = self.shot("play_after_escape_paused")
        # The pause message stands under the title bar.
        self.assertIsNotNone(bright_span(img, 52, 72, 400, 900))
        self.s.key(self.win, "space")
        time.sleep(0.5)
        self.assertGreater(self.changes(), 2000, "space did not resume play")

    def test_sliders_move_their_knobs_and_the_scoreboard(self):
        self.start_game()
        self.s.key(self.win, "Return")
        time.sleep(6.5)
        self.open_panel()
        start = self.shot("panel_sliders_start")
        self.remember_restart_face(start)
        self.assertAlmostEqual(knob_left(start, SPEED), 565, delta=1)
        self.assertAlmostEqual(knob_left(start, LIVES), 535, delta=1)
        self.assertAlmostEqual(knob_left(start, CHEESE), 540, delta=1)

        self.slide(SPEED, 625)              # 1.5: knob 10 left of the pointer
        self.slide(LIVES, SLIDER_LEFT)      # 1 life
        self.slide(CHEESE, 530)             # 6 cheese, knob snaps to steps of 5
        self.slide(CAT_SPEED, SLIDER_RIGHT)
        self.slide(BONUS, SLIDER_LEFT - 1)  # outside the strip: no change
        img = self.shot("control_panel_sliders_set")
        self.assertAlmostEqual(knob_left(img, SPEED), 615, delta=1)
        self.assertAlmostEqual(knob_left(img, LIVES), 515, delta=1)
        self.assertAlmostEqual(knob_left(img, CHEESE), 520, delta=1)
        self.assertAlmostEqual(knob_left(img, CAT_SPEED), 665, delta=1)
        self.assertAlmostEqual(knob_left(img, BONUS), 565, delta=1)

        # Restart from the panel: an unpaused game in its interlude, with the
        # new lives and cheese on the scoreboard once play begins.
        self.press_right(RESTART, pause=0.5)
        self.shot("play_interlude_after_restart")
        time.sleep(6.0)
        play = self.shot("play_scoreboard_new_settings")
        self.alive()
        self.assertGreater(self.changes(), 2000, "the restarted game is not running")
        board = bright_span(play, 12, 40, 20, 700)
        self.assertIsNotNone(board, "no scoreboard line")

    def test_restart_from_the_panel_clears_the_pause(self):
        self.start_paused_play()
        self.open_panel()
        self.press_right(RESTART, pause=0.5)
        interlude = self.shot("play_restart_interlude")
        # "Level 1 Get Ready!!" over the dimmed scene.
        self.assertIsNotNone(bright_span(interlude, 280, 302, 490, 760))
        time.sleep(6.0)
        self.assertGreater(self.changes(), 2000, "play did not resume after Restart")

    def test_load_a_level_set_by_name(self):
        self.start_paused_play()
        self.write_level("mine.txt", dead_end_level())
        self.open_panel()
        self.press_right(LOAD)
        prompt = self.shot("panel_load_prompt")
        empty = ink_span(prompt)
        self.s.type(self.win, "nosuch.txt")
        typed = self.shot("panel_load_typed")
        with_name = ink_span(typed)
        self.assertIsNotNone(empty, "no prompt line")
        self.assertGreater(with_name[1], empty[1] + 60, "the typed name is not shown")
        self.s.key(self.win, "Return")
        failed = self.shot("panel_load_failed")
        bad = ink_span(failed)
        self.assertIsNotNone(bad)
        # A failed load leaves the game as it was: still paused, same level.
        self.press_right(RETURN, pause=1.0)
        self.assertLess(self.changes(), 6000, "a failed load restarted the game")

        self.open_panel()
        self.press_right(LOAD)
        self.s.type(self.win, "mine.txt")
        self.s.key(self.win, "Return")
        loaded = self.shot("panel_load_succeeded")
        good = ink_span(loaded)
        self.assertIsNotNone(good)
        # "Loaded Levelset: mine.txt" is narrower than the failure line.
        self.assertLess(good[1], bad[1] - 40)
        self.press_right(RETURN, pause=0.5)
        self.shot("play_after_load_interlude")
        time.sleep(6.0)
        self.assertGreater(self.changes(), 2000, "a successful load did not restart the game")
        self.alive()


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
