#!/usr/bin/python3
"""Figures of the built-in music and flyers, for judging a new mix or a repainted gull by number
as well as by ear and eye.

The music loop (assets/music/SoundName.wav, decoded with sox, looped and resampled to 44.1 kHz
as the player plays it):
  - integrated loudness (ITU-R BS.1770 K-weighting, 400 ms gated blocks) in LUFS;
  - true peak (16x oversampled) in dBTP;
  - the share of energy below 250 Hz, 250 Hz-2 kHz and 2-5.5 kHz;
  - the signal-to-codec-noise ratio in 2-5.5 kHz: the generator's 16-bit master (rebuilt by
    importing assets/generators/music.py) against what the ADPCM decoder returns;
  - the loop's self-similarity, from the cosine similarity of 1/3-octave spectra (0.5 s frames,
    mean removed): each frame's best match at least 4 s away, averaged, and the similarity
    averaged along the most alike lag of 4 to 16 s;
  - the short-term loudness (3 s) at the loop's start against the loop's median 3 s, and of
    its loudest 3 s (does the start stand out).
The pictures:
  - the gulls' contrast with the sky near the sun and with the sea they cross, as ratios of
    relative luminance (L + 0.05); the gull's figure is the median of its opaque pixels over
    every heading, the sky's the mean of the background within 35-110 px of the sun;
  - how still the sand is: the difference between neighbouring frames of the near strip (KMV1)
    over dry sand;
  - how the sea's motion grows toward the viewer: per 8-row band from row 319 down, across the
    whole width, the mean difference between neighbouring frames as the saver shows them (each
    strip's frame k against frame k + 1 over the still background, which never changes), and
    the largest step between neighbouring bands, anywhere and in the open water above the surf;
  - how fine the still far water is: the mean luma step (of 255) between vertically neighbouring
    pixels of the rows no strip covers (384-477), away from the sun's path, and the mean level
    of the sun's path there.

    tools/measure-assets.py [--no-master] [--track FILE] [--pictures]
      --no-master skips rebuilding the mix (no signal-to-codec-noise figure); --track measures
      another encoding of the generator's current mix; --pictures measures only the pictures.
"""
import argparse
import os
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "assets", "generators"))

import loudness  # noqa: E402 (the generators' own measure, which masters the mix)

TRACK = os.path.join(ROOT, "assets", "music", "SoundName.wav")
PICTURES = os.path.join(ROOT, "assets", "pictures")
SUN_X, SUN_Y, HORIZON = 668, 291, 356


# ---------------------------------------------------------------- sound

def decode(path):
    """The track's samples as floats in -1..1, (frames, 2), and its rate."""
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "pcm.raw")
        subprocess.run(["sox", path, "-t", "raw", "-e", "signed", "-b", "16", raw], check=True)
        rate = int(subprocess.run(["soxi", "-r", path], check=True, capture_output=True,
                                  text=True).stdout)
        pcm = np.fromfile(raw, "<i2").reshape(-1, 2).astype(np.float64) / 32768.0
    return pcm, rate


def band_shares(x, fs, edges=(0, 250, 2000, 5500)):
    spec = np.abs(np.fft.rfft(x, axis=0)) ** 2
    freqs = np.fft.rfftfreq(len(x), 1 / fs)
    total = spec.sum()
    return [spec[(freqs >= lo) & (freqs < hi)].sum() / total for lo, hi in zip(edges, edges[1:])]


def band_power(x, fs, lo, hi):
    spec = np.abs(np.fft.rfft(x, axis=0)) ** 2
    freqs = np.fft.rfftfreq(len(x), 1 / fs)
    return spec[(freqs >= lo) & (freqs < hi)].sum()


def master():
    """The generator's mix as the 16-bit samples it hands to the ADPCM encoder."""
    import music  # noqa: E402 (the generator, imported only for this figure)
    left, right = music.mix()
    pcm = np.stack([left, right], axis=1)
    return np.round(pcm * 32767).astype(np.int16) / 32768.0


