"""The scene tests' view of the game world: the game's own camera and
projection as the scene_shot test program reports them, a level file
writer, PPM reading, and scene_shot itself, which renders exact states."""
import os

import numpy as np

import harness


class View:
    """World points to window pixels and back, through the viewport and the
    model-view and projection matrices of a scene_shot "camera" line."""

    def __init__(self, line):
        f = line.split()
        assert f[0] == "camera" and len(f) == 2 + 2 + 4 + 32, line
        self.width, self.height = int(f[2]), int(f[3])
        self.viewport = [int(v) for v in f[4:8]]
        modelview = np.array([float(v) for v in f[8:24]]).reshape(4, 4).T
        projection = np.array([float(v) for v in f[24:40]]).reshape(4, 4).T
        self.m = projection @ modelview
        self.inverse = np.linalg.inv(self.m)

    def pixel(self, p):
        """Window pixel (x, y from the top) of world point p."""
        c = self.m @ np.array([p[0], p[1], p[2], 1.0])
        vx, vy, vw, vh = self.viewport
        x = vx + (c[0] / c[3] + 1) / 2 * vw
        y = vy + (c[1] / c[3] + 1) / 2 * vh
        return int(x), int(self.height - y)

    def floor_point(self, px, py, z=-0.5):
        """World point where the ray through pixel centre (px, py) meets height z."""
        vx, vy, vw, vh = self.viewport
        xn = (px + 0.5 - vx) / vw * 2 - 1
        yn = (self.height - py - 0.5 - vy) / vh * 2 - 1
        near, far = (self.inverse @ np.array([xn, yn, d, 1.0]) for d in (-1.0, 1.0))
        near, far = near[:3] / near[3], far[:3] / far[3]
        d = far - near
        if abs(d[2]) < 1e-9:
            return None
        k = (z - near[2]) / d[2]
        if k <= 0:
            return None
        return tuple(near + k * d)


_views = {}


def view(session, mode, mx=0.0, my=0.0, orient=0):
    """The game's camera for a view mode with the mouse at (mx, my) heading
    orient degrees, in a 1200 x 600 window."""
    settings = (f"view={mode}", f"mouse={mx},{my}", f"orient={orient}")
    if settings not in _views:
        level = os.path.join(session.workdir, "camera_level.txt")
        write_level(level, [ring_level()])
        rc, out, err = session.run("scene_shot", level, *settings, "camera=view")
        if rc != 0:
            raise RuntimeError(f"scene_shot failed ({rc}): {err}")
        _views[settings] = View(out.strip().splitlines()[-1])
    return _views[settings]


def write_level(path, grids):
    with open(path, "w") as f:
        for g in grids:
            for row in g:
                f.write("".join(str(c) for c in row) + "\n")
            f.write("endLevel\n")


def ring_level():
    g = [[0] * 30 for _ in range(30)]
    for i in range(30):
        for j in range(30):
            if i in (0, 29) or j in (0, 29):
                g[i][j] = 1
    return g


def shots(session, level_file, commands, names, timeout=120):
    """Runs scene_shot in the session's asset folder; each name in names is a
    shot=... or frame=... target in commands. Keeps PNG copies as artefacts
    and returns the images by name."""
    args = []
    for c in commands:
        key, _, value = c.partition("=")
        if key in ("shot", "frame"):
            c = f"{key}={os.path.join(session.workdir, value + '.ppm')}"
        args.append(c)
    rc, _, err = session.run("scene_shot", level_file, *args, timeout=timeout)
    if rc != 0:
        raise RuntimeError(f"scene_shot failed ({rc}): {err}")
    out = {}
    for n in names:
        out[n] = harness.read_image(os.path.join(session.workdir, n + ".ppm"))
        session.keep(out[n], n)
    return out
