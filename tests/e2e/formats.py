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


def encoded(command, *writers):
    """A writer of the picture that the command makes of PNGs the writers write beside it."""

    def write(path):
        sources = [path.with_name(f"{path.stem}-{i}.png") for i in range(len(writers))]
        for source, write_source in zip(sources, writers):
            write_source(source)
        subprocess.run([*command, *map(str, sources), "-o", str(path)], check=True,
                       capture_output=True)

    return write


def quarters(width, height):
    return lambda path: picture.make_quarters(path, width, height, fmt="png")


lossy_with_alpha = encoded(["cwebp", "-quiet", "-q", "95"], picture.half_transparent)
lossless = encoded(["cwebp", "-quiet", "-lossless"], quarters(780, 520))
# Two frames, the quarters, then the half-transparent picture: the first is shown.
animated = encoded(["img2webp", "-loop", "0", "-d", "500"], quarters(600, 900),
                   picture.half_transparent)


def on_its_screen(path):
    """A 780x520 screen whose only image, interlaced, covers its right half, 390x520, alone a
    portrait, and reaches 10 pixels beyond the screen's right and bottom edges; the image's
    bottom half is of its transparent index."""
    path.write_bytes(gif((780, 520), (390, 0, 400, 530), lambda x, y: 1 if y < 260 else 2,
                         [(0, 0, 0), GREEN, (255, 0, 0)], transparent=2, interlaced=True))


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
        picture.quarters_off(1.5, (picture.BACKGROUND, GREEN, picture.BACKGROUND,
                                   picture.BACKGROUND))),
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
