// GIF decoder under arbitrary bytes: decode a frame chosen by the input (after a size probe that caps
// the screen), then write the result with one of the three data encoders and read it back, which
// must give the same pixels.
#include "image/CRasterGif.h"
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Every frame composes on a copy of the screen, so the screen is kept small enough that a file of
// many frames still decodes quickly under the sanitizers.
constexpr std::uint64_t kMaxScreenPixels = 1u << 16;

void RoundTrip(CRasterImage& image, DWORD option)
{
    if (!image.IsValid())
        return;
    image.SetCodecOption(option, IMAGE_FORMAT_GIF);
    image.SetFrame(0);
    CRasterImage again;
    if (!fuzz::ReEncode(image, IMAGE_FORMAT_GIF, again))
        std::abort();
    const LONG w = LONG(image.GetWidth()), h = LONG(image.GetHeight());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD a = image.GetPixelColor(x, y, false), b = again.GetPixelColor(x, y, false);
            if (!fuzz::SameRgb(a, b))
                std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18) || !fuzz::SmallEnough(data, size, IMAGE_FORMAT_GIF, kMaxScreenPixels) ||
        (size > 1 && !fuzz::SmallEnough(data + 1, size - 1, IMAGE_FORMAT_GIF, kMaxScreenPixels)))
        return 0;
    const BYTE choice = size ? data[size - 1] : 0;

    CRasterImage image;
    image.SetFrame(LONG(choice & 3));
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_GIF))
        RoundTrip(image, DWORD((choice >> 2) % 3));

    // The codec class directly, as the detection pass runs it: over a stream that does not start at 0.
    CRasterMemFile stream(data, DWORD(size));
    stream.Seek(size > 1 ? 1 : 0, SEEK_SET);
    auto direct = std::make_unique<CRasterImageGIF>();
    direct->Decode(&stream);
    return 0;
}
