#include "image/CRasterTga.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <cstring>
#include <vector>

namespace {

const char kNotTga[] = "Not a TGA";
const char kUnknownType[] = "Unknown TGA image type";
const char kBadHeader[] = "bad TGA header";
const char kCreateFailed[] = "TGA Create failed";
const char kCancelled[] = "Cancelled";
const char kCorrupted[] = "corrupted TGA";
const char kBadDepth[] = "Bit depth must be 8 or 24";
const char kTooLarge[] = "Can't save this image as TGA";
const char kWriteError[] = "TGA write error";

constexpr BYTE kNoLeftover = 255;

bool ParseHeader(const BYTE* b, TgaHeader& h)
{
    raster::ByteCursor c(b, 18);
    h.idLength = c.u8();
    h.colorMapType = c.u8();
    h.imageType = c.u8();
    h.colorMapFirst = c.u16le();
    h.colorMapLength = c.u16le();
    h.colorMapEntrySize = c.u8();
    h.xOrigin = c.u16le();
    h.yOrigin = c.u16le();
    h.width = c.u16le();
    h.height = c.u16le();
    h.pixelDepth = c.u8();
    h.descriptor = c.u8();
    return c.ok();
}

// 15- and 16-bit pixels: five bits each of blue, green, red; the top bit is ignored.
void Decode555(WORD w, BYTE* bgr)
{
    bgr[0] = BYTE((w & 0x1F) << 3);
    bgr[1] = BYTE((w >> 2) & 0xF8);
    bgr[2] = BYTE((w >> 7) & 0xF8);
}

} // namespace

CRasterImageTGA::CRasterImageTGA() : CRasterImage(IMAGE_FORMAT_TGA) {}

bool DecodeTga(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageTGA>(stream);
}

bool EncodeTga(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageTGA>(stream);
}

bool CRasterImageTGA::ReadPixel(BYTE* dest, const TgaHeader& header, CRasterFile* stream, BYTE& alpha)
{
    BYTE b[4] = {};
    switch (header.pixelDepth) {
    case 8:
        if (!raster::ReadExact(*stream, b, 1))
            return false;
        dest[0] = b[0];
        return true;
    case 15:
    case 16:
        if (!raster::ReadExact(*stream, b, 2))
            return false;
        Decode555(WORD(b[0] | (b[1] << 8)), dest);
        return true;
    case 24:
        if (!raster::ReadExact(*stream, b, 3))
            return false;
        std::memcpy(dest, b, 3);
        return true;
    default:
        if (!raster::ReadExact(*stream, b, 4))
            return false;
        std::memcpy(dest, b, 3);
        alpha = b[3];
        return true;
    }
}

void CRasterImageTGA::ExpandUncompressedLine(BYTE* dest, const TgaHeader& header, CRasterFile* stream, LONG count,
                                             LONG row, LONG firstColumn)
{
    if (!dest || !stream || count <= 0)
        return;
    const int fileBytes = header.pixelDepth == 8 ? 1 : header.pixelDepth == 24 ? 3 : header.pixelDepth == 32 ? 4 : 2;
    // Whole rows at 8 and 24 bits are already in the image's layout.
    if (fileBytes == 1 || fileBytes == 3) {
        stream->Read(dest, 1, DWORD(count) * DWORD(fileBytes));
        return;
    }
    std::vector<BYTE> buffer(std::size_t(count) * std::size_t(fileBytes));
    const DWORD got = stream->Read(buffer.data(), 1, DWORD(buffer.size())) / DWORD(fileBytes);
    for (DWORD i = 0; i < got; ++i) {
        const BYTE* p = &buffer[std::size_t(i) * fileBytes];
        BYTE* d = dest + std::size_t(i) * 3;
        if (fileBytes == 2) {
            Decode555(WORD(p[0] | (p[1] << 8)), d);
        } else {
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
            AlphaSet(firstColumn + LONG(i), row, p[3]);
        }
    }
}

