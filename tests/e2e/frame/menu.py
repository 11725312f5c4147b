"""The program's popup menu as a user meets it: opened with a real button press on the picture
window or a key, its items chosen with the keyboard.
"""

from .windows import MENU_CLASS, visible_menus
from .xinput import click, xdotool

# The items of the popup as they stand from the top, separators left out (the keyboard skips
# them), and the items of the submenus under "更改大小...   ", "透明...        ",
# "阴影...  " and "幻灯片...  ".
(OPEN, SIZE, OPACITY, SHADOW, SHOW_NAME, NEXT, PREVIOUS, SLIDESHOW, LOCK, NEW_COPY, ABOUT,
 EXIT) = range(12)
SMALL, DEFAULT, LARGE = range(3)
OPAQUE, OPACITY_80, OPACITY_50 = range(3)
SHADOW_0_1, SHADOW_2_3, SHADOW_4_5, SHADOW_NONE = range(4)
SLIDES_OFF, SLIDES_5S, SLIDES_30S, SLIDES_1MIN, SLIDES_10MIN, SLIDES_1H, SHUFFLE = range(7)


def wait_menu(frame, after):
    """The popup menu window, once one is open and placed (after says what opened it): the
    menu window shows first at (0,0) with no size."""
    return frame.wait_for(
        f"a visible popup menu window ({MENU_CLASS}) after {after}",
        lambda: next((m for m in visible_menus(frame) if m.width and m.height), None),
    )


def wait_menu_closed(frame, after="Escape"):
    frame.wait_for(f"the popup menu to close after {after}", lambda: not visible_menus(frame))


def open_menu(frame, button=3):
    """Presses and releases a button over the picture window and returns the popup menu window
    that opens."""
    main = frame.wait_main_window()
    x, y = main.centre
    click(x, y, button)
    menu = wait_menu(frame, f"button {button} on the picture window")
    # TrackPopupMenu puts the menu's corner at the pointer (or moves it to fit the screen).
    assert menu.left <= x + 2 and menu.top <= y + 2 and menu.right > x and menu.bottom > y, (
        f"expected the popup menu at the pointer ({x},{y}), got {menu}"
    )
    return menu


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
    wait_menu_closed(frame, "an item chosen")
