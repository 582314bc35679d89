// TGA decoder under arbitrary bytes (sizes capped from the header first); what decodes is written
// again at its depth, read back at the same size, and mirrored and flipped as the reader does.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterTga.h"
#include "FuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18))
        return 0;
    if (size >= 16) {
        const std::uint64_t w = data[12] | (data[13] << 8), h = data[14] | (data[15] << 8);
        if (w * h > (1u << 20))
            return 0;
    }
    CRasterImage image;
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_TGA)) {
        if (image.GetBpp() >= 8)
            fuzz::RoundTrip(image, IMAGE_FORMAT_TGA);
        image.Mirror();
        image.Flip();
    }
    CRasterMemFile stream(data, DWORD(size));
    stream.Seek(size > 3 ? 3 : 0, SEEK_SET);
    CRasterImageTGA direct;
    direct.Decode(&stream);
    return 0;
}
