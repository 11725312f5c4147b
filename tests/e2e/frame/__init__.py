"""Drives Vistrelle.exe under Wine for the end-to-end tests.

A `Frame` is one run of the program: a temporary program folder holding a copy of the
executable, the settings file and pictures the test asks for; the process started under Wine in
the shared test session (tests/harness/session); and the means to look at it from outside:
the top-level windows as the window system sees them (through vistrelle_probe, a Windows program
of the tests' own), screenshots of the X display and their pixels, real input on that display.

One module a job, all of their names here for the scripts' `from frame import ...`:

    session.py   the Wine session's environment; running a Windows program in it
    windows.py   window classes, messages and styles; Window, as the probe lists it
    process.py   Frame, one run of the program; started and wait_size
    cases.py     run_cases, the command line of every script
    files.py     pictures and option.ini for a run
    xinput.py    keys, clicks, drags and drops on the X display
    xwindows.py  the X windows Wine made for the program's windows, their opacity
    screen.py    screenshots and their pixels
    layout.py    where the caption and shadow windows belong around the picture window
    desktop.py   Wine's registry and the desktop wallpaper
    picture_bytes.py  picture files written byte by byte: BMP, PNG, TIFF, icons, Exif blocks
    target.py    Target, a window of the tests' own beneath the program
"""

from .cases import run_cases
from .desktop import DESKTOP_KEY, DisplayScale, Wallpaper, wine_reg
from .files import SETTINGS_TEMPLATE, make_picture, settings, write_settings
from .layout import (
    CAPTION_GAP_PX,
    CAPTION_HEIGHT_PX,
    SHADOW_MARGIN_TWIPS,
    caption_misplaced,
    shadow_misplaced,
)
from .picture_bytes import app1, exif_block, png, with_orientation, with_segments, write_bmp
from .process import QUIET_SECONDS, WINE_HELPER_CLASSES, Frame, started, wait_size
from .screen import Screen, client_rect, close, pixel, screenshot, wait_for_screen
from .session import HERE, SESSION, run_wine, session_env, windows_path
from .target import Target
from .windows import (
    CAPTION_CLASS,
    DIALOG_CLASS,
    MAIN_CLASS,
    MENU_CLASS,
    OWN_CLASSES,
    SHADOW_CLASS,
    WM_CLOSE,
    WS_BORDER,
    WS_CAPTION,
    WS_EX_LAYERED,
    WS_THICKFRAME,
    Window,
    describe,
    own_window,
    visible_menus,
)
from .xinput import click, drag, drop_at, xdotool
from .xwindows import x_opacity, x_window_of

__all__ = [
    "CAPTION_CLASS",
    "CAPTION_GAP_PX",
    "CAPTION_HEIGHT_PX",
    "DESKTOP_KEY",
    "DisplayScale",
    "DIALOG_CLASS",
    "Frame",
    "HERE",
    "MAIN_CLASS",
    "MENU_CLASS",
    "OWN_CLASSES",
    "QUIET_SECONDS",
    "SESSION",
    "SETTINGS_TEMPLATE",
    "SHADOW_CLASS",
    "SHADOW_MARGIN_TWIPS",
    "Screen",
    "Target",
    "WINE_HELPER_CLASSES",
    "WM_CLOSE",
    "WS_BORDER",
    "WS_CAPTION",
    "WS_EX_LAYERED",
    "WS_THICKFRAME",
    "Wallpaper",
    "Window",
    "app1",
    "caption_misplaced",
    "click",
    "client_rect",
    "close",
    "describe",
    "drag",
    "drop_at",
    "exif_block",
    "make_picture",
    "own_window",
    "pixel",
    "png",
    "run_cases",
    "run_wine",
    "screenshot",
    "session_env",
    "settings",
    "shadow_misplaced",
    "started",
    "visible_menus",
    "wait_for_screen",
    "wait_size",
    "windows_path",
    "with_orientation",
    "with_segments",
    "wine_reg",
    "write_bmp",
    "write_settings",
    "x_opacity",
    "x_window_of",
    "xdotool",
]
