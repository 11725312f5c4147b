// Wine is known by the entry point its ntdll exports (see wine.hpp).
#include "platform/win32/wine.hpp"

#include <windows.h>

namespace platform::win32 {

bool IsWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace platform::win32