BYTE CRasterImageTGA::ExpandCompressedLine(BYTE* dest, const TgaHeader& header, CRasterFile* stream, LONG width,
                                           LONG row, BYTE leftover)
{
    const std::size_t step = GetBpp() == 24 ? 3 : 1;
    LONG x = 0;
    while (x < width) {
        LONG h;
        if (leftover != kNoLeftover) {
            h = leftover;
            leftover = kNoLeftover;
        } else {
            h = stream->GetC();
            if (h < 0)
                break; // the data ends inside the row: the rest keeps what Create left
        }
        LONG n;
        if (h & 0x80) {
            n = h - 127;
            LONG resume = -1;
            if (x + n > width) {
                leftover = BYTE(h + x - width);
                resume = stream->Tell();
                n = width - x;
            }
            BYTE value[3] = {};
            BYTE alpha = 255;
            if (!ReadPixel(value, header, stream, alpha))
                break;
            for (LONG i = 0; i < n; ++i) {
                std::memcpy(dest + std::size_t(i) * step, value, step);
                if (header.pixelDepth == 32)
                    AlphaSet(x + i, row, alpha);
            }
            // The rest of the run belongs to the next row, which reads the same value again.
            if (resume >= 0)
                stream->Seek(resume, SEEK_SET);
        } else {
            n = h + 1;
            if (x + n > width) {
                leftover = BYTE(h + x - width);
                n = width - x;
            }
            ExpandUncompressedLine(dest, header, stream, n, row, x);
        }
        dest += std::size_t(n) * step;
        x += n;
    }
    return leftover;
}

bool CRasterImageTGA::Decode(CRasterFile* stream)
{
    if (!stream)
        return false;
    BYTE raw[18];
    TgaHeader h;
    if (!raster::ReadExact(*stream, raw, sizeof raw) || !ParseHeader(raw, h)) {
        SetLastError(kNotTga);
        return false;
    }
    bool compressed;
    switch (h.imageType) {
    case 1: case 2: case 3: compressed = false; break;
    case 9: case 10: case 11: compressed = true; break;
    default: SetLastError(kUnknownType); return false;
    }
    const bool validDepth = h.pixelDepth == 8 || h.pixelDepth == 15 || h.pixelDepth == 16 || h.pixelDepth == 24 ||
                            h.pixelDepth == 32;
    if (h.width == 0 || h.height == 0 || h.pixelDepth == 0 || h.colorMapLength > 256 || !validDepth) {
        SetLastError(kBadHeader);
        return false;
    }
    // Colour-mapped and grey pixels are 8-bit indexes here; a colour-mapped file needs its map, and a
    // map must have an entry size this reader knows, or the pixels after it would be read from the
    // wrong place.
    const BYTE base = BYTE(h.imageType & 7);
    const bool mapEntryKnown = h.colorMapEntrySize == 15 || h.colorMapEntrySize == 16 ||
                               h.colorMapEntrySize == 24 || h.colorMapEntrySize == 32;
    if ((base != 2 && h.pixelDepth != 8) || (base == 1 && (h.colorMapType == 0 || h.colorMapLength == 0)) ||
        (h.colorMapType != 0 && h.colorMapLength != 0 && !mapEntryKnown)) {
        SetLastError(kBadHeader);
        return false;
    }
    if (h.idLength)
        stream->Seek(h.idLength, SEEK_CUR);

    if (!Create(h.width, h.height, h.pixelDepth, IMAGE_FORMAT_TGA)) {
        SetLastError(kCreateFailed);
        return false;
    }
    if (h.pixelDepth == 32) {
        AlphaCreate();
        if (!AlphaIsValid()) {
            SetLastError(kCreateFailed);
            return false;
        }
    }
    if (m_info.escape) {
        SetLastError(kCancelled);
        return false;
    }

    if (h.colorMapType != 0 && h.colorMapLength != 0) {
        const DWORD entryBytes = (h.colorMapEntrySize + 7u) / 8u;
        std::vector<BYTE> map(std::size_t(h.colorMapLength) * entryBytes);
        raster::ReadExact(*stream, map.data(), map.size());
        for (DWORD i = 0; i < h.colorMapLength && i < GetNumColors(); ++i) {
            const BYTE* e = &map[i * entryBytes];
            BYTE bgr[3];
            if (entryBytes == 2)
                Decode555(WORD(e[0] | (e[1] << 8)), bgr);
            else
                std::memcpy(bgr, e, 3);
            SetPaletteColor(BYTE(i), bgr[2], bgr[1], bgr[0]);
        }
    }
    if (base == 3)
        SetGrayPalette();

    const bool topFirst = (h.descriptor & 0x20) != 0;
    const LONG width = h.width, height = h.height;
    BYTE leftover = kNoLeftover;
    for (LONG y = 0; y < height; ++y) {
        if (m_info.escape) {
            SetLastError(kCancelled);
            return false;
        }
        if (stream->Eof()) {
            SetLastError(kCorrupted);
            return false;
        }
        BYTE* row = GetBits(DWORD(topFirst ? height - 1 - y : y));
        if (compressed)
            leftover = ExpandCompressedLine(row, h, stream, width, y, leftover);
        else
            ExpandUncompressedLine(row, h, stream, width, y, 0);
    }
    if (h.descriptor & 0x10)
        Mirror();
    if (topFirst && h.pixelDepth == 32)
        AlphaFlip();
    return true;
}

