#!/usr/bin/python3
"""Render the title font strip medien/etc/bitmapfont.png.

Usage: font.py FONT_FILE OUT_PNG

39 cells of 92x95 in one row, in the game's glyph order.  The game crops every
cell by its visible pixels, so each glyph sits at the left of its cell on a
fully transparent background.  Faces run from white to light grey, because the
game tints the letters by multiplying them with a colour (gold, blue, a colour
cycle); the outline and the shadow are dark and stay dark under any tint.
"""
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

GLYPHS = "HAVEFUNWITPLRZDGOCSMBYK0123456789(,)Jx."
CELL_W, CELL_H = 92, 95
# Every visible pixel stays inside these columns and rows of its cell.
INK_LEFT, INK_RIGHT, INK_TOP, INK_BOTTOM = 4, 79, 12, 84
BASELINE = 77          # row of the baseline inside the cell
CAP_HEIGHT = 54        # height of the capitals in pixels
OUTLINE = 3            # width of the dark outline
# The faces are condensed to this share of the typeface's width, so that the
# longest help and credits lines fit across the window and the title's PLARN
# and PUZZLE, set side by side, keep a gap between them.
SQUEEZE = 0.56
FAINTEST = 8           # alpha below this is dropped
SHADOW = (-8, -5)      # the shadow lies up and to the left of the face
TOP_COLOUR = np.array([255, 255, 255], float)
BOTTOM_COLOUR = np.array([188, 192, 208], float)
OUTLINE_COLOUR = (38, 34, 46)
CANVAS, ORIGIN = (400, 200), (100, 140)    # where a glyph is drawn before placing
# Letters of our own (see constructed_face), each with the typeface's letter
# whose width it keeps; their strokes in shares of the P's stem, the R's bowl
# in a share of the cap height.
CONSTRUCTED = {"R": "P", "B": "B"}
BOWL_STROKE = 0.62
BOWL_DEPTH = 0.58
LEG_WIDTH = 0.9


def load_font(path):
    # Find the size at which the capital H is CAP_HEIGHT pixels high.
    size = 60
    for _ in range(4):
        font = ImageFont.truetype(path, size)
        top, bottom = font.getbbox("H", anchor="ls")[1::2]
        size = round(size * CAP_HEIGHT / (bottom - top))
    return ImageFont.truetype(path, size)


def round_dilation(mask, radius):
    """The mask grown by a disc, soft at its rim like a stroked outline."""
    h, w = mask.shape
    pad = radius + 1
    padded = np.pad(mask, pad)
    grown = np.zeros_like(mask)
    for dy in range(-pad, pad + 1):
        for dx in range(-pad, pad + 1):
            weight = min(1.0, max(0.0, radius + 0.5 - np.hypot(dx, dy)))
            if weight > 0:
                shifted = padded[pad + dy:pad + dy + h, pad + dx:pad + dx + w]
                grown = np.maximum(grown, shifted * weight)
    return grown


