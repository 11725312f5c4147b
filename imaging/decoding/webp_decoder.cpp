// The libwebp decoder (see webp_decoder.hpp).
#include "imaging/decoding/webp_decoder.hpp"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

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

WebPData DataOf(std::span<const std::uint8_t> file) {
    return {file.data(), file.size()};
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

pictures::Orientation ChunkOrientation(std::span<const std::uint8_t> chunk) {
    if (chunk.size() >= sizeof kExifStart &&
        std::equal(std::begin(kExifStart), std::end(kExifStart), chunk.begin()))
        chunk = chunk.subspan(sizeof kExifStart);
    return pictures::ReadExifOrientation(chunk);
}

bool Decoder::ReadFormatHeader() {
    const WebPData data = DataOf(File());
    const DemuxerOwner demux{WebPDemux(&data)};
    if (!demux.demuxer) {
        WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
        const DemuxerOwner partial{WebPDemuxPartial(&data, &state)};
        return Fail(state == WEBP_DEMUX_PARSE_ERROR
                        ? "libwebp: the container is broken"
                        : "cut short: the file ends before its picture does");
    }
    animated_ = (WebPDemuxGetI(demux.demuxer, WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG) != 0;
    WebPChunkIterator exif{};
    if (WebPDemuxGetChunk(demux.demuxer, "EXIF", 1, &exif))
        orientation_ = ChunkOrientation({exif.chunk.bytes, exif.chunk.size});
    WebPDemuxReleaseChunkIterator(&exif);
    return TakeSize(WebPDemuxGetI(demux.demuxer, WEBP_FF_CANVAS_WIDTH),
                    WebPDemuxGetI(demux.demuxer, WEBP_FF_CANVAS_HEIGHT));
}

bool Decoder::ReadAnimation(pictures::RowSink& sink) {
    const WebPData data = DataOf(File());
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return Fail("libwebp: a version mismatch");
    options.color_mode = kWordLayout;
    options.use_threads = 0;
    const AnimationOwner animation{WebPAnimDecoderNew(&data, &options)};
    if (!animation.decoder) return Fail("libwebp: the animation cannot be decoded");
    std::uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(animation.decoder, &canvas, &timestamp))
        return Fail("libwebp: the animation's first frame cannot be decoded");
    if (!Begin(sink, Width(), Height())) return false;
    std::vector<std::uint32_t> row(Width());
    for (std::uint32_t y = 0; y < Height(); ++y) {
        std::memcpy(row.data(), canvas + std::size_t{Width()} * 4 * y, row.size() * 4);
        sink.Row(row);
    }
    return true;
}

bool Decoder::ReadFormatRows(const PixelSize& minimum, pictures::RowSink& sink) {
    if (animated_) return ReadAnimation(sink);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return Fail("libwebp: a version mismatch");
    const std::span<const std::uint8_t> file = File();
    if (const VP8StatusCode status = WebPGetFeatures(file.data(), file.size(), &config.input);
        status != VP8_STATUS_OK)
        return Fail(Described(status));
    const Scaled scaled = ScaledSize(Width(), Height(), minimum);
    if (scaled.width != Width() || scaled.height != Height()) {
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
    const VP8StatusCode status = WebPDecode(file.data(), file.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) return Fail(Described(status));
    if (!Begin(sink, scaled.width, scaled.height)) return false;
    for (std::uint32_t y = 0; y < scaled.height; ++y)
        sink.Row(std::span(pixels).subspan(std::size_t{scaled.width} * y, scaled.width));
    return true;
}

}  // namespace platform::webp
