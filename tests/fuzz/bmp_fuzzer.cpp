// BMP decoder under arbitrary bytes: decode (after a size probe that caps the allocation), then run
// the decoded image through encode, re-decode and the transforms, which must all stay in bounds.
#include "image/CRasterImage.h"
#include "image/CRasterImageBMP.h"
#include "image/CRasterMemFile.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint64_t kMaxPixels = 4000000;

void Exercise(CRasterImage& image)
{
    if (!image.IsValid())
        return;
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (image.Encode(buffer, size, IMAGE_FORMAT_BMP)) {
        CRasterImage again;
        again.Decode(buffer, DWORD(size), IMAGE_FORMAT_BMP);
        std::free(buffer);
    }
    if (std::uint64_t(image.GetWidth()) * image.GetHeight() > 250000)
        return;
    CRasterImage copy(image);
    copy.Crop(1, 1, LONG(copy.GetWidth()) - 1, LONG(copy.GetHeight()) - 1);
    copy.Mirror();
    copy.RotateLeft();
    copy.Negative();
    copy.IncreaseBpp(24);
    copy.GetPixelColorInterpolated(-0.5f, 2.25f, INTERP_BICUBIC, OVERFLOW_MIRROR);
    copy.GetPixelColorInterpolated(1.5f, 1.5f, INTERP_BILINEAR, OVERFLOW_REPEAT);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20) || !fuzz::SmallEnough(data, size, IMAGE_FORMAT_BMP, kMaxPixels))
        return 0;
    CRasterImage image;
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_BMP))
        Exercise(image);
    // The codec class directly, over a stream that starts mid-buffer.
    CRasterMemFile stream(data, DWORD(size));
    stream.Seek(size > 2 ? 2 : 0, SEEK_SET);
    CRasterImageBMP direct;
    direct.SetEscape(-1);
    direct.Decode(&stream);
    return 0;
}
