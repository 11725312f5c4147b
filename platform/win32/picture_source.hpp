// The picture source of the hidden picture holder: a picture file opened for decoding with WIC
// within the decoding budget, which streams its rows in strips without ever holding a
// converted full-size copy.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <wincodec.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/pictures.hpp"
#include "platform/win32/scoped.hpp"

namespace platform::win32 {

// Largest picture file decoded.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 30;

// A picture file opened for decoding: the file itself (read by the decoder as it needs it, never
// copied whole into memory), WIC's decoder, its first frame and a converter to premultiplied
// BGRA. Keeping it keeps the file open and whatever the decoder holds of the picture.
class PictureSource {
  public:
    // Rows decoded and handed over in one go: memory for a strip, not for the picture.
    static constexpr std::uint32_t kStripRows = 64;

    // The frame of a picture file that its header's size is for (an icon's or cursor's
    // largest image, the first of every other format whose header this program reads), once
    // that header was found within the decoding budget; for a file of any other format, the
    // first frame of whatever system decoder takes it, once the size that decoder reports is
    // within the budget. Empty otherwise, and when the decoder, the frame, its size or the
    // converter fail. Needs COM on the calling thread. May throw std::bad_alloc.
    static std::optional<PictureSource> Open(const std::wstring& path);

    // The stored size, before the orientation turns it.
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    // How the stored rows are to be turned to show upright, from the file's own bytes.
    pictures::Orientation RecordedOrientation() const { return orientation_; }

    // Streams the rows top to bottom in strips, as 0xAARRGGBB with premultiplied alpha. With
    // `reduction` 2, 4 or 8 and a decoder that shrinks while decoding (Windows' JPEG decoder
    // does, through IWICBitmapSourceTransform), the rows are the shrunk picture's. False when
    // a strip fails to decode or the sink refuses the size. May throw std::bad_alloc.
    bool ReadRows(std::int32_t reduction, pictures::RowSink& sink) const;

  private:
    PictureSource() = default;
    bool ReadReduced(std::int32_t reduction, pictures::RowSink& sink, bool& done) const;
    bool ReadFull(pictures::RowSink& sink) const;

    ComPtr<IStream> file_;
    ComPtr<IWICBitmapDecoder> decoder_;
    ComPtr<IWICBitmapFrameDecode> frame_;
    ComPtr<IWICFormatConverter> converter_;
    WICPixelFormatGUID frameFormat_{};
    std::uint32_t width_ = 0, height_ = 0;
    pictures::Orientation orientation_ = pictures::kUpright;
};

}  // namespace platform::win32
