// CCustomButton: an owner-drawn button. It takes over a dialog button (push
// button, push-like toggle, check box, radio button or group box) and paints
// it itself: a solid or gradient face, a bevelled frame whose shades come
// from the face colour, an image and a caption per state. It keeps its own
// checked state, and composes every paint in an off-screen image that is
// copied to the screen in one step.
#pragma once

#include "platform/core/Button.h"
#include "platform/gdi/Gdi.h"

class CCustomButton : public CButton {
    DECLARE_DYNAMIC(CCustomButton)

public:
    // What the button is, from its button type when attached.
    enum Kind : DWORD { kPush = 0, kRadio = 1, kCheckBox = 2, kGroupBox = 3 };

    // SetDrawStyle flags: bits 0-3 place the image, bit 4 asks for a
    // gradient face.
    static constexpr DWORD kImageLeft = 0x0;
    static constexpr DWORD kImageRight = 0x1;
    static constexpr DWORD kImageLeftToo = 0x2;
    static constexpr DWORD kTextAboveImage = 0x4;
    static constexpr DWORD kImageAboveText = 0x8;
    static constexpr DWORD kPlacementMask = 0xF;
    static constexpr DWORD kGradientFace = 0x10;

    CCustomButton();
    ~CCustomButton() override;

    // Registers the "CustomButtonClass" window class once; true when the
    // class exists afterwards.
    static BOOL RegisterWindowClass();

    void SetDrawStyle(DWORD flags);
    // Takes ownership of both images. A null normal image keeps the current
    // one; a null checked image shows the normal image in both states.
    void SetBitmaps(HBITMAP normal, HBITMAP checked);
    void SetBackColor(COLORREF colour);
    void SetCheckedBackColor(COLORREF colour);
    void SetGradientColors(COLORREF top, COLORREF bottom);
    // Keeps the caption font; the one it replaces is deleted.
    void SetButtonFont(HFONT font);
    // Captions of the normal and the checked state; an empty checked text
    // means the normal one in both.
    void SetTexts(const CString& normalText, const CString& checkedText);

    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Each of red, green and blue darkened (factor in (0, 1]) or lightened
    // (factor in [-1, 0)) by that fraction; other factors change nothing.
    static COLORREF ShadeColor(COLORREF colour, double factor);

    // Where a push face puts its image and its caption (top-left corners in
    // client pixels, press offset not included).
    struct FaceLayout {
        POINT image;
        POINT text;
    };
    // The push face layout for placement bits `drawStyle`, client size
    // cw x ch, image bw x bh and measured caption tw x th.
    static FaceLayout PushFaceLayout(DWORD drawStyle, int cw, int ch, int bw, int bh, bool hasImage, int tw, int th,
                                     bool hasText);
    // The check and radio face layout: where the box goes and how far the
    // caption rectangle (starting at 0, 0) is moved.
    static FaceLayout CheckFaceLayout(DWORD drawStyle, DWORD windowStyle, int cw, int ch, int bw, int bh, int th);
    // DrawTextW format of the caption, from the window style.
    static UINT TextFormat(DWORD windowStyle);

protected:
    LRESULT OnLButtonDown();
    LRESULT OnLButtonUp();
    LRESULT OnSetCheck(WPARAM state);
    // Sets m_checked and shows the caption of the new state.
    void SetCheckedState(bool checked);

    void DrawPushFace(HDC dc, const RECT& rect);
    void DrawCheckFace(HDC dc, const RECT& rect);
    void DrawGroupBox(HDC dc, const RECT& rect);
    void DrawGradient(HDC dc, const RECT& rect);
    void DrawPlainFrame(HDC dc, const RECT& rect);
    void DrawGradientFrame(HDC dc, const RECT& rect);

    BYTE m_flat = 1;
    BYTE m_gradient = 0;
    BYTE m_checked = 0;
    COLORREF m_backColor;
    COLORREF m_textColor;
    COLORREF m_checkedBackColor;
    COLORREF m_checkedTextColor;
    COLORREF m_gradientTop = RGB(0, 0, 0);
    COLORREF m_gradientBottom = RGB(255, 255, 255);
    COLORREF m_frameColor;
    HBITMAP m_checkedBitmap = nullptr;
    HBITMAP m_normalBitmap = nullptr;
    UINT m_bitmapWidth = 0;
    UINT m_bitmapHeight = 0;
    DWORD m_drawStyle = 0;
    DWORD m_kind = kPush;
    CString m_normalText;
    CString m_checkedText;
    HDC m_memDC = nullptr;
    HBITMAP m_offscreen = nullptr;
    HBITMAP m_savedBitmap = nullptr;
    HFONT m_font = nullptr;
};
