// Start-up of the picture window.
#include "app/forms.hpp"
#include "app/frames.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "app/slideshow.hpp"
#include "display/sizing.hpp"
#include "platform/menus.hpp"
#include "platform/shell.hpp"
#include "shadow/shadow_modes.hpp"

namespace frmMain {

using namespace mainMod;
using namespace menu_names;
using platform::Form;
namespace menus = platform::menus;

namespace {

template <typename T>
void AssignIf(T& target, const std::optional<T>& value) {
    if (value) target = *value;
}

}  // namespace

void Form_Load() {
    // A failed conversion assigns nothing: the setting keeps its initial value.
    shared.FontName = ReadOption(u"Main", u"Font");
    AssignIf(shared.FontSize, TextToInt16(ReadOption(u"Main", u"Size")));
    AssignIf(shared.Color1, TextToInt32(ReadOption(u"Main", u"Color1")));
    AssignIf(shared.Color2, TextToInt32(ReadOption(u"Main", u"Color2")));
    AssignIf(shared.ShadowOffSet, TextToInt16(ReadOption(u"Shadow", u"OffSet")));
    AssignIf(shared.ShowFileName, TextToBool(ReadOption(u"Main", u"ShowFileName")));

    shared.PicturePath = AppFolder() + u"image.jpg";
    // A remembered frame's picture and caption; a frame that runs already ends here.
    if (!frames::Begin()) {
        platform::shell::EndProcess();
        return;
    }
    if (shared.ShowFileName == kFalse) menus::SetChecked(mnuOP(op::kShowFileName), false);

    LoadAndSizePicture();
    // The first layout places the shadow window with the margins still at zero; the
    // configured ones apply from its next placement on.
    LayoutCompanions();

    menus::SetChecked(mnuTrs(kTrsOpaque), true);
    menus::SetChecked(mnuSize(sizing::kDefault), true);

    if (shared.ShadowOffSet >= 0 && shared.ShadowOffSet <= shadow_modes::kNoShadow) {
        menus::SetChecked(mnuShadow(shared.ShadowOffSet), true);
        if (auto margins = shadow_modes::Margins(shared.ShadowOffSet))
            shared.ShadowBox = *margins;
        else
            forms::Hide(Form::Shadow);
    }
    shared.SizeMode = sizing::kDefault;
    slideshow::LoadSettings();
    frames::Apply();
}

}  // namespace frmMain
