"""Sound from the real programs without an OSS device: the game through
ALSA's default output into a private PulseAudio server whose null sink is
recorded with parec (title music, the next track, silence once sound is
switched off, a server that goes away), and both programs starting and
running silent where there is neither a device nor a server."""
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from overlay_common import LEFT_X, RIGHT_X, PANEL_REGION, SOUND, RETURN, button_y  # noqa: E402

TITLE = "Dravel: Vimmo Squeakling"
SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pulse",
                      "private-server.sh")
SECOND = 44100 * 4  # bytes of 16-bit stereo


def decoded(path):
    """The track as the game's decoder delivers it."""
    return subprocess.run(["/usr/bin/mpg123", "-s", "-q", "-r", "44100", "--stereo", path],
                          stdout=subprocess.PIPE, check=True).stdout


def holds(recording, track, at):
    """True when 2048 bytes of the track from `at` arrived unchanged."""
    probe = track[at:at + 2048]
    i = recording.find(probe)
    while i >= 0 and i % 4:
        i = recording.find(probe, i + 1)
    return i >= 0


class Sound(unittest.TestCase):
    def setUp(self):
        self.s = harness.Session(harness.ARGS).__enter__()
        self.dir = tempfile.mkdtemp(prefix="sq-pulse-", dir=self.s.workdir)
        self.server = subprocess.Popen(["bash", SERVER, self.dir], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        self.env = {"PULSE_SERVER": "unix:" + os.path.join(self.dir, "native")}
        self.assertTrue(self.s.wait_for(lambda: os.path.exists(os.path.join(self.dir, "native"))))
        self.recording = os.path.join(self.dir, "rec.raw")
        with open(self.recording, "wb") as out:
            self.parec = subprocess.Popen(
                ["parec", "--device=test.monitor", "--format=s16le", "--rate=44100",
                 "--channels=2", "--raw", "--latency-msec=20"],
                stdout=out, env=dict(os.environ, **self.env))
        time.sleep(0.5)

    def tearDown(self):
        for p in (self.parec, self.server):
            if p.poll() is None:
                p.send_signal(signal.SIGINT)
                p.wait(10)
        self.s.__exit__(None, None, None)

    def recorded(self):
        with open(self.recording, "rb") as f:
            return f.read()

    def click(self, win, x, y, pause=0.5):
        self.s.click(win, x, y, delay=pause)

    def test_the_game_plays_into_the_server_and_falls_silent(self):
        game = self.s.start("squeakling", env=self.env)
        win = self.s.find_window(TITLE)
        time.sleep(7)  # the title music; a new stream's start is slow on the null sink
        self.s.key(win, "Return")  # the first track of the cycle replaces it
        time.sleep(4)
        self.click(win, *PANEL_REGION, pause=0.8)
        self.click(win, LEFT_X, button_y(SOUND))
        self.click(win, RIGHT_X, button_y(RETURN), pause=1.0)
        self.s.key(win, "space")  # play on, so the step's upkeep stops the music
        time.sleep(1.5)
        quiet_from = len(self.recorded())
        time.sleep(2)
        self.parec.send_signal(signal.SIGINT)
        self.parec.wait(10)
        rec = self.recorded()

        self.assertNotIn("Cannot intialize audio", game.stdout())
        data = os.path.join(self.s.data, "sound")
        self.assertTrue(holds(rec[:quiet_from], decoded(os.path.join(data, "hamster.mp3")),
                              SECOND), "the title music reached the server")
        self.assertTrue(holds(rec[:quiet_from], decoded(os.path.join(data, "bumblebee.mp3")),
                              SECOND), "the first track of the cycle reached the server")
        quiet = rec[quiet_from:]
        self.assertGreater(len(quiet), SECOND)
        self.assertEqual(quiet.count(0), len(quiet), "silence once sound is off")

        # The server goes away: the game plays on silent and quits at once.
        self.server.send_signal(signal.SIGKILL)
        self.server.wait(10)
        time.sleep(1.5)
        self.assertTrue(game.alive(), game.stderr())
        self.assertIn("gaudio: ALSA output lost", game.stderr())
        self.click(win, 750, 20)  # the title bar's quit region
        self.assertEqual(game.wait(30), 0)

    def test_without_device_and_server_both_programs_run_silent(self):
        no_output = not os.path.exists("/dev/dsp") and not os.path.exists("/proc/asound/card0")
        env = {"PULSE_SERVER": "unix:" + os.path.join(self.dir, "none")}
        for program, title in (("squeakling", TITLE), ("gridcraft", "Dravel GLUT example")):
            proc = self.s.start(program, env=env)
            win = self.s.find_window(title)
            time.sleep(2)
            self.assertTrue(proc.alive(), proc.stderr())
            self.s.xdotool("windowkill", win)
            self.assertIsNotNone(proc.wait(30), f"{program} did not end with its window")
            if no_output:  # the output is read once the program has ended
                self.assertIn("Cannot intialize audio", proc.stdout())
                self.assertIn("gaudio: cannot open ALSA output", proc.stderr())


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
