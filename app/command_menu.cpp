// The command items of the popup menu: open a picture, show or hide the file name, start
// another frame, the About message and Exit.
#include <string>

#include "app/forms.hpp"
#include "app/frames.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "display/folder_steps.hpp"
#include "platform/menus.hpp"
#include "platform/shell.hpp"

namespace frmMain {

using namespace mainMod;
using platform::Form;
namespace menus = platform::menus;
namespace shell = platform::shell;

namespace {

constexpr std::u16string_view kOpenTitle = u"图片文件         ";
constexpr std::u16string_view kOpenFilter = u"图片文件|*.jpg;*.jpeg;*.bmp;*.gif        ";
constexpr std::u16string_view kAllPictures = u"所有图片";

// Four credit lines; an empty line stands between the second and the third.
constexpr std::u16string_view kAboutText =
    u"中文界面：Vistrelle 翻译小组    特别感谢：\r\n"
    u"小林, 阿梅, Tomas, Lena, 晓雨\r\n"
    u"\r\n"
    u"Vistrelle 桌面相框，由 Vistrelle 工作室制作\r\n"
    u"Mira. Oskar. 小川. Jun. Ilse";

std::u16string TrimTrailingBlanks(std::u16string_view s) {
    while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
    return std::u16string(s);
}

// The frame's own filter first, the one chosen when the dialog opens; then one that shows
// every format the frame reads, a phone's HEIC and a downloaded WebP among them.
std::u16string OpenFilter() {
    std::u16string filter = TrimTrailingBlanks(kOpenFilter);
    filter.append(u"|").append(kAllPictures).append(u"|");
    for (const std::u16string_view ext : folder_steps::PictureExtensions())
        filter.append(u"*.").append(ext).append(u";");
    filter.pop_back();
    return filter;
}

void OpenPicture() {
    // Cancelling keeps the current path, and the current picture is loaded again.
    shell::OpenDialog dialog{std::u16string(kOpenTitle), OpenFilter(), shared.PicturePath};
    if (auto chosen = shell::ShowOpen(dialog); chosen && !chosen->empty())
        shared.PicturePath = *chosen;
    LoadAndSizePicture();
    LayoutCompanions();
}

void ToggleFileName() {
    // The mark, the setting and the window change together.
    const bool show = shared.ShowFileName == kFalse;
    menus::SetChecked(menu_names::mnuOP(menu_names::op::kShowFileName), show);
    shared.ShowFileName = show ? kTrue : kFalse;
    if (show)
        forms::Show(Form::Txt);
    else
        forms::Hide(Form::Txt);
}

}  // namespace

void mnuOP_Click(std::int16_t Index) {
    namespace op = menu_names::op;
    switch (Index) {
        case op::kOpenPicture:
            OpenPicture();
            break;
        case op::kShowFileName:
            ToggleFileName();
            break;
        case op::kNewCopy:
            // The running program itself, whatever its name and wherever it stands.
            frames::StartCopy();
            break;
        case op::kAbout:
            shell::ShowMessage(kAboutText);
            break;
        case op::kExit:
            ExitProgram();
            break;
        case op::kNextPicture:
            folder_steps::StepTo(platform::Step::Next);
            break;
        case op::kPreviousPicture:
            folder_steps::StepTo(platform::Step::Previous);
            break;
        case op::kLock:
            frames::ToggleLock();
            break;
        default:
            break;  // separators and the submenu parents
    }
}

void ExitProgram() {
    frames::Close();
    forms::Unload(Form::Main);
    forms::Unload(Form::Shadow);
    forms::Unload(Form::Txt);
    shell::EndProcess();
}

}  // namespace frmMain
