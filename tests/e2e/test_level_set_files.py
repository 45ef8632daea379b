"""Level sets the game cannot play, in the real game: named on the command
line, they end it before its window opens with one line and status 1; typed
at the load prompt, a FIFO, a folder and /dev/zero are answered at once as a
missing file is, and the game plays on."""
import os

import pytest

from overlay_common import (LOAD, RETURN, RIGHT_X, Game, box_differs, button_y, ink_span,
                            pause_message)

PROMPT = (350, 540, 1200, 580)   # the panel's prompt line


def test_command_line_refuses_sets_it_cannot_play(session):
    with open(os.path.join(session.data, "rows.txt"), "w") as f:
        f.write(("0" * 30 + "\n") * 30)           # thirty rows, no end of level
    os.mkfifo(os.path.join(session.data, "fifo"))  # no writer: opening it would wait
    for name, reason in [("missing.txt", 'cannot open level set "missing.txt": '
                          "No such file or directory"),
                         ("rows.txt", 'cannot play level set "rows.txt": '
                          "it holds no complete level"),
                         ("fifo", 'cannot open level set "fifo": not a regular file')]:
        status, out, err = session.run("squeakling", name, timeout=20)
        assert (status, out, err) == (1, "", f"squeakling: {reason}\n"), name


@pytest.mark.cost(9)
def test_load_prompt_refuses_what_is_no_level_file(session):
    os.mkfifo(os.path.join(session.data, "fifo"))
    os.mkdir(os.path.join(session.data, "folder"))
    g = Game(session)
    g.open_panel()
    for name in ["fifo", "folder", "/dev/zero"]:
        g.click(RIGHT_X, button_y(LOAD))
        prompt = g.until("the load prompt", lambda i: ink_span(i) is not None)
        g.s.type(g.win, name)
        typed = g.until("the typed name", lambda i: box_differs(prompt, i, PROMPT) > 50)
        g.key("Return")
        # At once: a reader waiting on the FIFO or reading /dev/zero would
        # never draw the answer.
        g.until(f"the answer to {name}", lambda i: box_differs(typed, i, PROMPT) > 50, 10,
                name=f"load_refused_{name.strip('/').replace('/', '_')}")
    # Still the game it was: Return to game shows it paused, as entered
    # from the start screen; a load would have restarted it.
    g.click(RIGHT_X, button_y(RETURN))
    g.until("paused play after Return to game", pause_message, name="load_refused_play")
    g.alive()
