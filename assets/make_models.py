#!/usr/bin/env python3
"""Makes the game's five models, as Wavefront OBJ files with MTL libraries,
in <out>/models/: the mouse, the two bonus fruits, the cat and its surfboard.

Every part is a closed surface lofted through rings of points (ellipsoids,
tubes, cones), wound counter-clockwise seen from outside; the script checks
that every edge is shared by exactly two faces in opposite directions and
that each part encloses a positive volume. The fruit files are written with
the opposite winding, because the game reverses the fruit after computing
their normals.

Sizes are in file units; the game scales them at start-up (mouse 0.65,
fruit 0.003, board and cat 0.2) and places them as noted on each model.
"""
import math
import os
import sys

TAU = 2.0 * math.pi


# ---- small vector helpers ----

def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def mul(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def unit(a):
    length = math.sqrt(dot(a, a))
    return mul(a, 1.0 / length)


def rot_x(p, deg):
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return (p[0], c * p[1] - s * p[2], s * p[1] + c * p[2])


def rot_y(p, deg):
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return (c * p[0] + s * p[2], p[1], -s * p[0] + c * p[2])


def rot_z(p, deg):
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return (c * p[0] - s * p[1], s * p[0] + c * p[1], p[2])


# ---- closed surfaces ----

class Part:
    """One closed surface: its group, its material, its vertices and faces
    (0-based within the part)."""

    def __init__(self, group, material, verts, faces):
        self.group, self.material = group, material
        self.verts, self.faces = verts, faces

    def moved(self, fn):
        return Part(self.group, self.material, [fn(v) for v in self.verts], self.faces)


def loft(group, material, rings, start, end):
    """Joins rings of equal size into a closed surface capped by the points
    start and end. Each ring runs counter-clockwise seen from the start
    looking towards the end, which makes every face wind outwards."""
    n = len(rings[0])
    verts = [start] + [p for ring in rings for p in ring] + [end]
    last = len(verts) - 1

    def at(i, k):
        return 1 + i * n + k % n

    faces = []
    for k in range(n):
        faces.append([0, at(0, k), at(0, k + 1)])
    for i in range(len(rings) - 1):
        for k in range(n):
            faces.append([at(i, k), at(i + 1, k), at(i + 1, k + 1), at(i, k + 1)])
    for k in range(n):
        faces.append([last, at(len(rings) - 1, k + 1), at(len(rings) - 1, k)])
    return Part(group, material, verts, faces)


def ellipsoid(group, material, center, radii, rings=12, around=16, shape=None, turn=None):
    """An ellipsoid from its top (+z) to its bottom. shape(x, y, z) may bend
    the unit-free local point before it is turned by turn(p) and placed."""
    def place(p):
        if shape:
            p = shape(*p)
        if turn:
            p = turn(p)
        return add(center, p)

    a, b, c = radii
    ring_list = []
    for i in range(1, rings):
        theta = math.pi * i / rings
        ring = []
        for k in range(around):
            phi = TAU * k / around
            ring.append(place((a * math.sin(theta) * math.cos(phi),
                               b * math.sin(theta) * math.sin(phi),
                               c * math.cos(theta))))
        ring_list.append(ring)
    return loft(group, material, ring_list, place((0, 0, c)), place((0, 0, -c)))


def tube(group, material, path, radius, segments=16, around=10, up=(0, 0, 1),
         pointed=False, flat=1.0):
    """A tube along path(t), t from 0 to 1, with radius(t); rounded ends, or
    a point at the far end. flat squeezes the cross-section along `up`."""
    def frame(t):
        dt = 1e-4
        tangent = unit(sub(path(min(t + dt, 1.0)), path(max(t - dt, 0.0))))
        n1 = unit(sub(up, mul(tangent, dot(up, tangent))))
        n2 = cross(n1, tangent)
        return tangent, n1, n2

    steps = segments if not pointed else segments - 1
    ring_list = []
    for i in range(steps + 1):
        t = i / segments
        _, n1, n2 = frame(t)
        r, center = radius(t), path(t)
        ring_list.append([add(center, add(mul(n1, r * flat * math.cos(TAU * k / around)),
                                          mul(n2, r * math.sin(TAU * k / around))))
                          for k in range(around)])
    t0, _, _ = frame(0.0)
    start = sub(path(0.0), mul(t0, radius(0.0) * 0.7))
    if pointed:
        end = path(1.0)
    else:
        t1, _, _ = frame(1.0)
        end = add(path(1.0), mul(t1, radius(1.0) * 0.7))
    return loft(group, material, ring_list, start, end)


# ---- checks ----

def check_closed(part):
    edges = {}
    for face in part.faces:
        for i in range(len(face)):
            edge = (face[i], face[(i + 1) % len(face)])
            if edge in edges:
                raise SystemExit("make_models: %s has a repeated edge" % part.group)
            edges[edge] = True
    for a, b in edges:
        if (b, a) not in edges:
            raise SystemExit("make_models: %s is not closed" % part.group)


def volume(part):
    total = 0.0
    for face in part.faces:
        p0 = part.verts[face[0]]
        for j in range(2, len(face)):
            total += dot(p0, cross(part.verts[face[j - 1]], part.verts[face[j]])) / 6.0
    return total


def triangle_count(parts):
    return sum(len(f) - 2 for p in parts for f in p.faces)


# ---- writing ----

def write_model(out, name, title, parts, materials, inward=False):
    """Writes models/<name>.obj and models/<name>.mtl. inward writes every
    face reversed (clockwise seen from outside)."""
    for part in parts:
        check_closed(part)
        if volume(part) <= 0:
            raise SystemExit("make_models: %s/%s winds inwards" % (name, part.group))
    folder = os.path.join(out, "models")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".mtl"), "w") as mtl:
        mtl.write("# %s materials\n" % title)
        for mat, (kd, ks, ns) in materials.items():
            mtl.write("\nnewmtl %s\n" % mat)
            mtl.write("Ns %.1f\n" % ns)
            mtl.write("Ka %.3f %.3f %.3f\n" % tuple(c * 0.25 for c in kd))
            mtl.write("Kd %.3f %.3f %.3f\n" % kd)
            mtl.write("Ks %.3f %.3f %.3f\n" % ks)
            mtl.write("illum 2\n")
            mtl.write("d 1.0\n")
    with open(os.path.join(folder, name + ".obj"), "w") as obj:
        obj.write("# %s\n# %d triangles in %d parts\n" % (title, triangle_count(parts), len(parts)))
        obj.write("mtllib %s.mtl\n" % name)
        obj.write("o %s\n" % name)
        base = 1
        for part in parts:
            obj.write("\n# %s: %d vertices\n" % (part.group, len(part.verts)))
            for v in part.verts:
                obj.write("v %.4f %.4f %.4f\n" % v)
            obj.write("g %s\nusemtl %s\ns 1\n" % (part.group, part.material))
            for face in part.faces:
                corners = list(reversed(face)) if inward else face
                obj.write("f " + " ".join(str(base + i) for i in corners) + "\n")
            base += len(part.verts)
    return triangle_count(parts)


