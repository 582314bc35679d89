#include "image/CRasterPng.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr png_alloc_size_t kMaxChunkBytes = 8000000;

void PngReadData(png_structp png, png_bytep data, png_size_t length)
{
    CRasterFile* stream = static_cast<CRasterFile*>(png_get_io_ptr(png));
    if (length > 0xFFFFFFFFu || stream->Read(data, 1, DWORD(length)) != length)
        png_error(png, "Read Error");
}

void PngWriteData(png_structp png, png_bytep data, png_size_t length)
{
    CRasterFile* stream = static_cast<CRasterFile*>(png_get_io_ptr(png));
    if (length > 0xFFFFFFFFu || stream->Write(data, 1, DWORD(length)) != length)
        png_error(png, "Write Error");
}

void PngFlushData(png_structp png)
{
    CRasterFile* stream = static_cast<CRasterFile*>(png_get_io_ptr(png));
    if (!stream->Flush())
        png_error(png, "Flush Error");
}

// Keeps libpng's message in the image's lastError (the error pointer) and returns to the codec.
void PngErrorExit(png_structp png, png_const_charp message)
{
    char* text = static_cast<char*>(png_get_error_ptr(png));
    if (text)
        std::snprintf(text, 256, "%s", message ? message : "");
    png_longjmp(png, 1);
}

// Pixels per metre (or per unknown unit) as dots per inch, within the range of the field.
LONG PhysToDpi(png_uint_32 value, int unit)
{
    double dpi = unit == PNG_RESOLUTION_METER ? std::floor(double(value) * 254.0 / 10000.0 + 0.5) : double(value);
    return dpi > double(std::numeric_limits<LONG>::max()) ? std::numeric_limits<LONG>::max() : LONG(dpi);
}

} // namespace

// What a long jump out of libpng must still release; it lives in the caller's frame.
struct PngCodecState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    BYTE* buffer = nullptr;
    bool alphaCreated = false;
    png_color palette[256] = {};
    png_byte trans[256] = {};
};

// The setjmp parts: their locals need no destructors, so a long jump from libpng leaks nothing.
struct CRasterImagePNG::Impl {
    static bool Decode(CRasterImagePNG& img, CRasterFile* stream, PngCodecState* st);
    static bool Encode(CRasterImagePNG& img, CRasterFile* stream, PngCodecState* st);
    static void WriteRows(CRasterImagePNG& img, PngCodecState* st, int passes, bool alpha, bool swapRgb);
};

namespace {

void EndRead(PngCodecState* st)
{
    std::free(st->buffer);
    st->buffer = nullptr;
    png_destroy_read_struct(&st->png, &st->info, nullptr);
}

} // namespace

