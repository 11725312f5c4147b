// A move of the picture window to a monitor of another scale. The window has kept its size in
// twips and taken its new size in pixels; the holder's copy of the picture is fitted to the
// new screen's pixels, and the frame painted and laid out anew. The size preset, the opacity,
// the shadow mode and the caption state are left as they are.
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "display/picture_holder.hpp"

namespace frmMain {

void Form_DpiChanged() {
    // A picture whose file is gone is painted from what the holder keeps.
    picture_holder::FitToScreen(mainMod::shared.PicturePath);
    LayoutCompanions();
}

}  // namespace frmMain
