#include "image/CRasterPcx.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <cstring>

namespace {

const char kCantRead[] = "Can't read PCX image";
const char kNotPcx[] = "Error: Not a PCX file";
const char kUnknownEncoding[] = "PCX file has unknown encoding scheme";
const char kTooManyPlanes[] = "Can't handle image with more than 4 planes";
const char kCancelled[] = "Cancelled";
const char kCorrupted[] = "corrupted PCX";
const char kRunTooLong[] = "repeat count spans end of image";
const char kBadSignature[] = "bad color map signature";
const char kPlanesMoreThan4[] = "Can't handle more than 4 planes";
const char kMoreThan1Bit[] = "Can't handle more than 1 bit per pixel";
const char kPackedPlanes[] = "Can't handle packed pixels with more than 1 plane.";
const char kBadHeader[] = "bad PCX header";
const char kHeaderWrite[] = "cannot write PCX header";
const char kTooLarge[] = "Can't save this image as PCX";
const char kWriteError[] = "PCX write error";

constexpr std::size_t kHeaderSize = 128;

struct PcxHeader {
    BYTE manufacturer, version, encoding, bits;
    WORD xMin, yMin, xMax, yMax, hRes, vRes;
    BYTE colorMap[48];
    BYTE planes;
    WORD bytesPerLine;
};

PcxHeader ParseHeader(const BYTE* b)
{
    raster::ByteCursor c(b, kHeaderSize);
    PcxHeader h{};
    h.manufacturer = c.u8();
    h.version = c.u8();
    h.encoding = c.u8();
    h.bits = c.u8();
    h.xMin = c.u16le();
    h.yMin = c.u16le();
    h.xMax = c.u16le();
    h.yMax = c.u16le();
    h.hRes = c.u16le();
    h.vRes = c.u16le();
    c.bytes(h.colorMap, sizeof h.colorMap);
    c.u8();
    h.planes = c.u8();
    h.bytesPerLine = c.u16le();
    return h;
}

void PutWord(BYTE* p, DWORD v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}

// The run-length data as one continuous stream, handed out row by row; a run may cross rows.
class RleReader {
public:
    RleReader(CRasterFile* stream, std::uint64_t total) : m_stream(stream), m_left(total) {}

    // Fills n bytes; false with the message when the data ends early or a run overshoots the image.
    bool Fill(BYTE* out, std::size_t n, const char*& error)
    {
        std::size_t i = 0;
        while (i < n) {
            if (m_runLeft) {
                const std::size_t take = m_runLeft < n - i ? m_runLeft : n - i;
                std::memset(out + i, m_runValue, take);
                m_runLeft -= take;
                i += take;
                continue;
            }
            if (!m_stream || m_stream->Eof()) {
                error = kCorrupted;
                return false;
            }
            const LONG c = m_stream->GetC();
            if (c < 0) {
                error = kCorrupted;
                return false;
            }
            if (c >= 192) {
                const LONG v = m_stream->GetC();
                const std::uint64_t count = DWORD(c) & 63;
                if (count > m_left) {
                    error = kRunTooLong;
                    return false;
                }
                m_left -= count;
                m_runLeft = std::size_t(count);
                m_runValue = BYTE(v < 0 ? 0 : v);
            } else {
                if (m_left == 0) {
                    error = kRunTooLong;
                    return false;
                }
                --m_left;
                out[i++] = BYTE(c);
            }
        }
        return true;
    }

private:
    CRasterFile* m_stream;
    std::uint64_t m_left;    // bytes the image still expects, including a run in progress
    std::size_t m_runLeft = 0;
    BYTE m_runValue = 0;
};

} // namespace

CRasterImagePCX::CRasterImagePCX() : CRasterImage(IMAGE_FORMAT_PCX) {}

bool DecodePcx(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImagePCX>(stream);
}

bool EncodePcx(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImagePCX>(stream);
}

