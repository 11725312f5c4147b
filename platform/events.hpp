// What the platform raises into the program, and the message loop that raises it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resources/menu_items.hpp"

namespace platform {

// The data of a drag over or a drop on the picture window.
class DropData {
  public:
    virtual ~DropData() = default;
    // Whether the data offers a clipboard format (15 is the file list).
    virtual std::optional<bool> HasFormat(std::int32_t clipboardFormat) = 0;
    // The dropped paths in order.
    virtual std::optional<std::vector<std::u16string>> Files() = 0;
};

inline constexpr std::int32_t kFileListFormat = 15;
inline constexpr std::int32_t kDropEffectNone = 0;
inline constexpr std::int32_t kDropEffectCopy = 1;

// Mouse buttons of a button-down event.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;

class Events {
  public:
    virtual ~Events() = default;
    // Events of the picture window.
    virtual void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    virtual void DblClick() = 0;
    virtual void DragOver(DropData& data, std::int32_t& effect) = 0;
    virtual void DragDrop(DropData& data) = 0;
    virtual void MenuClick(resources::MenuItem item) = 0;
    // The system closes the picture window (Alt+F4, end of session).
    virtual void SystemClose() = 0;
    // The caption box must be repainted.
    virtual void Picture1Paint() = 0;
    // The picture window moved to a monitor of another scale and took its new size in pixels;
    // the frame must be painted again.
    virtual void DpiChanged() = 0;
};

void SetEvents(Events* events);
Events* CurrentEvents();

// Dispatches events until the process ends; returns the exit code.
int RunMessageLoop();

}  // namespace platform
