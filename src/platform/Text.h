// UTF-8 / UTF-16 conversion. The platform's default code page is UTF-8.
#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>

namespace platform {

// Decodes UTF-8 into UTF-16. Every byte that does not start or continue a
// valid, shortest-form sequence becomes U+FFFD; decoding stops at the first
// zero byte when stopAtNul is set.
std::u16string Utf8ToUtf16(std::string_view bytes, bool stopAtNul = false);

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Names the system gives as bytes (network interfaces) need not be UTF-8,
// yet must travel through UTF-16 and come back byte for byte. A byte that is
// not part of valid UTF-8 becomes the unpaired surrogate U+DC80 to U+DCFF
// that stands for it, and back again; valid UTF-8 converts as above.
std::u16string BytesToUtf16(std::string_view bytes);
std::string Utf16ToBytes(std::u16string_view text);

// The value of one hexadecimal digit, or -1 for any other character.
constexpr int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace platform

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

// Win32-shaped conversion: converts up to cbMultiByte bytes (-1: up to and
// including the terminating zero). Decoding stops early at a zero byte.
// With cchWideChar 0 it returns the number of code units needed; otherwise it
// writes at most cchWideChar code units and returns how many it wrote, or 0 if
// the output does not fit.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int cbMultiByte, WCHAR* wide,
                        int cchWideChar);
