#!/usr/bin/python3
"""Generates the coast scene: the background KIM1 and the three looping scenery strips
KMV1 (near sea and beach), KMV2 (middle water) and KMV3 (horizon on the left).

The strips are cut from renderings of the whole scene at each animation phase, so their
edges meet the background without a seam. Water moves only where the strips are: a
per-pixel weight blends the waves toward their phase-0 state outside them. Frame k of a
strip with N frames shows phase k / N, so the last frame flows into the first.

Usage: /usr/bin/python3 assets/generators/scene.py [--preview DIR] [--quick]
"""
import argparse
import os
import sys
import time

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import scene_boat  # noqa: E402
import scene_foreground  # noqa: E402
import scene_motion  # noqa: E402
from scene_common import (PICTURES, blur, downsample, mix, save_jpeg,  # noqa: E402
                          smoothstep, to_bytes, triangular_dither)
from scene_sea import reflection_pyramid  # noqa: E402
from scene_shore import FOAM, lower_colour  # noqa: E402
from scene_world import H, HOR, W, canvas_to_screen, upper_world  # noqa: E402

SS = 2                      # supersampling of the water, per axis
STRIP_QUALITY = 93          # JPEG quality of the strips (the background keeps the default)
STEADY_SIGMA = 0.7          # softening of the strips' still pixels, in pixels
NEAR = ("KMV1", 0, 551, 1024, 217, 31)
MIDDLE = ("KMV2", 299, 478, 725, 73, 31)
HORIZON = ("KMV3", 0, 319, 573, 65, 150)


RISE_ROWS = 64.0            # rows below the still water over which the motion grows in full
RISE_COLUMNS = 120.0        # columns right of the still water the same


def animation_weight(x, y):
    """How far the water may move: 0 where the picture around the strips cannot change,
    growing with nearness below the still water as waves seem to grow and quicken toward the
    viewer, so no line parts still water from moving. The strips' shared edge lies inside
    the moving water (both show the same phase)."""
    _, mx, my, _, _, _ = MIDDLE
    middle = smoothstep(my, my + RISE_ROWS, y) * smoothstep(mx, mx + RISE_COLUMNS, x)
    near = smoothstep(NEAR[2], NEAR[2] + RISE_ROWS, y)
    return np.maximum(middle, near)


class Scene:
    def __init__(self):
        upper, solid = upper_world(False)
        mirrored, _ = upper_world(True)
        self.levels = reflection_pyramid(mirrored)
        self.upper = canvas_to_screen(upper)
        self.solid = canvas_to_screen(solid)
        self.dither = triangular_dither(H, W, 5)
        self.grass = scene_foreground.grass_layer()

    # Where the screen's pixel (0, 0) lies in the arrays (a wider world's reach beyond it).
    ORIGIN_ROW = 0
    ORIGIN_COLUMN = 0

    def window(self, x0, y0, w, h):
        """The arrays' rows and columns of the screen's rows y0.. and columns x0.."""
        top, left = y0 + self.ORIGIN_ROW, x0 + self.ORIGIN_COLUMN
        return slice(top, top + h), slice(left, left + w)

    def lower(self, x0, y0, w, h, t):
        """Linear radiance of the rows y0..y0+h-1, columns x0..x0+w-1 (screen coordinates)
        below the horizon at phase t, with land and the boat in place."""
        ys, xs = np.mgrid[0:h * SS, 0:w * SS].astype(np.float64)
        xs = x0 + (xs + 0.5) / SS
        ys = y0 + (ys + 0.5) / SS
        hold = 1.0 - animation_weight(xs, ys)
        col = lower_colour(xs, ys, t, hold, self.levels, 1.0 / SS)
        col = scene_boat.draw(col, xs, ys, t, self.levels)
        col = scene_foreground.draw_rocks(col, xs, ys, t, FOAM)
        col = scene_foreground.apply_grass(downsample(col, SS), x0 + self.ORIGIN_COLUMN, y0, self.grass)
        rows, cols = self.window(x0, y0, w, h)
        return mix(col, self.upper[rows, cols], self.solid[rows, cols])

    def water(self, x0, y0, w, h):
        """How much of each pixel of the rectangle is sea rather than land (or sky)."""
        return 1.0 - self.solid[self.window(x0, y0, w, h)]

    def still(self):
        """The whole screen at phase 0, without the horizon strip's motion."""
        img = self.upper.copy()
        top = int(HOR)
        img[top:] = self.lower(0, top, W, H - top, 0.0)
        return img

    def background(self, still):
        """The background picture: the still scene with the horizon motion at phase 0."""
        img = still.copy()
        _, x0, y0, w, h, _ = HORIZON
        img[y0:y0 + h, x0:x0 + w] = scene_motion.apply(img[y0:y0 + h, x0:x0 + w],
                                                      self.water(x0, y0, w, h), 0.0)
        return img

    def to_bytes(self, img, x0, y0):
        h, w = img.shape[:2]
        return to_bytes(img, self.dither[self.window(x0, y0, w, h)])