def constructed_face(font, ch):
    """The face of an R or a B of our own, in the typeface's weight.

    The typeface's R and B, condensed, are round at the top-left: on screen
    the R reads as an a and the B as an 8.  Ours have a straight stem with
    square corners up to the cap line, bowls round on the right only, and the
    R a leg that stands apart from the stem.  Each keeps the width of the
    typeface's letter named in CONSTRUCTED, so lines keep their length.
    """
    k = 4                      # drawn k times larger, then scaled down smoothly
    big = ImageFont.truetype(font.path, font.size * k)
    w, h = CANVAS
    probe = Image.new("L", (w * k, h * k))
    d = ImageDraw.Draw(probe)

    def ink_box(letter):
        d.rectangle((0, 0, w * k, h * k), fill=0)
        d.text((ORIGIN[0] * k, ORIGIN[1] * k), letter, font=big, fill=255, anchor="ls")
        ink = np.asarray(probe) > 127
        ys, xs = np.nonzero(ink)
        return ink, xs.min(), xs.max(), ys.min(), ys.max()

    # The stem's width: the P's stem, just above its foot, where it stands alone.
    ink, left, right, top, bottom = ink_box("P")
    row = np.nonzero(ink[round(bottom - 0.1 * (bottom - top))])[0]
    stem = row.max() - row.min() + 1
    ink, left, right, top, bottom = ink_box(CONSTRUCTED[ch])
    cap = bottom - top
    bar = round(stem * BOWL_STROKE)             # the bowls' strokes, top and bottom
    corner = stem // 5
    d.rectangle((0, 0, w * k, h * k), fill=0)

    def bowls(spans):
        # Outer shapes first, then the counters, so no bowl fills another's.
        for y0, y1, x1 in spans:
            d.rounded_rectangle((left, y0, x1, y1), radius=(y1 - y0) // 2, fill=255)
            d.rounded_rectangle((left, y0, left + stem, y1), radius=corner, fill=255)
        for y0, y1, x1 in spans:
            inner = (left + stem, y0 + bar, x1 - round(stem * 0.85), y1 - bar)
            d.rounded_rectangle(inner, radius=(inner[3] - inner[1]) // 2, fill=0)

    if ch == "B":
        # Two bowls, the lower one a little wider; the stem square at both ends.
        d.rounded_rectangle((left, top, left + stem, bottom), radius=corner, fill=255)
        middle = top + cap // 2
        bowls([(top, middle + bar // 2, right - stem // 4), (middle - bar // 2, bottom, right)])
    else:
        # The stem square at the top, round at its foot like the typeface's.
        d.rounded_rectangle((left, top, left + stem, bottom - stem // 2), radius=corner, fill=255)
        d.rounded_rectangle((left, bottom - 2 * stem, left + stem, bottom), radius=stem // 2, fill=255)
        bowl_bottom = top + round(cap * BOWL_DEPTH)
        bowls([(top, bowl_bottom, right)])
        # The leg: from the bowl's lower middle down to the right, round at its foot.
        half = round(stem * LEG_WIDTH) // 2
        x0, y0 = left + stem + half * 0.6, bowl_bottom - bar * 0.6
        x1, y1 = right - half, bottom - half
        d.line((x0, y0, x1, y1), fill=255, width=2 * half)
        for x, y in ((x0, y0), (x1, y1)):
            d.ellipse((x - half, y - half, x + half, y + half), fill=255)
    return probe.resize((w, h), Image.BOX)


def glyph_layers(font, ch, squeeze):
    """Masks of the face and of the face plus outline, on a roomy canvas."""
    if ch in CONSTRUCTED:
        face = constructed_face(font, ch)
    else:
        face = Image.new("L", CANVAS)
        ImageDraw.Draw(face).text(ORIGIN, ch, font=font, fill=255, anchor="ls")
    # Condense the face around its left edge; the outline is drawn round the
    # condensed face afterwards, so it keeps its width on every side.
    w = round(CANVAS[0] * squeeze)
    face = face.resize((w, CANVAS[1]), Image.BOX).crop((0, 0) + CANVAS)
    origin = (round(ORIGIN[0] * squeeze), ORIGIN[1])
    face = np.asarray(face, float) / 255
    return face, round_dilation(face, OUTLINE), origin


def render_glyph(font, ch):
    max_width = INK_RIGHT - INK_LEFT + 1 + SHADOW[0]
    squeeze = SQUEEZE
    # A glyph still too wide for its cell is condensed further.
    while True:
        face, outline, origin = glyph_layers(font, ch, squeeze)
        cols = np.nonzero(outline.max(axis=0) > 0)[0]
        width = cols[-1] - cols[0] + 1
        if width <= max_width:
            break
        squeeze *= max_width / (width + 0.5)

    h, w = face.shape
    rows = np.arange(h)[:, None] - (origin[1] - CAP_HEIGHT)
    t = np.clip(rows / CAP_HEIGHT, 0, 1)[..., None]
    gradient = TOP_COLOUR * (1 - t) + BOTTOM_COLOUR * t
    # A soft sheen across the upper third of the face.
    sheen = np.exp(-((rows - CAP_HEIGHT * 0.22) / (CAP_HEIGHT * 0.12)) ** 2)[..., None]
    gradient = np.clip(gradient + 30 * sheen, 0, 255) * np.ones((h, w, 1))

    shadow = np.zeros_like(outline)
    dx, dy = SHADOW
    shadow[max(0, dy) + 0:h + min(0, dy), max(0, dx):w + min(0, dx)] = \
        outline[max(0, -dy):h - max(0, dy), max(0, -dx):w - max(0, dx)]

    # Stack shadow, outline and face ("over" compositing, straight alpha).
    rgb = np.zeros((h, w, 3))
    alpha = np.zeros((h, w))
    for colour, mask in ((np.zeros(3), shadow), (np.array(OUTLINE_COLOUR, float), outline), (gradient, face)):
        a = mask[..., None]
        new_alpha = mask + alpha * (1 - mask)
        rgb = np.where(new_alpha[..., None] > 0,
                       (colour * a + rgb * alpha[..., None] * (1 - a)) / np.maximum(new_alpha, 1e-9)[..., None],
                       0)
        alpha = new_alpha

    alpha8 = np.round(alpha * 255).astype(np.uint8)
    # The game crops each glyph at its outermost pixels with any alpha at all:
    # drop the faint rim nobody sees, so it does not widen the letters.
    alpha8[alpha8 < FAINTEST] = 0
    ys, xs = np.nonzero(alpha8)
    # Place the glyph: left edge of its ink at INK_LEFT, baseline at BASELINE.
    ox = INK_LEFT - xs.min()
    oy = BASELINE - origin[1]
    if ys.max() - ys.min() > INK_BOTTOM - INK_TOP:
        return None
    if ys.min() + oy < INK_TOP and ys.max() + oy > INK_BOTTOM:
        # Signs that reach far above and below the line: centre them.
        oy = (INK_TOP + INK_BOTTOM - ys.min() - ys.max()) // 2
    else:
        # A sign that hangs below the line (the comma) is raised only as far
        # as the cell needs: centred, a comma would read as an apostrophe.
        oy = min(max(oy, INK_TOP - ys.min()), INK_BOTTOM - ys.max())
    cell = np.zeros((CELL_H, CELL_W, 4), np.uint8)
    for y, x in zip(ys, xs):
        cell[y + oy, x + ox, :3] = np.round(rgb[y, x]).astype(np.uint8)
        cell[y + oy, x + ox, 3] = alpha8[y, x]
    return cell


def main():
    font = load_font(sys.argv[1])
    strip = np.zeros((CELL_H, CELL_W * len(GLYPHS), 4), np.uint8)
    for i, ch in enumerate(GLYPHS):
        # Tall signs such as the brackets are set a little smaller to fit.
        glyph_font, cell = font, render_glyph(font, ch)
        while cell is None:
            glyph_font = ImageFont.truetype(sys.argv[1], glyph_font.size - 2)
            cell = render_glyph(glyph_font, ch)
        strip[:, i * CELL_W:(i + 1) * CELL_W] = cell
    Image.fromarray(strip, "RGBA").save(sys.argv[2], optimize=True)


if __name__ == "__main__":
    main()
