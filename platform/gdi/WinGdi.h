#pragma once
// The graphics device interface of the platform layer: handle types, constants and the flat functions
// over device contexts, pens, brushes, fonts, bitmaps and regions. Device contexts draw into images in
// memory (or onto a paged device such as a PDF printer) with the device's exact pixel rules: right and
// bottom edges exclusive, lines without their last pixel, polygons filled by the top-left rule.
// The screen is a virtual device of 96 dots per inch.
#include <cstddef>
#include <functional>

#include "platform/core/CRect.h"
#include "platform/core/GdiHandles.h"
#include "platform/core/WinBitmap.h"
#include "platform/core/WinFont.h"
#include "platform/core/WinTypes.h"

// ---- handles ----
// Every handle points at an object owned by this layer; a handle that was deleted is refused (the
// call fails) rather than followed.

// ---- object types (GetObjectType) ----
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_PAL = 5;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_MEMDC = 10;

// ---- stock objects ----
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
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_PALETTE = 15;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;

// ---- pens and brushes ----
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;
constexpr int PS_STYLE_MASK = 0x0000000F;
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;  // only x is used
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    std::uintptr_t lbHatch;
};

// ---- bitmaps ----
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;  // the pixel rows of a DIB section, else null
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    void* dshSection;
    DWORD dsOffset;
};

constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;
constexpr DWORD CBM_INIT = 4;

// ---- raster operations ----
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Stretch modes: every mode copies the nearest source pixel (colour devices only).
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
constexpr int STRETCH_ORSCANS = WHITEONBLACK;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
constexpr int STRETCH_HALFTONE = HALFTONE;

// ---- mapping modes ----
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ANISOTROPIC = 8;

// ---- background, fill, regions ----
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
// Region results.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// ---- text ----
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_EDITCONTROL = 0x2000;

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
using TEXTMETRIC = TEXTMETRICA;
// tmPitchAndFamily bits.
constexpr BYTE TMPF_FIXED_PITCH = 0x01;  // set for a variable-pitch font
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;

// ---- printing ----
struct DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput;
    LPCSTR lpszDatatype;
    DWORD fwType;
};
using DOCINFO = DOCINFOA;

// ---- device capabilities (GetDeviceCaps) ----
constexpr int DRIVERVERSION = 0;
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMBRUSHES = 16;
constexpr int NUMPENS = 18;
constexpr int NUMFONTS = 22;
constexpr int NUMCOLORS = 24;
constexpr int CURVECAPS = 28;
constexpr int LINECAPS = 30;
constexpr int POLYGONALCAPS = 32;
constexpr int TEXTCAPS = 34;
constexpr int CLIPCAPS = 36;
constexpr int RASTERCAPS = 38;
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;
constexpr int ASPECTXY = 44;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int NUMRESERVED = 106;
constexpr int COLORRES = 108;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;
constexpr int SCALINGFACTORX = 114;
constexpr int SCALINGFACTORY = 115;

// TECHNOLOGY values.
constexpr int DT_PLOTTER = 0;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int DT_RASCAMERA = 3;
constexpr int DT_CHARSTREAM = 4;
constexpr int DT_METAFILE = 5;
constexpr int DT_DISPFILE = 6;

// RASTERCAPS bits.
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_BANDING = 0x0002;
constexpr int RC_SCALING = 0x0004;
constexpr int RC_BITMAP64 = 0x0008;
constexpr int RC_GDI20_OUTPUT = 0x0010;
constexpr int RC_DI_BITMAP = 0x0080;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_STRETCHDIB = 0x2000;

// CURVECAPS bits.
constexpr int CC_NONE = 0;
constexpr int CC_CIRCLES = 0x0001;
constexpr int CC_PIE = 0x0002;
constexpr int CC_CHORD = 0x0004;
constexpr int CC_ELLIPSES = 0x0008;
constexpr int CC_WIDE = 0x0010;
constexpr int CC_STYLED = 0x0020;
constexpr int CC_WIDESTYLED = 0x0040;
constexpr int CC_INTERIORS = 0x0080;
constexpr int CC_ROUNDRECT = 0x0100;

// LINECAPS bits.
constexpr int LC_NONE = 0;
constexpr int LC_POLYLINE = 0x0002;
constexpr int LC_MARKER = 0x0004;
constexpr int LC_POLYMARKER = 0x0008;
constexpr int LC_WIDE = 0x0010;
constexpr int LC_STYLED = 0x0020;
constexpr int LC_WIDESTYLED = 0x0040;
constexpr int LC_INTERIORS = 0x0080;

// POLYGONALCAPS bits.
constexpr int PC_NONE = 0;
constexpr int PC_POLYGON = 0x0001;
constexpr int PC_RECTANGLE = 0x0002;
constexpr int PC_WINDPOLYGON = 0x0004;
constexpr int PC_SCANLINE = 0x0008;
constexpr int PC_WIDE = 0x0010;
constexpr int PC_STYLED = 0x0020;
constexpr int PC_WIDESTYLED = 0x0040;
constexpr int PC_INTERIORS = 0x0080;

