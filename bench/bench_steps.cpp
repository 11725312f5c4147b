#include "bench_steps.hpp"

#include <lcms2.h>
#include <windows.h>
// After <windows.h>, whose types it uses.
#include <shlwapi.h>

#include <memory>
#include <span>
#include <vector>

#include "bench_timing.hpp"
#include "display/paint_scaled_picture.hpp"
#include "imaging/colour/colour_profile.hpp"
#include "imaging/pixels/averaging_scaler.hpp"
#include "imaging/pixels/orientation.hpp"
#include "platform/drawing.hpp"
#include "platform/win32/decoding/picture_source.hpp"

namespace bench {

namespace {

namespace pictures = platform::pictures;

// Takes the decoder's rows as the holder's sink would, minus the scaling: it learns their size
// and orientation and keeps the first row, which the scaling step is fed with. The scaler's work
// does not depend on the pixels' values, so one row fed as every row costs what the picture's
// rows cost.
class RowsSeen final : public pictures::RowSink {
  public:
    bool Begin(std::int32_t width, std::int32_t height, pictures::Orientation o) override {
        width_ = width;
        height_ = height;
        orientation_ = o;
        return true;
    }
    void Row(std::span<const std::uint32_t> row) override {
        if (first_.empty()) first_.assign(row.begin(), row.end());
    }

    std::int32_t width_ = 0, height_ = 0;
    pictures::Orientation orientation_ = pictures::kUpright;
    std::vector<std::uint32_t> first_;
};

// Adobe RGB (1998) as Little CMS makes it: D65 white, its primaries, gamma 563/256.
std::vector<std::uint8_t> AdobeRgb() {
    const cmsCIExyY white{0.3127, 0.3290, 1};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

}  // namespace

std::optional<Steps> TimeSteps(const std::filesystem::path& file, const pictures::Bitmap& kept) {
    Steps steps;
    // The file opened as the decode chain opens it, on its own: the chain's open below does
    // this and then reads the header, which is what is left of its time. Opened once untimed
    // first, so that this open and the chain's find the file alike, as the frame's load did
    // just before: a first open costs more than the ones after it.
    bool opened = false;
    const auto open = [&] {
        platform::win32::ComPtr<IStream> stream;
        STATSTG stat{};
        opened = SUCCEEDED(::SHCreateStreamOnFileEx(file.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                                    FILE_ATTRIBUTE_NORMAL, FALSE, nullptr,
                                                    stream.Out())) &&
                 SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME));
    };
    open();
    steps.open = Time(open);
    std::unique_ptr<platform::win32::PictureSource> source;
    const double openAndHeader =
        Time([&] { source = platform::win32::PictureSource::Open(file.wstring()); });
    if (!opened || !source) return std::nullopt;
    steps.header = openAndHeader - steps.open;

    // The decoder asked for the size kept, as displayed, as the holder asks for it.
    const platform::PixelSize minimum{static_cast<double>(kept.width),
                                      static_cast<double>(kept.height)};
    RowsSeen rows;
    bool decoded = false;
    steps.decode = Time([&] { decoded = source->ReadRows(minimum, rows); });
    source.reset();
    if (!decoded || rows.first_.empty()) return std::nullopt;

    // The stored rows are averaged to the kept size turned back to the stored orientation.
    const bool swap = pictures::TurnsAQuarter(rows.orientation_);
    std::optional<pictures::Bitmap> stored;
    steps.scale = Time([&] {
        auto scaler = scaling::AveragingScaler::Create(rows.width_, rows.height_,
                                                       swap ? kept.height : kept.width,
                                                       swap ? kept.width : kept.height);
        if (!scaler) return;
        for (std::int32_t y = 0; y < rows.height_; ++y) scaler->AddRow(rows.first_);
        stored = scaler->Finish();
    });
    if (!stored) return std::nullopt;

    std::optional<pictures::Bitmap> upright;
    steps.turn = Time([&] { upright = orientation::Turned(*stored, rows.orientation_); });
    if (!upright) return std::nullopt;

    // Painted into the frame's persistent image as its layout paints it.
    namespace drawing = platform::drawing;
    drawing::SetAutoRedraw(platform::Surface::Main, true);
    steps.paint = Time([] { mainMod::PaintScaledPicture(); });
    drawing::SetAutoRedraw(platform::Surface::Main, false);

    static const std::vector<std::uint8_t> adobe = AdobeRgb();
    const platform::colour::Judged judged = platform::colour::Judge(adobe);
    if (!judged.conversion) return std::nullopt;
    pictures::Bitmap copy = *upright;
    steps.colour = Time([&] { judged.conversion->Apply(copy, {}); });
    return steps;
}

}  // namespace bench
