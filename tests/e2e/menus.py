#!/usr/bin/python3
"""End-to-end tests of the picture frame's popup menu, run against the real Vistrelle.exe under
Wine. Each case starts the program in a program folder of its own, opens the menu with a real
button press on the picture window (xdotool on the X display), chooses items with the keyboard
or the pointer as a user does, one after the other, and checks each effect from outside: window
sizes and places, the opacity Wine hands to X and the compositor, message boxes, processes.

    menus.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys

from frame import (
    DIALOG_CLASS,
    MAIN_CLASS,
    OWN_CLASSES,
    WS_EX_LAYERED,
    Frame,
    Screen,
    describe,
    drag_by,
    in_turn,
    limit,
    make_picture,
    own_window,
    run_cases,
    settings,
    started,
    stays_placed,
    wait_placed,
    wait_size,
    windows_path,
    x_opacity,
    x_window_of,
    xdotool,
)
from frame.menu import (
    ABOUT,
    DEFAULT,
    LARGE,
    NEW_COPY,
    OPACITY,
    OPACITY_50,
    OPACITY_80,
    OPAQUE,
    SHADOW,
    SHADOW_0_1,
    SHADOW_2_3,
    SHADOW_4_5,
    SHADOW_NONE,
    OPEN,
    SHOW_NAME,
    SIZE,
    SMALL,
    choose,
    open_menu,
    wait_menu_closed,
)

# The outer sizes of the 780x520 picture's window: at start, and after each size choice (the
# default window of 2955x1980 twips scaled, plus the 30-twip margin).
START_SIZE = (197, 132)
SIZES = {LARGE: (297, 200), SMALL: (133, 90), DEFAULT: (199, 134)}


def choose_size(frame, subitem, margin_twips=25, caption_shown=True, button=3):
    """Chooses a size; returns the picture window once it has that size, its top-left corner
    kept, and its companions stand around it."""
    before = frame.wait_main_window()
    choose(frame, SIZE, subitem, button)
    main = wait_size(frame, *SIZES[subitem])
    assert (main.left, main.top) == (before.left, before.top), (
        f"expected the resized picture window to keep its top-left corner at "
        f"({before.left},{before.top}), got {main}"
    )
    return wait_placed(frame, margin_twips, caption_shown, what=f"after the size {subitem}")


# --- opening the menu ----------------------------------------------------------------------------


def closes_without_effect(frame):
    def own():
        return {w.cls: str(w) for w in frame.windows() if w.cls in OWN_CLASSES}

    before = own()
    xdotool("key", "Escape")
    wait_menu_closed(frame)
    frame.holds("the windows unchanged when the menu is left with Escape",
                lambda: None if (now := own()) == before else f"were {before}, got {now}")


def case_right_and_middle_clicks_open_the_menu(exe, probe):
    """Either button opens the menu; Escape leaves it without effect; an item chosen from the
    menu of the middle button takes effect."""
    with Frame(exe, probe, option_ini=settings()) as frame:
        started(frame)
        for button in (3, 2):
            open_menu(frame, button)
            closes_without_effect(frame)
        choose_size(frame, LARGE, button=2)


# --- size and file name --------------------------------------------------------------------------


@limit(300)
def case_sizes_and_file_name(exe, probe):
    """Every size choice starts again from the default window, so the same preset gives the
    same size; the default preset scales the loaded window, margin included, by 1 and adds the
    margin again: 30 twips larger each way than after a load. The file name shown at start is
    hidden by its item and stays hidden through a size change, until chosen again."""
    with Frame(exe, probe, option_ini=settings()) as frame:
        main = started(frame)
        assert (main.width, main.height) == START_SIZE, f"expected {START_SIZE}, got {main}"
        for subitem in (LARGE, SMALL, DEFAULT, LARGE, SMALL):
            choose_size(frame, subitem)
        choose(frame, SHOW_NAME)
        wait_placed(frame, 25, caption_shown=False, what="the caption hidden by its item")
        choose_size(frame, LARGE, caption_shown=False)
        stays_placed(frame, 25, caption_shown=False, what="the caption hidden after a size change")
        choose(frame, SHOW_NAME)
        wait_placed(frame, 25, what="the caption shown again by its item")


# --- opacity -------------------------------------------------------------------------------------


def wait_opacity(frame, alpha):
    """Waits until Wine shows the picture window with the alpha on X and the window is
    layered; returns the window."""
    expected = None if alpha == 255 else alpha * 0x01010101

    def problem():
        main = own_window(frame, MAIN_CLASS)
        xid = x_window_of(main) if main else None
        if xid is None:
            return f"no X window for {main}"
        value = x_opacity(xid)
        # Wine drops the property of a fully opaque window; an opaque 0xffffffff means the same.
        if value != expected and not (alpha == 255 and value == 0xFFFFFFFF):
            return f"_NET_WM_WINDOW_OPACITY {value}, expected {expected} (alpha {alpha})"
        if not main.exstyle & WS_EX_LAYERED:
            return f"expected the picture window WS_EX_LAYERED, got {main}"
        return None

    frame.wait_until(f"opacity {alpha} on the picture window's X window", problem)


def centre_and_beside(main):
    """Screen pixels of the picture window's centre and of the bare screen left of the frame."""
    screen = Screen()
    x, y = main.centre
    return screen.at(x, y), screen.at(max(0, main.left - 30), y)


