#pragma once
// What the image fuzz targets share: a size cap read from a probe of the header, and writing a
// decoded image again and reading it back, which must give an image of the same size.
#include "image/CRasterImage.h"

#include <cstdint>
#include <cstdlib>

namespace fuzz {

// False when the input decodes (header only) to more pixels than the target lets through; true when
// the probe fails, since the real decode then fails the same way.
inline bool SmallEnough(const std::uint8_t* data, std::size_t size, DWORD type, std::uint64_t maxPixels,
                        LONG frame = 0)
{
    CRasterImage probe;
    probe.SetEscape(-1);
    probe.SetFrame(frame);
    if (!probe.Decode(data, DWORD(size), type))
        return true;
    return std::uint64_t(probe.GetWidth()) * probe.GetHeight() <= maxPixels;
}

// Writes the image in the format and reads it into again; false when the encoder refuses it. A file
// written here that does not read back at the same size is a fault, and aborts.
inline bool ReEncode(CRasterImage& image, DWORD type, CRasterImage& again)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!image.Encode(buffer, size, type))
        return false;
    const bool ok = again.Decode(buffer, DWORD(size), type);
    std::free(buffer);
    if (!ok || again.GetWidth() != image.GetWidth() || again.GetHeight() != image.GetHeight())
        std::abort();
    return true;
}

// The same, for a valid image, when only the size is checked (an encoder may refuse some images).
inline void RoundTrip(CRasterImage& image, DWORD type)
{
    if (!image.IsValid())
        return;
    CRasterImage again;
    ReEncode(image, type, again);
}

inline bool SameRgb(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

} // namespace fuzz