# ---- the mouse ----
# Nose along +y, feet on z = 0.385: the game scales by 0.65 and stands the
# model at z = -0.75, so the feet touch the floor at -0.5. About 0.9 long.

MOUSE_FLOOR = 0.385


def mouse_parts():
    z0 = MOUSE_FLOOR
    parts = []

    def pear(x, y, z):
        # fuller at the rear, narrower towards the head
        k = 1.0 - 0.22 * (y / 0.38 + 1.0) / 2.0
        return (x * k, y, z * (0.9 + 0.1 * k))

    parts.append(ellipsoid("body", "fur", (0, -0.08, z0 + 0.2), (0.23, 0.38, 0.21),
                           rings=16, around=24, shape=pear))

    def snout(x, y, z):
        # the head narrows to a point towards the front
        k = 1.0 - 0.75 * max(0.0, y) / 0.26
        return (x * k, y, z * k + 0.04 * (1.0 - k))

    parts.append(ellipsoid("head", "fur", (0, 0.36, z0 + 0.21), (0.16, 0.26, 0.15),
                           rings=14, around=20, shape=snout))
    parts.append(ellipsoid("nose", "nose", (0, 0.62, z0 + 0.225), (0.03, 0.03, 0.028),
                           rings=6, around=8))
    for side in (-1, 1):
        parts.append(ellipsoid("eyes", "eye", (side * 0.085, 0.46, z0 + 0.285),
                               (0.026, 0.026, 0.026), rings=6, around=8))
        parts.append(ellipsoid("ears", "ear", (side * 0.14, 0.28, z0 + 0.39),
                               (0.11, 0.025, 0.12), rings=8, around=14,
                               turn=lambda p, s=side: rot_z(rot_y(p, -25 * s), 20 * s)))
        for y in (0.2, -0.3):
            parts.append(ellipsoid("feet", "ear", (side * 0.13, y, z0 + 0.03),
                                   (0.05, 0.08, 0.03), rings=6, around=10))

    def tail_path(t):
        return (0.25 * math.sin(t * 2.2), -0.4 - 0.7 * t, z0 + 0.12 + 0.25 * t * (1 - t) - 0.06 * t)

    parts.append(tube("tail", "ear", tail_path, lambda t: 0.04 * (1 - t) + 0.012,
                      segments=24, around=8, pointed=True))
    return parts


# ---- the apple ----
# About 100 across, centred on the origin, stem up (+z). Scaled by 0.003 it
# is 0.3 of a cell, floating above its cell.

