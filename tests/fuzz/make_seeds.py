#!/usr/bin/env python3
"""Writes the fuzzers' seed inputs into corpus/<name>/: small files, each a case
of its format that a reader could get wrong. Run again after changing a case;
the files are kept in the repository so a fuzz run needs no Python."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, cases):
    folder = os.path.join(HERE, "corpus", name)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.startswith("seed-"):
            os.remove(os.path.join(folder, old))
    for label, data in cases.items():
        with open(os.path.join(folder, "seed-" + label), "wb") as f:
            f.write(data)


def highscore():
    row = lambda score, name: score.encode() + b"," + name + b"\r\n"
    defaults = b"".join(row("0", b"---") for _ in range(9))
    sample = b"".join(row(str(s), n) for s, n in
                      [(1200, b"Anna"), (900, b"Bert, der Zweite"), (900, b"Carla"), (500, b"M\xe4dchen"),
                       (400, b" Blank "), (300, b""), (200, b"a,b,c"), (100, b"Dora"), (0, b"---")])
    return {
        "empty": b"",
        "defaults": defaults,
        "sample": sample,
        "sample-lf": sample.replace(b"\r\n", b"\n"),
        "five-rows": b"".join(row(str(10 * i), b"Name%d" % i) for i in range(5)),
        "extremes": row("2147483647", b"max") + row("-2147483648", b"min") + row("-1", b"minus"),
        "score-too-long": row("123456789012", b"zu lang") + sample,
        "name-22": row("7", b"x" * 22) + sample,
        "name-23": row("7", b"x" * 23) + sample,
        "only-comma": b"5,\r\n6,sechs\r\n",
        "no-comma": b"12345\r\n",
        "last-without-line-end": row("3", b"drei") + b"4,vier",
        "lone-cr": b"3,ei\rns\r\n4,zwei\r\r\n",
        "not-a-number": b"abc,xyz\r\n  +42 ,plus\r\n-,nichts\r\n",
        "ten-rows": sample + row("1", b"zehnte"),
        "blank-lines": b"\r\n\r\n1,a\r\n",
        "nul-bytes": b"1,a\x00b\r\n2\x00,c\r\n",
    }


def settings():
    def case(key, value, text):
        return bytes([key]) + struct.pack("<i", value) + text
    game = (b"[Optionen]\r\nVorbelegung=3\r\nZielhilfe=1\r\nVorschauzwei=0\r\nMusik=1\r\nmodus=2\r\n")
    crowded = (b"; Einstellungen\r\nalt=1\r\n\r\n[Grafik]\r\nBreite=800\r\n\r\n[OPTIONEN]\r\n"
               b" Vorbelegung = 12 \r\n;modus=3\r\nFarbe=blau\r\n\r\n; Ende\r\n[Audio]\r\nmodus=4\r\n"
               b"[Optionen]\r\nmodus=1\r\n")
    return {
        "empty": case(0, 5, b""),
        "game": case(4, 1, game),
        "game-lf": case(1, 0, game.replace(b"\r\n", b"\n")),
        "crowded": case(0, 7, crowded),
        "crowded-lf": case(4, 2, crowded.replace(b"\r\n", b"\n")),
        "other-section-only": case(3, 1, b"[Grafik]\r\nBreite=800"),
        "no-line-end": case(2, 1, b"[Optionen]\r\nZielhilfe=2"),
        "lone-cr-at-end": case(2, 1, b"[Optionen]\r\nZielhilfe=2\r"),
        "quoted": case(0, -1, b"[Optionen]\nVorbelegung=\"15\"\nmodus='3'\n"),
        "huge-values": case(0, -2147483648, b"[Optionen]\r\nVorbelegung=99999999999\r\nmodus=-99999999999\r\n"),
        "broken-header": case(4, 3, b"[Optionen\r\nmodus=3\r\n[Optionen]x]\r\nmodus=1\r\n"),
        "key-without-value": case(3, 0, b"[Optionen]\r\nMusik\r\nMusik=\r\n=5\r\n"),
        "bom": case(1, 1, b"\xef\xbb\xbf[Optionen]\r\nZielhilfe=0\r\n"),
        "blank-lines-before-next": case(3, 1, b"[Optionen]\r\nmodus=1\r\n\r\n; Audio\r\n\r\n[Audio]\r\nx=1\r\n"),
        "nul-bytes": case(0, 9, b"[Optionen]\x00\r\nVorbelegung=\x004\r\n"),
    }


def track():
    rows = [",".join(str((r + c) % 10) for c in range(10)) + "," for r in range(300)]
    plain = ("\n".join(rows) + "\n").encode()
    two_digits = "".join("%d,%d,-1, 7,,+5,99,-9,0,1," % (r % 90 + 10, r % 7) for r in range(300)).encode()
    return {
        "empty": b"",
        "lines-lf": plain,
        "lines-crlf": plain.replace(b"\n", b"\r\n"),
        "tenth-without-comma": b"1,2,3,4,5,6,7,8,9,0\n1,2,3,4,5,6,7,8,9,0\n",
        "two-digit-fields": two_digits,
        "field-of-three": b"1,2,345,6,7,\n",
        "short": b"1,2,3,\n4",
        "last-field-cut": b"1,2,3,4,5,6,7,8,9,12",
        "signs-and-blanks": b" 1,-1,+2,- , -,+,,a1,1a,\t3,",
        # Two line breaks and a comma per field: as far into the file as
        # reading can get, so the end of the bytes read lies just beyond it.
        "longest-reading": b"\r\n\r\n," * 3000 + b"9,9,9,9,9,",
    }


def bmp(width, height, bits, pixels, palette=b"", compression=0, masks=b"", top_down=False, header=40):
    """A BMP file; `pixels` are the rows as stored (bottom-up unless top_down)."""
    info = struct.pack("<iiHHIIiiII", width, -height if top_down else height, 1, bits, compression,
                       len(pixels), 2835, 2835, len(palette) // 4, 0)
    info = struct.pack("<I", header) + info
    if header > 40:
        extra = masks.ljust(header - 40, b"\0")
        info += extra
    elif masks:
        info += masks
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def rows(data_rows):
    return b"".join(r + b"\0" * (-len(r) % 4) for r in data_rows)


def bitmap():
    def case(w, h, own, data):
        return bytes([1 if own else 0]) + struct.pack("<HH", w, h) + data
    key = b"\x14\x00\x00"  # blue 20: the colour key, stored as B G R
    bgr24 = bmp(3, 2, 24, rows([key + b"\xff\x00\x00" + b"\x00\xff\x00", b"\x00\x00\xff" * 2 + b"\x15\x00\x00"]))
    bgra32 = bmp(2, 2, 32, b"\x14\x00\x00\xff\x01\x02\x03\x00" * 2)
    masks565 = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    rgb565 = bmp(2, 2, 16, rows([b"\x1f\x00\xe0\x07"] * 2), compression=3, masks=masks565)
    rgb555 = bmp(3, 1, 16, rows([b"\x1f\x00\xe0\x03\x00\x7c"]))
    palette = b"".join(struct.pack("<BBBB", i * 16 % 256, i * 32 % 256, 20 if i == 1 else i, 0) for i in range(16))
    pal8 = bmp(4, 4, 8, rows([bytes([i, i + 1, i + 2, i + 3]) for i in range(0, 16, 4)]), palette)
    pal4 = bmp(5, 2, 4, rows([b"\x01\x23\x40", b"\xfe\xdc\xb0"]), palette)
    pal1 = bmp(9, 2, 1, rows([b"\xaa\x80", b"\x55\x00"]), palette[:8])
    rle8 = bmp(6, 3, 8, b"\x03\x01\x00\x03\x02\x03\x00\x00\x06\x02\x00\x00\x02\x05\x00\x01", palette,
               compression=1)
    rle4 = bmp(6, 2, 4, b"\x06\x12\x00\x00\x00\x06\x34\x56\x78\x00\x00\x01", palette, compression=2)
    top_down = bmp(2, 3, 24, rows([key + b"\x01\x01\x01"] * 3), top_down=True)
    v5 = bmp(2, 1, 32, b"\x00\x00\xff\x00\x14\x00\x00\x00", compression=3, header=124,
             masks=struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000))
    truncated = bgr24[: len(bgr24) - 5]
    huge = bmp(30000, 30000, 24, b"")
    wide = bmp(300, 1, 24, rows([bytes(range(256)) * 3 + b"\x14\x00\x00" * 44]))
    return {
        "bgr24-scaled-up": case(255, 99, False, bgr24),
        "bgr24-own-size": case(0, 0, True, bgr24),
        "bgra32-shrunk": case(0, 0, False, bgra32),
        "rgb565-bitfields": case(7, 3, False, rgb565),
        "rgb555": case(2, 4, True, rgb555),
        "palette8": case(24, 24, False, pal8),
        "palette4-own": case(0, 0, True, pal4),
        "palette1-odd-width": case(17, 1, False, pal1),
        "rle8": case(11, 11, True, rle8),
        "rle4": case(5, 5, False, rle4),
        "top-down": case(4, 6, True, top_down),
        "v5-header": case(1, 1, False, v5),
        "truncated": case(3, 3, False, truncated),
        "huge-claimed-size": case(2, 2, False, huge),
        "wide-shrunk": case(24, 0, False, wide),
        "not-a-bitmap": case(8, 8, False, b"GIF89a" + b"\0" * 20),
    }


def vlq(value):
    out = bytes([value & 0x7F])
    value >>= 7
    while value:
        out = bytes([0x80 | (value & 0x7F)]) + out
        value >>= 7
    return out


def midi(fmt, tracks):
    head = b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), 480)
    return head + b"".join(b"MTrk" + struct.pack(">I", len(t)) + t for t in tracks)


def events(*items):
    return b"".join(vlq(delta) + bytes(data) for delta, data in items)


def tune_presets():
    end = (0, [0xFF, 0x2F, 0x00])
    lead = events((0, [0xFF, 0x03, 0x04]), (0, b"Lead"), (0, [0xC0, 73]), (0, [0x90, 60, 100]), (120, [62, 100]),
                  (120, [60, 0]), (0, [0xB1, 0, 8]), (0, [0xC1, 46]), (10, [0x91, 50, 90]), end)
    drums = events((0, [0xC9, 0]), (0, [0x99, 36, 100]), (60, [0x89, 36, 0]), end)
    early = events((0, [0x92, 60, 100]), (100, [0x82, 60, 0]), (0, [0xC2, 80]), end)
    sysex = events((0, [0xF0, 0x05, 0x41, 0x10, 0x42, 0x12, 0xF7]), (0, [0xC3, 16]), (0, [0x93, 60, 90]), end)
    whole = midi(1, [lead, drums, early])
    return {
        "format-1": whole,
        "format-0": midi(0, [lead]),
        "sysex": midi(0, [sysex]),
        "cut-short": whole[:70],
        "track-claims-more": whole[:18] + b"\x7f" + whole[19:],
        "long-delta": midi(0, [b"\xff\xff\xff\xff\x7f" + lead]),
        "no-tracks": midi(0, []),
        "other-chunk": midi(0, []) + b"XFIH\x00\x00\x00\x02ab" + b"MTrk" + struct.pack(">I", len(drums)) + drums,
    }


def le(value, size):
    return value.to_bytes(size, "little")


def chunk(cid, contents):
    return cid + le(len(contents), 4) + contents + (b"\0" if len(contents) % 2 else b"")


def sf2_level(headers, presets):
    h = bags = mods = gens = b""
    bag = gen = mod = 0
    for name, program, bank, zones in headers + [(b"EOP" if presets else b"EOI", 0, 0, [])]:
        h += name.ljust(20, b"\0") + (le(program, 2) + le(bank, 2) if presets else b"") + le(bag, 2)
        h += b"\0" * 12 if presets else b""
        for generators, modulators in zones:
            bags += le(gen, 2) + le(mod, 2)
            bag += 1
            for op, amount in generators:
                gens += le(op, 2) + le(amount, 2)
                gen += 1
            for _ in range(modulators):
                mods += le(0x0502 + mod, 2) + le(48, 2) + le(100 + mod, 2) + b"\0" * 4
                mod += 1
    return h, bags + le(gen, 2) + le(mod, 2), mods + b"\0" * 10, gens + b"\0" * 4


def sf2(presets, instruments, samples, major=2):
    points = shdr = b""
    for name, data, loop_start, loop_end, link, kind in samples:
        start = len(points) // 2
        points += b"".join(le(p & 0xFFFF, 2) for p in data) + b"\0" * 92
        shdr += name.ljust(20, b"\0") + b"".join(le(v, 4) for v in (start, start + len(data), start + loop_start,
                                                                     start + loop_end, 22050))
        shdr += bytes([60, 0]) + le(link, 2) + le(kind, 2)
    shdr += b"EOS".ljust(46, b"\0")
    phdr, pbag, pmod, pgen = sf2_level(presets, True)
    inst, ibag, imod, igen = sf2_level(instruments, False)
    info = b"INFO" + chunk(b"ifil", le(major, 2) + le(4, 2)) + chunk(b"isng", b"EMU8000\0")
    pdta = b"pdta" + b"".join(chunk(i, t) for i, t in [(b"phdr", phdr), (b"pbag", pbag), (b"pmod", pmod),
                                                       (b"pgen", pgen), (b"inst", inst), (b"ibag", ibag),
                                                       (b"imod", imod), (b"igen", igen), (b"shdr", shdr)])
    body = b"sfbk" + chunk(b"LIST", info) + chunk(b"LIST", b"sdta" + chunk(b"smpl", points)) + chunk(b"LIST", pdta)
    return chunk(b"RIFF", body)


def bank_cut():
    wave = lambda count, step: [(i * step) % 20000 - 10000 for i in range(count)]
    presets = [(b"Piano", 0, 0, [([(17, 10), (41, 0)], 1)]),
               (b"Harp", 46, 0, [([(17, 500)], 2), ([(43, 0x3C00), (41, 1)], 1), ([(41, 3)], 0)]),
               (b"Harp GS", 46, 8, [([(41, 1)], 0)]),
               (b"Kit", 0, 128, [([(41, 2)], 3)]),
               (b"Bass", 38, 0, [([(41, 3)], 0)])]
    instruments = [(b"Piano", 0, 0, [([(53, 0)], 1)]),
                   (b"Harp", 0, 0, [([(17, 0)], 1), ([(53, 2)], 0)]),
                   (b"Kit", 0, 0, [([(43, 0x2423), (53, 4)], 0), ([(53, 5)], 2)]),
                   (b"Bass", 0, 0, [([(53, 1)], 0)])]
    samples = [(b"Piano", wave(30, 97), 10, 28, 0, 1), (b"Bass", wave(15, 301), 2, 14, 0, 1),
               (b"Harp L", wave(20, 53), 5, 19, 3, 4), (b"Harp R", wave(20, 59), 5, 19, 2, 2),
               (b"Kick", wave(12, 401), 0, 0, 0, 1), (b"Snare", wave(9, 733), 0, 0, 0, 1)]
    small = sf2(presets, instruments, samples)
    return {
        "small": small,
        "piano-only": sf2(presets[:1], instruments[:1], samples[:1]),
        "no-presets": sf2([], instruments, samples),
        "version-3": sf2(presets, instruments, samples, 3),
        "compressed": sf2(presets, instruments, samples[:2] + [samples[2][:5] + (0x14,)] + samples[3:]),
        "cut-short": small[:len(small) * 3 // 4],
    }


if __name__ == "__main__":
    write("highscore", highscore())
    write("settings", settings())
    write("track", track())
    write("bitmap", bitmap())
    write("tune_presets", tune_presets())
    write("bank_cut", bank_cut())
