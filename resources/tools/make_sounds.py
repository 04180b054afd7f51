#!/usr/bin/env python3
"""Writes the program's three sounds as 16-bit PCM mono WAV files at 22050 Hz.

  180.wav  recording started or stopped: a soft rising two-note chime
  181.wav  shutter: a short mechanical double click
  182.wav  recording time limit reached: three falling bell notes

Deterministic (fixed noise seed), so running it again gives the same bytes.
Usage: make_sounds.py [output folder]   (default: ../sounds beside this script)
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def mix(into, sound, at_seconds, gain=1.0):
    start = int(RATE * at_seconds)
    need = start + len(sound)
    if len(into) < need:
        into.extend([0.0] * (need - len(into)))
    for i, value in enumerate(sound):
        into[start + i] += value * gain


def bell(freq, seconds, decay, partials=((1.0, 1.0), (2.0, 0.35), (3.01, 0.12))):
    """A struck tone: quick attack, exponential decay, a few soft overtones."""
    count = int(RATE * seconds)
    attack = int(RATE * 0.006)
    out = []
    for i in range(count):
        t = i / RATE
        env = math.exp(-t / decay) * min(1.0, i / attack if attack else 1.0)
        value = sum(a * math.sin(2 * math.pi * freq * m * t) * math.exp(-t * (m - 1) * 3.0)
                    for m, a in partials)
        out.append(env * value)
    # fade the last 10 ms so nothing clicks at the end
    tail = int(RATE * 0.01)
    for i in range(1, tail + 1):
        out[-i] *= (i - 1) / tail
    return out


def click(seconds, seed, tone):
    """Band-limited noise burst with a resonant body: one shutter blade."""
    rng = random.Random(seed)
    count = int(RATE * seconds)
    out = []
    low = 0.0
    for i in range(count):
        t = i / RATE
        noise = rng.uniform(-1.0, 1.0)
        low += 0.35 * (noise - low)           # soften the hiss
        body = math.sin(2 * math.pi * tone * t) * 0.6
        env = math.exp(-t / 0.012)
        out.append(env * (0.7 * low + body))
    return out


def normalise(samples, peak):
    top = max(abs(v) for v in samples) or 1.0
    return [v * peak / top for v in samples]


def write(path, samples):
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(v * 32767))))) for v in samples)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def record_chime():
    out = silence(0.45)
    mix(out, bell(784.0, 0.30, 0.09), 0.0)       # G5
    mix(out, bell(1174.7, 0.33, 0.11), 0.11)     # D6
    return normalise(out, 0.55)


def shutter():
    out = silence(0.22)
    mix(out, click(0.06, 7, 1800.0), 0.0)
    mix(out, click(0.08, 11, 1200.0), 0.075, 0.8)
    return normalise(out, 0.7)


def time_limit():
    out = silence(0.95)
    for i, freq in enumerate((1318.5, 1046.5, 880.0)):   # E6 C6 A5
        mix(out, bell(freq, 0.55, 0.16), i * 0.18)
    return normalise(out, 0.55)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "sounds")
    os.makedirs(folder, exist_ok=True)
    for name, make in (("180", record_chime), ("181", shutter), ("182", time_limit)):
        write(os.path.join(folder, name + ".wav"), make())


if __name__ == "__main__":
    main()
