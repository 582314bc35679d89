#include "image/CRasterImage.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

DWORD NormaliseBpp(DWORD bpp)
{
    if (bpp <= 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    return 24;
}

LONG PixelsPerMetre(LONG dpi)
{
    double ppm = std::floor(double(dpi) * 10000.0 / 254.0 + 0.5);
    if (ppm > double(std::numeric_limits<LONG>::max()))
        return std::numeric_limits<LONG>::max();
    return LONG(ppm);
}

} // namespace

// ---------------------------------------------------------------- life cycle

CRasterImage::CRasterImage(DWORD type)
{
    Startup(type);
}

CRasterImage::CRasterImage(LONG width, LONG height, DWORD bpp, DWORD type)
{
    Startup(type);
    Create(width, height, bpp, type);
}

CRasterImage::CRasterImage(const CRasterImage& source, bool copyPixels, bool copySelection, bool copyAlpha)
{
    Startup(source.m_info.type);
    Copy(source, copyPixels, copySelection, copyAlpha);
}

CRasterImage& CRasterImage::operator=(const CRasterImage& source)
{
    if (this != &source)
        Copy(source, true, true, true);
    return *this;
}

CRasterImage::~CRasterImage()
{
    Destroy();
}

void CRasterImage::Startup(DWORD type)
{
    m_pDib = nullptr;
    m_pSelection = nullptr;
    m_pAlpha = nullptr;
    m_pLayers = nullptr;
    std::memset(&m_head, 0, sizeof m_head);
    std::memset(&m_info, 0, sizeof m_info);
    m_info.type = type;
    m_info.jpegQuality = 90;
    m_info.alphaMax = 255;
    m_info.transIndex = -1;
    m_info.enabled = true;
    SetXDPI(96);
    SetYDPI(96);
}

namespace {
thread_local unsigned long t_allocationFailures = 0;
}

void* CRasterImage::AllocatePixels(std::size_t bytes, bool zeroed)
{
    void* p = zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
    if (!p && bytes != 0)
        ++t_allocationFailures;
    return p;
}

void CRasterImage::NoteAllocationFailure() { ++t_allocationFailures; }

unsigned long CRasterImage::GetAllocationFailures() { return t_allocationFailures; }

