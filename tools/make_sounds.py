#!/usr/bin/python3
"""Synthesises the game's eight sound cues as 8-bit mono 22050 Hz WAV files.

Usage: /usr/bin/python3 tools/make_sounds.py [OUTPUT_DIR]   (default: resources/ beside tools/)

Every file has a fixed byte size, so each cue is rendered to an exact sample
count; the output is deterministic (all noise comes from fixed seeds).
"""

import os
import struct
import sys

import numpy as np

RATE = 22050
HEADER_BYTES = 58  # RIFF/WAVE 12 + "fmt " 8+18 + "fact" 8+4 + "data" 8

# Whole-file byte sizes; the resource loader and the player rely on them.
FILE_BYTES = {
    "bomb": 12998,
    "flag": 1426,
    "menu": 4654,
    "ok": 22064,
    "open": 1552,
    "over": 22064,
    "start": 4486,
    "time": 1134,
}

# Note frequencies in Hz (equal temperament, A4 = 440).
NOTE = {
    "C4": 261.63, "E4": 329.63, "F4": 349.23, "F#4": 369.99, "G4": 392.00,
    "A4": 440.00, "C5": 523.25, "E5": 659.26, "G5": 783.99, "A5": 880.00,
    "C6": 1046.50, "E6": 1318.51,
}


def sample_count(name):
    count = FILE_BYTES[name] - HEADER_BYTES
    # An odd data chunk would need a pad byte and break the fixed file size.
    assert count > 0 and count % 2 == 0, (name, count)
    return count


def timeline(n):
    return np.arange(n) / RATE


def ramp(n, fade_in, fade_out):
    """Raised-cosine fade-in and fade-out (in seconds) that are exactly 0 at both ends."""
    env = np.ones(n)
    a = max(2, int(round(fade_in * RATE)))
    b = max(2, int(round(fade_out * RATE)))
    env[:a] = 0.5 - 0.5 * np.cos(np.pi * np.arange(a) / a)
    env[n - b:] = 0.5 + 0.5 * np.cos(np.pi * (np.arange(b) + 1) / b)
    env[0] = 0.0
    env[-1] = 0.0
    return env


def sweep_phase(freq):
    """Phase of an oscillator whose frequency (per sample, Hz) may glide."""
    return 2.0 * np.pi * np.cumsum(freq) / RATE


def harmonic_tone(phase, freq_max, weights):
    """Sum of harmonics of the given weights, dropping any above 10 kHz to avoid aliasing."""
    out = np.zeros_like(phase)
    for k, w in enumerate(weights, start=1):
        if k * freq_max < 10000.0:
            out += w * np.sin(k * phase)
    return out


def one_pole_lowpass(x, cutoff):
    """One-pole low-pass filter with a per-sample cutoff in Hz."""
    coef = 1.0 - np.exp(-2.0 * np.pi * np.asarray(cutoff, dtype=float) / RATE)
    coef = np.broadcast_to(coef, x.shape)
    y = np.empty_like(x)
    state = 0.0
    for i in range(len(x)):
        state += coef[i] * (x[i] - state)
        y[i] = state
    return y


def note(n, start, length, freq, weights, attack=0.004, release=0.012, decay=None,
         vibrato=0.0, vib_rate=5.5, droop=0.0):
    """One enveloped note placed into a buffer of n samples."""
    out = np.zeros(n)
    s = int(round(start * RATE))
    m = min(int(round(length * RATE)), n - s)
    t = timeline(m)
    f = freq * (1.0 + vibrato * np.sin(2.0 * np.pi * vib_rate * t) * np.clip(t / 0.15, 0.0, 1.0))
    if droop:
        # Pitch sags over the second half of the note.
        f *= 1.0 - droop * np.clip((t - length * 0.5) / (length * 0.5), 0.0, 1.0) ** 2
    tone = harmonic_tone(sweep_phase(f), float(np.max(f)), weights)
    env = ramp(m, attack, release)
    if decay:
        env *= np.exp(-t / decay)
    out[s:s + m] = tone * env
    return out


# --- the cues -------------------------------------------------------------

