#!/usr/bin/env python3
"""Draws the gadget panels at the design's size, as the back buffer shows them: the band along
the bottom of the screen in its two looks, glass (KIM2GadgetPanel, 1024 x 70, a 24-bit bitmap)
and solid (KIM2GadgetSolid, a GIF), and the plates of the clock (KGC1, 117 x 69), the weather
panel (KGW1, 336 x 69) and the news ticker (KGR1, 572 x 69), GIFs drawn keyed over the band.

The glass is the frame's part of BandGlass (scene_surround.py: the scene behind the band,
softened and darkened), so it has no pixel pattern at any scale; the solid panel is a dark
gradient. Both carry a gold hairline along the top that fades out toward the screen's edges.
On the screen the band is drawn again at the screen's own resolution (gadgets/Band*.cpp draws
the same lines and labels), so these pictures show as they are only in the design's frames and
in a screensaver daemon's window.

On the plates pure black is see-through, so everything that should let the band through is
exactly (0, 0, 0) and nothing else is. They add a thin gold frame and small spaced capitals;
their soft edges are blended against the glass's mean colour, which lies behind them.

    panels.py [output-directory]    (default: assets/pictures)
"""

import os
import sys

import cairo
import numpy as np
from PIL import Image

from bmp8 import quantize, write_bmp24
from paint import set_rgb

DEEP = (14, 13, 26)          # the band's deepest colour
GOLD_TOP = (232, 204, 146)   # trim, lit from above
GOLD_BOTTOM = (128, 108, 76)
LABEL = (214, 190, 142)
TILE_TRIM = (150, 130, 94)
SOLID_TOP = (27, 24, 41)     # the solid panel, lit a little from above
SOLID_BOTTOM = (12, 11, 21)
LABEL_FONT = "Liberation Sans"   # the face the band's labels get on the screen ("Arial")
LABEL_SIZE = 10.0            # em of the labels (an 11-pixel cell)
LABEL_SPACING = 1.0
LABEL_BASELINE = 19.5        # shared by every gadget, level with the ticker's channel title
FRAME_INSET = 3.5
FRAME_RADIUS = 6.0
CLOCK_FRAME_LEFT = 6.5
HAIRLINE_FADE = 260.0
KEEP_ALPHA = 0.1             # coverage below which a pixel stays see-through
GLASS_ORIGIN = 864           # BandGlass's column of the frame's left edge


def new_canvas(width, height):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    return surface, cairo.Context(surface)


def gold(y0, y1):
    grad = cairo.LinearGradient(0, y0, 0, y1)
    grad.add_color_stop_rgb(0, *(c / 255 for c in GOLD_TOP))
    grad.add_color_stop_rgb(1, *(c / 255 for c in GOLD_BOTTOM))
    return grad


def frame(ctx, width, height, left=FRAME_INSET, right=None):
    """The gadget's frame: a one-pixel gold line on half-pixel coordinates (so its straight runs
    are crisp). It is open on the right unless `right` closes it: whatever placement the settings
    give, a gadget's right neighbour is another gadget, whose rounded left side closes the
    compartment; the clock, always the rightmost, closes its own. That also leaves room for texts
    that the program lets run a few pixels past their panel (the weather range "NA...NA°")."""
    x1, y0, y1, r = width, FRAME_INSET, height - FRAME_INSET, FRAME_RADIUS
    ctx.new_path()
    if right is None:
        ctx.move_to(x1, y0)
    else:
        ctx.move_to(right - r, y0)
    ctx.line_to(left + r, y0)
    ctx.arc_negative(left + r, y0 + r, r, -np.pi / 2, -np.pi)
    ctx.line_to(left, y1 - r)
    ctx.arc_negative(left + r, y1 - r, r, np.pi, np.pi / 2)
    if right is None:
        ctx.line_to(x1, y1)
    else:
        ctx.line_to(right - r, y1)
        ctx.arc_negative(right - r, y1 - r, r, np.pi / 2, 0)
        ctx.line_to(right, y0 + r)
        ctx.arc_negative(right - r, y0 + r, r, 0, -np.pi / 2)
    ctx.set_source(gold(y0, y1))
    ctx.set_line_width(1.0)
    ctx.stroke()


