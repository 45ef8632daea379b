#!/usr/bin/env python3
"""Frame times around music track changes: runs the game under its own Xvfb
on the sound-device stand-in (libdevdsp.so) with every track cut to about a
second, so that paused play changes track about once a second, and prints
the play frames' intervals from SQUEAKLING_FRAME_LOG: over the whole run and
for the frames drawn while a new decoder started.

    python3 bench/track_change_frames.py --bin build/bin --data build/data [--seconds 20]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402

TRACKS = ("hamster.mp3", "bumblebee.mp3", "valk.mp3", "billtell.mp3")
TRACK_BYTES = 20000  # about 1.2 s of each track: MP3 frames stand alone
AFTER = 0.15         # seconds after a decoder's start that count as near it
TICK = os.sysconf("SC_CLK_TCK")


def decoders_of(pid):
    """{child pid: its start, wall-clock seconds (to 1/TICK)}. Polled
    rarely, so the scan takes little from the game it measures."""
    with open("/proc/uptime") as f:
        boot = time.time() - float(f.read().split()[0])
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        if int(fields[1]) == pid:
            found[int(entry)] = boot + int(fields[19]) / TICK
    return found


def run(bin_dir, data, seconds):
    work = tempfile.mkdtemp(prefix="sq-track-bench-")
    try:
        copy = os.path.join(work, "data")
        shutil.copytree(data, copy)
        for name in TRACKS:
            path = os.path.join(copy, "sound", name)
            with open(path, "rb") as f:
                head = f.read(TRACK_BYTES)
            with open(path, "wb") as f:
                f.write(head)
        xvfb, display = harness.start_xvfb()
        log = os.path.join(work, "frames.log")
        env = dict(os.environ, DISPLAY=display, SQUEAKLING_FRAME_LOG=log,
                   LD_PRELOAD=os.path.join(bin_dir, "libdevdsp.so"),
                   SQ_DEVDSP_CAPTURE=os.path.join(work, "dsp.raw"),
                   PULSE_SERVER="unix:" + os.path.join(work, "none"))
        game = subprocess.Popen([os.path.join(bin_dir, "squeakling")], cwd=copy, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            return measure(game, env, log, seconds)
        finally:
            game.kill()
            game.wait()
            harness.stop(xvfb)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def xdotool(env, *argv):
    return subprocess.run(["xdotool", *map(str, argv)], env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout.decode()


def measure(game, env, log, seconds):
    win = None
    deadline = time.monotonic() + 30
    while not win and time.monotonic() < deadline:
        out = xdotool(env, "search", "--onlyvisible", "--name", "Squeakling").split()
        win = out[-1] if out else None
        time.sleep(0.2)
    if not win:
        raise RuntimeError("no game window")
    time.sleep(2)
    # The control panel, then Return to game: paused play at once, whose
    # step keeps the music going.
    for x, y in ((950, 25), (850, 335)):
        xdotool(env, "mousemove", "--window", win, x, y, "click", 1)
        time.sleep(1)
    seen = set(decoders_of(game.pid))
    starts = []
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for child, start in decoders_of(game.pid).items():
            if child not in seen:
                starts.append(start)
                seen.add(child)
        time.sleep(0.1)
    with open(log) as f:
        frames = [int(line) / 1e6 for line in f if line.strip()]
    return frames, starts


def report(frames, starts):
    frames = [t for t in frames if t >= starts[0] - 1] if starts else frames
    gaps = [(b - a) * 1000 for a, b in zip(frames, frames[1:])]
    ends = frames[1:]
    near = [g for g, t in zip(gaps, ends) if any(s <= t <= s + AFTER for s in starts)]
    print(f"track changes seen: {len(starts)}, play frames: {len(frames)}")
    if gaps:
        q = statistics.quantiles(gaps, n=100) if len(gaps) > 1 else gaps * 99
        print(f"all frames:      median {statistics.median(gaps):.1f} ms, "
              f"99th percentile {q[98]:.1f} ms, longest {max(gaps):.1f} ms")
    if near and gaps:
        print(f"near a change:   median {statistics.median(near):.1f} ms, "
              f"mean {statistics.mean(near):.1f} ms against {statistics.mean(gaps):.1f} ms "
              f"for all, longest {max(near):.1f} ms ({len(near)} frames)")


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--bin", required=True)
    p.add_argument("--data", required=True)
    p.add_argument("--seconds", type=float, default=20)
    a = p.parse_args()
    report(*run(os.path.abspath(a.bin), os.path.abspath(a.data), a.seconds))


if __name__ == "__main__":
    main()
