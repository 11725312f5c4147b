// The three windows: creation, classes and styles, geometry in twips, visibility, layered
// opacity, text measuring, and the events the picture window raises.
#include "platform/windows.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cmath>
#include <optional>

#include "platform/drawing.hpp"
#include "platform/win32/units.hpp"
#include "platform/win32/windows/drop_target.hpp"
#include "platform/win32/windows/frame_windows.hpp"
#include "test_support.hpp"

namespace {

using namespace units::literals;
using platform::DesignPixels;

using platform::Form;
using vistrelle_test::Pump;
using vistrelle_test::RecordingEvents;
using vistrelle_test::WindowsTest;
namespace windows = platform::windows;

bool At96Dpi() {
    const units::TwipsPerPixel fifteen(15);
    return windows::TwipsPerPixelX() == fifteen && windows::TwipsPerPixelY() == fifteen;
}

RECT RectOf(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return r;
}

// Where the backend says a window stands, in twips: left, top, width, height.
std::array<std::optional<platform::Twips>, 4> Twips(Form f) {
    return {windows::Left(f), windows::Top(f), windows::Width(f), windows::Height(f)};
}
std::array<std::optional<platform::Twips>, 4> Twips(double left, double top, double width,
                                                    double height) {
    return {platform::Twips(left), platform::Twips(top), platform::Twips(width),
            platform::Twips(height)};
}

TEST_F(WindowsTest, EachWindowHasItsClassStylesAndTitle) {
    struct Expected {
        Form form;
        const wchar_t* className;
        const wchar_t* title;
        DWORD style;
        DWORD exStyle;
    };
    // All three are tool windows: no button in the task bar, no place in Alt+Tab.
    const Expected table[] = {
        {Form::Main, L"VistrelleMain", L"", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW},
        {Form::Shadow, L"VistrelleShadow", L"阴影  ", WS_POPUP,
         WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE},
        {Form::Txt, L"VistrelleCaption", L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(Name(e.form));
        HWND h = ::FindWindowW(e.className, nullptr);
        ASSERT_NE(h, nullptr) << "no window of class found";
        EXPECT_EQ(h, Window(e.form));
        wchar_t title[64] = {};
        ::GetWindowTextW(h, title, 64);
        EXPECT_EQ(std::wstring(title), e.title);
        const auto style = static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE));
        EXPECT_EQ(style & e.style, e.style) << std::hex << style;
        EXPECT_EQ(style & (WS_CAPTION & ~WS_BORDER), 0u) << "no title bar expected";
        EXPECT_FALSE(::IsWindowVisible(h)) << "created hidden";
        const auto ex = static_cast<DWORD>(::GetWindowLongW(h, GWL_EXSTYLE));
        EXPECT_EQ(ex & e.exStyle, e.exStyle) << std::hex << ex;
        EXPECT_EQ(ex & WS_EX_APPWINDOW, 0u) << "no window has a task bar button";
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"VistrelleMain", &wc));
    EXPECT_TRUE(wc.style & CS_DBLCLKS) << "double clicks need the class style";
}

TEST_F(WindowsTest, CaptionWindowHoldsPicture1) {
    HWND box = ::FindWindowExW(Window(Form::Txt), nullptr, L"VistrellePicture1", nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, platform::win32::WindowOf(platform::Surface::Picture1));
    const RECT r = RectOf(box);
    POINT origin{0, 0};
    ::ClientToScreen(Window(Form::Txt), &origin);
    EXPECT_EQ(r.left, origin.x);
    EXPECT_EQ(r.top, origin.y);
    if (!At96Dpi()) GTEST_SKIP() << "sizes below are for 96 dpi";
    EXPECT_EQ(r.right - r.left, 297) << "4455 twips";
    EXPECT_EQ(r.bottom - r.top, 18) << "270 twips";
    EXPECT_EQ(windows::ScaleWidth(Form::Txt), DesignPixels(288)) << "4320 twips";
    EXPECT_EQ(windows::ScaleHeight(Form::Txt), DesignPixels(18));
}

