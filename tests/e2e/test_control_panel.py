"""The control panel, played through the real game: every button and slider
clicked as a player would, with screenshots of the faces and of the play
screen the settings change."""
import pytest

from overlay_common import (BONUS, CAT, CAT_SPEED, CHEESE, LEFT_X, LIVES, LOAD, PAUSE_BAND,
                            REFLECTIONS, RETURN, RIGHT_X, SHADOWS, SLIDER_LEFT,
                            SLIDER_RIGHT, SOUND, SPEED, SPOTLIGHTS, TEXTURES, VIEW, Game,
                            box_differs, bright_span, dead_end_level, button_y, count, face_box,
                            in_play, ink_span, knob_left, panel_open, pause_message,
                            shadow_corridor_level, shows_all, white_pixels)

PROMPT = (350, 540, 1200, 580)   # the panel's prompt line


def paused_play(session, level=None):
    """A game (on the given level set, or the default one) paused by the
    panel's entry, then returned to; the game and the pause message's white
    pixels. The panel is entered from the start screen: the play screen it
    returns to is the same, without the interlude of a started game."""
    if level is None:
        g = Game(session)
    else:
        with open(f"{session.data}/still.txt", "w") as f:
            f.write(level)
        g = Game(session, "still.txt")
    img = g.paused_play_from_start(name="play_paused_after_return")
    # The pause message is the only pure white in its band.
    g.pause_text = white_pixels(img, PAUSE_BAND)
    assert count(g.pause_text) > 150, "no pause message after Return to game"
    return g, img


def paused(g, img=None):
    return shows_all(img or g.shot(), g.pause_text)


def back_to_paused_play(g, name=None):
    g.click(RIGHT_X, button_y(RETURN))
    return g.until("paused play after Return to game", pause_message, name=name)


@pytest.mark.cost(10)
def test_buttons_change_their_faces_and_the_play_screen(session):
    # On the default level the spinning cheese, the fruit and the cat's
    # random place make the noise, and where the mouse happens to stand
    # decides how much shadow is in view; in this corridor nothing that
    # moves is in view and every place along it looks alike.
    g, baseline = paused_play(session, shadow_corridor_level())
    # Paused play is frozen but for the spinning cheese (out of view here).
    noise = baseline.differs(g.shot("_again"), tolerance=24)
    assert noise < 30000, "the paused play screen keeps changing"

    # Each setting is changed alone, then play is looked at, still paused.
    changed_last = []  # (column, row) clicks that put the last setting back

    def open_panel_as_before(name):
        """The panel, with the setting changed last put back as it was, so
        that the next one is compared alone."""
        img = g.open_panel()
        for column, row in changed_last:
            img = g.click_face(column, row)
        changed_last.clear()
        return g.s.keep(img, name)

    for name, column, row in [("view", LEFT_X, VIEW), ("textures", LEFT_X, TEXTURES),
                              ("spotlights", LEFT_X, SPOTLIGHTS),
                              ("shadows", RIGHT_X, SHADOWS),
                              ("reflections", RIGHT_X, REFLECTIONS)]:
        clicks = 2 if name == "shadows" else 1  # two shadows, all six, none
        before = open_panel_as_before(f"panel_{name}_before")
        for _ in range(clicks):
            after = g.click_face(column, row)
        g.s.keep(after, f"panel_{name}_after")
        assert box_differs(before, after, face_box(column, row)) > 300, \
            f"the {name} face did not change"
        play = back_to_paused_play(g, name=f"play_{name}_changed")
        changed = play.differs(baseline, tolerance=24)
        assert changed > 2 * noise + 3000, f"{name}: play looks the same"
        changed_last.extend([(column, row)] * clicks)  # round the cycle of faces
    g.alive()

    # Cat and sound: their faces change; the game plays on.
    before = open_panel_as_before("panel_cat_sound_before")
    g.press_left(CAT)
    after = g.press_left(SOUND, name="control_panel_cat_sound_changed")
    assert box_differs(before, after, face_box(LEFT_X, CAT)) > 300
    assert box_differs(before, after, face_box(LEFT_X, SOUND)) > 300
    back_to_paused_play(g)
    g.alive()


@pytest.mark.cost(5)
def test_return_and_escape_come_back_paused_and_space_resumes(session):
    g, img = paused_play(session)
    g.s.holds(g.win, "a paused game that does not move",
              lambda i: i.differs(img, tolerance=24) < 30000, 1.0)
    g.open_panel()
    g.key("Escape")
    g.until("paused play after Escape", lambda i: in_play(i) and paused(g, i),
            name="play_after_escape_paused")
    g.alive()
    g.space()
    resumed = g.until("play resumed by space", lambda i: in_play(i) and not paused(g, i))
    g.until("the resumed game to move", lambda i: i.differs(resumed, tolerance=24) > 30000)
    overhead = g.shot()
    g.key("3")
    g.until("the overhead view", lambda i: i.differs(overhead, tolerance=24) > 30000,
            name="play_overhead")
    g.alive()