bool CRasterImagePNG::Impl::Decode(CRasterImagePNG& img, CRasterFile* stream, PngCodecState* st)
{
    st->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!st->png) {
        img.SetLastError("Failed to create PNG structure");
        return false;
    }
    st->info = png_create_info_struct(st->png);
    if (!st->info) {
        png_destroy_read_struct(&st->png, nullptr, nullptr);
        img.SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    if (setjmp(png_jmpbuf(st->png))) {
        // lastError holds what the error function wrote.
        EndRead(st);
        return false;
    }
    png_set_read_fn(st->png, stream, PngReadData);
    png_set_error_fn(st->png, img.m_info.lastError, PngErrorExit, nullptr);
    // A chunk's length field alone must not make libpng allocate gigabytes (the image data is streamed):
    // the ancillary chunks the codec does not use are passed over unread.
    png_set_chunk_malloc_max(st->png, kMaxChunkBytes);
    static const png_byte kUnused[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0hIST\0tIME";
    png_set_keep_unknown_chunks(st->png, PNG_HANDLE_CHUNK_NEVER, kUnused, 8);
    png_read_info(st->png, st->info);

    png_structp png = st->png;
    png_infop info = st->info;
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int colorType = png_get_color_type(png, info);
    const int pixelDepth = bitDepth * png_get_channels(png, info);

    png_color_16p fileBackground = nullptr;
    const bool hasBackground = png_get_bKGD(png, info, &fileBackground) != 0;
    if (pixelDepth != 32) {
        // Composite plainly on the stored values: libpng would otherwise linearise through the
        // file's gAMA and shift opaque colours by its rounding.
        png_set_gamma(png, 1.0, 1.0);
        if (hasBackground) {
            png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            // Grey files composite on the grey level, so it is the same light grey.
            png_color_16 grey192 = {0, 192, 192, 192, 192};
            png_set_background(png, &grey192, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    } else if (hasBackground) {
        img.m_info.transColor.rgbRed = BYTE(fileBackground->red);
        img.m_info.transColor.rgbGreen = BYTE(fileBackground->green);
        img.m_info.transColor.rgbBlue = BYTE(fileBackground->blue);
        img.m_info.transColor.rgbReserved = 0;
    }
    if (bitDepth == 16)
        png_set_strip_16(png);

    const int depth = pixelDepth > 16 ? 24 : (pixelDepth == 16 ? 8 : pixelDepth);
    if (!img.Create(LONG(width), LONG(height), DWORD(depth), IMAGE_FORMAT_PNG)) {
        EndRead(st);
        return false;
    }

    png_uint_32 resX = 0, resY = 0;
    int unit = PNG_RESOLUTION_UNKNOWN;
    png_get_pHYs(png, info, &resX, &resY, &unit);
    img.SetXDPI(PhysToDpi(resX, unit));
    img.SetYDPI(PhysToDpi(resY, unit));

    png_colorp plte = nullptr;
    int plteCount = 0;
    if (png_get_PLTE(png, info, &plte, &plteCount) && plteCount > 0) {
        img.SetPalette(reinterpret_cast<const RgbColor*>(plte), DWORD(plteCount));
    } else if (bitDepth == 2) {
        for (BYTE i = 0; i < 4; ++i)
            img.SetPaletteColor(i, BYTE(i * 85), BYTE(i * 85), BYTE(i * 85));
    } else {
        img.SetGrayPalette();
    }

    // Palette transparency only: a grey or colour key is not an index.
    png_bytep transAlpha = nullptr;
    int transCount = 0;
    png_color_16p transKey = nullptr;
    RGBQUAD* pal = img.GetPalette();
    if (colorType == PNG_COLOR_TYPE_PALETTE && pal &&
        png_get_tRNS(png, info, &transAlpha, &transCount, &transKey) && transAlpha && transCount > 0) {
        const DWORD used = img.GetNumColors();
        const DWORD n = DWORD(transCount) < used ? DWORD(transCount) : used;
        for (DWORD i = 0; i < n; ++i)
            pal[i].rgbReserved = transAlpha[i];
        if (transCount == 1 && transAlpha[0] == 0) {
            img.m_info.transIndex = 0;
        } else {
            img.m_info.alphaPaletteEnabled = true;
            for (DWORD i = n; i < used; ++i)
                pal[i].rgbReserved = 255;
        }
    }

    if (colorType == PNG_COLOR_TYPE_RGB_ALPHA || (colorType == PNG_COLOR_TYPE_GRAY_ALPHA && pixelDepth == 32)) {
        if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
            png_set_gray_to_rgb(png);
            png_set_expand(png);
        }
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        img.AlphaCreate();
        if (!img.AlphaIsValid()) {
            img.SetLastError("CRasterImage::Create can't allocate memory");
            EndRead(st);
            return false;
        }
    }
    if (colorType & PNG_COLOR_MASK_COLOR)
        png_set_bgr(png);
    if (img.m_info.escape) {
        EndRead(st);
        return false;
    }

    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    img.SetCodecOption(passes > 1 ? 1 : 0, IMAGE_FORMAT_PNG);

    const bool alpha = img.AlphaIsValid();
    const std::uint64_t rowBytes = png_get_rowbytes(png, info);
    const DWORD eff = img.GetEffWidth();
    std::uint64_t need = rowBytes > eff ? rowBytes : eff;
    if (alpha && need < 4 * std::uint64_t(width))
        need = 4 * std::uint64_t(width);
    st->buffer = need + 10 <= raster::kMaxImageBytes * 4 ? static_cast<BYTE*>(CRasterImage::AllocatePixels(need + 10, true)) : nullptr;
    if (!st->buffer) {
        img.SetLastError("CRasterImage::Create can't allocate memory");
        EndRead(st);
        return false;
    }
    BYTE* buffer = st->buffer;

    const LONG h = LONG(height), w = LONG(width);
    for (int pass = 0; pass < passes; ++pass) {
        CRasterRowIterator iter(&img);
        iter.Upset();
        for (LONG y = 0; y < h; ++y) {
            if (img.m_info.escape) {
                EndRead(st);
                return false;
            }
            if (alpha) {
                const LONG r = h - 1 - y;
                BYTE* row = img.GetBits(DWORD(r));
                if (pass > 0) {
                    for (LONG x = 0; x < w; ++x) {
                        std::memcpy(buffer + 4 * x, row + 3 * x, 3);
                        buffer[4 * x + 3] = img.BlindAlphaGet(x, r);
                    }
                }
                png_read_row(png, buffer, nullptr);
                BYTE* a = img.AlphaGetPointer(0, r);
                for (LONG x = 0; x < w; ++x) {
                    std::memcpy(row + 3 * x, buffer + 4 * x, 3);
                    a[x] = buffer[4 * x + 3];
                }
            } else {
                if (pass > 0)
                    iter.GetRow(buffer, LONG(eff));
                png_read_row(png, buffer, nullptr);
                if (pass == passes - 1 && bitDepth == 2)
                    Expand2To4(buffer, width);
                iter.SetRow(buffer, LONG(eff));
                iter.PrevRow();
            }
        }
    }

    std::free(st->buffer);
    st->buffer = nullptr;
    png_read_end(png, info);
    png_destroy_read_struct(&st->png, &st->info, nullptr);
    return true;
}

void CRasterImagePNG::Impl::WriteRows(CRasterImagePNG& img, PngCodecState* st, int passes, bool alpha, bool swapRgb)
{
    const LONG w = LONG(img.GetWidth()), h = LONG(img.GetHeight());
    const DWORD eff = img.GetEffWidth();
    BYTE* buffer = st->buffer;
    const bool trueColor = img.GetBpp() == 24;
    for (int pass = 0; pass < passes; ++pass) {
        for (LONG y = h - 1; y >= 0; --y) {
            const BYTE* row = img.GetBits(DWORD(y));
            if (alpha) {
                const BYTE* a = img.AlphaGetPointer(0, y);
                for (LONG x = w - 1; x >= 0; --x) {
                    BYTE* px = buffer + 4 * x;
                    if (trueColor) {
                        px[0] = row[3 * x + 2];
                        px[1] = row[3 * x + 1];
                        px[2] = row[3 * x];
                    } else {
                        const RGBQUAD c = img.GetPixelColor(x, y, false);
                        px[0] = c.rgbRed;
                        px[1] = c.rgbGreen;
                        px[2] = c.rgbBlue;
                    }
                    px[3] = BYTE(unsigned(a[x]) * img.m_info.alphaMax / 255);
                }
            } else {
                std::memcpy(buffer, row, eff);
                if (swapRgb)
                    img.RGBtoBGR(buffer, LONG(eff));
            }
            png_write_row(st->png, buffer);
        }
    }
}

bool CRasterImagePNG::Impl::Encode(CRasterImagePNG& img, CRasterFile* stream, PngCodecState* st)
{
    st->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!st->png) {
        img.SetLastError("Failed to create PNG structure");
        return false;
    }
    st->info = png_create_info_struct(st->png);
    if (!st->info) {
        png_destroy_write_struct(&st->png, nullptr);
        img.SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    if (setjmp(png_jmpbuf(st->png))) {
        std::free(st->buffer);
        st->buffer = nullptr;
        if (st->alphaCreated)
            img.AlphaDelete();
        png_destroy_write_struct(&st->png, &st->info);
        img.SetLastError("Error saving PNG file");
        return false;
    }
    png_structp png = st->png;
    png_infop info = st->info;
    png_set_write_fn(png, stream, PngWriteData, PngFlushData);
    png_set_error_fn(png, img.m_info.lastError, PngErrorExit, nullptr);

    const png_uint_32 width = img.GetWidth(), height = img.GetHeight();
    const int bpp = img.GetBpp();
    const int channels = bpp <= 8 ? 1 : 3;
    int bitDepth = bpp / channels;
    int colorType = img.GetColorType() == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    const int interlace = img.GetCodecOption(IMAGE_FORMAT_PNG) == 1 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;

    const bool transparent = img.m_info.transIndex >= 0;
    png_color_16 background = {0, 255, 255, 255, 0};
    if (transparent) {
        const RGBQUAD t = img.GetTransColor();
        background.red = t.rgbRed;
        background.green = t.rgbGreen;
        background.blue = t.rgbBlue;
    }
    png_set_bKGD(png, info, &background);
    png_set_pHYs(png, info, png_uint_32(img.m_head.biXPelsPerMeter), png_uint_32(img.m_head.biYPelsPerMeter),
                 PNG_RESOLUTION_METER);

    RGBQUAD* pal = img.GetPalette();
    int transCount = 0;
    if (pal) {
        colorType = PNG_COLOR_TYPE_PALETTE;
        const LONG t = img.m_info.transIndex;
        // Only an index inside the palette marks a transparent colour.
        if (t >= 0 && DWORD(t) < img.GetNumColors()) {
            st->trans[0] = 0;
            transCount = 1;
            if (t != 0) {
                img.SwapIndex(0, BYTE(t));
                if (img.m_info.ghostOf)
                    img.m_info.ghostOf->SetTransIndex(0);
                img.m_info.transIndex = 0;
            }
        }
        DWORD count = img.GetNumColors();
        if (count > 2 && std::uint64_t(width) * height < 65536) {
            BYTE highest = 0;
            for (LONG y = 0; y < LONG(height); ++y)
                for (LONG x = 0; x < LONG(width); ++x) {
                    const BYTE i = img.BlindGetPixelIndex(x, y);
                    if (i > highest)
                        highest = i;
                }
            count = DWORD(highest) + 1;
        }
        if (img.m_info.alphaPaletteEnabled) {
            for (DWORD i = 0; i < count; ++i)
                st->trans[i] = pal[i].rgbReserved;
            transCount = int(count);
        }
        for (DWORD i = 0; i < count; ++i)
            st->palette[i] = png_color{pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue};
        png_set_PLTE(png, info, st->palette, int(count));
    }

    if (bpp == 24 && transparent) {
        if (!img.AlphaIsValid()) {
            img.AlphaCreate();
            st->alphaCreated = img.AlphaIsValid();
        }
        const RGBQUAD key = img.GetTransColor();
        for (LONG y = 0; y < LONG(height) && img.AlphaIsValid(); ++y) {
            const BYTE* row = img.GetBits(DWORD(y));
            for (LONG x = 0; x < LONG(width); ++x)
                if (row[3 * x] == key.rgbBlue && row[3 * x + 1] == key.rgbGreen && row[3 * x + 2] == key.rgbRed)
                    img.AlphaSet(x, y, 0);
        }
    }

    const bool alpha = img.AlphaIsValid();
    std::uint64_t bufferSize;
    if (alpha) {
        colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        bitDepth = 8;
        transCount = 0; // an alpha channel carries the transparency
        bufferSize = 4 * std::uint64_t(width) + 10;
    } else {
        bufferSize = std::uint64_t(img.GetEffWidth()) + 10;
    }
    png_set_IHDR(png, info, width, height, bitDepth, colorType, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (transCount > 0)
        png_set_tRNS(png, info, st->trans, transCount, nullptr);
    png_write_info(png, info);

    st->buffer = static_cast<BYTE*>(std::malloc(bufferSize));
    if (!st->buffer)
        png_error(png, "out of memory");
    const int passes = png_set_interlace_handling(png);
    WriteRows(img, st, passes, alpha, colorType == PNG_COLOR_TYPE_RGB);

    png_write_end(png, info);
    std::free(st->buffer);
    st->buffer = nullptr;
    if (st->alphaCreated)
        img.AlphaDelete();
    png_destroy_write_struct(&st->png, &st->info);
    return true;
}

CRasterImagePNG::CRasterImagePNG() : CRasterImage(IMAGE_FORMAT_PNG) {}

void CRasterImagePNG::Expand2To4(BYTE* row, DWORD width)
{
    for (DWORD n = width; n-- > 0;) {
        const BYTE v = BYTE((row[n / 4] >> (6 - 2 * (n % 4))) & 3);
        BYTE& out = row[n / 2];
        out = (n % 2 == 0) ? BYTE((out & 0x0F) | (v << 4)) : BYTE((out & 0xF0) | v);
    }
}

bool CRasterImagePNG::Decode(CRasterFile* stream)
{
    if (!stream)
        return false;
    PngCodecState st;
    return Impl::Decode(*this, stream, &st);
}

bool CRasterImagePNG::Encode(CRasterFile* stream)
{
    if (EncodeSafeCheck(stream))
        return false;
    PngCodecState st;
    return Impl::Encode(*this, stream, &st);
}

bool DecodePng(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImagePNG>(stream);
}

bool EncodePng(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImagePNG>(stream);
}
