#!/usr/bin/python3
"""End-to-end tests of moving the picture frame with the pointer, run against the real
Vistrelle.exe under Wine. Each case starts the program in a program folder of its own, drags it
with real button presses on the X display (xdotool) and checks where the window system then
shows the picture window and its companions, the caption and the shadow.

    pointer.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import shutil
import sys
from contextlib import contextmanager
from pathlib import Path

from frame import (
    CAPTION_CLASS,
    MAIN_CLASS,
    SHADOW_CLASS,
    WM_CLOSE,
    Frame,
    describe,
    drag_by,
    drop_resized,
    limit,
    make_picture,
    own_window,
    run_cases,
    settings,
    shadow_misplaced,
    started,
    stays_placed,
    visible_menus,
    wait_placed,
    windows_path,
    wine_reg,
    xdotool,
)


def grab_point(main):
    """A point well inside the picture window."""
    return main.left + main.width // 3, main.top + main.height // 3


def dragged(frame, dx, dy, margin_twips, caption_shown=True):
    """Drags the picture window by (dx, dy) and checks that it went exactly as far as the
    pointer, kept its size, and that its companions followed."""
    main = frame.wait_main_window()
    drag_by(frame, dx, dy)
    moved = wait_placed(frame, margin_twips, caption_shown, what=f"after a drag by ({dx},{dy})")
    assert (moved.width, moved.height) == (main.width, main.height), (
        f"expected the dragged picture window to keep its size {main.width}x{main.height}, "
        f"got {moved}"
    )
    stays_placed(frame, margin_twips, caption_shown, what=f"after a drag by ({dx},{dy})")
    return moved


def start_with(exe, probe, offset, show=True, picture=(780, 520)):
    return Frame(exe, probe, picture=picture, option_ini=settings(show=show, offset=offset))


@limit(300)
def case_drags_move_the_frame_and_its_companions(exe, probe):
    """Right after start-up the shadow lies exactly under the picture window; a press without
    moving leaves all in place; the caption and shadow hide while the button is held down and
    come back around the picture window where it was dropped, drag after drag, any way."""
    with start_with(exe, probe, offset=1) as frame:
        started(frame)
        wait_placed(frame, 0, what="at start-up")
        press_without_moving(frame, {w.cls: w for w in frame.windows()})
        dragged(frame, 90, 60, 25)
        companions_hide_while_dragging(frame)
        dragged(frame, 200, 50, 25)
        dragged(frame, -120, -75, 25)


def press_without_moving(frame, before):
    x, y = grab_point(before[MAIN_CLASS])
    xdotool("mousemove", x, y, "sleep", 0.1, "mousedown", 1, "sleep", 0.3, "mouseup", 1)
    # Whatever the release does, it has done it once the companions are shown again.
    frame.wait_for(
        "the caption and shadow windows shown after the release",
        lambda: {CAPTION_CLASS, SHADOW_CLASS} <= {w.cls for w in frame.visible_windows()},
    )

    def problem():
        after = {w.cls: w for w in frame.windows()}
        for cls in (MAIN_CLASS, CAPTION_CLASS):
            was, now = before[cls], after.get(cls)
            if now is None or (now.rect, now.visible) != (was.rect, was.visible):
                return f"expected the {cls} window to stay as it was ({was}) after a click: {now}"
        # A release without travel may place the frame anew; then the shadow takes its margins.
        shadow = after.get(SHADOW_CLASS)
        if shadow is None or not shadow.visible:
            return f"expected the shadow shown, got {shadow}"
        if shadow.rect != before[SHADOW_CLASS].rect:
            return shadow_misplaced(after[MAIN_CLASS], shadow, 25)
        menus = visible_menus(frame)
        return f"expected no popup menu after a left click, {describe(menus)}" if menus else None

    frame.holds("all in place after a press without moving", problem)


def companions_hide_while_dragging(frame):
    main = frame.wait_main_window()
    x, y = grab_point(main)
    xdotool("mousemove", x, y, "sleep", 0.1, "mousedown", 1, "sleep", 0.1)
    try:
        xdotool("mousemove", x + 30, y + 20, "sleep", 0.1, "mousemove", x + 60, y + 40)
        frame.wait_for(
            "the caption and shadow windows hidden while the button is held down, the picture "
            "window shown",
            lambda: (shown := {w.cls for w in frame.visible_windows()}) and MAIN_CLASS in shown
            and not shown & {CAPTION_CLASS, SHADOW_CLASS},
        )
    finally:
        xdotool("mouseup", 1)
    moved = wait_placed(frame, 25, what="after the drag with the companions hidden")
    assert moved.rect[:2] == (main.left + 60, main.top + 40), (
        f"expected the picture window dragged by (60,40) from {main}, got {moved}"
    )


def case_drag_with_shadow_offset_0_and_no_file_name(exe, probe):
    with start_with(exe, probe, offset=0, show=False, picture=(600, 900)) as frame:
        started(frame)
        dragged(frame, 70, 50, 0, caption_shown=False)


def case_drag_with_shadow_hidden(exe, probe):
    # OffSet 3: no shadow at all, neither before nor after a drag.
    with start_with(exe, probe, offset=3) as frame:
        wait_placed(frame, None, what="no shadow with [Shadow] OffSet=3")
        dragged(frame, 80, 60, None)


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
    once more, with the picture's full path, and that the window stayed where it was."""
    record = frame.folder / "open_recorder.txt"

    def lines():
        try:
            return [line for line in record.read_text("utf-8").splitlines() if line]
        except FileNotFoundError:
            return []

    before = len(lines())
    x, y = grab_point(main)
    xdotool("mousemove", x, y, "sleep", 0.2, "click", "--repeat", 2, "--delay", 90, 1)
    frame.wait_for(f"the program associated with .jpg started (a line in {record.name})",
                   lambda: len(lines()) > before, timeout=15)
    frame.holds("one start of the associated program a double click",
                lambda: None if len(lines()) == before + 1 else f"the command lines {lines()}")
    started_with = lines()[-1]
    args = windows_arguments(started_with)
    expected = windows_path(picture)
    assert args[1:] == [expected], (
        f"expected the associated program started with the picture's full path [{expected!r}], "
        f"got the arguments {args[1:]} (command line {started_with!r})"
    )
    now = own_window(frame, MAIN_CLASS)
    assert now.rect == main.rect, (
        f"expected the picture window to stay as it was ({main}) after a double click, got {now}"
    )


def case_double_click_opens_the_picture_then_a_dropped_one(exe, probe):
    with start_with(exe, probe, offset=1) as frame:
        files = [frame.folder / "other.jpg", frame.folder / "竖幅 照片.jpg"]
        make_picture(files[0], 800, 400)
        make_picture(files[1], 600, 900)
        with jpg_opened_by(recorder_in(frame, probe)):
            double_click_opens(frame, started(frame), frame.folder / "image.jpg")
            main = drop_resized(frame, files, 98, 146, what="the dropped portrait")
            double_click_opens(frame, main, files[1])
            # The program still answers, and ends cleanly: a Wine process killed after it
            # opened a file through the shell slows the next program's start by seconds.
            frame.post(main, WM_CLOSE)
            assert frame.wait_exit(timeout=20) is not None, (
                f"expected the program to end on WM_CLOSE after a double click, it still runs "
                f"with {describe(frame.windows())}"
            )


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
