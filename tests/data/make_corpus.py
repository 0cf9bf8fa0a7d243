#!/usr/bin/env python3
"""Writes the hand-made preset, bank and MIDI-settings images the file tests
load. Run it from anywhere; it rewrites the files beside itself:

    python3 tests/data/make_corpus.py

The contents follow simple formulas that tests/preset_rig.h repeats:
  preset value i            (i + 1) / 64
  bank program k, value i   ((7 k + i) % 64) / 64, name "Bank NN"
  MIDI assignment i         controller i + 10 for i % 3 == 0, else none,
                            stored as (controller + 0.5) / 129
The older images carry 'Rdlq' and 48 values per program; the older preset
has LFOWave 0.9 (fifth of five states), LfoDen 0.02 (step 0), LfoMode 0.2.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
NEW, OLD = b"Rdlx", b"Rdlq"


def header(ident, type_byte, order):
    # The ID is a 32-bit number with 'R' in the most significant byte,
    # written in the image's byte order like every other number.
    word = ident if order == ">" else ident[::-1]
    return word + bytes([type_byte])


def name(text):
    return text.encode().ljust(24, b"\0")


def floats(values, order):
    return b"".join(struct.pack(order + "f", v) for v in values)


def preset_values(count):
    return [(i + 1) / 64 for i in range(count)]


def older_preset_values():
    v = preset_values(48)
    v[9], v[32], v[34] = 0.9, 0.2, 0.02
    return v


def bank(count, order, ident):
    body = b"".join(name("Bank %02d" % k) + floats([((7 * k + i) % 64) / 64 for i in range(count)], order)
                    for k in range(61))
    return header(ident, 0x37, order) + body


def midi_values(count):
    return [((i + 10) + 0.5) / 129 if i % 3 == 0 else (128 + 0.5) / 129 for i in range(count)]


FILES = {
    "native.zel": header(NEW, 0x21, "<") + name("Corpus Native") + floats(preset_values(60), "<"),
    "reversed.zel": header(NEW, 0x21, ">") + name("Corpus Reversed") + floats(preset_values(60), ">"),
    "older.zel": header(OLD, 0x21, "<") + name("Corpus Older") + floats(older_preset_values(), "<"),
    "older-reversed.zel": header(OLD, 0x21, ">") + name("Corpus Older") + floats(older_preset_values(), ">"),
    "native.zbk": bank(60, "<", NEW),
    "reversed.zbk": bank(60, ">", NEW),
    "older.zbk": bank(48, "<", OLD),
    "native.zmd": header(NEW, 0x0B, "<") + floats(midi_values(60), "<"),
    "reversed.zmd": header(NEW, 0x0B, ">") + floats(midi_values(60), ">"),
    "older.zmd": header(OLD, 0x0B, "<") + floats(midi_values(48), "<"),
}
# Damaged images: cut inside the values, and a preset image offered as MIDI settings.
FILES["truncated.zel"] = FILES["native.zel"][:100]
FILES["wrong-type.zmd"] = FILES["native.zmd"][:4] + bytes([0x21]) + FILES["native.zmd"][5:]

for file_name, data in FILES.items():
    with open(os.path.join(HERE, file_name), "wb") as f:
        f.write(data)