// TEXTCAPS bits.
constexpr int TC_OP_CHARACTER = 0x00000001;
constexpr int TC_OP_STROKE = 0x00000002;
constexpr int TC_CP_STROKE = 0x00000004;
constexpr int TC_CR_90 = 0x00000008;
constexpr int TC_CR_ANY = 0x00000010;
constexpr int TC_SF_X_YINDEP = 0x00000020;
constexpr int TC_SA_DOUBLE = 0x00000040;
constexpr int TC_SA_INTEGER = 0x00000080;
constexpr int TC_SA_CONTIN = 0x00000100;
constexpr int TC_EA_DOUBLE = 0x00000200;
constexpr int TC_IA_ABLE = 0x00000400;
constexpr int TC_UA_ABLE = 0x00000800;
constexpr int TC_SO_ABLE = 0x00001000;
constexpr int TC_RA_ABLE = 0x00002000;
constexpr int TC_VA_ABLE = 0x00004000;
constexpr int TC_RESERVED = 0x00008000;
constexpr int TC_SCROLLBLT = 0x00010000;

// ---- arithmetic ----
// a × b / c with a 64-bit intermediate, rounded to nearest with halves away from zero; -1 when c is 0
// or the result does not fit in 32 bits.
int MulDiv(int a, int b, int c);

// ---- the virtual screen ----
// The screen's size in pixels (it always reports 96 dots per inch). The window layer sets the real
// monitor size; 1920 x 1080 until then.
void SetScreenSize(int width, int height);
// "GetDC" of no window: an information context of the screen (size 1 x 1 surface). Released with
// ReleaseDC (nullptr, dc).
HDC GetDC(std::nullptr_t);
int ReleaseDC(std::nullptr_t, HDC hdc);

// ---- device contexts ----
HDC CreateCompatibleDC(HDC hdc);  // null: compatible with the screen
BOOL DeleteDC(HDC hdc);
// A device context over an image that a window owns (Format_RGB32, one pixel per device unit).
// After every drawing call the context reports the device rectangle it changed to onFlush, so the
// window can show the drawing at once. The image must outlive the context.
using GdiFlushHandler = std::function<void(const RECT& changed)>;
class QImage;
HDC CreateImageDC(QImage* image, GdiFlushHandler onFlush = {});
// A printer context over a paged paint device (a QPrinter or a QPdfWriter): device units are the
// device's dots, the origin is the top-left corner of the printable area. The device must outlive it.
class QPagedPaintDevice;
HDC CreatePagedDeviceDC(QPagedPaintDevice* device);

int GetDeviceCaps(HDC hdc, int index);
DWORD GetObjectType(HGDIOBJ h);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);

int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old);
BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old);
BOOL GetWindowOrgEx(HDC hdc, POINT* p);
BOOL GetViewportOrgEx(HDC hdc, POINT* p);
BOOL GetWindowExtEx(HDC hdc, SIZE* s);
BOOL GetViewportExtEx(HDC hdc, SIZE* s);
BOOL LPtoDP(HDC hdc, POINT* points, int count);
BOOL DPtoLP(HDC hdc, POINT* points, int count);

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ h);
// Fills a LOGPEN, LOGBRUSH, LOGFONTA, BITMAP or DIBSECTION (by the object's type and the size given);
// returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ h, int size, void* out);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HFONT CreateFontIndirect(const LOGFONTA* lf);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR face);

COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);

// ---- lines and shapes (logical coordinates) ----
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL LineTo(HDC hdc, int x, int y);
BOOL GetCurrentPositionEx(HDC hdc, POINT* p);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);

// ---- blits ----
BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, int cxSrc, int cySrc,
                DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int cx, int cy, DWORD rop);

// ---- bitmaps and device-independent bitmaps ----
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, void* section,
                         DWORD offset);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage,
                  DWORD rop);
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage);

// ---- palettes (true-colour devices: selecting and realising change nothing) ----
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC hdc);

// ---- regions (coordinates of the region's own space) ----
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode);
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
int GetRgnBox(HRGN rgn, RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);

// ---- clipping (clip regions are in device units, box results in logical units) ----
int GetClipBox(HDC hdc, RECT* rect);
int SelectClipRgn(HDC hdc, HRGN rgn);
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
// 1 and a copy of the clip region in rgn; 0 when the context has no clip region; -1 on error.
int GetClipRgn(HDC hdc, HRGN rgn);

// ---- text ----
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count);
inline BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count) { return TextOutA(hdc, x, y, text, count); }
// count -1: the text is NUL-terminated. Returns the height of the text in logical units, 0 on failure.
int DrawTextA(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format);
inline int DrawText(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format)
{
    return DrawTextA(hdc, text, count, rect, format);
}
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, SIZE* size);
inline BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, SIZE* size)
{
    return GetTextExtentPoint32A(hdc, text, count, size);
}
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm);
inline BOOL GetTextMetrics(HDC hdc, TEXTMETRICA* tm) { return GetTextMetricsA(hdc, tm); }

// ---- documents on a printer context ----
int StartDocA(HDC hdc, const DOCINFOA* info);
inline int StartDoc(HDC hdc, const DOCINFOA* info) { return StartDocA(hdc, info); }
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);
