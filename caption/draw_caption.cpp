#include "caption/draw_caption.hpp"

#include <limits>

#include "app/forms.hpp"
#include "app/main_mod.hpp"
#include "platform/drawing.hpp"

namespace mainMod {

using platform::Form;
using platform::Surface;
using namespace units::literals;
namespace drawing = platform::drawing;

namespace {

void DrawCaptionLine() {
    drawing::DrawTextLine(Surface::Picture1, shared.CaptionText, shared.TextRect);
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
    shared.TextRect.Top = 2_px;
    if (shared.TextLeft.Value() < std::numeric_limits<std::int32_t>::max())
        shared.TextRect.Left = shared.TextLeft + 1_px;
    if (auto width = forms::ScaleWidth(Form::Main))
        if (auto right = ToInt32(*width)) shared.TextRect.Right = *right;
    shared.TextRect.Bottom = shared.TextRect.Top + 20_px;
    drawing::SetFontName(Surface::Picture1, shared.FontName);
    drawing::SetFontSize(Surface::Picture1, shared.FontSize);
    drawing::SetForeColor(Surface::Picture1, shared.Color2);
    for (int i = 0; i < 3; ++i) DrawCaptionLine();
}

void DrawCaptionText() {
    shared.TextRect.Top = 1_px;
    shared.TextRect.Left = shared.TextLeft;
    drawing::SetForeColor(Surface::Picture1, shared.Color1);
    for (int i = 0; i < 2; ++i) DrawCaptionLine();
}

}  // namespace mainMod
