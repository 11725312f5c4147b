#include "display/picture_holder.hpp"

#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "app/main_mod.hpp"
#include "display/decode_scale.hpp"
#include "imaging/colour/colour_profile.hpp"
#include "imaging/pixels/averaging_scaler.hpp"
#include "imaging/pixels/orientation.hpp"
#include "platform/diagnostics.hpp"
#include "platform/drawing.hpp"
#include "platform/pictures.hpp"
#include "platform/windows.hpp"

namespace picture_holder {

using mainMod::shared;
using platform::PixelSize;
using platform::Surface;
namespace pictures = platform::pictures;
namespace colour = platform::colour;

namespace {

// Twips per pixel at 96 dpi: what the largest display is reckoned with when the screen's own
// scale cannot be read.
constexpr double kTwipsPerPixelAt96 = 15;

// Takes a decoder's rows as they come and averages them down to the size kept, so that only
// that size and one row are ever in memory. The rows come as stored: they are scaled to the
// size kept turned back to the stored orientation, and only the small result is turned upright.
class ScalingSink final : public pictures::RowSink {
  public:
    ScalingSink(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

    bool Begin(std::int32_t sourceWidth, std::int32_t sourceHeight,
               pictures::Orientation o) override {
        orientation_ = o;
        const bool swap = pictures::TurnsAQuarter(o);
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

// The largest display of a picture of `natural` pixels on the frame's screen: reckoned in the
// program's pixels and taken in the screen's.
std::optional<PixelSize> LargestOnScreen(const PixelSize& natural) {
    namespace pw = platform::windows;
    namespace drawing = platform::drawing;
    const auto or96 = [](std::optional<double> t) { return t && *t > 0 ? *t : kTwipsPerPixelAt96; };
    const double tppX = or96(pw::TwipsPerPixelX()), tppY = or96(pw::TwipsPerPixelY());
    return decode_scale::LargestDisplay(natural, tppX, tppY,
                                        or96(drawing::DeviceTwipsPerPixelX(Surface::Main)),
                                        or96(drawing::DeviceTwipsPerPixelY(Surface::Main)));
}

std::optional<PixelSize> KeptSizeOnScreen(const PixelSize& natural) {
    const auto largest = LargestOnScreen(natural);
    return largest ? KeptSize(natural, *largest) : std::nullopt;
}

std::optional<pictures::Bitmap> Scaled(const pictures::Bitmap& from, std::int32_t width,
                                       std::int32_t height) {
    auto scaler = scaling::AveragingScaler::Create(from.width, from.height, width, height);
    if (!scaler) return std::nullopt;
    const std::span<const std::uint32_t> pixels(from.pixels);
    const auto stride = static_cast<std::size_t>(from.width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(from.height); ++y)
        scaler->AddRow(pixels.subspan(y * stride, stride));
    return scaler->Finish();
}

std::u16string Widened(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

std::int32_t Side(double pixels) {
    return static_cast<std::int32_t>(pixels);
}

}  // namespace

std::optional<PixelSize> KeptSize(const PixelSize& natural, const PixelSize& largest) {
    if (!(natural.width >= 1) || !(natural.height >= 1) || !(largest.width >= 1) ||
        !(largest.height >= 1))
        return std::nullopt;
    if (largest.width >= natural.width || largest.height >= natural.height) return natural;
    return largest;
}

bool LoadPicture(std::u16string_view path) {
    try {
        std::unique_ptr<pictures::PictureFile> file = pictures::Open(path);
        if (!file) return false;
        const PixelSize natural = file->NaturalSize();
        const auto kept = KeptSizeOnScreen(natural);
        if (!kept) return false;
        ScalingSink sink(Side(kept->width), Side(kept->height));
        // The decoder may shrink as far as the size kept, on the picture's own axes.
        if (!file->ReadRows(*kept, sink)) return false;
        const std::vector<std::uint8_t> profile = file->ColourProfile();
        file.reset();  // the file is let go before anything else is done
        auto copy = sink.Finish();
        if (!copy) return false;
        colour::Judged judged = colour::Judge(profile);
        if (!judged.problem.empty())
            platform::diagnostics::Report(u"ColourProfile " + std::u16string(path) +
                                          u": refused, " + Widened(judged.problem));
        shared.imgMain =
            mainMod::HeldPicture{natural, std::move(*copy), std::move(judged.conversion)};
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void InDisplayColours(pictures::Bitmap& bitmap) {
    if (!shared.imgMain || !shared.imgMain->colour) return;
    try {
        const std::string problem = shared.imgMain->colour->Apply(
            bitmap, platform::drawing::DisplayColourProfile(Surface::Main));
        if (!problem.empty())
            platform::diagnostics::Report("DisplayColourProfile: taken as sRGB, " + problem);
    } catch (const std::bad_alloc&) {
        // The bitmap keeps the picture's own numbers.
    }
}

PixelSize ScaleSize() {
    return shared.imgMain ? shared.imgMain->natural : pictures::kDesignSize;
}

std::optional<pictures::Bitmap> ScaledTo(std::int32_t width, std::int32_t height) {
    if (!shared.imgMain) return std::nullopt;
    try {
        return Scaled(shared.imgMain->kept, width, height);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

void FitToScreen(std::u16string_view path) {
    if (!shared.imgMain) return;
    const auto wanted = KeptSizeOnScreen(shared.imgMain->natural);
    if (!wanted) return;
    const pictures::Bitmap& kept = shared.imgMain->kept;
    const std::int32_t width = Side(wanted->width), height = Side(wanted->height);
    if (width == kept.width && height == kept.height) return;
    // More pixels than kept come from the file while it is there.
    if ((width > kept.width || height > kept.height) && LoadPicture(path)) return;
    if (auto fitted = ScaledTo(width, height)) shared.imgMain->kept = std::move(*fitted);
}

}  // namespace picture_holder
