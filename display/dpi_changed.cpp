// A move of the picture window to a monitor of another scale. The window has kept its size in
// twips and taken its new size in pixels; the frame is painted at the new screen's pixels
// (from the file, decoded at that scale, while it is there) and laid out anew. The size
// preset, the opacity, the shadow mode and the caption state are left as they are.
#include "app/frm_main.hpp"

namespace frmMain {

void Form_DpiChanged() {
    // A picture whose file is gone is painted from what the holder keeps.
    LayoutCompanions();
}

}  // namespace frmMain
