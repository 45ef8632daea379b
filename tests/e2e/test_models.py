#!/usr/bin/env python3
"""Draws the five shipped models with the model library's own drawing code
on a virtual display and keeps the pictures as PNG files in the artefacts
folder: runs the window part of glm_draw_test under Xvfb, which draws the
models as the game places them and checks that they cover the picture."""
import argparse
import os
import subprocess
import sys
import time


def free_display():
    for number in range(140, 240):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and \
                not os.path.exists("/tmp/.X%d-lock" % number):
            return number
    raise SystemExit("no free X display")


def start_xvfb():
    number = free_display()
    xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.exists("/tmp/.X11-unix/X%d" % number):
            return xvfb, ":%d" % number
        if xvfb.poll() is not None:
            break
        time.sleep(0.05)
    xvfb.kill()
    raise SystemExit("Xvfb did not start")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    test = os.path.join(args.bin, "glm_draw_test")
    if not os.path.exists(test):
        raise SystemExit("missing %s" % test)

    xvfb, display = start_xvfb()
    try:
        env = dict(os.environ, DISPLAY=display, SQ_ARTIFACTS=os.path.abspath(args.artifacts))
        result = subprocess.run([test, "--gtest_filter=GlmDrawWindowTest.*"], env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                timeout=120)
    finally:
        xvfb.terminate()
        xvfb.wait()
    print(result.stdout)
    if result.returncode != 0 or "SKIPPED" in result.stdout:
        print("test_models: the window tests failed or were skipped")
        return 1

    failed = 0
    for name in ("model_mouse", "model_fruit", "model_cat", "model_materials"):
        ppm = os.path.join(args.artifacts, name + ".ppm")
        png = os.path.join(args.artifacts, name + ".png")
        if not os.path.exists(ppm):
            print("test_models: no picture %s" % ppm)
            failed += 1
            continue
        subprocess.run(["convert", ppm, png], check=True)
        os.remove(ppm)
        print("test_models: wrote %s" % png)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