def apple_parts():
    def apple_shape(x, y, z):
        r = math.sqrt(x * x + y * y + z * z)
        theta = math.acos(max(-1.0, min(1.0, z / r)))
        k = 1.0 - 0.28 * math.exp(-(theta / 0.45) ** 2) - 0.18 * math.exp(-((math.pi - theta) / 0.5) ** 2)
        k *= 1.0 + 0.1 * math.cos(theta) + 0.02 * math.cos(5 * math.atan2(y, x)) * math.sin(theta)
        return (x * k, y * k, z * k * 0.92)

    parts = [ellipsoid("apple", "skin", (0, 0, 0), (50, 50, 50), rings=20, around=28,
                       shape=apple_shape)]
    parts.append(tube("stem", "stem", lambda t: (6 * t * t, 0, 26 + 40 * t),
                      lambda t: 3.2 - 1.0 * t, segments=8, around=8, up=(1, 0, 0)))
    parts.append(ellipsoid("leaf", "leaf", (0, 0, 0), (20, 8, 1.6), rings=8, around=14,
                           turn=lambda p: add(rot_z(rot_y(p, -30), 35), (14, 11, 56))))
    return parts


# ---- the banana ----
# About 110 long along x, curved in the x-y plane with both ends towards -y:
# the game turns the model so that its -y axis points up, which lays the
# banana on its back with the ends raised.

def banana_parts():
    radius_of_arc, half_angle = 60.0, 0.9

    def spine(t):
        a = (2 * t - 1) * half_angle
        return (radius_of_arc * math.sin(a), -radius_of_arc * (1 - math.cos(a)) + 12, 0)

    def thickness(t):
        return 2.0 + 11.0 * (max(0.0, 1 - (2 * t - 1) ** 2)) ** 0.4

    parts = [tube("peel", "peel", spine, thickness, segments=28, around=15, up=(0, 0, 1))]
    end = spine(1.0)
    parts.append(tube("stalk", "stalk", lambda t: add(end, (6 + 9 * t, -4 * t, 0)),
                      lambda t: 2.6 - 0.6 * t, segments=6, around=8))
    tip = spine(0.0)
    parts.append(ellipsoid("tip", "stalk", add(tip, (-1.5, 0.5, 0)), (3.0, 3.0, 3.0),
                           rings=6, around=8))
    return parts


# ---- the surfboard ----
# 10 long along x, nose towards -x (the direction the cat rides), deck up
# along +y, about 3 wide along z. The game scales by 0.2, stands the model's
# y axis upright and lifts it so the board hovers just above the floor.

BOARD_BOTTOM = -2.1


def board_parts():
    length, half_width, half_thick = 10.0, 1.45, 0.2
    y_mid = BOARD_BOTTOM + half_thick

    def outline(t):
        # t from 0 at the nose to 1 at the tail
        nose = math.sin(math.pi * min(1.0, t / 0.55) / 2) ** 0.8
        tail = 0.55 + 0.45 * math.sin(math.pi * min(1.0, (1 - t) / 0.45) / 2)
        return max(0.04, half_width * nose * tail)

    def rocker(t):
        return 0.35 * (1 - min(1.0, t / 0.3)) ** 2

    rings = []
    steps, around = 30, 16
    for i in range(1, steps):
        t = i / steps
        x = -length / 2 + length * t
        w, h = outline(t), half_thick * (0.6 + 0.4 * math.sin(math.pi * t))
        # travel along +x: n1 = +y, n2 = -z keeps the rings counter-clockwise
        rings.append([(x, y_mid + rocker(t) + h * math.cos(TAU * k / around),
                       -w * math.sin(TAU * k / around)) for k in range(around)])
    parts = [loft("deck", "board", rings, (-length / 2, y_mid + rocker(0), 0),
                  (length / 2, y_mid, 0))]
    parts.append(ellipsoid("fin", "fin", (3.7, BOARD_BOTTOM - 0.35, 0), (0.5, 0.5, 0.06),
                           rings=6, around=12, turn=lambda p: rot_z(p, 10)))
    parts.append(ellipsoid("stripe", "stripe", (0, y_mid + half_thick * 0.95, 0),
                           (3.6, 0.06, 0.25), rings=6, around=16))
    return parts


# ---- the cat ----
# Designed in world units around the point the game places it at, nose
# towards -y, feet on the board's deck, then mapped into the model's frame:
# the game scales by 0.2, then by (1.5, 1.5, 2.5) after moving it by
# (0, 0.2, 0.14), so a world offset (x, y, z) is model (x/0.3, y/0.3 - 1,
# (z + 0.05)/0.5). About 0.7 long and 0.6 tall in the maze.

