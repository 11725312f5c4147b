"""The desktop around the program, as the session's Wine registry holds it: running Wine's reg,
and `Wallpaper`, the desktop wallpaper set for a while.
"""

from .session import run_wine, windows_path

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def wine_reg(*args):
    """Runs Wine's reg with the arguments; returns (exit code, output without CRs)."""
    code, out, _ = run_wine(["reg", *args], merge_stderr=True)
    return code, out.replace("\r", "")


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
