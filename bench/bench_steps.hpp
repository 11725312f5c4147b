// The frame's own share of a load-to-paint, step by step: the benchmark drives the pieces the
// program loads and paints a picture with (the backend's decode chain, the averaging scaler,
// the orientation turn, the painting of the held picture) one after the other and times each.
// Nothing in the program itself is timed or changed for it.
#pragma once

#include <filesystem>
#include <optional>

#include "imaging/decoding/picture_rows.hpp"

namespace bench {

// Milliseconds of each step of one load, in the order the frame takes them.
struct Steps {
    double open = 0;    // the file opened for reading and its size read
    double header = 0;  // its start read, the header checked against the decoding budget and,
                        // for a JPEG, libjpeg-turbo's header read
    double decode = 0;  // every row decoded at the scale the frame asks for, the file let go
    double scale = 0;   // the rows averaged down to the size the holder keeps
    double turn = 0;    // that copy turned upright
    double paint = 0;   // the held copy averaged to the display size, drawn, the window updated
    // Not a step of this (untagged) picture's load: what painting it at the large size adds
    // for a picture with an Adobe RGB (1998) profile, the copy kept converted to the display's
    // sRGB with the transform made when the profile was judged.
    double colour = 0;
};

// One load of `file` timed step by step. `kept` is the copy the holder keeps of that same file,
// just loaded by the frame (its size is what the decoder is asked for), and the frame stands
// ready to paint it. Empty when a step fails.
std::optional<Steps> TimeSteps(const std::filesystem::path& file,
                               const platform::pictures::Bitmap& kept);

}  // namespace bench
