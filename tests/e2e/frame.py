"""Drives Vistrelle.exe under Wine for the end-to-end tests.

A `Frame` is one run of the program: a temporary program folder holding a copy of the
executable, the settings file and pictures the test asks for; the process started under Wine in
the shared test session (tests/harness/session); and the means to look at it from outside:
the top-level windows as the window system sees them (through vistrelle_probe, a Windows program
of the tests' own), screenshots of the X display and their pixels. Leaving the `with` block
always ends the process and removes the folder. The Wine server is shared by every test, so
only this run's own process is ever killed.
"""

import argparse
import os
import shutil
import signal
import subprocess
import tempfile
import time
import traceback
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
SESSION = HERE.parent / "harness" / "session"

WM_CLOSE = 0x0010
WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
WS_EX_LAYERED = 0x00080000
WS_BORDER = 0x00800000

MAIN_CLASS = "VistrelleMain"
SHADOW_CLASS = "VistrelleShadow"
CAPTION_CLASS = "VistrelleCaption"
OWN_CLASSES = (MAIN_CLASS, SHADOW_CLASS, CAPTION_CLASS)
DIALOG_CLASS = "#32770"

_session_env = None


def session_env():
    """The environment for Wine calls in the shared session, which is started if need be."""
    global _session_env
    if _session_env is None:
        out = subprocess.run(
            [str(SESSION), "env"], check=True, stdout=subprocess.PIPE, text=True
        ).stdout
        env = dict(os.environ)
        for line in out.splitlines():
            key, sep, value = line.partition("=")
            if sep:
                env[key] = value
        _session_env = env
    return _session_env


def make_picture(path, width, height):
    """Writes a JPEG of the given size: a diagonal gradient with a few shapes on it."""
    subprocess.run(
        [
            "convert",
            "-size",
            f"{width}x{height}",
            "gradient:#2a6fdb-#f4b942",
            "-fill",
            "#d7263d",
            "-draw",
            f"circle {width // 3},{height // 3} {width // 3 + min(width, height) // 6},{height // 3}",
            "-fill",
            "#1b998b",
            "-draw",
            f"rectangle {width // 2},{height // 2} {width * 7 // 8},{height * 7 // 8}",
            "-quality",
            "90",
            str(path),
        ],
        check=True,
    )


@dataclass
class Window:
    """One top-level window as vistrelle_probe reports it."""

    hwnd: int
    pid: int
    visible: bool
    style: int
    exstyle: int
    left: int
    top: int
    right: int
    bottom: int
    cls: str
    title: str
    image: str

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top

    def __str__(self):
        return (
            f"{self.cls!r} title {self.title!r} hwnd {self.hwnd:#x} "
            f"{'visible' if self.visible else 'hidden'} at ({self.left},{self.top}) "
            f"size {self.width}x{self.height} style {self.style:#x} exstyle {self.exstyle:#x}"
        )


def describe(windows):
    return "; ".join(str(w) for w in windows) if windows else "no window"


