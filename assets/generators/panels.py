#!/usr/bin/env python3
"""Draws the gadget panels as GIFs: the band along the bottom of the screen (KIM2GadgetPanel,
1024 x 70) and the backgrounds of the clock (KGC1, 117 x 69), the weather panel (KGW1, 336 x 69)
and the news ticker (KGR1, 572 x 69).

Pure black is see-through when a panel is drawn keyed, so everything that should let the scene
through is exactly (0, 0, 0) and nothing else is. The band dims the scene with a one-pixel
checker of a deep violet-black, which reads as tinted glass; the gadgets add a thin gold frame and
small spaced capitals where the program draws nothing. Every drawn edge is blended against that
same deep colour, never against black, so keyed edges show a deliberate dark keyline instead of
a ragged fringe.

    panels.py [output-directory]    (default: assets/pictures)
"""

import os
import sys

import cairo
import numpy as np
from PIL import Image

from bmp8 import quantize
from paint import set_rgb

DEEP = (14, 13, 26)          # the glass colour and the keyline around every drawn mark
GOLD_TOP = (232, 204, 146)   # trim, lit from above
GOLD_BOTTOM = (128, 108, 76)
LABEL = (214, 190, 142)
TILE_TRIM = (150, 130, 94)
LABEL_FONT = "Nimbus Sans Narrow"
LABEL_SIZE = 10.5
LABEL_SPACING = 1.4
LABEL_BASELINE = 19.5        # shared by every gadget, level with the ticker's channel title
FRAME_INSET = 3.5
FRAME_RADIUS = 6.0
CLOCK_FRAME_LEFT = 6.5
KEEP_ALPHA = 0.35            # coverage below which a pixel stays see-through


def new_canvas(width, height):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    return surface, cairo.Context(surface)


def gold(y0, y1):
    grad = cairo.LinearGradient(0, y0, 0, y1)
    grad.add_color_stop_rgb(0, *(c / 255 for c in GOLD_TOP))
    grad.add_color_stop_rgb(1, *(c / 255 for c in GOLD_BOTTOM))
    return grad


def frame(ctx, width, height, left=FRAME_INSET):
    """The gadget's frame: a one-pixel gold line on half-pixel coordinates (so its straight runs
    are crisp) over a three-pixel keyline of the glass colour. It is open on the right: whatever
    placement the settings give, a gadget's right neighbour is another gadget, whose rounded left
    side closes the compartment, or the screen edge. That also leaves room for texts that the
    program lets run a few pixels past their panel (the weather range "NA...NA°")."""
    x1, y0, y1, r = width, FRAME_INSET, height - FRAME_INSET, FRAME_RADIUS

    def path():
        ctx.new_path()
        ctx.move_to(x1, y0)
        ctx.line_to(left + r, y0)
        ctx.arc_negative(left + r, y0 + r, r, -np.pi / 2, -np.pi)
        ctx.line_to(left, y1 - r)
        ctx.arc_negative(left + r, y1 - r, r, np.pi, np.pi / 2)
        ctx.line_to(x1, y1)

    path()
    set_rgb(ctx, DEEP)
    ctx.set_line_width(3.0)
    ctx.stroke()
    path()
    ctx.set_source(gold(y0, y1))
    ctx.set_line_width(1.0)
    ctx.stroke()


def label_width(ctx, text):
    return sum(ctx.text_extents(ch).x_advance for ch in text) + LABEL_SPACING * (len(text) - 1)


