// The program's start: creates and loads the picture window, shows it and runs the message
// loop until the program ends.
#pragma once

namespace vistrelle {

int RunProgram();

}  // namespace vistrelle
