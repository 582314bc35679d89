// JP2 files and JPEG 2000 code streams through OpenJPEG, over an image-library stream. Offsets the
// library asks for count from where the picture starts in the stream.
#include "image/CRasterFile.h"
#include "image/CRasterJpeg2000Formats.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace jas {
namespace {

// Connects the library's stream to an image-library stream; offsets count from start.
struct JasStreamAdapter {
    CRasterFile* file;
    std::int64_t start;
};

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T size, void* user)
{
    auto* s = static_cast<JasStreamAdapter*>(user);
    const DWORD n = DWORD(std::min<OPJ_SIZE_T>(size, 0x7FFFFFFF));
    const DWORD got = n ? s->file->Read(buffer, 1, n) : 0;
    return got ? OPJ_SIZE_T(got) : OPJ_SIZE_T(-1);
}

OPJ_SIZE_T StreamWrite(void* buffer, OPJ_SIZE_T size, void* user)
{
    auto* s = static_cast<JasStreamAdapter*>(user);
    if (size > 0x7FFFFFFF)
        return OPJ_SIZE_T(-1);
    const DWORD put = s->file->Write(buffer, 1, DWORD(size));
    return put == size ? size : OPJ_SIZE_T(-1);
}

bool SeekTo(JasStreamAdapter* s, std::int64_t offset)
{
    if (offset < 0 || offset > std::numeric_limits<LONG>::max())
        return false;
    return s->file->Seek(LONG(offset), SEEK_SET);
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T n, void* user)
{
    auto* s = static_cast<JasStreamAdapter*>(user);
    const LONG pos = s->file->Tell();
    if (pos < 0 || !SeekTo(s, std::int64_t(pos) + n))
        return -1;
    return n;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T offset, void* user)
{
    auto* s = static_cast<JasStreamAdapter*>(user);
    return SeekTo(s, s->start + offset) ? OPJ_TRUE : OPJ_FALSE;
}

void Quiet(const char*, void*) {}

void SilenceCodec(opj_codec_t* codec)
{
    opj_set_info_handler(codec, Quiet, nullptr);
    opj_set_warning_handler(codec, Quiet, nullptr);
    opj_set_error_handler(codec, Quiet, nullptr);
}

struct StreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct CodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
using StreamPtr = std::unique_ptr<opj_stream_t, StreamDeleter>;
using CodecPtr = std::unique_ptr<opj_codec_t, CodecDeleter>;

StreamPtr MakeStream(JasStreamAdapter& state, bool input)
{
    StreamPtr stream(opj_stream_create(1 << 16, input ? OPJ_TRUE : OPJ_FALSE));
    if (!stream)
        return nullptr;
    opj_stream_set_user_data(stream.get(), &state, nullptr);
    if (input) {
        const LONG size = state.file->Size();
        opj_stream_set_user_data_length(stream.get(), size > state.start ? OPJ_UINT64(size - state.start) : 0);
        opj_stream_set_read_function(stream.get(), StreamRead);
    } else {
        opj_stream_set_write_function(stream.get(), StreamWrite);
    }
    opj_stream_set_skip_function(stream.get(), StreamSkip);
    opj_stream_set_seek_function(stream.get(), StreamSeek);
    return stream;
}

ColorSpace SpaceOf(OPJ_COLOR_SPACE space)
{
    switch (space) {
    case OPJ_CLRSPC_SRGB:
        return ColorSpace::Srgb;
    case OPJ_CLRSPC_GRAY:
        return ColorSpace::Gray;
    case OPJ_CLRSPC_SYCC:
        return ColorSpace::Sycc;
    default:
        return ColorSpace::Unknown;
    }
}

// Resolution levels the encoder can use: each level halves the smaller side.
OPJ_UINT32 ResolutionsFor(DWORD width, DWORD height)
{
    OPJ_UINT32 levels = 1;
    DWORD side = std::min(width, height);
    while (levels < 6 && side >= 2) {
        side >>= 1;
        ++levels;
    }
    return levels;
}

} // namespace

