#!/usr/bin/env python3
"""Draws the settings dialog's pictures:

    DialogHeader.jpg   546 x 90   the product name over a strip of the evening coast
    DialogDecor.bmp    183 x 134  8-bit emblem laid over the header's right side; its top-left
                                  pixel is the colour that is not drawn
    SliderTrack.bmp    199 x 24   24-bit slider track, a small inset panel of its own
    SliderKnob.bmp     34 x 16    24-bit knob; its bottom-left pixel is the colour not drawn
    BtnOkUp/Down.bmp, BtnCancelUp/Down.bmp   76 x 26, 24-bit, caption in the picture

The emblem and the buttons are blended against exactly what lies under them in the dialog (the
header picture, the window colour RGB 107, 112, 133), so their keyed or rounded edges are smooth
without a fringe.

    dialog.py [output-directory]    (default: assets/pictures)
"""

import math
import os
import sys

import cairo
import numpy as np
from PIL import Image

from bmp8 import quantize, write_bmp24, write_bmp8
from paint import gradient, set_rgb

WINDOW = (107, 112, 133)
HEADER_SIZE = (546, 90)
HEADER_ORIGIN = (-1, -1)      # where the dialog places the header
DECOR_SIZE = (183, 134)
DECOR_ORIGIN = (336, 12)      # where the dialog places the emblem
KEY = (255, 0, 255)
CREAM = (250, 240, 218)
GOLD = (232, 196, 124)
GOLD_DARK = (150, 116, 64)
SLATE_TOP = (62, 67, 88)
SLATE_BOTTOM = (38, 41, 56)
HORIZON = 64


