"""What the screen shows: screenshots of the session's X display and their pixels.

The cases that judge the program by what a person sees take whole screenshots and compare
their pixels with what must be there: the picture's colours, the wallpaper under the caption,
the window beneath the invisible shadow.
"""

import subprocess
import time

from .session import session_env
from .windows import WS_BORDER


class Screen:
    """One screenshot of the whole X display, its pixels in memory (8-bit r, g, b)."""

    def __init__(self):
        ppm = subprocess.run(
            ["import", "-window", "root", "-depth", "8", "ppm:-"],
            env=session_env(),
            check=True,
            stdout=subprocess.PIPE,
        ).stdout
        # "P6\n<width> <height>\n255\n" then the rows.
        magic, width, height, maxval, self._pixels = ppm.split(maxsplit=4)
        if magic != b"P6" or maxval != b"255":
            raise RuntimeError(f"unexpected screenshot format {magic!r} {maxval!r}")
        self.width, self.height = int(width), int(height)

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self._pixels[i : i + 3])

    def points(self, rect):
        """Every (x, y) of a rectangle (left, top, right, bottom; right and bottom exclusive),
        clipped to the screen, row by row."""
        left, top, right, bottom = rect
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                yield x, y

    def save(self, path):
        """Writes the screenshot as a PNG, for a person to look at."""
        header = f"P6\n{self.width} {self.height}\n255\n".encode()
        subprocess.run(
            ["convert", "ppm:-", str(path)], input=header + self._pixels, check=True
        )


def close(colour, expected, tolerance):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def client_rect(window):
    """The window's client area on the screen: its rectangle without the one-pixel border that
    WS_BORDER gives."""
    b = 1 if window.style & WS_BORDER else 0
    return (window.left + b, window.top + b, window.right - b, window.bottom - b)


def wait_for_screen(frame, what, check, timeout=10.0, interval=0.3):
    """Takes screenshots until check(screen) returns None (all is as it must be), and returns
    that screen. check returns what is wrong otherwise; after timeout seconds that is the
    failure, and the last screenshot is kept beside the program under test for a person to see
    (build/.../e2e-shots/)."""
    deadline = time.monotonic() + timeout
    while True:
        screen = Screen()
        problem = check(screen)
        if problem is None:
            return screen
        if not frame.running():
            raise AssertionError(
                f"waiting for {what}: the program ended (exit code {frame.exit_code()})"
            )
        if time.monotonic() > deadline:
            shots = frame.exe.resolve().parent / "e2e-shots"
            shots.mkdir(exist_ok=True)
            path = shots / f"{frame.tag}.png"
            screen.save(path)
            raise AssertionError(
                f"waiting for {what}: not within {timeout:.0f} s: {problem} "
                f"(the screen then: {path})"
            )
        time.sleep(interval)
