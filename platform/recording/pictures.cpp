// Recording backend: the picture holder loads from the recorder's table of picture files and
// streams the rows of its in-memory picture.
#include "platform/pictures.hpp"

#include "platform/recording/recorder.hpp"

namespace platform::pictures {

using recording::Num;
using recording::Rec;

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

bool ReadRows(const PixelSize& minimum, RowSink& sink) {
    if (!Rec().Record("ReadRows(" + Num(minimum.width) + "x" + Num(minimum.height) + ")") ||
        !Rec().holderPixels)
        return false;
    // Like a decoder that cannot shrink while decoding: the stored rows at their size.
    const Bitmap& source = *Rec().holderPixels;
    if (!sink.Begin(source.width, source.height, Rec().holderOrientation)) return false;
    for (std::int32_t y = 0; y < source.height; ++y) {
        if (Rec().holderRowsFailAfter && y >= *Rec().holderRowsFailAfter) return false;
        sink.Row(std::span(source.pixels)
                     .subspan(static_cast<std::size_t>(y) * static_cast<std::size_t>(source.width),
                              static_cast<std::size_t>(source.width)));
    }
    return true;
}

bool Release() {
    if (!Rec().Record("ReleasePicture()")) return false;
    Rec().holderPixels.reset();
    return true;
}

}  // namespace platform::pictures
