// ICO decoder under arbitrary bytes: the frame is chosen by the last byte; what decodes is written
// again as an icon and read back at the same size.
#include "image/CRasterImage.h"
#include "image/CRasterIco.h"
#include "image/CRasterMemFile.h"
#include "FuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18))
        return 0;
    CRasterImage image;
    image.SetFrame(size ? LONG(data[size - 1] & 3) : 0);
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_ICO)) {
        fuzz::RoundTrip(image, IMAGE_FORMAT_ICO);
        image.IncreaseBpp(24);
        fuzz::RoundTrip(image, IMAGE_FORMAT_ICO);
    }
    CRasterMemFile stream(data, DWORD(size));
    stream.Seek(size > 1 ? 1 : 0, SEEK_SET);
    CRasterImageICO direct;
    direct.Decode(&stream);
    return 0;
}
