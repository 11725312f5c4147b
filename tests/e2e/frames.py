#!/usr/bin/python3
"""End-to-end tests of frames that come back ([Frames] Remember), run against the real
Vistrelle.exe under Wine: frames placed and set differently come back as they were after the
session ends, a frame closed with Exit does not, nothing is written with the setting absent, the
lock item keeps a frame in place, hostile records bring frames up whole, and, on monitors that
the tests' own stand-in Xinerama library describes, a frame comes back on the monitor it stood on.

    frames.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import frame.probe
import frame.session
from frame import (
    MAIN_CLASS,
    Frame,
    describe,
    drag,
    drag_by,
    limit,
    run_cases,
    session_env,
    settings,
    x_opacity,
    x_window_of,
)
from frame.menu import LOCK, choose

REMEMBER = settings() + "[Frames]\nRemember=True\n"
WM_QUERYENDSESSION, WM_ENDSESSION, WM_COMMAND = 0x11, 0x16, 0x111
# Menu commands: 1000 + 100 x the item array + the index (resources/menu_items.hpp).
NEW_COPY, EXIT, SIZE_SMALL, SIZE_LARGE = 1007, 1010, 1100, 1102
OPAQUE, OPACITY_80, SHADOW_NONE, CAPTION, LOCK_COMMAND = 1200, 1201, 1303, 1005, 1015
HERE = Path(__file__).resolve().parent


def users(env):
    return Path(env["WINEPREFIX"]) / "drive_c" / "users"


def stores(env):
    """The program folders' stores of remembered frames in the prefix, by name."""
    return {p.name: p for p in users(env).glob("*/AppData/Local/Vistrelle/Frames/*")}


def records(store):
    return sorted(store.glob("*.frame")) if store else []


def mains(frame):
    return [w for w in frame.visible_windows() if w.cls == MAIN_CLASS]


def wait_mains(frame, count, what, timeout=40):
    found = frame.wait_for(
        f"{count} visible picture windows {what}",
        lambda: (m := mains(frame)) and len(m) == count and m,
        timeout=timeout,
    )
    return sorted(found, key=lambda w: (w.left, w.top))


def end_session(frame):
    """What the system sends every frame at sign-out, then waits for the processes to end."""
    pids = {w.pid for w in mains(frame)}
    for w in mains(frame):
        frame.post(w, WM_QUERYENDSESSION)
        frame.post(w, WM_ENDSESSION, 1)
    frame.wait_ended("the end of the session", pids)


class RememberingFrame(Frame):
    """A Frame whose program folder's store goes with it."""

    def __init__(self, exe, probe, option_ini=REMEMBER, **kw):
        self.before = set(stores(session_env()))
        super().__init__(exe, probe, option_ini=option_ini, **kw)

    def store(self):
        made = [p for name, p in stores(session_env()).items() if name not in self.before]
        return made[0] if made else None

    def restart(self):
        """The program started again in the same folder, once."""
        self.pid = None
        self.start()

    def stop(self):
        store = self.store()
        super().stop()
        if store:
            shutil.rmtree(store, ignore_errors=True)


# Keys Wine itself keeps while programs run: the display driver it records when the session's
# first window comes, the system parameters it caches for the move loop.
WINES_OWN = ("HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters",
             "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video")


def registry(hive):
    """The hive's keys and values as `regedit /E` exports them, Wine's own keys left out."""
    out = Path(tempfile.mkdtemp(prefix="vistrelle-reg-")) / "hive.reg"
    try:
        frame.session.run_wine(["regedit", "/E", frame.session.windows_path(out), hive])
        kept, own = [], False
        for line in out.read_bytes().decode("utf-16", "replace").splitlines():
            if line.startswith("["):
                own = line[1:].startswith(WINES_OWN)
            if not own:
                kept.append(line)
        return kept
    finally:
        shutil.rmtree(out.parent, ignore_errors=True)


def snapshot(env):
    """Every file under the prefix's user folders (name, size, time) and the registry."""
    files = {
        str(p): (p.stat().st_size, p.stat().st_mtime_ns)
        for p in users(env).rglob("*")
        if p.is_file()
    }
    return files, [registry(hive) for hive in ("HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE")]


