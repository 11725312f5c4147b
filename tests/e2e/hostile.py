#!/usr/bin/python3
"""End-to-end robustness tests: hostile pictures, bad settings files and awkward paths given to
the real Vistrelle.exe under Wine. Whatever it is given, the program must keep running and
answering, come back within a time bound, stay within a memory budget, and still show a good
picture afterwards.

    hostile.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list

The pictures come from corpus.py; each is given to the program twice: as image.jpg at start-up
(one case each, startup_<name>) and dropped on the running program (drop_<name>). After each, a
good 600x900 picture is dropped and the picture window must take its size, 98x146: proof that
the program still handles its messages and loads pictures. (After a dropped file that does not
load, the next drop lands on the shadow window under Wine, see drop_after_failed_load; the
drop_<name> cases then prove the program answers by closing it with WM_CLOSE.)

Bounds, and why:
- HANG_BOUND_S (30 s): from the start until the picture window shows, and from a drop until the
  window has the good picture's size. A normal start under Wine takes 1 to 6 s on the 2-core CI
  machine; the 2000-scan JPEG, the slowest legitimate file here, decodes in about a second.
- MEMORY_BUDGET_MIB (300 MiB): the peak resident memory (VmHWM) of the Linux process that runs
  the program. The program itself with a small picture peaks near 35-40 MiB; the largest picture
  the corpus lets through to the decoder is 1x20000 or 600x400 pixels. A decoder that allocates
  for a size the header merely claims (60000x60000 needs 13 GiB) blows it at once.
"""

import os
import sys
import time
from pathlib import Path

import corpus
from frame import (
    CAPTION_CLASS,
    describe,
    DIALOG_CLASS,
    drop_at,
    Frame,
    MAIN_CLASS,
    make_picture,
    OWN_CLASSES,
    own_window,
    run_cases,
    settings,
    SHADOW_CLASS,
    wait_size,
    WM_CLOSE,
)

HANG_BOUND_S = 30.0
MEMORY_BUDGET_MIB = 300
GOOD = (600, 900)
GOOD_SIZE = (98, 146)  # 96x144 for the picture plus the window's 2 px
OTHER = (780, 520)
OTHER_SIZE = (197, 132)

SETTINGS = settings()


# --- looking at the process ------------------------------------------------------------------


def linux_status(frame):
    """VmHWM and VmRSS in KiB of the Linux process that runs this run's Vistrelle.exe."""
    for pid in frame.linux_pids():
        try:
            cmdline = Path(f"/proc/{pid}/cmdline").read_bytes().lower()
            if b"vistrelle.exe" not in cmdline:
                continue
            fields = {}
            for line in Path(f"/proc/{pid}/status").read_text().splitlines():
                key, _, value = line.partition(":")
                fields[key] = value.strip()
            return int(fields["VmHWM"].split()[0]), int(fields["VmRSS"].split()[0])
        except (OSError, KeyError, ValueError):
            continue
    raise AssertionError("expected the Linux process of Vistrelle.exe to be found, found none")


def check_memory(frame, what):
    hwm, rss = linux_status(frame)
    assert hwm <= MEMORY_BUDGET_MIB * 1024, (
        f"{what}: expected the program's peak resident memory within {MEMORY_BUDGET_MIB} MiB, "
        f"got VmHWM {hwm // 1024} MiB (VmRSS now {rss // 1024} MiB)"
    )
    return hwm


def check_alive(frame, what):
    assert frame.running(), (
        f"{what}: expected the program to keep running, it ended with exit code "
        f"{frame.exit_code()}; Wine said: {frame.wine_log()!r}"
    )
    strangers = [w for w in frame.visible_windows() if w.cls not in OWN_CLASSES]
    assert not strangers, (
        f"{what}: expected only the program's own windows and no {DIALOG_CLASS} dialog, got "
        f"also: {describe(strangers)}"
    )


def wait_shown_size(frame, size, what):
    """The visible picture window once its outer size is size (width, height), within the hang
    bound."""
    return wait_size(frame, *size, timeout=HANG_BOUND_S, what=what)


def settled(frame):
    """The picture window once it and its companions are shown and painted: a drop before that
    may land on a window still being placed."""
    frame.wait_main_window(HANG_BOUND_S)
    frame.wait_for(
        "the caption or shadow window shown",
        lambda: {CAPTION_CLASS, SHADOW_CLASS} & {w.cls for w in frame.visible_windows()},
        HANG_BOUND_S,
    )
    time.sleep(0.5)
    return frame.wait_main_window(HANG_BOUND_S)


