// Fuzz target: the header reader on WebP files only. The input's first 4 bytes are the RIFF
// size, the rest follows "WEBP", so that every input reaches the first chunk.
#include <cstdint>
#include <vector>

#include "tests/fuzz/header_promises.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    file.insert(file.end(), data, data + 4);
    file.insert(file.end(), {'W', 'E', 'B', 'P'});
    file.insert(file.end(), data + 4, data + size);
    header_promises::Check(file);
    return 0;
}