def third_octave_frames(x, fs, frame_s=0.5):
    mono = x.mean(axis=1)
    frame = int(frame_s * fs)
    count = len(mono) // frame
    spec = np.abs(np.fft.rfft(mono[:count * frame].reshape(count, frame) * np.hanning(frame),
                              axis=1)) ** 2
    freqs = np.fft.rfftfreq(frame, 1 / fs)
    edges = 50 * 2 ** (np.arange(0, 23) / 3)
    bands = np.stack([spec[:, (freqs >= lo) & (freqs < hi)].sum(axis=1)
                      for lo, hi in zip(edges, edges[1:]) if hi < fs / 2], axis=1)
    feat = np.log10(bands + 1e-9)
    feat -= feat.mean(axis=0)
    return feat / np.linalg.norm(feat, axis=1, keepdims=True), frame_s


def self_similarity(x, fs):
    """How much the loop repeats itself: for each half second, its likeness to the most alike
    half second at least 4 s away (averaged), and the likeness averaged along the most alike
    lag (a loop built of repeated blocks scores high on both)."""
    feat, frame_s = third_octave_frames(x, fs)
    n = len(feat)
    sim = feat @ feat.T
    apart = int(4 / frame_s)
    ring = np.abs((np.arange(n)[:, None] - np.arange(n)[None, :] + n // 2) % n - n // 2)
    best_match = np.where(ring >= apart, sim, -1).max(axis=1).mean()
    # Lag L and the loop's length less L pair the same frames.
    by_lag = [np.mean([sim[i, (i + lag) % n] for i in range(n)]) for lag in range(apart, n // 2 + 1)]
    best = int(np.argmax(by_lag))
    return best_match, by_lag[best], (best + apart) * frame_s


def sound_figures(track, use_master):
    pcm, rate = decode(track)
    played = loudness.played(pcm, rate)
    fs = len(played) * rate // len(pcm)
    short = loudness.block_loudness(played, fs, block_s=3.0, hop_s=0.5)
    shares = band_shares(pcm, rate)
    print(f"music: {track} ({len(pcm)} frames at {rate} Hz)")
    print(f"  loudness            {loudness.integrated(played, fs):6.1f} LUFS")
    print(f"  true peak           {loudness.true_peak(pcm, rate):6.1f} dBTP")
    for name, share in zip(("below 250 Hz", "250 Hz-2 kHz", "2-5.5 kHz"), shares):
        print(f"  energy {name:13s}{10 * np.log10(share):6.1f} dB  ({100 * share:5.2f} %)")
    if use_master:
        clean = master()
        noise = pcm - clean
        for lo, hi in ((2000, 5500), (2000, 4000), (4000, 5500)):
            snr = 10 * np.log10(band_power(clean, rate, lo, hi) / band_power(noise, rate, lo, hi))
            print(f"  signal to codec noise {lo / 1000:g}-{hi / 1000:g} kHz {snr:6.1f} dB")
    match, best, lag = self_similarity(pcm, rate)
    print(f"  self-similarity     best match 4 s or more away {match:.2f}; "
          f"along the most alike lag ({lag:.1f} s) {best:.2f}")
    print(f"  loop start (3 s)    {short[0] - np.median(short):+5.1f} LU against the median "
          f"(loudest 3 s: {short.max() - np.median(short):+.1f} LU)")


# ---------------------------------------------------------------- pictures

def luminance(rgb8):
    c = np.asarray(rgb8, dtype=np.float64) / 255.0
    lin = np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)
    return lin @ np.array([0.2126, 0.7152, 0.0722])


def ratio(a, b):
    return (max(a, b) + 0.05) / (min(a, b) + 0.05)


def picture_figures():
    background = np.asarray(Image.open(os.path.join(PICTURES, "KIM1.jpg")).convert("RGB"))
    lum = luminance(background)
    ys, xs = np.mgrid[0:lum.shape[0], 0:lum.shape[1]]
    dist = np.hypot(xs - SUN_X, ys - SUN_Y)
    sky = lum[(dist >= 35) & (dist <= 110) & (ys < HORIZON - 2)].mean()
    sea = lum[(ys > HORIZON + 10) & (ys < 470) & (xs > 380) & (xs < 1000)
              & (np.abs(xs - SUN_X) > 60)].mean()
    print(f"flyers: sky near the sun L = {sky:.3f}, sea they cross L = {sea:.3f}")
    for name, height in (("KMV3SG", 44), ("KMV3SGsmall", 24)):
        strip = Image.open(os.path.join(PICTURES, name + ".bmp"))
        index = np.asarray(strip)
        rgb = np.asarray(strip.convert("RGB"))
        opaque = index != 0
        gull = luminance(rgb[opaque])
        body = float(np.median(gull))
        rim = float(np.percentile(gull, 95))
        print(f"  {name:12s} body L = {body:.3f} (95th percentile {rim:.3f}): "
              f"{ratio(body, sky):.2f} : 1 against the sky near the sun, "
              f"{ratio(body, sea):.2f} : 1 against the sea, rims {ratio(rim, sea):.2f} : 1")


def sand_figures():
    """How still the sand is: the difference between neighbouring frames of the near strip
    over dry sand (screen rows 681-750, columns 300-849)."""
    strip = np.asarray(Image.open(os.path.join(PICTURES, "KMV1.jpg")).convert("RGB"))
    frames = strip.reshape(-1, 217, strip.shape[1], 3)[:, 130:200, 300:850].astype(np.int64)
    diff = np.abs(frames - np.roll(frames, 1, axis=0)).max(axis=3)
    print(f"sand: difference between neighbouring frames mean {diff.mean():.2f}, "
          f"99th percentile {np.percentile(diff, 99):.0f}, largest {diff.max()} (of 255)")


# (strip, column, row, frame height) of the scenery strips on the screen.
SCENERY = (("KMV3", 0, 319, 65), ("KMV2", 299, 478, 73), ("KMV1", 0, 551, 217))
MOTION_ROWS = (319, 768)
STILL_ROWS = (384, 478)


def motion_figures():
    """The motion profile of the sea, band by band, and the texture of the water that never moves."""
    step = np.zeros((768, 1024))
    for name, x0, y0, h in SCENERY:
        strip = np.asarray(Image.open(os.path.join(PICTURES, name + ".jpg")).convert("RGB"))
        frames = strip.reshape(-1, h, strip.shape[1], 3).astype(np.int16)
        for k in range(len(frames)):
            step[y0:y0 + h, x0:x0 + strip.shape[1]] += \
                np.abs(frames[(k + 1) % len(frames)] - frames[k]).mean(axis=2) / len(frames)
    top, bottom = MOTION_ROWS
    bands = np.array([step[y:y + 8].mean() for y in range(top, bottom - 7, 8)])
    print("sea motion: mean difference between neighbouring frames (of 255), per 8-row band")
    for i, value in enumerate(bands):
        print(f"  rows {top + 8 * i:3d}-{top + 8 * i + 7:3d} {value:6.2f} {'#' * int(round(value * 10))}")
    jumps = np.abs(np.diff(bands))
    # The surf's breaking line is a step of its own; the open water ends above it.
    for name, last in (("anywhere", len(jumps)), ("in the open water (above row 599)", (599 - top) // 8 - 1)):
        worst = int(np.argmax(jumps[:last]))
        print(f"  largest step between neighbouring bands {name}: {jumps[worst]:.2f}, "
              f"at row {top + 8 * (worst + 1)}")
    background = np.asarray(Image.open(os.path.join(PICTURES, "KIM1.jpg")).convert("RGB"))
    band = background[STILL_ROWS[0]:STILL_ROWS[1]] @ np.array([0.299, 0.587, 0.114])
    away = np.abs(np.arange(band.shape[1]) - SUN_X) > 70
    texture = np.abs(np.diff(band, axis=0))[:, away].mean()
    path = band[:, np.abs(np.arange(band.shape[1]) - SUN_X) <= 25].mean()
    print(f"still water (rows {STILL_ROWS[0]}-{STILL_ROWS[1] - 1}): mean step between neighbouring rows "
          f"{texture:.2f} levels of luma, the sun's path's mean luma {path:.1f}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--no-master", action="store_true", help="skip the signal-to-codec-noise figure")
    ap.add_argument("--track", default=TRACK, help="another encoding of the same mix")
    ap.add_argument("--pictures", action="store_true", help="measure only the pictures")
    args = ap.parse_args()
    if not args.pictures:
        sound_figures(args.track, not args.no_master)
    picture_figures()
    sand_figures()
    motion_figures()


if __name__ == "__main__":
    main()
