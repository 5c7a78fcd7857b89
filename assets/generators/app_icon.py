#!/usr/bin/env python3
"""Draws the program's icon: the coast at golden hour in a rounded tile, the sun on the horizon,
its path on the sea and two gulls, in the colours of the dialog's header.

    SolvaneIcon.png   128 x 128, 32-bit with transparency: the settings window's icon and the
                      menu entry's (installed as the hicolor theme's 128x128 application icon)

    app_icon.py [output-directory]    (default: assets/pictures)
"""

import math
import os
import sys

import cairo
import numpy as np
from PIL import Image

from dialog import gull
from paint import gradient, set_rgb

SIZE = 128
MARGIN = 6
RADIUS = 24
HORIZON = 78
SUN = (64, HORIZON, 22)
SEA_TOP, SEA_BOTTOM = (70, 74, 104), (34, 37, 52)


def tile(ctx):
    x0 = y0 = MARGIN
    x1 = y1 = SIZE - MARGIN
    ctx.new_sub_path()
    ctx.arc(x1 - RADIUS, y0 + RADIUS, RADIUS, -math.pi / 2, 0)
    ctx.arc(x1 - RADIUS, y1 - RADIUS, RADIUS, 0, math.pi / 2)
    ctx.arc(x0 + RADIUS, y1 - RADIUS, RADIUS, math.pi / 2, math.pi)
    ctx.arc(x0 + RADIUS, y0 + RADIUS, RADIUS, math.pi, 1.5 * math.pi)
    ctx.close_path()


def draw(ctx):
    tile(ctx)
    ctx.clip_preserve()
    ctx.set_source(gradient(0, MARGIN, 0, HORIZON, (
        (0.0, (46, 52, 92)), (0.5, (136, 100, 128)), (0.85, (226, 150, 108)), (1.0, (250, 204, 140)))))
    ctx.fill()
    x, y, r = SUN
    glow = cairo.RadialGradient(x, y, 0, x, y, 64)
    glow.add_color_stop_rgba(0, 1.0, 0.88, 0.62, 0.8)
    glow.add_color_stop_rgba(1, 1.0, 0.7, 0.45, 0.0)
    ctx.set_source(glow)
    ctx.rectangle(0, 0, SIZE, HORIZON)
    ctx.fill()
    ctx.arc(x, y, r, math.pi, 2 * math.pi)
    set_rgb(ctx, (255, 226, 160))
    ctx.fill()
    ctx.set_source(gradient(0, HORIZON, 0, SIZE, ((0.0, SEA_TOP), (1.0, SEA_BOTTOM))))
    ctx.rectangle(0, HORIZON, SIZE, SIZE - HORIZON)
    ctx.fill()
    # The sun's path on the water: streaks that widen toward the viewer.
    for row in range(6):
        ry = HORIZON + 4 + row * 7
        half = r * 0.5 + row * 3
        set_rgb(ctx, (250, 204, 140), 0.85 - row * 0.12)
        ctx.rectangle(x - half, ry, 2 * half, 2.5)
        ctx.fill()
    gull(ctx, 38, 40, 26, (40, 42, 60))
    gull(ctx, 86, 30, 16, (40, 42, 60), 0.85)
    ctx.reset_clip()
    tile(ctx)
    set_rgb(ctx, (232, 196, 124))
    ctx.set_line_width(2.5)
    ctx.stroke()


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "pictures")
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, SIZE, SIZE)
    draw(cairo.Context(surface))
    surface.flush()
    bgra = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(SIZE, surface.get_stride() // 4, 4)
    rgba = bgra[:, :SIZE, [2, 1, 0, 3]].astype(np.uint16)
    # Cairo keeps colours multiplied by their alpha; PNG keeps them straight.
    alpha = rgba[:, :, 3:4]
    safe = np.maximum(alpha, 1)
    rgba[:, :, :3] = np.where(alpha > 0, (rgba[:, :, :3] * 255 + safe // 2) // safe, 0)
    Image.fromarray(rgba.astype(np.uint8), "RGBA").save(os.path.join(out, "SolvaneIcon.png"))


if __name__ == "__main__":
    main()
