#!/usr/bin/python3
"""End-to-end tests of moving the picture frame with the pointer, run against the real
Vistrelle.exe under Wine. Each case starts the program in a program folder of its own, drags it
with real button presses on the X display (xdotool) and checks where the window system then
shows the picture window and its companions, the caption and the shadow.

    pointer.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
import time

from frame import (
    CAPTION_CLASS,
    MAIN_CLASS,
    SHADOW_CLASS,
    Frame,
    caption_misplaced,
    describe,
    drag,
    own_window,
    run_cases,
    shadow_misplaced,
    visible_menus,
    xdotool,
)

SETTINGS = """[Main]
Font=Arial
Size=10
Color1=16777215
Color2=0
ShowFileName={show}
[Shadow]
OffSet={offset}
"""

# The shadow margins of [Shadow] OffSet 0, 1 and 2, in twips on each side (3 hides it).
SHADOW_MARGIN_TWIPS = {0: 0, 1: 25, 2: 50}

# How long a state must hold when a case checks that something does not happen.
QUIET_SECONDS = 1.0


def started(frame):
    """The picture window once the program is up and its companions are shown."""
    frame.wait_main_window()
    frame.wait_for(
        f"the {SHADOW_CLASS} window to be shown",
        lambda: any(w.cls == SHADOW_CLASS for w in frame.visible_windows()),
    )
    # The first paint comes a moment after the window is shown.
    time.sleep(0.3)
    return frame.wait_main_window()


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


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
