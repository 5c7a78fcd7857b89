"""The slow motion at the horizon on the left: the lighthouse's turning beam, its lamp's
light trembling on the water below it, mist drifting along the foot of the headlands, and
the far water glinting faintly as the light catches its ripples.

All are added to the still picture inside a window that fades to nothing at the edges
of the strip's rectangle, so every frame meets the background without a seam. One beam
turn and one mist drift cycle span the whole loop; the mist drifts by blending two
shifted copies of its texture whose shifts restart while their weight is zero. The glints
come and go in place rather than travel: so far off, the ripples' own travel is far below a
pixel per loop.
"""
import numpy as np

from scene_common import hexcol, mix, smoothstep, spectral_noise
from scene_world import FAR_WATERLINE, HOR, LAMP_Y, LIGHT_X, NEAR_WATERLINE

RECT = (0, 319, 573, 65)           # x, y, width, height of the strip on the screen
MIST_DRIFT = 70.0                  # pixels the mist travels per loop

_mist_tex = spectral_noise(128, 2048, 91, beta=3.0, stretch=(7.0, 1.0), largest=400, smallest=3.0)
_mist_fine = spectral_noise(128, 2048, 92, beta=2.2, stretch=(5.0, 1.0), largest=80, smallest=2.0)
# The glints: pairs of fields that turn like the two parts of a complex number, so each point
# brightens and dims a whole number of times per loop, and all points out of step.
GLINT_TURNS = (3, 5)               # brightenings per loop (6.75 s) of the two pairs
GLINT_GAIN = 0.1                   # how far a glint lifts or dims the water, at its nearest
_glints = [spectral_noise(128, 2048, seed, beta=1.0, stretch=(9.0, 1.0), largest=24, smallest=0.9)
           for seed in (93, 94, 95, 96)]


def edge_window(x, y):
    """1 inside the strip, falling smoothly to exactly 0 on its top, bottom and right
    edges (the left edge is the screen's)."""
    x0, y0, w, h = RECT
    wy = smoothstep(y0, y0 + 14, y) * smoothstep(y0 + h - 1, y0 + h - 12, y)
    wx = smoothstep(x0 + w - 1, x0 + w - 60, x)
    return wy * wx


def _mist_sample(x, y, shift):
    xi = np.floor(x - shift).astype(np.int64) % _mist_tex.shape[1]
    yi = np.clip((y - 300).astype(np.int64), 0, _mist_tex.shape[0] - 1)
    return _mist_tex[yi, xi] * 0.85 + _mist_fine[yi, xi] * 0.25


def mist_density(x, y, t):
    fa = np.mod(t, 1.0)
    fb = np.mod(t + 0.5, 1.0)
    wa = np.sin(np.pi * fa) ** 2
    wb = np.sin(np.pi * fb) ** 2
    a = _mist_sample(x, y, MIST_DRIFT * fa)
    b = _mist_sample(x, y, MIST_DRIFT * fb + 517.0)
    tex = (wa * a + wb * b) / np.sqrt(wa * wa + wb * wb)
    # Banks lie along the waterlines of the two headlands and thin out to the right.
    far_bank = np.exp(-((y - (FAR_WATERLINE - 4.0)) / 6.5) ** 2) * smoothstep(545, 330, x)
    near_bank = np.exp(-((y - (NEAR_WATERLINE - 4.0)) / 6.0) ** 2) * smoothstep(330, 170, x)
    env = np.maximum(far_bank, near_bank * 1.1)
    return env * smoothstep(-1.6, 1.6, tex)


def glints(x, y, t):
    """The far water's ripples catching the light at phase t: about -1..1, stronger toward
    the viewer, nothing at the horizon itself."""
    xi = np.floor(x).astype(np.int64) % _glints[0].shape[1]
    yi = np.clip((y - 300).astype(np.int64), 0, _glints[0].shape[0] - 1)
    out = np.zeros_like(x)
    for (a, b), turns in zip((_glints[:2], _glints[2:]), GLINT_TURNS):
        angle = 2 * np.pi * turns * t
        out += a[yi, xi] * np.cos(angle) - b[yi, xi] * np.sin(angle)
    return out / np.sqrt(len(GLINT_TURNS)) * smoothstep(HOR, HOR + 22.0, y)


