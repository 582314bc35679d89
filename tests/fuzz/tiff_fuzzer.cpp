// TIFF decoder under arbitrary bytes: decode a page chosen by the input (after a size probe that caps
// the picture), then write it again with a lossless compression chosen by the input and read it
// back, which must give the same pixels.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterTiff.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::uint64_t kMaxPixels = 1u << 20;

void RoundTrip(CRasterImage& image, BYTE choice)
{
    if (!image.IsValid())
        return;
    // None, LZW, PackBits, Deflate; 1-bit pictures may also take Group 4.
    static const DWORD kCompressions[] = {1, 5, 32773, 8};
    DWORD compression = kCompressions[choice & 3];
    if (image.GetBpp() == 1 && (choice & 4))
        compression = 4;
    image.SetCodecOption(compression, IMAGE_FORMAT_TIF);
    image.SetFrame(0);
    CRasterImage before(image); // the writer may exchange a bilevel palette in place
    CRasterImage again;
    if (!fuzz::ReEncode(image, IMAGE_FORMAT_TIF, again))
        std::abort();
    const LONG w = LONG(before.GetWidth()), h = LONG(before.GetHeight());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD a = before.GetPixelColor(x, y, false), b = again.GetPixelColor(x, y, false);
            const bool premultiplied = before.AlphaIsValid() && before.GetBpp() == 24 && before.AlphaGet(x, y) < 255;
            if (!premultiplied && !fuzz::SameRgb(a, b))
                std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18))
        return 0;
    const BYTE choice = size ? data[size - 1] : 0;
    const LONG frame = LONG(choice >> 6);
    if (!fuzz::SmallEnough(data, size, IMAGE_FORMAT_TIF, kMaxPixels, frame))
        return 0;

    CRasterImage image;
    image.SetFrame(frame);
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_TIF))
        RoundTrip(image, choice);

    // The codec class directly, as detection runs it: over a stream that does not start at 0.
    if (size > 1 && fuzz::SmallEnough(data + 1, size - 1, IMAGE_FORMAT_TIF, kMaxPixels)) {
        CRasterMemFile stream(data, DWORD(size));
        stream.Seek(1, SEEK_SET);
        auto direct = std::make_unique<CRasterImageTIF>();
        direct->Decode(&stream);
    }
    return 0;
}
