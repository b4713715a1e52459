// Win32-shaped drawing: drawing contexts, bitmaps, pens, brushes, fonts,
// pixel-exact drawing, text, block transfers, frame controls and system
// colours. Handles are checked on every call: an unknown, deleted or wrong
// kind of handle makes the call fail with its documented failure value and
// never touches memory.
//
// All drawing is aliased (no antialiasing, text included) so that drawings are
// reproducible to the pixel. Calls are meant for the user interface thread.
#pragma once

#include "platform/Types.h"

// ---------------------------------------------------------------------------
// Records

// Size and layout of a bitmap, as GetObject reports it.
struct BITMAP {
    LONG bmType = 0;         // always 0
    LONG bmWidth = 0;        // pixels
    LONG bmHeight = 0;       // pixels
    LONG bmWidthBytes = 0;   // bytes per row: 1 bpp rows padded to 16 bits, 32 bpp rows are width * 4
    WORD bmPlanes = 1;       // always 1
    WORD bmBitsPixel = 0;    // 1 for monochrome, 32 for colour
    void* bmBits = nullptr;  // never exposed
};

constexpr int LF_FACESIZE = 32;

// A logical font. lfHeight < 0 asks for that character height in pixels,
// lfHeight > 0 for that cell height (character height plus internal leading),
// 0 for the default size.
struct LOGFONTW {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;  // 0 (default, normal) or 1 to 1000; 400 normal, 700 bold
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    WCHAR lfFaceName[LF_FACESIZE] = {};  // terminated face name; "MS Shell Dlg" means "Tahoma"
};

struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth;  // width in x; y unused
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = 0;  // BS_SOLID or BS_NULL
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0;
};

// Metrics of the font selected in a context, all in pixels.
struct TEXTMETRICW {
    LONG tmHeight = 0;  // ascent + descent: the height of one text line
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 96;
    LONG tmDigitizedAspectY = 96;
    WCHAR tmFirstChar = 0x20;
    WCHAR tmLastChar = 0xFFFD;
    WCHAR tmDefaultChar = 0x3F;
    WCHAR tmBreakChar = 0x20;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};

// ---------------------------------------------------------------------------
// Constants

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Stock objects
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// Pen and brush styles
constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

// Font weights
constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

// Background modes
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Raster operations for BitBlt. Any of the 256 ternary operations works; these
// are the named ones.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// DrawText formats
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;  // single line only
constexpr UINT DT_BOTTOM = 0x0008;   // single line only
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;  // single line only

// ExtTextOut options

// DrawFrameControl
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_FLAT = 0x4000;

// System colour indices. GetSysColor also takes them with
// SYS_COLOR_INDEX_FLAG added.
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_STATIC = 25;
constexpr int COLOR_STATICTEXT = 26;
constexpr int SYS_COLOR_INDEX_FLAG = 0x40000000;

// ---------------------------------------------------------------------------
// Contexts and objects

// A memory context. It starts with a 1 x 1 monochrome bitmap, the white brush,
// the black pen, the system font, black text on a white opaque background and
// the current position at (0, 0). The reference context is only checked: null
// or any valid context.
HDC CreateCompatibleDC(HDC dc);
// Releases a memory context; the objects selected into it stay alive. A window
// context (from BeginPaint or GetDC) is released by its window, not here.
BOOL DeleteDC(HDC dc);

// A bitmap that can be selected into a memory context compatible with dc:
// monochrome when dc holds a monochrome bitmap (as a fresh memory context
// does), else 32-bit colour, cleared to black. A zero width or height gives a
// 1 x 1 monochrome bitmap; negative or oversized extents give null.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A monochrome bitmap (planes 1, bitsPerPixel 1) from bits, or a 32-bit colour
// bitmap (bitsPerPixel 32, pixels 0x00RRGGBB). Monochrome rows run top to
// bottom, each padded to a multiple of 16 bits (2 bytes), most significant bit
// leftmost; a set bit is white, a clear bit black. Null bits give a black
// bitmap. Other formats give null.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);

