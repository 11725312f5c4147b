// The companion layout: after every new picture or size, the caption text is made, the
// caption and the picture are drawn, the caption window is put under the picture window and
// the shadow window around it (shadow/companion_rules.hpp), and each is shown as its rule says.
#include <optional>

#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "caption/draw_caption.hpp"
#include "display/caption_text.hpp"
#include "display/paint_scaled_picture.hpp"
#include "platform/drawing.hpp"
#include "shadow/companion_rules.hpp"

namespace frmMain {

using namespace mainMod;
using platform::DesignPixels;
using platform::Form;
using platform::Surface;
namespace drawing = platform::drawing;

void LayoutCompanions() {
    if (auto title = caption_text::FileTitleOf(shared.PicturePath)) shared.FileTitle = *title;

    // A window whose width cannot be read counts the title as too wide.
    const auto titleWidth = forms::TextWidth(Form::Main, shared.FileTitle);
    const DesignPixels w(titleWidth ? RoundHalfEven(titleWidth->Value()) : 0);
    const auto scaleWidth = forms::ScaleWidth(Form::Main);
    const bool tooWide = !scaleWidth || *scaleWidth < w;
    shared.CaptionText =
        caption_text::Shorten(shared.FileTitle, tooWide, shared.SizeMode, shared.Portrait);

    const auto captionWidth = forms::TextWidth(Form::Main, shared.CaptionText);
    if (scaleWidth && captionWidth) {
        if (auto left = ToInt32((*scaleWidth - *captionWidth) / 2 + DesignPixels(3)))
            shared.TextLeft = *left;
    }

    drawing::SetAutoRedraw(Surface::Main, true);
    drawing::Cls(Surface::Main);
    mainMod::DrawCaption();
    mainMod::PaintScaledPicture();

    companion_rules::PlaceCompanions();
    companion_rules::ShowCompanions();

    drawing::SetAutoRedraw(Surface::Main, false);
}

}  // namespace frmMain
