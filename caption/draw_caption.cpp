#include "caption/draw_caption.hpp"

#include <limits>

#include "app/forms.hpp"
#include "app/main_mod.hpp"
#include "platform/drawing.hpp"

namespace mainMod {

using platform::Form;
using platform::Surface;
namespace drawing = platform::drawing;

namespace {

void DrawCaptionLine() {
    const platform::PixelRect rect{TextRect.Left, TextRect.Top, TextRect.Right, TextRect.Bottom};
    drawing::DrawTextLine(Surface::Picture1, CaptionText, rect);
}

}  // namespace

void DrawCaption() {
    // The box belongs to the caption window, which comes into being when first drawn on.
    forms::Touch(Form::Txt);
    drawing::Cls(Surface::Picture1);
    drawing::PaintDesktop(Surface::Picture1);
    DrawCaptionShade();
    DrawCaptionText();
}

void DrawCaptionShade() {
    TextRect.Top = 2;
    if (TextLeft < std::numeric_limits<std::int32_t>::max()) TextRect.Left = TextLeft + 1;
    if (auto width = forms::ScaleWidth(Form::Main))
        if (auto right = ToInt32(*width)) TextRect.Right = *right;
    TextRect.Bottom = TextRect.Top + 20;
    drawing::SetFontName(Surface::Picture1, FontName);
    drawing::SetFontSize(Surface::Picture1, FontSize);
    drawing::SetForeColor(Surface::Picture1, Color2);
    for (int i = 0; i < 3; ++i) DrawCaptionLine();
}

void DrawCaptionText() {
    TextRect.Top = 1;
    TextRect.Left = TextLeft;
    drawing::SetForeColor(Surface::Picture1, Color1);
    for (int i = 0; i < 2; ++i) DrawCaptionLine();
}

}  // namespace mainMod