bool CRasterImagePCX::PlanesToPixels(BYTE* pixels, const BYTE* data, DWORD bytesPerLine, DWORD planes, DWORD bits)
{
    if (planes > 4) {
        SetLastError(kPlanesMoreThan4);
        return false;
    }
    if (bits != 1) {
        SetLastError(kMoreThan1Bit);
        return false;
    }
    std::memset(pixels, 0, std::size_t(bytesPerLine) * 8);
    for (DWORD p = 0; p < planes; ++p) {
        BYTE* out = pixels;
        for (DWORD i = 0; i < bytesPerLine; ++i) {
            const BYTE b = *data++;
            for (int bit = 7; bit >= 0; --bit, ++out)
                if (b & (1u << bit))
                    *out = BYTE(*out | (1u << p));
        }
    }
    return true;
}

bool CRasterImagePCX::UnpackPixels(BYTE* pixels, const BYTE* data, DWORD bytesPerLine, DWORD planes, DWORD bits)
{
    if (planes != 1) {
        SetLastError(kPackedPlanes);
        return false;
    }
    switch (bits) {
    case 8: std::memcpy(pixels, data, bytesPerLine); break;
    case 4:
        for (DWORD i = 0; i < bytesPerLine; ++i) {
            *pixels++ = BYTE(data[i] >> 4);
            *pixels++ = BYTE(data[i] & 0x0F);
        }
        break;
    case 2:
        for (DWORD i = 0; i < bytesPerLine; ++i)
            for (int s = 6; s >= 0; s -= 2)
                *pixels++ = BYTE((data[i] >> s) & 3);
        break;
    case 1:
        for (DWORD i = 0; i < bytesPerLine; ++i)
            for (int s = 7; s >= 0; --s)
                *pixels++ = BYTE((data[i] >> s) & 1);
        break;
    default: break;
    }
    return true;
}

bool CRasterImagePCX::Decode(CRasterFile* stream)
{
    if (!stream)
        return false;
    BYTE raw[kHeaderSize];
    if (!raster::ReadExact(*stream, raw, sizeof raw)) {
        SetLastError(kCantRead);
        return false;
    }
    const PcxHeader h = ParseHeader(raw);
    if (h.manufacturer != 10) {
        SetLastError(kNotPcx);
        return false;
    }
    if (h.encoding != 1) {
        SetLastError(kUnknownEncoding);
        return false;
    }
    const LONG width = LONG(h.xMax) - LONG(h.xMin) + 1;
    const LONG height = LONG(h.yMax) - LONG(h.yMin) + 1;
    m_info.xDpi = h.hRes;
    m_info.yDpi = h.vRes;
    if (h.planes > 4) {
        SetLastError(kTooManyPlanes);
        return false;
    }
    // The header must describe a picture its rows can hold: a known depth, at least one plane, and
    // lines long enough for the width (a shorter line would leave pixels unread).
    const DWORD bits = h.bits, planes = h.planes, bpl = h.bytesPerLine;
    if ((bits != 1 && bits != 2 && bits != 4 && bits != 8) || planes == 0 || width <= 0 || height <= 0 ||
        std::uint64_t(bpl) * 8 < std::uint64_t(width) * bits) {
        SetLastError(kBadHeader);
        return false;
    }
    const bool truecolor = bits == 8 && (planes == 3 || planes == 4);
    if (planes > 1 && !truecolor && bits != 1) {
        SetLastError(kMoreThan1Bit);
        return false;
    }
    const DWORD depth = truecolor ? 24 : (planes == 4 ? 4 : bits);
    if (!Create(width, height, depth, IMAGE_FORMAT_PCX))
        return false;
    m_info.xDpi = h.hRes;
    m_info.yDpi = h.vRes;
    if (planes == 4 && truecolor) {
        AlphaCreate();
        if (!AlphaIsValid()) {
            SetLastError("CRasterImage::Create can't allocate memory");
            return false;
        }
    }
    if (m_info.escape) {
        SetLastError(kCancelled);
        return false;
    }

    // The run-length data is one stream over all rows; each row is decoded and stored as it arrives,
    // so memory never exceeds the image and one line.
    const std::size_t rowBytes = std::size_t(bpl) * planes;
    std::vector<BYTE> line(rowBytes);
    std::vector<BYTE> indices(std::size_t(bpl) * 8 + 8);
    RleReader rle(stream, std::uint64_t(rowBytes) * std::uint64_t(height));
    for (LONG y = 0; y < height; ++y) {
        if (m_info.escape) {
            SetLastError(kCancelled);
            return false;
        }
        const char* error = nullptr;
        if (!rle.Fill(line.data(), rowBytes, error)) {
            SetLastError(error);
            return false;
        }
        const LONG row = height - 1 - y;
        if (truecolor) {
            BYTE* px = GetBits(DWORD(row));
            for (LONG x = 0; x < width; ++x) {
                px[x * 3] = line[2 * bpl + x];
                px[x * 3 + 1] = line[bpl + x];
                px[x * 3 + 2] = line[x];
            }
            if (planes == 4)
                std::memcpy(AlphaGetPointer(0, row), &line[3 * bpl], std::size_t(width));
            continue;
        }
        const bool ok = planes == 1 ? UnpackPixels(indices.data(), line.data(), bpl, planes, bits)
                                    : PlanesToPixels(indices.data(), line.data(), bpl, planes, bits);
        if (!ok)
            return false;
        for (LONG x = 0; x < width; ++x)
            BlindSetPixelIndex(x, row, indices[std::size_t(x)]);
    }

    // Palette: the header's 16 entries, the 256 after the data of an 8-bit file, or black and white.
    RGBQUAD palette[256] = {};
    for (int i = 0; i < 16; ++i)
        palette[i] = RGBQUAD{h.colorMap[i * 3 + 2], h.colorMap[i * 3 + 1], h.colorMap[i * 3], 0};
    if (bits == 8 && planes == 1) {
        if (stream->GetC() != 12) {
            SetLastError(kBadSignature);
            return false;
        }
        BYTE map[768] = {};
        raster::ReadExact(*stream, map, sizeof map);
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD{map[i * 3 + 2], map[i * 3 + 1], map[i * 3], 0};
    } else if (bits == 1 && planes == 1) {
        palette[0] = RGBQUAD{0, 0, 0, 0};
        palette[1] = RGBQUAD{255, 255, 255, 0};
    }
    for (DWORD i = 0; i < GetNumColors(); ++i)
        SetPaletteColor(BYTE(i), palette[i]);
    return true;
}

