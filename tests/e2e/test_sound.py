"""Sound from the real programs without an OSS device: the game through
ALSA's default output into a private PulseAudio server whose null sink is
recorded with parec (title music, the next track, silence once sound is
switched off, a server that goes away), and both programs starting and
running silent where there is neither a device nor a server."""
import os
import signal
import subprocess
import tempfile

import pytest

from harness import EDITOR_TITLE, GAME_TITLE
from overlay_common import QUIT_REGION, RETURN, RIGHT_X, SOUND, Game, button_y, pause_message

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


@pytest.fixture
def pulse(session):
    """A private PulseAudio server with a null sink, recorded by parec."""
    p = type("Pulse", (), {})()
    p.dir = tempfile.mkdtemp(prefix="sq-pulse-", dir=session.workdir)
    p.server = subprocess.Popen(["bash", SERVER, p.dir], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    p.env = {"PULSE_SERVER": "unix:" + os.path.join(p.dir, "native")}
    session.until("the sound server's socket",
                  lambda: os.path.exists(os.path.join(p.dir, "native")), 20)
    p.recording = os.path.join(p.dir, "rec.raw")
    with open(p.recording, "wb") as out:
        p.parec = subprocess.Popen(
            ["parec", "--device=test.monitor", "--format=s16le", "--rate=44100",
             "--channels=2", "--raw", "--latency-msec=20"],
            stdout=out, env=dict(os.environ, **p.env))

    def recorded():
        with open(p.recording, "rb") as f:
            return f.read()
    p.recorded = recorded
    yield p
    for proc in (p.parec, p.server):
        if proc.poll() is None:
            proc.send_signal(signal.SIGINT)
            proc.wait(10)


@pytest.mark.cost(12)
def test_the_game_plays_into_the_server_and_falls_silent(session, pulse):
    s = session
    g = Game(s, env=pulse.env)
    data = os.path.join(s.data, "sound")
    hamster = decoded(os.path.join(data, "hamster.mp3"))
    bumblebee = decoded(os.path.join(data, "bumblebee.mp3"))
    # The title music; a new stream's start is slow on the null sink.
    s.until("the title music in the recording",
            lambda: holds(pulse.recorded(), hamster, SECOND), 60, step=0.5)
    g.key("Return")  # the first track of the cycle replaces it
    g.wait_play()
    s.until("the first track of the cycle in the recording",
            lambda: holds(pulse.recorded(), bumblebee, SECOND), 60, step=0.5)
    g.open_panel()
    g.press_left(SOUND)
    g.click(RIGHT_X, button_y(RETURN))
    g.until("paused play", pause_message)
    g.space()  # play on, so the step's upkeep stops the music

    def silent_tail():
        rec = pulse.recorded()
        return len(rec) if len(rec) > SECOND and rec[-SECOND // 4:].count(0) == SECOND // 4 \
            else 0
    quiet_from = s.until("silence in the recording", silent_tail, 30, step=0.2)
    s.until("two more seconds recorded", lambda: len(pulse.recorded()) > quiet_from + 2 * SECOND,
            30, step=0.2)
    pulse.parec.send_signal(signal.SIGINT)
    pulse.parec.wait(10)
    rec = pulse.recorded()

    assert "Cannot intialize audio" not in g.proc.stdout()
    assert holds(rec[:quiet_from], hamster, SECOND), "the title music reached the server"
    assert holds(rec[:quiet_from], bumblebee, SECOND), \
        "the first track of the cycle reached the server"
    quiet = rec[quiet_from:]
    assert len(quiet) > SECOND
    assert quiet.count(0) == len(quiet), "silence once sound is off"

    # The server goes away: the game plays on silent and quits at once.
    pulse.server.send_signal(signal.SIGKILL)
    pulse.server.wait(10)
    s.until("the game to notice the lost output",
            lambda: "gaudio: ALSA output lost" in g.proc.stderr(), 20)
    assert g.proc.alive(), g.proc.stderr()
    g.click(*QUIT_REGION)
    assert g.exits(30) == 0


def test_without_device_and_server_both_programs_run_silent(session, pulse):
    no_output = not os.path.exists("/dev/dsp") and not os.path.exists("/proc/asound/card0")
    env = {"PULSE_SERVER": "unix:" + os.path.join(pulse.dir, "none")}
    for program, title in (("squeakling", GAME_TITLE), ("gridcraft", EDITOR_TITLE)):
        proc = session.start(program, env=env)
        win = session.find_window(title)
        session.shot_until(win, "the first frame", lambda img: img.a.any(), 30)
        if no_output:
            session.until("the failed ALSA output reported",
                          lambda: "gaudio: cannot open ALSA output" in proc.stderr(), 20)
        assert proc.alive(), proc.stderr()
        session.xdotool("windowkill", win)
        assert proc.wait(30) is not None, f"{program} did not end with its window"
        if no_output:  # the output is read once the program has ended
            assert "Cannot intialize audio" in proc.stdout()
            assert "gaudio: cannot open ALSA output" in proc.stderr()


def decoders_of(pid):
    """The pids of the music decoders the process has running."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                ppid = int(f.read().rsplit(")", 1)[1].split()[1])
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                cmd = f.read()
        except (OSError, IndexError, ValueError):
            continue
        if ppid == pid and b"mpg123" in cmd:
            found.append(int(entry))
    return found


def open_files(pid):
    """What the process's descriptors beyond standard input, output and
    error lead to."""
    targets = []
    for fd in os.listdir(f"/proc/{pid}/fd"):
        if int(fd) > 2:
            try:
                targets.append(os.readlink(f"/proc/{pid}/fd/{fd}"))
            except OSError:
                pass
    return targets


@pytest.mark.cost(14)
def test_missing_tracks_are_tried_once_per_track_change(session):
    """The game on a sound device (the stand-in that the unit tests use) with
    its three tracks gone: the title music's decoder holds none of the game's
    files, and ten seconds of play after the track change start one decoder,
    which is reported once."""
    s = session
    for track in ("bumblebee.mp3", "valk.mp3", "billtell.mp3"):
        os.remove(os.path.join(s.data, "sound", track))
    frame_log = os.path.join(s.workdir, "frames.log")
    device = {"LD_PRELOAD": os.path.join(s.bin, "libdevdsp.so"),
              "SQ_DEVDSP_CAPTURE": os.path.join(s.workdir, "dsp.raw"),
              "SQUEAKLING_FRAME_LOG": frame_log}
    g = Game(s, env=device)
    # Looked at once it reads its track: before that the shell that starts
    # it, or the loader reading its libraries, may hold files of their own.
    def reading_its_track():
        found = []
        for pid in decoders_of(g.proc.popen.pid):
            try:
                if any(t.endswith("hamster.mp3") for t in open_files(pid)):
                    found.append(pid)
            except OSError:  # ended meanwhile
                pass
        return found
    title = s.until("the title music's decoder reading its track", reading_its_track, 20)
    inherited = [t for t in open_files(title[0]) if not t.endswith("hamster.mp3")]
    assert inherited == [], f"the decoder holds the game's files: {inherited}"

    g.start_play()  # the key changes the track to the first of the cycle
    g.s.holds(g.win, "the game running", lambda img: g.proc.alive(), 10.0, step=0.5)
    err = g.proc.stderr()
    assert "Cannot intialize audio" not in g.proc.stdout()
    assert err.count("gaudio: no music from ./sound/bumblebee.mp3") == 1, err
    assert "valk" not in err and "billtell" not in err, err
    assert len(err.splitlines()) <= 6, err
    assert os.path.getsize(frame_log) > 0
    g.click(*QUIT_REGION)
    assert g.exits() == 0
