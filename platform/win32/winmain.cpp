// The program's entry point: OLE for drag and drop (and COM for WIC) on the window thread, then
// the program itself.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <ole2.h>

#include "app/program.hpp"
#include "platform/win32/failure.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Without OLE there are no drops; the frame still shows its picture.
    const HRESULT ole = ::OleInitialize(nullptr);
    if (FAILED(ole)) platform::win32::FailedCall("OleInitialize", ole);
    const int code = vistrelle::RunProgram();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return code;
}
