#include "image/CRasterImageBMP.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Messages a failed decode leaves in lastError.
const char kNotBmp[] = "Not a BMP";
const char kBadInfo[] = "Error reading BMP info";
const char kNoMemory[] = "Can't allocate memory";
const char kCancelled[] = "Cancelled";
const char kRleUnsupported[] = "compression type not supported";
const char kUnknownCompression[] = "unknown compression";
const char kNoBufferMemory[] = "can't allocate memory";
const char kDimensionsOnly[] = "output dimensions returned";
const char kWriteError[] = "BMP write error";
const char kTruncated[] = "BMP pixel data is incomplete";

LONG DpiFromPixelsPerMetre(LONG ppm)
{
    double dpi = std::floor(double(ppm) * 254.0 / 10000.0 + 0.5);
    return LONG(dpi);
}

// Where the RLE decoders put their bytes: row r (0 = first stored row) and byte x of that row.
// Bytes outside the pixel block are dropped.
class RleTarget {
public:
    RleTarget(BYTE* pixels, DWORD stride, DWORD height, DWORD size)
        : m_pixels(pixels), m_stride(stride), m_height(height), m_size(size)
    {
    }
    BYTE* At(std::int64_t row, std::int64_t x) const
    {
        if (row < 0 || row >= std::int64_t(m_height) || x < 0)
            return nullptr;
        std::int64_t offset = row * std::int64_t(m_stride) + x;
        return offset < std::int64_t(m_size) ? m_pixels + offset : nullptr;
    }
    // Rows never go back, so past the last row nothing more can be written.
    bool Done(std::int64_t row) const { return row >= std::int64_t(m_height); }
    DWORD Stride() const { return m_stride; }

private:
    BYTE* m_pixels;
    DWORD m_stride;
    DWORD m_height;
    DWORD m_size;
};

} // namespace

CRasterImageBMP::CRasterImageBMP() : CRasterImage(IMAGE_FORMAT_BMP) {}

bool DecodeBmp(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageBMP>(stream);
}

bool EncodeBmp(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageBMP>(stream);
}

bool CRasterImageBMP::DibReadBitmapInfo(CRasterFile* stream, BITMAPINFOHEADER* header)
{
    if (!stream || !header)
        return false;
    BITMAPINFOHEADER h;
    if (!raster::ReadExact(*stream, &h, sizeof h))
        return false;

    switch (h.biSize) {
    case sizeof(BITMAPCOREHEADER): {
        BITMAPCOREHEADER core;
        std::memcpy(&core, &h, sizeof core);
        std::memset(&h, 0, sizeof h);
        h.biSize = core.bcSize;
        h.biWidth = core.bcWidth;
        h.biHeight = core.bcHeight;
        h.biPlanes = core.bcPlanes;
        h.biBitCount = core.bcBitCount;
        if (!stream->Seek(-LONG(sizeof(BITMAPINFOHEADER) - sizeof(BITMAPCOREHEADER)), SEEK_CUR))
            return false;
        break;
    }
    case sizeof(BITMAPINFOHEADER): break;
    case 64:
        if (!stream->Seek(64 - LONG(sizeof(BITMAPINFOHEADER)), SEEK_CUR))
            return false;
        break;
    default: {
        // Longer headers are taken only for plain uncompressed images whose size adds up.
        const std::int64_t expected = raster::DibDataSize(h.biBitCount, h.biWidth, h.biHeight);
        if (h.biSize <= sizeof(BITMAPINFOHEADER) || h.biSize > 0x10000 || expected != std::int64_t(h.biSizeImage) ||
            h.biPlanes != 1 || h.biCompression != BI_RGB || h.biClrUsed != 0)
            return false;
        if (!stream->Seek(LONG(h.biSize - sizeof(BITMAPINFOHEADER)), SEEK_CUR))
            return false;
        break;
    }
    }
    if (h.biSizeImage == 0)
        h.biSizeImage = DWORD(raster::DibDataSize(h.biBitCount, h.biWidth, h.biHeight));
    if (h.biClrUsed == 0 && h.biBitCount <= 8)
        h.biClrUsed = 1u << h.biBitCount;
    *header = h;
    return true;
}

