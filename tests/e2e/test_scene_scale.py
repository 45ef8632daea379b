"""A window twice the default size on the software renderer: the scene is
drawn at 1200 x 600 and scaled up, and the overlay over it stays as sharp
as over the scene drawn at full size (--scene-scale=full)."""
import numpy as np
import pytest

import harness
from overlay_common import PANEL_REGION, RETURN, RIGHT_X, Game, button_y, panel_open

SCORE_LINE = (40, 24, 1400, 80)  # "Level # 1 ... Score: 0" at scale 2: x0, y0, x1, y1


def halved(img):
    """Every other pixel: the picture as the 1200 x 600 checks see it."""
    return harness.Image(img.a[::2, ::2])


def text_cores(img):
    """The score line's near-white pixels: the glyphs' cores, which a
    scaled-up overlay would blur away."""
    return img.box(*SCORE_LINE).min(axis=2) >= 250


def paused_play(session, choice):
    g = Game(session, "-geometry", "2400x1200+0+0", f"--scene-scale={choice}")
    assert session.window_size(g.win) == (2400, 1200)
    g.click(2 * PANEL_REGION[0], 2 * PANEL_REGION[1])
    g.until("the control panel", lambda img: panel_open(halved(img)))
    g.click(2 * RIGHT_X, 2 * button_y(RETURN))
    img = session.settled(g.win, "paused play", lambda i: text_cores(i).sum() > 400,
                          name=f"scene_scale_{choice}", pixels=120000, seconds=0.5)
    return img, g.proc.stderr()


@pytest.mark.cost(30)
def test_overlay_as_sharp_over_the_reduced_scene(options):
    xvfb, display = harness.start_xvfb("2560x1400x24")
    try:
        shots = {}
        for choice in ("full", "auto"):  # one game at a time on the display
            s = harness.Session(options["bin"], options["data"], options["artifacts"], display,
                                f"scene_scale_{choice}")
            try:
                shots[choice] = paused_play(s, choice)
            finally:
                s.close()
        (full, full_err), (auto, auto_err) = shots["full"], shots["auto"]
        assert "full size" in full_err, full_err
        assert "drawn at 1200 x 600 and scaled up" in auto_err, auto_err
        a, b = text_cores(full), text_cores(auto)
        assert (a != b).sum() <= 0.02 * (a | b).sum(), "the score line's glyphs changed"
        # The scene itself did change: scaled up, it is smoother.
        below = (0, 200, 2400, 1200)
        assert full.differs(auto, 24, below) > 10000
        assert np.abs(np.diff(auto.box(*below), axis=1)).mean() < \
            np.abs(np.diff(full.box(*below), axis=1)).mean()
    finally:
        harness.stop(xvfb)
