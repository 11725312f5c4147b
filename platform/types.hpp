// Small value types shared by every platform group.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "imaging/decoding/picture_rows.hpp"
#include "platform/units.hpp"

namespace platform {

// The three top-level windows; each exists at most once per process.
enum class Form : std::uint8_t { Main, Shadow, Txt };

// Drawing surfaces: the picture window's client area (with its persistent image) and the
// caption window's picture box.
enum class Surface : std::uint8_t { Main, Picture1 };

using units::DesignPixels;
using units::Twips;
using units::Whole;

// Rectangle in pixels of a drawing surface, as handed to the text drawing call.
struct PixelRect {
    Whole<DesignPixels> Left, Top, Right, Bottom;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A point on the screen in the screen's own pixels, as the platform reports it; the program
// only hands it back.
struct ScreenPoint {
    std::int32_t x = 0, y = 0;
};

// Colours: red in the lowest byte, then green, then blue. With the highest bit set, the
// lowest byte names one of the system's colours instead, as the user has them set.
inline constexpr std::int32_t kButtonFaceColor = static_cast<std::int32_t>(0x8000000F);

struct TwipsRect {
    Twips left, top, width, height;
    friend constexpr bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// The character set a font is asked for.
enum class CharacterSet : std::uint8_t { Default = 1, ShiftJis = 128 };

struct FontDesign {
    std::u16string_view face;  // the program's own constant text
    double points = 0;
    std::int32_t weight = 400;  // 400 normal, 700 bold
    CharacterSet charset = CharacterSet::Default;
};

// A picture box at the top-left corner of its window.
struct BoxDesign {
    Twips width, height;
    std::int32_t backColor = kButtonFaceColor;
};

// How a window is defined before the program touches it: where its client area first
// stands, the colour its drawing surface is cleared to, the font it measures text in (the
// system's usual one when empty) and the picture box it holds, if any.
struct FormDesign {
    TwipsRect client;
    std::int32_t backColor = kButtonFaceColor;
    std::optional<FontDesign> font;
    std::optional<BoxDesign> box;
};

constexpr const char* Name(Form f) {
    switch (f) {
        case Form::Main:
            return "Main";
        case Form::Shadow:
            return "Shadow";
        case Form::Txt:
            return "Txt";
    }
    return "?";
}

constexpr const char* Name(Surface s) {
    switch (s) {
        case Surface::Main:
            return "Main";
        case Surface::Picture1:
            return "Picture1";
    }
    return "?";
}

}  // namespace platform