bool CRasterImageBMP::Decode(CRasterFile* stream)
{
    if (!stream) {
        SetLastError(kNotBmp);
        return false;
    }
    const LONG start = stream->Tell();
    BITMAPFILEHEADER file;
    if (!raster::ReadExact(*stream, &file, sizeof file)) {
        SetLastError(kNotBmp);
        return false;
    }
    if (file.bfType != BFT_BITMAP) {
        stream->Seek(start, SEEK_SET);
        file.bfOffBits = 0;
    }

    BITMAPINFOHEADER bih;
    if (!DibReadBitmapInfo(stream, &bih)) {
        SetLastError(kBadInfo);
        return false;
    }
    // Depths without a pixel layout here (0 for embedded JPEG/PNG data, 2, 3, ...) would decode
    // to a blank picture reported as a success; they are refused instead.
    switch (bih.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: SetLastError(kBadInfo); return false;
    }
    const bool core = bih.biSize == sizeof(BITMAPCOREHEADER);
    bool topDown = false;
    std::int64_t height = bih.biHeight;
    if (height < 0) {
        topDown = true;
        height = -height;
    }
    const std::int64_t width = bih.biWidth;

    if (m_info.escape == -1) {
        // The size and the depth the picture would have, from the header alone.
        m_head.biWidth = LONG(width);
        m_head.biHeight = height > 0x7FFFFFFF ? 0x7FFFFFFF : LONG(height);
        m_head.biBitCount = WORD(bih.biBitCount <= 8 ? bih.biBitCount : 24);
        SetLastError(kDimensionsOnly);
        return true;
    }

    // Uncompressed pixels must all be in the stream: a few header bytes must not claim (and make us
    // allocate and fill) a picture hundreds of megabytes large.
    if ((bih.biCompression == BI_RGB || bih.biCompression == BI_BITFIELDS) && width > 0 && height > 0) {
        const std::int64_t needed = raster::DibDataSize(bih.biBitCount, width, height);
        const std::int64_t dataStart = file.bfOffBits != 0 ? std::int64_t(start) + file.bfOffBits : stream->Tell();
        const std::int64_t available = std::int64_t(stream->Size()) - dataStart;
        const bool overCap = needed > std::int64_t(CRASTERIMAGE_MAX_MEMORY); // Create says so below
        if (!overCap && (needed < 0 || available < needed)) {
            SetLastError(kTruncated);
            return false;
        }
    }

    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        !Create(LONG(width), LONG(height), bih.biBitCount, IMAGE_FORMAT_BMP)) {
        SetLastError(kNoMemory);
        return false;
    }
    m_head.biXPelsPerMeter = bih.biXPelsPerMeter;
    m_head.biYPelsPerMeter = bih.biYPelsPerMeter;
    std::memcpy(m_pDib, &m_head, sizeof m_head);
    m_info.xDpi = DpiFromPixelsPerMetre(bih.biXPelsPerMeter);
    m_info.yDpi = DpiFromPixelsPerMetre(bih.biYPelsPerMeter);

    if (m_info.escape) {
        SetLastError(kCancelled);
        return false;
    }

    // Palette: never more entries than the image's depth holds; the surplus of a file that
    // announces more is skipped, so the pixels that follow are still found.
    if (RGBQUAD* pal = GetPalette()) {
        std::uint64_t count = bih.biClrUsed;
        if (count == 0 && bih.biBitCount <= 8)
            count = 1u << bih.biBitCount;
        const std::uint64_t take = count < GetNumColors() ? count : GetNumColors();
        const std::uint64_t entrySize = core ? 3 : 4;
        if (core) {
            RGBTRIPLE triples[256] = {};
            raster::ReadExact(*stream, triples, std::size_t(take * 3));
            for (std::uint64_t i = 0; i < take; ++i)
                pal[i] = RGBQUAD{triples[i].rgbtBlue, triples[i].rgbtGreen, triples[i].rgbtRed, 0};
        } else {
            raster::ReadExact(*stream, pal, std::size_t(take * 4));
            for (DWORD i = 0; i < GetNumColors(); ++i)
                pal[i].rgbReserved = 0;
        }
        if (count > take && file.bfOffBits == 0) {
            const std::uint64_t skip = (count - take) * entrySize;
            stream->Seek(skip > 0x7FFFFFFF ? 0x7FFFFFFF : LONG(skip), SEEK_CUR);
        }
    }

    if (m_info.escape) {
        SetLastError(kCancelled);
        return false;
    }

    auto seekToBits = [&]() {
        if (file.bfOffBits != 0) {
            std::int64_t pos = std::int64_t(start) + file.bfOffBits;
            stream->Seek(pos > 0x7FFFFFFF ? 0x7FFFFFFF : LONG(pos), SEEK_SET);
        }
    };

    switch (bih.biBitCount) {
    case 1:
    case 4:
    case 8:
        seekToBits();
        switch (bih.biCompression) {
        case BI_RGB: stream->Read(m_info.pixels, 1, m_head.biSizeImage); break;
        case BI_RLE8: DecodeRle8(stream); break;
        case BI_RLE4: DecodeRle4(stream); break;
        default: SetLastError(kRleUnsupported); return false;
        }
        break;
    case 16: {
        DWORD red = 0x7C00, green = 0x03E0, blue = 0x001F;
        if (bih.biCompression == BI_BITFIELDS) {
            raster::ReadU32LE(*stream, red);
            raster::ReadU32LE(*stream, green);
            raster::ReadU32LE(*stream, blue);
        }
        seekToBits();
        std::uint64_t bytes = std::uint64_t((width + 1) / 2) * 4 * std::uint64_t(height);
        if (bytes > m_head.biSizeImage)
            bytes = m_head.biSizeImage;
        DWORD got = stream->Read(m_info.pixels, 1, DWORD(bytes));
        (void)got;
        // Unread source bytes are zero, as the block was created zeroed.
        Bitfield2RGB(m_info.pixels, DWORD(bytes), red, green, blue, 16);
        break;
    }
    case 24:
        seekToBits();
        if (bih.biCompression != BI_RGB) {
            SetLastError(kUnknownCompression);
            return false;
        }
        stream->Read(m_info.pixels, 1, m_head.biSizeImage);
        break;
    case 32: {
        seekToBits();
        if (bih.biCompression != BI_RGB && bih.biCompression != BI_BITFIELDS) {
            SetLastError(kUnknownCompression);
            return false;
        }
        const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 4;
        std::unique_ptr<BYTE, decltype(&std::free)> buffer(
            bytes <= 4 * CRASTERIMAGE_MAX_MEMORY ? static_cast<BYTE*>(AllocatePixels(std::size_t(bytes), true)) : nullptr,
            &std::free);
        if (!buffer) {
            SetLastError(kNoBufferMemory);
            return false;
        }
        stream->Read(buffer.get(), 1, DWORD(bytes));
        Bitfield2RGB(buffer.get(), DWORD(bytes), 0, 0, 0, 32);
        break;
    }
    }

    if (topDown)
        Flip();
    return true;
}

