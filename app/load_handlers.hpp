// The load handler of each window, run once when the window is created.
#pragma once

#include "platform/types.hpp"

namespace forms {

void RunLoadHandler(platform::Form f);

}  // namespace forms
