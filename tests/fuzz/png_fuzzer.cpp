// PNG decoder under arbitrary bytes: chunk checksums are mended first (so the mutations reach the
// decoder instead of its checksum test), the size is capped from the header, and a decoded image is
// written back and read again, which must give the same pixels.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterPng.h"
#include "FuzzSupport.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint64_t kMaxPixels = 1u << 20;

std::uint32_t Big32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Recomputes the checksum of every whole chunk after the 8-byte signature.
void MendChecksums(std::vector<std::uint8_t>& f)
{
    std::size_t pos = 8;
    while (pos + 12 <= f.size()) {
        const std::uint64_t len = Big32(&f[pos]);
        if (pos + 12 + len > f.size())
            break;
        const uLong crc = crc32(0, &f[pos + 4], uInt(len + 4));
        std::uint8_t* c = &f[pos + 8 + len];
        c[0] = std::uint8_t(crc >> 24);
        c[1] = std::uint8_t(crc >> 16);
        c[2] = std::uint8_t(crc >> 8);
        c[3] = std::uint8_t(crc);
        pos += 12 + len;
    }
}

bool SmallEnough(const std::vector<std::uint8_t>& f)
{
    if (f.size() < 24)
        return true;
    return std::uint64_t(Big32(&f[16])) * Big32(&f[20]) <= kMaxPixels;
}

void RoundTrip(CRasterImage& image, bool interlace)
{
    image.SetCodecOption(interlace ? 1 : 0, IMAGE_FORMAT_PNG);
    CRasterImage again;
    if (!fuzz::ReEncode(image, IMAGE_FORMAT_PNG, again) || again.AlphaIsValid() != image.AlphaIsValid())
        std::abort();
    const LONG w = LONG(image.GetWidth()), h = LONG(image.GetHeight());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD a = image.GetPixelColor(x, y, true), b = again.GetPixelColor(x, y, true);
            if (!fuzz::SameRgb(a, b))
                std::abort();
            if (image.AlphaIsValid() && a.rgbReserved != b.rgbReserved)
                std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18))
        return 0;
    std::vector<std::uint8_t> file(data, data + size);
    MendChecksums(file);
    if (!SmallEnough(file))
        return 0;
    const BYTE choice = size ? data[size - 1] : 0;

    CRasterImage image;
    if (image.Decode(file.data(), DWORD(file.size()), IMAGE_FORMAT_PNG) && image.IsValid())
        RoundTrip(image, choice & 1);

    // The codec class directly, as the detection pass runs it, and with the escape set.
    CRasterMemFile stream(file.data(), DWORD(file.size()));
    CRasterImagePNG direct;
    direct.SetEscape((choice & 2) ? -1 : 0);
    direct.Decode(&stream);
    return 0;
}
