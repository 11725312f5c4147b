#!/usr/bin/python3
"""End-to-end tests of moving the picture frame with the pointer, run against the real
Vistrelle.exe under Wine. Each case starts the program in a program folder of its own, drags it
with real button presses on the X display (xdotool) and checks where the window system then
shows the picture window and its companions, the caption and the shadow.

    pointer.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import shutil
import sys
import time
from contextlib import contextmanager
from pathlib import Path

from frame import (
    CAPTION_CLASS,
    caption_misplaced,
    describe,
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
    SHADOW_MARGIN_TWIPS,
    shadow_misplaced,
    started,
    visible_menus,
    wait_size,
    windows_path,
    wine_reg,
    WM_CLOSE,
    xdotool,
)

SETTINGS = settings(show="{show}", offset="{offset}")


def grab_point(main):
    """A point well inside the picture window."""
    return main.left + main.width // 3, main.top + main.height // 3


def wait_moved_to(frame, left, top):
    """The picture window once it stands at (left, top) with its shadow shown again."""

    def check():
        main = own_window(frame, MAIN_CLASS)
        shadow = own_window(frame, SHADOW_CLASS)
        if main and main.visible and (main.left, main.top) == (left, top):
            if shadow and shadow.visible:
                return main
        return None

    return frame.wait_for(
        f"the picture window at ({left},{top}) with its shadow shown", check, timeout=10
    )


def check_companions(frame, main, margin_twips, caption_shown=True):
    caption = own_window(frame, CAPTION_CLASS)
    shadow = own_window(frame, SHADOW_CLASS)
    windows = describe(frame.windows())
    assert caption is not None, f"expected a {CAPTION_CLASS} window, got {windows}"
    assert shadow is not None, f"expected a {SHADOW_CLASS} window, got {windows}"
    if caption_shown:
        assert caption.visible, f"expected the caption window shown, got {caption}"
        problem = caption_misplaced(main, caption)
        assert problem is None, problem
    else:
        assert not caption.visible, f"expected the caption window hidden, got {caption}"
    assert shadow.visible, f"expected the shadow window shown, got {shadow}"
    problem = shadow_misplaced(main, shadow, margin_twips)
    assert problem is None, problem


def drag_by(frame, dx, dy, offset, caption_shown=True):
    """Drags the picture window of a freshly started program by (dx, dy) through a few steps
    and checks that it went exactly as far as the pointer and its companions followed."""
    main = started(frame)
    # Right after start-up the shadow lies exactly under the picture window.
    check_companions(frame, main, 0, caption_shown)
    x, y = grab_point(main)
    drag((x, y), (x + dx // 3, y + dy // 3), (x + 2 * dx // 3, y + 2 * dy // 3), (x + dx, y + dy))
    moved = wait_moved_to(frame, main.left + dx, main.top + dy)
    assert (moved.width, moved.height) == (main.width, main.height), (
        f"expected the dragged picture window to keep its size {main.width}x{main.height}, "
        f"got {moved}"
    )
    check_companions(frame, moved, SHADOW_MARGIN_TWIPS[offset], caption_shown)
    return moved


def case_drag_moves_frame_and_companions(exe, probe):
    settings = SETTINGS.format(show="True", offset=1)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        drag_by(frame, 90, 60, offset=1)


def case_drag_up_and_left(exe, probe):
    settings = SETTINGS.format(show="True", offset=1)
    with Frame(exe, probe, picture=(600, 900), option_ini=settings) as frame:
        drag_by(frame, -120, -75, offset=1)


def case_second_drag_keeps_relation(exe, probe):
    settings = SETTINGS.format(show="True", offset=1)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        drag_by(frame, 60, 40, offset=1)
        moved = frame.wait_main_window()
        x, y = grab_point(moved)
        drag((x, y), (x + 100, y + 20), (x + 200, y + 50))
        again = wait_moved_to(frame, moved.left + 200, moved.top + 50)
        check_companions(frame, again, SHADOW_MARGIN_TWIPS[1])


def case_drag_with_shadow_offset_0(exe, probe):
    settings = SETTINGS.format(show="True", offset=0)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        drag_by(frame, 70, 50, offset=0)


def case_drag_with_shadow_offset_2(exe, probe):
    settings = SETTINGS.format(show="True", offset=2)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        drag_by(frame, 70, 50, offset=2)


def case_drag_with_shadow_hidden(exe, probe):
    # OffSet 3: no shadow at all, neither before nor after a drag.
    settings = SETTINGS.format(show="True", offset=3)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        main = frame.wait_main_window()
        time.sleep(0.3)
        x, y = grab_point(main)
        drag((x, y), (x + 40, y + 30), (x + 80, y + 60))

        def check():
            now = own_window(frame, MAIN_CLASS)
            caption = own_window(frame, CAPTION_CLASS)
            if now and (now.left, now.top) == (main.left + 80, main.top + 60):
                if caption and caption.visible:
                    return now
            return None

        moved = frame.wait_for(
            f"the picture window at ({main.left + 80},{main.top + 60}) with its caption",
            check,
            timeout=10,
        )
        problem = caption_misplaced(moved, own_window(frame, CAPTION_CLASS))
        assert problem is None, problem
        time.sleep(QUIET_SECONDS)
        shadow = own_window(frame, SHADOW_CLASS)
        assert shadow is None or not shadow.visible, (
            f"expected no shadow shown with [Shadow] OffSet=3 after a drag, got {shadow}"
        )


def case_drag_without_file_name(exe, probe):
    settings = SETTINGS.format(show="False", offset=1)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        drag_by(frame, 80, 30, offset=1, caption_shown=False)
        time.sleep(QUIET_SECONDS)
        caption = own_window(frame, CAPTION_CLASS)
        assert caption is None or not caption.visible, (
            f"expected the caption window to stay hidden with ShowFileName=False, got {caption}"
        )


def case_companions_hide_while_dragging(exe, probe):
    settings = SETTINGS.format(show="True", offset=1)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        main = started(frame)
        x, y = grab_point(main)
        xdotool("mousemove", x, y, "sleep", 0.1, "mousedown", 1, "sleep", 0.1)
        try:
            xdotool("mousemove", x + 30, y + 20, "sleep", 0.1, "mousemove", x + 60, y + 40)

            def check():
                shown = {w.cls for w in frame.visible_windows()}
                if MAIN_CLASS in shown and not shown & {CAPTION_CLASS, SHADOW_CLASS}:
                    return True
                return None

            frame.wait_for(
                "the caption and shadow windows hidden while the button is held down, the "
                "picture window shown",
                check,
                timeout=10,
            )
        finally:
            xdotool("mouseup", 1)
        moved = wait_moved_to(frame, main.left + 60, main.top + 40)
        check_companions(frame, moved, SHADOW_MARGIN_TWIPS[1])


def case_press_without_moving_leaves_all_in_place(exe, probe):
    settings = SETTINGS.format(show="True", offset=1)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        started(frame)
        before = {w.cls: w for w in frame.windows()}
        main = before[MAIN_CLASS]
        x, y = grab_point(main)
        xdotool("mousemove", x, y, "sleep", 0.1, "mousedown", 1, "sleep", 0.3, "mouseup", 1)
        # Whatever the release does, it has done it once the companions are shown again.
        frame.wait_for(
            "the caption and shadow windows shown after the release",
            lambda: {CAPTION_CLASS, SHADOW_CLASS}
            <= {w.cls for w in frame.visible_windows()},
            timeout=10,
        )
        time.sleep(QUIET_SECONDS)
        after = {w.cls: w for w in frame.windows()}
        for cls in (MAIN_CLASS, CAPTION_CLASS):
            was, now = before[cls], after.get(cls)
            assert now is not None and (now.left, now.top, now.right, now.bottom, now.visible) == (
                was.left,
                was.top,
                was.right,
                was.bottom,
                was.visible,
            ), f"expected the {cls} window to stay as it was ({was}) after a click, got {now}"
        shadow = after.get(SHADOW_CLASS)
        # A release without travel may place the frame anew; then the shadow takes its margins.
        assert shadow is not None and shadow.visible, f"expected the shadow shown, got {shadow}"
        if (shadow.left, shadow.top, shadow.right, shadow.bottom) != (
            before[SHADOW_CLASS].left,
            before[SHADOW_CLASS].top,
            before[SHADOW_CLASS].right,
            before[SHADOW_CLASS].bottom,
        ):
            problem = shadow_misplaced(after[MAIN_CLASS], shadow, SHADOW_MARGIN_TWIPS[1])
            assert problem is None, problem
        menus = visible_menus(frame)
        assert not menus, f"expected no popup menu after a left click, got {describe(menus)}"


# --- double click ---------------------------------------------------------------------------------
#
# A double click opens the picture with the program the system associates with .jpg files. The
# test session's prefix gets open_recorder (built beside the probe) as that program for the
# duration of a case: a copy in the case's program folder, which writes each command line it is
# started with to open_recorder.txt beside itself.

JPG_KEY = "HKLM\\Software\\Classes\\.jpg"
PROG_ID = "vistrelle.e2e.jpgfile"
PROG_ID_KEY = "HKLM\\Software\\Classes\\" + PROG_ID


@contextmanager
def jpg_opened_by(recorder):
    """Registers recorder as the "open" command of .jpg files in the prefix (under HKLM: Wine
    ignores associations under HKCU) and puts back what was there before."""
    code, out = wine_reg("query", JPG_KEY, "/ve")
    previous = None
    if code == 0:
        values = [
            line.split("REG_SZ", 1)[1].strip() for line in out.splitlines() if "REG_SZ" in line
        ]
        previous = values[0] if values else ""
    try:
        for args in (
            ("add", JPG_KEY, "/ve", "/d", PROG_ID, "/f"),
            (
                "add",
                PROG_ID_KEY + "\\shell\\open\\command",
                "/ve",
                "/d",
                f'"{windows_path(recorder)}" "%1"',
                "/f",
            ),
        ):
            code, out = wine_reg(*args)
            assert code == 0, f"expected reg {' '.join(args)} to succeed, got {code}: {out}"
        yield
    finally:
        wine_reg("delete", PROG_ID_KEY, "/f")
        if previous is None:
            wine_reg("delete", JPG_KEY, "/f")
        else:
            wine_reg("add", JPG_KEY, "/ve", "/d", previous, "/f")


def recorder_in(frame, probe):
    built = Path(probe).parent / "open_recorder.exe"
    assert built.is_file(), f"expected the built open_recorder.exe beside the probe at {built}"
    copy = frame.folder / "open_recorder.exe"
    shutil.copy2(built, copy)
    return copy


def windows_arguments(command_line):
    """A command line split as Windows programs split theirs (no quotes inside paths here)."""
    args, current, quoted, started_arg = [], "", False, False
    for c in command_line:
        if c == '"':
            quoted, started_arg = not quoted, True
        elif c in " \t" and not quoted:
            if started_arg:
                args.append(current)
            current, started_arg = "", False
        else:
            current, started_arg = current + c, True
    if started_arg:
        args.append(current)
    return args


def double_click_opens(frame, main, picture):
    """Double-clicks the picture window and checks that the associated program was started
    once with the picture's full path, and that the window stayed where it was."""
    record = frame.folder / "open_recorder.txt"
    x, y = grab_point(main)
    xdotool("mousemove", x, y, "sleep", 0.2, "click", "--repeat", 2, "--delay", 90, 1)

    def lines():
        try:
            return [line for line in record.read_text("utf-8").splitlines() if line]
        except FileNotFoundError:
            return []

    frame.wait_for(
        f"the program associated with .jpg started (a line in {record.name})", lines, timeout=15
    )
    time.sleep(QUIET_SECONDS)
    started_with = lines()
    assert len(started_with) == 1, (
        f"expected the associated program started once by a double click, got the command "
        f"lines {started_with}"
    )
    args = windows_arguments(started_with[0])
    expected = windows_path(picture)
    assert args[1:] == [expected], (
        f"expected the associated program started with the picture's full path [{expected!r}], "
        f"got the arguments {args[1:]} (command line {started_with[0]!r})"
    )
    now = own_window(frame, MAIN_CLASS)
    assert (now.left, now.top, now.width, now.height) == (
        main.left,
        main.top,
        main.width,
        main.height,
    ), f"expected the picture window to stay as it was ({main}) after a double click, got {now}"
    # The program still answers, and ends cleanly: a Wine process killed after it opened a file
    # through the shell slows the next program's start in the session by seconds.
    frame.post(now, WM_CLOSE)
    code = frame.wait_exit(timeout=20)
    assert code is not None, (
        f"expected the program to end on WM_CLOSE after a double click, it still runs with "
        f"{describe(frame.windows())}"
    )


def case_double_click_opens_picture(exe, probe):
    settings = SETTINGS.format(show="True", offset=1)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        with jpg_opened_by(recorder_in(frame, probe)):
            main = started(frame)
            double_click_opens(frame, main, frame.folder / "image.jpg")


def case_double_click_opens_dropped_file(exe, probe):
    settings = SETTINGS.format(show="True", offset=1)
    with Frame(exe, probe, picture=(780, 520), option_ini=settings) as frame:
        files = [frame.folder / "other.jpg", frame.folder / "竖幅 照片.jpg"]
        make_picture(files[0], 800, 400)
        make_picture(files[1], 600, 900)
        with jpg_opened_by(recorder_in(frame, probe)):
            main = started(frame)
            result = drop_at(grab_point(main), files=files)
            assert result.status_accepted, f"expected the drop accepted, got {result}"
            wait_size(frame, 98, 146, timeout=20, what="the dropped portrait")
            time.sleep(0.5)
            double_click_opens(frame, own_window(frame, MAIN_CLASS), files[1])


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
