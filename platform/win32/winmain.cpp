// The program's entry point: OLE for drag and drop (and COM for WIC) on the window thread, then
// the program itself.
#include <windows.h>
// After <windows.h>, whose types they use.
#include <ole2.h>

#include "app/program.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const HRESULT ole = ::OleInitialize(nullptr);
    const int code = vistrelle::RunProgram();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return code;
}
