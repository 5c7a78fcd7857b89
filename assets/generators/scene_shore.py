"""The lower half of the scene: open sea, the surf that rolls onto the beach, the wash
sliding up the sand, wet and dry sand.

Distances along the beach are measured in metres on the sea plane (D > 0 out at sea,
D < 0 up the beach), so the surf keeps its perspective. The strip loops every 1.4 s, far
shorter than a real wave's period, so the surf is drawn as what moves at that pace in the
shallows: several small wavelets, each advancing exactly one of its wavelengths per loop
(0.5-1.2 m/s, their speed in water a few centimetres to a decimetre deep), and a wash
whose edge only laps a few centimetres up and down the sand, at a phase that wanders
along the beach. Every animated quantity is periodic in t with period 1; the dry sand
does not depend on t at all.
"""
import numpy as np

from scene_common import hexcol, mix, noise1d, smoothstep, spectral_noise
from scene_sea import BODY, mirror, sea_colour, sea_geometry
from scene_world import CAM_H, FOCAL, HOR, W

# The wavelets in the shallows: (wavelength m, heading degrees off straight in, slope).
SURF_TRAINS = [(1.15, -8.0, 0.06), (0.75, 14.0, 0.04), (1.7, 3.0, 0.05)]
TEX_SCALE = 9.0                               # texture pixels per metre

_shore_noise = noise1d(4096, 71, beta=2.6)
_run_noise = noise1d(4096, 72, beta=2.2)
_crest_noise = noise1d(4096, 73, beta=2.0)
_lace = spectral_noise(512, 512, 74, beta=1.2, stretch=(1.0, 1.6), largest=40, smallest=0.7)
_lace2 = spectral_noise(512, 512, 75, beta=2.0, stretch=(2.0, 1.0), largest=90, smallest=1.5)
_sand = spectral_noise(512, 512, 76, beta=1.6, stretch=(4.0, 1.0), largest=40, smallest=0.7)
_grain = np.random.default_rng(77).standard_normal((512, 512))

SAND_LIT = hexcol("#dcaa80")
SAND_SHADE = hexcol("#6e5050")
WET_SAND = hexcol("#3e2e34")
FOAM = hexcol("#ffe0bd")
FOAM_SHADE = hexcol("#8f7f98") * 0.75


def _row_depth(y):
    return CAM_H * FOCAL / np.maximum(y - HOR, 0.05)


def shore_row(x):
    """Screen row of the mean waterline under column x. Left of the screen the line recedes
    toward the headlands, as far as it comes nearer on the right, and the noise goes round."""
    t = x / W
    i = x.astype(int) * 2
    i = np.where((i >= 0) & (i < 4096), i, i % 4096)
    return 624.0 + 58.0 * (np.sign(t) * np.abs(t) ** 1.35) + 3.0 * _shore_noise[i]


def _tex(img, u, v):
    h, w = img.shape
    return img[np.floor(v).astype(np.int64) % h, np.floor(u).astype(np.int64) % w]


def shore_distance(x, y):
    """Metres from the waterline along the sea plane, the plane's world x and depth, and
    the view ray's depression angle."""
    xw, z, beta, fx, fz = sea_geometry(x, y)
    zs = _row_depth(shore_row(x))
    return z - zs, xw, z, beta


def surf(d, xw, t):
    """The wavelets in the shallows: extra slope toward the viewer and foam cover and
    brightness. Each train's crests are bent by their own noise, so the trains cross in
    a pattern that never lines up across the whole beach."""
    near = smoothstep(12.0, 3.0, d) * smoothstep(-0.3, 1.0, d)
    breaking = smoothstep(6.0, 1.5, d) * smoothstep(-0.3, 0.4, d)
    lace = _tex(_lace, xw * TEX_SCALE, d * TEX_SCALE * 1.4)
    lace2 = _tex(_lace2, xw * TEX_SCALE * 0.5, d * TEX_SCALE * 0.5)
    extra_sz = np.zeros_like(d)
    line = np.zeros_like(d)
    for i, (lam, head, slope) in enumerate(SURF_TRAINS):
        col_idx = np.clip(((xw + 120.0) * 8 + 700 * i).astype(np.int64) % 4096, 0, 4095)
        bend = 1.3 * _crest_noise[col_idx]
        a = np.radians(head)
        psi = 2 * np.pi * ((d * np.cos(a) + xw * np.sin(a)) / lam + t) + bend
        # Steepened crests: a skewed profile whose shoreward face is steeper.
        extra_sz -= slope * near * (np.sin(psi) + 0.35 * np.sin(2 * psi - 0.6))
        u = np.mod(psi / (2 * np.pi), 1.0)
        line = np.maximum(line, (np.exp(-u / 0.08) * smoothstep(1.0, 0.96, u)
                                 + 0.4 * np.exp(-u / 0.3)) * (1.0 - 0.25 * i))
    foam = smoothstep(0.22, 0.7, line * breaking * (0.55 + 0.45 * lace + 0.35 * lace2))
    lit = np.clip(0.55 + 0.3 * lace + 0.25 * line, 0, 1)
    return extra_sz, foam, lit


def runup(xw, t):
    """How far (metres up the beach) the wash reaches at phase t, and how fast it is
    advancing (1 rushing up, -1 draining): a lap of a few centimetres, out of step along
    the beach, over a reach that varies from place to place."""
    idx = np.clip(((xw + 120.0) * 6).astype(np.int64), 0, 4095)
    ph = 2.2 * _run_noise[idx] + xw * 0.05
    reach = 1.6 + 0.5 * _run_noise[(idx + 1500) % 4096]
    lap = 0.07 * np.sin(2 * np.pi * t - ph) + 0.03 * np.sin(4 * np.pi * t - 1.7 * ph)
    rise = np.cos(2 * np.pi * t - ph) + 0.86 * np.cos(4 * np.pi * t - 1.7 * ph)
    return reach + lap, np.clip(rise, -1, 1)


