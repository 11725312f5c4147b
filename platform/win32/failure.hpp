// Failed system calls name themselves (see platform/diagnostics.hpp). Each returns false, so a
// failing path reads `if (!::GetWindowRect(h, &r)) return FailedCall("GetWindowRect");`.
#pragma once

#include <windows.h>

namespace platform::win32 {

// The call failed with the thread's last error (GetLastError).
bool FailedCall(const char* call);
// The call failed with an HRESULT (COM, WIC, OLE).
bool FailedCall(const char* call, HRESULT hr);

}  // namespace platform::win32
