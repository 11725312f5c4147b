#include "display/caption_text.hpp"

#include "app/conversions.hpp"
#include "display/sizing.hpp"

namespace caption_text {

std::optional<std::u16string> FileTitleOf(std::u16string_view path) {
    // Lengths are held in 16 bits: a longer text cannot be measured.
    if (path.size() > 32767) return std::nullopt;
    const std::size_t slash = path.rfind(u'\\');
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::optional<std::size_t> KeptCharacters(std::int16_t sizeMode, std::int16_t portrait) {
    const bool isPortrait = portrait == mainMod::kTrue;
    if (portrait != mainMod::kTrue && portrait != mainMod::kFalse) return std::nullopt;
    switch (sizeMode) {
        case sizing::kSmall:
            return isPortrait ? 7 : 14;
        case sizing::kDefault:
            return isPortrait ? 11 : 22;
        case sizing::kLarge:
            return isPortrait ? 16 : 32;
        default:
            return std::nullopt;
    }
}

std::u16string Shorten(std::u16string_view title, bool tooWide, std::int16_t sizeMode,
                       std::int16_t portrait) {
    const std::optional<std::size_t> kept = KeptCharacters(sizeMode, portrait);
    if (!tooWide || !kept) return std::u16string(title);
    std::u16string_view tail = title.size() > *kept ? title.substr(title.size() - *kept) : title;
    // Never start with the second half of a character outside the basic plane.
    if (!tail.empty() && tail.front() >= 0xDC00 && tail.front() < 0xE000 &&
        tail.size() < title.size())
        tail.remove_prefix(1);
    return std::u16string(kEllipsis) + std::u16string(tail);
}

}  // namespace caption_text
