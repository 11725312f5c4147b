// platform::pictures on Win32: a picture file opened through the backend's one decode chain
// (picture_source.hpp), whose rows stream in strips so that no full-size copy is ever made.
#include "platform/pictures.hpp"

#include <memory>
#include <new>

#include "platform/win32/decoding/picture_source.hpp"
#include "platform/win32/text.hpp"

namespace platform::pictures {

namespace {

class OpenedPicture final : public PictureFile {
  public:
    explicit OpenedPicture(std::unique_ptr<win32::PictureSource> source)
        : source_(std::move(source)) {}

    PixelSize NaturalSize() const override {
        const double w = source_->Width(), h = source_->Height();
        return TurnsAQuarter(source_->RecordedOrientation()) ? PixelSize{h, w} : PixelSize{w, h};
    }

    bool ReadRows(const PixelSize& minimum, RowSink& sink) override {
        try {
            return source_->ReadRows(minimum, sink);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    std::vector<std::uint8_t> ColourProfile() const override { return source_->ColourProfile(); }

  private:
    std::unique_ptr<win32::PictureSource> source_;
};

}  // namespace

std::unique_ptr<PictureFile> Open(std::u16string_view path) {
    try {
        std::unique_ptr<win32::PictureSource> source =
            win32::PictureSource::Open(win32::Wide(path));
        if (!source) return nullptr;
        return std::make_unique<OpenedPicture>(std::move(source));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace platform::pictures
