"""The still world of the coast scene: sky, sun, clouds, headlands and lighthouse.

Renders the upper half of the world (everything that stands above the sea) on a canvas
larger than the screen, once in place for the direct view and once mirrored for the
reflections the sea samples. Colours are linear-light floats; the sun is kept apart as an
analytic light so the water can reflect it with any amount of blur.
"""
import numpy as np

from scene_common import (blur, gradient, hexcol, mix, noise1d, smoothstep,
                          spectral_noise)

W, H = 1024, 768
HOR = 356.0          # sea horizon row
FOCAL = 900.0        # pixels per radian of view
CAM_H = 18.0         # eye height above the sea, metres
SUN_X, SUN_Y, SUN_R = 668.0, 291.0, 17.5

# The canvas of the upper world extends past the screen so reflections can look up and
# sideways beyond its edges.
U_X0, U_Y0 = -320, -560
U_W, U_H = 1664, 560 + int(HOR) + 48

# Distant land: waterline rows (how far below the horizon the land's foot meets the sea).
FAR_WATERLINE = HOR + 6.0
NEAR_WATERLINE = HOR + 21.0
LIGHT_X, LIGHT_BASE = 497.0, 356.0      # lighthouse: centre column and foot row
LAMP_Y = 334.0                          # row of the lantern's lamp


# How far outside the screen's canvas a wider canvas's noise takes to turn into a field of its own.
NOISE_FADE = 200.0


class Canvas:
    """A rectangle of the world that the upper world is rendered on: the screen coordinates of
    its top-left corner and its size. The screen's canvas (SCREEN) reaches past the screen as far
    as its reflections look; scene_surround.py renders the same world on a wider one."""

    def __init__(self, x0, y0, w, h):
        self.x0, self.y0, self.w, self.h = x0, y0, w, h

    def grid(self):
        y, x = np.mgrid[0:self.h, 0:self.w].astype(np.float64)
        return x + self.x0, y + self.y0

    def noise(self, seed, **shape):
        """The canvas's fractal noise. On the screen's canvas it is the very field the screen
        has always been drawn with; a wider canvas holds that same field where the two overlap,
        and beyond it the field goes on (it tiles, so without a seam) while fading into a field
        of its own, so that no cloud or rock shows twice."""
        base = spectral_noise(U_H, U_W, seed, **shape)
        if (self.x0, self.y0, self.w, self.h) == (U_X0, U_Y0, U_W, U_H):
            return base
        rows = (np.arange(self.h) + self.y0 - U_Y0) % U_H
        cols = (np.arange(self.w) + self.x0 - U_X0) % U_W
        tiled = base[rows][:, cols]
        x, y = self.grid()
        outside = np.maximum(np.maximum(U_X0 - x, x - (U_X0 + U_W - 1)),
                             np.maximum(U_Y0 - y, y - (U_Y0 + U_H - 1)))
        m = smoothstep(0.0, NOISE_FADE, np.maximum(outside, 0.0))
        fresh = spectral_noise(self.h, self.w, seed + 7919, **shape)
        # Two independent fields mixed keep the deviation of one.
        return (tiled * (1.0 - m) + fresh * m) / np.sqrt((1.0 - m) ** 2 + m ** 2)


SCREEN = Canvas(U_X0, U_Y0, U_W, U_H)


# ---------------------------------------------------------------- sky

SKY_STOPS = [
    (-0.02, hexcol("#ffd9a0")),
    (0.000, hexcol("#ffcf8e")),
    (0.030, hexcol("#fdb77c")),
    (0.080, hexcol("#ec9479")),
    (0.160, hexcol("#b97886")),
    (0.260, hexcol("#7d6e98")),
    (0.380, hexcol("#4e5c92")),
    (0.560, hexcol("#2c3e76")),
    (0.900, hexcol("#1a2754")),
]

# Sun glow as gaussians (amplitude, sigma x, sigma y, colour): blurred reflections widen
# them analytically.
SUN_GLOWS = [
    (9.0, 7.5, 7.5, hexcol("#fff6e0")),
    (1.6, 18.0, 16.0, hexcol("#ffe2a8")),
    (0.55, 48.0, 40.0, hexcol("#ffc47a")),
    (0.24, 130.0, 85.0, hexcol("#ffaa66")),
    (0.12, 380.0, 120.0, hexcol("#ff9a5e")),
]


