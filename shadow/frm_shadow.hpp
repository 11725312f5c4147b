// The shadow window: a layered window of opacity 0 around the picture window. Nothing is
// ever drawn in it, and the pointer passes through it to what lies beneath.
#pragma once

namespace frmShadow {

// Makes the window layered, fully transparent and transparent to the pointer.
void Form_Load();

}  // namespace frmShadow
