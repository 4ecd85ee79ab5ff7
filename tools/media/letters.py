"""Letters of our own for the title typeface, shared by the media scripts.

The typeface's R and B are round at the top-left: on screen the R reads as an
a and the B as an 8, worst when condensed in the font strip (font.py), but in
the menu captions (art.py) too.  Both scripts take these letters from here.
"""
import numpy as np
from PIL import Image, ImageDraw, ImageFont

# Letters of our own (see constructed_face), each with the typeface's letter
# whose width it keeps; their strokes in shares of the P's stem, the R's bowl
# in a share of the cap height.
CONSTRUCTED = {"R": "P", "B": "B"}
BOWL_STROKE = 0.62
BOWL_DEPTH = 0.58
LEG_WIDTH = 0.9


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


def constructed_face(font, ch, size, origin, k=4):
    """The face of an R or a B of our own, in the typeface's weight.

    Ours have a straight stem with square corners up to the cap line, bowls
    round on the right only, and the R a leg that stands apart from the stem.
    Each keeps the width of the typeface's letter named in CONSTRUCTED, so
    lines keep their length.

    The face comes on a canvas of the given size, its baseline starting at
    origin, as the typeface's letter would be drawn there with anchor "ls".
    It is drawn k times larger and scaled down, so its edges come out smooth.
    """
    big = ImageFont.truetype(font.path, font.size * k)
    w, h = size
    probe = Image.new("L", (w * k, h * k))
    d = ImageDraw.Draw(probe)

    def ink_box(letter):
        d.rectangle((0, 0, w * k, h * k), fill=0)
        d.text((origin[0] * k, origin[1] * k), letter, font=big, fill=255, anchor="ls")
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