void CRasterImagePCX::PackPixels(LONG value, BYTE& last, LONG& count, std::vector<BYTE>& out)
{
    if (value != LONG(last) && count > 0) {
        if (count == 1 && last < 192) {
            out.push_back(last);
        } else {
            out.push_back(BYTE(192 | count));
            out.push_back(last);
        }
        count = 0;
    }
    if (count == 63) {
        out.push_back(255);
        out.push_back(last);
        count = 0;
    }
    if (value == -2)
        out.push_back(0);
    last = BYTE(value);
    ++count;
}

void CRasterImagePCX::PackPlanes(const BYTE* buffer, DWORD size, std::vector<BYTE>& out)
{
    if (size == 0)
        return;
    BYTE previous = buffer[0];
    DWORD count = 1;
    auto emit = [&]() {
        if (count > 1 || previous >= 192)
            out.push_back(BYTE(192 | count));
        out.push_back(previous);
    };
    for (DWORD i = 1; i < size; ++i) {
        const BYTE c = buffer[i];
        if (c == previous && count < 63) {
            ++count;
        } else {
            emit();
            previous = c;
            count = 1;
        }
    }
    emit();
}

void CRasterImagePCX::PixelsToPlanes(const BYTE* indices, DWORD width, BYTE* buffer, DWORD plane)
{
    std::memset(buffer, 0, (std::size_t(width) + 7) / 8);
    for (DWORD x = 0; x < width; ++x)
        if (indices[x] & (1u << plane))
            buffer[x / 8] = BYTE(buffer[x / 8] | (0x80u >> (x % 8)));
}

