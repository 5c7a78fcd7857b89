"""The sea: a sum of wave trains seen in perspective, reflecting the upper world.

Each pixel looks at a point of the sea plane; the waves there tilt the surface and the
reflected ray picks a point of the (blurred) sky or the sun. Wave detail finer than a pixel
is not drawn but turned into roughness, which widens the reflection instead of aliasing.
Every wave train advances a whole number of cycles per animation loop, so any phase
t in [0, 1) loops back to t = 0 without a jump.
"""
import numpy as np

from scene_common import bilinear, hexcol, smoothstep, spectral_noise
from scene_world import (CAM_H, FOCAL, HOR, SUN_R, SUN_X, SUN_Y, U_X0, U_Y0, W,
                         sun_light)

G = 9.81

# (amplitude m, wavelength m, heading degrees from "toward the viewer", cycles per loop,
# phase). Long swells stay put; short trains move, at their deep-water speed for the
# 1.4 s loop of the near strips.
def _static_waves():
    """Long swells and chop from the open sea, spread around the onshore direction. They
    keep their place: at their true speed they would race across a 1.4 s loop."""
    rng = np.random.default_rng(3)
    out = []
    for i in range(36):
        lam = float(np.exp(rng.uniform(np.log(1.6), np.log(42.0))))
        head = rng.normal(0.0, 42.0)
        slope = 0.016 * rng.uniform(0.6, 1.4) * (lam / 10.0) ** 0.4
        out.append((slope * lam / (2 * np.pi), lam, head, 0, rng.uniform(0, 2 * np.pi)))
    return out


def _moving_waves():
    """Short trains that complete n cycles per loop, with the wavelength deep water gives
    that period; their headings scatter so the glitter twinkles instead of marching."""
    out = []
    rng = np.random.default_rng(7)
    for n, slope, count in ((1, 0.017, 6), (2, 0.016, 7), (3, 0.014, 6)):
        lam = G * (1.4 / n) ** 2 / (2 * np.pi)
        k = 2 * np.pi / lam
        for i in range(count):
            head = -150.0 + 300.0 * (i + rng.uniform(0.2, 0.8)) / count
            out.append((slope / k * rng.uniform(0.75, 1.25), lam, head, n,
                        rng.uniform(0, 2 * np.pi)))
    return out


WAVES = _static_waves() + _moving_waves()
BASE_ROUGH = 0.024 ** 2          # slope variance of the ripples no wave train models
GLASS_FAR = 0.2                  # share of the waves' relief the water shows at the horizon
GLASS_ROWS = (HOR + 90.0, HOR + 260.0)  # rows over which the relief returns in full

BODY = hexcol("#16303c") * 0.55
SHALLOW = hexcol("#2e5a52") * 0.6

ENV_SHARPEN = 0.3
BLUR_LEVELS = [0.0, 1.5, 4.0, 10.0, 26.0, 64.0]


class Pyramid(list):
    """The blur levels of a canvas, finest first, and the screen point of the canvas's top-left."""

    def __init__(self, origin):
        super().__init__()
        self.origin = origin


def reflection_pyramid(upper, origin=(U_X0, U_Y0)):
    """Vertically streaked blurs of the mirrored upper world (a canvas whose top-left corner is
    the screen point `origin`), finest first."""
    levels = Pyramid(origin)
    for s in BLUR_LEVELS:
        img = upper.astype(np.float32)
        if s > 0:
            img = _blur_aniso(img, s * 0.35, s)
        levels.append(img)
    return levels


def _blur_aniso(img, sx, sy):
    h, w = img.shape[:2]
    pad = int(3 * max(sx, sy)) + 1
    p = np.pad(img, ((pad, pad), (pad, pad), (0, 0)), mode="edge")
    hh, ww = p.shape[:2]
    fy = np.fft.fftfreq(hh)[:, None]
    fx = np.fft.rfftfreq(ww)[None, :]
    g = np.exp(-2.0 * np.pi ** 2 * ((sx * fx) ** 2 + (sy * fy) ** 2))[..., None]
    out = np.fft.irfft2(np.fft.rfft2(p, axes=(0, 1)) * g, s=(hh, ww), axes=(0, 1))
    return out[pad:pad + h, pad:pad + w].astype(np.float32)


def sample_pyramid(levels, x, y, sigma):
    """Reflection of the upper world at screen point (x, y), blurred by about `sigma`."""
    cx = x - levels.origin[0]
    cy = y - levels.origin[1]
    lv = np.interp(sigma, BLUR_LEVELS, np.arange(len(BLUR_LEVELS)))
    i0 = np.clip(np.floor(lv).astype(int), 0, len(levels) - 2)
    f = (lv - i0)[..., None]
    out = np.zeros(x.shape + (3,))
    for i in range(len(levels) - 1):
        sel = i0 == i
        if not sel.any():
            continue
        a = bilinear(levels[i], cx[sel], cy[sel])
        b = bilinear(levels[i + 1], cx[sel], cy[sel])
        out[sel] = a + (b - a) * f[sel]
    return out


def sea_geometry(x, y):
    """World position and pixel footprint of the sea under screen points."""
    d = np.maximum(y - HOR, 0.05)
    beta = d / FOCAL
    z = CAM_H / np.tan(beta)
    xw = (x - W / 2) * z / FOCAL
    foot_x = z / FOCAL
    foot_z = z * z / (CAM_H * FOCAL)
    return xw, z, beta, foot_x, foot_z


