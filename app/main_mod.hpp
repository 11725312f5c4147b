// The program's shared module: every piece of state the windows share, for the whole process,
// and the small routines several windows use.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/conversions.hpp"
#include "app/frame_record.hpp"
#include "imaging/colour/colour_profile.hpp"
#include "imaging/decoding/picture_rows.hpp"
#include "platform/folders.hpp"
#include "platform/types.hpp"

namespace mainMod {

// How far the shadow window reaches beyond the picture window: its left edge DX to the left,
// its top DY above, DW wider and DH higher.
struct ShadowBoxRecord {
    units::Whole<units::Twips> DX, DW, DY, DH;
    friend constexpr bool operator==(const ShadowBoxRecord&, const ShadowBoxRecord&) = default;
};

// What the picture holder imgMain keeps of the picture shown (display/picture_holder.hpp).
struct HeldPicture {
    platform::PixelSize natural;      // as displayed, orientation applied
    platform::pictures::Bitmap kept;  // upright, at the pixels last painted
    // From the picture's embedded profile to the display's, as it is painted; empty when the
    // picture embeds none, an sRGB one, or one that was refused.
    std::shared_ptr<platform::colour::Conversion> colour;
    std::u16string path;  // the file it was decoded from
    // The display profile it was last converted to (empty bytes: sRGB); none before a paint.
    std::optional<std::vector<std::uint8_t>> paintedFor;
};

// The shown picture's folder (display/folder_steps.hpp): its pictures as last listed, in
// order, and whether that listing still holds (the folder is watched and has not changed since);
// whether the folder is watched, and which;
// the pictures of the folder shown in this round of shuffled steps; the stamp of the shown file
// when it was loaded.
struct FolderState {
    std::u16string listedFolder;
    std::vector<std::u16string> listedNames;
    bool listingFresh = false;
    bool watching = false;
    std::u16string watchedFolder;
    std::u16string shuffledFolder;
    std::set<std::u16string> shown;
    std::optional<platform::folders::Stamp> loadedStamp;
};

// The slideshow (app/slideshow.hpp): its pace in seconds (0 off), shuffled or in order, how
// many holds (a menu open, a drag) keep it waiting, and whether a step came due meanwhile.
struct SlideshowState {
    std::uint32_t pace = 0;
    bool shuffle = false;
    int holds = 0;
    bool due = false;
};

// A remembered frame (app/frames.hpp): whether frames are remembered at all, this frame's
// identity, its record as read at start-up, its own place (kept while it stands elsewhere
// because its monitor is gone), the record last written, and how it ends. The lock lasts
// until the process ends when frames are not remembered.
struct FrameMemory {
    bool remembered = false;
    std::u16string identity;
    frame_record::Record record;
    std::optional<std::string> recordText;  // as read, or as last written
    frame_record::Place place;
    bool away = false;
    bool sessionEnding = false;
    bool closed = false;
    bool locked = false;
};

// Every piece of state the windows share. Each member carries its initial value, the one it
// has at process start, so that `shared = {}` starts afresh.
struct SharedState {
    // Settings, read once at start-up from option.ini.
    std::u16string FontName;        // caption font face
    std::int16_t FontSize = 0;      // caption font size, points
    std::int32_t Color1 = 0;        // caption text colour (red in the lowest byte)
    std::int32_t Color2 = 0;        // caption shade colour
    std::int16_t ShadowOffSet = 0;  // shadow mode at start-up, 0 to 3
    VbBool ShowFileName = kFalse;   // whether the caption window is shown

    // The picture shown and its display size.
    std::u16string PicturePath;            // full path of the picture file
    units::Whole<units::Twips> PicWidth;   // display width
    units::Whole<units::Twips> PicHeight;  // display height
    VbBool Portrait = kFalse;              // taller than wide
    std::int16_t SizeMode = 0;             // 0 small, 1 default, 2 large

    // The caption.
    std::u16string FileTitle;                    // the file-name part of PicturePath
    std::u16string CaptionText;                  // what the caption window draws
    units::Whole<units::DesignPixels> TextLeft;  // left edge of the caption text
    // In the caption box, handed to the text drawing call.
    platform::PixelRect TextRect;

    ShadowBoxRecord ShadowBox;

    std::optional<HeldPicture> imgMain;  // empty until a picture was loaded

    FolderState folder;
    SlideshowState slideshow;
    FrameMemory frame;
};

// The one instance, for the whole process: mainMod::shared.PicturePath and so on.
inline SharedState shared;

// The program folder, always ending with a backslash.
std::u16string AppFolder();
// The value of key in section of option.ini in the program folder, or the empty text.
std::u16string ReadOption(std::u16string_view section, std::u16string_view key);

}  // namespace mainMod
