// PNM, PGX and Sun raster readers under arbitrary bytes: decode through the family's detection, then
// write the result in each plain format it allows and read it back, which must give the same pixels.
#include "image/CRasterImage.h"
#include "image/CRasterJpeg2000.h"
#include "image/CRasterMemFile.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace {

void RoundTrip(CRasterImage& image, DWORD type)
{
    CRasterImage again;
    if (!fuzz::ReEncode(image, type, again))
        return; // PGX of a colour picture, a palette that is not grey
    const LONG w = LONG(image.GetWidth()), h = LONG(image.GetHeight());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD a = image.GetPixelColor(x, y, false), b = again.GetPixelColor(x, y, false);
            if (image.IsIndexed() ? image.GetPixelIndex(x, y) != again.GetPixelIndex(x, y)
                                  : !fuzz::SameRgb(a, b))
                std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 16))
        return 0;
    CRasterImage image;
    image.SetFrame(size ? LONG(data[size - 1] & 3) : 0);
    if (!image.Decode(data, DWORD(size), IMAGE_FORMAT_PNM) || !image.IsValid())
        return 0;
    if (std::uint64_t(image.GetWidth()) * image.GetHeight() > (1u << 20))
        return 0;
    for (DWORD type : {IMAGE_FORMAT_PNM, IMAGE_FORMAT_PGX, IMAGE_FORMAT_RAS})
        RoundTrip(image, type);
    return 0;
}
