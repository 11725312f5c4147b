// The titles of the program's windows, as the task list and other programs see them. The
// picture window and the caption window have none.
#pragma once

namespace resources {

inline constexpr const wchar_t* kShadowTitle = L"阴影  ";

}  // namespace resources
