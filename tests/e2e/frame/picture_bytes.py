"""Picture files written byte by byte, for what ImageMagick will not write: headers that claim
what is not there, Exif blocks no camera writes, pixels the test must know exactly. The hostile
corpus, the screen cases and the fuzz seeds (tests/fuzz/make_seeds.py) all write with these.
"""

import struct
import zlib
from pathlib import Path


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, rows=None, depth=8, colour=2):
    """A PNG's signature and IHDR (colour 2 RGB, 6 RGBA); with rows (the scanlines, each with
    its filter byte) also IDAT and IEND: a whole file."""
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    out = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
    if rows is not None:
        out += png_chunk(b"IDAT", zlib.compress(rows)) + png_chunk(b"IEND", b"")
    return out


def bmp(width, height, rows=b"", dib=40):
    """A 24-bit BMP: file header, an info header of dib bytes (12 is the old core header) and
    the rows as given (bottom-up when height is positive)."""
    if dib == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, 24)
    else:
        info = struct.pack("<IiiHHIIiiII", dib, width, height, 1, 24, 0, len(rows), 2835, 2835, 0,
                           0) + bytes(dib - 40)
    start = 14 + len(info)
    return b"BM" + struct.pack("<IHHI", start + len(rows), 0, 0, start) + info + rows


def bmp_of(width, height, pixel, top_down=False):
    """A 24-bit BMP whose pixel (x, y) has the colour pixel(x, y) = (r, g, b)."""
    pad = bytes(-3 * width % 4)
    order = range(height) if top_down else range(height - 1, -1, -1)
    rows = b"".join(
        b"".join(bytes(pixel(x, y)[::-1]) for x in range(width)) + pad for y in order
    )
    return bmp(width, -height if top_down else height, rows)


def write_bmp(path, width, height, pixel):
    Path(path).write_bytes(bmp_of(width, height, pixel))


def tiff(entries, big=False, gap=0, next_ifd=0, ifd_offset=None, entry_count=None):
    """A TIFF structure: the header, `gap` bytes, the first IFD of (tag, type, value) entries
    (one value each, type 3 a SHORT, any other four bytes) and the next IFD's offset.
    ifd_offset and entry_count are what the header and the IFD claim, true or not."""
    e = ">" if big else "<"
    at = 8 + gap if ifd_offset is None else ifd_offset
    out = (b"MM\0*" if big else b"II*\0") + struct.pack(e + "I", at) + bytes(gap)
    out += struct.pack(e + "H", len(entries) if entry_count is None else entry_count)
    for tag, kind, value in entries:
        field = struct.pack(e + "HH", value, 0) if kind == 3 else struct.pack(e + "I", value)
        out += struct.pack(e + "HHI", tag, kind, 1) + field
    return out + struct.pack(e + "I", next_ifd)


def icon(images, cursor=False):
    """An icon (or cursor) file of (width, height, bits, data) images, data a PNG or a DIB;
    the directory keeps width and height modulo 256, as its one byte each can."""
    out = struct.pack("<HHH", 0, 2 if cursor else 1, len(images))
    at = 6 + 16 * len(images)
    for width, height, bits, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, bits, len(data), at)
        at += len(data)
    return out + b"".join(data for *_, data in images)


# --- Exif -------------------------------------------------------------------------------------


def exif_block(orientation, big_endian=False, **claims):
    """An APP1 payload: "Exif\\0\\0" and a TIFF structure whose IFD0 holds the orientation tag
    (274, one SHORT); claims (ifd_offset, entry_count, next_ifd) as tiff() takes them."""
    return b"Exif\0\0" + tiff([(274, 3, orientation)], big_endian, **claims)


def app1(payload, declared_length=None):
    """An APP1 segment of the payload; declared_length is the length field it claims."""
    length = len(payload) + 2 if declared_length is None else declared_length
    return b"\xff\xe1" + struct.pack(">H", length) + payload


def with_segments(jpeg, *segments):
    """The JPEG's bytes with the segments put right after its start marker."""
    assert jpeg[:2] == b"\xff\xd8", "expected a JPEG"
    return jpeg[:2] + b"".join(segments) + jpeg[2:]


def with_orientation(jpeg, orientation, big_endian=False, next_ifd_field=True):
    """The JPEG's bytes with an Exif block recording the orientation; without the IFD's field
    for the next IFD's offset, the block ends with its first IFD (as heif-enc wants it)."""
    block = exif_block(orientation, big_endian)
    return with_segments(jpeg, app1(block if next_ifd_field else block[:-4]))


# --- HEIF -------------------------------------------------------------------------------------


def with_nclx(heif, primaries, transfer):
    """A HEIF file's bytes with the primaries and transfer of its nclx colour box set (H.273's
    codes, 12 and 13 for Display P3): heif-enc 1.15 writes 2 (unspecified) whatever it is told.
    The box keeps its size, so nothing else moves."""
    at = heif.index(b"colrnclx") + 8
    return heif[:at] + struct.pack(">HH", primaries, transfer) + heif[at + 4:]


# --- GIF --------------------------------------------------------------------------------------


def gif(screen, image, index, palette=None, transparent=None, interlaced=False):
    """A GIF89a of a logical screen (width, height) and one image (left, top, width, height)
    whose pixel (x, y) has the colour index index(x, y) (0 to 255). palette: the global colour
    table's (r, g, b) colours, padded to 256 entries; None: no colour table at all. transparent:
    the index a graphic control extension makes transparent. interlaced: the rows stored in the
    four passes' order. The image data is LZW of 9-bit codes that never grow: a clear code
    before every 250 indices."""
    table = b""
    flags = 0
    if palette is not None:
        table = b"".join(bytes(c) for c in palette).ljust(3 * 256, b"\0")
        flags = 0xF7
    left, top, width, height = image
    codes = []
    rows = range(height)
    if interlaced:
        rows = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2))
                for y in range(start, height, step)]
    indices = [index(x, y) for y in rows for x in range(width)]
    for at in range(0, len(indices), 250):
        codes += [256] + indices[at:at + 250]
    codes.append(257)
    data, buffer, held = bytearray(), 0, 0
    for code in codes + [0]:  # the last 0 flushes the final bits
        buffer |= code << held
        held += 9
        while held >= 8:
            data.append(buffer & 0xFF)
            buffer >>= 8
            held -= 8
    data = bytes(data)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    control = b"" if transparent is None else struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 1, 0,
                                                            transparent, 0)
    return (b"GIF89a" + struct.pack("<HHBBB", *screen, flags, 0, 0) + table + control
            + b"\x2c" + struct.pack("<HHHHB", left, top, width, height, 0x40 if interlaced else 0)
            + b"\x08" + blocks + b"\x00;")


def without_colour_table(gif):
    """The GIF's bytes without their global colour table (its first image must have no local
    one): a GIF that says nothing of its colours."""
    flags = gif[10]
    assert flags & 0x80, "expected a GIF with a global colour table"
    size = 3 << ((flags & 7) + 1)
    return gif[:10] + bytes([flags & 0x7F]) + gif[11:13] + gif[13 + size:]
