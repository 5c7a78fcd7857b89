#!/usr/bin/python3
"""Generates the gliding seagulls: KMV3SG (68 x 44 frames) and KMV3SGsmall (38 x 24
frames), 121 frames each, as 8-bit run-length-encoded bitmaps.

Frame k shows the gull heading 3k degrees (0 = right, 90 = down the screen); frame 120
repeats frame 0. The gull is a small 3D model (a lofted body, two cranked wings, tail,
head and beak) seen from below, turned to its heading and tilted so a gull flying
sideways shows its wings in three-quarter view while one flying up or down the screen is
seen flat from beneath; birds heading left are mirrored, never upside down.

The gulls fly between the viewer and a low sun, so they are painted backlit at dusk: the
undersides we see are in shade, a warm dusky grey lit only by the sky, the thin flight
feathers along the trailing edges glow where the sun shines through them, and a bright
rim runs round the outline, widest on the side facing up toward the light. A dark body
with a bright edge reads against both the glowing sky near the sun and the darker sea.
Each frame is drawn at 8x with cairo, the rim found from the supersampled outline,
box-filtered, blended against a sky tone at its edge and cut hard to the key colour
(palette index 0, pure magenta) that the saver makes transparent.

Usage: /usr/bin/python3 assets/generators/gulls.py [--preview DIR]
"""
import argparse
import math
import os
import sys

import cairo
import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from bmp8 import write_bmp8  # noqa: E402
from scene_common import PICTURES  # noqa: E402

FRAMES = 121
KEY = (255, 0, 255)
SUPER = 8
APPROACH_DEG = 28.0                  # how much the gull flies toward the viewer
BELOW_DEG = 55.0                     # how far below a gull crossing the screen is seen from

# Linear-light material colours (albedo) and the dusk light on the side we see.
WHITE = np.array([0.92, 0.91, 0.90])
MANTLE = np.array([0.42, 0.45, 0.52])
TIP = np.array([0.025, 0.025, 0.03])
BEAK = np.array([0.95, 0.62, 0.10])
SKY_FILL = np.array([0.12, 0.062, 0.058])     # warm sky and sea light on the shaded side
SKY_TOP = np.array([0.10, 0.07, 0.09])        # a little more on faces turned up to the sky
GLOW = np.array([0.42, 0.16, 0.045])           # sunlight through the thin flight feathers
RIM = np.array([1.0, 0.78, 0.46])             # the sun catching the outline
RIM_TONE = np.array([0.85, 0.62, 0.52])       # sky-ish tone the edge pixels blend with


def _srgb(c):
    c = np.clip(c, 0, 1)
    return np.where(c <= 0.0031308, c * 12.92, 1.055 * np.power(c, 1 / 2.4) - 0.055)


# ---------------------------------------------------------------- model (bird space:
# x forward, y toward the right wing, z up; the wingspan is 2 units)

def _body():
    """Quads of a lofted spindle for the body and head, with their materials."""
    stations = [(-0.30, 0.02, 0.0), (-0.22, 0.065, 0.0), (-0.10, 0.10, 0.0),
                (0.02, 0.108, 0.0), (0.14, 0.092, 0.01), (0.22, 0.066, 0.02),
                (0.27, 0.072, 0.03), (0.34, 0.068, 0.035), (0.39, 0.034, 0.03)]
    seg = 14
    polys = []
    for i in range(len(stations) - 1):
        x0, r0, z0 = stations[i]
        x1, r1, z1 = stations[i + 1]
        for j in range(seg):
            a0 = 2 * math.pi * j / seg
            a1 = 2 * math.pi * (j + 1) / seg
            quad = [(x0, r0 * math.cos(a0), z0 + r0 * math.sin(a0)),
                    (x1, r1 * math.cos(a0), z1 + r1 * math.sin(a0)),
                    (x1, r1 * math.cos(a1), z1 + r1 * math.sin(a1)),
                    (x0, r0 * math.cos(a1), z0 + r0 * math.sin(a1))]
            top = math.sin((a0 + a1) / 2) > 0.35 and x0 < 0.2
            polys.append((quad, MANTLE * 1.25 if top else WHITE, WHITE, True, 0.0))
    beak = [(0.38, -0.016, 0.03), (0.38, 0.016, 0.03), (0.49, 0.0, 0.012)]
    polys.append((beak, BEAK, BEAK, False, 0.6))
    beak2 = [(0.38, 0.0, 0.05), (0.38, 0.0, 0.012), (0.49, 0.0, 0.012)]
    polys.append((beak2, BEAK, BEAK, False, 0.6))
    tail = [(-0.22, -0.06, 0.005), (-0.43, -0.10, 0.0), (-0.45, 0.0, 0.0),
            (-0.43, 0.10, 0.0), (-0.22, 0.06, 0.005)]
    polys.append((tail, WHITE, WHITE, False, 0.3))
    return polys


