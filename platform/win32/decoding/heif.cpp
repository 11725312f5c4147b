// HEIC, HEIF and AVIF through libheif (imaging/decoding/heif_decoder.hpp): the whole file read
// into memory once (in_memory_decoder.hpp), the primary image decoded upright, its ICC profile or
// one built for its nclx description kept.
#include <optional>
#include <vector>

#include "imaging/colour/icc_chunks.hpp"
#include "imaging/colour/nclx_profile.hpp"
#include "imaging/decoding/heif_decoder.hpp"
#include "platform/win32/decoding/in_memory_decoder.hpp"
#include "platform/win32/decoding/picture_decoder.hpp"

namespace platform::win32 {

namespace {

class HeifDecoder final : public PictureDecoder {
  public:
    HeifDecoder(const OpenedFile& file, std::vector<std::uint8_t> bytes)
        : PictureDecoder(file.path), heif_(std::move(bytes)) {}

    bool ReadHeader() {
        if (heif_.ReadHeader() != heif::Outcome::Done) return Report(heif_.Problem());
        width_ = heif_.Width();
        height_ = heif_.Height();
        // libheif turns the rows itself: an Exif orientation the file may also carry is not
        // applied again.
        orientation_ = pictures::kUpright;
        if (!heif_.IccProfile().empty())
            KeepProfile(icc::Checked(heif_.IccProfile()), false);
        else if (heif_.Colours())
            KeepProfile({colour::ProfileFor(*heif_.Colours()), {}}, false);
        return true;
    }

    bool ReadRows(const PixelSize&, pictures::RowSink& sink) override {
        if (heif_.ReadRows(sink) == heif::Outcome::Done) return true;
        return Report(heif_.Problem());
    }

  private:
    std::string TakeCmykProfile(const std::vector<std::uint8_t>&) override {
        return "a HEIF picture is not CMYK";
    }

    heif::Decoder heif_;
};

}  // namespace

Opening OpenWithHeif(OpenedFile& file) {
    if (!file.known || file.header.info.format != pictures::Format::Heif) return Declined();
    std::optional<std::vector<std::uint8_t>> bytes = WholeFile(file);
    if (!bytes) return {};
    auto decoder = std::make_unique<HeifDecoder>(file, std::move(*bytes));
    if (!decoder->ReadHeader()) return {};
    return {std::move(decoder)};
}

}  // namespace platform::win32
