#!/usr/bin/env python3
"""The level editor driven as a user would under Xvfb: clicks, drags and keys
in window pixels; checks the exact bytes of the level-set file it saves and
appends to, its standard output, what the top view shows where, and that the
preview snaps back; keeps screenshots of both views as artefacts."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

TITLE = "Dravel GLUT example"
CELL = 15.46429          # one top-view cell in pixels
RIGHT, BOTTOM = 825, 525  # the inner cells' square ends here (y from the top)
HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURE = os.path.join(HERE, "..", "fixtures", "editor_three_levels.txt")


# ---- X server and program ---------------------------------------------------

def start_xvfb():
    for n in range(120, 200):
        if os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
            continue
        proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % n):
                return proc, ":%d" % n
            if proc.poll() is not None:
                break
            time.sleep(0.05)
        proc.kill()
        proc.wait()
    raise RuntimeError("no free X display")


class Editor:
    def __init__(self, binary, workdir, display, artifacts):
        self.env = dict(os.environ, DISPLAY=display)
        self.artifacts = artifacts
        self.out = open(os.path.join(workdir, "stdout.txt"), "wb")
        self.proc = subprocess.Popen([binary], cwd=workdir, env=self.env,
                                     stdout=self.out, stderr=subprocess.DEVNULL)
        found = self.xdo("search", "--sync", "--name", TITLE, timeout=20)
        self.window = found.split()[0]
        self.xdo("mousemove", "--window", self.window, "600", "300")
        time.sleep(0.5)

    def xdo(self, *args, timeout=10):
        return subprocess.run(["xdotool"] + list(args), env=self.env, check=True, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode()

    def move(self, x, y):
        self.xdo("mousemove", "--window", self.window, str(x), str(y))
        time.sleep(0.03)

    def click(self, x, y):
        self.move(x, y)
        self.xdo("click", "1")

    def drag(self, points):
        self.move(*points[0])
        self.xdo("mousedown", "1")
        for p in points[1:]:
            self.move(*p)
        self.xdo("mouseup", "1")

    def keys(self, *names):
        for name in names:
            self.xdo("key", name)

    def type(self, s):
        self.xdo("type", "--delay", "20", s)

    def screenshot(self, name):
        time.sleep(0.5)
        path = os.path.join(self.artifacts, name + ".png")
        subprocess.run(["import", "-window", self.window, path], env=self.env, check=True)
        return read_image(path)

    def finish(self, timeout=10):
        """Exit status, or None when it had to be killed."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            return None
        finally:
            self.out.close()