def glassiness(y):
    """How much of the waves' relief the water shows under screen row y where it does not
    move. Far off, where the water cannot move, bold ripples would look frozen: there the sea
    lies glassy, and the relief it loses becomes roughness, which keeps the sun's path as wide
    but softer. Toward the viewer the relief returns in full."""
    return GLASS_FAR + (1.0 - GLASS_FAR) * smoothstep(*GLASS_ROWS, y)


_static_cache = {}
_slick_tex = spectral_noise(512, 512, 9, beta=3.2, stretch=(1.0, 1.0), largest=300, smallest=4.0)


def slick(xw, z):
    """Calm patches where a film on the water damps the ripples: 0 rough, 1 calm. They
    lie across the view, drawn out by the perspective."""
    n = bilinear(_slick_tex, np.mod(xw / 4.0, 511.0), np.mod(z / 3.0, 511.0))
    return smoothstep(0.25, 1.2, n)


def _trains(x, y, t, mix_t0, footprint_scale, moving):
    xw, z, beta, fx, fz = sea_geometry(x, y)
    fx = fx * footprint_scale
    fz = fz * footprint_scale
    calm = 1.0 - 0.7 * slick(xw, z)
    relief = glassiness(y)
    if moving and mix_t0 is not None:
        # Waves grow as they begin to move, so the still water holds no frozen chop.
        relief = relief + (1.0 - relief) * (1.0 - mix_t0)
    sx = np.zeros_like(x)
    sz = np.zeros_like(x)
    vx = np.zeros_like(x)
    vz = np.zeros_like(x)
    for amp, lam, head, n, ph in WAVES:
        if (n != 0) != moving:
            continue
        k = 2 * np.pi / lam
        a = np.radians(head)
        kx = k * np.sin(a)
        kz = -k * np.cos(a)
        keep = np.exp(-((kx * fx) ** 2 + (kz * fz) ** 2) / 6.0)
        base = kx * xw + kz * z + ph
        s = np.sin(base - 2 * np.pi * n * t)
        if n and mix_t0 is not None:
            s = s + (np.sin(base) - s) * mix_t0
        s = s * keep * amp * calm
        sx -= kx * s * relief
        sz -= kz * s * relief
        lost = (1.0 - (keep * relief) ** 2) * 0.5 * (amp * k * calm) ** 2
        vx += lost * np.sin(a) ** 2
        vz += lost * np.cos(a) ** 2
    return sx, sz, vx, vz, beta


def wave_slopes(x, y, t, mix_t0, footprint_scale=1.0):
    """Surface slopes (dh/dX, dh/dZ), the variances of the unresolved slopes and the
    depression angle of the view ray.

    `mix_t0` (0..1 per pixel) blends toward the waves at t = 0, as glassy as the still
    water: it keeps the water still where the picture around a moving strip cannot change.
    The still trains are
    computed once per set of points."""
    key = (x.shape, float(x.flat[0]), float(y.flat[0]), float(x.flat[-1]),
           float(y.flat[-1]), footprint_scale)
    if key not in _static_cache:
        _static_cache.clear()
        _static_cache[key] = _trains(x, y, 0.0, None, footprint_scale, False)
    s0 = _static_cache[key]
    s1 = _trains(x, y, t, mix_t0, footprint_scale, True)
    return (s0[0] + s1[0], s0[1] + s1[1], s0[2] + s1[2] + BASE_ROUGH,
            s0[3] + s1[3] + BASE_ROUGH, s0[4])


def mirror(x, y, sx, sz, vx, vz, beta, levels):
    """Radiance reflected by a surface with slopes (sx, sz) and unresolved slope
    variances (vx, vz) under screen points seen at depression angle beta."""
    elev = beta + 2.0 * sz
    spread = np.maximum(beta + sz, 0.004)
    xr = x - 2.0 * FOCAL * sx * spread
    yr = np.minimum(HOR - FOCAL * elev, HOR - 0.5)
    sig_y = 2.0 * FOCAL * np.sqrt(vz)
    sig_x = 2.0 * FOCAL * np.sqrt(vx) * spread + 0.3
    # Most of a calm sea is flatter than its average roughness says; the steep facets
    # that make the glitter are few. So the sky and land reflect sharper than the sun.
    refl = sample_pyramid(levels, xr, yr, sig_y * ENV_SHARPEN)
    sun = sun_light(xr - SUN_X, yr - SUN_Y, sig_x ** 2, sig_y ** 2)
    vd = (SUN_R * 0.55) ** 2
    disk = 16.0 * np.sqrt(vd * vd / ((vd + sig_x ** 2) * (vd + sig_y ** 2))) * np.exp(
        -0.5 * ((xr - SUN_X) ** 2 / (vd + sig_x ** 2) + (yr - SUN_Y) ** 2 / (vd + sig_y ** 2)))
    refl = refl + sun + disk[..., None] * hexcol("#fff4dc")
    cos_i = np.clip(beta + sz, 0.0, 1.0)
    fres = 0.02 + 0.98 * (1.0 - cos_i) ** 5
    return refl, fres


def sea_colour(x, y, t, mix_t0, levels, footprint_scale=1.0, extra_sz=None, body=None):
    """Radiance of the open sea at screen points (x, y) at animation phase t."""
    sx, sz, vx, vz, beta = wave_slopes(x, y, t, mix_t0, footprint_scale)
    if extra_sz is not None:
        sz = sz + extra_sz
    refl, fres = mirror(x, y, sx, sz, vx, vz, beta, levels)
    if body is None:
        body = BODY * (1.0 + 1.5 * np.exp(-beta / 0.05))[..., None]
    return refl * fres[..., None] + body * (1.0 - fres[..., None])
