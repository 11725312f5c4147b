// The libjpeg-turbo decoder on files libjpeg-turbo writes here: the scale it picks, the colours
// of every kind of file it takes, what it leaves to the platform's decoder, its verdicts on
// broken files, and what it reads from the markers.
#include "imaging/decoding/jpeg_decoder.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>
// After <cstdio>: jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>

namespace {

using platform::PixelSize;
using platform::jpeg::Decoder;
using platform::jpeg::Outcome;
using Bytes = std::vector<std::uint8_t>;

TEST(JpegScale, IsTheSmallestEighthThatGivesTheMinimumOnBothAxes) {
    const struct {
        std::uint32_t width, height;
        PixelSize minimum;
        std::int32_t eighths;
    } cases[] = {
        {6000, 4000, {295, 198}, 1},  // 750x500: the large preset at 96 dpi
        {6000, 4000, {591, 396}, 1},  // the same at 192 dpi
        {6000, 4000, {751, 396}, 2},  // one pixel more than 1/8 gives
        {4032, 3024, {591, 443}, 2},  // 504 wide at 1/8
        {4000, 6000, {198, 295}, 1},  // a portrait's stored rows
        {2360, 1576, {295, 198}, 2},  // 295x197 at 1/8
        {2357, 1577, {295, 198}, 1},  // 1/8 rounds up to 295x198
        {780, 520, {591, 396}, 7},    // 683x455
        {300, 200, {295, 198}, 8},    // smaller than asked: the whole picture
        {6000, 4000, {0, 0}, 1},      // nothing asked
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::jpeg::ScaleFor(c.width, c.height, c.minimum), c.eighths)
            << c.width << "x" << c.height << " for " << c.minimum.width << "x" << c.minimum.height;
}

// --- files written by libjpeg-turbo ----------------------------------------------------------

struct Rgb {
    int r, g, b;
};
// Four quarters of these colours: top left, top right, bottom left, bottom right.
const Rgb kQuarters[] = {{200, 40, 40}, {40, 180, 60}, {40, 60, 200}, {230, 200, 40}};

Rgb QuarterAt(int x, int y, int w, int h) {
    return kQuarters[(y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0)];
}

struct Kind {
    const char* name;
    J_COLOR_SPACE in = JCS_RGB, stored = JCS_YCbCr;
    bool progressive = false, arithmetic = false;
    unsigned restartRows = 0;
};

// A w x h file of `kind`, with `markers` (marker, bytes) after its header. CMYK is written as
// Adobe's programs write it, inverted, the way a decoder reads a file with Adobe's marker.
Bytes Encode(const Kind& kind, int w, int h, const std::function<Rgb(int, int)>& pixel = nullptr,
             const std::vector<std::pair<int, Bytes>>& markers = {}) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.in_color_space = kind.in;
    c.input_components = kind.in == JCS_GRAYSCALE ? 1 : kind.in == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, kind.stored);
    jpeg_set_quality(&c, 95, TRUE);
    if (kind.progressive) jpeg_simple_progression(&c);
    c.arith_code = kind.arithmetic ? TRUE : FALSE;
    c.restart_in_rows = static_cast<int>(kind.restartRows);
    jpeg_start_compress(&c, TRUE);
    for (const auto& [marker, bytes] : markers)
        jpeg_write_marker(&c, marker, bytes.data(), static_cast<unsigned>(bytes.size()));
    std::vector<JSAMPLE> row(static_cast<std::size_t>(w) * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb p = pixel ? pixel(x, y) : QuarterAt(x, y, w, h);
            JSAMPLE* o = &row[static_cast<std::size_t>(x * c.input_components)];
            const int k = std::max({p.r, p.g, p.b, 1});
            const int v[] = {p.r, p.g, p.b, 255 * p.r / k, 255 * p.g / k, 255 * p.b / k, k};
            for (int i = 0; i < c.input_components; ++i)
                o[i] = static_cast<JSAMPLE>(kind.in == JCS_CMYK ? v[3 + i] : v[i]);
            if (kind.in == JCS_GRAYSCALE) o[0] = static_cast<JSAMPLE>(p.g);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

class Gather final : public platform::pictures::RowSink {
  public:
    bool Begin(std::int32_t w, std::int32_t h, platform::pictures::Orientation o) override {
        width = w, height = h, orientation = o;
        return !refuse;
    }
    void Row(std::span<const std::uint32_t> row) override {
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    Rgb At(int x, int y) const {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        return {static_cast<int>(p >> 16 & 255), static_cast<int>(p >> 8 & 255),
                static_cast<int>(p & 255)};
    }
    bool refuse = false;
    std::int32_t width = 0, height = 0;
    platform::pictures::Orientation orientation = 0;
    std::vector<std::uint32_t> pixels;
};

// The file decoded for a caller that needs `minimum`; the outcome of the first step that was
// not Done.
Outcome Decode(const Bytes& file, const PixelSize& minimum, Gather& out) {
    platform::jpeg::MemorySource source(file);
    Decoder decoder(source);
    const Outcome header = decoder.ReadHeader();
    return header == Outcome::Done ? decoder.ReadRows(minimum, out) : header;
}

int Distance(const Rgb& a, const Rgb& b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

TEST(JpegDecoder, EveryKindItTakesShowsItsColoursAtEveryScale) {
    const Kind kinds[] = {
        {"YCbCr baseline"},
        {"YCbCr progressive", JCS_RGB, JCS_YCbCr, true},
        {"arithmetic-coded", JCS_RGB, JCS_YCbCr, false, true},
        {"arithmetic progressive", JCS_RGB, JCS_YCbCr, true, true},
        {"RGB", JCS_RGB, JCS_RGB},
        {"CMYK (Adobe, inverted)", JCS_CMYK, JCS_CMYK},
        {"YCCK", JCS_CMYK, JCS_YCCK},
        {"grey", JCS_GRAYSCALE, JCS_GRAYSCALE},
    };
    for (const Kind& kind : kinds) {
        const Bytes file = Encode(kind, 128, 96);
        for (const double side : {10.0, 40.0, 128.0}) {
            SCOPED_TRACE(std::string(kind.name) + " at a minimum of " + std::to_string(side));
            Gather got;
            ASSERT_EQ(Decode(file, {side, side * 0.75}, got), Outcome::Done);
            const int eighths = side <= 16 ? 1 : side <= 48 ? 3 : 8;
            ASSERT_EQ(got.width, 128 * eighths / 8);
            ASSERT_EQ(got.height, 96 * eighths / 8);
            ASSERT_EQ(got.pixels.size(), static_cast<std::size_t>(got.width * got.height));
            for (const auto& [x, y] : {std::pair{0.2, 0.2}, {0.8, 0.2}, {0.2, 0.8}, {0.8, 0.8}}) {
                const int px = static_cast<int>(x * got.width),
                          py = static_cast<int>(y * got.height);
                Rgb want = QuarterAt(px, py, got.width, got.height);
                if (kind.in == JCS_GRAYSCALE) want = {want.g, want.g, want.g};
                EXPECT_LE(Distance(got.At(px, py), want), 6) << "at " << px << "," << py;
                EXPECT_EQ(got.pixels[static_cast<std::size_t>(py * got.width + px)] >> 24, 255u);
            }
        }
    }
}

// A progressive file wanted at 1/8 is read only up to its DC scans. libjpeg's own script sends
// the DC coefficients' last bit in a later scan, which the picture lacks; and at 1/8 libjpeg
// takes the colour of a 4:2:0 file from the first AC coefficients too, so that without them
// the colour is one value for each 2x2 pixels. Averaged over those 2x2 pixels, as the display
// size averages far more, the two decodes differ by a level or two.
TEST(JpegDecoder, AProgressiveFileAtAnEighthDiffersFromAllItsScansByALevelOrTwo) {
    const auto photo = [](int x, int y) {
        const auto wave = [](double v) { return static_cast<int>(128 + 100 * std::sin(v)); };
        return Rgb{wave(x / 40.0), wave(y / 30.0 + x / 70.0), wave((x - y) / 50.0)};
    };
    const Kind sequential{"baseline"}, progressive{"progressive", JCS_RGB, JCS_YCbCr, true};
    Gather all, first;
    ASSERT_EQ(Decode(Encode(sequential, 320, 240, photo), {40, 30}, all), Outcome::Done);
    ASSERT_EQ(Decode(Encode(progressive, 320, 240, photo), {40, 30}, first), Outcome::Done);
    ASSERT_EQ(first.pixels.size(), all.pixels.size());
    const auto mean = [](const Gather& g, int x, int y) {
        Rgb sum{0, 0, 0};
        for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
            const Rgb p = g.At(x + dx, y + dy);
            sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
        }
        return Rgb{(sum.r + 2) / 4, (sum.g + 2) / 4, (sum.b + 2) / 4};
    };
    int worst = 0;
    for (int y = 0; y < all.height; y += 2)
        for (int x = 0; x < all.width; x += 2)
            worst = std::max(worst, Distance(mean(all, x, y), mean(first, x, y)));
    EXPECT_LE(worst, 2);
}

// The first `scans` scans of a file, cut `into` bytes into the next one.
Bytes CutInScan(const Bytes& file, int scans, std::size_t into) {
    std::size_t at = 0;
    for (int seen = -1; seen < scans; ++at)
        if (file[at] == 0xFF && file[at + 1] == 0xDA) ++seen;
    return Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(at + into));
}

// The file with `bytes` put in before its first restart marker.
Bytes StrayBeforeRestart(Bytes file, const Bytes& bytes) {
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xD0) {
            file.insert(file.begin() + static_cast<std::ptrdiff_t>(i), bytes.begin(), bytes.end());
            break;
        }
    return file;
}

