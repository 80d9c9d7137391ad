#!/usr/bin/env python3
"""Writes the start sound, resources/vorsandi_02.wav: a soft one-second
A-major chord (A4, C#5, E5 and the octave A5) with a short attack and a bell-like
decay, mono, 22050 Hz, 16-bit. Deterministic: the same bytes on every run.

Usage: tools/make_start_sound.py [output.wav]
"""
import math
import os
import struct
import sys
import wave

RATE = 22050          # samples per second
SECONDS = 1.0
PEAK = 0.5            # of full scale, leaving headroom
ATTACK = 0.02         # seconds: long enough not to click
RELEASE = 0.15        # seconds of fade to silence at the end

# (frequency in Hz, relative amplitude, decay rate per second); the higher
# partials fade faster, as they do on a struck bell or a piano string.
PARTIALS = [
    (440.00, 1.00, 3.0),
    (554.37, 0.70, 3.5),
    (659.26, 0.60, 4.0),
    (880.00, 0.35, 5.0),
]


def sample(i):
    t = i / RATE
    value = sum(a * math.exp(-d * t) * math.sin(2 * math.pi * f * t) for f, a, d in PARTIALS)
    envelope = min(1.0, t / ATTACK) * min(1.0, (SECONDS - t) / RELEASE)
    return value * envelope


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "vorsandi_02.wav")
    count = int(RATE * SECONDS)
    raw = [sample(i) for i in range(count)]
    scale = PEAK / max(abs(v) for v in raw)
    frames = b"".join(struct.pack("<h", int(round(v * scale * 32767))) for v in raw)
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)
    print(f"{out}: {count} samples, {RATE} Hz mono 16-bit")


if __name__ == "__main__":
    main()
