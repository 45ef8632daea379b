"""The Debian package as a player gets it: built with CPack, checked by
lintian, unpacked into a staging root and played from an empty folder. The
installed programs must find their assets in the installed data folder, the
editor must save into the folder it was started from, and the game must load
what the editor saved and show the same play screen and control panel as the
game of the build tree. As root in CI the package is also installed with
dpkg, played the same way, and removed without a trace."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import scene_view  # noqa: E402
import test_editor as editor  # noqa: E402

GAME_TITLE = "Dravel: Vimmo Squeakling"
LEVELS = "mine.txt"
START, OBSTACLE = (10, 15), (14, 13)   # the cells the editor changes


def run(*argv, **kw):
    return subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=600, **kw)


def start(session, exe, *argv, cwd):
    """Starts exe in cwd on the session's display, as harness.Session.start
    starts a program of the build tree in the asset folder."""
    n = len(session.procs)
    out = os.path.join(session.workdir, f"pkg-{n}.out")
    err = os.path.join(session.workdir, f"pkg-{n}.err")
    with open(out, "wb") as fout, open(err, "wb") as ferr:
        popen = subprocess.Popen([exe, *argv], cwd=cwd, env=session.env, stdout=fout,
                                 stderr=ferr)
    proc = harness.Process(popen, out, err)
    session.procs.append(proc)
    return proc


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="sq-package-")
        build = os.path.dirname(os.path.abspath(harness.ARGS.bin))
        r = run("cpack", "-G", "DEB", "-B", cls.tmp, cwd=build)
        debs = glob.glob(os.path.join(cls.tmp, "squeakling_*.deb"))
        if r.returncode != 0 or len(debs) != 1:
            shutil.rmtree(cls.tmp, ignore_errors=True)
            raise RuntimeError(f"cpack failed:\n{r.stdout}")
        cls.deb = debs[0]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_lintian_finds_no_errors_and_the_menu_entries_are_valid(self):
        r = run("lintian", "--tag-display-limit", "0", self.deb)
        errors = [line for line in r.stdout.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [], r.stdout)
        stage = os.path.join(self.tmp, "lint")
        run("dpkg-deb", "-x", self.deb, stage).check_returncode()
        entries = glob.glob(os.path.join(stage, "usr/share/applications/*.desktop"))
        self.assertEqual(sorted(map(os.path.basename, entries)),
                         ["gridcraft.desktop", "squeakling.desktop"])
        r = run("desktop-file-validate", *entries)
        self.assertEqual((r.returncode, r.stdout), (0, ""))
        for prog in ("squeakling", "gridcraft"):
            for path in (f"usr/games/{prog}", f"usr/share/man/man6/{prog}.6.gz",
                         f"usr/share/icons/hicolor/48x48/apps/{prog}.png"):
                self.assertTrue(os.path.isfile(os.path.join(stage, path)), path)

    def test_the_staged_install_plays_from_an_empty_folder(self):
        stage = os.path.join(self.tmp, "stage")
        run("dpkg-deb", "-x", self.deb, stage).check_returncode()
        self.play(os.path.join(stage, "usr/games"), "staged")

    @unittest.skipUnless(os.geteuid() == 0 and os.environ.get("CI") == "true",
                         "installs into the system: only as root in CI")
    def test_dpkg_installs_and_removes_the_package_cleanly(self):
        if run("dpkg-query", "-W", "squeakling").returncode == 0:
            self.skipTest("a squeakling package is installed already; left alone")
        run("dpkg", "-i", self.deb).check_returncode()
        try:
            files = [f for f in run("dpkg", "-L", "squeakling").stdout.splitlines()
                     if os.path.isfile(f)]
            self.assertIn("/usr/games/squeakling", files)
            self.play("/usr/games", "installed")
        finally:
            r = run("dpkg", "--remove", "squeakling")
        self.assertEqual(r.returncode, 0, r.stdout)
        # Removed, not merely deconfigured: the package has no files left.
        self.assertNotEqual(run("dpkg-query", "-W", "squeakling").returncode, 0)
        self.assertEqual([f for f in files if os.path.lexists(f)], [])
        self.assertFalse(os.path.exists("/usr/share/squeakling"))

    # ---- playing the installed programs

    def play(self, games, name):
        with harness.Session(harness.ARGS) as s:
            here = os.path.join(s.workdir, "empty")
            os.mkdir(here)
            want = self.edit_and_save(s, os.path.join(games, "gridcraft"), here, name)
            self.assertEqual(sorted(os.listdir(here)), [LEVELS], "the editor wrote elsewhere")

            got = self.game_shots(s, os.path.join(games, "squeakling"), here, f"{name}_game")
            shutil.copy(os.path.join(here, LEVELS), s.data)
            ref = self.game_shots(s, os.path.abspath(os.path.join(harness.ARGS.bin, "squeakling")), s.data,
                                  f"{name}_reference")
            # The same scoreboard, maze, models and textures: only the cheese,
            # placed at random, differs.
            size = got[0].width * got[0].height
            self.assertLess(got[0].differs(ref[0], tolerance=40), 0.01 * size,
                            f"{name}: the play screen differs from the build tree's")
            self.assertLess(got[1].differs(ref[1], tolerance=24), 0.01 * size,
                            f"{name}: the control panel differs from the build tree's")
            # The level the editor saved: its one obstacle seen from above.
            r, g, b = got[0].pixel(*scene_view.View(2).pixel((*OBSTACLE, 0.5)))
            self.assertTrue(r > 150 and g < 60 and b < 60, f"{name}: no obstacle: {(r, g, b)}")
            with open(os.path.join(here, LEVELS), "rb") as f:
                self.assertEqual(f.read(), want)

    def edit_and_save(self, s, exe, here, name):
        """A new level with the mouse's start moved into the camera's sight
        and one obstacle, saved as LEVELS; the saved bytes."""
        ed = start(s, exe, cwd=here)
        win = s.find_window(editor.TITLE)
        s.xdotool("mousemove", "--window", win, 600, 300)
        self.assertTrue(s.wait_for(lambda: editor.near(
            s.screenshot(win, f"{name}_editor").pixel(380, 300), editor.WALL, 10), 30),
            "the editor never showed its top view")
        grid = editor.new_level()
        s.click(win, *editor.cell_pixel(*START), delay=0.2)
        s.key(win, "v", delay=0.1)
        grid[2][2], grid[START[0]][START[1]] = 0, 3
        for _ in range(2):  # the first click selects the cell, the second paints it
            s.click(win, *editor.cell_pixel(*OBSTACLE), delay=0.2)
        grid[OBSTACLE[0]][OBSTACLE[1]] = 2
        s.key(win, "a", delay=0.1)
        s.type(win, LEVELS)
        s.key(win, "Return")
        want = editor.block(grid)
        path = os.path.join(here, LEVELS)

        def saved():
            if not os.path.exists(path):
                return False
            with open(path, "rb") as f:
                return f.read() == want
        self.assertTrue(s.wait_for(saved, 10), f"{name}: the editor did not save {path}")
        s.key(win, "Escape")
        self.assertEqual(ed.wait(10), 0)
        self.assertNotIn("cannot find", ed.stderr())
        return want

    def game_shots(self, s, exe, here, name):
        """The game on LEVELS: its control panel, then its play screen seen
        from overhead with the cat off, paused, so that only the cheese is
        placed at random."""
        game = start(s, exe, LEVELS, cwd=here)
        win = s.find_window(GAME_TITLE)
        time.sleep(0.5)
        s.click(win, 850, 10)                      # start a game
        s.click(win, 950, 25)                      # open the control panel
        panel = self.shot_until(s, win, f"{name}_panel", lambda img: any(
            r > 200 and g > 150 and b < 100 for r, g, b in img.region(560, 60, 640, 70)))
        s.click(win, 370, 175)                     # view: overhead
        s.click(win, 370, 415)                     # cat: off
        s.click(win, 850, 335)                     # return to the game, paused
        play = self.shot_until(s, win, f"{name}_play", lambda img: sum(
            1 for p in img.region(395, 48, 830, 76) if min(p) >= 250) > 150)
        self.assertTrue(game.alive(), game.stderr())
        self.assertNotIn("cannot find", game.stderr())
        game.kill()
        return play, panel

    def shot_until(self, s, win, name, ready, timeout=30):
        """Screenshots until ready(image) holds, then one more once the
        frame has had time to settle."""
        self.assertTrue(s.wait_for(lambda: ready(s.screenshot(win, name)), timeout, 0.3),
                        f"{name}: the window never got there")
        time.sleep(0.5)
        return s.screenshot(win, name)


if __name__ == "__main__":
    harness.run_unittests(harness.main_args())
