// Fuzz target: the libwebp decoder, from the container to the last row of a still (at every
// scale, picked by the first byte) or an animation's first frame. Besides the sanitizers'
// checks: the promises of row_promises.hpp, the pixels premultiplied.
#include "imaging/decoding/webp_decoder.hpp"
#include "tests/fuzz/row_promises.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return row_promises::DecodeWhole<platform::webp::Decoder>(
        data, size, row_promises::Premultiplied, "premultiplied pixels");
}