class Frame:
    """One run of Vistrelle.exe in a program folder of its own."""

    def __init__(self, exe, probe, picture=(780, 520), option_ini=None):
        """picture: (width, height) of the image.jpg to write, or None for no picture.
        option_ini: the text of option.ini, or None for no settings file."""
        self.exe = Path(exe)
        self.probe = Path(probe)
        for path in (self.exe, self.probe):
            if not path.is_file():
                raise FileNotFoundError(f"expected a built program at {path}, found none")
        self.process = None
        self.pid = None  # the Windows process id, once a window of the program was seen
        self.folder = Path(tempfile.mkdtemp(prefix="vistrelle-e2e-"))
        # The folder's unique name identifies this run's process among all of the session's.
        self.tag = self.folder.name.lower()
        try:
            shutil.copy2(self.exe, self.folder / "Vistrelle.exe")
            if picture is not None:
                make_picture(self.folder / "image.jpg", *picture)
            if option_ini is not None:
                # The program reads the settings file with the system's ANSI functions.
                text = option_ini.replace("\n", "\r\n")
                (self.folder / "option.ini").write_bytes(text.encode("cp1252"))
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

    def start(self):
        env = session_env()
        self.log = open(self.folder / "wine.log", "wb")
        self.process = subprocess.Popen(
            [env["WINE"], str(self.folder / "Vistrelle.exe")],
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
        for pid in self._linux_pids():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        if getattr(self, "log", None):
            self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def _linux_pids(self):
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

    # --- looking at windows -------------------------------------------------------------------

    def probe_run(self, *args):
        """Runs vistrelle_probe with the arguments and returns what it printed."""
        env = session_env()
        # Files, not pipes: a Wine program that has to start Wine's desktop process hands it
        # its standard handles, and that process lives as long as the program under test does;
        # reading a pipe to its end would wait for it.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(
                [env["WINE"], str(self.probe), *args],
                env=env,
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=err,
                timeout=60,
            ).returncode
            out.seek(0)
            err.seek(0)
            text = out.read().decode("utf-8", "replace")
            if code != 0:
                raise RuntimeError(
                    f"vistrelle_probe {' '.join(args)} failed with exit code {code}: "
                    f"{text} {err.read().decode('utf-8', 'replace')}"
                )
        # Wine's console ends lines with CR LF.
        return text.replace("\r\n", "\n")

    def all_windows(self):
        windows = []
        for line in self.probe_run("list").splitlines():
            f = line.split("\t")
            if len(f) != 12:
                continue
            windows.append(
                Window(
                    hwnd=int(f[0], 16),
                    pid=int(f[1]),
                    visible=f[2] == "1",
                    style=int(f[3], 16),
                    exstyle=int(f[4], 16),
                    left=int(f[5]),
                    top=int(f[6]),
                    right=int(f[7]),
                    bottom=int(f[8]),
                    cls=f[9],
                    title=f[10],
                    image=f[11],
                )
            )
        return windows

    def windows(self):
        """The top-level windows of this run's process (found by its program folder); Wine's
        own hidden helper windows (IME, DDE) are left out."""
        own = []
        for w in self.all_windows():
            mine = (self.pid is not None and w.pid == self.pid) or self.tag in w.image.lower()
            if mine and w.cls not in ("IME", "WineDdeServerName", "WineDdeEventClass"):
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
                    f"waiting for {what}: not within {timeout:.0f} s; "
                    f"the program's windows: {describe(self.windows())}"
                )
            time.sleep(interval)

    def wait_main_window(self, timeout=20.0):
        """The one visible picture window, once it is there."""

        def check():
            mains = [w for w in self.visible_windows() if w.cls == MAIN_CLASS]
            return mains[0] if len(mains) == 1 else None

        return self.wait_for(f"one visible {MAIN_CLASS} window", check, timeout)

    def wait_exit(self, timeout=20.0):
        """Waits for the process to end by itself; returns its exit code or None."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def post(self, window, message, wparam=0, lparam=0):
        self.probe_run("post", hex(window.hwnd), hex(message), hex(wparam), hex(lparam))

    # --- looking at pixels --------------------------------------------------------------------

    def screenshot(self, path=None):
        """A PNG of the whole X display; returns its path."""
        path = Path(path) if path else self.folder / f"shot-{time.monotonic_ns()}.png"
        subprocess.run(
            ["import", "-window", "root", str(path)], env=session_env(), check=True
        )
        return path

    @staticmethod
    def pixel(png, x, y):
        """(r, g, b) of one pixel of a screenshot, 8 bits each."""
        out = subprocess.run(
            ["convert", str(png), "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
            check=True,
            stdout=subprocess.PIPE,
            text=True,
        ).stdout
        # "0,0: (r,g,b)  #RRGGBB  srgb(...)"
        line = out.splitlines()[-1]
        hexcolour = line.split("#")[1][:6]
        return tuple(int(hexcolour[i : i + 2], 16) for i in (0, 2, 4))


def run_cases(doc, namespace):
    """The command line of every end-to-end script: its cases are the functions named case_*
    taking (exe, probe). --list prints their names (CMake registers one test per case); without
    --case every case runs. Prints one PASS or FAIL line per case and a closing count; returns
    non-zero when a case failed."""
    cases = {
        name[len("case_") :]: fn
        for name, fn in sorted(namespace.items())
        if name.startswith("case_") and callable(fn)
    }
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("--list", action="store_true", help="print the case names and stop")
    parser.add_argument("--exe", help="Vistrelle.exe to test")
    parser.add_argument("--probe", help="vistrelle_probe.exe")
    parser.add_argument("--case", action="append", choices=sorted(cases), help="case to run")
    args = parser.parse_args()
    if args.list:
        print("\n".join(sorted(cases)))
        return 0
    if not args.exe or not args.probe:
        parser.error("--exe and --probe are needed to run cases")

    passed = failed = 0
    for name in args.case or sorted(cases):
        try:
            cases[name](args.exe, args.probe)
        except Exception as error:  # a failed assertion or a harness fault: report both
            failed += 1
            print(f"FAIL {name}: {error}", flush=True)
            if not isinstance(error, AssertionError):
                traceback.print_exc()
        else:
            passed += 1
            print(f"PASS {name}", flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


# --- real input and the X side of the windows --------------------------------------------------
#
# The cases that drive the program as a user does: xdotool presses keys and buttons on the
# session's display, and the X windows Wine made for the program's windows are read with the
# X tools (Wine publishes a layered window's opacity there).

MENU_CLASS = "#32768"


def xdotool(*args):
    """Runs xdotool on the session's display with the arguments (numbers are turned into
    text)."""
    subprocess.run(["xdotool", *(str(a) for a in args)], env=session_env(), check=True)


def drag(start, *points):
    """Presses the left button at start, moves through the points and releases it at the last,
    with the short pauses Wine's move loop needs to see every step (longer than the 0.1 s that
    do on an idle machine: the test machine is often busy)."""
    args = ["mousemove", start[0], start[1], "sleep", 0.2, "mousedown", 1, "sleep", 0.2]
    for x, y in points:
        args += ["mousemove", x, y, "sleep", 0.2]
    args += ["mouseup", 1]
    xdotool(*args)


def visible_menus(frame):
    """The program's open popup menu windows."""
    return [w for w in frame.visible_windows() if w.cls == MENU_CLASS]


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


