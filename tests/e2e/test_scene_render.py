"""Pixels a player sees of the 3D scene: the maze from above, the mirror
floor, the planar shadows, the interlude, and the fast drawing path giving
the picture of the plain one but for a few edge pixels. The states are
rendered by the scene_shot test program through the game's own drawing
code."""
import os
import statistics
import sys
import unittest

import pytest

import scene_view as sv

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "render"))
from reference_pictures import LIST_TOLERANCE  # noqa: E402

OBSTACLES = [(10, 10), (10, 11), (11, 10), (5, 22), (22, 22), (23, 22)]
# Two parallel runs with a floor column between them: light 0's shadow of the
# first and light 1's shadow of the second overlap in that column.
RUN_A = [(20, y) for y in range(4, 9)]
RUN_B = [(22, y) for y in range(4, 9)]
GAPS = [(0, 12), (29, 20)]   # border cells left open
HOLE = (7, 7)                # a wall code inside the ring: nothing is drawn
CHEESE = (25, 14)
MOUSE = (15, 15)


def level():
    g = sv.ring_level()
    for x, y in OBSTACLES + RUN_A + RUN_B:
        g[x][y] = 2
    for x, y in GAPS:
        g[x][y] = 0
    g[HOLE[0]][HOLE[1]] = 1
    g[MOUSE[0]][MOUSE[1]] = 3
    return g


GRID = level()
check = unittest.TestCase()  # its assert methods, for messages on pixel pairs
FLOOR_CODES = (0, 3, 4, 6)
BASE = [f"cheese={CHEESE[0]},{CHEESE[1]}", "catpos=26,26", "cat=0"]


