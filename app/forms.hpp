// The three windows as the handlers see them: touching a window that does not exist yet
// creates it and runs its load handler first, so every handler can simply use it. Each call
// then forwards to the platform and reports whether it succeeded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/types.hpp"

namespace forms {

using platform::DesignPixels;
using platform::Form;
using platform::Twips;

// Creates the window and runs its load handler if it does not exist yet; true when it
// exists afterwards.
bool Touch(Form f);
// Destroys the window; the next touch would create and load it again.
bool Unload(Form f);

bool Show(Form f);
bool Hide(Form f);
std::optional<Twips> Left(Form f);
std::optional<Twips> Top(Form f);
std::optional<Twips> Width(Form f);
std::optional<Twips> Height(Form f);
bool Move(Form f, Twips left, Twips top, Twips width, std::optional<Twips> height = std::nullopt);
bool SetWidth(Form f, Twips width);
bool SetHeight(Form f, Twips height);
std::optional<DesignPixels> ScaleWidth(Form f);
std::optional<DesignPixels> TextWidth(Form f, std::u16string_view text);
bool SetOpacity(Form f, std::uint8_t alpha);
bool SetClickThrough(Form f);

}  // namespace forms
