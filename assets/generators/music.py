#!/usr/bin/env python3
"""Composes the saver's music loop "SoundName": a slowly moving pad, a bell melody answered by a
plucked voice, wind chimes, a gliding bass and an irregular surf, all in one 352,500-sample cycle
at 11,025 Hz that one can leave playing for an hour.

What keeps it listenable for that long: eight chords whose voices move one at a time (the
voicing drifts rather than jumping in blocks), calls and answers placed so that one phrase
runs across the loop point (nothing starts there), chimes at scattered times, and waves of
different sizes at irregular intervals. The treble carries real content (bell partials, chimes,
a breathy high layer, the wash's hiss), kept to 2-3.2 kHz where the codec's predictor costs
least, so the ADPCM codec's flat noise stays about 16 dB below the music in 2-5.5 kHz.

The loop must join without a click, so everything is exactly periodic over the cycle: every
partial completes a whole number of cycles, envelopes and echoes are laid on a circle, noise is
made in the frequency domain and the reverb is a circular convolution. The mix is mastered to
-16 LUFS with its true peak below -1 dBTP, written as 16-bit PCM and handed to sox for
Microsoft ADPCM (2 channels, 512-byte blocks of 500 samples), whose header then gets the
saver's average byte rate.

    music.py [output.wav]    (default: assets/music/SoundName.wav)
"""

import os
import struct
import subprocess
import sys
import tempfile
import wave

import numpy as np
from scipy import signal

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import loudness  # noqa: E402

RATE = 11025
CYCLE = 352500                      # 705 ADPCM blocks of 500 samples
SECONDS = CYCLE / RATE
BEAT = CYCLE / 32                   # 32 slow beats, about one second each
AVG_BYTES_PER_SECOND = 11289        # what the saver's track declares (sox writes 11290)
TARGET_LUFS = -16.0
PEAK_CEILING_DB = -1.3              # true peak of the master; the codec adds a little
# Partials stop here: the codec's noise follows what its predictor cannot foresee, which grows
# steeply toward the top of the band, so content there would bring more hiss than shine.
TREBLE_TOP = 3200.0
AIR_BOTTOM = 1900.0                 # the treble layer's lowest tone, bar one that has no room
n = np.arange(CYCLE, dtype=np.int64)


def note(name):
    """Frequency of a note such as "F#4" (A4 = 440 Hz)."""
    names = {"C": -9, "C#": -8, "D": -7, "D#": -6, "E": -5, "F": -4, "F#": -3, "G": -2,
             "G#": -1, "A": 0, "A#": 1, "B": 2}
    pitch, octave = name[:-1], int(name[-1])
    return 440.0 * 2 ** ((names[pitch] + 12 * (octave - 4)) / 12)


def midi(name):
    return int(round(69 + 12 * np.log2(note(name) / 440.0)))


def cycles(freq):
    """Whole number of cycles per loop nearest to a frequency: the tuning error stays under a
    third of a cent above 50 Hz, and the partial then closes exactly at the loop point."""
    return max(1, int(round(freq * SECONDS)))


def sine(k, idx=n, phase=0.0):
    # (k * idx) mod CYCLE keeps the angle exact over the whole loop, so the last sample leads
    # into the first as smoothly as any other pair.
    return np.sin(2 * np.pi * ((k * idx) % CYCLE) / CYCLE + phase)


def span(start, length):
    """Sample indices of a stretch of the loop, wrapped round its end."""
    return (int(round(start)) + np.arange(int(length))) % CYCLE


def raised_cosine(pos, fade, length):
    """Envelope over positions 0..length + fade: rises over `fade`, holds until `length`,
    falls over `fade`."""
    env = np.clip(pos / fade, 0, 1)
    env = np.minimum(env, np.clip((length + fade - pos) / fade, 0, 1))
    return 0.5 - 0.5 * np.cos(np.pi * env)


def lowpass_gain(freq, corner):
    return 1.0 / (1.0 + (freq / corner) ** 2)


# ---------------------------------------------------------------- harmony

CHORDS = [  # four beats each; the loop starts on the subdominant, in the middle of the cycle
    ["G", "B", "D", "F#"], ["A", "D", "E", "B"], ["F#", "A", "C#", "E"], ["B", "D", "F#", "C#"],
    ["G", "B", "F#", "A"], ["A", "C#", "E", "D"], ["D", "F#", "A", "E"], ["E", "G", "B", "D"],
]
BASS = ["G1", "A1", "F#1", "B1", "G1", "A1", "D2", "E2"]
PAD_START = ["D3", "G3", "B3", "F#4"]
PAD_RANGE = (midi("A2"), midi("A4"))