def sun_light(dx, dy, var_x=0.0, var_y=0.0):
    """Radiance of the sun's glow at offset (dx, dy) from the sun, blurred by extra
    variances (pixels squared)."""
    out = np.zeros(np.shape(dx) + (3,))
    for amp, sx, sy, col in SUN_GLOWS:
        vx = sx * sx + var_x
        vy = sy * sy + var_y
        a = amp * sx * sy / np.sqrt(vx * vy)
        g = a * np.exp(-0.5 * (dx * dx / vx + dy * dy / vy))
        out += g[..., None] * col
    return out


def sky(x, y):
    """Sky radiance without the sun's glow; x, y are screen coordinates (may lie
    outside the screen)."""
    elev = (HOR - y) / FOCAL
    col = gradient(SKY_STOPS, elev)
    # The half of the sky around the sun is warmer and brighter.
    side = np.exp(-np.abs(x - SUN_X) / 520.0) * np.exp(-np.maximum(elev, 0) / 0.16)
    col = col * (1.0 + 0.45 * side[..., None]) + side[..., None] * hexcol("#ff9d6a") * 0.12
    # Horizon haze band.
    haze = np.exp(-np.maximum(elev, 0.0) / 0.018)
    col = mix(col, hexcol("#ffd49c") * 1.05, 0.35 * haze)
    return col


def clouds(x, y, seed=11, canvas=SCREEN):
    """Cloud cover (0..1) and colour for the canvas: long lit stratus strands."""
    n1 = canvas.noise(seed, beta=3.0, stretch=(12.0, 1.0), largest=700, smallest=1.2)
    n2 = canvas.noise(seed + 1, beta=2.0, stretch=(5.0, 1.0), largest=200, smallest=0.8)
    elev = (HOR - y) / FOCAL
    bands = (0.95 * np.exp(-((elev - 0.205) / 0.045) ** 2)
             + 0.65 * np.exp(-((elev - 0.33) / 0.05) ** 2)
             + 0.5 * np.exp(-((elev - 0.12) / 0.02) ** 2))
    field = n1 * 0.8 + n2 * 0.35 + 2.3 * bands - 2.2
    cover = smoothstep(-0.15, 1.2, field) ** 1.3
    # Fewer clouds straight over the sun so its disk stays clear.
    clear = 1.0 - 0.85 * np.exp(-(((x - SUN_X) / 140.0) ** 2 + ((y - SUN_Y) / 55.0) ** 2))
    cover = cover * clear * smoothstep(0.0, 0.05, elev)
    # Lit from below: the underside of each strand catches the sun.
    thick = blur(cover, 3.0)
    under = np.clip((thick - np.roll(thick, -4, axis=0)) * 3.0 + 0.45, 0.0, 1.0)
    near_sun = np.exp(-np.hypot((x - SUN_X) / 420.0, (y - SUN_Y) / 260.0))
    shadow = mix(hexcol("#5a4d74"), hexcol("#8d6a80"), smoothstep(0.35, 0.0, elev))
    lit = mix(hexcol("#ff9f78"), hexcol("#ffd7a0"), near_sun)
    col = mix(shadow, lit * (0.55 + 0.9 * near_sun)[..., None], (0.25 + 0.75 * under) * (0.35 + 0.65 * near_sun))
    streak, scol = sun_streaks(x, y)
    col = mix(col, scol, streak)
    return np.maximum(cover, streak), col


def sun_streaks(x, y):
    """Two thin cloud bands low in the sky that pass in front of the sun: glowing where
    the sun shines through them, dusky violet away from it."""
    n = noise1d(4096, 17, beta=2.0)
    idx = np.clip((x[0] + 512).astype(np.int64), 0, 4095)[None, :]
    cover = np.zeros(x.shape)
    for yc, tilt, th, x0, x1, amp in ((302.0, 0.012, 2.6, 500.0, 925.0, 0.9),
                                       (280.0, -0.008, 1.6, 600.0, 800.0, 0.7)):
        centre = yc + tilt * (x - SUN_X) + 1.6 * n[idx]
        thick = th * (0.7 + 0.5 * np.abs(n[(idx * 7) % 4096]))
        along = smoothstep(x0, x0 + 70, x) * smoothstep(x1, x1 - 90, x)
        band = np.exp(-((y - centre) / thick) ** 2) * along * amp
        cover = np.maximum(cover, band)
    d = np.hypot(x - SUN_X, (y - SUN_Y) * 1.6)
    glow = np.exp(-d / 45.0)
    col = mix(hexcol("#7a4a62"), hexcol("#fff1cf") * 1.1, glow)
    col = col + hexcol("#ffb07a")[None, None, :] * (0.35 * np.exp(-d / 120.0))[..., None]
    return cover, col


# ---------------------------------------------------------------- land

