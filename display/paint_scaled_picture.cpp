#include "display/paint_scaled_picture.hpp"

#include <optional>

#include "app/main_mod.hpp"
#include "display/averaging_scaler.hpp"
#include "display/decode_scale.hpp"
#include "display/orientation.hpp"
#include "platform/drawing.hpp"
#include "platform/pictures.hpp"
#include "platform/windows.hpp"

namespace mainMod {

using platform::Surface;
namespace drawing = platform::drawing;
namespace pictures = platform::pictures;
namespace pw = platform::windows;

namespace {

// Takes the holder's rows as they are decoded and averages them down to the display size, so
// that only the display-sized result and one row are ever in memory. The rows come as stored:
// they are scaled to the display size turned back to the stored orientation, and only the
// small result is turned upright.
class ScalingSink final : public pictures::RowSink {
  public:
    ScalingSink(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

    bool Begin(std::int32_t sourceWidth, std::int32_t sourceHeight,
               pictures::Orientation o) override {
        orientation_ = o;
        const bool swap = orientation::SwapsSides(o);
        scaler_ = scaling::AveragingScaler::Create(
            sourceWidth, sourceHeight, swap ? height_ : width_, swap ? width_ : height_);
        return scaler_.has_value();
    }
    void Row(std::span<const std::uint32_t> row) override { scaler_->AddRow(row); }

    std::optional<pictures::Bitmap> Finish() const {
        if (!scaler_) return std::nullopt;
        const auto stored = scaler_->Finish();
        return stored ? orientation::Turned(*stored, orientation_) : std::nullopt;
    }

  private:
    std::int32_t width_, height_;
    pictures::Orientation orientation_ = pictures::kUpright;
    std::optional<scaling::AveragingScaler> scaler_;
};

}  // namespace

void PaintScaledPicture() {
    // The screen's own pixels: on a screen of high dpi the picture is scaled from the file to
    // more pixels than at 96 dpi, never enlarged from a 96-dpi copy.
    const auto tppY = drawing::DeviceTwipsPerPixelY(Surface::Main);
    const auto tppX = drawing::DeviceTwipsPerPixelX(Surface::Main);
    // A zero or unreadable twips-per-pixel leaves the window cleared; so does an empty holder,
    // and so does a picture whose rows fail to decode part way.
    if (tppX && tppY) {
        const auto width = ToInt32(shared.PicWidth / *tppX);
        const auto height = ToInt32(shared.PicHeight / *tppY);
        if (width && height) {
            // The pixels of the largest display at every size choice, so the picture looks
            // the same at each. The largest display is reckoned in the program's pixels and
            // taken in the screen's; when it cannot be known, the display size itself.
            const auto size = pictures::ScaleSize();
            const auto largest =
                size ? decode_scale::LargestDisplay(*size, pw::TwipsPerPixelX(),
                                                    pw::TwipsPerPixelY(), tppX, tppY)
                     : std::nullopt;
            const platform::PixelSize minimum = largest.value_or(
                platform::PixelSize{static_cast<double>(*width), static_cast<double>(*height)});
            ScalingSink sink(*width, *height);
            if (pictures::ReadRows(minimum, sink)) {
                if (auto scaled = sink.Finish()) drawing::DrawBitmap(Surface::Main, 0, 0, *scaled);
            }
        }
    }
    drawing::Refresh(Surface::Main);
}

}  // namespace mainMod
