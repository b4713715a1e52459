// String loading from the module's string table (res/StringTable.cpp).
#include "platform/Resources.h"

#include <algorithm>
#include <string_view>

int LoadStringW(HINSTANCE, UINT id, WCHAR* buffer, int maxChars)
{
    if (!buffer)
        return 0;
    const WCHAR* text = FindStringResource(id);
    if (!text)
        return 0;
    std::u16string_view view(text);
    if (maxChars == 0) {
        // As on Windows: with no room given, the buffer receives a read-only
        // pointer to the text itself and the result is its full length.
        *reinterpret_cast<const WCHAR**>(buffer) = text;
        return static_cast<int>(view.size());
    }
    if (maxChars < 0)
        return 0;
    std::size_t count = std::min(view.size(), static_cast<std::size_t>(maxChars - 1));
    std::copy_n(view.data(), count, buffer);
    buffer[count] = 0;
    return static_cast<int>(count);
}
