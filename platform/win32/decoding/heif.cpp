// HEIC, HEIF and AVIF through libheif (imaging/decoding/heif_decoder.hpp): the whole file read
// into memory once, the primary image decoded upright, its ICC profile or one built for its
// nclx description kept.
#include <algorithm>

#include "imaging/colour/icc_chunks.hpp"
#include "imaging/colour/nclx_profile.hpp"
#include "imaging/decoding/heif_decoder.hpp"
#include "platform/win32/decoding/picture_decoder.hpp"
#include "platform/win32/decoding/picture_source.hpp"
#include "platform/win32/failure.hpp"

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

// The whole file: its start, already read, and the rest from the stream, which stands after it.
// Empty, reported, when the stream cannot be read to its end.
std::vector<std::uint8_t> WholeFile(OpenedFile& file) {
    STATSTG stat{};
    if (const HRESULT hr = file.stream->Stat(&stat, STATFLAG_NONAME); FAILED(hr)) {
        FailedCall("IStream::Stat", hr);
        return {};
    }
    const std::uint64_t size = stat.cbSize.QuadPart;
    if (size > kMaxPictureFileBytes || size < file.start.size()) return {};
    std::vector<std::uint8_t> bytes = std::move(file.start);
    std::size_t have = bytes.size();
    bytes.resize(static_cast<std::size_t>(size));
    while (have < bytes.size()) {
        ULONG got = 0;
        const ULONG want = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - have, 1u << 24));
        if (const HRESULT hr = file.stream->Read(bytes.data() + have, want, &got); FAILED(hr)) {
            FailedCall("IStream::Read", hr);
            return {};
        }
        if (got == 0) return {};
        have += got;
    }
    return bytes;
}

}  // namespace

Opening OpenWithHeif(OpenedFile& file) {
    if (!file.known || file.header.info.format != pictures::Format::Heif) return Declined();
    std::vector<std::uint8_t> bytes = WholeFile(file);
    if (bytes.empty()) {
        ReportOn(file.path, "the file cannot be read whole");
        return {};
    }
    auto decoder = std::make_unique<HeifDecoder>(file, std::move(bytes));
    if (!decoder->ReadHeader()) return {};
    return {std::move(decoder)};
}

}  // namespace platform::win32
