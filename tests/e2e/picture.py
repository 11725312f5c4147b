#!/usr/bin/python3
"""End-to-end tests of the picture as the frame shows it on the screen, run against the real
Vistrelle.exe under Wine: each case writes an image.jpg whose every part has a known colour,
starts the program and reads the screen where the picture window stands.

    picture.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys

from frame import (
    client_rect,
    close,
    Frame,
    run_cases,
    settings,
    wait_for_screen,
)

SETTINGS = settings()

# Four solid quarters: top left, top right, bottom left, bottom right.
QUARTERS = ((214, 40, 48), (36, 168, 72), (40, 76, 204), (240, 196, 40))
QUARTER_NAMES = ("top left", "top right", "bottom left", "bottom right")

# A JPEG of solid areas comes back within a few steps of its colours; averaging adds nothing
# inside an area.
TOLERANCE = 16


def rgb(colour):
    return "rgb(%d,%d,%d)" % colour


def make_quarters(path, width, height):
    """A JPEG of four solid quarters in the QUARTERS colours (width and height even), without
    chroma subsampling so that the edges between the quarters stay where they are."""
    w, h = width // 2, height // 2
    subprocess.run(
        [
            "convert",
            "-size",
            f"{width}x{height}",
            f"xc:{rgb(QUARTERS[0])}",
            "-fill",
            rgb(QUARTERS[1]),
            "-draw",
            f"rectangle {w},0 {width - 1},{h - 1}",
            "-fill",
            rgb(QUARTERS[2]),
            "-draw",
            f"rectangle 0,{h} {w - 1},{height - 1}",
            "-fill",
            rgb(QUARTERS[3]),
            "-draw",
            f"rectangle {w},{h} {width - 1},{height - 1}",
            "-sampling-factor",
            "1x1",
            "-quality",
            "95",
            str(path),
        ],
        check=True,
    )


def make_checkerboard(path, width, height):
    """A greyscale JPEG of single black and white pixels in a checkerboard: nothing but the
    finest detail, which a shrunk picture can show only as its average, mid grey."""
    subprocess.run(
        [
            "convert",
            "-size",
            "2x2",
            "xc:white",
            "-fill",
            "black",
            "-draw",
            "point 0,0",
            "-draw",
            "point 1,1",
            "-write",
            "mpr:tile",
            "+delete",
            "-size",
            f"{width}x{height}",
            "tile:mpr:tile",
            "-colorspace",
            "Gray",
            "-quality",
            "100",
            str(path),
        ],
        check=True,
    )


def frame_showing(exe, probe, make, width, height):
    """A Frame whose image.jpg is made by make(path, width, height)."""
    frame = Frame(exe, probe, picture=None, option_ini=SETTINGS)
    try:
        make(frame.folder / "image.jpg", width, height)
    except BaseException:
        frame.stop()
        raise
    return frame


def picture_area(frame, shown_width, shown_height):
    """The screen rectangle where the picture must stand: the top left corner of the picture
    window's client area, at the display size. Checks that the window has room for it."""
    main = frame.wait_main_window()
    left, top, right, bottom = client_rect(main)
    assert right - left >= shown_width and bottom - top >= shown_height, (
        f"expected a picture window with room for the picture at {shown_width}x{shown_height} "
        f"px, got a client area of {right - left}x{bottom - top} px ({main})"
    )
    return (left, top, left + shown_width, top + shown_height)


def quarters_problem(screen, area, keep_off):
    """What is wrong with the four quarters of the picture in the area of the screen, or None.
    Points within keep_off pixels of the line between two quarters are not judged (the scaler
    mixes the two colours there); every other point is, on a grid of every third pixel, and the
    four corner pixels of the area always are."""
    left, top, right, bottom = area
    width, height = right - left, bottom - top
    xs = sorted(set(range(0, width, 3)) | {width - 1})
    ys = sorted(set(range(0, height, 3)) | {height - 1})
    wrong = []
    for y in ys:
        if abs(y + 0.5 - height / 2) < keep_off:
            continue
        for x in xs:
            if abs(x + 0.5 - width / 2) < keep_off:
                continue
            q = (2 if y >= height / 2 else 0) + (1 if x >= width / 2 else 0)
            got = screen.at(left + x, top + y)
            if not close(got, QUARTERS[q], TOLERANCE):
                wrong.append(f"({x},{y}) in the {QUARTER_NAMES[q]} quarter: {got}")
    if wrong:
        return (
            f"expected the picture's four quarters {dict(zip(QUARTER_NAMES, QUARTERS))} to fill "
            f"the {width}x{height} px at ({left},{top}); {len(wrong)} points differ, e.g. "
            f"{'; '.join(wrong[:6])}"
        )
    return None


def check_quarters(exe, probe, width, height, shown_width, shown_height, keep_off):
    with frame_showing(exe, probe, make_quarters, width, height) as frame:
        area = picture_area(frame, shown_width, shown_height)
        wait_for_screen(
            frame,
            f"the {width}x{height} picture shown at {shown_width}x{shown_height} px",
            lambda screen: quarters_problem(screen, area, keep_off),
        )


def case_landscape_picture_fills_its_place(exe, probe):
    # 780x520 is shown 195 px wide and 130 px high at the window's top left corner: every
    # quarter where it belongs, the corners included, so the whole picture is there, neither
    # cut nor shifted nor left smaller.
    check_quarters(exe, probe, 780, 520, 195, 130, keep_off=1.5)


def case_portrait_picture_fills_its_place(exe, probe):
    # 600x900 is shown 96 px wide and 144 px high.
    check_quarters(exe, probe, 600, 900, 96, 144, keep_off=1.5)


def case_small_picture_is_enlarged(exe, probe):
    # 78x52 is shown at 195x130 px too, two and a half times its size.
    check_quarters(exe, probe, 78, 52, 195, 130, keep_off=4)


def case_square_picture_is_shown_square(exe, probe):
    check_quarters(exe, probe, 400, 400, 195, 195, keep_off=1.5)


def case_shrunk_picture_shows_the_average_of_its_detail(exe, probe):
    # A checkerboard of single pixels shrunk four times: each pixel on the screen stands for
    # eight black and eight white ones, so the picture is an even mid grey, not black or white
    # or stripes as when pixels are dropped.
    with frame_showing(exe, probe, make_checkerboard, 780, 520) as frame:
        left, top, right, bottom = picture_area(frame, 195, 130)

        def problem(screen):
            wrong = [
                (x, y, screen.at(x, y))
                for x, y in screen.points((left, top, right, bottom))
                if not close(screen.at(x, y), (128, 128, 128), 28)
            ]
            if wrong:
                return (
                    f"expected the shrunk checkerboard as mid grey (128±28) over all of "
                    f"the 195x130 px at ({left},{top}); {len(wrong)} pixels are not, e.g. "
                    + "; ".join(f"({x - left},{y - top}): {c}" for x, y, c in wrong[:6])
                )
            return None

        wait_for_screen(frame, "the shrunk checkerboard", problem)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
