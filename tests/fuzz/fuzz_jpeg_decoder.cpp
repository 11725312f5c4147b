// Fuzz target: the libjpeg-turbo decoder, from the header to the last row. The first byte picks
// how many pixels the caller asks for (so that every scale, and the first-scan reading of
// progressive files, is taken); the rest is the file. Besides the sanitizers' checks: a header
// that is read is within the decoding budget, the rows come as Begin announced and are opaque,
// and a decode that is Done gave every row and read no more scans than the cap.
#include <cstdint>
#include <span>

#include "imaging/decoding/jpeg_decoder.hpp"
#include "imaging/decoding/picture_header.hpp"
#include "tests/fuzz/row_check.hpp"

namespace {

using row_check::Fail;

bool Opaque(std::uint32_t p) {
    return p >> 24 == 0xFF;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const double side = (data[0] & 0x0F) * 16.0;
    platform::jpeg::MemorySource source(std::span(data + 1, size - 1));
    platform::jpeg::Decoder decoder(source);
    if (decoder.ReadHeader() != platform::jpeg::Outcome::Done) return 0;
    if (!platform::pictures::WithinBudget(decoder.Width(), decoder.Height()))
        Fail("a header read is within the budget");
    // Pictures this large only cost time here: the memory limit and the budget are checked above.
    if (std::uint64_t{decoder.Width()} * decoder.Height() > (std::uint64_t{1} << 22)) return 0;
    row_check::Check check(Opaque, "opaque pixels", false);
    if (decoder.ReadRows({side, side}, check) != platform::jpeg::Outcome::Done) return 0;
    if (check.rows != check.height) Fail("every row when done");
    if (decoder.ScansRead() > platform::jpeg::kMaxScans) Fail("no more scans than the cap");
    return 0;
}