TEST_F(WindowsTest, PictureWindowStartsAtItsDesignPlaceWithAThinBorder) {
    if (!At96Dpi()) GTEST_SKIP() << "sizes below are for 96 dpi";
    RECT client{};
    ::GetClientRect(Window(Form::Main), &client);
    POINT origin{0, 0};
    ::ClientToScreen(Window(Form::Main), &origin);
    EXPECT_EQ(origin.x, 222) << "3330 twips";
    EXPECT_EQ(origin.y, 195) << "2925 twips";
    EXPECT_EQ(client.right, 195) << "2925 twips";
    EXPECT_EQ(client.bottom, 144) << "2160 twips";
    EXPECT_EQ(windows::Width(Form::Main), platform::Twips(2925.0 + 30))
        << "one pixel of border on each side";
    EXPECT_EQ(windows::Height(Form::Main), platform::Twips(2160.0 + 30));
    EXPECT_EQ(windows::ScaleWidth(Form::Main), DesignPixels(195));
    EXPECT_EQ(windows::ScaleHeight(Form::Main), DesignPixels(144));
}

// Windows sends WM_DPICHANGED when the window moves to a monitor of another scale; Wine never
// does, so the test sends it as Windows would.
TEST_F(WindowsTest, ADpiChangeKeepsTheSizeInTwipsAndTakesTheSuggestedPlace) {
    RecordingEvents events;
    platform::SetEvents(&events);
    HWND h = Window(Form::Main);
    ASSERT_TRUE(windows::Move(Form::Main, 3000_tw, 1500_tw, 2955_tw, 1980_tw));
    // The frame starts at the screen's scale.
    HDC screen = ::GetDC(nullptr);
    const int before = platform::win32::FrameDpi();
    EXPECT_EQ(before, ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    const auto measured = windows::TextWidth(Form::Main, u"Holiday at the seaside.jpg");
    ASSERT_TRUE(measured);

    struct Step {
        int dpi;         // the new dpi the message carries
        int frameDpi;    // what the frame takes
        RECT suggested;  // the place the system suggests; its size is the system's guess
    };
    const Step steps[] = {
        {2 * before, 2 * before, {40, 50, 40 + 999, 50 + 999}},
        {0, 96, {60, 70, 61, 71}},  // nonsense: taken as 96
        {before, before, {80, 90, 80 + 10, 90 + 10}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.dpi);
        events.lines.clear();
        ::SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(step.dpi, step.dpi),
                       reinterpret_cast<LPARAM>(&step.suggested));
        EXPECT_EQ(platform::win32::FrameDpi(), step.frameDpi);
        const RECT r = RectOf(h);
        EXPECT_EQ(r.left, step.suggested.left);
        EXPECT_EQ(r.top, step.suggested.top);
        EXPECT_EQ(r.right - r.left, std::lround(std::nearbyint(2955.0 * step.frameDpi / 1440)))
            << "2955 twips at the new dpi";
        EXPECT_EQ(r.bottom - r.top, std::lround(std::nearbyint(1980.0 * step.frameDpi / 1440)));
        EXPECT_NEAR(windows::Width(Form::Main)->Value(), 2955, 1440.0 / step.frameDpi / 2);
        EXPECT_NEAR(windows::Height(Form::Main)->Value(), 1980, 1440.0 / step.frameDpi / 2);
        // The program works in pixels of 1/96 inch at every scale; the screen's own pixels
        // are what the picture is painted at.
        EXPECT_EQ(windows::TwipsPerPixelX(), units::TwipsPerPixel(15))
            << "the program's pixels stay";
        EXPECT_EQ(windows::TwipsPerPixelY(), units::TwipsPerPixel(15));
        EXPECT_EQ(platform::drawing::DeviceTwipsPerPixelX(platform::Surface::Main),
                  units::TwipsPerScreenPixel(1440.0 / step.frameDpi));
        EXPECT_EQ(platform::drawing::DeviceTwipsPerPixelY(platform::Surface::Main),
                  units::TwipsPerScreenPixel(1440.0 / step.frameDpi));
        // The strip and its box take their design height (and the box its width) at the dpi.
        const RECT strip = RectOf(Window(Form::Txt));
        EXPECT_EQ(strip.bottom - strip.top,
                  std::lround(std::nearbyint(270.0 * step.frameDpi / 1440)));
        RECT box{};
        ::GetClientRect(platform::win32::WindowOf(platform::Surface::Picture1), &box);
        EXPECT_EQ(box.right, std::lround(std::nearbyint(4455.0 * step.frameDpi / 1440)));
        // Text is measured in the program's pixels, with a font made for the new dpi.
        const auto width = windows::TextWidth(Form::Main, u"Holiday at the seaside.jpg");
        ASSERT_TRUE(width);
        EXPECT_NEAR(width->Value(), measured->Value(), measured->Value() * 0.15);
        const std::vector<std::string> expected = {"DpiChanged"};
        EXPECT_EQ(events.lines, expected) << "the program paints the frame again";
    }
}

