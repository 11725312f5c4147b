#!/usr/bin/python3
"""End-to-end tests of the folder's other pictures, the slideshow and the file followed on disk,
run against the real Vistrelle.exe under Wine. Every picture is one solid colour, so the colour
at the centre of the picture window says which picture is shown.

    folder.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import os
import subprocess
import sys
import time

from frame import Frame, Screen, click, drop_files, in_turn, limit, run_cases, settings, xdotool
from frame.menu import NEXT, PREVIOUS, choose

# The folder in the order of the file browser: a2 before a10, case ignored. image.jpg is the
# picture the program starts with; a5.jpg is broken and notes.txt is no picture: both skipped.
COLOURS = {
    "a1.png": (255, 0, 0),
    "A2.png": (0, 255, 0),
    "a10.png": (0, 0, 255),
    "b3.png": (255, 255, 0),
    "B20.png": (255, 0, 255),
    "image.jpg": (128, 128, 128),
}
ORDER = ["a1.png", "A2.png", "a10.png", "b3.png", "B20.png", "image.jpg"]


def solid(path, colour, size="300x200"):
    r, g, b = colour
    subprocess.run(["convert", "-size", size, f"xc:rgb({r},{g},{b})", str(path)], check=True)


def folder_of_pictures(folder):
    for name, colour in COLOURS.items():
        if name != "image.jpg":
            solid(folder / name, colour)
    (folder / "a5.jpg").write_bytes(b"\xff\xd8\xff\xe0\x00\x10JFIF\x00" + bytes(40))
    (folder / "notes.txt").write_text("not a picture\n")


def make(exe, probe, option_ini=None):
    frame = Frame(exe, probe, picture=lambda p: solid(p, COLOURS["image.jpg"]),
                  option_ini=option_ini or settings())
    folder_of_pictures(frame.folder)
    return frame


def centre_colour(frame):
    x, y = frame.wait_main_window().centre
    return Screen().at(x, y)


def near(colour, expected):
    return all(abs(a - b) <= 12 for a, b in zip(colour, expected))


def shows(frame, name, what, timeout=10.0):
    frame.wait_until(
        f"{name} shown after {what}",
        lambda: None if near(c := centre_colour(frame), COLOURS[name]) else f"centre {c}",
        timeout,
    )


def pointer_away(frame):
    main = frame.wait_main_window()
    xdotool("mousemove", main.right + 200, main.bottom + 200)


def wheel(frame, button):
    x, y = frame.wait_main_window().centre
    xdotool("mousemove", x, y, "sleep", 0.1, "click", button)


def key(frame, name):
    xdotool("key", name)


# --- stepping ----------------------------------------------------------------------------------

# (what the user does, the picture then shown), from image.jpg: the wheel down wraps to the first,
# the broken a5.jpg is passed over, the keys step both ways and Home and End go to the ends.
STEPS = [
    ("wheel down", lambda f: wheel(f, 5), "a1.png"),
    ("wheel down again", lambda f: wheel(f, 5), "A2.png"),
    ("Right", lambda f: key(f, "Right"), "a10.png"),
    ("Page Down", lambda f: key(f, "Next"), "b3.png"),
    ("the menu's next", lambda f: choose(f, NEXT), "B20.png"),
    ("Right once more", lambda f: key(f, "Right"), "image.jpg"),
    ("Right past the last", lambda f: key(f, "Right"), "a1.png"),
    ("wheel up past the first", lambda f: wheel(f, 4), "image.jpg"),
    ("Left", lambda f: key(f, "Left"), "B20.png"),
    ("Page Up", lambda f: key(f, "Prior"), "b3.png"),
    ("the menu's previous", lambda f: choose(f, PREVIOUS), "a10.png"),
    ("Left over the broken one", lambda f: key(f, "Left"), "A2.png"),
    ("Home", lambda f: key(f, "Home"), "a1.png"),
    ("End", lambda f: key(f, "End"), "image.jpg"),
]


@limit(300)
def case_steps(exe, probe):
    def ready(frame):
        shows(frame, "image.jpg", "the start")

    def check(frame, step):
        what, act, name = step
        act(frame)
        shows(frame, name, what)

    in_turn(((s[0], s) for s in STEPS), lambda: make(exe, probe), check, ready)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
