"""The desktop around the program, as the session's Wine registry holds it: running Wine's reg,
and `Wallpaper`, the desktop wallpaper set for a while.
"""

from .session import run_wine, windows_path

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def wine_reg(*args):
    """Runs Wine's reg with the arguments; returns (exit code, output without CRs)."""
    code, out, _ = run_wine(["reg", *args], merge_stderr=True)
    return code, out.replace("\r", "")


def _desktop_value(name, kind="REG_SZ"):
    """A value of the session's desktop settings (a REG_SZ as text, a REG_DWORD as a number),
    or None when it is not there."""
    code, out = wine_reg("query", DESKTOP_KEY, "/v", name)
    if code != 0:
        return None
    for line in out.splitlines():
        fields = line.strip().split(None, 2)
        if len(fields) >= 2 and fields[0] == name and fields[1] == kind:
            value = fields[2] if len(fields) == 3 else ""
            return int(value, 16) if kind == "REG_DWORD" else value
    return None


def _set_desktop_value(name, value, kind="REG_SZ"):
    if value is None:
        wine_reg("delete", DESKTOP_KEY, "/v", name, "/f")
    elif wine_reg("add", DESKTOP_KEY, "/v", name, "/t", kind, "/d", str(value), "/f")[0] != 0:
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


class DisplayScale:
    """The display scale of the programs started while it is in force: Wine reads the dpi once
    per process, when it starts, from LogPixels in the desktop settings. Leaving the `with`
    block puts the old value back (or none)."""

    def __init__(self, dpi):
        self.dpi = dpi

    def __enter__(self):
        self.old = _desktop_value("LogPixels", "REG_DWORD")
        _set_desktop_value("LogPixels", self.dpi, "REG_DWORD")
        return self

    def __exit__(self, *exc):
        _set_desktop_value("LogPixels", self.old, "REG_DWORD")
        return False