void CRasterImageBMP::DecodeRle8(CRasterFile* stream)
{
    RleTarget target(m_info.pixels, m_info.effWidth, GetHeight(), m_head.biSizeImage);
    std::int64_t row = 0, x = 0;
    while (!target.Done(row)) {
        const LONG b = stream->GetC();
        if (b < 0)
            return;
        if (b != 0) {
            const LONG color = stream->GetC();
            if (color < 0)
                return;
            for (LONG i = 0; i < b; ++i) {
                // A run that would leave the row ends the picture.
                if (x >= target.Stride())
                    return;
                if (BYTE* p = target.At(row, x))
                    *p = BYTE(color);
                ++x;
            }
            continue;
        }
        const LONG c = stream->GetC();
        if (c < 0 || c == 1)
            return;
        if (c == 0) {
            x = 0;
            ++row;
        } else if (c == 2) {
            const LONG dx = stream->GetC(), dy = stream->GetC();
            if (dx < 0 || dy < 0)
                return;
            x += dx;
            row += dy;
        } else {
            for (LONG i = 0; i < c; ++i) {
                const LONG v = stream->GetC();
                if (v < 0)
                    return;
                if (BYTE* p = target.At(row, x + i))
                    *p = BYTE(v);
            }
            if (c & 1)
                stream->GetC();
            x += c;
        }
    }
}

// Positions count pixels (nibbles), so runs and absolute data that start on an odd pixel, and
// deltas by an odd number of pixels, land where every other reader puts them: pixel i of a run or
// of absolute data always takes nibble i of its bytes, high nibble first.
void CRasterImageBMP::DecodeRle4(CRasterFile* stream)
{
    RleTarget target(m_info.pixels, m_info.effWidth, GetHeight(), m_head.biSizeImage);
    std::int64_t row = 0, px = 0;
    auto put = [&](LONG nibble) {
        if (BYTE* p = target.At(row, px / 2)) {
            if (px % 2 == 0)
                *p = BYTE((*p & 0x0F) | ((nibble & 0x0F) << 4));
            else
                *p = BYTE((*p & 0xF0) | (nibble & 0x0F));
        }
        ++px;
    };
    while (!target.Done(row)) {
        const LONG b = stream->GetC();
        if (b < 0)
            return;
        if (b != 0) {
            const LONG v = stream->GetC();
            if (v < 0)
                return;
            for (LONG i = 0; i < b; ++i)
                put(i % 2 == 0 ? v >> 4 : v);
            continue;
        }
        const LONG c = stream->GetC();
        if (c < 0 || c == 1)
            return;
        if (c == 0) {
            ++row;
            px = 0;
        } else if (c == 2) {
            const LONG dx = stream->GetC(), dy = stream->GetC();
            if (dx < 0 || dy < 0)
                return;
            px += dx;
            row += dy;
        } else {
            LONG v = 0;
            for (LONG i = 0; i < c; ++i) {
                if (i % 2 == 0) {
                    v = stream->GetC();
                    if (v < 0)
                        return;
                    put(v >> 4);
                } else {
                    put(v);
                }
            }
            if (((c + 1) / 2) & 1)
                stream->GetC();
        }
    }
}

bool CRasterImageBMP::Encode(CRasterFile* stream)
{
    if (EncodeSafeCheck(stream))
        return false;
    BITMAPFILEHEADER file;
    file.bfType = BFT_BITMAP;
    file.bfSize = GetSize() + sizeof(BITMAPFILEHEADER);
    file.bfReserved1 = 0;
    file.bfReserved2 = 0;
    file.bfOffBits = GetPaletteSize() + sizeof(BITMAPINFOHEADER) + sizeof(BITMAPFILEHEADER);

    std::memcpy(m_pDib, &m_head, sizeof m_head);
    // A write that fails is reported: a document must not be saved with a truncated image.
    if (stream->Write(&file, sizeof file, 1) != 1 || stream->Write(m_pDib, GetSize(), 1) != 1) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}
