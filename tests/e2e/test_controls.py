"""The controls a newcomer tries first, played through the real game: the
arrow keys steer as the letters do, the start screen shows the legend of the
keys and the pad, and Backspace mends a name typed at the load prompt."""
import os
import subprocess
import time

import numpy as np
import pytest
from PIL import Image as PILImage

from overlay_common import (LOAD, RIGHT_X, Game, box_differs, button_y, dead_end_level,
                            in_interlude, ink_span, pause_message, shadow_corridor_level)

MOUSE_BOX = (400, 300, 800, 600)  # the mouse seen from the chase camera
PROMPT = (350, 540, 1200, 580)    # the panel's prompt line


def turn(g, key):
    """Resumes, sends key and pauses again in one burst, so the mouse turns
    where it stands; the settled paused picture after it. Until a slow game
    has drawn the burst, screenshots show the paused picture from before it,
    as still as the one after: the picture must have changed first."""
    before = g.shot()
    g.s.xdotool("windowfocus", g.win, check=False)
    g.s.xdotool("key", "--clearmodifiers", "--delay", "0", "space", key, "space")
    changed = []

    def after_the_burst(img):
        if not changed and img.differs(before, 24) > 200:
            changed.append(img)
        return bool(changed) and pause_message(img)
    return g.s.settled(g.win, f"paused play after {key}", after_the_burst, pixels=300,
                       seconds=0.3)


@pytest.mark.cost(8)
def test_arrows_steer_the_mouse_as_the_letters(session):
    # A key held while a loaded machine holds back xdotool must not repeat:
    # a second space would leave the game running.
    subprocess.run(["xset", "-r"], env=session.env, check=True)
    with open(os.path.join(session.data, "still.txt"), "w") as f:
        f.write(shadow_corridor_level())
    g = Game(session, "still.txt")
    g.paused_play_from_start()
    g.s.until("a second of play", lambda: time.monotonic() > g.play_seen + 1.2, 5)
    # Along the corridor both ways: turns that keep the mouse off the
    # obstacles and the wall beside it, should a frame run within a burst.
    # A frame that does run starts the chase camera's swing, which moves the
    # whole picture; so the pictures only show that each arrow turns or hops
    # the mouse, and the unit tests show they do what their letters do.
    start = turn(g, "k")
    around = turn(g, "Down")
    assert around.differs(start, 24, MOUSE_BOX) > 200, "Down did not turn the mouse"
    g.s.keep(around, "controls_after_down")
    back = turn(g, "Down")
    assert back.differs(around, 24, MOUSE_BOX) > 200, "a second Down did not turn the mouse"
    turn(g, "Down")
    hop = turn(g, "Up")
    assert hop.differs(start, 24) > 500, "Up did not hop the mouse"
    assert turn(g, "i").differs(hop, 24) > 500, "i did not hop the mouse"
    g.alive()


def legend_pixels(session):
    """The legend image as the window shows it, top row first, RGB."""
    path = os.path.join(session.data, "images", "ControlsLegend.rgb")
    with PILImage.open(path) as im:
        return np.asarray(im.convert("RGB")).astype(np.int16)


def legend_misses(img, want):
    """Pixels of the legend's place (40, 425 in the overlay) that differ from
    the image, at the best of the one-pixel shifts a window placed at -1, -1
    gives its screenshots."""
    h, w = want.shape[:2]
    top = 600 - 425 - h
    return min(int((np.abs(img.box(40 + dx, top + dy, 40 + dx + w, top + dy + h) - want) > 24)
                   .any(axis=2).sum()) for dx in (-1, 0) for dy in (-1, 0))


def test_start_screen_shows_the_controls_legend(session):
    g = Game(session)
    want = legend_pixels(session)
    img = g.until("the legend over the title", lambda i: legend_misses(i, want) < 50,
                  name="controls_start_legend")
    assert img.box(0, 190, 1200, 450).any(), "no title under the legend"
    g.key("Left")  # an arrow begins too, as any key does
    g.until("the interlude of level 1", in_interlude)
    g.alive()


def steady_line(g, what, ok, prompt=None):
    """The prompt line's extent once ok(extent) holds and the line has been
    the same for half a second of screenshots (typing has finished: a slow
    game can show a half-typed name in two screenshots in a row)."""
    seen = []  # (time, extent) of the screenshots in a row showing one extent

    def ready(img):
        span, now = ink_span(img), time.monotonic()
        if span is None or not ok(span):
            seen.clear()
            return False
        if seen and seen[-1][1] != span:
            seen.clear()
        seen.append((now, span))
        return len(seen) >= 2 and now - seen[0][0] >= 0.5
    img = g.until(what, ready)
    return ink_span(img), img


@pytest.mark.cost(9)
def test_backspace_mends_the_name_at_the_load_prompt(session):
    with open(os.path.join(session.data, "mine.txt"), "w") as f:
        f.write(dead_end_level())
    g = Game(session)
    g.open_panel()
    g.click(RIGHT_X, button_y(LOAD))
    empty, _ = steady_line(g, "the load prompt", lambda span: True)
    g.s.type(g.win, "mine.txtx")
    slip, typed = steady_line(g, "the name with its slip", lambda span: span[1] > empty[1] + 80)
    g.key("Return")
    failed = g.until("the failed load", lambda i: box_differs(typed, i, PROMPT) > 50)
    bad, failed = steady_line(g, "the failure line", lambda span: True)
    g.s.type(g.win, "mine.txtx")
    g.until("the name typed again", lambda i: box_differs(failed, i, PROMPT) > 50)
    steady_line(g, "the whole name typed again", lambda span: span == slip)
    g.key("BackSpace")
    mended, _ = steady_line(g, "the slip taken back", lambda span: span[1] < slip[1] - 5)
    g.shot("controls_load_mended")
    assert mended[1] > empty[1] + 60
    g.key("Return")
    # "Loaded Levelset: mine.txt" is narrower than "Unable to load levelset: mine.txtx".
    g.until("the load's message", lambda i: ink_span(i)[1] < bad[1] - 40,
            name="controls_load_succeeded")
    g.alive()
