#!/usr/bin/python3
"""End-to-end tests of HEIC and AVIF pictures, run against the real Vistrelle.exe under Wine
with pictures that Debian's heif-enc writes at test time: a phone's portrait stored sideways
with an irot box stands upright at a portrait's size, an AVIF shows its picture, and one with alpha
shows the frame's background through its transparent part. The pictures are shown one after the other on one running program, the first
at start-up, the others dropped on it.

    heif.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys

import picture
from frame import (
    Frame,
    close,
    drop_resized,
    encode_heif,
    in_turn,
    limit,
    run_cases,
    settings,
    wait_size,
    with_orientation,
)
from orientation import LANDSCAPE, PORTRAIT


def write_heif(path, upright, orientation=1, alpha=False):
    """A HEIC or AVIF (by the path's suffix) that shows picture.QUARTERS upright at the upright
    (width, height): stored turned a quarter anticlockwise with the Exif orientation 6, which
    heif-enc turns into an irot box; with alpha, its right half transparent."""
    source = path.with_name(path.stem + ".source." + ("png" if alpha else "jpg"))
    picture.make_quarters(source, *upright, fmt="png")
    turn = ["-rotate", "270"] if orientation == 6 else []
    cut = ["-alpha", "set", "-channel", "A", "-fx", "i < w / 2", "+channel"] if alpha else []
    fmt = "png32" if alpha else "jpeg"  # heif-enc 1.15 made greys of a palette PNG
    subprocess.run(["convert", str(source), *turn, *cut, "-sampling-factor", "1x1", "-quality",
                    "95", f"{fmt}:{source}"], check=True)
    if orientation != 1:
        source.write_bytes(with_orientation(source.read_bytes(), orientation,
                                            next_ifd_field=False))
    encode_heif(source, path)
    source.unlink()


def half_transparent_problem(screen, area):
    """The quarters' left half, and the frame's background where the right half is
    transparent."""
    left, top, right, bottom = area
    width, height = right - left, bottom - top
    wrong = []
    for x in range(2, width - 2, 4):
        if abs(x - width / 2) < 3:
            continue
        for y in range(2, height - 2, 4):
            if abs(y - height / 2) < 3:
                continue
            expected = picture.BACKGROUND if x > width / 2 else \
                picture.QUARTERS[0 if y < height / 2 else 2]
            if not close(got := screen.at(left + x, top + y), expected, picture.TOLERANCE):
                wrong.append(f"({x},{y}): {got}, expected {expected}")
    if wrong:
        return (f"expected the left quarters and the background {picture.BACKGROUND} right of "
                f"the middle; {len(wrong)} points differ, e.g. {'; '.join(wrong[:4])}")
    return None


# name: (file suffix, upright picture and size shown, orientation, alpha). Portraits and
# landscapes take turns, so that each picture's size proves that it loaded; the first is the
# picture the program starts with.
PICTURES = {
    "heic_portrait_turned_by_irot_stands_upright": (".heic", PORTRAIT, 6, False),
    "avif_shows_its_picture": (".avif", LANDSCAPE, 1, False),
    "avif_portrait_turned_by_irot_stands_upright": (".avif", PORTRAIT, 6, False),
    "heic_with_alpha_shows_the_background_through": (".heic", LANDSCAPE, 1, True),
}
FIRST = next(iter(PICTURES))


def show(frame, item):
    name, (suffix, (upright, shown), orientation, alpha) = item
    outer = (shown[0] + 2, shown[1] + 2)
    if name == FIRST:
        wait_size(frame, *outer, what=name)
    else:
        path = frame.folder / f"{name}{suffix}"
        write_heif(path, upright, orientation, alpha)
        drop_resized(frame, [path], *outer, what=name)
    problem = half_transparent_problem if alpha else picture.quarters_problem
    picture.check_shown(frame, shown, problem, f"{name}: the picture upright")


@limit(300)
def case_pictures(exe, probe):
    suffix, (upright, _), orientation, alpha = PICTURES[FIRST]

    def first(path):
        """The HEIC as image.jpg: the frame goes by the file's bytes, not its name."""
        write_heif(path.with_suffix(suffix), upright, orientation, alpha)
        path.with_suffix(suffix).rename(path)

    def make():
        return Frame(exe, probe, option_ini=settings(), picture=first)

    in_turn(((name, (name, item)) for name, item in PICTURES.items()), make, show)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
