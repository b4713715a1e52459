// Basic Win32-shaped types and helpers the program is written against.
// This header is free of Qt and libnl so every layer may include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using UCHAR = std::uint8_t;
using WCHAR = char16_t;  // UTF-16 code unit, as on the handheld
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR
using DATE = double;             // OLE automation date

// Texts of the program are UTF-16, as the handheld's were.
using CString = std::u16string;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Opaque handles. Each points at a platform-owned object.
struct HWND__;
struct HDC__;
struct HGDIOBJ__;
struct HMENU__;
struct HICON__;
struct HINSTANCE__;
using HWND = HWND__*;
using HDC = HDC__*;
using HGDIOBJ = HGDIOBJ__*;
using HBITMAP = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HPEN = HGDIOBJ;
using HFONT = HGDIOBJ;
using HMENU = HMENU__*;
using HICON = HICON__*;
using HINSTANCE = HINSTANCE__*;
using HANDLE = void*;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

// A resource number carried in a name pointer, as the Win32 resource calls
// take it, and the test for one.
#ifndef MAKEINTRESOURCEW
#define MAKEINTRESOURCEW(id) (reinterpret_cast<const WCHAR*>(static_cast<std::uintptr_t>(static_cast<WORD>(id))))
#endif
#ifndef IS_INTRESOURCE
#define IS_INTRESOURCE(name) ((reinterpret_cast<std::uintptr_t>(name) >> 16) == 0)
#endif

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c)
{
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c)
{
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c)
{
    return static_cast<BYTE>((c >> 16) & 0xFF);
}

constexpr WORD LOWORD(std::uintptr_t v)
{
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v)
{
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int lo, int hi)
{
    return static_cast<LPARAM>(
        static_cast<DWORD>((static_cast<DWORD>(lo) & 0xFFFF) | ((static_cast<DWORD>(hi) & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi)
{
    return static_cast<WPARAM>(static_cast<DWORD>(MAKELPARAM(lo, hi)));
}
constexpr int GET_X_LPARAM(LPARAM lp)
{
    return static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp)
{
    return static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lp)));
}

// Win32 error codes the platform reports through GetLastError.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_BUSY = 170;
constexpr DWORD ERROR_NOT_READY = 21;
constexpr DWORD ERROR_DEV_NOT_EXIST = 55;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_CANCELLED = 1223;
// A scan helper is installed but lacks the capability it needs to start scans.
constexpr DWORD ERROR_PRIVILEGE_NOT_HELD = 1314;
constexpr DWORD ERROR_TIMEOUT = 1460;
