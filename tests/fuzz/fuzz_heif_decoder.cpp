// Fuzz target: the libheif decoder as the frame drives it, from the header reader's verdict to
// the last row: a file is handed to libheif only when the header reader reads its size within
// the decoding budget, as the frame does. Besides the sanitizers' checks: the size libheif gives
// is within the budget, the rows come as Begin announced, upright, with premultiplied colour
// (no channel above its alpha), and a decode that is Done gave every row.
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/decoding/heif_decoder.hpp"
#include "imaging/decoding/picture_header.hpp"
#include "tests/fuzz/row_promises.hpp"

using row_promises::Fail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform;
    const std::span<const std::uint8_t> bytes(data, size);
    const pictures::HeaderReading reading = pictures::ReadPictureHeader(bytes);
    if (reading.info.format != pictures::Format::Heif ||
        pictures::Admit(reading) != pictures::Admission::Decode)
        return 0;
    // Pictures this large only cost time here: the budget is checked by the reader above.
    if (std::uint64_t{reading.info.width} * reading.info.height > (std::uint64_t{1} << 22))
        return 0;
    heif::Decoder decoder(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    if (decoder.ReadHeader() != heif::Outcome::Done) return 0;
    if (!pictures::WithinBudget(decoder.Width(), decoder.Height()))
        Fail("a header read is within the budget");
    if (std::uint64_t{decoder.Width()} * decoder.Height() > (std::uint64_t{1} << 22)) return 0;
    row_promises::Check check(row_promises::Premultiplied, "premultiplied pixels", true);
    if (decoder.ReadRows(check) != heif::Outcome::Done) return 0;
    check.CheckWhole();
    return 0;
}
