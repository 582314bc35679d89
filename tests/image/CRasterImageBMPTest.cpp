// The BMP codec on files built byte by byte here: every header kind, RLE, bit fields, errors.
#include "image/CRasterImageBMP.h"

#include "image/CRasterMemFile.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

using imagetest::Put16;
using imagetest::Put32;

Bytes InfoHeader(std::int32_t w, std::int32_t h, unsigned bpp, unsigned compression = 0, std::uint32_t sizeImage = 0,
                 std::uint32_t used = 0, std::uint32_t headerSize = 40, std::int32_t ppm = 2835)
{
    Bytes b;
    Put32(b, headerSize);
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(h));
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, compression);
    Put32(b, sizeImage);
    Put32(b, std::uint32_t(ppm));
    Put32(b, std::uint32_t(ppm));
    Put32(b, used);
    Put32(b, 0);
    return b;
}

// "BM" header + info + rest, with the bits at bitsOffset (0: right after what comes before).
Bytes WithFileHeader(const Bytes& info, const Bytes& palette, const Bytes& bits)
{
    Bytes b = {'B', 'M'};
    Put32(b, std::uint32_t(14 + info.size() + palette.size() + bits.size()));
    Put32(b, 0);
    Put32(b, std::uint32_t(14 + info.size() + palette.size()));
    b.insert(b.end(), info.begin(), info.end());
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), bits.begin(), bits.end());
    return b;
}

Bytes Palette(unsigned n, unsigned entrySize = 4)
{
    Bytes b;
    for (unsigned i = 0; i < n; ++i) {
        b.push_back(BYTE(i * 3));      // blue
        b.push_back(BYTE(255 - i));    // green
        b.push_back(BYTE(i * 5 + 1));  // red
        if (entrySize == 4)
            b.push_back(0x77); // reserved: cleared by the reader
    }
    return b;
}

bool DecodeBytes(CRasterImage& img, const Bytes& b)
{
    return img.Decode(b.data(), DWORD(b.size()), IMAGE_FORMAT_BMP);
}

} // namespace

TEST(RasterBmpCodec, EncodedLayout)
{
    CRasterImage img;
    imagetest::Fill(img, 5, 3, 24);
    img.SetXDPI(72);
    BYTE* buffer = nullptr;
    LONG size = 0;
    ASSERT_TRUE(img.Encode(buffer, size, IMAGE_FORMAT_BMP));
    const std::uint32_t stride = ((24 * 5 + 31) / 32) * 4;
    ASSERT_EQ(size, LONG(14 + 40 + 3 * stride));
    BITMAPFILEHEADER fh;
    std::memcpy(&fh, buffer, sizeof fh);
    EXPECT_EQ(+fh.bfType, 0x4D42);
    EXPECT_EQ(+fh.bfSize, DWORD(size));
    EXPECT_EQ(+fh.bfOffBits, 54u);
    BITMAPINFOHEADER ih;
    std::memcpy(&ih, buffer + 14, sizeof ih);
    EXPECT_EQ(+ih.biSize, 40u);
    EXPECT_EQ(+ih.biWidth, 5);
    EXPECT_EQ(+ih.biHeight, 3);
    EXPECT_EQ(+ih.biBitCount, 24);
    EXPECT_EQ(+ih.biXPelsPerMeter, 2835);
    EXPECT_EQ(+ih.biSizeImage, 3 * stride);
    // Bottom row first, blue green red.
    const RGBQUAD c = imagetest::ColorAt(1, 0);
    EXPECT_EQ(buffer[54 + 3], c.rgbBlue);
    EXPECT_EQ(buffer[54 + 5], c.rgbRed);
    std::free(buffer);

    CRasterImage pal;
    imagetest::Fill(pal, 3, 2, 8);
    buffer = nullptr;
    ASSERT_TRUE(pal.Encode(buffer, size, IMAGE_FORMAT_BMP));
    std::memcpy(&fh, buffer, sizeof fh);
    EXPECT_EQ(+fh.bfOffBits, 14u + 40 + 1024);
    EXPECT_EQ(size, LONG(14 + 40 + 1024 + 2 * 4));
    std::free(buffer);
}

