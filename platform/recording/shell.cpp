// Recording backend: process services answer from the recorder's world.
#include "platform/shell.hpp"

#include "platform/recording/recorder.hpp"

namespace platform::shell {

using recording::Rec;
using recording::Utf8;

std::optional<std::u16string> ExeFolder() {
    if (!Rec().Record("ExeFolder()")) return std::nullopt;
    return Rec().exeFolder;
}

std::optional<std::u16string> ExePath() {
    if (!Rec().Record("ExePath()")) return std::nullopt;
    return Rec().exePath;
}

bool ShowMessage(std::u16string_view text) {
    return Rec().Record("ShowMessage(" + Utf8(text) + ")");
}

std::optional<std::u16string> ShowOpen(const OpenDialog& d) {
    if (!Rec().Record("ShowOpen(" + Utf8(d.title) + "," + Utf8(d.filter) + "," + Utf8(d.fileName) +
                      ")"))
        return std::nullopt;
    return Rec().openDialogAnswer;
}

bool StartProgram(std::u16string_view exePath) {
    return Rec().Record("StartProgram(" + Utf8(exePath) + ")");
}

bool StartProgram(std::u16string_view exePath, const std::vector<std::u16string>& arguments) {
    std::string op = "StartProgram(" + Utf8(exePath);
    for (const std::u16string& a : arguments) op += "," + Utf8(a);
    return Rec().Record(op + ")");
}

std::vector<std::u16string> Arguments() {
    if (!Rec().Record("Arguments()")) return {};
    return Rec().arguments;
}

bool OpenWithAssociation(std::u16string_view file, std::u16string_view directory) {
    return Rec().Record("OpenWithAssociation(" + Utf8(file) + "," + Utf8(directory) + ")");
}

void EndProcess() {
    if (Rec().Record("EndProcess()")) Rec().processEnded = true;
}

}  // namespace platform::shell