// A progressive file whose last scan comes `times` times: what no encoder writes, and what
// libjpeg reads on (warning of a bogus progression), each scan over every block again.
Bytes LastScanRepeated(const Bytes& file, int times) {
    std::size_t last = 0;
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA) last = i;
    const Bytes scan(file.begin() + static_cast<std::ptrdiff_t>(last), file.end() - 2);
    Bytes out(file.begin(), file.end() - 2);
    for (int i = 1; i < times; ++i) out.insert(out.end(), scan.begin(), scan.end());
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

TEST(JpegDecoder, Verdicts) {
    const Bytes good = Encode({"baseline"}, 64, 48);
    const Bytes progressive = Encode({"progressive", JCS_RGB, JCS_YCbCr, true}, 64, 48);
    const Bytes arithmetic = Encode({"arithmetic", JCS_RGB, JCS_YCbCr, false, true}, 64, 48);
    Bytes twelveBit = good, huge = good;
    for (std::size_t i = 0; i + 9 < good.size(); ++i)
        if (good[i] == 0xFF && good[i + 1] == 0xC0) {
            twelveBit[i + 4] = 12;
            huge[i + 5] = huge[i + 7] = 0xEA;  // 60000 (0xEA60) a side
            huge[i + 6] = huge[i + 8] = 0x60;
        }
    const PixelSize whole{64, 48}, eighth{8, 6};
    const struct {
        const char* what;
        Bytes file;
        PixelSize minimum;
        Outcome outcome;
    } cases[] = {
        {"whole", good, whole, Outcome::Done},
        {"without its end marker", Bytes(good.begin(), good.end() - 2), whole, Outcome::Done},
        {"cut in its scan", CutInScan(good, 0, 60), eighth, Outcome::Failed},
        {"arithmetic-coded, cut in its scan", CutInScan(arithmetic, 0, 60), whole, Outcome::Failed},
        {"arithmetic-coded without its end marker", Bytes(arithmetic.begin(), arithmetic.end() - 2),
         whole, Outcome::Done},
        {"progressive cut in its DC scan", CutInScan(progressive, 0, 20), eighth, Outcome::Failed},
        // What the later scans add is finer than an eighth shows: they are never read.
        {"progressive cut after its DC scan, at 1/8", CutInScan(progressive, 1, 20), eighth,
         Outcome::Done},
        {"progressive cut after its DC scan, whole", CutInScan(progressive, 1, 20), whole,
         Outcome::Failed},
        {"progressive cut between two scans, whole", CutInScan(progressive, 3, 0), whole,
         Outcome::Failed},
        {"progressive without its end marker", Bytes(progressive.begin(), progressive.end() - 2),
         whole, Outcome::Done},
        {"stray bytes before a restart marker",
         StrayBeforeRestart(Encode({"restarts", JCS_RGB, JCS_YCbCr, false, false, 1}, 64, 48),
                            {0x12, 0x34, 0x56}),
         whole, Outcome::Done},
        {"a scan repeated (a bogus progression)", LastScanRepeated(progressive, 2), whole,
         Outcome::Done},
        {"as many scans as the cap", LastScanRepeated(progressive, platform::jpeg::kMaxScans - 9),
         whole, Outcome::Done},
        {"one scan beyond the cap", LastScanRepeated(progressive, platform::jpeg::kMaxScans - 8),
         whole, Outcome::Failed},
        {"12-bit samples", twelveBit, whole, Outcome::NotMine},
        {"60000x60000", huge, whole, Outcome::Failed},
        {"no JPEG at all", Bytes(100, 0x42), whole, Outcome::NotMine},
        {"empty", Bytes(), whole, Outcome::NotMine},
    };
    for (const auto& c : cases) {
        Gather got;
        EXPECT_EQ(Decode(c.file, c.minimum, got), c.outcome) << c.what;
    }
    Gather refusing;
    refusing.refuse = true;
    EXPECT_EQ(Decode(good, {8, 6}, refusing), Outcome::Failed) << "a sink that refuses the size";
    EXPECT_TRUE(refusing.pixels.empty());
}

