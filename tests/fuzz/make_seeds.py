#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets: small settings files, the first bytes of JPEG,
PNG, GIF, BMP, TIFF, icon, cursor and WebP files, JPEG and TIFF files with orientation tags,
whole small JPEG files of every kind the decoder takes (written by cjpeg and ImageMagick), and
whole small WebP, GIF, HEIC and AVIF files (cwebp, img2webp, ImageMagick, heif-enc), each a
valid start of its kind, so that fuzzing begins at the interesting places instead of at random
bytes.

    make_seeds.py FOLDER   writes FOLDER/seeds/<target>/* for every target, and makes the
                           fuzzers' FOLDER/work/<target> and FOLDER/artifacts
"""

import struct
import subprocess
import sys
from pathlib import Path

# The picture writers are the end-to-end tests' own.
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from frame.files import encode_heif, make_picture  # noqa: E402
from frame.picture_bytes import (  # noqa: E402
    app1, bmp, exif_block, icon, png, tiff, with_nclx, with_orientation, with_segments,
    without_colour_table)

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


def jpeg(width, height, sof=0xC0, app_length=16):
    app0 = b"\xff\xe0" + struct.pack(">H", app_length) + b"JFIF\x00" + bytes(app_length - 7)
    sof_segment = bytes([0xFF, sof]) + struct.pack(">HBHHB", 17, 8, height, width, 3)
    sof_segment += b"\x01\x22\x00\x02\x11\x01\x03\x11\x01"
    return b"\xff\xd8" + app0 + b"\xff\xff\xfe\x00\x04ab" + sof_segment + b"\xff\xda\x00\x02\xff\xd9"


def gif(width, height, version=b"89a"):
    return b"GIF" + version + struct.pack("<HHBBB", width, height, 0xF0, 0, 0) + bytes(6) + b";"


def tiff_sized(width, height, kind=3, big=False, orientation=None, gap=0):
    entries = [(256, kind, width), (257, kind, height)]
    if orientation is not None:
        entries.append((274, 3, orientation))
    return tiff(entries, big, gap)


def icon_file(images, cursor=False):
    """An icon of (kind, width, height, bits) images: kind "png", a PNG's header, or "dib", a
    DIB's (twice as high, for the mask)."""

    def data(kind, width, height, bits):
        if kind == "png":
            return png(width, height, colour=6)
        header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, 0, 0)
        return header + bytes(16)

    return icon([(w, h, bits, data(kind, w, h, bits)) for kind, w, h, bits in images], cursor)


def riff(chunk, data):
    return b"RIFF" + struct.pack("<I", 12 + len(data)) + b"WEBP" + chunk + \
        struct.pack("<I", len(data)) + data


def webp_lossy(width, height):
    return riff(b"VP8 ", b"\x50\x02\x00\x9d\x01\x2a" + struct.pack("<HH", width, height) +
                bytes(8))


def webp_lossless(width, height):
    return riff(b"VP8L", b"\x2f" + struct.pack("<I", (width - 1) | (height - 1) << 14 | 1 << 28) +
                bytes(8))


def webp_extended(width, height, profile=b""):
    """With a profile, VP8X announces it and an ICCP chunk holds it."""
    w, h = width - 1, height - 1
    iccp = b"ICCP" + struct.pack("<I", len(profile)) + profile if profile else b""
    return riff(b"VP8X", bytes([0x30 if profile else 0x10, 0, 0, 0]) + struct.pack("<I", w)[:3] +
                struct.pack("<I", h)[:3] + iccp + b"ALPH" + bytes(8))


def jpeg_exif(*structures, declared=None):
    exif = (app1(b"Exif\0\0" + s, declared) for s in structures)
    return with_segments(jpeg(600, 400), *exif)


TIFFS = {
    "tiff_le.tif": tiff_sized(640, 480),
    "tiff_be_long.tif": tiff_sized(3000, 2000, kind=4, big=True),
    "tiff_after_pixels.tif": tiff_sized(4000, 3000, orientation=6, gap=200),
    "tiff_huge.tif": tiff_sized(70000, 70000, kind=4),
    "tiff_many.tif": tiff([(254, 4, 0), (256, 3, 64), (257, 3, 48), (258, 3, 8), (259, 3, 1),
                           (262, 3, 2), (273, 4, 8), (277, 3, 3), (278, 3, 48), (279, 4, 9216)]),
}
ICONS = {
    "ico_dibs.ico": icon_file([("dib", 16, 16, 4), ("dib", 32, 32, 32), ("dib", 48, 48, 8)]),
    "ico_png.ico": icon_file([("dib", 16, 16, 32), ("png", 256, 256, 32)]),
    "ico_huge_dib.ico": icon_file([("dib", 70000, 70000, 32)]),
    "cur.cur": icon_file([("dib", 32, 32, 1)], cursor=True),
}
WEBPS = {
    "webp_lossy.webp": webp_lossy(640, 480),
    "webp_lossless.webp": webp_lossless(300, 200),
    "webp_extended.webp": webp_extended(4000, 3000),
    "webp_huge.webp": webp_extended(20000, 20000),
    "webp_profile.webp": webp_extended(640, 480, struct.pack(">I", 132) + bytes(128)),
}
# Orientation seeds: a leading 0 reads the rest as a file, a leading 1 as an Exif block's TIFF
# structure.
ORIENTATIONS = {
    "jpeg_le_6.jpg": b"\x00" + jpeg_exif(tiff([(271, 2, 0x414141), (274, 3, 6)])),
    "jpeg_be_8.jpg": b"\x00" + jpeg_exif(tiff([(274, 3, 8), (282, 5, 0x200)], big=True)),
    "jpeg_two_exif.jpg": b"\x00" + jpeg_exif(tiff([(274, 3, 3)]), tiff([(274, 3, 6)])),
    "jpeg_exif_too_long.jpg": b"\x00" + jpeg_exif(tiff([(274, 3, 6)]), declared=0xFFFF)[:40],
    "tiff_5.tif": b"\x00" + tiff_sized(60, 40, orientation=5),
    "tiff_be_7.tif": b"\x00" + tiff_sized(60, 40, big=True, orientation=7),
    "exif_le_2": b"\x01" + tiff([(274, 3, 2)]),
    "exif_be_4": b"\x01" + tiff([(256, 3, 64), (274, 3, 4)], big=True, next_ifd=8),
}


def ppm(width, height):
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            pixels += bytes([x * 255 // (width - 1), y * 255 // (height - 1), (x ^ y) * 8 % 256])
    return f"P6 {width} {height} 255\n".encode() + bytes(pixels)


def cjpeg(*options, width=32, height=24):
    return subprocess.run(["cjpeg", *options], input=ppm(width, height), stdout=subprocess.PIPE,
                          check=True).stdout


def cmyk_jpeg():
    return subprocess.run(["convert", "-size", "32x24", "gradient:#c03020-#2040d0", "-colorspace",
                           "CMYK", "jpeg:-"], stdout=subprocess.PIPE, check=True).stdout


def icc_chunk(sequence, count, data):
    payload = b"ICC_PROFILE\0" + bytes([sequence, count]) + data
    return b"\xff\xe2" + struct.pack(">H", len(payload) + 2) + payload


def icc_profiles():
    """The profiles of the colour tests, as Little CMS writes them."""
    import tempfile

    import colour

    with tempfile.TemporaryDirectory() as folder:
        for space in ("srgb", "adobe", "p3"):
            colour.write_profile(Path(folder) / space, space)
        return {space: (Path(folder) / space).read_bytes() for space in ("srgb", "adobe", "p3")}


def icc_seed(profile, pieces):
    """The fuzz target's input: the profile cut into that many chunks, numbered in order."""
    return bytes([pieces - 1] + [b for n in range(1, pieces + 1) for b in (n, pieces)]) + profile


def last_scan_repeated(jpeg, times):
    """A progressive file whose last scan comes again and again: beyond the decoder's cap."""
    last = jpeg.rindex(b"\xff\xda")
    return jpeg[:-2] + jpeg[last:-2] * (times - 1) + b"\xff\xd9"


def stray_before_restart(jpeg):
    """A few stray bytes before the first restart marker, as some cameras write them."""
    at = jpeg.index(b"\xff\xd0")
    return jpeg[:at] + b"\x12\x34\x56" + jpeg[at:]


# Whole files; the decoder's target takes a leading byte that picks the size asked for.
JPEGS = {
    "baseline.jpg": cjpeg(),
    "progressive.jpg": cjpeg("-progressive"),
    "arithmetic.jpg": cjpeg("-arithmetic"),
    "arithmetic_progressive.jpg": cjpeg("-arithmetic", "-progressive"),
    "grey.jpg": cjpeg("-grayscale"),
    "restarts.jpg": cjpeg("-restart", "1B"),
    "stray_before_restart.jpg": stray_before_restart(cjpeg("-restart", "1B")),
    "scans_beyond_the_cap.jpg": last_scan_repeated(cjpeg("-progressive"), 600),
    "sampled_444.jpg": cjpeg("-sample", "1x1"),
    "sampled_422_odd.jpg": cjpeg("-sample", "2x1", width=33, height=17),
    "rgb.jpg": cjpeg("-rgb"),
    "cmyk.jpg": cmyk_jpeg(),
    "exif_and_icc.jpg": with_segments(cjpeg(), app1(exif_block(6)), icc_chunk(1, 2, bytes(40)),
                                      icc_chunk(2, 2, bytes(30))),
}

def made(*commands):
    """The bytes of out.* that the commands write in a folder of their own, where a 32x24
    gradient.png and its half-transparent alpha.png are given."""
    import tempfile

    with tempfile.TemporaryDirectory() as folder:
        run = lambda *c: subprocess.run(c, cwd=folder, check=True, capture_output=True)
        run("convert", "-size", "32x24", "gradient:#c03020-#2040d0", "gradient.png")
        run("convert", "gradient.png", "-alpha", "set", "-channel", "A", "-evaluate", "set",
            "50%", "alpha.png")
        for command in commands:
            run(*command)
        return next(Path(folder).glob("out.*")).read_bytes()


# Whole WebP and GIF files of every kind their decoders take (written by cwebp, img2webp and
# ImageMagick).
WEBP_FILES = {
    "lossy.webp": made(["cwebp", "-quiet", "gradient.png", "-o", "out.webp"]),
    "lossy_alpha.webp": made(["cwebp", "-quiet", "alpha.png", "-o", "out.webp"]),
    "lossless_alpha.webp": made(["cwebp", "-quiet", "-lossless", "alpha.png", "-o", "out.webp"]),
    "animated.webp": made(["img2webp", "-lossy", "gradient.png", "-lossless",
                           "alpha.png", "-o", "out.webp"]),
}
GIF_FILES = {
    "plain.gif": made(["convert", "gradient.png", "out.gif"]),
    "interlaced.gif": made(["convert", "gradient.png", "-interlace", "GIF", "out.gif"]),
    "transparent.gif": made(["convert", "alpha.png", "-channel", "A", "-threshold", "60%",
                             "out.gif"]),
    "offset.gif": made(["convert", "gradient.png", "-crop", "16x12+0+0", "-repage", "32x24+9+7",
                        "out.gif"]),
    "no_colours.gif": without_colour_table(made(["convert", "gradient.png", "+dither", "-colors",
                                                 "16", "out.gif"])),
}


def heif_files():
    """Small HEIC and AVIF files as heif-enc writes them (HEVC decodes slowly: 64x48 at most):
    plain, turned by irot, mirrored by imir, with alpha, 10-bit, with an ICC profile, with nclx
    primaries of Display P3."""
    import tempfile

    import colour

    with tempfile.TemporaryDirectory() as name:
        folder = Path(name)
        jpeg, png_file, deep = folder / "in.jpg", folder / "in.png", folder / "deep.png"
        make_picture(jpeg, 64, 48)
        make_picture(png_file, 48, 32, "-alpha", "set", "-channel", "A", "-evaluate", "set",
                     "60%", fmt="png")
        make_picture(deep, 32, 32, "-depth", "16", fmt="png")
        turned, mirrored, tagged = folder / "t.jpg", folder / "m.jpg", folder / "p3.jpg"
        turned.write_bytes(with_orientation(jpeg.read_bytes(), 6, next_ifd_field=False))
        mirrored.write_bytes(with_orientation(jpeg.read_bytes(), 5, next_ifd_field=False))
        colour.write_profile(folder / "p3.icc", "p3")
        subprocess.run(["convert", str(jpeg), "-profile", str(folder / "p3.icc"), str(tagged)],
                       check=True)
        sources = {
            "plain.heic": (jpeg, ()),
            "irot.heic": (turned, ()),
            "imir.heic": (mirrored, ()),
            "alpha.heic": (png_file, ()),
            "ten_bit.heic": (deep, ("-b", "10")),
            "icc.heic": (tagged, ()),
            "plain.avif": (jpeg, ()),
            "irot.avif": (turned, ()),
        }
        out = {}
        for file, (source, options) in sources.items():
            encode_heif(source, folder / file, *options)
            out[file] = (folder / file).read_bytes()
        out["nclx_p3.avif"] = with_nclx(out["plain.avif"], 12, 13)
        return out


HEIFS = heif_files()

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
    **TIFFS, **ICONS, **WEBPS, **HEIFS,
}

# Remembered frames' records: a whole one, one cut short, one of another version with a field
# given twice and values out of range.
FRAME_RECORDS = {
    "whole.frame": "Vistrelle frame 1\nPicture=C:\\Pictures\\猫.jpg\nMonitor=\\\\.\\DISPLAY2\n"
    "MonitorArea=1920 0 1280 1024\nPlace=120 80\nDpi=144\nSize=2\nOpacity=1\nShadow=3\n"
    "Caption=True\nPace=30\nShuffle=False\nLock=True\n".encode(),
    "cut.frame": b"Vistrelle frame 1\r\nPicture=D:\\a.jpg\r\nMonitorArea=0 0 19",
    "other.frame": b"Vistrelle frame 7\nSize=9\nSize=1\nPlace=-5000000 3\nDpi=0\nLock=yes\n",
}

# The single-format targets take the file without its signature and a leading byte that picks
# the byte order (TIFF) or icon or cursor; the WebP target takes the file without "RIFF" and
# "WEBP".
SEEDS = {
    "picture_header": HEADERS,
    "tiff_header": {k: (b"\x01" if v[:2] == b"MM" else b"\x00") + v[4:] for k, v in TIFFS.items()},
    "icon_header": {k: (b"\x01" if v[2] == 2 else b"\x00") + v[4:] for k, v in ICONS.items()},
    "webp_header": {k: v[4:8] + v[12:] for k, v in WEBPS.items()},
    "orientation": ORIENTATIONS,
    "jpeg_decoder": {k: bytes([i * 5 % 16]) + v for i, (k, v) in enumerate(JPEGS.items())},
    "webp_decoder": {k: bytes([i * 5 % 16]) + v for i, (k, v) in enumerate(WEBP_FILES.items())},
    "gif_decoder": {k: bytes([i]) + v for i, (k, v) in enumerate(GIF_FILES.items())},
    "heif_decoder": HEIFS,
    "frame_record": FRAME_RECORDS,
    "icc_profile": {f"{name}_{pieces}.icc": icc_seed(profile, pieces)
                    for name, profile in icc_profiles().items() for pieces in (1, 3)},
}


def main():
    top = Path(sys.argv[1])
    out = top / "seeds"
    for target in ["settings", *SEEDS]:
        for folder in (out / target, top / "work" / target):
            folder.mkdir(parents=True, exist_ok=True)
    (top / "artifacts").mkdir(parents=True, exist_ok=True)
    # The settings target takes one leading byte that picks the reader's buffer capacity.
    for i, (name, text) in enumerate(SETTINGS.items()):
        (out / "settings" / f"{name}.ini").write_bytes(bytes([5]) + text.encode("cp1252"))
        (out / "settings" / f"{name}_utf8.ini").write_bytes(
            bytes([i]) + b"\xef\xbb\xbf" + text.encode("utf-8"))
        (out / "settings" / f"{name}_utf16.ini").write_bytes(bytes([5]) + utf16(text, i % 2 == 1))
    for target, seeds in SEEDS.items():
        for name, data in seeds.items():
            (out / target / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