void* CRasterImage::Create(LONG width, LONG height, DWORD bpp, DWORD type)
{
    if (!Destroy())
        return nullptr;
    if (width <= 0 || height <= 0) {
        SetLastError("CRasterImage::Create : width and height must be greater than zero");
        return nullptr;
    }
    bpp = NormaliseBpp(bpp);
    std::uint64_t stride = raster::DibStride(std::uint64_t(width), bpp);
    std::uint64_t dataSize = stride * std::uint64_t(height);
    if (dataSize > CRASTERIMAGE_MAX_MEMORY || std::uint64_t(width) * std::uint64_t(height) > CRASTERIMAGE_MAX_MEMORY) {
        SetLastError("CRASTERIMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }

    DWORD colors = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
    m_info.effWidth = DWORD(stride);
    m_info.type = type;
    m_head.biSize = sizeof(BITMAPINFOHEADER);
    m_head.biWidth = width;
    m_head.biHeight = height;
    m_head.biPlanes = 1;
    m_head.biBitCount = WORD(bpp);
    m_head.biCompression = BI_RGB;
    m_head.biSizeImage = DWORD(dataSize);
    m_head.biClrUsed = colors;
    m_head.biClrImportant = 0;

    // calloc: the palette and the pixels start zeroed, never heap garbage.
    m_pDib = AllocatePixels(GetSize(), true);
    if (!m_pDib) {
        SetLastError("CRasterImage::Create can't allocate memory");
        return nullptr;
    }
    SelectionDelete();
    AlphaDelete();
    std::memcpy(m_pDib, &m_head, sizeof m_head);
    m_info.pixels = static_cast<BYTE*>(m_pDib) + m_head.biSize + GetPaletteSize();
    return m_pDib;
}

bool CRasterImage::Destroy()
{
    if (m_info.ghostOf)
        return false;
    if (m_pLayers) {
        for (LONG i = 0; i < m_info.layerCount; ++i)
            delete m_pLayers[i];
        std::free(m_pLayers);
    }
    m_pLayers = nullptr;
    m_info.layerCount = 0;
    std::free(m_pSelection);
    m_pSelection = nullptr;
    std::free(m_pAlpha);
    m_pAlpha = nullptr;
    std::free(m_pDib);
    m_pDib = nullptr;
    m_info.pixels = nullptr;
    return true;
}

void CRasterImage::CopyInfoValues(const CRasterInfoBlock& source)
{
    if (&source == &m_info)
        return;
    BYTE* pixels = m_info.pixels;
    CRasterImage* ghostOf = m_info.ghostOf;
    LONG layerCount = m_info.layerCount;
    m_info = source;
    m_info.pixels = pixels;
    m_info.ghostOf = ghostOf;
    m_info.layerCount = layerCount;
}

void CRasterImage::Copy(const CRasterImage& source, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (this == &source || m_info.ghostOf)
        return;
    CopyInfoValues(source.m_info);
    if (!source.m_pDib) {
        Destroy();
        m_head = source.m_head;
        return;
    }
    if (!Create(source.m_head.biWidth, source.m_head.biHeight, source.m_head.biBitCount, source.m_info.type))
        return;
    m_head.biXPelsPerMeter = source.m_head.biXPelsPerMeter;
    m_head.biYPelsPerMeter = source.m_head.biYPelsPerMeter;
    if (copyPixels) {
        std::memcpy(m_pDib, source.m_pDib, GetSize());
    } else {
        std::memcpy(m_pDib, &m_head, sizeof m_head);
        if (GetPalette() && source.GetPalette())
            std::memcpy(GetPalette(), source.GetPalette(), GetPaletteSize());
    }
    m_head = *static_cast<const BITMAPINFOHEADER*>(m_pDib);
    std::size_t planeSize = std::size_t(GetWidth()) * GetHeight();
    if (copySelection && source.m_pSelection) {
        std::free(m_pSelection);
        m_pSelection = static_cast<BYTE*>(AllocatePixels(planeSize, false));
        if (m_pSelection)
            std::memcpy(m_pSelection, source.m_pSelection, planeSize);
    }
    if (copyAlpha && source.m_pAlpha) {
        std::free(m_pAlpha);
        m_pAlpha = static_cast<BYTE*>(AllocatePixels(planeSize, false));
        if (m_pAlpha)
            std::memcpy(m_pAlpha, source.m_pAlpha, planeSize);
    }
}

bool CRasterImage::Transfer(CRasterImage& from)
{
    if (this == &from)
        return true;
    // A ghost's buffers belong to another image: taking them would free them twice.
    if (from.m_info.ghostOf || !Destroy())
        return false;
    m_head = from.m_head;
    m_info = from.m_info;
    m_pDib = from.m_pDib;
    m_pSelection = from.m_pSelection;
    m_pAlpha = from.m_pAlpha;
    m_pLayers = from.m_pLayers;
    std::memset(&from.m_head, 0, sizeof from.m_head);
    std::memset(&from.m_info, 0, sizeof from.m_info);
    from.m_pDib = nullptr;
    from.m_pSelection = nullptr;
    from.m_pAlpha = nullptr;
    from.m_pLayers = nullptr;
    return true;
}

void CRasterImage::Ghost(const CRasterImage* source)
{
    if (!source || source == this)
        return;
    Destroy();
    m_head = source->m_head;
    m_info = source->m_info;
    m_pDib = source->m_pDib;
    m_pSelection = source->m_pSelection;
    m_pAlpha = source->m_pAlpha;
    m_pLayers = source->m_pLayers;
    m_info.ghostOf = const_cast<CRasterImage*>(source);
}

void CRasterImage::CopyInfo(const CRasterImage& source)
{
    if (m_pDib || this == &source)
        return;
    CopyInfoValues(source.m_info);
    m_head.biXPelsPerMeter = source.m_head.biXPelsPerMeter;
    m_head.biYPelsPerMeter = source.m_head.biYPelsPerMeter;
}

void CRasterImage::Clear(BYTE value)
{
    if (!m_pDib)
        return;
    if (m_head.biBitCount == 1 && value)
        value = 255;
    else if (m_head.biBitCount == 4)
        value = BYTE((value & 0x0F) * 17);
    std::memset(m_info.pixels, value, m_head.biSizeImage);
}

BYTE* CRasterImage::GetBits(DWORD row)
{
    if (!m_pDib)
        return nullptr;
    if (row == 0)
        return m_info.pixels;
    if (row < GetHeight())
        return m_info.pixels + std::size_t(row) * m_info.effWidth;
    return nullptr;
}

DWORD CRasterImage::GetSize() const
{
    return m_head.biSize + m_head.biSizeImage + GetPaletteSize();
}

bool CRasterImage::IsInside(LONG x, LONG y) const
{
    return x >= 0 && y >= 0 && x < m_head.biWidth && y < m_head.biHeight;
}

// ---------------------------------------------------------------- accessors

BYTE CRasterImage::GetColorType() const
{
    if (m_pAlpha)
        return 4;
    return m_head.biBitCount <= 8 ? 1 : 2;
}

void CRasterImage::SetTransColor(RGBQUAD color)
{
    color.rgbReserved = 0;
    m_info.transColor = color;
}

RGBQUAD CRasterImage::GetTransColor() const
{
    if (m_head.biBitCount == 24 || m_info.transIndex == -1)
        return m_info.transColor;
    return TransparentColorOrPalette();
}

// The palette colour of transIndex below 24 bits, the stored transparent colour at 24 bits.
RGBQUAD CRasterImage::TransparentColorOrPalette() const
{
    if (m_head.biBitCount == 24 || !GetPalette())
        return m_info.transColor;
    if (m_info.transIndex < 0 || DWORD(m_info.transIndex) >= m_head.biClrUsed)
        return RGBQUAD{0, 0, 0, 0};
    return GetPalette()[m_info.transIndex];
}

void CRasterImage::SetXDPI(LONG dpi)
{
    if (dpi <= 0)
        dpi = 96;
    m_info.xDpi = dpi;
    m_head.biXPelsPerMeter = PixelsPerMetre(dpi);
    if (m_pDib)
        static_cast<BITMAPINFOHEADER*>(m_pDib)->biXPelsPerMeter = m_head.biXPelsPerMeter;
}

void CRasterImage::SetYDPI(LONG dpi)
{
    if (dpi <= 0)
        dpi = 96;
    m_info.yDpi = dpi;
    m_head.biYPelsPerMeter = PixelsPerMetre(dpi);
    if (m_pDib)
        static_cast<BITMAPINFOHEADER*>(m_pDib)->biYPelsPerMeter = m_head.biYPelsPerMeter;
}

void CRasterImage::SetOffset(LONG x, LONG y)
{
    m_info.xOffset = x;
    m_info.yOffset = y;
}

DWORD CRasterImage::GetCodecOption(DWORD format) const
{
    if (format == 0)
        format = m_info.type;
    return format < IMAGE_FORMAT_COUNT ? m_info.codecOptions[format] : 0;
}

bool CRasterImage::SetCodecOption(DWORD option, DWORD format)
{
    if (format == 0)
        format = m_info.type;
    if (format >= IMAGE_FORMAT_COUNT)
        return false;
    m_info.codecOptions[format] = option;
    return true;
}

void CRasterImage::SetLastError(const char* text)
{
    if (text == m_info.lastError)
        return;
    if (!text)
        text = "";
    std::size_t n = std::strlen(text);
    if (n > sizeof m_info.lastError - 1)
        n = sizeof m_info.lastError - 1;
    std::memmove(m_info.lastError, text, n);
    m_info.lastError[n] = 0;
}

bool CRasterImage::EncodeSafeCheck(CRasterFile* stream)
{
    if (!stream) {
        SetLastError("null file handler");
        return true;
    }
    if (!m_pDib) {
        SetLastError("null image!!!");
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- alpha plane

void CRasterImage::AlphaCreate()
{
    if (m_pAlpha || !m_pDib)
        return;
    std::size_t n = std::size_t(GetWidth()) * GetHeight();
    m_pAlpha = static_cast<BYTE*>(AllocatePixels(n, false));
    if (m_pAlpha)
        std::memset(m_pAlpha, 255, n);
}

void CRasterImage::AlphaDelete()
{
    std::free(m_pAlpha);
    m_pAlpha = nullptr;
}

void CRasterImage::AlphaSet(BYTE level)
{
    if (m_pAlpha)
        std::memset(m_pAlpha, level, std::size_t(GetWidth()) * GetHeight());
}

void CRasterImage::AlphaSet(LONG x, LONG y, BYTE level)
{
    if (m_pAlpha && IsInside(x, y))
        m_pAlpha[std::size_t(x) + std::size_t(y) * GetWidth()] = level;
}

BYTE CRasterImage::AlphaGet(LONG x, LONG y) const
{
    if (m_pAlpha && IsInside(x, y))
        return m_pAlpha[std::size_t(x) + std::size_t(y) * GetWidth()];
    return 0;
}

BYTE* CRasterImage::AlphaGetPointer(LONG x, LONG y)
{
    if (m_pAlpha && IsInside(x, y))
        return m_pAlpha + std::size_t(x) + std::size_t(y) * GetWidth();
    return nullptr;
}

bool CRasterImage::AlphaPaletteIsValid() const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (DWORD i = 0; i < m_head.biClrUsed; ++i)
        if (pal[i].rgbReserved)
            return true;
    return false;
}

bool CRasterImage::AlphaCopy(const CRasterImage& from)
{
    if (!from.m_pAlpha || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight())
        return false;
    if (&from == this)
        return true;
    std::size_t n = std::size_t(GetWidth()) * GetHeight();
    if (!m_pAlpha)
        m_pAlpha = static_cast<BYTE*>(AllocatePixels(n, false));
    if (!m_pAlpha)
        return false;
    std::memcpy(m_pAlpha, from.m_pAlpha, n);
    m_info.alphaMax = from.m_info.alphaMax;
    return true;
}

namespace {

// Replaces a plane of w x h bytes by one that fill(newPlane, oldPlane) builds; false without memory.
template <class Fill>
bool RebuildPlane(BYTE*& plane, std::size_t w, std::size_t h, Fill fill)
{
    if (!plane)
        return false;
    BYTE* rebuilt = static_cast<BYTE*>(CRasterImage::AllocatePixels(w * h, false));
    if (!rebuilt)
        return false;
    fill(rebuilt, plane);
    std::free(plane);
    plane = rebuilt;
    return true;
}

} // namespace

bool CRasterImage::AlphaFlip()
{
    const std::size_t w = GetWidth(), h = GetHeight();
    return RebuildPlane(m_pAlpha, w, h, [&](BYTE* to, const BYTE* from) {
        for (std::size_t y = 0; y < h; ++y)
            std::memcpy(to + y * w, from + (h - 1 - y) * w, w);
    });
}

bool CRasterImage::AlphaMirror()
{
    const std::size_t w = GetWidth(), h = GetHeight();
    return RebuildPlane(m_pAlpha, w, h, [&](BYTE* to, const BYTE* from) {
        for (std::size_t y = 0; y < h; ++y)
            for (std::size_t x = 0; x < w; ++x)
                to[y * w + x] = from[y * w + (w - 1 - x)];
    });
}

// ---------------------------------------------------------------- palette

RGBQUAD* CRasterImage::GetPalette() const
{
    if (!m_pDib || m_head.biClrUsed == 0)
        return nullptr;
    return reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(m_pDib) + m_head.biSize);
}

RGBQUAD CRasterImage::GetPaletteColor(BYTE index) const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal || index >= m_head.biClrUsed)
        return RGBQUAD{0, 0, 0, 0};
    return pal[index];
}

