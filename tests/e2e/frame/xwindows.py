"""The X side of the program's windows: the X window Wine made for a top-level window, and the
opacity Wine publishes on it for a layered window.
"""

import subprocess

from .session import session_env


def x_window_of(window):
    """The id of the mapped X window that Wine shows for a top-level window: the window of the
    program's X class with the same geometry and title. None when there is none."""
    out = subprocess.run(
        ["xwininfo", "-root", "-tree"],
        env=session_env(),
        check=True,
        stdout=subprocess.PIPE,
        text=True,
    ).stdout
    geometry = f"{window.width}x{window.height}+{window.left}+{window.top}"
    name = f'"{window.title}":' if window.title else "(has no name):"
    for line in out.splitlines():
        fields = line.split()
        if (
            len(fields) > 2
            and '("vistrelle.exe"' in line
            and geometry in fields
            and line.strip()[len(fields[0]) :].strip().startswith(name)
        ):
            return int(fields[0], 16)
    return None


def x_opacity(xid):
    """The X property _NET_WM_WINDOW_OPACITY of an X window (alpha × 0x01010101), or None
    when the window has none, which is how Wine shows a fully opaque window."""
    out = subprocess.run(
        ["xprop", "-id", hex(xid), "_NET_WM_WINDOW_OPACITY"],
        env=session_env(),
        check=True,
        stdout=subprocess.PIPE,
        text=True,
    ).stdout
    # "_NET_WM_WINDOW_OPACITY(CARDINAL) = 2155905152" or "...:  not found."
    if "=" not in out:
        return None
    return int(out.split("=")[1].strip())
