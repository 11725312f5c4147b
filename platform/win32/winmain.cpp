// The program's entry point: the DLL search kept to safe folders, OLE for drag and drop (and COM
// for WIC) on the window thread, then the program itself.
#include <windows.h>
// After <windows.h>, whose types <ole2.h> uses.
#include <libheif/heif.h>
#include <ole2.h>
#include <webp/decode.h>

#include <string>

#include "app/program.hpp"
#include "platform/diagnostics.hpp"
#include "platform/win32/failure.hpp"

namespace {

// "libheif 1.15.1, libwebp 1.2.4": the libraries this run decodes with, as they report
// themselves. libheif and libde265 are DLLs beside the program that a user may replace, so a
// report of a fault says which were loaded.
void ReportLibraries() {
    const int webp = ::WebPGetDecoderVersion();
    std::string line = "libheif ";
    line += ::heif_get_version();
    line += ", libwebp " + std::to_string(webp >> 16) + "." + std::to_string((webp >> 8) & 0xff) +
            "." + std::to_string(webp & 0xff);
    platform::diagnostics::Report(line);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Libraries loaded from now on (by the system's components too) come only from the program's
    // own folder and the system's, never from the current folder or PATH, where a planted DLL of
    // a known name could be picked up. The DLLs the program links were found there already.
    if (!::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
        platform::win32::FailedCall("SetDefaultDllDirectories");
    }
    ReportLibraries();
    // Without OLE there are no drops; the frame still shows its picture.
    const HRESULT ole = ::OleInitialize(nullptr);
    if (FAILED(ole)) platform::win32::FailedCall("OleInitialize", ole);
    const int code = vistrelle::RunProgram();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return code;
}
