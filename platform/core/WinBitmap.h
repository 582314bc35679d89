#pragma once
// The device-independent bitmap records as they are stored in .bmp files, bitmap resources and packed
// DIB blocks: little-endian, byte for byte, so they can be read and written with one copy.
#include "platform/core/WinTypes.h"

#include <bit>

static_assert(std::endian::native == std::endian::little, "bitmap records are stored little-endian");

#pragma pack(push, 1)

// "BM" file header in front of a DIB in a file; 14 bytes, no padding.
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};

// OS/2 1.x header: 12 bytes, 16-bit sizes.
struct BITMAPCOREHEADER {
    DWORD bcSize;
    WORD bcWidth;
    WORD bcHeight;
    WORD bcPlanes;
    WORD bcBitCount;
};

// The standard 40-byte information header; a negative height means top-down rows.
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

// Palette entry in a DIB: blue, green, red, reserved (the reserved byte may carry alpha).
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

// Palette entry after a core header and one 24-bit pixel: blue, green, red.
struct RGBTRIPLE {
    BYTE rgbtBlue;
    BYTE rgbtGreen;
    BYTE rgbtRed;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct BITMAPCOREINFO {
    BITMAPCOREHEADER bmciHeader;
    RGBTRIPLE bmciColors[1];
};

#pragma pack(pop)

static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(sizeof(BITMAPCOREHEADER) == 12);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);
static_assert(sizeof(RGBTRIPLE) == 3);
static_assert(sizeof(BITMAPINFO) == 44);
static_assert(sizeof(BITMAPCOREINFO) == 15);

// biCompression values.
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

// "BM" as the little-endian bfType word.
constexpr WORD BFT_BITMAP = 0x4D42;
