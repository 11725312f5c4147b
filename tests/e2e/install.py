#!/usr/bin/python3
"""End-to-end tests of the release packages that the build writes beside the program (dist/,
the vistrelle_packages target): what the zip holds, and the installer run silently in a fresh
Wine prefix of its own: install, start, upgrade over the user's files and a running frame,
uninstall with a frame running.

    install.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import time
import zipfile
from pathlib import Path

from frame import (
    CAPTION_CLASS,
    MAIN_CLASS,
    Frame,
    make_picture,
    own_window,
    run_cases,
    session_env,
    settings,
    started,
    wine_reg,
    WM_CLOSE,
)

TOP = Path(__file__).resolve().parent.parent.parent
SESSION = TOP / "tests" / "harness" / "session"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vistrelle"
# libheif and libde265 are DLLs beside the program, each with its licence's text.
LIBRARY_FILES = ("libheif.dll", "libde265.dll", "COPYING.libheif.txt", "COPYING.libde265.txt")
ZIP_FILES = {"Vistrelle.exe", "option.ini", "image.jpg", "LICENSE.txt", "README.txt", *LIBRARY_FILES}
PROGRAM_FILES = ("Vistrelle.exe", "LICENSE.txt", "README.txt", "Uninstall.exe", *LIBRARY_FILES)


def project_version():
    """The version as the CMake project states it, the one place it is written."""
    text = (TOP / "CMakeLists.txt").read_text()
    found = re.search(r"project\(\s*Vistrelle\s+VERSION\s+([0-9.]+)", text)
    assert found, "expected project(Vistrelle VERSION x.y.z) in CMakeLists.txt"
    return found.group(1)


def package(exe, suffix):
    """The path of one package of this version, which must have been built."""
    path = Path(exe).resolve().parent / "dist" / f"Vistrelle-{project_version()}-{suffix}"
    assert path.is_file(), f"expected the package {path} (built by the vistrelle_packages target)"
    return path


def version_value(exe_bytes, name):
    """A string of a Windows executable's version block (UTF-16: the name, padding, the
    value), or None."""
    key = name.encode("utf-16-le") + b"\0\0"
    at = exe_bytes.find(key)
    if at < 0:
        return None
    at += len(key)
    while exe_bytes[at : at + 2] == b"\0\0":  # padding to a 32-bit boundary
        at += 2
    end = at
    while exe_bytes[end : end + 2] != b"\0\0":
        end += 2
    return exe_bytes[at:end].decode("utf-16-le")


def ini_settings(text):
    """The (section, key, value) lines of a settings file in order, its ; notes left out."""
    found, section = [], None
    for line in text.splitlines():
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        else:
            key, sep, value = line.partition("=")
            assert sep, f"expected a key=value line, got {line!r}"
            found.append((section, key, value))
    return found


def documented_settings():
    """The settings the README shows in its ini block."""
    readme = (TOP / "README.md").read_text()
    block = re.search(r"```ini\n(.*?)```", readme, re.S)
    assert block, "expected an ini block in README.md"
    return ini_settings(block.group(1))


def menu_captions():
    """The captions of the popup's items, as the menu table has them, separators left out."""
    table = (TOP / "resources" / "menu_items.hpp").read_text()
    body = table[table.index("kMenuTable[]") :]
    captions = [c.strip() for c in re.findall(r'u"([^"]*)"', body[: body.index("};")])]
    return [c for c in captions if c != "-"]


# --- the zip -------------------------------------------------------------------------------------


