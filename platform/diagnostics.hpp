// Why something failed, for whoever reads a bug report: the program shows the user no message
// and writes no file, but every failure it passes over names itself here. On Windows the text
// goes to the debug output (a debugger or a debug viewer shows it; Wine prints it with
// WINEDEBUG=+debugstr); the recording backend keeps it for the tests.
#pragma once

#include <string_view>

namespace platform::diagnostics {

// One line, without its end: "LoadPicture C:\x.jpg: refused, 60000x60000 is beyond the
// decoding budget".
void Report(std::u16string_view message);
void Report(std::string_view asciiMessage);

}  // namespace platform::diagnostics