@pytest.mark.cost(9)
def test_sliders_move_their_knobs_and_the_scoreboard(session):
    g = Game(session)
    before = g.paused_play_from_start(name="play_scoreboard_before_sliders")
    start = g.open_panel(name="panel_sliders_start")
    assert abs(knob_left(start, SPEED) - 565) <= 1
    assert abs(knob_left(start, LIVES) - 535) <= 1
    assert abs(knob_left(start, CHEESE) - 540) <= 1

    g.slide(SPEED, 625)              # 1.5: knob 10 left of the pointer
    g.slide(LIVES, SLIDER_LEFT)      # 1 life
    g.slide(CHEESE, 530)             # 6 cheese, knob snaps to steps of 5
    g.slide(CAT_SPEED, SLIDER_RIGHT)
    g.slide(BONUS, SLIDER_LEFT - 1)  # outside the strip: no change
    want = {SPEED: 615, LIVES: 515, CHEESE: 520, CAT_SPEED: 665, BONUS: 565}

    def knobs_at(img):
        return all(k is not None and abs(k - want[r]) <= 1
                   for r, k in ((r, knob_left(img, r)) for r in want))
    img = g.until("the knobs where the clicks put them", knobs_at,
                  name="control_panel_sliders_set")
    for row, x in want.items():
        assert abs(knob_left(img, row) - x) <= 1, (row, knob_left(img, row))

    # Restart from the panel: an unpaused game in its interlude, with the
    # new lives and cheese on the scoreboard once play begins. The cat,
    # now at double speed, is switched off first: a catch in the first
    # second of play would start another interlude and hide the scoreboard.
    cat_off = g.press_left(CAT)
    # The Cat click came after the Bonus one: its knob has had its chance to move.
    assert abs(knob_left(cat_off, BONUS) - 565) <= 1
    g.restart_from_panel(name="play_interlude_after_restart")
    play = g.wait_play(name="play_scoreboard_new_settings")
    g.alive()
    assert bright_span(play, 12, 40, 20, 700) is not None, "no scoreboard line"
    # "Squeaklings x 1" and "Cheese Remaining: 6" replace 3 and 10.
    assert box_differs(before, play, (120, 8, 700, 40)) > 100


@pytest.mark.cost(9)
def test_restart_from_the_panel_clears_the_pause(session):
    g, _ = paused_play(session)
    g.open_panel()
    interlude = g.restart_from_panel(name="play_restart_interlude")
    # "Level 1 Get Ready!!" over the dimmed scene.
    assert bright_span(interlude, 280, 302, 490, 760) is not None
    assert not paused(g, interlude), "Restart left the game paused"
    play = g.wait_play()
    assert not paused(g, play)


def answered(prompt, empty, img):
    """Whether the prompt's words (as in the screenshot prompt, extent empty)
    have given way to a load's answer; typing only adds to their right."""
    return box_differs(prompt, img, (PROMPT[0], PROMPT[1], empty[1] + 1, PROMPT[3])) > 50


@pytest.mark.cost(11)
def test_load_a_level_set_by_name(session):
    g, baseline = paused_play(session)
    g.write_level("mine.txt", dead_end_level())
    g.open_panel()
    g.click(RIGHT_X, button_y(LOAD))
    prompt = g.until("the load prompt", lambda i: ink_span(i) is not None,
                     name="panel_load_prompt")
    empty = ink_span(prompt)
    assert empty is not None, "no prompt line"
    g.s.type(g.win, "nosuch.txt")
    typed = g.until("the typed name", lambda i: ink_span(i)[1] > empty[1] + 60,
                    name="panel_load_typed")
    with_name = ink_span(typed)
    assert with_name[1] > empty[1] + 60, "the typed name is not shown"
    g.key("Return")
    # A slow game may not have drawn the last letters typed yet: the answer
    # is told by the prompt's own words having gone, not by any change.
    failed = g.until("the failed load's message", lambda i: answered(prompt, empty, i),
                     name="panel_load_failed")
    bad = ink_span(failed)
    assert bad is not None
    # A failed load leaves the game as it was: still paused, same level.
    after_failure = back_to_paused_play(g, name="play_after_failed_load")
    assert paused(g, after_failure), "a failed load restarted the game"
    assert after_failure.differs(baseline, tolerance=24) < 30000, "a failed load changed the maze"

    g.open_panel()
    g.click(RIGHT_X, button_y(LOAD))
    prompt = g.until("the load prompt", lambda i: ink_span(i) is not None)
    g.s.type(g.win, "mine.txt")
    g.until("the typed name", lambda i: ink_span(i)[1] > empty[1] + 60)
    g.key("Return")
    loaded = g.until("the load's message", lambda i: answered(prompt, empty, i),
                     name="panel_load_succeeded")
    good = ink_span(loaded)
    assert good is not None
    # "Loaded Levelset: mine.txt" is narrower than the failure line.
    assert good[1] < bad[1] - 40
    g.click(RIGHT_X, button_y(RETURN))
    restarted = g.until("the panel to close", lambda i: not panel_open(i),
                        name="play_after_load_interlude")
    assert not paused(g, restarted), "a successful load did not restart the game"
    g.wait_play(name="play_loaded_level")
    g.alive()
