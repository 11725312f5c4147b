// The decoders of the chain whose library reads the whole file from memory (libwebp, giflib; and
// libheif, which takes only WholeFile): the file read once, within the file-size budget, then
// handed to the picture library's decoder of its format (imaging/decoding/whole_file_decoder.hpp),
// which reads the header and streams the rows.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "imaging/decoding/whole_file_decoder.hpp"
#include "platform/win32/decoding/picture_decoder.hpp"

namespace platform::win32 {

// The whole file: its start, already read, and the rest of the stream, which stands right
// after it. Empty, reported, when it cannot be read or is beyond the file-size budget.
std::optional<std::vector<std::uint8_t>> WholeFile(OpenedFile& file);

// Makes the format's decoder of the file's bytes.
using WholeFileDecoderOf =
    std::function<std::unique_ptr<pictures::WholeFileDecoder>(std::vector<std::uint8_t>)>;

// The file read whole and decoded by `make`'s decoder once its header is read; the profile of
// `profile`'s reading of the file kept. Failed, reported, otherwise: the file's start goes into
// the decoder, so no other decoder is to try it after this one.
Opening OpenInMemory(OpenedFile& file, const WholeFileDecoderOf& make,
                     icc::Embedded (*profile)(std::span<const std::uint8_t>) = nullptr);

}  // namespace platform::win32
