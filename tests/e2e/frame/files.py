"""The files a run of the program is given: pictures drawn by ImageMagick and encoded by
heif-enc (picture_bytes.py writes the others) and the text of its settings file, option.ini.
"""

import subprocess
from pathlib import Path


def make_picture(path, width, height, *options, fmt=None):
    """Writes a picture of the given size, a JPEG unless fmt (an ImageMagick format) or the
    path's suffix says otherwise: a diagonal gradient with a few shapes on it; options are
    ImageMagick's, applied before it is written."""
    target = f"{fmt}:{path}" if fmt else str(path)
    x, y, r = width // 3, height // 3, min(width, height) // 6
    circle = f"circle {x},{y} {x + r},{y}"
    rectangle = f"rectangle {width // 2},{height // 2} {width * 7 // 8},{height * 7 // 8}"
    subprocess.run(
        ["convert", "-size", f"{width}x{height}", "gradient:#2a6fdb-#f4b942", "-fill", "#d7263d",
         "-draw", circle, "-fill", "#1b998b", "-draw", rectangle, "-quality", "90",
         *map(str, options), target],
        check=True,
    )


def encode_heif(source, path, *options):
    """Encodes the picture file source (a JPEG or PNG) as HEIC, or as AVIF when path ends in
    .avif, with Debian's heif-enc; options are heif-enc's. heif-enc turns the Exif orientation
    of a JPEG into irot and imir boxes (when the Exif block ends with its first IFD: heif-enc
    1.15 reads the tag only then). Its AV1 encoder aborts on PNG input: an AVIF is made from a
    JPEG, with BT.601's matrix coefficients."""
    avif = ["-A", "--matrix_coefficients", "6"] if str(path).endswith(".avif") else []
    subprocess.run(["heif-enc", "-q", "90", *avif, *map(str, options), "-o", str(path),
                    str(source)], check=True, stdout=subprocess.DEVNULL)


# The option.ini most cases start with: a white caption with a black shade, Arial 10 points;
# {show} is ShowFileName, {offset} the shadow mode, {color1} and {color2} the caption colours.
SETTINGS_TEMPLATE = """[Main]
Font=Arial
Size=10
Color1={color1}
Color2={color2}
ShowFileName={show}
[Shadow]
OffSet={offset}
"""


def settings(show=True, offset=1, color1=16777215, color2=0):
    """The text of an option.ini (see SETTINGS_TEMPLATE)."""
    return SETTINGS_TEMPLATE.format(show=show, offset=offset, color1=color1, color2=color2)


def write_settings(path, text):
    """Writes the text of an option.ini as the program reads it: with the system's ANSI
    functions, so in the ANSI code page and with CR LF line ends."""
    Path(path).write_bytes(text.replace("\n", "\r\n").encode("cp1252"))