def case_zip_contents(exe, probe):
    path = package(exe, "win64.zip")
    with zipfile.ZipFile(path) as z:
        names = {i.filename for i in z.infolist()}
        assert names == ZIP_FILES, f"expected exactly {sorted(ZIP_FILES)} in {path.name}, got {sorted(names)}"
        files = {name: z.read(name) for name in names}

    built = Path(exe).read_bytes()
    assert files["Vistrelle.exe"] == built, f"expected the zip's Vistrelle.exe to be the built {exe}"
    for name in ("FileVersion", "ProductVersion"):
        got = version_value(built, name)
        assert got == project_version(), f"expected {name} {project_version()!r}, got {got!r}"

    ini = files["option.ini"].decode("cp1252")
    assert "\n" not in ini.replace("\r\n", ""), "expected Windows line ends in option.ini"
    lines = ini.split("\r\n")
    for i, line in enumerate(lines):
        if "=" in line and not line.startswith(";"):
            assert i > 0 and lines[i - 1].startswith(";"), (
                f"expected a ; note on the line above {line!r} in option.ini"
            )
    assert ini_settings(ini) == documented_settings(), (
        f"expected option.ini to hold the README's settings {documented_settings()}, "
        f"got {ini_settings(ini)}"
    )

    with tempfile.TemporaryDirectory() as work:
        sample = Path(work) / "image.jpg"
        subprocess.run([str(TOP / "scripts" / "sample-image.sh"), str(sample)], check=True)
        assert files["image.jpg"] == sample.read_bytes(), (
            "expected the zip's image.jpg to be the one scripts/sample-image.sh draws"
        )

    licence = (TOP / "LICENSE").read_text()
    text = files["LICENSE.txt"].decode("utf-8-sig")
    assert text.startswith(licence.replace("\n", "\r\n")) and "\n" not in text.replace("\r\n", ""), (
        "expected LICENSE.txt to begin with LICENSE, with Windows line ends"
    )
    for notice in ("Independent JPEG Group", "Marti Maria", "Jean-loup Gailly", "Google Inc.",
                   "VideoLAN and dav1d authors", "Eric S. Raymond", "libheif 1.15.1",
                   "libde265 1.0.11", "-sources.tar"):
        assert notice in text, f"expected LICENSE.txt to hold the libraries' notices, missing {notice!r}"
    assert licence.startswith("MIT License") and "2026 the Vistrelle authors" in licence

    readme = files["README.txt"].decode("utf-8")
    missing = [c for c in menu_captions() if c not in readme]
    assert not missing, f"expected README.txt to explain every menu item, missing {missing}"
    keys = [key for _, key, _ in documented_settings()]
    missing = [k for k in keys if f"{k}=" not in readme]
    assert not missing, f"expected README.txt to name every setting, missing {missing}"
    for topic in ("Several frames", "/STARTUP", project_version()):
        assert topic in readme, f"expected README.txt to mention {topic!r}"

    setup = package(exe, "setup.exe").read_bytes()
    got = version_value(setup, "ProductVersion")
    assert got == project_version(), f"expected the installer's ProductVersion {project_version()}, got {got!r}"


def case_zip_starts(exe, probe):
    """The program unpacked from the zip starts with the DLLs beside it and decodes with them."""
    with tempfile.TemporaryDirectory() as work:
        with zipfile.ZipFile(package(exe, "win64.zip")) as z:
            z.extractall(work)
        with Frame(Path(work) / "Vistrelle.exe", probe, picture=(780, 520), debug=True) as frame:
            frame.wait_main_window()
            lines = frame.debug_lines()
            assert any("libheif 1.15.1" in line for line in lines), (
                f"expected the frame to report the libheif it loaded, got {lines}"
            )
    tar = package(exe, "sources.tar")
    with tarfile.open(tar) as archive:
        names = {Path(n).name for n in archive.getnames()}
    for name in ("libheif", "libde265", "dav1d", "libwebp", "giflib", "libjpeg-turbo", "lcms2"):
        assert any(n.startswith(name + "_") and n.endswith(".dsc") for n in names), (
            f"expected {tar.name} to hold the source package {name}, got {sorted(names)}"
        )


# --- the installer -------------------------------------------------------------------------------


class FreshPrefix:
    """A Wine session of its own for one case: a new prefix and wineserver (prepared as the
    tests' shared one is) on the shared test display. The frame module's helpers (the probe,
    wine_reg) work in it, since its environment is the first they ask for. Leaving ends every
    process of the prefix and removes it."""

    def __enter__(self):
        shared = subprocess.run(
            [str(SESSION), "env"], check=True, stdout=subprocess.PIPE, text=True
        ).stdout
        display = dict(line.split("=", 1) for line in shared.splitlines() if "=" in line)["DISPLAY"]
        self.dir = Path(tempfile.mkdtemp(prefix="vistrelle-install-"))
        os.environ["VISTRELLE_SESSION_DIR"] = str(self.dir / "session")
        os.environ["VISTRELLE_SESSION_DISPLAY"] = display
        self.env = session_env()
        assert self.env["WINEPREFIX"].startswith(str(self.dir)), (
            f"expected the case's own prefix under {self.dir}, got {self.env['WINEPREFIX']} "
            "(the frame module already had a session)"
        )
        self.drive_c = Path(self.env["WINEPREFIX"]) / "drive_c"
        return self

    def __exit__(self, *exc):
        subprocess.run([str(SESSION), "stop"], env=os.environ, check=False)
        shutil.rmtree(self.dir, ignore_errors=True)
        return False

    def unix_path(self, windows):
        """The Linux path of a C: path of the prefix."""
        assert windows[:3].upper() == "C:\\", f"expected a path on C:, got {windows!r}"
        return self.drive_c.joinpath(*windows[3:].split("\\"))

    def run(self, *command, timeout=60):
        """Runs a Windows program to its end; returns its exit code."""
        return subprocess.run(
            [self.env["WINE"], *command],
            env=self.env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            timeout=timeout,
        ).returncode


