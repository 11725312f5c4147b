// Recording backend: picture files open from the recorder's table of pictures and stream the
// rows of their in-memory picture, as a decoder that cannot shrink while decoding would.
#include "platform/pictures.hpp"

#include <utility>

#include "platform/recording/recorder.hpp"

namespace platform::pictures {

using recording::Num;
using recording::Rec;

namespace {

class RecordedPicture final : public PictureFile {
  public:
    RecordedPicture(const Bitmap& stored, Orientation o, std::vector<std::uint8_t> profile)
        : stored_(stored), orientation_(o), profile_(std::move(profile)) {
        ++Rec().openPictureFiles;
    }
    ~RecordedPicture() override { --Rec().openPictureFiles; }
    RecordedPicture(const RecordedPicture&) = delete;
    RecordedPicture& operator=(const RecordedPicture&) = delete;

    PixelSize NaturalSize() const override {
        const double w = stored_.width, h = stored_.height;
        return TurnsAQuarter(orientation_) ? PixelSize{h, w} : PixelSize{w, h};
    }

    bool ReadRows(const PixelSize& minimum, RowSink& sink) override {
        if (!Rec().Record("ReadRows(" + Num(minimum.width) + "x" + Num(minimum.height) + ")"))
            return false;
        if (!sink.Begin(stored_.width, stored_.height, orientation_)) return false;
        const auto width = static_cast<std::size_t>(stored_.width);
        for (std::int32_t y = 0; y < stored_.height; ++y) {
            if (Rec().pictureRowsFailAfter && y >= *Rec().pictureRowsFailAfter) return false;
            sink.Row(std::span(stored_.pixels).subspan(static_cast<std::size_t>(y) * width, width));
        }
        return true;
    }

    std::vector<std::uint8_t> ColourProfile() const override { return profile_; }

  private:
    Bitmap stored_;
    Orientation orientation_;
    std::vector<std::uint8_t> profile_;
};

}  // namespace

std::unique_ptr<PictureFile> Open(std::u16string_view path) {
    if (!Rec().Record("OpenPicture(" + recording::Utf8(path) + ")")) return nullptr;
    auto it = Rec().pictureFiles.find(std::u16string(path));
    if (it == Rec().pictureFiles.end()) return nullptr;
    const auto turn = Rec().pictureOrientations.find(std::u16string(path));
    const Orientation o = turn == Rec().pictureOrientations.end() ? kUpright : turn->second;
    const auto profile = Rec().pictureProfiles.find(std::u16string(path));
    return std::make_unique<RecordedPicture>(
        it->second, o,
        profile == Rec().pictureProfiles.end() ? std::vector<std::uint8_t>{} : profile->second);
}

}  // namespace platform::pictures
