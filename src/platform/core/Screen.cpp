// The screen: its size and work area.
#include "platform/core/Window.h"

#include "platform/core/WindowObject.h"

using namespace platform::core;

namespace {

SIZE g_screen{kScreenWidth, kScreenHeight};

}  // namespace

namespace platform::core {

void SetScreenSize(int width, int height)
{
    g_screen = width > 0 && height > 0 ? SIZE{width, height} : SIZE{kScreenWidth, kScreenHeight};
}

}  // namespace platform::core

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return g_screen.cx;
    case SM_CYSCREEN: return g_screen.cy;
    default: return 0;
    }
}

BOOL SystemParametersInfoW(UINT action, UINT, void* value, UINT)
{
    if (action != SPI_GETWORKAREA || value == nullptr)
        return FALSE;
    *static_cast<RECT*>(value) = RECT{0, kBarHeight, g_screen.cx, g_screen.cy - kBarHeight};
    return TRUE;
}