bool CRasterImage::GetPaletteColor(BYTE index, BYTE* red, BYTE* green, BYTE* blue) const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal || index >= m_head.biClrUsed)
        return false;
    if (red)
        *red = pal[index].rgbRed;
    if (green)
        *green = pal[index].rgbGreen;
    if (blue)
        *blue = pal[index].rgbBlue;
    return true;
}

void CRasterImage::SetPaletteColor(BYTE index, BYTE red, BYTE green, BYTE blue, BYTE alpha)
{
    SetPaletteColor(index, RGBQUAD{blue, green, red, alpha});
}

void CRasterImage::SetPaletteColor(BYTE index, RGBQUAD color)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || index >= m_head.biClrUsed)
        return;
    pal[index] = color;
    m_info.lastColorValid = false;
}

void CRasterImage::SetPalette(const RGBQUAD* entries, DWORD count)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || !entries)
        return;
    std::uint64_t n = std::uint64_t(count) * sizeof(RGBQUAD);
    if (n > GetPaletteSize())
        n = GetPaletteSize();
    std::memmove(pal, entries, std::size_t(n));
    m_info.lastColorValid = false;
}

void CRasterImage::SetPalette(DWORD count, const BYTE* reds, const BYTE* greens, const BYTE* blues)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || !reds)
        return;
    if (!greens)
        greens = reds;
    if (!blues)
        blues = greens;
    DWORD n = count < m_head.biClrUsed ? count : m_head.biClrUsed;
    for (DWORD i = 0; i < n; ++i)
        pal[i] = RGBQUAD{blues[i], greens[i], reds[i], 0};
    m_info.lastColorValid = false;
}