bool CRasterImageTGA::Encode(CRasterFile* stream)
{
    if (EncodeSafeCheck(stream))
        return false;
    if (GetBpp() < 8) {
        SetLastError(kBadDepth);
        return false;
    }
    const DWORD width = GetWidth(), height = GetHeight();
    // The header holds 16-bit sizes; a larger image would be written with a wrong size.
    if (width > 0xFFFF || height > 0xFFFF) {
        SetLastError(kTooLarge);
        return false;
    }
    const bool indexed = GetBpp() == 8;
    const bool alpha = !indexed && AlphaIsValid();
    const BYTE depth = indexed ? 8 : alpha ? 32 : 24;
    BYTE header[18] = {};
    header[1] = indexed ? 1 : 0;
    header[2] = indexed ? 1 : 2;
    header[5] = indexed ? 0x00 : 0;
    header[6] = indexed ? 0x01 : 0; // 256 entries
    header[7] = indexed ? 24 : 0;
    header[12] = BYTE(width);
    header[13] = BYTE(width >> 8);
    header[14] = BYTE(height);
    header[15] = BYTE(height >> 8);
    header[16] = depth;

    bool ok = stream->Write(header, 1, sizeof header) == sizeof header;
    if (indexed && ok) {
        BYTE map[768];
        const RGBQUAD* pal = GetPalette();
        for (int i = 0; i < 256; ++i) {
            map[i * 3] = pal[i].rgbBlue;
            map[i * 3 + 1] = pal[i].rgbGreen;
            map[i * 3 + 2] = pal[i].rgbRed;
        }
        ok = stream->Write(map, 1, sizeof map) == sizeof map;
    }
    if (!alpha) {
        const DWORD rowBytes = width * (depth / 8u);
        for (DWORD y = 0; y < height && ok; ++y)
            ok = stream->Write(GetBits(y), 1, rowBytes) == rowBytes;
    } else {
        std::vector<BYTE> row(std::size_t(width) * 4);
        const DWORD scale = AlphaGetMax();
        for (DWORD y = 0; y < height && ok; ++y) {
            const BYTE* src = GetBits(y);
            const BYTE* a = AlphaGetPointer(0, LONG(y));
            for (DWORD x = 0; x < width; ++x) {
                row[x * 4] = src[x * 3];
                row[x * 4 + 1] = src[x * 3 + 1];
                row[x * 4 + 2] = src[x * 3 + 2];
                row[x * 4 + 3] = BYTE(a[x] * scale / 255);
            }
            ok = stream->Write(row.data(), 1, DWORD(row.size())) == row.size();
        }
    }
    // A failed write is reported: a document must not be saved with a truncated image.
    if (!ok) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}
