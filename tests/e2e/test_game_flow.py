"""The game's start-up and screen flow, played through the real program."""
import subprocess
import time

import pytest

from overlay_common import (CAT, PANEL_REGION, QUIT_REGION, RESTART_REGION, RETURN, RIGHT_X,
                            button_y, Game, in_interlude,
                            in_play, level_text, panel_open, pause_message)

SCOREBOARD = (20, 12, 700, 40)  # level, lives, cheese and score
MENU_AT, MENU_ENTRY = (300, 200), 22  # where the pop-up menu opens; its entries' height


def test_window_and_start_screen(session):
    g = Game(session)
    assert session.window_size(g.win) == (1200, 600)
    g.until("the start screen", lambda i: not in_play(i) and i.a.any(), name="flow_start_screen")
    g.alive()
    g.click(*QUIT_REGION)
    assert g.exits() == 0
    # Without a sound device the game says so and plays on, silent.
    assert "Cannot intialize audio" in g.proc.stdout()


@pytest.mark.cost(9)
def test_escape_is_ignored_in_the_interlude_and_while_paused(session):
    g = Game(session)
    g.key("Return")  # any key starts a game, in its interlude
    g.until("the interlude", in_interlude)
    g.key("Escape")
    g.wait_play()    # the interlude runs out: Escape did not end the game
    assert g.proc.alive(), "Escape in the interlude ended the game"
    # The cat, whose catches start interludes that ignore space, is
    # switched off in the panel, which comes back to paused play.
    g.open_panel()
    g.press_left(CAT)
    g.click(RIGHT_X, button_y(RETURN))
    g.until("paused play", pause_message)
    g.space()
    g.until("play resumed", lambda i: in_play(i) and not pause_message(i))
    # Pause and try again.
    g.space()
    img = g.until("the pause message", pause_message)
    g.s.keep(img, "flow_paused")
    assert pause_message(img), "space did not pause"
    g.key("Escape")
    g.space()  # once space has resumed play, Escape has been handled
    g.until("play resumed after Escape", lambda i: in_play(i) and not pause_message(i))
    assert g.proc.alive(), "Escape while paused ended the game"
    g.key("Escape")
    assert g.exits() == 0


def test_quit_region_of_the_title_bar(session):
    g = Game(session)
    g.click(*QUIT_REGION)
    assert g.exits() == 0


def test_restart_region_starts_a_game_and_panel_region_opens_panel(session):
    g = Game(session)
    g.click(*RESTART_REGION)
    g.until("the interlude of a new game", in_interlude, name="flow_restarted")
    g.alive()
    g.click(*PANEL_REGION)
    g.until("the control panel", panel_open, name="flow_control_panel")
    g.alive()


@pytest.mark.cost(9)
def test_two_arguments_load_the_default_set(session):
    g = Game(session, "no-such-levels.txt", "another")
    g.key("Return")
    g.until("the interlude of the default set's first level", in_interlude,
            name="flow_two_arguments")
    g.alive()


def test_popup_menu_exit(session):
    g = Game(session)
    # The right button opens the menu under the pointer; releasing on the
    # fourth entry, "Exit demo", ends the program.
    # The menu is a window of its own: look at the whole screen.
    start = g.s.screenshot("root")
    g.s.press(g.win, *MENU_AT, button=3)
    g.s.shot_until("root", "the popup menu", lambda i: i.differs(start, 24) > 500,
                   name="flow_popup_menu")
    x, y = MENU_AT
    for dy in range(8, 140, 8):
        g.s.move(g.win, x + 30, y + dy)
    g.s.release(g.win, x + 30, y + 4 * MENU_ENTRY - 10, button=3)
    assert g.exits() == 0


@pytest.fixture
def window_manager(session):
    """Openbox on the test's display, for a window that can be minimised."""
    wm = subprocess.Popen(["openbox", "--sm-disable"], env=session.env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def running():
        r = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=session.env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return b"window id" in r.stdout
    session.until("the window manager", running, 20)
    yield wm
    wm.terminate()
    wm.wait(10)
    # Its check window is gone but the root still names it, and GLUT's
    # window set-up fails on the dead window: later tests on this display
    # would find no game window.
    subprocess.run(["xprop", "-root", "-remove", "_NET_SUPPORTING_WM_CHECK"], env=session.env)


def viewable(session, win):
    """The window is on screen whole: its pixels can be read."""
    out = subprocess.run(["xwininfo", "-id", win], env=session.env, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL).stdout
    if b"IsViewable" not in out:
        return False
    try:
        session.screenshot(win)
    except subprocess.CalledProcessError:  # still being mapped or placed
        return False
    return True


@pytest.mark.cost(12)
def test_a_minimised_window_comes_back_paused_with_all_its_lives(session, window_manager):
    # An obstacle six cells ahead of the mouse: running play loses a life
    # within seconds.
    with open(f"{session.data}/test.txt", "w") as f:
        f.write(level_text({(2, 2): 3, (8, 2): 2}))
    g = Game(session, "test.txt")
    before = g.paused_play_from_start()
    g.space()
    session.xdotool("windowminimize", g.win)
    session.until("the window hidden", lambda: not viewable(session, g.win), 10)
    hidden_since = time.monotonic()  # long enough for a running mouse to reach the obstacle
    session.until("four seconds hidden", lambda: time.monotonic() > hidden_since + 4, 10)
    session.xdotool("windowactivate", g.win)  # the window manager maps it again
    session.until("the window shown again", lambda: viewable(session, g.win), 10)
    back = g.until("paused play after the window comes back", pause_message,
                   name="flow_unminimised")
    assert back.differs(before, tolerance=24, box=SCOREBOARD) < 50, \
        "the scoreboard changed: a life was lost while hidden"
    g.space()
    g.until("the life lost once play runs on", in_interlude, 20)
    g.click(*QUIT_REGION)
    assert g.exits() == 0
