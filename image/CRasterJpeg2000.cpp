#include "image/CRasterJpeg2000.h"

#include "image/CRasterFile.h"
#include "image/CRasterJpeg2000Formats.h"

#include <cstdio>
#include <cstring>

namespace {

const char kNoInput[] = "error: cannot open standard input";
const char kCannotLoad[] = "error: cannot load image data";
const char kTooManyComponents[] = "error: too much components";
const char kCannotConvert[] = "cannot convert to sRGB";
const char kNoMemory[] = "Can't allocate memory";
const char kWrongFrame[] = "wrong frame!";
const char kOnlyRgbOrGray[] = "JasPer can save only RGB or GrayScale images";
const char kNoOutput[] = "error: cannot open standard output";
const char kPgxGrayOnly[] = "PGX can save only GrayScale images";
const char kCannotEncode[] = "error: cannot encode image\n";

constexpr std::size_t kMaxComponents = 64;

// A sample as an 8-bit value: signed samples are moved to the unsigned range, wider ones are scaled
// down, and 8 bits or fewer keep their low 8 bits.
inline BYTE Sample8(std::int32_t v, int prec, bool sgnd)
{
    std::int64_t u = v;
    if (sgnd && prec > 0)
        u += std::int64_t(1) << (prec - 1);
    if (prec > 8)
        u >>= (prec - 8);
    return BYTE(u & 0xFF);
}

// A sample scaled to 0..255 by its precision, for the conversion to sRGB.
inline std::int64_t Scaled(std::int32_t v, int prec, bool sgnd)
{
    std::int64_t u = v;
    if (sgnd)
        u += std::int64_t(1) << (prec - 1);
    const std::int64_t maxv = (std::int64_t(1) << prec) - 1;
    if (u < 0)
        u = 0;
    if (u > maxv)
        u = maxv;
    return (u * 255 + maxv / 2) / maxv;
}

inline BYTE Clamp255(double v)
{
    return v <= 0 ? 0 : (v >= 255 ? 255 : BYTE(v + 0.5));
}

// Turns the picture into three 8-bit planes of the first component's size: grey is repeated, YCC
// is converted, and components of another size are sampled at the matching place.
bool ConvertToSrgb(const jas::ComponentImage& in, jas::ComponentImage& out)
{
    if (in.comps.empty())
        return false;
    for (const jas::Component& c : in.comps)
        if (c.prec < 1 || c.prec > 31 || c.width == 0 || c.height == 0 || !c.data)
            return false;
    const jas::Component& c0 = in.comps[0];
    const bool colour = in.comps.size() >= 3;
    out.comps.clear();
    out.comps.resize(3);
    for (jas::Component& c : out.comps) {
        c.prec = 8;
        c.sgnd = false;
        c.Allocate(c0.width, c0.height);
    }
    out.space = jas::ColorSpace::Srgb;
    const jas::Component* src[3] = {&in.comps[0], colour ? &in.comps[1] : &in.comps[0], colour ? &in.comps[2] : &in.comps[0]};
    const bool ycc = colour && in.space == jas::ColorSpace::Sycc;
    for (DWORD y = 0; y < c0.height; ++y)
        for (DWORD x = 0; x < c0.width; ++x) {
            std::int64_t v[3];
            for (int k = 0; k < 3; ++k) {
                const jas::Component& c = *src[k];
                const std::uint64_t sx = std::uint64_t(x) * c.width / c0.width;
                const std::uint64_t sy = std::uint64_t(y) * c.height / c0.height;
                v[k] = Scaled(c.data[sy * c.width + sx], c.prec, c.sgnd);
            }
            const std::size_t i = std::size_t(y) * c0.width + x;
            if (ycc) {
                const double Y = double(v[0]), cb = double(v[1]) - 128, cr = double(v[2]) - 128;
                out.comps[0].Samples()[i] = Clamp255(Y + 1.402 * cr);
                out.comps[1].Samples()[i] = Clamp255(Y - 0.344136 * cb - 0.714136 * cr);
                out.comps[2].Samples()[i] = Clamp255(Y + 1.772 * cb);
            } else {
                for (int k = 0; k < 3; ++k)
                    out.comps[std::size_t(k)].Samples()[i] = std::int32_t(v[k]);
            }
        }
    return true;
}

// Nothing when the stream gave a usable image, else the message.
std::string Read(CRasterFile& stream, jas::Family family, jas::ComponentImage& out)
{
    bool ok = false;
    switch (family) {
    case jas::Family::Jp2:
    case jas::Family::Jpc: {
        std::string refusal;
        ok = jas::ReadJpeg2000(stream, family, out, refusal);
        if (!refusal.empty())
            return refusal;
        break;
    }
    case jas::Family::Pnm:
        ok = jas::ReadPnm(stream, out);
        break;
    case jas::Family::Pgx:
        ok = jas::ReadPgx(stream, out);
        break;
    case jas::Family::Ras:
        ok = jas::ReadRas(stream, out);
        break;
    case jas::Family::None:
        break;
    }
    if (!ok || out.comps.empty())
        return kCannotLoad;
    for (const jas::Component& c : out.comps)
        if (!c.data || c.width == 0 || c.height == 0 || c.prec < 1 || c.prec > 31)
            return kCannotLoad;
    return {};
}

DWORD FormatOf(jas::Family family)
{
    switch (family) {
    case jas::Family::Jp2:
        return IMAGE_FORMAT_JP2;
    case jas::Family::Jpc:
        return IMAGE_FORMAT_JPC;
    case jas::Family::Pgx:
        return IMAGE_FORMAT_PGX;
    case jas::Family::Pnm:
        return IMAGE_FORMAT_PNM;
    case jas::Family::Ras:
        return IMAGE_FORMAT_RAS;
    case jas::Family::None:
        break;
    }
    return IMAGE_FORMAT_UNKNOWN;
}

// Which codec object the dispatch runs for one format id.
template <DWORD Id>
class CRasterImageJASAs : public CRasterImageJAS {
public:
    bool Decode(CRasterFile* stream) { return CRasterImageJAS::Decode(stream, Id); }
    bool Encode(CRasterFile* stream) { return CRasterImageJAS::Encode(stream, Id); }
};

} // namespace

