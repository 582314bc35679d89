#include "maze/StoredPicture.h"

#include "image/CRasterImage.h"
#include "image/CheckedMath.h"
#include "maze/MzeArchive.h"
#include "platform/core/CArchive.h"

#include <cstring>

namespace {

// TIFF compression schemes that lose detail (the TIFF writer takes the scheme from the codec option,
// and with none it compresses true colour as JPEG).
constexpr DWORD kTiffNoScheme = 0, kTiffOldJpeg = 6, kTiffJpeg = 7;

// Whether writing the picture in the format may change its pixels.
bool LossyEncoding(const CRasterImage& picture, DWORD type)
{
    if (type == IMAGE_FORMAT_JPG || type == IMAGE_FORMAT_JP2 || type == IMAGE_FORMAT_JPC)
        return true;
    if (type == IMAGE_FORMAT_TIF) {
        const DWORD scheme = picture.GetCodecOption(IMAGE_FORMAT_TIF);
        return scheme == kTiffJpeg || scheme == kTiffOldJpeg || (scheme == kTiffNoScheme && picture.GetBpp() == 24);
    }
    return false;
}

bool SameRgb(RGBQUAD a, RGBQUAD b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

// A pixel as it shows: its colour with its opacity in the reserved byte; all zero where it is hidden.
RGBQUAD Shown(const CRasterImage& image, LONG x, LONG y)
{
    RGBQUAD c = image.GetPixelColor(x, y, false);
    BYTE opacity = image.AlphaIsValid() ? image.AlphaGet(x, y) : 255;
    if (image.IsTransparent()) {
        const bool hidden = image.IsIndexed() ? LONG(image.GetPixelIndex(x, y)) == image.GetTransIndex()
                                              : SameRgb(c, image.GetTransColor());
        if (hidden)
            opacity = 0;
    }
    if (opacity == 0)
        return RGBQUAD{0, 0, 0, 0};
    c.rgbReserved = opacity;
    return c;
}

const BYTE* Row(const CRasterImage& image, DWORD y)
{
    return static_cast<const BYTE*>(image.GetDIB()) + image.GetHeader().biSize + image.GetPaletteSize() +
           std::size_t(y) * image.GetEffWidth();
}

// Two pictures of the same size, depth and palette with no transparent colour: the pixel bytes and the
// alpha planes decide.
bool SameBytes(const CRasterImage& a, const CRasterImage& b)
{
    const DWORD w = a.GetWidth(), h = a.GetHeight();
    const std::size_t rowBytes = std::size_t(w) * a.GetBpp() / 8;
    for (DWORD y = 0; y < h; ++y)
        if (std::memcmp(Row(a, y), Row(b, y), rowBytes) != 0)
            return false;
    if (a.AlphaIsValid() != b.AlphaIsValid())
        return false;
    for (DWORD y = 0; y < h && a.AlphaIsValid(); ++y)
        for (DWORD x = 0; x < w; ++x)
            if (a.BlindAlphaGet(LONG(x), LONG(y)) != b.BlindAlphaGet(LONG(x), LONG(y)))
                return false;
    return true;
}

} // namespace

bool SamePicture(const CRasterImage& a, const CRasterImage& b)
{
    if (!a.IsValid() || !b.IsValid() || a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    if (a.GetBpp() == b.GetBpp() && a.GetBpp() >= 8 && !a.IsTransparent() && !b.IsTransparent() &&
        a.GetPaletteSize() == b.GetPaletteSize() &&
        (a.GetPaletteSize() == 0 || std::memcmp(a.GetPalette(), b.GetPalette(), a.GetPaletteSize()) == 0))
        return SameBytes(a, b);
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            const RGBQUAD p = Shown(a, x, y), q = Shown(b, x, y);
            if (!SameRgb(p, q) || p.rgbReserved != q.rgbReserved)
                return false;
        }
    return true;
}

bool StoredPicture::Encode(const CRasterImage* picture, CString& error, std::uint64_t maxBytes)
{
    *this = StoredPicture();
    if (!picture || !picture->IsValid()) {
        // Nothing to lose: the reader takes a record without bytes as no picture.
        m_type = picture ? picture->GetType() : 0;
        return true;
    }
    m_alphaPresent = picture->AlphaIsValid() ? 1 : 0;
    m_alphaLevel = picture->AlphaGet(0, 0);
    bool tooLarge = false;
    const DWORD own = picture->GetType();
    if (own != IMAGE_FORMAT_PNG && TryFormat(*picture, own, maxBytes, tooLarge))
        return true;
    if (TryFormat(*picture, IMAGE_FORMAT_PNG, maxBytes, tooLarge))
        return true;
    error.Format(tooLarge ? "a picture of %lu x %lu pixels is too large to be stored in a maze file"
                          : "a picture of %lu x %lu pixels cannot be stored in any format",
                 static_cast<unsigned long>(picture->GetWidth()), static_cast<unsigned long>(picture->GetHeight()));
    return false;
}

bool StoredPicture::TryFormat(const CRasterImage& picture, DWORD type, std::uint64_t maxBytes, bool& tooLarge)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    {
        // Encoders may work on the picture they write (palette order, a temporary alpha plane).
        CRasterImage copy(picture, true, true, true);
        if (!copy.Encode(buffer, size, type))
            return false;
    }
    m_bytes.reset(buffer);
    m_size = std::uint64_t(size);
    m_type = type;
    bool held = m_size > 0 && m_size <= maxBytes;
    tooLarge = tooLarge || m_size > maxBytes;
    if (held) {
        const std::unique_ptr<CRasterImage> back = Decode();
        held = back && back->GetWidth() == picture.GetWidth() && back->GetHeight() == picture.GetHeight() &&
               (LossyEncoding(picture, type) || SamePicture(picture, *back));
    }
    if (!held) {
        m_bytes.reset();
        m_size = 0;
        m_type = picture.GetType();
    }
    return held;
}

