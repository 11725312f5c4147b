#!/usr/bin/python3
"""End-to-end tests of dropping files on the picture frame, run against the real Vistrelle.exe
under Wine. Files are dropped through the X display's drag and drop protocol (XDND,
tests/e2e/xdnd.py), as a Linux file manager would; Wine hands the drop to the program as an OLE
drop. The drops follow one another on one running program, each replacing the picture before,
and the cases check what the window system then shows.

    drop.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys

from frame import (
    CAPTION_CLASS,
    Frame,
    Screen,
    drag_by,
    drop_at,
    drop_resized,
    in_turn,
    limit,
    make_picture,
    own_window,
    run_cases,
    settings,
    started,
    stays_placed,
    wait_placed,
)

# The pictures dropped, (width, height), and the outer size of the picture window for each:
# 195 px wide or 144 px high, the other side by the aspect ratio, plus the 2-pixel border.
PICTURES = {
    "first.jpg": (800, 400),
    "second.jpg": (640, 480),
    "a.jpg": (800, 400),
    "tall.jpg": (600, 900),
    "wide.jpg": (900, 300),
    "竖幅照片.jpg": (600, 900),
    "风景 照片 长卷.jpg": (900, 300),
}
TALL, WIDE = (98, 146), (197, 67)


def pixels_of(window):
    screen = Screen()
    return [screen.at(x, y) for x, y in screen.points(window.rect)]


def dropped(frame, names, size):
    """Drops the named pictures on the picture window; the window once it has the size of the
    last and its companions stand around it."""
    files = []
    for name in names:
        files.append(frame.folder / name)
        if not files[-1].exists():
            make_picture(files[-1], *PICTURES[name])
    drop_resized(frame, files, *size, what=f"{', '.join(names)} dropped")
    return wait_placed(frame, 25, what=f"the companions after {', '.join(names)} dropped")


def text_is_refused(frame):
    main = started(frame, caption=True)
    windows, picture = [str(w) for w in frame.windows()], pixels_of(main)
    result = drop_at(main.centre, text="Z:\\tmp\\not a file list.jpg")
    assert not result.status_accepted and not result.finished_accepted, (
        f"expected the program to refuse a drop without a file list, got {result}"
    )
    frame.holds(
        "the windows unchanged after a refused drop",
        lambda: None if (now := [str(w) for w in frame.windows()]) == windows
        else f"were {windows}, got {now}",
    )
    assert pixels_of(main) == picture, (
        "expected the same picture on screen after a refused drop, its pixels changed"
    )


def three_files_show_the_last(frame):
    main = frame.wait_main_window()
    caption_before = pixels_of(own_window(frame, CAPTION_CLASS))
    tall = dropped(frame, ["first.jpg", "second.jpg", "tall.jpg"], TALL)
    assert tall.rect[:2] == main.rect[:2], (
        f"expected the picture window to keep its place ({main.left},{main.top}), got {tall}"
    )
    # The caption names the new file: its pixels change.
    frame.wait_for("the caption showing the new name",
                   lambda: pixels_of(own_window(frame, CAPTION_CLASS)) != caption_before)


def last_file_decides_the_shape(frame):
    dropped(frame, ["tall.jpg", "wide.jpg"], WIDE)


def chinese_portrait_among_others(frame):
    dropped(frame, ["a.jpg", "竖幅照片.jpg"], TALL)


def chinese_file_name(frame):
    dropped(frame, ["风景 照片 长卷.jpg"], WIDE)


def drop_after_drag(frame):
    # The frame moved first, as a user places it before dropping a picture on it.
    drag_by(frame, 80, 60)
    wait_placed(frame, 25, what="the companions after the drag")
    dropped(frame, ["tall.jpg"], TALL)
    stays_placed(frame, 25, what="the companions after a drop on the moved frame")


@limit(300)
def case_drops(exe, probe):
    steps = (text_is_refused, three_files_show_the_last, last_file_decides_the_shape,
             chinese_portrait_among_others, chinese_file_name, drop_after_drag)
    in_turn(((s.__name__, s) for s in steps),
            lambda: Frame(exe, probe, picture=(780, 520), option_ini=settings()),
            lambda frame, step: step(frame))


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
