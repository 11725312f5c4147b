// The box structure of HEIF files (HEIC, AVIF), read by the program itself as far as the
// primary image's size: the file type box and its brands, then the meta box's primary item
// (pitm) and the properties associated with it (iprp: ipco and ipma), of which the image's
// spatial extent (ispe) and its rotation (irot); for a primary image derived from others (a
// grid of tiles, an overlay: iinf), the canvas its data (iloc, idat) gives. So that the
// decoding budget is checked before libheif sees the file.
#pragma once

#include <cstdint>

#include "imaging/decoding/byte_reader.hpp"

namespace platform::heif {

// Whether the bytes start with a file type box that names a HEIF brand (heic, heix, hevc, heim,
// heis, mif1, msf1, avif, avis) as its major brand or, when the box is at least 16 bytes long,
// among its compatible brands; a box that goes on beyond the bytes counts while it may still
// name one.
bool HasHeifBrand(const bytes::Reader& r);

enum class Lookup : std::uint8_t { Found, CutShort, Malformed };

struct PrimarySize {
    std::uint32_t width = 0, height = 0;
};

// The primary image's size as shown: its ispe turned by the irot boxes associated after it.
// The whole meta box must lie within the bytes (CutShort otherwise, and while no meta box has
// come), and so must a derived image's data (Malformed when its canvas is not the ispe's size,
// and when another image's ispe is beyond the budget or four times the primary's pixels).
Lookup ReadPrimarySize(const bytes::Reader& r, PrimarySize& size);

}  // namespace platform::heif
