#!/usr/bin/python3
"""End-to-end tests of the program's start and end, run against the real Vistrelle.exe under
Wine. Each case starts the program in a program folder of its own and checks what the window
system shows.

    startup.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
import time

from frame import (
    CAPTION_CLASS,
    describe,
    DIALOG_CLASS,
    Frame,
    MAIN_CLASS,
    OWN_CLASSES,
    run_cases,
    settings,
    SHADOW_CLASS,
    WM_CLOSE,
    WS_CAPTION,
    WS_THICKFRAME,
)

SETTINGS = settings()

# How long a started program must keep running with nothing amiss.
SETTLE_SECONDS = 3.0


def check_picture_window(frame, expected_width, expected_height):
    main = frame.wait_main_window()
    mains = [w for w in frame.visible_windows() if w.cls == MAIN_CLASS]
    assert len(mains) == 1, f"expected exactly one visible {MAIN_CLASS} window, got {describe(mains)}"
    assert (main.style & WS_CAPTION) != WS_CAPTION, f"expected no title bar, got {main}"
    assert not main.style & WS_THICKFRAME, f"expected no sizing border, got {main}"
    assert (main.width, main.height) == (expected_width, expected_height), (
        f"expected the picture window's outer size {expected_width}x{expected_height} px, "
        f"got {main.width}x{main.height} ({main})"
    )


def check_quiet_for_a_while(frame):
    """The program stays up for a few seconds and shows nothing but its own windows: no message
    box, no dialog, no crash report."""
    deadline = time.monotonic() + SETTLE_SECONDS
    while time.monotonic() < deadline:
        # Visible windows of other classes: a message box is a DIALOG_CLASS window.
        strangers = [w for w in frame.visible_windows() if w.cls not in OWN_CLASSES]
        assert not strangers, (
            f"expected only the program's own windows ({', '.join(OWN_CLASSES)}) and no "
            f"{DIALOG_CLASS} dialog, got also: {describe(strangers)}"
        )
        assert frame.running(), (
            f"expected the program to keep running, it ended with exit code {frame.exit_code()}"
        )
        time.sleep(0.3)


def case_landscape_size(exe, probe):
    # 780x520: 195 px wide at the default size, 130 px high by the aspect ratio, plus 2 px.
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        check_picture_window(frame, 197, 132)
        check_quiet_for_a_while(frame)


def case_portrait_size(exe, probe):
    # 600x900: 144 px high at the default size, 96 px wide by the aspect ratio, plus 2 px.
    with Frame(exe, probe, picture=(600, 900), option_ini=SETTINGS) as frame:
        check_picture_window(frame, 98, 146)
        check_quiet_for_a_while(frame)


def case_no_picture(exe, probe):
    with Frame(exe, probe, picture=None, option_ini=SETTINGS) as frame:
        frame.wait_main_window()
        check_quiet_for_a_while(frame)


def case_no_settings(exe, probe):
    with Frame(exe, probe, picture=(780, 520), option_ini=None) as frame:
        check_picture_window(frame, 197, 132)
        check_quiet_for_a_while(frame)


def case_close_by_system(exe, probe):
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        main = frame.wait_main_window()
        pid = frame.pid
        frame.post(main, WM_CLOSE)
        code = frame.wait_exit(timeout=20)
        assert code is not None, (
            "expected the program to end after WM_CLOSE to its picture window within 20 s; "
            f"it still runs with windows: {describe(frame.windows())}"
        )
        left = [
            w
            for w in frame.all_windows()
            if w.pid == pid and w.cls in (MAIN_CLASS, SHADOW_CLASS, CAPTION_CLASS)
        ]
        assert not left, f"expected no window left behind, got {describe(left)}"


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
