// The wallpaper, whole (see wallpaper.hpp).
#include "platform/win32/decoding/wallpaper.hpp"

#include <memory>
#include <span>

#include "platform/win32/decoding/picture_source.hpp"

namespace platform::win32 {

std::optional<pictures::Bitmap> DecodeWhole(const std::wstring& path) {
    class Whole final : public pictures::RowSink {
      public:
        bool Begin(std::int32_t width, std::int32_t height, pictures::Orientation) override {
            bitmap.width = width;
            bitmap.height = height;
            bitmap.pixels.reserve(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height));
            return true;
        }
        void Row(std::span<const std::uint32_t> row) override {
            bitmap.pixels.insert(bitmap.pixels.end(), row.begin(), row.end());
        }
        pictures::Bitmap bitmap;
    } whole;
    const std::unique_ptr<PictureSource> source = PictureSource::Open(path);
    if (!source) return std::nullopt;
    const PixelSize stored{static_cast<double>(source->Width()),
                           static_cast<double>(source->Height())};
    if (!source->ReadRows(stored, whole)) return std::nullopt;
    return std::move(whole.bitmap);
}

}  // namespace platform::win32
