"""The overlay's screens, played through the real game: the start screen's
moving title, game over after the last life with its Restart and Quit
buttons, and the win screen after the last level."""
import pytest

from overlay_common import (BONUS, CAT, CHEESE, DEATH_QUIT, DEATH_RESTART, LIVES, REFLECTIONS,
                            RIGHT_X, SHADOWS, SLIDER_LEFT, Game, box_differs,
                            bright_span, cheese_run_level, dead_end_level, in_interlude)


def test_start_title_moves_between_frames(session):
    g = Game(session)
    a = g.until("the start screen's title", lambda i: i.box(0, 190, 1200, 450).any(),
                name="start_screen")
    # The title slides along its band (window rows 190 ... 450).
    b = g.until("the title to move", lambda i: box_differs(a, i, (0, 190, 1200, 450)) > 1000,
                name="start_screen_later")
    assert box_differs(a, b, (0, 0, 1200, 180)) == 0, "only the title moves"
    g.key("Escape")  # any key starts a game
    g.until("the interlude of level 1", in_interlude, name="play_level1_interlude")
    g.alive()


def prepare(session, level, *sliders, cat_off=False, light=False, restart=True):
    """Starts on `level`, sets sliders (row, x) in the panel, restarts (or,
    without `restart`, returns to the game and lets play run, which spares
    the interlude while keeping the lives of start-up); the game and the
    end screens' Restart face. `light` turns the mirror and the shadows off:
    the game steps the mouse by the time a frame took, so slow frames on a
    loaded machine can carry it past a cheese."""
    with open(f"{session.data}/test.txt", "w") as f:
        f.write(level)
    g = Game(session, "test.txt")
    face = g.restart_face(g.open_panel(name="panel_before_end_screen"))
    for row, x in sliders:
        g.slide(row, x)
    if cat_off:
        g.press_left(CAT)
    if light:
        g.click_face(RIGHT_X, REFLECTIONS)
        g.click_face(RIGHT_X, SHADOWS)  # all six
        g.click_face(RIGHT_X, SHADOWS)  # none
    if restart:
        g.restart_from_panel()
    else:
        g.return_paused()
        g.space()
    return g, face


@pytest.mark.cost(25)
def test_game_over_after_the_last_life_then_restart_and_quit(session):
    g, face = prepare(session, dead_end_level(), (LIVES, SLIDER_LEFT))
    over = g.wait_for_end_screen(face, 40)
    g.s.keep(over, "game_over")
    message = bright_span(over, 276, 302, 540, 1000)
    assert message is not None, "no message"
    assert message[1] < 720, "'Game Over' is a short line"
    g.key("Return", "space", "Escape", "q")
    g.alive()
    g.s.holds(g.win, "the game-over screen after keys", g.end_screen(face), 1.0)

    g.click(*DEATH_RESTART)
    # "Game Over" shows in the same band as "Level 1 Get Ready!!": the
    # interlude is told apart by the end screen's buttons having gone. Until
    # then the click may not have been handled, and a Quit click sent now
    # would reach the new game's play screen after it, which ignores it.
    ended = g.end_screen(face)
    g.until("the interlude after Restart, the end screen's buttons gone",
            lambda i: in_interlude(i) and not ended(i), name="game_over_restarted")
    g.wait_for_end_screen(face, 40)
    g.click(*DEATH_QUIT)
    assert g.exits() == 0


def test_win_screen_after_the_last_level(session):
    # The one level's fewest cheese (5) lie in a row ahead of the mouse.
    g, face = prepare(session, cheese_run_level(), (CHEESE, SLIDER_LEFT), (BONUS, SLIDER_LEFT),
                      cat_off=True, light=True, restart=False)
    won = g.wait_for_end_screen(face, 60)
    g.s.keep(won, "win_screen")
    message = bright_span(won, 276, 302, 540, 1100)
    assert message is not None, "no message"
    assert message[1] > 800, "'Congratulations!! You Win!!' is a long line"
    g.click(*DEATH_QUIT)
    assert g.exits() == 0
