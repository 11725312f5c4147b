#!/usr/bin/python3
"""End-to-end tests of the shadow window as a person meets it, run against the real
Vistrelle.exe under Wine: a window around the picture that can be neither seen nor clicked.

Each case puts a plain window of one colour (the probe's target) where the frame will stand,
standing for the desktop or another program beneath it, starts the program with a shadow
margin of 50 twips (OffSet=2) and drags the frame once, so that the shadow window reaches
beyond the picture window on every side and stands above it. Then the screen around the picture
must show the target's colour, and presses there must reach the target.

    shadow.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
import time

from frame import (
    click,
    describe,
    drag,
    Frame,
    MAIN_CLASS,
    own_window,
    run_cases,
    settings,
    SHADOW_CLASS,
    Target,
    visible_menus,
    wait_for_screen,
    xdotool,
)

SETTINGS = settings(offset=2)

BENEATH = (255, 0, 255)  # the target's colour: in neither the picture nor the caption
BENEATH_RECT = (60, 60, 760, 660)  # under the frame at its first place and after the drag
MOVE = (40, 30)


def margin_points(main, shadow):
    """Every pixel of the shadow window that the picture window does not cover."""
    for y in range(shadow.top, shadow.bottom):
        for x in range(shadow.left, shadow.right):
            if not (main.left <= x < main.right and main.top <= y < main.bottom):
                yield x, y


class Scene:
    """The target beneath, the program over it, its frame dragged once: the shadow window then
    stands above the picture window and reaches beyond it on every side."""

    def __init__(self, exe, probe):
        self.target = Target(probe, BENEATH_RECT, BENEATH)
        self.frame = Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS)

    def __enter__(self):
        self.target.__enter__()
        try:
            self.frame.start()
            main = self.frame.wait_main_window()
            # What the picture looks like before the drag, with no margin around it yet: the
            # same in two screenshots in a row, so that its painting is over.
            last = []

            def painted(screen):
                pixels = [screen.at(*p) for p in screen.points(main.rect)]
                steady = last == [pixels]
                last[:] = [pixels]
                if BENEATH in pixels or not steady:
                    return "the picture is not fully painted over the target yet"
                return None

            self.before = wait_for_screen(self.frame, "the picture window painted", painted)
            self.first = main
            x, y = main.left + 60, main.top + 40
            drag((x, y), (x + MOVE[0] // 2, y + MOVE[1] // 2), (x + MOVE[0], y + MOVE[1]))
            self.main, self.shadow = self.frame.wait_for(
                "the picture window moved and its shadow around it", self._moved
            )
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        self.frame.stop()
        self.target.__exit__()
        return False

    def _moved(self):
        main, shadow = own_window(self.frame, MAIN_CLASS), own_window(self.frame, SHADOW_CLASS)
        if not (main and shadow and main.visible and shadow.visible):
            return None
        if (main.left, main.top) != (self.first.left + MOVE[0], self.first.top + MOVE[1]):
            return None
        margins = (
            main.left - shadow.left,
            main.top - shadow.top,
            shadow.right - main.right,
            shadow.bottom - main.bottom,
        )
        # 50 twips are 3.33 px: the shadow must stick out on every side for the cases to mean
        # anything.
        return (main, shadow) if min(margins) >= 2 else None


def case_shadow_cannot_be_seen(exe, probe):
    with Scene(exe, probe) as scene:
        main, shadow = scene.main, scene.shadow

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
                if screen.at(x, y) != scene.before.at(x - MOVE[0], y - MOVE[1])
            ]
            if changed:
                x, y = changed[0]
                return (
                    f"expected the picture unchanged under the shadow window after the drag; "
                    f"{len(changed)} pixels differ from before, e.g. ({x - main.left},"
                    f"{y - main.top}): {screen.at(x, y)} instead of "
                    f"{scene.before.at(x - MOVE[0], y - MOVE[1])}"
                )
            return None

        wait_for_screen(scene.frame, "the picture with an invisible shadow around it", problem)


def case_presses_beside_the_picture_reach_the_window_beneath(exe, probe):
    with Scene(exe, probe) as scene:
        main, shadow = scene.main, scene.shadow
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
        deadline = time.monotonic() + 10
        while scene.target.presses() != presses and time.monotonic() < deadline:
            time.sleep(0.2)
        assert scene.target.presses() == presses, (
            f"expected every press in the shadow window's margin to reach the window beneath, "
            f"{presses}; it received {scene.target.presses()} ({describe([main, shadow])})"
        )
        now = own_window(scene.frame, MAIN_CLASS)
        assert (now.left, now.top) == (main.left, main.top), (
            f"expected the picture window to stay where it was, got {now} (before: {main})"
        )
        menus = visible_menus(scene.frame)
        assert not menus, f"expected no menu of the program open, got {describe(menus)}"


def case_presses_on_the_picture_reach_the_picture(exe, probe):
    # The shadow window stands above the picture window now, and must not keep the presses
    # from it: the right button opens the program's menu, the left one drags the picture.
    with Scene(exe, probe) as scene:
        main = scene.main
        order = [w.cls for w in scene.frame.windows() if w.cls in (MAIN_CLASS, SHADOW_CLASS)]
        assert order == [SHADOW_CLASS, MAIN_CLASS], (
            f"expected the shadow window above the picture window after the drag, so that the "
            f"presses go through it; the windows from the top down: {order}"
        )
        click(main.left + 50, main.top + 50, 3)
        menus = scene.frame.wait_for(
            "the program's popup menu after a right click on the picture",
            lambda: visible_menus(scene.frame),
        )
        xdotool("key", "Escape")
        scene.frame.wait_for("the popup menu to close", lambda: not visible_menus(scene.frame))
        grab = (main.left + 100, main.top + 70)
        drag(grab, (grab[0] - 15, grab[1] + 10), (grab[0] - 30, grab[1] + 20))

        def dragged():
            now = own_window(scene.frame, MAIN_CLASS)
            return now and (now.left, now.top) == (main.left - 30, main.top + 20)

        scene.frame.wait_for("the picture window dragged 30 px left and 20 px down", dragged)
        assert scene.target.presses() == [], (
            f"expected no press on the picture to reach the window beneath, it received "
            f"{scene.target.presses()} (menu was {describe(menus)})"
        )


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
