"""The scene tests' view of the game world: the game's cameras and projection
(65 degree vertical field, 1200 x 600 window), a level file writer, PPM
reading, and the scene_shot test program that renders exact states."""
import math
import os

import harness

WIDTH, HEIGHT = 1200, 600
FOVY = 65.0


def camera(view, mx=0.0, my=0.0, orient=0.0):
    th = orient * 0.017453293
    c, s = math.cos(th), math.sin(th)
    if view == 0:
        return (mx + c, my - s, 0.5), (mx + 5 * c, my - 5 * s, 0.5), (0, 0, 1)
    if view == 1:
        return (mx - 7 * c, my + 7 * s, 3.5), (mx, my, 0.0), (0, 0, 1)
    return (15, 15, 30), (15, 15, 0), (1, 0, 0)


def _sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def _dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def _cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def _norm(a):
    n = math.sqrt(_dot(a, a))
    return tuple(x / n for x in a)


class View:
    def __init__(self, view, mx=0.0, my=0.0, orient=0.0):
        self.eye, centre, up = camera(view, mx, my, orient)
        self.f = _norm(_sub(centre, self.eye))
        self.s = _norm(_cross(self.f, up))
        self.u = _cross(self.s, self.f)
        self.t = math.tan(math.radians(FOVY / 2))
        self.aspect = WIDTH / HEIGHT

    def pixel(self, p):
        """Window pixel (x, y from the top) of world point p."""
        d = _sub(p, self.eye)
        depth = _dot(d, self.f)
        xn = _dot(d, self.s) / (depth * self.t * self.aspect)
        yn = _dot(d, self.u) / (depth * self.t)
        return int((xn + 1) / 2 * WIDTH), int(HEIGHT - (yn + 1) / 2 * HEIGHT)

    def floor_point(self, px, py, z=-0.5):
        """World point where the ray through pixel centre (px, py) meets height z."""
        xn = (px + 0.5) / WIDTH * 2 - 1
        yn = (HEIGHT - py - 0.5) / HEIGHT * 2 - 1
        d = tuple(self.f[i] + self.s[i] * xn * self.t * self.aspect + self.u[i] * yn * self.t
                  for i in range(3))
        if abs(d[2]) < 1e-9:
            return None
        k = (z - self.eye[2]) / d[2]
        if k <= 0:
            return None
        return tuple(self.eye[i] + k * d[i] for i in range(3))


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
