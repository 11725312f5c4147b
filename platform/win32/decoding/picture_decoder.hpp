// One decoder of the backend's decode chain, behind PictureSource (picture_source.hpp). The
// chooser (decoders.cpp) asks the decoders in turn which one takes a file; each is a file of
// its own beside this one.
#pragma once

#include <windows.h>
// After <windows.h>, whose types they use.
#include <objidl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/colour/icc_chunks.hpp"
#include "imaging/decoding/picture_header.hpp"
#include "imaging/decoding/picture_orientation.hpp"
#include "imaging/decoding/picture_rows.hpp"
#include "platform/types.hpp"

namespace platform::win32 {

// Names a failure or a hand-over of the picture file at `path` in the debug output; false.
bool ReportOn(const std::wstring& path, const std::string& why);

// A picture file as the chooser hands it to a decoder: opened, its start read and judged.
struct OpenedFile {
    const std::wstring& path;
    // Stands right after `start`.
    IStream* stream = nullptr;
    std::vector<std::uint8_t> start;
    pictures::HeaderReading header;
    // The header reader knows the format and admits its size.
    bool known = false;
    // What the file's start records (the library's JPEG decoder reads its own with the header).
    pictures::Orientation orientation = pictures::kUpright;
};

class PictureDecoder {
  public:
    explicit PictureDecoder(std::wstring path) : path_(std::move(path)) {}
    virtual ~PictureDecoder() = default;
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    pictures::Orientation RecordedOrientation() const { return orientation_; }
    const std::vector<std::uint8_t>& ColourProfile() const { return profile_; }
    std::vector<std::uint8_t> TakeColourProfile() { return std::move(profile_); }

    // Streams the rows top to bottom as premultiplied 0xAARRGGBB, once; `minimum` is the size
    // needed as the rows are stored. False, reported, when the picture turns out damaged or the
    // sink refuses the size.
    virtual bool ReadRows(const PixelSize& minimum, pictures::RowSink& sink) = 0;

  protected:
    bool Report(const std::string& why) const { return ReportOn(path_, why); }
    // Keeps a profile that passed the checks; reports why one is not kept.
    void KeepProfile(icc::Embedded embedded, bool cmyk);
    // Takes a CMYK profile to convert the rows through as they are decoded; why not, if it
    // cannot.
    virtual std::string TakeCmykProfile(const std::vector<std::uint8_t>& profile) = 0;

    std::uint32_t width_ = 0, height_ = 0;
    pictures::Orientation orientation_ = pictures::kUpright;

  private:
    std::wstring path_;
    std::vector<std::uint8_t> profile_;
};

// What a decoder makes of a file: itself, opened; nothing, the failure reported; or declined,
// and the next decoder is asked.
struct Opening {
    std::unique_ptr<PictureDecoder> decoder;
    bool declined = false;
};
inline Opening Declined() {
    return {nullptr, true};
}

// The decoders, each in its own file. May throw std::bad_alloc.
// JPEG through libjpeg-turbo, shrunk while decoding (jpeg_library.cpp).
Opening OpenWithJpegLibrary(OpenedFile& file);
// WebP through libwebp, shrunk while decoding (webp.cpp).
Opening OpenWithWebPLibrary(OpenedFile& file);
// GIF through giflib, the first image on its logical screen (gif.cpp).
Opening OpenWithGifLibrary(OpenedFile& file);
// HEIC, HEIF and AVIF through libheif, upright, from the whole file in memory (heif.cpp).
Opening OpenWithHeif(OpenedFile& file);
// Every format Windows' own decoders know, and what the others decline (wic.cpp).
Opening OpenWithWic(OpenedFile& file);

// The first decoder that takes the file (decoders.cpp).
std::unique_ptr<PictureDecoder> ChooseDecoder(OpenedFile& file);

}  // namespace platform::win32
