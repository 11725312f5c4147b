// The giflib decoder (see gif_decoder.hpp). giflib reads the file from memory through its
// reader callback; every call's result is checked, and the file is closed whatever happens.
#include "imaging/decoding/gif_decoder.hpp"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "imaging/decoding/picture_header.hpp"

namespace platform::gif {

std::array<std::uint32_t, 256> Palette(std::span<const std::uint8_t> colours, int transparent) {
    std::array<std::uint32_t, 256> palette{};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        std::uint32_t rgb = 0;
        if (colours.empty())
            rgb = static_cast<std::uint32_t>(i) * 0x010101u;
        else if (3 * i + 2 < colours.size())
            rgb = std::uint32_t{colours[3 * i]} << 16 | std::uint32_t{colours[3 * i + 1]} << 8 |
                  colours[3 * i + 2];
        palette[i] = static_cast<int>(i) == transparent ? 0 : 0xFF000000u | rgb;
    }
    return palette;
}

std::vector<std::uint32_t> InterlacedOrder(std::uint32_t height) {
    constexpr std::uint32_t kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    std::vector<std::uint32_t> order;
    order.reserve(height);
    for (int pass = 0; pass < 4; ++pass)
        for (std::uint32_t y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    return order;
}

struct Decoder::State {
    std::span<const std::uint8_t> file;
    std::size_t read = 0;
    GifFileType* gif = nullptr;
    int transparent = -1;
};

namespace {

using State = Decoder::State;

// giflib's reader: the next bytes of the file in memory, fewer at its end.
int ReadBytes(GifFileType* gif, GifByteType* buffer, int size) {
    State& s = *static_cast<State*>(gif->UserData);
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(size, 0)), s.file.size() - s.read);
    if (n > 0) std::memcpy(buffer, s.file.data() + s.read, n);
    s.read += n;
    return static_cast<int>(n);
}

// The transparent index a graphic control extension gives; -1 when it gives none.
int TransparentIndex(const GifByteType* block) {
    GraphicsControlBlock control{};
    if (block[0] != 4 || DGifExtensionToGCB(block[0], block + 1, &control) != GIF_OK) return -1;
    return control.TransparentColor;
}

std::string InWords(const char* call, int code) {
    const char* words = GifErrorString(code);
    return std::string(call) + ": " + (words ? words : "error " + std::to_string(code));
}

}  // namespace

Decoder::Decoder(std::vector<std::uint8_t> file)
    : WholeFileDecoder(std::move(file)), state_(std::make_unique<State>()) {
    state_->file = File();
}

Decoder::~Decoder() {
    if (state_->gif) {
        int error = 0;
        DGifCloseFile(state_->gif, &error);
    }
}

bool Decoder::FailedCall(const char* call) {
    return Fail(InWords(call, state_->gif->Error));
}

bool Decoder::ReadFormatHeader() {
    State& s = *state_;
    int error = 0;
    s.gif = DGifOpen(&s, ReadBytes, &error);
    if (!s.gif) return Fail(InWords("DGifOpen", error));
    if (!TakeSize(static_cast<std::uint32_t>(s.gif->SWidth),
                  static_cast<std::uint32_t>(s.gif->SHeight)))
        return false;
    // The records before the first image: extensions, of which the last graphic control
    // extension is the image's.
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(s.gif, &record) != GIF_OK) return FailedCall("DGifGetRecordType");
        if (record == TERMINATE_RECORD_TYPE) return Fail("the file holds no image");
        if (record == IMAGE_DESC_RECORD_TYPE) break;
        if (record != EXTENSION_RECORD_TYPE) return Fail("a record giflib does not know");
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(s.gif, &code, &block) != GIF_OK) return FailedCall("DGifGetExtension");
        if (code == GRAPHICS_EXT_FUNC_CODE && block) s.transparent = TransparentIndex(block);
        while (block) {
            if (DGifGetExtensionNext(s.gif, &block) != GIF_OK)
                return FailedCall("DGifGetExtensionNext");
        }
    }
    if (DGifGetImageDesc(s.gif) != GIF_OK) return FailedCall("DGifGetImageDesc");
    const GifImageDesc& image = s.gif->Image;
    if (image.Width < 0 || image.Height < 0 ||
        (image.Width > 0 && image.Height > 0 &&
         !pictures::WithinBudget(static_cast<std::uint32_t>(image.Width),
                                 static_cast<std::uint32_t>(image.Height))))
        return Fail("refused: its first image is beyond the decoding budget");
    return true;
}

bool Decoder::ReadFormatRows(const PixelSize&, pictures::RowSink& sink) {
    State& s = *state_;
    const GifImageDesc& image = s.gif->Image;
    const ColorMapObject* map = image.ColorMap ? image.ColorMap : s.gif->SColorMap;
    std::vector<std::uint8_t> colours;
    if (map && map->Colors && map->ColorCount > 0) {
        for (int i = 0; i < map->ColorCount; ++i) {
            const GifColorType& c = map->Colors[i];
            colours.insert(colours.end(), {c.Red, c.Green, c.Blue});
        }
    }
    const std::array<std::uint32_t, 256> palette = Palette(colours, s.transparent);

    // The screen, transparent where the image does not cover it.
    const std::uint32_t screenWidth = Width(), screenHeight = Height();
    std::vector<std::uint32_t> screen(std::size_t{screenWidth} * screenHeight);
    const auto width = static_cast<std::uint32_t>(image.Width);
    const auto height = static_cast<std::uint32_t>(image.Height);
    const auto left = static_cast<std::uint32_t>(image.Left);
    const auto top = static_cast<std::uint32_t>(image.Top);
    const std::uint32_t shown = left < screenWidth ? std::min(width, screenWidth - left) : 0;
    if (width > 0 && height > 0) {
        const std::vector<std::uint32_t> order =
            image.Interlace ? InterlacedOrder(height) : std::vector<std::uint32_t>();
        std::vector<GifPixelType> line(width);
        for (std::uint32_t i = 0; i < height; ++i) {
            const std::uint32_t y = image.Interlace ? order[i] : i;
            // A plain image's rows below the screen are not needed.
            if (!image.Interlace && top + y >= screenHeight) break;
            if (DGifGetLine(s.gif, line.data(), static_cast<int>(width)) != GIF_OK)
                return FailedCall("DGifGetLine");
            if (top + y >= screenHeight) continue;
            std::uint32_t* out = screen.data() + std::size_t{screenWidth} * (top + y) + left;
            for (std::uint32_t x = 0; x < shown; ++x) out[x] = palette[line[x]];
        }
    }
    if (!Begin(sink, screenWidth, screenHeight)) return false;
    for (std::uint32_t y = 0; y < screenHeight; ++y)
        sink.Row(std::span(screen).subspan(std::size_t{screenWidth} * y, screenWidth));
    return true;
}

}  // namespace platform::gif