TEST(JpegDecoder, ReadsTheOrientationAndKeepsTheIccProfileFromTheHeader) {
    // Exif, big-endian TIFF structure: IFD0 with one entry, orientation (274) SHORT 6.
    const Bytes exif = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1,
                        1,   18,  0,   3,   0, 0, 0,   1,   0, 6,  0, 0, 0, 0, 0, 0};
    std::vector<std::pair<int, Bytes>> markers = {{JPEG_APP0 + 1, {'h', 't', 't', 'p'}},
                                                  {JPEG_APP0 + 1, exif}};
    for (std::uint8_t seq : {1, 2}) {
        Bytes icc = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, seq, 2};
        icc.resize(icc.size() + 1000u * seq, seq);
        markers.push_back({JPEG_APP0 + 2, icc});
    }
    const Bytes file = Encode({"baseline"}, 64, 48, nullptr, markers);
    platform::jpeg::MemorySource source(file);
    Decoder decoder(source);
    ASSERT_EQ(decoder.ReadHeader(), Outcome::Done);
    EXPECT_EQ(decoder.Width(), 64u);
    EXPECT_EQ(decoder.RecordedOrientation(), 6);
    ASSERT_EQ(decoder.IccChunks().size(), 2u);
    for (std::uint8_t seq : {1, 2}) {
        const auto& chunk = decoder.IccChunks()[seq - 1u];
        EXPECT_EQ(chunk.sequence, seq);
        EXPECT_EQ(chunk.count, 2);
        EXPECT_EQ(chunk.bytes, Bytes(1000u * seq, seq));
    }
    Gather got;
    ASSERT_EQ(decoder.ReadRows({8, 6}, got), Outcome::Done);
    EXPECT_EQ(got.orientation, 6) << "the rows come as stored, with the orientation to turn them";
}

}  // namespace
