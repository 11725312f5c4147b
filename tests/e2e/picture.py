#!/usr/bin/python3
"""End-to-end tests of the picture as the frame shows it on the screen, run against the real
Vistrelle.exe under Wine: pictures whose every part has a known colour, in each format Windows
reads, are shown one after the other on one running program (the first at start-up, the others
dropped on it), and the screen is read where the picture window stands.

    picture.py --exe Vistrelle.exe --probe vistrelle_probe.exe [--case NAME ...] | --list
"""

import subprocess
import sys

from frame import (
    CAPTION_CLASS,
    Frame,
    Screen,
    client_rect,
    close,
    drop_files,
    drop_resized,
    in_turn,
    limit,
    own_window,
    png,
    run_cases,
    settings,
    started,
    wait_for_screen,
    wait_size,
)
from frame.menu import LARGE, SIZE, choose

SETTINGS = settings()

# Four solid quarters: top left, top right, bottom left, bottom right.
QUARTERS = ((214, 40, 48), (36, 168, 72), (40, 76, 204), (240, 196, 40))
QUARTER_NAMES = ("top left", "top right", "bottom left", "bottom right")

# A JPEG of solid areas comes back within a few steps of its colours; averaging adds nothing
# inside an area.
TOLERANCE = 16

# The picture window's background colour.
BACKGROUND = (32, 32, 32)


def make_quarters(path, width, height, fmt="jpeg", inks=()):
    """A picture of four solid quarters in the QUARTERS colours (width and height even); as a
    JPEG without chroma subsampling, so that the edges between the quarters stay where they
    are. inks: more options for ImageMagick's output, such as a CMYK colour space."""
    w, h = width // 2, height // 2
    fill = []
    for colour, (x0, y0, x1, y1) in zip(QUARTERS[1:], ((w, 0, width, h), (0, h, w, height),
                                                       (w, h, width, height))):
        fill += ["-fill", "rgb(%d,%d,%d)" % colour, "-draw",
                 f"rectangle {x0},{y0} {x1 - 1},{y1 - 1}"]
    subprocess.run(
        ["convert", "-size", f"{width}x{height}", "xc:rgb(%d,%d,%d)" % QUARTERS[0], *fill,
         "-sampling-factor", "1x1", "-quality", "95", *inks, f"{fmt}:{path}"],
        check=True,
    )


def picture_area(frame, shown_width, shown_height):
    """The screen rectangle where the picture must stand: the top left corner of the picture
    window's client area, at the display size. Checks that the window has room for it."""
    main = frame.wait_main_window()
    left, top, right, bottom = client_rect(main)
    assert right - left >= shown_width and bottom - top >= shown_height, (
        f"expected a picture window with room for the picture at {shown_width}x{shown_height} "
        f"px, got a client area of {right - left}x{bottom - top} px ({main})"
    )
    return (left, top, left + shown_width, top + shown_height)


def quarters_problem(screen, area, keep_off=1.5, colours=QUARTERS):
    """What is wrong with the four quarters of the picture in the area of the screen, or None.
    Points within keep_off pixels of the line between two quarters are not judged (the scaler
    mixes the two colours there); every other point is, on a grid of every third pixel, and the
    four corner pixels of the area always are."""
    left, top, right, bottom = area
    width, height = right - left, bottom - top
    xs = sorted(set(range(0, width, 3)) | {width - 1})
    ys = sorted(set(range(0, height, 3)) | {height - 1})
    wrong = []
    for y in ys:
        if abs(y + 0.5 - height / 2) < keep_off:
            continue
        for x in xs:
            if abs(x + 0.5 - width / 2) < keep_off:
                continue
            q = (2 if y >= height / 2 else 0) + (1 if x >= width / 2 else 0)
            got = screen.at(left + x, top + y)
            if not close(got, colours[q], TOLERANCE):
                wrong.append(f"({x},{y}) in the {QUARTER_NAMES[q]} quarter: {got}")
    if wrong:
        return (
            f"expected the picture's four quarters {dict(zip(QUARTER_NAMES, colours))} to fill "
            f"the {width}x{height} px at ({left},{top}); {len(wrong)} points differ, e.g. "
            f"{'; '.join(wrong[:6])}"
        )
    return None


def check_shown(frame, shown, problem, what):
    """The screen where the picture window shows a picture at shown (width, height) as
    problem(screen, area) wants it."""
    area = picture_area(frame, *shown)
    wait_for_screen(frame, f"{what} shown at {shown[0]}x{shown[1]} px",
                    lambda screen: problem(screen, area))


# --- the pictures ------------------------------------------------------------------------------


def quarters(width, height, fmt="jpeg"):
    return lambda path: make_quarters(path, width, height, fmt)


def icon_of_three(path):
    # Square images of 48 and 16 pixels around a 240x160 one, whose 3:2 shape shows which one
    # was taken.
    images = []
    for width, height in ((48, 48), (240, 160), (16, 16)):
        images.append(path.with_name(f"{path.stem}-{width}x{height}.png"))
        make_quarters(images[-1], width, height, fmt="png")
    subprocess.run(["convert", *map(str, images), f"ico:{path}"], check=True)


