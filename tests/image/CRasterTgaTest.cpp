// TGA codec: header checks and messages, row order and mirroring, the pixel encodings, run-length
// packets that cross rows, and round trips at every depth the writer produces.
#include "image/CRasterTga.h"
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

namespace {

Bytes Header(BYTE type, unsigned w, unsigned h, BYTE depth, BYTE descriptor = 0, BYTE mapType = 0,
             unsigned mapLength = 0, BYTE mapEntry = 0, BYTE idLength = 0)
{
    Bytes b{idLength, mapType, type};
    Put16(b, 0);
    Put16(b, mapLength);
    b.push_back(mapEntry);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, w);
    Put16(b, h);
    b.push_back(depth);
    b.push_back(descriptor);
    return b;
}

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(TgaCodec, HeaderChecksAndMessages)
{
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(Bytes(17, 0), img, IMAGE_FORMAT_TGA));
    EXPECT_STREQ(img.GetLastError(), "Not a TGA");
    for (BYTE type : {0, 4, 8, 12, 32}) {
        EXPECT_FALSE(DecodeBytes(Cat(Header(type, 2, 2, 24), Bytes(12, 0)), img, IMAGE_FORMAT_TGA));
        EXPECT_STREQ(img.GetLastError(), "Unknown TGA image type") << int(type);
    }
    const Bytes bad[] = {Header(2, 0, 2, 24), Header(2, 2, 0, 24), Header(2, 2, 2, 0), Header(2, 2, 2, 12),
                         Header(1, 2, 2, 8, 0, 1, 257, 24),
                         // colour-mapped or grey pixels wider than an index, a colour-mapped file
                         // without a map, a map whose entries have no known size
                         Header(1, 2, 2, 16, 0, 1, 4, 24), Header(3, 2, 2, 16), Header(1, 2, 2, 8),
                         Header(1, 2, 2, 8, 0, 1, 0, 24),
                         Header(1, 2, 2, 8, 0, 1, 4, 12)};
    for (const Bytes& h : bad) {
        EXPECT_FALSE(DecodeBytes(Cat(h, Bytes(64, 0)), img, IMAGE_FORMAT_TGA));
        EXPECT_STREQ(img.GetLastError(), "bad TGA header");
    }
    // Header whole but no pixel data at all.
    EXPECT_FALSE(DecodeBytes(Header(2, 2, 2, 24), img, IMAGE_FORMAT_TGA));
    EXPECT_STREQ(img.GetLastError(), "corrupted TGA");
    CRasterImageTGA direct;
    EXPECT_FALSE(direct.Decode(nullptr));
}

TEST(TgaCodec, RowOrderFollowsTheDescriptor)
{
    // Two rows of two pixels: red, green then blue, white (file order).
    const Bytes px{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
    CRasterImage up, down, mirrored;
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 2, 2, 24, 0x00), px), up, IMAGE_FORMAT_TGA));
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 2, 2, 24, 0x20), px), down, IMAGE_FORMAT_TGA));
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 2, 2, 24, 0x10), px), mirrored, IMAGE_FORMAT_TGA));
    EXPECT_EQ(up.GetType(), DWORD(IMAGE_FORMAT_TGA));
    // Descriptor 0: the first file row is the bottom of the picture.
    EXPECT_EQ(TopDown(up, 0, 1), 0xFF0000u);
    EXPECT_EQ(TopDown(up, 1, 1), 0x00FF00u);
    EXPECT_EQ(TopDown(up, 0, 0), 0x0000FFu);
    // 0x20: top row first.
    EXPECT_EQ(TopDown(down, 0, 0), 0xFF0000u);
    EXPECT_EQ(TopDown(down, 1, 1), 0xFFFFFFu);
    // 0x10: mirrored left to right.
    EXPECT_EQ(TopDown(mirrored, 1, 1), 0xFF0000u);
    EXPECT_EQ(TopDown(mirrored, 0, 1), 0x00FF00u);
}

