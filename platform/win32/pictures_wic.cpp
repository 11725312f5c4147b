// platform::pictures on Win32: the hidden picture holder, filled by decoding a file with WIC.
#include <new>

#include "platform/pictures.hpp"
#include "platform/win32/backend.hpp"
#include "platform/win32/picture_files.hpp"

namespace platform::pictures {

namespace {

struct Holder {
    std::optional<PixelSize> size;  // empty until a picture was loaded
    std::optional<Bitmap> pixels;
};

Holder& TheHolder() {
    static Holder holder;
    return holder;
}

}  // namespace

bool Load(std::u16string_view path) {
    try {
        std::optional<Bitmap> loaded = win32::LoadPictureFile(win32::Wide(path));
        if (!loaded) return false;
        // Only a complete picture replaces what the holder had.
        Holder& holder = TheHolder();
        holder.size =
            PixelSize{static_cast<double>(loaded->width), static_cast<double>(loaded->height)};
        holder.pixels = std::move(loaded);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::optional<PixelSize> ScaleSize() {
    return TheHolder().size.value_or(kDesignSize);
}

const Bitmap* Pixels() {
    const auto& pixels = TheHolder().pixels;
    return pixels ? &*pixels : nullptr;
}

bool Release() {
    TheHolder().pixels.reset();
    return true;
}

}  // namespace platform::pictures