def _wing(side):
    """Quads of one wing: a raised inner wing, a wrist swept back and a drooping hand
    with black tips. `side` is +1 for the right wing, -1 for the left. The last figure of
    each quad is how much sunlight shines through it: most along the trailing edge, a
    little through the dark tips."""
    # (span y, leading-edge x, trailing-edge x, height z) from root to tip.
    ribs = [(0.05, 0.12, -0.17, 0.02), (0.30, 0.145, -0.18, 0.08), (0.50, 0.14, -0.15, 0.12),
            (0.62, 0.07, -0.15, 0.11), (0.78, -0.03, -0.18, 0.08), (0.92, -0.15, -0.23, 0.05),
            (1.00, -0.27, -0.28, 0.035)]
    polys = []
    for i in range(len(ribs) - 1):
        y0, l0, t0, z0 = ribs[i]
        y1, l1, t1, z1 = ribs[i + 1]
        m0 = l0 * 0.45 + t0 * 0.55
        m1 = l1 * 0.45 + t1 * 0.55
        front = [(l0, side * y0, z0), (l1, side * y1, z1), (m1, side * y1, z1), (m0, side * y0, z0)]
        rear = [(m0, side * y0, z0), (m1, side * y1, z1), (t1, side * y1, z1), (t0, side * y0, z0)]
        if y0 >= 0.78:
            polys.append((front, TIP, TIP, False, 0.08))
            polys.append((rear, TIP, TIP, False, 0.15))
        elif y0 >= 0.64:
            polys.append((front, TIP * 3.0, MANTLE * 0.35, False, 0.15))
            polys.append((rear, TIP * 3.0, MANTLE * 0.3, False, 0.35))
        else:
            # The flight feathers along the trailing edge show a little grey from below.
            polys.append((front, MANTLE, WHITE, False, 0.1))
            polys.append((rear, MANTLE * 0.92, WHITE * 0.78, False, 0.55))
    return polys


MODEL = _body() + _wing(1) + _wing(-1)


# ---------------------------------------------------------------- view

def view_basis(heading_deg):
    """Screen-space (x right, y down, z toward the viewer) vectors of the bird's
    forward, right and up axes for a heading in [-90, 90] degrees.

    The bird also flies a little toward the viewer, so a gull crossing the screen shows
    its spread wings; its up axis leans from "up the screen" (crossing) to "into the
    screen" (flying up or down the screen, seen from beneath), which makes the mirrored
    left-hand headings meet the right-hand ones without a jump."""
    th = math.radians(heading_deg)
    phi = math.radians(APPROACH_DEG)
    f = np.array([math.cos(th) * math.cos(phi), math.sin(th) * math.cos(phi), math.sin(phi)])
    p = np.array([math.sin(th), -math.cos(th), 0.0])
    tau = math.radians(BELOW_DEG) + math.radians(90 - BELOW_DEG) * abs(math.sin(th)) ** 1.5
    d = math.cos(tau) * p - math.sin(tau) * np.array([0.0, 0.0, 1.0])
    u = d - np.dot(d, f) * f
    u /= np.linalg.norm(u)
    r = np.cross(u, f)
    return f, r, u


