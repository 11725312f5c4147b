#include "display/paint_scaled_picture.hpp"

#include "app/main_mod.hpp"
#include "display/averaging_scaler.hpp"
#include "platform/drawing.hpp"
#include "platform/pictures.hpp"
#include "platform/windows.hpp"

namespace mainMod {

using platform::Surface;
namespace drawing = platform::drawing;
namespace pw = platform::windows;

void PaintScaledPicture() {
    drawing::Cls(Surface::Main);
    const auto tppY = pw::TwipsPerPixelY();
    const auto tppX = pw::TwipsPerPixelX();
    const platform::pictures::Bitmap* source = platform::pictures::Pixels();
    // A zero or unreadable twips-per-pixel leaves the window cleared; so does an empty holder.
    if (tppX && tppY && source) {
        const auto width = ToInt32(PicWidth / *tppX);
        const auto height = ToInt32(PicHeight / *tppY);
        if (width && height) {
            if (auto scaled = scaling::ScaleAveraged(*source, *width, *height))
                drawing::DrawBitmap(Surface::Main, 0, 0, *scaled);
        }
    }
    drawing::Refresh(Surface::Main);
}

}  // namespace mainMod
