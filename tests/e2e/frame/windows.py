"""The top-level windows as the window system sees them: the class names, messages and styles
the cases use, `Window` (one line of vistrelle_probe's list), and looking a run's windows up by
class.
"""

from dataclasses import dataclass

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
WS_EX_LAYERED = 0x00080000
WS_BORDER = 0x00800000

MAIN_CLASS = "VistrelleMain"
SHADOW_CLASS = "VistrelleShadow"
CAPTION_CLASS = "VistrelleCaption"
OWN_CLASSES = (MAIN_CLASS, SHADOW_CLASS, CAPTION_CLASS)
DIALOG_CLASS = "#32770"
MENU_CLASS = "#32768"


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

    @classmethod
    def parse(cls, line):
        """The window of one line of `vistrelle_probe list` (tab-separated fields), or None when
        the line is not one."""
        f = line.split("\t")
        if len(f) != 12:
            return None
        return cls(
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

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top

    @property
    def rect(self):
        """(left, top, right, bottom), right and bottom exclusive."""
        return (self.left, self.top, self.right, self.bottom)

    @property
    def centre(self):
        """The point in the middle of the window, (x, y) on the screen."""
        return (self.left + self.width // 2, self.top + self.height // 2)

    def __str__(self):
        return (
            f"{self.cls!r} title {self.title!r} hwnd {self.hwnd:#x} "
            f"{'visible' if self.visible else 'hidden'} at ({self.left},{self.top}) "
            f"size {self.width}x{self.height} style {self.style:#x} exstyle {self.exstyle:#x}"
        )


def describe(windows):
    return "; ".join(str(w) for w in windows) if windows else "no window"


def own_window(frame, cls):
    """The program's window of a class (hidden or not), or None."""
    found = [w for w in frame.windows() if w.cls == cls]
    return found[0] if found else None


def visible_menus(frame):
    """The program's open popup menu windows."""
    return [w for w in frame.visible_windows() if w.cls == MENU_CLASS]
