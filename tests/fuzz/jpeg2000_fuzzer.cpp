// JP2 and JPEG 2000 code-stream decoding under arbitrary bytes: pictures whose headers declare more
// samples than the fuzzer lets through are skipped, read as the decoder reads the declared work; the
// rest decode through the family's detection; a decoded picture is written again as JP2 and as a code stream and read
// back, which must give a picture of the same size.
#include "image/CRasterImage.h"
#include "image/CRasterJpeg2000Formats.h"
#include "image/CRasterMemFile.h"
#include "FuzzSupport.h"

#include <cstdint>

namespace {

constexpr std::uint64_t kMaxSamples = 1u << 18;

// False when the header declares more samples than the fuzzer lets through.
bool SmallEnough(const std::uint8_t* data, std::size_t size)
{
    CRasterMemFile file(data, DWORD(size));
    jas::DeclaredWork work;
    return !jas::ReadDeclaredWork(file, jas::DetectFamily(data, size), work) || work.samples <= kMaxSamples;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 18) || !SmallEnough(data, size))
        return 0;
    CRasterImage image;
    image.SetFrame(size ? LONG(data[size - 1] & 3) : 0);
    if (!image.Decode(data, DWORD(size), IMAGE_FORMAT_JP2) || !image.IsValid())
        return 0;
    if (std::uint64_t(image.GetWidth()) * image.GetHeight() <= 4096) {
        fuzz::RoundTrip(image, IMAGE_FORMAT_JP2); // a palette that is not grey is refused
        fuzz::RoundTrip(image, IMAGE_FORMAT_JPC);
    }
    return 0;
}
