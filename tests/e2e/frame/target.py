"""`Target`: a window of the tests' own (vistrelle_probe target) standing beneath the program,
for the desktop or another program under the frame, that reports the presses reaching it.
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
    standing for the desktop or another program under the frame; it reports the button presses
    that reach it."""

    def __init__(self, probe, rect, colour, seconds=120):
        left, top, right, bottom = rect
        self.rect = rect
        self.colour = colour
        self.args = [
            str(Path(probe)),
            "target",
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
