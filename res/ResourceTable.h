// What the resource tables of res/ share: the lookup of an entry by id, and
// the "#NNN" text that names a resource by its number.
#pragma once

#include "platform/Types.h"

#include <cstddef>

template <typename Resource, std::size_t Count> const Resource* FindById(const Resource (&table)[Count], UINT id)
{
    for (const Resource& entry : table)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

// The text "#NNN" by which a window text or a Win32 name string names
// resource NNN (1 to 65535). `text + 1` is the number's digits alone.
struct NumberedName {
    WCHAR text[7] = {};
    constexpr explicit NumberedName(int id)
    {
        WCHAR digits[5] = {};
        int count = 0;
        for (; id > 0 && count < 5; id /= 10)
            digits[count++] = static_cast<WCHAR>(u'0' + id % 10);
        text[0] = u'#';
        for (int i = 0; i < count; ++i)
            text[1 + i] = digits[count - 1 - i];
    }
};
