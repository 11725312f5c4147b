#!/usr/bin/python3
"""End-to-end tests of the frame at home on a Windows desktop, run against the real
Vistrelle.exe under Wine: Show desktop does not hide it, and a display change does not leave it
off screen. Wine has no shell desktop that Show desktop raises, so a window of the probe stands
in for it: a full-screen Progman window holding a SHELLDLL_DefView, raised and made the
foreground window as Windows does it.

    shell.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys

from frame import (
    CAPTION_CLASS,
    MAIN_CLASS,
    Frame,
    Screen,
    Target,
    client_rect,
    own_window,
    run_cases,
    settings,
    started,
    wait_for_screen,
    wait_placed,
)

DESKTOP = (255, 0, 255)  # the shown desktop's colour, and the other window's: in no picture
FRONT = (0, 255, 255)
WM_DISPLAYCHANGE = 0x007E


def showing(colour, rect, present):
    """A check of wait_for_screen: the rectangle is all the colour, or has none of it."""

    def problem(screen):
        pixels = [screen.at(*p) for p in screen.points(rect)]
        found = pixels.count(colour)
        if found == (len(pixels) if present else 0):
            return None
        return f"{found} of the {len(pixels)} pixels of {rect} are {colour}"

    return problem


def case_show_desktop_keeps_the_frame_on_it_until_a_window_comes_forward(exe, probe):
    with Frame(exe, probe, option_ini=settings()) as frame:
        main = started(frame, caption=True)
        picture = client_rect(main)
        strip = next(w for w in frame.windows() if w.cls == CAPTION_CLASS)
        # The strip's middle band, where the name is written over the wallpaper.
        band = (strip.left + 2, strip.top + 2, strip.right - 2, strip.bottom - 2)
        screen = Screen()
        with Target(probe, (0, 0, screen.width, screen.height), DESKTOP, kind="desktop") as desk:
            wait_for_screen(frame, "the picture standing on the shown desktop",
                            showing(DESKTOP, picture, present=False))
            wait_for_screen(frame, "the caption strip standing on the shown desktop under it",
                            showing(DESKTOP, band, present=False))
            foreground = int(frame.probe_run("foreground").strip(), 16)
            assert foreground == desk.hwnd, (
                f"expected the desktop {desk.hwnd:#x} to keep the focus, the foreground window "
                f"is {foreground:#x}"
            )
            around = (main.left - 20, main.top - 20, main.right + 20, main.bottom + 60)
            with Target(probe, around, FRONT, kind="front"):
                wait_for_screen(frame, "the frame behind the window brought to the front",
                                showing(FRONT, picture, present=True))
                wait_for_screen(frame, "the caption strip behind it too",
                                showing(FRONT, band, present=True))


def case_a_frame_left_off_every_monitor_comes_back_after_a_display_change(exe, probe):
    # The shadow reaches 50 twips beyond the picture window once it is placed again.
    with Frame(exe, probe, option_ini=settings(offset=2)) as frame:
        main = started(frame, caption=True)
        frame.probe_run("move", hex(main.hwnd), "-3000", "-2000")
        frame.wait_until("the picture window moved off the screen",
                         lambda: None if own_window(frame, MAIN_CLASS).left == -3000 else
                         f"it stands at {own_window(frame, MAIN_CLASS)}")
        frame.post(main, WM_DISPLAYCHANGE, 24, (1024 << 16) | 1280)
        back = wait_placed(frame, 50, what="the frame placed again after the display change")
        assert (back.left, back.top, back.width, back.height) == (0, 0, main.width, main.height), (
            f"expected the picture window at the top left corner of the work area nearest to "
            f"it, its size {main.width}x{main.height} kept, got {back}"
        )


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