@limit(240)
def case_setting_absent_writes_nothing(exe, probe):
    env = session_env()
    before = snapshot(env)
    with Frame(exe, probe, option_ini=settings()) as f:
        main = drag_by(f, 90, 60)
        for command in (SIZE_LARGE, OPACITY_80, SHADOW_NONE, CAPTION, LOCK_COMMAND, NEW_COPY):
            f.post(main, WM_COMMAND, command)
        copy, parent = wait_mains(f, 2, "after the new-copy command")
        assert parent.width > main.width, f"expected the frame made large, got {parent}"
        for w in (copy, parent):
            f.post(w, WM_COMMAND, EXIT)
        f.wait_for("both frames ended by Exit", lambda: not mains(f))
        f.wait_ended("Exit")
    after = snapshot(env)
    changed = sorted(set(before[0].items()) ^ set(after[0].items()))
    assert not changed, f"expected no file written under the user folders, got {changed[:5]}"
    for hive_before, hive_after in zip(before[1], after[1]):
        changed = sorted(set(hive_before) ^ set(hive_after))
        assert not changed, f"expected the registry unchanged, got {changed[:5]}"
        assert len(hive_before) > 100, "expected the registry read"


@limit(240)
def case_two_frames_come_back_exit_forgets(exe, probe):
    with RememberingFrame(exe, probe) as f:
        first = f.wait_main_window()
        drag_by(f, 120, 80)
        f.post(first, WM_COMMAND, SIZE_LARGE)
        f.post(first, WM_COMMAND, OPACITY_80)
        f.post(first, WM_COMMAND, NEW_COPY)
        a, b = wait_mains(f, 2, "after the new-copy command")
        assert (b.left - a.left, b.top - a.top) == (30, 30), (
            f"expected the copy 30 px right of and below its parent, got {a} and {b}"
        )
        f.post(b, WM_COMMAND, SIZE_SMALL)
        f.post(b, WM_COMMAND, SHADOW_NONE)
        f.post(b, WM_COMMAND, OPAQUE)
        f.wait_for("the copy made small",
                   lambda: mains(f) and min(w.width for w in mains(f)) < b.width)
        time.sleep(1)
        placed = sorted((w.rect for w in mains(f)))
        assert len(records(f.store())) == 2, f"expected two records, got {records(f.store())}"
        end_session(f)
        assert len(records(f.store())) == 2, "expected both records kept at the end of the session"

        f.restart()
        back = wait_mains(f, 2, "after one start")
        assert sorted(w.rect for w in back) == placed, (
            f"expected both frames back at {placed}, got {describe(back)}"
        )
        assert len({w.pid for w in back}) == 2, f"expected two processes, got {describe(back)}"
        # Exit from the menu of the large one: it does not come back.
        large = max(back, key=lambda w: w.width)
        small = min(back, key=lambda w: w.width)
        opacities = [x_opacity(x_window_of(w)) for w in (large, small)]
        assert opacities[0] == 204 * 0x01010101 and opacities[1] in (None, 0xFFFFFFFF), (
            f"expected the large frame at 80 % and the small one opaque, got {opacities}"
        )
        f.post(large, WM_COMMAND, EXIT)
        f.wait_for("one picture window after Exit", lambda: len(mains(f)) == 1)
        end_session(f)
        f.restart()
        (only,) = wait_mains(f, 1, "after the next start")
        assert only.width < large.width, f"expected the small frame back alone, got {only}"
        f.holds("one frame only", lambda: None if len(mains(f)) == 1 else describe(mains(f)), 2)


def case_lock_keeps_the_frame_in_place(exe, probe):
    with RememberingFrame(exe, probe) as f:
        main = f.wait_main_window()
        choose(f, LOCK)
        x, y = main.centre
        drag((x, y), (x + 60, y + 40), (x + 120, y + 80))
        f.holds(
            "the locked frame where it was",
            lambda: None if f.wait_main_window().rect == main.rect else "it moved",
            1.5,
        )
        choose(f, LOCK)
        drag_by(f, 120, 80)


# Records no frame of this program wrote: each still brings a frame up, whole on the screen.
HOSTILE = {
    "cut": b"Vistrelle frame 1\nPicture=C:\\a.jpg\nMonitorArea=0 0 12",
    "binary": bytes(range(256)) * 64,
    "other_version": b"Vistrelle frame 99\nSize=1\nSize=2\nOpacity=7\nPlace=10 20\n",
    "enormous": b"Vistrelle frame 1\nPlace=40 40\n" + b"x" * (8 << 20),
    "long_path": b"Picture=C:\\" + b"a\\" * 20000 + b"b.jpg\nPlace=60 60\n",
    "not_numbers": b"Place=left top\nDpi=many\nSize=big\nPace=-5\nLock=maybe\n",
    "no_such_monitor": b"Monitor=\\\\.\\DISPLAY9\nMonitorArea=90000 90000 800 600\nPlace=5 5\n",
    "far_away": b"Monitor=\\\\.\\DISPLAY1\nPlace=-999999 999999\nDpi=2400\n",
    "missing_picture": b"Picture=Q:\\usb\\gone.jpg\nPlace=300 200\nSize=2\n",
}


