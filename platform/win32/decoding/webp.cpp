// WebP through libwebp (imaging/decoding/webp_decoder.hpp): stills shrunk while decoding, an
// animation's first frame, the profile of the file's ICCP chunk. Windows' own WebP decoder is
// an extension that is not always installed (and Wine has none), so every WebP comes here.
#include "imaging/colour/icc_chunks.hpp"
#include "imaging/decoding/webp_decoder.hpp"
#include "platform/win32/decoding/in_memory_decoder.hpp"

namespace platform::win32 {

Opening OpenWithWebPLibrary(OpenedFile& file) {
    if (!file.known || file.header.info.format != pictures::Format::WebP) return Declined();
    return OpenInMemory(
        file,
        [](std::vector<std::uint8_t> bytes) {
            return std::make_unique<webp::Decoder>(std::move(bytes));
        },
        icc::FromWebP);
}

}  // namespace platform::win32
