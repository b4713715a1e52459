// What tests may ask of the platform beyond the program's own calls: timers
// held and stepped by hand, clocks of their own, the screen turned, a fixed
// palette, menus and message boxes answered without a person, the sounds
// asked for seen without listening, and read-back of what a window holds and
// shows. Qt-free, like every public header; the program never includes it.
// The queries live in the platform_testing library, which only tests link;
// the hooks live beside what they replace, so the demo's unattended
// screenshot run may use them too.
#pragma once

#include "platform/Types.h"
#include "platform/core/Messages.h"
#include "platform/media/Time.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform::core {

// Tests drive timers by sending WM_TIMER themselves: with timers held, a
// window's timers are kept as set (id and period) but never fire.
void HoldTimers(bool hold);
// The period of a running timer of the window, or 0 when it is not running.
UINT TimerPeriod(HWND window, UINT_PTR id);

// Tests run GetTickCount from a clock of their own; an empty function
// gives the real clock back.
void SetTickCountOverride(std::function<DWORD()> tick);

// Tests turn the screen: the screen becomes width x height pixels and the
// work area follows it. (0, 0) gives the handheld screen back.
void SetScreenSize(int width, int height);

// Tests choose from a popup instead of a person: the chooser gets the popup
// and the point and returns the chosen command, or 0 for none.
using MenuChooser = std::function<UINT(HMENU popup, POINT at)>;
void SetMenuChooser(MenuChooser chooser);

// Tests answer message boxes instead of a person: the answerer sees the
// box's text and flags and returns the answer. An empty function restores
// the real boxes.
using MessageBoxAnswerer = std::function<int(const std::u16string& text, UINT flags)>;
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

}  // namespace platform::core

// One call of PlaySoundW as it arrived, for tests to see what the program
// asks the player to do without listening to it.
struct SoundRequest {
    std::uintptr_t resource;  // the resource number, or 0 for a name that is not one
    HINSTANCE module;
    DWORD flags;
};
using SoundObserver = void (*)(const SoundRequest& request, void* context);

// Installs an observer that sees every request before it is played; null
// removes it. One observer at a time.
void SetSoundObserver(SoundObserver observer, void* context);

// Sees every SetClickRate call as it arrives, for tests; null removes it.
using ClickObserver = void (*)(DWORD milliHertz, void* context);
void SetClickObserver(ClickObserver observer, void* context);

// Tests replace the local clock with a fixed or stepping one; null restores
// the real clock. Whatever the source writes is what GetLocalTime returns.
using LocalClockSource = void (*)(LPSYSTEMTIME time);
void SetLocalClockSource(LocalClockSource source);

namespace platform::gdi {

// Puts a fixed palette on the running application so that system colours
// do not depend on the desktop; tests call it after creating the application.
// COLOR_ACTIVECAPTION is then 0x6A240A (RGB 10, 36, 106), COLOR_CAPTIONTEXT,
// COLOR_WINDOW and COLOR_BTNHIGHLIGHT white, COLOR_WINDOWTEXT and
// COLOR_BTNTEXT black, COLOR_BTNFACE 0xC0C0C0, COLOR_BTNSHADOW 0x808080,
// COLOR_GRAYTEXT 0x808080.
void UseFixedPalette();

}  // namespace platform::gdi

namespace platform::testing {

// Runs what waits in the event loop (posted messages, repaints) and returns.
void ProcessEvents();

// The window's place in its parent's client area (on the screen for a
// top-level window), as the platform keeps it; an empty rectangle for a
// destroyed window.
RECT WindowPlace(HWND window);

// The child window of parent (or deeper) that shows at point, in parent's
// client coordinates; null when no window's own widget is there.
HWND WindowAt(HWND parent, POINT point);

// The size of the window's off-screen image (its client area as last
// painted), and one of its pixels; CLR_INVALID outside the image.
SIZE ImageSize(HWND window);
COLORREF ImagePixel(HWND window, int x, int y);

// A drawing context on an off-screen image of its own, width x height and
// filled with one colour, for drawing code that takes an HDC.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }

private:
    struct Image;
    std::unique_ptr<Image> m_image;
    HDC m_dc = nullptr;
};

}  // namespace platform::testing