def render_strip(scene, still, layout, frames_limit=None):
    name, x0, y0, w, h, n = layout
    frames = []
    for k in range(n if frames_limit is None else min(n, frames_limit)):
        t = k / n
        if layout is HORIZON:
            lin = scene_motion.apply(still[y0:y0 + h, x0:x0 + w], scene.water(x0, y0, w, h), t)
        else:
            lin = scene.lower(x0, y0, w, h, t)
        frames.append(scene.to_bytes(lin, x0, y0))
    return np.concatenate(frames, axis=0)


def steady(strip, h):
    """Softens the pixels that are the same in every frame (sand, grass, rocks, cliffs).

    A strip's frame height is one more than a multiple of 8, so each frame sits one row
    further down the JPEG's 8 x 8 block grid than the one before and a still pixel is coded
    differently in every frame: fine texture would shimmer as the frames turn. Softening
    it a little halves that, at no cost to the water that moves."""
    frames = strip.reshape(-1, h, strip.shape[1], 3)
    still = np.all(frames == frames[:1], axis=(0, 3))
    soft = blur(frames[0].astype(np.float64), STEADY_SIGMA)
    frames = frames.copy()
    frames[:, still] = np.clip(np.floor(soft + 0.5), 0, 255).astype(np.uint8)[still]
    return frames.reshape(strip.shape)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--preview", help="also write PNG previews into this directory")
    ap.add_argument("--quick", action="store_true", help="preview only: few frames, no JPEGs")
    args = ap.parse_args()
    t0 = time.time()
    scene = Scene()
    still = scene.still()
    kim1 = scene.to_bytes(scene.background(still), 0, 0)
    print(f"still picture: {time.time() - t0:.1f} s")
    if not args.quick:
        save_jpeg(os.path.join(PICTURES, "KIM1.jpg"), kim1)
    if args.preview:
        Image.fromarray(kim1).save(os.path.join(args.preview, "KIM1.png"))
    for layout in (HORIZON, MIDDLE, NEAR):
        t1 = time.time()
        strip = render_strip(scene, still, layout, 3 if args.quick else None)
        name, x0, y0, w, h, n = layout
        if not args.quick:
            strip = steady(strip, h)
            save_jpeg(os.path.join(PICTURES, name + ".jpg"), strip, STRIP_QUALITY)
        if args.preview:
            comp = kim1.copy()
            comp[y0:y0 + h, x0:x0 + w] = strip[:h]
            Image.fromarray(comp).save(os.path.join(args.preview, name + "_on_KIM1.png"))
            Image.fromarray(strip[:h * min(n, 3)]).save(os.path.join(args.preview, name + "_frames.png"))
        print(f"{name}: {time.time() - t1:.1f} s")
    print(f"total {time.time() - t0:.1f} s")


if __name__ == "__main__":
    main()
