// A fresh process for each test: the recording backend reset, the shared state at its
// initial values, and helpers to lay files in the program folder and to read what the user
// would see.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/form_designs.hpp"
#include "app/main_mod.hpp"
#include "platform/recording/recorder.hpp"
#include "platform/windows.hpp"

namespace units {
template <class Unit, class Rep>
std::ostream& operator<<(std::ostream& os, Length<Unit, Rep> v) {
    return os << v.Value();
}
}  // namespace units
using namespace units::literals;

namespace platform {
inline void PrintTo(const TwipsRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}
namespace recording {
inline void PrintTo(const Recorder::DrawnText& t, std::ostream* os) {
    *os << Utf8(t.text) << " colour " << t.color << " at " << t.rect.Left << "," << t.rect.Top;
}
}  // namespace recording
}  // namespace platform

class FrameTest : public ::testing::Test {
  protected:
    platform::recording::Recorder& rec = platform::recording::Rec();

    void SetUp() override {
        rec.Reset();
        mainMod::shared = {};
    }

    static constexpr const char16_t* kFolder = u"C:\\Frame\\";

    // A window as the program creates it, without its load handler.
    static void Create(platform::Form f) { platform::windows::Create(f, form_designs::Of(f)); }
    // The three windows, as a started program has them.
    static void CreateFrameWindows() {
        for (platform::Form f : {platform::Form::Main, platform::Form::Txt, platform::Form::Shadow})
            Create(f);
    }

    void WriteOptions(const std::string& text) {
        rec.files[std::u16string(kFolder) + u"option.ini"] = text;
    }

    // A picture of one colour, w x h pixels, at path (relative names go in the program folder).
    void AddPicture(const std::u16string& path, std::int32_t w, std::int32_t h,
                    std::uint32_t colour = 0xFF336699) {
        const std::u16string full =
            path.find(u'\\') == std::u16string::npos ? kFolder + path : path;
        rec.pictureFiles[full] = {
            w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, colour)};
    }

    bool Checked(resources::MenuItem item) const {
        auto it = rec.checked.find(resources::CommandId(item));
        return it != rec.checked.end()
                   ? it->second
                   : resources::FindMenuEntry(resources::CommandId(item))->checkedInDefinition;
    }
    // The check marks of a submenu's first `count` items, "1" for a checked one: "010".
    std::string Marks(resources::MenuItem (*item)(std::int16_t), std::int16_t count) const {
        std::string marks;
        for (std::int16_t i = 0; i < count; ++i) marks += Checked(item(i)) ? '1' : '0';
        return marks;
    }

    platform::recording::FormState& Form(platform::Form f) { return rec.Of(f); }
    platform::TwipsRect Rect(platform::Form f) {
        const auto& s = rec.Of(f);
        return {s.left, s.top, s.width, s.height};
    }
    // Visible and in front of the other visible windows.
    bool InFront(platform::Form f) {
        if (!Form(f).visible) return false;
        for (const auto& [other, state] : rec.forms)
            if (other != static_cast<std::uint8_t>(f) && state.visible &&
                state.raised > Form(f).raised)
                return false;
        return true;
    }
    // Shown where it stands now: a window placed after it was shown would have jumped.
    bool ShownInPlace(platform::Form f) { return Form(f).visible && Form(f).shownAt == Rect(f); }
    const platform::pictures::Bitmap* DrawnPicture() const {
        auto it = rec.drawnBitmaps.find(static_cast<std::uint8_t>(platform::Surface::Main));
        return it == rec.drawnBitmaps.end() ? nullptr : &it->second;
    }
    bool Did(const std::string& opPrefix) const { return !rec.OpsStartingWith({opPrefix}).empty(); }
};
