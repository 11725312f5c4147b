// Fuzz target: the giflib decoder, from the screen descriptor to the first image's last row on
// its screen. Besides the sanitizers' checks: the promises of row_promises.hpp, each pixel
// opaque or wholly transparent.
#include "imaging/decoding/gif_decoder.hpp"
#include "tests/fuzz/row_promises.hpp"

namespace {

bool OpaqueOrNothing(std::uint32_t p) {
    return p == 0 || row_promises::Opaque(p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return row_promises::DecodeWhole<platform::gif::Decoder>(data, size, OpaqueOrNothing,
                                                             "opaque or transparent pixels");
}
