// GIF files decoded by giflib, as browsers show them: the first image placed on the logical
// screen at its offset, the rest of the screen transparent, and the image's pixels of the
// transparent colour index (its graphic control extension) transparent too. The picture's size
// is the logical screen's. Only the records up to the first image's last row are read.
//
// Colours come from the image's local colour table, else the global one; a GIF without either
// is shown in greys, index i as (i, i, i), as Pillow shows it. An index beyond the table is
// black. Parts of the image beyond the screen are cut off; an image beyond the decoding budget
// by itself, or one cut short or damaged before its last row, fails the file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "imaging/decoding/picture_rows.hpp"
#include "imaging/decoding/whole_file_decoder.hpp"

namespace platform::gif {

// Premultiplied 0xAARRGGBB for each colour index: the colour table's `colours` (red, green,
// blue for each entry, as the file stores them; empty when the GIF has none) and the
// transparent index (below 0 for none).
std::array<std::uint32_t, 256> Palette(std::span<const std::uint8_t> colours, int transparent);

// The rows of an interlaced image of `height` rows in the order the file stores them: every
// eighth from 0, every eighth from 4, every fourth from 2, every second from 1.
std::vector<std::uint32_t> InterlacedOrder(std::uint32_t height);

class Decoder final : public pictures::WholeFileDecoder {
  public:
    explicit Decoder(std::vector<std::uint8_t> file);
    ~Decoder() override;

    // What giflib keeps between the steps, and where it reads.
    struct State;

  private:
    // Up to the first image's descriptor: the logical screen's size, the transparent index.
    bool ReadFormatHeader() override;
    // The screen's rows at their stored size (`minimum` is not used).
    bool ReadFormatRows(const PixelSize& minimum, pictures::RowSink& sink) override;
    // False with giflib's words for the call's failure.
    bool FailedCall(const char* call);

    std::unique_ptr<State> state_;
};

}  // namespace platform::gif