// Windows sends WM_DPICHANGED inside the move loop when the window is dragged onto a monitor of
// another scale. The window takes the suggested place at once, but the frame is laid out anew
// (its companions shown) only once the window is dropped. A timer inside the loop sends the
// message as Windows would, then ends the loop as a release of the button does. No button is
// held: the press message alone starts the drag, as a pen's or a finger's press does.
struct DragSeen {
    RECT suggested{40, 50, 60, 70};
    int dpi = 0;
    std::vector<std::string> events;  // raised before the drop
    bool companionsShown = true;
    RECT place{};
};
DragSeen g_drag;

void CALLBACK ChangeScaleWhileMoving(HWND h, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(h, id);
    ::SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(g_drag.dpi, g_drag.dpi),
                   reinterpret_cast<LPARAM>(&g_drag.suggested));
    g_drag.events = static_cast<RecordingEvents*>(platform::CurrentEvents())->lines;
    g_drag.companionsShown = ::IsWindowVisible(platform::win32::WindowOf(Form::Txt)) ||
                             ::IsWindowVisible(platform::win32::WindowOf(Form::Shadow));
    g_drag.place = RectOf(h);
    ::PostMessageW(h, WM_LBUTTONUP, 0, 0);
}

TEST_F(WindowsTest, AScaleChangeDuringADragWaitsForTheDrop) {
    // Drags on a press, as the program does; the layout it runs on a scale change shows the
    // companions.
    struct Dragging : RecordingEvents {
        void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override {
            RecordingEvents::MouseDown(button, shift, x, y);
            ::SetTimer(platform::win32::WindowOf(Form::Main), 1, 100, ChangeScaleWhileMoving);
            windows::RunMoveLoop(Form::Main);
            lines.push_back("Dropped");
        }
        void DpiChanged() override {
            RecordingEvents::DpiChanged();
            windows::Show(Form::Txt);
            windows::Show(Form::Shadow);
        }
    } events;
    platform::SetEvents(&events);
    HWND h = Window(Form::Main);
    ASSERT_TRUE(windows::Show(Form::Main));
    Pump();
    g_drag = DragSeen{};
    g_drag.dpi = 2 * platform::win32::FrameDpi();
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(g_drag.events, std::vector<std::string>{"MouseDown(1,0,5,5)"})
        << "nothing is laid out while the window moves";
    EXPECT_FALSE(g_drag.companionsShown);
    EXPECT_EQ(g_drag.place.left, g_drag.suggested.left) << "the suggested place is taken at once";
    EXPECT_EQ(g_drag.place.top, g_drag.suggested.top);
    EXPECT_EQ(platform::win32::FrameDpi(), g_drag.dpi);
    const std::vector<std::string> after = {"MouseDown(1,0,5,5)", "DpiChanged", "Dropped"};
    EXPECT_EQ(events.lines, after) << "the frame is laid out when it is dropped";
    EXPECT_TRUE(::IsWindowVisible(Window(Form::Txt)) && ::IsWindowVisible(Window(Form::Shadow)));
}

