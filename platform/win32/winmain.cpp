// The program's entry point: OLE for drag and drop (and COM for WIC) on the window thread, then
// the program itself.
#include <ole2.h>
#include <windows.h>

#include "app/program.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const HRESULT ole = ::OleInitialize(nullptr);
    const int code = vistrelle::RunProgram();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return code;
}
