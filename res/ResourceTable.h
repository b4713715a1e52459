// The lookup every resource table of res/ shares: the entry with a given id.
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
