#pragma once
// Helpers shared by the image library tests: making images with known pixels and comparing them.
#include "image/CRasterImage.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace imagetest {

using Bytes = std::vector<BYTE>;

// Little-endian values appended to a file being built byte by byte.
inline void Put16(Bytes& b, unsigned v)
{
    b.push_back(BYTE(v));
    b.push_back(BYTE(v >> 8));
}

inline void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// Encodes through the format dispatch into memory; empty on failure (the message stays in img).
inline Bytes EncodeBytes(CRasterImage& img, DWORD type)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!img.Encode(buffer, size, type))
        return {};
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// A deterministic colour for pixel (x, y); different pixels get different colours in small images.
inline RGBQUAD ColorAt(LONG x, LONG y)
{
    return RGBQUAD{BYTE(x * 37 + y * 11), BYTE(x * 5 + y * 53), BYTE(255 - x * 13 - y * 7), 0};
}

// An image of the given depth whose pixels follow a pattern that depends on x and y; palette
// images get a palette of distinct colours.
inline void Fill(CRasterImage& img, LONG w, LONG h, DWORD bpp)
{
    img.Create(w, h, bpp, 0);
    const DWORD n = img.GetNumColors();
    for (DWORD i = 0; i < n; ++i)
        img.SetPaletteColor(BYTE(i), BYTE(i * 7 + 3), BYTE(255 - i), BYTE(i * 13));
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            if (n)
                img.SetPixelIndex(x, y, BYTE((x * 3 + y * 5 + x * y) % n));
            else
                img.SetPixelColor(x, y, ColorAt(x, y));
        }
}

inline bool SameColor(RGBQUAD a, RGBQUAD b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

// Pixels as 0xRRGGBB, rows from the top of the picture, as a tool would list them.
inline std::vector<std::uint32_t> TopDownPixels(const CRasterImage& img)
{
    std::vector<std::uint32_t> out;
    const LONG w = LONG(img.GetWidth()), h = LONG(img.GetHeight());
    for (LONG y = h - 1; y >= 0; --y)
        for (LONG x = 0; x < w; ++x) {
            RGBQUAD c = img.GetPixelColor(x, y, false);
            out.push_back((std::uint32_t(c.rgbRed) << 16) | (std::uint32_t(c.rgbGreen) << 8) | c.rgbBlue);
        }
    return out;
}

} // namespace imagetest
