// Recording backend: the picture holder loads from the recorder's table of picture files.
#include "platform/pictures.hpp"

#include "platform/recording/recorder.hpp"

namespace platform::pictures {

using recording::Rec;

bool Load(std::u16string_view path) {
    if (!Rec().Record("LoadPicture(" + recording::Utf8(path) + ")")) return false;
    auto it = Rec().pictureFiles.find(std::u16string(path));
    if (it == Rec().pictureFiles.end()) return false;
    Rec().holderPixels = it->second;
    Rec().holderSize =
        PixelSize{static_cast<double>(it->second.width), static_cast<double>(it->second.height)};
    return true;
}

std::optional<PixelSize> ScaleSize() {
    if (!Rec().Record("ScaleSize()")) return std::nullopt;
    return Rec().holderSize.value_or(kDesignSize);
}

const Bitmap* Pixels() {
    if (!Rec().Record("Pixels()") || !Rec().holderPixels) return nullptr;
    return &*Rec().holderPixels;
}

bool Release() {
    if (!Rec().Record("ReleasePicture()")) return false;
    Rec().holderPixels.reset();
    return true;
}

}  // namespace platform::pictures