def drop_files(frame, files, must_accept=True):
    """Drops the files on the picture window. Wine itself refuses some drops before the program
    sees them (a folder, a path longer than MAX_PATH): with must_accept=False a refusal is
    returned instead of failing."""
    # Right after the start Wine sometimes refuses the very first XDND drop on the window (its
    # drop target is not registered with the X window yet): up to three tries, a second apart.
    for attempt in range(3):
        result = drop_at(settled(frame).centre, files=files)
        if result.status_accepted and result.finished_accepted:
            break
        if not must_accept:
            break
        time.sleep(1.0)
    if not must_accept:
        return result
    assert result.status_accepted and result.finished_accepted, (
        f"expected the picture window to accept the dropped files, got {result}; the "
        f"program's windows: {describe(frame.windows())}"
    )
    return result


def good_picture(folder, size=GOOD, name="good.jpg"):
    path = Path(folder) / name
    if not path.exists():
        make_picture(path, *size)
    return path


def then_good_picture_loads(frame, what):
    """The program still takes a drop and loads a good picture."""
    drop_files(frame, [good_picture(frame.folder)])
    wait_shown_size(frame, GOOD_SIZE, f"{what}, then a good 600x900 picture dropped")
    check_alive(frame, what)


# --- hostile pictures ------------------------------------------------------------------------


def startup_case(name):
    def case(exe, probe):
        frame = Frame(exe, probe, picture=None, option_ini=SETTINGS)
        try:
            corpus.write(name, frame.folder, "image.jpg")
        except BaseException:
            frame.stop()
            raise
        with frame:
            started = time.monotonic()
            frame.wait_main_window(HANG_BOUND_S)
            what = f"{name} as image.jpg at start-up"
            check_alive(frame, what)
            time.sleep(1.0)
            check_alive(frame, what)
            hwm = check_memory(frame, what)
            then_good_picture_loads(frame, what)
            print(f"{name}: window after {time.monotonic() - started:.1f} s, VmHWM {hwm // 1024} MiB")

    case.__doc__ = f"The program starts with {name} as its picture."
    return case


for _name in corpus.NAMES:
    globals()[f"case_startup_{_name}"] = startup_case(_name)


def answers_close(frame, what):
    """The program still handles its messages: WM_CLOSE posted to the picture window ends it
    within the hang bound."""
    main = frame.wait_main_window(HANG_BOUND_S)
    frame.post(main, WM_CLOSE)
    code = frame.wait_exit(timeout=HANG_BOUND_S)
    assert code is not None, (
        f"{what}: expected the program to end within {HANG_BOUND_S:.0f} s of WM_CLOSE, it still "
        f"runs with windows: {describe(frame.windows())}"
    )


def drop_case(name):
    def case(exe, probe):
        with Frame(exe, probe, picture=OTHER, option_ini=SETTINGS) as frame:
            wait_shown_size(frame, OTHER_SIZE, "start-up")
            path = corpus.write(name, frame.folder)
            what = f"{name} dropped"
            started = time.monotonic()
            result = drop_files(frame, [path], must_accept=False)
            time.sleep(0.5)
            check_alive(frame, what)
            hwm = check_memory(frame, what)
            # After a picture that does not load, the next drop can land on the shadow window
            # (case drop_after_failed_load): then the program must still answer WM_CLOSE.
            good = drop_files(frame, [good_picture(frame.folder)], must_accept=False)
            if good.finished_accepted:
                wait_shown_size(frame, GOOD_SIZE, f"{what}, then a good 600x900 picture dropped")
                check_alive(frame, what)
                outcome = "good picture loaded after it"
            else:
                outcome = "next drop refused (it went to the shadow window)"
            print(f"{name}: drop {'taken' if result.finished_accepted else 'refused by Wine'}, "
                  f"{outcome}, {time.monotonic() - started:.1f} s, VmHWM {hwm // 1024} MiB")
            answers_close(frame, what)

    case.__doc__ = f"{name} dropped on the running program."
    return case


for _name in corpus.NAMES:
    globals()[f"case_drop_{_name}"] = drop_case(_name)


