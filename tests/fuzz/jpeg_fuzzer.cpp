// JPEG decoder (with the EXIF reader it runs first) under arbitrary bytes: a size probe caps the
// image, the input's last byte picks the scale and decoder options, and a decoded image is written
// back and read again. The codec object that read an EXIF file also writes it, which puts the EXIF
// block back in front of the new image data.
#include "image/CRasterImage.h"
#include "image/CRasterJpeg.h"
#include "image/CRasterMemFile.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint64_t kMaxPixels = 1u << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18) || !fuzz::SmallEnough(data, size, IMAGE_FORMAT_JPG, kMaxPixels))
        return 0;
    const BYTE choice = size ? data[size - 1] : 0;
    static const BYTE kScales[4] = {0, 1, 2, 8};
    static const DWORD kOptions[4] = {0, CRasterImageJPG::DECODE_GRAYSCALE,
                                      CRasterImageJPG::DECODE_QUANTIZE | CRasterImageJPG::DECODE_ONEPASS,
                                      CRasterImageJPG::DECODE_NOSMOOTH};

    CRasterImage image;
    image.SetJpegScale(kScales[choice & 3]);
    image.SetCodecOption(kOptions[(choice >> 2) & 3], IMAGE_FORMAT_JPG);
    if (image.Decode(data, DWORD(size), IMAGE_FORMAT_JPG) && image.IsValid())
        fuzz::RoundTrip(image, IMAGE_FORMAT_JPG); // a quantised colour image is refused

    CRasterMemFile in(data, DWORD(size));
    CRasterImageJPG direct;
    if (direct.Decode(&in)) {
        CRasterMemFile out;
        out.Open();
        direct.Encode(&out);
    }
    return 0;
}
