#!/usr/bin/python3
"""End-to-end tests of the picture frame's popup menu, run against the real Vistrelle.exe under
Wine. Each case starts the program in a program folder of its own, opens the menu with a real
button press on the picture window (xdotool on the X display), chooses items with the keyboard
or the pointer as a user does, and checks the effect from outside: window sizes and places, the
opacity Wine hands to X and the compositor, message boxes, processes.

    menus.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys
import time

from frame import (
    CAPTION_CLASS,
    caption_misplaced,
    click,
    describe,
    DIALOG_CLASS,
    drag,
    Frame,
    MAIN_CLASS,
    MENU_CLASS,
    OWN_CLASSES,
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
    WS_EX_LAYERED,
    x_opacity,
    x_window_of,
    xdotool,
)

SETTINGS = settings(show="{show}", offset="{offset}")

# The items of the popup as they stand from the top, separators left out (the keyboard skips
# them), and the items of the submenus under "更改大小...   ", "透明...        " and
# "阴影...  ".
OPEN, SIZE, OPACITY, SHADOW, SHOW_NAME, NEW_COPY, ABOUT, EXIT = range(8)
SMALL, DEFAULT, LARGE = range(3)
OPAQUE, OPACITY_80, OPACITY_50 = range(3)
SHADOW_0_1, SHADOW_2_3, SHADOW_4_5, SHADOW_NONE = range(4)


def open_menu(frame, button=3):
    """Presses and releases a button over the picture window and returns the popup menu window
    that opens."""
    main = frame.wait_main_window()
    x, y = main.centre
    click(x, y, button)
    menu = frame.wait_for(
        f"a visible popup menu window ({MENU_CLASS}) after button {button} on the picture window",
        lambda: (visible_menus(frame) or [None])[0],
        timeout=10,
    )
    # TrackPopupMenu puts the menu's corner at the pointer (or moves it to fit the screen).
    assert menu.left <= x + 2 and menu.top <= y + 2 and menu.right > x and menu.bottom > y, (
        f"expected the popup menu at the pointer ({x},{y}), got {menu}"
    )
    return menu


def wait_menu_closed(frame):
    frame.wait_for("the popup menu to close", lambda: not visible_menus(frame), timeout=10)


def choose(frame, item, subitem=None, button=3):
    """Opens the popup with a real button press and chooses an item with the keyboard, as a
    user does: Down moves to the first item and on, Right opens a submenu at its first item,
    Return chooses."""
    open_menu(frame, button)
    keys = ["Down"] * (item + 1)
    if subitem is not None:
        keys += ["Right"] + ["Down"] * subitem
    keys.append("Return")
    xdotool("key", "--delay", 80, *keys)
    wait_menu_closed(frame)



def check_caption(frame, main):
    caption = frame.wait_for(
        "the caption window shown",
        lambda: next((w for w in frame.visible_windows() if w.cls == CAPTION_CLASS), None),
        timeout=10,
    )
    problem = caption_misplaced(main, caption)
    assert problem is None, problem


def check_shadow(frame, main, margin_twips):
    shadow = own_window(frame, SHADOW_CLASS)
    assert shadow is not None and shadow.visible, f"expected the shadow window shown, got {shadow}"
    problem = shadow_misplaced(main, shadow, margin_twips)
    assert problem is None, problem


def check_shadow_hidden(frame, after):
    shadow = own_window(frame, SHADOW_CLASS)
    assert shadow is None or not shadow.visible, (
        f"expected the shadow window to stay hidden {after}, got {shadow}"
    )


def size_then_check(frame, subitem, width, height):
    choose(frame, SIZE, subitem)
    main = wait_size(frame, width, height)
    check_caption(frame, main)
    check_shadow(frame, main, SHADOW_MARGIN_TWIPS[1])
    return main


# --- opening the menu ----------------------------------------------------------------------------


def check_menu_closes_without_effect(frame):
    before = {w.cls: w for w in frame.windows()}
    xdotool("key", "Escape")
    wait_menu_closed(frame)
    time.sleep(QUIET_SECONDS)
    after = {w.cls: w for w in frame.windows()}
    for cls in OWN_CLASSES:
        was, now = before.get(cls), after.get(cls)
        assert str(was) == str(now), (
            f"expected the {cls} window unchanged when the menu is left with Escape: "
            f"was {was}, got {now}"
        )
    assert frame.running(), "expected the program to keep running after Escape"


def case_right_click_opens_menu(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        open_menu(frame, button=3)
        check_menu_closes_without_effect(frame)


def case_middle_click_opens_menu(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        open_menu(frame, button=2)
        check_menu_closes_without_effect(frame)


def case_size_chosen_with_middle_button_menu(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        choose(frame, SIZE, LARGE, button=2)
        main = wait_size(frame, 297, 200)
        check_caption(frame, main)


# --- size ----------------------------------------------------------------------------------------


def case_size_large(exe, probe):
    # 780x520 at 96 dpi: the default window 2955x1980 twips grown by half, plus the 30-twip
    # margin: 4462x3000 twips.
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        main = started(frame)
        assert (main.width, main.height) == (197, 132), f"expected 197x132 at start, got {main}"
        size_then_check(frame, LARGE, 297, 200)


def case_size_small(exe, probe):
    # 2955x1980 twips shrunk by 1.5, plus the margin: 2000x1350 twips.
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        size_then_check(frame, SMALL, 133, 90)


def case_size_default(exe, probe):
    # The default preset chosen from the menu scales the loaded window, margin included, by 1
    # and adds the margin again: 2955x1980 + 30 = 2985x2010 twips, 30 twips larger each way
    # than after a load.
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        size_then_check(frame, DEFAULT, 199, 134)


def case_size_large_small_large(exe, probe):
    # Every choice starts again from the default window: the same preset gives the same size.
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        size_then_check(frame, LARGE, 297, 200)
        size_then_check(frame, SMALL, 133, 90)
        size_then_check(frame, LARGE, 297, 200)
        size_then_check(frame, SMALL, 133, 90)


def case_size_keeps_top_left(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        main = started(frame)
        for subitem, size in ((LARGE, (297, 200)), (SMALL, (133, 90))):
            choose(frame, SIZE, subitem)
            now = wait_size(frame, *size)
            assert (now.left, now.top) == (main.left, main.top), (
                f"expected the resized picture window to keep its top-left corner at "
                f"({main.left},{main.top}), got {now}"
            )


# --- opacity -------------------------------------------------------------------------------------


def alpha_property(alpha):
    return alpha * 0x01010101


def wait_opacity(frame, alpha):
    """Waits until Wine shows the picture window with the alpha on X; returns the window."""
    expected = None if alpha == 255 else alpha_property(alpha)
    seen = []

    def check():
        main = own_window(frame, MAIN_CLASS)
        xid = x_window_of(main) if main else None
        if xid is None:
            seen.append(f"no X window for {main}")
            return None
        value = x_opacity(xid)
        seen.append(value)
        # Wine drops the property of a fully opaque window; an opaque 0xffffffff means the same.
        if value == expected or (alpha == 255 and value == 0xFFFFFFFF):
            return main
        return None

    try:
        return frame.wait_for(f"opacity {alpha}", check, timeout=10)
    except AssertionError as error:
        raise AssertionError(
            f"expected _NET_WM_WINDOW_OPACITY {expected} (alpha {alpha}) on the picture "
            f"window's X window, last read {seen[-1:]}: {error}"
        ) from None


def centre_and_background(frame, main):
    """Screen pixels of the picture window's centre and of the bare screen left of the frame."""
    shot = frame.screenshot()
    x, y = main.centre
    centre = Frame.pixel(shot, x, y)
    background = Frame.pixel(shot, max(0, main.left - 30), y)
    return centre, background