_pebble_table = np.random.default_rng(78).random((4, 97, 89))


def pebbles(xw, d, z):
    """Scattered pebbles and shells on the dry sand: coverage and how much of each is
    turned toward the sun (a warm rim on its far, upper edge)."""
    cell = 0.9
    ci = np.floor(xw / cell).astype(np.int64)
    cj = np.floor(d / cell).astype(np.int64)
    tab = _pebble_table[:, ci % 97, cj % 89]
    present = tab[0] < 0.22
    radius = 0.05 + 0.09 * tab[1] ** 2
    px_per_m = FOCAL / z
    dx = (xw - (ci + 0.2 + 0.6 * tab[2]) * cell) * px_per_m
    dz = (d - (cj + 0.2 + 0.6 * tab[3]) * cell) * px_per_m
    r = radius * px_per_m
    dist = np.hypot(dx, dz * 1.6)
    cover = np.clip(r - dist + 0.5, 0, 1) * present * smoothstep(-4.0, -5.5, d)
    rim = np.clip(-dz / np.maximum(r, 1e-3), 0, 1) * cover
    shadow = np.clip(r * 1.2 - np.hypot(dx, (dz - 0.6 * r) * 1.6) + 0.5, 0, 1) * present \
        * smoothstep(-4.0, -5.5, d) * (1 - cover)
    return cover, rim, shadow


def sand(x, y, xw, d, levels, beta, z):
    """Dry sand drying to glossy wet sand near the water, with faint wind ripples."""
    ripple = _tex(_sand, xw * TEX_SCALE, d * TEX_SCALE * 2.0)
    patches = _tex(_lace2, xw * 3.0 + 200, d * 6.0)
    grain = _tex(_grain, x * 1.0, y * 1.0)
    depth_fade = smoothstep(650.0, 790.0, y)
    lit = 0.68 + 0.05 * ripple + 0.04 * patches - 0.32 * depth_fade
    col = mix(SAND_SHADE, SAND_LIT, np.clip(lit, 0, 1)) * (1.0 + 0.015 * grain)[..., None]
    # The last high tide's line of weed and wrack.
    wrack_at = -10.5 + 1.4 * _tex(_lace2, xw * 2.0, 40.0)
    wrack = np.exp(-((d - wrack_at) / 0.22) ** 2) * smoothstep(-0.2, 0.6, _tex(_lace, xw * TEX_SCALE, 7.0))
    col = mix(col, hexcol("#3a2a2a"), 0.55 * wrack)
    cover, rim, shadow = pebbles(xw, d, z)
    col = col * (1 - 0.45 * shadow)[..., None]
    col = mix(col, mix(hexcol("#4a3538"), hexcol("#f0b487"), rim), cover)
    wet = smoothstep(-7.0 + 1.2 * patches, -1.5, d)
    z = np.zeros_like(x)
    rough = np.full_like(x, 0.2 ** 2)
    refl, fres = mirror(x, y, z, z + 0.006 * ripple, rough * 0.5, rough, beta, levels)
    sheen = np.clip(0.3 + fres * 2.0, 0, 0.7) * wet ** 1.3
    wet_col = mix(col, WET_SAND, 0.75 * wet)
    return wet_col * (1 - sheen[..., None]) + refl * sheen[..., None]


def lower_colour(x, y, t, mix_t0, levels, footprint_scale=0.5):
    """Radiance of the sea, surf and beach at screen points below the horizon."""
    d, xw, z, beta = shore_distance(x, y)
    ride, rise = runup(xw, t)
    if mix_t0 is not None:
        ride0, _ = runup(xw, 0.0)
        ride = ride + (ride0 - ride) * mix_t0
    esz, foam, foam_lit = surf(d, xw, t)
    near = smoothstep(8.0, 0.0, d)
    body = mix(BODY, hexcol("#3b3a3c") * 0.35, near)
    body = body * (1.0 + 1.5 * np.exp(-beta / 0.05))[..., None]
    sea = sea_colour(x, y, t, mix_t0, levels, footprint_scale, esz, body)
    foam_col = mix(FOAM_SHADE, FOAM, foam_lit)
    sea = mix(sea, foam_col, foam * 0.9)
    beach = sand(x, y, xw, d, levels, beta, z)
    # The wash: a thin glossy sheet over the sand, lacy foam along its leading edge.
    sheet = smoothstep(-ride - 0.05, -ride + 0.3, d)
    gap = np.maximum(d + ride, 0.0)
    lace = _tex(_lace, xw * TEX_SCALE * 1.3, (d + ride) * TEX_SCALE * 2.0)
    lace2 = _tex(_lace2, xw * TEX_SCALE * 0.8, d * TEX_SCALE * 1.2)
    edge = np.exp(-gap / 0.3) * sheet * (0.7 + 0.3 * rise)
    trail = np.exp(-gap / 1.6) * sheet * smoothstep(0.3, 1.2, lace2 + 0.4 * lace) * 0.8
    edge_foam = smoothstep(0.3, 0.85, np.maximum(edge * (0.75 + 0.5 * lace), trail))
    opacity = sheet * (0.75 + 0.25 * smoothstep(-0.2, 1.5, d))
    out = mix(beach, sea, opacity)
    return mix(out, foam_col, edge_foam * 0.85)
