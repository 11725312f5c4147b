#!/usr/bin/python3
"""End-to-end tests of embedded colour profiles, run against the real Vistrelle.exe under Wine
(whose display is sRGB): stripes of sRGB colours stored converted into a wider space with its
profile embedded must show within 4 levels of the sRGB colours; the same numbers tagged sRGB,
or untagged, must show as stored. The pictures are dropped in turn on one running program.

    colour.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import ctypes
import subprocess
import sys

import picture
from frame import Frame, close, drop_resized, encode_heif, in_turn, limit, run_cases, settings
from frame.picture_bytes import with_nclx

# Red, skin, sky, foliage, yellow, grey.
STRIPES = ((214, 40, 48), (230, 180, 150), (70, 130, 200), (60, 140, 60), (240, 196, 40),
           (128, 128, 128))
STORED, SHOWN = (780, 520), (195, 130)
# Under D65, the primaries and curve (Little CMS's parametric type and parameters) of Adobe RGB
# (1998) and of Display P3.
SPACES = {
    "adobe": (((0.64, 0.33), (0.21, 0.71), (0.15, 0.06)), 1, (563 / 256,)),
    "p3": (((0.68, 0.32), (0.265, 0.69), (0.15, 0.06)), 4,
           (2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045)),
}
# Ghostscript's SWOP profile (Debian's libgs-common).
CMYK = "/usr/share/color/icc/ghostscript/default_cmyk.icc"
LCMS = ctypes.CDLL("liblcms2.so.2")
for _name in ("cmsCreateRGBProfile", "cmsCreate_sRGBProfile", "cmsBuildParametricToneCurve",
              "cmsCreateTransform"):
    getattr(LCMS, _name).restype = ctypes.c_void_p


def profile(space):
    """Little CMS's handle of the profile of the space ("srgb" or one of SPACES)."""
    if space == "srgb":
        return ctypes.c_void_p(LCMS.cmsCreate_sRGBProfile())
    primaries, kind, params = SPACES[space]
    xyy = ctypes.c_double * 3
    curve = LCMS.cmsBuildParametricToneCurve(None, kind, (ctypes.c_double * 5)(*params))
    return ctypes.c_void_p(LCMS.cmsCreateRGBProfile(
        xyy(0.3127, 0.3290, 1), (xyy * 3)(*(xyy(x, y, 1) for x, y in primaries)),
        (ctypes.c_void_p * 3)(curve, curve, curve)))


def write_profile(path, space):
    LCMS.cmsSaveProfileToFile(profile(space), str(path).encode())


def converted(space):
    """The stripes converted from sRGB into the space (perceptual, black-point compensation)."""
    rgb8 = 0x40019
    transform = ctypes.c_void_p(LCMS.cmsCreateTransform(profile("srgb"), rgb8, profile(space),
                                                        rgb8, 0, 0x2000))
    data = bytes(sum(STRIPES, ()))
    out = ctypes.create_string_buffer(len(data))
    LCMS.cmsDoTransform(transform, data, out, len(STRIPES))
    return [tuple(out.raw[i:i + 3]) for i in range(0, len(data), 3)]


def write_stripes(path, colours, icc):
    """Vertical stripes of the colours with the profile file icc (or none) embedded: a JPEG at
    100 % quality without chroma subsampling, or a PNG or TIFF whose numbers ImageMagick keeps;
    with a CMYK profile, a CMYK JPEG that ImageMagick converts the sRGB colours into."""
    width, height = STORED
    ppm = path.with_suffix(".ppm")
    row = bytes(colours[x * len(colours) // width][c] for x in range(width) for c in range(3))
    ppm.write_bytes(b"P6 %d %d 255\n" % STORED + row * height)
    if icc == CMYK:
        srgb = path.with_suffix(".srgb.icc")
        write_profile(srgb, "srgb")
        command = ["convert", str(ppm), "-profile", str(srgb), "-intent", "relative",
                   "-black-point-compensation", "-profile", CMYK, "-quality", "100",
                   "-sampling-factor", "1x1", str(path)]
    elif path.suffix in (".heic", ".avif"):
        # Through a JPEG, whose profile heif-enc keeps; an nclx description of Display P3
        # instead when there is none.
        jpeg = path.with_suffix(".jpg")
        write_stripes(jpeg, colours, icc)
        encode_heif(jpeg, path)
        if not icc:
            path.write_bytes(with_nclx(path.read_bytes(), 12, 13))
        return
    elif path.suffix != ".jpg":
        command = ["convert", str(ppm), *(["-profile", str(icc)] if icc else []), str(path)]
    else:
        command = ["cjpeg", "-quality", "100", "-sample", "1x1",
                   *(["-icc", str(icc)] if icc else []), "-outfile", str(path), str(ppm)]
    subprocess.run(command, check=True)


def stripes_problem(expected, tolerance):
    def problem(screen, area):
        left, top, right, bottom = area
        wrong = []
        for i, colour in enumerate(expected):
            x = left + (2 * i + 1) * (right - left) // (2 * len(expected))
            for y in (top + 10, (top + bottom) // 2, bottom - 10):
                if not close(got := screen.at(x, y), colour, tolerance):
                    wrong.append(f"stripe {i} at ({x},{y}): {got}, expected {colour}")
        return "; ".join(wrong) or None
    return problem


# name: (the space of the stored numbers, the profile embedded, whether the sRGB colours show)
PICTURES = {
    "adobe_rgb_jpeg_shows_the_original_colours": ("adobe", "adobe", True),
    "adobe_rgb_png_shows_the_original_colours": ("adobe", "adobe", True),
    "adobe_rgb_tiff_shows_the_original_colours": ("adobe", "adobe", True),
    "display_p3_jpeg_shows_the_original_colours": ("p3", "p3", True),
    "display_p3_heic_shows_the_original_colours": ("p3", "p3", True),
    # Described by its nclx box's primaries and transfer, no profile embedded.
    "display_p3_nclx_avif_shows_the_original_colours": ("p3", None, True),
    "srgb_tagged_jpeg_shows_its_stored_values": ("adobe", "srgb", False),
    "untagged_jpeg_shows_its_stored_values": ("adobe", None, False),
    # Through CMYK and back the colours move a little; by the inks' plain product, 40 or more.
    "cmyk_jpeg_shows_the_original_colours": ("cmyk", "cmyk", True),
}


def show(frame, item):
    name, (space, tag, original) = item
    path = frame.folder / (name + next(f".{kind}" for kind in ("png", "tif", "jpg", "heic", "avif")
                                       if f"_{kind}" in name.replace("jpeg", "jpg")))
    icc = path.with_suffix(".icc") if tag else None
    if tag == "cmyk":
        icc = CMYK
    elif icc:
        write_profile(icc, tag)
    write_stripes(path, STRIPES if icc == CMYK else converted(space), icc)
    drop_resized(frame, [path], SHOWN[0] + 2, SHOWN[1] + 2, what=name)
    expected = STRIPES if original else converted(space)
    # HEVC and AV1 move flat colours by a few levels more than a JPEG at 100 %.
    tolerance = 12 if icc == CMYK else 6 if path.suffix in (".heic", ".avif") else 4
    picture.check_shown(frame, SHOWN, stripes_problem(expected, tolerance), f"{name}: the stripes")


@limit(300)
def case_profiles(exe, probe):
    def start():
        return Frame(exe, probe, option_ini=settings(),
                     picture=lambda path: picture.make_quarters(path, 300, 100))

    in_turn(((name, (name, item)) for name, item in PICTURES.items()), start, show)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
