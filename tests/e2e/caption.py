#!/usr/bin/python3
"""End-to-end tests of the caption strip as it shows on the screen, run against the real
Vistrelle.exe under Wine: the file name written under the picture straight onto the wallpaper.

Each case gives the test session a wallpaper whose every pixel tells where it stands on the
screen, starts the program, and compares the strip under the picture window with the wallpaper
at the same place. Wine does not draw the wallpaper on this display itself, so what a person
would see on a Windows desktop is the wallpaper file, placed as the desktop settings say.

    caption.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
import tempfile
from contextlib import contextmanager
from pathlib import Path

from frame import (
    CAPTION_CLASS,
    MAIN_CLASS,
    Frame,
    Screen,
    Wallpaper,
    client_rect,
    describe,
    drag_by,
    run_cases,
    settings,
    started,
    wait_for_screen,
    windows_path,
    write_bmp,
)
from frame.menu import SHOW_NAME, choose

# Text in yellow, its shade in blue: colours with red in the lowest byte, as the settings hold
# them. Neither appears in the wallpapers below, whose blue is never 0 or 255.
TEXT = (255, 255, 0)
SHADE = (0, 0, 255)


def full_wallpaper(x, y):
    """The colour of a screen-sized wallpaper at (x, y): red and green tell x and y within a
    block of 256, blue which block."""
    return (x % 256, y % 256, 40 + 16 * (x // 256) + 3 * (y // 256))


TILE = (50, 40)


def tile_wallpaper(x, y):
    """The colour of a 50x40 tile at (x, y)."""
    return (5 * x, 6 * y, 120 + x + y)


@contextmanager
def started_over(exe, probe, tiled, show=True):
    """A wallpaper in force and a program started under it: yields the run and the wallpaper's
    colour at each point of the screen, expected(x, y)."""
    with tempfile.TemporaryDirectory(prefix="vistrelle-wallpaper-") as folder:
        path = Path(folder) / "wallpaper.bmp"
        if tiled:
            write_bmp(path, *TILE, tile_wallpaper)
            expected = lambda x, y: tile_wallpaper(x % TILE[0], y % TILE[1])  # noqa: E731
        else:
            # As large as the screen and centred, it covers the screen pixel for pixel.
            screen = Screen()
            write_bmp(path, screen.width, screen.height, full_wallpaper)
            expected = full_wallpaper
        with Wallpaper(path, tile=tiled, style=0):
            with Frame(exe, probe, picture=(780, 520),
                       option_ini=settings(show=show, color1=65535, color2=16711680)) as frame:
                yield frame, expected


def shown_windows(frame):
    """The visible picture window and the visible caption window, once both are there."""

    def check():
        visible = frame.visible_windows()
        mains = [w for w in visible if w.cls == MAIN_CLASS]
        captions = [w for w in visible if w.cls == CAPTION_CLASS]
        return (mains[0], captions[0]) if len(mains) == 1 and len(captions) == 1 else None

    return frame.wait_for(f"a visible {MAIN_CLASS} and {CAPTION_CLASS} window", check)


def strip_problem(screen, strip, expected):
    """What is wrong with the strip on the screen, or None. The strip must show the wallpaper
    (expected(x, y)) at every pixel that the name does not cover; the name covers a run of
    columns in the strip's middle and a band of its rows, so the strip's first and last two
    columns and at least two thirds of all its pixels show the wallpaper exactly."""
    left, top, right, bottom = strip
    points = list(screen.points(strip))
    differ = [(x, y) for x, y in points if screen.at(x, y) != expected(x, y)]
    edges = [(x, y) for x, y in differ if x in (left, left + 1, right - 2, right - 1)]
    if edges or len(differ) > len(points) // 3:
        sample = "; ".join(
            f"({x},{y}): {screen.at(x, y)} instead of {expected(x, y)}"
            for x, y in (edges or differ)[:5]
        )
        return (
            f"expected the caption strip {strip} to show the wallpaper under it around the name"
            + f"; {len(differ)} of its {len(points)} pixels do not"
            + (f", {len(edges)} of them at its left and right ends" if edges else "")
            + f", e.g. {sample}"
        )
    return None


def name_problem(screen, strip):
    """What is wrong with the file name written in the strip, or None: text pixels in the text
    colour, and under them the shade, one pixel right of and below the text."""
    left, top, right, bottom = strip
    text = [(x, y) for x, y in screen.points(strip) if screen.at(x, y) == TEXT]
    shade = [(x, y) for x, y in screen.points(strip) if screen.at(x, y) == SHADE]
    if len(text) < 20 or len(shade) < 20:
        return (
            f"expected the file name in the strip {strip} in the text colour {TEXT} over its "
            f"shade in {SHADE}; found {len(text)} text and {len(shade)} shade pixels"
        )

    def box(pixels):
        xs = [x for x, _ in pixels]
        ys = [y for _, y in pixels]
        return min(xs), min(ys), max(xs), max(ys)

    tb, sb = box(text), box(shade)
    # The shade is the same text drawn first, one pixel right and down, and the text over it:
    # its right and bottom edges stick out by one pixel; its left and top edges are covered.
    if (sb[2], sb[3]) != (tb[2] + 1, tb[3] + 1) or sb[0] < tb[0] or sb[1] < tb[1]:
        return (
            f"expected the shade one pixel right of and below the text: text spans {tb}, "
            f"shade spans {sb} (left, top, right, bottom, inclusive)"
        )
    if tb[2] - tb[0] < 25:
        return f"expected a name some 9 characters wide, got one {tb[2] - tb[0] + 1} px wide"
    return None


def check_strip(frame, expected, what):
    """The strip under the picture window shows the wallpaper under it and the name over it;
    returns the picture window and the strip's rectangle."""
    main, caption = shown_windows(frame)
    strip = client_rect(caption)
    assert strip[0] == main.left and strip[2] == main.right, (
        f"expected the caption strip as wide as the picture window and under it, got "
        f"{describe([main, caption])}"
    )
    wait_for_screen(frame, what, lambda screen: strip_problem(screen, strip, expected)
                    or name_problem(screen, strip))
    return main, strip


