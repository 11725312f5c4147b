#!/usr/bin/python3
"""End-to-end tests of the program's start and end, run against the real Vistrelle.exe under
Wine. Each case starts the program in a program folder of its own and checks what the window
system shows.

    startup.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys

import corpus

from frame import (
    DIALOG_CLASS,
    MAIN_CLASS,
    OWN_CLASSES,
    WM_CLOSE,
    WS_CAPTION,
    WS_THICKFRAME,
    Frame,
    describe,
    run_cases,
    settings,
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
    box (a DIALOG_CLASS window), no dialog, no crash report."""

    def problem():
        strangers = [w for w in frame.visible_windows() if w.cls not in OWN_CLASSES]
        if strangers:
            return (f"expected only the program's own windows ({', '.join(OWN_CLASSES)}) and no "
                    f"{DIALOG_CLASS} dialog, got also: {describe(strangers)}")
        return None

    frame.holds("the program up with nothing amiss", problem, SETTLE_SECONDS)


def case_landscape_size_then_close_by_system(exe, probe):
    # 780x520: 195 px wide at the default size, 130 px high by the aspect ratio, plus 2 px.
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        check_picture_window(frame, 197, 132)
        check_quiet_for_a_while(frame)
        frame.post(frame.wait_main_window(), WM_CLOSE)
        frame.wait_ended("WM_CLOSE to its picture window")


def case_no_picture(exe, probe):
    with Frame(exe, probe, picture=None, option_ini=SETTINGS) as frame:
        frame.wait_main_window()
        check_quiet_for_a_while(frame)


def case_a_refused_picture_says_why(exe, probe):
    # No message box for a picture the program refuses: one line of debug output names the file
    # and the reason.
    refused = corpus.MAKERS["jpeg_claims_60000x60000"][0]
    with Frame(exe, probe, picture=refused, option_ini=SETTINGS, debug=True) as frame:
        frame.wait_main_window()
        check_quiet_for_a_while(frame)
        said = frame.debug_lines()
        assert any(
            line.startswith("Vistrelle: ") and "image.jpg" in line and "refused" in line
            for line in said
        ), f"expected a debug line naming image.jpg and why it was refused, got {said}"


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
