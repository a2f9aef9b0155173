#!/usr/bin/env python3
"""Writes the game's background music, xm/bg.xm, from the score in
tools/music/score.txt: a FastTracker 2 module whose every sample is made here.

    python3 tools/make_music.py              # rewrites the repository's xm/bg.xm
    python3 tools/make_music.py --out DIR    # writes DIR/xm/bg.xm

The output depends on the score alone, so the committed module can be checked
by regenerating it and comparing bytes.
"""

import argparse
import math
import random
import re
import struct
import sys
from dataclasses import dataclass, field
from pathlib import Path

HERE = Path(__file__).resolve().parent
SCORE = HERE / "music" / "score.txt"
REPO = HERE.parent

# FastTracker plays note C-4 of a sample without relative note or finetune at
# this rate; every tuning below is worked out from it.
C4_RATE = 8363.0
# The game mixes at 11,025 Hz: any partial above this folds back as a whistle.
HIGHEST_PARTIAL_HZ = 5000.0
# Looped tones repeat a 32-sample period; an ensemble needs a loop long enough
# for its detuned copies to come round to the start together.
PERIOD = 32
SOLO_CYCLES = 8
ENSEMBLE_CYCLES = 256
# Each further copy of an ensemble is one cycle a loop sharper or flatter,
# about 7 cents a step.
ENSEMBLE_DETUNE = (0, 1, -1, 2, -2)
KEY_OFF = 97
LOOP_FORWARD, SIXTEEN_BIT = 1, 16
ENVELOPE_ON, ENVELOPE_SUSTAIN = 1, 2

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


class ScoreError(Exception):
    pass


@dataclass
class Instrument:
    name: str
    number: int
    partials: list = field(default_factory=list)   # strengths, or (ratio, strength, seconds)
    struck: bool = False
    voices: int = 1
    envelope: list = field(default_factory=list)   # (tick, level)
    sustain: int = -1
    fadeout: int = 0
    vibrato: tuple = (0, 0, 0)                     # sweep, depth, rate
    level: float = 0.8
    length: float = 0.0
    rate: float = 0.0


@dataclass
class Event:
    rows: int
    pitches: tuple      # XM note numbers, lowest first; empty for a rest
    volume: int
    tied: bool


@dataclass
class Track:
    name: str
    instrument: Instrument
    voices: int
    ring: bool
    events: list = field(default_factory=list)
    volume: int = -1


@dataclass
class Score:
    title: str = ""
    tempo: int = 0
    beats: int = 0
    rows: int = 0
    speed: int = 0
    bars_per_pattern: int = 0
    dynamics: dict = field(default_factory=dict)
    instruments: dict = field(default_factory=dict)
    tracks: dict = field(default_factory=dict)
    bars: int = 0

    @property
    def rows_per_bar(self):
        return self.beats * self.rows


def pitch_hz(note):
    """Concert pitch of XM note number `note` (1 is C-0, 58 is A-4)."""
    return 440.0 * 2.0 ** ((note - 58) / 12.0)


def parse_note(text):
    m = re.fullmatch(r"([A-G])([#b]?)(\d)", text)
    if not m:
        raise ScoreError(f"not a note: {text}")
    semitone = NOTE_NAMES[m.group(1)] + {"": 0, "#": 1, "b": -1}[m.group(2)]
    note = 12 * int(m.group(3)) + semitone + 1
    if not 1 <= note <= 96:
        raise ScoreError(f"note out of range: {text}")
    return note


def parse_length(text, rows_per_crotchet):
    m = re.fullmatch(r"(1|2|4|8|16)(\.?)", text)
    if not m:
        raise ScoreError(f"not a length: {text}")
    whole = 4 * rows_per_crotchet
    if whole % int(m.group(1)):
        raise ScoreError(f"length {text} is shorter than a row")
    rows = whole // int(m.group(1))
    if m.group(2):
        if rows % 2:
            raise ScoreError(f"dotted length {text} is shorter than a row")
        rows += rows // 2
    return rows


