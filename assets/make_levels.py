"""Writes defaultlevel.txt, the game's default set of ten levels.

Each level is designed here as a list of obstacle shapes on the 30 x 30
grid (the outer ring is always wall) and a mouse start, the level's only
"3": the game plays the level from it, at its first visit and after every
lost life and restart. The script checks every level before writing it: the
start is on an empty cell with room to run ahead (the mouse sets off along
+x, down the rows), the cat can start more than nine cells from it, and
every empty cell of the playing field is reachable, so no cheese can land
out of reach.
"""
import os
import sys

N = 30


def blank():
    g = [[0] * N for _ in range(N)]
    for i in range(N):
        g[0][i] = g[N - 1][i] = g[i][0] = g[i][N - 1] = 1
    return g


def rect(g, x0, y0, x1, y1):
    """Obstacles on rows x0..x1 and columns y0..y1, inclusive."""
    for x in range(x0, x1 + 1):
        for y in range(y0, y1 + 1):
            g[x][y] = 2


def pillars(g, xs, ys, size=1):
    for x in xs:
        for y in ys:
            rect(g, x, y, x + size - 1, y + size - 1)


def diagonal(g, x0, y0, length, dy):
    for k in range(length):
        g[x0 + k][y0 + k * dy] = 2
        g[x0 + k][y0 + k * dy + (1 if dy > 0 else -1)] = 2


def level_pantry(g):
    pillars(g, [9, 19], [9, 19], size=2)
    return (3, 14)


def level_larder(g):
    pillars(g, [7, 21], [7, 21], size=2)
    rect(g, 13, 13, 16, 16)
    return (3, 14)


def level_crossroads(g):
    rect(g, 14, 4, 15, 11)
    rect(g, 14, 18, 15, 25)
    rect(g, 4, 14, 11, 15)
    rect(g, 18, 14, 25, 15)
    return (3, 7)


def level_colonnade(g):
    pillars(g, range(6, 26, 5), range(5, 26, 5))
    return (2, 3)


def level_rooms(g):
    rect(g, 14, 1, 15, 5)
    rect(g, 14, 10, 15, 19)
    rect(g, 14, 24, 15, 28)
    rect(g, 1, 14, 5, 15)
    rect(g, 10, 14, 19, 15)
    rect(g, 24, 14, 28, 15)
    return (3, 7)


def level_zigzag(g):
    for i, x in enumerate(range(6, 26, 5)):
        if i % 2 == 0:
            rect(g, x, 1, x, 21)
        else:
            rect(g, x, 8, x, 28)
    return (2, 24)


def level_rings(g):
    # Two square rings, each with a gap on every side.
    for lo, hi, gap in ((6, 23, 3), (11, 18, 2)):
        rect(g, lo, lo, lo, hi)
        rect(g, hi, lo, hi, hi)
        rect(g, lo, lo, hi, lo)
        rect(g, lo, hi, hi, hi)
        mid = (lo + hi) // 2
        for x in range(mid - gap + 1, mid + gap + 1):
            g[x][lo] = g[x][hi] = 0
            g[lo][x] = g[hi][x] = 0
    return (2, 14)


def level_diagonals(g):
    diagonal(g, 4, 4, 9, 1)
    diagonal(g, 4, 25, 9, -1)
    diagonal(g, 17, 13, 9, 1)
    diagonal(g, 17, 16, 9, -1)
    pillars(g, [14], [3, 26], size=2)
    return (2, 14)


def level_checker(g):
    pillars(g, range(5, 26, 4), range(4, 27, 4))
    pillars(g, range(7, 26, 4), range(6, 25, 4))
    return (2, 2)


def level_lair(g):
    # A square spiral around the cat's lair, with corridors three cells wide.
    rect(g, 5, 5, 5, 24)
    rect(g, 5, 24, 24, 24)
    rect(g, 24, 9, 24, 24)
    rect(g, 9, 9, 24, 9)
    rect(g, 9, 9, 9, 20)
    rect(g, 9, 20, 20, 20)
    rect(g, 20, 13, 20, 20)
    rect(g, 13, 13, 20, 13)
    pillars(g, [2, 26], [8, 14, 20])
    return (2, 3)


LEVELS = [level_pantry, level_larder, level_crossroads, level_colonnade, level_rooms,
          level_zigzag, level_rings, level_diagonals, level_checker, level_lair]


def check(name, g, start):
    sx, sy = start
    assert g[sx][sy] == 0, f"{name}: start on a non-empty cell"
    for k in range(1, 4):
        assert g[sx + k][sy] == 0, f"{name}: no room ahead of the start"
    # The game draws cat starts from rows and columns 0 ... 27.
    assert any(g[x][y] == 0 and (abs(x - sx) > 9 or abs(y - sy) > 9)
               for x in range(28) for y in range(28)), f"{name}: no cat start far from the mouse"
    seen = {start}
    todo = [start]
    while todo:
        x, y = todo.pop()
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 1 <= nx <= 28 and 1 <= ny <= 28 and g[nx][ny] == 0 and (nx, ny) not in seen:
                seen.add((nx, ny))
                todo.append((nx, ny))
    for x in range(1, 29):
        for y in range(1, 29):
            assert g[x][y] != 0 or (x, y) in seen, f"{name}: cell {x},{y} cut off"


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    lines = []
    for make in LEVELS:
        g = blank()
        start = make(g)
        check(make.__name__, g, start)
        g[start[0]][start[1]] = 3
        lines += ["".join(str(c) for c in row) for row in g]
        lines.append("endLevel")
    with open(os.path.join(out, "defaultlevel.txt"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
