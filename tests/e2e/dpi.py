#!/usr/bin/python3
"""End-to-end tests of the frame at other display scales, run against the real Vistrelle.exe
under Wine: at 120, 144 and 192 dpi the frame is its 96-dpi design scaled (a length of T twips
covers T x dpi / 1440 screen pixels, halves to even), the picture is painted at the screen's own
pixels, the caption's name stands whole in its strip; at 72 and 480 dpi the frame still starts,
sizes by the same rule and answers.

    dpi.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
import time
from fractions import Fraction

from frame import (
    CAPTION_CLASS,
    SHADOW_CLASS,
    WM_CLOSE,
    Screen,
    Frame,
    own_window,
    run_cases,
    settings,
    started,
    visible_menus,
    wait_size,
    write_bmp,
    xdotool,
)

WM_COMMAND = 0x0111
SIZE_COMMANDS = {"small": 1100, "default": 1101, "large": 1102}

# The pictures of the cases and their default display size in twips at 96 dpi: the longer
# side 195 pixels for a landscape (or square) picture, 144 for a portrait one.
PICTURES = {"landscape": (780, 520), "portrait": (600, 900), "square": (500, 500)}


def half_even(value):
    """value (a Fraction) rounded to the nearest integer, an exact half to the even one."""
    return round(value)


def picture_twips(width, height):
    if width < height:
        return half_even(Fraction(144 * width, height) * 15), 144 * 15
    return 195 * 15, half_even(Fraction(195 * height, width) * 15)


def pixels(twips, dpi):
    return half_even(Fraction(twips) * dpi / 1440)


def twips(px, dpi):
    return Fraction(px) * 1440 / dpi


def default_outer(picture, dpi):
    w, h = picture_twips(*picture)
    return pixels(w + 30, dpi), pixels(h + 30, dpi)


def preset_outer(picture, dpi, preset):
    """The outer size after a size choice: the default window read back in twips at this dpi,
    scaled by 1.5 down or up, the margin added again."""
    width, height = default_outer(picture, dpi)
    factor = {"small": Fraction(2, 3), "default": Fraction(1), "large": Fraction(3, 2)}[preset]
    w = half_even(twips(width, dpi) * factor)
    h = half_even(twips(height, dpi) * factor)
    return pixels(w + 30, dpi), pixels(h + 30, dpi)


def check_sizes(exe, probe, dpi):
    problems = []
    for name, picture in PICTURES.items():
        with Frame(exe, probe, picture=picture, option_ini=settings(), dpi=dpi) as frame:
            main = started(frame)
            expected = default_outer(picture, dpi)
            if (main.width, main.height) != expected:
                problems.append(f"{name} at start: expected {expected}, got {main}")
            for preset in ("large", "small", "default"):
                frame.post(main, WM_COMMAND, SIZE_COMMANDS[preset])
                want = preset_outer(picture, dpi, preset)
                try:
                    main = wait_size(frame, *want, what=f"{name} {preset} at {dpi} dpi")
                except AssertionError as error:
                    problems.append(str(error))
    assert not problems, f"at {dpi} dpi: " + "; ".join(problems)


def case_sizes_120(exe, probe):
    check_sizes(exe, probe, 120)


def case_sizes_144(exe, probe):
    check_sizes(exe, probe, 144)


def case_sizes_192(exe, probe):
    check_sizes(exe, probe, 192)


def check_companions(exe, probe, dpi):
    """The caption strip 270 twips high, as wide as the frame, 80 twips under it; the shadow
    the frame grown by 25 twips a side (OffSet 1), each edge rounded at this dpi."""
    with Frame(exe, probe, option_ini=settings(offset=1), dpi=dpi) as frame:
        main = started(frame, caption=True)
        # The shadow takes its margins at the first placement after start-up: a size choice.
        frame.post(main, WM_COMMAND, SIZE_COMMANDS["default"])
        main = wait_size(
            frame, *preset_outer(PICTURES["landscape"], dpi, "default"), what="the default size chosen"
        )
        caption = own_window(frame, CAPTION_CLASS)
        shadow = own_window(frame, SHADOW_CLASS)
        t = lambda px: twips(px, dpi)
        expected_caption = (
            main.left,
            pixels(t(main.top) + t(main.height) + 80, dpi),
            main.width,
            pixels(270, dpi),
        )
        got = (caption.left, caption.top, caption.width, caption.height)
        assert got == expected_caption, (
            f"at {dpi} dpi expected the caption strip at ({expected_caption[0]},"
            f"{expected_caption[1]}) size {expected_caption[2]}x{expected_caption[3]} under "
            f"{main}, got {caption}"
        )
        expected_shadow = (
            pixels(t(main.left) - 25, dpi),
            pixels(t(main.top) - 25, dpi),
            pixels(t(main.width) + 50, dpi),
            pixels(t(main.height) + 50, dpi),
        )
        got = (shadow.left, shadow.top, shadow.width, shadow.height)
        assert got == expected_shadow, (
            f"at {dpi} dpi expected the shadow at ({expected_shadow[0]},{expected_shadow[1]}) "
            f"size {expected_shadow[2]}x{expected_shadow[3]} around {main}, got {shadow}"
        )


def case_companions_120(exe, probe):
    check_companions(exe, probe, 120)


def case_companions_144(exe, probe):
    check_companions(exe, probe, 144)


def case_companions_192(exe, probe):
    check_companions(exe, probe, 192)


def case_issue_figures_144(exe, probe):
    """The figures of a 780x520 picture at 144 dpi: the frame 296x198 with the picture filling
    292x195, the strip 27 pixels high and as wide as the frame, its top 8 pixels below it."""
    with Frame(exe, probe, option_ini=settings(), dpi=144) as frame:
        main = started(frame, caption=True)
        caption = own_window(frame, CAPTION_CLASS)
        assert (main.width, main.height) == (296, 198), f"expected a 296x198 frame, got {main}"
        assert (caption.width, caption.height, caption.top - main.bottom) == (296, 27, 8), (
            f"expected a 296x27 strip 8 px under the frame, got {caption} under {main}"
        )
        # The picture fills 292x195 of the client area from its top left corner; the rest of
        # the client area shows the frame's dark grey.
        screen = Screen()
        left, top = main.left + 1, main.top + 1
        inside = screen.at(left + 291, top + 194)
        beyond = screen.at(left + 292, top + 100)
        assert max(abs(c - 32) for c in beyond) <= 2, (
            f"expected the frame's grey (32,32,32) right of the 292-pixel picture, got {beyond}"
        )
        assert max(abs(c - 32) for c in inside) > 8, (
            f"expected the picture at its last pixel (291,194), got the background {inside}"
        )


def stripes(x, y):
    """Columns two pixels wide, black and white in turn: a 2x shrink keeps them as 1-pixel
    columns, a 4x shrink averages them away."""
    return (0, 0, 0) if (x // 2) % 2 == 0 else (255, 255, 255)


def case_sharp_at_192(exe, probe):
    """At 192 dpi the 780x520 picture is shrunk 2x from the file to 390x260 screen pixels: its
    2-pixel stripes stand as 1-pixel columns. Enlarging a 96-dpi copy (4x down, then 2x up)
    would show grey."""
    frame = Frame(exe, probe, picture=None, option_ini=settings(), dpi=192)
    write_bmp(frame.folder / "image.jpg", 780, 520, stripes)
    with frame:
        main = started(frame)
        assert (main.width, main.height) == (394, 264), f"expected a 394x264 frame, got {main}"
        screen = Screen()
        left, top = main.left + 1, main.top + 1
        row = [screen.at(left + x, top + 130)[0] for x in range(100, 140)]
        dark = [v for i, v in enumerate(row) if i % 2 == 0]
        light = [v for i, v in enumerate(row) if i % 2 == 1]
        assert max(dark) <= 40 and min(light) >= 215 or max(light) <= 40 and min(dark) >= 215, (
            f"expected 1-pixel black and white columns, got the red values {row}"
        )


def case_caption_whole_at_192(exe, probe):
    """At 192 dpi the caption's 10-point name is drawn at 192 dpi inside a 36-pixel strip:
    its letters are twice their 96-dpi height and none touches the strip's bottom edge."""
    red = 255  # Color1: pure red text; Color2: pure blue shade
    with Frame(exe, probe, option_ini=settings(color1=red, color2=255 << 16), dpi=192) as frame:
        main = started(frame, caption=True)
        caption = own_window(frame, CAPTION_CLASS)
        assert caption.height == 36, f"expected a 36-pixel strip, got {caption}"
        time.sleep(0.5)
        screen = Screen()
        rows = sorted(
            {
                y - caption.top
                for x, y in screen.points(caption.rect)
                if (lambda r, g, b: r > 200 and g < 60 and b < 60)(*screen.at(x, y))
            }
        )
        assert rows, f"expected the name in red inside the strip {caption}, found no red pixel"
        height = rows[-1] - rows[0] + 1
        assert rows[-1] < caption.height - 1, (
            f"expected the name clear of the strip's bottom edge, got text down to row "
            f"{rows[-1]} of {caption.height}"
        )
        assert height >= 16, (
            f"expected the 10-point name at 192 dpi (letters about 24 px from dot to "
            f"descender), got text {height} px high (rows {rows[0]}..{rows[-1]})"
        )


def check_extreme(exe, probe, dpi):
    """The frame starts, sizes by the rule, opens its menu from the keyboard and ends on
    WM_CLOSE."""
    with Frame(exe, probe, option_ini=settings(), dpi=dpi) as frame:
        main = started(frame)
        expected = default_outer(PICTURES["landscape"], dpi)
        assert (main.width, main.height) == expected, (
            f"at {dpi} dpi expected the frame {expected[0]}x{expected[1]}, got {main}"
        )
        xdotool("mousemove", "2", "2")
        xdotool("key", "shift+F10")
        frame.wait_for(f"the menu opened by Shift+F10 at {dpi} dpi",
                       lambda: visible_menus(frame), timeout=10)
        xdotool("key", "Escape")
        frame.wait_for("the menu to close on Escape", lambda: not visible_menus(frame), timeout=10)
        frame.post(main, WM_CLOSE)
        assert frame.wait_exit() is not None, f"expected the program to end on WM_CLOSE at {dpi} dpi"


def case_extreme_72(exe, probe):
    check_extreme(exe, probe, 72)


def case_extreme_480(exe, probe):
    check_extreme(exe, probe, 480)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
