"""Exif blocks written by hand into JPEG files: ImageMagick's -orient writes none, and the
hostile cases need blocks no camera writes (offsets beyond the block, chains that loop).
"""

import struct


def exif_block(orientation, big_endian=False, ifd_offset=8, entry_count=None, next_ifd=0):
    """An APP1 payload "Exif\\0\\0" and a TIFF structure whose IFD0 holds the orientation tag
    (274, one SHORT). ifd_offset, entry_count and next_ifd say what the header and the IFD
    claim, whether or not it is true."""
    e = ">" if big_endian else "<"
    head = (b"MM\0*" if big_endian else b"II*\0") + struct.pack(e + "I", ifd_offset)
    entry = struct.pack(e + "HHIHH", 274, 3, 1, orientation, 0)
    count = 1 if entry_count is None else entry_count
    ifd = struct.pack(e + "H", count) + entry + struct.pack(e + "I", next_ifd)
    return b"Exif\0\0" + head + ifd


def app1(payload, declared_length=None):
    """An APP1 segment of the payload; declared_length is the length field it claims."""
    length = len(payload) + 2 if declared_length is None else declared_length
    return b"\xff\xe1" + struct.pack(">H", length) + payload


def with_segments(jpeg, *segments):
    """The JPEG's bytes with the segments put right after its start marker."""
    assert jpeg[:2] == b"\xff\xd8", "expected a JPEG"
    return jpeg[:2] + b"".join(segments) + jpeg[2:]


def with_orientation(jpeg, orientation, big_endian=False):
    """The JPEG's bytes with an Exif block recording the orientation."""
    return with_segments(jpeg, app1(exif_block(orientation, big_endian)))