def project(heading_deg):
    """The model's polygons in screen space (unit scale), sorted far to near, each with
    its shaded linear colour and whether a bold drawing may thicken it (all but the beak).

    The sun is behind the bird, so no face we see is in direct light: each takes the warm
    fill of the sky and sea (a little more when turned up the screen, toward the sky) and
    the light that shines through it."""
    f, r, u = view_basis(heading_deg)
    basis = np.stack([f, r, u])               # rows: bird axes in screen space
    out = []
    for pts, top, bottom, smooth, through in MODEL:
        p = np.array(pts) @ basis
        e1 = p[1] - p[0]
        e2 = p[2] - p[0]
        n = np.cross(e1, e2)
        ln = np.linalg.norm(n)
        if ln < 1e-9:
            continue
        n /= ln
        # The model's normals point outward for the body; for the thin wing and tail
        # surfaces the visible side decides which colour shows.
        bird_up_side = np.dot(n, u) > 0
        if n[2] < 0:
            n = -n
            bird_up_side = not bird_up_side
            if smooth:
                continue   # back-facing body quad
        albedo = top if bird_up_side else bottom
        up = max(0.0, -float(n[1]))
        col = albedo * (SKY_FILL + SKY_TOP * up) + GLOW * through
        wing = albedo is not BEAK
        out.append((float(p[:, 2].mean()), p[:, :2], col, wing))
    out.sort(key=lambda e: e[0])
    return out


def extent(heading_deg):
    pts = np.concatenate([p for _, p, _, _ in project(heading_deg)])
    return pts.min(axis=0), pts.max(axis=0)


def fit_scale(width, height, margin):
    """Largest scale at which the gull fits the frame at every heading, centred on its
    body."""
    worst = 0.0
    for h in range(-90, 91, 3):
        lo, hi = extent(h)
        worst = max(worst, 2 * max(-lo[0], hi[0]) / (width - 2 * margin),
                    2 * max(-lo[1], hi[1]) / (height - 2 * margin))
    return 1.0 / worst


# ---------------------------------------------------------------- rendering

def _outside_near(inside, dx, dy):
    """Where the point (dx, dy) supersampled pixels away lies outside the outline."""
    pad = max(abs(dx), abs(dy))
    padded = np.pad(inside, pad)
    h, w = inside.shape
    return ~padded[pad + dy:pad + dy + h, pad + dx:pad + dx + w]


def rim_light(inside, width_all, width_up):
    """Weight of the sunlit rim: a band `width_all` pixels wide inside the whole outline and
    `width_up` pixels wide along the edges that face up the screen, toward the light."""
    rim = np.zeros(inside.shape)
    for k in range(16):
        angle = 2 * np.pi * k / 16
        for frac in (0.5, 1.0):
            r = width_all * SUPER * frac
            near = _outside_near(inside, int(round(r * math.cos(angle))),
                                 int(round(r * math.sin(angle))))
            rim = np.maximum(rim, 0.6 * near)
    for frac in (0.35, 0.7, 1.0):
        rim = np.maximum(rim, _outside_near(inside, 0, -int(round(width_up * SUPER * frac))))
    return rim * inside