def cell_of(point, margin=0.04):
    """The cell under a floor point, or None near a cell border or outside."""
    if point is None:
        return None
    x, y = point[0] + 0.5, point[1] + 0.5
    if min(x % 1, 1 - x % 1, y % 1, 1 - y % 1) < margin:
        return None
    cx, cy = int(x // 1), int(y // 1)
    if not (0 <= cx < 30 and 0 <= cy < 30):
        return "outside"
    return cx, cy


def is_floor(cell):
    return cell is not None and cell != "outside" and GRID[cell[0]][cell[1]] in FLOOR_CODES


def diff_pixels(a, b):
    return a.diff_pixels(b)


def ratio(dark, light, x, y):
    d, l = dark.pixel(x, y), light.pixel(x, y)
    c = max(range(3), key=lambda k: l[k])
    return d[c] / l[c] if l[c] else 1.0


@pytest.fixture
def render(session):
    level = os.path.join(session.data, "scene_test_level.txt")
    sv.write_level(level, [GRID])

    def run(commands, names):
        return sv.shots(session, level, BASE + commands, names)
    return run


def test_overhead_shows_walls_obstacles_and_checkerboard(render, session):
    img = render(["view=2", "shadows=0", "mirror=0", "shot=scene_overhead"],
                      ["scene_overhead"])["scene_overhead"]
    v = sv.view(session, 2)
    for x, y in [(0, 5), (29, 5), (7, 0), (20, 29), (0, 0), (29, 29)]:
        r, g, b = img.pixel(*v.pixel((x, y, 0.5)))
        assert r > g > b > 10, f"wall ({x},{y}) is {r, g, b}"
    for x, y in OBSTACLES + RUN_A:
        r, g, b = img.pixel(*v.pixel((x, y, 0.5)))
        assert r > 100 and g < 20 and b < 20, f"obstacle ({x},{y}) is {r, g, b}"
    for x, y in [(3, 3), (4, 13), (17, 6), (26, 27), (14, 24)] + GAPS:
        r, g, b = img.pixel(*v.pixel((x, y, -0.5)))
        if (x + y) % 2 == 0:
            check.assertTrue(b < 8 and r > 40 and 0.3 < g / r < 0.7,
                            f"brown square ({x},{y}) is {r, g, b}")
        else:
            check.assertTrue(r > 60 and abs(r - g) < 20 and abs(g - b) < 20,
                            f"white square ({x},{y}) is {r, g, b}")
    assert img.pixel(*v.pixel((HOLE[0], HOLE[1], -0.5))) == (0, 0, 0)
    assert img.pixel(*v.pixel((-3, 10, -0.5))) == (0, 0, 0)
    r, g, b = img.pixel(*v.pixel((CHEESE[0], CHEESE[1], 0.25)))
    assert r > 100 and g > 100 and b < r / 2, f"cheese is {r, g, b}"

@pytest.mark.cost(5)
def test_mirror_floor_is_translucent_and_reflects_only_inside_floor_cells(render, session):
    shots = render(
        ["shadows=0", "view=2", "mirror=0", "shot=mirror_off_overhead",
         "mirror=1", "shot=mirror_on_overhead",
         "view=1", f"mouse={MOUSE[0]},{MOUSE[1]}", "orient=20",
         "mirror=0", "shot=mirror_off_chase", "mirror=1", "shot=mirror_on_chase"],
        ["mirror_off_overhead", "mirror_on_overhead", "mirror_off_chase",
         "mirror_on_chase"])
    off, on = shots["mirror_off_overhead"], shots["mirror_on_overhead"]
    v = sv.view(session, 2)
    # From above, mid-cell floor shows 70 % of the opaque floor over an
    # empty reflection; walls, obstacles and the hole are untouched.
    for x, y in [(3, 3), (4, 13), (17, 16), (26, 27), (14, 24)]:
        assert abs(ratio(on, off, *v.pixel((x, y, -0.5))) - 0.7) <= 0.04
    for p in [(0, 5, 0.5), (10, 10, 0.5), (22, 22, 0.5), (HOLE[0], HOLE[1], -0.5),
              (-3, 10, -0.5)]:
        check.assertEqual(on.pixel(*v.pixel(p)), off.pixel(*v.pixel(p)), p)

    off, on = shots["mirror_off_chase"], shots["mirror_on_chase"]
    v = sv.view(session, 1, MOUSE[0], MOUSE[1], 20)
    changed = diff_pixels(on, off)
    assert len(changed) > 20000
    shown = 0
    for px, py in changed:
        cell = cell_of(v.floor_point(px, py))
        if cell is None:
            continue
        assert is_floor(cell), f"mirror shows at pixel {px, py} over {cell}"
        on_px, off_px = on.pixel(px, py), off.pixel(px, py)
        if max(on_px) > 0.7 * max(off_px) + 30:
            shown += 1
    assert shown > 500, "the mirrored walls and obstacles show in the floor"

def test_shadows_darken_floor_only_first_light_wins_and_bad_settings_draw_none(render, session):
    names = ["shadows_0", "shadows_1", "shadows_2", "shadows_3", "shadows_4",
             "shadows_minus1"]
    cmds = ["view=2", "mirror=0"]
    for n, s in zip(names, [0, 1, 2, 3, 4, -1]):
        cmds += [f"shadows={s}", f"shot={n}"]
    img = render(cmds, names)
    s0, s1, s2, s3 = (img[n] for n in names[:4])
    check.assertEqual(img["shadows_4"].data, s0.data, "shadowsOn 4 draws no shadow")
    check.assertEqual(img["shadows_minus1"].data, s0.data, "shadowsOn -1 draws no shadow")
    v = sv.view(session, 2)

    light0 = diff_pixels(s1, s0)
    assert len(light0) > 1000
    ratios = []
    for px, py in light0:
        cell = cell_of(v.floor_point(px, py))
        if cell is None:
            continue
        assert is_floor(cell), f"shadow at {px, py} over {cell}"
        ratios.append(ratio(s1, s0, px, py))
    assert abs(statistics.median(ratios) - 0.4) <= 0.03

    # Light 0's shadow pixels stay exactly as light 0 left them.
    for px, py in light0:
        check.assertEqual(s2.pixel(px, py), s1.pixel(px, py))
        check.assertEqual(s3.pixel(px, py), s1.pixel(px, py))
    light1 = [p for p in diff_pixels(s2, s1)]
    assert len(light1) > 1000
    ratios = [ratio(s2, s0, px, py) for px, py in light1
              if is_floor(cell_of(v.floor_point(px, py)))]
    check.assertEqual(len(ratios), len([1 for p in light1
                                       if cell_of(v.floor_point(*p)) is not None]))
    assert abs(statistics.median(ratios) - 0.7) <= 0.03
    assert len(diff_pixels(s3, s2)) > 200, "lights 2-5 add shadows"

    # The column between the two runs: light 0's shadow of run A near its
    # left side, light 1's shadow of run B beyond it, both over the overlap.
    overlap = v.pixel((21.12, 6.0, -0.5))
    assert abs(ratio(s1, s0, *overlap) - 0.4) <= 0.04
    check.assertEqual(s2.pixel(*overlap), s1.pixel(*overlap))
    beyond = v.pixel((21.35, 6.0, -0.5))
    assert abs(ratio(s2, s0, *beyond) - 0.7) <= 0.04

def test_fast_path_gives_the_plain_picture(render):
    cmds, pairs = ["bonus=13,17", "cat=1", "spin=37", "mouse=14,15", "orient=30"], []
    for view in (0, 1, 2):
        for shadows, mirror in ((2, 1), (3, 1), (3, 0), (0, 0)):
            tag = f"v{view}_s{shadows}_m{mirror}"
            cmds += [f"view={view}", f"shadows={shadows}", f"mirror={mirror}",
                     "plain=0", f"shot=fast_{tag}", "plain=1", f"shot=plain_{tag}"]
            pairs.append(tag)
    names = [f"{k}_{t}" for t in pairs for k in ("fast", "plain")]
    img = render(cmds, names)
    # The fast path culls the obstacles' back faces: a few edge pixels may
    # come out apart where depth ties decide.
    for t in pairs:
        fast = img[f"fast_{t}"]
        check.assertLessEqual(len(diff_pixels(fast, img[f"plain_{t}"])),
                              LIST_TOLERANCE * fast.width * fast.height, t)

def test_interlude_dims_the_scene(render, session):
    img = render(["view=2", "shadows=0", "mirror=0", "frame=frame_play",
                       "since=3", "frame=frame_interlude"],
                      ["frame_play", "frame_interlude"])
    play, interlude = img["frame_play"], img["frame_interlude"]
    v = sv.view(session, 2)
    dimmed = 0
    for x, y in [(3, 3), (4, 13), (17, 16), (26, 27), (14, 24), (10, 10)]:
        px = v.pixel((x, y, -0.5))
        if max(interlude.pixel(*px)) < 0.6 * max(play.pixel(*px)):
            dimmed += 1
    assert dimmed >= 5
