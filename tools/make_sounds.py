#!/usr/bin/env python3
"""Synthesises the game's five sound effects into data/ as PCM WAV files.

The game reads each file through a fixed 44-byte header, so every file is written in the
canonical layout: RIFF, a 16-byte "fmt " chunk, then "data". Mono, 16 bits, 22050 Hz.
The noise comes from a seeded generator, so running this again gives identical files.

Usage: tools/make_sounds.py [output folder, default: data]
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050
PEAK = 0.85  # about -1.4 dBFS: loud, with room so the mixer never clips one effect alone
TAU = 2.0 * math.pi


def seconds(n):
    return int(n * RATE)


def envelope(t, attack, decay_rate, length):
    """A fast linear attack, then an exponential decay, then a short fade to silence."""
    rise = min(1.0, t / attack) if attack > 0 else 1.0
    fade_start = length - 0.012
    tail = 1.0 if t < fade_start else max(0.0, (length - t) / 0.012)
    return rise * math.exp(-decay_rate * t) * tail


def square(phase, softness=0.18):
    """A band-limited-sounding square: the sine pushed through tanh rounds its edges."""
    return math.tanh(math.sin(phase) / softness)


def laser():
    """A zap: a tone sweeping down fast, with a buzzing edge and a vibrato flutter."""
    length = 0.42
    phase = 0.0
    out = []
    for i in range(seconds(length)):
        t = i / RATE
        freq = 320.0 + 2300.0 * math.exp(-t * 11.0)
        freq *= 1.0 + 0.035 * math.sin(TAU * 38.0 * t)
        phase += TAU * freq / RATE
        tone = 0.55 * square(phase, 0.35) + 0.45 * math.sin(2.0 * phase + 0.6 * math.sin(phase))
        out.append(tone * envelope(t, 0.003, 6.5, length))
    return out


def blip(start_freq, end_freq, duration):
    """One pulse chirp gliding between two pitches, with a hard attack and quick decay."""
    out = []
    phase = 0.0
    for i in range(seconds(duration)):
        t = i / RATE
        freq = start_freq + (end_freq - start_freq) * (t / duration)
        phase += TAU * freq / RATE
        tone = 0.7 * square(phase, 0.25) + 0.3 * math.sin(3.0 * phase)
        out.append(tone * envelope(t, 0.002, 22.0, duration))
    return out


def bullet():
    """A short enemy blip: a high chirp, a breath of silence, a lower one."""
    gap = [0.0] * seconds(0.012)
    return blip(1400.0, 1000.0, 0.055) + gap + [0.8 * s for s in blip(900.0, 560.0, 0.09)]


def explosion():
    """Noise through a closing low-pass filter over a dropping thump, with crackle."""
    length = 1.3
    rng = random.Random(1998)
    out = []
    low = 0.0
    lower = 0.0
    thump_phase = 0.0
    crackle = 1.0
    for i in range(seconds(length)):
        t = i / RATE
        cutoff = 180.0 + 5200.0 * math.exp(-t * 4.5)
        alpha = 1.0 - math.exp(-TAU * cutoff / RATE)
        low += alpha * (rng.uniform(-1.0, 1.0) - low)
        lower += alpha * (low - lower)
        if i % 60 == 0:
            crackle = 1.0 + (rng.random() ** 6) * 2.5 * math.exp(-t * 3.0)
        thump_phase += TAU * (38.0 + 70.0 * math.exp(-t * 9.0)) / RATE
        thump = math.sin(thump_phase) * math.exp(-t * 6.0)
        body = 2.6 * lower * crackle + 0.9 * thump
        # Soft saturation lifts the rumble's body against the crackle's peaks.
        out.append(math.tanh(2.2 * body) * envelope(t, 0.004, 2.6, length))
    return out


def note(freq, start, duration, out, level=1.0, vibrato=0.0):
    """Adds a bright square-and-sine note with its own attack and decay into out."""
    phase = 0.0
    first = seconds(start)
    for i in range(seconds(duration)):
        t = i / RATE
        wobble = 1.0 + vibrato * math.sin(TAU * 5.5 * t) * min(1.0, t / 0.15)
        phase += TAU * freq * wobble / RATE
        tone = 0.45 * square(phase, 0.3) + 0.55 * math.sin(phase) + 0.15 * math.sin(2 * phase)
        out[first + i] += level * tone * envelope(t, 0.006, 3.2, duration)


def echo(samples, delay, gain):
    """A single feedback echo, so the jingles ring out instead of stopping dead."""
    step = seconds(delay)
    for i in range(step, len(samples)):
        samples[i] += gain * samples[i - step]
    return samples


def ready():
    """A rising arpeggio up to the octave, the top note held."""
    length = 1.05
    out = [0.0] * seconds(length)
    c5 = 523.25
    steps = [(c5, 0.0), (c5 * 1.25992, 0.11), (c5 * 1.49831, 0.22), (c5 * 2.0, 0.33)]
    for freq, start in steps[:-1]:
        note(freq, start, 0.16, out, 0.8)
    note(steps[-1][0], steps[-1][1], length - 0.33, out, 1.0, vibrato=0.006)
    return echo(out, 0.09, 0.28)


def game_over():
    """A falling minor line that ends on a low note sliding further down."""
    length = 1.6
    out = [0.0] * seconds(length)
    g4 = 392.0
    for freq, start in [(g4, 0.0), (g4 * 0.84090, 0.2), (g4 * 0.66742, 0.4)]:
        note(freq, start, 0.24, out, 0.85)
    phase = 0.0
    first = seconds(0.6)
    for i in range(seconds(length - 0.6)):
        t = i / RATE
        freq = g4 * 0.5 * (1.0 - 0.12 * t) * (1.0 + 0.01 * math.sin(TAU * 5.0 * t))
        phase += TAU * freq / RATE
        tone = 0.6 * math.sin(phase) + 0.4 * square(phase, 0.4)
        out[first + i] += tone * envelope(t, 0.01, 2.2, length - 0.6)
    return echo(out, 0.12, 0.25)


def normalised(samples):
    top = max(abs(s) for s in samples) or 1.0
    return [s * PEAK / top for s in samples]


def write_wav(path, samples):
    frames = b"".join(struct.pack("<h", int(round(s * 32767))) for s in normalised(samples))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


EFFECTS = {
    "laser.wav": laser,
    "bullet.wav": bullet,
    "explo.wav": explosion,
    "ready.wav": ready,
    "over.wav": game_over,
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "data"
    os.makedirs(folder, exist_ok=True)
    for name, make in EFFECTS.items():
        path = os.path.join(folder, name)
        write_wav(path, make())
        print(f"{path}: {os.path.getsize(path)} bytes")


if __name__ == "__main__":
    main()
