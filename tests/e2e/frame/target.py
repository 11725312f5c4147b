"""`Target`: a window of the tests' own (vistrelle_probe target) standing beneath the program,
for the desktop or another program under the frame, that reports the presses reaching it; with
kind "desktop" it stands for the shell's desktop as Show desktop raises it, with kind "front"
for a window of another program brought to the front.
"""

import os
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from .session import session_env


class Target:
    """A plain window of one colour that vistrelle_probe shows below every other window,
    standing for the desktop or another program under the frame (or, by kind, raised as said
    above); it reports the button presses that reach it."""

    def __init__(self, probe, rect, colour, seconds=120, kind="target"):
        left, top, right, bottom = rect
        self.rect = rect
        self.colour = colour
        self.args = [
            str(Path(probe)),
            kind,
            str(left),
            str(top),
            str(right - left),
            str(bottom - top),
            "%02x%02x%02x" % colour,
            str(seconds),
        ]
        self.process = None

    def __enter__(self):
        env = session_env()
        self.out = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            [env["WINE"], *self.args],
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=self.out,
            stderr=subprocess.STDOUT,
            start_new_session=True,
        )
        deadline = time.monotonic() + 30
        while not any(line.startswith("ready ") for line in self._lines()):
            if self.process.poll() is not None or time.monotonic() > deadline:
                said = self._lines()
                self.__exit__()
                raise RuntimeError(f"the target window did not come up; the probe said {said}")
            time.sleep(0.1)
        return self

    def __exit__(self, *exc):
        if self.process is not None and self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait(timeout=10)
        self.out.close()
        return False

    @property
    def hwnd(self):
        """The window's handle, as the probe printed it once the window was up."""
        ready = [line for line in self._lines() if line.startswith("ready ")]
        return int(ready[0].split()[1], 16)

    def _lines(self):
        self.out.seek(0)
        return self.out.read().decode("utf-8", "replace").replace("\r", "").splitlines()

    def presses(self):
        """The button presses received so far: (button, x, y), button 'left', 'right' or
        'middle', x and y in screen pixels."""
        found = []
        for line in self._lines():
            fields = line.split()
            if len(fields) == 4 and fields[0] == "down":
                found.append((fields[1], int(fields[2]), int(fields[3])))
        return found
