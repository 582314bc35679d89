#include "image/CRasterTiff.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <tiffio.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>

namespace {

const char kOpenError[] = "Error encountered while opening TIFF file";
const char kNoPage[] = "Error: page not present in TIFF file";
const char kDimensionsOnly[] = "output dimensions returned";
const char kCancelled[] = "Cancelled";
const char kCantCreate[] = "CRasterImageTIF can't create image";
const char kNoRaster[] = "No space for raster buffer";
const char kCorrupted[] = "Corrupted TIFF file!";
const char kNoPalette[] = "Unable to allocate TIFF palette";
const char kNoBuffer[] = "CRasterImageTIF can't allocate memory";
const char kCorruptedTiled[] = "Corrupted tiled TIFF file!";
const char kInitFail[] = "initialization fail";
const char kSaveError[] = "Error saving TIFF file";
const char kDirectoryError[] = "Error saving TIFF directory";

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<BYTE, FreeDeleter>;

// Zeroed memory of n bytes, or null when n is 0 or above the image size limit.
Buffer Allocate(std::uint64_t n)
{
    if (n == 0 || n > raster::kMaxImageBytes * 2)
        return nullptr;
    return Buffer(static_cast<BYTE*>(CRasterImage::AllocatePixels(std::size_t(n), true)));
}

// A resolution from the file as dots per inch, truncated; values out of range give 0 (the record's
// setter turns that into 96).
LONG ResolutionToDpi(float value, uint16_t unit)
{
    double v = value;
    if (unit == RESUNIT_CENTIMETER)
        v = v * 2.54 + 0.5;
    if (!std::isfinite(v) || v <= 0 || v > 1e9)
        return 0;
    return LONG(v);
}

LONG Truncate(float value)
{
    if (!std::isfinite(value) || std::fabs(value) > 2e9f)
        return 0;
    return LONG(value);
}

BYTE LabComponent(double v)
{
    v = v > 0.00304 ? 1.055 * std::pow(v, 0.41667) - 0.055 : 12.92 * v;
    const double byte = v * 255;
    if (!(byte > 0))
        return 0;
    return byte >= 255 ? 255 : BYTE(byte);
}

// CIELab (L unsigned, a and b signed bytes) to sRGB under D65.
RGBQUAD LabToRgb(BYTE l, signed char a, signed char b)
{
    const double fy = (l / 2.55 + 16) / 116;
    const double fx = fy + a * 0.002;
    const double fz = fy - b * 0.005;
    const double X = 0.95047 * fx * fx * fx;
    const double Y = fy * fy * fy;
    const double Z = 1.0883 * fz * fz * fz;
    RGBQUAD c{};
    c.rgbRed = LabComponent(3.240479 * X - 1.53715 * Y - 0.498535 * Z);
    c.rgbGreen = LabComponent(-0.969256 * X + 1.875992 * Y + 0.041556 * Z);
    c.rgbBlue = LabComponent(0.055648 * X - 0.204043 * Y + 1.057311 * Z);
    return c;
}

// Single-sample depths below 8 bits other than 1 and 4 are unpacked into one index per byte.
bool NeedsUnpacking(uint16_t spp, uint16_t bps)
{
    return spp == 1 && bps > 1 && bps < 8 && bps != 4;
}

} // namespace

CRasterImageTIF::CRasterImageTIF() : CRasterImage(IMAGE_FORMAT_TIF) {}

CRasterImageTIF::~CRasterImageTIF()
{
    if (m_tif)
        TIFFClose(m_tif);
}

bool CRasterImageTIF::Fail(const char* message)
{
    SetLastError(message);
    if (m_tif) {
        TIFFClose(m_tif);
        m_tif = nullptr;
    }
    m_multiPage = false;
    m_pages = 0;
    return false;
}

