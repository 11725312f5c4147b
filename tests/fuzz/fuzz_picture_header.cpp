// Fuzz target: the picture header reader and the decoding budget, which stand between any file
// the program is given and the decoder, for every format the reader knows. Besides the
// sanitizers' checks, the reader's promises are checked (header_promises.hpp).
#include <cstdint>
#include <span>

#include "tests/fuzz/header_promises.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    header_promises::Check(std::span<const std::uint8_t>(data, size));
    return 0;
}