class InstalledFrame(Frame):
    """The installed program, started from its program folder as its shortcuts start it. Unlike
    a Frame's run in a copy of its own, the folder is left as it is."""

    def __init__(self, folder, windows_folder, probe):
        self.exe = folder / "Vistrelle.exe"
        self.probe = Path(probe)
        self.folder = folder
        self.windows_exe = windows_folder + "\\Vistrelle.exe"
        self.tag = self.windows_exe.lower()
        self.process = None
        self.pid = None
        self.log = tempfile.TemporaryFile()

    def program(self):
        return self.windows_exe

    def open_log(self):
        return self.log

    def wine_log(self):
        self.log.seek(0)
        return self.log.read().decode("utf-8", "replace")[-2000:]

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        self.log.close()


def uninstall_entry():
    """The values of the Apps & features entry, or None when there is none."""
    code, out = wine_reg("query", UNINSTALL_KEY)
    if code != 0:
        return None
    values = {}
    for line in out.splitlines():
        fields = line.strip().split(None, 2)
        if len(fields) >= 2 and fields[1].startswith("REG_"):
            values[fields[0]] = fields[2] if len(fields) == 3 else ""
    return values


def shortcuts(prefix):
    """The Start-menu folder of the prefix's user, and the Vistrelle shortcuts in it."""
    menus = list(prefix.drive_c.glob("users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"))
    assert len(menus) == 1, f"expected one user's Start menu in the prefix, got {menus}"
    # Windows' names are case-blind (Wine's folder is "StartUp"): compared in lower case.
    links = sorted(p.relative_to(menus[0]) for p in menus[0].rglob("Vistrelle*.lnk"))
    return menus[0], links


def lower_names(links):
    return sorted(str(p).lower() for p in links)


def check_installed(prefix, entry, version, startup):
    for name in ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "EstimatedSize",
                 "UninstallString", "QuietUninstallString", "InstallLocation"):
        assert entry.get(name), f"expected {name} in {UNINSTALL_KEY}, got {entry}"
    assert entry["DisplayName"] == "Vistrelle" and entry["DisplayVersion"] == version, entry
    folder = entry["InstallLocation"]
    assert folder.lower().endswith(r"\appdata\local\programs\vistrelle"), (
        f"expected the program in %LOCALAPPDATA%\\Programs\\Vistrelle, got {folder}"
    )
    assert entry["QuietUninstallString"] == f'"{folder}\\Uninstall.exe" /S', entry
    assert entry["DisplayIcon"] == f"{folder}\\Vistrelle.exe,0", entry
    size_kib = int(entry["EstimatedSize"], 16)
    files = prefix.unix_path(folder)
    on_disk = sum(p.stat().st_size for p in files.iterdir()) // 1024
    assert abs(size_kib - on_disk) <= 8, f"expected EstimatedSize near {on_disk} KiB, got {size_kib}"
    for name in PROGRAM_FILES + ("option.ini", "image.jpg"):
        assert (files / name).is_file(), f"expected {name} in {files}"
    menu, links = shortcuts(prefix)
    expected = ["startup/vistrelle.lnk"] if startup else []
    expected.append("vistrelle.lnk")
    assert lower_names(links) == expected, f"expected the shortcuts {expected} in {menu}, got {links}"
    for link in links:
        text = (menu / link).read_bytes()
        # A shortcut names its target and its working folder in UTF-16.
        for wanted in (folder + "\\Vistrelle.exe", folder):
            assert (wanted + "\0").encode("utf-16-le") in text, f"expected {link} to name {wanted}"
    return files


def check_frame_starts(folder, windows_folder, probe):
    """The installed program shows its frame: the sample picture at its size (so it read
    image.jpg from its folder) and its caption (ShowFileName of the annotated option.ini, read
    past its notes: without the setting the caption is hidden)."""
    with InstalledFrame(folder, windows_folder, probe) as frame:
        main = started(frame, caption=True)
        assert (main.width, main.height) == (197, 132), f"expected the sample picture's 197x132 frame, got {main}"
        caption = own_window(frame, CAPTION_CLASS)
        assert caption is not None and caption.visible, f"expected the caption shown, got {caption}"
        frame.post(main, WM_CLOSE)
        assert frame.wait_exit() is not None, "expected the program to end on WM_CLOSE"