def wait_pixel(frame, main, expected, what):
    """Waits until the compositor shows the expected colour at the picture window's centre."""
    last = []

    def check():
        centre, _ = centre_and_background(frame, main)
        last[:] = [centre]
        return all(abs(c - e) <= 4 for c, e in zip(centre, expected))

    try:
        frame.wait_for(what, check, timeout=10)
    except AssertionError as error:
        raise AssertionError(f"expected {what} {expected} on screen, got {last}: {error}") from None


def check_layered(frame):
    main = own_window(frame, MAIN_CLASS)
    assert main.exstyle & WS_EX_LAYERED, f"expected the picture window WS_EX_LAYERED, got {main}"


def case_opacity_50_then_100(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        main = started(frame)
        opaque, background = centre_and_background(frame, main)
        choose(frame, OPACITY, OPACITY_50)
        wait_opacity(frame, 128)
        check_layered(frame)
        blend = tuple((p * 128 + b * 127) // 255 for p, b in zip(opaque, background))
        wait_pixel(
            frame, main, blend, f"the picture at 50 % over the screen ({opaque} over {background})"
        )

        choose(frame, OPACITY, OPAQUE)
        wait_opacity(frame, 255)
        check_layered(frame)
        wait_pixel(frame, main, opaque, "the opaque picture again")


def case_opacity_80(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        choose(frame, OPACITY, OPACITY_80)
        wait_opacity(frame, 204)
        check_layered(frame)


def case_opacity_kept_after_size_change(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        choose(frame, OPACITY, OPACITY_50)
        wait_opacity(frame, 128)
        choose(frame, SIZE, LARGE)
        wait_size(frame, 297, 200)
        wait_opacity(frame, 128)
        check_layered(frame)


# --- shadow --------------------------------------------------------------------------------------


def case_shadow_none_stays_hidden(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        choose(frame, SHADOW, SHADOW_NONE)
        frame.wait_for(
            "the shadow window hidden after choosing no shadow",
            lambda: not any(w.cls == SHADOW_CLASS for w in frame.visible_windows()),
            timeout=10,
        )
        choose(frame, SIZE, LARGE)
        main = wait_size(frame, 297, 200)
        check_caption(frame, main)
        time.sleep(QUIET_SECONDS)
        check_shadow_hidden(frame, "after a size change")

        choose(frame, OPACITY, OPACITY_80)
        wait_opacity(frame, 204)
        time.sleep(QUIET_SECONDS)
        check_shadow_hidden(frame, "after an opacity change")

        x, y = main.left + 40, main.top + 40
        drag((x, y), (x + 30, y + 20), (x + 60, y + 40))

        def moved_with_caption():
            now = own_window(frame, MAIN_CLASS)
            caption = own_window(frame, CAPTION_CLASS)
            if now and caption and caption.visible:
                if (now.left, now.top) == (main.left + 60, main.top + 40):
                    return now
            return None

        moved = frame.wait_for(
            "the picture window moved by (60,40) and its caption shown",
            moved_with_caption,
            timeout=10,
        )
        check_caption(frame, moved)
        time.sleep(QUIET_SECONDS)
        check_shadow_hidden(frame, "after a drag")


def wait_shadow(frame, margin_twips):
    last = []

    def check():
        main = own_window(frame, MAIN_CLASS)
        shadow = own_window(frame, SHADOW_CLASS)
        if not (main and shadow and shadow.visible):
            last[:] = [f"shadow {shadow}"]
            return None
        problem = shadow_misplaced(main, shadow, margin_twips)
        last[:] = [problem]
        return None if problem else shadow

    try:
        return frame.wait_for(
            f"the shadow {margin_twips} twips around the picture", check, timeout=10
        )
    except AssertionError as error:
        raise AssertionError(f"{last[-1:]}: {error}") from None


def case_shadow_modes_from_hidden(exe, probe):
    # OffSet 3: started without a shadow; each mode of the menu shows it with its margins.
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=3)) as frame:
        frame.wait_main_window()
        time.sleep(0.5)
        check_shadow_hidden(frame, "with [Shadow] OffSet=3")
        choose(frame, SHADOW, SHADOW_4_5)
        wait_shadow(frame, 50)
        choose(frame, SHADOW, SHADOW_2_3)
        wait_shadow(frame, 25)
        choose(frame, SHADOW, SHADOW_0_1)
        wait_shadow(frame, 0)
        choose(frame, SHADOW, SHADOW_NONE)
        frame.wait_for(
            "the shadow window hidden again",
            lambda: not any(w.cls == SHADOW_CLASS for w in frame.visible_windows()),
            timeout=10,
        )


def case_shadow_4_5_follows_size(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        choose(frame, SHADOW, SHADOW_4_5)
        wait_shadow(frame, 50)
        choose(frame, SIZE, LARGE)
        wait_size(frame, 297, 200)
        wait_shadow(frame, 50)


# --- caption ------------------------------------------------------------------------------------


def case_file_name_toggle(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        main = started(frame)
        check_caption(frame, main)
        choose(frame, SHOW_NAME)
        frame.wait_for(
            "the caption window hidden after the first toggle",
            lambda: not any(w.cls == CAPTION_CLASS for w in frame.visible_windows()),
            timeout=10,
        )
        # Hidden, it stays hidden through a size change.
        choose(frame, SIZE, LARGE)
        main = wait_size(frame, 297, 200)
        time.sleep(QUIET_SECONDS)
        caption = own_window(frame, CAPTION_CLASS)
        assert caption is None or not caption.visible, (
            f"expected the caption to stay hidden after a size change, got {caption}"
        )
        choose(frame, SHOW_NAME)
        check_caption(frame, main)


def case_file_name_shown_when_started_hidden(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="False", offset=1)) as frame:
        main = started(frame)
        caption = own_window(frame, CAPTION_CLASS)
        assert caption is None or not caption.visible, (
            f"expected no caption with ShowFileName=False, got {caption}"
        )
        choose(frame, SHOW_NAME)
        check_caption(frame, main)


# --- about, exit, another copy --------------------------------------------------------------------


def case_about_box(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        choose(frame, ABOUT)
        box = frame.wait_for(
            f"a visible {DIALOG_CLASS} message box",
            lambda: next((w for w in frame.visible_windows() if w.cls == DIALOG_CLASS), None),
            timeout=10,
        )
        assert box.title == "Vistrelle", f"expected the about box titled 'Vistrelle', got {box}"
        xdotool("key", "Return")
        frame.wait_for(
            "the about box to close on Return",
            lambda: not any(w.cls == DIALOG_CLASS for w in frame.visible_windows()),
            timeout=10,
        )
        time.sleep(QUIET_SECONDS)
        assert frame.running(), (
            f"expected the program to keep running, it ended with exit code {frame.exit_code()}"
        )
        frame.wait_main_window(timeout=5)


def check_ended(frame):
    pid = frame.pid
    code = frame.wait_exit(timeout=20)
    assert code is not None, (
        f"expected the program to end after 退出, it still runs with: {describe(frame.windows())}"
    )
    left = [w for w in frame.all_windows() if w.pid == pid and w.cls != "IME"]
    assert not left, f"expected no window of the ended program, got {describe(left)}"


def case_exit_by_keyboard(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        choose(frame, EXIT)
        check_ended(frame)


def case_exit_by_pointer(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
        started(frame)
        menu = open_menu(frame)
        # 退出 is the last item: it takes the bottom row of the menu, above the menu's border.
        xdotool("mousemove", menu.left + menu.width // 2, menu.bottom - 8, "sleep", 0.2, "click", 1)
        check_ended(frame)


def case_new_copy_starts_second_process(exe, probe):
    with Frame(exe, probe, option_ini=SETTINGS.format(show="True", offset=1)) as frame:
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
    left = [w for w in frame.all_windows() if w.pid in pids and w.cls in OWN_CLASSES]
    assert not left, f"expected both copies ended with the test, got {describe(left)}"


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
