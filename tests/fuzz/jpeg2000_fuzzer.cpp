// JP2 and JPEG 2000 code-stream decoding under arbitrary bytes: after a header probe that caps the
// picture, decode through the family's detection; a decoded picture is written again as JP2 and as a
// code stream and read back, which must give a picture of the same size.
#include "image/CRasterImage.h"
#include "image/CRasterJpeg2000.h"
#include "FuzzSupport.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint64_t kMaxSamples = 1u << 18;

struct Memory {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

OPJ_SIZE_T MemRead(void* buffer, OPJ_SIZE_T n, void* user)
{
    auto* m = static_cast<Memory*>(user);
    if (m->pos >= m->size)
        return OPJ_SIZE_T(-1);
    n = std::min<OPJ_SIZE_T>(n, m->size - m->pos);
    std::memcpy(buffer, m->data + m->pos, n);
    m->pos += n;
    return n;
}

OPJ_OFF_T MemSkip(OPJ_OFF_T n, void* user)
{
    auto* m = static_cast<Memory*>(user);
    m->pos = std::size_t(std::min<OPJ_OFF_T>(OPJ_OFF_T(m->size), std::max<OPJ_OFF_T>(0, OPJ_OFF_T(m->pos) + n)));
    return n;
}

OPJ_BOOL MemSeek(OPJ_OFF_T n, void* user)
{
    auto* m = static_cast<Memory*>(user);
    if (n < 0 || std::uint64_t(n) > m->size)
        return OPJ_FALSE;
    m->pos = std::size_t(n);
    return OPJ_TRUE;
}

void Quiet(const char*, void*) {}

// False when the header announces more samples than the fuzzer lets through.
bool SmallEnough(const std::uint8_t* data, std::size_t size)
{
    OPJ_CODEC_FORMAT format;
    if (size >= 12 && data[4] == 0x6A && data[5] == 0x50)
        format = OPJ_CODEC_JP2;
    else if (size >= 4 && data[0] == 0xFF && data[1] == 0x4F)
        format = OPJ_CODEC_J2K;
    else
        return true; // not decoded as JPEG 2000 at all
    Memory m{data, size, 0};
    opj_stream_t* stream = opj_stream_create(1 << 16, OPJ_TRUE);
    opj_stream_set_user_data(stream, &m, nullptr);
    opj_stream_set_user_data_length(stream, size);
    opj_stream_set_read_function(stream, MemRead);
    opj_stream_set_skip_function(stream, MemSkip);
    opj_stream_set_seek_function(stream, MemSeek);
    opj_codec_t* codec = opj_create_decompress(format);
    opj_set_info_handler(codec, Quiet, nullptr);
    opj_set_warning_handler(codec, Quiet, nullptr);
    opj_set_error_handler(codec, Quiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    opj_setup_decoder(codec, &parameters);
    opj_image_t* image = nullptr;
    bool small = true;
    if (opj_read_header(stream, codec, &image) && image) {
        const std::uint64_t area = (std::uint64_t(image->x1) - image->x0) * (std::uint64_t(image->y1) - image->y0);
        small = image->x1 >= image->x0 && image->y1 >= image->y0 && area * image->numcomps <= kMaxSamples;
    }
    opj_image_destroy(image);
    opj_destroy_codec(codec);
    opj_stream_destroy(stream);
    return small;
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
