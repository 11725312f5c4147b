// The libwebp decoder (see webp_decoder.hpp).
#include "imaging/decoding/webp_decoder.hpp"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "imaging/decoding/picture_header.hpp"

namespace platform::webp {

namespace {

// libwebp's premultiplied pixels in the layout of a 0xAARRGGBB word in memory.
constexpr WEBP_CSP_MODE kWordLayout =
    std::endian::native == std::endian::little ? MODE_bgrA : MODE_Argb;

constexpr std::uint8_t kExifStart[] = {'E', 'x', 'i', 'f', 0, 0};

struct DemuxerOwner {
    WebPDemuxer* demuxer;
    ~DemuxerOwner() { WebPDemuxDelete(demuxer); }
};
struct AnimationOwner {
    WebPAnimDecoder* decoder;
    ~AnimationOwner() { WebPAnimDecoderDelete(decoder); }
};

const char* Described(VP8StatusCode status) {
    switch (status) {
        case VP8_STATUS_OUT_OF_MEMORY:
            return "libwebp: out of memory";
        case VP8_STATUS_INVALID_PARAM:
            return "libwebp: invalid parameter";
        case VP8_STATUS_UNSUPPORTED_FEATURE:
            return "libwebp: a feature it does not decode";
        case VP8_STATUS_NOT_ENOUGH_DATA:
            return "cut short: the file ends before its picture does";
        default:
            return "libwebp: the bitstream is broken";
    }
}

}  // namespace

Scaled ScaledSize(std::uint32_t width, std::uint32_t height, const PixelSize& minimum) {
    const double factor = std::max(minimum.width / width, minimum.height / height);
    if (!(factor < 1)) return {width, height};
    const auto side = [factor](std::uint32_t s) {
        const double scaled = std::ceil(s * factor);
        return std::clamp(static_cast<std::uint32_t>(scaled), std::uint32_t{1}, s);
    };
    return {side(width), side(height)};
}

struct Decoder::State {
    std::vector<std::uint8_t> file;
    bool headerRead = false, rowsRead = false;
    std::uint32_t width = 0, height = 0;
    bool animated = false;
    pictures::Orientation orientation = pictures::kUpright;
    std::string problem;

    WebPData Data() const { return {file.data(), file.size()}; }
    bool Fail(std::string why) {
        problem = std::move(why);
        return false;
    }
};

Decoder::Decoder(std::vector<std::uint8_t> file) : state_(std::make_unique<State>()) {
    state_->file = std::move(file);
}
Decoder::~Decoder() = default;

bool Decoder::ReadHeader() {
    State& s = *state_;
    if (s.headerRead) return s.Fail("the header is read once");
    const WebPData data = s.Data();
    const DemuxerOwner demux{WebPDemux(&data)};
    if (!demux.demuxer) {
        WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
        const DemuxerOwner partial{WebPDemuxPartial(&data, &state)};
        return s.Fail(state == WEBP_DEMUX_PARSE_ERROR
                          ? "libwebp: the container is broken"
                          : "cut short: the file ends before its picture does");
    }
    s.width = WebPDemuxGetI(demux.demuxer, WEBP_FF_CANVAS_WIDTH);
    s.height = WebPDemuxGetI(demux.demuxer, WEBP_FF_CANVAS_HEIGHT);
    if (!pictures::WithinBudget(s.width, s.height))
        return s.Fail("refused: " + std::to_string(s.width) + "x" + std::to_string(s.height) +
                      " is beyond the decoding budget");
    s.animated = (WebPDemuxGetI(demux.demuxer, WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG) != 0;
    WebPChunkIterator exif{};
    if (WebPDemuxGetChunk(demux.demuxer, "EXIF", 1, &exif)) {
        // Some writers put the JPEG segment's "Exif\0\0" before the TIFF structure.
        std::span<const std::uint8_t> block(exif.chunk.bytes, exif.chunk.size);
        if (block.size() >= sizeof kExifStart &&
            std::equal(std::begin(kExifStart), std::end(kExifStart), block.begin()))
            block = block.subspan(sizeof kExifStart);
        s.orientation = pictures::ReadExifOrientation(block);
    }
    WebPDemuxReleaseChunkIterator(&exif);
    s.headerRead = true;
    return true;
}

std::uint32_t Decoder::Width() const {
    return state_->width;
}
std::uint32_t Decoder::Height() const {
    return state_->height;
}
bool Decoder::Animated() const {
    return state_->animated;
}
pictures::Orientation Decoder::RecordedOrientation() const {
    return state_->orientation;
}
std::span<const std::uint8_t> Decoder::File() const {
    return state_->file;
}
const std::string& Decoder::Problem() const {
    return state_->problem;
}

namespace {

// Hands `height` rows of `width` pixels, `stride` bytes apart, to the sink.
void HandOver(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height,
              std::size_t stride, pictures::RowSink& sink) {
    std::vector<std::uint32_t> row(width);
    for (std::uint32_t y = 0; y < height; ++y) {
        std::memcpy(row.data(), pixels + stride * y, std::size_t{width} * 4);
        sink.Row(row);
    }
}

}  // namespace

bool Decoder::ReadRows(const PixelSize& minimum, pictures::RowSink& sink) {
    State& s = *state_;
    if (!s.headerRead || s.rowsRead) return s.Fail("the rows are read once, after the header");
    s.rowsRead = true;
    const WebPData data = s.Data();
    if (s.animated) {
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options)) return s.Fail("libwebp: a version mismatch");
        options.color_mode = kWordLayout;
        options.use_threads = 0;
        const AnimationOwner animation{WebPAnimDecoderNew(&data, &options)};
        if (!animation.decoder) return s.Fail("libwebp: the animation cannot be decoded");
        std::uint8_t* canvas = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(animation.decoder, &canvas, &timestamp))
            return s.Fail("libwebp: the animation's first frame cannot be decoded");
        if (!sink.Begin(static_cast<std::int32_t>(s.width), static_cast<std::int32_t>(s.height),
                        s.orientation))
            return s.Fail("the picture's receiver refused its size");
        HandOver(canvas, s.width, s.height, std::size_t{s.width} * 4, sink);
        return true;
    }

    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return s.Fail("libwebp: a version mismatch");
    if (const VP8StatusCode status = WebPGetFeatures(data.bytes, data.size, &config.input);
        status != VP8_STATUS_OK)
        return s.Fail(Described(status));
    const Scaled scaled = ScaledSize(s.width, s.height, minimum);
    if (scaled.width != s.width || scaled.height != s.height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = static_cast<int>(scaled.width);
        config.options.scaled_height = static_cast<int>(scaled.height);
    }
    // The rows go straight into memory of the decoder's own, of the size they are shown from.
    std::vector<std::uint32_t> pixels(std::size_t{scaled.width} * scaled.height);
    config.output.colorspace = kWordLayout;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<std::uint8_t*>(pixels.data());
    config.output.u.RGBA.stride = static_cast<int>(scaled.width * 4);
    config.output.u.RGBA.size = pixels.size() * 4;
    const VP8StatusCode status = WebPDecode(data.bytes, data.size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) return s.Fail(Described(status));
    if (!sink.Begin(static_cast<std::int32_t>(scaled.width),
                    static_cast<std::int32_t>(scaled.height), s.orientation))
        return s.Fail("the picture's receiver refused its size");
    for (std::uint32_t y = 0; y < scaled.height; ++y)
        sink.Row(std::span(pixels).subspan(std::size_t{scaled.width} * y, scaled.width));
    return true;
}

}  // namespace platform::webp