// Shift+F10 and the context-menu key ask for the menu at the window's top left corner when the
// pointer is not over the window, and at the pointer when it is.
TEST_F(WindowsTest, MenuKeysAskForTheMenuWhereItIsToOpen) {
    RecordingEvents events;
    platform::SetEvents(&events);
    HWND h = Window(Form::Main);
    const RECT r = RectOf(h);
    ::SetCursorPos(r.right + 50, r.bottom + 50);
    BYTE keys[256] = {};
    ::SendMessageW(h, WM_KEYDOWN, VK_APPS, 0);
    ::SendMessageW(h, WM_KEYDOWN, VK_F10, 0);                            // without Shift: nothing
    ::SendMessageW(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), -1);  // not a second menu
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(h, WM_SYSKEYDOWN, VK_F10, 0);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    ::SetCursorPos(r.left + 7, r.top + 5);
    ::SendMessageW(h, WM_KEYDOWN, VK_APPS, 0);
    POINT corner{0, 0};
    ::ClientToScreen(h, &corner);
    const auto at = [](long x, long y) {
        return "MenuKey(" + std::to_string(x) + "," + std::to_string(y) + ")";
    };
    const std::vector<std::string> expected = {at(corner.x, corner.y), at(corner.x, corner.y),
                                               at(r.left + 7, r.top + 5)};
    EXPECT_EQ(events.lines, expected);
}

TEST_F(WindowsTest, GeometryRoundTripsInTwips) {
    if (!At96Dpi()) GTEST_SKIP() << "sizes below are for 96 dpi";
    struct Case {
        double left, top, width, height;
        int pxLeft, pxTop, pxWidth, pxHeight;
        double back[4];  // the place read back in twips
    };
    const Case cases[] = {
        {3330, 2925, 2955, 1980, 222, 195, 197, 132, {3330, 2925, 2955, 1980}},
        {0, 0, 1470, 2190, 0, 0, 98, 146, {0, 0, 1470, 2190}},
        // 7.5 px rounds to the even 8, 22.5 px to 22.
        {112.5, 337.5, 300, 60, 8, 22, 20, 4, {120, 330, 300, 60}},
        {-150, -30, 4455, 270, -10, -2, 297, 18, {-150, -30, 4455, 270}},
    };
    for (Form f : kForms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(Name(f)) + " at " + std::to_string(c.left));
            ASSERT_TRUE(windows::Move(f, platform::Twips(c.left), platform::Twips(c.top),
                                      platform::Twips(c.width), platform::Twips(c.height)));
            const RECT r = RectOf(Window(f));
            EXPECT_EQ(r.left, c.pxLeft);
            EXPECT_EQ(r.top, c.pxTop);
            EXPECT_EQ(r.right - r.left, c.pxWidth);
            EXPECT_EQ(r.bottom - r.top, c.pxHeight);
            EXPECT_EQ(Twips(f), Twips(c.back[0], c.back[1], c.back[2], c.back[3]));
        }
    }
}