TEST(RasterBmpCodec, RoundTripAtEveryDepth)
{
    for (DWORD bpp : {1u, 4u, 8u, 24u}) {
        for (LONG w : {1, 7, 9, 33}) {
            CRasterImage img;
            imagetest::Fill(img, w, 5, bpp);
            img.SetXDPI(300);
            img.SetYDPI(72);
            BYTE* buffer = nullptr;
            LONG size = 0;
            ASSERT_TRUE(img.Encode(buffer, size, IMAGE_FORMAT_BMP));
            CRasterImage back;
            ASSERT_TRUE(back.Decode(buffer, DWORD(size), IMAGE_FORMAT_BMP));
            std::free(buffer);
            EXPECT_EQ(back.GetBpp(), img.GetBpp());
            EXPECT_EQ(back.GetXDPI(), 300);
            EXPECT_EQ(back.GetYDPI(), 72);
            EXPECT_EQ(std::memcmp(back.GetDIB(), img.GetDIB(), img.GetSize()), 0) << bpp << " " << w;
        }
    }
}

TEST(RasterBmpCodec, BareHeaderAndTopDown)
{
    // A bare information header: the bits follow the palette.
    Bytes file = InfoHeader(3, 2, 8, 0, 0, 4);
    Bytes pal = Palette(4);
    file.insert(file.end(), pal.begin(), pal.end());
    const BYTE rows[] = {0, 1, 2, 0, 3, 2, 1, 0};
    file.insert(file.end(), rows, rows + 8);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file));
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 1), 3);
    EXPECT_EQ(img.GetPaletteColor(3).rgbRed, 16);
    EXPECT_EQ(img.GetPaletteColor(3).rgbReserved, 0);
    EXPECT_EQ(img.GetNumColors(), 256u);

    // A top-down 24-bit file decodes to the same picture as its bottom-up twin.
    Bytes bits;
    for (int i = 0; i < 2 * 12; ++i)
        bits.push_back(BYTE(i * 9));
    Bytes bottomUp = WithFileHeader(InfoHeader(3, 2, 24), {}, bits);
    Bytes flipped(bits.begin() + 12, bits.end());
    flipped.insert(flipped.end(), bits.begin(), bits.begin() + 12);
    Bytes topDown = WithFileHeader(InfoHeader(3, -2, 24), {}, flipped);
    CRasterImage a, b;
    ASSERT_TRUE(DecodeBytes(a, bottomUp));
    ASSERT_TRUE(DecodeBytes(b, topDown));
    EXPECT_EQ(b.GetHeight(), 2u);
    EXPECT_EQ(imagetest::TopDownPixels(a), imagetest::TopDownPixels(b));
    EXPECT_EQ(a.GetXDPI(), 72);
}

TEST(RasterBmpCodec, SixteenBitFields)
{
    // Without bit fields: 5-5-5.
    Bytes bits;
    Put16(bits, 0x7C00); // red
    Put16(bits, 0x03E0); // green
    Put16(bits, 0x001F); // blue
    Put16(bits, 0);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(InfoHeader(3, 1, 16), {}, bits)));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 0), RGBQUAD{0, 0, 0xF8, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{0, 0xF8, 0, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(2, 0), RGBQUAD{0xF8, 0, 0, 0}));

    // With bit fields: the 5-6-5 masks are honoured.
    Bytes info = InfoHeader(2, 2, 16, 3);
    Bytes masks;
    Put32(masks, 0xF800);
    Put32(masks, 0x07E0);
    Put32(masks, 0x001F);
    Bytes bits565;
    Put16(bits565, 0x07E0);
    Put16(bits565, 0xF81F);
    Put16(bits565, 0xFFFF);
    Put16(bits565, 0x0000);
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(info, masks, bits565)));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 0), RGBQUAD{0, 0xFC, 0, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{0xF8, 0, 0xF8, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 1), RGBQUAD{0xF8, 0xFC, 0xF8, 0}));
}

