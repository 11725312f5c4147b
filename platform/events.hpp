// What the platform raises into the program, and the message loop that raises it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.hpp"
#include "resources/menu_items.hpp"

namespace platform {

// The data of a drag over or a drop on the picture window.
class DropData {
  public:
    virtual ~DropData() = default;
    // Whether the data offers a list of files; empty when the question itself fails.
    virtual std::optional<bool> OffersFiles() = 0;
    // The dropped paths in order.
    virtual std::optional<std::vector<std::u16string>> Files() = 0;
};

// What a drop over the picture window would do: nothing (the drag is refused) or copy.
enum class DropEffect : std::int32_t { None = 0, Copy = 1 };

// Mouse buttons of a button-down event.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;

// A step through the pictures of the shown picture's folder: a wheel notch, an arrow or page
// key, Home or End.
enum class Step : std::uint8_t { Next, Previous, First, Last };

class Events {
  public:
    virtual ~Events() = default;
    // Events of the picture window.
    virtual void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    // The context-menu key or Shift+F10: the popup menu is asked for at `at`.
    virtual void MenuKey(ScreenPoint at) = 0;
    virtual void DblClick() = 0;
    // The handler answers with the effect a drop would have.
    virtual void DragOver(DropData& data, DropEffect& effect) = 0;
    virtual void DragDrop(DropData& data) = 0;
    virtual void MenuClick(resources::MenuItem item) = 0;
    // The system closes the picture window (Alt+F4, end of session).
    virtual void SystemClose() = 0;
    // The session ends (sign-out, shutdown, an installer closing the program to replace it):
    // raised just before the SystemClose that ends the program.
    virtual void SessionEnd() = 0;
    // The caption box must be repainted.
    virtual void Picture1Paint() = 0;
    // The picture window moved to a monitor of another scale and took its new size in pixels;
    // the frame must be painted again. During a drag it is raised once the window is dropped.
    virtual void DpiChanged() = 0;
    // The displays changed: a monitor came or went, or a resolution or the arrangement changed.
    virtual void DisplayChanged() = 0;
    // The wheel turned over the picture window, or a stepping key went down while it had the
    // focus.
    virtual void StepKey(Step step) = 0;
    // The picture window's timer (StartTimer) came due.
    virtual void Timer() = 0;
    // The watched folder changed (platform/folders.hpp).
    virtual void FolderChanged() = 0;
};

void SetEvents(Events* events);
Events* CurrentEvents();

// The picture window's one timer: Timer events every `milliseconds` until StopTimer. Starting
// it again restarts it at the new pace.
bool StartTimer(std::uint32_t milliseconds);
void StopTimer();

// Dispatches events until the process ends; returns the exit code.
int RunMessageLoop();

}  // namespace platform
