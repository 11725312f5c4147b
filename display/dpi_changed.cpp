// A move of the picture window to a monitor of another scale. The window has kept its size in
// twips and taken its new size in pixels; the picture is read again from its file, as for a
// size choice, and the frame painted and laid out anew. The size preset, the opacity, the
// shadow mode and the caption state are left as they are.
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "platform/pictures.hpp"

namespace frmMain {

void Form_DpiChanged() {
    // A picture that cannot be read again leaves the window cleared; the layout goes on.
    platform::pictures::Load(mainMod::shared.PicturePath);
    LayoutCompanions();
}

}  // namespace frmMain
