// CCustomSlider: an image slider (track bar) of its own window class
// "CustomSliderClass". It paints a track image with a thumb image on top in
// an off-screen image, moves the thumb to the value under the stylus and
// reports every change to its parent with WM_HSCROLL or WM_VSCROLL, as the
// platform's track bar does.
#pragma once

#include "platform/core/Wnd.h"
#include "platform/gdi/Gdi.h"

// The mapping between values and client positions along a slider, shared by
// painting and stylus input. All halves and quotients truncate.
struct SliderScale {
    UINT minimum = 0;
    UINT maximum = 100;
    int length = 0;       // client width (horizontal) or height (vertical), pixels
    int thumbLength = 0;  // thumb width (horizontal) or height (vertical), pixels
    bool horizontal = true;
    bool reversed = false;  // minimum at the right (horizontal) or the top (vertical)

    // The thumb centre along the slider for a value; a value outside the
    // range is shown at the nearer end.
    int ThumbCentre(UINT position) const;
    // The value under a point along the slider: a value is chosen once the
    // point reaches its thumb position. Always within the range.
    UINT ValueAt(int coordinate) const;
    // The range has room to map: maximum above minimum and the client longer
    // than the thumb. Without it every value shows at the minimum end and
    // every point gives the minimum.
    bool CanMap() const;
};

class CCustomSlider : public CWnd {
    DECLARE_DYNAMIC(CCustomSlider)

public:
    CCustomSlider();
    ~CCustomSlider() override;

    // Registers the "CustomSliderClass" window class once; true when the
    // class exists afterwards.
    static BOOL RegisterWindowClass();

    // The position is not brought into the new range.
    void SetRange(UINT minimum, UINT maximum);
    // Stores the value brought into the range.
    void SetPos(UINT value);
    UINT GetPos() const { return m_position; }
    void SetReversed(BOOL reversed);
    void SetBackColor(COLORREF colour);
    // Takes ownership of the images. A null track or thumb keeps the current
    // one; a null pressed thumb shows the thumb while dragging too.
    void SetBitmaps(HBITMAP track, HBITMAP thumb, HBITMAP pressedThumb);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The mapping for the current range, direction, orientation and size.
    SliderScale Scale() const;

protected:
    // Fixes the orientation and creates the off-screen image, once.
    void Prepare();
    LRESULT OnEraseBkgnd();
    void OnPaint();
    void OnLButtonDown(LPARAM point);
    void OnLButtonUp();
    void OnMouseMove(LPARAM point);
    // The value under a stylus point in client coordinates.
    UINT ValueAtPoint(LPARAM point) const;
    // Tells the parent of the position with SB_THUMBPOSITION or
    // SB_THUMBTRACK.
    void Notify(UINT code);

    UINT m_minimum = 0;
    UINT m_maximum = 100;
    UINT m_position = 50;
    HBITMAP m_trackBitmap = nullptr;
    HBITMAP m_thumbBitmap = nullptr;
    HBITMAP m_pressedThumbBitmap = nullptr;
    UINT m_trackWidth = 0;
    UINT m_trackHeight = 0;
    UINT m_thumbWidth = 0;
    UINT m_thumbHeight = 0;
    BYTE m_horizontal = 1;
    BYTE m_dragging = 0;
    BYTE m_reversed = 0;
    BYTE m_prepared = 0;
    COLORREF m_backColor;
    HDC m_memDC = nullptr;
    HBITMAP m_offscreen = nullptr;
    HBITMAP m_savedBitmap = nullptr;
};
