#!/usr/bin/python3
"""End-to-end tests of the picture formats beyond JPEG, PNG, GIF and BMP, and of transparent
pictures, run against the real Vistrelle.exe under Wine: a TIFF and a multi-size icon dropped
on the frame show at their sizes (the icon at its largest image's), and the transparent parts
of a PNG show the picture window's background colour, blended where they are half
transparent.

    formats.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys

import picture
from frame import Frame, close, png, run_cases, settings, wait_for_screen
from hostile import drop_files, wait_shown_size

SETTINGS = settings()
PORTRAIT = (600, 900)
PORTRAIT_SIZE = (98, 146)

# The picture window's background colour.
BACKGROUND = (32, 32, 32)


def show_dropped(exe, probe, make, name, shown):
    """Starts with a portrait, drops the file make(path) writes and checks that the frame takes
    the size shown (the picture's, in pixels) and shows picture.QUARTERS there."""
    with Frame(exe, probe, picture=PORTRAIT, option_ini=SETTINGS) as frame:
        wait_shown_size(frame, PORTRAIT_SIZE, "start-up")
        path = frame.folder / name
        make(path)
        drop_files(frame, [path])
        wait_shown_size(frame, (shown[0] + 2, shown[1] + 2), f"{name} dropped")
        area = picture.picture_area(frame, *shown)
        wait_for_screen(
            frame,
            f"{name} shown at {shown[0]}x{shown[1]} px",
            lambda screen: picture.quarters_problem(screen, area, keep_off=1.5),
        )


def quarters_beside(path, width, height):
    """picture.QUARTERS as a PNG of the size beside path, to be turned into path's format."""
    png = path.with_name(f"{path.stem}-{width}x{height}.png")
    picture.make_quarters(png, width, height)
    return png


def case_tiff_dropped_shows_at_its_size(exe, probe):
    def make(path):
        png = quarters_beside(path, 780, 520)
        subprocess.run(["convert", str(png), f"tiff:{path}"], check=True)
        png.unlink()

    show_dropped(exe, probe, make, "quarters.tif", (195, 130))


def case_icon_dropped_shows_its_largest_image(exe, probe):
    # Three images: square ones of 48 and 16 pixels around a 240x160 one, whose 3:2 shape
    # shows which one was taken.
    def make(path):
        images = [quarters_beside(path, w, h) for w, h in ((48, 48), (240, 160), (16, 16))]
        subprocess.run(["convert", *map(str, images), f"ico:{path}"], check=True)
        for image in images:
            image.unlink()

    show_dropped(exe, probe, make, "quarters.ico", (195, 130))


def write_half_transparent_png(path, width, height, colour, alpha):
    """An RGBA PNG: the left half fully transparent (its colour bright red, which must not
    show), the right half colour at alpha."""
    half = width // 2
    row = b"\x00" + bytes((255, 0, 0, 0)) * half + bytes((*colour, alpha)) * (width - half)
    path.write_bytes(png(width, height, row * height, colour=6))


def case_transparent_png_shows_the_background_and_the_blend(exe, probe):
    colour, alpha = (240, 196, 40), 128
    # Over the background: colour x alpha + background x (1 - alpha), channel by channel.
    blend = tuple(round(c * alpha / 255 + b * (255 - alpha) / 255)
                  for c, b in zip(colour, BACKGROUND))
    frame = Frame(exe, probe, picture=None, option_ini=SETTINGS)
    try:
        write_half_transparent_png(frame.folder / "image.jpg", 780, 520, colour, alpha)
    except BaseException:
        frame.stop()
        raise
    with frame:
        left, top, right, bottom = picture.picture_area(frame, 195, 130)

        def problem(screen):
            wrong = []
            for x, y in screen.points((left, top, right, bottom)):
                # The two columns where the halves meet are averaged from both.
                if abs(x - left - 97.5) < 2:
                    continue
                want = BACKGROUND if x - left < 97 else blend
                got = screen.at(x, y)
                if not close(got, want, 6):
                    wrong.append(f"({x - left},{y - top}): {got}, expected {want}")
            if wrong:
                return (
                    f"expected the transparent left half as the background {BACKGROUND} and "
                    f"the half-transparent right half as {blend}; {len(wrong)} points differ, "
                    f"e.g. {'; '.join(wrong[:6])}"
                )
            return None

        wait_for_screen(frame, "the half-transparent picture", problem)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