def checkerboard(path):
    """A greyscale 780x520 JPEG of single black and white pixels in a checkerboard: nothing but
    the finest detail, which a shrunk picture can show only as its average, mid grey."""
    subprocess.run(
        ["convert", "-size", "2x2", "xc:white", "-fill", "black", "-draw", "point 0,0", "-draw",
         "point 1,1", "-write", "mpr:tile", "+delete", "-size", "780x520", "tile:mpr:tile",
         "-colorspace", "Gray", "-quality", "100", str(path)],
        check=True,
    )


def mid_grey_problem(screen, area):
    # Each pixel on the screen stands for eight black and eight white ones: an even mid grey,
    # not black or white or stripes as when pixels are dropped.
    left, top = area[:2]
    wrong = [(x, y, screen.at(x, y)) for x, y in screen.points(area)
             if not close(screen.at(x, y), (128, 128, 128), 28)]
    if wrong:
        return (
            f"expected the shrunk checkerboard as mid grey (128±28) over all of it; "
            f"{len(wrong)} pixels are not, e.g. "
            + "; ".join(f"({x - left},{y - top}): {c}" for x, y, c in wrong[:6])
        )
    return None


# A PNG whose left half is fully transparent (its colour bright red, which must not show) and
# whose right half is COLOUR at ALPHA: the background, and the colour blended over it.
COLOUR, ALPHA = (240, 196, 40), 128
BLEND = tuple(round(c * ALPHA / 255 + b * (255 - ALPHA) / 255) for c, b in zip(COLOUR, BACKGROUND))


def half_transparent(path, width=600, height=900):
    half = width // 2
    row = b"\x00" + bytes((255, 0, 0, 0)) * half + bytes((*COLOUR, ALPHA)) * (width - half)
    path.write_bytes(png(width, height, row * height, colour=6))


def halves_problem(left_colour, right_colour, what, tolerance=6):
    """The check of a picture whose left half shows left_colour and right half right_colour on
    the screen, what saying what they are."""

    def problem(screen, area):
        left, top, right, _ = area
        middle = (right - left) / 2
        wrong = []
        for x, y in screen.points(area):
            # The two columns where the halves meet are averaged from both.
            if abs(x - left + 0.5 - middle) < 2:
                continue
            want = left_colour if x - left < middle else right_colour
            if not close(screen.at(x, y), want, tolerance):
                wrong.append(f"({x - left},{y - top}): {screen.at(x, y)}, expected {want}")
        if wrong:
            return (
                f"expected {what}: the left half {left_colour}, the right half {right_colour}; "
                f"{len(wrong)} points differ, e.g. {'; '.join(wrong[:6])}"
            )
        return None

    return problem


transparency_problem = halves_problem(
    BACKGROUND, BLEND, "the transparent left half as the background and the half-transparent "
    "right half blended over it")


def quarters_off(keep_off, colours=QUARTERS):
    return lambda screen, area: quarters_problem(screen, area, keep_off, colours)


# name: (file name, writer, size shown, what must be there). The first is the picture the
# program starts with; each next one changes the window's size, so that its size proves it
# loaded. A picture is shown whole at the window's top left corner: every quarter where it
# belongs, the corners included, neither cut nor shifted nor left smaller.
PICTURES = {
    "landscape_fills_its_place": ("image.jpg", quarters(780, 520), (195, 130), quarters_problem),
    "portrait_fills_its_place": ("portrait.jpg", quarters(600, 900), (96, 144), quarters_problem),
    # Two and a half times its size: the edges between the quarters spread further.
    "small_picture_is_enlarged": ("small.jpg", quarters(78, 52), (195, 130), quarters_off(4)),
    "tiff_shows_at_its_size": ("quarters.tif", quarters(520, 780, "tiff"), (96, 144),
                               quarters_problem),
    "square_picture_is_shown_square": ("square.jpg", quarters(400, 400), (195, 195),
                                       quarters_problem),
    "icon_shows_its_largest_image": ("quarters.ico", icon_of_three, (195, 130), quarters_problem),
    "transparent_png_shows_the_background_and_the_blend": (
        "half.png", half_transparent, (96, 144), transparency_problem),
    "shrunk_picture_shows_the_average_of_its_detail": ("checkerboard.jpg", checkerboard,
                                                       (195, 130), mid_grey_problem),
}


def show(frame, item):
    name, (file_name, write, shown, problem) = item
    # The window's outer size: the picture's plus the 2 px of its border.
    if file_name == "image.jpg":
        wait_size(frame, shown[0] + 2, shown[1] + 2, what=name)
    else:
        path = frame.folder / file_name
        write(path)
        drop_resized(frame, [path], shown[0] + 2, shown[1] + 2)
    check_shown(frame, shown, problem, name)


# --- the picture kept ---------------------------------------------------------------------------


