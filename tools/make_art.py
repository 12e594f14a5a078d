#!/usr/bin/python3
# Draws the game's artwork (sprite sheets, title picture, banners, icon, cursor) into resources/.
# Usage: /usr/bin/python3 tools/make_art.py   (Debian packages: python3-pil python3-numpy fonts-ipafont-gothic fonts-dejavu-core)
"""Every picture is drawn at its native size from hand-placed pixel maps and simple geometry, then
written as 8-bit Windows bitmaps whose colour tables keep the twenty system colours in place.  The
output is the same bytes on every run; a review contact sheet goes to build/art/contact_sheet.png.
The build does not run this; the files it writes are committed.

The three bitmaps that carry words are written once per language: the Japanese ones in resources/,
the others in resources/<language>/ (today resources/en/), with the same layout and colour tables,
different only where the words are drawn.
"""

import os
import struct
import sys
import zlib

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")
ART_BUILD = os.path.join(ROOT, "build", "art")
JP_FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
LATIN_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
LATIN_BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# ---------------------------------------------------------------------------------------------
# Colours
# ---------------------------------------------------------------------------------------------

STATIC_LOW = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
              (128, 0, 128), (0, 128, 128), (192, 192, 192), (192, 220, 192), (166, 202, 240)]
STATIC_HIGH = [(255, 251, 240), (160, 160, 164), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
STATICS = set(STATIC_LOW + STATIC_HIGH)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

# Light-green closed cell, raised.
G_HI2 = (220, 255, 200)
G_HI = (172, 240, 144)
G_FACE = (128, 216, 100)
G_SH = (80, 168, 62)
G_DK = (38, 106, 36)
# Dark-green opened cell, sunken.
O_DK = (16, 50, 22)
O_SH = (28, 74, 32)
O_FACE = (44, 102, 46)
O_LT = (66, 130, 60)
# Light-blue clue tiles.
B_HI2 = (234, 246, 255)
B_HI = (198, 228, 255)
B_FACE = (162, 208, 250)
B_SH = (112, 162, 224)
B_DK = (62, 104, 178)
CLUE_INK = (12, 16, 40)
# Cleared-screen tiles.
CB_DK = (14, 34, 120)
CB_SH = (26, 58, 170)
CB_FACE = (40, 86, 214)
CB_LT = (96, 142, 244)
CM_DK = (100, 8, 88)
CM_SH = (150, 20, 132)
CM_FACE = (204, 44, 180)
CM_LT = (240, 120, 224)
SHADE_ON_BLUE = (20, 40, 130)
SHADE_ON_MAGENTA = (110, 10, 96)
# Bomb.
K_EDGE = (14, 14, 22)
K_DARK = (30, 30, 44)
K_MID = (54, 56, 76)
K_RIM = (92, 96, 124)
K_SHINE = (226, 230, 250)
CAP_DK = (88, 88, 96)
CAP_LT = (168, 168, 176)
FUSE = (150, 100, 48)
SPARK_W = (255, 255, 220)
SPARK_Y = (255, 228, 60)
SPARK_O = (255, 140, 20)
SPARK_R = (230, 50, 20)
# The hit bomb on its opened tile: a nearly black body in an orange glow.
HIT_BODY = {"e": (6, 6, 10), "K": (24, 24, 34), "d": (12, 12, 20)}
HIT_GLOW = [(255, 206, 84), (240, 150, 44), (150, 96, 32)]  # from the body outward
# Flag.
F_RED = (232, 36, 36)
F_RED_LT = (255, 110, 96)
F_RED_DK = (150, 14, 20)
POLE = (70, 52, 40)
POLE_LT = (140, 120, 100)
# Bomb-row ground: orange, lighter at the top.
ORANGE_RAMP = [(255, 214, 120), (255, 204, 104), (255, 194, 92), (255, 184, 80), (255, 174, 68),
               (252, 164, 58), (250, 154, 50), (248, 146, 44), (244, 138, 38), (240, 130, 34),
               (236, 122, 30), (232, 114, 26), (226, 106, 22), (218, 98, 18), (206, 88, 14),
               (184, 74, 10)]
BURST_OUT = (150, 20, 10)
# Clock band.
CLK_TOP = (58, 6, 8)
CLK_HI = (164, 48, 44)
CLK_F1 = (132, 26, 26)
CLK_F2 = (112, 18, 20)
CLK_F3 = (96, 12, 14)
CLK_LO = (72, 6, 8)
CLK_BOT = (42, 0, 2)
CLK_INK = (28, 2, 4)
CLK_GREY = (214, 206, 212)
# Corner ground.
PINK = (255, 186, 212)
PINK_HATCH = (244, 156, 192)
COUNT_Y_HI = (255, 252, 176)
COUNT_Y = (255, 230, 56)
COUNT_Y_DK = (250, 184, 24)
COUNT_INK = (110, 24, 56)
UNIT_BLUE = (30, 62, 210)
ARROW_Y = (255, 236, 40)
ARROW_YL = (255, 252, 170)
ARROW_YD = (236, 170, 16)
# Gold lettering for the banners.
GOLD_HI = (255, 255, 222)
GOLD = [(255, 246, 170), (255, 232, 120), (255, 214, 72), (250, 190, 40), (232, 160, 26),
        (206, 128, 16), (176, 98, 10)]
GOLD_SH = (140, 72, 8)
GOLD_EDGE = (76, 36, 6)
GOLD_EXTR = [(120, 62, 10), (100, 50, 8), (84, 40, 6)]
# Title picture.
TPINK = (255, 204, 224)
TPINK_DK = (240, 168, 200)
FRAME_OUT = (128, 72, 0)
FRAME_HI = (255, 252, 190)
FRAME_LT = (255, 240, 110)
FRAME = (255, 222, 40)
FRAME_SH = (226, 172, 18)
FRAME_DK = (176, 112, 10)
TITLE_INK = (54, 18, 64)
TITLE_EXTR = (120, 56, 120)
CHEEK = (255, 120, 150)
MOUTH = (200, 30, 60)
MOUTH_IN = (240, 90, 110)
STAR = (255, 255, 160)

# ---------------------------------------------------------------------------------------------
# Pixel helpers (images are numpy arrays of shape (h, w, 3), uint8)
# ---------------------------------------------------------------------------------------------


def canvas(w, h, colour=BLACK):
    img = np.zeros((h, w, 3), np.uint8)
    img[:, :] = colour
    return img


def rows_mask(rows, chars="#"):
    return np.array([[c in chars for c in row] for row in rows], bool)


def paint_map(img, x0, y0, rows, cmap):
    """Paints an ASCII pixel map; characters missing from cmap are transparent."""
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch in cmap:
                img[y0 + dy, x0 + dx] = cmap[ch]


def paint_mask(img, x0, y0, mask, colour):
    """Paints mask's set pixels at (x0, y0); what falls outside the image is cut off."""
    h, w = mask.shape
    x1, y1 = min(x0 + w, img.shape[1]), min(y0 + h, img.shape[0])
    cx, cy = max(x0, 0), max(y0, 0)
    img[cy:y1, cx:x1][mask[cy - y0:y1 - y0, cx - x0:x1 - x0]] = colour


def shift(mask, dx, dy):
    out = np.zeros_like(mask)
    h, w = mask.shape
    xs, xd = (0, dx) if dx >= 0 else (-dx, 0)
    ys, yd = (0, dy) if dy >= 0 else (-dy, 0)
    out[yd:h - ys if ys else h, xd:w - xs if xs else w] = mask[ys:h - yd if yd else h, xs:w - xd if xd else w]
    return out


def dilate(mask, r=1, diagonal=True):
    out = mask.copy()
    for _ in range(r):
        grown = out.copy()
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            grown |= shift(out, dx, dy)
        if diagonal:
            for dx, dy in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
                grown |= shift(out, dx, dy)
        out = grown
    return out


def pad(mask, p):
    return np.pad(mask, p)


def text_mask(text, size, mono=True, font=JP_FONT):
    """Renders text as a tight boolean mask (mono uses the font's own 1-bit rasteriser)."""
    f = ImageFont.truetype(font, size)
    left, top, right, bottom = f.getbbox(text)
    im = Image.new("L", (right - left + 2, bottom - top + 2), 0)
    d = ImageDraw.Draw(im)
    d.fontmode = "1" if mono else "L"
    d.text((-left + 1, -top + 1), text, font=f, fill=255)
    m = np.array(im) >= 128
    ys, xs = np.nonzero(m)
    return m[ys.min():ys.max() + 1, xs.min():xs.max() + 1]


# ---------------------------------------------------------------------------------------------
# Tiles
# ---------------------------------------------------------------------------------------------


def raised_tile(hi2, hi, face, sh, dk, n=16):
    t = canvas(n, n, face)
    t[0, :] = hi2
    t[:, 0] = hi2
    t[1, 1:n - 1] = hi
    t[1:n - 1, 1] = hi
    t[n - 2, 1:n - 1] = sh
    t[1:n - 1, n - 2] = sh
    t[n - 1, :] = dk
    t[:, n - 1] = dk
    t[n - 2, 1] = hi  # corners where light meets shadow
    t[1, n - 2] = hi
    t[n - 1, 0] = sh
    t[0, n - 1] = sh
    return t


def sunken_tile(dk, sh, face, lt, n=16):
    t = canvas(n, n, face)
    t[0, :] = dk
    t[:, 0] = dk
    t[1, 1:n] = sh
    t[1:n, 1] = sh
    t[n - 1, 2:] = lt
    t[2:, n - 1] = lt
    return t


def closed_tile():
    t = raised_tile(G_HI2, G_HI, G_FACE, G_SH, G_DK)
    t[2, 2] = G_HI2  # a glint in the upper-left corner
    return t


def open_tile():
    return sunken_tile(O_DK, O_SH, O_FACE, O_LT)


def col_clue_base():
    """Bevel on the left and right edges only, so stacked tiles form one vertical band."""
    t = canvas(16, 16, B_FACE)
    t[:, 0] = B_HI2
    t[:, 1] = B_HI
    t[:, 14] = B_SH
    t[:, 15] = B_DK
    return t


def row_clue_base():
    """Bevel along the top and bottom edges only, so adjacent tiles form one horizontal band."""
    t = canvas(16, 16, B_FACE)
    t[0, :] = B_HI2
    t[1, :] = B_HI
    t[14, :] = B_SH
    t[15, :] = B_DK
    return t


# Clue numerals, 10 rows tall with two-pixel stems.  A 4 with a closed top passes for a 9 at this
# size, so its two strokes stay apart down to the crossbar.
CLUE_DIGITS = {
    "0": [".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."],
    "1": ["..##..", ".###..", "####..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##.."],
    "2": [".####.", "##..##", "....##", "....##", "...##.", "..##..", ".##...", "##....", "##....", "######"],
    "3": [".####.", "##..##", "....##", "....##", "..###.", "....##", "....##", "....##", "##..##", ".####."],
    "4": ["##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "######", "....##", "....##", "....##"],
    "5": ["######", "##....", "##....", "#####.", "....##", "....##", "....##", "....##", "##..##", ".####."],
    "6": [".####.", "##..##", "##....", "##....", "#####.", "##..##", "##..##", "##..##", "##..##", ".####."],
    "7": ["######", "....##", "....##", "...##.", "...##.", "..##..", "..##..", "..##..", "..##..", "..##.."],
    "8": [".####.", "##..##", "##..##", "##..##", ".####.", "##..##", "##..##", "##..##", "##..##", ".####."],
    "9": [".####.", "##..##", "##..##", "##..##", "##..##", ".#####", "....##", "....##", "##..##", ".####."],
}
# Two-digit clues (10 to 20) fill the 12 pixels between the column tiles' bevels: the units keep the
# full-size glyph, with its two-pixel counters, and the tens digit is narrowed to make room.  The shadow
# then falls on the bevel's own shadow column.
CLUE_TENS = {
    "1": ["..##", ".###", "####", "..##", "..##", "..##", "..##", "..##", "..##", "..##"],
    "2": [".###.", "##.##", "...##", "...##", "..##.", ".##..", "##...", "##...", "##...", "#####"],
}
CLUE_PAIR_WIDTH = 12


def clue_number_mask(k):
    text = str(k)
    if len(text) == 1:
        return rows_mask(CLUE_DIGITS[text])
    tens, units = rows_mask(CLUE_TENS[text[0]]), rows_mask(CLUE_DIGITS[text[1]])
    m = np.zeros((10, CLUE_PAIR_WIDTH), bool)
    m[:, :tens.shape[1]] = tens
    m[:, CLUE_PAIR_WIDTH - units.shape[1]:] = units
    return m


def clue_tile(k, column):
    t = col_clue_base() if column else row_clue_base()
    if k == 0:
        return t
    m = clue_number_mask(k)
    h, w = m.shape
    # Centred on pixel 7.5 across; the bottoms of one- and two-digit numbers share row 12.
    x0 = 8 - (w + 1) // 2
    y0 = 13 - h
    paint_mask(t, x0 + 1, y0 + 1, m, B_SH)  # soft drop shadow
    paint_mask(t, x0, y0, m, CLUE_INK)
    return t


# ---------------------------------------------------------------------------------------------
# Bomb, flag and other 16 x 16 figures
# ---------------------------------------------------------------------------------------------

BOMB16 = [
    "............o...",
    "..........o.Y.o.",
    "............WY..",
    ".........f.oYWo.",
    "........f.......",
    "......cCf.......",
    "....eeCCee......",
    "...eKKKKKKe.....",
    "..eKrsKKKKKe....",
    "..eKsKKKKKKe....",
    "..eKKKKKKKKe....",
    "..eKKKKKKKde....",
    "..eKKKKKKdde....",
    "...eKKKddde.....",
    "....eeeeee......",
    "................",
]
BOMB16_CMAP = {"e": K_EDGE, "K": K_MID, "d": K_DARK, "r": K_RIM, "s": K_SHINE, "c": CAP_DK,
               "C": CAP_LT, "f": FUSE, "o": SPARK_O, "Y": SPARK_Y, "W": SPARK_W}


def bomb16(body=None):
    """The 16 x 16 bomb; body recolours the sphere (for the flashing bomb-row frames)."""
    cmap = dict(BOMB16_CMAP)
    if body:
        cmap.update(body)
    return cmap


def open_bomb_tile():
    """A dark bomb alone on the dark-green tile reads poorly; its glow makes it stand out."""
    t = open_tile()
    body = rows_mask(BOMB16, "eKdrscC")
    near = dilate(body, 1, diagonal=False) & ~body
    corner = dilate(body, 1) & ~body & ~near
    far = dilate(body, 2, diagonal=False) & ~body & ~near & ~corner
    inside = np.zeros_like(body)
    inside[1:, 1:] = True  # the tile's dark outer edge stays
    for ring, colour in ((far, HIT_GLOW[2]), (corner, HIT_GLOW[1]), (near, HIT_GLOW[0])):
        t[ring & inside] = colour
    paint_map(t, 0, 0, BOMB16, bomb16(HIT_BODY))
    return t


FLAG16 = [
    "................",
    "................",
    "....lRRr........",
    "....lRRRRr......",
    "....lRRRRRRr....",
    "....lRRRRRRRRr..",
    "....lRRRRRRddd..",
    "....lRRRddd.....",
    "....lddd........",
    "....lp..........",
    "....lp..........",
    "....lp..........",
    "...lppp.........",
    "..DDDDDDD.......",
    "................",
    "................",
]


def flag_tile():
    t = closed_tile()
    cmap = {"l": POLE_LT, "p": POLE, "R": F_RED, "r": F_RED_LT, "d": F_RED_DK, "D": G_SH}
    paint_map(t, 1, 0, FLAG16, cmap)
    # A lighter streak on the cloth.
    for x, y in ((6, 3), (7, 3), (6, 4)):
        t[y, x + 1] = F_RED_LT
    return t


RING10 = ["...####...", ".########.", ".##....##.", "##......##", "##......##",
          "##......##", "##......##", ".##....##.", ".########.", "...####..."]
CROSS10 = ["##......##", "###....###", ".###..###.", "..######..", "...####...",
           "...####...", "..######..", ".###..###.", "###....###", "##......##"]


def clear_open_tile():
    t = sunken_tile(CB_DK, CB_SH, CB_FACE, CB_LT)
    m = rows_mask(RING10)
    paint_mask(t, 4, 4, m, SHADE_ON_BLUE)
    paint_mask(t, 3, 3, m, WHITE)
    return t


def clear_bomb_tile():
    t = sunken_tile(CM_DK, CM_SH, CM_FACE, CM_LT)
    m = rows_mask(CROSS10)
    paint_mask(t, 4, 4, m, SHADE_ON_MAGENTA)
    paint_mask(t, 3, 3, m, WHITE)
    return t


# ---------------------------------------------------------------------------------------------
# Bomb row
# ---------------------------------------------------------------------------------------------


def bomb_row_ground():
    t = canvas(16, 16)
    for y in range(16):
        t[y, :] = ORANGE_RAMP[y]
    return t


def star_mask(cx, cy, r_in, r_out, points, phase=0.0, n=16):
    ys, xs = np.mgrid[0:n, 0:n]
    dx = xs + 0.5 - cx
    dy = ys + 0.5 - cy
    ang = np.arctan2(dy, dx) + phase
    rad = np.hypot(dx, dy)
    # Radius of the star outline at each angle: a triangle wave between r_in and r_out.
    k = (ang * points / (2 * np.pi)) % 1.0
    edge = r_in + (r_out - r_in) * (1 - np.abs(2 * k - 1))
    return rad <= edge


def burst(t, cx, cy, layers):
    """Draws nested star shapes; layers are (r_in, r_out, points, phase, colour), outermost first."""
    for r_in, r_out, pts, ph, col in layers:
        m = star_mask(cx, cy, r_in, r_out, pts, ph)
        t[m] = col


def bomb_row_frame(n):
    t = bomb_row_ground()
    if n == 0:
        paint_map(t, 0, 0, BOMB16, bomb16())
    elif n == 1:
        paint_map(t, 0, 0, BOMB16, bomb16({"e": (176, 112, 0), "K": (255, 222, 40), "d": (238, 176, 20),
                                           "r": (255, 246, 150), "s": WHITE}))
    elif n == 2:
        paint_map(t, 0, 0, BOMB16, bomb16({"e": (196, 150, 110), "K": WHITE, "d": (236, 228, 220),
                                           "r": WHITE, "s": WHITE}))
    elif n == 3:
        burst(t, 7.5, 9.0, [(4.2, 7.6, 8, 0.0, (255, 236, 200)), (3.4, 6.4, 8, 0.0, WHITE),
                            (2.4, 3.2, 6, 0.3, SPARK_R), (0, 1.6, 4, 0.0, (255, 90, 40))])
    elif n == 4:
        burst(t, 7.5, 8.5, [(4.6, 7.2, 7, 0.2, BURST_OUT), (3.8, 6.2, 7, 0.2, SPARK_R),
                            (2.0, 3.8, 7, 0.6, (255, 96, 40)), (0, 1.8, 4, 0.0, SPARK_O)])
    elif n == 5:
        burst(t, 8.0, 8.0, [(6.2, 8.6, 9, 0.1, BURST_OUT), (5.4, 7.6, 9, 0.1, SPARK_R),
                            (3.6, 5.6, 9, 0.45, SPARK_O), (2.0, 3.6, 6, 0.2, SPARK_Y),
                            (0, 1.6, 4, 0.0, SPARK_W)])
    elif n == 6:
        # Flames lick outwards from a ring around the bomb: yellow at the root, red at the tips.
        ys, xs = np.mgrid[0:16, 0:16] + 0.5
        d = np.hypot(xs - 8.0, ys - 8.5)
        ring = star_mask(8.0, 8.5, 6.4, 8.6, 9, 0.0) & (d >= 4.8)
        t[ring] = BURST_OUT
        t[ring & (d < 7.4)] = SPARK_R
        t[ring & (d < 6.4)] = SPARK_O
        t[ring & (d < 5.6)] = SPARK_Y
        small = [
            "....cf.",
            "..eCe..",
            ".eKKKe.",
            "eKsKKKe",
            "eKKKKde",
            "eKKKdde",
            ".eKdde.",
            "..eee..",
        ]
        paint_map(t, 4, 4, small, bomb16())
        t[3, 9] = SPARK_Y
    return t


# ---------------------------------------------------------------------------------------------
# Digits for the clock and the counters (8 x 12, drawn with a one-pixel outline)
# ---------------------------------------------------------------------------------------------

BIG_DIGITS = {
    "0": ["..####..", ".######.", "###..###", "##....##", "##....##", "##....##",
          "##....##", "##....##", "##....##", "###..###", ".######.", "..####.."],
    "1": ["...###..", "..####..", ".#####..", "...###..", "...###..", "...###..",
          "...###..", "...###..", "...###..", "...###..", ".#######", ".#######"],
    "2": ["..####..", ".######.", "###..###", "##....##", "......##", ".....###",
          "....###.", "...###..", "..###...", ".###....", "########", "########"],
    "3": ["..####..", ".######.", "###..###", "......##", ".....###", "...####.",
          "...####.", ".....###", "......##", "###..###", ".######.", "..####.."],
    "4": ["....###.", "...####.", "..#####.", ".###.##.", "###..##.", "##...##.",
          "########", "########", ".....##.", ".....##.", ".....##.", ".....##."],
    "5": ["########", "########", "##......", "##......", "######..", "#######.",
          ".....###", "......##", "......##", "###..###", ".######.", "..####.."],
    "6": ["..####..", ".######.", "###..###", "##......", "##.###..", "#######.",
          "###..###", "##....##", "##....##", "###..###", ".######.", "..####.."],
    "7": ["########", "########", "......##", ".....###", "....###.", "...###..",
          "..###...", "..##....", "..##....", "..##....", "..##....", "..##...."],
    "8": ["..####..", ".######.", "###..###", "##....##", "###..###", ".######.",
          ".######.", "###..###", "##....##", "###..###", ".######.", "..####.."],
    "9": ["..####..", ".######.", "###..###", "##....##", "##....##", "###..###",
          ".#######", "..###.##", "......##", "###..###", ".######.", "..####.."],
}


def outlined(mask, p=1):
    """Returns (glyph, outline) masks padded by p pixels."""
    g = pad(mask, p)
    return g, dilate(g, p) & ~g


def clock_band():
    t = canvas(16, 16)
    rows = [CLK_TOP, CLK_HI, CLK_F1, CLK_F1, CLK_F2, CLK_F2, CLK_F2, CLK_F2,
            CLK_F3, CLK_F3, CLK_F3, CLK_F3, CLK_F3, CLK_LO, CLK_LO, CLK_BOT]
    for y, c in enumerate(rows):
        t[y, :] = c
    return t


def draw_clock_glyph(t, x0, y0, mask):
    g, o = outlined(mask)
    paint_mask(t, x0, y0, o, CLK_INK)
    h = g.shape[0]
    face = g.copy()
    lower = g.copy()
    lower[:h * 2 // 3, :] = False
    paint_mask(t, x0, y0, face, WHITE)
    paint_mask(t, x0, y0, lower, CLK_GREY)


def clock_digit(d):
    t = clock_band()
    draw_clock_glyph(t, 3, 1, rows_mask(BIG_DIGITS[str(d)]))
    return t


SEC_WIDE = {
    "s": [".####", "##...", "##...", ".###.", "...##", "...##", "####."],
    "e": [".###.", "##.##", "#####", "##...", "##...", "##.##", ".###."],
    "c": [".###.", "##.##", "##...", "##...", "##...", "##.##", ".###."],
}
SEC_NARROW = {
    "s": [".###", "#...", ".##.", "...#", "...#", "###."],
    "e": [".##.", "#..#", "####", "#...", "#..#", ".##."],
    "c": [".##.", "#..#", "#...", "#...", "#..#", ".##."],
}


def word_mask(font, text, gap):
    glyphs = [rows_mask(font[c]) for c in text]
    h = glyphs[0].shape[0]
    w = sum(g.shape[1] for g in glyphs) + gap * (len(glyphs) - 1)
    m = np.zeros((h, w), bool)
    x = 0
    for g in glyphs:
        m[:, x:x + g.shape[1]] = g
        x += g.shape[1] + gap
    return m


def clock_unit(wide):
    t = np.concatenate([clock_band(), clock_band()], axis=1) if wide else clock_band()
    if wide:
        m = word_mask(SEC_WIDE, "sec", 2)
        draw_clock_glyph(t, (32 - m.shape[1] - 2) // 2, 14 - m.shape[0] - 1, m)
    else:
        m = word_mask(SEC_NARROW, "sec", 1)
        draw_clock_glyph(t, 0, 14 - m.shape[0] - 1, m)
    return t


# ---------------------------------------------------------------------------------------------
# Corner panel pieces
# ---------------------------------------------------------------------------------------------


def corner_ground():
    t = canvas(16, 16, PINK)
    for y in range(16):
        for x in range(16):
            if (x - y) % 4 == 0:
                t[y, x] = PINK_HATCH
    return t


def count_digit(d):
    t = corner_ground()
    g, o = outlined(rows_mask(BIG_DIGITS[str(d)]))
    paint_mask(t, 3, 1, o, COUNT_INK)
    paint_mask(t, 3, 1, g, COUNT_Y)
    lower = g.copy()
    lower[:9, :] = False
    paint_mask(t, 3, 1, lower, COUNT_Y_DK)
    top = g & ~shift(g, 0, 1)  # the top edge of every stroke catches the light
    paint_mask(t, 3, 1, top, COUNT_Y_HI)
    return t


def icon_tile(raised):
    t = corner_ground()
    if raised:
        tile = raised_tile(G_HI2, G_HI, G_FACE, G_SH, G_DK, n=10)
    else:
        tile = sunken_tile(O_DK, O_SH, O_FACE, O_LT, n=10)
    frame = G_DK if raised else O_DK
    t[2:14, 2:14] = frame
    t[3:13, 3:13] = tile
    t[14, 3:15] = PINK_HATCH  # drop shadow on the ground
    t[3:15, 14] = PINK_HATCH
    return t


ARROW16 = [
    "................",
    "................",
    "........#.......",
    "........##......",
    "........###.....",
    "..#########.....",
    "..##########....",
    "..###########...",
    "..###########...",
    "..##########....",
    "..#########.....",
    "........###.....",
    "........##......",
    "........#.......",
    "................",
    "................",
]


def arrow_tile():
    t = corner_ground()
    m = rows_mask(ARROW16)
    o = dilate(m) & ~m
    paint_mask(t, 0, 0, shift(m | o, 1, 1) & ~(m | o), COUNT_INK)  # shadow
    paint_mask(t, 0, 0, o, COUNT_INK)
    paint_mask(t, 0, 0, m, ARROW_Y)
    top = m & ~shift(m, 0, 1)
    paint_mask(t, 0, 0, top, ARROW_YL)
    low = m.copy()
    low[:9, :] = False
    paint_mask(t, 0, 0, low, ARROW_YD)
    return t


KO13 = [
    "..#..........",
    "..#.#########",
    ".#..#...#...#",
    ".#..#.#####.#",
    "##..#...#...#",
    "##..#.#####.#",
    ".#..#.#...#.#",
    ".#..#.#...#.#",
    ".#..#.#####.#",
    ".#..#.......#",
    ".#..#########",
]


# English needs no counter word; the unit tile names what is counted instead.  Fifteen pixels wide,
# so the outline is cut at the tile's right edge.
CELLS15 = [
    "........#.#....",
    "........#.#....",
    "........#.#....",
    ".##..#..#.#..##",
    "#...#.#.#.#.#..",
    "#...###.#.#..#.",
    "#...#...#.#...#",
    ".##..##.#.#.##.",
]


def count_unit_tile(rows, x0, y0):
    """The counter's unit in blue with a white outline; (x0, y0) places the outlined glyph."""
    t = corner_ground()
    m = pad(rows_mask(rows), 1)
    o = dilate(m) & ~m
    paint_mask(t, x0, y0, shift(m | o, 1, 1) & ~(m | o), PINK_HATCH)
    paint_mask(t, x0, y0, o, WHITE)
    paint_mask(t, x0, y0, m, UNIT_BLUE)
    return t


# ---------------------------------------------------------------------------------------------
# Explosion
# ---------------------------------------------------------------------------------------------


FIRE_RAMP = np.array([(104, 16, 10), (156, 30, 12), (206, 60, 16), (238, 108, 22), (254, 160, 32),
                      (255, 208, 60), (255, 240, 146), (255, 255, 228)])
SMOKE_RAMP = np.array([(40, 34, 36), (62, 54, 54), (88, 78, 76), (118, 106, 100), (152, 138, 128)])


def paint_puffs(img, puffs, ramp):
    """Paints round puffs back to front, each lit from the upper left with a darker rim."""
    n = img.shape[0]
    ys, xs = np.mgrid[0:n, 0:n] + 0.5
    top = len(ramp) - 1
    for cx, cy, r, heat in puffs:
        d = np.hypot(xs - cx, ys - cy)
        inside = d <= r
        lit = 1 - np.hypot(xs - (cx - 0.35 * r), ys - (cy - 0.35 * r)) / (1.6 * r)
        lvl = np.clip(np.round((heat + 0.5 * (lit - 0.45)) * top), 0, top).astype(int)
        lvl = np.where(d > r - 1.0, np.maximum(lvl - 2, 0), lvl)
        img[inside] = ramp[lvl][inside]


def ring_puffs(rng, count, dist, radius, heat, jitter=1.0, phase=0.0):
    out = []
    for k in range(count):
        a = phase + 2 * np.pi * k / count + rng.uniform(-0.2, 0.2)
        d = dist + rng.uniform(-jitter, jitter)
        out.append((24 + d * np.cos(a), 24 + d * np.sin(a), radius + rng.uniform(-jitter, jitter), heat))
    return out


def blast(i):
    """Explosion frame i on black: 1 a young fireball, 2 at full size, 3 burning out into smoke."""
    rng = np.random.RandomState(100 + i)
    img = canvas(48, 48)
    if i == 1:
        paint_puffs(img, ring_puffs(rng, 6, 6.5, 5.5, 0.72, 0.6, 0.3), FIRE_RAMP)
        paint_puffs(img, [(23.5, 23.5, 7.5, 1.0)], FIRE_RAMP)
        sparks, spread, colour = 8, (15, 20), FIRE_RAMP[6]
    elif i == 2:
        paint_puffs(img, ring_puffs(rng, 10, 15.0, 7.0, 0.45, 0.8), FIRE_RAMP)
        paint_puffs(img, ring_puffs(rng, 7, 8.5, 7.5, 0.72, 0.8, 0.4), FIRE_RAMP)
        paint_puffs(img, [(23.5, 23.5, 9.0, 0.9)], FIRE_RAMP)
        sparks, spread, colour = 12, (21, 23), FIRE_RAMP[5]
    else:
        paint_puffs(img, ring_puffs(rng, 11, 16.0, 6.5, 0.62, 1.0), SMOKE_RAMP)
        paint_puffs(img, ring_puffs(rng, 7, 9.5, 6.5, 0.42, 1.0, 0.5), SMOKE_RAMP)
        paint_puffs(img, ring_puffs(rng, 5, 5.5, 4.5, 0.30, 0.8, 0.2), FIRE_RAMP)
        paint_puffs(img, ring_puffs(rng, 3, 2.5, 2.5, 0.55, 0.5, 0.9), FIRE_RAMP)
        sparks, spread, colour = 9, (19, 23), FIRE_RAMP[3]
    # Flying sparks, only on black.
    for _ in range(sparks):
        a = rng.uniform(0, 2 * np.pi)
        d = rng.uniform(*spread)
        x, y = int(24 + np.cos(a) * d), int(24 + np.sin(a) * d)
        if 0 <= x < 48 and 0 <= y < 48 and not img[y, x].any():
            img[y, x] = colour
    return img


def blast_mask(pic):
    content = (pic != 0).any(axis=2)
    m = canvas(pic.shape[1], pic.shape[0], WHITE)
    m[content] = BLACK
    return m


def enclosed_filled(mask):
    """The mask with every hole filled: what no 4-connected path of clear pixels joins to the edge."""
    clear = ~mask
    outside = np.zeros_like(mask)
    outside[0, :], outside[-1, :], outside[:, 0], outside[:, -1] = clear[0, :], clear[-1, :], clear[:, 0], clear[:, -1]
    while True:
        grown = dilate(outside, 1, diagonal=False) & clear
        if (grown == outside).all():
            return ~outside
        outside = grown


def banner_mask(pic):
    """The lettering's deepest shading is black inside its counters: those pixels stay opaque."""
    m = canvas(pic.shape[1], pic.shape[0], WHITE)
    m[enclosed_filled((pic != 0).any(axis=2))] = BLACK
    return m


# ---------------------------------------------------------------------------------------------
# Title caption strip
# ---------------------------------------------------------------------------------------------


def bold_text_mask(text, size):
    """Per-character one-pixel-bolder text with the advance widened to match, so letters never merge."""
    f = ImageFont.truetype(JP_FONT, size)
    width = int(sum(f.getlength(c) + 1 for c in text)) + 4
    im = Image.new("L", (width, size + 6), 0)
    d = ImageDraw.Draw(im)
    d.fontmode = "1"
    x = 1.0
    for c in text:
        d.text((round(x), 1), c, font=f, fill=255)
        d.text((round(x) + 1, 1), c, font=f, fill=255)
        x += f.getlength(c) + 1
    m = np.array(im) >= 128
    ys, xs = np.nonzero(m)
    return m[ys.min():ys.max() + 1, xs.min():xs.max() + 1]


def title_caption(parts):
    """parts: the caption's pieces as masks, set side by side on one bottom line."""
    strip = np.concatenate([open_tile()] * 13, axis=1)
    h = max(p.shape[0] for p in parts)
    w = sum(p.shape[1] for p in parts) + 6
    x = (208 - w) // 2
    y0 = (16 - h) // 2
    sh = np.zeros((16, 208), bool)
    for p in parts:
        sh[y0 + h - p.shape[0]:y0 + h, x:x + p.shape[1]] = p
        x += p.shape[1] + 6
    strip[dilate(sh) & ~sh] = O_DK
    strip[sh] = WHITE
    return strip


def title_edge():
    return np.concatenate([open_tile()] * 13, axis=1)


# ---------------------------------------------------------------------------------------------
# Sheets
# ---------------------------------------------------------------------------------------------


def put(sheet, x, y, img):
    h, w = img.shape[:2]
    sheet[y:y + h, x:x + w] = img


def char_sheet(words):
    """DIB_CHAR, 336 x 160; also returns the named rectangles for the contact sheet."""
    s = canvas(336, 160)
    names = []

    def place(name, x, y, img, family):
        put(s, x, y, img)
        names.append((family, name, x, y, img.shape[1], img.shape[0]))

    for k in range(21):
        place("COL_CLUE[%d]" % k, 16 * k, 0, clue_tile(k, True), "column clues")
    for k in range(21):
        place("ROW_CLUE[%d]" % k, 16 * k, 16, clue_tile(k, False), "row clues")
    place("CLOSED", 0, 32, closed_tile(), "cells")
    place("OPEN", 16, 32, open_tile(), "cells")
    place("OPEN_BOMB", 32, 32, open_bomb_tile(), "cells")
    place("FLAG", 48, 32, flag_tile(), "cells")
    place("CLEAR_OPEN", 64, 32, clear_open_tile(), "cells")
    place("CLEAR_BOMB", 80, 32, clear_bomb_tile(), "cells")
    for n in range(7):
        place("BOMB_ROW[%d]" % n, 96 + 16 * n, 32, bomb_row_frame(n), "bomb row")
    place("BOMB_ROW_BG", 208, 32, bomb_row_ground(), "bomb row")
    for d in range(10):
        place("CLOCK_DIGIT[%d]" % d, 16 * d, 48, clock_digit(d), "clock")
    place("CLOCK_UNIT_WIDE", 160, 48, clock_unit(True), "clock")
    place("CLOCK_UNIT", 192, 48, clock_unit(False), "clock")
    place("CLOCK_BG", 208, 48, clock_band(), "clock")
    for d in range(10):
        place("COUNT_DIGIT[%d]" % d, 16 * d, 64, count_digit(d), "counters")
    place("ICON_CLOSED", 160, 64, icon_tile(True), "counters")
    place("ICON_OPEN", 176, 64, icon_tile(False), "counters")
    place("ARROW", 192, 64, arrow_tile(), "counters")
    place("COUNT_UNIT", 208, 64, words["count_unit"](), "counters")
    place("CORNER_BG", 224, 64, corner_ground(), "counters")
    for i in (1, 2, 3):
        pic = blast(i)
        place("BLAST[%d]" % i, 48 * (i - 1), 80, pic, "blasts")
        place("BLAST_MASK[%d]" % i, 144 + 48 * (i - 1), 80, blast_mask(pic), "blasts")
    place("TITLE_CAPTION", 0, 128, title_caption(words["caption"]()), "title strips")
    place("TITLE_EDGE", 0, 144, title_edge(), "title strips")
    return s, names


# ---------------------------------------------------------------------------------------------
# Banners (DIB_SUB)
# ---------------------------------------------------------------------------------------------


def banner_glyphs_ja(text):
    """The Japanese face at 40 pixels, a character at a time; returns the glyphs and the gap between them."""
    glyphs = [text_mask(ch, 40, mono=False) for ch in text]
    return [dilate(pad(g, 1), 1, diagonal=False) for g in glyphs], 4  # heavier strokes


def banner_glyphs_latin(text, widest=180):
    """Bold Latin capitals on one baseline, at the largest size up to 40 pixels whose lettering fits.
    The bold face is heavy enough as it is; made heavier, the dot of "!" would join its stroke."""
    for size in range(40, 8, -1):
        f = ImageFont.truetype(LATIN_BOLD_FONT, size)
        inked = [f.getbbox(ch) for ch in text if ch != " "]
        top, bottom = min(b[1] for b in inked), max(b[3] for b in inked)
        glyphs = []
        for ch in text:
            if ch == " ":
                glyphs.append(np.zeros((bottom - top + 4, size // 4), bool))
                continue
            left, _, right, _ = f.getbbox(ch)
            im = Image.new("L", (right - left + 2, bottom - top + 2), 0)
            ImageDraw.Draw(im).text((1 - left, 1 - top), ch, font=f, fill=255)
            m = np.array(im) >= 128
            xs = np.nonzero(m.any(axis=0))[0]
            glyphs.append(pad(m[:, xs.min():xs.max() + 1], 1))
        if sum(g.shape[1] + 3 for g in glyphs) <= widest:
            return glyphs, 3
    raise SystemExit("make_art: banner words too long: " + text)


def gold_lettering(glyphs, gap, w=192, h=48):
    """Gold three-dimensional lettering on black; returns the picture."""
    total = sum(g.shape[1] for g in glyphs) + gap * (len(glyphs) - 1)
    face = np.zeros((h, w), bool)
    x = (w - total) // 2 - 1
    for g in glyphs:
        gh, gw = g.shape
        y = (h - gh) // 2 - 1
        face[y:y + gh, x:x + gw] |= g
        x += gw + gap
    edge = dilate(face, 1) & ~face
    body = face | edge
    extr = [shift(body, k, k) & ~body for k in (1, 2, 3)]
    img = canvas(w, h)
    acc = np.zeros_like(face)
    for k, m in enumerate(extr):
        img[m & ~acc] = GOLD_EXTR[k]
        acc |= m
    img[edge] = GOLD_EDGE
    ys = np.nonzero(face.any(axis=1))[0]
    top, bottom = ys.min(), ys.max()
    for y in range(top, bottom + 1):
        idx = min(len(GOLD) - 1, int((y - top) * len(GOLD) / (bottom - top + 1)))
        row = face[y]
        img[y, row] = GOLD[idx]
    hi = face & ~shift(face, 1, 1)
    img[hi] = GOLD_HI
    lo = face & ~shift(face, -1, -1) & ~hi
    img[lo] = GOLD_SH
    return img


def sub_sheet(words):
    s = canvas(192, 192)
    names = []
    clear = gold_lettering(*words["clear"]())
    over = gold_lettering(*words["over"]())
    for name, y, img in (("CLEAR_BANNER", 0, clear), ("CLEAR_BANNER_MASK", 48, banner_mask(clear)),
                         ("OVER_BANNER", 96, over), ("OVER_BANNER_MASK", 144, banner_mask(over))):
        put(s, 0, y, img)
        names.append(("banners", name, 0, y, 192, 48))
    return s, names


# ---------------------------------------------------------------------------------------------
# Title picture and animation (DIB_TITLE)
# ---------------------------------------------------------------------------------------------


def bomb_character(frame):
    """One 32 x 32 frame of the title's bomb character on the title pink: it hops, blinks and its fuse fizzes."""
    n = 32
    img = canvas(n, n, TPINK)
    bob = [0, -1, -2, -2, -2, -1, 0, 0][frame]
    ys, xs = np.mgrid[0:n, 0:n] + 0.5
    # Shadow on the ground, smaller while the bomb is up.
    sw = [8.5, 8.0, 7.0, 7.0, 7.0, 8.0, 8.5, 9.0][frame]
    img[((xs - 15.0) / sw) ** 2 + ((ys - 29.5) / 1.5) ** 2 <= 1] = TPINK_DK
    cx, cy, r = 15.0, 19.0 + bob, 9.3
    dx, dy = xs - cx, ys - cy
    d = np.hypot(dx, dy)
    body = d <= r
    light = (-dx * 0.6 - dy * 0.8) / r
    img[body] = K_DARK
    img[body & (light > -0.3)] = K_MID
    img[body & (light > 0.5) & (d > r - 3.0)] = K_RIM
    img[body & (d > r - 1.0)] = K_EDGE
    oy = int(cy - 19.0)  # the bob as a whole-pixel offset
    # Shine.
    for px, py in ((9, 13), (10, 13), (9, 14), (8, 15), (11, 12)):
        img[py + oy, px] = K_SHINE
    # Cap and fuse on the upper right.
    cap = ["..cC", ".cCC", "cCCc", ".cc."]
    paint_map(img, 19, 9 + oy, cap, {"c": CAP_DK, "C": CAP_LT})
    for px, py in ((22, 8), (23, 7), (23, 6), (24, 5)):
        img[py + oy, px] = FUSE
    fx, fy = 25, 4 + oy
    sparks = [
        [(0, 0, SPARK_W), (-1, 0, SPARK_Y), (1, 0, SPARK_Y), (0, -1, SPARK_Y), (0, 1, SPARK_Y)],
        [(0, 0, SPARK_W), (-1, -1, SPARK_O), (1, 1, SPARK_O), (1, -1, SPARK_O), (-1, 1, SPARK_O),
         (0, -2, SPARK_Y), (2, 0, SPARK_Y)],
        [(0, 0, SPARK_Y), (-1, 0, SPARK_O), (1, 0, SPARK_O), (0, -1, SPARK_O), (0, 1, SPARK_O),
         (-2, 0, SPARK_Y), (2, 0, SPARK_Y), (0, -2, SPARK_Y), (0, 2, SPARK_Y)],
        [(0, 0, SPARK_W), (-1, -1, SPARK_Y), (1, 1, SPARK_Y), (1, -1, SPARK_Y), (-1, 1, SPARK_Y),
         (2, -2, SPARK_O), (-2, 2, SPARK_O)],
    ][frame % 4]
    for ox, oy2, col in sparks:
        img[fy + oy2, fx + ox] = col
    # Face: eyes, a blink on one frame, a mouth that opens and closes.
    if frame == 4:
        for ex in (9, 16):
            img[19 + oy, ex:ex + 4] = WHITE
            img[18 + oy, ex] = WHITE
            img[18 + oy, ex + 3] = WHITE
    else:
        eye = [".WW.", "WWWW", "WPPW", "WPPW", ".WW."] if frame % 4 != 3 else [".WW.", "WWWW", "WWPP", "WWPP", ".WW."]
        for ex in (9, 16):
            paint_map(img, ex, 16 + oy, eye, {"W": WHITE, "P": K_EDGE})
    mouth = ["M...M", ".MmM."] if frame % 2 == 0 else ["M...M", ".MmM.", "..M.."]
    paint_map(img, 12, 22 + oy, mouth, {"M": MOUTH, "m": MOUTH_IN})
    for px in (8, 21):
        img[22 + oy, px] = CHEEK
        img[22 + oy, px + 1] = CHEEK
    return img


TITLE_LINE1 = "ずむの"
TITLE_LINE2 = "タイル"
TITLE_NUMBER = "32"
LETTER_COLOURS = [
    [(255, 150, 150), (250, 80, 80), (214, 36, 48)],
    [(255, 200, 120), (255, 150, 30), (220, 100, 10)],
    [(170, 240, 140), (80, 196, 70), (30, 140, 40)],
    [(160, 210, 255), (70, 140, 250), (30, 80, 200)],
    [(220, 170, 255), (170, 90, 240), (110, 40, 190)],
    [(150, 240, 230), (40, 196, 190), (10, 130, 140)],
    [(255, 250, 150), (255, 220, 40), (230, 160, 10)],
]


def letter_block(img, x, y, mask, colours, extrude=3):
    """Draws one big letter: dark outline, extrusion to the lower right, shaded face."""
    g = pad(mask, 3)
    edge = dilate(g, 2) & ~g
    body = g | edge
    h, w = g.shape
    region = img[y:y + h + extrude, x:x + w + extrude]
    full_body = np.zeros(region.shape[:2], bool)
    full_body[:h, :w] = body
    ext = np.zeros_like(full_body)
    for k in range(1, extrude + 1):
        ext |= shift(full_body, k, k)
    region[ext & ~full_body] = TITLE_EXTR
    fb_g = np.zeros_like(full_body)
    fb_g[:h, :w] = g
    region[full_body & ~fb_g] = TITLE_INK
    ys = np.nonzero(g.any(axis=1))[0]
    top, bottom = ys.min(), ys.max()
    light, mid, dark = colours
    for yy in range(top, bottom + 1):
        frac = (yy - top) / max(1, bottom - top)
        col = light if frac < 0.3 else (mid if frac < 0.72 else dark)
        region[yy, :w][g[yy]] = col
    hi = fb_g & ~shift(fb_g, 1, 1) & ~shift(fb_g, 0, 1)
    region[hi] = WHITE


SPARKLE = ["..Y..", "..Y..", "YYWYY", "..Y..", "..Y.."]
SMALL_SPARKLE = [".Y.", "YWY", ".Y."]


def components(mask):
    """Labels the 4-connected parts of a mask (0 is background)."""
    labels = np.zeros(mask.shape, int)
    count = 0
    h, w = mask.shape
    for y0, x0 in zip(*np.nonzero(mask)):
        if labels[y0, x0]:
            continue
        count += 1
        labels[y0, x0] = count
        stack = [(y0, x0)]
        while stack:
            y, x = stack.pop()
            for ny, nx in ((y + 1, x), (y - 1, x), (y, x + 1), (y, x - 1)):
                if 0 <= ny < h and 0 <= nx < w and mask[ny, nx] and not labels[ny, nx]:
                    labels[ny, nx] = count
                    stack.append((ny, nx))
    return labels, count


def embolden(mask, grow):
    """Thickens strokes by grow pixels without letting separate marks (dakuten, dots) run together."""
    mask = pad(mask, grow)
    labels, count = components(mask)
    cover = np.zeros(mask.shape, int)
    for k in range(1, count + 1):
        cover += dilate(labels == k, grow, diagonal=False)
    return mask | (cover == 1)


DAKUTEN_MARK = ["##...", "###..", ".###.", "..###", "...##"]


def title_letter(ch, size, grow):
    """A bold title letter.  ず is drawn as す with hand-placed voicing marks, because the font's
    marks sit so tight against the stroke that a bold face runs them together."""
    if ch != "ず":
        return embolden(text_mask(ch, size, mono=False), grow)
    base = embolden(text_mask("す", size, mono=False), grow)
    h, w = base.shape
    m = np.zeros((h + 3, w), bool)
    m[3:, :] = base
    mark = rows_mask(DAKUTEN_MARK)
    for x in (w - 11, w - 5):
        m[1:6, x:x + 5] |= mark
    return m


def line_masks(chars, size, grow):
    return [title_letter(ch, size, grow) for ch in chars]


def title_picture(words):
    img = canvas(288, 256, TPINK)
    pic = img[:224]
    # Yellow frame with a bevel and studs.
    pic[:, :] = FRAME
    pic[0, :] = pic[-1, :] = FRAME_OUT
    pic[:, 0] = pic[:, -1] = FRAME_OUT
    pic[1, 1:-1] = FRAME_HI
    pic[1:-1, 1] = FRAME_HI
    pic[2, 2:-2] = FRAME_LT
    pic[2:-2, 2] = FRAME_LT
    pic[-2, 1:-1] = FRAME_SH
    pic[1:-1, -2] = FRAME_SH
    pic[-3, 2:-2] = FRAME_SH
    pic[2:-2, -3] = FRAME_SH
    pic[7, 7:-7] = FRAME_DK
    pic[7:-7, 7] = FRAME_DK
    pic[-8, 7:-7] = FRAME_HI
    pic[7:-7, -8] = FRAME_HI
    pic[8:-8, 8:-8] = TPINK
    for x in range(16, 288 - 8, 16):
        for y in (3, 224 - 6):
            pic[y:y + 2, x:x + 2] = FRAME_DK
            pic[y, x] = FRAME_HI
    for y in range(16, 224 - 8, 16):
        for x in (3, 288 - 6):
            pic[y:y + 2, x:x + 2] = FRAME_DK
            pic[y, x] = FRAME_HI
    # The name: "zumu no" above, "tile 32" big below; the hopping bomb sits to the upper right.
    x = 26
    for i, m in enumerate(line_masks(TITLE_LINE1, 40, 1)):
        letter_block(pic, x, 16, m, LETTER_COLOURS[i])
        x += m.shape[1] + 6
    line2 = line_masks(TITLE_LINE2, 58, 2) + [dilate(text_mask(TITLE_NUMBER, 56, mono=False, font=LATIN_BOLD_FONT), 1,
                                                        diagonal=False)]
    gaps = [4, 4, 10]
    total = sum(m.shape[1] + 8 for m in line2) + sum(gaps)
    x = (288 - total) // 2
    bottom = 74 + max(m.shape[0] for m in line2[:3])
    for i, m in enumerate(line2):
        letter_block(pic, x, bottom - m.shape[0] - (2 if i == 3 else 0), m, LETTER_COLOURS[3 + i])
        x += m.shape[1] + 8 + (gaps[i] if i < 3 else 0)
    # Subtitle in a rounded ribbon.
    sub = words["subtitle"]()
    h, w = sub.shape
    rx0, ry0, rw, rh = (288 - w - 20) // 2, 146, w + 20, h + 8
    ribbon = np.zeros((224, 288), bool)
    ribbon[ry0:ry0 + rh, rx0 + 2:rx0 + rw - 2] = True
    ribbon[ry0 + 2:ry0 + rh - 2, rx0:rx0 + rw] = True
    ribbon[ry0 + 1:ry0 + rh - 1, rx0 + 1:rx0 + rw - 1] = True
    pic[shift(ribbon, 2, 2) & ~ribbon] = TPINK_DK
    pic[dilate(ribbon) & ~ribbon] = TITLE_INK
    pic[ribbon] = WHITE
    tx, ty = rx0 + 10, ry0 + 4
    pic[ty + 1:ty + 1 + h, tx + 1:tx + 1 + w][sub] = TPINK_DK
    pic[ty:ty + h, tx:tx + w][sub] = TITLE_INK
    for bx in (rx0 - 20, rx0 + rw + 4):
        paint_map(pic, bx, ry0 - 2, BOMB16, bomb16())
    # A strip of the board along the bottom, framed.
    tiles = [closed_tile(), open_tile(), flag_tile(), open_bomb_tile()]
    pattern = [0, 0, 2, 1, 1, 3, 1, 0, 0, 2, 1, 0, 3, 1, 1, 0]
    clues = [2, 0, 1, 3, 0, 2, 1, 4, 0, 3, 1, 2, 0, 1, 3, 2]
    pic[175:209, 15:273] = TITLE_INK
    pic[209:211, 17:275] = TPINK_DK
    pic[177:211, 273:275] = TPINK_DK
    for k in range(16):
        put(pic, 16 + 16 * k, 176, clue_tile(clues[k], True))
        put(pic, 16 + 16 * k, 192, tiles[pattern[k]])
    # Sparkles in the empty corners of the field (never in the hopping bomb's square).
    for x, y, shape in ((176, 22, SPARKLE), (186, 50, SPARKLE), (252, 80, SPARKLE), (14, 132, SPARKLE),
                        (266, 134, SPARKLE), (160, 44, SMALL_SPARKLE), (258, 22, SMALL_SPARKLE),
                        (22, 70, SMALL_SPARKLE), (264, 112, SMALL_SPARKLE)):
        n = len(shape)
        clear = (pic[y - 2:y + n + 2, x - 2:x + n + 2] == TPINK).all()
        anim = x + n + 2 > 205 and x - 2 < 237 and y + n + 2 > 24 and y - 2 < 56
        if clear and not anim:
            paint_map(pic, x, y, shape, {"Y": STAR, "W": WHITE})
    # Animation frames along the bottom of the sheet; the ninth slot stays plain pink.
    for f in range(8):
        put(img, 32 * f, 224, bomb_character(f))
    return img


# ---------------------------------------------------------------------------------------------
# The words in the pictures, by language
# ---------------------------------------------------------------------------------------------

# The title's name stays Japanese in every language: it is the game's brand.  "sec" on the clock
# is already read the same way everywhere.  Each entry draws one piece when called.
WORDS = {
    "ja": {
        # The key name in a bold Latin face, the Japanese in the Gothic made one pixel bolder.
        "caption": lambda: [text_mask("Ctrl+N", 12, font=LATIN_BOLD_FONT), bold_text_mask("でスタート!", 13)],
        "count_unit": lambda: count_unit_tile(KO13, 1, 2),
        "clear": lambda: banner_glyphs_ja("目的達成"),
        "over": lambda: banner_glyphs_ja("遊技停止"),
        "subtitle": lambda: bold_text_mask("ばくだん さがしの ロジック", 14),
    },
    "en": {
        "caption": lambda: [text_mask("Press Ctrl+N to start!", 12, font=LATIN_BOLD_FONT)],
        "count_unit": lambda: count_unit_tile(CELLS15, 0, 3),
        "clear": lambda: banner_glyphs_latin("CLEARED!"),
        "over": lambda: banner_glyphs_latin("GAME OVER"),
        "subtitle": lambda: text_mask("A bomb-finding logic game", 12, font=LATIN_BOLD_FONT),
    },
}
# Where a language's pictures may differ from the Japanese ones, as (x, y, w, h) per bitmap.
WORD_AREAS = {"char.bmp": [(208, 64, 16, 16), (0, 128, 208, 16)],  # the counters' unit, the caption
              "sub.bmp": [(0, 0, 192, 192)],  # both banners and their masks
              "title.bmp": [(8, 136, 272, 40)]}  # the subtitle's ribbon and its two bombs


# ---------------------------------------------------------------------------------------------
# Palettes and bitmap files
# ---------------------------------------------------------------------------------------------


def colours_of(*imgs):
    found = set()
    for img in imgs:
        flat = img.reshape(-1, 3)
        for c in np.unique(flat, axis=0):
            found.add(tuple(int(v) for v in c))
    return found


def filler_colours(taken, count, levels):
    """Distinct extra colours from a cube of the given levels, to complete a 256-entry table."""
    out = []
    for r in levels:
        for g in levels:
            for b in levels:
                c = (r, g, b)
                if c not in taken and c not in out:
                    out.append(c)
                if len(out) == count:
                    return out
    raise ValueError("not enough filler colours")


def build_table(used, filler_levels):
    own = sorted(used - STATICS, key=lambda c: (c[0] + c[1] + c[2], c))
    if len(own) > 236:
        raise ValueError("too many colours: %d" % len(own))
    own += filler_colours(set(own) | STATICS, 236 - len(own), filler_levels)
    return STATIC_LOW + own + STATIC_HIGH


def to_indices(img, table):
    lookup = {c: i for i, c in enumerate(table)}
    missing = colours_of(img) - set(lookup)
    require(not missing, "colours missing from the table: %s" % sorted(missing)[:4])
    h, w = img.shape[:2]
    flat = img.reshape(-1, 3)
    idx = np.array([lookup[tuple(int(v) for v in c)] for c in flat], np.uint8)
    return idx.reshape(h, w)


def dib_resource(indices, table):
    h, w = indices.shape
    stride = (w + 3) & ~3
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, stride * h, 0, 0, 0, 256)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    rows = []
    for y in range(h - 1, -1, -1):
        rows.append(indices[y].tobytes() + b"\0" * (stride - w))
    return header + colours + b"".join(rows)


def bmp_file(resource):
    return b"BM" + struct.pack("<IHHI", 14 + len(resource), 0, 0, 14 + 40 + 1024) + resource


# ---------------------------------------------------------------------------------------------
# Icon and cursor
# ---------------------------------------------------------------------------------------------


def icon_rgba(size):
    """The application icon, a bomb on a raised green tile, drawn at each size on its own.

    16 pixels reuses the sprite sheet's hand-placed bomb; 32 and 48 are plain pixels with banded
    shading; from 64 up the geometry is sampled four times per pixel for smooth edges."""
    if size == 16:
        t = closed_tile()
        paint_map(t, 0, 0, BOMB16, bomb16())
        return np.concatenate([t, np.full((16, 16, 1), 255, np.uint8)], axis=2)
    smooth = size >= 64
    ss = 4 if smooth else 1
    n = size * ss
    ys, xs = (np.mgrid[0:n, 0:n] + 0.5) / ss  # pixel coordinates of each sample
    rgba = np.zeros((n, n, 4), float)

    def fill(mask, colour):
        rgba[mask] = list(colour) + [255]

    # Raised tile: dark rim, light upper-left bevel, shaded lower-right bevel, face.
    b = max(1, round(size / 16))
    fill(np.ones((n, n), bool), G_DK)
    inner = (xs >= 1) & (xs < size - 1) & (ys >= 1) & (ys < size - 1)
    fill(inner & (xs + ys < size), G_HI)
    fill(inner & (xs + ys >= size), G_SH)
    face = (xs >= 1 + b) & (xs < size - 1 - b) & (ys >= 1 + b) & (ys < size - 1 - b)
    fill(face, G_FACE)
    # Bomb body, lit from the upper left.
    cx, cy, r = 0.44 * size, 0.60 * size, 0.28 * size
    d = np.hypot(xs - cx, ys - cy)
    hx, hy = cx - 0.42 * r, cy - 0.42 * r
    t = np.clip(np.hypot(xs - hx, ys - hy) / (1.55 * r), 0, 1)
    ramp = np.array([K_RIM, K_MID, K_DARK, K_EDGE], float)
    if smooth:
        pos = t * (len(ramp) - 1)
        i0 = np.minimum(pos.astype(int), len(ramp) - 2)
        f = (pos - i0)[..., None]
        shade = ramp[i0] * (1 - f) + ramp[i0 + 1] * f
    else:
        shade = ramp[np.minimum((t * 3.2).astype(int), 3)]
    body = d <= r
    rgba[body, :3] = shade[body]
    rgba[body, 3] = 255
    fill(body & (d > r - (1.0 if not smooth else size / 40)), K_EDGE)
    shine = np.hypot(xs - (cx - 0.45 * r), (ys - (cy - 0.5 * r)) / 1.35) <= max(0.16 * r, 1.0)
    fill(shine, K_SHINE)
    # Cap: a short cylinder on the upper right of the sphere.
    ux, uy = np.cos(-np.pi / 4), np.sin(-np.pi / 4)
    capx, capy = cx + 0.98 * r * ux, cy + 0.98 * r * uy
    u = (xs - capx) * ux + (ys - capy) * uy
    v = (xs - capx) * -uy + (ys - capy) * ux
    cap = (np.abs(u) <= max(0.17 * r, 1.0)) & (np.abs(v) <= max(0.3 * r, 1.5))
    fill(cap, CAP_DK)
    fill(cap & (v < 0), CAP_LT)
    # Fuse: a curve from the cap up and to the right, ending in the spark.
    p0 = np.array([cx + 1.12 * r * ux, cy + 1.12 * r * uy])
    p1 = p0 + np.array([0.55 * r, -0.05 * r])
    p2 = p0 + np.array([0.6 * r, -0.7 * r])
    fw = max(0.06 * r, 0.6)
    fuse = np.zeros((n, n), bool)
    for k in np.linspace(0, 1, 6 * size):
        px, py = (1 - k) ** 2 * p0 + 2 * k * (1 - k) * p1 + k * k * p2
        fuse |= np.hypot(xs - px, ys - py) <= fw
    fill(fuse, FUSE)
    sx, sy = p2
    fill(star_like(xs, ys, sx, sy, max(0.42 * r, 3.6), max(0.16 * r, 1.4), 8), SPARK_O)
    fill(star_like(xs, ys, sx, sy, max(0.28 * r, 2.5), max(0.10 * r, 1.0), 8), SPARK_Y)
    fill(np.hypot(xs - sx, ys - sy) <= max(0.09 * r, 0.8), SPARK_W)
    if ss > 1:
        rgba = rgba.reshape(size, ss, size, ss, 4).mean(axis=(1, 3))
    return np.clip(np.round(rgba), 0, 255).astype(np.uint8)


def star_like(xs, ys, cx, cy, r_out, r_in, points):
    dx, dy = xs - cx, ys - cy
    ang = np.arctan2(dy, dx)
    k = (ang * points / (2 * np.pi)) % 1.0
    edge = r_in + (r_out - r_in) * (1 - np.abs(2 * k - 1))
    return np.hypot(dx, dy) <= edge


def maskable_rgba(size):
    """The icon for masks of any shape: the tile whole inside the central circle of 80 %, which
    every mask keeps, on its own green face to the edges."""
    rgba = np.zeros((size, size, 4), np.uint8)
    rgba[...] = list(G_FACE) + [255]
    side = int(0.8 * size / np.sqrt(2)) // 2 * 2
    at = (size - side) // 2
    rgba[at:at + side, at:at + side] = icon_rgba(side)
    return rgba


CURSOR_SHAPE = [(1, 1), (1, 19), (5.5, 15), (9.5, 23.5), (13, 22), (9, 14), (15, 14)]
CURSOR_HOTSPOT = (0, 0)
CURSOR_INK = (64, 30, 8)


def cursor_rgba():
    """A 32 x 32 yellow arrow with a dark outline and a soft shadow; its tip is the hotspot."""
    im = Image.new("L", (32, 32), 0)
    ImageDraw.Draw(im).polygon(CURSOR_SHAPE, fill=255)
    m = np.array(im) > 0
    o = dilate(m) & ~m
    body = m | o
    rgba = np.zeros((32, 32, 4), np.uint8)
    rgba[shift(body, 2, 2) & ~body] = (0, 0, 0, 90)
    rgba[o] = CURSOR_INK + (255,)
    for y in range(32):
        rgba[y, m[y]] = (ARROW_Y if y < 12 else ARROW_YD) + (255,)
    rgba[m & ~shift(m, 1, 0)] = ARROW_YL + (255,)  # lit left edge
    return rgba


def dib_rgba_entry(rgba):
    """An ICO/CUR image entry: BITMAPINFOHEADER (double height), BGRA rows bottom-up, AND mask."""
    h, w = rgba.shape[:2]
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(rgba[y][:, [2, 1, 0, 3]].tobytes() for y in range(h - 1, -1, -1))
    stride = ((w + 31) // 32) * 4
    mask_rows = []
    for y in range(h - 1, -1, -1):
        bits = np.packbits(rgba[y, :, 3] == 0)
        mask_rows.append(bits.tobytes() + b"\0" * (stride - len(bits)))
    return header + pixels + b"".join(mask_rows)


def icon_file(images, kind=1, hotspots=None):
    count = len(images)
    out = struct.pack("<HHH", 0, kind, count)
    offset = 6 + 16 * count
    blobs = []
    for i, rgba in enumerate(images):
        blob = dib_rgba_entry(rgba)
        h, w = rgba.shape[:2]
        a, b = (1, 32) if kind == 1 else hotspots[i]
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, a, b, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def png_bytes(rgba):
    """A PNG written by hand so the bytes never depend on the imaging library's encoder settings."""
    h, w = rgba.shape[:2]
    raw = b"".join(b"\0" + rgba[y].tobytes() for y in range(h))

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------------------------
# Contact sheet
# ---------------------------------------------------------------------------------------------


def contact_sheet(entries, scale=3):
    """entries: (family, name, image) in order; one row per family, each sprite enlarged."""
    try:
        font = ImageFont.truetype(LATIN_FONT, 11)
    except OSError:
        font = ImageFont.load_default()
    families = []
    for fam, name, img in entries:
        if not families or families[-1][0] != fam:
            families.append((fam, []))
        families[-1][1].append((name, img))
    width = 1400
    layout = []
    y = 8
    for fam, items in families:
        x = 8
        row_h = 0
        layout.append(("family", fam, 8, y))
        y += 16
        for name, img in items:
            w = img.shape[1] * scale
            h = img.shape[0] * scale
            cap_w = max(w, int(font.getlength(name)) + 4)
            if x + cap_w > width - 8:
                x = 8
                y += row_h + 18
                row_h = 0
            layout.append(("sprite", name, x, y, img))
            x += cap_w + 10
            row_h = max(row_h, h)
        y += row_h + 26
    sheet = Image.new("RGB", (width, y), (96, 96, 104))
    d = ImageDraw.Draw(sheet)
    for item in layout:
        if item[0] == "family":
            d.text((item[2], item[3]), item[1].upper(), font=font, fill=(255, 255, 200))
        else:
            _, name, x, y0, img = item
            big = Image.fromarray(img[..., :3] if img.shape[2] == 3 else img).resize(
                (img.shape[1] * scale, img.shape[0] * scale), Image.NEAREST)
            if big.mode == "RGBA":
                bg = Image.new("RGBA", big.size, (150, 150, 160, 255))
                big = Image.alpha_composite(bg, big).convert("RGB")
            sheet.paste(big, (x, y0))
            d.text((x, y0 + big.height + 2), name, font=font, fill=(255, 255, 255))
    return sheet


# ---------------------------------------------------------------------------------------------
# Checks
# ---------------------------------------------------------------------------------------------


def require(condition, message):
    if not condition:
        raise SystemExit("make_art: check failed: " + message)


def decode_resource(res):
    """Reads a resource back into (colour table, pixels as RGB rows top-down)."""
    size, w, h, planes, bits, compression, _, _, _, used, important = struct.unpack("<IiiHHIIiiII", res[:40])
    table = [(res[40 + 4 * i + 2], res[40 + 4 * i + 1], res[40 + 4 * i]) for i in range(256)]
    stride = (w + 3) & ~3
    idx = np.frombuffer(res, np.uint8, count=stride * h, offset=1064).reshape(h, stride)[::-1, :w]
    return (size, w, h, planes, bits, compression, used, important), table, np.array(table, np.uint8)[idx]


def check_table(table, what):
    require(len(table) == 256, what + ": 256 entries")
    require(table[:10] == STATIC_LOW and table[246:] == STATIC_HIGH, what + ": static colours in place")
    own = table[10:246]
    require(len(set(own)) == 236, what + ": game colours distinct")
    require(not (set(own) & STATICS), what + ": no game colour repeats a static colour")


def check_masked(pic, mask, what, solid=False):
    """solid: the mask also covers the picture's black pixels that its content encloses."""
    white = (mask == 255).all(axis=2)
    black = (mask == 0).all(axis=2)
    require((white | black).all(), what + ": mask only pure black and white")
    content = (pic != 0).any(axis=2)
    if solid:
        content = enclosed_filled(content)
    require((content == black).all(), what + ": mask black exactly where the picture has content")


def check_bitmaps(resources):
    """Checks the encoded resources: sizes, headers, tables and the masked pairs."""
    decoded = {}
    for name, (w, h, size) in {"char.bmp": (336, 160, 54824), "sub.bmp": (192, 192, 37928),
                               "title.bmp": (288, 256, 74792)}.items():
        res = resources[name]
        require(len(res) == size, "%s: resource is %d bytes" % (name, len(res)))
        header, table, pixels = decode_resource(res)
        require(header == (40, w, h, 1, 8, 0, 0, 256), name + ": header")
        check_table(table, name)
        decoded[name] = (table, pixels)
    require(resources["char.bmp"][40:1064] == resources["title.bmp"][40:1064], "char and title share one table")
    require(resources["char.bmp"][40:1064] != resources["sub.bmp"][40:1064], "banners have their own table")
    char = decoded["char.bmp"][1]
    sub = decoded["sub.bmp"][1]
    title = decoded["title.bmp"][1]
    for i in range(3):
        check_masked(char[80:128, 48 * i:48 * i + 48], char[80:128, 144 + 48 * i:192 + 48 * i], "blast %d" % (i + 1))
    for y in (0, 96):
        pic = sub[y:y + 48]
        check_masked(pic, sub[y + 48:y + 96], "banner at y %d" % y, solid=True)
        edge = np.concatenate([pic[0], pic[-1], pic[:, 0], pic[:, -1]])
        require(not edge.any(), "banner at y %d: lettering clipped" % y)
    # The hopping bomb is drawn over the picture at (205, 24): that square and a margin stay plain pink.
    require((title[20:60, 201:241] == TPINK).all(), "animation spot plain pink")
    require((title[224:256, 256:288] == TPINK).all(), "ninth animation slot blank")
    require((title[255, :] == TPINK).all() and (title[224:256, 0:288:32] == TPINK).all(), "animation frames on pink")


def check_words_only(resources, ja, what):
    """Another language's bitmaps keep the Japanese colour tables and differ only where words are drawn."""
    for name, areas in WORD_AREAS.items():
        require(resources[name][:1064] == ja[name][:1064], "%s %s: header and colour table as in Japanese" % (what, name))
        differs = (decode_resource(resources[name])[2] != decode_resource(ja[name])[2]).any(axis=2)
        for x, y, w, h in areas:
            differs[y:y + h, x:x + w] = False
        require(not differs.any(), "%s %s: changed outside the words" % (what, name))


def main():
    sheets = {lang: (char_sheet(words), sub_sheet(words), title_picture(words)) for lang, words in WORDS.items()}
    (char, char_names), (sub, sub_names), title = sheets["ja"]

    # The banners' colours are in the shared table too, so they survive the nearest-colour match intact.
    # Both tables come from the Japanese pictures alone, so that other languages never change them.
    shared = build_table(colours_of(char, title, sub), range(8, 256, 41))
    banner_table = build_table(colours_of(sub), range(12, 256, 35))
    outputs = {}
    for lang, ((lchar, _), (lsub, _), ltitle) in sheets.items():
        resources = {"char.bmp": dib_resource(to_indices(lchar, shared), shared),
                     "sub.bmp": dib_resource(to_indices(lsub, banner_table), banner_table),
                     "title.bmp": dib_resource(to_indices(ltitle, shared), shared)}
        check_bitmaps(resources)
        if lang == "ja":
            ja = resources
        else:
            check_words_only(resources, ja, lang)
        folder = "" if lang == "ja" else lang
        outputs.update({os.path.join(folder, name): bmp_file(res) for name, res in resources.items()})
    outputs["zum32.ico"] = icon_file([icon_rgba(s) for s in (16, 32, 48)])
    outputs["zum32.cur"] = icon_file([cursor_rgba()], kind=2, hotspots=[CURSOR_HOTSPOT])
    for s in (16, 32, 48, 64, 128, 192, 256, 512):
        outputs[os.path.join("icons", "zum32-%d.png" % s)] = png_bytes(icon_rgba(s))
    outputs[os.path.join("icons", "zum32-maskable-512.png")] = png_bytes(maskable_rgba(512))

    for name, data in outputs.items():
        os.makedirs(os.path.dirname(os.path.join(RES, name)), exist_ok=True)
        with open(os.path.join(RES, name), "wb") as f:
            f.write(data)

    entries = [(fam, "SPR_" + name, char[y:y + h, x:x + w]) for fam, name, x, y, w, h in char_names]
    entries += [(fam, "SPR_" + name, sub[y:y + h, x:x + w]) for fam, name, x, y, w, h in sub_names]
    entries.append(("title", "SPR_TITLE_PICTURE", title[:224]))
    entries += [("title animation", "SPR_TITLE_ANIM[%d]" % f, title[224:256, 32 * f:32 * f + 32]) for f in range(8)]
    for lang in WORDS:
        if lang != "ja":
            (lchar, _), (lsub, _), ltitle = sheets[lang]
            entries += [("words in " + lang, "SPR_COUNT_UNIT", lchar[64:80, 208:224]),
                        ("words in " + lang, "SPR_TITLE_CAPTION", lchar[128:144, 0:208]),
                        ("words in " + lang, "SPR_CLEAR_BANNER", lsub[0:48]),
                        ("words in " + lang, "SPR_OVER_BANNER", lsub[96:144]),
                        ("words in " + lang, "SPR_TITLE_PICTURE", ltitle[:224])]
    entries += [("icon and cursor", "ICON %d" % s, icon_rgba(s)) for s in (16, 32, 48)]
    entries.append(("icon and cursor", "CURSOR", cursor_rgba()))
    os.makedirs(ART_BUILD, exist_ok=True)
    contact_sheet(entries).save(os.path.join(ART_BUILD, "contact_sheet.png"))
    print("make_art: wrote %d files; %d of 236 game colours in use"
          % (len(outputs), len(colours_of(char, title, sub) - STATICS)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