def uninstall(prefix, entry):
    """Runs the quiet uninstall command as Apps & features would and waits for it to finish:
    the uninstaller goes on from a copy of itself in the temporary folder, and removes the
    entry last."""
    command = entry["QuietUninstallString"]
    found = re.fullmatch(r'"([^"]+)"\s+(.*)', command)
    assert found, f"expected a quoted program and its switches, got {command!r}"
    assert prefix.run(found.group(1), *found.group(2).split()) == 0
    deadline = time.monotonic() + 30
    while uninstall_entry() is not None:
        assert time.monotonic() < deadline, "expected the uninstaller to remove its entry within 30 s"
        time.sleep(0.2)
    time.sleep(0.5)  # its last moments after the registry


def installed_frames(frame, windows_exe):
    """The processes that show a picture window and run the program windows_exe."""
    return {w.pid for w in frame.all_windows()
            if w.cls == MAIN_CLASS and w.visible and w.image.lower() == windows_exe.lower()}


def case_install_upgrade_uninstall(exe, probe):
    setup = package(exe, "setup.exe")
    version = project_version()
    with FreshPrefix() as prefix:
        # 1. A first silent install, without starting at sign-in.
        assert prefix.run(str(setup), "/S") == 0, "expected the silent install to succeed"
        entry = uninstall_entry()
        assert entry is not None, f"expected the entry {UNINSTALL_KEY} after the install"
        folder = check_installed(prefix, entry, version, startup=False)
        assert (folder / "Vistrelle.exe").read_bytes() == Path(exe).read_bytes()
        check_frame_starts(folder, entry["InstallLocation"], probe)

        # 2. The user changes the settings; an upgrade (with /STARTUP) keeps them. It comes while
        # the installed program (an older build) shows a frame, and a copy in another folder
        # another: the first is closed, replaced and started again; the second runs on.
        changed_ini = (folder / "option.ini").read_bytes() + b"; my own note\r\n"
        (folder / "option.ini").write_bytes(changed_ini)
        installed_picture = (folder / "image.jpg").read_bytes()
        (folder / "Vistrelle.exe").write_bytes(Path(exe).read_bytes() + b"an older build")
        program = entry["InstallLocation"] + "\\Vistrelle.exe"
        with InstalledFrame(folder, entry["InstallLocation"], probe) as old, \
                Frame(exe, probe, option_ini=settings()) as elsewhere:
            started(old)
            started(elsewhere)
            assert prefix.run(str(setup), "/S", "/STARTUP") == 0, "expected the upgrade to succeed"
            assert old.wait_exit() is not None, "expected the upgrade to close the running frame"
            assert (folder / "Vistrelle.exe").read_bytes() == Path(exe).read_bytes(), (
                "expected the upgrade to replace the program that was running"
            )
            again = elsewhere.wait_for("the closed frame started again by the upgrade",
                                       lambda: installed_frames(elsewhere, program) - {old.pid})
            assert len(again) == 1, f"expected one frame started again, got processes {again}"
            elsewhere.wait_main_window()
            check_installed(prefix, uninstall_entry(), version, startup=True)
            assert (folder / "option.ini").read_bytes() == changed_ini, "expected the upgrade to keep the changed option.ini"
            assert (folder / "image.jpg").read_bytes() == installed_picture

            # 3. The user puts in a picture of their own; the uninstall, while the frame started
            # again runs, closes it and keeps the picture and the settings.
            make_picture(folder / "image.jpg", 300, 200)
            own_picture = (folder / "image.jpg").read_bytes()
            uninstall(prefix, entry)
            elsewhere.wait_for("the uninstall to close the installed frame",
                               lambda: not installed_frames(elsewhere, program))
            elsewhere.wait_main_window()
        for name in PROGRAM_FILES:
            assert not (folder / name).exists(), f"expected the uninstall to remove {name}"
        menu, links = shortcuts(prefix)
        assert not links, f"expected no Vistrelle shortcut in {menu} after the uninstall, got {links}"
        assert folder.is_dir(), "expected the program folder to stay around the user's files"
        left = sorted(p.name for p in folder.iterdir())
        assert left == ["image.jpg", "option.ini"], f"expected only the user's two files to stay, got {left}"
        assert (folder / "image.jpg").read_bytes() == own_picture
        assert (folder / "option.ini").read_bytes() == changed_ini

        # 4. Installed afresh and uninstalled untouched, nothing is left, not even the folder.
        shutil.rmtree(folder)
        assert prefix.run(str(setup), "/S") == 0
        entry = uninstall_entry()
        check_installed(prefix, entry, version, startup=False)
        uninstall(prefix, entry)
        assert not folder.exists(), f"expected no program folder after uninstalling an untouched install, got {sorted(p.name for p in folder.iterdir())}"
        assert not shortcuts(prefix)[1]


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
