"""Renders the play frame with scene_shot in every view, at every shadow
setting, with the mirror on and off, by the display-list path and the plain
immediate-mode path, and compares each picture pixel for pixel with the
reference pictures kept beside this script (PPM files in one xz-compressed
tar, where the many near-alike pictures compress well together). The plain
path must give the reference exactly; the display-list path, which culls the
obstacles' back faces, may differ in a few pixels where depth ties at block
edges decide (at most LIST_TOLERANCE of each picture), and an image of
where it differs is kept among the artefacts.

    reference_pictures.py --bin BIN --data DATA [--update] [--artifacts DIR]

--update renders the references anew from the plain path. The end-to-end
suite runs the comparison (tests/e2e/test_reference_pictures.py)."""
import argparse
import lzma
import os
import subprocess
import sys
import tarfile
import tempfile

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCE = os.path.join(HERE, "reference_pictures.tar.xz")
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import harness  # noqa: E402

# A ring of walls with two gaps, obstacles alone and in runs, a wall code
# inside the ring (drawn by nothing), the mouse start, cheese and a fruit.
def level_rows():
    g = [["1" if i in (0, 29) or j in (0, 29) else "0" for j in range(30)] for i in range(30)]
    for x, y in [(10, 10), (10, 11), (11, 10), (5, 22), (22, 22), (23, 22), (17, 3)] + \
            [(20, y) for y in range(4, 9)] + [(x, 26) for x in range(8, 14)]:
        g[x][y] = "2"
    g[0][12] = g[29][20] = g[18][0] = "0"
    g[7][7] = "1"
    g[15][15] = "3"
    return ["".join(r) for r in g] + ["endLevel"]


# (name, settings): each pose is drawn at every shadow and mirror setting.
POSES = [
    ("first_person", ["view=0", "mouse=14,15", "orient=30"]),
    ("chase", ["view=1", "mouse=14,15", "orient=30"]),
    ("chase_corner", ["view=1", "mouse=4,25", "orient=300"]),
    ("overhead", ["view=2", "mouse=14,15", "orient=30"]),
]
SHADOWS = [(0, 0), (1, 1), (2, 2), (6, 3)]  # (shadows shown, shadowsOn setting)
BASE = ["cat=1", "catpos=17,12", "catorient=200", "cheese=25,14", "bonus=13,17", "spin=37",
        "since=10"]


def pictures():
    """(name, settings) of every reference picture, play frames then interludes."""
    out = []
    for pose, settings in POSES:
        for shown, setting in SHADOWS:
            for mirror in (0, 1):
                out.append((f"{pose}_s{shown}_m{mirror}",
                            settings + [f"shadows={setting}", f"mirror={mirror}"]))
    for shown, setting in SHADOWS[2:]:
        out.append((f"interlude_s{shown}_m1",
                    ["view=1", f"shadows={setting}", "mirror=1", "since=2"]))
    return out


def render(args, work, plain_values):
    level = os.path.join(work, "level.txt")
    with open(level, "w") as f:
        f.write("\n".join(level_rows()) + "\n")
    # A first frame takes over the start cell, so later poses stay put.
    cmds = BASE + ["frame=" + os.path.join(work, "first.ppm")]
    names = []
    for name, settings in pictures():
        for plain in plain_values:
            out = os.path.join(work, f"{name}_p{plain}.ppm")
            # Two frames: the second starts from the state the first left
            # (spot axes, blend function), as every frame of play does.
            cmds += settings + [f"plain={plain}", "frame=" + out, "frame=" + out]
            names.append((name, plain, out))
    with tempfile.TemporaryFile() as log:
        rc = subprocess.run([os.path.join(args.bin, "scene_shot"), level] + cmds, cwd=args.data,
                            env=args.env, stderr=log, timeout=900).returncode
        if rc != 0:
            log.seek(0)
            sys.exit(f"scene_shot failed ({rc}): {log.read().decode(errors='replace')}")
    return names


def ppm_pixels(data):
    parts = data.split(maxsplit=4)
    return int(parts[1]), int(parts[2]), parts[4]


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


LIST_TOLERANCE = 0.0005  # of a picture's pixels: 360 of 1200 x 600


def difference_mask(a, b, size):
    """Where two RGB byte strings of the same picture size differ, as a
    height x width array of booleans."""
    x = np.frombuffer(a, dtype=np.uint8).reshape(size[1], size[0], 3)
    y = np.frombuffer(b, dtype=np.uint8).reshape(size[1], size[0], 3)
    return (x != y).any(axis=2)


def save_difference(mask, reference, path):
    """The reference dimmed, the differing pixels in red over it."""
    img = (np.frombuffer(reference, dtype=np.uint8).reshape(*mask.shape, 3) // 3).copy()
    img[mask] = (255, 0, 0)
    harness.Image(img).save(path)


def environment(display, home):
    """The renderer's environment; home holds the player's files."""
    env = dict(os.environ, DISPLAY=display, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"))
    env.pop("XAUTHORITY", None)
    env.pop("SQUEAKLING_PLAIN_SCENE", None)
    return env


def compare(bin_dir, data, display, artifacts=None):
    """Renders every picture by both paths; the renders that differ from
    their reference, described."""
    args = argparse.Namespace(bin=os.path.abspath(bin_dir), data=os.path.abspath(data))
    failures = []
    with tempfile.TemporaryDirectory(prefix="sq-reference-") as work:
        args.env = environment(display, work)
        with tarfile.open(REFERENCE, "r:xz") as tar:
            refs = {m.name[:-4]: ppm_pixels(tar.extractfile(m).read())
                    for m in tar.getmembers()}
        for name, plain, ppm in render(args, work, [0, 1]):
            got, ref = ppm_pixels(read_file(ppm)), refs.get(name)
            path = "plain" if plain else "lists"
            if ref is None:
                failures.append(f"{name}: no reference picture")
            elif got[:2] != ref[:2]:
                failures.append(f"{name} ({path}): size {got[:2]}, reference {ref[:2]}")
            elif got[2] != ref[2]:
                mask = difference_mask(got[2], ref[2], got[:2])
                n = int(mask.sum())
                allowed = 0 if plain else int(LIST_TOLERANCE * mask.size)
                if n > allowed:
                    failures.append(f"{name} ({path}): {n} pixels differ from the reference"
                                    f" (at most {allowed} may)")
                if artifacts:
                    save_difference(mask, ref[2], os.path.join(
                        artifacts, f"reference_{name}_{path}_differs.png"))
                    if n > allowed:
                        harness.read_image(ppm).save(
                            os.path.join(artifacts, f"reference_{name}_{path}.png"))
    return failures


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--bin", required=True)
    p.add_argument("--data", required=True)
    p.add_argument("--artifacts")
    p.add_argument("--update", action="store_true")
    args = p.parse_args()
    args.bin, args.data = os.path.abspath(args.bin), os.path.abspath(args.data)
    xvfb, display = harness.start_xvfb()
    try:
        if args.update:
            with tempfile.TemporaryDirectory(prefix="sq-reference-") as work:
                args.env = environment(display, work)
                with tarfile.open(REFERENCE, "w:xz", preset=9 | lzma.PRESET_EXTREME) as tar:
                    for name, _, ppm in render(args, work, [1]):
                        tar.add(ppm, arcname=name + ".ppm")
            print(f"wrote {len(pictures())} reference pictures to {REFERENCE}")
            return 0
        failures = compare(args.bin, args.data, display, args.artifacts)
    finally:
        harness.stop(xvfb)
    for f in failures:
        print("FAIL", f)
    print(f"{len(pictures())} reference pictures, {len(failures)} renders differ")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
