"""A small sailing boat on the middle water, rocking gently on the swell, with its
broken reflection below it. Shapes are convex polygons given in boat-local pixels
(u to the right, v up from the waterline) and drawn with signed-distance coverage, so
they are anti-aliased at any supersampling. One rock and one bob per loop.
"""
import numpy as np

from scene_common import hexcol, mix

BOAT_X, BOAT_Y = 746.0, 528.0
ROCK_DEG = 2.2

HULL = [(-12.0, 3.4), (-11.0, -0.6), (10.0, -0.6), (14.5, 4.4)]
MAST = [(-0.45, 3.5), (0.45, 3.5), (0.45, 34.0), (-0.45, 34.0)]
MAIN = [(-0.4, 33.0), (-0.4, 6.0), (-12.0, 6.3)]
JIB = [(1.0, 30.5), (13.2, 5.0), (1.0, 5.4)]
BOOM = [(-12.2, 5.6), (-0.2, 5.6), (-0.2, 6.4), (-12.2, 6.4)]

HULL_COL = hexcol("#2b1f2a")
RIM_COL = hexcol("#ffcf96")
SAIL_COL = hexcol("#f6c9a0")
SAIL_SHADE = hexcol("#b58a88")


def _coverage(u, v, poly, px):
    """Anti-aliased coverage of a convex counter-clockwise or clockwise polygon; px is
    the size of one sample in local units."""
    pts = np.array(poly)
    area = 0.5 * np.sum(pts[:, 0] * np.roll(pts[:, 1], -1) - np.roll(pts[:, 0], -1) * pts[:, 1])
    sign = 1.0 if area > 0 else -1.0
    dist = np.full(u.shape, -1e9)
    for i in range(len(pts)):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % len(pts)]
        ex, ey = bx - ax, by - ay
        ln = np.hypot(ex, ey)
        # Outward distance from this edge.
        d = sign * ((u - ax) * ey - (v - ay) * ex) / ln
        dist = np.maximum(dist, d)
    return np.clip(0.5 - dist / px, 0.0, 1.0)


def _shapes(u, v, px):
    """Colour and coverage of the boat at local points."""
    col = np.zeros(u.shape + (3,))
    cov = np.zeros(u.shape)
    for poly, base in ((MAIN, SAIL_COL), (JIB, SAIL_COL * 1.08), (BOOM, HULL_COL),
                       (MAST, HULL_COL), (HULL, HULL_COL)):
        c = _coverage(u, v, poly, px)
        shade = base
        if poly is MAIN or poly is JIB:
            # Backlit cloth glows brighter toward the luff and the sun-side leech.
            glow = np.clip(0.55 + 0.025 * v + 0.03 * u, 0.4, 1.15)
            shade = mix(SAIL_SHADE, base, glow)
        elif poly is HULL:
            rim = np.exp(-np.clip(4.4 - v + (u - 14.5) * 0.07, 0, 10) / 0.45)
            shade = mix(HULL_COL, RIM_COL * 0.7, rim * 0.5)
        col = mix(col, shade, c)
        cov = np.maximum(cov, c)
    return col, cov


def draw(col, xs, ys, t, levels):
    """Draws the boat over the rendered water `col` at screen points (xs, ys)."""
    box = (np.abs(xs - BOAT_X) < 26) & (ys > BOAT_Y - 40) & (ys < BOAT_Y + 24)
    if not box.any():
        return col
    x = xs[box]
    y = ys[box]
    ang = np.radians(ROCK_DEG) * np.sin(2 * np.pi * t)
    bob = 0.6 * np.sin(2 * np.pi * t + 1.3)
    px = float(xs[0, 1] - xs[0, 0]) if xs.ndim == 2 and xs.shape[1] > 1 else 0.5
    dx = x - BOAT_X
    dy = (BOAT_Y + bob) - y
    u = dx * np.cos(ang) + dy * np.sin(ang)
    v = -dx * np.sin(ang) + dy * np.cos(ang)
    bcol, bcov = _shapes(u, v, px)
    # Reflection: mirrored about the waterline, broken by the ripples.
    below = v < 0
    wob = 0.9 * np.sin(y * 1.7 + 2 * np.pi * t * 2) + 0.5 * np.sin(y * 0.63 - 2 * np.pi * t)
    rcol, rcov = _shapes(u + wob, -v * 1.05, px)
    rcov = rcov * below * 0.6 * np.exp(v / 10.0)
    out = col[box]
    out = mix(out, rcol * 0.35, rcov)
    out = mix(out, bcol, bcov * (v > -0.5))
    col = col.copy()
    col[box] = out
    return col
