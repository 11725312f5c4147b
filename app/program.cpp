#include "app/program.hpp"

#include "app/forms.hpp"
#include "app/frames.hpp"
#include "app/frm_main.hpp"
#include "caption/draw_caption.hpp"
#include "platform/events.hpp"

namespace vistrelle {

namespace {

// Forwards what the platform raises to the windows' handlers. After each, a remembered frame's
// record is written if what the user sees changed.
class ProgramEvents final : public platform::Events {
  public:
    void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override {
        frmMain::Form_MouseDown(button, shift, x, y);
        frames::Save();
    }
    void MenuKey(platform::ScreenPoint at) override {
        frmMain::Form_MenuKey(at);
        frames::Save();
    }
    void DblClick() override { frmMain::Form_DblClick(); }
    void DragOver(platform::DropData& data, platform::DropEffect& effect) override {
        frmMain::Form_OLEDragOver(data, effect);
    }
    void DragDrop(platform::DropData& data) override {
        frmMain::Form_OLEDragDrop(data);
        frames::Save();
    }
    void MenuClick(resources::MenuItem item) override {
        switch (item.array) {
            case resources::MenuArray::OP:
                frmMain::mnuOP_Click(item.index);
                break;
            case resources::MenuArray::Size:
                frmMain::mnuSize_Click(item.index);
                break;
            case resources::MenuArray::Trs:
                frmMain::mnuTrs_Click(item.index);
                break;
            case resources::MenuArray::Shadow:
                frmMain::mnuShadow_Click(item.index);
                break;
            case resources::MenuArray::Slide:
                frmMain::mnuSlide_Click(item.index);
                break;
        }
        frames::Save();
    }
    // Closing the picture window any other way ends the program as its Exit command does.
    void SystemClose() override { frmMain::ExitProgram(); }
    void SessionEnd() override { frames::SessionEnds(); }
    void Picture1Paint() override { mainMod::DrawCaption(); }
    void DpiChanged() override {
        frmMain::Form_DpiChanged();
        frames::Save();
    }
    void DisplayChanged() override {
        frmMain::Form_DisplayChanged();
        frames::Save();
    }
    void StepKey(platform::Step step) override {
        frmMain::Form_StepKey(step);
        frames::Save();
    }
    void Timer() override {
        frmMain::Form_Timer();
        frames::Save();
    }
    void FolderChanged() override { frmMain::Form_FolderChanged(); }
};

}  // namespace

int RunProgram() {
    static ProgramEvents events;
    platform::SetEvents(&events);
    forms::Touch(platform::Form::Main);
    forms::Show(platform::Form::Main);
    return platform::RunMessageLoop();
}

}  // namespace vistrelle
