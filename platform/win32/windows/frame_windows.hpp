// The program's windows as the backend keeps them: one object per window, owning its handle
// and everything the window holds, and the one place where the objects live.
//
//   FrameWindow    each of the three: the design it was created from and its measuring font
//   PictureWindow  frmMain: its dpi (the frame's), persistent image, drawing settings,
//                  drop-target registration, the drops waiting for its queue, and its stand
//                  on the shown desktop
//   ShadowWindow   frmShadow: its drop-target registration
//   CaptionWindow  frmTxt, with its picture box Picture1Box: the box's drawing settings
//
// Windows are created on first touch (platform::windows::Create) and give back what they hold
// when destroyed; the objects themselves live as long as the process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/drawing.hpp"
#include "platform/types.hpp"
#include "platform/win32/scoped.hpp"
#include "platform/win32/windows/desktop_stand.hpp"
#include "platform/win32/windows/drop_target.hpp"
#include "platform/win32/windows/persistent_image.hpp"
#include "platform/win32/windows/window.hpp"

namespace platform::win32 {

// A top-level window of the frame, created on first touch.
class FrameWindow : public Window {
  public:
    // Creates the window, hidden, as the design says.
    virtual bool Create(const FormDesign& design) = 0;
    // The design the window was created from.
    const FormDesign& Design() const { return design_; }
    // The font text widths are measured in: the design's, else the system's GUI font; not
    // owned by the caller.
    HFONT MeasuringFont() const;
    // Makes the design's font anew for a dpi.
    void FitFont(int dpi);

  protected:
    // How a window of the frame is made.
    struct FrameClass {
        const wchar_t* name;
        UINT classStyle;
        HBRUSH background;  // none: the window paints all of its client area itself
        const wchar_t* title;
        DWORD style, exStyle;
    };
    // Registers the class and creates the window, hidden, with its client area at the design's
    // place; nullptr when either fails.
    HWND CreateFrame(const FrameClass& frameClass, const FormDesign& design);
    // Keeps the design of the window being created and makes its font for a dpi.
    void TakeDesign(const FormDesign& design, int dpi);
    void OnGone() override;

  private:
    FormDesign design_;
    ScopedFont font_;
};

class PictureWindow final : public FrameWindow {
  public:
    bool Create(const FormDesign& design) override;
    // The dpi of the monitor the window stands on, which the whole frame follows.
    int Dpi() const { return dpi_; }
    PersistentImage& Image() { return image_; }
    drawing::SurfaceSettings& Style() { return style_; }
    WaitingDrops& Drops() { return drops_; }
    DesktopStand& Stand() { return stand_; }
    // Runs the system's move loop while a press of the primary button is being handled
    // (whatever made it: mouse, pen or touch); returns at once without one.
    bool RunMoveLoop();

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnGone() override;
    void OnMouseDown(std::int16_t button, WPARAM keys, POINT at);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnSystemClose();
    void OnPaint();
    void OnDpiChanged(int dpi, const RECT& suggested);
    bool OnKey(WPARAM key);
    void OnWheel(int delta, POINT at);
    void OnDesktopChanged(bool wallpaper);

    int dpi_ = 0;
    PersistentImage image_;
    drawing::SurfaceSettings style_;
    ScopedDropRegistration drop_;
    WaitingDrops drops_;
    DesktopStand stand_;
    bool pressed_ = false;        // a press of the primary button is being handled
    bool moving_ = false;         // the move loop runs
    bool layoutPending_ = false;  // the dpi changed while moving: the layout follows the drop
    int wheel_ = 0;               // wheel turns not yet a whole notch
};

class ShadowWindow final : public FrameWindow {
  public:
    bool Create(const FormDesign& design) override;

  private:
    void OnGone() override;

    ScopedDropRegistration drop_;
};

class Picture1Box final : public Window {
  public:
    bool Create(HWND caption, const BoxDesign& design, int dpi);
    // Gives the box its design size at a dpi.
    bool Fit(int dpi);
    drawing::SurfaceSettings& Style() { return style_; }
    const BoxDesign& Design() const { return design_; }

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnGone() override;

    BoxDesign design_;
    drawing::SurfaceSettings style_;
};

class CaptionWindow final : public FrameWindow {
  public:
    bool Create(const FormDesign& design) override;
    Picture1Box& Picture1() { return picture1_; }
    // Gives the strip and its box their design height (and the box its width) at a dpi; the
    // program sets the strip's place and width itself.
    bool Fit(int dpi);

  private:
    Picture1Box picture1_;
};

// The program's windows, one of each per process.
struct FrameWindows {
    PictureWindow main;
    ShadowWindow shadow;
    CaptionWindow caption;

    FrameWindow& Of(Form f);
};
FrameWindows& Windows();

// The window of a form or surface, or nullptr when it does not exist.
HWND WindowOf(Form f);
HWND WindowOf(Surface s);
// The drawing settings of a surface.
drawing::SurfaceSettings& StyleOf(Surface s);
// The font a form measures text in; not owned by the caller.
HFONT MeasuringFont(Form f);

}  // namespace platform::win32
