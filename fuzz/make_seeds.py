#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora, fuzz/corpus/<fuzzer>/: small valid files
of every layout each reader handles, and the malformed cases the unit tests
use, so a run starts inside the formats instead of at their first byte.
Run it again after a format changes; the output is committed."""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")


def put(fuzzer, name, data):
    os.makedirs(os.path.join(OUT, fuzzer), exist_ok=True)
    if isinstance(data, str):
        data = data.encode()
    with open(os.path.join(OUT, fuzzer, name), "wb") as f:
        f.write(data)


# ---- SGI images: a 512-byte big-endian header, then planes verbatim or as
# RLE rows behind two tables (row starts, row lengths) of ysize * zsize.

def sgi_header(storage, x, y, z, magic=474):
    dim = 1 if y == 1 and z == 1 else (2 if z == 1 else 3)
    h = struct.pack(">hbbHHHH", magic, storage, 1, dim, x, y, z)
    h += struct.pack(">ii", 0, 255) + b"\0" * 4 + b"seed".ljust(80, b"\0") + struct.pack(">i", 0)
    return h.ljust(512, b"\0")


def planes(x, y, z):
    return [[bytes((10 * (c + 1) + i + 7 * r) % 256 for i in range(x)) for r in range(y)]
            for c in range(z)]


def sgi_verbatim(x, y, z):
    body = b"".join(row for plane in planes(x, y, z) for row in plane)
    return sgi_header(0, x, y, z) + body


def rle_row(row):
    """A literal packet, a repeat packet of the last value, the end packet."""
    return bytes([0x80 | len(row)]) + row + bytes([0x02, row[-1], 0x00])


def sgi_rle(x, y, z, reverse=False):
    rows = [rle_row(row) for plane in planes(x, y, z) for row in plane]
    table = 512 + 8 * len(rows)
    starts, lengths, body = [], [], b""
    order = list(range(len(rows)))
    if reverse:  # rows stored last first: only the start table finds them
        order.reverse()
    offsets = {}
    for k in order:
        offsets[k] = table + len(body)
        body += rows[k]
    for k in range(len(rows)):
        starts.append(offsets[k])
        lengths.append(len(rows[k]))
    return (sgi_header(1, x, y, z) + struct.pack(f">{len(rows)}I", *starts)
            + struct.pack(f">{len(rows)}I", *lengths) + body)


def sgi_seeds():
    for z in (1, 2, 3, 4, 5):
        put("sgi_fuzz", f"verbatim_{z}ch.rgb", sgi_verbatim(3, 2, z))
        put("sgi_fuzz", f"rle_{z}ch.rgb", sgi_rle(3, 2, z))
    put("sgi_fuzz", "rle_reversed_rows.rgb", sgi_rle(4, 3, 3, reverse=True))
    put("sgi_fuzz", "verbatim_row.rgb", sgi_verbatim(8, 1, 1))
    # Malformed: cut header, cut planes, cut tables, zero sizes, row starts
    # outside the file, a repeat past the row, other magic and storage.
    good = sgi_rle(3, 2, 3)
    put("sgi_fuzz", "bad_short_header.rgb", good[:100])
    put("sgi_fuzz", "bad_cut_table.rgb", good[:530])
    put("sgi_fuzz", "bad_cut_rows.rgb", good[:-5])
    put("sgi_fuzz", "bad_cut_planes.rgb", sgi_verbatim(3, 2, 3)[:520])
    put("sgi_fuzz", "bad_zero_size.rgb", sgi_header(0, 0, 2, 3))
    put("sgi_fuzz", "bad_zero_channels.rgb", sgi_header(1, 3, 2, 0))
    put("sgi_fuzz", "bad_magic_storage.rgb", sgi_header(7, 3, 2, 3, magic=1234) + b"\1" * 18)
    far = bytearray(good)
    far[512:516] = struct.pack(">I", 1 << 30)
    put("sgi_fuzz", "bad_row_outside.rgb", bytes(far))
    long_repeat = bytearray(sgi_rle(3, 1, 1))
    long_repeat[-3] = 0x7f  # a repeat packet of 127 in a 3-pixel row
    put("sgi_fuzz", "bad_long_repeat.rgb", bytes(long_repeat))


# ---- OBJ models: byte 0 odd puts "mtllib lib.mtl" in front; a zero byte
# splits the model from the material library.

MTL = ("newmtl red\nKa 0.2 0 0\nKd 1 0 0\nKs 0.5 0.5 0.5\nNs 200\n"
       "newmtl blue\nKd 0 0 1\nNi 1.5\nillum 2\n")


def obj(lines, mtl=None, with_lib=False):
    data = bytes([1 if with_lib else 0]) + "".join(line + "\n" for line in lines).encode()
    if mtl is not None:
        data += b"\0" + mtl.encode()
    return data


def obj_seeds():
    verts = ["v 0 0 0", "v 1 0 0", "v 1 1 0", "v 0 1 0.5"]
    put("obj_fuzz", "faces_v.obj", obj(verts + ["f 1 2 3", "f 1 3 4"]))
    put("obj_fuzz", "faces_vt.obj", obj(verts + ["vt 0 0", "vt 1 0", "vt 1 1",
                                                 "f 1/1 2/2 3/3"]))
    put("obj_fuzz", "faces_vn.obj", obj(verts + ["vn 0 0 1", "f 1//1 2//1 3//1 4//1"]))
    put("obj_fuzz", "faces_vtn.obj", obj(verts + ["vt 0 0", "vt 1 1", "vn 0 0 1",
                                                  "f 1/1/1 2/2/1 3/1/1 4/2/1"]))
    put("obj_fuzz", "negative_indices.obj", obj(verts + ["f -4 -3 -2 -1"]))
    put("obj_fuzz", "groups_materials.obj", obj(
        ["# two groups, two materials"] + verts
        + ["g body", "usemtl red", "s 1", "f 1 2 3", "g lid", "usemtl blue", "f 1 3 4",
           "g body", "f 2 3 4"], MTL, with_lib=True))
    put("obj_fuzz", "own_mtllib.obj", obj(["mtllib lib.mtl"] + verts + ["usemtl blue",
                                                                       "f 1 2 3"], MTL))
    put("obj_fuzz", "bad_index.obj", obj(verts + ["f 1 2 9", "f 0 1 2"]))
    put("obj_fuzz", "bad_two_vertices.obj", obj(verts + ["f 1 2"]))
    put("obj_fuzz", "bad_numbers.obj", obj(["v 1 x 2", "vn", "vt 0", "f a b c"]))
    put("obj_fuzz", "bad_unknown_material.obj", obj(verts + ["usemtl none", "f 1 2 3"], MTL,
                                                    with_lib=True))
    put("obj_fuzz", "bad_mtl_values.obj", obj(verts + ["usemtl red", "f 1 2 3"],
                                              "Kd 1 1 1\nnewmtl red\nKd x\nNs\nKs 1\n",
                                              with_lib=True))
    models = os.path.join(HERE, "..", "build", "data", "models")
    if os.path.isdir(models):
        for name in sorted(os.listdir(models)):
            path = os.path.join(models, name)
            if name.endswith(".obj") and os.path.getsize(path) < 16384:
                with open(path, "rb") as f:
                    put("obj_fuzz", "shipped_" + name, b"\0" + f.read())


# ---- Level sets: 30 lines of 30 cell codes and "endLevel" per level.

def level(cells, rows=30, width=30):
    out = ""
    for x in range(rows):
        out += "".join(str(cells.get((x, y), 1 if x in (0, 29) or y in (0, 29) else 0))
                       for y in range(width)) + "\n"
    return out + "endLevel\n"


def level_seeds():
    put("level_fuzz", "one.txt", level({(2, 2): 3, (4, 4): 2, (5, 5): 4}))
    put("level_fuzz", "two.txt", level({(1, 1): 3}) + level({(28, 28): 3, (10, 10): 6}))
    put("level_fuzz", "no_start.txt", level({}))
    put("level_fuzz", "bad_short_rows.txt", level({(2, 2): 3}, rows=12, width=9))
    put("level_fuzz", "bad_codes.txt", level({(2, 2): 9, (3, 3): 7}).replace("0", "x", 5))
    put("level_fuzz", "bad_no_end.txt", level({(2, 2): 3}).replace("endLevel\n", ""))
    put("level_fuzz", "bad_long_line.txt", "0" * 300 + "\nendLevel\n")


# ---- Mixer: five ints (mode, repeat, volume, pan, stop id), then samples.

def mixer_seeds():
    samples = struct.pack("<8h", 0, 1000, -1000, 32767, -32768, 5, -5, 0)
    for mode in (0, 1, 2, 3):
        put("gaudio_fuzz", f"mode{mode}", struct.pack("<5i", mode, 1, 128, 0, 0) + samples)
    put("gaudio_fuzz", "loud_panned", struct.pack("<5i", 1, 3, 1 << 20, -255, 3) + samples * 4)
    put("gaudio_fuzz", "odd_length", struct.pack("<5i", 0, 0, 64, 64, 1) + samples[:5])


# ---- Scores: the version line, then one game a line (13 fields).

SCORES = "squeakling scores 1\n"


def score_line(set_hash="00000000000000aa", points=1200, level=2, login="ada", name="set.txt",
               factors="1 1 1", standard=1):
    return (f"{set_hash} {points} {level} 1700000000 3 {factors} 10 {1 - standard} {standard} "
            f"{login} {name}\n")


def scores_seeds():
    put("scores_fuzz", "one.txt", SCORES + score_line())
    put("scores_fuzz", "two_sets.txt", SCORES + score_line() + score_line(points=900)
        + score_line("fedcba9876543210", 50, 10, "o%27brien%25", "my%20levels.txt",
                     "0.51 1.83 0.5", 0))
    put("scores_fuzz", "full_table.txt",
        SCORES + "".join(score_line(points=100 * k) for k in range(1, 13)))
    put("scores_fuzz", "empty.txt", "")
    put("scores_fuzz", "crlf.txt", (SCORES + score_line()).replace("\n", "\r\n"))
    put("scores_fuzz", "bad_fields.txt", SCORES + score_line(points=-1) + score_line(level=11)
        + score_line(login="a%4") + score_line(factors="nan 1 1") + "garbage\n")
    put("scores_fuzz", "bad_version.txt", "squeakling scores 2\n" + score_line())
    put("scores_fuzz", "bad_binary.txt", SCORES.encode() + bytes(range(256)))
    put("scores_fuzz", "bad_long_line.txt", SCORES + score_line(name="x" * 600))


# ---- Settings: one "name = value" a line; the first byte of a seed is the
# width of the sliders' track the fuzzer reads it with.

def settings_seeds():
    track = bytes([180])
    every = ("view = 2\ntextures = 0\nspotlights = 1\npolygon_fill = 0\ncat = 0\n"
             "sound = 1\nmouse_speed = 1.37\nlives = 16\ncheese = 35\ncat_speed = 0.5\n"
             "bonus = 2\nshadows = 3\nreflections = 0\nfullscreen = 1\n")
    put("settings_fuzz", "every.txt", track + every.encode())
    put("settings_fuzz", "comments.txt", track + b"# kept\n\n  lives =   7  \r\n")
    put("settings_fuzz", "bad_values.txt", track + b"lives = 99\nmouse_speed = 1e400\n"
        b"view = -1\nvolume = 11\nno equals sign\ncheese = 0x10\n")
    put("settings_fuzz", "narrow_track.txt", bytes([0]) + every.encode())


if __name__ == "__main__":
    shutil.rmtree(OUT, ignore_errors=True)
    sgi_seeds()
    obj_seeds()
    level_seeds()
    mixer_seeds()
    scores_seeds()
    settings_seeds()
