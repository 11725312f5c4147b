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

from frame import (
    Frame, Screen, Target, drop_files, encode_heif, in_turn, limit, run_cases, settings, xdotool)
from frame.menu import LARGE, NEXT, PREVIOUS, SIZE, choose

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


def solid(path, colour, size="300x200", fmt=""):
    """A picture of one colour; fmt (as "png:") when the path's suffix does not say it."""
    r, g, b = colour
    subprocess.run(["convert", "-size", size, f"xc:rgb({r},{g},{b})", f"{fmt}{path}"],
                   check=True)


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


def unlike(frame, colour):
    """What is wrong when the picture window's centre is not the colour."""
    return None if near(c := centre_colour(frame), colour) else f"centre {c}, not {colour}"


def shows(frame, name, what, colour=None):
    """Waits for the picture of that name (or the colour) after what the user did."""
    frame.wait_until(f"{name} shown after {what}", lambda: unlike(frame, colour or COLOURS[name]))


def keeps(frame, colour, what):
    frame.holds(what, lambda: unlike(frame, colour), seconds=3)


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
    ("Right", lambda f: key(f, "Right"), "A2.png"),
    ("wheel down over the broken one", lambda f: wheel(f, 5), "a10.png"),
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


# A folder of every format the frame decodes itself, one colour each, in the folder's order after
# image.jpg's grey: (name, colour, how it is written).
def _png_then(*command):
    """A writer that encodes a solid PNG with the command (cwebp's arguments)."""

    def write(path, colour):
        source = path.with_name(path.stem + "-source.png")
        solid(source, colour)
        subprocess.run([*command, str(source), "-o", str(path)], check=True, capture_output=True)
        source.unlink()

    return write


def _heif(path, colour):
    source = path.with_name(path.stem + "-source.jpg")
    solid(source, colour)
    encode_heif(source, path)
    source.unlink()


MIXED = [
    ("m1.jpg", (200, 60, 60), solid),
    ("m2.png", (60, 200, 60), solid),
    ("m3.gif", (60, 60, 200), solid),
    ("m4.bmp", (200, 200, 60), solid),
    ("m5.tif", (200, 60, 200), solid),
    ("m6.webp", (60, 200, 200), _png_then("cwebp", "-quiet", "-q", "90")),
    ("m7.webp", (230, 140, 40), _png_then("cwebp", "-quiet", "-lossless")),
    ("m8.heic", (120, 60, 160), _heif),
    ("m9.avif", (40, 120, 230), _heif),
]


@limit(240)
def case_every_format_in_one_folder(exe, probe):
    def make_mixed():
        frame = Frame(exe, probe, picture=lambda p: solid(p, COLOURS["image.jpg"]),
                      option_ini=settings())
        for name, colour, write in MIXED:
            write(frame.folder / name, colour)
        return frame

    def check(frame, item):
        name, colour, _ = item
        wheel(frame, 5)
        shows(frame, name, "the wheel down", colour)

    in_turn(((m[0], m) for m in MIXED), make_mixed, check,
            lambda frame: shows(frame, "image.jpg", "the start"))


@limit(120)
def case_copied_in_before_the_first_step(exe, probe):
    """A photo copied into the folder after the start, before any step, is stepped to."""
    with make(exe, probe) as frame:
        shows(frame, "image.jpg", "the start")
        time.sleep(1)  # the frame settled, its folder listed in the background
        solid(frame.folder / "a0.png", (255, 128, 0))
        time.sleep(0.5)
        wheel(frame, 5)  # from the last, image.jpg, to the first: the new a0.png
        shows(frame, "a0.png", "the wheel after a0.png was copied in", (255, 128, 0))


# --- the slideshow -----------------------------------------------------------------------------


def colours_seen(frame, seconds):
    """The distinct centre colours, in the order they came, over a while."""
    seen, deadline = [], time.monotonic() + seconds
    while time.monotonic() < deadline:
        colour = centre_colour(frame)
        if not seen or not near(colour, seen[-1]):
            seen.append(colour)
        time.sleep(0.2)
    return seen


def slideshow_turns_and_waits_under_the_pointer(frame):
    pointer_away(frame)
    seen = colours_seen(frame, 6)
    assert len(seen) >= 3, f"expected a 1 s slideshow to show 3 pictures in 6 s, saw {seen}"
    x, y = frame.wait_main_window().centre
    xdotool("mousemove", x, y)
    time.sleep(1.5)  # a step begun as the pointer came may still be painting
    seen = colours_seen(frame, 4)
    assert len(seen) == 1, f"expected the slideshow to wait while the pointer rests, saw {seen}"
    pointer_away(frame)
    seen = colours_seen(frame, 4)
    assert len(seen) >= 2, f"expected the slideshow to go on once the pointer left, saw {seen}"


@limit(240)
def case_slideshow(exe, probe):
    with make(exe, probe, settings() + "[Slideshow]\nInterval=1\n") as frame:
        slideshow_turns_and_waits_under_the_pointer(frame)


