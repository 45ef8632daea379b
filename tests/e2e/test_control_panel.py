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
        self.shot("play_chase")
        self.open_panel()
        self.press_right(RETURN, pause=1.0)
        img = self.shot("play_paused_after_return")
        # The pause message is the only pure white in its band.
        self.pause_text = white_pixels(img, PAUSE_BAND)
        self.assertGreater(len(self.pause_text), 150, "no pause message after Return to game")
        return img

    def paused(self):
        return shows_all(self.shot("_pause_check"), self.pause_text)

    def test_buttons_change_their_faces_and_the_play_screen(self):
        baseline = self.start_paused_play()
        # Paused play is frozen but for the spinning cheese.
        noise = baseline.differs(self.shot("_again"), tolerance=24)
        self.assertLess(noise, 30000, "the paused play screen keeps changing")

        # Each setting is changed alone, then play is looked at, still paused.
        changed = {}
        for name, column, row in [("view", LEFT_X, VIEW), ("textures", LEFT_X, TEXTURES),
                                  ("spotlights", LEFT_X, SPOTLIGHTS),
                                  ("shadows", RIGHT_X, SHADOWS),
                                  ("reflections", RIGHT_X, REFLECTIONS)]:
            self.open_panel()
            before = self.shot(f"panel_{name}_before")
            self.click(column, button_y(row))
            if name == "shadows":  # two shadows, all six, none
                self.click(column, button_y(row))
            after = self.shot(f"panel_{name}_after")
            self.assertGreater(box_differs(before, after, face_box(column, row)), 300,
                               f"the {name} face did not change")
            self.press_right(RETURN, pause=1.0)
            play = self.shot(f"play_{name}_changed")
            changed[name] = play.differs(baseline, tolerance=24)
            self.assertGreater(changed[name], 2 * noise + 3000, f"{name}: play looks the same")
            # Back as it was, so the next setting is compared alone.
            self.open_panel()
            for _ in range(2 if name == "shadows" else 1):
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
        self.assertLess(self.changes(), 30000, "the paused game moves")
        self.open_panel()
        self.s.key(self.win, "Escape")
        time.sleep(1.0)
        self.alive()
        self.assertTrue(shows_all(self.shot("play_after_escape_paused"), self.pause_text))
        self.s.key(self.win, "space")
        time.sleep(0.5)
        self.assertFalse(self.paused(), "space did not resume play")
        self.assertGreater(self.changes(), 30000, "the resumed game does not move")
        self.s.key(self.win, "3")
        time.sleep(0.5)
        self.shot("play_overhead")
        self.alive()

    def test_sliders_move_their_knobs_and_the_scoreboard(self):
        self.start_game()
        self.s.key(self.win, "Return")
        time.sleep(6.5)
        before = self.shot("play_scoreboard_before_sliders")
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
        # new lives and cheese on the scoreboard once play begins. The cat,
        # now at double speed, is switched off first: a catch in the first
        # second of play would start another interlude and hide the scoreboard.
        self.press_left(CAT)
        self.press_right(RESTART, pause=0.5)
        self.shot("play_interlude_after_restart")
        time.sleep(6.0)
        play = self.shot("play_scoreboard_new_settings")
        self.alive()
        self.assertIsNotNone(bright_span(play, 12, 40, 20, 700), "no scoreboard line")
        # "Squeaklings x 1" and "Cheese Remaining: 6" replace 3 and 10.
        self.assertGreater(box_differs(before, play, (120, 8, 700, 40)), 100)

    def test_restart_from_the_panel_clears_the_pause(self):
        self.start_paused_play()
        self.open_panel()
        self.press_right(RESTART, pause=0.5)
        interlude = self.shot("play_restart_interlude")
        # "Level 1 Get Ready!!" over the dimmed scene.
        self.assertIsNotNone(bright_span(interlude, 280, 302, 490, 760))
        self.assertFalse(self.paused(), "Restart left the game paused")
        time.sleep(6.0)
        self.assertFalse(self.paused())

    def test_load_a_level_set_by_name(self):
        baseline = self.start_paused_play()
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
        after_failure = self.shot("play_after_failed_load")
        self.assertTrue(self.paused(), "a failed load restarted the game")
        self.assertLess(after_failure.differs(baseline, tolerance=24), 30000,
                        "a failed load changed the maze")

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
        self.assertFalse(self.paused(), "a successful load did not restart the game")
        time.sleep(6.0)
        self.shot("play_loaded_level")
        self.alive()


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