TEST_F(WindowsTest, SizeChangesKeepTheTopLeftCorner) {
    if (!At96Dpi()) GTEST_SKIP() << "sizes below are for 96 dpi";
    for (Form f : kForms) {
        SCOPED_TRACE(Name(f));
        ASSERT_TRUE(windows::Move(f, 1500_tw, 1200_tw, 3000_tw, 2100_tw));
        ASSERT_TRUE(windows::SetWidth(f, 2955_tw));
        EXPECT_EQ(Twips(f), Twips(1500, 1200, 2955, 2100));
        ASSERT_TRUE(windows::SetHeight(f, 1980_tw));
        EXPECT_EQ(Twips(f), Twips(1500, 1200, 2955, 1980));
        // Without a height the height stays.
        ASSERT_TRUE(windows::Move(f, 300_tw, 450_tw, 1500_tw, std::nullopt));
        EXPECT_EQ(Twips(f), Twips(300, 450, 1500, 1980));
    }
    // The picture window's inner size is the outer one less its border.
    ASSERT_TRUE(windows::Move(Form::Main, 300_tw, 450_tw, 2955_tw, 1980_tw));
    EXPECT_EQ(windows::ScaleWidth(Form::Main), DesignPixels(195));
    EXPECT_EQ(windows::ScaleHeight(Form::Main), DesignPixels(130));
}

TEST_F(WindowsTest, ShowAndHideChangeVisibility) {
    for (Form f : kForms) {
        SCOPED_TRACE(Name(f));
        ASSERT_TRUE(windows::Show(f));
        Pump();
        EXPECT_TRUE(::IsWindowVisible(Window(f)));
        ASSERT_TRUE(windows::Hide(f));
        EXPECT_FALSE(::IsWindowVisible(Window(f)));
    }
    // The companions are shown without taking the focus from the picture window.
    ASSERT_TRUE(windows::Show(Form::Main));
    ASSERT_TRUE(windows::Show(Form::Txt));
    ASSERT_TRUE(windows::Show(Form::Shadow));
    Pump();
    EXPECT_EQ(::GetForegroundWindow(), Window(Form::Main));
    EXPECT_EQ(::GetActiveWindow(), Window(Form::Main));
}

TEST_F(WindowsTest, AMoveLoopWithoutAPressedButtonReturnsAtOnce) {
    // Called with no button down (a press already released), the move loop must not wait for
    // a release that never comes; the window stays where it is.
    ASSERT_TRUE(windows::Show(Form::Main));
    Pump();
    const auto left = windows::Left(Form::Main);
    ASSERT_EQ(::GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0) << "the test needs the button up";
    EXPECT_TRUE(windows::RunMoveLoop(Form::Main));
    EXPECT_EQ(windows::Left(Form::Main), left);
}

TEST_F(WindowsTest, CreateKeepsAnExistingWindowDestroyIsIdempotentAndCallsOnAGoneWindowFail) {
    HWND main = Window(Form::Main);
    ASSERT_TRUE(vistrelle_test::Create(Form::Main));
    EXPECT_EQ(Window(Form::Main), main) << "creating an existing window keeps it";
    HWND shadow = Window(Form::Shadow);
    ASSERT_TRUE(windows::Destroy(Form::Shadow));
    EXPECT_FALSE(windows::Exists(Form::Shadow));
    EXPECT_FALSE(::IsWindow(shadow));
    EXPECT_TRUE(windows::Destroy(Form::Shadow)) << "destroying twice is fine";
    EXPECT_FALSE(windows::Show(Form::Shadow));
    EXPECT_FALSE(windows::Hide(Form::Shadow));
    EXPECT_FALSE(windows::Move(Form::Shadow, 0_tw, 0_tw, 100_tw, 100_tw));
    EXPECT_FALSE(windows::SetWidth(Form::Shadow, 100_tw));
    EXPECT_FALSE(windows::Left(Form::Shadow).has_value());
    EXPECT_FALSE(windows::ScaleWidth(Form::Shadow).has_value());
    EXPECT_FALSE(windows::SetOpacity(Form::Shadow, 0));
    EXPECT_FALSE(windows::SetClickThrough(Form::Shadow));
    EXPECT_FALSE(windows::TextWidth(Form::Shadow, u"x").has_value());
    EXPECT_FALSE(windows::RunMoveLoop(Form::Shadow));
    // Created again, it is a new window.
    ASSERT_TRUE(vistrelle_test::Create(Form::Shadow));
    EXPECT_TRUE(windows::Exists(Form::Shadow));
}