namespace jas {

Family DetectFamily(const BYTE* head, std::size_t size)
{
    static const BYTE jp2[12] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
    if (size >= 12 && std::memcmp(head, jp2, 12) == 0)
        return Family::Jp2;
    if (size >= 4 && head[0] == 0xFF && head[1] == 0x4F && head[2] == 0xFF && head[3] == 0x51)
        return Family::Jpc;
    if (size >= 4 && head[0] == 0x59 && head[1] == 0xA6 && head[2] == 0x6A && head[3] == 0x95)
        return Family::Ras;
    if (size >= 2 && head[0] == 'P' && head[1] == 'G')
        return Family::Pgx;
    if (size >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6')
        return Family::Pnm;
    return Family::None;
}

} // namespace jas

CRasterImageJAS::CRasterImageJAS() : CRasterImage(IMAGE_FORMAT_UNKNOWN) {}

bool CRasterImageJAS::Decode(CRasterFile* stream, DWORD id)
{
    if (!stream) {
        SetLastError(kNoInput);
        return false;
    }
    const LONG start = stream->Tell();
    BYTE head[12] = {};
    const DWORD got = stream->Read(head, 1, sizeof head);
    if (start < 0 || !stream->Seek(start, SEEK_SET)) {
        SetLastError(kNoInput);
        return false;
    }
    const jas::Family family = jas::DetectFamily(head, got);
    // Found by detection, the picture takes the id of the member it is, so that it can be written
    // again in its own format.
    if (id == IMAGE_FORMAT_UNKNOWN)
        id = FormatOf(family);
    jas::ComponentImage image;
    if (const std::string error = Read(*stream, family, image); !error.empty()) {
        SetLastError(error.c_str());
        return false;
    }

    if (image.comps.size() > kMaxComponents) {
        SetLastError(kTooManyComponents);
        return false;
    }
    const int p = image.comps[0].prec;
    const bool yccColour = image.space == jas::ColorSpace::Sycc && image.comps.size() >= 3;
    if ((p != 1 && p != 4 && p != 8) || yccColour) {
        jas::ComponentImage converted;
        if (!ConvertToSrgb(image, converted)) {
            SetLastError(kCannotConvert);
            return false;
        }
        image = std::move(converted);
    }

    const jas::Component& c0 = image.comps[0];
    bool rgb = image.comps.size() == 3;
    for (const jas::Component& c : image.comps)
        rgb = rgb && c.width == c0.width && c.height == c0.height && c.prec == c0.prec;
    if (rgb) {
        if (c0.width > 0x7FFFFFFF || c0.height > 0x7FFFFFFF || !Create(LONG(c0.width), LONG(c0.height), 24, id)) {
            SetLastError(kNoMemory);
            return false;
        }
        const jas::Component &r = image.comps[0], &g = image.comps[1], &b = image.comps[2];
        for (DWORD y = 0; y < c0.height; ++y) {
            BYTE* dst = GetBits(c0.height - 1 - y);
            const std::size_t row = std::size_t(y) * c0.width;
            for (DWORD x = 0; x < c0.width; ++x) {
                dst[3 * x] = Sample8(b.data[row + x], b.prec, b.sgnd);
                dst[3 * x + 1] = Sample8(g.data[row + x], g.prec, g.sgnd);
                dst[3 * x + 2] = Sample8(r.data[row + x], r.prec, r.sgnd);
            }
        }
        return true;
    }

    m_info.frameCount = LONG(image.comps.size());
    if (m_info.frame < 0 || m_info.frame >= m_info.frameCount) {
        SetLastError(kWrongFrame);
        return false;
    }
    const jas::Component& c = image.comps[std::size_t(m_info.frame)];
    const DWORD bpp = DWORD(c.prec < 8 ? c.prec : 8);
    if (c.width > 0x7FFFFFFF || c.height > 0x7FFFFFFF || !Create(LONG(c.width), LONG(c.height), bpp, id)) {
        SetLastError(kNoMemory);
        return false;
    }
    SetGrayPalette();
    for (DWORD y = 0; y < c.height; ++y) {
        const std::size_t row = std::size_t(y) * c.width;
        const LONG py = LONG(c.height - 1 - y);
        if (GetBpp() == 8) {
            BYTE* dst = GetBits(DWORD(py));
            for (DWORD x = 0; x < c.width; ++x)
                dst[x] = Sample8(c.data[row + x], c.prec, c.sgnd);
        } else {
            for (DWORD x = 0; x < c.width; ++x)
                SetPixelIndex(LONG(x), py, Sample8(c.data[row + x], c.prec, c.sgnd));
        }
    }
    return true;
}

bool CRasterImageJAS::Encode(CRasterFile* stream, DWORD id)
{
    if (EncodeSafeCheck(stream))
        return false;
    const bool palette = GetPalette() != nullptr;
    if (palette && !IsGrayScale()) {
        SetLastError(kOnlyRgbOrGray);
        return false;
    }
    const DWORD width = GetWidth(), height = GetHeight();
    jas::ComponentImage image;
    image.comps.resize(palette ? 1 : 3);
    image.space = palette ? jas::ColorSpace::Gray : jas::ColorSpace::Srgb;
    for (jas::Component& c : image.comps) {
        c.prec = 8;
        c.sgnd = false;
        c.Allocate(width, height);
    }
    for (DWORD y = 0; y < height; ++y) {
        const std::size_t row = std::size_t(height - 1 - y) * width;
        const BYTE* src = GetBits(y);
        if (palette) {
            std::int32_t* dst = image.comps[0].Samples() + row;
            for (DWORD x = 0; x < width; ++x)
                dst[x] = GetBpp() == 8 ? src[x] : BlindGetPixelIndex(LONG(x), LONG(y));
        } else {
            std::int32_t* r = image.comps[0].Samples() + row;
            std::int32_t* g = image.comps[1].Samples() + row;
            std::int32_t* b = image.comps[2].Samples() + row;
            for (DWORD x = 0; x < width; ++x) {
                b[x] = src[3 * x];
                g[x] = src[3 * x + 1];
                r[x] = src[3 * x + 2];
            }
        }
    }

    const LONG start = stream->Tell();
    if (start < 0) {
        SetLastError(kNoOutput);
        return false;
    }
    bool ok = false;
    switch (id) {
    case IMAGE_FORMAT_JP2:
    case IMAGE_FORMAT_JPC: {
        char option[32];
        std::snprintf(option, sizeof option, "rate=%.3f", GetJpegQuality() / 100.0);
        double rate = 1;
        std::sscanf(option + 5, "%lf", &rate);
        ok = jas::WriteJpeg2000(*stream, id == IMAGE_FORMAT_JP2 ? jas::Family::Jp2 : jas::Family::Jpc, image, rate);
        break;
    }
    case IMAGE_FORMAT_PGX:
        if (!palette) {
            SetLastError(kPgxGrayOnly);
            return false;
        }
        ok = jas::WritePgx(*stream, image);
        break;
    case IMAGE_FORMAT_PNM:
        ok = jas::WritePnm(*stream, image);
        break;
    case IMAGE_FORMAT_RAS:
        ok = jas::WriteRas(*stream, image);
        break;
    default:
        break;
    }
    if (!ok || !stream->Flush()) {
        SetLastError(kCannotEncode);
        return false;
    }
    return true;
}

bool DecodeJp2(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageJASAs<IMAGE_FORMAT_JP2>>(stream);
}
bool EncodeJp2(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageJASAs<IMAGE_FORMAT_JP2>>(stream);
}
bool DecodeJpc(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageJASAs<IMAGE_FORMAT_JPC>>(stream);
}
bool EncodeJpc(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageJASAs<IMAGE_FORMAT_JPC>>(stream);
}
bool DecodePgx(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageJASAs<IMAGE_FORMAT_PGX>>(stream);
}
bool EncodePgx(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageJASAs<IMAGE_FORMAT_PGX>>(stream);
}
bool DecodePnm(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageJASAs<IMAGE_FORMAT_PNM>>(stream);
}
bool EncodePnm(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageJASAs<IMAGE_FORMAT_PNM>>(stream);
}
bool DecodeRas(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageJASAs<IMAGE_FORMAT_RAS>>(stream);
}
bool EncodeRas(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageJASAs<IMAGE_FORMAT_RAS>>(stream);
}
bool DecodeJpeg2000Family(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageJASAs<IMAGE_FORMAT_UNKNOWN>>(stream);
}