# The keys left of -400 lie beyond the screen's canvas: only the surround (scene_surround.py) shows
# them.
FAR_KEYS = [(-1100, 262), (-820, 238), (-600, 246), (-400, 252), (60, 246), (180, 257), (300, 265),
            (372, 274), (402, 283), (420, 312),
            (436, 336), (452, 341), (474, 345), (500, 349), (522, 352), (548, 362)]
NEAR_KEYS = [(-1100, 318), (-880, 302), (-640, 283), (-400, 290), (60, 298), (150, 309), (200, 320),
             (224, 331), (242, 356),
             (258, 371), (287, 378)]


def _keyed_profile(x, keys, seed, rough_until, end):
    n = noise1d(4096, seed, beta=2.2)
    idx = (x + 512).astype(np.int64)
    # The noise is periodic: beyond its length (a wider canvas than the screen's) it goes round.
    idx = np.where((idx >= 0) & (idx < 4096), idx, idx % 4096)
    kx, ky = zip(*keys)
    top = np.interp(x, kx, ky)
    rough = 1.2 + 5.0 * smoothstep(rough_until, rough_until - 60, x)
    top = top + rough * n[idx] + 1.2 * n[(idx * 5) % 4096]
    return np.where(x > end, 1e4, top)


def far_profile(x):
    """Top row of the far headland (a long ridge ending in a cliff and a low spit with
    the lighthouse) for screen columns x; far below the screen where there is none."""
    return _keyed_profile(x, FAR_KEYS, 21, 402, 549)


def near_profile(x):
    return _keyed_profile(x, NEAR_KEYS, 31, 224, 287)


def _seaward_face(cover, x, top, canvas):
    """How much each point belongs to the lit seaward face: points just left of the land's
    right-hand edge on each row, where that edge is steep."""
    inside = cover > 0.5
    has = inside.any(axis=1)
    last = canvas.w - 1 - np.argmax(inside[:, ::-1], axis=1)
    edge = np.where(has, last + canvas.x0, -1e4)[:, None]
    slope = np.abs(np.gradient(top[0]))
    steep_at_edge = np.interp(edge[:, 0], x[0], smoothstep(0.5, 2.0, slope))[:, None]
    dist = edge - x
    return np.exp(-np.clip(dist, 0, None) / 14.0) * (dist > -1) * steep_at_edge


def land_layer(x, y, profile, waterline, far, seed, canvas=SCREEN):
    """Colour and coverage of one headland for the canvas rows y (direct view)."""
    top = profile(x[0])[None, :]
    cover = np.clip(y - top + 0.5, 0.0, 1.0) * np.clip(waterline - y + 0.5, 0.0, 1.0)
    tex = canvas.noise(seed, beta=2.0, stretch=(4.0, 1.0), largest=120, smallest=0.8)
    grain = canvas.noise(seed + 5, beta=1.0, stretch=(1.0, 1.0), largest=20, smallest=0.6)
    streak = canvas.noise(seed + 7, beta=1.8, stretch=(1.0, 6.0), largest=60, smallest=0.8)
    depth = np.clip((y - top) / 60.0, 0.0, 1.0)
    # Slopes that face the sun (the right) catch a warm rim along the top edge.
    slope = np.clip(np.gradient(top[0]), -3.0, 3.0)[None, :]
    facing = np.clip(0.5 + slope * 0.6, 0.0, 1.0)
    rim = np.exp(-np.clip(y - top, 0, 50) / 2.5) * facing
    face = _seaward_face(cover, x, top, canvas) * (0.75 + 0.25 * streak)
    if far:
        body = mix(hexcol("#6b4f6c"), hexcol("#54405e"), depth)
        haze_col = hexcol("#e7a083")
        haze = 0.48 + 0.10 * (1 - depth)
        rim_col = hexcol("#ffc08a")
        face_col = hexcol("#f2a67c")
    else:
        body = mix(hexcol("#4c3048"), hexcol("#2f2238"), depth)
        haze_col = hexcol("#d98a7a")
        haze = 0.28 + 0.08 * (1 - depth)
        rim_col = hexcol("#ffb27a")
        face_col = hexcol("#d98664")
    body = body * (1.0 + 0.16 * tex + 0.06 * grain)[..., None]
    body = mix(body, face_col * (0.8 + 0.3 * streak)[..., None], np.clip(face, 0, 1) * 0.75)
    col = mix(body, haze_col, haze)
    col = col + rim[..., None] * rim_col * (0.55 if far else 0.8)
    # The foot of the cliffs is veiled by the sea haze.
    foot = np.exp(-(waterline - y) / (6.0 if far else 8.0))
    col = mix(col, hexcol("#eaa88a"), 0.3 * foot)
    return np.clip(cover, 0, 1), col


