#include "display/paint_scaled_picture.hpp"

#include <optional>

#include "app/main_mod.hpp"
#include "display/picture_holder.hpp"
#include "platform/drawing.hpp"

namespace mainMod {

using platform::Surface;
using namespace units::literals;
namespace drawing = platform::drawing;

void PaintScaledPicture() {
    // The screen's own pixels: on a screen of high dpi the picture is scaled to more pixels
    // than at 96 dpi. A size the holder's copy was not made for is decoded from the file.
    const auto tppY = drawing::DeviceTwipsPerPixelY(Surface::Main);
    const auto tppX = drawing::DeviceTwipsPerPixelX(Surface::Main);
    // A zero or unreadable twips-per-pixel leaves the window cleared; so does an empty holder.
    if (tppX && tppY) {
        const auto width = ToInt32(shared.PicWidth / *tppX);
        const auto height = ToInt32(shared.PicHeight / *tppY);
        if (width && height) {
            if (auto scaled = picture_holder::PaintedAt(width->Value(), height->Value())) {
                // At the display size, the fewest pixels the conversion can run on.
                picture_holder::InDisplayColours(*scaled);
                drawing::DrawBitmap(Surface::Main, 0_px, 0_px, *scaled);
            }
        }
    }
    drawing::Refresh(Surface::Main);
}

}  // namespace mainMod