def windows_path(path):
    """How a Windows program under Wine sees a Linux path: the Z: drive."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def own_window(frame, cls):
    """The program's window of a class (hidden or not), or None."""
    found = [w for w in frame.windows() if w.cls == cls]
    return found[0] if found else None


CAPTION_GAP_PX = 5  # 80 twips under the picture window, as the window system rounds them
CAPTION_HEIGHT_PX = 18


def caption_misplaced(main, caption):
    """Why the caption window does not stand where it belongs under the picture window (as wide,
    its top 80 twips under the picture's bottom edge), or None when it does."""
    expected = (main.left, main.bottom + CAPTION_GAP_PX, main.width, CAPTION_HEIGHT_PX)
    got = (caption.left, caption.top, caption.width, caption.height)
    if got != expected:
        return (
            f"expected the caption window at ({expected[0]},{expected[1]}) size "
            f"{expected[2]}x{expected[3]} (under the picture window {main}), got {caption}"
        )
    return None


def shadow_misplaced(main, shadow, margin_twips):
    """Why the shadow window is not the picture window grown by margin_twips on each side, or
    None when it is. The window system turns twips into whole pixels, so a margin may come out
    one pixel either way of its exact value (25 twips = 1.67 px gives 1 or 2 px), never more."""
    exact = margin_twips / 15
    margins = {
        "left": main.left - shadow.left,
        "top": main.top - shadow.top,
        "right": shadow.right - main.right,
        "bottom": shadow.bottom - main.bottom,
    }
    wrong = {side: m for side, m in margins.items() if abs(m - exact) >= 1}
    if wrong:
        return (
            f"expected the shadow window around the picture window by {margin_twips} twips "
            f"({exact:.2f} px) on each side, got margins {margins} px "
            f"(picture {main}; shadow {shadow})"
        )
    return None


# --- what the screen shows --------------------------------------------------------------------
#
# The cases that judge the program by what a person sees take whole screenshots and compare
# their pixels with what must be there: the picture's colours, the wallpaper under the caption,
# the window beneath the invisible shadow.

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


def click(x, y, button=1):
    xdotool("mousemove", x, y, "sleep", 0.1, "click", button)


# --- files the program is given ---------------------------------------------------------------


