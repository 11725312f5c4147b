// GIF through giflib (imaging/decoding/gif_decoder.hpp): the first image on its logical screen.
// WIC gives the first image at its own size, not placed on the screen, and Wine's decoder ends
// the process on a GIF without a colour table: no GIF goes to WIC.
#include "imaging/decoding/gif_decoder.hpp"
#include "platform/win32/decoding/in_memory_decoder.hpp"

namespace platform::win32 {

Opening OpenWithGifLibrary(OpenedFile& file) {
    if (!file.known || file.header.info.format != pictures::Format::Gif) return Declined();
    return OpenInMemory(file, [](std::vector<std::uint8_t> bytes) {
        return std::make_unique<gif::Decoder>(std::move(bytes));
    });
}

}  // namespace platform::win32
