#!/usr/bin/python3
"""End-to-end tests of dropping files on the picture frame, run against the real Vistrelle.exe
under Wine. Each case starts the program in a program folder of its own and drops onto it
through the X display's drag and drop protocol (XDND, tests/e2e/xdnd.py), as a Linux file
manager would; Wine hands the drop to the program as an OLE drop. The cases check what the
window system then shows.

    drop.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys
import time

from frame import (
    CAPTION_CLASS,
    caption_misplaced,
    drag,
    drop_at,
    Frame,
    MAIN_CLASS,
    make_picture,
    own_window,
    QUIET_SECONDS,
    run_cases,
    settings,
    SHADOW_CLASS,
    shadow_misplaced,
    started,
    wait_size,
    x_window_of,
)

SETTINGS = settings()


def check_companions(frame, main):
    """After a new picture the caption stands under the window and the shadow around it."""

    def check():
        shown = {w.cls for w in frame.visible_windows()}
        return {CAPTION_CLASS, SHADOW_CLASS} <= shown

    frame.wait_for("the caption and shadow windows shown again", check, timeout=10)
    problem = caption_misplaced(main, own_window(frame, CAPTION_CLASS))
    assert problem is None, problem
    problem = shadow_misplaced(main, own_window(frame, SHADOW_CLASS), 25)
    assert problem is None, problem


def region(shot, window):
    """The raw RGB bytes of a window's area in a screenshot."""
    return subprocess.run(
        [
            "convert",
            str(shot),
            "-crop",
            f"{window.width}x{window.height}+{window.left}+{window.top}",
            "-depth",
            "8",
            "rgb:-",
        ],
        check=True,
        stdout=subprocess.PIPE,
    ).stdout


def check_accepted(frame, result):
    if result.status_accepted and result.finished_accepted:
        return
    # Say which of the program's windows the drop went to: an XDND source hands the drop to
    # the topmost X window under the pointer.
    went_to = "an X window of none of the program's windows"
    for window in frame.windows():
        if x_window_of(window) == result.target:
            went_to = f"the X window of {window}"
    raise AssertionError(
        f"expected the program to accept the dropped files on the picture window, got {result}; "
        f"the topmost X window under the pointer was {went_to}"
    )


def case_three_files_show_the_last(exe, probe):
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        files = [frame.folder / "first.jpg", frame.folder / "second.jpg", frame.folder / "tall.jpg"]
        make_picture(files[0], 800, 400)
        make_picture(files[1], 640, 480)
        make_picture(files[2], 600, 900)
        main = started(frame, caption=True)
        caption_before = region(frame.screenshot(), own_window(frame, CAPTION_CLASS))
        check_accepted(frame, drop_at(main.centre, files=files))
        # 600x900: 144 px high, 96 px wide, plus the 2-pixel border.
        tall = wait_size(frame, 98, 146)
        assert (tall.left, tall.top) == (main.left, main.top), (
            f"expected the picture window to keep its place ({main.left},{main.top}), got {tall}"
        )
        check_companions(frame, tall)
        # The caption names the new file: its pixels change.
        time.sleep(0.5)
        caption = own_window(frame, CAPTION_CLASS)
        caption_after = region(frame.screenshot(), caption)
        assert caption_after[: len(caption_before)] != caption_before or len(
            caption_after
        ) != len(caption_before), (
            f"expected the caption to show the new file name tall.jpg, its pixels stayed "
            f"the same ({caption})"
        )


def case_last_file_decides_the_shape(exe, probe):
    # Started with a portrait picture; the list ends with a landscape one.
    with Frame(exe, probe, picture=(600, 900), option_ini=SETTINGS) as frame:
        files = [frame.folder / "tall.jpg", frame.folder / "wide.jpg"]
        make_picture(files[0], 600, 900)
        make_picture(files[1], 900, 300)
        main = started(frame, caption=True)
        assert (main.width, main.height) == (98, 146), f"expected 98x146 at start, got {main}"
        check_accepted(frame, drop_at(main.centre, files=files))
        # 900x300: 195 px wide, 65 px high, plus the border.
        wide = wait_size(frame, 197, 67)
        check_companions(frame, wide)


def case_text_is_refused(exe, probe):
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        main = started(frame, caption=True)
        before = {w.cls: str(w) for w in frame.windows()}
        picture_before = region(frame.screenshot(), main)
        result = drop_at(main.centre, text="Z:\\tmp\\not a file list.jpg")
        assert not result.status_accepted and not result.finished_accepted, (
            f"expected the program to refuse a drop without a file list, got {result}"
        )
        time.sleep(QUIET_SECONDS)
        after = {w.cls: str(w) for w in frame.windows()}
        assert after == before, (
            f"expected the windows unchanged after a refused drop: were {before}, got {after}"
        )
        picture_after = region(frame.screenshot(), own_window(frame, MAIN_CLASS))
        assert picture_after == picture_before, (
            "expected the same picture on screen after a refused drop, its pixels changed"
        )
        assert frame.running(), f"expected the program to keep running, exit {frame.exit_code()}"


def case_chinese_file_name(exe, probe):
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        name = frame.folder / "风景 照片 长卷.jpg"
        make_picture(name, 900, 300)
        main = started(frame, caption=True)
        check_accepted(frame, drop_at(main.centre, files=[name]))
        wide = wait_size(frame, 197, 67)
        check_companions(frame, wide)


def case_chinese_portrait_among_others(exe, probe):
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        files = [frame.folder / "a.jpg", frame.folder / "竖幅照片.jpg"]
        make_picture(files[0], 800, 400)
        make_picture(files[1], 600, 900)
        main = started(frame, caption=True)
        check_accepted(frame, drop_at(main.centre, files=files))
        tall = wait_size(frame, 98, 146)
        check_companions(frame, tall)


def case_second_drop_replaces_the_first(exe, probe):
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        tall, wide = frame.folder / "tall.jpg", frame.folder / "wide.jpg"
        make_picture(tall, 600, 900)
        make_picture(wide, 900, 300)
        main = started(frame, caption=True)
        check_accepted(frame, drop_at(main.centre, files=[tall]))
        now = wait_size(frame, 98, 146)
        check_companions(frame, now)
        time.sleep(0.3)
        check_accepted(frame, drop_at(now.centre, files=[wide]))
        now = wait_size(frame, 197, 67)
        check_companions(frame, now)


def case_drop_after_drag(exe, probe):
    # The frame moved first, as a user places it before dropping a picture on it.
    with Frame(exe, probe, picture=(780, 520), option_ini=SETTINGS) as frame:
        tall = frame.folder / "tall.jpg"
        make_picture(tall, 600, 900)
        main = started(frame, caption=True)
        x, y = main.left + 40, main.top + 40
        drag((x, y), (x + 40, y + 30), (x + 80, y + 60))

        def moved_with_companions():
            now = own_window(frame, MAIN_CLASS)
            shown = {w.cls for w in frame.visible_windows()}
            if (now.left, now.top) == (main.left + 80, main.top + 60):
                if {SHADOW_CLASS, CAPTION_CLASS} <= shown:
                    return now
            return None

        moved = frame.wait_for(
            "the picture window moved by (80,60) with its caption and shadow shown",
            moved_with_companions,
            timeout=10,
        )
        time.sleep(0.3)
        check_accepted(frame, drop_at(moved.centre, files=[tall]))
        now = wait_size(frame, 98, 146)
        check_companions(frame, now)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