def write_bmp(path, width, height, pixel):
    """Writes a 24-bit BMP whose pixel (x, y) has the colour pixel(x, y) = (r, g, b)."""
    stride = (3 * width + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray(stride)
        for x in range(width):
            r, g, b = pixel(x, y)
            row[3 * x : 3 * x + 3] = bytes((b, g, r))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = (
        b"BM"
        + (54 + len(data)).to_bytes(4, "little")
        + bytes(4)
        + (54).to_bytes(4, "little")
        + (40).to_bytes(4, "little")
        + width.to_bytes(4, "little", signed=True)
        + height.to_bytes(4, "little", signed=True)
        + (1).to_bytes(2, "little")
        + (24).to_bytes(2, "little")
        + bytes(4)
        + len(data).to_bytes(4, "little")
        + (2835).to_bytes(4, "little") * 2
        + bytes(8)
    )
    Path(path).write_bytes(header + data)


# --- the desktop around the program -----------------------------------------------------------

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def wine_reg(*args):
    """Runs Wine's reg with the arguments; returns (exit code, output without CRs)."""
    env = session_env()
    # A file, not a pipe: see Frame.probe_run.
    with tempfile.TemporaryFile() as out:
        code = subprocess.run(
            [env["WINE"], "reg", *args],
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=out,
            stderr=subprocess.STDOUT,
            timeout=60,
        ).returncode
        out.seek(0)
        return code, out.read().decode("utf-8", "replace").replace("\r", "")


def _desktop_value(name):
    """A string value of the session's desktop settings, or None when it is not there."""
    code, out = wine_reg("query", DESKTOP_KEY, "/v", name)
    if code != 0:
        return None
    for line in out.splitlines():
        fields = line.strip().split(None, 2)
        if len(fields) >= 2 and fields[0] == name and fields[1] == "REG_SZ":
            return fields[2] if len(fields) == 3 else ""
    return None


def _set_desktop_value(name, value):
    if value is None:
        wine_reg("delete", DESKTOP_KEY, "/v", name, "/f")
    elif wine_reg("add", DESKTOP_KEY, "/v", name, "/d", value, "/f")[0] != 0:
        raise RuntimeError(f"could not set {DESKTOP_KEY}\\{name} to {value!r}")


class Wallpaper:
    """The desktop wallpaper of the test session, for the programs started while it is in force
    (a Windows program reads it when it first asks): a picture file and its placement as the
    desktop settings name them (TileWallpaper 1 tiles it from the screen's top left corner;
    otherwise WallpaperStyle 0 centres it). Leaving the `with` block puts the old settings
    back."""

    NAMES = ("Wallpaper", "TileWallpaper", "WallpaperStyle")

    def __init__(self, path, tile=False, style=0):
        self.values = (windows_path(path), "1" if tile else "0", str(style))

    def __enter__(self):
        self.old = [_desktop_value(name) for name in self.NAMES]
        for name, value in zip(self.NAMES, self.values):
            _set_desktop_value(name, value)
        return self

    def __exit__(self, *exc):
        for name, value in zip(self.NAMES, self.old):
            _set_desktop_value(name, value)
        return False


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


# The option.ini most cases start with: a white caption with a black shade, Arial 10 points;
# {show} is ShowFileName, {offset} the shadow mode, {color1} and {color2} the caption colours.
SETTINGS_TEMPLATE = """[Main]
Font=Arial
Size=10
Color1={color1}
Color2={color2}
ShowFileName={show}
[Shadow]
OffSet={offset}
"""


def settings(show="True", offset=1, color1=16777215, color2=0):
    """The text of an option.ini (see SETTINGS_TEMPLATE)."""
    return SETTINGS_TEMPLATE.format(show=show, offset=offset, color1=color1, color2=color2)


# The shadow margins of [Shadow] OffSet 0, 1 and 2, in twips on each side (3 hides it).
SHADOW_MARGIN_TWIPS = {0: 0, 1: 25, 2: 50}


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


def wait_size(frame, width, height):
    """The picture window once its outer size is width x height."""

    def check():
        main = own_window(frame, MAIN_CLASS)
        if main and main.visible and (main.width, main.height) == (width, height):
            return main
        return None

    return frame.wait_for(f"the picture window's outer size {width}x{height} px", check, timeout=10)
