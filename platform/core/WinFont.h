#pragma once
// The font records that documents and the profile store byte for byte: LOGFONTA (a font description)
// and CHOOSEFONTA (the font dialog's settings block), each exactly 60 bytes, little-endian, with the
// 32-bit layout the stored files use. The pointer and handle fields of CHOOSEFONTA are plain 32-bit
// slots here: a stored value means nothing and is never dereferenced; whoever pairs a settings block
// with its font keeps that link in its own members.
#include <bit>
#include <cstddef>
#include <cstring>

#include "platform/core/WinTypes.h"

static_assert(std::endian::native == std::endian::little,
              "font records are stored as their in-memory bytes, which must be little-endian");

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight = 0;  // < 0: character height; > 0: cell height; 0: default
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTA;

static_assert(sizeof(LOGFONTA) == 60);
static_assert(offsetof(LOGFONTA, lfWeight) == 16);
static_assert(offsetof(LOGFONTA, lfItalic) == 20);
static_assert(offsetof(LOGFONTA, lfPitchAndFamily) == 27);
static_assert(offsetof(LOGFONTA, lfFaceName) == 28);

struct CHOOSEFONTA {
    DWORD lStructSize = 60;
    DWORD hwndOwner = 0;       // stored slot, meaningless
    DWORD hDC = 0;             // stored slot, meaningless
    DWORD lpLogFont = 0;       // stored slot, meaningless: the owner keeps the real font
    INT iPointSize = 0;        // tenths of a point
    DWORD Flags = 0;
    COLORREF rgbColors = 0;    // chosen text colour, 0x00BBGGRR
    DWORD lCustData = 0;       // stored slot, meaningless
    DWORD lpfnHook = 0;        // stored slot, meaningless
    DWORD lpTemplateName = 0;  // stored slot, meaningless
    DWORD hInstance = 0;       // stored slot, meaningless
    DWORD lpszStyle = 0;       // stored slot, meaningless
    WORD nFontType = 0;
    WORD wReserved = 0;        // alignment padding of the stored layout
    INT nSizeMin = 0;
    INT nSizeMax = 0;
};
using CHOOSEFONT = CHOOSEFONTA;

static_assert(sizeof(CHOOSEFONTA) == 60);
static_assert(offsetof(CHOOSEFONTA, lpLogFont) == 12);
static_assert(offsetof(CHOOSEFONTA, iPointSize) == 16);
static_assert(offsetof(CHOOSEFONTA, Flags) == 20);
static_assert(offsetof(CHOOSEFONTA, rgbColors) == 24);
static_assert(offsetof(CHOOSEFONTA, nFontType) == 48);
static_assert(offsetof(CHOOSEFONTA, nSizeMin) == 52);
static_assert(offsetof(CHOOSEFONTA, nSizeMax) == 56);

// Copies a stored record of up to 60 bytes into a zeroed font; bytes beyond 60 are ignored, and the
// face name is always terminated, whatever the stored bytes held.
inline LOGFONTA LogFontFromBytes(const void* data, std::size_t size)
{
    LOGFONTA lf;
    std::memcpy(&lf, data, size < sizeof lf ? size : sizeof lf);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return lf;
}

inline CHOOSEFONTA ChooseFontFromBytes(const void* data, std::size_t size)
{
    CHOOSEFONTA cf;
    cf.lStructSize = 0;
    std::memcpy(&cf, data, size < sizeof cf ? size : sizeof cf);
    return cf;
}

// Weights.
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_EXTRALIGHT = 200;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_EXTRABOLD = 800;
constexpr LONG FW_HEAVY = 900;

// Character sets.
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE OEM_CHARSET = 255;

// Precision and quality.
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;

// Pitch (low bits) and family (high nibble) of lfPitchAndFamily.
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

// Font dialog flags.
constexpr DWORD CF_SCREENFONTS = 0x00000001;
constexpr DWORD CF_PRINTERFONTS = 0x00000002;
constexpr DWORD CF_BOTH = CF_SCREENFONTS | CF_PRINTERFONTS;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
constexpr DWORD CF_EFFECTS = 0x00000100;
