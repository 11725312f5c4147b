"""The files a run of the program is given: pictures (a JPEG drawn by ImageMagick, a BMP of
any pixels) and the text of its settings file, option.ini.
"""

import subprocess
from pathlib import Path


def make_picture(path, width, height):
    """Writes a JPEG of the given size: a diagonal gradient with a few shapes on it."""
    subprocess.run(
        [
            "convert",
            "-size",
            f"{width}x{height}",
            "gradient:#2a6fdb-#f4b942",
            "-fill",
            "#d7263d",
            "-draw",
            f"circle {width // 3},{height // 3} {width // 3 + min(width, height) // 6},{height // 3}",
            "-fill",
            "#1b998b",
            "-draw",
            f"rectangle {width // 2},{height // 2} {width * 7 // 8},{height * 7 // 8}",
            "-quality",
            "90",
            str(path),
        ],
        check=True,
    )


def write_bmp(path, width, height, pixel):
    """Writes a 24-bit BMP whose pixel (x, y) has the colour pixel(x, y) = (r, g, b)."""
    stride = (3 * width + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray(stride)
        for x in range(width):
            r, g, b = pixel(x, y)
            row[3 * x : 3 * x + 3] = bytes((b, g, r))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = (
        b"BM"
        + (54 + len(data)).to_bytes(4, "little")
        + bytes(4)
        + (54).to_bytes(4, "little")
        + (40).to_bytes(4, "little")
        + width.to_bytes(4, "little", signed=True)
        + height.to_bytes(4, "little", signed=True)
        + (1).to_bytes(2, "little")
        + (24).to_bytes(2, "little")
        + bytes(4)
        + len(data).to_bytes(4, "little")
        + (2835).to_bytes(4, "little") * 2
        + bytes(8)
    )
    Path(path).write_bytes(header + data)


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


def settings(show="True", offset=1, color1=16777215, color2=0):
    """The text of an option.ini (see SETTINGS_TEMPLATE)."""
    return SETTINGS_TEMPLATE.format(show=show, offset=offset, color1=color1, color2=color2)


def write_settings(path, text):
    """Writes the text of an option.ini as the program reads it: with the system's ANSI
    functions, so in the ANSI code page and with CR LF line ends."""
    Path(path).write_bytes(text.replace("\n", "\r\n").encode("cp1252"))
