#!/usr/bin/python3
"""End-to-end robustness tests: hostile pictures, bad settings files and awkward paths given to
the real Vistrelle.exe under Wine. Whatever it is given, the program must keep running and
answering, come back within a time bound, stay within a memory budget, and still show a good
picture afterwards.

    hostile.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list

The pictures come from corpus.py; each is given to the program twice: as image.jpg at start-up
(one case each, startup_<name>) and dropped on a running program (all of them in turn on one
run, case drops). After each, a good picture is dropped and the picture window must take its
size: proof that the program still takes drops, handles its messages and loads pictures.

Bounds, and why:
- HANG_BOUND_S (30 s): from the start until the picture window shows, from a drop until the
  program has answered it, and from the good drop until the window has the good picture's size.
  A normal start under Wine takes 1 to 6 s on the 2-core CI machine; the 2000-scan JPEG, the
  slowest legitimate file here, decodes in about a second.
- MEMORY_BUDGET_MIB (300 MiB): the peak resident memory (VmHWM) of the Linux process that runs
  the program, from its start or, for a drop, from just before it (the peak is set back to the
  present before each drop). The program itself with a small picture peaks near 35-40 MiB; the
  largest picture the corpus lets through to the decoder is 1x20000 or 600x400 pixels. A decoder
  that allocates for a size the header merely claims (60000x60000 needs 13 GiB) blows it at once.
"""

import os
import sys
import time
from pathlib import Path

import corpus
from frame import (
    CAPTION_CLASS,
    DIALOG_CLASS,
    MAIN_CLASS,
    OWN_CLASSES,
    SHADOW_CLASS,
    Frame,
    describe,
    drop_files,
    in_turn,
    limit,
    make_picture,
    own_window,
    run_cases,
    settings,
    wait_size,
)

HANG_BOUND_S = 30.0
MEMORY_BUDGET_MIB = 300
# The good pictures (width, height) and the picture window's outer size for each.
GOOD = {(600, 900): (98, 146), (780, 520): (197, 132)}
OTHER, OTHER_SIZE = (780, 520), (197, 132)

SETTINGS = settings()


# --- looking at the process ------------------------------------------------------------------


def linux_process(frame):
    """/proc/PID of the Linux process that runs this run's Vistrelle.exe."""
    for pid in frame.linux_pids():
        proc = Path(f"/proc/{pid}")
        try:
            if b"vistrelle.exe" in (proc / "cmdline").read_bytes().lower():
                return proc
        except OSError:
            continue
    raise AssertionError("expected the Linux process of Vistrelle.exe to be found, found none")


def reset_peak(frame):
    """Sets the process's peak resident memory back to what it uses now, so that the next
    check_memory measures what comes after (Linux's clear_refs 5)."""
    (linux_process(frame) / "clear_refs").write_text("5")


def check_memory(frame, what):
    fields = {}
    for line in (linux_process(frame) / "status").read_text().splitlines():
        key, _, value = line.partition(":")
        fields[key] = value.strip()
    hwm, rss = int(fields["VmHWM"].split()[0]), int(fields["VmRSS"].split()[0])
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


def then_good_picture_loads(frame, what):
    """The program still takes a drop and loads a good picture: of the two good pictures, the
    one whose size the window does not have now, so that the new size proves the load."""
    now = frame.wait_main_window(HANG_BOUND_S)
    picture, size = next((p, s) for p, s in GOOD.items() if s != (now.width, now.height))
    path = frame.folder / f"good-{picture[0]}x{picture[1]}.jpg"
    if not path.exists():
        make_picture(path, *picture)
    drop_files(frame, [path], timeout=HANG_BOUND_S)
    wait_size(frame, *size, timeout=HANG_BOUND_S,
              what=f"{what}, then a good {picture[0]}x{picture[1]} picture dropped")
    check_alive(frame, what)


# --- hostile pictures ------------------------------------------------------------------------


