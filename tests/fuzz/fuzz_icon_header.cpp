// Fuzz target: the header reader on icon and cursor files only. The input's first byte picks
// icon or cursor, the rest follows the signature, so that every input reaches the directory.
#include <cstdint>
#include <vector>

#include "tests/fuzz/header_promises.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::uint8_t> file = {0x00, 0x00, static_cast<std::uint8_t>(data[0] & 1 ? 2 : 1),
                                      0x00};
    file.insert(file.end(), data + 1, data + size);
    header_promises::Check(file);
    return 0;
}