void StoredPicture::Store(CArchive& ar) const
{
    ar << m_alphaPresent << m_alphaLevel << int(m_type) << LONG(m_size);
    if (m_size > 0)
        ar.Write(m_bytes.get(), UINT(m_size));
}

void StoredPicture::Load(CArchive& ar)
{
    *this = StoredPicture();
    m_alphaPresent = mze::ReadIntIn(ar, 0, 1);
    ar >> m_alphaLevel;
    m_type = DWORD(mze::ReadIntIn(ar, 0, int(IMAGE_FORMAT_COUNT) - 1));
    m_size = std::uint64_t(mze::ReadCount(ar, 1, mze::kMaxImageBytes));
    if (m_size == 0)
        return;
    m_bytes.reset(static_cast<BYTE*>(std::malloc(std::size_t(m_size))));
    if (!m_bytes)
        AfxThrowMemoryException();
    ar.EnsureRead(m_bytes.get(), UINT(m_size));
}

std::uint64_t PictureBytes(const CRasterImage& picture)
{
    if (!picture.IsValid())
        return 0;
    const std::uint64_t plane = std::uint64_t(picture.GetWidth()) * picture.GetHeight();
    // A decoded picture has no selection plane.
    return picture.GetSize() + (picture.AlphaIsValid() ? plane : 0);
}

std::uint64_t StoredPicture::DecodedBytesAtLeast() const
{
    // Formats whose decoders report the size from the header alone; the others would decode whole.
    if (m_size == 0 || (m_type != IMAGE_FORMAT_BMP && m_type != IMAGE_FORMAT_GIF && m_type != IMAGE_FORMAT_JPG &&
                        m_type != IMAGE_FORMAT_TIF))
        return 0;
    CRasterImage probe;
    probe.SetEscape(-1);
    if (!probe.Decode(m_bytes.get(), DWORD(m_size), m_type))
        return 0;
    const std::uint64_t width = probe.GetWidth(), height = probe.GetHeight();
    const DWORD bpp = probe.GetBpp() == 0 ? 1 : probe.GetBpp() <= 8 ? probe.GetBpp() : 24;
    const std::uint64_t pixels = raster::DibStride(width, bpp) * height;
    // A picture the image library refuses to make takes nothing.
    if (width == 0 || height == 0 || pixels > CRasterImage::CRASTERIMAGE_MAX_MEMORY ||
        width * height > CRasterImage::CRASTERIMAGE_MAX_MEMORY)
        return 0;
    return pixels + (m_alphaPresent ? width * height : 0);
}

std::unique_ptr<CRasterImage> StoredPicture::Decode(bool* pOutOfMemory) const
{
    if (pOutOfMemory)
        *pOutOfMemory = false;
    if (m_size == 0)
        return nullptr;
    const unsigned long failuresBefore = CRasterImage::GetAllocationFailures();
    const auto failed = [&] {
        if (pOutOfMemory)
            *pOutOfMemory = CRasterImage::GetAllocationFailures() != failuresBefore;
        return nullptr;
    };
    auto image = std::make_unique<CRasterImage>();
    if (!image->Decode(m_bytes.get(), DWORD(m_size), m_type))
        return failed();
    if (m_alphaPresent) {
        // A picture that decoded with its own alpha plane keeps it.
        if (!image->AlphaIsValid()) {
            image->AlphaCreate();
            if (!image->AlphaIsValid())
                return failed();
            image->AlphaSet(m_alphaLevel);
        }
        image->AlphaPaletteEnable(true);
    }
    return image;
}
