"""Drives Vistrelle.exe under Wine for the end-to-end tests.

A `Frame` is one run of the program: a temporary program folder holding a copy of the
executable, the settings file and pictures the test asks for; the process started under Wine in
the shared test session (tests/harness/session); and the means to look at it from outside:
the top-level windows as the window system sees them (through vistrelle_probe, a Windows program
of the tests' own), screenshots of the X display and their pixels, real input on that display.

One module a job, all of their names here for the scripts' `from frame import ...`:

    session.py        the Wine session's environment; running a Windows program in it
    probe.py          vistrelle_probe, kept running to answer looks at the windows
    windows.py        window classes, messages and styles; Window, as the probe lists it
    process.py        Frame, one run of the program; started, wait_size, wait_placed
    cases.py          run_cases, the command line of every script; in_turn, a group on one run
    files.py          pictures drawn by ImageMagick or encoded by heif-enc, option.ini
    picture_bytes.py  picture files written byte by byte (also for the fuzz seeds)
    xinput.py         keys, clicks, drags and drops on the X display
    xwindows.py       the X windows Wine made for the program's windows, their opacity
    screen.py         screenshots and their pixels
    layout.py         where the caption and shadow windows belong around the picture window
    desktop.py        Wine's registry and the desktop wallpaper
    target.py         Target, a window of the tests' own beneath the program
"""

# flake8: noqa: F401 (the names are imported to be imported from here)
from .cases import in_turn, limit, run_cases
from .desktop import Wallpaper, wine_reg
from .files import encode_heif, make_picture, settings
from .layout import shadow_misplaced
from .picture_bytes import png, with_orientation, write_bmp
from .process import Frame, started, stays_placed, wait_placed, wait_size
from .screen import Screen, client_rect, close, wait_for_screen
from .session import session_env, windows_path
from .target import Target
from .windows import (
    CAPTION_CLASS,
    DIALOG_CLASS,
    MAIN_CLASS,
    OWN_CLASSES,
    SHADOW_CLASS,
    WM_CLOSE,
    WM_COMMAND,
    WS_CAPTION,
    WS_EX_LAYERED,
    WS_THICKFRAME,
    describe,
    own_window,
    visible_menus,
)
from .xinput import click, drag, drag_by, drop_at, drop_files, drop_resized, xdotool
from .xwindows import x_opacity, x_window_of