def startup_case(name):
    def case(exe, probe):
        def write(path):
            corpus.write(name, path.parent, path.name)

        with Frame(exe, probe, picture=write, option_ini=SETTINGS) as frame:
            started = time.monotonic()
            what = f"{name} as image.jpg at start-up"
            frame.wait_main_window(HANG_BOUND_S)
            shown = time.monotonic() - started
            check_alive(frame, what)
            then_good_picture_loads(frame, what)
            hwm = check_memory(frame, what)
            print(f"{name}: window after {shown:.1f} s, VmHWM {hwm // 1024} MiB")

    case.__doc__ = f"The program starts with {name} as its picture."
    return case


for _name in corpus.NAMES:
    globals()[f"case_startup_{_name}"] = startup_case(_name)


def drop_hostile(frame, name):
    what = f"{name} dropped"
    path = corpus.write(name, frame.folder)
    reset_peak(frame)
    started = time.monotonic()
    result = drop_files(frame, [path], must_accept=False, timeout=HANG_BOUND_S)
    check_alive(frame, what)
    hwm = check_memory(frame, what)
    then_good_picture_loads(frame, what)
    print(f"{name}: drop {'taken' if result.finished_accepted else 'refused by Wine'}, good "
          f"picture loaded after it, {time.monotonic() - started:.1f} s, VmHWM {hwm // 1024} MiB")


@limit(900)
def case_drops(exe, probe):
    """Every hostile picture dropped in turn on one running program, each followed by a good
    one, which must be taken and shown (after an empty file too, whose failed load once left
    the next drop to the shadow window). A fresh run takes a good drop first: a hostile drop
    then reaches a drop target known to work, and a refusal is the file's."""
    in_turn(
        ((n, n) for n in corpus.NAMES),
        lambda: Frame(exe, probe, picture=OTHER, option_ini=SETTINGS),
        drop_hostile,
        ready=lambda frame: then_good_picture_loads(frame, "start-up"),
    )


# --- bad settings ----------------------------------------------------------------------------

LONG = "7" * 300
BAD_SETTINGS = {
    # name: (bytes of option.ini or what to put there instead, caption shown)
    "non_numbers": (
        b"[Main]\r\nFont=\r\nSize=ten\r\nColor1=red\r\nColor2=--1\r\nShowFileName=yes\r\n"
        b"[Shadow]\r\nOffSet=one\r\n",
        False,
    ),
    "out_of_range": (
        b"[Main]\r\nSize=99999\r\nColor1=99999999999\r\nColor2=-2147483649\r\nShowFileName=True\r\n"
        b"[Shadow]\r\nOffSet=40000\r\n",
        True,
    ),
    "extremes_in_range": (
        b"[Main]\r\nSize=32767\r\nColor1=-1\r\nColor2=&H7FFFFFFF\r\nShowFileName=-1\r\n"
        b"[Shadow]\r\nOffSet=-32768\r\n",
        True,
    ),
    "negative_font_size": (
        b"[Main]\r\nFont=Arial\r\nSize=-32768\r\nShowFileName=True\r\n[Shadow]\r\nOffSet=7\r\n",
        True,
    ),
    "long_lines": (
        (f"[Main]\r\nFont={'W' * 300}\r\nSize={LONG}\r\nColor1={LONG}\r\nShowFileName=True\r\n"
         f"[Shadow]\r\nOffSet={LONG}\r\n{'x' * 300}\r\n").encode(),
        True,
    ),
    "binary_bytes": (
        b"[Main]\r\nFont=\x00\xff\xfe\x01\r\nSize=\x1a\x00\x07\r\nColor1=\x80\x81\x8d\r\n"
        b"ShowFileName=\x00True\r\n[Shadow]\r\nOffSet=\x001\r\n" + bytes(range(256)) * 4,
        False,
    ),
    "several_megabytes": (
        b"[Junk]\r\n" + b"k=" + b"v" * 250 + b"\r\n" * 1 + (b"key=" + b"x" * 120 + b"\r\n") * 40000
        + b"[Main]\r\nSize=12\r\nShowFileName=True\r\n[Shadow]\r\nOffSet=2\r\n",
        True,
    ),
    "directory": ("directory", False),
    # chmod 000 does not keep root (the tests' user) from reading; a symbolic link that points
    # at itself cannot be opened by anyone.
    "unreadable_link_loop": ("link_loop", False),
    "dangling_link": ("dangling", False),
}


