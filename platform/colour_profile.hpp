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

#include "platform/picture_rows.hpp"

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

}  // namespace platform::colour