HPEN CreatePen(int style, int width, COLORREF color);  // PS_SOLID or PS_NULL; width 0 means 1
HBRUSH CreateSolidBrush(COLORREF color);
HFONT CreateFontIndirectW(const LOGFONTW* font);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, const WCHAR* face);
HGDIOBJ GetStockObject(int index);

// Selects a bitmap, pen, brush or font and returns the object of the same kind
// that was selected before, or null on failure. A bitmap can be selected into
// one memory context at a time, never into a window context.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes an object. Stock objects and system-colour brushes are never
// deleted (TRUE all the same). An object that is still selected into a context
// becomes unusable at once and is freed when the last context lets go of it.
BOOL DeleteObject(HGDIOBJ object);
// Copies the object's record (BITMAP, LOGPEN, LOGBRUSH or LOGFONTW) into
// buffer and returns the bytes written; with a null buffer returns the size
// needed; 0 on failure or a buffer too small.
int GetObjectW(HGDIOBJ object, int bufferSize, void* buffer);
inline int GetObject(HGDIOBJ object, int bufferSize, void* buffer)
{
    return GetObjectW(object, bufferSize, buffer);
}

// ---------------------------------------------------------------------------
// Attributes. Each setter returns the previous value, CLR_INVALID (colours) or
// 0 (mode) on failure.

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

// ---------------------------------------------------------------------------
// Drawing. Rectangles exclude their right and bottom edges; lines exclude
// their end point. In a monochrome bitmap every colour becomes black or white,
// whichever is nearer.

// Fills with the brush. A brush may also be a system colour index + 1.
// Returns non-zero on success.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Outlines with the pen (drawn inside the rectangle) and fills the inside with
// the brush. With the null pen the filled area is one pixel narrower and
// shorter, as on Windows.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
// Connected segments, each without its end point; the current position is
// neither used nor changed.
BOOL Polyline(HDC dc, const POINT* points, int count);
// Returns the colour set, or CLR_INVALID outside the bitmap.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

// Block transfer through a ternary raster operation. A monochrome source into
// a colour destination: 0 bits take the destination's text colour, 1 bits its
// background colour. A colour source into a monochrome destination: pixels of
// the source's background colour become white, all others black. The pattern
// is the destination's brush. Only the part inside both bitmaps is changed.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
// Copies the source rectangle, scaled to the destination rectangle, leaving
// destination pixels alone where the source pixel is the transparent colour.
// The source is a context or a bitmap handle (a bitmap need not be selected
// anywhere).
BOOL TransparentImage(HDC dest, int x, int y, int width, int height, HANDLE src, int srcX, int srcY, int srcWidth,
                      int srcHeight, COLORREF transparent);

// ---------------------------------------------------------------------------
// Text, in the selected font and the text colour; in OPAQUE mode each line's
// box is first filled with the background colour.

// Draws or (DT_CALCRECT) measures text; count -1 means up to the terminating
// 0. Returns the text height (with DT_VCENTER or DT_BOTTOM: from rect->top to
// the bottom of the text), 0 on failure. DT_CALCRECT sets rect->right and
// rect->bottom to fit the text and draws nothing. Without DT_NOPREFIX "&x"
// underlines x and "&&" shows "&". Tab stops are every 8 average characters.
int DrawTextW(HDC dc, const WCHAR* text, int count, RECT* rect, UINT format);
BOOL GetTextExtentPoint32W(HDC dc, const WCHAR* text, int count, SIZE* size);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);

// ---------------------------------------------------------------------------
// Frame controls: DFC_BUTTON with DFCS_BUTTONPUSH (raised, or sunken with
// DFCS_PUSHED; a thin frame with DFCS_FLAT), DFCS_BUTTONCHECK and
// DFCS_BUTTONRADIO (DFCS_CHECKED draws the mark). Other types fail.
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// ---------------------------------------------------------------------------
// System colours, read from the desktop's palette at the time of the call.
// The index may carry SYS_COLOR_INDEX_FLAG. An unknown index gives 0.
DWORD GetSysColor(int index);
// A brush that always paints the current system colour; it needs no deleting.
// Null for an unknown index.
HBRUSH GetSysColorBrush(int index);
