// The one way the backend decodes a picture file, for the frame's picture and the caption's
// wallpaper alike: the file is opened once and its start read once, its header checked
// against the decoding budget, and its rows then streamed in strips, never as a converted
// full-size copy, by the first decoder that takes it (decoders.cpp): JPEG through libjpeg-turbo,
// shrunk while decoding; WebP through libwebp, a still shrunk while decoding too; GIF through
// giflib; what libjpeg-turbo does not take, and every other format, through WIC.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <objidl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"
#include "platform/types.hpp"
#include "platform/win32/scoped.hpp"

namespace platform::win32 {

class PictureDecoder;

// Largest picture file decoded.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 30;

// A picture file opened for decoding. Keeping it keeps the file open (shared for reading
// only, so that it cannot change between its header check and the decoding) and whatever the
// decoder holds of the picture; it is let go when this goes.
class PictureSource {
  public:
    // The picture of a file (an icon's or cursor's largest image, the first frame of every
    // other format), once its header was found within the decoding budget; for a format whose
    // header this program does not read, once the size its system decoder reports is within
    // the budget. Empty otherwise and when the decoder fails, each such failure reported with
    // its reason. Needs COM on the calling thread. May throw std::bad_alloc.
    static std::unique_ptr<PictureSource> Open(const std::wstring& path);
    ~PictureSource();

    // The stored size, before the orientation turns it.
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    // How the stored rows are to be turned to show upright, from the file's own bytes.
    pictures::Orientation RecordedOrientation() const { return orientation_; }
    // The colour profile the file embeds, checked as bytes; empty without one.
    const std::vector<std::uint8_t>& ColourProfile() const { return profile_; }

    // Streams the rows top to bottom as 0xAARRGGBB with premultiplied alpha, once: a JPEG
    // shrunk while decoding to the smallest eighth that is at least `minimum` (a size as
    // displayed, turned by the orientation) on both axes, a still WebP to the smallest size
    // that is, anything else at its stored size.
    // The file is let go when it returns. False, reported, when the picture turns out damaged
    // or the sink refuses the size. May throw std::bad_alloc.
    bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink);

  private:
    PictureSource() = default;

    ComPtr<IStream> file_;
    std::unique_ptr<PictureDecoder> decoder_;
    std::uint32_t width_ = 0, height_ = 0;
    pictures::Orientation orientation_ = pictures::kUpright;
    std::vector<std::uint8_t> profile_;
};

}  // namespace platform::win32
