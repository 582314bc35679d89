// WMF/EMF reader and player under arbitrary bytes, rendered at a small forced size chosen by the last
// byte (the player's own work cap keeps large pictures bounded too, but slowly under the sanitizers).
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterWmf.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18))
        return 0;
    const BYTE choice = size ? data[size - 1] : 0;
    const LONG side = 2 + (choice & 0x7F);
    CRasterMemFile stream(data, DWORD(size));
    CRasterImageWMF wmf;
    if (wmf.Decode(&stream, side, (choice & 0x80) ? side / 2 : side) &&
        (wmf.GetWidth() > 129 || wmf.GetHeight() > 129 || wmf.GetBpp() != 24))
        std::abort();
    BYTE* buffer = nullptr;
    LONG out = 0;
    if (wmf.IsValid() && static_cast<CRasterImage&>(wmf).Encode(buffer, out, IMAGE_FORMAT_WMF))
        std::abort();
    return 0;
}
