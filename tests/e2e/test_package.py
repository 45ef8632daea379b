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
import tempfile

import pytest

import editor_common as editor
import scene_view
from harness import GAME_TITLE
from overlay_common import (CAT, LEFT_X, PANEL_REGION, RETURN, RIGHT_X, VIEW, button_y,
                            pause_message)
LEVELS = "mine.txt"
START, OBSTACLE = (10, 15), (14, 13)   # the cells the editor changes


def run(*argv, **kw):
    return subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=600, **kw)


@pytest.fixture(scope="module")
def deb(options):
    """The package built by CPack from the build tree (or the one built
    already in the --deb folder) and a scratch folder to unpack it in."""
    tmp = tempfile.mkdtemp(prefix="sq-package-")
    try:
        where = options["deb"]
        if where is None:
            where = tmp
            r = run("cpack", "-G", "DEB", "-B", tmp, cwd=os.path.dirname(options["bin"]))
            if r.returncode != 0:
                raise RuntimeError(f"cpack failed:\n{r.stdout}")
        debs = glob.glob(os.path.join(where, "squeakling_*.deb"))
        if len(debs) != 1:
            raise RuntimeError(f"not one package in {where}: {debs}")
        yield tmp, debs[0]
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


@pytest.mark.cost(9)
def test_lintian_finds_no_errors_and_the_menu_entries_are_valid(deb):
    tmp, package = deb
    r = run("lintian", "--tag-display-limit", "0", package)
    errors = [line for line in r.stdout.splitlines() if line.startswith("E:")]
    assert errors == [], r.stdout
    stage = os.path.join(tmp, "lint")
    run("dpkg-deb", "-x", package, stage).check_returncode()
    entries = glob.glob(os.path.join(stage, "usr/share/applications/*.desktop"))
    assert sorted(map(os.path.basename, entries)) == ["gridcraft.desktop", "squeakling.desktop"]
    r = run("desktop-file-validate", *entries)
    assert (r.returncode, r.stdout) == (0, "")
    for prog in ("squeakling", "gridcraft"):
        for path in (f"usr/games/{prog}", f"usr/share/man/man6/{prog}.6.gz",
                     f"usr/share/icons/hicolor/48x48/apps/{prog}.png"):
            assert os.path.isfile(os.path.join(stage, path)), path


@pytest.mark.cost(6)
def test_the_staged_install_plays_from_an_empty_folder(deb, session, options):
    tmp, package = deb
    stage = os.path.join(tmp, "stage")
    run("dpkg-deb", "-x", package, stage).check_returncode()
    play(session, options, os.path.join(stage, "usr/games"), "staged")


@pytest.mark.skipif(not (os.geteuid() == 0 and os.environ.get("CI") == "true"),
                    reason="installs into the system: only as root in CI")
def test_dpkg_installs_and_removes_the_package_cleanly(deb, session, options):
    if run("dpkg-query", "-W", "squeakling").returncode == 0:
        pytest.skip("a squeakling package is installed already; left alone")
    run("dpkg", "-i", deb[1]).check_returncode()
    try:
        files = [f for f in run("dpkg", "-L", "squeakling").stdout.splitlines()
                 if os.path.isfile(f)]
        assert "/usr/games/squeakling" in files
        play(session, options, "/usr/games", "installed")
    finally:
        r = run("dpkg", "--remove", "squeakling")
    assert r.returncode == 0, r.stdout
    # Removed, not merely deconfigured: the package has no files left.
    assert run("dpkg-query", "-W", "squeakling").returncode != 0
    assert [f for f in files if os.path.lexists(f)] == []
    assert not os.path.exists("/usr/share/squeakling")


# ---- playing the installed programs

def play(s, options, games, name):
    here = os.path.join(s.workdir, "empty")
    os.mkdir(here)
    want = edit_and_save(s, os.path.join(games, "gridcraft"), here, name)
    assert sorted(os.listdir(here)) == [LEVELS], "the editor wrote elsewhere"

    got = game_shots(s, os.path.join(games, "squeakling"), here, f"{name}_game")
    shutil.copy(os.path.join(here, LEVELS), s.data)
    ref = game_shots(s, os.path.join(options["bin"], "squeakling"), s.data, f"{name}_reference")
    # The same scoreboard, maze, models and textures: only the cheese,
    # placed at random, differs.
    size = got[0].width * got[0].height
    assert got[0].differs(ref[0], tolerance=40) < 0.01 * size, \
        f"{name}: the play screen differs from the build tree's"
    assert got[1].differs(ref[1], tolerance=24) < 0.01 * size, \
        f"{name}: the control panel differs from the build tree's"
    # The level the editor saved: its one obstacle seen from above.
    r, g, b = got[0].pixel(*scene_view.view(s, 2).pixel((*OBSTACLE, 0.5)))
    assert r > 150 and g < 60 and b < 60, f"{name}: no obstacle: {(r, g, b)}"
    with open(os.path.join(here, LEVELS), "rb") as f:
        assert f.read() == want


def edit_and_save(s, exe, here, name):
    """A new level with the mouse's start moved into the camera's sight and
    one obstacle, saved as LEVELS; the saved bytes."""
    ed = s.start(exe, cwd=here)
    win = s.find_window(editor.TITLE)
    editor.wait_first_frame(s, win, f"{name}_editor")
    grid = editor.new_level()
    s.click(win, *editor.cell_pixel(*START))
    s.key(win, "v")
    grid[2][2], grid[START[0]][START[1]] = 0, 3
    for _ in range(2):  # the first click selects the cell, the second paints it
        s.click(win, *editor.cell_pixel(*OBSTACLE))
    grid[OBSTACLE[0]][OBSTACLE[1]] = 2
    s.key(win, "a")
    s.type(win, LEVELS)
    s.key(win, "Return")
    want = editor.block(grid)
    path = os.path.join(here, LEVELS)

    def saved():
        if not os.path.exists(path):
            return False
        with open(path, "rb") as f:
            return f.read() == want
    s.until(f"{name}: the editor to save {path}", saved, 10)
    s.key(win, "Escape", "Escape")  # the set itself was not saved: asked once
    assert s.exits(ed, 10) == 0
    assert "cannot find" not in ed.stderr()
    return want


def panel_title(img):
    """The panel's yellow title shows."""
    p = img.box(560, 60, 640, 70)
    return bool(((p[:, :, 0] > 200) & (p[:, :, 1] > 150) & (p[:, :, 2] < 100)).any())


def game_shots(s, exe, here, name):
    """The game on LEVELS: its control panel, then its play screen seen from
    overhead with the cat off, paused, so that only the cheese is placed at
    random. The panel is opened from the start screen, so the play screen
    shows at once, without the interlude of a started game."""
    # Each game starts from the start values, not from the settings the
    # game before it saved.
    shutil.rmtree(s.config_home, ignore_errors=True)
    game = s.start(exe, LEVELS, cwd=here)
    win = s.find_window(GAME_TITLE)
    s.shot_until(win, "the first frame", lambda img: img.a.any())
    s.click(win, *PANEL_REGION)                # open the control panel
    panel = s.settled(win, f"{name}: the panel", panel_title, name=f"{name}_panel")
    s.click(win, LEFT_X, button_y(VIEW))       # view: overhead
    s.click(win, LEFT_X, button_y(CAT))        # cat: off
    s.click(win, RIGHT_X, button_y(RETURN))    # return to the game, paused
    play = s.settled(win, f"{name}: paused play", pause_message, name=f"{name}_play")
    assert game.alive(), game.stderr()
    assert "cannot find" not in game.stderr()
    game.kill()
    return play, panel