def voice_leading():
    """Pitches (MIDI) of the four pad voices for each chord: each voice moves to the nearest
    free chord tone, so most changes are a step and some voices hold."""
    pcs = {"C": 0, "C#": 1, "D": 2, "E": 4, "F#": 6, "G": 7, "A": 9, "B": 11}
    current = [midi(name) for name in PAD_START]
    out = []
    for chord in CHORDS:
        tones = [p for p in range(PAD_RANGE[0], PAD_RANGE[1] + 1)
                 if p % 12 in {pcs[c] for c in chord}]
        taken = set()
        nxt = []
        for pitch in current:
            best = min((t for t in tones if t not in taken), key=lambda t: (abs(t - pitch), t))
            taken.add(best)
            nxt.append(best)
        out.append(nxt)
        current = nxt
    return out


def hz(pitch):
    return 440.0 * 2 ** ((pitch - 69) / 12)


def pad_note(freq, start, length, fade, pan, rng):
    """One sustained pad note: a soft, chorused saw-like tone with some air, laid on the loop."""
    idx = span(start, length + fade)
    env = raised_cosine(np.arange(len(idx)), fade, length)
    left = np.zeros(len(idx))
    right = np.zeros(len(idx))
    for h in range(1, 15):
        if freq * h > TREBLE_TOP:
            break
        amp = lowpass_gain(freq * h, 900.0) / h ** 1.1
        for detune, spread in ((-1, -0.3), (0, 0.0), (2, 0.3)):
            s = amp * sine(cycles(freq * h) + detune, idx, rng.uniform(0, 2 * np.pi))
            p = np.clip(pan + spread, 0, 1)
            left += s * (1 - p)
            right += s * p
    return idx, left * env, right * env


def pad():
    """The four voices; a voice whose tone changes crossfades half a beat after the one below,
    so the chord turns over gradually."""
    rng = np.random.default_rng(31)
    left = np.zeros(CYCLE)
    right = np.zeros(CYCLE)
    chords = voice_leading()
    fade = 1.6 * BEAT
    for v in range(4):
        pitches = [chord[v] for chord in chords]
        # Runs of a held pitch are one note; the first run may continue from the last.
        starts = [i for i in range(8) if pitches[i] != pitches[i - 1]]
        assert len(starts) > 1, f"pad voice {v} never moves"
        for j, i in enumerate(starts):
            end = starts[(j + 1) % len(starts)] + (8 if j + 1 == len(starts) else 0)
            begin = (i * 4 + 0.5 * v) * BEAT - fade / 2
            length = (end - i) * 4 * BEAT
            idx, sl, sr = pad_note(hz(pitches[i]), begin, length, fade, 0.2 + 0.2 * v, rng)
            np.add.at(left, idx, sl)
            np.add.at(right, idx, sr)
    breathe = 0.85 + 0.15 * sine(3, phase=np.pi)
    return left * breathe, right * breathe


def breath(freq, seed, width=4.0):
    """A breathy tone: noise gathered within a few hertz of `freq`, so it wavers softly instead
    of whistling; made in the frequency domain, so it repeats exactly over the loop."""
    freqs = np.fft.rfftfreq(CYCLE, 1.0 / RATE)
    rng = np.random.default_rng(seed)
    bins = (rng.standard_normal(freqs.size) + 1j * rng.standard_normal(freqs.size)) \
        * np.exp(-0.5 * ((freqs - freq) / width) ** 2)
    out = np.fft.irfft(bins, CYCLE)
    return out / (np.std(out) * np.sqrt(2))


