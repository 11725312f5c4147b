"""One run of Vistrelle.exe under Wine: `Frame` makes its program folder, starts and ends the
process, lists its top-level windows through vistrelle_probe and waits for them; `started`
and `wait_size` are the waits most cases begin with.

The Wine server is shared by every test, so only this run's own process is ever killed.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from .desktop import DisplayScale
from .files import make_picture, write_settings
from .layout import companions_problem
from .probe import probe_run
from .session import session_env
from .windows import (
    CAPTION_CLASS,
    MAIN_CLASS,
    OWN_CLASSES,
    SHADOW_CLASS,
    Window,
    describe,
    own_window,
)

# How long a state must hold when a case checks that something does not happen.
QUIET_SECONDS = 1.0

# Wine's own hidden helper windows, which every Wine process may have.
WINE_HELPER_CLASSES = ("IME", "WineDdeServerName", "WineDdeEventClass")


class Frame:
    """One run of Vistrelle.exe in a program folder of its own. Leaving the `with` block always
    ends the process and removes the folder."""

    dpi = None  # the display scale the program starts at; the session's when None
    debug = False  # whether Wine writes the program's debug output into its log

    def __init__(self, exe, probe, picture=(780, 520), option_ini=None, dpi=None, debug=False):
        """picture: (width, height) of the image.jpg to write, a function that writes it given
        its path, or None for no picture.
        option_ini: the text of option.ini, or None for no settings file.
        dpi: the display scale the program starts at, or None for the session's.
        debug: whether Wine writes the program's debug output into its log (debug_lines)."""
        self.dpi = dpi
        self.debug = debug
        self.exe = Path(exe)
        self.probe = Path(probe)
        for path in (self.exe, self.probe):
            if not path.is_file():
                raise FileNotFoundError(f"expected a built program at {path}, found none")
        self.process = None
        self.log = None
        self.pid = None  # the Windows process id, once a window of the program was seen
        self.folder = Path(tempfile.mkdtemp(prefix="vistrelle-e2e-"))
        # The folder's unique name identifies this run's process among all of the session's.
        self.tag = self.folder.name.lower()
        try:
            shutil.copy2(self.exe, self.folder / "Vistrelle.exe")
            # The DLLs it loads (libheif's, libde265's), as the release's folder holds them.
            for dll in self.exe.parent.glob("*.dll"):
                shutil.copy2(dll, self.folder / dll.name)
            if callable(picture):
                picture(self.folder / "image.jpg")
            elif picture is not None:
                make_picture(self.folder / "image.jpg", *picture)
            if option_ini is not None:
                write_settings(self.folder / "option.ini", option_ini)
        except BaseException:
            shutil.rmtree(self.folder, ignore_errors=True)
            raise

    # --- life cycle ---------------------------------------------------------------------------

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def program(self):
        """The executable this run starts: the copy in the run's program folder."""
        return str(self.folder / "Vistrelle.exe")

    def open_log(self):
        """Where Wine's output of this run goes."""
        return open(self.folder / "wine.log", "wb")

    def start(self):
        if self.dpi is None:
            self._start()
            return
        # Wine reads the scale once, as the process starts: it is in force only until the
        # program's window is up, so that a case that dies cannot leave it to the others.
        with DisplayScale(self.dpi):
            self._start()
            self.wait_main_window()

    def _start(self):
        env = session_env()
        if self.debug:
            # Wine 8 writes OutputDebugString's text on its "seh" channel, as warnings.
            env["WINEDEBUG"] = "-all,warn+seh"
        self.log = self.open_log()
        self.process = subprocess.Popen(
            [env["WINE"], self.program()],
            cwd=self.folder,
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=self.log,
            stderr=subprocess.STDOUT,
            start_new_session=True,
        )

    def running(self):
        return self.process is not None and self.process.poll() is None

    def exit_code(self):
        return None if self.process is None else self.process.poll()

    def stop(self):
        """Ends this run's process (whatever it started stays in its process group) and
        removes the program folder."""
        if self.process is not None:
            if self.process.poll() is None:
                try:
                    os.killpg(self.process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        # Anything else still running from this folder (a copy the program started itself).
        for pid in self.linux_pids():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        if self.log:
            self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def linux_pids(self):
        """The Linux processes whose command line names this run's program folder."""
        pids = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                cmdline = (entry / "cmdline").read_bytes().decode("utf-8", "replace").lower()
            except OSError:
                continue
            if self.tag in cmdline and int(entry.name) != os.getpid():
                pids.append(int(entry.name))
        return pids

    def wine_log(self):
        try:
            return (self.folder / "wine.log").read_text("utf-8", "replace")[-2000:]
        except OSError:
            return ""

    def debug_lines(self):
        """The lines the program wrote to the debug output so far (with debug=True)."""
        marker = 'OutputDebugStringA "'
        text = (self.folder / "wine.log").read_text("utf-8", "replace")
        lines = []
        for line in text.splitlines():
            if marker in line:
                # Wine quotes the text as C does: a backslash doubled, the newline as \n.
                said = line.split(marker, 1)[1].rstrip('"\r')
                lines.append(said.removesuffix("\\n").replace("\\\\", "\\"))
        return lines

    # --- looking at windows -------------------------------------------------------------------

    def probe_run(self, *args):
        """Runs vistrelle_probe with the arguments and returns what it printed."""
        return probe_run(self.probe, *args)

    def all_windows(self):
        windows = (Window.parse(line) for line in self.probe_run("list").splitlines())
        return [w for w in windows if w is not None]

    def windows(self):
        """The top-level windows of this run's process (found by its program folder); Wine's
        own hidden helper windows (IME, DDE) are left out."""
        own = []
        for w in self.all_windows():
            mine = (self.pid is not None and w.pid == self.pid) or self.tag in w.image.lower()
            if mine and w.cls not in WINE_HELPER_CLASSES:
                own.append(w)
        if own and self.pid is None:
            self.pid = own[0].pid
        return own

    def visible_windows(self):
        return [w for w in self.windows() if w.visible]

    def wait_for(self, what, check, timeout=20.0, interval=0.2):
        """Polls check() until it returns a true value, which is returned. Fails after timeout
        seconds, or at once when the process ends, naming what was awaited and what came."""
        deadline = time.monotonic() + timeout
        while True:
            result = check()
            if result:
                return result
            if not self.running():
                raise AssertionError(
                    f"waiting for {what}: the program ended (exit code {self.exit_code()}); "
                    f"its windows then: {describe(self.windows())}; Wine said: {self.wine_log()!r}"
                )
            if time.monotonic() > deadline:
                raise AssertionError(
                    f"waiting for {what}: not within {timeout:.0f} s; the program's windows: "
                    f"{describe(self.windows())} (of {len(self.all_windows())} in the session); "
                    f"Wine said: {self.wine_log()!r}"
                )
            time.sleep(interval)

    def wait_until(self, what, problem, timeout=10.0):
        """Polls problem() until it returns None (all is as it must be); fails as wait_for does,
        saying the last problem seen."""
        last = []

        def check():
            last[:] = [problem()]
            return last[0] is None

        try:
            self.wait_for(what, check, timeout)
        except AssertionError as error:
            raise AssertionError(f"{error}; last seen: {last[-1] if last else None}") from None

    def holds(self, what, problem, seconds=QUIET_SECONDS):
        """Checks for a while that problem() stays None and the program keeps running: that
        something does not happen."""
        deadline = time.monotonic() + seconds
        while True:
            found = problem()
            assert found is None, f"expected {what} to hold for {seconds:.1f} s: {found}"
            assert self.running(), (
                f"expected {what} to hold for {seconds:.1f} s: the program ended (exit code "
                f"{self.exit_code()}); Wine said: {self.wine_log()!r}"
            )
            if time.monotonic() > deadline:
                return
            time.sleep(0.2)

    def wait_main_window(self, timeout=20.0):
        """The one visible picture window, once it is there."""

        def check():
            mains = [w for w in self.visible_windows() if w.cls == MAIN_CLASS]
            return mains[0] if len(mains) == 1 else None

        return self.wait_for(f"one visible {MAIN_CLASS} window", check, timeout)

    def wait_ended(self, what, pids=None, timeout=20.0):
        """Waits for the process to end by itself and then for the windows of its Windows
        process (or of pids) to go, which Wine removes a moment after the process; what says
        what ended it."""
        pids = pids or {self.pid}
        assert self.wait_exit(timeout) is not None, (
            f"expected the program to end after {what}, it still runs with windows: "
            f"{describe(self.windows())}"
        )
        deadline = time.monotonic() + timeout
        while left := [w for w in self.all_windows() if w.pid in pids and w.cls in OWN_CLASSES]:
            assert time.monotonic() < deadline, (
                f"expected no window of the ended program after {what}, got {describe(left)}"
            )
            time.sleep(0.2)

    def wait_exit(self, timeout=20.0):
        """Waits for the process to end by itself; returns its exit code or None."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def post(self, window, message, wparam=0, lparam=0):
        self.probe_run("post", hex(window.hwnd), hex(message), hex(wparam), hex(lparam))


def started(frame, caption=False):
    """The picture window once the program is up and its shadow (and with caption=True its
    caption) is shown."""
    frame.wait_main_window()
    wanted = {SHADOW_CLASS, CAPTION_CLASS} if caption else {SHADOW_CLASS}
    frame.wait_for(
        " and ".join(sorted(wanted)) + " shown",
        lambda: wanted <= {w.cls for w in frame.visible_windows()},
    )
    # The first paint comes a moment after the window is shown.
    time.sleep(0.5 if caption else 0.3)
    return frame.wait_main_window()


def wait_size(frame, width, height, timeout=10, what=None):
    """The visible picture window once its outer size is width x height; what, when given,
    says in a failure what led up to the wait."""

    def check():
        main = own_window(frame, MAIN_CLASS)
        if main and main.visible and (main.width, main.height) == (width, height):
            return main
        return None

    prefix = f"{what}: " if what else ""
    return frame.wait_for(
        f"{prefix}the picture window's outer size {width}x{height} px", check, timeout
    )


def wait_placed(frame, margin_twips, caption_shown=True, what=None):
    """The picture window once its caption window stands under it (or is hidden, with
    caption_shown=False) and its shadow window around it by margin_twips (hidden when None);
    see layout.companions_problem."""
    return _wait_windows(frame, what or "the caption and shadow windows in place",
                         lambda windows: companions_problem(windows, margin_twips, caption_shown))


def _wait_windows(frame, what, problem_of):
    seen = []

    def problem():
        seen[:] = [frame.windows()]
        return problem_of(seen[0])

    frame.wait_until(what, problem)
    return next(w for w in seen[0] if w.cls == MAIN_CLASS)


def stays_placed(frame, margin_twips, caption_shown=True, what="the companions in place"):
    """Checks for a while that the caption and shadow windows stay as wait_placed waits for."""
    frame.holds(what, lambda: companions_problem(frame.windows(), margin_twips, caption_shown))
