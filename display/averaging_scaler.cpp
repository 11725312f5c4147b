#include "display/averaging_scaler.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace scaling {

namespace {

using platform::pictures::Bitmap;

// Which source pixels make up each destination pixel along one axis, and with what weight.
// The weights of one destination pixel add up to 1.
struct Axis {
    std::vector<std::int32_t> first;  // per destination pixel: first source index
    std::vector<std::int32_t> count;  // per destination pixel: how many source pixels
    std::vector<std::size_t> offset;  // per destination pixel: where its weights start
    std::vector<float> weights;
};

Axis MakeAxis(std::int32_t src, std::int32_t dst) {
    Axis a;
    a.first.resize(dst);
    a.count.resize(dst);
    a.offset.resize(dst);
    const double scale = static_cast<double>(src) / dst;
    for (std::int32_t i = 0; i < dst; ++i) {
        a.offset[i] = a.weights.size();
        if (dst <= src) {
            // Shrinking: the destination pixel covers [start, end) of the source.
            const double start = i * scale, end = (i + 1) * scale;
            const std::int32_t j0 = static_cast<std::int32_t>(std::floor(start));
            const std::int32_t j1 = std::min(src, static_cast<std::int32_t>(std::ceil(end)));
            a.first[i] = j0;
            a.count[i] = j1 - j0;
            for (std::int32_t j = j0; j < j1; ++j)
                a.weights.push_back(static_cast<float>(
                    (std::min<double>(end, j + 1) - std::max<double>(start, j)) / scale));
        } else {
            // Enlarging: linear interpolation between the two nearest source pixel centres.
            const double x = (i + 0.5) * scale - 0.5;
            std::int32_t j0 = static_cast<std::int32_t>(std::floor(x));
            double t = x - j0;
            if (j0 < 0) j0 = 0, t = 0;
            if (j0 >= src - 1) j0 = src - 1, t = 0;
            a.first[i] = j0;
            a.count[i] = t > 0 ? 2 : 1;
            a.weights.push_back(static_cast<float>(1 - t));
            if (t > 0) a.weights.push_back(static_cast<float>(t));
        }
    }
    return a;
}

std::uint8_t ToByte(float v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

std::optional<Bitmap> ScaleAveraged(const Bitmap& source, std::int32_t width, std::int32_t height) {
    if (source.width <= 0 || source.height <= 0 ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * source.height)
        return std::nullopt;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<std::int64_t>(width) * height > kMaxPixels)
        return std::nullopt;

    const Axis horizontal = MakeAxis(source.width, width);
    const Axis vertical = MakeAxis(source.height, height);

    // For each source row, the destination rows it feeds and with what weight.
    std::vector<std::vector<std::pair<std::int32_t, float>>> feeds(source.height);
    for (std::int32_t i = 0; i < height; ++i)
        for (std::int32_t k = 0; k < vertical.count[i]; ++k)
            feeds[vertical.first[i] + k].push_back({i, vertical.weights[vertical.offset[i] + k]});

    std::vector<float> accumulated(static_cast<std::size_t>(width) * height * 4, 0.0f);
    std::vector<float> row(static_cast<std::size_t>(width) * 4);
    for (std::int32_t y = 0; y < source.height; ++y) {
        if (feeds[y].empty()) continue;
        const std::uint32_t* src = &source.pixels[static_cast<std::size_t>(y) * source.width];
        for (std::int32_t x = 0; x < width; ++x) {
            float b = 0, g = 0, r = 0, a = 0;
            const float* w = &horizontal.weights[horizontal.offset[x]];
            const std::uint32_t* p = src + horizontal.first[x];
            for (std::int32_t k = 0; k < horizontal.count[x]; ++k) {
                const std::uint32_t c = p[k];
                b += w[k] * static_cast<float>(c & 0xFF);
                g += w[k] * static_cast<float>((c >> 8) & 0xFF);
                r += w[k] * static_cast<float>((c >> 16) & 0xFF);
                a += w[k] * static_cast<float>(c >> 24);
            }
            float* out = &row[static_cast<std::size_t>(x) * 4];
            out[0] = b, out[1] = g, out[2] = r, out[3] = a;
        }
        for (const auto& [dstRow, weight] : feeds[y]) {
            float* acc = &accumulated[static_cast<std::size_t>(dstRow) * width * 4];
            for (std::size_t k = 0; k < row.size(); ++k) acc[k] += weight * row[k];
        }
    }

    Bitmap out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const float* c = &accumulated[i * 4];
        out.pixels[i] = static_cast<std::uint32_t>(ToByte(c[0])) |
                        static_cast<std::uint32_t>(ToByte(c[1])) << 8 |
                        static_cast<std::uint32_t>(ToByte(c[2])) << 16 |
                        static_cast<std::uint32_t>(ToByte(c[3])) << 24;
    }
    return out;
}

}  // namespace scaling
