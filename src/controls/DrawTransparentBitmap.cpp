#include "controls/DrawTransparentBitmap.h"

#include <algorithm>
#include <vector>

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, UINT width, UINT height, int x, int y)
{
    if (bitmap == nullptr)
        return;
    HDC source = CreateCompatibleDC(dc);
    if (source == nullptr)
        return;
    HGDIOBJ previous = SelectObject(source, bitmap);
    if (previous != nullptr) {
        const int w = static_cast<int>(width);
        const int h = static_cast<int>(height);
        TransparentImage(dc, x, y, w, h, source, 0, 0, w, h, RGB(0, 0, 0));
        SelectObject(source, previous);
    }
    DeleteDC(source);
}

bool ReadBitmapSize(HBITMAP bitmap, UINT& width, UINT& height)
{
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) != static_cast<int>(sizeof info))
        return false;
    width = static_cast<UINT>(info.bmWidth);
    height = static_cast<UINT>(info.bmHeight);
    return true;
}

void DeleteReplacedBitmaps(std::initializer_list<HBITMAP> previous, std::initializer_list<HBITMAP> kept)
{
    std::vector<HBITMAP> deleted;
    for (HBITMAP bitmap : previous) {
        if (bitmap == nullptr || std::find(kept.begin(), kept.end(), bitmap) != kept.end() ||
            std::find(deleted.begin(), deleted.end(), bitmap) != deleted.end())
            continue;
        DeleteObject(bitmap);
        deleted.push_back(bitmap);
    }
}

bool CreateOffscreenImage(HWND window, HDC& memDC, HBITMAP& offscreen, HBITMAP& savedBitmap)
{
    memDC = nullptr;
    offscreen = nullptr;
    savedBitmap = nullptr;
    RECT client{};
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    if (screen == nullptr)
        return false;
    memDC = CreateCompatibleDC(screen);
    if (memDC != nullptr) {
        offscreen = CreateCompatibleBitmap(screen, client.right - client.left, client.bottom - client.top);
        if (offscreen != nullptr)
            savedBitmap = SelectObject(memDC, offscreen);
        if (savedBitmap == nullptr)
            ReleaseOffscreenImage(memDC, offscreen, savedBitmap);
    }
    ReleaseDC(window, screen);
    return memDC != nullptr;
}

void ReleaseOffscreenImage(HDC& memDC, HBITMAP& offscreen, HBITMAP& savedBitmap)
{
    if (memDC != nullptr && savedBitmap != nullptr)
        SelectObject(memDC, savedBitmap);
    if (offscreen != nullptr)
        DeleteObject(offscreen);
    if (memDC != nullptr)
        DeleteDC(memDC);
    memDC = nullptr;
    offscreen = nullptr;
    savedBitmap = nullptr;
}

BOOL RegisterControlClass(const WCHAR* className)
{
    WNDCLASSW existing{};
    if (GetClassInfoW(AfxGetInstanceHandle(), className, &existing))
        return TRUE;
    WNDCLASSW wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hbrBackground = GetStockObject(HOLLOW_BRUSH);
    wc.lpszClassName = className;
    return RegisterClassW(&wc);
}
