// Whether the process runs under Wine, for the few places where Wine's system differs from
// Windows' in a way the program must work around.
#pragma once

namespace platform::win32 {

bool IsWine();

}  // namespace platform::win32
