"""Hostile pictures for the end-to-end robustness tests, generated on the spot with ImageMagick,
cjpeg and a few bytes of python: broken, lying, huge, tiny and odd files that the program may
be given as its picture. `NAMES` lists them without writing anything (CMake lists the cases of
hostile.py at configure time); `write(name, folder)` writes one and returns its path.
"""

import random
import struct
import subprocess
import zlib
from pathlib import Path


def _convert(*args):
    subprocess.run(["convert", *map(str, args)], check=True)


def _good(path, width=600, height=400, fmt=None):
    """A plain picture of the given size in the format of the path's suffix (or fmt)."""
    target = f"{fmt}:{path}" if fmt else path
    _convert("-size", f"{width}x{height}", "gradient:#2a6fdb-#f4b942", "-fill", "#d7263d",
             "-draw", f"circle {width // 3},{height // 3} {width // 2},{height // 3}", target)


def _truncated(fmt):
    def make(path):
        _good(path, fmt=fmt)
        data = path.read_bytes()
        path.write_bytes(data[: len(data) // 2])

    return make


def _bit_flipped(fmt):
    # Flips in the second half of the file only: the picture data, not the header, so that the
    # size the header gives (and the memory the decoder may use) stays that of the picture.
    def make(path):
        _good(path, fmt=fmt)
        data = bytearray(path.read_bytes())
        rng = random.Random(f"flip-{fmt}")
        for _ in range(max(16, len(data) // 200)):
            at = rng.randrange(len(data) // 2, len(data))
            data[at] ^= 1 << rng.randrange(8)
        path.write_bytes(bytes(data))

    return make


def _jpeg_claiming(width, height):
    """A JPEG whose frame header gives the size, with a little scan data after it."""

    def make(path):
        _good(path, 64, 48, fmt="jpeg")
        data = path.read_bytes()
        for sof in (b"\xff\xc0", b"\xff\xc2"):
            at = data.find(sof)
            if at >= 0:
                break
        data = data[: at + 5] + struct.pack(">HH", height, width) + data[at + 9 :]
        path.write_bytes(data)

    return make


def _png_claiming(width, height):
    def make(path):
        ihdr = b"IHDR" + struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
        idat = b"IDAT" + zlib.compress(b"\x00" * 64)
        chunks = b""
        for body in (ihdr, idat, b"IEND"):
            chunks += struct.pack(">I", len(body) - 4) + body + struct.pack(">I", zlib.crc32(body))
        path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunks)

    return make


def _bmp_claiming(width, height):
    def make(path):
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, 0, 2835, 2835, 0, 0)
        path.write_bytes(b"BM" + struct.pack("<IHHI", 54 + 12, 0, 0, 54) + info + bytes(12))

    return make


def _zero_bytes(path):
    path.write_bytes(b"")


def _text(path):
    path.write_text("This is a letter, not a picture.\r\n" * 40)


def _folder(path):
    path.mkdir()


def _sized(width, height, fmt, *extra):
    def make(path):
        _convert("-size", f"{width}x{height}", "gradient:#2a6fdb-#f4b942", *extra, f"{fmt}:{path}")

    return make


def _ppm_bytes(width, height):
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            pixels += bytes([x * 255 // max(1, width - 1), y * 255 // max(1, height - 1), 90])
    return f"P6 {width} {height} 255\n".encode() + bytes(pixels)


def _tall(fmt):
    # ImageMagick's resource policy refuses sides beyond 16000: written without it.
    def make(path):
        width, height = 1, 20000
        if fmt == "png":
            rows = b"".join(b"\x00" + bytes([0, y * 255 // height, 90]) for y in range(height))
            ihdr = b"IHDR" + struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
            chunks = b""
            for body in (ihdr, b"IDAT" + zlib.compress(rows), b"IEND"):
                chunks += struct.pack(">I", len(body) - 4) + body + struct.pack(">I", zlib.crc32(body))
            path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunks)
        else:
            ppm = path.with_suffix(".ppm")
            ppm.write_bytes(_ppm_bytes(width, height))
            with open(path, "wb") as out:
                subprocess.run(["cjpeg", str(ppm)], check=True, stdout=out)
            ppm.unlink()

    return make


def _animated_gif(path):
    _convert("-delay", "10", "-size", "300x200", "xc:red", "xc:green", "xc:blue", "-loop", "0",
             f"gif:{path}")


def _top_down_bmp(path):
    # A 24-bit BMP of 300x200 whose negative height says its rows run from the top down.
    width, height = 300, 200
    stride = (width * 3 + 3) & ~3
    rows = b"".join(bytes([y, 255 - y, 128] * width) + bytes(stride - width * 3) for y in range(height))
    info = struct.pack("<IiiHHIIiiII", 40, width, -height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    path.write_bytes(b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54) + info + rows)


def _scans(data):
    """(start, end) of every scan of a JPEG: its SOS segment and entropy-coded data."""
    scans = []
    at = data.find(b"\xff\xda")
    while at >= 0:
        length = struct.unpack(">H", data[at + 2 : at + 4])[0]
        end = at + 2 + length
        # The entropy-coded data ends at the first marker that is neither FF 00 nor RSTn.
        while True:
            end = data.find(b"\xff", end)
            if data[end + 1] != 0 and not 0xD0 <= data[end + 1] <= 0xD7:
                break
            end += 2
        scans.append((at, end))
        at = data.find(b"\xff\xda", end)
    return scans


def _many_scans(path):
    """A progressive JPEG of 2000 scans: cjpeg's progressive file (at most 100 scans from cjpeg)
    whose smallest scan is sent again and again before the end. Decoders warn about the
    repeated refinement and decode every scan all the same."""
    ppm = path.with_suffix(".ppm")
    ppm.write_bytes(_ppm_bytes(300, 450))
    data = subprocess.run(["cjpeg", "-progressive", str(ppm)], check=True,
                          stdout=subprocess.PIPE).stdout
    ppm.unlink()
    scans = _scans(data)
    start, end = min(scans, key=lambda s: s[1] - s[0])
    eoi = data.rfind(b"\xff\xd9")
    path.write_bytes(data[:eoi] + data[start:end] * (2000 - len(scans)) + data[eoi:])


MAKERS = {
    "jpeg_truncated": (_truncated("jpeg"), ".jpg"),
    "png_truncated": (_truncated("png"), ".png"),
    "gif_truncated": (_truncated("gif"), ".gif"),
    "bmp_truncated": (_truncated("bmp3"), ".bmp"),
    "jpeg_bit_flipped": (_bit_flipped("jpeg"), ".jpg"),
    "png_bit_flipped": (_bit_flipped("png"), ".png"),
    "gif_bit_flipped": (_bit_flipped("gif"), ".gif"),
    "bmp_bit_flipped": (_bit_flipped("bmp3"), ".bmp"),
    "zero_bytes": (_zero_bytes, ".jpg"),
    "text_named_jpg": (_text, ".jpg"),
    "folder": (_folder, ".jpg"),
    "jpeg_claims_60000x60000": (_jpeg_claiming(60000, 60000), ".jpg"),
    "png_claims_60000x60000": (_png_claiming(60000, 60000), ".png"),
    "png_claims_100000x1": (_png_claiming(100000, 1), ".png"),
    "bmp_claims_100000x1": (_bmp_claiming(100000, 1), ".bmp"),
    "jpeg_claims_0x0": (_jpeg_claiming(0, 0), ".jpg"),
    "png_claims_0x0": (_png_claiming(0, 0), ".png"),
    "png_1x1": (_sized(1, 1, "png"), ".png"),
    "png_1x20000": (_tall("png"), ".png"),
    "jpeg_1x20000": (_tall("jpeg"), ".jpg"),
    "gif_animated": (_animated_gif, ".gif"),
    "jpeg_cmyk": (_sized(400, 300, "jpeg", "-colorspace", "CMYK"), ".jpg"),
    "jpeg_444": (_sized(400, 300, "jpeg", "-sampling-factor", "1x1"), ".jpg"),
    "png_16bit": (_sized(400, 300, "png", "-depth", "16"), ".png"),
    "bmp_top_down": (_top_down_bmp, ".bmp"),
    "jpeg_2000_scans": (_many_scans, ".jpg"),
}

NAMES = sorted(MAKERS)


def write(name, folder, file_name=None):
    """Writes the hostile picture `name` into folder (as file_name, or as name plus its usual
    suffix) and returns its path."""
    make, suffix = MAKERS[name]
    path = Path(folder) / (file_name or name + suffix)
    make(path)
    return path
