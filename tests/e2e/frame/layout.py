"""Where the caption and shadow windows must stand around the picture window: the caption's
gap and height, the shadow's margins per [Shadow] OffSet, and checks that say what is off.
"""

from .windows import CAPTION_CLASS, MAIN_CLASS, SHADOW_CLASS, describe

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


def caption_problem(windows, shown=True):
    """What is off with the caption among a run's windows, or None: its window shown where it
    belongs under the visible picture window (hidden with shown=False)."""
    by_class = {w.cls: w for w in windows}
    main, caption = by_class.get(MAIN_CLASS), by_class.get(CAPTION_CLASS)
    if not (main and main.visible):
        return f"expected the picture window shown, got {describe(windows)}"
    if bool(caption and caption.visible) != shown:
        return f"expected the caption window {'shown' if shown else 'hidden'}, got {caption}"
    return caption_misplaced(main, caption) if shown else None


def companions_problem(windows, margin_twips, caption_shown=True):
    """What is off around the picture window among a run's windows, or None: the caption as
    caption_problem wants it, and the shadow window shown around the picture window by
    margin_twips (hidden when margin_twips is None)."""
    problem = caption_problem(windows, caption_shown)
    if problem:
        return problem
    by_class = {w.cls: w for w in windows}
    main, shadow = by_class.get(MAIN_CLASS), by_class.get(SHADOW_CLASS)
    shown = margin_twips is not None
    if bool(shadow and shadow.visible) != shown:
        return f"expected the shadow window {'shown' if shown else 'hidden'}, got {shadow}"
    return None if margin_twips is None else shadow_misplaced(main, shadow, margin_twips)
