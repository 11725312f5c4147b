// The caption's text: the file name of the picture, shortened from the front when it is
// wider than the picture window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace caption_text {

inline constexpr std::u16string_view kEllipsis = u". . . ";

// The part of a path after its last backslash (the whole path when it has none); empty when
// the path is too long to be a path.
std::optional<std::u16string> FileTitleOf(std::u16string_view path);

// How many characters at the end of the file name a caption keeps when the name is too wide,
// by size preset (0 small, 1 default, 2 large) and orientation; empty for anything else.
std::optional<std::size_t> KeptCharacters(std::int16_t sizeMode, std::int16_t portrait);

// The caption for a file title: the title itself, or when it is too wide the ellipsis and
// the title's last characters as the preset allows.
std::u16string Shorten(std::u16string_view title, bool tooWide, std::int16_t sizeMode,
                       std::int16_t portrait);

}  // namespace caption_text