void CRasterImage::SetPalette(const RgbColor* colors, DWORD count)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || !colors)
        return;
    DWORD n = count < m_head.biClrUsed ? count : m_head.biClrUsed;
    for (DWORD i = 0; i < n; ++i)
        pal[i] = RGBQUAD{colors[i].b, colors[i].g, colors[i].r, 0};
    m_info.lastColorValid = false;
}

void CRasterImage::SetGrayPalette()
{
    RGBQUAD* pal = GetPalette();
    DWORD n = m_head.biClrUsed;
    if (!pal || n < 2)
        return;
    for (DWORD i = 0; i < n; ++i) {
        BYTE v = BYTE(i * (255 / (n - 1)));
        pal[i] = RGBQUAD{v, v, v, 0};
    }
    m_info.lastColorValid = false;
}

bool CRasterImage::IsGrayScale() const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (DWORD i = 0; i < m_head.biClrUsed; ++i)
        if (pal[i].rgbBlue != i || pal[i].rgbGreen != i || pal[i].rgbRed != i)
            return false;
    return true;
}

void CRasterImage::SwapIndex(BYTE a, BYTE b)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || a >= m_head.biClrUsed || b >= m_head.biClrUsed || a == b)
        return;
    RGBQUAD t = pal[a];
    pal[a] = pal[b];
    pal[b] = t;
    m_info.lastColorValid = false;
    LONG w = m_head.biWidth, h = m_head.biHeight;
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            BYTE i = BlindGetPixelIndex(x, y);
            if (i == a)
                BlindSetPixelIndex(x, y, b);
            else if (i == b)
                BlindSetPixelIndex(x, y, a);
        }
}