TEST(RasterBmpCodec, ThirtyTwoBitsDropTheFourthByte)
{
    Bytes bits = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(InfoHeader(2, 2, 32), {}, bits)));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{4, 5, 6, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 1), RGBQUAD{7, 8, 9, 0}));
    EXPECT_FALSE(img.AlphaIsValid());
    // Bit-field 32-bit files are read in the same layout.
    Bytes masks;
    Put32(masks, 0xFF0000);
    Put32(masks, 0xFF00);
    Put32(masks, 0xFF);
    Bytes file = WithFileHeader(InfoHeader(2, 2, 32, 3), masks, bits);
    ASSERT_TRUE(DecodeBytes(img, file));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 1), RGBQUAD{10, 11, 12, 0}));
}

TEST(RasterBmpCodec, CoreAndOs2Headers)
{
    // OS/2 core header with a 3-byte palette.
    Bytes file = {'B', 'M'};
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 14 + 12 + 6);
    Put32(file, 12);
    Put16(file, 3);
    Put16(file, 2);
    Put16(file, 1);
    Put16(file, 1);
    Bytes pal = Palette(2, 3);
    file.insert(file.end(), pal.begin(), pal.end());
    const BYTE rows[] = {0xA0, 0, 0, 0, 0x40, 0, 0, 0};
    file.insert(file.end(), rows, rows + 8);
    file.resize(14 + 40 + 8); // the reader reads 40 header bytes first
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file));
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 6);
    EXPECT_EQ(img.GetPaletteColor(1).rgbGreen, 254);
    EXPECT_EQ(img.GetPaletteColor(1).rgbReserved, 0);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 1);

    // OS/2 2.x header of 64 bytes.
    Bytes info = InfoHeader(2, 1, 24, 0, 0, 0, 64);
    info.resize(64);
    const Bytes bits = {1, 2, 3, 4, 5, 6, 0, 0};
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(info, {}, bits)));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{4, 5, 6, 0}));
    // ... and bare, where the bits follow the 64 bytes.
    Bytes bare = info;
    bare.insert(bare.end(), bits.begin(), bits.end());
    ASSERT_TRUE(DecodeBytes(img, bare));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 0), RGBQUAD{1, 2, 3, 0}));
}

TEST(RasterBmpCodec, LongerHeadersOnlyWhenPlain)
{
    Bytes bits = {1, 2, 3, 4, 5, 6, 0, 0};
    Bytes good = InfoHeader(2, 1, 24, 0, 8, 0, 108);
    good.resize(108);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(good, {}, bits)));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{4, 5, 6, 0}));
    Bytes bad = InfoHeader(2, 1, 24, 0, 12, 0, 108); // image size does not add up
    bad.resize(108);
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(bad, {}, bits)));
    EXPECT_STREQ(img.GetLastError(), "Error reading BMP info");
    Bytes compressed = InfoHeader(2, 1, 16, 3, 4, 0, 124);
    compressed.resize(124);
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(compressed, {}, bits)));
    EXPECT_STREQ(img.GetLastError(), "Error reading BMP info");
}

TEST(RasterBmpCodec, Rle8)
{
    // Row 0: run of 3 x 5, absolute 4 6 7 (odd: one pad byte), end of line;
    // row 1: delta (1, 1) to row 2, x 1; run 2 x 9; end of bitmap.
    const Bytes rle = {3, 5, 0, 3, 4, 6, 7, 0, 0, 0, 0, 2, 1, 1, 2, 9, 0, 1};
    Bytes file = WithFileHeader(InfoHeader(6, 3, 8, 1, DWORD(rle.size()), 16), Palette(16), rle);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file));
    const BYTE row0[] = {5, 5, 5, 4, 6, 7};
    for (LONG x = 0; x < 6; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 0), row0[x]) << x;
    for (LONG x = 0; x < 6; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 1), 0) << x;
    EXPECT_EQ(img.GetPixelIndex(0, 2), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 2), 9);
    EXPECT_EQ(img.GetPixelIndex(2, 2), 9);
    EXPECT_EQ(img.GetPixelIndex(3, 2), 0);

    // A run longer than the rest of the row ends the decode with what was written; still a success.
    const Bytes longRun = {2, 1, 200, 3, 0, 0, 4, 4};
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(InfoHeader(6, 2, 8, 1, 0, 16), Palette(16), longRun)));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 3);
    EXPECT_EQ(img.GetPixelIndex(5, 0), 3);
    EXPECT_EQ(img.GetBits(0)[7], 3); // the run fills the row's padding, then stops
    EXPECT_EQ(img.GetPixelIndex(0, 1), 0); // the 4 4 after the long run was never reached

    // Absolute data and deltas past the last row or the block are dropped, and a stream without an
    // end-of-bitmap code simply ends.
    const Bytes wild = {0, 2, 250, 250, 0, 5, 1, 2, 3, 4, 5, 0, 0, 2, 0, 255, 8, 0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(InfoHeader(4, 2, 8, 1, 0, 16), Palette(16), wild)));
}