DECK_TOP = -0.34   # world height of the board's deck (-2.1 + 0.4, times 0.2)
CAT_SIZE = 1.3     # grows the design below about its feet


def cat_to_model(p):
    return (p[0] / 0.3, p[1] / 0.3 - 1.0, (p[2] + 0.05) / 0.5)


def cat_parts():
    legs = 0.12
    body_z = DECK_TOP + legs + 0.1
    parts = [ellipsoid("body", "fur", (0, 0.0, body_z), (0.12, 0.26, 0.1),
                       rings=14, around=20)]
    head = (0, -0.3, body_z + 0.13)
    parts.append(ellipsoid("head", "fur", head, (0.11, 0.1, 0.095), rings=12, around=18,
                           shape=lambda x, y, z: (x * (1 + 0.15 * max(0.0, -z) / 0.095), y, z)))
    parts.append(ellipsoid("nose", "nose", add(head, (0, -0.1, -0.01)), (0.018, 0.012, 0.014),
                           rings=6, around=8))
    for side in (-1, 1):
        ear_base = add(head, (side * 0.06, 0.01, 0.06))
        parts.append(tube("ears", "ear",
                          lambda t, b=ear_base, s=side: add(b, (s * 0.02 * t, 0.01 * t, 0.09 * t)),
                          lambda t: 0.04 * (1 - t) + 0.006, segments=6, around=10,
                          up=(0, 1, 0), pointed=True, flat=0.45))
        parts.append(ellipsoid("eyes", "eye", add(head, (side * 0.045, -0.085, 0.03)),
                               (0.018, 0.012, 0.02), rings=6, around=8))
        for y in (-0.17, 0.17):
            top = (side * 0.07, y, body_z - 0.02)
            parts.append(tube("legs", "fur",
                              lambda t, p=top: add(p, (0, 0, -(legs + 0.06) * t)),
                              lambda t: 0.035, segments=4, around=10, up=(0, 1, 0)))

    def tail_path(t):
        return (0.05 * math.sin(t * 3), 0.24 + 0.12 * t, body_z + 0.02 + 0.3 * t ** 0.8)

    parts.append(tube("tail", "fur", tail_path, lambda t: 0.028 - 0.01 * t,
                      segments=16, around=8, up=(0, -1, 0)))
    def grow(p):
        return (p[0] * CAT_SIZE, p[1] * CAT_SIZE, DECK_TOP + (p[2] - DECK_TOP) * CAT_SIZE)

    return [p.moved(lambda v: cat_to_model(grow(v))) for p in parts]


def main():
    if len(sys.argv) != 2:
        raise SystemExit("usage: make_models.py OUTPUT_DIR")
    out = sys.argv[1]
    grey, pink, black = (0.62, 0.6, 0.58), (0.95, 0.62, 0.66), (0.05, 0.05, 0.05)
    shine = (0.3, 0.3, 0.3)
    counts = {
        "mouseFull1": write_model(out, "mouseFull1", "mouse", mouse_parts(), {
            "fur": (grey, (0.1, 0.1, 0.1), 60.0), "ear": (pink, shine, 120.0),
            "nose": (pink, shine, 250.0), "eye": (black, (0.8, 0.8, 0.8), 900.0)}),
        "apple": write_model(out, "apple", "apple", apple_parts(), {
            "skin": ((0.8, 0.08, 0.06), (0.6, 0.6, 0.6), 500.0),
            "stem": ((0.35, 0.22, 0.1), (0.0, 0.0, 0.0), 10.0),
            "leaf": ((0.2, 0.6, 0.15), (0.2, 0.2, 0.2), 100.0)}, inward=True),
        "banana": write_model(out, "banana", "banana", banana_parts(), {
            "peel": ((0.95, 0.85, 0.2), (0.3, 0.3, 0.3), 200.0),
            "stalk": ((0.3, 0.22, 0.1), (0.0, 0.0, 0.0), 10.0)}, inward=True),
        "surfbord": write_model(out, "surfbord", "surfboard", board_parts(), {
            "board": ((0.2, 0.7, 0.3), (0.9, 0.9, 0.9), 700.0),
            "fin": ((0.1, 0.1, 0.1), (0.5, 0.5, 0.5), 300.0),
            "stripe": ((0.95, 0.95, 0.9), (0.5, 0.5, 0.5), 300.0)}),
        "cat2": write_model(out, "cat2", "cat", cat_parts(), {
            "fur": ((0.95, 0.6, 0.2), (0.1, 0.1, 0.1), 50.0), "ear": ((0.9, 0.55, 0.2), shine, 50.0),
            "nose": (pink, shine, 250.0), "eye": ((0.3, 0.8, 0.2), (0.8, 0.8, 0.8), 900.0)}),
    }
    for name, count in counts.items():
        print("models: %s.obj, %d triangles" % (name, count))


if __name__ == "__main__":
    main()
