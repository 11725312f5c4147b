// Process-level services: the program's own location, dialogs, starting programs, ending.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::shell {

// Folder of the running executable: no trailing backslash except at the root of a drive.
std::optional<std::u16string> ExeFolder();
// Full path of the running executable.
std::optional<std::u16string> ExePath();

// Modal message box with an OK button, titled with the program's title.
bool ShowMessage(std::u16string_view text);

struct OpenDialog {
    std::u16string title;
    std::u16string filter;    // "description|patterns"
    std::u16string fileName;  // initial name; the dialog opens in its folder
};
// Modal Open dialog; the chosen file, or empty when it was cancelled.
std::optional<std::u16string> ShowOpen(const OpenDialog& dialog);

// Starts a program in a normal window that takes the focus.
bool StartProgram(std::u16string_view exePath);
// The same with arguments, each handed over as one (quoted where it needs to be).
bool StartProgram(std::u16string_view exePath, const std::vector<std::u16string>& arguments);
// The arguments this process was started with, without the program's own path.
std::vector<std::u16string> Arguments();
// Opens a file with the program associated with its type (shell verb "open").
bool OpenWithAssociation(std::u16string_view file, std::u16string_view directory);

// Ends the process at once.
void EndProcess();

}  // namespace platform::shell
