#!/usr/bin/python3
"""End-to-end tests of the keyboard, run against the real Vistrelle.exe under Wine: Shift+F10
and the context-menu key open the popup menu as a right press does (at the pointer when it
stands over the picture window, else at the window's top left corner), Escape closes it, and
an item can then be chosen without a mouse.

    keyboard.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import sys

from frame import Frame, run_cases, settings, started, wait_size, xdotool
from frame.menu import wait_menu, wait_menu_closed


def open_with_key(frame, key):
    xdotool("key", key)
    return wait_menu(frame, key)


def close_with_escape(frame):
    # The first Escape closes the menu as the system does.
    xdotool("key", "Escape")
    wait_menu_closed(frame)


def case_menu_keys(exe, probe):
    with Frame(exe, probe, option_ini=settings()) as frame:
        main = started(frame)
        # With the pointer away from the frame, Shift+F10 opens the menu at the picture
        # window's top left corner (inside its border).
        xdotool("mousemove", "5", "5")
        menu = open_with_key(frame, "shift+F10")
        assert abs(menu.left - (main.left + 1)) <= 2 and abs(menu.top - (main.top + 1)) <= 2, (
            f"expected the menu at the picture window's corner ({main.left + 1},{main.top + 1}), "
            f"got {menu}"
        )
        close_with_escape(frame)
        # With the pointer over the frame, the context-menu key opens the menu there.
        x, y = main.centre
        xdotool("mousemove", str(x), str(y))
        menu = open_with_key(frame, "Menu")
        assert abs(menu.left - x) <= 2 and abs(menu.top - y) <= 2, (
            f"expected the menu at the pointer ({x},{y}), got {menu}"
        )
        close_with_escape(frame)
        # The whole way without a mouse: Shift+F10, then Down to the size item, Right into its
        # submenu, Down to the large preset and Return: the frame takes the large size.
        xdotool("mousemove", "5", "5")
        open_with_key(frame, "shift+F10")
        for key in ("Down", "Down", "Right", "Down", "Down", "Return"):
            xdotool("key", key)
        wait_size(frame, 297, 200, what="the large size chosen with the keyboard")


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