TEST(TgaCodec, FifteenAndSixteenBitPixels)
{
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 3, 1, 16), {0xFF, 0x7F, 0x1F, 0x00, 0x00, 0xFC}), img, IMAGE_FORMAT_TGA));
    EXPECT_EQ(img.GetBpp(), 24);
    const RGBQUAD a = img.GetPixelColor(0, 0), b = img.GetPixelColor(1, 0), c = img.GetPixelColor(2, 0);
    EXPECT_EQ(a.rgbBlue, 248);
    EXPECT_EQ(a.rgbGreen, 248);
    EXPECT_EQ(a.rgbRed, 248);
    EXPECT_EQ(b.rgbBlue, 248);
    EXPECT_EQ(b.rgbGreen, 0);
    EXPECT_EQ(b.rgbRed, 0);
    // The top bit is ignored: 0xFC00 is red 248 only.
    EXPECT_EQ(c.rgbRed, 248);
    EXPECT_EQ(c.rgbGreen, 0);
    ASSERT_TRUE(DecodeBytes(Cat(Header(10, 1, 1, 15), {0x80, 0xE0, 0x03}), img, IMAGE_FORMAT_TGA));
    EXPECT_EQ(img.GetPixelColor(0, 0).rgbGreen, 248);
}

TEST(TgaCodec, RunPacketCarriesIntoTheNextRow)
{
    // 8-bit grey, 8 wide, 2 rows: raw 6 pixels, then a run of 4 at x = 6 (two fit), then the second
    // row starts with the same value twice more and a raw packet of 6.
    Bytes data = Header(11, 8, 2, 8, 0x20);
    data.insert(data.end(), {0x05, 1, 2, 3, 4, 5, 6, 0x83, 77, 0x05, 10, 11, 12, 13, 14, 15});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(data, img, IMAGE_FORMAT_TGA)) << img.GetLastError();
    const BYTE top[8] = {1, 2, 3, 4, 5, 6, 77, 77}, second[8] = {77, 77, 10, 11, 12, 13, 14, 15};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(img.GetPixelIndex(x, 1), top[x]) << x;
        EXPECT_EQ(img.GetPixelIndex(x, 0), second[x]) << x;
    }
}

TEST(TgaCodec, RawPacketCarriesIntoTheNextRow)
{
    Bytes data = Header(11, 8, 2, 8, 0x20);
    data.insert(data.end(), {0x85, 9, 0x03, 20, 21, 22, 23, 0x83, 30});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(data, img, IMAGE_FORMAT_TGA)) << img.GetLastError();
    const BYTE top[8] = {9, 9, 9, 9, 9, 9, 20, 21}, second[8] = {22, 23, 30, 30, 30, 30, 0, 0};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(img.GetPixelIndex(x, 1), top[x]) << x;
        EXPECT_EQ(img.GetPixelIndex(x, 0), second[x]) << x;
    }
}

TEST(TgaCodec, ColourMapsGreyPaletteAndIdField)
{
    // A colour-mapped file with an ID field and a 24-bit map.
    Bytes data = Header(1, 2, 1, 8, 0, 1, 2, 24, 3);
    data.insert(data.end(), {'a', 'b', 'c', 10, 20, 30, 40, 50, 60, 1, 0});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(data, img, IMAGE_FORMAT_TGA)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(TopDown(img, 0, 0), 0x3C3228u); // entry 1: blue 40, green 50, red 60
    EXPECT_EQ(TopDown(img, 1, 0), 0x1E140Au);
    // A 16-bit map is read at its own entry size, so the pixels after it are found.
    data = Header(1, 1, 1, 8, 0, 1, 2, 16);
    data.insert(data.end(), {0x00, 0x00, 0x1F, 0x00, 1});
    ASSERT_TRUE(DecodeBytes(data, img, IMAGE_FORMAT_TGA)) << img.GetLastError();
    EXPECT_EQ(TopDown(img, 0, 0), 0x0000F8u);
    // A grey file gets the grey palette even when it carries a colour map.
    data = Header(3, 2, 1, 8, 0, 1, 1, 24);
    data.insert(data.end(), {1, 2, 3, 7, 200});
    ASSERT_TRUE(DecodeBytes(data, img, IMAGE_FORMAT_TGA)) << img.GetLastError();
    EXPECT_TRUE(img.IsGrayScale());
    EXPECT_EQ(TopDown(img, 0, 0), 0x070707u);
    EXPECT_EQ(TopDown(img, 1, 0), 0xC8C8C8u);
}

