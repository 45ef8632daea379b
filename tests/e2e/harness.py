"""Drives the real programs as a player would: a private Xvfb display,
the program started from a copy of the asset folder, keys and clicks sent
with xdotool, screenshots read back as pixels.

Typical use:

    from harness import Session, main_args
    args = main_args()
    with Session(args) as s:
        game = s.start("squeakling")
        win = s.find_window("Dravel: Vimmo Squeakling")
        s.key(win, "space"); s.click(win, 850, 10)
        img = s.screenshot(win, "start_screen")
        r, g, b = img.pixel(100, 100)
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest


def main_args(argv=None):
    p = argparse.ArgumentParser()
    p.add_argument("--bin", required=True)
    p.add_argument("--data", required=True)
    p.add_argument("--artifacts", required=True)
    args, rest = p.parse_known_args(argv)
    args.rest = rest
    return args


def run_unittests(args):
    """Runs the unittest cases of the calling module with the harness args."""
    global ARGS
    ARGS = args
    os.makedirs(args.artifacts, exist_ok=True)
    prog = unittest.main(module="__main__", argv=[sys.argv[0]] + args.rest, exit=False,
                         verbosity=2)
    sys.exit(0 if prog.result.wasSuccessful() else 1)


ARGS = None


class Image:
    """An RGB screenshot; pixel(x, y) counts y from the top, like the window."""

    def __init__(self, width, height, data, path):
        self.width, self.height, self.data, self.path = width, height, data, path

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region(self, x0, y0, x1, y1):
        """Every pixel of the rectangle [x0, x1) x [y0, y1)."""
        return [self.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]

    def mean(self, x0, y0, x1, y1):
        px = self.region(x0, y0, x1, y1)
        n = max(1, len(px))
        return tuple(sum(p[c] for p in px) / n for c in range(3))

    def differs(self, other, tolerance=0):
        """Number of pixels whose channels differ by more than tolerance."""
        count = 0
        for i in range(0, min(len(self.data), len(other.data)), 3):
            if any(abs(self.data[i + c] - other.data[i + c]) > tolerance for c in range(3)):
                count += 1
        return count


def read_ppm(path_png):
    out = subprocess.run(["/usr/bin/convert", path_png, "-depth", "8", "ppm:-"],
                         check=True, stdout=subprocess.PIPE).stdout
    # P6\n<w> <h>\n<max>\n<data>
    parts = out.split(maxsplit=4)
    w, h = int(parts[1]), int(parts[2])
    return Image(w, h, parts[4][:w * h * 3], path_png)


class Process:
    def __init__(self, popen, out_path, err_path):
        self.popen, self.out_path, self.err_path = popen, out_path, err_path

    def alive(self):
        return self.popen.poll() is None

    def wait(self, timeout=10):
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
    """A private X display and a scratch copy of the asset folder."""

    def __init__(self, args, screen="1600x1000x24"):
        self.args, self.screen = args, screen
        self.procs = []
        self.xvfb = None

    def __enter__(self):
        self.display = self._start_xvfb()
        self.workdir = tempfile.mkdtemp(prefix="sq-e2e-")
        self.data = os.path.join(self.workdir, "data")
        shutil.copytree(self.args.data, self.data, symlinks=True)
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("XAUTHORITY", None)
        # No sound server unless a test starts its own: ALSA's default output
        # then finds none, as on a machine without one.
        self.env["PULSE_SERVER"] = "unix:" + os.path.join(self.workdir, "no-server")
        return self

    def __exit__(self, *exc):
        for p in self.procs:
            p.kill()
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def _start_xvfb(self):
        for n in range(90, 400):
            if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
                continue
            self.xvfb = subprocess.Popen(
                ["Xvfb", f":{n}", "-screen", "0", self.screen, "-nolisten", "tcp", "+extension",
                 "GLX", "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    return f":{n}"
                if self.xvfb.poll() is not None:
                    break
                time.sleep(0.05)
            if self.xvfb.poll() is None:
                self.xvfb.kill()
        raise RuntimeError("no free X display")

    def start(self, program, *argv, env=None):
        """Starts build/bin/<program> in the scratch asset folder."""
        n = len(self.procs)
        out = os.path.join(self.workdir, f"{program}-{n}.out")
        err = os.path.join(self.workdir, f"{program}-{n}.err")
        e = dict(self.env)
        e.update(env or {})
        with open(out, "wb") as fout, open(err, "wb") as ferr:
            popen = subprocess.Popen([os.path.join(self.args.bin, program), *argv],
                                     cwd=self.data, env=e, stdout=fout, stderr=ferr)
        proc = Process(popen, out, err)
        self.procs.append(proc)
        return proc

    def xdotool(self, *argv, check=True):
        r = subprocess.run(["xdotool", *map(str, argv)], env=self.env, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError(f"xdotool {argv}: {r.stderr.decode()}")
        return r.stdout.decode()

    def find_window(self, title, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            out = self.xdotool("search", "--name", f"^{title}$", check=False).split()
            if out:
                win = out[-1]
                self.xdotool("windowfocus", "--sync", win, check=False)
                time.sleep(0.5)
                return win
            time.sleep(0.2)
        raise RuntimeError(f"no window titled {title!r}")

    def window_size(self, win):
        out = self.xdotool("getwindowgeometry", win)
        for line in out.splitlines():
            if "Geometry:" in line:
                w, h = line.split()[-1].split("x")
                return int(w), int(h)
        raise RuntimeError(out)

    def key(self, win, *keys, delay=0.15):
        """Sends keys (xdotool names: space, Escape, Return, a, 1...)."""
        self.xdotool("windowfocus", win, check=False)
        for k in keys:
            self.xdotool("key", "--clearmodifiers", k)
            time.sleep(delay)

    def type(self, win, text, delay=0.15):
        self.xdotool("windowfocus", win, check=False)
        self.xdotool("type", "--delay", "50", text)
        time.sleep(delay)

    def click(self, win, x, y, button=1, delay=0.3):
        """A press and release at window pixel (x, y), y from the top."""
        self.xdotool("mousemove", "--window", win, x, y)
        time.sleep(0.05)
        self.xdotool("click", button)
        time.sleep(delay)

    def press(self, win, x, y, button=1):
        self.xdotool("mousemove", "--window", win, x, y)
        self.xdotool("mousedown", button)

    def release(self, win, x, y, button=1):
        self.xdotool("mousemove", "--window", win, x, y)
        self.xdotool("mouseup", button)

    def screenshot(self, win, name):
        """Saves <artifacts>/<name>.png of the window and returns its pixels."""
        os.makedirs(self.args.artifacts, exist_ok=True)
        path = os.path.join(self.args.artifacts, name + ".png")
        subprocess.run(["import", "-display", self.display, "-window", win, path], check=True,
                       env=self.env, timeout=30)
        return read_ppm(path)

    def wait_for(self, predicate, timeout=10, step=0.1):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if predicate():
                return True
            time.sleep(step)
        return False
