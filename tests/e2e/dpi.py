#!/usr/bin/python3
"""End-to-end tests of the frame at other display scales, run against the real Vistrelle.exe
under Wine: at 120, 144 and 192 dpi the frame is its 96-dpi design scaled (a length of T twips
covers T x dpi / 1440 screen pixels, halves to even), the picture is painted at the screen's own
pixels, the caption's name stands whole in its strip; at 72 and 480 dpi the frame still starts,
sizes by the same rule and answers. Wine reads the scale as a program starts: one run a scale,
its pictures dropped on it in turn.

    dpi.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
from fractions import Fraction

from frame import (
    CAPTION_CLASS,
    SHADOW_CLASS,
    WM_CLOSE,
    WM_COMMAND,
    Frame,
    Screen,
    drop_resized,
    limit,
    make_picture,
    own_window,
    run_cases,
    settings,
    started,
    wait_for_screen,
    wait_size,
    write_bmp,
    xdotool,
)
from frame.menu import wait_menu, wait_menu_closed

SIZE_COMMANDS = {"large": 1102, "small": 1100, "default": 1101}
PRESET_FACTORS = {"small": Fraction(2, 3), "default": Fraction(1), "large": Fraction(3, 2)}

# The pictures of the cases; the first is the one each run starts with.
PICTURES = {"landscape": (780, 520), "portrait": (600, 900), "square": (500, 500)}

# The caption's text in pure red, its shade in pure blue (settings keep red in the low byte).
RED, BLUE = 255, 255 << 16


def pixels(twips, dpi):
    """Twips as screen pixels at the dpi, rounded half to even (Python's round)."""
    return round(Fraction(twips) * dpi / 1440)


def twips(px, dpi):
    return Fraction(px) * 1440 / dpi


def default_outer(picture, dpi):
    """The outer size a picture's window takes: the longer side 195 pixels at 96 dpi for a
    landscape (or square) picture, 144 for a portrait one, and the 30-twip margin."""
    width, height = picture
    if width < height:
        w, h = round(Fraction(144 * width, height) * 15), 144 * 15
    else:
        w, h = 195 * 15, round(Fraction(195 * height, width) * 15)
    return pixels(w + 30, dpi), pixels(h + 30, dpi)


def preset_outer(picture, dpi, preset):
    """The outer size after a size choice: the default window read back in twips at this dpi,
    scaled by 1.5 down or up, the margin added again."""
    width, height = default_outer(picture, dpi)
    factor = PRESET_FACTORS[preset]
    w, h = round(twips(width, dpi) * factor), round(twips(height, dpi) * factor)
    return pixels(w + 30, dpi), pixels(h + 30, dpi)


def check_sizes(frame, name, dpi):
    """Each size choice on the shown picture gives its size at this dpi; returns the picture
    window after the last, the default."""
    for preset, command in SIZE_COMMANDS.items():
        frame.post(frame.wait_main_window(), WM_COMMAND, command)
        main = wait_size(frame, *preset_outer(PICTURES[name], dpi, preset),
                         what=f"{name} {preset} at {dpi} dpi")
    return main


def check_companions(frame, main, dpi):
    """The caption strip 270 twips high, as wide as the frame, 80 twips under it; the shadow
    the frame grown by 25 twips a side (OffSet 1), each edge rounded at this dpi."""
    caption = own_window(frame, CAPTION_CLASS)
    shadow = own_window(frame, SHADOW_CLASS)
    t = lambda px: twips(px, dpi)  # noqa: E731
    expected = (main.left, pixels(t(main.top) + t(main.height) + 80, dpi), main.width,
                pixels(270, dpi))
    got = (caption.left, caption.top, caption.width, caption.height)
    assert got == expected, (
        f"at {dpi} dpi expected the caption strip at ({expected[0]},{expected[1]}) size "
        f"{expected[2]}x{expected[3]} under {main}, got {caption}"
    )
    expected = (pixels(t(main.left) - 25, dpi), pixels(t(main.top) - 25, dpi),
                pixels(t(main.width) + 50, dpi), pixels(t(main.height) + 50, dpi))
    got = (shadow.left, shadow.top, shadow.width, shadow.height)
    assert got == expected, (
        f"at {dpi} dpi expected the shadow at ({expected[0]},{expected[1]}) size "
        f"{expected[2]}x{expected[3]} around {main}, got {shadow}"
    )


def check_figures_144(frame, main):
    """The figures of a 780x520 picture at 144 dpi: the frame 296x198 with the picture filling
    292x195, the strip 27 pixels high and as wide as the frame, its top 8 pixels below it."""
    caption = own_window(frame, CAPTION_CLASS)
    assert (main.width, main.height) == (296, 198), f"expected a 296x198 frame, got {main}"
    assert (caption.width, caption.height, caption.top - main.bottom) == (296, 27, 8), (
        f"expected a 296x27 strip 8 px under the frame, got {caption} under {main}"
    )
    # The picture fills 292x195 of the client area from its top left corner; the rest of the
    # client area shows the frame's dark grey.
    screen = Screen()
    left, top = main.left + 1, main.top + 1
    inside, beyond = screen.at(left + 291, top + 194), screen.at(left + 292, top + 100)
    assert max(abs(c - 32) for c in beyond) <= 2, (
        f"expected the frame's grey (32,32,32) right of the 292-pixel picture, got {beyond}"
    )
    assert max(abs(c - 32) for c in inside) > 8, (
        f"expected the picture at its last pixel (291,194), got the background {inside}"
    )


def check_caption_whole_192(frame):
    """At 192 dpi the caption's 10-point name is drawn at 192 dpi inside a 36-pixel strip: its
    letters are twice their 96-dpi height and none touches the strip's bottom edge."""
    caption = own_window(frame, CAPTION_CLASS)
    assert caption.height == 36, f"expected a 36-pixel strip, got {caption}"

    def problem(screen):
        rows = sorted({y - caption.top for x, y in screen.points(caption.rect)
                       if (lambda r, g, b: r > 200 and g < 60 and b < 60)(*screen.at(x, y))})
        if not rows:
            return f"expected the name in red inside the strip {caption}, found no red pixel"
        if rows[-1] >= caption.height - 1:
            return (f"expected the name clear of the strip's bottom edge, got text down to row "
                    f"{rows[-1]} of {caption.height}")
        if rows[-1] - rows[0] + 1 < 16:
            return (f"expected the 10-point name at 192 dpi (letters about 24 px from dot to "
                    f"descender), got text {rows[-1] - rows[0] + 1} px high")
        return None

    wait_for_screen(frame, "the whole name in the caption strip at 192 dpi", problem)


def stripes(x, y):
    """Columns two pixels wide, black and white in turn: a 2x shrink keeps them as 1-pixel
    columns, a 4x shrink averages them away."""
    return (0, 0, 0) if (x // 2) % 2 == 0 else (255, 255, 255)


def check_sharp_192(frame):
    """At 192 dpi a 780x520 picture is shown at 390x260 screen pixels, decoded from the file for
    that size: its 2-pixel stripes, shrunk exactly by half, stand as 1-pixel columns of black
    and white. At least 80 % of the picture's pixels are near black or near white; a copy
    averaged for another size first and then again leaves most of them grey."""
    path = frame.folder / "stripes.bmp"
    write_bmp(path, 780, 520, stripes)
    main = drop_resized(frame, [path], 394, 264)

    def problem(screen):
        reds = [screen.at(main.left + 1 + x, main.top + 1 + y)[0]
                for y in range(4, 256, 12) for x in range(2, 388)]
        crisp = sum(1 for r in reds if r <= 40 or r >= 215) / len(reds)
        if crisp >= 0.8:
            return None
        return f"expected 80 % of the stripes' pixels near black or white, got {crisp:.0%}"

    wait_for_screen(frame, "the stripes at 192 dpi", problem)


def check_scale(exe, probe, dpi):
    with Frame(exe, probe, option_ini=settings(color1=RED, color2=BLUE), dpi=dpi) as frame:
        main = started(frame, caption=True)
        expected = default_outer(PICTURES["landscape"], dpi)
        assert (main.width, main.height) == expected, (
            f"at {dpi} dpi expected the landscape at start {expected}, got {main}")
        if dpi == 144:
            check_figures_144(frame, main)
        if dpi == 192:
            check_caption_whole_192(frame)
        # The shadow takes its margins at the first placement after start-up: a size choice.
        check_companions(frame, check_sizes(frame, "landscape", dpi), dpi)
        for name in ("portrait", "square"):
            path = frame.folder / f"{name}.jpg"
            make_picture(path, *PICTURES[name])
            drop_resized(frame, [path], *default_outer(PICTURES[name], dpi),
                         what=f"the {name} dropped at {dpi} dpi")
            check_sizes(frame, name, dpi)
        if dpi == 192:
            check_sharp_192(frame)


for _dpi in (120, 144, 192):
    globals()[f"case_scale_{_dpi}"] = limit(300)(
        lambda exe, probe, dpi=_dpi: check_scale(exe, probe, dpi))


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
        wait_menu(frame, f"Shift+F10 at {dpi} dpi")
        xdotool("key", "Escape")
        wait_menu_closed(frame)
        frame.post(main, WM_CLOSE)
        frame.wait_ended(f"WM_CLOSE at {dpi} dpi")


for _dpi in (72, 480):
    globals()[f"case_extreme_{_dpi}"] = lambda exe, probe, dpi=_dpi: check_extreme(exe, probe, dpi)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
