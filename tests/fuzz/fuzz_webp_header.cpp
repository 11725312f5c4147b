// Fuzz target: the header reader and the ICCP chunk's reader on WebP files only. The input's
// first 4 bytes are the RIFF size, the rest follows "WEBP", so that every input reaches the
// first chunk. A profile read is whole, as its header declares, and within the budget.
#include <cstdint>
#include <vector>

#include "imaging/colour/icc_chunks.hpp"
#include "tests/fuzz/header_promises.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    file.insert(file.end(), data, data + 4);
    file.insert(file.end(), {'W', 'E', 'B', 'P'});
    file.insert(file.end(), data + 4, data + size);
    header_promises::Check(file);
    const auto profile = platform::icc::FromWebP(file).bytes;
    if (!profile.empty() &&
        (profile.size() < 128 || profile.size() > platform::icc::kMaxProfileBytes))
        header_promises::Fail("a WebP profile's size", 128, profile.size());
    return 0;
}
