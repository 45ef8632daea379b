"""Finishes one sound made by make_sounds.sh: reads 32-bit float stereo
frames at 44100 Hz, gives it short raised-cosine fades at both ends so it
starts and ends at silence, sets its level, and writes 16-bit little-endian
stereo (raw, or WAV for the music before encoding).

    finish_sound.py IN.f32 OUT {loudness DB MAXPEAK | peak DB} [--wav]

"loudness DB MAXPEAK" scales the sound so that its RMS over its sounding
part (the 10 ms windows within 30 dB of its loudest window) is DB dBFS, the
measure every effect shares, but no further than brings its peak to MAXPEAK
dBFS (a noisy sound with high peaks ends up a little quieter); "peak DB"
brings its peak to DB dBFS. Pure arithmetic
on the input, so the output is the same byte for byte on every run.
"""
import array
import math
import struct
import sys

RATE = 44100
FADE = int(0.005 * RATE)      # 5 ms at each end
WINDOW = int(0.010 * RATE)    # the loudness measure's window
SPAN_DB = 30.0                # windows this far below the loudest are not counted


def sounding_rms(values):
    """RMS of the windows within SPAN_DB of the loudest (both channels)."""
    step = 2 * WINDOW
    powers = []
    for i in range(0, len(values) - step + 1, step):
        w = values[i:i + step]
        powers.append(sum(v * v for v in w) / step)
    if not powers or max(powers) == 0:
        return 0.0
    floor = max(powers) * 10 ** (-SPAN_DB / 10)
    loud = [p for p in powers if p >= floor]
    return math.sqrt(sum(loud) / len(loud))


def main():
    src, dst, mode, db = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    wav = "--wav" in sys.argv[5:]
    max_peak = float(sys.argv[5]) if mode == "loudness" else db
    values = array.array("f")
    with open(src, "rb") as f:
        values.frombytes(f.read())
    frames = len(values) // 2
    for n in range(min(FADE, frames)):
        g = 0.5 - 0.5 * math.cos(math.pi * n / FADE)
        for c in (0, 1):
            values[2 * n + c] *= g
            values[2 * (frames - 1 - n) + c] *= g
    peak = max((abs(v) for v in values), default=0.0)
    level = sounding_rms(values) if mode == "loudness" else peak
    gain = 10 ** (db / 20) / level if level > 0 else 0.0
    if peak * gain > 10 ** (max_peak / 20):
        gain = 10 ** (max_peak / 20) / peak
    out = array.array("h", (max(-32768, min(32767, round(v * gain * 32767))) for v in values))
    if sys.byteorder != "little":
        out.byteswap()
    with open(dst, "wb") as f:
        if wav:
            size = len(out) * 2
            f.write(b"RIFF" + struct.pack("<I", 36 + size) + b"WAVEfmt " +
                    struct.pack("<IHHIIHH", 16, 1, 2, RATE, RATE * 4, 4, 16) +
                    b"data" + struct.pack("<I", size))
        f.write(out.tobytes())


if __name__ == "__main__":
    main()