// ---------------------------------------------------------------- pixels

BYTE CRasterImage::GetPixelIndex(LONG x, LONG y) const
{
    if (!m_pDib || m_head.biClrUsed == 0)
        return 0;
    if (!IsInside(x, y))
        return m_info.transIndex != -1 ? BYTE(m_info.transIndex) : m_info.pixels[0];
    return BlindGetPixelIndex(x, y);
}

BYTE CRasterImage::BlindGetPixelIndex(LONG x, LONG y) const
{
    const BYTE* row = m_info.pixels + std::size_t(y) * m_info.effWidth;
    switch (m_head.biBitCount) {
    case 8: return row[x];
    case 4: return BYTE((row[x >> 1] >> (4 * (1 - (x & 1)))) & 0x0F);
    case 1: return BYTE((row[x >> 3] >> (7 - (x & 7))) & 1);
    default: return 0;
    }
}

void CRasterImage::BlindSetPixelIndex(LONG x, LONG y, BYTE index)
{
    BYTE* row = m_info.pixels + std::size_t(y) * m_info.effWidth;
    switch (m_head.biBitCount) {
    case 8: row[x] = index; break;
    case 4: {
        int shift = 4 * (1 - (x & 1));
        BYTE& b = row[x >> 1];
        b = BYTE((b & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        break;
    }
    case 1: {
        BYTE mask = BYTE(0x80 >> (x & 7));
        BYTE& b = row[x >> 3];
        b = (index & 1) ? BYTE(b | mask) : BYTE(b & ~mask);
        break;
    }
    default: break;
    }
}

void CRasterImage::SetPixelIndex(LONG x, LONG y, BYTE index)
{
    if (!m_pDib || m_head.biClrUsed == 0 || !IsInside(x, y))
        return;
    BlindSetPixelIndex(x, y, index);
}

RGBQUAD CRasterImage::GetPixelColor(LONG x, LONG y, bool withAlpha) const
{
    if (!m_pDib || !IsInside(x, y)) {
        if (m_info.transIndex >= 0)
            return TransparentColorOrPalette();
        if (m_pDib)
            return GetPixelColor(0, 0, withAlpha);
        return m_info.transColor;
    }
    RGBQUAD c;
    if (m_head.biClrUsed) {
        c = GetPaletteColor(BlindGetPixelIndex(x, y));
    } else {
        const BYTE* p = m_info.pixels + std::size_t(y) * m_info.effWidth + std::size_t(x) * 3;
        c = RGBQUAD{p[0], p[1], p[2], m_info.transColor.rgbReserved};
    }
    if (m_pAlpha && withAlpha)
        c.rgbReserved = BlindAlphaGet(x, y);
    return c;
}

RGBQUAD CRasterImage::BlindGetPixelColor(LONG x, LONG y) const
{
    RGBQUAD c;
    if (m_head.biClrUsed) {
        c = GetPalette()[BlindGetPixelIndex(x, y)];
    } else {
        const BYTE* p = m_info.pixels + std::size_t(y) * m_info.effWidth + std::size_t(x) * 3;
        c = RGBQUAD{p[0], p[1], p[2], 0};
    }
    c.rgbReserved = m_pAlpha ? BlindAlphaGet(x, y) : 0;
    return c;
}

void CRasterImage::BlindSetPixelColor(LONG x, LONG y, RGBQUAD color, bool setAlpha)
{
    if (m_head.biClrUsed) {
        BlindSetPixelIndex(x, y, GetNearestIndex(color));
        return;
    }
    BYTE* p = m_info.pixels + std::size_t(y) * m_info.effWidth + std::size_t(x) * 3;
    p[0] = color.rgbBlue;
    p[1] = color.rgbGreen;
    p[2] = color.rgbRed;
    if (setAlpha && m_pAlpha)
        m_pAlpha[std::size_t(x) + std::size_t(y) * GetWidth()] = color.rgbReserved;
}

void CRasterImage::SetPixelColor(LONG x, LONG y, RGBQUAD color, bool setAlpha)
{
    if (!m_pDib || !IsInside(x, y))
        return;
    BlindSetPixelColor(x, y, color, setAlpha);
}

void CRasterImage::SetPixelColor(LONG x, LONG y, COLORREF color)
{
    SetPixelColor(x, y, RGBtoRGBQUAD(color), false);
}

BYTE* CRasterImage::GetPixelPointer(LONG x, LONG y)
{
    if (!m_pDib || m_head.biClrUsed || !IsInside(x, y))
        return nullptr;
    return m_info.pixels + std::size_t(y) * m_info.effWidth + std::size_t(x) * 3;
}

BYTE CRasterImage::GetNearestIndex(RGBQUAD color)
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return 0;
    if (m_info.lastColorValid && std::memcmp(&m_info.lastColor, &color, sizeof color) == 0)
        return m_info.lastColorIndex;
    m_info.lastColor = color;
    m_info.lastColorValid = true;

    DWORD m = m_head.biClrImportant ? m_head.biClrImportant : m_head.biClrUsed;
    if (m > m_head.biClrUsed)
        m = m_head.biClrUsed;
    long best = 200000;
    DWORD bestIndex = 0;
    for (DWORD i = 0; i < m; ++i) {
        long db = long(pal[i].rgbBlue) - color.rgbBlue;
        long dg = long(pal[i].rgbGreen) - color.rgbGreen;
        long dr = long(pal[i].rgbRed) - color.rgbRed;
        long d = dg * dg + db * db + dr * dr;
        if (d < best) {
            best = d;
            bestIndex = i;
            if (d == 0)
                break;
        }
    }
    m_info.lastColorIndex = BYTE(bestIndex);
    return m_info.lastColorIndex;
}

void CRasterImage::RGBtoBGR(BYTE* buffer, LONG length) const
{
    if (!buffer || length <= 0 || m_head.biBitCount != 24)
        return;
    DWORD n = DWORD(length) < m_info.effWidth ? DWORD(length) : m_info.effWidth;
    for (DWORD i = 0; i + 2 < n; i += 3) {
        BYTE t = buffer[i];
        buffer[i] = buffer[i + 2];
        buffer[i + 2] = t;
    }
}

RGBQUAD CRasterImage::RGBtoRGBQUAD(COLORREF color)
{
    return RGBQUAD{BYTE((color >> 16) & 0xFF), BYTE((color >> 8) & 0xFF), BYTE(color & 0xFF), 0};
}

// ---------------------------------------------------------------- for codecs

namespace {

// One bit-field channel: how to bring the masked value's top bit to bit 7.
struct Channel {
    DWORD mask;
    int shift; // > 0: shift right, < 0: shift left

    static Channel Of(DWORD mask)
    {
        int top = 31;
        while (top >= 0 && !(mask & (1u << top)))
            --top;
        return Channel{mask, top - 7};
    }
    BYTE Apply(DWORD w) const
    {
        DWORD v = w & mask;
        return BYTE(shift >= 0 ? (v >> shift) : (v << -shift));
    }
};

} // namespace

void CRasterImage::Bitfield2RGB(const BYTE* src, DWORD srcSize, DWORD redMask, DWORD greenMask, DWORD blueMask,
                                BYTE bpp)
{
    if (!src || !m_pDib || m_head.biBitCount != 24)
        return;
    const std::size_t w = GetWidth(), h = GetHeight();
    if (bpp == 16) {
        redMask &= 0xFFFF;
        greenMask &= 0xFFFF;
        blueMask &= 0xFFFF;
        // Empty or overlapping masks cannot describe a pixel; read such files as 5-5-5.
        if (!redMask || !greenMask || !blueMask || (redMask & greenMask) || (redMask & blueMask) ||
            (greenMask & blueMask)) {
            redMask = 0x7C00;
            greenMask = 0x03E0;
            blueMask = 0x001F;
        }
        const Channel r = Channel::Of(redMask), g = Channel::Of(greenMask), b = Channel::Of(blueMask);
        const std::size_t srcStride = ((w + 1) / 2) * 4;
        const std::size_t rows = srcStride ? (srcSize / srcStride < h ? srcSize / srcStride : h) : 0;
        // Last row and last pixel first: the 24-bit result is never behind its source, so src may be
        // this image's own block.
        for (std::size_t y = rows; y-- > 0;) {
            const BYTE* s = src + y * srcStride;
            BYTE* d = m_info.pixels + y * m_info.effWidth;
            for (std::size_t x = w; x-- > 0;) {
                DWORD word = DWORD(s[2 * x]) | (DWORD(s[2 * x + 1]) << 8);
                BYTE rb = r.Apply(word), gb = g.Apply(word), bb = b.Apply(word);
                d[3 * x] = bb;
                d[3 * x + 1] = gb;
                d[3 * x + 2] = rb;
            }
        }
    } else if (bpp == 32) {
        const std::size_t srcStride = w * 4;
        const std::size_t rows = srcSize / srcStride < h ? srcSize / srcStride : h;
        // First row first: the 24-bit result never overtakes its 32-bit source.
        for (std::size_t y = 0; y < rows; ++y) {
            const BYTE* s = src + y * srcStride;
            BYTE* d = m_info.pixels + y * m_info.effWidth;
            for (std::size_t x = 0; x < w; ++x) {
                d[3 * x] = s[4 * x];
                d[3 * x + 1] = s[4 * x + 1];
                d[3 * x + 2] = s[4 * x + 2];
            }
        }
    }
}

LONG CRasterImage::CompareColors(const void* a, const void* b)
{
    auto gray = [](const RGBQUAD* c) {
        return LONG((306 * c->rgbRed + 601 * c->rgbGreen + 117 * c->rgbBlue) >> 10);
    };
    return gray(static_cast<const RGBQUAD*>(a)) - gray(static_cast<const RGBQUAD*>(b));
}

// ---------------------------------------------------------------- row iterator

CRasterRowIterator::CRasterRowIterator(CRasterImage* image) : m_image(image)
{
    m_pRow = image ? image->GetBits(0) : nullptr;
}

BYTE* CRasterRowIterator::SetY(LONG y)
{
    if (m_image && y >= 0 && y < LONG(m_image->GetHeight()) && m_image->IsValid()) {
        m_y = y;
        m_pRow = m_image->m_info.pixels + std::size_t(y) * m_image->m_info.effWidth;
    }
    return m_pRow;
}

void CRasterRowIterator::Upset()
{
    m_x = 0;
    m_y = m_image ? LONG(m_image->GetHeight()) - 1 : -1;
    m_pRow = (m_image && m_image->IsValid() && m_y >= 0)
                 ? m_image->m_info.pixels + std::size_t(m_y) * m_image->m_info.effWidth
                 : nullptr;
}

bool CRasterRowIterator::ItOK() const
{
    return m_image && m_pRow && m_y >= 0 && m_y < LONG(m_image->GetHeight());
}

void CRasterRowIterator::SetRow(const BYTE* bytes, LONG length)
{
    if (!ItOK() || !bytes || length <= 0)
        return;
    DWORD n = DWORD(length) < m_image->GetEffWidth() ? DWORD(length) : m_image->GetEffWidth();
    std::memcpy(m_pRow, bytes, n);
}

void CRasterRowIterator::GetRow(BYTE* bytes, LONG length) const
{
    if (!ItOK() || !bytes || length <= 0)
        return;
    DWORD n = DWORD(length) < m_image->GetEffWidth() ? DWORD(length) : m_image->GetEffWidth();
    std::memcpy(bytes, m_pRow, n);
}

bool CRasterRowIterator::PrevRow()
{
    if (!m_image || m_y <= 0) {
        m_y = -1;
        m_pRow = nullptr;
        return false;
    }
    SetY(m_y - 1);
    return true;
}

bool CRasterRowIterator::NextRow()
{
    if (!m_image || m_y + 1 >= LONG(m_image->GetHeight())) {
        m_pRow = nullptr;
        m_y = m_image ? LONG(m_image->GetHeight()) : 0;
        return false;
    }
    SetY(m_y + 1);
    return true;
}
