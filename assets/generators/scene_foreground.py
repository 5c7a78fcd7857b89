"""Foreground pieces that frame the beach: a group of wet rocks at the water's edge on
the right and tufts of dune grass in the lower left corner, both backlit by the low sun.

Rocks are domes with noisy outlines, shaded from their surface normals, with the wash
lapping at their feet in step with the loop. The grass is drawn once with cairo at
twice the screen size and laid over every frame unchanged.
"""
import cairo
import numpy as np

from scene_common import downsample, hexcol, mix, smoothstep, spectral_noise, srgb_to_linear
from scene_shore import shore_distance
from scene_world import H, W

# (centre x, foot row, half width, height, outline seed)
ROCKS = [(918.0, 676.0, 46.0, 30.0, 1), (968.0, 684.0, 30.0, 20.0, 2), (870.0, 672.0, 20.0, 12.0, 3),
         (1010.0, 690.0, 26.0, 26.0, 4), (842.0, 670.0, 9.0, 5.0, 5)]

ROCK_DARK = hexcol("#1e151c")
ROCK_MID = hexcol("#4a3138")
ROCK_RIM = hexcol("#ffb070")
LIGHT = np.array([0.45, -0.55, -0.70])      # toward the sun: right, up, into the screen
LIGHT = LIGHT / np.linalg.norm(LIGHT)


_bump = spectral_noise(256, 512, 131, beta=2.6, stretch=(1.0, 1.3), largest=30, smallest=1.2)


def _rock(x, y, cx, fy, hw, ht, seed):
    """Coverage, normal and normalised radius of one rock at screen points."""
    rng = np.random.default_rng(100 + seed)
    harm = rng.normal(0, 1, (9, 2)) / np.arange(2, 11)[:, None] * 0.25
    u = (x - cx) / hw
    v = (fy - y) / ht                       # 0 at the foot, 1 at the top
    ang = np.arctan2(v - 0.3, u)
    wob = np.zeros_like(u)
    for i, (a, b) in enumerate(harm):
        wob += a * np.cos((i + 2) * ang) + b * np.sin((i + 2) * ang)
    r = np.hypot(u, (v - 0.3) / 0.75) / (1.0 + wob)
    cov = np.clip((1.0 - r) * hw * 0.9, 0, 1) * np.clip((v + 0.05) * ht * 2.0, 0, 1)
    dome = np.sqrt(np.clip(1.0 - r * r, 0, 1))
    # Normal of the dome, roughened by the rock's bumps and ledges.
    bi = (np.floor(y * 0.8).astype(np.int64) + seed * 37) % _bump.shape[0]
    bj = (np.floor(x * 0.8).astype(np.int64) + seed * 91) % _bump.shape[1]
    gx = _bump[bi, (bj + 1) % _bump.shape[1]] - _bump[bi, bj]
    gy = _bump[(bi + 1) % _bump.shape[0], bj] - _bump[bi, bj]
    nx = u * 0.9 + 0.9 * gx
    ny = -(v - 0.3) * 0.9 + 0.9 * gy
    nz = dome + 0.2
    n = np.stack([nx, ny, nz], axis=-1)
    n /= np.linalg.norm(n, axis=-1, keepdims=True)
    return cov, n, r


def draw_rocks(col, xs, ys, t, foam_col):
    """Lays the rocks and the foam lapping at them over the rendered beach."""
    box = (xs > 820) & (ys > 630) & (ys < 700)
    if not box.any():
        return col
    x = xs[box]
    y = ys[box]
    out = col[box]
    wet = smoothstep(-1.2, 0.2, shore_distance(x, y)[0])
    for cx, fy, hw, ht, seed in ROCKS:
        cov, n, r = _rock(x, y, cx, fy, hw, ht, seed)
        lam = np.clip(n @ LIGHT, 0, 1)
        # Backlit: the faces we see are in shade; edges turned to the sun glow.
        rim = np.clip(1.0 - n[..., 2], 0, 1) ** 1.5 * np.clip(-n[..., 1] + 0.4 * n[..., 0], 0, 1)
        sky = np.clip(-n[..., 1] * 0.5 + 0.5, 0, 1)
        base = mix(ROCK_DARK, ROCK_MID, np.clip(0.2 + 0.5 * (fy - y) / ht, 0, 1))
        rc = base * (0.25 + 0.3 * sky + 0.45 * lam)[..., None] + ROCK_RIM * (1.3 * rim)[..., None]
        # Contact shadow and a lapping ring of foam at the foot.
        foot = np.exp(-np.clip(y - fy, 0, None) / 2.0) * np.clip(1.4 - r, 0, 1) * (y > fy - 2)
        lap = 0.5 + 0.5 * np.sin(2 * np.pi * t + cx * 0.05 + x * 0.15)
        ring = np.exp(-np.abs(r - 1.0) * hw / 2.5) * smoothstep(fy - ht * 0.35, fy, y) * lap * wet
        out = out * (1.0 - 0.5 * foot * (1 - cov))[..., None]
        out = mix(out, foam_col, np.clip(ring * 0.8, 0, 0.8) * (1 - cov))
        out = mix(out, rc, cov)
    col = col.copy()
    col[box] = out
    return col


