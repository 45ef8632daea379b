#!/usr/bin/env python3
"""Makes every image the game and the editor read: the 48 interface images
under <out>/images/ and the four scene textures, as SGI files drawn with
ImageMagick and the DejaVu fonts.

Sizes follow where each image is drawn in the 1200 x 600 overlay and where
the mouse handlers look for it (x, y of lower-left corners, y upwards):

  image(s)                 size      why
  TitleBar1050             1200x50   top strip at (0,550); tabs Quit, Restart,
                                     Control Panel over window x 701-800,
                                     801-900, 901-1050; dark left part under
                                     the white scoreboard line at (25,570),
                                     which in Times 24 ends near x 692 even
                                     with a five-digit score
  Title                    520x260   start screen title at (x,150), sliding
                                     over 0..1200-520; y 150..410
  B* buttons, StartGame,   180x50    hit strips assume faces 50 high; left
  ViewSettings                       column 280..460 stays clear of the
                                     tracks at 510; right column 760..940;
                                     game-over Restart 450..630 and Quit
                                     650..830 stay apart
  L* labels (left)         200x24    at (250, 450-80k): between the face
                                     below (ends 450-80k) and the next row's
                                     face above (starts 480-80k), under the
                                     panel title (starts 475)
  L* labels (middle,right) 240x24    at (480, ...) and (730, ...): 480..720
                                     and 730..970 do not meet
  S* slider tracks         180x50    at (510, 400-80k): 510..690 ends before
                                     the right column's labels at 730.
                                     Width 180 gives factors 0.5..2.0, cheese
                                     5..35 and lives 1..16 through the slider
                                     formulas; the rail lies in the top 22
                                     rows, the accepted strip, with the
                                     knob's range 15..165 marked below it
  SlidePull (knob)         20x20     drawn 10 left of the pressed point, so
                                     its centre sits on the pointer; y 430
  SliderBack               20x20     spare knob groove (no screen draws it)
  ControlPanelTitle2       800x100   at (200,475): 200..1000, 475..575
  EditorTitle.RGB          1200x50   editor top strip at (0,550); dark left
                                     part under the message line at (25,570)
  EditorHelp               330x510   at (25,35): 25..355, 35..545, left of
                                     the editor grid (window x >= ~366)
  ControlsLegend           1120x160  start screen at (40,425): 40..1160,
                                     425..585, above the sliding title
                                     (150..410), under the top edge
  wood, floortex           256x256   scene textures, powers of two for
  cheese, fur              128x128   mipmapping

Everything the overlay draws is opaque except the buttons' rounded corners:
the panels are drawn with blending on or off depending on the last scene
pass, so nothing may rely on alpha. Buttons and labels are written run-length
encoded, the rest verbatim, so both storage forms are in use.
"""
import os
import subprocess
import sys
import tempfile

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SANS_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
SANS = os.path.join(FONT_DIR, "DejaVuSans.ttf")
SERIF_BOLD_ITALIC = os.path.join(FONT_DIR, "DejaVuSerif-BoldItalic.ttf")

# Palette: night-blue panels, cheese yellow, mouse grey.
INK = "#0d1220"
PANEL_TOP, PANEL_BOTTOM = "#27324d", "#121829"
CHEESE, CHEESE_DARK, CHEESE_EDGE = "#ffd84d", "#e09a00", "#6b4400"
LABEL_TEXT = "#ffe27a"

# Button styles: (gradient top, gradient bottom, border, text, text shadow).
STYLE_ON = ("#ffe680", "#e6a300", "#6b4400", "#3a2200", "#fff3c0")
STYLE_OFF = ("#a7adb8", "#565c68", "#2c3038", "#f2f4f8", "#2c3038")
STYLE_ACTION = ("#6fb0ff", "#1f58b8", "#0d2a5c", "#ffffff", "#0d2a5c")
STYLE_QUIT = ("#ff7a6b", "#b8261a", "#5c0d08", "#ffffff", "#5c0d08")

