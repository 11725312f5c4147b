// Files dropped on the picture window replace the picture; a double click opens the picture
// in the program the system associates with its type.
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "platform/events.hpp"
#include "platform/shell.hpp"

namespace frmMain {

void Form_OLEDragOver(platform::DropData& Data, platform::DropEffect& Effect) {
    // Only a drag that carries a list of files is accepted; one that cannot be asked is
    // offered the copy all the same.
    const std::optional<bool> files = Data.OffersFiles();
    Effect = (!files || *files) ? platform::DropEffect::Copy : platform::DropEffect::None;
}

void Form_OLEDragDrop(platform::DropData& Data) {
    // The last file of the list is the one shown; an empty list reloads the current picture.
    if (auto files = Data.Files(); files && !files->empty())
        mainMod::shared.PicturePath = files->back();
    LoadAndSizePicture();
    LayoutCompanions();
}

void Form_DblClick() {
    const std::u16string folder = platform::shell::ExeFolder().value_or(std::u16string());
    platform::shell::OpenWithAssociation(mainMod::shared.PicturePath, folder);
}

}  // namespace frmMain