void CRasterImageTIF::CopyTileToStrip(BYTE* dest, const BYTE* src, LONG rows, LONG columns, LONG destSkew, LONG srcSkew)
{
    for (LONG r = 0; r < rows; ++r) {
        std::memcpy(dest, src, std::size_t(columns));
        dest += columns + destSkew;
        src += columns + srcSkew;
    }
}

bool CRasterImageTIF::Decode(CRasterFile* stream)
{
    TIFF* tif = _TIFFOpenEx(stream, "r");
    if (!tif) {
        SetLastError(kOpenError);
        return false;
    }
    const bool ok = DecodeFrame(tif);
    TIFFClose(tif);
    return ok;
}

bool CRasterImageTIF::DecodeFrame(TIFF* tif)
{
    uint32_t width = 0, height = 0, rowsPerStrip = 0xFFFFFFFF;
    uint16_t spp = 1, bps = 1, photometric = 0, compression = 1, orientation = 1;

    const tdir_t pages = TIFFNumberOfDirectories(tif);
    m_info.frameCount = pages > 0x7FFFFFFF ? 0x7FFFFFFF : LONG(pages);
    if (m_info.frame < 0 || !TIFFSetDirectory(tif, tdir_t(m_info.frame))) {
        SetLastError(kNoPage);
        return false;
    }

    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation);

    if (m_info.escape == -1) {
        m_head.biWidth = width > 0x7FFFFFFF ? 0x7FFFFFFF : LONG(width);
        m_head.biHeight = height > 0x7FFFFFFF ? 0x7FFFFFFF : LONG(height);
        SetLastError(kDimensionsOnly);
        return true;
    }

    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    float value = 0;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &value))
        SetXDPI(ResolutionToDpi(value, unit));
    if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &value))
        SetYDPI(ResolutionToDpi(value, unit));
    float position = 0;
    if (TIFFGetField(tif, TIFFTAG_XPOSITION, &position))
        m_info.xOffset = Truncate(position);
    if (TIFFGetField(tif, TIFFTAG_YPOSITION, &position))
        m_info.yOffset = Truncate(position);

    m_head.biClrUsed = 0;
    m_info.transIndex = -1;
    if (rowsPerStrip == 0) { // a strip of no rows never advances
        SetLastError(kCorrupted);
        return false;
    }
    if (rowsPerStrip > height) {
        rowsPerStrip = height;
        if (!TIFFIsTiled(tif)) // the library would take it as a tile length
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    }

    int depth = 8;
    bool rgba = false;
    if (bps > 7 && photometric == PHOTOMETRIC_RGB) {
        depth = 24;
        rgba = true;
    } else if ((photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK) && bps == 1) {
        depth = 1;
    } else if (photometric == PHOTOMETRIC_SEPARATED || photometric == PHOTOMETRIC_YCBCR ||
               photometric == PHOTOMETRIC_LOGL || photometric == PHOTOMETRIC_LOGLUV) {
        depth = 24;
        rgba = true;
    } else if (bps == 4) {
        depth = 4;
    }
    const bool lab = !rgba && spp >= 3; // rows of three or more samples are taken as CIELab
    if (lab)
        depth = 24;

    if (m_info.escape != 0) {
        SetLastError(kCancelled);
        return false;
    }
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        !Create(LONG(width), LONG(height), DWORD(depth), IMAGE_FORMAT_TIF)) {
        SetLastError(kCantCreate);
        return false;
    }
    if (spp == 4 || (spp == 2 && bps == 8))
        AlphaCreate();

    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    SetCodecOption(compression, IMAGE_FORMAT_TIF);

    const std::uint64_t pixels = std::uint64_t(width) * height;
    if (rgba) {
        Buffer raster = pixels <= raster::kMaxImageBytes / 3 ? Allocate(pixels * 4) : nullptr;
        if (!raster) {
            SetLastError(kNoRaster);
            return false;
        }
        uint32_t* rgbaPixels = reinterpret_cast<uint32_t*>(raster.get());
        if (!TIFFReadRGBAImage(tif, width, height, rgbaPixels, 1)) {
            SetLastError(kCorrupted);
            return false;
        }
        const bool alpha = spp == 4 && AlphaIsValid();
        // The library premultiplies colours by an unassociated alpha; the image keeps them straight.
        uint16_t extraCount = 0;
        uint16_t* extra = nullptr;
        const bool straight = alpha && TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount > 0 &&
                              extra && extra[0] == EXTRASAMPLE_UNASSALPHA;
        for (uint32_t y = 0; y < height; ++y) {
            if (m_info.escape != 0) {
                SetLastError(kCancelled);
                return false;
            }
            const uint32_t* src = rgbaPixels + std::size_t(y) * width;
            BYTE* dst = GetBits(y);
            BYTE* a = alpha ? AlphaGetPointer(0, LONG(y)) : nullptr;
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t p = src[x];
                const unsigned A = TIFFGetA(p);
                if (straight && A > 0 && A < 255) {
                    dst[0] = BYTE(std::min(255u, (TIFFGetB(p) * 255 + A / 2) / A));
                    dst[1] = BYTE(std::min(255u, (TIFFGetG(p) * 255 + A / 2) / A));
                    dst[2] = BYTE(std::min(255u, (TIFFGetR(p) * 255 + A / 2) / A));
                } else {
                    dst[0] = BYTE(TIFFGetB(p));
                    dst[1] = BYTE(TIFFGetG(p));
                    dst[2] = BYTE(TIFFGetR(p));
                }
                dst += 3;
                if (a)
                    a[x] = BYTE(TIFFGetA(p));
            }
        }
        return true;
    }

    // Palette of the row path.
    const DWORD colors = GetNumColors();
    if (colors) {
        std::unique_ptr<RGBQUAD[]> palette(new (std::nothrow) RGBQUAD[256]());
        if (!palette) {
            SetLastError(kNoPalette);
            return false;
        }
        const RGBQUAD white{255, 255, 255, 0};
        if ((photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK) && bps == 1) {
            palette[photometric == PHOTOMETRIC_MINISBLACK ? 1 : 0] = white;
        } else if (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) {
            const DWORD levels = bps < 8 ? (1u << bps) : colors;
            const DWORD step = 255 / (levels - 1);
            for (DWORD i = 0; i < levels && i < 256; ++i) {
                const BYTE v = BYTE(photometric == PHOTOMETRIC_MINISBLACK ? i * step : 255 - i * step);
                palette[i] = RGBQUAD{v, v, v, 0};
            }
        } else if (photometric == PHOTOMETRIC_PALETTE) {
            uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
            if (bps <= 16 && TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) && red && green && blue) {
                const std::size_t entries = std::size_t(1) << bps;
                bool wide = false;
                for (std::size_t i = 0; i < entries && !wide; ++i)
                    wide = red[i] > 255 || green[i] > 255 || blue[i] > 255;
                for (std::size_t i = 0; i < entries && i < 256; ++i) {
                    if (wide)
                        palette[i] = RGBQUAD{BYTE(blue[i] * 255u / 65535u), BYTE(green[i] * 255u / 65535u),
                                             BYTE(red[i] * 255u / 65535u), 0};
                    else
                        palette[i] = RGBQUAD{BYTE(blue[i]), BYTE(green[i]), BYTE(red[i]), 0};
                }
            }
        }
        SetPalette(palette.get(), colors);
    }

    // Row buffers: every row the conversion below reads lies inside the buffer, whatever the file says.
    const std::uint64_t lineSize = (std::uint64_t(spp) * bps * width + 7) / 8;
    const bool tiled = TIFFIsTiled(tif) != 0;
    uint32_t tileWidth = 0, tileLength = 0;
    std::uint64_t pitch = lineSize;
    std::uint64_t tileSize = 0, tileRowSize = 0;
    if (tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
        tileSize = std::uint64_t(TIFFTileSize64(tif));
        tileRowSize = std::uint64_t(TIFFTileRowSize64(tif));
        pitch = std::uint64_t(TIFFScanlineSize64(tif));
        if (tileWidth == 0 || tileLength == 0 || tileSize == 0 || tileRowSize == 0 || pitch == 0) {
            SetLastError(kCorruptedTiled);
            return false;
        }
        rowsPerStrip = tileLength;
    }
    const std::uint64_t bufferRows = rowsPerStrip < height ? rowsPerStrip : height;
    std::uint64_t rowRead = lineSize;
    if (spp == 1)
        rowRead = std::max<std::uint64_t>(rowRead, GetEffWidth());
    else if (spp == 2)
        rowRead = std::max<std::uint64_t>(rowRead, 2ull * width);
    else
        rowRead = std::max<std::uint64_t>(rowRead, std::uint64_t(spp) * width);
    const std::uint64_t bufferSize = pitch * (bufferRows - 1) + std::max(pitch, rowRead);
    Buffer buffer = pitch <= raster::kMaxImageBytes && rowRead <= raster::kMaxImageBytes ? Allocate(bufferSize) : nullptr;
    Buffer tile = tiled ? Allocate(tileSize) : nullptr;
    if (!buffer || (tiled && !tile)) {
        SetLastError(kNoBuffer);
        return false;
    }

    const DWORD stride = GetEffWidth();
    const bool unpack = NeedsUnpacking(spp, bps);
    for (uint32_t r = 0; r < height; r += rowsPerStrip) {
        if (m_info.escape != 0) {
            SetLastError(kCancelled);
            return false;
        }
        const uint32_t n = rowsPerStrip < height - r ? rowsPerStrip : height - r;
        if (tiled) {
            if (std::uint64_t(n) * tileRowSize > tileSize) {
                SetLastError(kCorruptedTiled);
                return false;
            }
            const std::uint64_t L = pitch, S = tileRowSize;
            std::uint64_t k = 0;
            for (uint32_t c = 0; c < width && k < L; c += tileWidth, k += S) {
                if (TIFFReadTile(tif, tile.get(), c, r, 0, 0) < 0) {
                    SetLastError(kCorruptedTiled);
                    return false;
                }
                if (k + S > L)
                    CopyTileToStrip(buffer.get() + k, tile.get(), LONG(n), LONG(L - k), LONG(k), LONG(S - (L - k)));
                else
                    CopyTileToStrip(buffer.get() + k, tile.get(), LONG(n), LONG(S), LONG(L - S), 0);
                if (c > 0xFFFFFFFFu - tileWidth)
                    break;
            }
        } else {
            const uint32_t strip = TIFFComputeStrip(tif, r, 0);
            if (TIFFReadEncodedStrip(tif, strip, buffer.get(), tmsize_t(lineSize * n)) == -1) {
                SetLastError(kCorrupted);
                return false;
            }
        }

        for (LONG i = LONG(n) - 1; i >= 0; --i) {
            BYTE* src = buffer.get() + pitch * std::uint64_t(i);
            const LONG y = LONG(height) - 1 - LONG(r + uint32_t(i));
            BYTE* dst = GetBits(DWORD(y));
            if (bps == 16) { // keep the high byte of every sample
                const std::uint64_t samples = std::uint64_t(spp) * width;
                for (std::uint64_t s = 0; s < samples; ++s) {
                    uint16_t v;
                    std::memcpy(&v, src + 2 * s, 2);
                    src[s] = BYTE(v >> 8);
                }
            }
            if (spp == 1) {
                if (unpack) {
                    const unsigned mask = (1u << bps) - 1;
                    for (uint32_t x = 0; x < width; ++x) {
                        const std::uint64_t bit = std::uint64_t(x) * bps;
                        const unsigned word = (unsigned(src[bit / 8]) << 8) | src[bit / 8 + 1 < rowRead ? bit / 8 + 1 : bit / 8];
                        dst[x] = BYTE((word >> (16 - bps - bit % 8)) & mask);
                    }
                } else {
                    std::memcpy(dst, src, stride);
                }
            } else if (spp == 2) {
                for (uint32_t x = 0; x < width; ++x) {
                    SetPixelIndex(LONG(x), y, src[2 * x]);
                    AlphaSet(LONG(x), y, src[2 * x + 1]);
                }
            } else {
                BYTE* alpha = spp == 4 && AlphaIsValid() ? AlphaGetPointer(0, y) : nullptr;
                for (uint32_t x = 0; x < width; ++x) {
                    const BYTE* p = src + std::size_t(x) * spp;
                    const RGBQUAD c = LabToRgb(p[0], static_cast<signed char>(p[1]), static_cast<signed char>(p[2]));
                    dst[3 * x] = c.rgbBlue;
                    dst[3 * x + 1] = c.rgbGreen;
                    dst[3 * x + 2] = c.rgbRed;
                    if (alpha)
                        alpha[x] = p[3];
                }
            }
        }
        if (r > 0xFFFFFFFFu - rowsPerStrip)
            break;
    }
    buffer.reset();
    tile.reset();

    switch (orientation) {
    case ORIENTATION_TOPRIGHT:
        Mirror();
        break;
    case ORIENTATION_BOTRIGHT:
        Flip();
        Mirror();
        break;
    case ORIENTATION_BOTLEFT:
        Flip();
        break;
    case ORIENTATION_LEFTTOP:
        RotateRight();
        Mirror();
        break;
    case ORIENTATION_RIGHTTOP: // the first row is the right side: a clockwise turn shows it
        RotateRight();
        break;
    case ORIENTATION_RIGHTBOT:
        RotateLeft();
        Mirror();
        break;
    case ORIENTATION_LEFTBOT: // the first row is the left side, read upwards
        RotateLeft();
        break;
    default:
        break;
    }
    return true;
}

