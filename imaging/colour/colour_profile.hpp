// A picture's embedded colour profile, judged and applied by Little CMS. A profile is taken
// when Little CMS reads it, it describes RGB and a transform from it can be built; one that
// describes sRGB (whatever its make) is taken as none, so that such a picture, like an untagged
// one, costs nothing. The conversion runs on the picture as it is painted, at its display size,
// to the display's profile (sRGB when the display has none): perceptual intent with black-point
// compensation, as photo viewers do. Its transforms are kept while the picture is shown, one
// per display profile met.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "imaging/decoding/picture_rows.hpp"

namespace platform::colour {

class Conversion;

// What an embedded profile comes to.
struct Judged {
    std::shared_ptr<Conversion> conversion;  // empty: paint the numbers as they are
    std::string problem;                     // why a profile was refused; empty otherwise
};

// `profile`: the bytes the picture embeds (icc::Checked), empty when it embeds none.
Judged Judge(std::span<const std::uint8_t> profile);

class Conversion {
  public:
    ~Conversion();
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    // Converts the bitmap's colours in place to the display whose profile is `display`
    // (empty: sRGB). A display profile that Little CMS cannot use counts as sRGB; its problem
    // is returned (empty otherwise) for the caller to report once.
    std::string Apply(pictures::Bitmap& bitmap, std::span<const std::uint8_t> display);

    struct Handles;  // Little CMS's profile and transforms

  private:
    friend Judged Judge(std::span<const std::uint8_t> profile);
    explicit Conversion(std::unique_ptr<Handles> handles);
    std::unique_ptr<Handles> handles_;
};

// A CMYK picture's embedded CMYK profile, through which its rows come to sRGB. CMYK numbers
// cannot be averaged into RGB and converted after, so this one runs on the decoded rows, which
// the decoder has already shrunk to the eighth the frame needs.
class CmykRows {
  public:
    ~CmykRows();
    CmykRows(const CmykRows&) = delete;
    CmykRows& operator=(const CmykRows&) = delete;

    // One row of C, M, Y and K bytes as the file stores them to opaque 0xFFRRGGBB.
    void Convert(const std::uint8_t* cmyk, std::span<std::uint32_t> out) const;

  private:
    friend std::unique_ptr<CmykRows> JudgeCmyk(std::span<const std::uint8_t>, bool, std::string&);
    explicit CmykRows(std::shared_ptr<void> transform);
    std::shared_ptr<void> transform_;
};

// `profile` (icc::Checked) when Little CMS reads it as a CMYK profile it can convert from;
// `inverted`: the inks are stored as Adobe's files store them, 255 for none. Empty, with the
// reason in `problem`, otherwise.
std::unique_ptr<CmykRows> JudgeCmyk(std::span<const std::uint8_t> profile, bool inverted,
                                    std::string& problem);

}  // namespace platform::colour
