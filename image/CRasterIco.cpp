#include "image/CRasterIco.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <cstring>
#include <vector>

namespace {

const char kCantSave[] = "Can't save this image as icon";
const char kWriteError[] = "ICO write error";

constexpr DWORD kDirectorySize = 6;
constexpr DWORD kEntrySize = 16;

struct IconEntry {
    BYTE width, height, colorCount;
    DWORD bytes, offset;
};

void Put16(std::vector<BYTE>& v, DWORD x)
{
    v.push_back(BYTE(x));
    v.push_back(BYTE(x >> 8));
}

void Put32(std::vector<BYTE>& v, DWORD x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

DWORD MaskRowBytes(DWORD width)
{
    return ((width + 31) / 32) * 4;
}

} // namespace

CRasterImageICO::CRasterImageICO() : CRasterImage(IMAGE_FORMAT_ICO) {}

bool DecodeIco(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageICO>(stream, true);
}

bool EncodeIco(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageICO>(stream);
}

bool CRasterImageICO::Decode(CRasterFile* stream)
{
    if (!stream)
        return false;
    const LONG start = stream->Tell();
    BYTE dir[kDirectorySize];
    if (!raster::ReadExact(*stream, dir, sizeof dir))
        return false;
    const WORD reserved = WORD(dir[0] | (dir[1] << 8)), type = WORD(dir[2] | (dir[3] << 8));
    const WORD count = WORD(dir[4] | (dir[5] << 8));
    if (reserved != 0 || (type != 1 && type != 2))
        return false;
    m_info.frameCount = count;
    if (m_info.frame < 0 || m_info.frame >= LONG(count))
        return false;

    // Only the entries up to the wanted one are needed.
    IconEntry entry{};
    for (LONG i = 0; i <= m_info.frame; ++i) {
        BYTE e[kEntrySize];
        if (!raster::ReadExact(*stream, e, sizeof e))
            return false;
        raster::ByteCursor c(e, sizeof e);
        entry.width = c.u8();
        entry.height = c.u8();
        entry.colorCount = c.u8();
        c.skip(5);
        entry.bytes = c.u32le();
        entry.offset = c.u32le();
    }
    const std::int64_t at = std::int64_t(start) + entry.offset;
    if (at > 0x7FFFFFFF || !stream->Seek(LONG(at), SEEK_SET))
        return false;
    BITMAPINFOHEADER bih;
    if (!raster::ReadExact(*stream, &bih, sizeof bih))
        return false;
    // A usable header: at least the 40-byte form (an embedded PNG starts otherwise) and a depth the
    // pixel layout below knows.
    const DWORD bits = bih.biBitCount;
    if (bih.biSize < sizeof bih || bih.biSize > 0x10000 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return false;
    if (bih.biSize > sizeof bih)
        stream->Seek(LONG(bih.biSize - sizeof bih), SEEK_CUR);

    const LONG width = entry.width, height = entry.height;
    if (!Create(width, height, bits, IMAGE_FORMAT_ICO))
        return false;
    // Transparency comes from this icon's mask only, never from the image decoded before.
    m_info.transIndex = -1;
    m_info.transColor = RGBQUAD{0, 0, 0, 0};

    // Palette: a header that names fewer colours than the depth holds stores only those.
    if (RGBQUAD* pal = GetPalette()) {
        DWORD n = GetNumColors();
        if (bih.biClrUsed > 0 && bih.biClrUsed < n)
            n = bih.biClrUsed;
        raster::ReadExact(*stream, pal, std::size_t(n) * 4);
        m_info.lastColorValid = false;
    }

    if (bits <= 24) {
        stream->Read(m_info.pixels, 1, m_head.biSizeImage);
    } else {
        const std::size_t n = std::size_t(width) * std::size_t(height) * 4;
        std::vector<BYTE> buffer(n);
        stream->Read(buffer.data(), 1, DWORD(n));
        AlphaCreate();
        if (!AlphaIsValid())
            return false;
        for (LONG y = 0; y < height; ++y) {
            BYTE* px = GetBits(DWORD(y));
            BYTE* a = AlphaGetPointer(0, y);
            const BYTE* src = &buffer[std::size_t(y) * std::size_t(width) * 4];
            for (LONG x = 0; x < width; ++x) {
                px[x * 3] = src[x * 4];
                px[x * 3 + 1] = src[x * 4 + 1];
                px[x * 3 + 2] = src[x * 4 + 2];
                a[x] = src[x * 4 + 3];
            }
        }
    }

    const DWORD m = MaskRowBytes(DWORD(width));
    std::vector<BYTE> mask(std::size_t(m) * std::size_t(height));
    if (!raster::ReadExact(*stream, mask.data(), mask.size()))
        return true;
    ApplyMask(mask.data(), m, bits);
    return true;
}

void CRasterImageICO::ApplyMask(const BYTE* mask, DWORD rowBytes, DWORD bits)
{
    const LONG width = LONG(GetWidth()), height = LONG(GetHeight());
    const std::size_t size = std::size_t(rowBytes) * std::size_t(height);
    bool allSet = true;
    for (std::size_t i = 0; i < size && allSet; ++i)
        allSet = mask[i] == 0xFF;
    if (allSet) {
        m_info.transIndex = 0;
        Negative();
        return;
    }
    auto masked = [&](LONG x, LONG y) {
        return (mask[std::size_t(y) * rowBytes + std::size_t(x) / 8] & (0x80u >> (x % 8))) != 0;
    };

    bool alphaNeeded = AlphaIsValid();
    if (!alphaNeeded)
        AlphaCreate();
    LONG maskedCount = 0;
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x)
            if (masked(x, y)) {
                AlphaSet(x, y, 0);
                alphaNeeded = true;
                ++maskedCount;
            }
    if (!alphaNeeded)
        AlphaDelete();

    // A transparent colour only when some pixel is masked; otherwise an unmasked colour (black in a
    // zeroed transColor) would turn transparent.
    if (bits == 24 && maskedCount > 0) {
        bool first = true, same = true;
        RGBQUAD colour{};
        for (LONG y = 0; y < height && same; ++y)
            for (LONG x = 0; x < width && same; ++x) {
                if (!masked(x, y))
                    continue;
                const RGBQUAD c = GetPixelColor(x, y, false);
                if (first) {
                    colour = c;
                    first = false;
                } else if (c.rgbBlue != colour.rgbBlue || c.rgbGreen != colour.rgbGreen || c.rgbRed != colour.rgbRed) {
                    same = false;
                }
            }
        if (same) {
            SetTransColor(colour);
            m_info.transIndex = 0;
            AlphaDelete();
        }
    } else if (bits <= 8) {
        bool used[256] = {};
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x)
                used[BlindGetPixelIndex(x, y)] = true;
        LONG freeIndex = -1;
        for (DWORD i = 0; i < GetNumColors(); ++i)
            if (!used[i]) {
                freeIndex = LONG(i);
                break;
            }
        if (freeIndex >= 0) {
            bool painted = false;
            for (LONG y = 0; y < height; ++y)
                for (LONG x = 0; x < width; ++x)
                    if (masked(x, y)) {
                        BlindSetPixelIndex(x, y, BYTE(freeIndex));
                        painted = true;
                    }
            if (painted)
                m_info.transIndex = freeIndex;
            AlphaDelete();
        }
    }
}