def make_open(n, rng):
    """Soft pop: a sine dropping quickly in pitch, with a breath of filtered noise."""
    t = timeline(n)
    freq = 260.0 + 640.0 * np.exp(-t / 0.010)
    body = np.sin(sweep_phase(freq)) + 0.25 * np.sin(2.0 * sweep_phase(freq))
    body *= np.exp(-t / 0.014)
    puff = one_pole_lowpass(rng.standard_normal(n), 2500.0) * np.exp(-t / 0.003)
    return (body + 0.5 * puff) * ramp(n, 0.0015, 0.010)


def make_time(n, rng):
    """Short tick: a woodblock-like click of two damped high partials."""
    t = timeline(n)
    x = (np.sin(2.0 * np.pi * 2100.0 * t) * np.exp(-t / 0.004)
         + 0.5 * np.sin(2.0 * np.pi * 3550.0 * t) * np.exp(-t / 0.0025)
         + 0.3 * np.sin(2.0 * np.pi * 1150.0 * t) * np.exp(-t / 0.006))
    return x * ramp(n, 0.001, 0.008)


def make_flag(n, rng):
    """Short bright blip: a square-ish tone that flicks up a fifth."""
    t = timeline(n)
    freq = np.where(t < 0.018, NOTE["E6"], NOTE["E6"] * 1.5)
    freq = one_pole_lowpass(freq, 400.0)  # glide instead of a hard step
    freq[0] = NOTE["E6"]
    tone = harmonic_tone(sweep_phase(freq), float(np.max(freq)), [1.0, 0.0, 0.33, 0.0, 0.2])
    return tone * np.exp(-t / 0.030) * ramp(n, 0.002, 0.010)


def make_menu(n, rng):
    """Soft click and chime: a small tap, then a bell partial mix that rings away."""
    t = timeline(n)
    f = NOTE["A5"]
    bell = (np.sin(2.0 * np.pi * f * t) * np.exp(-t / 0.080)
            + 0.35 * np.sin(2.0 * np.pi * 2.0 * f * t) * np.exp(-t / 0.045)
            + 0.18 * np.sin(2.0 * np.pi * 2.76 * f * t) * np.exp(-t / 0.025)
            + 0.08 * np.sin(2.0 * np.pi * 5.40 * f * t) * np.exp(-t / 0.012))
    tap = one_pole_lowpass(rng.standard_normal(n), 4000.0) * np.exp(-t / 0.0015)
    return (bell + 0.5 * tap) * ramp(n, 0.002, 0.030)


def make_bomb(n, rng):
    """Blast: a noise burst whose brightness falls away, over a low thump."""
    t = timeline(n)
    noise = rng.standard_normal(n)
    cutoff = 250.0 + 5500.0 * np.exp(-t / 0.060)
    rumble = one_pole_lowpass(one_pole_lowpass(noise, cutoff), cutoff)
    rumble /= np.max(np.abs(rumble))
    rumble *= np.exp(-t / 0.140)
    thump_freq = 38.0 + 85.0 * np.exp(-t / 0.050)
    thump = np.sin(sweep_phase(thump_freq)) * np.exp(-t / 0.110)
    crack = one_pole_lowpass(noise, 7000.0) * np.exp(-t / 0.006)
    crack /= np.max(np.abs(crack))
    x = 0.9 * rumble + 0.9 * thump + 0.35 * crack
    x = np.tanh(1.6 * x)  # gentle saturation for punch without hard clipping
    return x * ramp(n, 0.002, 0.060)


def make_start(n, rng):
    """Short rising jingle: C E G C, quick and bright."""
    bright = [1.0, 0.45, 0.3, 0.18, 0.12, 0.08]
    x = np.zeros(n)
    starts = [0.000, 0.045, 0.090, 0.135]
    names = ["C5", "E5", "G5", "C6"]
    for i, (s, nm) in enumerate(zip(starts, names)):
        length = 0.055 if i < 3 else n / RATE - s
        x += note(n, s, length, NOTE[nm], bright, attack=0.003, release=0.015,
                  decay=0.08 if i == 3 else 0.05)
    return x * ramp(n, 0.001, 0.010)