def parse_instrument_setting(inst, key, values):
    if key == "partials":
        inst.partials = [float(v) for v in values]
    elif key == "strike":
        inst.struck = True
        inst.partials = [tuple(float(x) for x in v.split(":")) for v in values]
        if any(len(p) != 3 for p in inst.partials):
            raise ScoreError("a struck partial is ratio:strength:seconds")
    elif key == "voices":
        inst.voices = int(values[0])
        if not 1 <= inst.voices <= len(ENSEMBLE_DETUNE):
            raise ScoreError(f"an ensemble has 1 to {len(ENSEMBLE_DETUNE)} voices")
    elif key == "envelope":
        for i, point in enumerate(values):
            tick, level = point.rstrip("*").split(":")
            inst.envelope.append((int(tick), int(level)))
            if point.endswith("*"):
                inst.sustain = i
        ticks = [t for t, _ in inst.envelope]
        if ticks[0] != 0 or ticks != sorted(set(ticks)) or len(ticks) > 12:
            raise ScoreError("an envelope has up to 12 points, from tick 0 onwards")
    elif key == "fadeout":
        inst.fadeout = int(values[0])
    elif key == "vibrato":
        opts = dict(zip(values[0::2], (int(v) for v in values[1::2])))
        inst.vibrato = (opts["sweep"], opts["depth"], opts["rate"])
    elif key == "level":
        inst.level = float(values[0])
    elif key == "length":
        inst.length = float(values[0])
    elif key == "rate":
        inst.rate = float(values[0])
    else:
        raise ScoreError(f"unknown instrument setting: {key}")


def parse_bar(score, track, tokens):
    """Appends one bar of `track` and checks that it fills the metre."""
    filled = 0
    for token in tokens:
        if token in score.dynamics:
            track.volume = score.dynamics[token]
            continue
        tied = token.endswith("~")
        body = token.rstrip("~")
        if ":" not in body:
            raise ScoreError(f"a note needs a length: {token}")
        notes, length = body.split(":")
        rows = parse_length(length, score.rows)
        pitches = () if notes == "r" else tuple(parse_note(n) for n in notes.split("+"))
        if len(pitches) > track.voices:
            raise ScoreError(f"{track.name} has {track.voices} voice(s): {token}")
        if pitches and track.volume < 0:
            raise ScoreError(f"{track.name} plays before its loudness is set")
        if tied and not pitches:
            raise ScoreError(f"a rest cannot be tied: {token}")
        track.events.append(Event(rows, pitches, track.volume, tied))
        filled += rows
    if filled != score.rows_per_bar:
        raise ScoreError(f"{track.name}: a bar of {filled} rows, not {score.rows_per_bar}")


def close_section(score, section):
    """Lets the tracks a section leaves out rest through it."""
    if section is None:
        return
    counts = set(section.values())
    if not counts:
        raise ScoreError("a section without a bar")
    if len(counts) != 1:
        raise ScoreError(f"the tracks of a section differ in bars: {section}")
    bars = counts.pop()
    for name, track in score.tracks.items():
        if name not in section:
            track.events.extend(Event(score.rows_per_bar, (), track.volume, False)
                                for _ in range(bars))
    score.bars += bars


def read_score(path):
    score = Score()
    instrument = None
    section = None
    for number, raw in enumerate(path.read_text().splitlines(), 1):
        # A sharp is written with '#', so a comment starts at a '#' after a space.
        line = re.split(r"(?:^|\s)#", raw, maxsplit=1)[0].rstrip()
        if not line:
            continue
        words = line.split()
        try:
            if raw[0].isspace():
                if instrument is None:
                    raise ScoreError("an indented setting belongs to an instrument")
                parse_instrument_setting(instrument, words[0], words[1:])
                continue
            instrument = None
            key = words[0]
            if key == "title":
                score.title = " ".join(words[1:])
            elif key == "tempo":
                score.tempo = int(words[1])
            elif key == "metre":
                beats, unit = words[1].split("/")
                if unit != "4":
                    raise ScoreError("the metre counts crotchets")
                score.beats = int(beats)
            elif key == "rows":
                score.rows = int(words[1])
            elif key == "speed":
                score.speed = int(words[1])
            elif key == "bars":
                score.bars_per_pattern = int(words[1])
            elif key == "dynamics":
                score.dynamics = {k: int(v) for k, v in (w.split(":") for w in words[1:])}
            elif key == "instrument":
                # What follows the name describes the sound to the reader.
                instrument = Instrument(words[1], len(score.instruments) + 1)
                score.instruments[instrument.name] = instrument
            elif key == "track":
                inst = score.instruments[words[2]]
                voices = [int(w) for w in words[3:] if w.isdigit()] or [1]
                score.tracks[words[1]] = Track(words[1], inst, voices[0], "ring" in words[3:])
            elif key == "section":
                close_section(score, section)
                section = {}
            elif section is not None and key in score.tracks:
                for bar in " ".join(words[1:]).split("|"):
                    parse_bar(score, score.tracks[key], bar.split())
                    section[key] = section.get(key, 0) + 1
            else:
                raise ScoreError(f"unknown line: {key}")
        except (ScoreError, KeyError, ValueError, IndexError) as err:
            raise ScoreError(f"{path.name} line {number}: {err}") from err
    try:
        close_section(score, section)
    except ScoreError as err:
        raise ScoreError(f"{path.name}, last section: {err}") from err
    return score


