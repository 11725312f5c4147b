// Fuzz target: the header reader on TIFF files only. The input's first byte picks the byte
// order, the rest follows the signature, so that every input reaches the IFD walk.
#include <cstdint>
#include <vector>

#include "tests/fuzz/header_promises.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::uint8_t> file = data[0] & 1 ? std::vector<std::uint8_t>{'M', 'M', 0x00, 0x2A}
                                                 : std::vector<std::uint8_t>{'I', 'I', 0x2A, 0x00};
    file.insert(file.end(), data + 1, data + size);
    header_promises::Check(file);
    return 0;
}