def grass_layer(width=W, left=0, extra=()):
    """Premultiplied linear colour and coverage of the dune grass over the screen, or over a
    picture `width` wide whose column `left` is the screen's first; `extra` tufts follow the
    screen's own with blades of their own."""
    s = 2
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, width * s, H * s)
    ctx = cairo.Context(surf)
    ctx.scale(s, s)
    if left:
        ctx.translate(left, 0)
    tufts = [(30, 790, 70, 150), (120, 800, 55, 125), (-10, 780, 60, 130), (200, 800, 40, 85),
             (985, 800, 45, 105), (1040, 790, 60, 130)]
    _tufts(ctx, tufts, np.random.default_rng(404))
    _tufts(ctx, extra, np.random.default_rng(405))
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(H * s, surf.get_stride() // 4, 4)
    buf = buf[:, :width * s].astype(np.float64) / 255.0
    alpha = buf[..., 3]
    rgb = buf[..., [2, 1, 0]]
    safe = np.where(alpha[..., None] > 0, rgb / np.maximum(alpha[..., None], 1e-6), 0)
    lin = srgb_to_linear(np.clip(safe, 0, 1)) * alpha[..., None]
    return downsample(lin, s), downsample(alpha, s)


def _tufts(ctx, tufts, rng):
    """Tufts (base x, base row, spread, height) of backlit blades."""
    for bx, by, spread, height in tufts:
        for _ in range(int(spread * 0.9)):
            x0 = bx + rng.normal(0, spread * 0.35)
            hgt = height * rng.uniform(0.55, 1.1)
            lean = rng.normal(0.15, 0.35) * hgt
            x1 = x0 + lean
            y1 = by - hgt
            cxp = x0 + lean * 0.2
            cyp = by - hgt * 0.65
            w = rng.uniform(1.1, 2.4)
            # Blade body: dark, a touch warmer toward the tip.
            grad = cairo.LinearGradient(x0, by, x1, y1)
            grad.add_color_stop_rgba(0.0, 0.07, 0.05, 0.07, 1)
            grad.add_color_stop_rgba(1.0, 0.30, 0.20, 0.17, 1)
            ctx.set_source(grad)
            ctx.move_to(x0 - w, by)
            ctx.curve_to(cxp - w * 0.6, cyp, x1, y1 + 6, x1, y1)
            ctx.curve_to(x1, y1 + 6, cxp + w * 0.6, cyp, x0 + w, by)
            ctx.close_path()
            ctx.fill()
            # Sunlit edge on the side facing the sun.
            ctx.set_source_rgba(1.0, 0.72, 0.42, rng.uniform(0.35, 0.8))
            ctx.set_line_width(0.55)
            ctx.move_to(x0 + w * 0.8, by - hgt * 0.25)
            ctx.curve_to(cxp + w * 0.5, cyp, x1 + 0.3, y1 + 6, x1, y1)
            ctx.stroke()


def apply_grass(col, x0, y0, grass):
    """Composites the grass layer over a rendered block at (x0, y0)."""
    lin, alpha = grass
    h, w = col.shape[:2]
    a = alpha[y0:y0 + h, x0:x0 + w][..., None]
    return col * (1 - a) + lin[y0:y0 + h, x0:x0 + w]

