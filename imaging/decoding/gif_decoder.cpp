// The giflib decoder (see gif_decoder.hpp). giflib reads the file from memory through its
// reader callback; every call's result is checked, and the file is closed whatever happens.
#include "imaging/decoding/gif_decoder.hpp"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

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
    std::vector<std::uint8_t> file;
    std::size_t read = 0;
    GifFileType* gif = nullptr;
    bool headerRead = false, rowsRead = false;
    std::uint32_t width = 0, height = 0;
    int transparent = -1;
    std::string problem;

    bool Fail(std::string why) {
        problem = std::move(why);
        return false;
    }
    bool FailedCall(const char* call) {
        const int code = gif ? gif->Error : 0;
        const char* words = GifErrorString(code);
        return Fail(std::string(call) + ": " + (words ? words : "error " + std::to_string(code)));
    }
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

}  // namespace

Decoder::Decoder(std::vector<std::uint8_t> file) : state_(std::make_unique<State>()) {
    state_->file = std::move(file);
}

Decoder::~Decoder() {
    if (state_->gif) {
        int error = 0;
        DGifCloseFile(state_->gif, &error);
    }
}

bool Decoder::ReadHeader() {
    State& s = *state_;
    if (s.headerRead || s.gif) return s.Fail("the header is read once");
    int error = 0;
    s.gif = DGifOpen(&s, ReadBytes, &error);
    if (!s.gif) {
        const char* words = GifErrorString(error);
        return s.Fail(std::string("DGifOpen: ") + (words ? words : "failed"));
    }
    s.width = static_cast<std::uint32_t>(s.gif->SWidth);
    s.height = static_cast<std::uint32_t>(s.gif->SHeight);
    if (!pictures::WithinBudget(s.width, s.height))
        return s.Fail("refused: " + std::to_string(s.width) + "x" + std::to_string(s.height) +
                      " is beyond the decoding budget");
    // The records before the first image: extensions, of which the last graphic control
    // extension is the image's.
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(s.gif, &record) != GIF_OK) return s.FailedCall("DGifGetRecordType");
        if (record == TERMINATE_RECORD_TYPE) return s.Fail("the file holds no image");
        if (record == IMAGE_DESC_RECORD_TYPE) break;
        if (record != EXTENSION_RECORD_TYPE) return s.Fail("a record giflib does not know");
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(s.gif, &code, &block) != GIF_OK)
            return s.FailedCall("DGifGetExtension");
        if (code == GRAPHICS_EXT_FUNC_CODE && block) s.transparent = TransparentIndex(block);
        while (block) {
            if (DGifGetExtensionNext(s.gif, &block) != GIF_OK)
                return s.FailedCall("DGifGetExtensionNext");
        }
    }
    if (DGifGetImageDesc(s.gif) != GIF_OK) return s.FailedCall("DGifGetImageDesc");
    const GifImageDesc& image = s.gif->Image;
    if (image.Width < 0 || image.Height < 0 ||
        (image.Width > 0 && image.Height > 0 &&
         !pictures::WithinBudget(static_cast<std::uint32_t>(image.Width),
                                 static_cast<std::uint32_t>(image.Height))))
        return s.Fail("refused: its first image is beyond the decoding budget");
    s.headerRead = true;
    return true;
}

std::uint32_t Decoder::Width() const {
    return state_->width;
}
std::uint32_t Decoder::Height() const {
    return state_->height;
}
const std::string& Decoder::Problem() const {
    return state_->problem;
}

bool Decoder::ReadRows(const PixelSize&, pictures::RowSink& sink) {
    State& s = *state_;
    if (!s.headerRead || s.rowsRead) return s.Fail("the rows are read once, after the header");
    s.rowsRead = true;
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
    std::vector<std::uint32_t> screen(std::size_t{s.width} * s.height);
    const auto width = static_cast<std::uint32_t>(image.Width);
    const auto height = static_cast<std::uint32_t>(image.Height);
    const auto left = static_cast<std::uint32_t>(image.Left);
    const auto top = static_cast<std::uint32_t>(image.Top);
    const std::uint32_t shown = left < s.width ? std::min(width, s.width - left) : 0;
    if (width > 0 && height > 0) {
        const std::vector<std::uint32_t> order =
            image.Interlace ? InterlacedOrder(height) : std::vector<std::uint32_t>();
        std::vector<GifPixelType> line(width);
        for (std::uint32_t i = 0; i < height; ++i) {
            const std::uint32_t y = image.Interlace ? order[i] : i;
            // A plain image's rows below the screen are not needed.
            if (!image.Interlace && top + y >= s.height) break;
            if (DGifGetLine(s.gif, line.data(), static_cast<int>(width)) != GIF_OK)
                return s.FailedCall("DGifGetLine");
            if (top + y >= s.height) continue;
            std::uint32_t* out = screen.data() + std::size_t{s.width} * (top + y) + left;
            for (std::uint32_t x = 0; x < shown; ++x) out[x] = palette[line[x]];
        }
    }
    if (!sink.Begin(static_cast<std::int32_t>(s.width), static_cast<std::int32_t>(s.height),
                    pictures::kUpright))
        return s.Fail("the picture's receiver refused its size");
    for (std::uint32_t y = 0; y < s.height; ++y)
        sink.Row(std::span(screen).subspan(std::size_t{s.width} * y, s.width));
    return true;
}

}  // namespace platform::gif
