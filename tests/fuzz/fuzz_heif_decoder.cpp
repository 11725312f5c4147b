// Fuzz target: the libheif decoder as the frame drives it, from the header reader's verdict to
// the last row: a file is handed to libheif only when the header reader reads its size within
// the decoding budget, as the frame does. Besides the sanitizers' checks: the size libheif gives
// is within the budget, the rows come as Begin announced, upright, with premultiplied colour
// (no channel above its alpha), and a decode that is Done gave every row.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "imaging/decoding/heif_decoder.hpp"
#include "imaging/decoding/picture_header.hpp"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

class Check final : public platform::pictures::RowSink {
  public:
    bool Begin(std::int32_t w, std::int32_t h, platform::pictures::Orientation o) override {
        if (begun || w < 1 || h < 1 || o != platform::pictures::kUpright)
            Fail("one Begin with a size, upright");
        begun = true, width = w, height = h;
        return true;
    }
    void Row(std::span<const std::uint32_t> row) override {
        if (!begun || row.size() != static_cast<std::size_t>(width) || ++rows > height)
            Fail("rows as wide as Begin said, no more of them");
        for (std::uint32_t p : row) {
            const std::uint32_t a = p >> 24;
            if ((p >> 16 & 255) > a || (p >> 8 & 255) > a || (p & 255) > a)
                Fail("premultiplied pixels");
        }
    }
    bool begun = false;
    std::int32_t width = 0, height = 0, rows = 0;
};

}  // namespace

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
    Check check;
    if (decoder.ReadRows(check) != heif::Outcome::Done) return 0;
    if (check.rows != check.height) Fail("every row when done");
    return 0;
}