TEST_F(WindowsTest, MovesOutOfRangeAreRefusedAndChangeNothing) {
    ASSERT_TRUE(windows::Move(Form::Txt, 1500_tw, 1500_tw, 3000_tw, 270_tw));
    const RECT before = RectOf(Window(Form::Txt));
    EXPECT_FALSE(windows::Move(Form::Txt, platform::Twips(std::nan("")), 0_tw, 100_tw, 100_tw));
    EXPECT_FALSE(windows::Move(Form::Txt, 0_tw, 0_tw, platform::Twips(INFINITY), 100_tw));
    EXPECT_FALSE(windows::SetWidth(Form::Txt, platform::Twips(1e300)));
    const RECT after = RectOf(Window(Form::Txt));
    EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(WindowsTest, OpacityMakesTheWindowLayeredForGood) {
    HWND h = Window(Form::Shadow);
    const auto exStyle = [h] { return static_cast<DWORD>(::GetWindowLongW(h, GWL_EXSTYLE)); };
    const DWORD original = exStyle();
    EXPECT_EQ(original & (WS_EX_LAYERED | WS_EX_TRANSPARENT), 0u);
    for (const std::uint8_t alpha : {0, 128, 204, 255}) {
        ASSERT_TRUE(windows::SetOpacity(Form::Shadow, alpha));
        BYTE got = 1;
        DWORD flags = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(h, nullptr, &got, &flags));
        EXPECT_EQ(got, alpha);
        EXPECT_TRUE(flags & LWA_ALPHA);
        EXPECT_EQ(exStyle(), original | WS_EX_LAYERED) << "still layered at 255";
    }
    ASSERT_TRUE(windows::SetClickThrough(Form::Shadow));
    EXPECT_EQ(exStyle(), original | WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

TEST_F(WindowsTest, TextWidthUsesThePictureWindowsFont) {
    EXPECT_EQ(windows::TextWidth(Form::Main, u""), DesignPixels(0));
    const auto one = windows::TextWidth(Form::Main, u"sunset.jpg");
    const auto two = windows::TextWidth(Form::Main, u"sunset.jpgsunset.jpg");
    ASSERT_TRUE(one && two);
    EXPECT_GT(one->Value(), 20.0);
    EXPECT_NEAR(two->Value(), 2 * one->Value(), 2.0);

    // The same measure as the font the window is defined with.
    LOGFONTW lf{};
    HDC screen = ::GetDC(nullptr);
    lf.lfHeight = -static_cast<LONG>(std::lround(9.75 * ::GetDeviceCaps(screen, LOGPIXELSY) / 72));
    ::ReleaseDC(nullptr, screen);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    ::lstrcpyW(lf.lfFaceName, L"LucidaGrande");
    HFONT font = ::CreateFontIndirectW(&lf);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, L"sunset.jpg", 10, &size);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(font);
    EXPECT_EQ(one->Value(), size.cx);
}

TEST_F(WindowsTest, MouseButtonsBecomeMouseDownEvents) {
    RecordingEvents events;
    platform::SetEvents(&events);
    HWND h = Window(Form::Main);
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    ::SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
    ::SendMessageW(h, WM_MBUTTONDOWN, MK_MBUTTON | MK_CONTROL, MAKELPARAM(0, 7));
    ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 20));
    ::SendMessageW(h, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(5, 6));
    const std::vector<std::string> expected = {"MouseDown(1,0,10,20)", "MouseDown(2,1,3,4)",
                                               "MouseDown(4,2,0,7)", "DblClick",
                                               "MouseDown(2,0,5,6)"};
    EXPECT_EQ(events.lines, expected);
}

