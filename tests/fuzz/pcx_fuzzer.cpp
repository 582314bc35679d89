// PCX decoder under arbitrary bytes (sizes capped from the header first); what decodes is written
// again and read back at the same size.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterPcx.h"
#include "FuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18))
        return 0;
    if (size >= 12) {
        const std::int64_t w = std::int64_t(data[8] | (data[9] << 8)) - (data[4] | (data[5] << 8)) + 1;
        const std::int64_t h = std::int64_t(data[10] | (data[11] << 8)) - (data[6] | (data[7] << 8)) + 1;
        if (w * h > (1 << 20))
            return 0;
    }
    CRasterImage image;
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_PCX))
        fuzz::RoundTrip(image, IMAGE_FORMAT_PCX);
    CRasterMemFile stream(data, DWORD(size));
    stream.Seek(size > 2 ? 2 : 0, SEEK_SET);
    CRasterImagePCX direct;
    direct.Decode(&stream);
    return 0;
}