def shimmer():
    """A high, airy layer: each chord's tones moved up to about 2-3 kHz as breathy tones,
    swelling slowly and at their own pace, so the chord's colour also reaches the treble."""
    rng = np.random.default_rng(37)
    left = np.zeros(CYCLE)
    right = np.zeros(CYCLE)
    fade = 2.0 * BEAT
    for i, chord in enumerate(voice_leading()):
        for v, pitch in enumerate(chord):
            freq = hz(pitch) * 2 ** np.ceil(np.log2(AIR_BOTTOM / hz(pitch)))
            if freq > TREBLE_TOP:
                freq /= 2
            idx = span((i * 4 + 0.7 * v) * BEAT - fade / 2, 4 * BEAT + fade)
            env = raised_cosine(np.arange(len(idx)), fade, 4 * BEAT)
            env *= 0.6 + 0.4 * np.sin(np.pi * np.arange(len(idx)) / len(idx)) ** 2
            pan = 0.15 + 0.7 * rng.uniform()
            left[idx] += breath(freq, 100 + pitch)[idx] * env * (1 - pan)
            right[idx] += breath(freq, 200 + pitch)[idx] * env * pan
    return left, right


def bass():
    out = np.zeros(CYCLE)
    fade = 1.4 * BEAT
    for i, name in enumerate(BASS):
        idx = span(i * 4 * BEAT - fade / 2, 4 * BEAT + fade)
        env = raised_cosine(np.arange(len(idx)), fade, 4 * BEAT)
        k = cycles(note(name))
        out[idx] += env * (sine(k, idx) + 0.3 * sine(2 * k, idx) + 0.1 * sine(3 * k, idx))
    return out


# ---------------------------------------------------------------- melody

# (beat, note, velocity, voice): calls on the bell, answers on the plucked voice. The last
# phrase runs across the loop point, so the loop has no first phrase.
MELODY = [
    (2.0, "F#5", 0.8, "bell"), (3.0, "A5", 0.7, "bell"), (4.5, "E5", 0.85, "bell"),
    (6.5, "D5", 0.45, "pluck"), (7.0, "B4", 0.4, "pluck"), (7.5, "A4", 0.45, "pluck"),
    (10.0, "A5", 0.85, "bell"), (11.0, "B5", 0.7, "bell"), (12.5, "F#5", 0.8, "bell"),
    (13.5, "E5", 0.6, "bell"), (15.0, "C#5", 0.4, "pluck"), (15.5, "A4", 0.45, "pluck"),
    (18.0, "D5", 0.6, "bell"), (19.0, "F#5", 0.55, "bell"), (21.0, "B4", 0.5, "pluck"),
    (22.5, "A5", 0.75, "bell"), (23.5, "F#5", 0.65, "bell"), (24.5, "E5", 0.8, "bell"),
    (26.0, "F#5", 0.35, "pluck"), (26.5, "E5", 0.4, "pluck"), (27.0, "C#5", 0.45, "pluck"),
    (29.5, "B4", 0.6, "bell"), (30.5, "D5", 0.65, "bell"), (31.5, "E4", 0.55, "pluck"),
    (0.25, "F#4", 0.5, "pluck"), (0.75, "A4", 0.45, "pluck"),
]


def bell_tone(freq, length):
    """A soft bell: inharmonic upper partials around 2-4 kHz give it its shine."""
    t = np.arange(length) / RATE
    tone = np.zeros(length)
    for ratio, amp, decay in ((1, 1.0, 2.2), (2, 0.2, 1.1), (3.01, 0.3, 0.7),
                              (4.16, 0.25, 0.5), (5.43, 0.2, 0.35), (6.8, 0.12, 0.25)):
        k = cycles(freq * ratio)
        if k / SECONDS < TREBLE_TOP:
            tone += amp * np.exp(-t / decay) * np.sin(2 * np.pi * k * t / SECONDS)
    return tone * np.minimum(1.0, t / 0.015)


def pluck_tone(freq, length):
    """A plucked string, bright at the attack and mellowing."""
    t = np.arange(length) / RATE
    tone = np.zeros(length)
    for h in range(1, 9):
        k = cycles(freq * h)
        if k / SECONDS < TREBLE_TOP:
            tone += np.exp(-t * (1.2 + 0.9 * h)) / h ** 0.8 * np.sin(2 * np.pi * k * t / SECONDS)
    return tone * np.minimum(1.0, t / 0.010)


def melody():
    """Bells lean right and plucks left, each with its own echo side."""
    bells = np.zeros(CYCLE)
    plucks = np.zeros(CYCLE)
    length = int(4.5 * RATE)
    for beat, name, velocity, voice in MELODY:
        idx = span(beat * BEAT, length)
        if voice == "bell":
            np.add.at(bells, idx, velocity * bell_tone(note(name), length))
        else:
            np.add.at(plucks, idx, velocity * pluck_tone(note(name), length))
    return bells, plucks


