#!/usr/bin/env python3
"""Composes the saver's music loop "SoundName": slow pads over four chords, a soft bell melody
with a ping-pong echo, a low bass and the sea, all in one 352,500-sample cycle at 11,025 Hz.

The loop must join without a click, so everything is exactly periodic over the cycle: every
partial and every modulation completes a whole number of cycles, note envelopes and echoes are
laid on a circle, and the reverb is a circular convolution (tails of the last bar ring into the
first). The mix is written as 16-bit PCM and handed to sox for Microsoft ADPCM (2 channels,
512-byte blocks of 500 samples), whose header then gets the saver's average byte rate.

    music.py [output.wav]    (default: assets/music/SoundName.wav)
"""

import os
import struct
import subprocess
import sys
import tempfile
import wave

import numpy as np

RATE = 11025
CYCLE = 352500                      # 705 ADPCM blocks of 500 samples
SECONDS = CYCLE / RATE
BEAT = CYCLE / 32                   # 32 slow beats, about one second each
AVG_BYTES_PER_SECOND = 11289        # what the saver's track declares (sox writes 11290)
rng = np.random.default_rng(20261208)
n = np.arange(CYCLE, dtype=np.int64)


def note(name):
    """Frequency of a note such as "F#4" (A4 = 440 Hz)."""
    names = {"C": -9, "C#": -8, "D": -7, "D#": -6, "E": -5, "F": -4, "F#": -3, "G": -2,
             "G#": -1, "A": 0, "A#": 1, "B": 2}
    pitch, octave = name[:-1], int(name[-1])
    return 440.0 * 2 ** ((names[pitch] + 12 * (octave - 4)) / 12)


def cycles(freq):
    """Whole number of cycles per loop nearest to a frequency: the tuning error stays under a
    third of a cent above 50 Hz, and the partial then closes exactly at the loop point."""
    return max(1, int(round(freq * SECONDS)))


def sine(k, phase=0.0):
    # (k * n) mod CYCLE keeps the angle exact over the whole loop, so the last sample leads
    # into the first as smoothly as any other pair.
    return np.sin(2 * np.pi * ((k * n) % CYCLE) / CYCLE + phase)


def circular_window(start, length, fade):
    """Envelope that rises over `fade` samples at `start`, holds, and falls over `fade` samples
    at start + length, wrapped around the loop."""
    pos = (n - start) % CYCLE
    env = np.zeros(CYCLE)
    rise = pos < fade
    env[rise] = 0.5 - 0.5 * np.cos(np.pi * pos[rise] / fade)
    hold = (pos >= fade) & (pos < length)
    env[hold] = 1.0
    fall = (pos >= length) & (pos < length + fade)
    env[fall] = 0.5 + 0.5 * np.cos(np.pi * (pos[fall] - length) / fade)
    return env


def lowpass_gain(freq, corner):
    return 1.0 / (1.0 + (freq / corner) ** 2)


CHORDS = [  # two bars each
    ["D3", "A3", "E4", "F#4", "C#5"],
    ["B2", "F#3", "A3", "D4", "E4"],
    ["G2", "D3", "B3", "F#4", "A4"],
    ["A2", "E3", "B3", "D4", "E4"],
]
BASS = ["D2", "B1", "G1", "A1"]


