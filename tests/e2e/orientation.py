#!/usr/bin/python3
"""End-to-end tests of pictures whose camera recorded an orientation, run against the real
Vistrelle.exe under Wine: each case stores a picture of four coloured quarters turned or
mirrored as a camera held that way would, writes the Exif block that says so, and checks that
the frame shows it upright, every quarter in its corner, at the size as displayed.

    orientation.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys

import picture
from frame import Frame, run_cases, settings, wait_for_screen, wait_size, with_orientation

SETTINGS = settings()

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


def make_stored(orientation, width, height, big_endian=False):
    """A maker for picture.frame_showing: a JPEG that shows, once turned by the orientation,
    picture.QUARTERS upright at width x height."""

    def make(path, _w, _h):
        upright = path.with_name("upright.png")
        picture.make_quarters(upright, width, height)
        subprocess.run(
            ["convert", str(upright), *STORE[orientation], "-sampling-factor", "1x1",
             "-quality", "95", f"jpeg:{path}"],
            check=True,
        )
        upright.unlink()
        path.write_bytes(with_orientation(path.read_bytes(), orientation, big_endian))

    return make


def check_upright(exe, probe, orientation, width, height, shown, big_endian=False):
    with picture.frame_showing(exe, probe, make_stored(orientation, width, height, big_endian),
                               width, height) as frame:
        # The window's outer size: the picture's plus the 2 px of its border.
        wait_size(frame, shown[0] + 2, shown[1] + 2,
                  what=f"a {width}x{height} picture stored with orientation {orientation}")
        area = picture.picture_area(frame, *shown)
        wait_for_screen(
            frame,
            f"the picture stored with orientation {orientation}, shown upright at "
            f"{shown[0]}x{shown[1]} px",
            lambda screen: picture.quarters_problem(screen, area, keep_off=1.5),
        )


def landscape_case(orientation):
    def case(exe, probe):
        # 780x520 as displayed: turned half or mirrored, the stored picture is 780x520 too.
        check_upright(exe, probe, orientation, 780, 520, (195, 130))

    case.__doc__ = f"A landscape stored with orientation {orientation} shows upright."
    return case


def portrait_case(orientation):
    def case(exe, probe):
        # A phone's 600x900 portrait, stored as 900x600: measured as a portrait, the 98x146
        # window of a 600x900 picture.
        check_upright(exe, probe, orientation, 600, 900, (96, 144))

    case.__doc__ = f"A portrait stored sideways with orientation {orientation} shows upright."
    return case


for _o in (2, 3, 4):
    globals()[f"case_orientation_{_o}_shows_upright"] = landscape_case(_o)
for _o in (5, 6, 7, 8):
    globals()[f"case_orientation_{_o}_shows_upright_as_portrait"] = portrait_case(_o)


def case_big_endian_exif_is_read_too(exe, probe):
    check_upright(exe, probe, 6, 600, 900, (96, 144), big_endian=True)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
