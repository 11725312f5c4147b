// JPEG through libjpeg-turbo (imaging/decoding/jpeg_decoder.hpp), shrunk while decoding, its
// CMYK rows converted through the file's own profile.
#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "imaging/colour/colour_profile.hpp"
#include "imaging/decoding/jpeg_decoder.hpp"
#include "platform/win32/decoding/picture_decoder.hpp"

namespace platform::win32 {

namespace {

// The file's bytes for libjpeg-turbo: first the start already read for the header check, then
// the rest from the stream, which stands right after it. The file's start is read once.
class FileBytes final : public jpeg::ByteSource {
  public:
    FileBytes(IStream* stream, std::vector<std::uint8_t> start)
        : stream_(stream), start_(std::move(start)) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        if (served_ < start_.size()) {
            const std::size_t n = std::min(size, start_.size() - served_);
            std::memcpy(buffer, start_.data() + served_, n);
            served_ += n;
            return n;
        }
        ULONG got = 0;
        const ULONG want = static_cast<ULONG>(std::min<std::size_t>(size, ULONG{1} << 24));
        if (FAILED(stream_->Read(buffer, want, &got))) return 0;
        return got;
    }

  private:
    IStream* stream_;
    std::vector<std::uint8_t> start_;
    std::size_t served_ = 0;
};

class JpegLibraryDecoder final : public PictureDecoder {
  public:
    JpegLibraryDecoder(OpenedFile& file)
        : PictureDecoder(file.path), bytes_(file.stream, std::move(file.start)), jpeg_(bytes_) {}

    jpeg::Outcome ReadHeader() {
        const jpeg::Outcome outcome = jpeg_.ReadHeader();
        if (outcome == jpeg::Outcome::Done) {
            width_ = jpeg_.Width();
            height_ = jpeg_.Height();
            orientation_ = jpeg_.RecordedOrientation();
            KeepProfile(icc::Reassembled(jpeg_.IccChunks()), jpeg_.StoresCmyk());
        }
        return outcome;
    }
    const std::string& Problem() const { return jpeg_.Problem(); }

    bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink) override {
        jpeg::Decoder::CmykConverter cmyk;
        if (cmyk_)
            cmyk = [rows = cmyk_.get()](const std::uint8_t* in, std::span<std::uint32_t> out) {
                rows->Convert(in, out);
            };
        const bool done = jpeg_.ReadRows(minimum, sink, cmyk) == jpeg::Outcome::Done;
        if (!done) Report(jpeg_.Problem());
        return done;
    }

  private:
    // A JPEG's CMYK rows come to sRGB through its profile as they are decoded.
    std::string TakeCmykProfile(const std::vector<std::uint8_t>& profile) override {
        std::string problem;
        cmyk_ = colour::JudgeCmyk(profile, jpeg_.InksInverted(), problem);
        return cmyk_ ? std::string() : problem;
    }

    FileBytes bytes_;
    jpeg::Decoder jpeg_;
    std::unique_ptr<colour::CmykRows> cmyk_;
};

}  // namespace

Opening OpenWithJpegLibrary(OpenedFile& file) {
    if (!file.known || file.header.info.format != pictures::Format::Jpeg) return Declined();
    auto decoder = std::make_unique<JpegLibraryDecoder>(file);
    switch (decoder->ReadHeader()) {
        case jpeg::Outcome::Done:
            return {std::move(decoder)};
        case jpeg::Outcome::Failed:
            ReportOn(file.path, decoder->Problem());
            return {};
        case jpeg::Outcome::NotMine:
            break;
    }
    // Windows' own decoder may know it (a 12-bit or lossless JPEG, say).
    ReportOn(file.path, "libjpeg-turbo declines it (" + decoder->Problem() + "): handed to WIC");
    return Declined();
}

}  // namespace platform::win32
