// Loading the picture and sizing the picture window to its default display size
// (display/sizing.hpp), the window a margin larger than the picture each way.
#include <optional>

#include "app/forms.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "display/folder_steps.hpp"
#include "display/picture_holder.hpp"
#include "display/sizing.hpp"
#include "platform/windows.hpp"

namespace frmMain {

using namespace mainMod;
using platform::Form;
namespace pw = platform::windows;

void LoadAndSizePicture(std::optional<std::int16_t> chosen) {
    // A picture that cannot be loaded leaves the holder as it was; the sizing goes on with
    // what it holds.
    const bool loaded = picture_holder::LoadPicture(shared.PicturePath, chosen);
    SizeToHeldPicture();
    folder_steps::Follow(loaded);
}

void SizeToHeldPicture() {
    const std::optional<platform::PixelSize> size = picture_holder::ScaleSize();
    const auto tppX = pw::TwipsPerPixelX();
    const auto tppY = pw::TwipsPerPixelY();
    const sizing::DefaultDisplay d = sizing::ComputeDefaultDisplay(size, tppX, tppY);
    if (d.picWidth) shared.PicWidth = *d.picWidth;
    if (d.picHeight) shared.PicHeight = *d.picHeight;
    shared.Portrait = d.portrait;

    shared.SizeMode = sizing::kDefault;
    SizeWindowToPicture();
    menu_names::CheckOnly(menu_names::mnuSize(sizing::kDefault));
}

void SizeWindowToPicture() {
    if (auto h = sizing::AddMargin(shared.PicHeight)) forms::SetHeight(Form::Main, *h);
    if (auto w = sizing::AddMargin(shared.PicWidth)) forms::SetWidth(Form::Main, *w);
}

}  // namespace frmMain