BUTTONS = {
    "BCatOn": ("Cat On", STYLE_ON), "BCatOff": ("Cat Off", STYLE_OFF),
    "BFirstPerson": ("First Person", STYLE_ACTION),
    "BThirdPerson": ("Third Person", STYLE_ACTION),
    "BLoad": ("Load Levels", STYLE_ACTION), "BQuit": ("Quit", STYLE_QUIT),
    "BRestart": ("Restart", STYLE_ACTION),
    "BSpotlightsOn": ("Spotlights On", STYLE_ON),
    "BSpotlightsOff": ("Spotlights Off", STYLE_OFF),
    "BTexturesOn": ("Textures On", STYLE_ON),
    "BTexturesOff": ("Textures Off", STYLE_OFF),
    "BSoundOn": ("Sound On", STYLE_ON), "BSoundOff": ("Sound Off", STYLE_OFF),
    "BReturnToGame": ("Return to Game", STYLE_ACTION),
    "BShadowsOff": ("No Shadows", STYLE_OFF),
    "BOneShadow": ("One Shadow", STYLE_ON),
    "BTwoShadows": ("Two Shadows", STYLE_ON),
    "BAllShadows": ("All Shadows", STYLE_ON),
    "BReflectionsOn": ("Reflections On", STYLE_ON),
    "BReflectionsOff": ("Reflections Off", STYLE_OFF),
    "StartGame": ("Start Game", STYLE_ACTION),
    "ViewSettings": ("View Settings", STYLE_ACTION),
}
BUTTON_W, BUTTON_H = 180, 50

LEFT_LABELS = {"LView": "View", "LTextures": "Textures", "LLighting": "Lighting",
               "LCat": "Cat", "LSound": "Sound"}
WIDE_LABELS = {"LMouseSpeed": "Mouse Speed", "LLives": "Lives",
               "LNumCheese": "Cheese per Level", "LCatSpeed": "Cat Speed",
               "LBonus": "Bonus Fruit", "LShadows": "Shadows",
               "LReflections": "Reflections", "LVolume": "Volume"}
LABEL_H = 24

# Slider tracks: knob centres run from x 15 (lowest value) to 165 (highest).
TRACK_W, TRACK_H = 180, 50
TRACKS = {
    "SMouseSpeed": [(15, "0.5x"), (65, "1x"), (165, "2x")],
    "SCatSpeed": [(15, "0.5x"), (65, "1x"), (165, "2x")],
    "SBonus": [(15, "rare"), (65, "1x"), (165, "often")],
    "SLives": [(15, "1"), (35, "3"), (165, "16")],
    "SCheese": [(15, "5"), (40, "10"), (165, "35")],
    "SVolume": [(15, "quiet"), (165, "loud")],
}

EDITOR_HELP = [
    ("Keys", None),
    ("i m  j l", "move the cursor"),
    ("z", "add / remove obstacle"),
    ("v", "place the mouse start"),
    ("x", "grid lines on / off"),
    ("c", "clear the level"),
    ("1  2", "top view / 3D preview"),
    ("o  u", "turn the preview"),
    ("PgDn PgUp", "next / previous level"),
    ("n", "new level after this one"),
    ("Del", "delete the level (twice)"),
    ("Ctrl-S", "save the level set"),
    ("Ctrl-Z  Y", "undo / redo"),
    ("a", "save this level as a file"),
    ("s", "append this level to a file"),
    ("p", "play-test from this level"),
    ("q w e", "light / fill / texture"),
    ("Esc", "quit (twice if unsaved)"),
    ("Mouse", None),
    ("click", "select a cell"),
    ("again", "add / remove obstacle"),
    ("drag", "paint obstacles"),
    ("right", "menu"),
]

# The start screen's legend: three columns of (keys, what they do), each
# under its heading; a None action draws a note across the column.
CONTROLS_LEGEND = [
    ("Steer", [
        ("\u2190 \u2192   j  l", "turn 45\u00b0 left / right"),
        ("u  o", "turn 10\u00b0 left / right"),
        ("\u2191   i", "hop forward"),
        ("m", "hop back"),
        ("\u2193   k", "turn around"),
    ]),
    ("Play", [
        ("space", "pause / resume"),
        ("1  2  3", "first person / chase / overhead"),
        ("q  w  e", "spotlights / outlines / textures"),
        ("Esc", "quit"),
        ("right click", "menu"),
    ]),
    ("Game pad", [
        ("D-pad, stick", "turn 45\u00b0 left / right"),
        ("shoulders", "turn 10\u00b0 left / right"),
        ("A   B", "hop forward / turn around"),
        ("Start", "pause / resume; restart at end"),
        ("any button", "begins, like any key"),
    ]),
]
LEGEND_W, LEGEND_H = 1120, 160


