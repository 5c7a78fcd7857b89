#!/usr/bin/python3
"""Generates PREVIEWBMP: the 154 x 116 miniature of the scene shown in the display
settings, 8 bits per pixel with a 255-colour palette, uncompressed.

It is made from the committed pictures (run scene.py and gulls.py first): the background
with a few gulls on it, reduced in linear light and quantised to 255 colours.

Usage: /usr/bin/python3 assets/generators/preview.py [--preview DIR]
"""
import argparse
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from bmp8 import write_bmp8  # noqa: E402
from scene_common import PICTURES, linear_to_srgb, srgb_to_linear  # noqa: E402

SIZE = (154, 116)
# (strip, frame height, frame, x, y, drawn width, drawn height)
# The gulls are drawn larger than on screen so they still read in the miniature.
GULLS = [("KMV3SG", 44, 5, 520, 150, 136, 88),
         ("KMV3SGsmall", 24, 112, 800, 235, 76, 48),
         ("KMV3SGsmall", 24, 8, 430, 240, 48, 30)]


def paste_gull(img, name, fh, frame, x, y, w, h):
    strip = Image.open(os.path.join(PICTURES, name + ".bmp"))
    idx = np.asarray(strip)
    pal = np.array(strip.getpalette()[:768], dtype=np.uint8).reshape(-1, 3)
    cell = idx[frame * fh:(frame + 1) * fh]
    key = cell[0, 0]
    rgb = Image.fromarray(pal[cell]).resize((w, h), Image.NEAREST)
    mask = Image.fromarray((cell != key).astype(np.uint8) * 255).resize((w, h), Image.NEAREST)
    img.paste(rgb, (x, y), mask)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--preview", help="also write an enlarged PNG into this directory")
    args = ap.parse_args()
    img = Image.open(os.path.join(PICTURES, "KIM1.jpg")).convert("RGB")
    for g in GULLS:
        paste_gull(img, *g)
    lin = srgb_to_linear(np.asarray(img, dtype=np.float64) / 255.0)
    # Reduce in linear light so the sun's glitter keeps its brightness.
    chans = [Image.fromarray(lin[..., c].astype(np.float32), "F").resize(SIZE, Image.LANCZOS)
             for c in range(3)]
    small = np.stack([np.asarray(c, dtype=np.float64) for c in chans], axis=-1)
    srgb = np.clip(np.floor(linear_to_srgb(small) * 255 + 0.5), 0, 255).astype(np.uint8)
    q = Image.fromarray(srgb, "RGB").quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                                              dither=Image.Dither.FLOYDSTEINBERG)
    pal = q.getpalette()[:3 * 255]
    pal += [0] * (3 * 255 - len(pal))
    palette = [tuple(pal[3 * i:3 * i + 3]) for i in range(255)]
    write_bmp8(os.path.join(PICTURES, "PREVIEWBMP.bmp"), np.asarray(q, dtype=np.uint8), palette,
               rle=False)
    if args.preview:
        Image.open(os.path.join(PICTURES, "PREVIEWBMP.bmp")).convert("RGB").resize(
            (SIZE[0] * 4, SIZE[1] * 4), Image.NEAREST).save(os.path.join(args.preview, "PREVIEWBMP.png"))


if __name__ == "__main__":
    main()