TEST_F(WindowsTest, MenuCommandsBecomeMenuClicks) {
    RecordingEvents events;
    platform::SetEvents(&events);
    HWND h = Window(Form::Main);
    using resources::MenuArray;
    ::SendMessageW(h, WM_COMMAND, resources::CommandId({MenuArray::OP, 10}), 0);
    ::SendMessageW(h, WM_COMMAND, resources::CommandId({MenuArray::Size, 2}), 0);
    ::SendMessageW(h, WM_COMMAND, resources::CommandId({MenuArray::Shadow, 3}), 0);
    ::SendMessageW(h, WM_COMMAND, 999, 0);                  // no item
    ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(1000, 1), 0);  // an accelerator, not a menu
    const std::vector<std::string> expected = {"MenuClick(0,10)", "MenuClick(1,2)",
                                               "MenuClick(3,3)"};
    EXPECT_EQ(events.lines, expected);
}

TEST_F(WindowsTest, EventsWithoutASinkAreIgnored) {
    HWND h = Window(Form::Main);
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(h, WM_COMMAND, resources::CommandId({resources::MenuArray::OP, 0}), 0);
    ::RedrawWindow(platform::win32::WindowOf(platform::Surface::Picture1), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(windows::Exists(Form::Main));
}

// Closing the picture window, or the end of the session, ends like Exit. The handler here
// does not end the process: the backend takes the windows down and stops the message loop, so
// no process stays behind with hidden windows.
TEST_F(WindowsTest, ClosingThePictureWindowOrTheSessionEndsLikeExit) {
    for (const UINT message : {UINT{WM_CLOSE}, UINT{WM_ENDSESSION}}) {
        SCOPED_TRACE(message);
        for (Form f : kForms) ASSERT_TRUE(vistrelle_test::Create(f));
        RecordingEvents events;
        platform::SetEvents(&events);
        ::SendMessageW(Window(Form::Main), WM_ENDSESSION, FALSE, 0);
        EXPECT_TRUE(events.lines.empty()) << "a cancelled end of session closes nothing";
        ::SendMessageW(Window(Form::Main), message, message == WM_ENDSESSION, 0);
        // The end of the session is told first, so that a remembered frame keeps its record.
        const std::vector<std::string> told =
            message == WM_ENDSESSION ? std::vector<std::string>{"SessionEnd", "SystemClose"}
                                     : std::vector<std::string>{"SystemClose"};
        EXPECT_EQ(events.lines, told);
        for (Form f : kForms) EXPECT_FALSE(windows::Exists(f)) << Name(f);
        MSG msg{};
        EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        platform::SetEvents(nullptr);
    }
}

TEST_F(WindowsTest, Picture1RaisesPaintWhenShown) {
    RecordingEvents events;
    platform::SetEvents(&events);
    ASSERT_TRUE(windows::Show(Form::Txt));
    ::UpdateWindow(platform::win32::WindowOf(platform::Surface::Picture1));
    Pump();
    ASSERT_FALSE(events.lines.empty());
    EXPECT_EQ(events.lines.front(), "Picture1Paint");
    events.lines.clear();
    ::RedrawWindow(platform::win32::WindowOf(platform::Surface::Picture1), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(events.lines, std::vector<std::string>{"Picture1Paint"});
}

TEST_F(WindowsTest, ThePictureWindowAndItsShadowAcceptDrops) {
    // RegisterDragDrop refuses a second registration of a window that has a drop target. The
    // shadow lies over the picture window and takes its drops where the system gives them to
    // the topmost window; the caption takes none.
    platform::win32::ComPtr<IDropTarget> other = platform::win32::NewDropTarget();
    EXPECT_EQ(::RegisterDragDrop(Window(Form::Main), other.Get()), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(::RegisterDragDrop(Window(Form::Shadow), other.Get()), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(::RegisterDragDrop(Window(Form::Txt), other.Get()), S_OK)
        << "the caption window had a drop target";
    ::RevokeDragDrop(Window(Form::Txt));
}

}  // namespace