def pad():
    left = np.zeros(CYCLE)
    right = np.zeros(CYCLE)
    span = CYCLE // len(CHORDS)
    fade = int(2.2 * RATE)
    for i, chord in enumerate(CHORDS):
        env = circular_window(i * span - fade // 2, span, fade)
        voice_l = np.zeros(CYCLE)
        voice_r = np.zeros(CYCLE)
        for name in chord:
            f = note(name)
            for h in range(1, 7):
                amp = lowpass_gain(f * h, 900.0) / h ** 1.3
                base = cycles(f * h)
                # Three voices a cycle or two apart per loop: a chorus that beats over seconds.
                for detune, pan in ((-1, 0.2), (0, 0.5), (2, 0.8)):
                    s = amp * sine(base + detune, rng.uniform(0, 2 * np.pi))
                    voice_l += s * (1 - pan)
                    voice_r += s * pan
        left += voice_l * env
        right += voice_r * env
    breathe = 0.85 + 0.15 * sine(4, 1.0)
    return left * breathe, right * breathe


def bass():
    out = np.zeros(CYCLE)
    span = CYCLE // len(BASS)
    fade = int(1.5 * RATE)
    for i, name in enumerate(BASS):
        env = circular_window(i * span - fade // 4, span - fade // 2, fade)
        k = cycles(note(name))
        out += env * (sine(k) + 0.25 * sine(2 * k) + 0.08 * sine(3 * k))
    return out


MELODY = [  # (beat, note, velocity): sparse, so the loop still breathes after an hour
    (0.0, "F#5", 1.0), (2.0, "E5", 0.75), (3.0, "A4", 0.85),
    (8.0, "D5", 0.9), (10.0, "F#5", 0.8), (12.0, "E5", 0.85),
    (16.0, "B4", 0.9), (18.0, "D5", 0.75), (20.0, "F#5", 0.85), (22.0, "E5", 0.6),
    (24.0, "E5", 0.85), (26.5, "A4", 0.65), (28.0, "B4", 0.75), (30.0, "A4", 0.6),
]


def bell_tone(freq, length):
    t = np.arange(length) / RATE
    attack = np.minimum(1.0, t / 0.012)
    tone = np.zeros(length)
    for ratio, amp, decay in ((1, 1.0, 1.9), (2, 0.32, 0.9), (3, 0.10, 0.5), (4, 0.05, 0.3)):
        k = cycles(freq * ratio)
        tone += amp * np.exp(-t / decay) * np.sin(2 * np.pi * k * t / SECONDS)
    return tone * attack


def melody():
    out = np.zeros(CYCLE)
    length = int(5.0 * RATE)
    for beat, name, velocity in MELODY:
        start = int(round(beat * BEAT))
        idx = (start + np.arange(length)) % CYCLE
        np.add.at(out, idx, velocity * bell_tone(note(name), length))
    return out


def circular_convolve(signal, response):
    spectrum = np.fft.rfft(signal) * np.fft.rfft(response, CYCLE)
    return np.fft.irfft(spectrum, CYCLE)


def echo_taps(delay_beats, feedback, repeats):
    """Ping-pong echo as two impulse responses: odd repeats on the left, even on the right."""
    left = np.zeros(CYCLE)
    right = np.zeros(CYCLE)
    for r in range(1, repeats + 1):
        pos = int(round(r * delay_beats * BEAT)) % CYCLE
        (left if r % 2 else right)[pos] += feedback ** r
    return left, right


def reverb_response(seconds, seed_offset):
    length = int(seconds * RATE)
    t = np.arange(length) / RATE
    local = np.random.default_rng(7000 + seed_offset)
    noise = local.standard_normal(length)
    # Darker tail: a gentle one-pole smoothing of the noise.
    smoothed = np.zeros(length)
    acc = 0.0
    for i in range(0, length, 1):
        acc = 0.55 * acc + 0.45 * noise[i]
        smoothed[i] = acc
    ir = smoothed * np.exp(-t * 6.9 / seconds)
    ir[: int(0.02 * RATE)] = 0.0         # a short pre-delay keeps the notes clear
    return ir / np.sqrt(np.sum(ir ** 2))


def sea():
    """Surf: coloured noise made in the frequency domain (so it repeats exactly), swelling in
    five waves per loop, with the hiss of the wash rising after each wave's peak."""
    freqs = np.fft.rfftfreq(CYCLE, 1.0 / RATE)

    def band(corner, tilt, seed):
        local = np.random.default_rng(seed)
        bins = (local.standard_normal(freqs.size) + 1j * local.standard_normal(freqs.size))
        shape = lowpass_gain(freqs, corner) / np.maximum(freqs, 20.0) ** tilt
        shape[0] = 0.0
        out = np.fft.irfft(bins * shape, CYCLE)
        return out / np.std(out)

    phase = 2 * np.pi * ((5 * n) % CYCLE) / CYCLE
    swell = (0.5 - 0.5 * np.cos(phase)) ** 2
    wash = (0.5 - 0.5 * np.cos(phase - 0.9)) ** 3
    slow = 0.8 + 0.2 * sine(3, 0.4)
    channels = []
    for seed in (11, 12):
        rumble = band(350.0, 0.5, seed)
        hiss = band(2400.0, 0.2, seed + 10)
        channels.append(slow * (0.25 + 0.75 * swell) * rumble * 0.6 + wash * hiss * 0.35)
    return channels


def mix():
    pad_l, pad_r = pad()
    low = bass()
    bell = melody()
    echo_l, echo_r = echo_taps(0.75, 0.42, 6)
    # The first echo goes left, so the dry bell leans right to keep the image centred.
    bell_l = bell * 0.54 + circular_convolve(bell, echo_l) * 0.8
    bell_r = bell * 0.7 + circular_convolve(bell, echo_r) * 0.8
    sea_l, sea_r = sea()

    pad_norm = 1.0 / np.max(np.abs(pad_l + pad_r))
    dry_l = pad_l * pad_norm * 0.9 + low * 0.09 + bell_l * 0.2 + sea_l * 0.08
    dry_r = pad_r * pad_norm * 0.9 + low * 0.09 + bell_r * 0.2 + sea_r * 0.08
    rev_l = circular_convolve(pad_l * pad_norm * 0.6 + bell_l * 0.22, reverb_response(3.2, 1))
    rev_r = circular_convolve(pad_r * pad_norm * 0.6 + bell_r * 0.22, reverb_response(3.2, 2))
    # Two random responses colour the channels differently; match their loudness.
    rms_l, rms_r = np.sqrt(np.mean(rev_l ** 2)), np.sqrt(np.mean(rev_r ** 2))
    target = np.sqrt((rms_l ** 2 + rms_r ** 2) / 2)
    rev_l, rev_r = rev_l * (target / rms_l), rev_r * (target / rms_r)
    left = dry_l + rev_l * 0.55
    right = dry_r + rev_r * 0.55
    peak = max(np.max(np.abs(left)), np.max(np.abs(right)))
    return left * (0.7 / peak), right * (0.7 / peak)


def write_pcm(path, left, right):
    frames = np.empty(CYCLE * 2, dtype="<i2")
    frames[0::2] = np.round(left * 32767).astype(np.int16)
    frames[1::2] = np.round(right * 32767).astype(np.int16)
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames.tobytes())


def fix_header(path):
    """sox states 11,290 average bytes per second; the saver's track declares 11,289."""
    with open(path, "r+b") as f:
        data = bytearray(f.read())
        if data[12:16] != b"fmt " or struct.unpack_from("<H", data, 20)[0] != 2:
            raise SystemExit("sox did not write a Microsoft ADPCM file")
        struct.pack_into("<I", data, 28, AVG_BYTES_PER_SECOND)
        f.seek(0)
        f.write(data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "music", "SoundName.wav")
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    left, right = mix()
    with tempfile.TemporaryDirectory() as tmp:
        pcm = os.path.join(tmp, "loop.wav")
        write_pcm(pcm, left, right)
        subprocess.run(["sox", "-D", pcm, "-e", "ms-adpcm", out], check=True)
    fix_header(out)
    size = os.path.getsize(out)
    if size != 361050:
        raise SystemExit(f"{out}: {size} bytes, expected 361050")


if __name__ == "__main__":
    main()