def case_strip_shows_the_wallpaper_under_it_and_at_its_new_place_after_a_drag(exe, probe):
    with started_over(exe, probe, tiled=False) as (frame, expected):
        main, strip = check_strip(frame, expected, "the caption strip over the wallpaper")
        drag_by(frame, 310, 270, grab=main.centre)
        moved, caption = shown_windows(frame)
        new_strip = client_rect(caption)
        assert new_strip[:2] == (strip[0] + 310, strip[1] + 270), (
            f"expected the caption strip to move with the picture window by (310,270), from "
            f"{strip} to its new place, got {new_strip} ({describe([moved, caption])})"
        )
        check_strip(frame, expected, "the moved caption strip over the wallpaper there")


def case_strip_follows_a_new_wallpaper(exe, probe):
    # Another program sets a new wallpaper and announces it, as a slideshow step does.
    def second(x, y):
        return (255 - x % 256, 255 - y % 256, 200 - 16 * (x // 256) - 3 * (y // 256))

    with started_over(exe, probe, tiled=False) as (frame, expected):
        check_strip(frame, expected, "the caption strip over the first wallpaper")
        with tempfile.TemporaryDirectory(prefix="vistrelle-wallpaper-") as folder:
            path = Path(folder) / "second.bmp"
            screen = Screen()
            write_bmp(path, screen.width, screen.height, second)
            frame.probe_run("wallpaper", windows_path(path))
            check_strip(frame, second, "the caption strip over the new wallpaper")


def case_no_strip_when_file_names_are_off_then_the_tiled_wallpaper_under_it(exe, probe):
    # With ShowFileName=False nothing stands under the picture: where the strip would be, the
    # screen shows what it shows beside the picture window (no wallpaper there, as this display
    # does not draw one itself), and no name. Shown from the menu, the strip shows the tiles as
    # they run across the desktop from the screen's top left corner, not a tile starting at the
    # strip's own corner.
    with started_over(exe, probe, tiled=True, show=False) as (frame, expected):
        main = started(frame)
        where = (main.left, main.bottom + 5, main.right, main.bottom + 5 + 18)
        beside = (main.right + 40, main.bottom + 5)

        def problem(screen):
            background = screen.at(*beside)
            differ = [p for p in screen.points(where) if screen.at(*p) != background]
            if differ:
                return (
                    f"expected nothing under the picture window at {where}, only the "
                    f"background {background} seen beside it; {len(differ)} pixels differ, "
                    f"e.g. {[(p, screen.at(*p)) for p in differ[:4]]}"
                )
            return None

        wait_for_screen(frame, "the screen under the picture window", problem)
        shown = [w for w in frame.visible_windows() if w.cls == CAPTION_CLASS]
        assert not shown, f"expected no visible caption window, got {describe(shown)}"
        choose(frame, SHOW_NAME)
        check_strip(frame, expected, "the caption strip over the tiled wallpaper")


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