def _flash(t):
    """1 when the beam sweeps past the viewer, falling fast either side."""
    ang = 2 * np.pi * (t + 0.37)
    return np.exp(-((np.arctan2(np.sin(ang), np.cos(ang))) / 0.22) ** 2)


def lamp_on_water(x, y, t):
    """The lamp's light on the water below the lighthouse: a streak that widens toward the
    viewer, broken by ripples drifting in, brightest while the beam faces the viewer."""
    below = y - FAR_WATERLINE
    streak = np.exp(-0.5 * ((x - LIGHT_X) / (0.8 + 0.12 * np.abs(below))) ** 2) \
        * smoothstep(0.0, 2.0, below) * np.exp(-np.clip(below, 0, None) / 12.0)
    wobble = 0.8 * np.sin(0.45 * x + 2 * np.pi * 2 * t)
    ripple = (0.5 + 0.5 * np.sin(1.6 * y - 2 * np.pi * 11 * t + wobble)) ** 2
    return streak * ripple * (0.35 + 2.0 * _flash(t))


def beam(x, y, t):
    """Light of the lighthouse at phase t: the shaft seen from the side and the flash
    when it sweeps past the viewer."""
    ang = 2 * np.pi * (t + 0.37)
    toward = np.cos(ang)          # 1 when the beam points at the viewer
    side = np.sin(ang)            # + to the right of the screen
    dx = x - LIGHT_X
    dy = y - LAMP_Y
    s = dx * np.sign(side)
    along = np.clip(s, 0, None)
    width = 1.3 + 0.05 * along
    shaft = np.exp(-0.5 * (dy / width) ** 2) * np.exp(-along / 170.0) * (s > 0)
    # The shaft is brightest seen side-on and shortens as it turns toward or away.
    reach = 40.0 + 420.0 * np.abs(side)
    shaft *= smoothstep(reach, reach * 0.3, along) * (0.25 + 0.75 * np.abs(side))
    shaft *= 0.5 + 0.5 * np.clip(toward + 0.2, 0, 1)
    flash = _flash(t)
    r2 = dx * dx + dy * dy
    glow = np.exp(-r2 / 3.0) * (0.9 + 6.0 * flash) + np.exp(-r2 / 40.0) * (0.08 + 1.2 * flash) \
        + np.exp(-np.sqrt(r2) / 22.0) * 0.35 * flash
    star = flash * 1.4 * (np.exp(-np.abs(dy) / 0.7) * np.exp(-np.abs(dx) / 26.0)
                          + np.exp(-np.abs(dx) / 0.7) * np.exp(-np.abs(dy) / 9.0))
    return shaft * 0.45, glow + star


def apply(region, water, t):
    """Adds the motion at phase t to `region`, the linear-light pixels of the strip's
    rectangle cut from the still picture; `water` is how much of each pixel is sea."""
    return apply_at(region, water, t, RECT[0], edge_window)


def apply_at(region, water, t, x0, window):
    """The same for the strip's rows at columns x0.. (the width of `region`), inside `window`."""
    y0, h, w = RECT[1], RECT[3], region.shape[1]
    y, x = np.mgrid[y0:y0 + h, x0:x0 + w].astype(np.float64) + 0.5
    win = window(x, y)
    glint = GLINT_GAIN * glints(x, y, t) * water * win
    out = region * np.exp(glint)[..., None]
    mist = mist_density(x, y, t) * win
    out = mix(out, hexcol("#ffd6b0"), mist * 0.42)
    shaft, glow = beam(x, y, t)
    # Mist catches the beam: the shaft shows more where it passes through it.
    shaft = shaft * (1.0 + 2.5 * mist)
    lamp = hexcol("#fff1c9")
    out = out + (shaft + glow + 0.5 * lamp_on_water(x, y, t))[..., None] * lamp * win[..., None]
    return out
