// GdiOwned: a pen, brush, font, bitmap or memory context owned by the code
// that made it, and given back when the holder goes: objects through
// DeleteObject, memory contexts through DeleteDC. Drawing code that returns
// early then leaks nothing. An object still selected into a context when it
// is deleted is freed once the context lets go of it, so holders may go in
// any order.
#pragma once

#include "platform/gdi/Gdi.h"

template <class Handle> class GdiOwned {
public:
    explicit GdiOwned(Handle handle) : m_handle(handle) { }
    ~GdiOwned() { Release(m_handle); }
    GdiOwned(const GdiOwned&) = delete;
    GdiOwned& operator=(const GdiOwned&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    static void Release(HGDIOBJ object)
    {
        if (object != nullptr)
            DeleteObject(object);
    }
    static void Release(HDC dc)
    {
        if (dc != nullptr)
            DeleteDC(dc);
    }

    Handle m_handle;
};
