// A fresh process for each test: the recording backend reset, the shared state at its
// initial values, and helpers to lay files in the program folder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form_designs.hpp"
#include "app/main_mod.hpp"
#include "platform/recording/recorder.hpp"
#include "platform/windows.hpp"

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

    platform::recording::FormState& Form(platform::Form f) { return rec.Of(f); }

    // The position of the first operation equal to op, or -1.
    long IndexOf(const std::string& op) const {
        const auto& ops = rec.Ops();
        for (std::size_t i = 0; i < ops.size(); ++i)
            if (ops[i] == op) return static_cast<long>(i);
        return -1;
    }
    long LastIndexOf(const std::string& op) const {
        const auto& ops = rec.Ops();
        for (std::size_t i = ops.size(); i-- > 0;)
            if (ops[i] == op) return static_cast<long>(i);
        return -1;
    }

    std::string Dump() const {
        std::string s;
        for (const auto& op : rec.Ops()) s += "  " + op + "\n";
        return s;
    }
};