def case_drop_after_failed_load(exe, probe):
    """A drop must leave the picture window ready for the next one: a good picture dropped
    after an empty file is shown. (Under Wine the picture window ends up under its caption and
    shadow windows after a drop, and the next XDND drop then goes to the shadow window.)"""
    with Frame(exe, probe, picture=OTHER, option_ini=SETTINGS) as frame:
        wait_shown_size(frame, OTHER_SIZE, "start-up")
        drop_files(frame, [corpus.write("zero_bytes", frame.folder)])
        time.sleep(1.0)
        order = [w.cls for w in frame.windows()]
        result = drop_files(frame, [good_picture(frame.folder)], must_accept=False)
        assert result.finished_accepted, (
            f"expected the picture window to take a drop after an empty file was dropped, got "
            f"{result}; the program's windows from the top down: {order}"
        )
        wait_shown_size(frame, GOOD_SIZE, "a good picture dropped after an empty file")


# --- bad settings ----------------------------------------------------------------------------

LONG = "7" * 300
BAD_SETTINGS = {
    # name: (bytes of option.ini or a maker taking the path, caption shown, shadow shown)
    "non_numbers": (
        b"[Main]\r\nFont=\r\nSize=ten\r\nColor1=red\r\nColor2=--1\r\nShowFileName=yes\r\n"
        b"[Shadow]\r\nOffSet=one\r\n",
        False,
        True,
    ),
    "out_of_range": (
        b"[Main]\r\nSize=99999\r\nColor1=99999999999\r\nColor2=-2147483649\r\nShowFileName=True\r\n"
        b"[Shadow]\r\nOffSet=40000\r\n",
        True,
        True,
    ),
    "extremes_in_range": (
        b"[Main]\r\nSize=32767\r\nColor1=-1\r\nColor2=&H7FFFFFFF\r\nShowFileName=-1\r\n"
        b"[Shadow]\r\nOffSet=-32768\r\n",
        True,
        True,
    ),
    "negative_font_size": (
        b"[Main]\r\nFont=Arial\r\nSize=-32768\r\nShowFileName=True\r\n[Shadow]\r\nOffSet=7\r\n",
        True,
        True,
    ),
    "long_lines": (
        (f"[Main]\r\nFont={'W' * 300}\r\nSize={LONG}\r\nColor1={LONG}\r\nShowFileName=True\r\n"
         f"[Shadow]\r\nOffSet={LONG}\r\n{'x' * 300}\r\n").encode(),
        True,
        True,
    ),
    "binary_bytes": (
        b"[Main]\r\nFont=\x00\xff\xfe\x01\r\nSize=\x1a\x00\x07\r\nColor1=\x80\x81\x8d\r\n"
        b"ShowFileName=\x00True\r\n[Shadow]\r\nOffSet=\x001\r\n" + bytes(range(256)) * 4,
        False,
        True,
    ),
    "several_megabytes": (
        b"[Junk]\r\n" + b"k=" + b"v" * 250 + b"\r\n" * 1 + (b"key=" + b"x" * 120 + b"\r\n") * 40000
        + b"[Main]\r\nSize=12\r\nShowFileName=True\r\n[Shadow]\r\nOffSet=2\r\n",
        True,
        True,
    ),
    "directory": ("directory", False, True),
    # chmod 000 does not keep root (the tests' user) from reading; a symbolic link that points
    # at itself cannot be opened by anyone.
    "unreadable_link_loop": ("link_loop", False, True),
    "dangling_link": ("dangling", False, True),
}


def settings_case(name):
    content, caption_shown, shadow_shown = BAD_SETTINGS[name]

    def case(exe, probe):
        frame = Frame(exe, probe, picture=OTHER, option_ini=None)
        ini = Path(frame.folder) / "option.ini"
        if content == "directory":
            ini.mkdir()
        elif content == "link_loop":
            os.symlink(ini.name, ini)
        elif content == "dangling":
            os.symlink(Path(frame.folder) / "no" / "such.ini", ini)
        else:
            ini.write_bytes(content)
        with frame:
            what = f"option.ini {name}"
            wait_shown_size(frame, OTHER_SIZE, what)
            time.sleep(1.5)
            check_alive(frame, what)
            caption = own_window(frame, CAPTION_CLASS)
            shadow = own_window(frame, SHADOW_CLASS)
            got_caption = bool(caption and caption.visible)
            assert got_caption == caption_shown, (
                f"{what}: expected the caption window {'shown' if caption_shown else 'hidden'}, "
                f"got {caption or 'no caption window'}"
            )
            got_shadow = bool(shadow and shadow.visible)
            assert got_shadow == shadow_shown, (
                f"{what}: expected the shadow window {'shown' if shadow_shown else 'hidden'}, "
                f"got {shadow or 'no shadow window'}"
            )
            check_memory(frame, what)
            then_good_picture_loads(frame, what)

    return case