def wait_centre(frame, expected, what):
    """Waits until the compositor shows the expected colour at the picture window's centre."""

    def problem():
        centre = centre_and_beside(frame.wait_main_window())[0]
        if all(abs(c - e) <= 4 for c, e in zip(centre, expected)):
            return None
        return f"{centre} at the centre, expected {what} {expected}"

    frame.wait_until(what, problem)


@limit(300)
def case_opacity(exe, probe):
    """50 % blends the picture with the screen beneath; it is kept through a size change; 80 %
    and opaque again follow."""
    with Frame(exe, probe, option_ini=settings()) as frame:
        opaque, beside = centre_and_beside(started(frame))
        choose(frame, OPACITY, OPACITY_50)
        wait_opacity(frame, 128)
        blend = tuple((p * 128 + b * 127) // 255 for p, b in zip(opaque, beside))
        wait_centre(frame, blend, f"the picture at 50 % over the screen ({opaque} over {beside})")
        choose_size(frame, LARGE)
        wait_opacity(frame, 128)
        choose(frame, OPACITY, OPACITY_80)
        wait_opacity(frame, 204)
        choose(frame, OPACITY, OPAQUE)
        wait_opacity(frame, 255)
        wait_centre(frame, opaque, "the opaque picture again")


# --- shadow --------------------------------------------------------------------------------------


@limit(300)
def case_shadow(exe, probe):
    """Started without a shadow (OffSet 3): each mode of the menu shows it with its margins,
    which follow a size change; chosen away, it stays hidden through a size change, an opacity
    change and a drag."""
    with Frame(exe, probe, option_ini=settings(offset=3)) as frame:
        frame.wait_main_window()
        wait_placed(frame, None, what="no shadow with [Shadow] OffSet=3")
        stays_placed(frame, None, what="no shadow with [Shadow] OffSet=3")
        choose(frame, SHADOW, SHADOW_4_5)
        wait_placed(frame, 50, what="the shadow of 4-5")
        choose_size(frame, LARGE, margin_twips=50)
        for subitem, margin in ((SHADOW_2_3, 25), (SHADOW_0_1, 0), (SHADOW_NONE, None)):
            choose(frame, SHADOW, subitem)
            wait_placed(frame, margin, what=f"the shadow of {margin} twips")
        choose_size(frame, SMALL, margin_twips=None)
        stays_placed(frame, None, what="no shadow after a size change")
        choose(frame, OPACITY, OPACITY_80)
        wait_opacity(frame, 204)
        stays_placed(frame, None, what="no shadow after an opacity change")
        drag_by(frame, 60, 40)
        wait_placed(frame, None, what="the caption after the drag")
        stays_placed(frame, None, what="no shadow after a drag")


# --- the Open dialog ------------------------------------------------------------------------------

# The pictures opened and the outer size of the picture window each gives (see drop.py).
TALL_PICTURE, TALL = (600, 900), (98, 146)
WIDE_PICTURE, WIDE = (900, 300), (197, 67)


def long_folder(frame, length=300):
    """A folder under the run's folder whose Windows path is longer than length characters,
    each name well under the 255 bytes Linux allows."""
    folder = frame.folder
    while len(windows_path(folder)) <= length:
        folder = folder / "a-folder-nested-deep-enough-to-pass-the-old-limit-of-paths"
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def wait_dialog(frame, what):
    """The visible dialog (the Open dialog or a message box) once it is there."""
    return frame.wait_for(
        f"{what} (a visible {DIALOG_CLASS} window)",
        lambda: next((w for w in frame.visible_windows() if w.cls == DIALOG_CLASS), None),
    )


def open_dialog(frame):
    choose(frame, OPEN)
    return wait_dialog(frame, "the Open dialog")


def dialog_closed(frame, after):
    frame.wait_for(f"the dialog to close after {after}",
                   lambda: not any(w.cls == DIALOG_CLASS for w in frame.visible_windows()))


def opens(frame, folder, picture, size):
    """Opens a picture as a user does: the menu's Open item, its path typed over the file name
    the dialog starts with, Return. The picture window takes the new picture's shape."""
    path = folder / ("tall.jpg" if size == TALL else "wide.jpg")
    make_picture(path, *picture)
    open_dialog(frame)
    # The file name box has the focus, holding the shown picture's name.
    xdotool("key", "--delay", 80, "End", "shift+Home", "BackSpace")
    xdotool("type", "--delay", 15, windows_path(path))
    xdotool("key", "Return")
    dialog_closed(frame, f"{len(windows_path(path))} characters typed")
    wait_size(frame, *size, what=f"{path.name} opened")
    wait_placed(frame, 25, what=f"the companions after {path.name} opened")


def cancel_keeps_the_picture(frame):
    before = frame.wait_main_window()
    open_dialog(frame)
    xdotool("key", "Escape")
    dialog_closed(frame, "Escape")
    stays_placed(frame, 25, what="the frame unchanged after the Open dialog was cancelled")
    after = frame.wait_main_window()
    assert after.rect == before.rect, f"expected the picture window kept at {before}, got {after}"


@limit(300)
def case_open_dialog(exe, probe):
    """The menu's Open item opens the system's dialog; a typed path loads its picture, also a
    path longer than 260 characters; after that the dialog opens again, and Escape leaves the
    picture as it is."""
    steps = {
        "short path": lambda frame: opens(frame, frame.folder, TALL_PICTURE, TALL),
        "long path": lambda frame: opens(frame, long_folder(frame), WIDE_PICTURE, WIDE),
        "cancelled after the long path": cancel_keeps_the_picture,
    }
    in_turn(steps.items(), lambda: Frame(exe, probe, option_ini=settings()),
            lambda frame, step: step(frame))


# --- about, exit, another copy --------------------------------------------------------------------


def case_about_box_then_exit_by_pointer(exe, probe):
    """The about box, chosen with the keyboard, closes on Return; the program still answers, and
    退出 clicked with the pointer ends it."""
    with Frame(exe, probe, option_ini=settings()) as frame:
        started(frame)
        choose(frame, ABOUT)
        box = wait_dialog(frame, "the about box")
        assert box.title == "Vistrelle", f"expected the about box titled 'Vistrelle', got {box}"
        xdotool("key", "Return")
        dialog_closed(frame, "Return in the about box")
        menu = open_menu(frame)
        # 退出 is the last item: it takes the bottom row of the menu, above the menu's border.
        xdotool("mousemove", menu.left + menu.width // 2, menu.bottom - 8, "sleep", 0.2, "click", 1)
        frame.wait_ended("退出")


def case_new_copy_starts_second_process(exe, probe):
    with Frame(exe, probe, option_ini=settings()) as frame:
        first = started(frame)
        choose(frame, NEW_COPY)

        def check():
            mains = [w for w in frame.visible_windows() if w.cls == MAIN_CLASS]
            return mains if len(mains) == 2 else None

        mains = frame.wait_for("a second visible picture window", check, timeout=20)
        pids = {w.pid for w in mains}
        assert len(pids) == 2 and first.pid in pids, (
            f"expected the second picture window in a new process beside {first.pid}, got "
            f"{describe(mains)}"
        )
        assert frame.running(), "expected the first copy to keep running"
    frame.wait_ended("the test, which ends both copies", pids)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
