#!/usr/bin/python3
"""End-to-end tests of the shadow window as a person meets it, run against the real
Vistrelle.exe under Wine: a window around the picture that can be neither seen nor clicked.

The case puts a plain window of one colour (the probe's target) where the frame will stand,
standing for the desktop or another program beneath it, starts the program with a shadow
margin of 50 twips (OffSet=2) and drags the frame once, so that the shadow window reaches
beyond the picture window on every side and stands above it. Then the screen around the picture
must show the target's colour, presses there must reach the target, and presses on the picture
must reach the picture.

    shadow.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
import time

from frame import (
    MAIN_CLASS,
    SHADOW_CLASS,
    Frame,
    Target,
    click,
    describe,
    drag_by,
    own_window,
    run_cases,
    settings,
    visible_menus,
    wait_for_screen,
    wait_placed,
    xdotool,
)
from frame.menu import wait_menu, wait_menu_closed

BENEATH = (255, 0, 255)  # the target's colour: in neither the picture nor the caption
BENEATH_RECT = (60, 60, 760, 660)  # under the frame at its first place and after the drag
MOVE = (40, 30)


def margin_points(main, shadow):
    """Every pixel of the shadow window that the picture window does not cover."""
    for y in range(shadow.top, shadow.bottom):
        for x in range(shadow.left, shadow.right):
            if not (main.left <= x < main.right and main.top <= y < main.bottom):
                yield x, y


def painted_picture(frame):
    """The screen once the picture window is painted over the target: the same in two
    screenshots in a row, and no pixel of the target's colour left in it."""
    main = frame.wait_main_window()
    last = []

    def painted(screen):
        pixels = [screen.at(*p) for p in screen.points(main.rect)]
        steady = last == [pixels]
        last[:] = [pixels]
        if BENEATH in pixels or not steady:
            return "the picture is not fully painted over the target yet"
        return None

    return wait_for_screen(frame, "the picture window painted", painted)


def shadow_cannot_be_seen(frame, before, main, shadow):

    def problem(screen):
        # Around the picture: the window beneath, untouched.
        wrong = [
            (p, screen.at(*p))
            for p in margin_points(main, shadow)
            if screen.at(*p) != BENEATH
        ]
        if wrong:
            return (
                f"expected the window beneath, {BENEATH}, all around the picture window "
                f"within the shadow window's rectangle; {len(wrong)} pixels differ, e.g. "
                f"{wrong[:5]} ({describe([main, shadow])})"
            )
        # Over the picture: the picture as it was before the shadow stood above it, pixel
        # for pixel, neither darkened nor tinted.
        changed = [
            (x, y)
            for x, y in screen.points(main.rect)
            if screen.at(x, y) != before.at(x - MOVE[0], y - MOVE[1])
        ]
        if changed:
            x, y = changed[0]
            return (
                f"expected the picture unchanged under the shadow window after the drag; "
                f"{len(changed)} pixels differ from before, e.g. ({x - main.left},"
                f"{y - main.top}): {screen.at(x, y)} instead of "
                f"{before.at(x - MOVE[0], y - MOVE[1])}"
            )
        return None

    wait_for_screen(frame, "the picture with an invisible shadow around it", problem)


def presses_beside_the_picture_reach_the_window_beneath(frame, target, main, shadow):
    # One point in the margin on each side, half way along, and one in a corner; then the
    # right and the middle button once each.
    mid_x, mid_y = (main.left + main.right) // 2, (main.top + main.bottom) // 2
    presses = [
        ("left", main.left - 2, mid_y),
        ("left", mid_x, main.top - 2),
        ("left", main.right + 1, mid_y),
        ("left", mid_x, main.bottom + 1),
        ("left", shadow.left, shadow.top),
        ("right", main.left - 2, mid_y + 10),
        ("middle", mid_x + 10, main.top - 2),
    ]
    for button, x, y in presses:
        assert shadow.left <= x < shadow.right and shadow.top <= y < shadow.bottom, (
            f"({x},{y}) lies outside the shadow window {shadow}"
        )
        click(x, y, {"left": 1, "middle": 2, "right": 3}[button])
        time.sleep(0.2)
    frame.wait_until(
        f"every press in the shadow window's margin to reach the window beneath, {presses}",
        lambda: None if (got := target.presses()) == presses
        else f"it received {got} ({describe([main, shadow])})",
    )
    now = own_window(frame, MAIN_CLASS)
    assert (now.left, now.top) == (main.left, main.top), (
        f"expected the picture window to stay where it was, got {now} (before: {main})"
    )
    menus = visible_menus(frame)
    assert not menus, f"expected no menu of the program open, got {describe(menus)}"


def presses_on_the_picture_reach_the_picture(frame, target, main):
    # The shadow window stands above the picture window now, and must not keep the presses
    # from it: the right button opens the program's menu, the left one drags the picture.
    earlier = len(target.presses())
    order = [w.cls for w in frame.windows() if w.cls in (MAIN_CLASS, SHADOW_CLASS)]
    assert order == [SHADOW_CLASS, MAIN_CLASS], (
        f"expected the shadow window above the picture window after the drag, so that the "
        f"presses go through it; the windows from the top down: {order}"
    )
    click(main.left + 50, main.top + 50, 3)
    menu = wait_menu(frame, "a right click on the picture")
    xdotool("key", "Escape")
    wait_menu_closed(frame)
    drag_by(frame, -30, 20, grab=(main.left + 100, main.top + 70))
    assert target.presses()[earlier:] == [], (
        f"expected no press on the picture to reach the window beneath, it received "
        f"{target.presses()[earlier:]} (menu was {menu})"
    )


def case_shadow_can_be_neither_seen_nor_clicked(exe, probe):
    with Target(probe, BENEATH_RECT, BENEATH) as target:
        with Frame(exe, probe, picture=(780, 520), option_ini=settings(offset=2)) as frame:
            before = painted_picture(frame)
            first = frame.wait_main_window()
            drag_by(frame, *MOVE, grab=(first.left + 60, first.top + 40))
            # 50 twips are 3.33 px: the shadow sticks out on every side, 3 or 4 px, and stands
            # above the picture window now.
            main = wait_placed(frame, 50, what="the shadow around the picture after the drag")
            shadow = own_window(frame, SHADOW_CLASS)
            shadow_cannot_be_seen(frame, before, main, shadow)
            presses_beside_the_picture_reach_the_window_beneath(frame, target, main, shadow)
            presses_on_the_picture_reach_the_picture(frame, target, main)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