def lighthouse(x, y):
    """A slender white tower with a dark lantern on the spit, veiled by the distance;
    coverage and colour."""
    top = LAMP_Y - 3.0
    half = 1.7 + (y - top) * 0.045
    dx = x - LIGHT_X
    cover = np.clip(half - np.abs(dx) + 0.5, 0, 1) * np.clip(y - top + 0.5, 0, 1) \
        * np.clip(LIGHT_BASE - y + 0.5, 0, 1)
    lit = np.clip(0.5 + dx / (2 * half + 1e-6), 0, 1)
    col = mix(hexcol("#b08c98"), hexcol("#ffe2c4"), lit)
    band = np.exp(-((y - (top + 11.0)) / 1.1) ** 2)
    col = mix(col, col * np.array([0.75, 0.45, 0.45]), band)
    lantern = (y < top + 4.0)
    col = np.where(lantern[..., None], hexcol("#4a3840"), col)
    # Gallery rail and cap.
    gallery = np.clip(2.8 - np.abs(dx) + 0.5, 0, 1) * np.exp(-((y - (top + 4.2)) / 0.6) ** 2)
    cap = np.clip(1.9 - np.abs(dx) - (top - y) * 0.6 + 0.5, 0, 1) * np.clip(top - y + 2.0, 0, 1) \
        * np.clip(y - top + 2.5, 0, 1) * (y < top)
    cover = np.maximum(cover, np.maximum(cap, gallery))
    col = np.where((((cap > 0.05) & (y < top)) | (gallery > 0.3))[..., None], hexcol("#3a2c34"), col)
    col = mix(col, hexcol("#e7a083"), 0.25)
    return cover, col


def distant_isle(x, y):
    """A low, hazy island on the right horizon."""
    n = noise1d(2048, 41, beta=2.5)
    idx = np.clip((x[0] + 200).astype(np.int64), 0, 2047)
    c = (x[0] - 930.0) / 95.0
    h = np.where(np.abs(c) < 1, 9.0 * np.clip(1 - c * c, 0, 1) ** 0.7 + 1.5 * n[idx], -5)
    top = (HOR + 1.5 - h)[None, :]
    cover = np.clip(y - top + 0.5, 0, 1) * np.clip(HOR + 1.5 - y, 0, 1)
    col = np.broadcast_to(hexcol("#d7977f"), y.shape + (3,))
    return cover, col


# ---------------------------------------------------------------- composition

def upper_world(reflected, canvas=SCREEN):
    """The upper world on the canvas, and how solidly land covers each point. With `reflected` the land is placed for mirroring
    about the horizon: each headland moves up by twice its foot's depth below the
    horizon, so a flat sea mirrors it about its own waterline."""
    x, y = canvas.grid()
    col = sky(x, y)
    cover, ccol = clouds(x, y, canvas=canvas)
    col = mix(col, ccol, cover * 0.92)
    glow = sun_light(x - SUN_X, y - SUN_Y)
    if not reflected:
        d = np.hypot(x - SUN_X, y - SUN_Y)
        disk = np.clip(SUN_R - d + 0.5, 0.0, 1.0)
        limb = 1.0 - 0.25 * (d / SUN_R) ** 2
        col = col + glow * (1.0 - 0.7 * cover[..., None])
        col = mix(col, hexcol("#fffaf0") * 14.0 * np.clip(limb, 0.5, 1)[..., None], disk * (1 - 0.8 * cover))
    layers = [(distant_isle, 0.0),
              (lambda a, b: land_layer(a, b, far_profile, FAR_WATERLINE, True, 51, canvas),
               FAR_WATERLINE - HOR),
              (lambda a, b: lighthouse(a, b), FAR_WATERLINE - HOR),
              (lambda a, b: land_layer(a, b, near_profile, NEAR_WATERLINE, False, 61, canvas),
               NEAR_WATERLINE - HOR)]
    solid = np.zeros(x.shape)
    for fn, depth in layers:
        shift = 2.0 * depth if reflected else 0.0
        lc, lcol = fn(x, y + shift)
        col = mix(col, lcol, lc)
        solid = np.maximum(solid, lc)
    return col, solid


def canvas_to_screen(img):
    """The screen's part of a canvas image (all 768 rows; rows past the canvas repeat)."""
    sx, sy = -U_X0, -U_Y0
    part = img[sy:, sx:sx + W]
    if part.shape[0] < H:
        extra = np.repeat(part[-1:], H - part.shape[0], axis=0)
        part = np.concatenate([part, extra], axis=0)
    return part[:H]
