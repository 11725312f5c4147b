// Small value types shared by every platform group.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The three top-level windows; each exists at most once per process.
enum class Form : std::uint8_t { Main, Shadow, Txt };

// Drawing surfaces: the picture window's client area (with its persistent image) and the
// caption window's picture box.
enum class Surface : std::uint8_t { Main, Picture1 };

// Rectangle in pixels of a drawing surface, as handed to the text drawing call.
struct PixelRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
    double width = 0, height = 0;
    friend constexpr bool operator==(const PixelSize&, const PixelSize&) = default;
};

const char* Name(Form f);
const char* Name(Surface s);

}  // namespace platform
