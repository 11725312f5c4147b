// Scaling a picture to its display size. Shrinking averages every source pixel a destination
// pixel covers (a box filter, so fine patterns turn into their mean colour rather than
// aliasing); enlarging interpolates linearly. The source arrives row by row, top to bottom,
// so a decoder can hand over its rows in strips and no full-size copy of the picture is ever
// made: the working memory is the destination image and one row.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/decoding/picture_rows.hpp"

namespace scaling {

// Largest destination accepted, per side and in all.
inline constexpr std::int32_t kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

class AveragingScaler {
  public:
    // Empty when either size is empty or the destination is beyond the limits above.
    static std::optional<AveragingScaler> Create(std::int32_t sourceWidth,
                                                 std::int32_t sourceHeight, std::int32_t width,
                                                 std::int32_t height);

    // The next source row, sourceWidth pixels 0xAARRGGBB; rows beyond the last are ignored.
    void AddRow(std::span<const std::uint32_t> row);
    // The scaled picture once every source row has been added; empty before.
    std::optional<platform::pictures::Bitmap> Finish() const;

  private:
    // Which source pixels make up each destination pixel along one axis, and with what weight.
    // The weights of one destination pixel add up to 1.
    struct Axis {
        std::vector<std::size_t> first;   // per destination pixel: first source index
        std::vector<std::size_t> count;   // per destination pixel: how many source pixels
        std::vector<std::size_t> offset;  // per destination pixel: where its weights start
        std::vector<float> weights;
    };
    static Axis MakeAxis(std::int32_t source, std::int32_t destination);

    AveragingScaler() = default;

    std::int32_t sourceWidth_ = 0, sourceHeight_ = 0, width_ = 0, height_ = 0;
    std::int32_t nextRow_ = 0;
    Axis horizontal_;
    // Per source row: the destination rows it feeds and with what weight.
    std::vector<std::size_t> feedOffset_;
    std::vector<std::pair<std::int32_t, float>> feeds_;
    std::vector<float> accumulated_;  // destination, 4 channels a pixel
    std::vector<float> row_;          // one source row scaled horizontally
};

}  // namespace scaling
