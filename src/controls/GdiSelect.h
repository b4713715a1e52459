// GdiSelect: a pen, brush, font or bitmap selected into a context for a
// stretch of drawing; what the context held before is put back when the
// holder goes. A bitmap selected this way is free again for another context
// afterwards, and an object can be deleted once its selection has ended.
#pragma once

#include "platform/gdi/Gdi.h"

class GdiSelect {
public:
    GdiSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) { }
    ~GdiSelect()
    {
        // A failed selection changed nothing and has nothing to put back.
        if (m_previous != nullptr)
            SelectObject(m_dc, m_previous);
    }
    GdiSelect(const GdiSelect&) = delete;
    GdiSelect& operator=(const GdiSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
