// The benchmark's pictures: written by WIC's encoders from synthetic photo-like pixels, and
// decoded by WIC alone at full size, the floor a load of the program is measured against.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace bench {

enum class Kind : std::uint8_t { Jpeg, Png, Bmp, Gif, WebP, Heif };

struct PictureKind {
    const char* name;  // as the table shows it
    const wchar_t* file;
    Kind kind;
    UINT width, height;
    bool madeOutside;  // written by the bench script (progressive JPEG), not by the bench
};

// Writes the picture unless the file is already there; false when it cannot be written.
bool MakePicture(const PictureKind& picture, const std::filesystem::path& file);

struct Decoded {
    UINT width = 0, height = 0;
    UINT bitsPerPixel = 0;  // of the frame's own pixel format
    std::uint64_t Bytes() const { return std::uint64_t{width} * height * bitsPerPixel / 8; }
};

// WIC decoding the file to pixels at full size in the frame's own format, and nothing else:
// decoder, frame, one CopyPixels into one buffer. Empty when WIC fails.
std::optional<Decoded> DecodeFloor(const std::filesystem::path& file);

// libheif alone decoding the file, read into memory, to interleaved 8-bit RGBA at full size
// with its own colour conversion, on as many threads as the frame gives it: the floor of a HEIC
// or AVIF load. Empty when libheif fails.
std::optional<Decoded> HeifFloor(const std::filesystem::path& file);

}  // namespace bench
