// The one way the backend decodes a picture file, for the frame's picture and the caption's
// wallpaper alike: the file is opened once and its start read once, its header checked
// against the decoding budget, and its rows then streamed in strips, never as a converted
// full-size copy. JPEG files go through libjpeg-turbo (imaging/decoding/jpeg_decoder.hpp), shrunk
// while decoding; what it does not take, and every other format, through WIC.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <wincodec.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/colour/colour_profile.hpp"
#include "imaging/colour/icc_chunks.hpp"
#include "imaging/decoding/jpeg_decoder.hpp"
#include "imaging/decoding/picture_rows.hpp"
#include "platform/types.hpp"
#include "platform/win32/scoped.hpp"

namespace platform::win32 {

// Largest picture file decoded.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 30;

// A picture file opened for decoding. Keeping it keeps the file open (shared for reading
// only, so that it cannot change between its header check and the decoding) and whatever the
// decoder holds of the picture; it is let go when this goes.
class PictureSource {
  public:
    // Rows WIC decodes and hands over in one go: memory for a strip, not for the picture.
    static constexpr std::uint32_t kStripRows = 64;

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
    // displayed, turned by the orientation) on both axes, anything else at its stored size.
    // The file is let go when it returns. False, reported, when the picture turns out damaged
    // or the sink refuses the size. May throw std::bad_alloc.
    bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink);

  private:
    class FileBytes;
    explicit PictureSource(std::wstring path);
    bool OpenWic(std::uint32_t frameIndex, bool knownFormat, bool checkPixels);
    bool ReadWic(pictures::RowSink& sink);
    // Keeps a profile that passed the checks; reports why one is not kept.
    void KeepProfile(icc::Embedded embedded, bool cmyk);
    // Names a failure or a hand-over in the debug output; false.
    bool Report(const std::string& why) const;

    std::wstring path_;
    ComPtr<IStream> file_;
    std::unique_ptr<FileBytes> bytes_;
    std::unique_ptr<jpeg::Decoder> jpeg_;
    ComPtr<IWICBitmapDecoder> decoder_;
    ComPtr<IWICBitmapFrameDecode> frame_;
    ComPtr<IWICFormatConverter> converter_;
    WICPixelFormatGUID frameFormat_{};
    std::uint32_t width_ = 0, height_ = 0;
    pictures::Orientation orientation_ = pictures::kUpright;
    std::vector<std::uint8_t> profile_;
    std::unique_ptr<colour::CmykRows> cmyk_;  // a JPEG's CMYK profile, when it has one
};

// A whole picture file at its stored size (not turned), premultiplied 0xAARRGGBB: the
// wallpaper, drawn many times stretched or tiled. Empty when Open or the decoding fails. Needs
// COM on the calling thread. May throw std::bad_alloc.
std::optional<pictures::Bitmap> DecodeWhole(const std::wstring& path);

}  // namespace platform::win32
