#!/usr/bin/env python3
"""Writes the game's background song, a six-channel tracker module (MOD, "6CHN").

Every instrument is synthesised here: a plucked bass, a soft lead, two chord pads (major and
minor triads in just intonation, with a slow chorus) and kick, snare and hi-hat. The song is a
C major pop progression (C G Am F, then Am F C G and F G C G) at 120 BPM: six patterns of four
bars, about 48 seconds, looping seamlessly to its start. The lead has a delayed echo channel.

Usage: gen_song.py [output.mod]   (default: game/DATA/music/game.mod beside this tool)
Python 3 standard library only; the output is the same on every run.
"""

import math
import os
import struct
import sys

PAL_CLOCK = 7093789.2
PERIODS = [
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  # octave 1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  # octave 2
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,  # octave 3
]
NAMES = ["C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"]

CHANNELS = 6
ROWS = 64
ROWS_PER_BAR = 16

# Sample numbers.
BASS, LEAD, PAD_MAJOR, PAD_MINOR, KICK, SNARE, HAT = range(1, 8)

# Channels.
CH_BASS, CH_PAD, CH_LEAD, CH_DRUM, CH_HAT, CH_ECHO = range(CHANNELS)


def period(note):
    """'C-2' -> Amiga period (finetune 0)."""
    return PERIODS[(int(note[2]) - 1) * 12 + NAMES.index(note[:2])]


def rate_of(note):
    """Playback rate in Hz of a sample played at this note."""
    return PAL_CLOCK / (2 * period(note))


