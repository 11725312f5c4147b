// The ICC profile of a picture that describes its colours only by code points (a HEIF file's
// nclx box: primaries and transfer characteristics of ITU-T H.273), built by Little CMS, so
// that such a picture is converted like one that embeds its profile.
//
// Transfers: the sRGB curve (13, and unspecified), BT.709's (1, 6, 14, 15), pure gammas of 2.2
// (4) and 2.8 (5), linear (8). The HDR transfers PQ (16) and HLG (18), and the others, are not
// tone-mapped: they are taken as the sRGB curve, so such a picture shows its numbers as SDR.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/decoding/heif_decoder.hpp"

namespace platform::colour {

// The profile's bytes; empty when the description is sRGB's (BT.709 or unspecified primaries
// with the sRGB curve or an unspecified one), which needs none, or when its primaries cannot
// make a profile.
std::vector<std::uint8_t> ProfileFor(const heif::ColourDescription& colours);

}  // namespace platform::colour