def loop_tuning():
    """Relative note and finetune that make a looped PERIOD-sample tone sound
    at concert pitch for every note it is played at."""
    shift = 12.0 * math.log2(pitch_hz(49) * PERIOD / C4_RATE)
    relative = round(shift)
    return relative, round((shift - relative) * 128)


def looped_tone(inst):
    """One loop of an instrument's steady tone: whole periods of every partial
    of every ensemble copy, so that it joins up without a seam."""
    cycles = ENSEMBLE_CYCLES if inst.voices > 1 else SOLO_CYCLES
    length = PERIOD * cycles
    rng = random.Random(inst.name)
    wave = [0.0] * length
    for copy, detune in enumerate(ENSEMBLE_DETUNE[:inst.voices]):
        weight = 1.0 if copy == 0 else 0.8
        for harmonic, strength in enumerate(inst.partials, 1):
            step = 2.0 * math.pi * harmonic * (cycles + detune) / length
            phase = rng.uniform(0.0, 2.0 * math.pi)
            for n in range(length):
                wave[n] += weight * strength * math.sin(step * n + phase)
    return wave


def struck_rate(inst):
    """Relative note and the sample rate it gives at C-4: the rate closest to
    the instrument's wish that tunes without finetune."""
    relative = round(12.0 * math.log2(inst.rate / C4_RATE))
    return relative, C4_RATE * 2.0 ** (relative / 12.0)


def struck_tone(inst):
    """A struck note at C-4, every partial dying at its own pace."""
    _, rate = struck_rate(inst)
    count = round(inst.length * rate)
    fundamental = pitch_hz(49)
    rng = random.Random(inst.name)
    wave = [0.0] * count
    for ratio, strength, seconds in inst.partials:
        step = 2.0 * math.pi * ratio * fundamental / rate
        phase = rng.uniform(0.0, 2.0 * math.pi)
        for n in range(count):
            wave[n] += strength * math.exp(-n / (seconds * rate)) * math.sin(step * n + phase)
    # A soft mallet rather than a click, and a tail that ends at silence
    # instead of being cut off where the sample stops.
    attack = round(0.004 * rate)
    tail = count // 4
    for n in range(attack):
        wave[n] *= n / attack
    for n in range(tail):
        wave[count - 1 - n] *= n / tail
    return wave


def to_pcm16(wave, level):
    peak = max(abs(x) for x in wave)
    scale = level * 32767.0 / peak
    return [round(x * scale) for x in wave]


def check_range(score):
    """Refuses notes whose partials would fold back at the game's mix rate."""
    for track in score.tracks.values():
        inst = track.instrument
        if inst.struck:
            top = max(ratio for ratio, _, _ in inst.partials)
        else:
            top = len(inst.partials) * (1 + max(ENSEMBLE_DETUNE[:inst.voices]) / ENSEMBLE_CYCLES)
        for event in track.events:
            for note in event.pitches:
                if top * pitch_hz(note) > HIGHEST_PARTIAL_HZ:
                    raise ScoreError(f"{track.name}: note {note} has partials above "
                                     f"{HIGHEST_PARTIAL_HZ:.0f} Hz")
        if not track.ring and inst.sustain < 0:
            raise ScoreError(f"{track.name} releases its notes, so {inst.name} "
                             "needs an envelope that holds")


def voice_notes(track, voice):
    """[start row, end row, note, volume] of each note one voice strikes,
    with ties merged into the note they continue."""
    notes = []
    row = 0
    tied = False
    for event in track.events:
        if voice < len(event.pitches):
            pitch = event.pitches[voice]
            if tied and notes and notes[-1][1] == row and notes[-1][2] == pitch:
                notes[-1][1] = row + event.rows
            else:
                notes.append([row, row + event.rows, pitch, event.volume])
        tied = event.tied
        row += event.rows
    return notes


def arrange(score):
    """The cells of every channel, a dict row -> (note, instrument, volume).

    Each voice plays on two channels by turns, so that a note's release
    overlaps the attack of the next instead of being cut by it.  The song
    goes round, so the turns do too; when a voice strikes an odd number of
    notes, the two that must share a channel are put where a rest lies
    between them, or, in a voice that never rests, at the loop.
    """
    total = score.bars * score.rows_per_bar
    channels = []
    for track in score.tracks.values():
        if track.events and track.events[-1].tied:
            raise ScoreError(f"{track.name}: the last note cannot be tied, the "
                             "song starts again with its first notes struck")
        for voice in range(track.voices):
            notes = voice_notes(track, voice)
            first = 0
            if len(notes) % 2:
                gaps = [i for i in range(len(notes))
                        if notes[i][0] != notes[i - 1][1] % total]
                first = gaps[0] if gaps else 0
            pair = ({}, {})
            for i, (start, _, note, volume) in enumerate(notes):
                pair[(i - first) % len(notes) % 2][start] = (note, track.instrument.number, volume)
            if not track.ring:
                for i, (_, end, _, _) in enumerate(notes):
                    pair[(i - first) % len(notes) % 2].setdefault(end % total, (KEY_OFF, 0, -1))
            channels.extend(pair)
    return channels


