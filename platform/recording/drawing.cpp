// Recording backend: drawing on the two surfaces, kept as the last bitmap and the texts drawn.
#include "platform/drawing.hpp"

#include "platform/recording/recorder.hpp"

namespace platform::drawing {

using recording::Num;
using recording::Rec;

namespace {

std::string Op(const char* name, Surface s, const std::string& args = {}) {
    return std::string(name) + "(" + Name(s) + (args.empty() ? "" : "," + args) + ")";
}

}  // namespace

bool SetAutoRedraw(Surface s, bool on) {
    if (!Rec().Record(Op("SetAutoRedraw", s, on ? "1" : "0"))) return false;
    Rec().Of(s).autoRedraw = on;
    return true;
}

bool Cls(Surface s) {
    if (!Rec().Record(Op("Cls", s))) return false;
    Rec().drawnBitmaps.erase(static_cast<std::uint8_t>(s));
    if (s == Surface::Picture1) {
        Rec().drawnTexts.clear();
        Rec().desktopDrawn = false;
    }
    return true;
}

bool Refresh(Surface s) {
    return Rec().Record(Op("Refresh", s));
}

std::optional<units::TwipsPerScreenPixel> DeviceTwipsPerPixelX(Surface s) {
    if (!Rec().Record(Op("DeviceTwipsPerPixelX", s))) return std::nullopt;
    return Rec().deviceTwipsPerPixel.value_or(
        units::TwipsPerScreenPixel(Rec().twipsPerPixelX.Value()));
}

std::optional<units::TwipsPerScreenPixel> DeviceTwipsPerPixelY(Surface s) {
    if (!Rec().Record(Op("DeviceTwipsPerPixelY", s))) return std::nullopt;
    return Rec().deviceTwipsPerPixel.value_or(
        units::TwipsPerScreenPixel(Rec().twipsPerPixelY.Value()));
}

bool PaintDesktop(Surface s) {
    if (!Rec().Record(Op("PaintDesktop", s))) return false;
    if (s == Surface::Picture1) {
        Rec().drawnTexts.clear();
        Rec().desktopDrawn = true;
    }
    return true;
}

bool SetFontName(Surface s, std::u16string_view face) {
    if (!Rec().Record(Op("SetFontName", s, recording::Utf8(face)))) return false;
    Rec().Of(s).fontName = face;
    return true;
}

bool SetFontSize(Surface s, double points) {
    if (!Rec().Record(Op("SetFontSize", s, Num(points)))) return false;
    Rec().Of(s).fontSize = points;
    return true;
}

bool SetForeColor(Surface s, std::int32_t color) {
    if (!Rec().Record(Op("SetForeColor", s, Num(color)))) return false;
    Rec().Of(s).foreColor = color;
    return true;
}

bool DrawTextLine(Surface s, std::u16string_view text, const PixelRect& r) {
    if (!Rec().Record(Op("DrawTextLine", s,
                         recording::Utf8(text) + "," + Num(r.Left) + "," + Num(r.Top) + "," +
                             Num(r.Right) + "," + Num(r.Bottom))))
        return false;
    if (s == Surface::Picture1)
        Rec().drawnTexts.push_back({std::u16string(text), Rec().Of(s).foreColor, r});
    return true;
}

bool DrawBitmap(Surface s, Whole<DesignPixels> x, Whole<DesignPixels> y,
                const pictures::Bitmap& bitmap) {
    if (!Rec().Record(
            Op("DrawBitmap", s,
               Num(x) + "," + Num(y) + "," + Num(bitmap.width) + "x" + Num(bitmap.height))))
        return false;
    Rec().drawnBitmaps[static_cast<std::uint8_t>(s)] = bitmap;
    return true;
}

std::vector<std::uint8_t> DisplayColourProfile(Surface s) {
    if (!Rec().Record(Op("DisplayColourProfile", s))) return {};
    return Rec().displayColourProfile;
}

}  // namespace platform::drawing
