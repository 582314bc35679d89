#pragma once
// Shared by the fuzz targets of the small codecs (WBMP, TGA, PCX, ICO, WMF): a round trip through a codec's encoder that must
// give back an image of the same size.
#include "image/CRasterImage.h"

#include <cstdlib>

namespace smallfuzz {

inline void RoundTrip(CRasterImage& image, DWORD format)
{
    if (!image.IsValid())
        return;
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!image.Encode(buffer, size, format))
        return;
    CRasterImage again;
    const bool ok = again.Decode(buffer, DWORD(size), format);
    std::free(buffer);
    if (!ok || again.GetWidth() != image.GetWidth() || again.GetHeight() != image.GetHeight())
        std::abort();
}

} // namespace smallfuzz
