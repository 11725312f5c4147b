// Recording backend: the picture holder loads from the recorder's table of picture files and
// streams the rows of its in-memory picture, shrunk while "decoding" when the recorder says the
// decoder can.
#include "platform/pictures.hpp"

#include <algorithm>

#include "platform/recording/recorder.hpp"

namespace platform::pictures {

using recording::Rec;

namespace {

// Row y of `source` shrunk `k` times: each pixel the mean of its k x k block (a smaller block
// at the right and bottom edges), channel by channel, as a decoder's reduced output would be.
void ReducedRow(const Bitmap& source, std::int32_t k, std::int32_t y,
                std::vector<std::uint32_t>& out) {
    const std::int32_t width = (source.width + k - 1) / k;
    const std::int32_t y0 = y * k, y1 = std::min(source.height, y0 + k);
    out.assign(static_cast<std::size_t>(width), 0);
    for (std::int32_t x = 0; x < width; ++x) {
        const std::int32_t x0 = x * k, x1 = std::min(source.width, x0 + k);
        std::uint32_t sum[4] = {0, 0, 0, 0};
        for (std::int32_t sy = y0; sy < y1; ++sy)
            for (std::int32_t sx = x0; sx < x1; ++sx) {
                const std::uint32_t c = source.pixels[static_cast<std::size_t>(sy) *
                                                          static_cast<std::size_t>(source.width) +
                                                      static_cast<std::size_t>(sx)];
                for (int ch = 0; ch < 4; ++ch) sum[ch] += (c >> (8 * ch)) & 0xFF;
            }
        const std::uint32_t n = static_cast<std::uint32_t>((x1 - x0) * (y1 - y0));
        std::uint32_t pixel = 0;
        for (int ch = 0; ch < 4; ++ch) pixel |= ((sum[ch] + n / 2) / n) << (8 * ch);
        out[static_cast<std::size_t>(x)] = pixel;
    }
}

}  // namespace

bool Load(std::u16string_view path) {
    if (!Rec().Record("LoadPicture(" + recording::Utf8(path) + ")")) return false;
    auto it = Rec().pictureFiles.find(std::u16string(path));
    if (it == Rec().pictureFiles.end()) return false;
    const auto turn = Rec().pictureOrientations.find(std::u16string(path));
    const Orientation o = turn == Rec().pictureOrientations.end() ? kUpright : turn->second;
    Rec().holderPixels = it->second;
    Rec().holderOrientation = o;
    // The size as displayed, as the real holder reports it.
    const double w = it->second.width, h = it->second.height;
    Rec().holderSize = TurnsAQuarter(o) ? PixelSize{h, w} : PixelSize{w, h};
    return true;
}

std::optional<PixelSize> ScaleSize() {
    if (!Rec().Record("ScaleSize()")) return std::nullopt;
    return Rec().holderSize.value_or(kDesignSize);
}

bool ReadRows(std::int32_t reduction, RowSink& sink) {
    if (!Rec().Record("ReadRows(" + std::to_string(reduction) + ")") || !Rec().holderPixels)
        return false;
    const Bitmap& source = *Rec().holderPixels;
    const bool reduce =
        Rec().holderReducesWhileDecoding && (reduction == 2 || reduction == 4 || reduction == 8);
    const std::int32_t k = reduce ? reduction : 1;
    const std::int32_t width = (source.width + k - 1) / k;
    const std::int32_t height = (source.height + k - 1) / k;
    if (!sink.Begin(width, height, Rec().holderOrientation)) return false;
    std::vector<std::uint32_t> row;
    for (std::int32_t y = 0; y < height; ++y) {
        if (Rec().holderRowsFailAfter && y >= *Rec().holderRowsFailAfter) return false;
        if (k == 1) {
            sink.Row(
                std::span(source.pixels)
                    .subspan(static_cast<std::size_t>(y) * static_cast<std::size_t>(source.width),
                             static_cast<std::size_t>(source.width)));
        } else {
            ReducedRow(source, k, y, row);
            sink.Row(row);
        }
    }
    return true;
}

bool Release() {
    if (!Rec().Record("ReleasePicture()")) return false;
    Rec().holderPixels.reset();
    return true;
}

}  // namespace platform::pictures