def transpose(note, semitones):
    index = (int(note[2]) - 1) * 12 + NAMES.index(note[:2]) + semitones
    return NAMES[index % 12] + str(index // 12 + 1)


# ---- Instruments ---------------------------------------------------------------------------


class Noise:
    """A fixed linear congruential generator, so that the output never changes."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state / 0x3FFFFFFF - 1.0


def to_bytes(samples, peak=120):
    top = max(abs(s) for s in samples) or 1.0
    return bytes((int(round(s / top * peak)) & 0xFF) for s in samples)


def settle(t, length, sustain, curve=3.0):
    """An envelope from 1 at t=0 to exactly `sustain` at t=length (then constant)."""
    if t >= length:
        return sustain
    return sustain + (1.0 - sustain) * (1.0 - t / length) ** curve


def periodic_pluck(cycle, harmonics, decay_cycles, loop_cycles, sustain, bright_decay):
    """A tone of `cycle` samples per period: an attack that decays (upper harmonics faster)
    into a constant waveform that loops. Returns (data, loop_start, loop_length) in samples."""
    attack = cycle * decay_cycles
    total = attack + cycle * loop_cycles
    out = []
    for n in range(total):
        phase = 2 * math.pi * n / cycle
        value = 0.0
        for k, amp in enumerate(harmonics, start=1):
            # Higher harmonics fall to a lower sustain: the tone darkens as it settles.
            level = settle(n, attack, sustain / (1.0 + bright_decay * (k - 1)))
            value += amp * level * math.sin(k * phase)
        ramp = min(1.0, n / 24.0)  # no click at the onset
        out.append(value * ramp)
    return out, attack, total - attack


def make_bass():
    harmonics = [1.0 / k * math.exp(-(k - 1) * 0.3) for k in range(1, 10)]
    return periodic_pluck(64, harmonics, 48, 4, 0.55, 0.5)


def make_lead():
    harmonics = [1.0, 0.32, 0.28, 0.08, 0.1, 0.03, 0.03]
    return periodic_pluck(32, harmonics, 110, 8, 0.5, 0.35)


def make_pad(ratios, root_cycles):
    """A triad: the chord tones have `ratios` (e.g. 4:5:6) of the root, and each has a copy
    detuned by one cycle per loop for a slow chorus. Root period: 32 samples."""
    loop = 32 * root_cycles
    total = 2 * loop
    base = ratios[0]
    partials = []
    for r in ratios:
        cycles = root_cycles * r // base  # integer cycles per loop: the loop is seamless
        partials.append((cycles, 1.0))
        partials.append((cycles + 1, 0.7))
    out = []
    for n in range(total):
        value = 0.0
        for cycles, amp in partials:
            phase = 2 * math.pi * cycles * n / loop
            value += amp * (math.sin(phase) + 0.25 * math.sin(2 * phase) + 0.08 * math.sin(3 * phase))
        swell = min(1.0, n / loop) ** 1.5  # fade in over the first loop length
        out.append(value * swell)
    return out, loop, loop


def make_drum(kind, rate):
    noise = Noise({"kick": 7, "snare": 11, "hat": 13}[kind])
    length = {"kick": 0.32, "snare": 0.22, "hat": 0.07}[kind]
    count = int(rate * length)
    out = [0.0, 0.0]  # the first word stays silent, as trackers expect of one-shot samples
    phase = 0.0
    previous = 0.0
    smooth = 0.0
    for n in range(count):
        t = n / rate
        if kind == "kick":
            freq = 48.0 + 110.0 * math.exp(-t / 0.03)
            phase += 2 * math.pi * freq / rate
            value = math.sin(phase) * math.exp(-t / 0.16)
            value += 0.25 * noise.next() * math.exp(-t / 0.002)
        elif kind == "snare":
            phase += 2 * math.pi * 190.0 / rate
            white = noise.next()
            smooth += 0.6 * (white - smooth)
            value = 0.55 * math.sin(phase) * math.exp(-t / 0.045)
            value += 0.8 * smooth * math.exp(-t / 0.075)
        else:
            white = noise.next()
            value = (white - previous) * math.exp(-t / 0.02)  # high-passed noise
            previous = white
        fade = min(1.0, (count - n) / (0.01 * rate))
        out.append(value * fade)
    return out, 0, 0


# ---- Score ---------------------------------------------------------------------------------

# Chords: (bass root in octave 1, pad sample, pad note).
CHORDS = {
    "C": ("C-1", PAD_MAJOR),
    "G": ("G-1", PAD_MAJOR),
    "Am": ("A-1", PAD_MINOR),
    "F": ("F-1", PAD_MAJOR),
}

# Each pattern: four chords and the lead's four bars of (note, rows); "---" is a rest.
PHRASE_A = [
    [("G-2", 4), ("E-2", 2), ("G-2", 2), ("C-3", 6), ("B-2", 2)],
    [("D-3", 4), ("B-2", 4), ("G-2", 6), ("A-2", 2)],
    [("C-3", 4), ("A-2", 2), ("C-3", 2), ("E-3", 6), ("D-3", 2)],
    [("C-3", 4), ("A-2", 4), ("F-2", 6), ("---", 2)],
]
PHRASE_A2 = [
    [("E-3", 4), ("D-3", 2), ("C-3", 2), ("G-2", 8)],
    [("B-2", 4), ("D-3", 2), ("B-2", 2), ("G-2", 8)],
    [("A-2", 2), ("B-2", 2), ("C-3", 4), ("E-3", 4), ("D-3", 4)],
    [("C-3", 8), ("A-2", 4), ("B-2", 4)],
]
PHRASE_B = [
    [("A-2", 6), ("C-3", 2), ("E-3", 8)],
    [("F-3", 4), ("E-3", 4), ("C-3", 8)],
    [("G-2", 4), ("C-3", 4), ("E-3", 4), ("G-3", 4)],
    [("F-3", 4), ("D-3", 4), ("B-2", 6), ("---", 2)],
]
PHRASE_OUTRO = [
    [("A-2", 4), ("C-3", 4), ("F-3", 8)],
    [("D-3", 4), ("B-2", 4), ("G-2", 8)],
    [("E-3", 4), ("D-3", 4), ("C-3", 8)],
    [("B-2", 6), ("G-2", 2), ("D-3", 6), ("---", 2)],
]
SONG = [
    # chords, lead phrase, drum style
    (["C", "G", "Am", "F"], None, "intro"),
    (["C", "G", "Am", "F"], PHRASE_A, "full"),
    (["C", "G", "Am", "F"], PHRASE_A2, "full"),
    (["Am", "F", "C", "G"], PHRASE_B, "fill"),
    (["C", "G", "Am", "F"], PHRASE_A, "full"),
    (["F", "G", "C", "G"], PHRASE_OUTRO, "fill"),
]

VOL_BASS, VOL_PAD, VOL_LEAD, VOL_ECHO = 0x40, 0x28, 0x3C, 0x18
VOL_KICK, VOL_SNARE, VOL_HAT_ON, VOL_HAT_OFF = 0x40, 0x34, 0x14, 0x20
ECHO_DELAY = 3


def empty_song():
    return [[[None] * CHANNELS for _ in range(ROWS)] for _ in SONG]


def put(patterns, index, row, channel, note, sample, effect=0, param=0):
    patterns[index][row][channel] = (note, sample, effect, param)


def put_effect(patterns, index, row, channel, effect, param):
    cell = patterns[index][row][channel]
    if cell is None:
        patterns[index][row][channel] = (None, 0, effect, param)
    else:
        patterns[index][row][channel] = (cell[0], cell[1], effect, param)


def compose():
    patterns = empty_song()
    lead_timeline = []  # (global row, note or rest) for the echo
    for index, (chords, phrase, drums) in enumerate(SONG):
        for bar, chord in enumerate(chords):
            base = bar * ROWS_PER_BAR
            root, pad = CHORDS[chord]
            fifth = transpose(root, 7)
            octave = transpose(root, 12)
            # Bass: a syncopated root-octave-fifth figure.
            for row, note in ((0, root), (3, root), (6, octave), (8, root), (11, root), (12, fifth), (14, octave)):
                put(patterns, index, base + row, CH_BASS, note, BASS, 0xC, VOL_BASS)
            # Pad: the chord, swelling in at every bar.
            put(patterns, index, base, CH_PAD, root, pad, 0xC, VOL_PAD)
            # Drums.
            last_bar = bar == 3
            kicks = (0, 8) if drums == "intro" else (0, 7, 8)
            snares = () if drums == "intro" else (4, 12)
            if drums == "fill" and last_bar:
                snares = (4, 10, 12, 13, 14, 15)
            if drums == "intro" and last_bar:
                snares = (12, 14, 15)
            for row in kicks:
                put(patterns, index, base + row, CH_DRUM, "C-3", KICK, 0xC, VOL_KICK)
            for row in snares:
                volume = VOL_SNARE if row in (4, 12) else VOL_SNARE - 8 + (row - 10) * 2
                put(patterns, index, base + row, CH_DRUM, "C-3", SNARE, 0xC, volume)
            for row in range(0, ROWS_PER_BAR, 2):
                if drums == "intro" and row % 4 == 0:
                    continue
                volume = VOL_HAT_ON if row % 4 == 0 else VOL_HAT_OFF
                put(patterns, index, base + row, CH_HAT, "C-3", HAT, 0xC, volume)
            # Lead.
            if phrase is None:
                continue
            row = 0
            for note, length in phrase[bar]:
                global_row = index * ROWS + base + row
                if note == "---":
                    put_effect(patterns, index, base + row, CH_LEAD, 0xC, 0)
                else:
                    put(patterns, index, base + row, CH_LEAD, note, LEAD, 0xC, VOL_LEAD)
                    # A gentle vibrato on held notes.
                    for held in range(3, length):
                        put_effect(patterns, index, base + row + held, CH_LEAD, 0x4, 0x42 if held == 3 else 0)
                lead_timeline.append((global_row, note))
                row += length
            assert row == ROWS_PER_BAR, (index, bar)
    # Echo: the lead three rows later, quieter, on the other side.
    total_rows = len(SONG) * ROWS
    for global_row, note in lead_timeline:
        target = global_row + ECHO_DELAY
        if target >= total_rows:
            continue
        index, row = divmod(target, ROWS)
        if note == "---":
            put_effect(patterns, index, row, CH_ECHO, 0xC, 0)
        else:
            put(patterns, index, row, CH_ECHO, note, LEAD, 0xC, VOL_ECHO)
    # Tempo and panning, on cells the score leaves empty; they hold for the song and its loops.
    put_effect(patterns, 0, 0, CH_HAT, 0xF, 120)  # 120 BPM at the default 6 ticks per row
    # Soften the classic hard left/right split: bass and pad near the middle.
    pans = {CH_BASS: 0x70, CH_PAD: 0x90, CH_LEAD: 0x60, CH_DRUM: 0x80, CH_HAT: 0xA0, CH_ECHO: 0xB0}
    for channel, pan in pans.items():
        put_effect(patterns, 0, 1, channel, 0x8, pan)
    return patterns


# ---- File ----------------------------------------------------------------------------------


def encode_cell(cell):
    if cell is None:
        return b"\0\0\0\0"
    note, sample, effect, param = cell
    p = period(note) if note else 0
    return bytes([
        (sample & 0xF0) | (p >> 8),
        p & 0xFF,
        ((sample & 0x0F) << 4) | effect,
        param,
    ])


def build_module():
    drum_rate = rate_of("C-3")
    instruments = [
        ("bass", make_bass()),
        ("lead", make_lead()),
        ("pad major", make_pad([4, 5, 6], 64)),
        ("pad minor", make_pad([10, 12, 15], 60)),
        ("kick", make_drum("kick", drum_rate)),
        ("snare", make_drum("snare", drum_rate)),
        ("hihat", make_drum("hat", drum_rate)),
    ]
    out = bytearray(b"quibbet groove".ljust(20, b"\0"))
    data = bytearray()
    for number in range(31):
        if number < len(instruments):
            name, (samples, loop_start, loop_length) = instruments[number]
            if len(samples) % 2:
                samples = samples + [0.0]
            raw = to_bytes(samples)
            words = len(raw) // 2
            loop_words = (loop_start // 2, loop_length // 2) if loop_length else (0, 1)
            out += name.encode().ljust(22, b"\0")
            out += struct.pack(">HBBHH", words, 0, 64, *loop_words)
            data += raw
        else:
            out += b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    out += bytes([len(SONG), 0])
    out += bytes(range(len(SONG))).ljust(128, b"\0")
    out += b"6CHN"
    for pattern in compose():
        for row in pattern:
            for cell in row:
                out += encode_cell(cell)
    return bytes(out + data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "game", "DATA", "music", "game.mod")
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    with open(target, "wb") as f:
        f.write(build_module())
    print("wrote", os.path.normpath(target))


if __name__ == "__main__":
    main()
