"""Where the caption and shadow windows must stand around the picture window: the caption's
gap and height, the shadow's margins per [Shadow] OffSet, and checks that say what is off.
"""

CAPTION_GAP_PX = 5  # 80 twips under the picture window, as the window system rounds them
CAPTION_HEIGHT_PX = 18

# The shadow margins of [Shadow] OffSet 0, 1 and 2, in twips on each side (3 hides it).
SHADOW_MARGIN_TWIPS = {0: 0, 1: 25, 2: 50}


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