def render_frame(heading_deg, width, height, scale, bold, rim):
    """Premultiplied linear RGB and coverage of one frame; `bold` (pixels) thickens every
    outline so thin wings survive being shrunk to a few pixels, `rim` (pixels all round,
    pixels on the upper edges) sets the width of the sunlit rim."""
    h = ((heading_deg + 180) % 360) - 180
    mirrored = abs(h) > 90
    if mirrored:
        h = 180 - h if h > 0 else -180 - h
    W, H = width * SUPER, height * SUPER
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, W, H)
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_NONE)
    s = scale * SUPER
    for _, pts, col, wing in project(h):
        c = _srgb(col)
        ctx.set_source_rgb(float(c[0]), float(c[1]), float(c[2]))
        xs = pts[:, 0] * s + W / 2
        ys = pts[:, 1] * s + H / 2
        if mirrored:
            xs = W - xs
        ctx.move_to(xs[0], ys[0])
        for x, y in zip(xs[1:], ys[1:]):
            ctx.line_to(x, y)
        ctx.close_path()
        ctx.fill_preserve()
        ctx.set_line_width(0.6 + (bold * SUPER if wing else 0.0))
        ctx.stroke()
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(H, surf.get_stride() // 4, 4)
    buf = buf[:, :W].astype(np.float64) / 255.0
    rgb = buf[..., [2, 1, 0]]
    alpha = buf[..., 3]
    lin = np.where(rgb <= 0.04045, rgb / 12.92, ((rgb + 0.055) / 1.055) ** 2.4) * alpha[..., None]
    glint = rim_light(alpha > 0.5, *rim)
    lin = lin * (1 - glint[..., None]) + RIM * glint[..., None]
    lin = lin.reshape(height, SUPER, width, SUPER, 3).mean(axis=(1, 3))
    cov = alpha.reshape(height, SUPER, width, SUPER).mean(axis=(1, 3))
    return lin, cov


def build_strip(width, height, threshold, bold, rim):
    margin = 1.5 + bold * 0.5
    scale = fit_scale(width, height, margin)
    rows_rgb = []
    rows_mask = []
    for k in range(FRAMES):
        lin, cov = render_frame(3 * (k % 120), width, height, scale, bold, rim)
        keep = cov >= threshold
        # Rim pixels are blended against a sky tone, then cut hard.
        col = lin + (1.0 - cov)[..., None] * RIM_TONE * 0.9
        col = np.where(keep[..., None], col, 0.0)
        keep[0, 0] = False
        rows_rgb.append(col)
        rows_mask.append(keep)
    return np.concatenate(rows_rgb), np.concatenate(rows_mask)


def quantise(rgb_lin, mask):
    """Palette of the opaque pixels (at most 255 colours) after the key colour."""
    srgb = np.clip(np.floor(_srgb(rgb_lin) * 255 + 0.5), 0, 255).astype(np.uint8)
    opaque = srgb[mask]
    img = Image.fromarray(opaque.reshape(1, -1, 3), "RGB")
    q = img.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = q.getpalette()[:3 * 255]
    ncol = len(pal) // 3
    palette = [KEY] + [tuple(pal[3 * i:3 * i + 3]) for i in range(ncol)]
    assert KEY not in palette[1:]
    idx = np.zeros(mask.shape, dtype=np.uint8)
    idx[mask] = np.asarray(q, dtype=np.uint8).reshape(-1) + 1
    return idx, palette


def write(name, width, height, threshold, bold, rim, preview):
    rgb, mask = build_strip(width, height, threshold, bold, rim)
    idx, palette = quantise(rgb, mask)
    write_bmp8(os.path.join(PICTURES, name + ".bmp"), idx, palette, rle=True)
    if preview:
        pal = np.array(palette, dtype=np.uint8)
        img = pal[idx]
        img[~mask] = (236, 178, 140)          # the sky a little way from the sun
        frames = [img[k * height:(k + 1) * height] for k in range(0, 120, 4)]
        sheet = np.concatenate([np.concatenate(frames[i:i + 10], axis=1) for i in range(0, 30, 10)])
        Image.fromarray(sheet).resize((sheet.shape[1] * 4, sheet.shape[0] * 4), Image.NEAREST) \
            .save(os.path.join(preview, name + "_sheet.png"))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--preview", help="also write PNG contact sheets into this directory")
    args = ap.parse_args()
    write("KMV3SG", 68, 44, 0.45, 0.0, (0.5, 1.0), args.preview)
    # The small strip is also shown at 28 x 18 and 14 x 9: a bolder drawing keeps the
    # wings from vanishing between the sampled pixels, and a thinner rim keeps the dark
    # body that makes the shape.
    write("KMV3SGsmall", 38, 24, 0.35, 1.2, (0.3, 0.6), args.preview)


if __name__ == "__main__":
    main()