bool CRasterImageTIF::Encode(CRasterFile* stream, bool append)
{
    if (EncodeSafeCheck(stream)) {
        char message[256];
        std::snprintf(message, sizeof message, "%s", GetLastError());
        return Fail(message);
    }
    if (!m_tif) {
        m_tif = _TIFFOpenEx(stream, "a");
        if (!m_tif)
            return Fail(kInitFail);
    }
    if (append || m_pages > 0)
        m_multiPage = true;
    ++m_pages;
    if (!EncodePage(m_tif, m_multiPage, m_pages, m_pages))
        return Fail(kSaveError);
    if (append) {
        if (!TIFFWriteDirectory(m_tif))
            return Fail(kDirectoryError);
        return true;
    }
    // Closing writes the directory but cannot report a failure; flushing first can.
    if (!TIFFFlush(m_tif))
        return Fail(kSaveError);
    TIFFClose(m_tif);
    m_tif = nullptr;
    m_multiPage = false;
    m_pages = 0;
    return true;
}

bool CRasterImageTIF::EncodePage(TIFF* tif, bool multiPage, LONG page, LONG pageCount)
{
    const LONG width = LONG(GetWidth()), height = LONG(GetHeight());
    int d = GetBpp();
    uint16_t s = d == 24 ? 3 : 1;
    if (d == 24 && AlphaIsValid()) {
        d = 32;
        s = 4;
    }
    const uint16_t bitsPerSample = uint16_t(d / s);

    uint16_t photometric = PHOTOMETRIC_RGB;
    if (d == 1) {
        photometric = PHOTOMETRIC_MINISWHITE;
        RGBQUAD* pal = GetPalette();
        if (pal && CompareColors(&pal[0], &pal[1]) < 0) {
            // White must be index 0: exchange the entries and the bits, so the picture stays the same.
            const RGBQUAD e0 = pal[0], e1 = pal[1];
            CRasterImage* owner = m_info.ghostOf ? m_info.ghostOf : this;
            owner->SetPaletteColor(0, e1);
            owner->SetPaletteColor(1, e0);
            BYTE* bits = GetBits(0);
            const std::size_t size = std::size_t(GetEffWidth()) * std::size_t(height);
            for (std::size_t i = 0; i < size; ++i)
                bits[i] = BYTE(~bits[i]);
        }
    } else if (d == 4 || d == 8) {
        photometric = (!GetPalette() || IsGrayScale()) ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
    }
    if (d == 8 && AlphaIsValid())
        s = 2;

    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, s);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(ORIENTATION_TOPLEFT));
    if (s == 2 || s == 4) { // the last sample is the alpha, so that readers keep it
        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), extra);
    }
    uint32_t rowsPerStrip = TIFFDefaultStripSize(tif, 0xFFFFFFFF);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, uint16_t(RESUNIT_INCH));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(GetXDPI()));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(GetYDPI()));
    if (multiPage) {
        char name[32];
        std::snprintf(name, sizeof name, "Page %d", int(page));
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, uint32_t(FILETYPE_PAGE));
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, uint16_t(page), uint16_t(pageCount));
        TIFFSetField(tif, TIFFTAG_PAGENAME, name);
    } else {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, uint32_t(0));
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t red[256] = {}, green[256] = {}, blue[256] = {};
        const RGBQUAD* pal = GetPalette();
        for (DWORD i = 0; i < GetNumColors() && i < 256; ++i) {
            red[i] = uint16_t(pal[i].rgbRed * 257);
            green[i] = uint16_t(pal[i].rgbGreen * 257);
            blue[i] = uint16_t(pal[i].rgbBlue * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue);
    }

    uint16_t compression = uint16_t(GetCodecOption(IMAGE_FORMAT_TIF));
    if (compression == 0) {
        switch (d) {
        case 1:
            compression = COMPRESSION_CCITTFAX4;
            break;
        case 4:
        case 8:
            compression = COMPRESSION_LZW;
            break;
        case 24:
        case 32:
            compression = COMPRESSION_JPEG;
            break;
        default:
            compression = COMPRESSION_NONE;
            break;
        }
    }
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (compression == COMPRESSION_LZW && d > 7)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, uint16_t(PREDICTOR_HORIZONTAL));
    if (compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, int(GetJpegQuality()));
        rowsPerStrip = ((rowsPerStrip + 7) / 8) * 8;
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    }

    // The library may change a row while it encodes it (predictors do), so it gets a copy.
    const std::size_t rowBytes = d == 32 ? std::size_t(width) * 4 : (s == 2 ? std::size_t(width) * 2 : GetEffWidth());
    Buffer row = Allocate(rowBytes + 4);
    if (!row)
        return false;
    for (LONG r = 0; r < height; ++r) {
        const LONG y = height - 1 - r;
        const BYTE* src = GetBits(DWORD(y));
        BYTE* out = row.get();
        if (d == 32) {
            const BYTE* alpha = AlphaGetPointer(0, y);
            for (LONG x = 0; x < width; ++x) {
                out[4 * x] = src[3 * x + 2];
                out[4 * x + 1] = src[3 * x + 1];
                out[4 * x + 2] = src[3 * x];
                out[4 * x + 3] = alpha[x];
            }
        } else if (d == 24) {
            for (LONG x = 0; x < width; ++x) {
                out[3 * x] = src[3 * x + 2];
                out[3 * x + 1] = src[3 * x + 1];
                out[3 * x + 2] = src[3 * x];
            }
        } else if (s == 2) {
            const BYTE* alpha = AlphaGetPointer(0, y);
            for (LONG x = 0; x < width; ++x) {
                out[2 * x] = src[x];
                out[2 * x + 1] = alpha[x];
            }
        } else {
            std::memcpy(out, src, GetEffWidth());
        }
        if (TIFFWriteScanline(tif, out, uint32_t(r), 0) == -1)
            return false;
    }
    return true;
}

bool DecodeTiff(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageTIF>(stream, true);
}

bool EncodeTiff(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageTIF>(stream);
}
