// The recording backend: every platform group implemented in memory. It records each
// operation, in order, as a line of text ("Move(Txt,0,2,2955)"), keeps the state a real
// window system would keep (rectangles, visibility, check marks, opacity, files), and can be
// told that operations fail. Tests select it by linking it instead of the Win32 backend.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/drawing.hpp"
#include "platform/folders.hpp"
#include "platform/pictures.hpp"
#include "platform/types.hpp"
#include "platform/windows.hpp"
#include "resources/menu_items.hpp"

namespace platform::recording {

struct FormState {
    bool exists = false;
    FormDesign design;  // as the window was created
    bool visible = false;
    Twips left, top, width, height;  // outer
    // Showing a window raises it: of the visible windows, the one shown last is in front.
    unsigned raised = 0;
    // Where the window stood when it was last shown.
    TwipsRect shownAt;
    bool layered = false;               // once layered, a window stays layered
    std::optional<std::uint8_t> alpha;  // whole-window opacity, set by SetOpacity
    bool clickThrough = false;
};

class Recorder {
  public:
    // Back to a fresh process: no windows, no files, no operations, nothing failing.
    void Reset();

    // --- What happened ---------------------------------------------------------------
    const std::vector<std::string>& Ops() const { return ops_; }
    // Operations whose text starts with one of the prefixes, in order.
    std::vector<std::string> OpsStartingWith(
        std::initializer_list<std::string_view> prefixes) const;
    void ClearOps() { ops_.clear(); }

    // --- Failures ----------------------------------------------------------------------
    // Every later operation whose text starts with prefix fails (returns false or empty),
    // records itself with a trailing " failed" and changes nothing.
    void FailOn(std::string prefix) { failing_.push_back(std::move(prefix)); }
    void ClearFailures() { failing_.clear(); }

    // --- The world ---------------------------------------------------------------------
    std::map<std::uint8_t, FormState> forms;                    // by Form
    std::map<std::uint8_t, drawing::SurfaceSettings> surfaces;  // by Surface
    std::map<std::uint16_t, bool> checked;                      // by command id
    units::TwipsPerPixel twipsPerPixelX{15}, twipsPerPixelY{15};
    std::vector<std::uint8_t> displayColourProfile;  // empty: sRGB
    // Twips per pixel of the screen under the surfaces; the program's own when unset.
    std::optional<units::TwipsPerScreenPixel> deviceTwipsPerPixel;
    // Outer size minus inner size of the picture window (its thin border).
    DesignPixels borderPixels{2};
    // Text width: this many pixels per character unless textWidth is set.
    double pixelsPerChar = 6;
    std::function<DesignPixels(std::u16string_view)> textWidth;
    std::u16string exeFolder = u"C:\\Frame";
    std::u16string exePath = u"C:\\Frame\\Vistrelle.exe";
    // Files for the profile reader (raw bytes) and pictures the holder can load.
    std::map<std::u16string, std::string> files;
    std::map<std::u16string, pictures::Bitmap> pictureFiles;
    // The orientation each picture file records (kUpright for a file not listed): the bitmap
    // above is the stored picture, as a decoder streams it.
    std::map<std::u16string, pictures::Orientation> pictureOrientations;
    // The colour profile each picture file embeds (none for a file not listed).
    std::map<std::u16string, std::vector<std::uint8_t>> pictureProfiles;
    // Picture files open now: a file is let go when its opened picture goes.
    std::int32_t openPictureFiles = 0;
    // When set, streaming stops with a decoding failure after this many rows.
    std::optional<std::int32_t> pictureRowsFailAfter;
    // What the next Open dialog answers (empty: cancelled).
    std::optional<std::u16string> openDialogAnswer;
    bool processEnded = false;
    // The picture window's timer pace while it runs, in milliseconds.
    std::optional<std::uint32_t> timerMilliseconds;
    // Whether the pointer stands over each window, by Form.
    std::map<std::uint8_t, bool> pointerOver;
    // The folder watched, and stamps of files (a file of `files` or `pictureFiles` without one
    // is stamped {0, 0}).
    std::u16string watchedFolder;
    std::map<std::u16string, folders::Stamp> stamps;
    // Folders that cannot be listed.
    std::vector<std::u16string> unlistable;
    // The listing last asked for (PrepareListing), made as the files stood then: a background
    // listing that a later change makes stale unless it is asked for again.
    std::optional<std::pair<std::u16string, std::vector<std::u16string>>> preparedListing;
    // The monitors: one of 1920 x 1080 pixels with a task bar 40 pixels high below its work
    // area, unless a test sets others.
    std::vector<windows::Monitor> monitors = {
        {{Twips(0), Twips(0), Twips(1920 * 15), Twips(1080 * 15)},
         {Twips(0), Twips(0), Twips(1920 * 15), Twips(1040 * 15)},
         u"\\\\.\\DISPLAY1"}};
    // The dpi of the monitor under the picture window.
    int dpi = 96;
    // The arguments the process was started with.
    std::vector<std::u16string> arguments;
    // The store of remembered frames: records by identity; the identities running frames of
    // other processes hold, and those this process claimed; how many identities were made.
    std::map<std::u16string, std::string> frameRecords;
    std::vector<std::u16string> heldElsewhere, claimed;
    unsigned identitiesMade = 0;
    // How far the next move loops carry the window (empty: it stays put).
    std::optional<std::pair<Twips, Twips>> moveLoopDelta;
    // Which windows were visible while the last move loop ran, by Form.
    std::map<std::uint8_t, bool> visibleWhileMoving;
    // Last bitmap drawn on each surface, by Surface.
    std::map<std::uint8_t, pictures::Bitmap> drawnBitmaps;
    // What the caption box shows, bottom to top: the desktop backdrop when it was painted, then
    // the texts drawn over it with colour and rectangle. Cls clears both; painting the desktop
    // covers the texts drawn before.
    bool desktopDrawn = false;
    struct DrawnText {
        std::u16string text;
        std::int32_t color;
        PixelRect rect;
        friend bool operator==(const DrawnText&, const DrawnText&) = default;
    };
    std::vector<DrawnText> drawnTexts;
    // What the program reported of its failures (platform::diagnostics), as UTF-8 lines.
    std::vector<std::string> reports;

    // --- Used by the backend itself ------------------------------------------------------
    // Records an operation; false when it is to fail.
    bool Record(std::string op);

    FormState& Of(Form f) { return forms[static_cast<std::uint8_t>(f)]; }
    unsigned raises = 0;  // how many times a window was raised
    drawing::SurfaceSettings& Of(Surface s) { return surfaces[static_cast<std::uint8_t>(s)]; }

  private:
    std::vector<std::string> ops_;
    std::vector<std::string> failing_;
};

// The one recorder of the process.
Recorder& Rec();

// Text of a number as operations record it: integers without a fraction, others with up
// to 6 significant digits.
std::string Num(double v);
template <class Unit, class Rep>
std::string Num(units::Length<Unit, Rep> v) {
    return Num(static_cast<double>(v.Value()));
}
// UTF-8 text of a UTF-16 string, for operation lines.
std::string Utf8(std::u16string_view s);

}  // namespace platform::recording
