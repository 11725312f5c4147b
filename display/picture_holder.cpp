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
template <class Ratio>
Ratio Or96(std::optional<Ratio> t) {
    return t && t->Value() > 0 ? *t : Ratio(kTwipsPerPixelAt96);
}

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

std::int32_t Side(double pixels) {
    return static_cast<std::int32_t>(pixels);
}

// The display of a picture of `natural` pixels on the frame's screen at a size: reckoned in
// the program's pixels and taken in the screen's.
std::optional<PixelSize> DisplayOnScreen(const PixelSize& natural,
                                         std::optional<std::int16_t> chosen) {
    namespace pw = platform::windows;
    namespace drawing = platform::drawing;
    const auto tppX = Or96(pw::TwipsPerPixelX()), tppY = Or96(pw::TwipsPerPixelY());
    return decode_scale::DisplayAt(natural, chosen, tppX, tppY,
                                   Or96(drawing::DeviceTwipsPerPixelX(Surface::Main)),
                                   Or96(drawing::DeviceTwipsPerPixelY(Surface::Main)));
}

struct Decoded {
    PixelSize natural;
    pictures::Bitmap copy;
    std::vector<std::uint8_t> profile;
};

// The picture at `path` decoded whole and scaled to the display `size` gives for its natural
// size; the file is let go before it returns.
template <class SizeFor>
std::optional<Decoded> Decode(std::u16string_view path, SizeFor&& sizeFor) {
    std::unique_ptr<pictures::PictureFile> file = pictures::Open(path);
    if (!file) return std::nullopt;
    Decoded d;
    d.natural = file->NaturalSize();
    const std::optional<PixelSize> size = sizeFor(d.natural);
    if (!size) return std::nullopt;
    ScalingSink sink(Side(size->width), Side(size->height));
    // The decoder may shrink as far as the display, on the picture's own axes.
    if (!file->ReadRows(*size, sink)) return std::nullopt;
    d.profile = file->ColourProfile();
    file.reset();
    auto copy = sink.Finish();
    if (!copy) return std::nullopt;
    d.copy = std::move(*copy);
    return d;
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

}  // namespace

bool LoadPicture(std::u16string_view path, std::optional<std::int16_t> chosen) {
    try {
        auto decoded = Decode(
            path, [&](const PixelSize& natural) { return DisplayOnScreen(natural, chosen); });
        if (!decoded) return false;
        colour::Judged judged = colour::Judge(decoded->profile);
        if (!judged.problem.empty())
            platform::diagnostics::Report(u"ColourProfile " + std::u16string(path) +
                                          u": refused, " + Widened(judged.problem));
        shared.imgMain =
            mainMod::HeldPicture{decoded->natural, std::move(decoded->copy),
                                 std::move(judged.conversion), std::u16string(path), std::nullopt};
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void InDisplayColours(pictures::Bitmap& bitmap) {
    if (!shared.imgMain || !shared.imgMain->colour) return;
    try {
        std::vector<std::uint8_t> display = platform::drawing::DisplayColourProfile(Surface::Main);
        const std::string problem = shared.imgMain->colour->Apply(bitmap, display);
        if (!problem.empty())
            platform::diagnostics::Report("DisplayColourProfile: taken as sRGB, " + problem);
        shared.imgMain->paintedFor = std::move(display);
    } catch (const std::bad_alloc&) {
        // The bitmap keeps the picture's own numbers.
    }
}

bool DisplayColoursChanged() {
    if (!shared.imgMain || !shared.imgMain->colour || !shared.imgMain->paintedFor) return false;
    try {
        return platform::drawing::DisplayColourProfile(Surface::Main) !=
               *shared.imgMain->paintedFor;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

PixelSize ScaleSize() {
    return shared.imgMain ? shared.imgMain->natural : pictures::kDesignSize;
}

std::optional<pictures::Bitmap> PaintedAt(std::int32_t width, std::int32_t height) {
    if (!shared.imgMain) return std::nullopt;
    mainMod::HeldPicture& held = *shared.imgMain;
    try {
        if (held.kept.width == width && held.kept.height == height) return held.kept;
        // The file, while it is there and still holds the picture held, gives the sharpest.
        const PixelSize size{static_cast<double>(width), static_cast<double>(height)};
        auto decoded = Decode(held.path, [&](const PixelSize&) { return size; });
        if (decoded && decoded->natural == held.natural) {
            held.kept = std::move(decoded->copy);
            return held.kept;
        }
        return Scaled(held.kept, width, height);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace picture_holder
