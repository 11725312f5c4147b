#!/usr/bin/python3
"""End-to-end tests of WebP and GIF pictures as the frame shows them, run against the real
Vistrelle.exe under Wine: WebP files written at test time by Debian's cwebp and img2webp (lossy
with alpha, lossless, animated) and GIFs written byte by byte (a first image smaller than its
logical screen, a GIF without any colour table), shown one after the other on one running
program (the first at start-up, the others dropped on it), the screen read where the picture
window stands.

    formats.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys

import picture
from frame import (
    Frame, drop_files, drop_resized, in_turn, limit, run_cases, settings, wait_size)
from frame.picture_bytes import gif

GREEN = picture.QUARTERS[1]


def encoded(path, write_source, *command):
    """Writes the picture through a PNG that write_source makes beside it, with the command
    (the PNG's path and the output's follow it)."""
    source = path.with_name(path.stem + "-source.png")
    write_source(source)
    subprocess.run([*command, str(source), "-o", str(path)], check=True, capture_output=True)
    source.unlink()


def lossy_with_alpha(path):
    encoded(path, picture.half_transparent, "cwebp", "-quiet", "-q", "95")


def lossless(path):
    encoded(path, lambda png: picture.make_quarters(png, 780, 520, fmt="png"), "cwebp", "-quiet",
            "-lossless")


def animated(path):
    """Two frames: the quarters, then the half-transparent picture; the first is shown."""
    first, second = path.with_name("first.png"), path.with_name("second.png")
    picture.make_quarters(first, 600, 900, fmt="png")
    picture.half_transparent(second)
    subprocess.run(["img2webp", "-loop", "0", "-d", "500", str(first), str(second), "-o",
                    str(path)], check=True, capture_output=True)


def on_its_screen(path):
    # A 780x520 screen whose only image is its right half, 390x520: shown alone, as a portrait.
    path.write_bytes(gif((780, 520), (390, 0, 390, 520), lambda x, y: 1, [(0, 0, 0), GREEN]))


def without_colours(path):
    path.write_bytes(gif((600, 900), (0, 0, 600, 900), lambda x, y: 200 if x < 300 else 60))


def cut(path):
    # The lossless landscape cut in half: its header is whole, its picture is not.
    lossless(path)
    path.write_bytes(path.read_bytes()[: path.stat().st_size // 2])


# name: (file name, writer, size shown, what must be there). Landscapes and portraits take
# turns, so that each picture's size proves that it loaded; the first is the picture the program
# starts with.
PICTURES = {
    "lossy_webp_shows_its_alpha_over_the_background": (
        "image.jpg", lossy_with_alpha, (96, 144), picture.transparency_problem),
    "lossless_webp_shows_whole": ("quarters.webp", lossless, (195, 130), picture.quarters_problem),
    "animated_webp_shows_its_first_frame": ("animated.webp", animated, (96, 144),
                                            picture.quarters_problem),
    "gif_shows_its_first_image_at_its_place_on_its_screen": (
        "screen.gif", on_its_screen, (195, 130),
        picture.halves_problem(picture.BACKGROUND, GREEN, "the screen's transparent left half "
                               "and the image on its right half", tolerance=0)),
    "gif_without_colours_shows_the_greys_of_its_indices": (
        "greys.gif", without_colours, (96, 144),
        picture.halves_problem((200, 200, 200), (60, 60, 60), "index 200 and index 60 as greys",
                               tolerance=0)),
    "webp_cut_short_keeps_the_picture_shown": (
        "cut.webp", cut, (96, 144),
        picture.halves_problem((200, 200, 200), (60, 60, 60), "the greys kept", tolerance=0)),
}


def show(frame, item):
    name, (file_name, write, shown, problem) = item
    outer = (shown[0] + 2, shown[1] + 2)  # the picture's size and the 2 px of the border
    if write is cut:
        path = frame.folder / file_name
        write(path)
        drop_files(frame, [path])
        wait_size(frame, *outer, what=name)
    elif file_name == "image.jpg":
        wait_size(frame, *outer, what=name)
    else:
        path = frame.folder / file_name
        write(path)
        drop_resized(frame, [path], *outer, what=name)
    picture.check_shown(frame, shown, problem, name)


FIRST = next(iter(PICTURES))


@limit(300)
def case_formats(exe, probe):
    in_turn(((name, (name, item)) for name, item in PICTURES.items()),
            lambda: Frame(exe, probe, picture=PICTURES[FIRST][1], option_ini=settings()), show)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