def settings_case(name):
    content, caption_shown = BAD_SETTINGS[name]

    def case(exe, probe):
        frame = Frame(exe, probe, picture=OTHER, option_ini=None)
        ini = frame.folder / "option.ini"
        if content == "directory":
            ini.mkdir()
        elif content == "link_loop":
            os.symlink(ini.name, ini)
        elif content == "dangling":
            os.symlink(frame.folder / "no" / "such.ini", ini)
        else:
            ini.write_bytes(content)
        with frame:
            what = f"option.ini {name}"
            wait_size(frame, *OTHER_SIZE, timeout=HANG_BOUND_S, what=what)
            # The caption is shown, or not, before the shadow, which every setting here shows.
            frame.wait_for(f"{what}: the shadow window shown",
                           lambda: SHADOW_CLASS in {w.cls for w in frame.visible_windows()})
            check_alive(frame, what)
            caption = own_window(frame, CAPTION_CLASS)
            assert bool(caption and caption.visible) == caption_shown, (
                f"{what}: expected the caption window {'shown' if caption_shown else 'hidden'}, "
                f"got {caption or 'no caption window'}"
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


def awkward_names(frame):
    """Each name dropped: the program lives on and shows the caption. Which of the names
    loaded is printed."""
    loaded = []
    for i, name in enumerate(AWKWARD_NAMES):
        picture, size = list(GOOD.items())[i % 2]
        path = frame.folder / name
        make_picture(path, *picture)
        taken = drop_files(frame, [path], must_accept=False).finished_accepted
        check_alive(frame, f"{name!r} dropped")
        check_caption_up(frame, f"{name!r} dropped")
        main = own_window(frame, MAIN_CLASS)
        shown = (main.width, main.height) == size
        loaded.append(f"{name!r} {'taken' if taken else 'refused'}, "
                      f"{'loaded' if shown else 'NOT loaded'}")
    print("; ".join(loaded))


def longer_than_260(frame):
    folder = frame.folder
    for i in range(6):
        folder = folder / (f"level {i} " + "d" * 50)
    folder.mkdir(parents=True)
    path = folder / ("picture " + "p" * 40 + ".jpg")
    make_picture(path, 600, 900)
    assert len("Z:" + str(path)) > 300, f"expected a path over 300 characters, made {path}"
    # A loader limited to MAX_PATH may refuse it; the program must live on either way.
    result = drop_files(frame, [path], must_accept=False)
    check_alive(frame, f"a {len(str(path))}-character path dropped")
    check_caption_up(frame, "a long path dropped")
    main = own_window(frame, MAIN_CLASS)
    print(f"a path of {len(str(path))} characters dropped: {result}; "
          f"{'loaded' if (main.width, main.height) == (98, 146) else 'NOT loaded'}")


def thousand_files(frame):
    many = frame.folder / "many"
    many.mkdir()
    small = many / "small.jpg"
    make_picture(small, 64, 48)
    files = []
    for i in range(999):
        link = many / f"file {i:04d} & more.jpg"
        os.link(small, link)
        files.append(link)
    last = many / "zz last.jpg"
    make_picture(last, 600, 900)
    files.append(last)
    result = drop_files(frame, files)
    wait_size(frame, 98, 146, what=f"1000 files dropped ({result})")
    check_alive(frame, "1000 files dropped")
    check_caption_up(frame, "1000 files dropped")


def folder_dropped(frame):
    folder = frame.folder / "a folder.jpg"
    folder.mkdir()
    print(f"a folder dropped: {drop_files(frame, [folder], must_accept=False)}")
    check_alive(frame, "a folder dropped")
    check_caption_up(frame, "a folder dropped")


@limit(300)
def case_paths(exe, probe):
    """Awkward names, a path longer than 260 characters, a thousand files and a folder dropped
    in turn on one running program; after each a good picture must still load."""

    def check(frame, drop):
        drop(frame)
        then_good_picture_loads(frame, drop.__name__)

    steps = (awkward_names, longer_than_260, thousand_files, folder_dropped)
    in_turn(((s.__name__, s) for s in steps),
            lambda: Frame(exe, probe, picture=OTHER, option_ini=SETTINGS), check)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