TEST(TgaCodec, ThirtyTwoBitsGiveAlphaInTheRightRows)
{
    // Top row first: the alpha plane must follow its rows.
    Bytes data = Header(10, 2, 2, 32, 0x20);
    data.insert(data.end(), {0x81, 1, 2, 3, 10, 0x01, 4, 5, 6, 20, 7, 8, 9, 30});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(data, img, IMAGE_FORMAT_TGA)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 24);
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(img.AlphaGet(0, 1), 10);
    EXPECT_EQ(img.AlphaGet(1, 1), 10);
    EXPECT_EQ(img.AlphaGet(0, 0), 20);
    EXPECT_EQ(img.AlphaGet(1, 0), 30);
    EXPECT_EQ(TopDown(img, 1, 0), 0x030201u);
    EXPECT_EQ(TopDown(img, 1, 1), 0x090807u);
}

TEST(TgaCodec, RoundTripsAtEveryWrittenDepth)
{
    for (DWORD bpp : {8u, 24u}) {
        CRasterImage img;
        Pattern(img, 13, 7, bpp);
        const Bytes out = EncodeBytes(img, IMAGE_FORMAT_TGA);
        ASSERT_FALSE(out.empty()) << img.GetLastError();
        EXPECT_EQ(out[2], bpp == 8 ? 1 : 2);
        EXPECT_EQ(out[16], bpp);
        EXPECT_EQ(out.size(), 18u + (bpp == 8 ? 768u + 13 * 7 : 13u * 7 * 3));
        CRasterImage back;
        ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_TGA)) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), bpp);
        ExpectSamePicture(img, back, "depth " + std::to_string(bpp));
    }
    CRasterImage rgba;
    Pattern(rgba, 5, 4, 24);
    rgba.AlphaCreate();
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            rgba.AlphaSet(x, y, BYTE(x * 60 + y));
    Bytes out = EncodeBytes(rgba, IMAGE_FORMAT_TGA);
    ASSERT_EQ(out[16], 32);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_TGA));
    ASSERT_TRUE(back.AlphaIsValid());
    ExpectSamePicture(rgba, back, "32-bit");
    // Alpha is scaled by the overall opacity when written.
    rgba.AlphaSetMax(128);
    out = EncodeBytes(rgba, IMAGE_FORMAT_TGA);
    ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_TGA));
    EXPECT_EQ(back.AlphaGet(4, 3), 243 * 128 / 255);
}

TEST(TgaCodec, WriterRefusals)
{
    CRasterImage four;
    Pattern(four, 4, 4, 4);
    EXPECT_TRUE(EncodeBytes(four, IMAGE_FORMAT_TGA).empty());
    EXPECT_STREQ(four.GetLastError(), "Bit depth must be 8 or 24");
    CRasterImage one(4, 4, 1, 0);
    EXPECT_TRUE(EncodeBytes(one, IMAGE_FORMAT_TGA).empty());
    EXPECT_STREQ(one.GetLastError(), "Bit depth must be 8 or 24");
    // Sizes beyond the header's 16 bits are refused rather than written wrong.
    CRasterImage wide(70000, 1, 8, 0);
    EXPECT_TRUE(EncodeBytes(wide, IMAGE_FORMAT_TGA).empty());
    EXPECT_STREQ(wide.GetLastError(), "Can't save this image as TGA");
}