@limit(300)
def case_hostile_records_bring_frames_up_whole(exe, probe):
    with RememberingFrame(exe, probe) as f:
        main = f.wait_main_window()
        f.post(main, WM_COMMAND, EXIT)
        f.wait_ended("Exit")
        store = f.store()
        assert store is not None and not records(store), "expected an empty store after Exit"
        for i, data in enumerate(HOSTILE.values()):
            (store / f"{i:032x}.frame").write_bytes(data)
        f.restart()
        back = wait_mains(f, len(HOSTILE), "one for each hostile record", timeout=90)
        for w in back:
            assert 0 <= w.left and w.right <= 1280 and 0 <= w.top and w.bottom <= 1024, (
                f"expected every frame whole on the screen, got {w}"
            )
        f.holds("every frame up", lambda: None if len(mains(f)) == len(HOSTILE) else "one ended", 2)
        gone = (store / f"{list(HOSTILE).index('missing_picture'):032x}.frame").read_bytes()
        assert b"Picture=Q:\\usb\\gone.jpg" in gone, "expected the missing picture kept"


# --- Several monitors: a session of its own on one wide X screen -----------------------------

TWO_HEADS = "0,0,1280,1024;1280,0,1280,1024"
ONE_HEAD = "0,0,1280,1024"


class HeadsSession:
    """Xvfb 2560x1024, a Wine prefix whose X11 driver takes its monitors from Xinerama, and the
    stand-in library that describes the heads; each `heads(...)` starts Wine's session anew,
    since Wine reads the monitors once, when its session starts."""

    def __init__(self):
        shared = session_env()
        self.dir = Path(tempfile.mkdtemp(prefix="vistrelle-heads-"))
        subprocess.run(["gcc", "-shared", "-fPIC", "-o", str(self.dir / "libXinerama.so.1"),
                        str(HERE / "stand_in_xinerama.c")], check=True)
        display = self.dir / "display"
        with open(display, "w") as out:
            # -displayfd: Xvfb picks a free display and writes its number when it is ready.
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0", "2560x1024x24",
                 "-nolisten", "tcp"],
                pass_fds=(out.fileno(),), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
        deadline = time.monotonic() + 30
        while not display.read_text().strip() and time.monotonic() < deadline:
            time.sleep(0.1)
        self.env = dict(shared)
        self.env.update(
            DISPLAY=":" + display.read_text().strip(),
            WINEPREFIX=str(self.dir / "prefix"),
            LD_LIBRARY_PATH=str(self.dir),
            VISTRELLE_SESSION_DIR=str(self.dir / "session"),
        )
        frame.session._session_env = self.env
        self.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N",
                  "/f")
        self.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/d", "N",
                  "/f")
        self.stop_wine()

    def wine(self, *args):
        subprocess.run([self.env["WINE"], *args], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)

    def stop_wine(self):
        frame.probe._close_servers()
        subprocess.run([self.env["WINESERVER"], "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run([self.env["WINESERVER"], "-w"], env=self.env, stderr=subprocess.DEVNULL)

    def heads(self, heads):
        """The next Wine session, with these heads."""
        self.stop_wine()
        self.env["VISTRELLE_HEADS"] = heads

    def close(self):
        self.stop_wine()
        self.xvfb.kill()
        self.xvfb.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


def on_second(w):
    return 1280 <= w.left and w.right <= 2560


@limit(420)
def case_a_frame_comes_back_on_its_monitor(exe, probe):
    heads = HeadsSession()
    try:
        heads.heads(TWO_HEADS)
        with RememberingFrame(exe, probe) as f:
            main = f.wait_main_window()
            x, y = main.centre
            drag((x, y), (x + 500, y + 50), (x + 1000, y + 100), (x + 1500, y + 100))
            placed = f.wait_for("the frame dragged onto the second monitor",
                                lambda: (w := f.wait_main_window()) and on_second(w) and w)
            time.sleep(1)
            assert b"DISPLAY2" in records(f.store())[0].read_bytes(), "expected DISPLAY2 recorded"
            end_session(f)

            heads.heads(ONE_HEAD)
            f.restart()
            (alone,) = wait_mains(f, 1, "with the first monitor alone")
            assert 0 <= alone.left and alone.right <= 1280, (
                f"expected it whole on the first monitor, got {alone}"
            )
            assert alone.width == placed.width, f"expected its size kept, got {alone}"
            end_session(f)
            assert b"DISPLAY2" in records(f.store())[0].read_bytes(), "expected its place kept"

            heads.heads(TWO_HEADS)
            f.restart()
            (home,) = wait_mains(f, 1, "with both monitors again")
            assert home.rect == placed.rect, f"expected it back at {placed}, got {home}"
    finally:
        heads.close()


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
