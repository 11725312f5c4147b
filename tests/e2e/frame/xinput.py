"""Real input on the session's X display, as a user gives it: keys, clicks and drags through
xdotool, and files or text dropped through the X drag and drop protocol (xdnd.py).
"""

import subprocess

from .session import session_env


def xdotool(*args):
    """Runs xdotool on the session's display with the arguments (numbers are turned into
    text)."""
    subprocess.run(["xdotool", *(str(a) for a in args)], env=session_env(), check=True)


def click(x, y, button=1):
    xdotool("mousemove", x, y, "sleep", 0.1, "click", button)


def drag(start, *points):
    """Presses the left button at start, moves through the points and releases it at the last,
    with the short pauses Wine's move loop needs to see every step (longer than the 0.1 s that
    do on an idle machine: the test machine is often busy)."""
    args = ["mousemove", start[0], start[1], "sleep", 0.2, "mousedown", 1, "sleep", 0.2]
    for x, y in points:
        args += ["mousemove", x, y, "sleep", 0.2]
    args += ["mouseup", 1]
    xdotool(*args)


def drop_at(point, files=None, text=None):
    """Moves the pointer to point (x, y) and drops the files (paths) or the text there as an
    XDND source does; returns what the drop target answered (xdnd.DropResult)."""
    # Imported here: xdnd needs python3-xlib, which only the cases that drop use.
    import xdnd

    x, y = point
    xdotool("mousemove", x, y)
    return xdnd.drop(session_env()["DISPLAY"], x, y, files=files, text=text)
