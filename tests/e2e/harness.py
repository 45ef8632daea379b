"""Drives the real programs as a player would: a private Xvfb display, the
program started from a fresh copy of the asset folder, keys and clicks sent
with xdotool, screenshots read straight into numpy arrays.

Nothing here sleeps for a fixed time to let the program catch up: a test
waits for what a player would see (`Session.until`, `Session.shot_until`),
polling with a deadline, and a wait that runs out says what it waited for
and keeps the last screenshot. The fixtures that build a `Session` are in
conftest.py."""
import os
import shutil
import signal
import subprocess
import tempfile
import time

import numpy as np
from PIL import Image as PILImage

SCREEN = "1600x1000x24"
# The programs' window titles, as the tests find their windows by them.
GAME_TITLE = "Dravel: Vimmo Squeakling"
EDITOR_TITLE = "Dravel GLUT example"


class WaitTimeout(AssertionError):
    pass


class Image:
    """An RGB screenshot as an (height, width, 3) uint8 array; x counts from
    the left and y from the top, like the window."""

    def __init__(self, array, path=None):
        self.a = array
        self.height, self.width = array.shape[:2]
        self.path = path

    @property
    def data(self):
        return self.a.tobytes()

    def pixel(self, x, y):
        return tuple(int(c) for c in self.a[y, x])

    def box(self, x0, y0, x1, y1):
        """The pixels of [x0, x1) x [y0, y1) as an int16 array (signed, so
        differences do not wrap)."""
        return self.a[y0:y1, x0:x1].astype(np.int16)

    def mean(self, x0, y0, x1, y1):
        """The mean (r, g, b) over [x0, x1) x [y0, y1)."""
        return tuple(float(c) for c in self.box(x0, y0, x1, y1).reshape(-1, 3).mean(axis=0))

    def diff_mask(self, other, tolerance=0, box=None):
        """Where some channel differs by more than tolerance."""
        if box is None:
            box = (0, 0, min(self.width, other.width), min(self.height, other.height))
        d = np.abs(self.box(*box) - other.box(*box))
        return (d > tolerance).any(axis=2)

    def differs(self, other, tolerance=0, box=None):
        """Number of pixels whose channels differ by more than tolerance."""
        return int(self.diff_mask(other, tolerance, box).sum())

    def diff_pixels(self, other):
        """(x, y) of every pixel that differs at all, row by row."""
        ys, xs = np.nonzero(self.diff_mask(other))
        return list(zip(xs.tolist(), ys.tolist()))

    def save(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        PILImage.fromarray(self.a).save(path, compress_level=1)
        self.path = path


def read_image(path):
    """A PPM or PNG file as an Image."""
    with PILImage.open(path) as im:
        return Image(np.asarray(im.convert("RGB")).copy(), path)


def parse_xwd(raw):
    """The pixels of an xwd dump of a TrueColor window."""
    header = np.frombuffer(raw[:100], dtype=">u4")
    (header_size, _version, _format, depth, width, height, _xoff, byte_order, _unit, _bit_order,
     _pad, bits_per_pixel, bytes_per_line, _visual_class, red_mask, green_mask, blue_mask,
     _bits_per_rgb, _entries, ncolors) = (int(v) for v in header[:20])
    if bits_per_pixel not in (24, 32) or depth < 24:
        raise ValueError(f"xwd: {bits_per_pixel} bits per pixel at depth {depth}")
    start = header_size + 12 * ncolors
    size = bits_per_pixel // 8
    rows = np.frombuffer(raw, dtype=np.uint8, count=height * bytes_per_line, offset=start)
    b = rows.reshape(height, bytes_per_line)[:, :width * size].reshape(height, width, size)
    b = b.astype(np.uint32)
    order = range(size) if byte_order == 0 else range(size - 1, -1, -1)
    words = sum(b[:, :, i] << (8 * k) for k, i in enumerate(order))
    out = np.empty((height, width, 3), dtype=np.uint8)
    for c, mask in enumerate((red_mask, green_mask, blue_mask)):
        shift = (mask & -mask).bit_length() - 1
        out[:, :, c] = (words & mask) >> shift
    return out


def start_xvfb(screen=SCREEN):
    """An Xvfb on a display number it picks itself (-displayfd); returns
    the process and the display name."""
    rfd, wfd = os.pipe()
    proc = subprocess.Popen(
        ["Xvfb", "-displayfd", str(wfd), "-screen", "0", screen, "-nolisten", "tcp",
         "+extension", "GLX", "-noreset"],
        pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(wfd)
    with os.fdopen(rfd) as r:
        number = r.readline().strip()
    if not number:
        proc.kill()
        proc.wait()
        raise RuntimeError("Xvfb did not start")
    return proc, ":" + number


def stop(proc, grace=5):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class Process:
    def __init__(self, popen, out_path, err_path):
        self.popen, self.out_path, self.err_path = popen, out_path, err_path

    def alive(self):
        return self.popen.poll() is None

    def wait(self, timeout=10):
        """The exit status, or None if the program still runs after timeout."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stdout(self):
        with open(self.out_path, "rb") as f:
            return f.read().decode(errors="replace")

    def stderr(self):
        with open(self.err_path, "rb") as f:
            return f.read().decode(errors="replace")

    def kill(self):
        if self.alive():
            self.popen.send_signal(signal.SIGKILL)
            self.popen.wait()


class Session:
    """One test's programs: a scratch copy of the asset folder and the
    session's X display."""

    def __init__(self, bin_dir, data, artifacts, display, name="e2e"):
        self.bin, self.artifacts, self.display, self.name = bin_dir, artifacts, display, name
        self.procs = []
        self.last = None          # the last screenshot taken, kept if the test fails
        # What screenshots of a window show the test: the window's pixels,
        # or (set by a test of another window size) its picture at 1200 x 600.
        self.view = None
        self.workdir = tempfile.mkdtemp(prefix="sq-e2e-")
        self.data = os.path.join(self.workdir, "data")
        shutil.copytree(data, self.data, symlinks=True)
        self.env = dict(os.environ, DISPLAY=display)
        self.env.pop("XAUTHORITY", None)
        # No sound server unless a test starts its own: ALSA's default output
        # then finds none, as on a machine without one.
        self.env["PULSE_SERVER"] = "unix:" + os.path.join(self.workdir, "no-server")
        # The player's files (scores, settings) of every program the test
        # starts live in the test's own folders, never in the user's.
        self.data_home = os.path.join(self.workdir, "xdg-data")
        self.config_home = os.path.join(self.workdir, "xdg-config")
        self.env["XDG_DATA_HOME"] = self.data_home
        self.env["XDG_CONFIG_HOME"] = self.config_home

    def close(self):
        for p in self.procs:
            p.kill()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def keep_last(self, label="failed"):
        """Saves the last screenshot as <artifacts>/<test>-<label>.png."""
        if self.last is not None:
            path = os.path.join(self.artifacts, f"{self.name}-{label}.png")
            self.last.save(path)
            return path
        return None

    # ---- programs

    def start(self, program, *argv, env=None, cwd=None):
        """Starts <bin>/<program> (or the program at an absolute path) in
        the scratch asset folder, or in cwd."""
        n = len(self.procs)
        base = os.path.basename(program)
        out = os.path.join(self.workdir, f"{base}-{n}.out")
        err = os.path.join(self.workdir, f"{base}-{n}.err")
        e = dict(self.env)
        e.update(env or {})
        with open(out, "wb") as fout, open(err, "wb") as ferr:
            popen = subprocess.Popen([os.path.join(self.bin, program), *argv],
                                     cwd=cwd or self.data, env=e, stdout=fout, stderr=ferr)
        proc = Process(popen, out, err)
        self.procs.append(proc)
        return proc

    def run(self, program, *argv, timeout=120):
        """Runs <bin>/<program> to its end; its exit status, stdout and stderr."""
        r = subprocess.run([os.path.join(self.bin, program), *map(str, argv)], cwd=self.data,
                           env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           timeout=timeout)
        return r.returncode, r.stdout.decode(errors="replace"), r.stderr.decode(errors="replace")

    # ---- waiting

    def until(self, what, predicate, timeout=20, step=0.1):
        """Polls predicate() until it returns something true; fails after
        timeout seconds saying what it waited for. A screenshot costs the
        machine about as much as a frame of the game: long waits poll
        less often."""
        deadline = time.monotonic() + timeout
        while True:
            got = predicate()
            if got:
                return got
            if time.monotonic() > deadline:
                path = self.keep_last("timeout")
                raise WaitTimeout(f"waited {timeout} s for {what}"
                                  + (f"; last screenshot: {path}" if path else ""))
            time.sleep(step)

    def shot_until(self, win, what, ready, timeout=20, name=None, step=0.1):
        """Screenshots until ready(image) holds and returns that image (kept
        as <name>.png when named)."""
        def attempt():
            img = self.screenshot(win)
            return img if ready(img) else None
        img = self.until(what, attempt, timeout, step)
        if name:
            self.keep(img, name)
        return img

    def settled(self, win, what, ready, timeout=30, name=None, pixels=2000, seconds=0.0):
        """Screenshots until ready(image) holds in screenshots in a row,
        at least two and spanning at least `seconds`, each differing from
        the one before in fewer than `pixels` pixels (a paused game still
        spins its cheese); the last of them."""
        run = []  # (time, image) of the screenshots in a row so far

        def check(img):
            now = time.monotonic()
            if not ready(img):
                run.clear()
                return False
            if run and img.differs(run[-1][1], tolerance=24) >= pixels:
                run.clear()
            run.append((now, img))
            return len(run) >= 2 and now - run[0][0] >= seconds
        return self.shot_until(win, f"{what}, settled", check, timeout, name=name)

    def holds(self, win, what, ok, seconds, step=0.1):
        """Fails if ok(image) stops holding at any screenshot taken over the
        next `seconds`: for things that must not happen."""
        deadline = time.monotonic() + seconds
        while True:
            img = self.screenshot(win)
            if not ok(img):
                path = self.keep_last("broken")
                raise AssertionError(f"{what} stopped holding; screenshot: {path}")
            if time.monotonic() > deadline:
                return img
            time.sleep(step)

    def exits(self, proc, timeout=20):
        """The program's exit status once it has ended."""
        self.until("the program to exit", lambda: not proc.alive(), timeout)
        return proc.popen.returncode

    # ---- the window

    def xdotool(self, *argv, check=True):
        r = subprocess.run(["xdotool", *map(str, argv)], env=self.env, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError(f"xdotool {argv}: {r.stderr.decode()}")
        return r.stdout.decode()

    def find_window(self, title, timeout=30):
        """The program's window once it is mapped, focused."""
        def search():
            out = self.xdotool("search", "--onlyvisible", "--name", f"^{title}$",
                               check=False).split()
            return out[-1] if out else None
        win = self.until(f"a window titled {title!r}", search, timeout)
        self.xdotool("windowfocus", "--sync", win, check=False)
        return win

    def window_size(self, win):
        out = self.xdotool("getwindowgeometry", win)
        for line in out.splitlines():
            if "Geometry:" in line:
                w, h = line.split()[-1].split("x")
                return int(w), int(h)
        raise RuntimeError(out)

    def key(self, win, *keys):
        """Sends keys (xdotool names: space, Escape, Return, a, 1...)."""
        self.xdotool("windowfocus", win, check=False)
        for k in keys:
            self.xdotool("key", "--clearmodifiers", k)

    def type(self, win, text):
        self.xdotool("windowfocus", win, check=False)
        self.xdotool("type", "--delay", "20", text)

    def click(self, win, x, y, button=1):
        """A press and release at window pixel (x, y), y from the top."""
        self.xdotool("mousemove", "--window", win, x, y, "click", button)

    def move(self, win, x, y):
        self.xdotool("mousemove", "--window", win, x, y)

    def press(self, win, x, y, button=1):
        self.xdotool("mousemove", "--window", win, x, y, "mousedown", button)

    def release(self, win, x, y, button=1):
        self.xdotool("mousemove", "--window", win, x, y, "mouseup", button)

    def drag(self, win, points, button=1):
        """Press at the first point, move through the others, release at the last."""
        argv = ["mousemove", "--window", win, *points[0], "mousedown", button]
        for x, y in points[1:]:
            argv += ["sleep", "0.03", "mousemove", "--window", win, x, y]
        argv += ["sleep", "0.03", "mouseup", button]
        self.xdotool(*argv)

    def screenshot(self, win, name=None, raw=False):
        """The window's pixels ("root": the whole screen), through `view`
        unless raw; kept as <artifacts>/<name>.png when named."""
        where = ["-root"] if win == "root" else ["-id", str(win)]
        dump = subprocess.run(["xwd", "-silent", *where], env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30,
                              check=True).stdout
        img = Image(parse_xwd(dump))
        if self.view and win != "root" and not raw:
            img = self.view(img)
        self.last = img
        if name:
            self.keep(img, name)
        return img

    def keep(self, img, name):
        img.save(os.path.join(self.artifacts, name + ".png"))
        return img
