#!/usr/bin/python3
"""Starts Vistrelle.exe from its program folder under Wine in the run command's session, after
giving the X display and the Wine prefix the same tiled wallpaper (unless --no-wallpaper).

    desktop.py FOLDER [--no-wallpaper]

Why both: without a window manager the X root window is the desktop a person sees, while the
program draws the caption's backdrop from the wallpaper the prefix reports. With the same
picture tiled from the screen's top left corner on both, the file name stands on the wallpaper
as it does on Windows. The picture is the project's own, drawn here (wallpaper.bmp beside the
program folder).
"""

import argparse
import math
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from frame import session_env, Wallpaper, write_bmp  # noqa: E402

TILE = 96  # pixels square; the pattern repeats seamlessly at this period


def tile_pixel(x, y):
    """A quiet slate-blue weave: two crossing waves of one period, so that tiles meet
    without a seam."""
    u = math.sin(2 * math.pi * (x + y) / TILE)
    v = math.sin(2 * math.pi * (x - y) / TILE)
    light = 0.5 + 0.25 * (u + v)  # 0 to 1
    return (
        round(46 + 40 * light),
        round(74 + 46 * light),
        round(102 + 52 * light),
    )


def set_x_root(path):
    """Shows the picture tiled from the screen's top left corner on the X root window, as
    Windows tiles a wallpaper. hsetroot's own tiling starts from another corner, so it is given
    one screen-sized picture to centre; it also publishes that as the root's background pixmap,
    which is what the compositor paints."""
    env = session_env()
    info = subprocess.run(
        ["xwininfo", "-root"], env=env, check=True, stdout=subprocess.PIPE, text=True
    ).stdout
    size = {}
    for line in info.splitlines():
        key, _, value = line.strip().partition(":")
        if key in ("Width", "Height"):
            size[key] = int(value)
    screen = path.with_name("wallpaper-screen.png")
    subprocess.run(
        ["convert", "-size", f"{size['Width']}x{size['Height']}", f"tile:{path}", str(screen)],
        check=True,
    )
    subprocess.run(["hsetroot", "-center", str(screen)], env=env, check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", type=Path, help="the program folder with Vistrelle.exe")
    parser.add_argument(
        "--no-wallpaper", action="store_true", help="leave the display's and prefix's desktop alone"
    )
    args = parser.parse_args()
    folder = args.folder.resolve()
    env = session_env()
    command = [env["WINE"], str(folder / "Vistrelle.exe")]
    if args.no_wallpaper:
        return subprocess.run(command, cwd=folder, env=env).returncode
    picture = folder.parent / "wallpaper.bmp"
    if not picture.is_file():
        write_bmp(picture, TILE, TILE, tile_pixel)
    set_x_root(picture)
    # The prefix is the run command's own, so the wallpaper stays set after the program ends:
    # the settings are entered and never left (leaving would run Wine again, and after a
    # `session stop` that would make a new prefix in the session's place).
    Wallpaper(picture, tile=True).__enter__()
    return subprocess.run(command, cwd=folder, env=env).returncode


if __name__ == "__main__":
    sys.exit(main())
