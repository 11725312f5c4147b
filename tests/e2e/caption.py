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
from pathlib import Path

from frame import (
    CAPTION_CLASS,
    client_rect,
    describe,
    drag,
    Frame,
    MAIN_CLASS,
    run_cases,
    Screen,
    settings,
    wait_for_screen,
    Wallpaper,
    write_bmp,
)

# Text in yellow, its shade in blue: colours with red in the lowest byte, as the settings hold
# them. Neither appears in the wallpapers below, whose blue is never 0 or 255.
TEXT = (255, 255, 0)
SHADE = (0, 0, 255)
SETTINGS = settings(show="{show}", color1=65535, color2=16711680)

def full_wallpaper(x, y):
    """The colour of a screen-sized wallpaper at (x, y): red and green tell x and y within a
    block of 256, blue which block."""
    return (x % 256, y % 256, 40 + 16 * (x // 256) + 3 * (y // 256))


TILE = (50, 40)


def tile_wallpaper(x, y):
    """The colour of a 50x40 tile at (x, y)."""
    return (5 * x, 6 * y, 120 + x + y)


class Run:
    """A wallpaper in force and a program started under it."""

    def __init__(self, exe, probe, wallpaper, show="True"):
        self.exe, self.probe, self.wallpaper, self.show = exe, probe, wallpaper, show

    def __enter__(self):
        self.dir = tempfile.TemporaryDirectory(prefix="vistrelle-wallpaper-")
        self.desktop = self.frame = None
        try:
            path = Path(self.dir.name) / "wallpaper.bmp"
            if self.wallpaper == "tiled":
                write_bmp(path, *TILE, tile_wallpaper)
                self.expected = lambda x, y: tile_wallpaper(x % TILE[0], y % TILE[1])
                self.desktop = Wallpaper(path, tile=True)
            else:
                # As large as the screen and centred, it covers the screen pixel for pixel.
                screen = Screen()
                write_bmp(path, screen.width, screen.height, full_wallpaper)
                self.expected = full_wallpaper
                self.desktop = Wallpaper(path, tile=False, style=0)
            self.desktop.__enter__()
            self.frame = Frame(
                self.exe, self.probe, picture=(780, 520), option_ini=SETTINGS.format(show=self.show)
            )
            self.frame.start()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        if self.frame is not None:
            self.frame.stop()
        if self.desktop is not None:
            self.desktop.__exit__()
        self.dir.cleanup()
        return False

    def windows(self):
        """The visible picture window and the visible caption window, once both are there."""

        def check():
            visible = self.frame.visible_windows()
            mains = [w for w in visible if w.cls == MAIN_CLASS]
            captions = [w for w in visible if w.cls == CAPTION_CLASS]
            return (mains[0], captions[0]) if len(mains) == 1 and len(captions) == 1 else None

        return self.frame.wait_for(f"a visible {MAIN_CLASS} and {CAPTION_CLASS} window", check)


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


def check_strip(run, what):
    main, caption = run.windows()
    strip = client_rect(caption)
    assert strip[0] == main.left and strip[2] == main.right, (
        f"expected the caption strip as wide as the picture window and under it, got "
        f"{describe([main, caption])}"
    )

    def problem(screen):
        return strip_problem(screen, strip, run.expected) or name_problem(screen, strip)

    wait_for_screen(run.frame, what, problem)
    return main, strip


def case_strip_shows_the_wallpaper_under_it(exe, probe):
    with Run(exe, probe, "full") as run:
        check_strip(run, "the caption strip over the wallpaper")


def case_strip_shows_the_tiled_wallpaper_under_it(exe, probe):
    # Tiles start at the screen's top left corner, so the strip shows the tile pattern as it
    # runs across the desktop, not a tile starting at the strip's own corner.
    with Run(exe, probe, "tiled") as run:
        check_strip(run, "the caption strip over the tiled wallpaper")


def case_strip_shows_the_wallpaper_at_its_new_place_after_a_drag(exe, probe):
    with Run(exe, probe, "full") as run:
        main, strip = check_strip(run, "the caption strip over the wallpaper")
        grab = ((main.left + main.right) // 2, (main.top + main.bottom) // 2)
        drag(grab, (grab[0] + 100, grab[1] + 90), (grab[0] + 310, grab[1] + 270))

        def moved_windows():
            moved, caption = run.windows()
            return (moved, caption) if moved.left != main.left else None

        moved, caption = run.frame.wait_for("the picture window at its new place", moved_windows)
        new_strip = client_rect(caption)
        assert new_strip[:2] == (strip[0] + 310, strip[1] + 270), (
            f"expected the caption strip to move with the picture window by (310,270), from "
            f"{strip} to its new place, got {new_strip} ({describe([moved, caption])})"
        )

        def problem(screen):
            return strip_problem(screen, new_strip, run.expected) or name_problem(
                screen, new_strip
            )

        wait_for_screen(run.frame, "the moved caption strip over the wallpaper there", problem)


def case_no_strip_when_file_names_are_off(exe, probe):
    # With ShowFileName=False nothing stands under the picture: where the strip would be, the
    # screen shows what it shows beside the picture window (no wallpaper there, as this display
    # does not draw one itself), and no name.
    with Run(exe, probe, "full", show="False") as run:
        main = run.frame.wait_main_window()
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

        wait_for_screen(run.frame, "the screen under the picture window", problem)
        shown = [w for w in run.frame.visible_windows() if w.cls == CAPTION_CLASS]
        assert not shown, f"expected no visible caption window, got {describe(shown)}"


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