for _name in BAD_SETTINGS:
    globals()[f"case_settings_{_name}"] = settings_case(_name)


# --- awkward paths ---------------------------------------------------------------------------

AWKWARD_NAMES = [
    "山水 画.jpg",
    "🌄 sunrise 🌅.jpg",
    "a & b %20 %s %n ; c;d.jpg",
    "  blanks  before and after  .jpg",
]


def check_caption_up(frame, what):
    caption = own_window(frame, CAPTION_CLASS)
    assert caption and caption.visible, (
        f"{what}: expected the caption window shown with the name, got "
        f"{caption or 'no caption window'}"
    )


def case_paths_awkward_names(exe, probe):
    """Each name dropped: the program lives on and shows the caption; a good picture dropped
    after them all still loads. Which of the names loaded is printed."""
    with Frame(exe, probe, picture=OTHER, option_ini=SETTINGS) as frame:
        wait_shown_size(frame, OTHER_SIZE, "start-up")
        loaded = []
        for i, name in enumerate(AWKWARD_NAMES):
            size, expected = (GOOD, GOOD_SIZE) if i % 2 == 0 else (OTHER, OTHER_SIZE)
            path = Path(frame.folder) / name
            make_picture(path, *size)
            # A drop after a drop may land on the shadow window (drop_after_failed_load).
            taken = drop_files(frame, [path], must_accept=False).finished_accepted
            time.sleep(1.5)
            check_alive(frame, f"{name!r} dropped")
            check_caption_up(frame, f"{name!r} dropped")
            main = own_window(frame, MAIN_CLASS)
            shown = (main.width, main.height) == expected
            loaded.append(f"{name!r} {'taken' if taken else 'refused'}, "
                          f"{'loaded' if shown else 'NOT loaded'}")
        print("; ".join(loaded))
        answers_close(frame, "awkward names dropped")


def case_paths_longer_than_260(exe, probe):
    with Frame(exe, probe, picture=OTHER, option_ini=SETTINGS) as frame:
        wait_shown_size(frame, OTHER_SIZE, "start-up")
        folder = Path(frame.folder)
        for i in range(6):
            folder = folder / (f"level {i} " + "d" * 50)
        folder.mkdir(parents=True)
        path = folder / ("picture " + "p" * 40 + ".jpg")
        make_picture(path, *GOOD)
        assert len("Z:" + str(path)) > 300, f"expected a path over 300 characters, made {path}"
        result = drop_files(frame, [path], must_accept=False)
        print(f"a path of {len(str(path))} characters dropped: {result}")
        # A loader limited to MAX_PATH may refuse it; the program must live on either way.
        time.sleep(2.0)
        check_alive(frame, f"a {len(str(path))}-character path dropped")
        check_caption_up(frame, "a long path dropped")
        main = own_window(frame, MAIN_CLASS)
        print(f"the long path {'loaded' if (main.width, main.height) == GOOD_SIZE else 'NOT loaded'}")
        answers_close(frame, "a long path dropped")


def case_paths_thousand_files(exe, probe):
    with Frame(exe, probe, picture=OTHER, option_ini=SETTINGS) as frame:
        wait_shown_size(frame, OTHER_SIZE, "start-up")
        many = Path(frame.folder) / "many"
        many.mkdir()
        small = many / "small.jpg"
        make_picture(small, 64, 48)
        files = []
        for i in range(999):
            link = many / f"file {i:04d} & more.jpg"
            os.link(small, link)
            files.append(link)
        last = many / "zz last.jpg"
        make_picture(last, *GOOD)
        files.append(last)
        result = drop_files(frame, files)
        wait_shown_size(frame, GOOD_SIZE, f"1000 files dropped ({result})")
        check_alive(frame, "1000 files dropped")
        check_caption_up(frame, "1000 files dropped")


def case_paths_folder_dropped(exe, probe):
    with Frame(exe, probe, picture=OTHER, option_ini=SETTINGS) as frame:
        wait_shown_size(frame, OTHER_SIZE, "start-up")
        folder = Path(frame.folder) / "a folder.jpg"
        folder.mkdir()
        result = drop_files(frame, [folder], must_accept=False)
        print(f"a folder dropped: {result}")
        time.sleep(1.0)
        check_alive(frame, "a folder dropped")
        check_caption_up(frame, "a folder dropped")
        answers_close(frame, "a folder dropped")


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
