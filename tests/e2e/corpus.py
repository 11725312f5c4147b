"""Hostile pictures for the end-to-end robustness tests, generated on the spot with ImageMagick,
cjpeg, heif-enc and a few bytes of python: broken, lying, huge, tiny and odd files that the program may
be given as its picture. `NAMES` lists them without writing anything (CMake lists the cases of
hostile.py at configure time); `write(name, folder)` writes one and returns its path.
"""

import random
import struct
import subprocess
from pathlib import Path

from frame.files import encode_heif, make_picture
from frame.picture_bytes import (
    app1, bmp, bmp_of, exif_block, gif, icon, png, tiff, with_segments)


def _truncated(fmt, width=600, height=400):
    def make(path):
        make_picture(path, width, height, fmt=fmt)
        data = path.read_bytes()
        path.write_bytes(data[: len(data) // 2])

    return make


def _bit_flipped(fmt, width=600, height=400):
    # Flips in the second half of the file only: the picture data, not the header, so that the
    # size the header gives (and the memory the decoder may use) stays that of the picture. A
    # TIFF keeps its IFD at the end, after the pixels: its flips go in the half before it.
    def make(path):
        make_picture(path, width, height, fmt=fmt)
        data = bytearray(path.read_bytes())
        rng = random.Random(f"flip-{fmt}")
        start, end = len(data) // 2, len(data)
        if fmt == "tiff":
            ifd = struct.unpack("<I" if data[:2] == b"II" else ">I", data[4:8])[0]
            start, end = ifd // 2, ifd
        for _ in range(max(16, len(data) // 200)):
            at = rng.randrange(start, end)
            data[at] ^= 1 << rng.randrange(8)
        path.write_bytes(bytes(data))

    return make


def _jpeg_claiming(width, height):
    """A JPEG whose frame header gives the size, with a little scan data after it."""

    def make(path):
        make_picture(path, 64, 48, fmt="jpeg")
        data = path.read_bytes()
        for sof in (b"\xff\xc0", b"\xff\xc2"):
            at = data.find(sof)
            if at >= 0:
                break
        data = data[: at + 5] + struct.pack(">HH", height, width) + data[at + 9 :]
        path.write_bytes(data)

    return make


def _bytes(data):
    """A maker of a file of these bytes."""
    return lambda path: path.write_bytes(data)


def _folder(path):
    path.mkdir()


def _sized(width, height, fmt, *options):
    def make(path):
        make_picture(path, width, height, *options, fmt=fmt)

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
            path.write_bytes(png(width, height, rows))
        else:
            ppm = path.with_suffix(".ppm")
            ppm.write_bytes(_ppm_bytes(width, height))
            with open(path, "wb") as out:
                subprocess.run(["cjpeg", str(ppm)], check=True, stdout=out)
            ppm.unlink()

    return make


def _animated_gif(path):
    subprocess.run(["convert", "-delay", "10", "-size", "300x200", "xc:red", "xc:green", "xc:blue",
                    "-loop", "0", f"gif:{path}"], check=True)


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


def _jpeg_with(*segments):
    """A good 600x400 JPEG with the segments (Exif blocks) after its start marker."""

    def make(path):
        make_picture(path, 600, 400, fmt="jpeg")
        path.write_bytes(with_segments(path.read_bytes(), *segments))

    return make


def _exif_longer_than_file(path):
    # The Exif segment claims 65000 bytes; the file ends a few hundred bytes later, before any
    # frame header: a reader must neither read past the end nor take the file as cut short
    # forever.
    make_picture(path, 64, 48, fmt="jpeg")
    data = path.read_bytes()
    path.write_bytes(data[:2] + app1(exif_block(6), declared_length=65000) + data[2:300])


def _icc(chunks, spoil=lambda profile: None):
    """A good JPEG with an Adobe RGB profile, spoiled in place by spoil, in APP2 chunks of
    (sequence number, count, first byte, end byte)."""

    def make(path):
        import colour  # the colour tests make their profiles with Little CMS

        colour.write_profile(path, "adobe")
        profile = bytearray(path.read_bytes())
        spoil(profile)
        _jpeg_with(*(b"\xff\xe2" + struct.pack(">H", 16 + len(profile[a:b])) + b"ICC_PROFILE\0"
                     + bytes([n, count]) + profile[a:b] for n, count, a, b in chunks))(path)

    return make


def _tags_outside(profile):
    for entry in range(132, 132 + 12 * struct.unpack(">I", profile[128:132])[0], 12):
        profile[entry + 4:entry + 8] = struct.pack(">I", 0x7FFFFF00)


def _tiff_claiming(width, height):
    """A little-endian TIFF whose first IFD gives the size, with one strip of 64 bytes after
    it (at 8 + 2 + 12 x 9 + 4)."""
    tags = [(256, 4, width), (257, 4, height), (258, 3, 8), (259, 3, 1), (262, 3, 1),
            (273, 4, 122), (277, 3, 1), (278, 4, height), (279, 4, 64)]
    return tiff(tags) + bytes(64)


def _riff(chunk, data):
    return b"RIFF" + struct.pack("<I", 12 + len(data)) + b"WEBP" + chunk + \
        struct.pack("<I", len(data)) + data


def _webp_lossy_claiming(width, height, then=bytes(64)):
    """A WebP whose key frame header gives the size, then the bytes `then`."""
    return _riff(b"VP8 ", b"\x50\x02\x00\x9d\x01\x2a" + struct.pack("<HH", width, height) + then)


def _png_of(width, height):
    rows = b"".join(b"\x00" + bytes([200, 40, 40]) * width for _ in range(height))
    return png(width, height, rows)


# A GIF with neither a global nor a local colour table, which ends some decoders' process.
_GIF_WITHOUT_COLOURS = gif((300, 200), (0, 0, 300, 200), lambda x, y: (x + y) % 256)


def _gif_image_claiming(width, height):
    """A GIF of a 10x10 screen whose first image's descriptor gives the size, then a few bytes
    of image data."""
    data = gif((10, 10), (0, 0, 4, 4), lambda x, y: 1, [(0, 0, 0), (255, 255, 255)])
    at = 13 + 3 * 256 + 5  # the image descriptor's width, after the screen and its colours
    return data[:at] + struct.pack("<HH", width, height) + data[at + 4:]


def _heic(spoil):
    """A good 600x400 HEIC from heif-enc, its bytes spoiled by spoil."""

    def make(path):
        jpeg = path.with_suffix(".source.jpg")
        make_picture(jpeg, 600, 400, fmt="jpeg")
        encode_heif(jpeg, path)
        jpeg.unlink()
        path.write_bytes(spoil(path.read_bytes()))

    return make


def _ispe_claiming(width, height):
    def spoil(data):
        at = data.index(b"ispe") + 8  # after the type, version and flags
        return data[:at] + struct.pack(">II", width, height) + data[at + 8:]

    return spoil


# A file type box that names HEIC, then a JPEG's bytes where the boxes should be.
_HEIC_BRANDED_JPEG = b"\0\0\0\x18ftypheic\0\0\0\0mif1heic"


def _heic_branded_jpeg(path):
    make_picture(path, 600, 400, fmt="jpeg")
    path.write_bytes(_HEIC_BRANDED_JPEG + path.read_bytes())


MAKERS = {
    "jpeg_truncated": (_truncated("jpeg"), ".jpg"),
    "png_truncated": (_truncated("png"), ".png"),
    "gif_truncated": (_truncated("gif"), ".gif"),
    "bmp_truncated": (_truncated("bmp3"), ".bmp"),
    "jpeg_bit_flipped": (_bit_flipped("jpeg"), ".jpg"),
    "png_bit_flipped": (_bit_flipped("png"), ".png"),
    "gif_bit_flipped": (_bit_flipped("gif"), ".gif"),
    "bmp_bit_flipped": (_bit_flipped("bmp3"), ".bmp"),
    "zero_bytes": (_bytes(b""), ".jpg"),
    "text_named_jpg": (_bytes(b"This is a letter, not a picture.\r\n" * 40), ".jpg"),
    "folder": (_folder, ".jpg"),
    "jpeg_claims_60000x60000": (_jpeg_claiming(60000, 60000), ".jpg"),
    "png_claims_60000x60000": (_bytes(png(60000, 60000, bytes(64))), ".png"),
    "png_claims_100000x1": (_bytes(png(100000, 1, bytes(64))), ".png"),
    "bmp_claims_100000x1": (_bytes(bmp(100000, 1, bytes(12))), ".bmp"),
    "jpeg_claims_0x0": (_jpeg_claiming(0, 0), ".jpg"),
    "png_claims_0x0": (_bytes(png(0, 0, bytes(64))), ".png"),
    "png_1x1": (_sized(1, 1, "png"), ".png"),
    "png_1x20000": (_tall("png"), ".png"),
    "jpeg_1x20000": (_tall("jpeg"), ".jpg"),
    "gif_animated": (_animated_gif, ".gif"),
    "jpeg_cmyk": (_sized(400, 300, "jpeg", "-colorspace", "CMYK"), ".jpg"),
    "jpeg_444": (_sized(400, 300, "jpeg", "-sampling-factor", "1x1"), ".jpg"),
    "png_16bit": (_sized(400, 300, "png", "-depth", "16"), ".png"),
    # A 24-bit BMP whose negative height says its rows run from the top down.
    "bmp_top_down": (_bytes(bmp_of(300, 200, lambda x, y: (128, 255 - y, y), top_down=True)),
                     ".bmp"),
    "jpeg_2000_scans": (_many_scans, ".jpg"),
    # Exif blocks: the orientation is read from the file's own bytes, so every claim in them
    # is checked before it is followed.
    "exif_orientation_0": (_jpeg_with(app1(exif_block(0))), ".jpg"),
    "exif_orientation_9": (_jpeg_with(app1(exif_block(9))), ".jpg"),
    "exif_orientation_65535": (_jpeg_with(app1(exif_block(65535))), ".jpg"),
    "exif_ifd_beyond_segment": (_jpeg_with(app1(exif_block(6, ifd_offset=0x10000))), ".jpg"),
    "exif_65535_entries": (_jpeg_with(app1(exif_block(6, entry_count=65535))), ".jpg"),
    "exif_ifd_chain_to_itself": (_jpeg_with(app1(exif_block(6, next_ifd=8))), ".jpg"),
    "exif_longer_than_file": (_exif_longer_than_file, ".jpg"),
    "exif_two_segments": (_jpeg_with(app1(exif_block(6)), app1(exif_block(8))), ".jpg"),
    "exif_big_endian": (_jpeg_with(app1(exif_block(6, big_endian=True))), ".jpg"),
    "exif_little_endian": (_jpeg_with(app1(exif_block(8))), ".jpg"),
    # The other formats whose headers the program reads itself.
    "tiff_truncated": (_truncated("tiff"), ".tif"),
    "tiff_bit_flipped": (_bit_flipped("tiff"), ".tif"),
    "ico_truncated": (_truncated("ico", 64, 48), ".ico"),
    "ico_bit_flipped": (_bit_flipped("ico", 64, 48), ".ico"),
    "webp_truncated": (_truncated("webp"), ".webp"),
    "webp_bit_flipped": (_bit_flipped("webp"), ".webp"),
    # Beyond the decoding budget (16383x16383, the largest a key frame can say), and a WebP
    # header over a PNG's bytes.
    "webp_claims_16383x16383": (_bytes(_webp_lossy_claiming(16383, 16383)), ".webp"),
    "webp_header_over_png": (_bytes(_webp_lossy_claiming(600, 400, _png_of(600, 400))), ".webp"),
    "gif_claims_65535x65535": (_bytes(b"GIF89a" + struct.pack("<HHBBB", 65535, 65535, 0, 0, 0)
                                      + b"\x2c" + bytes(9) + b"\x08\x02\x4c\x01\x00;"), ".gif"),
    "gif_image_claims_65535x65535": (_bytes(_gif_image_claiming(65535, 65535)), ".gif"),
    "gif_header_over_png": (_bytes(b"GIF89a" + struct.pack("<HHBBB", 600, 400, 0, 0, 0)
                                   + _png_of(600, 400)), ".gif"),
    "gif_without_colour_tables": (_bytes(_GIF_WITHOUT_COLOURS), ".gif"),
    "tiff_claims_60000x60000": (_bytes(_tiff_claiming(60000, 60000)), ".tif"),
    # An icon of one image, a PNG whose own header gives the size: the directory's one-byte
    # sizes say 0, which stands for 256.
    # Embedded colour profiles: each is not used, and the picture shows as stored.
    "icc_truncated": (_icc([(1, 1, 0, 300)]), ".jpg"),
    "icc_chunk_missing": (_icc([(1, 3, 0, 200), (3, 3, 400, None)]), ".jpg"),
    "icc_chunk_repeated": (_icc([(1, 2, 0, 300), (1, 2, 0, 300), (2, 2, 300, None)]), ".jpg"),
    "icc_chunk_number_beyond_count": (_icc([(1, 2, 0, 300), (3, 2, 300, None)]), ".jpg"),
    "icc_count_255_one_present": (_icc([(1, 255, 0, None)]), ".jpg"),
    "icc_declares_4_gb": (_icc([(1, 1, 0, None)], lambda p: p.__setitem__(slice(0, 4),
                                                                             b"\xff" * 4)), ".jpg"),
    "icc_tags_outside_profile": (_icc([(1, 1, 0, None)], _tags_outside), ".jpg"),
    # HEIF: the primary image's size from its ispe, checked before libheif runs.
    "heic_truncated": (_heic(lambda data: data[: len(data) // 2]), ".heic"),
    "heic_claims_70000x70000": (_heic(_ispe_claiming(70000, 70000)), ".heic"),
    "heic_claims_20000x20000": (_heic(_ispe_claiming(20000, 20000)), ".heic"),
    "heic_brand_over_jpeg_bytes": (_heic_branded_jpeg, ".heic"),
    "ico_claims_60000x60000": (
        _bytes(icon([(0, 0, 32, png(60000, 60000, bytes(64), colour=6))])), ".ico"),
}

NAMES = sorted(MAKERS)


def write(name, folder, file_name=None):
    """Writes the hostile picture `name` into folder (as file_name, or as name plus its usual
    suffix) and returns its path."""
    make, suffix = MAKERS[name]
    path = Path(folder) / (file_name or name + suffix)
    make(path)
    return path