bool CRasterImageICO::Encode(CRasterFile* stream)
{
    if (EncodeSafeCheck(stream))
        return false;
    const DWORD width = GetWidth(), height = GetHeight();
    if (width > 255 || height > 255) {
        SetLastError(kCantSave);
        return false;
    }
    const RGBQUAD* pal = GetPalette();
    if (GetBpp() <= 8 && !pal)
        return false;
    const DWORD m = MaskRowBytes(width), maskSize = m * height;
    const bool argb = AlphaIsValid() && !pal;
    const DWORD bits = argb ? 32 : GetBpp();
    const DWORD pixelBytes = argb ? width * height * 4 : m_head.biSizeImage;
    const DWORD colors = GetNumColors();

    std::vector<BYTE> out;
    out.reserve(22 + 40 + colors * 4 + pixelBytes + maskSize);
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(BYTE(width));
    out.push_back(BYTE(height));
    out.push_back(BYTE(colors));
    out.push_back(0);
    Put16(out, 0);
    Put16(out, bits);
    Put32(out, pixelBytes + colors * 4 + maskSize + 40);
    Put32(out, 22);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height * 2);
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);
    Put32(out, pixelBytes);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    if (pal)
        out.insert(out.end(), reinterpret_cast<const BYTE*>(pal), reinterpret_cast<const BYTE*>(pal) + colors * 4);
    if (argb) {
        for (DWORD y = 0; y < height; ++y) {
            const BYTE* px = GetBits(y);
            for (DWORD x = 0; x < width; ++x) {
                out.insert(out.end(), px + x * 3, px + x * 3 + 3);
                out.push_back(BlindAlphaGet(LONG(x), LONG(y)));
            }
        }
    } else {
        out.insert(out.end(), m_info.pixels, m_info.pixels + pixelBytes);
    }

    const bool paletteAlpha = AlphaPaletteIsValid();
    const bool transparent = m_info.transIndex != -1;
    const RGBQUAD trans = GetTransColor();
    const std::size_t maskAt = out.size();
    out.resize(maskAt + maskSize, 0);
    for (DWORD y = 0; y < height; ++y)
        for (DWORD x = 0; x < width; ++x) {
            bool bit = AlphaIsValid() && BlindAlphaGet(LONG(x), LONG(y)) == 0;
            if (!bit && paletteAlpha)
                bit = GetPixelColor(LONG(x), LONG(y), true).rgbReserved == 0;
            if (!bit && transparent) {
                const RGBQUAD c = GetPixelColor(LONG(x), LONG(y), false);
                bit = c.rgbBlue == trans.rgbBlue && c.rgbGreen == trans.rgbGreen && c.rgbRed == trans.rgbRed;
            }
            if (bit)
                out[maskAt + y * m + x / 8] |= BYTE(0x80u >> (x % 8));
        }
    // A failed write is reported: a document must not be saved with a truncated image.
    if (stream->Write(out.data(), 1, DWORD(out.size())) != out.size()) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}