CHIME_NOTES = ["D7", "E7", "F#7", "C#7", "B6", "D7", "E7", "F#7"]


def chimes():
    """Wind chimes at scattered times: short, high and quiet, panned about."""
    rng = np.random.default_rng(41)
    left = np.zeros(CYCLE)
    right = np.zeros(CYCLE)
    length = int(1.6 * RATE)
    t = np.arange(length) / RATE
    starts = np.sort(rng.uniform(0, CYCLE, 23))
    for start in starts:
        freq = note(CHIME_NOTES[rng.integers(len(CHIME_NOTES))])
        k = cycles(freq)
        tone = np.exp(-t / rng.uniform(0.25, 0.6)) * np.sin(2 * np.pi * k * t / SECONDS)
        if freq * 2.76 < TREBLE_TOP:
            tone += 0.3 * np.exp(-t / 0.15) * np.sin(2 * np.pi * cycles(freq * 2.76) * t / SECONDS)
        tone *= rng.uniform(0.4, 1.0) * np.minimum(1.0, t / 0.008)
        pan = rng.uniform(0.1, 0.9)
        idx = span(start, length)
        np.add.at(left, idx, tone * (1 - pan))
        np.add.at(right, idx, tone * pan)
    return left, right


# ---------------------------------------------------------------- space

def circular_convolve(sig, response):
    spectrum = np.fft.rfft(sig) * np.fft.rfft(response, CYCLE)
    return np.fft.irfft(spectrum, CYCLE)


def echo_taps(delay_beats, feedback, repeats):
    """Ping-pong echo as two impulse responses: odd repeats on one side, even on the other."""
    first = np.zeros(CYCLE)
    second = np.zeros(CYCLE)
    for r in range(1, repeats + 1):
        pos = int(round(r * delay_beats * BEAT)) % CYCLE
        (first if r % 2 else second)[pos] += feedback ** r
    return first, second


def reverb_response(seconds, seed):
    length = int(seconds * RATE)
    t = np.arange(length) / RATE
    noise = np.random.default_rng(7000 + seed).standard_normal(length)
    # The tail darkens as it decays: a one-pole low-pass whose output is mixed in over time.
    dark = signal.lfilter([0.45], [1, -0.55], noise)
    ir = (noise * np.exp(-t / 0.5) + dark * (1 - np.exp(-t / 0.5))) * np.exp(-t * 6.9 / seconds)
    ir[: int(0.02 * RATE)] = 0.0         # a short pre-delay keeps the notes clear
    return ir / np.sqrt(np.sum(ir ** 2))


# ---------------------------------------------------------------- sea

def periodic_noise(low, high, tilt, seed):
    """Noise that repeats exactly over the loop, between `low` and `high` Hz (soft edges over
    half an octave), falling by `tilt` per octave."""
    freqs = np.fft.rfftfreq(CYCLE, 1.0 / RATE)
    rng = np.random.default_rng(seed)
    bins = rng.standard_normal(freqs.size) + 1j * rng.standard_normal(freqs.size)
    octaves = np.log2(np.maximum(freqs, 1.0))
    edges = np.clip(2 * (octaves - np.log2(low)) + 1, 0, 1) \
        * np.clip(2 * (np.log2(high) - octaves) + 1, 0, 1)
    shape = np.sin(0.5 * np.pi * edges) ** 2 / np.maximum(freqs, low) ** tilt
    out = np.fft.irfft(bins * shape, CYCLE)
    return out / np.std(out)


def wave_envelopes():
    """Seven waves of different sizes at irregular times: the swell of each (the rumble) and
    the wash that follows its break (the hiss)."""
    rng = np.random.default_rng(53)
    gaps = rng.uniform(0.7, 1.3, 7)
    times = np.cumsum(gaps / gaps.sum() * CYCLE) + 0.37 * CYCLE
    swell = np.zeros(CYCLE)
    wash = np.zeros(CYCLE)
    pos = np.arange(int(9 * RATE)) / RATE
    for when, size in zip(times, rng.uniform(0.45, 1.0, 7)):
        rise = rng.uniform(1.6, 2.6)
        shape_swell = np.where(pos < rise, (pos / rise) ** 2, np.exp(-(pos - rise) / 1.1))
        after = np.clip(pos - rise - 0.2, 0, None)
        shape_wash = (1 - np.exp(-after / 0.25)) * np.exp(-after / rng.uniform(1.6, 2.6))
        idx = span(when, len(pos))
        np.add.at(swell, idx, size * shape_swell)
        np.add.at(wash, idx, size * shape_wash)
    return swell, wash


