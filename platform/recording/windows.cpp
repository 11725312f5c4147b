// Recording backend: top-level windows kept as rectangles in twips, rounded to whole pixels
// as a real window system rounds them.
#include "platform/windows.hpp"

#include <cmath>

#include "platform/recording/recorder.hpp"

namespace platform::windows {

using recording::Num;
using recording::Rec;

namespace {

std::string Op(const char* name, Form f) {
    return std::string(name) + "(" + Name(f) + ")";
}

Twips Snap(Twips twips, units::TwipsPerPixel tpp) {
    return DesignPixels(std::nearbyint((twips / tpp).Value())) * tpp;
}
Twips SnapX(Twips twips) {
    return Snap(twips, Rec().twipsPerPixelX);
}
Twips SnapY(Twips twips) {
    return Snap(twips, Rec().twipsPerPixelY);
}

// Reads one property of an existing window.
std::optional<Twips> Read(const char* name, Form f, Twips recording::FormState::*field) {
    if (!Rec().Record(Op(name, f)) || !Rec().Of(f).exists) return std::nullopt;
    return Rec().Of(f).*field;
}

}  // namespace

bool Create(Form f, const FormDesign& design) {
    if (!Rec().Record(Op("Create", f))) return false;
    recording::FormState& s = Rec().Of(f);
    s = {};
    s.exists = true;
    s.design = design;
    // The client area at the design's place, inside the thin border every window has here.
    const Twips borderX = Rec().borderPixels / 2 * Rec().twipsPerPixelX;
    const Twips borderY = Rec().borderPixels / 2 * Rec().twipsPerPixelY;
    s.left = SnapX(design.client.left - borderX);
    s.top = SnapY(design.client.top - borderY);
    s.width = SnapX(design.client.width + 2 * borderX);
    s.height = SnapY(design.client.height + 2 * borderY);
    return true;
}

bool Destroy(Form f) {
    if (!Rec().Record(Op("Destroy", f))) return false;
    Rec().Of(f) = {};
    return true;
}

bool Exists(Form f) {
    return Rec().Of(f).exists;
}

bool Show(Form f) {
    if (!Rec().Record(Op("Show", f)) || !Rec().Of(f).exists) return false;
    recording::FormState& s = Rec().Of(f);
    // A companion already shown keeps its place, as on Win32.
    if (f == Form::Main || !s.visible) s.raised = ++Rec().raises;
    s.visible = true;
    s.shownAt = TwipsRect{s.left, s.top, s.width, s.height};
    return true;
}

bool Hide(Form f) {
    if (!Rec().Record(Op("Hide", f)) || !Rec().Of(f).exists) return false;
    Rec().Of(f).visible = false;
    return true;
}

std::optional<Twips> Left(Form f) {
    return Read("Left", f, &recording::FormState::left);
}
std::optional<Twips> Top(Form f) {
    return Read("Top", f, &recording::FormState::top);
}
std::optional<Twips> Width(Form f) {
    return Read("Width", f, &recording::FormState::width);
}
std::optional<Twips> Height(Form f) {
    return Read("Height", f, &recording::FormState::height);
}

bool Move(Form f, Twips left, Twips top, Twips width, std::optional<Twips> height) {
    std::string op = std::string("Move(") + Name(f) + "," + Num(left) + "," + Num(top) + "," +
                     Num(width) + (height ? "," + Num(*height) : std::string()) + ")";
    if (!Rec().Record(std::move(op)) || !Rec().Of(f).exists) return false;
    recording::FormState& s = Rec().Of(f);
    s.left = SnapX(left);
    s.top = SnapY(top);
    s.width = SnapX(width);
    if (height) s.height = SnapY(*height);
    return true;
}

bool SetWidth(Form f, Twips width) {
    if (!Rec().Record(std::string("SetWidth(") + Name(f) + "," + Num(width) + ")") ||
        !Rec().Of(f).exists)
        return false;
    Rec().Of(f).width = SnapX(width);
    return true;
}

bool SetHeight(Form f, Twips height) {
    if (!Rec().Record(std::string("SetHeight(") + Name(f) + "," + Num(height) + ")") ||
        !Rec().Of(f).exists)
        return false;
    Rec().Of(f).height = SnapY(height);
    return true;
}

std::optional<DesignPixels> ScaleWidth(Form f) {
    if (!Rec().Record(Op("ScaleWidth", f)) || !Rec().Of(f).exists) return std::nullopt;
    return Rec().Of(f).width / Rec().twipsPerPixelX - Rec().borderPixels;
}

std::optional<DesignPixels> ScaleHeight(Form f) {
    if (!Rec().Record(Op("ScaleHeight", f)) || !Rec().Of(f).exists) return std::nullopt;
    return Rec().Of(f).height / Rec().twipsPerPixelY - Rec().borderPixels;
}

std::optional<DesignPixels> TextWidth(Form f, std::u16string_view text) {
    if (!Rec().Record(std::string("TextWidth(") + Name(f) + "," + recording::Utf8(text) + ")") ||
        !Rec().Of(f).exists)
        return std::nullopt;
    if (Rec().textWidth) return Rec().textWidth(text);
    return DesignPixels(Rec().pixelsPerChar * static_cast<double>(text.size()));
}

bool SetOpacity(Form f, std::uint8_t alpha) {
    if (!Rec().Record(std::string("SetOpacity(") + Name(f) + "," + Num(alpha) + ")") ||
        !Rec().Of(f).exists)
        return false;
    Rec().Of(f).layered = true;
    Rec().Of(f).alpha = alpha;
    return true;
}

bool SetClickThrough(Form f) {
    if (!Rec().Record(Op("SetClickThrough", f)) || !Rec().Of(f).exists) return false;
    Rec().Of(f).layered = true;
    Rec().Of(f).clickThrough = true;
    return true;
}

bool ReleaseCapture() {
    return Rec().Record("ReleaseCapture()");
}

bool PointerOver(Form f) {
    const auto it = Rec().pointerOver.find(static_cast<std::uint8_t>(f));
    return it != Rec().pointerOver.end() && it->second;
}

bool RunMoveLoop(Form f) {
    if (!Rec().Record(Op("RunMoveLoop", f)) || !Rec().Of(f).exists) return false;
    for (const auto& [form, state] : Rec().forms) Rec().visibleWhileMoving[form] = state.visible;
    // The pointer's journey: tests set where the window ends up.
    if (Rec().moveLoopDelta) {
        Rec().Of(f).left += Rec().moveLoopDelta->first;
        Rec().Of(f).top += Rec().moveLoopDelta->second;
    }
    return true;
}

std::optional<units::TwipsPerPixel> TwipsPerPixelX() {
    if (!Rec().Record("TwipsPerPixelX()")) return std::nullopt;
    return Rec().twipsPerPixelX;
}

std::optional<units::TwipsPerPixel> TwipsPerPixelY() {
    if (!Rec().Record("TwipsPerPixelY()")) return std::nullopt;
    return Rec().twipsPerPixelY;
}

int FrameDpi() {
    Rec().Record("FrameDpi()");
    return Rec().dpi;
}

std::vector<Monitor> Monitors() {
    if (!Rec().Record("Monitors()")) return {};
    return Rec().monitors;
}

}  // namespace platform::windows
