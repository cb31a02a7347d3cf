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


if __name__ == "__main__":
    write("highscore", highscore())
    write("settings", settings())
    write("track", track())
    write("bitmap", bitmap())