def pack_cell(cell):
    if cell is None:
        return b"\x80"
    note, instrument, volume = cell
    mask, data = 0x81, [note]
    if instrument:
        mask |= 0x02
        data.append(instrument)
    if volume >= 0:
        mask |= 0x04
        data.append(0x10 + volume)
    return bytes([mask] + data)


def xm_patterns(score, channels):
    """Packed patterns, each written once, and the order that plays them."""
    rows = score.bars_per_pattern * score.rows_per_bar
    if score.bars % score.bars_per_pattern:
        raise ScoreError(f"{score.bars} bars do not fill patterns of {score.bars_per_pattern}")
    patterns, order = [], []
    for first in range(0, score.bars * score.rows_per_bar, rows):
        data = b"".join(pack_cell(cells.get(row)) for row in range(first, first + rows)
                        for cells in channels)
        packed = struct.pack("<IBHH", 9, 0, rows, len(data)) + data
        if packed not in patterns:
            patterns.append(packed)
        order.append(patterns.index(packed))
    return patterns, order


def text(value, size):
    return value.encode("ascii")[:size].ljust(size, b"\0")


def xm_instrument(inst):
    if inst.struck:
        relative, _ = struck_rate(inst)
        finetune = 0
        pcm = to_pcm16(struck_tone(inst), inst.level)
        loop_type, loop = 0, (0, 0)
    else:
        relative, finetune = loop_tuning()
        pcm = to_pcm16(looped_tone(inst), inst.level)
        loop_type, loop = LOOP_FORWARD, (0, 2 * len(pcm))
    envelope = b"".join(struct.pack("<HH", t, v) for t, v in inst.envelope)
    env_type = (ENVELOPE_ON if inst.envelope else 0) | (ENVELOPE_SUSTAIN if inst.sustain >= 0 else 0)
    sweep, depth, rate = inst.vibrato
    # FastTracker's own instrument header runs to 263 bytes, the last 20 of
    # them reserved; players skip by that size to the sample headers.
    head = struct.pack("<I22sBHI", 263, text(inst.name, 22), 0, 1, 40)
    head += bytes(96) + envelope.ljust(48, b"\0") + bytes(48)
    head += struct.pack("<10B", len(inst.envelope), 0, max(inst.sustain, 0), 0, 0,
                        0, 0, 0, env_type, 0)
    head += struct.pack("<4BHH20x", 0, sweep, depth, rate, inst.fadeout, 0)
    sample = struct.pack("<3IBbBBbB22s", 2 * len(pcm), *loop, 64, finetune,
                         SIXTEEN_BIT | loop_type, 128, relative, 0, text(inst.name, 22))
    deltas, previous = [], 0
    for value in pcm:
        deltas.append((value - previous) & 0xFFFF)
        previous = value
    return head + sample + struct.pack(f"<{len(deltas)}H", *deltas)


def build(score):
    check_range(score)
    channels = arrange(score)
    patterns, order = xm_patterns(score, channels)
    bpm, remainder = divmod(score.tempo * score.rows * score.speed, 24)
    if remainder or not 32 <= bpm <= 255:
        raise ScoreError(f"tempo {score.tempo} gives no whole tracker BPM at speed {score.speed}")
    header = struct.pack("<17s20sB20sHIHHHHHHHH", b"Extended Module: ", text(score.title, 20),
                         0x1A, text("make_music.py", 20), 0x0104, 276, len(order), 0,
                         len(channels), len(patterns), len(score.instruments), 1,
                         score.speed, bpm)
    header += bytes(order).ljust(256, b"\0")
    return header + b"".join(patterns) + b"".join(
        xm_instrument(inst) for inst in score.instruments.values())


def main(argv=None):
    parser = argparse.ArgumentParser(description="Writes xm/bg.xm from tools/music/score.txt.")
    parser.add_argument("--out", type=Path, default=REPO,
                        help="folder to write xm/bg.xm into (default: the repository)")
    args = parser.parse_args(argv)
    try:
        module = build(read_score(SCORE))
    except ScoreError as err:
        sys.exit(f"make_music: {err}")
    path = args.out / "xm" / "bg.xm"
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(module)
    print(f"wrote {path} ({len(module)} bytes)")


if __name__ == "__main__":
    main()