def caption_pixels(frame):
    screen = Screen()
    return [screen.at(x, y) for x, y in screen.points(own_window(frame, CAPTION_CLASS).rect)]


def truncated_drop_keeps_the_picture(frame):
    # A portrait cut in half: its header is whole, its picture is not.
    started(frame, caption=True)
    before = caption_pixels(frame)
    whole, cut = frame.folder / "whole.jpg", frame.folder / "cut.jpg"
    make_quarters(whole, 600, 900)
    cut.write_bytes(whole.read_bytes()[: whole.stat().st_size // 2])
    drop_files(frame, [cut])
    frame.wait_for("the caption showing the dropped file's name",
                   lambda: caption_pixels(frame) != before)
    wait_size(frame, 197, 132, what="the landscape kept after a truncated portrait dropped")
    check_shown(frame, (195, 130), quarters_problem, "the landscape kept")


def deleted_file_shows_large(frame):
    shown = frame.folder / "shown.jpg"
    make_quarters(shown, 780, 520)
    drop_resized(frame, [shown], 197, 132)
    check_shown(frame, (195, 130), quarters_problem, "the dropped landscape")
    shown.unlink()
    choose(frame, SIZE, LARGE)
    wait_size(frame, 297, 200, what="the large size chosen with the file deleted")
    check_shown(frame, (295, 198), quarters_problem, "the landscape of a deleted file, large")


def cmyk_shows_its_colours(frame):
    cmyk = frame.folder / "cmyk.jpg"
    make_quarters(cmyk, 600, 900, inks=("-colorspace", "CMYK"))
    drop_resized(frame, [cmyk], 98, 146)
    check_shown(frame, (96, 144), quarters_problem, "the CMYK portrait")


@limit(300)
def case_picture_kept(exe, probe):
    steps = (truncated_drop_keeps_the_picture, deleted_file_shows_large, cmyk_shows_its_colours)
    in_turn(((s.__name__, s) for s in steps),
            lambda: Frame(exe, probe, picture=quarters(780, 520), option_ini=SETTINGS),
            lambda frame, step: step(frame))


@limit(400)
def case_pictures(exe, probe):
    first = PICTURES["landscape_fills_its_place"][1]
    in_turn(((name, (name, item)) for name, item in PICTURES.items()),
            lambda: Frame(exe, probe, picture=first, option_ini=SETTINGS), show)


# --- JPEG verdicts as other viewers give them ------------------------------------------------


def solid_jpeg(path, colour, size, *cjpeg_options):
    """A JPEG of one colour written by libjpeg's own cjpeg, with the options given."""
    ppm = subprocess.run(["convert", "-size", size, "xc:rgb(%d,%d,%d)" % colour, "ppm:-"],
                         stdout=subprocess.PIPE, check=True).stdout
    path.write_bytes(subprocess.run(["cjpeg", "-quality", "95", *cjpeg_options], input=ppm,
                                    stdout=subprocess.PIPE, check=True).stdout)
    return path


def dropped_shows(frame, path, colour, what, timeout=10):
    drop_files(frame, [path], timeout=timeout)

    def problem(screen):
        got = screen.at(*frame.wait_main_window().centre)
        return None if max(abs(a - b) for a, b in zip(got, colour)) <= TOLERANCE else got

    wait_for_screen(frame, what, problem, timeout=timeout)


@limit(240)
def case_jpeg_verdicts(exe, probe):
    """Stray bytes before a restart marker (some cameras write them): libjpeg warns and decodes
    the whole picture, and so does the frame. A progressive JPEG with one small scan repeated
    50 000 times, which read whole would hold the frame for many seconds, is refused: the
    picture stays and the next drop shows at once."""
    with Frame(exe, probe, picture=quarters(780, 520), option_ini=SETTINGS) as frame:
        stray = solid_jpeg(frame.folder / "stray.jpg", (200, 60, 150), "300x200", "-restart", "1")
        data = stray.read_bytes()
        at = data.index(b"\xff\xd0")
        stray.write_bytes(data[:at] + b"\x12\x34\x56" + data[at:])
        dropped_shows(frame, stray, (200, 60, 150), "the JPEG with stray bytes before a marker")
        bomb = solid_jpeg(frame.folder / "scans.jpg", (250, 250, 250), "1500x1000", "-progressive")
        data = bomb.read_bytes()
        starts = [i for i in range(len(data) - 1) if data[i:i + 2] == b"\xff\xda"]
        scans = [data[a:b] for a, b in zip(starts, starts[1:] + [len(data) - 2])]
        bomb.write_bytes(data[:-2] + min(scans, key=len) * 50000 + b"\xff\xd9")
        dropped_shows(frame, bomb, (200, 60, 150), "the picture kept after the 50 000 scans", 3)
        good = solid_jpeg(frame.folder / "good.jpg", (40, 200, 90), "300x200")
        dropped_shows(frame, good, (40, 200, 90), "the drop after the 50 000 scans", 5)


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, globals()))
