#!/usr/bin/python3
"""Draw the game's backdrop, menu art, bars, buttons and window miniatures.

Usage: art.py FONT_FILE OUT_DIR PICTURE_DIR

FONT_FILE is the title font (for the captions), OUT_DIR is medien/etc and
PICTURE_DIR medien/Reihe1 (one picture is cut into the puzzle pieces of the
window miniature).  Everything is drawn four times larger and scaled down, so
edges come out smooth.
"""
import colorsys
import math
import os
import random
import sys

import numpy as np
from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

from letters import CONSTRUCTED, constructed_face, round_dilation

S = 4  # supersampling factor
FONT = None


class Canvas:
    """An RGBA picture drawn at S times its size, in final-pixel units."""

    def __init__(self, w, h, colour=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.im = Image.new("RGBA", (w * S, h * S), colour)

    def mask(self):
        return Image.new("L", self.im.size, 0)

    def paint(self, mask, colour):
        """Lay a colour, or an RGBA picture of canvas size, through a mask."""
        if isinstance(colour, Image.Image):
            layer = colour.copy()
            alpha = ImageChops.multiply(layer.getchannel("A"), mask)
        else:
            layer = Image.new("RGBA", self.im.size, colour[:3] + (255,))
            alpha = mask.point(lambda v: v * (colour[3] if len(colour) > 3 else 255) // 255)
        layer.putalpha(alpha)
        self.im.alpha_composite(layer)

    def result(self):
        return self.im.resize((self.w, self.h), Image.LANCZOS)


def sc(v):
    return [round(x * S) for x in v]


def rrect(c, box, radius):
    m = c.mask()
    ImageDraw.Draw(m).rounded_rectangle(sc(box), radius=radius * S, fill=255)
    return m


def ellipse(c, box):
    m = c.mask()
    ImageDraw.Draw(m).ellipse(sc(box), fill=255)
    return m


def polygon(c, points):
    m = c.mask()
    ImageDraw.Draw(m).polygon([(x * S, y * S) for x, y in points], fill=255)
    return m


def gradient(c, stops, vertical=True):
    """A linear gradient over the canvas; stops are (position 0..1, RGBA)."""
    n = c.im.size[1] if vertical else c.im.size[0]
    t = np.linspace(0, 1, n)
    pos = [p for p, _ in stops]
    cols = np.array([col if len(col) == 4 else col + (255,) for _, col in stops], float)
    line = np.stack([np.interp(t, pos, cols[:, k]) for k in range(4)], axis=-1)
    if vertical:
        arr = np.repeat(line[:, None, :], c.im.size[0], axis=1)
    else:
        arr = np.repeat(line[None, :, :], c.im.size[1], axis=0)
    return Image.fromarray(np.round(arr).astype(np.uint8), "RGBA")


def shrink(mask, px):
    """The mask eroded (px > 0) or grown (px < 0) by px final pixels."""
    size = 2 * abs(round(px * S)) + 1
    return mask.filter(ImageFilter.MinFilter(size) if px > 0 else ImageFilter.MaxFilter(size))


def blur(mask, px):
    return mask.filter(ImageFilter.GaussianBlur(px * S))


def shift(mask, dx, dy):
    return ImageChops.offset(mask, round(dx * S), round(dy * S))


def text_masks(c, text, centre, height, max_width=None, stroke=0):
    """Masks of outlined text and of its face alone, centred at centre.

    The capitals are about `height` px high; the text shrinks to max_width."""
    size = round(height * S * 1.35)
    while True:
        font = ImageFont.truetype(FONT, size)
        l, t, r, b = font.getbbox(text, anchor="ls", stroke_width=stroke * S)
        if max_width is None or r - l <= max_width * S or size < 8:
            break
        size -= 2
    origin = (centre[0] * S - (l + r) / 2, centre[1] * S - (t + b) / 2)
    outline, face = c.mask(), c.mask()
    # The typeface's R and B read as an a and an 8: ours stand in their places.
    # Each piece of the line is set where it stands in the whole line.
    for at, piece in pieces(font, text):
        xy = (origin[0] + at, origin[1])
        if piece in CONSTRUCTED:
            own = constructed_face(font, piece, c.im.size, xy, k=1)
            grown = round_dilation(np.asarray(own, float) / 255, stroke * S)
            rim = Image.fromarray(np.round(grown * 255).astype(np.uint8), "L")
        else:
            rim, own = c.mask(), c.mask()
            ImageDraw.Draw(rim).text(xy, piece, font=font, fill=255, anchor="ls",
                                     stroke_width=stroke * S, stroke_fill=255)
            ImageDraw.Draw(own).text(xy, piece, font=font, fill=255, anchor="ls")
        outline, face = ImageChops.lighter(outline, rim), ImageChops.lighter(face, own)
    return outline, face


def pieces(font, text):
    """The text cut around each letter of our own: (advance from its start, piece).

    A letter's place counts the kerning with the letters before it."""
    start = 0
    for end in range(1, len(text) + 1):
        if end == len(text) or text[end] in CONSTRUCTED or text[end - 1] in CONSTRUCTED:
            yield font.getlength(text[:start + 1]) - font.getlength(text[start]), text[start:end]
            start = end


def glossy(c, mask, top, bottom, rim=(0, 0, 0, 110), shine=70):
    """A candy-like body: gradient fill, dark rim, highlight on the top half."""
    c.paint(shrink(mask, -1), rim)
    c.paint(mask, gradient(c, [(0, top), (1, bottom)]))
    box = mask.getbbox()
    hl = c.mask()
    x0, y0, x1, y1 = box
    inset = (x1 - x0) * 0.08
    ImageDraw.Draw(hl).rounded_rectangle((x0 + inset, y0 + (y1 - y0) * 0.04, x1 - inset, y0 + (y1 - y0) * 0.5),
                                         radius=(y1 - y0) * 0.25, fill=shine)
    c.paint(ImageChops.multiply(blur(hl, 1.5), shrink(mask, 2)), (255, 255, 255))


# ---------------------------------------------------------------- backdrop

def background():
    """A calm deep blue-green field with a faint jigsaw pattern."""
    w, h = 800, 600
    y, x = np.mgrid[0:h, 0:w].astype(float)
    r = np.hypot((x - w / 2) / w, (y - h * 0.42) / h)
    light = np.clip(1 - r * 1.3, 0, 1) ** 1.5
    base = np.array([22, 40, 54], float)
    glow = np.array([46, 88, 104], float)
    img = base + (glow - base) * light[..., None]
    # Faint piece outlines: a grid whose edges bulge in knobs.
    pattern = Canvas(w, h)
    rnd = random.Random(7)
    cell, cols, rows = 100, 8, 6
    hor = [[rnd.choice((-1, 1)) for _ in range(cols)] for _ in range(rows)]
    ver = [[rnd.choice((-1, 1)) for _ in range(cols)] for _ in range(rows)]
    d = ImageDraw.Draw(pattern.im)
    for j in range(rows):
        for i in range(cols):
            knobs = (-hor[j - 1][i], ver[j][i], hor[j][i], -ver[j][i - 1])
            pts = [(px * S, py * S) for px, py in piece_path(i * cell, j * cell, cell, knobs)]
            d.line(pts + pts[:1], fill=(255, 255, 255, 255), width=2 * S, joint="curve")
    pat = np.asarray(pattern.result().getchannel("A"), float) / 255
    img = img + pat[..., None] * 7 * (0.6 + light[..., None])
    noise = np.random.default_rng(3).normal(0, 1.2, (h, w, 1))
    img = np.clip(img + noise, 0, 255)
    return Image.fromarray(img.astype(np.uint8), "RGB")


def menu_table():
    """The glass table behind the menu; drawn at twice its size.

    The slider runs across it at row 77 and the icon bar stands on row 202."""
    c = Canvas(640, 268)
    body = rrect(c, (4, 4, 636, 264), 26)
    c.paint(blur(shift(body, 0, 4), 4), (0, 0, 0, 70))
    c.paint(body, gradient(c, [(0, (200, 230, 255, 58)), (0.6, (150, 200, 235, 34)), (1, (120, 170, 210, 46))]))
    c.paint(ImageChops.subtract(body, shrink(body, 1.5)), (255, 255, 255, 120))
    # Shelf for the icon bar: a glass floor in perspective with a bright front edge.
    shelf = polygon(c, [(118, 150), (522, 150), (574, 204), (66, 204)])
    c.paint(shelf, gradient(c, [(0, (255, 255, 255, 0)), (150 / 268, (255, 255, 255, 14)),
                                (204 / 268, (230, 245, 255, 70)), (1, (255, 255, 255, 0))]))
    c.paint(rrect(c, (66, 202, 574, 207), 2), (255, 255, 255, 150))
    c.paint(rrect(c, (66, 207, 574, 212), 2), (20, 40, 60, 90))
    return c.result()


# ---------------------------------------------------------------- main menu

ICON_COLOURS = [
    ((120, 220, 90), (30, 140, 40)),     # resume
    ((255, 190, 80), (225, 100, 20)),    # new puzzle
    ((255, 225, 100), (215, 160, 20)),   # open
    ((110, 180, 255), (30, 90, 200)),    # save
    ((100, 225, 215), (20, 140, 150)),   # load image
    ((200, 150, 255), (110, 60, 200)),   # window size
    ((120, 210, 255), (30, 130, 220)),   # help
    ((255, 150, 210), (200, 50, 140)),   # credits
    ((255, 120, 110), (190, 30, 40)),    # exit
]
CAPTIONS = ["RESUME", "NEW PUZZLE", "OPEN", "SAVE", "LOAD IMAGE", "WINDOW SIZE", "HELP", "CREDITS", "EXIT"]


def piece_path(x, y, size, knobs):
    """Outline of a jigsaw piece: knobs (top, right, bottom, left), each 1 out, -1 in, 0 flat.

    A knob is a round head on a narrower neck; two neighbours built with
    opposite signs for their shared edge fit together exactly."""
    head = [(0.5 + 0.12 * math.cos(math.radians(a)), 0.17 + 0.12 * math.sin(math.radians(a)))
            for a in range(230, -51, -10)]
    knob = [(0.0, 0.0), (0.40, 0.0)] + head + [(0.60, 0.0)]
    pts = []
    corners = [(x, y), (x + size, y), (x + size, y + size), (x, y + size)]
    for side in range(4):
        (ax, ay), (bx, by) = corners[side], corners[(side + 1) % 4]
        dx, dy = (bx - ax) / size, (by - ay) / size
        nx, ny = dy, -dx  # outward normal
        for u, v in (knob if knobs[side] else [(0.0, 0.0)]):
            v *= knobs[side] * size
            pts.append((ax + dx * u * size + nx * v, ay + dy * u * size + ny * v))
    return pts


def pictogram(c, index, cx, cy):
    """White symbol of a main menu entry, centred at (cx, cy), about 70 px."""
    white = (255, 255, 255)
    m = c.mask()
    d = ImageDraw.Draw(m)
    if index == 0:      # resume: play
        d.polygon(sc((cx - 22, cy - 32, cx + 34, cy, cx - 22, cy + 32)), fill=255)
        m = shrink(shrink(m, 3), -3)  # round the corners
    elif index == 1:    # new puzzle: a piece and a sparkle
        d.polygon([(px * S, py * S) for px, py in piece_path(cx - 36, cy - 22, 56, (1, 1, -1, 0))], fill=255)
        star(d, cx + 30, cy - 30, 13, 5)
    elif index == 2:    # open: folder
        d.rounded_rectangle(sc((cx - 36, cy - 26, cx - 4, cy - 10)), radius=4 * S, fill=255)
        d.rounded_rectangle(sc((cx - 36, cy - 18, cx + 36, cy + 28)), radius=6 * S, fill=255)
        c.paint(m, white)
        m = c.mask()
        d = ImageDraw.Draw(m)
        d.polygon(sc((cx - 28, cy - 4, cx + 44, cy - 4, cx + 32, cy + 28, cx - 40, cy + 28)), fill=255)
        c.paint(shrink(m, -2), (0, 0, 0, 60))
        c.paint(m, (255, 245, 210))
        return
    elif index == 3:    # save: disk
        d.rounded_rectangle(sc((cx - 34, cy - 34, cx + 34, cy + 34)), radius=7 * S, fill=255)
        d.rectangle(sc((cx - 20, cy - 34, cx + 18, cy - 12)), fill=0)
        d.rectangle(sc((cx + 4, cy - 30, cx + 12, cy - 16)), fill=255)
        d.rounded_rectangle(sc((cx - 24, cy + 2, cx + 24, cy + 34)), radius=3 * S, fill=0)
        d.rectangle(sc((cx - 18, cy + 10, cx + 18, cy + 13)), fill=255)
        d.rectangle(sc((cx - 18, cy + 19, cx + 18, cy + 22)), fill=255)
    elif index == 4:    # load image: a framed landscape
        d.rounded_rectangle(sc((cx - 38, cy - 30, cx + 38, cy + 30)), radius=6 * S, fill=255)
        d.rectangle(sc((cx - 30, cy - 22, cx + 30, cy + 22)), fill=0)
        d.polygon(sc((cx - 30, cy + 22, cx - 8, cy - 6, cx + 8, cy + 10, cx + 16, cy + 2, cx + 30, cy + 18, cx + 30, cy + 22)), fill=255)
        d.ellipse(sc((cx + 10, cy - 18, cx + 22, cy - 6)), fill=255)
    elif index == 5:    # window size: a frame with arrows to the corners
        d.rounded_rectangle(sc((cx - 36, cy - 28, cx + 36, cy + 28)), radius=5 * S, fill=255)
        d.rectangle(sc((cx - 30, cy - 22, cx + 30, cy + 22)), fill=0)
        for sx, sy in ((-1, -1), (1, 1)):
            tip = (cx + sx * 26, cy + sy * 18)
            d.polygon(sc((tip[0], tip[1], tip[0] - sx * 16, tip[1], tip[0], tip[1] - sy * 14)), fill=255)
        d.line(sc((cx - 18, cy - 11, cx + 18, cy + 11)), fill=255, width=6 * S)
    elif index == 6:    # help: question mark
        m = text_masks(c, "?", (cx, cy + 2), 84)[1]
    elif index == 7:    # credits: star
        star(d, cx, cy + 2, 40, 5)
        m = shrink(shrink(m, 2), -2)
    elif index == 8:    # exit: power symbol
        d.arc(sc((cx - 30, cy - 28, cx + 30, cy + 32)), start=-55, end=235, fill=255, width=9 * S)
        d.rounded_rectangle(sc((cx - 5, cy - 38, cx + 5, cy + 4)), radius=5 * S, fill=255)
    c.paint(shift(blur(m, 1.5), 0, 2), (0, 0, 0, 70))
    c.paint(m, white)


def star(d, cx, cy, r, points):
    pts = []
    for i in range(points * 2):
        a = -math.pi / 2 + i * math.pi / points
        rr = r if i % 2 == 0 else r * 0.45
        pts.append((round((cx + rr * math.cos(a)) * S), round((cy + rr * math.sin(a)) * S)))
    d.polygon(pts, fill=255)


def menu_strips():
    symbols = Image.new("RGBA", (540, 552))
    titles = Image.new("RGBA", (540, 552))
    for i in range(9):
        c = Canvas(180, 184)
        tile = rrect(c, (18, 38, 162, 180), 30)
        c.paint(blur(shift(tile, 0, 2), 2), (0, 0, 0, 80))
        top, bottom = ICON_COLOURS[i]
        glossy(c, tile, top, bottom, rim=(0, 0, 0, 90), shine=90)
        pictogram(c, i, 90, 112)
        symbols.paste(c.result(), ((i % 3) * 180, (i // 3) * 184))
        # The caption stands above the tile, which it must not cover.
        t = Canvas(180, 184)
        outline, face = text_masks(t, CAPTIONS[i], (90, 19), 19, max_width=172, stroke=3)
        t.paint(shift(blur(outline, 1.2), 0, 2), (0, 0, 0, 120))
        t.paint(outline, (30, 30, 45))
        t.paint(face, (255, 255, 255))
        titles.paste(t.result(), ((i % 3) * 180, (i // 3) * 184))
    return symbols, titles


# ---------------------------------------------------------------- bars and buttons

def slider_bar():
    """The track of the piece-count slider; the knob runs from x 16 to 416."""
    c = Canvas(432, 29)
    outer = rrect(c, (1, 2, 431, 27), 12.5)
    c.paint(outer, gradient(c, [(0, (255, 255, 255, 90)), (1, (190, 215, 235, 50))]))
    c.paint(ImageChops.subtract(outer, shrink(outer, 1)), (255, 255, 255, 150))
    groove = rrect(c, (12, 10, 420, 19), 4.5)
    c.paint(groove, gradient(c, [(0, (10, 20, 35, 230)), (1, (40, 60, 80, 230))]))
    # Small steps along the track: more pieces to the right.
    for k in range(9):
        x = 16 + 400 * k / 8
        c.paint(ellipse(c, (x - 1.5, 22.5 - 1.5, x + 1.5, 22.5 + 1.5)), (255, 255, 255, 150))
    return c.result()


def slider_button():
    """The knob, light grey so that the game's red tints show."""
    c = Canvas(28, 28)
    body = ellipse(c, (2, 2, 26, 26))
    c.paint(blur(shift(body, 0, 1), 1), (0, 0, 0, 90))
    glossy(c, body, (255, 255, 255), (175, 175, 180), rim=(40, 30, 30, 200), shine=160)
    return c.result()


def stripe_colour(i, n=50):
    return colorsys.hsv_to_rgb(0.0 + 0.78 * i / (n - 1), 0.75, 1.0)


def progress_bar():
    c = Canvas(320, 24)
    outer = rrect(c, (1, 1, 319, 23), 11)
    c.paint(outer, gradient(c, [(0, (255, 255, 255, 200)), (1, (170, 190, 210, 200))]))
    c.paint(ImageChops.subtract(outer, shrink(outer, 1)), (40, 50, 70, 200))
    inner = rrect(c, (8, 5, 312, 19), 4)
    c.paint(inner, gradient(c, [(0, (15, 25, 40, 255)), (1, (45, 60, 80, 255))]))
    return c.result()


def progress_stripes():
    """50 segments of 6x12, running through the colours of the rainbow."""
    strip = Image.new("RGBA", (300, 12))
    for i in range(50):
        r, g, b = stripe_colour(i)
        c = Canvas(6, 12)
        seg = rrect(c, (0.5, 0, 5.5, 12), 1.5)
        base = tuple(round(v * 255) for v in (r, g, b))
        dark = tuple(round(v * 160) for v in (r, g, b))
        c.paint(seg, gradient(c, [(0, (255, 255, 255)), (0.3, base), (1, dark)]))
        strip.paste(c.result(), (i * 6, 0))
    return strip


def push_button(caption, top, bottom):
    """Elliptic dialog button with its caption."""
    c = Canvas(160, 120)
    body = ellipse(c, (6, 6, 154, 112))
    c.paint(blur(shift(body, 0, 3), 3), (0, 0, 0, 90))
    glossy(c, body, top, bottom, rim=(0, 0, 0, 120), shine=110)
    outline, face = text_masks(c, caption, (80, 62), 26, max_width=118, stroke=3)
    c.paint(shift(blur(outline, 1.2), 0, 2), (0, 0, 0, 100))
    c.paint(outline, (20, 20, 30))
    c.paint(face, (255, 255, 255))
    return c.result()


def congratulations_panel():
    """Deep violet banner with a golden rim and confetti, fading at its edges."""
    c = Canvas(440, 140)
    glow = blur(rrect(c, (8, 14, 432, 126), 40), 6)
    c.paint(glow, (255, 210, 90, 120))
    banner = rrect(c, (14, 22, 426, 118), 34)
    c.paint(banner, gradient(c, [(0, (90, 40, 150)), (0.5, (50, 20, 110)), (1, (30, 10, 70))]))
    rim = ImageChops.subtract(banner, shrink(banner, 3))
    c.paint(rim, gradient(c, [(0, (255, 240, 160)), (1, (200, 130, 20))]))
    rnd = random.Random(11)
    inside = shrink(banner, 6)
    for _ in range(70):
        x, y = rnd.uniform(18, 422), rnd.uniform(26, 114)
        col = tuple(round(v * 255) for v in colorsys.hsv_to_rgb(rnd.random(), 0.6, 1.0))
        m = c.mask()
        dm = ImageDraw.Draw(m)
        if rnd.random() < 0.3:
            star(dm, x, y, rnd.uniform(3, 5), 5)
        else:
            r = rnd.uniform(1.2, 2.6)
            dm.ellipse(sc((x - r, y - r, x + r, y + r)), fill=255)
        c.paint(ImageChops.multiply(m, inside), col + (150,))
    return c.result()


def window_corner():
    """Left end of the miniature window's title bar: three round buttons."""
    c = Canvas(78, 11, (221, 221, 221, 255))
    for k, col in enumerate(((236, 95, 85), (245, 190, 70), (95, 195, 80))):
        x = 8 + 13 * k
        c.paint(ellipse(c, (x - 4.5, 1, x + 4.5, 10)), tuple(v * 7 // 10 for v in col) + (255,))
        c.paint(ellipse(c, (x - 3.7, 1.8, x + 3.7, 9.2)), col + (255,))
        c.paint(ellipse(c, (x - 2, 2.4, x + 2, 5)), (255, 255, 255, 110))
    return c.result().convert("RGB")


def mini_screen():
    """A desktop in miniature: hills under an evening sky, a panel, a dock."""
    w, h = 412, 312
    c = Canvas(w, h, (0, 0, 0, 255))
    c.paint(Image.new("L", c.im.size, 255),
            gradient(c, [(0, (70, 110, 190)), (0.55, (240, 170, 150)), (1, (250, 210, 160))]))
    c.paint(ellipse(c, (280, 120, 330, 170)), (255, 240, 200, 230))
    for k, (col, base) in enumerate((((120, 100, 150), 180), ((80, 90, 130), 215), ((40, 60, 90), 255))):
        pts = [(0, h)]
        for x in range(0, w + 8, 8):
            pts.append((x, base - 30 * math.sin(x / (60 + 25 * k) + k * 1.7) - 14 * math.sin(x / 23 + k)))
        pts.append((w, h))
        c.paint(polygon(c, pts), col)
    c.paint(rrect(c, (0, 0, w, 9), 0), (20, 22, 30, 220))
    for x in (8, 20, 32):
        c.paint(rrect(c, (x, 3, x + 8, 6), 1), (220, 220, 220))
    c.paint(rrect(c, (370, 3, 402, 6), 1), (220, 220, 220))
    dock = rrect(c, (120, 284, 292, 306), 7)
    c.paint(dock, (255, 255, 255, 90))
    for k in range(7):
        x = 130 + k * 22.5
        col = tuple(round(v * 255) for v in colorsys.hsv_to_rgb(k / 7, 0.6, 0.95))
        c.paint(rrect(c, (x, 287, x + 16, 303), 4), col)
    return c.result().convert("RGB")


def mini_window(backdrop, picture):
    """The game window in miniature: a half-finished puzzle on the backdrop."""
    w, h = 375, 282
    c = Canvas(w, h)
    c.im.paste(backdrop.resize(c.im.size, Image.LANCZOS).convert("RGBA"))
    pic = picture.resize((200 * S, 150 * S), Image.LANCZOS).convert("RGBA")
    ox, oy, size = 88, 66, 50
    rnd = random.Random(5)
    # knob directions of the inner edges, shared by both neighbours
    hor = [[rnd.choice((-1, 1)) for _ in range(4)] for _ in range(3)]
    ver = [[rnd.choice((-1, 1)) for _ in range(4)] for _ in range(3)]
    placed = {(0, 0), (1, 0), (2, 0), (3, 0), (0, 1), (1, 1), (0, 2)}
    loose = [(2, 1, 20, 212, 18), (3, 1, 300, 28, -25), (1, 2, 290, 190, 12),
             (2, 2, 28, 42, -8), (3, 2, 176, 224, 30)]
    for i in range(4):
        for j in range(3):
            knobs = (-hor[j - 1][i] if j > 0 else 0, ver[j][i] if i < 3 else 0,
                     hor[j][i] if j < 2 else 0, -ver[j][i - 1] if i > 0 else 0)
            if (i, j) in placed:
                px, py, angle = ox + i * size, oy + j * size, 0
            else:
                _, _, px, py, angle = next(e for e in loose if e[:2] == (i, j))
            draw_piece(c, pic, i, j, size, knobs, px, py, angle)
    return c.result().convert("RGB")


def draw_piece(c, pic, i, j, size, knobs, px, py, angle):
    pad = size * 0.4
    tile = Canvas(int(size + 2 * pad), int(size + 2 * pad))
    m = polygon(tile, piece_path(pad, pad, size, knobs))
    src = Image.new("RGBA", tile.im.size)
    src.paste(pic, (round((pad - i * size) * S), round((pad - j * size) * S)))
    src.putalpha(m)
    edge = ImageChops.subtract(m, shrink(m, 0.7))
    src.alpha_composite(Image.merge("RGBA", (*[Image.new("L", m.size, 255)] * 3, edge.point(lambda v: v * 2 // 5))))
    src = src.rotate(angle, resample=Image.BICUBIC, expand=False)
    shadow = Image.new("RGBA", src.size, (0, 0, 0, 0))
    shadow.putalpha(blur(src.getchannel("A"), 1.5).point(lambda v: v * 3 // 5))
    for layer, d in ((shadow, 2), (src, 0)):
        c.im.alpha_composite(layer, (round((px - pad + d) * S), round((py - pad + d) * S)))


def main():
    global FONT
    FONT, out, pictures = sys.argv[1], sys.argv[2], sys.argv[3]
    os.makedirs(out, exist_ok=True)
    bg = background()
    bg.save(os.path.join(out, "Background.jpg"), quality=92, progressive=False)
    png = lambda im, name: im.save(os.path.join(out, name), optimize=True)
    png(congratulations_panel(), "Congratulationsbackground.png")
    png(menu_table(), "MenuTable.png")
    symbols, titles = menu_strips()
    png(symbols, "MenuSymbols.png")
    png(titles, "MenuTitels.png")
    png(slider_button(), "HorizontalBarButton3.png")
    png(slider_bar(), "HorizontalBar.png")
    png(progress_bar(), "ProgressBar.png")
    png(progress_stripes(), "ProgressStripe.png")
    png(window_corner(), "AppleFensterecke.png")
    mini_screen().save(os.path.join(out, "MiniScreen.jpg"), quality=92, progressive=False)
    mini_window(bg, Image.open(os.path.join(pictures, "Rose.jpg"))).save(
        os.path.join(out, "MiniWindow.jpg"), quality=92, progressive=False)
    png(push_button("OK", (130, 230, 110), (30, 140, 50)), "OKButton.png")
    png(push_button("CANCEL", (255, 140, 120), (190, 35, 40)), "CancelButton.png")


if __name__ == "__main__":
    main()