def surface_rgb(surface):
    surface.flush()
    h, w = surface.get_height(), surface.get_width()
    buf = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(h, surface.get_stride() // 4, 4)
    return buf[:, :w, 2::-1].copy()


def gull(ctx, x, y, span, colour, alpha=1.0):
    """A gull in flight seen from afar: two shallow arcs meeting at the body."""
    half = span / 2
    ctx.move_to(x - half, y - span * 0.12)
    ctx.curve_to(x - half * 0.6, y - span * 0.32, x - half * 0.2, y - span * 0.2, x, y)
    ctx.curve_to(x + half * 0.2, y - span * 0.2, x + half * 0.6, y - span * 0.32, x + half, y - span * 0.12)
    set_rgb(ctx, colour, alpha)
    ctx.set_line_width(max(1.0, span / 12))
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()


# ---- header -------------------------------------------------------------------------------

def header_sky(ctx, w):
    ctx.set_source(gradient(0, 0, 0, HORIZON, (
        (0.0, (46, 52, 92)), (0.45, (120, 96, 126)), (0.8, (222, 150, 110)), (1.0, (250, 200, 138)))))
    ctx.rectangle(0, 0, w, HORIZON)
    ctx.fill()
    # The light comes from behind the emblem that the dialog lays over the right side.
    sun_x = DECOR_ORIGIN[0] - HEADER_ORIGIN[0] + 120
    glow = cairo.RadialGradient(sun_x, HORIZON, 0, sun_x, HORIZON, 150)
    glow.add_color_stop_rgba(0, 1.0, 0.86, 0.6, 0.75)
    glow.add_color_stop_rgba(1, 1.0, 0.7, 0.45, 0.0)
    ctx.set_source(glow)
    ctx.rectangle(0, 0, w, HORIZON)
    ctx.fill()
    return sun_x


def header_clouds(ctx, w):
    """Thin evening streaks, lit warm from below like the scene's sky."""
    rng = np.random.default_rng(5460)
    for _ in range(26):
        x = rng.uniform(-40, w)
        y = rng.uniform(6, 44)
        length = rng.uniform(40, 150)
        thick = rng.uniform(1.5, 3.5)
        warmth = y / 44
        colour = (int(150 + 100 * warmth), int(120 + 70 * warmth), int(160 - 20 * warmth))
        grad = cairo.LinearGradient(x, 0, x + length, 0)
        for offset, alpha in ((0, 0), (0.3, 0.35), (0.7, 0.35), (1, 0)):
            grad.add_color_stop_rgba(offset, *(c / 255 for c in colour), alpha)
        ctx.set_source(grad)
        ctx.save()
        ctx.translate(x + length / 2, y)
        ctx.scale(length / 2, thick)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.fill()


def header_sea(ctx, w, h, sun_x):
    ctx.set_source(gradient(0, HORIZON, 0, h, ((0, (118, 104, 128)), (1, (40, 46, 78)))))
    ctx.rectangle(0, HORIZON, w, h - HORIZON)
    ctx.fill()
    rng = np.random.default_rng(90546)
    for _ in range(90):  # faint swell lines across the whole bay
        row = HORIZON + 2 + int(rng.uniform(0, h - HORIZON - 4))
        x = rng.uniform(-20, w)
        set_rgb(ctx, (236, 180, 160), 0.16)
        ctx.rectangle(x, row, rng.uniform(12, 60), 1)
        ctx.fill()
    for row in range(HORIZON + 1, h, 2):
        depth = (row - HORIZON) / (h - HORIZON)
        spread = 10 + 70 * depth
        for _ in range(5):
            x = sun_x + rng.normal(0, spread * 0.45)
            length = 3 + rng.uniform(0, 10) * (1 - depth * 0.5)
            set_rgb(ctx, (255, 214, 150), 0.65 * (1 - depth * 0.6))
            ctx.rectangle(x - length / 2, row, length, 1)
            ctx.fill()


def header_headland(ctx, h):
    ctx.move_to(-2, HORIZON + 1)
    ctx.curve_to(40, 58, 90, 54, 130, 56)
    ctx.curve_to(156, 57, 178, 61, 200, HORIZON + 1)
    ctx.close_path()
    set_rgb(ctx, (58, 50, 82))
    ctx.fill()
    ctx.move_to(-2, HORIZON + 1)
    ctx.curve_to(24, 60, 52, 59, 82, HORIZON + 1)
    ctx.close_path()
    set_rgb(ctx, (44, 40, 68))
    ctx.fill()


def header_title(ctx):
    ctx.select_font_face("P052", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(30)
    x, baseline = 20, 44
    first = "Solvane "
    ctx.move_to(x, baseline)
    ctx.text_path(first)
    advance = ctx.text_extents(first).x_advance
    ctx.select_font_face("P052", cairo.FONT_SLANT_ITALIC, cairo.FONT_WEIGHT_NORMAL)
    ctx.move_to(x + advance, baseline)
    ctx.text_path("Screensaver")
    path = ctx.copy_path()
    ctx.save()
    ctx.translate(1, 1.5)
    ctx.new_path()
    ctx.append_path(path)
    set_rgb(ctx, (30, 24, 48), 0.55)
    ctx.fill()
    ctx.restore()
    ctx.new_path()
    ctx.append_path(path)
    ctx.set_source(gradient(0, baseline - 22, 0, baseline + 6, ((0, CREAM), (1, (244, 214, 160)))))
    ctx.fill()


def header():
    w, h = HEADER_SIZE
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = cairo.Context(surface)
    sun_x = header_sky(ctx, w)
    header_clouds(ctx, w)
    header_sea(ctx, w, h, sun_x)
    header_headland(ctx, h)
    for x, y, span in ((352, 22, 11), (370, 30, 8), (336, 34, 7)):
        gull(ctx, x, y, span, (52, 44, 70), 0.9)
    header_title(ctx)
    # A thin gold rule closes the header against the window below it.
    ctx.rectangle(0, h - 2, w, 1)
    set_rgb(ctx, GOLD_DARK)
    ctx.fill()
    ctx.rectangle(0, h - 1, w, 1)
    set_rgb(ctx, (30, 32, 46))
    ctx.fill()
    rgb = surface_rgb(surface).astype(np.int16)
    # A trace of grain keeps the long gradients from banding after compression.
    grain = np.random.default_rng(546).integers(-1, 2, size=rgb.shape)
    return np.clip(rgb + grain, 0, 255).astype(np.uint8)


# ---- emblem -------------------------------------------------------------------------------

def decor_underlay(header_rgb):
    """What the dialog shows beneath the emblem: the header where it reaches, else the window."""
    w, h = DECOR_SIZE
    under = np.empty((h, w, 3), dtype=np.uint8)
    under[:] = WINDOW
    hx = DECOR_ORIGIN[0] - HEADER_ORIGIN[0]
    hy = DECOR_ORIGIN[1] - HEADER_ORIGIN[1]
    rows = max(0, min(h, HEADER_SIZE[1] - hy))
    under[:rows] = header_rgb[hy:hy + rows, hx:hx + w]
    return under


def emblem(ctx, cx, cy, r):
    """A round seal: the sun on the sea and three gulls, ringed in gold."""
    ctx.save()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.clip()
    ctx.set_source(gradient(0, cy - r, 0, cy + 8, (
        (0, (70, 70, 112)), (0.55, (206, 138, 112)), (1, (252, 204, 140)))))
    ctx.paint()
    set_rgb(ctx, (255, 238, 196))
    ctx.arc(cx + 8, cy + 8, 15, math.pi, 2 * math.pi)
    ctx.fill()
    ctx.set_source(gradient(0, cy + 8, 0, cy + r, ((0, (120, 100, 126)), (1, (36, 42, 72)))))
    ctx.rectangle(cx - r, cy + 8, 2 * r, r)
    ctx.fill()
    for i, row in enumerate(range(int(cy) + 11, int(cy + r), 4)):
        half = 14 - i * 1.5 + (i % 2) * 3
        set_rgb(ctx, (255, 214, 150), 0.75 - i * 0.06)
        ctx.rectangle(cx + 8 - half, row, 2 * half, 1.2)
        ctx.fill()
    ctx.restore()
    for x, y, span in ((cx - 18, cy - 20, 17), (cx + 2, cy - 30, 12), (cx - 30, cy - 6, 10)):
        gull(ctx, x, y, span, (40, 34, 58))
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    set_rgb(ctx, (30, 30, 46))
    ctx.set_line_width(5)
    ctx.stroke()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source(gradient(0, cy - r, 0, cy + r, ((0, (246, 218, 156)), (1, GOLD_DARK))))
    ctx.set_line_width(2.2)
    ctx.stroke()
    ctx.arc(cx, cy, r - 4.5, 0, 2 * math.pi)
    set_rgb(ctx, GOLD, 0.55)
    ctx.set_line_width(0.8)
    ctx.stroke()


def decor(header_rgb):
    w, h = DECOR_SIZE
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    ctx = cairo.Context(surface)
    emblem(ctx, 120, 70, 52)
    surface.flush()
    buf = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(h, surface.get_stride() // 4, 4)
    premul = buf[:, :w, 2::-1].astype(np.float64) / 255
    alpha = buf[:, :w, 3:4].astype(np.float64) / 255
    under = decor_underlay(header_rgb).astype(np.float64) / 255
    rgb = np.round((premul + (1 - alpha) * under) * 255).astype(np.uint8)
    rgb[alpha[..., 0] < 0.02] = KEY
    rgb[0, 0] = KEY
    indices, palette = quantize(rgb, 256, reserved=[KEY])
    if any(tuple(c) == KEY for c in palette[1:]):
        raise SystemExit("the emblem uses its own key colour")
    return indices, palette


# ---- slider -------------------------------------------------------------------------------

def slider_track():
    w, h = 199, 24
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = cairo.Context(surface)
    ctx.set_source(gradient(0, 0, 0, h, ((0, (44, 47, 64)), (1, (58, 62, 82)))))
    ctx.paint()
    ctx.rectangle(0.5, 0.5, w - 1, h - 1)
    set_rgb(ctx, (28, 30, 42))
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.move_to(1, h - 1.5)
    ctx.line_to(w - 1, h - 1.5)
    set_rgb(ctx, (96, 102, 126))
    ctx.stroke()
    # The groove warms from dusk blue to gold toward the "Max" end.
    groove_y, groove_h = 10, 4
    ctx.rectangle(8, groove_y, w - 16, groove_h)
    ctx.set_source(gradient(8, 0, w - 8, 0, ((0, (70, 78, 112)), (0.6, (176, 132, 104)), (1, GOLD))))
    ctx.fill()
    ctx.rectangle(8, groove_y, w - 16, 1)
    set_rgb(ctx, (20, 20, 30), 0.6)
    ctx.fill()
    for i in range(9):
        x = round(17 + i * (w - 34) / 8) + 0.5
        ctx.move_to(x, 17)
        ctx.line_to(x, 20 if i % 4 == 0 else 19)
        set_rgb(ctx, (150, 150, 170))
        ctx.set_line_width(1)
        ctx.stroke()
    return surface_rgb(surface)


def rounded_rect(ctx, w, h, r):
    """A w x h rectangle with corners of radius r, on pixel centres so its outline is crisp."""
    ctx.new_sub_path()
    ctx.arc(w - r - 0.5, r + 0.5, r, -math.pi / 2, 0)
    ctx.arc(w - r - 0.5, h - r - 0.5, r, 0, math.pi / 2)
    ctx.arc(r + 0.5, h - r - 0.5, r, math.pi / 2, math.pi)
    ctx.arc(r + 0.5, r + 0.5, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def slider_knob():
    w, h = 34, 16
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = cairo.Context(surface)
    # Edges are blended against the track's panel colour behind the knob; the corners, which
    # are not drawn, take the key colour afterwards.
    set_rgb(ctx, (50, 54, 72))
    ctx.paint()
    r = 6
    rounded_rect(ctx, w, h, r)
    path = ctx.copy_path()
    ctx.set_source(gradient(0, 0, 0, h, ((0, (252, 234, 190)), (0.5, (222, 184, 116)), (1, (170, 128, 70)))))
    ctx.fill()
    ctx.append_path(path)
    set_rgb(ctx, (92, 70, 40))
    ctx.set_line_width(1)
    ctx.stroke()
    for dx in (-4, 0, 4):
        ctx.move_to(w / 2 + dx + 0.5, 4)
        ctx.line_to(w / 2 + dx + 0.5, h - 4)
        set_rgb(ctx, (120, 88, 46))
        ctx.stroke()
    rgb = surface_rgb(surface)
    coverage = cairo.ImageSurface(cairo.FORMAT_A8, w, h)
    cctx = cairo.Context(coverage)
    cctx.append_path(path)
    cctx.fill()
    coverage.flush()
    alpha = np.frombuffer(coverage.get_data(), dtype=np.uint8).reshape(h, coverage.get_stride())[:, :w]
    rgb[alpha < 40] = KEY
    rgb[h - 1, 0] = KEY
    return rgb


# ---- buttons ------------------------------------------------------------------------------

def button(caption, pressed):
    w, h = 76, 26
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = cairo.Context(surface)
    set_rgb(ctx, WINDOW)
    ctx.paint()
    r = 5
    rounded_rect(ctx, w, h, r)
    path = ctx.copy_path()
    if pressed:
        body = ((0, (30, 32, 44)), (1, (48, 52, 68)))
        trim = ((0, (255, 226, 160)), (1, (196, 150, 84)))
    else:
        body = ((0, SLATE_TOP), (1, SLATE_BOTTOM))
        trim = ((0, (238, 208, 146)), (1, GOLD_DARK))
    ctx.set_source(gradient(0, 0, 0, h, body))
    ctx.fill()
    if not pressed:
        ctx.move_to(r, 1.5)
        ctx.line_to(w - r, 1.5)
        set_rgb(ctx, (110, 116, 140))
        ctx.set_line_width(1)
        ctx.stroke()
    ctx.append_path(path)
    ctx.set_source(gradient(0, 0, 0, h, trim))
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(11.5)
    ext = ctx.text_extents(caption)
    shift = 1 if pressed else 0
    x = round((w - ext.width) / 2 - ext.x_bearing) + shift
    y = round(h / 2 + 4) + shift
    ctx.move_to(x, y + 1)
    set_rgb(ctx, (16, 16, 24), 0.7)
    ctx.show_text(caption)
    ctx.move_to(x, y)
    set_rgb(ctx, (255, 236, 196) if pressed else CREAM)
    ctx.show_text(caption)
    return surface_rgb(surface)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "pictures")
    head = header()
    Image.fromarray(head).save(os.path.join(out, "DialogHeader.jpg"), format="JPEG",
                               quality=92, subsampling=0, progressive=False, optimize=False)
    indices, palette = decor(head)
    write_bmp8(os.path.join(out, "DialogDecor.bmp"), indices, palette, rle=False)
    write_bmp24(os.path.join(out, "SliderTrack.bmp"), slider_track())
    write_bmp24(os.path.join(out, "SliderKnob.bmp"), slider_knob())
    for caption, name in (("OK", "BtnOk"), ("Cancel", "BtnCancel")):
        write_bmp24(os.path.join(out, name + "Up.bmp"), button(caption, False))
        write_bmp24(os.path.join(out, name + "Down.bmp"), button(caption, True))


if __name__ == "__main__":
    main()
