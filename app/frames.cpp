#include "app/frames.hpp"

#include <optional>
#include <string>
#include <vector>

#include "app/forms.hpp"
#include "app/frame_place.hpp"
#include "app/frame_record.hpp"
#include "app/frm_main.hpp"
#include "app/main_mod.hpp"
#include "app/menu_names.hpp"
#include "app/slideshow.hpp"
#include "display/sizing.hpp"
#include "platform/frame_store.hpp"
#include "platform/menus.hpp"
#include "platform/shell.hpp"
#include "platform/windows.hpp"
#include "shadow/companion_rules.hpp"

namespace frames {

using mainMod::shared;
using platform::Form;
namespace store = platform::frame_store;
namespace pw = platform::windows;

namespace {

constexpr std::u16string_view kFrameArgument = u"/frame:";
constexpr std::u16string_view kAgainArgument = u"/again";
// A store holding more records than anyone keeps frames brings back this many.
constexpr std::size_t kMostFrames = 64;
// How far a new copy stands from its parent, right and down (30 pixels at 96 dpi).
constexpr platform::Twips kCopyOffset{30 * 15};

mainMod::FrameMemory& Memory() {
    return shared.frame;
}

// Identities are what the store makes: thirty-two hexadecimal digits, nothing a path could
// carry.
bool IsIdentity(std::u16string_view id) {
    if (id.size() != 32) return false;
    for (char16_t c : id)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
    return true;
}

bool SettingOn() {
    const auto on = mainMod::TextToBool(mainMod::ReadOption(u"Frames", u"Remember"));
    return on && *on != mainMod::kFalse;
}

// The item of a submenu that carries the check mark, the first one when several do.
std::optional<std::int16_t> CheckedItem(resources::MenuItem (*item)(std::int16_t),
                                        std::int16_t count) {
    for (std::int16_t i = 0; i < count; ++i)
        if (platform::menus::Checked(item(i)).value_or(false)) return i;
    return std::nullopt;
}

// The frame's rectangle for placing it whole: the picture window and the caption under it
// when shown.
std::optional<platform::TwipsRect> FrameRect() {
    auto frame = companion_rules::MainRect();
    if (frame && shared.ShowFileName == mainMod::kTrue)
        if (const auto caption = forms::Height(Form::Txt))
            frame->height += companion_rules::kCaptionGap + *caption;
    return frame;
}

frame_record::Record Current() {
    frame_record::Record r;
    if (!shared.PicturePath.empty() && shared.PicturePath.size() <= frame_record::kLongestPath)
        r.picture = shared.PicturePath;
    r.place = Memory().place;
    if (shared.SizeMode >= sizing::kSmall && shared.SizeMode <= sizing::kLarge)
        r.size = shared.SizeMode;
    r.opacity = CheckedItem(menu_names::mnuTrs, 3);
    r.shadow = CheckedItem(menu_names::mnuShadow, 4);
    r.caption = shared.ShowFileName != mainMod::kFalse;
    r.pace = shared.slideshow.pace;
    r.shuffle = shared.slideshow.shuffle;
    r.lock = Memory().locked;
    return r;
}

void Write() {
    mainMod::FrameMemory& m = Memory();
    std::string text = frame_record::Write(Current());
    if (m.recordText == text) return;
    if (store::Write(m.identity, text)) m.recordText = std::move(text);
}

void MarkLock() {
    platform::menus::SetChecked(menu_names::mnuOP(menu_names::op::kLock), Memory().locked);
}

// Takes this process's identity; false when it has none to take and is to end.
bool TakeIdentity() {
    mainMod::FrameMemory& m = Memory();
    bool again = false;
    for (const std::u16string& a : platform::shell::Arguments()) {
        if (a.starts_with(kFrameArgument)) {
            const std::u16string id = a.substr(kFrameArgument.size());
            if (!IsIdentity(id) || !store::Claim(id)) return false;
            m.identity = id;
            return true;
        }
        if (a == kAgainArgument) again = true;
    }
    // A plain start: the records no running frame holds come back, this one first.
    std::vector<std::u16string> others;
    for (const std::u16string& id : store::List()) {
        if (!IsIdentity(id) || others.size() + 1 >= kMostFrames) continue;
        if (m.identity.empty() && store::Claim(id))
            m.identity = id;
        else if (!store::Held(id))
            others.push_back(id);
    }
    if (const auto self = platform::shell::ExePath())
        for (const std::u16string& id : others)
            platform::shell::StartProgram(*self, {std::u16string(kFrameArgument) + id});
    if (!m.identity.empty()) return true;
    if (again) return false;
    m.identity = store::NewIdentity();
    store::Claim(m.identity);
    return true;
}

}  // namespace

bool Begin() {
    mainMod::FrameMemory& m = Memory();
    m.remembered = SettingOn();
    if (!m.remembered) return true;
    if (!TakeIdentity()) return false;
    m.recordText = store::Read(m.identity, frame_record::kMostBytes);
    if (m.recordText) m.record = frame_record::Read(*m.recordText);
    if (m.record.picture) shared.PicturePath = *m.record.picture;
    if (m.record.caption)
        shared.ShowFileName = *m.record.caption ? mainMod::kTrue : mainMod::kFalse;
    return true;
}

namespace {

// Moves the frame to where its place lands now, for its present size; the landing, if any.
std::optional<frame_place::Landing> GoTo(const frame_record::Place& place,
                                         const frame_place::Monitors& monitors, int dpi) {
    const auto frame = FrameRect();
    const auto main = companion_rules::MainRect();
    if (!frame || !main) return std::nullopt;
    auto landing = frame_place::Land(place, frame->width, frame->height, monitors, dpi);
    if (landing && (landing->left != main->left || landing->top != main->top)) {
        forms::Move(Form::Main, landing->left, landing->top, main->width, main->height);
        companion_rules::PlaceCompanions();
    }
    return landing;
}

}  // namespace

void Apply() {
    mainMod::FrameMemory& m = Memory();
    if (!m.remembered) return;
    const frame_record::Record& r = m.record;
    const frame_place::Monitors monitors = pw::Monitors();
    const int dpi = pw::FrameDpi();
    // At its place before the choices below first show it, and again once it has its size.
    GoTo(r.place, monitors, dpi);
    if (r.size && *r.size != sizing::kDefault) frmMain::mnuSize_Click(*r.size);
    if (r.opacity && *r.opacity != menu_names::kTrsOpaque) frmMain::mnuTrs_Click(*r.opacity);
    if (r.shadow) frmMain::mnuShadow_Click(*r.shadow);
    if (r.pace) slideshow::SetPace(*r.pace);
    if (r.shuffle) slideshow::SetShuffle(*r.shuffle);
    if (r.lock) {
        m.locked = *r.lock;
        MarkLock();
    }
    const auto landing = GoTo(r.place, monitors, dpi);
    m.away = landing && !landing->home;
    if (m.away) {
        m.place = r.place;  // kept for when its monitor comes back
    } else if (const auto main = companion_rules::MainRect()) {
        m.place = frame_place::PlaceOf(*main, monitors, dpi).value_or(r.place);
    }
    Write();
}

void Save() {
    const mainMod::FrameMemory& m = Memory();
    if (m.remembered && !m.closed && !m.identity.empty()) Write();
}

void Moved() {
    mainMod::FrameMemory& m = Memory();
    if (!m.remembered) return;
    if (const auto main = companion_rules::MainRect())
        if (auto place = frame_place::PlaceOf(*main, pw::Monitors(), pw::FrameDpi())) {
            m.place = std::move(*place);
            m.away = false;
        }
}

bool DisplayChanged() {
    mainMod::FrameMemory& m = Memory();
    if (!m.remembered) return false;
    const frame_place::Monitors monitors = pw::Monitors();
    const int dpi = pw::FrameDpi();
    const bool ownThere = frame_place::OwnMonitor(m.place, monitors, dpi).has_value();
    if (!ownThere) {
        // Its monitor went: it stands elsewhere, and its record keeps its place.
        m.away = m.away || !monitors.empty();
        return false;
    }
    if (!m.away) return false;
    const auto landing = GoTo(m.place, monitors, dpi);
    if (!landing || !landing->home) return false;
    m.away = false;
    return true;
}

bool Locked() {
    return Memory().locked;
}

void ToggleLock() {
    Memory().locked = !Memory().locked;
    MarkLock();
}

void StartCopy() {
    const auto self = platform::shell::ExePath();
    if (!self) return;
    if (!Memory().remembered) {
        platform::shell::StartProgram(*self);
        return;
    }
    frame_record::Record r = Current();
    if (auto main = companion_rules::MainRect()) {
        main->left += kCopyOffset;
        main->top += kCopyOffset;
        if (auto place = frame_place::PlaceOf(*main, pw::Monitors(), pw::FrameDpi()))
            r.place = std::move(*place);
    }
    const std::u16string id = store::NewIdentity();
    // Without its record the copy still starts, as a new frame at the design place.
    store::Write(id, frame_record::Write(r));
    platform::shell::StartProgram(*self, {std::u16string(kFrameArgument) + id});
}

void SessionEnds() {
    Save();
    Memory().sessionEnding = true;
}

void Close() {
    mainMod::FrameMemory& m = Memory();
    if (m.remembered && !m.closed && !m.sessionEnding && !m.identity.empty())
        store::Remove(m.identity);
    m.closed = true;
}

}  // namespace frames
