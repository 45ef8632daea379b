"""A window twice the default size on the software renderer: the scene is
drawn at 1200 x 600 and scaled up, and the overlay over it stays as sharp
as over the scene drawn at full size (--scene-scale=full)."""
import numpy as np
import pytest

import harness
from overlay_common import PANEL_REGION, RETURN, RIGHT_X, Game, bars, button_y, panel_open

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


@pytest.mark.cost(15)
def test_reduced_scene_fills_the_picture_between_black_bars(options):
    """A window wider than 2:1: the scene drawn small inside the picture is
    scaled up over all of it, and the bars either side stay black."""
    xvfb, display = harness.start_xvfb("2560x1400x24")
    try:
        s = harness.Session(options["bin"], options["data"], options["artifacts"], display,
                            "scene_scale_bars")
        try:
            g = Game(s, "-geometry", "2500x1000+0+0", "--scene-scale=reduced", any_size=True)
            assert g.size == (2500, 1000)
            # The start screen's click-through: the play frame behind the panel.
            g.click(*PANEL_REGION)
            g.until("the control panel", panel_open)
            g.click(RIGHT_X, button_y(RETURN))
            s.settled(g.win, "paused play", lambda i: not panel_open(i), name="scene_scale_bars",
                      pixels=120000, seconds=0.5)
            raw = s.screenshot(g.win, "scene_scale_bars_raw", raw=True)
            assert int(bars(raw, g.size).max()) == 0, "the bars stay black"
            picture = raw.a[:, 250:2250]
            # The near wall reaches both sides of the picture, beyond the
            # corner the scene was drawn in, and the scoreboard lies over it.
            for x0, y0 in ((0, 700), (1900, 700), (1400, 10)):
                assert picture[y0:y0 + 90, x0:x0 + 90].mean() > 20, (x0, y0)
            assert "drawn at 1200 x 600 and scaled up" in g.proc.stderr()
        finally:
            s.close()
    finally:
        harness.stop(xvfb)
