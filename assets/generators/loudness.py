"""Loudness and peak of a stereo loop, as a listener hears it played round and round: the music
generator masters its mix with these, and tools/measure-assets.py reports them.

Loudness follows ITU-R BS.1770 (K-weighting, 400 ms blocks every 100 ms, the absolute gate at
-70 LUFS and the relative gate 10 LU below); the blocks and filters wrap round the loop's end.
The true peak is the largest sample after oversampling to 176.4 kHz. Both work on the loop
resampled to 44.1 kHz, the rate the saver's player plays it at.
"""
import numpy as np
from scipy import signal

PLAY_RATE = 44100


def resample_loop(x, up, down=1):
    """Resamples a loop (frames, channels) as a loop: a copy either side gives the filter its
    wrapped context."""
    n = len(x)
    y = signal.resample_poly(np.concatenate([x, x, x]), up, down, axis=0)
    m = n * up // down
    return y[m:2 * m]


def played(x, rate):
    """The loop at the player's rate."""
    return resample_loop(x, PLAY_RATE // rate) if PLAY_RATE % rate == 0 else x


def k_weight(x, fs):
    """The two K-weighting stages (a high shelf, then a high-pass), designed for the rate at
    hand; a second pass over the loop lets the filters settle before the kept one."""
    f0, gain, q = 1681.974450955533, 3.999843853973347, 0.7071752369554196
    k = np.tan(np.pi * f0 / fs)
    vh = 10 ** (gain / 20)
    vb = vh ** 0.4996667741545416
    a0 = 1 + k / q + k * k
    shelf_b = [(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0,
               (vh - vb * k / q + k * k) / a0]
    shelf_a = [1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0]
    f0, q = 38.13547087602444, 0.5003270373238773
    k = np.tan(np.pi * f0 / fs)
    a0 = 1 + k / q + k * k
    high_a = [1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0]
    y = signal.lfilter(shelf_b, shelf_a, np.concatenate([x, x]), axis=0)
    return signal.lfilter([1, -2, 1], high_a, y, axis=0)[len(x):]


def block_loudness(x, fs, block_s=0.4, hop_s=0.1):
    """Loudness (LUFS) of each block of block_s seconds, one every hop_s seconds."""
    z = k_weight(x, fs) ** 2
    block, hop = int(block_s * fs), int(hop_s * fs)
    ring = np.concatenate([z, z[:block]])
    csum = np.concatenate([np.zeros((1, z.shape[1])), np.cumsum(ring, axis=0)])
    starts = np.arange(0, len(z), hop)
    power = ((csum[starts + block] - csum[starts]) / block).sum(axis=1)
    return -0.691 + 10 * np.log10(np.maximum(power, 1e-20))


def integrated(x, fs):
    """Gated loudness of the whole loop in LUFS."""
    blocks = block_loudness(x, fs)
    power = 10 ** ((blocks + 0.691) / 10)
    gated = power[blocks > -70]
    relative = -0.691 + 10 * np.log10(gated.mean()) - 10
    gated = gated[-0.691 + 10 * np.log10(gated) > relative]
    return -0.691 + 10 * np.log10(gated.mean())


def true_peak(x, rate):
    """The largest absolute value of the loop oversampled to 176.4 kHz (or 16x), in dBTP."""
    factor = 4 * PLAY_RATE // rate if PLAY_RATE % rate == 0 else 16
    return 20 * np.log10(np.max(np.abs(resample_loop(x, factor))))
