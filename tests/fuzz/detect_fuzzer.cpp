// Format detection and decoding through the dispatch: every codec in detection order sees the bytes,
// the stream is rewound between them, and whatever decodes is encoded back in its own format.
#include "image/CRasterImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20))
        return 0;
    {
        CRasterImage probe;
        probe.SetEscape(-1);
        if (probe.Decode(data, DWORD(size), IMAGE_FORMAT_UNKNOWN) &&
            std::uint64_t(probe.GetWidth()) * probe.GetHeight() > 4000000)
            return 0;
    }
    CRasterImage image;
    if (!image.Decode(data, DWORD(size), IMAGE_FORMAT_UNKNOWN))
        return 0;
    // Re-encoding is for small pictures: a large true-colour GIF mosaic costs seconds under the
    // sanitizers and would starve the decoders of runs.
    if (std::uint64_t(image.GetWidth()) * image.GetHeight() > 65536)
        return 0;
    BYTE* buffer = nullptr;
    LONG out = 0;
    if (image.Encode(buffer, out, image.GetType())) {
        CRasterImage again;
        again.Decode(buffer, DWORD(out), image.GetType());
        std::free(buffer);
    }
    return 0;
}
