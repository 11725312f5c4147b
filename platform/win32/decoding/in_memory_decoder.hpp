// A decoder of the chain whose library reads the whole file from memory (libwebp, giflib): the
// file read once, within the file-size budget, then handed to the library, which reads the
// header and streams the rows. `Library` is such a portable decoder (imaging/decoding/
// webp_decoder.hpp, gif_decoder.hpp).
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/decoding/picture_decoder.hpp"

namespace platform::win32 {

// The whole file: its start, already read, and the rest of the stream, which stands right
// after it. Empty, reported, when it cannot be read or is beyond the file-size budget.
std::optional<std::vector<std::uint8_t>> WholeFile(OpenedFile& file);

template <class Library>
class InMemoryDecoder final : public PictureDecoder {
  public:
    // The decoder once the library has read the file's header; nothing, reported, otherwise.
    // The file's start goes into the decoder: no other decoder is to try it after this one.
    static std::unique_ptr<InMemoryDecoder> Open(OpenedFile& file) {
        std::optional<std::vector<std::uint8_t>> bytes = WholeFile(file);
        if (!bytes) return nullptr;
        std::unique_ptr<InMemoryDecoder> decoder(new InMemoryDecoder(file.path, std::move(*bytes)));
        if (!decoder->library_.ReadHeader()) {
            decoder->Report(decoder->library_.Problem());
            return nullptr;
        }
        decoder->width_ = decoder->library_.Width();
        decoder->height_ = decoder->library_.Height();
        decoder->orientation_ = decoder->library_.RecordedOrientation();
        return decoder;
    }

    const Library& Decoding() const { return library_; }
    void KeepRgbProfile(icc::Embedded embedded) { KeepProfile(std::move(embedded), false); }

    bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink) override {
        return library_.ReadRows(minimum, sink) || Report(library_.Problem());
    }

  private:
    InMemoryDecoder(const std::wstring& path, std::vector<std::uint8_t> bytes)
        : PictureDecoder(path), library_(std::move(bytes)) {}
    std::string TakeCmykProfile(const std::vector<std::uint8_t>&) override {
        return "the format stores no CMYK";
    }

    Library library_;
};

}  // namespace platform::win32
