#include "imaging/pixels/averaging_scaler.hpp"

#include <algorithm>
#include <cmath>

namespace scaling {

using platform::pictures::Bitmap;

namespace {

std::uint8_t ToByte(float v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

AveragingScaler::Axis AveragingScaler::MakeAxis(std::int32_t src, std::int32_t dst) {
    Axis a;
    const auto n = static_cast<std::size_t>(dst);
    a.first.resize(n);
    a.count.resize(n);
    a.offset.resize(n);
    const double scale = static_cast<double>(src) / dst;
    for (std::int32_t i = 0; i < dst; ++i) {
        const auto at = static_cast<std::size_t>(i);
        a.offset[at] = a.weights.size();
        if (dst <= src) {
            // Shrinking: the destination pixel covers [start, end) of the source.
            const double start = i * scale, end = (i + 1) * scale;
            const std::int32_t j0 = static_cast<std::int32_t>(std::floor(start));
            const std::int32_t j1 = std::min(src, static_cast<std::int32_t>(std::ceil(end)));
            a.first[at] = static_cast<std::size_t>(j0);
            a.count[at] = static_cast<std::size_t>(j1 - j0);
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
            a.first[at] = static_cast<std::size_t>(j0);
            a.count[at] = t > 0 ? 2 : 1;
            a.weights.push_back(static_cast<float>(1 - t));
            if (t > 0) a.weights.push_back(static_cast<float>(t));
        }
    }
    return a;
}

std::optional<AveragingScaler> AveragingScaler::Create(std::int32_t sourceWidth,
                                                       std::int32_t sourceHeight,
                                                       std::int32_t width, std::int32_t height) {
    if (sourceWidth <= 0 || sourceHeight <= 0) return std::nullopt;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<std::int64_t>(width) * height > kMaxPixels)
        return std::nullopt;
    AveragingScaler s;
    s.sourceWidth_ = sourceWidth;
    s.sourceHeight_ = sourceHeight;
    s.width_ = width;
    s.height_ = height;
    s.horizontal_ = MakeAxis(sourceWidth, width);

    // Turn the vertical axis around: for each source row, the destination rows it feeds.
    const Axis vertical = MakeAxis(sourceHeight, height);
    std::vector<std::int32_t> perRow(static_cast<std::size_t>(sourceHeight) + 1, 0);
    for (std::size_t i = 0; i < vertical.first.size(); ++i)
        for (std::size_t k = 0; k < vertical.count[i]; ++k) ++perRow[vertical.first[i] + k + 1];
    for (std::size_t y = 1; y < perRow.size(); ++y) perRow[y] += perRow[y - 1];
    s.feedOffset_.assign(perRow.begin(), perRow.end());
    s.feeds_.resize(s.feedOffset_.back());
    std::vector<std::size_t> fill(s.feedOffset_.begin(), s.feedOffset_.end() - 1);
    for (std::int32_t i = 0; i < height; ++i) {
        const auto at = static_cast<std::size_t>(i);
        for (std::size_t k = 0; k < vertical.count[at]; ++k)
            s.feeds_[fill[vertical.first[at] + k]++] = {i,
                                                        vertical.weights[vertical.offset[at] + k]};
    }

    s.accumulated_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4,
                          0.0f);
    s.row_.resize(static_cast<std::size_t>(width) * 4);
    return s;
}

void AveragingScaler::AddRow(std::span<const std::uint32_t> source) {
    if (nextRow_ >= sourceHeight_ || source.size() < static_cast<std::size_t>(sourceWidth_)) return;
    const auto y = static_cast<std::size_t>(nextRow_++);
    if (feedOffset_[y] == feedOffset_[y + 1]) return;
    for (std::size_t x = 0; x < horizontal_.first.size(); ++x) {
        float b = 0, g = 0, r = 0, a = 0;
        const float* w = &horizontal_.weights[horizontal_.offset[x]];
        const std::uint32_t* p = source.data() + horizontal_.first[x];
        for (std::size_t k = 0; k < horizontal_.count[x]; ++k) {
            const std::uint32_t c = p[k];
            b += w[k] * static_cast<float>(c & 0xFF);
            g += w[k] * static_cast<float>((c >> 8) & 0xFF);
            r += w[k] * static_cast<float>((c >> 16) & 0xFF);
            a += w[k] * static_cast<float>(c >> 24);
        }
        float* out = &row_[x * 4];
        out[0] = b, out[1] = g, out[2] = r, out[3] = a;
    }
    for (std::size_t f = feedOffset_[y]; f < feedOffset_[y + 1]; ++f) {
        const auto [dstRow, weight] = feeds_[f];
        float* acc = &accumulated_[static_cast<std::size_t>(dstRow) * row_.size()];
        for (std::size_t k = 0; k < row_.size(); ++k) acc[k] += weight * row_[k];
    }
}

std::optional<Bitmap> AveragingScaler::Finish() const {
    if (nextRow_ < sourceHeight_) return std::nullopt;
    Bitmap out;
    out.width = width_;
    out.height = height_;
    out.pixels.resize(accumulated_.size() / 4);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const float* c = &accumulated_[i * 4];
        out.pixels[i] = static_cast<std::uint32_t>(ToByte(c[0])) |
                        static_cast<std::uint32_t>(ToByte(c[1])) << 8 |
                        static_cast<std::uint32_t>(ToByte(c[2])) << 16 |
                        static_cast<std::uint32_t>(ToByte(c[3])) << 24;
    }
    return out;
}

}  // namespace scaling