TEST(RasterBmpCodec, Rle4)
{
    // Run of 5 pixels of 0x12: 1 2 1 2 1; absolute data of 3 pixels 0x34 0x50 starting on the odd
    // pixel 5: 3 4 5 (two data bytes, even, no pad byte); end of line; delta (2, 0); run 2 of 0xAB;
    // delta (3, 0) to pixel 7, run 3 of 0xCD; end of bitmap.
    const Bytes rle = {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 2, 0, 2, 0xAB, 0, 2, 3, 0, 3, 0xCD, 0, 1};
    Bytes file = WithFileHeader(InfoHeader(11, 2, 4, 2, DWORD(rle.size()), 16), Palette(16), rle);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file));
    EXPECT_EQ(img.GetBpp(), 4);
    const BYTE row0[] = {1, 2, 1, 2, 1, 3, 4, 5, 0, 0, 0};
    for (LONG x = 0; x < 11; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 0), row0[x]) << x;
    const BYTE row1[] = {0, 0, 0xA, 0xB, 0, 0, 0, 0xC, 0xD, 0xC, 0};
    for (LONG x = 0; x < 11; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 1), row1[x]) << x;

    // Absolute data of three pixels from an odd pixel reads its two bytes high nibble first, and
    // nothing more.
    const Bytes odd = {1, 0x70, 0, 3, 0x89, 0xA0, 1, 0x50, 0, 1};
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(InfoHeader(5, 1, 4, 2, 0, 16), Palette(16), odd)));
    const BYTE oddRow[] = {7, 8, 9, 0xA, 5};
    for (LONG x = 0; x < 5; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 0), oddRow[x]) << x;

    // Huge runs never write outside the block.
    Bytes wild;
    for (int i = 0; i < 40; ++i) {
        wild.push_back(255);
        wild.push_back(0x77);
    }
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(InfoHeader(5, 3, 4, 2, 0, 16), Palette(16), wild)));
    EXPECT_EQ(img.GetPixelIndex(4, 2), 7);
}

TEST(RasterBmpCodec, PaletteCountIsBoundedByTheDepth)
{
    // A bare 8-bit header that announces 300 colours: 256 are used, the rest skipped, and the
    // pixels after the announced palette are found.
    Bytes file = InfoHeader(2, 1, 8, 0, 0, 300);
    Bytes pal = Palette(300);
    file.insert(file.end(), pal.begin(), pal.end());
    file.insert(file.end(), {7, 200, 0, 0});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 7);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 200);
    EXPECT_EQ(img.GetPaletteColor(255).rgbRed, BYTE(255 * 5 + 1));

    // A 1-bit file that claims 0xFFFFFFFF colours reads two.
    Bytes huge = WithFileHeader(InfoHeader(8, 1, 1, 0, 0, 0xFFFFFFFF), Palette(2), {0xF0, 0, 0, 0});
    ASSERT_TRUE(DecodeBytes(img, huge));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(4, 0), 0);
}

