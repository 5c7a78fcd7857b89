"""Shared helpers of the picture generators: colour conversion, seeded noise, blurring,
sampling and the JPEG writer of the scene pictures (bitmaps go through bmp8.py).

Everything here is deterministic: noise comes from numpy generators with fixed seeds, and
the writers produce the same bytes for the same pixels, so rerunning a generator
reproduces its committed output exactly.
"""
import os

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = os.path.normpath(os.path.join(HERE, "..", "pictures"))


# ---------------------------------------------------------------- colour

def srgb_to_linear(c):
    c = np.asarray(c, dtype=np.float64)
    return np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)


def linear_to_srgb(c):
    c = np.clip(c, 0.0, 1.0)
    return np.where(c <= 0.0031308, c * 12.92, 1.055 * np.power(c, 1 / 2.4) - 0.055)


def hexcol(h):
    """A '#rrggbb' colour as a linear-light RGB triple."""
    h = h.lstrip("#")
    return srgb_to_linear([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)])


def tonemap(rgb):
    """Compresses the highlights (sun, glints) smoothly instead of clipping them flat."""
    knee = 0.72
    over = np.maximum(rgb - knee, 0.0)
    soft = knee + (1.0 - knee) * (1.0 - np.exp(-over / (1.0 - knee)))
    return np.where(rgb > knee, soft, rgb)


def to_bytes(rgb_linear, dither):
    """Linear float RGB to 8-bit sRGB; `dither` (same shape, about +-1) breaks up banding."""
    s = linear_to_srgb(tonemap(rgb_linear)) * 255.0 + dither
    return np.clip(np.floor(s + 0.5), 0, 255).astype(np.uint8)


def mix(a, b, t):
    """Blends colours or values; a scalar-per-pixel `t` is broadcast over colour channels."""
    a = np.asarray(a)
    b = np.asarray(b)
    t = np.asarray(t, dtype=np.float64)
    colour = (a.ndim and a.shape[-1] == 3) or (b.ndim and b.shape[-1] == 3)
    if colour and t.ndim and t.shape[-1] != 3:
        t = t[..., None]
    return a + (b - a) * t


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def gradient(stops, t):
    """Piecewise-linear colour ramp: `stops` is [(position, rgb), ...] in increasing order."""
    t = np.asarray(t, dtype=np.float64)
    pos = np.array([p for p, _ in stops])
    cols = np.array([c for _, c in stops])
    out = np.empty(t.shape + (3,))
    for ch in range(3):
        out[..., ch] = np.interp(t, pos, cols[:, ch])
    return out


# ---------------------------------------------------------------- noise

def spectral_noise(h, w, seed, beta=2.0, stretch=(1.0, 1.0), largest=256.0, smallest=1.0):
    """Tileable fractal noise with a power-law spectrum, normalised to zero mean and unit
    deviation. `stretch` = (sx, sy) lengthens the features along x or y; `largest` and
    `smallest` bound the feature sizes in pixels (before stretching)."""
    rng = np.random.default_rng(seed)
    white = rng.standard_normal((h, w))
    fy = np.fft.fftfreq(h)[:, None] * stretch[1]
    fx = np.fft.rfftfreq(w)[None, :] * stretch[0]
    r = np.maximum(np.sqrt(fx * fx + fy * fy), 1.0 / largest)
    spectrum = np.fft.rfft2(white) * r ** (-beta / 2.0) * np.exp(-(r * smallest) ** 2)
    spectrum[0, 0] = 0.0
    out = np.fft.irfft2(spectrum, s=(h, w))
    return (out - out.mean()) / (out.std() + 1e-12)


def noise1d(n, seed, beta=2.0, lowcut=1.0):
    rng = np.random.default_rng(seed)
    white = rng.standard_normal(n)
    f = np.maximum(np.fft.rfftfreq(n) * n, lowcut)
    spectrum = np.fft.rfft(white) * f ** (-beta / 2.0)
    spectrum[0] = 0.0
    out = np.fft.irfft(spectrum, n=n)
    return (out - out.mean()) / (out.std() + 1e-12)


def triangular_dither(h, w, seed):
    rng = np.random.default_rng(seed)
    return (rng.random((h, w, 1)) - rng.random((h, w, 1))) * 1.0


# ---------------------------------------------------------------- filtering and sampling

def blur(img, sigma):
    """Gaussian blur through the FFT, with edge padding so borders do not wrap."""
    if sigma <= 0:
        return img.copy()
    pad = int(3 * sigma) + 1
    widths = [(pad, pad), (pad, pad)] + [(0, 0)] * (img.ndim - 2)
    p = np.pad(img, widths, mode="edge")
    h, w = p.shape[:2]
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.rfftfreq(w)[None, :]
    g = np.exp(-2.0 * (np.pi * sigma) ** 2 * (fx * fx + fy * fy))
    if img.ndim == 3:
        g = g[..., None]
        out = np.fft.irfft2(np.fft.rfft2(p, axes=(0, 1)) * g, s=(h, w), axes=(0, 1))
    else:
        out = np.fft.irfft2(np.fft.rfft2(p) * g, s=(h, w))
    return out[pad:pad + img.shape[0], pad:pad + img.shape[1]]


def bilinear(img, x, y):
    """Samples `img` (h, w[, c]) at float pixel coordinates, clamping at the borders."""
    h, w = img.shape[:2]
    x = np.clip(x, 0.0, w - 1.001)
    y = np.clip(y, 0.0, h - 1.001)
    x0 = np.floor(x).astype(np.int64)
    y0 = np.floor(y).astype(np.int64)
    fx = x - x0
    fy = y - y0
    if img.ndim == 3:
        fx = fx[..., None]
        fy = fy[..., None]
    a = img[y0, x0]
    b = img[y0, x0 + 1]
    c = img[y0 + 1, x0]
    d = img[y0 + 1, x0 + 1]
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy


def downsample(img, f):
    """Box-filters an image whose size is a multiple of `f`."""
    h, w = img.shape[:2]
    shp = (h // f, f, w // f, f) + img.shape[2:]
    return img.reshape(shp).mean(axis=(1, 3))


# ---------------------------------------------------------------- writers

def save_jpeg(path, rgb8, quality=91):
    """Baseline (not progressive) three-component JPEG."""
    Image.fromarray(rgb8, "RGB").save(path, "JPEG", quality=quality, subsampling=0,
                                      optimize=False, progressive=False)