def sea():
    swell, wash = wave_envelopes()
    channels = []
    for seed in (11, 12):
        rumble = periodic_noise(40.0, 300.0, 0.5, seed)
        hiss = periodic_noise(1600.0, 2400.0, 0.0, seed + 10)
        channels.append((0.3 + 0.7 * swell) * rumble * 0.45 + wash * hiss * 1.3)
    return channels


# ---------------------------------------------------------------- mix and master

def mix_dry():
    pad_l, pad_r = pad()
    low = bass()
    bells, plucks = melody()
    chime_l, chime_r = chimes()
    air_l, air_r = shimmer()
    sea_l, sea_r = sea()
    first, second = echo_taps(0.75, 0.4, 6)
    # Bells lean right with their first echo left; plucks the other way round.
    mel_l = 0.5 * bells + 0.75 * plucks + 0.7 * circular_convolve(bells, first) \
        + 0.6 * circular_convolve(plucks, second)
    mel_r = 0.75 * bells + 0.5 * plucks + 0.7 * circular_convolve(bells, second) \
        + 0.6 * circular_convolve(plucks, first)
    pad_norm = 1.0 / np.max(np.abs(pad_l + pad_r))
    dry_l = pad_l * pad_norm * 0.8 + low * 0.08 + mel_l * 0.2 + chime_l * 0.2 + air_l * 0.06 \
        + sea_l * 0.07
    dry_r = pad_r * pad_norm * 0.8 + low * 0.08 + mel_r * 0.2 + chime_r * 0.2 + air_r * 0.06 \
        + sea_r * 0.07
    send_l = pad_l * pad_norm * 0.5 + mel_l * 0.25 + chime_l * 0.08 + air_l * 0.02
    send_r = pad_r * pad_norm * 0.5 + mel_r * 0.25 + chime_r * 0.08 + air_r * 0.02
    return dry_l, dry_r, send_l, send_r


def mix():
    dry_l, dry_r, send_l, send_r = mix_dry()
    rev_l = circular_convolve(send_l, reverb_response(3.4, 1))
    rev_r = circular_convolve(send_r, reverb_response(3.4, 2))
    # Two random responses colour the channels differently; match their loudness.
    rms_l, rms_r = np.sqrt(np.mean(rev_l ** 2)), np.sqrt(np.mean(rev_r ** 2))
    target = np.sqrt((rms_l ** 2 + rms_r ** 2) / 2)
    left = dry_l + rev_l * (target / rms_l) * 0.5
    right = dry_r + rev_r * (target / rms_r) * 0.5
    return master(np.stack([left, right], axis=1))


def limit(x, ceiling):
    """Lowers the gain smoothly (about 20 ms either side, wrapping) wherever a peak would pass
    the ceiling."""
    over = np.max(np.abs(x), axis=1) / ceiling
    need = np.maximum(over, 1.0)
    width = int(0.02 * RATE)
    ring = np.concatenate([need[-width:], need, need[:width]])
    held = np.lib.stride_tricks.sliding_window_view(ring, 2 * width + 1).max(axis=1)
    window = np.hanning(2 * width + 3)[1:-1]
    smooth = np.convolve(np.concatenate([held[-width:], held, held[:width]]),
                         window / window.sum(), mode="valid")
    return x / np.maximum(smooth, 1.0)[:, None]


def master(x):
    """Gain to the target loudness, a gentle limit on the peaks, and again."""
    for _ in range(3):
        x = x * 10 ** ((TARGET_LUFS - loudness.integrated(loudness.played(x, RATE),
                                                             loudness.PLAY_RATE)) / 20)
        if loudness.true_peak(x, RATE) <= PEAK_CEILING_DB:
            break
        x = limit(x, 10 ** ((PEAK_CEILING_DB - 0.4) / 20))
    return x[:, 0], x[:, 1]


def write_pcm(path, left, right):
    frames = np.empty(CYCLE * 2, dtype="<i2")
    frames[0::2] = np.round(np.clip(left, -1, 1) * 32767).astype(np.int16)
    frames[1::2] = np.round(np.clip(right, -1, 1) * 32767).astype(np.int16)
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
