#!/usr/bin/python3
"""Generates the surround: the coast of scene.py rendered wider and taller than the screen and
cut into the pictures the saver shows around its 4:3 frame on monitors of other shapes, and the
glass of the gadget band.

It is the same world drawn by the same functions, with the same noise wherever the wider canvas
overlaps the screen's (scene_world.Canvas), so the art beside the frame continues the frame's own
picture: sky, headlands, sea, surf, beach and grass run on across the frame's edges. Beyond the
screen's canvas the world goes on: the ridges and the beach curve on, the noise turns into a field
of its own, a few more tufts of grass stand on the left.

Where the frame's water moves, the surround's moves too, in strips with the frame's own frame
counts and phases (the saver drives them with the same counters): the near sea and the beach on
both sides (31 frames), the middle water on the right (31; on the left of the frame that water is
still, as it is in the frame's left part), and on the left the mist along the headlands and the
far water's glints (150), whose motion fades out over its first 128 columns into the still
picture beyond. Everything else is still, as in the frame.

Pieces: every side picture is cut by distance from the frame, so that a monitor decodes only what
its aspect needs: 176 columns (16:10 and 16:9), 240 more (21:9), 448 more (32:9); above the frame
(monitors narrower than 4:3, which show the frame at the bottom) 64 rows (5:4) and 992 more
(9:16). Piece 0 is the nearest.

Outputs (assets/pictures):
  SurroundL0-2, SurroundR0-2      the still sides, all 768 rows
  SurroundT0-1                    the sky above the frame, 1024 columns
  SurroundNearL0-2, NearR0-2      rows 551-767, 31 frames of 217 rows
  SurroundMiddleR0-2              rows 478-550, 31 frames of 73 rows
  SurroundHorizonL0               rows 319-383 of the 128 columns left of the frame, 150 frames
  BandGlass                       rows 698-767 across the whole width, softened and darkened: the
                                  glass of the gadget band (from 864 columns left of the frame
                                  to 864 right of it)

Usage: /usr/bin/python3 assets/generators/scene_surround.py [--preview DIR]
"""
import argparse
import os
import sys
import time

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import scene_foreground  # noqa: E402
import scene_motion  # noqa: E402
from scene import HORIZON, MIDDLE, NEAR, STRIP_QUALITY, Scene, steady  # noqa: E402
from scene_common import (PICTURES, blur, hexcol, mix, save_jpeg,  # noqa: E402
                          smoothstep, to_bytes, triangular_dither)
from scene_sea import reflection_pyramid  # noqa: E402
from scene_world import H, HOR, W, Canvas, upper_world  # noqa: E402

REACH = (176, 240, 448)          # side pieces, nearest the frame first
SIDE = sum(REACH)
TOP_REACH = (64, 992)            # rows above the frame, nearest first
TOP = sum(TOP_REACH)
HORIZON_FADE = 128               # columns over which the mist's drift fades out, left of the frame
GLASS_ROWS = (698, 768)
GLASS_SOFTEN = 7.0               # blur of the glass, in pixels
GLASS_TINT = hexcol("#1c1830")   # the deep violet the glass darkens toward
GLASS_KEEP = 0.16                # how much of the scene's light the glass lets through

# The wider canvas of the upper world: the sides and their reflections, and the sky up to the top
# of a portrait monitor.
WIDE = Canvas(-SIDE - 136, -TOP - 44, W + 2 * SIDE + 278, TOP + 44 + 404)

# More dune grass left of the screen, and a little on the right where the beach narrows.
EXTRA_TUFTS = [(-120, 800, 55, 120), (-265, 790, 65, 140), (-430, 800, 50, 105),
               (-600, 796, 60, 130), (-790, 800, 55, 115), (1150, 806, 40, 78)]


class WideScene(Scene):
    """The world from SIDE columns left of the screen to SIDE right of it, TOP rows above it
    to its bottom; arrays are indexed [row + TOP, column + SIDE]."""

    ORIGIN_ROW = TOP
    ORIGIN_COLUMN = SIDE

    def __init__(self):
        upper, solid = upper_world(False, WIDE)
        mirrored, _ = upper_world(True, WIDE)
        self.levels = reflection_pyramid(mirrored, (WIDE.x0, WIDE.y0))
        self.upper = self.from_canvas(upper)
        self.solid = self.from_canvas(solid)
        self.dither = triangular_dither(TOP + H, W + 2 * SIDE, 6)
        self.grass = scene_foreground.grass_layer(W + 2 * SIDE, SIDE, EXTRA_TUFTS)

    @staticmethod
    def from_canvas(img):
        """Rows -TOP..767 and columns -SIDE..W+SIDE-1 of a canvas image; rows past the canvas
        repeat its last one, as on the screen."""
        part = img[-TOP - WIDE.y0:, -SIDE - WIDE.x0:-SIDE - WIDE.x0 + W + 2 * SIDE]
        extra = np.repeat(part[-1:], TOP + H - part.shape[0], axis=0)
        return np.concatenate([part, extra], axis=0)

    def still(self, x0, w):
        """Columns x0.. of the world at phase 0, rows -TOP..767, without the mist's motion."""
        img = self.upper[:, x0 + SIDE:x0 + SIDE + w].copy()
        top = int(HOR)
        img[top + TOP:] = self.lower(x0, top, w, H - top, 0.0)
        return img