bool CRasterImagePCX::Encode(CRasterFile* stream)
{
    if (EncodeSafeCheck(stream))
        return false;
    const DWORD width = GetWidth(), height = GetHeight(), bpp = GetBpp();
    const bool wide = bpp == 8 || bpp == 24;
    DWORD planes, bpl;
    if (wide) {
        planes = bpp == 8 ? 1 : AlphaIsValid() ? 4 : 3;
        bpl = width;
    } else {
        planes = GetNumColors() == 16 ? 4 : 1;
        bpl = (width + 7) / 8;
    }
    bpl = (bpl + 1) & ~1u;
    // The header's 16-bit fields must hold the size, or the file would describe another picture.
    if (bpl > 0xFFFF || width > 0x10000 || height > 0x10000) {
        SetLastError(kTooLarge);
        return false;
    }

    BYTE header[kHeaderSize] = {};
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = wide ? 8 : 1;
    PutWord(header + 8, width - 1);
    PutWord(header + 10, height - 1);
    PutWord(header + 12, DWORD(m_info.xDpi));
    PutWord(header + 14, DWORD(m_info.yDpi));
    if (bpp == 1) {
        std::memset(header + 19, 255, 3); // entry 0 black, entry 1 white
    } else if (bpp == 4) {
        const RGBQUAD* pal = GetPalette();
        for (int i = 0; i < 16; ++i) {
            header[16 + i * 3] = pal[i].rgbRed;
            header[17 + i * 3] = pal[i].rgbGreen;
            header[18 + i * 3] = pal[i].rgbBlue;
        }
    }
    header[65] = BYTE(planes);
    PutWord(header + 66, bpl);
    PutWord(header + 68, bpp == 24 ? 1 : 0);
    if (stream->Write(header, 1, sizeof header) != sizeof header) {
        SetLastError(kHeaderWrite);
        return false;
    }

    std::vector<BYTE> out;
    out.reserve(std::size_t(bpl) * planes * height / 2 + 1024);
    const LONG flush = (width & 1) ? -2 : -1;
    if (wide) {
        for (LONG y = LONG(height) - 1; y >= 0; --y) {
            const BYTE* px = GetBits(DWORD(y));
            for (DWORD p = 0; p < planes; ++p) {
                BYTE last = 0;
                LONG count = 0;
                if (bpp == 8) {
                    for (DWORD x = 0; x < width; ++x)
                        PackPixels(px[x], last, count, out);
                } else if (p < 3) {
                    const DWORD offset = 2 - p; // red, green, blue from blue, green, red
                    for (DWORD x = 0; x < width; ++x)
                        PackPixels(px[x * 3 + offset], last, count, out);
                } else {
                    const BYTE* a = AlphaGetPointer(0, y);
                    for (DWORD x = 0; x < width; ++x)
                        PackPixels(a[x], last, count, out);
                }
                PackPixels(flush, last, count, out);
            }
        }
        if (bpp == 8) {
            out.push_back(12);
            const RGBQUAD* pal = GetPalette();
            for (int i = 0; i < 256; ++i) {
                out.push_back(pal[i].rgbRed);
                out.push_back(pal[i].rgbGreen);
                out.push_back(pal[i].rgbBlue);
            }
        }
    } else {
        // The file's two-colour palette is black then white: a palette whose entry 0 is the lighter
        // one is written with inverted indexes so that the picture looks the same.
        const RGBQUAD* pal = GetPalette();
        const bool invert = bpp == 1 && CompareColors(&pal[0], &pal[1]) > 0;
        std::vector<BYTE> indices(width), buffer(bpl);
        for (LONG y = LONG(height) - 1; y >= 0; --y) {
            for (DWORD x = 0; x < width; ++x) {
                const BYTE i = BlindGetPixelIndex(LONG(x), y);
                indices[x] = invert ? BYTE(1 - i) : i;
            }
            for (DWORD p = 0; p < planes; ++p) {
                std::memset(buffer.data(), 0, buffer.size());
                PixelsToPlanes(indices.data(), width, buffer.data(), p);
                PackPlanes(buffer.data(), bpl, out);
            }
        }
    }
    if (stream->Write(out.data(), 1, DWORD(out.size())) != out.size()) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}
