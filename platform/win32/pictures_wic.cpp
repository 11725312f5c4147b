// platform::pictures on Win32: the hidden picture holder keeps WIC's decoder of the file and
// streams its rows in strips, so that no full-size copy of the picture is ever made.
#include <memory>
#include <new>

#include "platform/pictures.hpp"
#include "platform/win32/backend.hpp"
#include "platform/win32/frame_windows.hpp"
#include "platform/win32/picture_source.hpp"

namespace platform::pictures {

namespace {

// imgMain belongs to the picture window's object, which lives as long as the process; the
// holder is there before the window is created and empties when the window goes.
win32::PictureHolder& TheHolder() {
    return win32::Windows().main.Holder();
}

}  // namespace

bool Load(std::u16string_view path) {
    try {
        std::unique_ptr<win32::PictureSource> opened =
            win32::PictureSource::Open(win32::Wide(path));
        if (!opened) return false;
        // Only a picture that decodes replaces what the holder had.
        win32::PictureHolder& holder = TheHolder();
        // The size as displayed: a picture its camera marked as turned a quarter is measured
        // turned.
        const double w = opened->Width(), h = opened->Height();
        holder.size =
            TurnsAQuarter(opened->RecordedOrientation()) ? PixelSize{h, w} : PixelSize{w, h};
        holder.source = std::move(opened);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::optional<PixelSize> ScaleSize() {
    return TheHolder().size.value_or(kDesignSize);
}

bool ReadRows(const PixelSize& minimum, RowSink& sink) {
    const auto& source = TheHolder().source;
    if (!source) return false;
    try {
        return source->ReadRows(minimum, sink);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool Release() {
    TheHolder().source.reset();
    return true;
}

}  // namespace platform::pictures
