#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets: small settings files and the first bytes of
JPEG, PNG, GIF and BMP files, each a valid start of its kind, so that fuzzing begins at the
interesting places instead of at random bytes.

    make_seeds.py FOLDER   writes FOLDER/seeds/settings/* and FOLDER/seeds/picture_header/*,
                           and makes the fuzzers' FOLDER/work/<target> and FOLDER/artifacts
"""

import struct
import sys
import zlib
from pathlib import Path

SETTINGS = {
    "default": "[Main]\r\nFont=Arial\r\nSize=10\r\nColor1=16777215\r\nColor2=0\r\n"
    "ShowFileName=True\r\n[Shadow]\r\nOffSet=1\r\n",
    "hex_and_fraction": "[Main]\nSize=&H7FFF\nColor1=-2.5\nColor2=&hFFFFFFFF\n"
    "ShowFileName=0\n[Shadow]\nOffSet=3.5\n",
    "quoted_blanks": '[ main ]\n  size =  " 12 "\n\tShowFileName\t=\tfalse\n',
    "out_of_range": "[Main]\nSize=32768\nColor1=99999999999\n[Shadow]\nOffSet=-32769\n",
    "sections_twice": "[Shadow]\nOffSet=2\n[Main]\nSize\n[Main]\nSize=9\n[Other\nx=1\n",
    "cr_only": "[Main]\rSize=8\r\rColor1=255\r",
}


def utf16(text, big):
    return (b"\xfe\xff" + text.encode("utf-16-be")) if big else (b"\xff\xfe" + text.encode("utf-16-le"))


def png(width, height, depth=8, colour=2):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    chunk = struct.pack(">I", 13) + b"IHDR" + ihdr
    return b"\x89PNG\r\n\x1a\n" + chunk + struct.pack(">I", zlib.crc32(chunk[4:]))


def jpeg(width, height, sof=0xC0, app_length=16):
    app0 = b"\xff\xe0" + struct.pack(">H", app_length) + b"JFIF\x00" + bytes(app_length - 7)
    sof_segment = bytes([0xFF, sof]) + struct.pack(">HBHHB", 17, 8, height, width, 3)
    sof_segment += b"\x01\x22\x00\x02\x11\x01\x03\x11\x01"
    return b"\xff\xd8" + app0 + b"\xff\xff\xfe\x00\x04ab" + sof_segment + b"\xff\xda\x00\x02\xff\xd9"


def gif(width, height, version=b"89a"):
    return b"GIF" + version + struct.pack("<HHBBB", width, height, 0xF0, 0, 0) + bytes(6) + b";"


def bmp(width, height, dib=40):
    if dib == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, 24)
    else:
        info = struct.pack("<IiiHHIIiiII", dib, width, height, 1, 24, 0, 0, 2835, 2835, 0, 0)
        info += bytes(dib - 40)
    return b"BM" + struct.pack("<IHHI", 14 + len(info), 0, 0, 14 + len(info)) + info


HEADERS = {
    "jpeg_baseline.jpg": jpeg(640, 480),
    "jpeg_progressive.jpg": jpeg(600, 900, sof=0xC2),
    "jpeg_huge.jpg": jpeg(60000, 60000),
    "jpeg_zero.jpg": jpeg(0, 0),
    "png_rgb.png": png(780, 520),
    "png_16bit.png": png(1, 20000, depth=16, colour=6),
    "png_wide.png": png(100000, 1),
    "gif87.gif": gif(320, 200, b"87a"),
    "gif89.gif": gif(1, 1),
    "bmp_info.bmp": bmp(600, 900),
    "bmp_top_down.bmp": bmp(600, -900),
    "bmp_v5.bmp": bmp(65535, 2048, dib=124),
    "bmp_core.bmp": bmp(64, 64, dib=12),
}


def main():
    top = Path(sys.argv[1])
    out = top / "seeds"
    for folder in (out / "settings", out / "picture_header", top / "work" / "settings",
                   top / "work" / "picture_header", top / "artifacts"):
        folder.mkdir(parents=True, exist_ok=True)
    # The settings target takes one leading byte that picks the reader's buffer capacity.
    for i, (name, text) in enumerate(SETTINGS.items()):
        (out / "settings" / f"{name}.ini").write_bytes(bytes([5]) + text.encode("cp1252"))
        (out / "settings" / f"{name}_utf8.ini").write_bytes(
            bytes([i]) + b"\xef\xbb\xbf" + text.encode("utf-8"))
        (out / "settings" / f"{name}_utf16.ini").write_bytes(bytes([5]) + utf16(text, i % 2 == 1))
    for name, data in HEADERS.items():
        (out / "picture_header" / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
