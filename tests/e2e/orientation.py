#!/usr/bin/python3
"""End-to-end tests of pictures whose camera recorded an orientation, run against the real
Vistrelle.exe under Wine: each picture of four coloured quarters is stored turned or mirrored as
a camera held that way would, with the Exif block that says so, and the frame must show it
upright, every quarter in its corner, at the size as displayed. The pictures are shown one
after the other on one running program, the first at start-up, the others dropped on it.

    orientation.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys

import picture
from frame import (
    Frame,
    drop_resized,
    in_turn,
    limit,
    run_cases,
    settings,
    wait_size,
    with_orientation,
)

# What ImageMagick does to an upright picture to store it as a camera with the orientation
# would: the undoing of each orientation's turn (6 is turned clockwise to show, so it is
# stored turned anticlockwise).
STORE = {
    2: ["-flop"],
    3: ["-rotate", "180"],
    4: ["-flip"],
    5: ["-transpose"],
    6: ["-rotate", "270"],
    7: ["-transverse"],
    8: ["-rotate", "90"],
}

# A landscape is shown at 195x130; a phone's 600x900 portrait, stored sideways as 900x600,
# must be measured as a portrait: 96x144.
LANDSCAPE = ((780, 520), (195, 130))
PORTRAIT = ((600, 900), (96, 144))

# name: (orientation, upright picture and size shown, big-endian Exif). Landscapes and
# portraits take turns, so that each picture's size proves that it loaded; the first is the
# picture the program starts with.
PICTURES = {
    "orientation_6_shows_upright_as_portrait": (6, PORTRAIT, False),
    "orientation_2_shows_upright": (2, LANDSCAPE, False),
    "orientation_5_shows_upright_as_portrait": (5, PORTRAIT, False),
    "orientation_3_shows_upright": (3, LANDSCAPE, False),
    "orientation_7_shows_upright_as_portrait": (7, PORTRAIT, False),
    "orientation_4_shows_upright": (4, LANDSCAPE, False),
    "orientation_8_shows_upright_as_portrait": (8, PORTRAIT, False),
    # Stored as a 520x780 portrait, turned to show as a landscape.
    "big_endian_exif_is_read_too": (6, LANDSCAPE, True),
}


def write_stored(path, orientation, upright, big_endian):
    """A JPEG that shows, once turned by the orientation, picture.QUARTERS upright at the
    upright (width, height)."""
    png = path.with_name("upright.png")
    picture.make_quarters(png, *upright, fmt="png")
    subprocess.run(["convert", str(png), *STORE[orientation], "-sampling-factor", "1x1",
                    "-quality", "95", f"jpeg:{path}"], check=True)
    png.unlink()
    path.write_bytes(with_orientation(path.read_bytes(), orientation, big_endian))


def show(frame, item):
    name, (orientation, (upright, shown), big_endian) = item
    outer = (shown[0] + 2, shown[1] + 2)  # the picture's size and the 2 px of the border
    if name == FIRST:
        wait_size(frame, *outer, what=name)
    else:
        path = frame.folder / f"{name}.jpg"
        write_stored(path, orientation, upright, big_endian)
        drop_resized(frame, [path], *outer, what=name)
    picture.check_shown(frame, shown, picture.quarters_problem, f"{name}: the picture upright")


FIRST = next(iter(PICTURES))


@limit(400)
def case_upright(exe, probe):
    def make():
        first = PICTURES[FIRST]
        return Frame(exe, probe, option_ini=settings(),
                     picture=lambda path: write_stored(path, first[0], first[1][0], first[2]))

    in_turn(((name, (name, item)) for name, item in PICTURES.items()), make, show)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
