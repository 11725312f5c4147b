"""Real input on the session's X display, as a user gives it: keys, clicks and drags through
xdotool, and files or text dropped through the X drag and drop protocol (xdnd.py).
"""

import subprocess
import time

from .files import make_picture
from .process import wait_size
from .session import session_env
from .windows import CAPTION_CLASS, MAIN_CLASS, SHADOW_CLASS, own_window
from .xwindows import x_window_of


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


def drag_by(frame, dx, dy, grab=None):
    """Drags the picture window by (dx, dy) with the left button, in three steps from grab (a
    point in it, a third of the way in unless said), and returns the window once it stands
    there."""
    main = frame.wait_main_window()
    x, y = grab or (main.left + main.width // 3, main.top + main.height // 3)
    drag((x, y), *((x + dx * i // 3, y + dy * i // 3) for i in (1, 2, 3)))
    at = (main.left + dx, main.top + dy)
    return frame.wait_for(
        f"the picture window dragged by ({dx},{dy}) to {at}",
        lambda: (w := own_window(frame, MAIN_CLASS)) and w.visible and w.rect[:2] == at and w,
    )


def drop_at(point, files=None, text=None, timeout=10.0):
    """Moves the pointer to point (x, y) and drops the files (paths) or the text there as an
    XDND source does; returns what the drop target answered (xdnd.DropResult), within timeout
    seconds."""
    # Imported here: xdnd needs python3-xlib, which only the cases that drop use.
    import xdnd

    x, y = point
    xdotool("mousemove", x, y)
    return xdnd.drop(session_env()["DISPLAY"], x, y, files=files, text=text, timeout=timeout)


def drop_files(frame, files, must_accept=True, timeout=10.0):
    """Drops the files on the middle of the picture window once it and its caption or shadow
    are shown; returns what the program answered (xdnd.DropResult).

    Right after the start Wine sometimes refuses the very first drop on a window (its drop
    target is not registered with the X window yet): a refused drop is tried up to three times,
    a second apart, and then fails, naming the window that took it. Wine itself refuses some
    drops before the program sees them (a folder, a path longer than MAX_PATH): with
    must_accept=False the first answer is returned, whatever it is."""
    for _ in range(3):
        main = frame.wait_main_window()
        frame.wait_for(
            "the caption or shadow window shown",
            lambda: {CAPTION_CLASS, SHADOW_CLASS} & {w.cls for w in frame.visible_windows()},
        )
        result = drop_at(main.centre, files=files, timeout=timeout)
        if not must_accept or (result.status_accepted and result.finished_accepted):
            return result
        time.sleep(1.0)
    # An XDND source hands the drop to the topmost X window under the pointer.
    went_to = [str(w) for w in frame.windows() if x_window_of(w) == result.target]
    raise AssertionError(
        f"expected the picture window to accept the dropped files, got {result}; the topmost "
        f"X window under the pointer was that of {went_to or 'none of the program windows'}"
    )


def drop_resized(frame, files, width, height, what=None):
    """Drops the files and returns the picture window once its outer size is width x height,
    which proves that the last of them loaded. When the window has that size already (a fresh
    run may show a picture of that shape), a picture of another shape is dropped first."""
    now = own_window(frame, MAIN_CLASS)
    if now is not None and (now.width, now.height) == (width, height):
        other = frame.folder / "other-shape.jpg"
        make_picture(other, 300, 100)
        drop_files(frame, [other])
        frame.wait_for("the picture window resized for a 300x100 picture dropped first",
                       lambda: (w := own_window(frame, MAIN_CLASS)) and w.rect != now.rect)
    drop_files(frame, files)
    return wait_size(frame, width, height, what=what or f"{files[-1].name} dropped")