def horizon_window(x, y):
    """The mist's window left of the frame: the strip's own fade at its top and bottom."""
    _, y0, _, h = scene_motion.RECT
    return smoothstep(y0, y0 + 14, y) * smoothstep(y0 + h - 1, y0 + h - 12, y) * np.ones_like(x)


def with_mist(scene, still, x0):
    """The still picture of columns x0.. with the mist at its phase 0, as the background shows."""
    _, _, y0, _, h, _ = HORIZON
    rows = slice(y0 + TOP, y0 + TOP + h)
    img = still.copy()
    water = scene.water(x0, y0, still.shape[1], h)
    img[rows] = scene_motion.apply_at(still[rows], water, 0.0, x0, horizon_window)
    return img


def side_pieces(right_side):
    """(name suffix, first column within the side, width) of a side's pieces; piece 0 touches
    the frame."""
    pieces, at = [], 0
    for i, width in enumerate(REACH):
        start = at if right_side else SIDE - at - width
        pieces.append((str(i), start, width))
        at += width
    return pieces


def save_side(name, img, right_side, quality=91):
    for suffix, start, width in side_pieces(right_side):
        save_jpeg(os.path.join(PICTURES, name + suffix + ".jpg"),
                  np.ascontiguousarray(img[:, start:start + width]), quality)


def strip_frames(scene, x0, layout):
    """A strip of the side whose first column is x0, with the frame's strip `layout`'s rows,
    frame count and phases."""
    _, _, y0, _, h, n = layout
    frames = [scene.to_bytes(scene.lower(x0, y0, SIDE, h, k / n), x0, y0) for k in range(n)]
    return steady(np.concatenate(frames, axis=0), h)


def horizon_strip(scene, still_left):
    """The mist and glints left of the frame: in the column next to the frame they move as in
    the frame, and the motion fades out over HORIZON_FADE columns into the still picture (its
    phase 0)."""
    _, _, y0, _, h, n = HORIZON
    x0 = -HORIZON_FADE
    region = still_left[y0 + TOP:y0 + TOP + h, SIDE + x0:]
    water = scene.water(x0, y0, -x0, h)
    base = scene_motion.apply_at(region, water, 0.0, x0, horizon_window)
    # The still picture holds phase 0; the strip fades from it to the moving mist.
    xs = np.arange(x0, 0) + 0.5
    drift = smoothstep(float(x0), 0.0, xs)[None, :, None]
    frames = []
    for k in range(n):
        moving = scene_motion.apply_at(region, water, k / n, x0, horizon_window)
        frames.append(scene.to_bytes(base + (moving - base) * drift, x0, y0))
    return np.concatenate(frames, axis=0)


def glass(scene, still_left, still_right):
    """The band's glass: the bottom rows across the whole width, softened and darkened."""
    y0, y1 = GLASS_ROWS
    middle = scene.lower(0, y0, W, y1 - y0, 0.0)
    rows = np.concatenate([still_left[y0 + TOP:y1 + TOP], middle, still_right[y0 + TOP:y1 + TOP]], axis=1)
    soft = blur(rows, GLASS_SOFTEN)
    dark = mix(GLASS_TINT, soft, GLASS_KEEP)
    return to_bytes(dark, np.zeros(dark.shape[:2] + (1,)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--preview", help="also write a PNG of the whole wide picture into this directory")
    args = ap.parse_args()
    t0 = time.time()
    scene = WideScene()
    print(f"wide world: {time.time() - t0:.1f} s")
    still_left = scene.still(-SIDE, SIDE)
    left = with_mist(scene, still_left, -SIDE)
    right = scene.still(W, SIDE)
    save_side("SurroundL", scene.to_bytes(left[TOP:], -SIDE, 0), False)
    save_side("SurroundR", scene.to_bytes(right[TOP:], W, 0), True)
    sky = scene.to_bytes(scene.upper[:TOP, SIDE:SIDE + W], 0, -TOP)
    save_jpeg(os.path.join(PICTURES, "SurroundT0.jpg"), np.ascontiguousarray(sky[TOP - TOP_REACH[0]:]))
    save_jpeg(os.path.join(PICTURES, "SurroundT1.jpg"), np.ascontiguousarray(sky[:TOP - TOP_REACH[0]]))
    save_jpeg(os.path.join(PICTURES, "BandGlass.jpg"), glass(scene, left, right), 92)
    print(f"still pictures: {time.time() - t0:.1f} s")
    save_jpeg(os.path.join(PICTURES, "SurroundHorizonL0.jpg"), horizon_strip(scene, still_left), STRIP_QUALITY)
    for name, x0, layout, right_side in (("SurroundMiddleR", W, MIDDLE, True),
                                         ("SurroundNearL", -SIDE, NEAR, False),
                                         ("SurroundNearR", W, NEAR, True)):
        t1 = time.time()
        save_side(name, strip_frames(scene, x0, layout), right_side, STRIP_QUALITY)
        print(f"{name}: {time.time() - t1:.1f} s")
    if args.preview:
        kim1 = np.asarray(Image.open(os.path.join(PICTURES, "KIM1.jpg")).convert("RGB"))
        wide = np.concatenate([scene.to_bytes(left[TOP:], -SIDE, 0), kim1,
                               scene.to_bytes(right[TOP:], W, 0)], axis=1)
        Image.fromarray(wide).save(os.path.join(args.preview, "surround.png"))
    print(f"total {time.time() - t0:.1f} s")


if __name__ == "__main__":
    main()
