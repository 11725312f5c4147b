// The decoders that read the whole file from memory (see in_memory_decoder.hpp).
#include "platform/win32/decoding/in_memory_decoder.hpp"

#include <algorithm>

#include "platform/win32/decoding/picture_source.hpp"
#include "platform/win32/failure.hpp"

namespace platform::win32 {

namespace {

class InMemoryDecoder final : public PictureDecoder {
  public:
    InMemoryDecoder(const std::wstring& path, std::unique_ptr<pictures::WholeFileDecoder> library)
        : PictureDecoder(path), library_(std::move(library)) {}

    bool ReadHeader(icc::Embedded (*profile)(std::span<const std::uint8_t>)) {
        if (!library_->ReadHeader()) return Report(library_->Problem());
        width_ = library_->Width();
        height_ = library_->Height();
        orientation_ = library_->RecordedOrientation();
        if (profile) KeepProfile(profile(library_->File()), false);
        return true;
    }

    bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink) override {
        return library_->ReadRows(minimum, sink) || Report(library_->Problem());
    }

  private:
    std::string TakeCmykProfile(const std::vector<std::uint8_t>&) override {
        return "the format stores no CMYK";
    }

    std::unique_ptr<pictures::WholeFileDecoder> library_;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> WholeFile(OpenedFile& file) {
    STATSTG stat{};
    if (const HRESULT hr = file.stream->Stat(&stat, STATFLAG_NONAME); FAILED(hr)) {
        FailedCall("IStream::Stat", hr);
        return std::nullopt;
    }
    const std::uint64_t size = stat.cbSize.QuadPart;
    if (size > kMaxPictureFileBytes || size < file.start.size()) {
        ReportOn(file.path, "refused: the file is larger than 1 GiB or changed while read");
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes = std::move(file.start);
    std::size_t have = bytes.size();
    bytes.resize(static_cast<std::size_t>(size));
    while (have < bytes.size()) {
        const auto want = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - have, 1u << 24));
        ULONG got = 0;
        if (const HRESULT hr = file.stream->Read(bytes.data() + have, want, &got); FAILED(hr)) {
            FailedCall("IStream::Read", hr);
            return std::nullopt;
        }
        if (got == 0) {
            ReportOn(file.path, "the file ends before the size it had when opened");
            return std::nullopt;
        }
        have += got;
    }
    return bytes;
}

Opening OpenInMemory(OpenedFile& file, const WholeFileDecoderOf& make,
                     icc::Embedded (*profile)(std::span<const std::uint8_t>)) {
    std::optional<std::vector<std::uint8_t>> bytes = WholeFile(file);
    if (!bytes) return {};
    auto decoder = std::make_unique<InMemoryDecoder>(file.path, make(std::move(*bytes)));
    if (!decoder->ReadHeader(profile)) return {};
    return {std::move(decoder)};
}

}  // namespace platform::win32