bool ReadJpeg2000(CRasterFile& file, Family family, ComponentImage& out, std::string& refusal)
{
    JasStreamAdapter state{&file, file.Tell()};
    if (state.start < 0)
        return false;
    // The library sets up every declared tile while it reads the main header: judge the declared
    // work before it does.
    if (DeclaredWork declared; ReadDeclaredWork(file, family, declared)) {
        refusal = DisproportionateWork(declared);
        if (!refusal.empty())
            return false;
    }
    StreamPtr stream = MakeStream(state, true);
    CodecPtr codec(opj_create_decompress(family == Family::Jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!stream || !codec)
        return false;
    SilenceCodec(codec.get());
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters))
        return false;

    opj_image_t* raw = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &raw) || !raw) {
        opj_image_destroy(raw);
        return false;
    }
    std::shared_ptr<opj_image_t> image(raw, opj_image_destroy);
    // Refuse pictures larger than an image may be before the library allocates their planes.
    if (raw->numcomps == 0 || raw->x1 <= raw->x0 || raw->y1 <= raw->y0)
        return false;
    std::uint64_t samples = 0;
    for (OPJ_UINT32 i = 0; i < raw->numcomps; ++i) {
        const opj_image_comp_t& c = raw->comps[i];
        if (c.dx == 0 || c.dy == 0)
            return false;
        const std::uint64_t w = (std::uint64_t(raw->x1) - raw->x0 + c.dx - 1) / c.dx;
        const std::uint64_t h = (std::uint64_t(raw->y1) - raw->y0 + c.dy - 1) / c.dy;
        samples += w * h;
        if (samples > kMaxSamples)
            return false;
    }
    if (!opj_decode(codec.get(), stream.get(), raw) || !opj_end_decompress(codec.get(), stream.get()))
        return false;

    out.comps.clear();
    out.comps.resize(raw->numcomps);
    for (OPJ_UINT32 i = 0; i < raw->numcomps; ++i) {
        const opj_image_comp_t& c = raw->comps[i];
        if (!c.data)
            return false;
        Component& k = out.comps[i];
        k.width = c.w;
        k.height = c.h;
        k.prec = int(c.prec);
        k.sgnd = c.sgnd != 0;
        k.data = c.data;
    }
    out.space = SpaceOf(raw->color_space);
    out.owner = image;
    return true;
}

bool WriteJpeg2000(CRasterFile& file, Family family, const ComponentImage& in, double rate)
{
    if (in.comps.empty())
        return false;
    const DWORD width = in.comps[0].width, height = in.comps[0].height;
    for (const Component& c : in.comps)
        if (c.width != width || c.height != height || !c.data)
            return false;
    std::vector<opj_image_cmptparm_t> params(in.comps.size());
    for (opj_image_cmptparm_t& p : params) {
        p = {};
        p.dx = 1;
        p.dy = 1;
        p.w = width;
        p.h = height;
        p.x0 = 0;
        p.y0 = 0;
        p.prec = 8;
        p.sgnd = 0;
    }
    const bool grey = in.comps.size() == 1;
    std::unique_ptr<opj_image_t, void (*)(opj_image_t*)> image(
        opj_image_create(OPJ_UINT32(params.size()), params.data(), grey ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB),
        opj_image_destroy);
    if (!image)
        return false;
    image->x0 = 0;
    image->y0 = 0;
    image->x1 = width;
    image->y1 = height;
    const std::size_t count = std::size_t(width) * height;
    for (std::size_t i = 0; i < in.comps.size(); ++i)
        std::copy(in.comps[i].data, in.comps[i].data + count, image->comps[i].data);

    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.cp_disto_alloc = 1;
    // The rate is a fraction of the raw size; the library takes a compression ratio (0: no limit).
    parameters.tcp_rates[0] = rate > 0 && rate < 1 ? float(1.0 / rate) : 0.0f;
    parameters.irreversible = 1;
    parameters.tcp_mct = in.comps.size() == 3 ? 1 : 0; // the colour transform needs exactly three
    parameters.numresolution = int(ResolutionsFor(width, height));

    CodecPtr codec(opj_create_compress(family == Family::Jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!codec)
        return false;
    SilenceCodec(codec.get());
    if (!opj_setup_encoder(codec.get(), &parameters, image.get()))
        return false;
    JasStreamAdapter state{&file, file.Tell()};
    if (state.start < 0)
        return false;
    StreamPtr stream = MakeStream(state, false);
    if (!stream)
        return false;
    if (!opj_start_compress(codec.get(), image.get(), stream.get()) || !opj_encode(codec.get(), stream.get()) ||
        !opj_end_compress(codec.get(), stream.get()))
        return false;
    return true;
}

} // namespace jas
