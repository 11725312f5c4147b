#!/usr/bin/python3
"""End-to-end tests of colour profiles, run against the real Vistrelle.exe under Wine: a picture
of flat stripes made in sRGB is stored converted into a wider space with that space's profile
embedded, and the frame, which shows an sRGB display under Wine, must paint every stripe within
4 levels of its sRGB original. The same converted numbers tagged sRGB, or untagged, must be
painted as they are stored. The pictures are shown one after the other on one running program.

    colour.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import ctypes
import subprocess
import sys

import picture
from frame import Frame, close, drop_resized, in_turn, limit, run_cases, settings

# Stripes of sRGB colours that a photo is made of: skin, sky, foliage, a strong red, a grey.
STRIPES = ((214, 40, 48), (230, 180, 150), (70, 130, 200), (60, 140, 60), (240, 196, 40),
           (128, 128, 128))
TOLERANCE = 4
STORED, SHOWN = (780, 520), (195, 130)

# The two wide spaces as Little CMS builds them: D65 white, their primaries, their curves
# (Adobe RGB (1998): gamma 563/256; Display P3: the sRGB curve).
D65 = (0.3127, 0.3290)
SPACES = {
    "adobe": (((0.64, 0.33), (0.21, 0.71), (0.15, 0.06)), (1, (563 / 256,))),
    "p3": (((0.680, 0.320), (0.265, 0.690), (0.150, 0.060)),
           (4, (2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045))),
}


class _XyY(ctypes.Structure):
    _fields_ = [("x", ctypes.c_double), ("y", ctypes.c_double), ("Y", ctypes.c_double)]


def _lcms():
    lib = ctypes.CDLL("liblcms2.so.2")
    for name in ("cmsCreateRGBProfile", "cmsCreate_sRGBProfile", "cmsBuildParametricToneCurve",
                 "cmsCreateTransform"):
        getattr(lib, name).restype = ctypes.c_void_p
    return lib


def write_profile(path, space):
    """Writes the ICC profile of a space ("srgb" or one of SPACES) and returns its handle."""
    lib = _lcms()
    if space == "srgb":
        handle = lib.cmsCreate_sRGBProfile()
    else:
        primaries, (kind, params) = SPACES[space]
        curve = lib.cmsBuildParametricToneCurve(None, kind, (ctypes.c_double * 5)(*params))
        handle = lib.cmsCreateRGBProfile(ctypes.byref(_XyY(*D65, 1.0)),
                                         (_XyY * 3)(*(_XyY(x, y, 1.0) for x, y in primaries)),
                                         (ctypes.c_void_p * 3)(curve, curve, curve))
    lib.cmsSaveProfileToFile(ctypes.c_void_p(handle), str(path).encode())
    return lib, handle


def converted(space):
    """The stripes' colours converted from sRGB into the space, as 8-bit numbers."""
    lib, target = write_profile("/dev/null", space)
    source = lib.cmsCreate_sRGBProfile()
    rgb8, perceptual, black_point = 0x40019, 0, 0x2000
    transform = lib.cmsCreateTransform(ctypes.c_void_p(source), rgb8, ctypes.c_void_p(target),
                                       rgb8, perceptual, black_point)
    data = bytes(c for stripe in STRIPES for c in stripe)
    out = ctypes.create_string_buffer(len(data))
    lib.cmsDoTransform(ctypes.c_void_p(transform), data, out, len(STRIPES))
    return tuple(tuple(out.raw[i:i + 3]) for i in range(0, len(data), 3))


def write_stripes(path, colours, profile=None):
    """A JPEG of vertical stripes of the colours, at 100 % quality without chroma subsampling,
    with the profile file embedded when given."""
    width, height = STORED
    rows = bytes(colours[x * len(colours) // width][c] for x in range(width) for c in range(3))
    ppm = path.with_suffix(".ppm")
    ppm.write_bytes(b"P6 %d %d 255\n" % (width, height) + rows * height)
    icc = ["-icc", str(profile)] if profile else []
    subprocess.run(["cjpeg", "-quality", "100", "-sample", "1x1", *icc, "-outfile", str(path),
                    str(ppm)], check=True)
    ppm.unlink()


def stripes_problem(expected):
    def problem(screen, area):
        left, top, right, bottom = area
        width = right - left
        wrong = []
        for i, colour in enumerate(expected):
            x = left + (2 * i + 1) * width // (2 * len(expected))
            for y in (top + 10, (top + bottom) // 2, bottom - 10):
                got = screen.at(x, y)
                if not close(got, colour, TOLERANCE):
                    wrong.append(f"stripe {i} at ({x},{y}): {got}, expected {colour}")
        return "; ".join(wrong) or None
    return problem


# name: (space the numbers are in, profile embedded, the colours to see: "original" or "stored")
PICTURES = {
    "adobe_rgb_jpeg_shows_the_original_colours": ("adobe", "adobe", "original"),
    "display_p3_jpeg_shows_the_original_colours": ("p3", "p3", "original"),
    "srgb_tagged_jpeg_shows_its_stored_values": ("adobe", "srgb", "stored"),
    "untagged_jpeg_shows_its_stored_values": ("adobe", None, "stored"),
}


def make(path, item):
    space, tag, _ = item
    profile = None
    if tag:
        profile = path.with_suffix(".icc")
        write_profile(profile, tag)
    write_stripes(path, converted(space), profile)


def show(frame, item):
    name, (space, tag, seen) = item
    path = frame.folder / f"{name}.jpg"
    make(path, (space, tag, seen))
    # Each picture is dropped on the running frame: a new picture each time.
    drop_resized(frame, [path], SHOWN[0] + 2, SHOWN[1] + 2, what=name)
    expected = STRIPES if seen == "original" else converted(space)
    picture.check_shown(frame, SHOWN, stripes_problem(expected), f"{name}: the stripes")


@limit(300)
def case_profiles(exe, probe):
    def start():
        return Frame(exe, probe, option_ini=settings(), picture=lambda p: picture.make_quarters(
            p, 300, 100))

    in_turn(((name, (name, item)) for name, item in PICTURES.items()), start, show)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