def make_ok(n, rng):
    """Cheerful fanfare: a quick arpeggio up to a held major chord."""
    brass = [1.0, 0.6, 0.42, 0.3, 0.2, 0.14, 0.1, 0.07]
    x = np.zeros(n)
    for s, nm in zip([0.000, 0.085, 0.170, 0.255], ["C5", "E5", "G5", "C6"]):
        x += 1.4 * note(n, s, 0.100, NOTE[nm], brass, attack=0.006, release=0.025, decay=0.12)
    chord_start = 0.370
    chord_len = n / RATE - chord_start
    for nm, gain in [("C5", 0.8), ("E5", 0.6), ("G5", 0.6), ("C6", 0.7)]:
        x += gain * note(n, chord_start, chord_len, NOTE[nm], brass, attack=0.010,
                         release=0.180, decay=0.45, vibrato=0.004, vib_rate=6.0)
    return x * ramp(n, 0.001, 0.020)


def make_over(n, rng):
    """Falling sad phrase: three sliding steps down, then a long drooping note."""
    mellow = [1.0, 0.5, 0.28, 0.14, 0.07]
    x = np.zeros(n)
    for s, nm in zip([0.000, 0.180, 0.360], ["G4", "F#4", "F4"]):
        x += note(n, s, 0.200, NOTE[nm], mellow, attack=0.015, release=0.040, decay=0.35)
    last_start = 0.540
    x += 1.1 * note(n, last_start, n / RATE - last_start, NOTE["E4"], mellow, attack=0.015,
                    release=0.200, decay=0.55, vibrato=0.012, vib_rate=5.0, droop=0.06)
    return x * ramp(n, 0.001, 0.020)


# Cue name -> (synthesiser, peak level in full scale, noise seed).
CUES = {
    "bomb": (make_bomb, 0.90, 1101),
    "flag": (make_flag, 0.55, 1102),
    "menu": (make_menu, 0.55, 1103),
    "ok": (make_ok, 0.80, 1104),
    "open": (make_open, 0.55, 1105),
    "over": (make_over, 0.75, 1106),
    "start": (make_start, 0.70, 1107),
    "time": (make_time, 0.40, 1108),
}


def to_unsigned8(x, peak, rng):
    """Scale to the given peak and quantise with TPDF dither that stays off in silence."""
    x = x - one_pole_lowpass(x, 15.0)  # DC blocker, so the body sits centred on 128
    edge = ramp(len(x), 0.0005, 0.0005)
    x = x * edge
    x = x * (peak / np.max(np.abs(x)))
    lsb = x * 127.0
    # Dither only where the signal is above a fraction of a step, so silence stays exact.
    level = np.abs(lsb)
    width = 64
    padded = np.pad(level, width)
    windows = np.lib.stride_tricks.sliding_window_view(padded, 2 * width + 1)
    gate = np.clip(windows.max(axis=1), 0.0, 1.0) * edge
    dither = (rng.random(len(x)) - rng.random(len(x))) * gate
    q = np.round(128.0 + lsb + dither)
    assert q.min() >= 0 and q.max() <= 255, "sample would clip"
    q = q.astype(np.uint8)
    assert q[0] == 128 and q[-1] == 128
    return q


def wav_bytes(samples):
    count = len(samples)
    fmt = struct.pack("<HHIIHHH", 1, 1, RATE, RATE, 1, 8, 0)
    body = (b"WAVE"
            + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"fact" + struct.pack("<I", 4) + struct.pack("<I", count)
            + b"data" + struct.pack("<I", count) + samples.tobytes())
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main(argv):
    if len(argv) > 2:
        sys.stderr.write(__doc__)
        return 2
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = argv[1] if len(argv) == 2 else os.path.join(here, "..", "resources")
    os.makedirs(out_dir, exist_ok=True)
    for name, (synth, peak, seed) in CUES.items():
        n = sample_count(name)
        rng = np.random.default_rng(seed)
        samples = to_unsigned8(synth(n, rng), peak, rng)
        data = wav_bytes(samples)
        assert len(data) == FILE_BYTES[name], (name, len(data))
        path = os.path.join(out_dir, name + ".wav")
        with open(path, "wb") as f:
            f.write(data)
        print("%-6s %6d bytes  %5.3f s" % (name, len(data), n / RATE))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