def label(ctx, text, x, baseline=LABEL_BASELINE, centre=False):
    """Spaced capitals with a keyline of the glass colour around each letter."""
    ctx.select_font_face(LABEL_FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(LABEL_SIZE)
    if centre:
        x -= label_width(ctx, text) / 2
    x = round(x)
    ctx.new_path()
    pen = x
    for ch in text:
        ctx.move_to(pen, baseline)
        ctx.text_path(ch)
        pen += ctx.text_extents(ch).x_advance + LABEL_SPACING
    path = ctx.copy_path()
    set_rgb(ctx, DEEP)
    ctx.set_line_width(2.4)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()
    ctx.append_path(path)
    set_rgb(ctx, LABEL)
    ctx.fill()
    return pen - LABEL_SPACING


def diamond(ctx, cx, cy, r):
    ctx.move_to(cx, cy - r)
    ctx.line_to(cx + r, cy)
    ctx.line_to(cx, cy + r)
    ctx.line_to(cx - r, cy)
    ctx.close_path()
    set_rgb(ctx, DEEP)
    ctx.set_line_width(2.0)
    ctx.stroke_preserve()
    set_rgb(ctx, LABEL)
    ctx.fill()


def tile_frame(ctx, x, y, size):
    """A thin frame just outside an icon's square; the program draws the icon inside it."""
    ctx.rectangle(x - 1, y - 1, size + 2, size + 2)  # keyline outside the icon's square only
    set_rgb(ctx, DEEP)
    ctx.set_line_width(2.0)
    ctx.stroke()
    ctx.rectangle(x - 0.5, y - 0.5, size + 1, size + 1)
    set_rgb(ctx, TILE_TRIM)
    ctx.set_line_width(1.0)
    ctx.stroke()


def to_keyed_rgb(surface):
    """ARGB canvas -> RGB where weakly covered pixels are pure black (see-through) and every
    other pixel is its colour laid over the glass colour."""
    surface.flush()
    h, w = surface.get_height(), surface.get_width()
    buf = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(h, surface.get_stride() // 4, 4)
    bgra = buf[:, :w].astype(np.float64) / 255.0
    alpha = bgra[..., 3:4]
    premul = bgra[..., 2::-1]  # cairo stores premultiplied B, G, R, A
    over = premul + (1.0 - alpha) * (np.array(DEEP) / 255.0)
    rgb = np.clip(np.round(over * 255), 0, 255).astype(np.uint8)
    rgb[alpha[..., 0] < KEEP_ALPHA] = 0
    return rgb


def checker(width, height, first_row):
    """Glass: every other pixel in the glass colour, the rest see-through."""
    rgb = np.zeros((height, width, 3), dtype=np.uint8)
    ys, xs = np.mgrid[0:height, 0:width]
    on = ((xs + ys) % 2 == 0) & (ys >= first_row)
    rgb[on] = DEEP
    return rgb


def band():
    """KIM2GadgetPanel: glass across the whole bottom, under a gold hairline that fades out
    toward both screen edges."""
    width, height = 1024, 70
    rgb = checker(width, height, 3)
    xs = np.arange(width)
    fade = np.clip(np.minimum(xs, width - 1 - xs) / 260.0, 0, 1) ** 0.7
    line = np.array(DEEP) + fade[:, None] * (np.array(GOLD_TOP) * 0.8 - np.array(DEEP))
    rgb[0] = DEEP
    rgb[1] = np.round(line).astype(np.uint8)
    rgb[2] = DEEP
    return rgb


def clock():
    surface, ctx = new_canvas(117, 69)
    # Set in from the left so the weather panel's overflowing range text stays clear of it.
    frame(ctx, 117, 69, left=CLOCK_FRAME_LEFT)
    label(ctx, "TIME", 57, centre=True)
    return to_keyed_rgb(surface)


def weather():
    surface, ctx = new_canvas(336, 69)
    frame(ctx, 336, 69)
    label(ctx, "WEATHER", 15)
    tile_frame(ctx, 94, 8, 52)
    tile_frame(ctx, 206, 8, 52)
    label(ctx, "TODAY", 153)
    end = label(ctx, "TOMORROW", 265)
    if end > 336 + CLOCK_FRAME_LEFT - 4:
        raise SystemExit("the TOMORROW label runs into the clock's frame")
    return to_keyed_rgb(surface)


def ticker():
    surface, ctx = new_canvas(572, 69)
    frame(ctx, 572, 69)
    end = label(ctx, "NEWS", 15)
    diamond(ctx, (end + 90) / 2, LABEL_BASELINE - 3.5, 2.5)
    return to_keyed_rgb(surface)


def write_gif(path, rgb):
    """An indexed GIF whose entry 0 is pure black; no other entry is black, so only the pixels
    meant to be see-through are."""
    indices, palette = quantize(rgb, 256, reserved=[(0, 0, 0)])
    if any(tuple(c) == (0, 0, 0) for c in palette[1:]):
        raise SystemExit(f"{path}: a drawn colour quantised to see-through black")
    image = Image.fromarray(indices.astype(np.uint8), mode="P")
    flat = [v for colour in palette for v in colour]
    image.putpalette(flat + [0] * (768 - len(flat)))
    image.save(path, format="GIF", optimize=False)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "pictures")
    for name, draw in (("KIM2GadgetPanel", band), ("KGC1", clock), ("KGW1", weather),
                       ("KGR1", ticker)):
        write_gif(os.path.join(out_dir, name + ".gif"), draw())


if __name__ == "__main__":
    main()