def run(args):
    subprocess.run(["convert"] + [str(a) for a in args], check=True)


def sgi(path, rle):
    """Output arguments for an 8-bit SGI file."""
    return (["-depth", "8"] + (["-compress", "RLE"] if rle else ["-compress", "None"])
            + ["SGI:" + path])


def shadowed_text(text, font, size, colour, shadow, offset="+0+0", gravity="center"):
    return ["-font", font, "-pointsize", size, "-gravity", gravity,
            "-fill", shadow, "-annotate", _shift(offset, 1, 2), text,
            "-fill", colour, "-annotate", offset, text]


def _shift(offset, dx, dy):
    x, y = _parse(offset)
    return "%+d%+d" % (x + dx, y + dy)


def _parse(offset):
    # "+a+b" / "+a-b" / "-a+b" into ints.
    sign_positions = [i for i, ch in enumerate(offset) if ch in "+-" and i > 0]
    split = sign_positions[0]
    return int(offset[:split]), int(offset[split:])


def make_button(path, text, style):
    top, bottom, border, ink, shadow = style
    w, h = BUTTON_W, BUTTON_H
    size = 20 if len(text) <= 13 else 18
    run(["-size", "%dx%d" % (w, h), "gradient:%s-%s" % (top, bottom),
         "(", "-size", "%dx%d" % (w, h), "xc:black", "-fill", "white",
         "-draw", "roundrectangle 0,0 %d,%d 10,10" % (w - 1, h - 1), ")",
         "-alpha", "off", "-compose", "CopyOpacity", "-composite", "-compose", "Over",
         "-fill", "rgba(255,255,255,0.28)", "-stroke", "none",
         "-draw", "roundrectangle 4,3 %d,%d 8,8" % (w - 5, h // 2 - 2),
         "-fill", "none", "-stroke", border, "-strokewidth", "2",
         "-draw", "roundrectangle 1,1 %d,%d 9,9" % (w - 2, h - 2), "-stroke", "none"]
        + shadowed_text(text, SANS_BOLD, size, ink, shadow, "+0+1")
        + ["-background", "black", "-alpha", "set"] + sgi(path, True))


def make_label(path, text, width):
    run(["-size", "%dx%d" % (width, LABEL_H), "xc:black",
         "-fill", CHEESE_DARK, "-draw", "rectangle 0,20 %d,21" % (width * 2 // 3),
         "-font", SANS_BOLD, "-pointsize", 17, "-gravity", "west",
         "-fill", LABEL_TEXT, "-annotate", "+2-2", text,
         "-alpha", "off"] + sgi(path, True))


def make_track(path, ticks):
    w, h = TRACK_W, TRACK_H
    draw = ["-size", "%dx%d" % (w, h), "xc:black",
            # groove of the rail, knob rows 0..19
            "-fill", "#3a4158", "-stroke", "#707a96", "-strokewidth", "1",
            "-draw", "roundrectangle 6,6 %d,14 4,4" % (w - 7),
            "-stroke", "none", "-fill", "#151a28",
            "-draw", "roundrectangle 9,9 %d,11 1,1" % (w - 10),
            "-font", SANS, "-pointsize", 11, "-fill", "#c8cfe0"]
    for x, text in ticks:
        draw += ["-fill", "#c8cfe0", "-draw", "rectangle %d,18 %d,24" % (x, x)]
        anchor = max(0, min(w - 1, x))
        draw += ["-gravity", "northwest", "-annotate",
                 "+%d+28" % max(1, min(w - 8 * len(text) + 2, anchor - 3 * len(text))), text]
    run(draw + ["-alpha", "off"] + sgi(path, False))


def make_knob(path):
    run(["-size", "20x20", "gradient:%s-%s" % ("#fff0a0", CHEESE_DARK),
         "-fill", "none", "-stroke", CHEESE_EDGE, "-strokewidth", "1",
         "-draw", "rectangle 0,0 19,19",
         "-stroke", "#8a5a00", "-draw", "line 7,5 7,14", "-draw", "line 10,5 10,14",
         "-draw", "line 13,5 13,14",
         "-alpha", "off"] + sgi(path, False))


def make_slider_back(path):
    run(["-size", "20x20", "xc:#151a28", "-fill", "none", "-stroke", "#707a96",
         "-draw", "rectangle 0,0 19,19", "-alpha", "off"] + sgi(path, False))


def cheese_wedge(x, y, scale):
    """Draw arguments for a cheese wedge with holes at (x, y)."""
    s = scale
    pts = [(0, 40), (90, 0), (110, 30), (110, 70), (0, 70)]
    poly = " ".join("%d,%d" % (x + px * s, y + py * s) for px, py in pts)
    top = " ".join("%d,%d" % (x + px * s, y + py * s) for px, py in [(0, 40), (90, 0), (110, 30)])
    args = ["-stroke", CHEESE_EDGE, "-strokewidth", "2",
            "-fill", CHEESE_DARK, "-draw", "polygon " + poly,
            "-fill", CHEESE, "-draw", "polygon " + top + " %d,%d" % (x + 20 * s, y + 40 * s)]
    for hx, hy, r in [(25, 55, 7), (60, 50, 9), (92, 60, 6), (80, 42, 4)]:
        args += ["-stroke", "none", "-fill", "#b87400",
                 "-draw", "circle %d,%d %d,%d" % (x + hx * s, y + hy * s,
                                                  x + (hx + r) * s, y + hy * s)]
    return args


def mouse_figure(x, y):
    """Draw arguments for a small grey mouse facing right at (x, y)."""
    return ["-stroke", "#2c3038", "-strokewidth", "2", "-fill", "none",
            "-draw", "bezier %d,%d %d,%d %d,%d %d,%d" % (x, y + 30, x - 30, y + 40,
                                                         x - 20, y + 5, x - 45, y + 10),
            "-fill", "#9aa0ab", "-draw", "ellipse %d,%d 38,24 0,360" % (x + 30, y + 26),
            "-fill", "#b6bcc6", "-draw", "circle %d,%d %d,%d" % (x + 44, y + 2, x + 56, y + 2),
            "-fill", "#f0a0b0", "-draw", "circle %d,%d %d,%d" % (x + 44, y + 2, x + 50, y + 2),
            "-fill", "#9aa0ab", "-draw", "ellipse %d,%d 22,16 0,360" % (x + 70, y + 20),
            "-fill", "#f0a0b0", "-draw", "circle %d,%d %d,%d" % (x + 92, y + 22, x + 96, y + 22),
            "-fill", INK, "-stroke", "none",
            "-draw", "circle %d,%d %d,%d" % (x + 76, y + 15, x + 79, y + 15)]


def make_title(path):
    w, h = 520, 260
    run(["-size", "%dx%d" % (w, h), "xc:black",
         "-fill", PANEL_BOTTOM, "-stroke", CHEESE_DARK, "-strokewidth", "3",
         "-draw", "roundrectangle 4,4 %d,%d 24,24" % (w - 5, h - 5), "-stroke", "none"]
        + cheese_wedge(360, 150, 1) + mouse_figure(70, 160)
        + shadowed_text("Squeakling", SERIF_BOLD_ITALIC, 64, CHEESE, "#5a3a00", "+0-62")
        + shadowed_text("run the maze - eat the cheese - dodge the cat", SANS, 15,
                        "#d8deea", "#000000", "+0-6")
        + ["-font", SANS_BOLD, "-pointsize", 16, "-gravity", "south",
           "-fill", "#ffffff", "-annotate", "+0+16", "press any key to start",
           "-alpha", "off"] + sgi(path, False))


def make_title_bar(path):
    w, h = 1200, 50
    tabs = [(701, 800, "Quit", STYLE_QUIT), (801, 900, "Restart", STYLE_ACTION),
            (901, 1050, "Control Panel", STYLE_ACTION)]
    args = ["-size", "%dx%d" % (w, h), "gradient:%s-%s" % (PANEL_TOP, INK),
            "-fill", CHEESE_DARK, "-draw", "rectangle 0,%d %d,%d" % (h - 2, w - 1, h - 1)]
    for x0, x1, text, style in tabs:
        top, bottom, border, ink, shadow = style
        args += ["-fill", bottom, "-stroke", border, "-strokewidth", "2",
                 "-draw", "roundrectangle %d,7 %d,42 8,8" % (x0 + 3, x1 - 3),
                 "-stroke", "none", "-fill", top,
                 "-draw", "roundrectangle %d,9 %d,24 6,6" % (x0 + 5, x1 - 5)]
        # centre each label over its own tab
        centre = (x0 + x1 + 1) // 2 - w // 2
        args += shadowed_text(text, SANS_BOLD, 15, ink, shadow, "%+d+0" % centre)
    # the logo keeps to 1056..1194, clear of the last tab
    args += ["-font", SERIF_BOLD_ITALIC, "-pointsize", 20, "-gravity", "east",
             "-fill", "#5a3a00", "-annotate", "+7-1", "Squeakling",
             "-fill", CHEESE, "-annotate", "+8-2", "Squeakling"]
    run(args + ["-alpha", "off"] + sgi(path, False))


def make_control_panel_title(path):
    w, h = 800, 100
    run(["-size", "%dx%d" % (w, h), "xc:black",
         "-fill", CHEESE_DARK, "-draw", "rectangle 120,84 680,87",
         "-fill", CHEESE, "-draw", "rectangle 120,82 680,83"]
        + shadowed_text("Control Panel", SERIF_BOLD_ITALIC, 54, CHEESE, "#5a3a00", "+0-8")
        + ["-alpha", "off"] + sgi(path, False))


def make_editor_title(path):
    w, h = 1200, 50
    run(["-size", "%dx%d" % (w, h), "gradient:%s-%s" % (PANEL_TOP, INK),
         "-fill", "#3fae5a", "-draw", "rectangle 0,%d %d,%d" % (h - 2, w - 1, h - 1),
         "-font", SERIF_BOLD_ITALIC, "-pointsize", 26, "-gravity", "east",
         "-fill", "#0b2a14", "-annotate", "+209-1", "Gridcraft",
         "-fill", "#7be08f", "-annotate", "+210-2", "Gridcraft",
         "-font", SANS, "-pointsize", 15, "-fill", "#c8cfe0",
         "-annotate", "+14+0", "Squeakling level editor",
         "-alpha", "off"] + sgi(path, False))


def make_editor_help(path):
    w, h = 330, 510
    args = ["-size", "%dx%d" % (w, h), "xc:black",
            "-fill", PANEL_BOTTOM, "-stroke", "#3fae5a", "-strokewidth", "2",
            "-draw", "roundrectangle 1,1 %d,%d 14,14" % (w - 2, h - 2), "-stroke", "none",
            "-gravity", "northwest"]
    y = 10
    for key, what in EDITOR_HELP:
        if what is None:
            args += ["-font", SANS_BOLD, "-pointsize", 17, "-fill", "#7be08f",
                     "-annotate", "+16+%d" % y, key]
            y += 26
            continue
        args += ["-font", SANS_BOLD, "-pointsize", 13, "-fill", LABEL_TEXT,
                 "-annotate", "+22+%d" % y, key,
                 "-font", SANS, "-fill", "#e4e8f0", "-annotate", "+116+%d" % y, what]
        y += 21
    run(args + ["-alpha", "off"] + sgi(path, True))


def make_controls_legend(path):
    w, h = LEGEND_W, LEGEND_H
    args = ["-size", "%dx%d" % (w, h), "xc:black",
            "-fill", PANEL_BOTTOM, "-stroke", CHEESE_DARK, "-strokewidth", "2",
            "-draw", "roundrectangle 1,1 %d,%d 14,14" % (w - 2, h - 2), "-stroke", "none",
            "-gravity", "northwest"]
    column_w = (w - 20) // len(CONTROLS_LEGEND)
    for c, (heading, rows) in enumerate(CONTROLS_LEGEND):
        x = 16 + c * column_w
        args += ["-font", SANS_BOLD, "-pointsize", 17, "-fill", CHEESE,
                 "-annotate", "+%d+10" % x, heading]
        y = 38
        for keys, what in rows:
            args += ["-font", SANS_BOLD, "-pointsize", 14, "-fill", LABEL_TEXT,
                     "-annotate", "+%d+%d" % (x + 6, y), keys,
                     "-font", SANS, "-fill", "#e4e8f0",
                     "-annotate", "+%d+%d" % (x + 118, y), what]
            y += 23
    run(args + ["-alpha", "off"] + sgi(path, True))


def make_wood(path):
    run(["-seed", "11", "-size", "256x256", "xc:", "+noise", "Random",
         "-virtual-pixel", "tile", "-channel", "G", "-separate", "+channel",
         "-motion-blur", "0x40+90", "-blur", "0x1", "-normalize",
         "(", "-size", "256x256", "gradient:", "-rotate", "90",
         "-function", "Sinusoid", "9,0,0.5,0.5", ")",
         "-compose", "Multiply", "-composite", "-normalize", "-colorspace", "sRGB",
         "+level-colors", "#5b3214,#c98a4b", "-alpha", "off", "-type", "TrueColor"]
        + sgi(path, False))


def make_cheese(path):
    holes = []
    for hx, hy, r in [(20, 24, 9), (78, 18, 6), (100, 70, 11), (40, 90, 7), (70, 112, 5),
                      (112, 116, 6), (14, 64, 4), (60, 56, 5)]:
        holes += ["-draw", "circle %d,%d %d,%d" % (hx, hy, hx + r, hy)]
    run(["-seed", "5", "-size", "128x128", "plasma:", "-colorspace", "Gray", "-blur", "0x2",
         "-normalize", "-colorspace", "sRGB", "+level-colors", "#f2b800,#ffe680", "-fill", "#d69100", "-stroke", "#b87400", "-strokewidth", "1"]
        + holes + ["-alpha", "off", "-type", "TrueColor"] + sgi(path, False))


def make_fur(path):
    run(["-seed", "7", "-size", "128x128", "xc:", "+noise", "Random",
         "-virtual-pixel", "tile", "-channel", "G", "-separate", "+channel",
         "-motion-blur", "0x6+70", "-normalize", "-colorspace", "sRGB",
         "+level-colors", "#6e6a66,#c9c3bc", "-alpha", "off", "-type", "TrueColor"]
        + sgi(path, False))


def make_floor(path):
    # Light, low-contrast marble: the floor's material colour tints it.
    run(["-seed", "3", "-size", "256x256", "plasma:#ffffff-#c8c8c8",
         "-virtual-pixel", "tile", "-blur", "0x3", "-colorspace", "Gray",
         "-level", "10%,100%", "-fill", "#a0a0a0", "-draw", "rectangle 0,0 255,1",
         "-draw", "rectangle 0,0 1,255", "-colorspace", "sRGB", "-alpha", "off",
         "-type", "TrueColor"] + sgi(path, False))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "build/data"
    images = os.path.join(out, "images")
    os.makedirs(images, exist_ok=True)

    def at(name):
        return os.path.join(images, name)

    for name, (text, style) in BUTTONS.items():
        make_button(at(name + ".rgb"), text, style)
    for name, text in LEFT_LABELS.items():
        make_label(at(name + ".rgb"), text, 200)
    for name, text in WIDE_LABELS.items():
        make_label(at(name + ".rgb"), text, 240)
    for name, ticks in TRACKS.items():
        make_track(at(name + ".rgb"), ticks)
    make_knob(at("SlidePull.rgb"))
    make_slider_back(at("SliderBack.rgb"))
    make_title(at("Title.rgb"))
    make_title_bar(at("TitleBar1050.rgb"))
    make_control_panel_title(at("ControlPanelTitle2.rgb"))
    make_editor_title(at("EditorTitle.RGB"))
    make_editor_help(at("EditorHelp.rgb"))
    make_controls_legend(at("ControlsLegend.rgb"))

    make_wood(os.path.join(out, "wood.rgb"))
    make_cheese(os.path.join(out, "cheese.rgb"))
    make_fur(at("fur.rgb"))
    make_floor(os.path.join(out, "floortex.rgb"))


if __name__ == "__main__":
    main()