TEST(RasterBmpCodec, ErrorsAndProbe)
{
    CRasterImage img;
    const Bytes shortFile = {'B', 'M', 1, 2};
    EXPECT_FALSE(DecodeBytes(img, shortFile));
    EXPECT_STREQ(img.GetLastError(), "Not a BMP");

    Bytes eight = WithFileHeader(InfoHeader(2, 2, 8, 3), Palette(256), Bytes(8, 0));
    EXPECT_FALSE(DecodeBytes(img, eight));
    EXPECT_STREQ(img.GetLastError(), "compression type not supported");
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(InfoHeader(2, 2, 24, 1), {}, Bytes(16, 0))));
    EXPECT_STREQ(img.GetLastError(), "unknown compression");
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(InfoHeader(2, 2, 32, 2), {}, Bytes(16, 0))));
    EXPECT_STREQ(img.GetLastError(), "unknown compression");
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(InfoHeader(0, 2, 24), {}, {})));
    EXPECT_STREQ(img.GetLastError(), "Can't allocate memory");
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(InfoHeader(30000, 30000, 24), {}, {})));
    EXPECT_STREQ(img.GetLastError(), "Can't allocate memory");

    // A depth without a pixel layout is refused rather than decoded to a blank picture.
    for (unsigned bpp : {0u, 2u, 3u, 12u, 48u}) {
        EXPECT_FALSE(DecodeBytes(img, WithFileHeader(InfoHeader(2, 2, bpp), {}, Bytes(64, 0)))) << bpp;
        EXPECT_STREQ(img.GetLastError(), "Error reading BMP info");
    }

    // escape -1: the size only, reported as a success.
    CRasterImage probe;
    probe.SetEscape(-1);
    ASSERT_TRUE(probe.Decode(eight.data(), DWORD(eight.size()), IMAGE_FORMAT_BMP));
    EXPECT_EQ(probe.GetWidth(), 2u);
    EXPECT_EQ(probe.GetHeight(), 2u);
    EXPECT_FALSE(probe.IsValid());
    EXPECT_STREQ(probe.GetLastError(), "output dimensions returned");
    CRasterImage cancelled;
    cancelled.SetEscape(1);
    EXPECT_FALSE(cancelled.Decode(eight.data(), DWORD(eight.size()), IMAGE_FORMAT_BMP));
    EXPECT_STREQ(cancelled.GetLastError(), "Cancelled");
}

TEST(RasterBmpCodec, TruncatedPixelsAreRefused)
{
    CRasterImage img;
    const Bytes whole(4 * 3 * 3 + 3 * 0, 9); // rows of 12 bytes, already 4-aligned
    ASSERT_TRUE(DecodeBytes(img, WithFileHeader(InfoHeader(4, 3, 24), {}, whole)));
    EXPECT_EQ(img.GetPixelColor(3, 2).rgbRed, 9);

    const Bytes shortBits(whole.size() - 1, 9);
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(InfoHeader(4, 3, 24), {}, shortBits)));
    EXPECT_STREQ(img.GetLastError(), "BMP pixel data is incomplete");

    // A bits offset beyond the file.
    Bytes far = WithFileHeader(InfoHeader(4, 3, 8), Palette(256), Bytes(12, 1));
    far[10] = 0xFF;
    far[11] = 0xFF;
    far[12] = 0xFF;
    far[13] = 0x7F;
    EXPECT_FALSE(DecodeBytes(img, far));
    EXPECT_STREQ(img.GetLastError(), "BMP pixel data is incomplete");

    // A few header bytes claiming tens of millions of rows allocate nothing.
    EXPECT_FALSE(DecodeBytes(img, WithFileHeader(InfoHeader(3, 16700000, 16), {}, Bytes(8, 0))));
    EXPECT_STREQ(img.GetLastError(), "BMP pixel data is incomplete");
}

TEST(RasterBmpCodec, FuzzFindings)
{
    // A long header whose width, height and depth overflow a 64-bit size product.
    const Bytes overflow = {
        0x42, 0x4d, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b,
        0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x3b, 0x5a, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3e, 0x00, 0x00, 0x00,
        0x28, 0x00, 0x00, 0x00, 0x0d, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x1c, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x02, 0x00, 0x00, 0x00, 0x2f, 0x00, 0xd0, 0x00, 0xc2, 0x00, 0x3d, 0x00, 0xff, 0xf8, 0x00, 0x00, 0xff, 0xf8,
        0x00, 0x00, 0xff, 0xf8, 0x00, 0x00, 0x7d, 0x70, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00};
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, overflow));
    EXPECT_STREQ(img.GetLastError(), "Error reading BMP info");
    CRasterImage any;
    EXPECT_FALSE(any.Decode(overflow.data(), DWORD(overflow.size()), IMAGE_FORMAT_UNKNOWN));
}
