#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/.

Each seed is a valid or nearly valid input in the target's own input format
(see the comment at the top of each fuzz_<target>.cpp): chunks in both byte
orders and with the faults hosts bring, the file images of tests/data, event
lists that bind and move controllers, and request sequences that walk the
effect's life. libFuzzer grows the corpus from these; seeds it finds worth
keeping can be added beside them (named by their content hash).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")
OWN_ID = 0x52646C78  # "Rdlx", first character in the most significant byte
PROGRAMS, PARAMS = 61, 60


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def chunk(order="<", version=0x01000000, ident=OWN_ID, count=PROGRAMS, current=3, value=None, assign=None):
    value = value or (lambda k, i: ((7 * k + i) % 64) / 64.0)
    assign = assign or (lambda p: (p + 10.5) / 129 if p % 3 == 0 else 128.5 / 129)
    out = struct.pack(order + "IIii", version, ident, count, current) + bytes(16)
    for k in range(PROGRAMS):
        out += ("Seed %d" % k).encode().ljust(24, b"\0")
        out += struct.pack(order + "60f", *[value(k, i) for i in range(PARAMS)])
    out += struct.pack(order + "60f", *[assign(p) for p in range(PARAMS)])
    assert len(out) == 16376
    return out


def chunk_seeds():
    tempo = b"\x00"
    write("chunk", "native", b"\x00" + tempo + chunk())
    write("chunk", "reversed", b"\x01" + tempo + chunk(">"))
    write("chunk", "other-version", b"\x00" + tempo + chunk(version=0x02000000))
    write("chunk", "sixty-programs", b"\x00" + tempo + chunk(count=60))
    write("chunk", "foreign-id", b"\x00" + tempo + chunk(ident=0x52646C71))
    write("chunk", "one-byte-short", b"\x04" + tempo + chunk()[:-1])
    write("chunk", "current-out-of-range", b"\x08" + tempo + chunk(current=61))
    nan = float("nan")
    write("chunk", "odd-values", b"\x00\x23" + chunk(
        value=lambda k, i: [nan, float("inf"), -1.0, 2.0, 1e30, -0.0, 0.5][(k + i) % 7],
        assign=lambda p: [nan, -1.0, 7.748062, 0.0, 1.0, 1e9][p % 6]))
    # Laid over the effect's own chunk: just the header.
    write("chunk", "header-over-own", b"\x02\x05" + struct.pack("<IIii", 0x01000000, OWN_ID, PROGRAMS, 60))
    write("chunk", "reversed-header-over-own", b"\x03\x05" + struct.pack(">IIii", 0x01000000, OWN_ID, PROGRAMS, 7))


def file_seeds():
    kinds = {"zel": 0, "zbk": 1, "zmd": 2}
    for name in sorted(os.listdir(DATA)):
        stem, _, ext = name.partition(".")
        if ext not in kinds:
            continue
        with open(os.path.join(DATA, name), "rb") as f:
            image = f.read()
        for request in (0, 4):
            write("files", "%s-%s%s" % (stem, ext, "-request-reversed" if request else ""),
                  bytes([kinds[ext] | request, 0, 5]) + image)
    write("files", "empty-preset", b"\x00\x00\x00")
    odd = [float("nan"), float("inf"), -1.0, 2.0, -0.0, 0.5]
    write("files", "odd-values-zel", b"\x00\x00\x05" + struct.pack("<I", OWN_ID) + b"!" + b"Odd".ljust(24, b"\0")
          + struct.pack("<60f", *[odd[i % 6] for i in range(PARAMS)]))
    write("files", "header-only-bank", b"\x01\x00\x00" + struct.pack("<I", OWN_ID) + b"7")


def events_seeds():
    def cc(channel, controller, value, end=0, kind=0):
        return bytes([kind, 0xB0 | channel, controller, value, 0, end])
    bind = bytes([3, 2, 7, 9, 1, 0, 74])  # Mix on 7, Cutoff on 1 (index 9), Input on 74 (index 0)
    write("events", "bound-controllers", b"\x00" + bind + cc(0, 7, 0) + cc(5, 1, 127) + cc(15, 74, 64, end=1)
          + b"\x40" + b"\0" * 4 + cc(0, 7, 100, end=1))
    write("events", "signed-values", b"\x00" + bind + cc(0, 7, 0x80) + cc(0, 1, 0xFF) + cc(0, 74, 0x7F, end=1))
    write("events", "other-messages", b"\x00" + bind + bytes([0, 0x90, 7, 100, 0, 0, 0, 0xF8, 7, 1, 0, 0])
          + cc(0, 7, 5, kind=210) + cc(0, 7, 6, kind=240) + cc(0, 0x87, 9, end=1))
    write("events", "rebinding", b"\x00" + bytes([2, 2, 7, 3, 7]) + cc(0, 7, 33, end=1))


def dispatch_seeds():
    def req(opcode, index=0, value=0, text=b""):
        # kind < 96: request; opcode byte; index, value as small choices; opt; text
        return bytes([0, opcode, index, value, 0, 0, len(text)]) + text

    def param(index, value_byte):
        return bytes([100, 0, index + 2, value_byte])  # the index byte counts from -2

    def block(frames, double=False, level=200):
        return bytes([224 | int(double), 0, frames, level, 1, 2, 3, 4])

    life = (b"\x00\x00" + req(10) + req(11, value=32) + req(12, value=1) + block(64) + param(2, 200)
            + param(38, 127) + block(100, True) + req(8, index=15) + req(7, index=43) + req(29, index=5)
            + req(27, index=15, text=b"1234\0") + req(51, text=b"receiveVstMidiEvent\0") + req(56, index=20)
            + req(14) + req(19) + req(13) + req(15) + req(12, value=0) + req(12, value=0) + block(16))
    write("dispatch", "a-life", life)
    write("dispatch", "blocks-before-resume", b"\x00\x01" + block(128) + block(1, True) + param(41, 127) + block(3))
    write("dispatch", "odd-values", b"\x00\x00" + param(0, 0xB0) + param(15, 0xB1) + param(38, 0xB2)
          + param(62, 0x8D) + param(43, 0) + param(44, 0) + block(64))
    # A key press whose modifier float no int can hold, with the editor open.
    write("dispatch", "key-with-huge-modifier", b"\x00\x00" + req(14)
          + bytes([0, 59, 65, 0, 200, 250]) + struct.pack("<f", -1.42e26) + b"\x00"
          + bytes([0, 60, 65, 0, 200, 250]) + struct.pack("<f", float("nan")) + b"\x00" + req(15))
    write("dispatch", "chunk-and-programs", b"\x00\x00" + bytes([0, 23, 0, 0, 0, 0, 0]) + bytes([0, 24, 0, 0, 0, 0, 0, 0, 0])
          + bytes([0, 2, 1, 1, 0, 0, 0]) + req(4, text=b"A very long program name indeed, longer than 24\0") + block(32))


if __name__ == "__main__":
    chunk_seeds()
    file_seeds()
    events_seeds()
    dispatch_seeds()
