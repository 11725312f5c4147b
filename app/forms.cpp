#include "app/forms.hpp"

#include "app/form_designs.hpp"
#include "app/load_handlers.hpp"
#include "platform/windows.hpp"

namespace forms {

namespace pw = platform::windows;

bool Touch(Form f) {
    if (pw::Exists(f)) return true;
    if (!pw::Create(f, form_designs::Of(f))) return false;
    RunLoadHandler(f);
    return true;
}

bool Unload(Form f) {
    return pw::Exists(f) ? pw::Destroy(f) : true;
}

bool Show(Form f) {
    return Touch(f) && pw::Show(f);
}
bool Hide(Form f) {
    return Touch(f) && pw::Hide(f);
}

std::optional<Twips> Left(Form f) {
    return Touch(f) ? pw::Left(f) : std::nullopt;
}
std::optional<Twips> Top(Form f) {
    return Touch(f) ? pw::Top(f) : std::nullopt;
}
std::optional<Twips> Width(Form f) {
    return Touch(f) ? pw::Width(f) : std::nullopt;
}
std::optional<Twips> Height(Form f) {
    return Touch(f) ? pw::Height(f) : std::nullopt;
}

bool Move(Form f, Twips left, Twips top, Twips width, std::optional<Twips> height) {
    return Touch(f) && pw::Move(f, left, top, width, height);
}

bool SetWidth(Form f, Twips width) {
    return Touch(f) && pw::SetWidth(f, width);
}
bool SetHeight(Form f, Twips height) {
    return Touch(f) && pw::SetHeight(f, height);
}

std::optional<DesignPixels> ScaleWidth(Form f) {
    return Touch(f) ? pw::ScaleWidth(f) : std::nullopt;
}

std::optional<DesignPixels> TextWidth(Form f, std::u16string_view text) {
    return Touch(f) ? pw::TextWidth(f, text) : std::nullopt;
}

bool SetOpacity(Form f, std::uint8_t alpha) {
    return Touch(f) && pw::SetOpacity(f, alpha);
}

bool SetClickThrough(Form f) {
    return Touch(f) && pw::SetClickThrough(f);
}

}  // namespace forms