# --- the file followed -------------------------------------------------------------------------


def rewritten_in_place(frame):
    shown = frame.folder / "image.jpg"
    solid(frame.folder / "red.tmp.png", COLOURS["a1.png"])
    new = (frame.folder / "red.tmp.png").read_bytes()
    (frame.folder / "red.tmp.png").unlink()
    with open(shown, "r+b") as f:  # the same file, written over
        f.write(new)
        f.truncate()
    shows(frame, "a1.png", "image.jpg rewritten in place")


def renamed_over(frame):
    solid(frame.folder / "saved.tmp", COLOURS["a10.png"], size="200x300", fmt="png:")
    os.replace(frame.folder / "saved.tmp", frame.folder / "image.jpg")
    shows(frame, "a10.png", "a file renamed over image.jpg")


def deleted_keeps_its_picture(frame):
    before = centre_colour(frame)
    (frame.folder / "image.jpg").unlink()
    keeps(frame, before, "the picture of the deleted file on the frame")
    key(frame, "Right")  # the step goes on from where the deleted name stood
    shows(frame, "a1.png", "Right after image.jpg was deleted")


@limit(120)
def case_rewrite_at_the_large_size_stays_behind(exe, probe):
    """An editor's save of the shown file while the frame, at the large size, stands behind an
    ordinary window: that window stays in front and keeps the foreground; the new content shows
    once it goes."""
    front_colour = (0, 255, 255)
    with make(exe, probe) as frame:
        shows(frame, "image.jpg", "the start")
        choose(frame, SIZE, LARGE)
        frame.wait_for("the large size", lambda: frame.wait_main_window().width > 250)
        main = frame.wait_main_window()
        around = (main.left - 20, main.top - 20, main.right + 20, main.bottom + 60)
        with Target(probe, around, front_colour, kind="front") as front:
            frame.wait_until("the window in front", lambda: unlike(frame, front_colour))
            solid(frame.folder / "saved.tmp", COLOURS["b3.png"], fmt="jpg:")
            os.replace(frame.folder / "saved.tmp", frame.folder / "image.jpg")
            keeps(frame, front_colour, "the window in front of the frame after the rewrite")
            foreground = int(frame.probe_run("foreground").strip(), 16)
            assert foreground == front.hwnd, f"the foreground went to {foreground:#x}"
        shows(frame, "b3.png", "the window in front closed")
        assert frame.wait_main_window().width > 250, "expected the frame still at the large size"


@limit(240)
def case_file_followed(exe, probe):
    def ready(frame):
        shows(frame, "image.jpg", "the start")

    steps = (rewritten_in_place, renamed_over, deleted_keeps_its_picture)
    in_turn(((s.__name__, s) for s in steps), lambda: make(exe, probe),
            lambda frame, step: step(frame), ready)


# --- hostile folders ---------------------------------------------------------------------------

# Names over 260 characters with the folder, outside the ANSI code page, and beyond the BMP; a
# JPEG named .png shows, a text named .bmp is passed over.
HOSTILE = {
    "L" * 240 + ".png": (255, 128, 0),
    "照片.png": (0, 255, 255),
    "\U0001F305 dawn.png": (128, 0, 255),
    "lie.png": (0, 128, 128),
}


def every_hostile_picture_shows(frame):
    for name, colour in HOSTILE.items():
        solid(frame.folder / name, colour, fmt="jpg:" if name == "lie.png" else "")
    (frame.folder / "fake.bmp").write_text("BM but no picture")
    wanted = list(HOSTILE.values()) + [COLOURS["image.jpg"]]
    seen = []
    for _ in range(len(COLOURS) + len(HOSTILE) + 1):
        before = centre_colour(frame)
        key(frame, "Right")
        frame.wait_for("a step", lambda: not near(centre_colour(frame), before), timeout=10)
        seen.append(centre_colour(frame))
    missing = [c for c in wanted if not any(near(s, c) for s in seen)]
    assert not missing, f"expected every readable picture to show in a round, missed {missing}"


def vanished_folder_keeps_the_picture(frame):
    sub = frame.folder / "gone"
    sub.mkdir()
    solid(sub / "last.png", HOSTILE["照片.png"])
    drop_files(frame, [sub / "last.png"])
    shows(frame, "last.png", "its drop", HOSTILE["照片.png"])
    (sub / "last.png").unlink()
    sub.rmdir()
    for k in ("Right", "End", "Home"):
        key(frame, k)
    wheel(frame, 5)
    keeps(frame, HOSTILE["照片.png"], "the picture of the vanished folder on the frame")


@limit(300)
def case_hostile_folders(exe, probe):
    steps = (every_hostile_picture_shows, vanished_folder_keeps_the_picture)
    in_turn(((s.__name__, s) for s in steps), lambda: make(exe, probe),
            lambda frame, step: step(frame))


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
