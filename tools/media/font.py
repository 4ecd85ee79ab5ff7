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

from letters import CONSTRUCTED, constructed_face, round_dilation

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


def load_font(path):
    # Find the size at which the capital H is CAP_HEIGHT pixels high.
    size = 60
    for _ in range(4):
        font = ImageFont.truetype(path, size)
        top, bottom = font.getbbox("H", anchor="ls")[1::2]
        size = round(size * CAP_HEIGHT / (bottom - top))
    return ImageFont.truetype(path, size)


def glyph_layers(font, ch, squeeze):
    """Masks of the face and of the face plus outline, on a roomy canvas."""
    if ch in CONSTRUCTED:
        face = constructed_face(font, ch, CANVAS, ORIGIN)
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
