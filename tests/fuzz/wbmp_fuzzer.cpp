// WBMP decoder under arbitrary bytes; what decodes is written again (it always can be: the reader
// makes 1-bit images of at most 255 x 255) and read back at the same size and with the same bits.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterWbmp.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 17))
        return 0;
    CRasterImage image;
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_WBMP)) {
        BYTE* buffer = nullptr;
        LONG out = 0;
        if (!image.Encode(buffer, out, IMAGE_FORMAT_WBMP))
            std::abort();
        CRasterImage again;
        if (!again.Decode(buffer, DWORD(out), IMAGE_FORMAT_WBMP) ||
            std::memcmp(again.GetBits(0), image.GetBits(0), image.GetHeader().biSizeImage) != 0)
            std::abort();
        std::free(buffer);
        fuzz::RoundTrip(image, IMAGE_FORMAT_BMP);
    }
    CRasterMemFile stream(data, DWORD(size));
    stream.Seek(size > 1 ? 1 : 0, SEEK_SET);
    CRasterImageWBMP direct;
    direct.Decode(&stream);
    return 0;
}