def read_image(path):
    """(width, height, rgb bytes) of a picture, through ImageMagick's PPM."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         stdout=subprocess.PIPE).stdout
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    return int(fields[1]), int(fields[2]), ppm[pos + 1:]


def pixel(image, x, y):
    width, _, data = image
    k = 3 * (y * width + x)
    return tuple(data[k:k + 3])


# ---- The level as the editor should hold it ----------------------------------

def cell_pixel(i, j):
    return int(RIGHT - (j - 0.5) * CELL), int(BOTTOM - (i - 0.5) * CELL)


def new_level():
    grid = [[1 if i in (0, 29) or j in (0, 29) else 0 for j in range(30)] for i in range(30)]
    grid[2][2] = 3
    return grid


def block(grid):
    return "".join("".join(str(c) for c in row) + "\n" for row in grid) + "endLevel\n"


def wait_for_file(path, content, seconds=10):
    deadline = time.time() + seconds
    data = None
    while time.time() < deadline:
        if os.path.exists(path):
            with open(path, "rb") as f:
                data = f.read()
            if data == content:
                return data
        time.sleep(0.1)
    return data


# ---- The run -----------------------------------------------------------------

class Checks:
    def __init__(self):
        self.failures = []

    def equal(self, what, got, want):
        if got != want:
            self.failures.append("%s: got %r, want %r" % (what, got, want))

    def true(self, what, ok):
        if not ok:
            self.failures.append(what)


def near(rgb, want, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(rgb, want))


def edit_first_level(ed, check):
    grid = new_level()
    ed.click(*cell_pixel(10, 20))         # selects the cell
    ed.click(*cell_pixel(10, 20))         # a second press paints it
    grid[10][20] = 2
    ed.drag([cell_pixel(5, j) for j in range(1, 7)])
    for j in range(2, 7):
        grid[5][j] = 2
    ed.keys("i", "i", "i", "v")           # start moves to (8, 6)
    grid[2][2], grid[8][6] = 0, 3
    ed.keys("z", "j", "z")                # z leaves the start; (8, 7) gets an obstacle
    grid[8][7] = 2
    top = ed.screenshot("editor_top_view")
    for (i, j), colour, name in [((10, 20), (255, 0, 0), "obstacle"),
                                 ((5, 4), (255, 0, 0), "dragged obstacle"),
                                 ((8, 6), (0, 77, 0), "mouse start"),
                                 ((8, 7), (0, 0, 255), "obstacle under the cursor"),
                                 ((2, 2), (255, 255, 255), "old start"),
                                 ((5, 1), (255, 255, 255), "press cell of the drag")]:
        got = pixel(top, *cell_pixel(i, j))
        check.true("top view %s at %s is %s, not %s" % (name, (i, j), got, colour), near(got, colour))
    return grid


def edit_second_level(ed):
    ed.keys("c", "z", "m", "m", "v")      # cleared; cursor stays on (8, 7)
    grid = new_level()
    grid[8][7] = 2
    grid[2][2], grid[6][7] = 0, 3
    # Across the start cell and off the square: both left alone.
    ed.drag([cell_pixel(6, j) for j in range(5, 9)] + [(RIGHT + 40, 200)])
    grid[6][6] = grid[6][8] = 2
    return grid


def look_around(ed, check):
    ed.keys("2")
    start = ed.screenshot("editor_preview")
    ed.keys("o", "o", "o")
    turned = ed.screenshot("editor_preview_turned")
    check.true("the preview turns with o", start[2] != turned[2])
    ed.drag([(500, 300), (520, 300), (540, 300), (560, 300)])
    back = ed.screenshot("editor_preview_snapped_back")
    check.true("releasing the button snaps the preview back", back[2] == start[2])
    ed.keys("1")


def run(args):
    os.makedirs(args.artifacts, exist_ok=True)
    check = Checks()
    xvfb, display = start_xvfb()
    work = tempfile.mkdtemp(prefix="gridcraft_e2e_")
    try:
        shutil.copytree(args.data, work, dirs_exist_ok=True)
        ed = Editor(os.path.join(args.bin, "gridcraft"), work, display, args.artifacts)
        try:
            ed.screenshot("editor_start")
            saved = os.path.join(work, "levels.txt")
            first = edit_first_level(ed, check)
            ed.keys("a")
            ed.type("levels.txt")
            ed.screenshot("editor_typing_name")
            ed.keys("Return")
            want = block(first).encode()
            check.equal("saved file", wait_for_file(saved, want), want)
            ed.screenshot("editor_saved_message")

            second = edit_second_level(ed)
            ed.keys("s")
            ed.type("levels.txt ")
            want += block(second).encode()
            check.equal("appended file", wait_for_file(saved, want), want)

            ed.keys("c")
            look_around(ed, check)
            third = new_level()
            ed.drag([cell_pixel(20, 10), cell_pixel(20, 11), cell_pixel(21, 11), cell_pixel(22, 11)])
            third[20][11] = third[21][11] = third[22][11] = 2
            ed.keys("s")
            ed.type("levels.txt")
            ed.keys("Tab")
            want += block(third).encode()
            got = wait_for_file(saved, want)
            check.equal("file after two appends", got, want)
            shutil.copy(saved, os.path.join(args.artifacts, "editor_levels.txt"))
            with open(FIXTURE, "rb") as f:
                check.equal("fixture read by the game's round-trip test", f.read(), got)

            ed.keys("a", "Return")        # an empty name cannot be opened
            failed = ed.screenshot("editor_save_failed")
            check.true("failure message drawn", any(near(pixel(failed, x, 22), (255, 255, 255), 30)
                                                    for x in range(30, 300)))
            ed.keys("Escape")
        except BaseException:
            ed.finish(timeout=0)
            raise
        code = ed.finish()
        check.equal("exit status", code, 0)
        with open(os.path.join(work, "stdout.txt"), "rb") as f:
            out = f.read()
        audio = b"" if os.path.exists("/dev/dsp") else b"Cannot intialize audio\n"
        check.equal("standard output", out, audio + b"Cannot open file for saving\n")
    finally:
        shutil.rmtree(work, ignore_errors=True)
        xvfb.terminate()
        xvfb.wait()
    for failure in check.failures:
        print("FAIL:", failure)
    print("editor e2e: %d failures; screenshots in %s" % (len(check.failures), args.artifacts))
    return 1 if check.failures else 0


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--artifacts", required=True)
    parsed = parser.parse_args()
    for name in ("bin", "data", "artifacts"):
        setattr(parsed, name, os.path.abspath(getattr(parsed, name)))
    sys.exit(run(parsed))
