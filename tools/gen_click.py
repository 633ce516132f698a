#!/usr/bin/env python3
"""Writes the short click played when a tile is clicked in the right order.

A soft wooden "tock": two damped partials (1.75 and 2.65 kHz) over a 1.5 ms noise transient,
35 ms long, 44100 Hz mono 16-bit PCM WAV.

Usage: gen_click.py [output.wav]   (default: game/DATA/sounds/click.wav beside this tool)
Python 3 standard library only; the output is the same on every run.
"""

import math
import os
import struct
import sys

RATE = 44100
LENGTH = 0.035
PEAK = 0.7


def synthesize():
    count = int(RATE * LENGTH)
    state = 12345
    out = []
    for n in range(count):
        t = n / RATE
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        noise = state / 0x3FFFFFFF - 1.0
        value = 0.65 * math.sin(2 * math.pi * 1750.0 * t) * math.exp(-t / 0.006)
        value += 0.3 * math.sin(2 * math.pi * 2650.0 * t + 0.5) * math.exp(-t / 0.004)
        value += 0.2 * noise * math.exp(-t / 0.0015)
        attack = min(1.0, n / (0.0003 * RATE))  # 0.3 ms: crisp, without a hard edge
        release = min(1.0, (count - n) / (0.005 * RATE))
        out.append(value * attack * release)
    top = max(abs(v) for v in out)
    return [v / top * PEAK for v in out]


def wav_bytes(samples):
    data = b"".join(struct.pack("<h", int(round(v * 32767))) for v in samples)
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16)
    header += b"data" + struct.pack("<I", len(data))
    return header + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "game", "DATA", "sounds", "click.wav")
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    with open(target, "wb") as f:
        f.write(wav_bytes(synthesize()))
    print("wrote", os.path.normpath(target))


if __name__ == "__main__":
    main()