def label_width(ctx, text):
    return sum(ctx.text_extents(ch).x_advance for ch in text) + LABEL_SPACING * (len(text) - 1)


def label(ctx, text, x, baseline=LABEL_BASELINE, centre=False):
    """Spaced capitals."""
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
    set_rgb(ctx, LABEL)
    ctx.fill()
    return pen - LABEL_SPACING


def diamond(ctx, cx, cy, r):
    ctx.move_to(cx, cy - r)
    ctx.line_to(cx + r, cy)
    ctx.line_to(cx, cy + r)
    ctx.line_to(cx - r, cy)
    ctx.close_path()
    set_rgb(ctx, LABEL)
    ctx.fill()


def tile_frame(ctx, x, y, size):
    """A thin frame just outside an icon's square; the program draws the icon inside it."""
    ctx.rectangle(x - 0.5, y - 0.5, size + 1, size + 1)
    set_rgb(ctx, TILE_TRIM)
    ctx.set_line_width(1.0)
    ctx.stroke()


def glass_mean():
    return np.asarray(glass_rows(), dtype=np.float64).reshape(-1, 3).mean(axis=0)


def to_keyed_rgb(surface):
    """ARGB canvas -> RGB where weakly covered pixels are pure black (see-through) and every
    other pixel is its colour laid over the glass's mean colour, which lies behind it."""
    surface.flush()
    h, w = surface.get_height(), surface.get_width()
    buf = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(h, surface.get_stride() // 4, 4)
    bgra = buf[:, :w].astype(np.float64) / 255.0
    alpha = bgra[..., 3:4]
    premul = bgra[..., 2::-1]  # cairo stores premultiplied B, G, R, A
    over = premul + (1.0 - alpha) * (glass_mean() / 255.0)
    rgb = np.clip(np.round(over * 255), 1, 255).astype(np.uint8)
    rgb[alpha[..., 0] < KEEP_ALPHA] = 0
    return rgb


def glass_rows():
    """The frame's part of the band's glass."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pictures", "BandGlass.jpg")
    glass = np.asarray(Image.open(path).convert("RGB"))
    return glass[:, GLASS_ORIGIN:GLASS_ORIGIN + 1024]


def hairline(rgb):
    """Dark rows 0 and 2 and between them a gold line that fades out toward both ends."""
    width = rgb.shape[1]
    xs = np.arange(width)
    fade = np.clip(np.minimum(xs, width - 1 - xs) / HAIRLINE_FADE, 0, 1) ** 0.7
    out = rgb.astype(np.float64)
    for row in (0, 2):
        out[row] += (np.array(DEEP) - out[row]) * 0.7
    out[1] += (np.array(GOLD_TOP) * 0.8 - out[1]) * fade[:, None]
    return np.clip(np.round(out), 1, 255).astype(np.uint8)


def band():
    """KIM2GadgetPanel: the glass across the whole bottom, under the hairline."""
    return hairline(glass_rows())


def solid():
    """KIM2GadgetSolid: the solid panel, under the hairline."""
    t = np.linspace(0.0, 1.0, 70)[:, None, None]
    rows = np.array(SOLID_TOP) + (np.array(SOLID_BOTTOM) - np.array(SOLID_TOP)) * t
    return hairline(np.repeat(rows, 1024, axis=1))


def clock():
    surface, ctx = new_canvas(117, 69)
    # Set in from the left so the weather panel's overflowing range text stays clear of it.
    frame(ctx, 117, 69, left=CLOCK_FRAME_LEFT, right=117 - FRAME_INSET)
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
    write_bmp24(os.path.join(out_dir, "KIM2GadgetPanel.bmp"), band())
    for name, draw in (("KIM2GadgetSolid", solid), ("KGC1", clock), ("KGW1", weather), ("KGR1", ticker)):
        write_gif(os.path.join(out_dir, name + ".gif"), draw())


if __name__ == "__main__":
    main()
