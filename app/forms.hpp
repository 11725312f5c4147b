// The three windows as the handlers see them: touching a window that does not exist yet
// creates it and runs its load handler first, so every handler can simply use it. Each call
// then forwards to the platform and reports whether it succeeded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/types.hpp"

namespace forms {

using platform::Form;

// Creates the window and runs its load handler if it does not exist yet; true when it
// exists afterwards.
bool Touch(Form f);
// Destroys the window; the next touch would create and load it again.
bool Unload(Form f);

bool Show(Form f);
bool Hide(Form f);
std::optional<double> Left(Form f);
std::optional<double> Top(Form f);
std::optional<double> Width(Form f);
std::optional<double> Height(Form f);
bool Move(Form f, double left, double top, double width,
          std::optional<double> height = std::nullopt);
bool SetWidth(Form f, double width);
bool SetHeight(Form f, double height);
std::optional<double> ScaleWidth(Form f);
std::optional<double> TextWidth(Form f, std::u16string_view text);
bool SetOpacity(Form f, std::uint8_t alpha);
bool SetClickThrough(Form f);

}  // namespace forms
