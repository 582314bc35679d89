// PCX codec: header checks and messages, the run-length coder both ways, every header combination
// the reader knows, and round trips at every depth the writer produces.
#include "image/CRasterPcx.h"
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace smalltest;

namespace {

Bytes Header(unsigned w, unsigned h, BYTE bits, BYTE planes, unsigned bpl, const Bytes& colourMap = {})
{
    Bytes b(128, 0);
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = bits;
    b[8] = BYTE(w - 1);
    b[9] = BYTE((w - 1) >> 8);
    b[10] = BYTE(h - 1);
    b[11] = BYTE((h - 1) >> 8);
    b[12] = 72;
    b[14] = 150;
    std::copy_n(colourMap.begin(), std::min<std::size_t>(48, colourMap.size()), b.begin() + 16);
    b[65] = planes;
    b[66] = BYTE(bpl);
    b[67] = BYTE(bpl >> 8);
    return b;
}

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Pack(const Bytes& row)
{
    std::vector<BYTE> out;
    CRasterImagePCX::PackPlanes(row.data(), DWORD(row.size()), out);
    return out;
}

} // namespace

TEST(PcxCodec, HeaderChecksAndMessages)
{
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(Bytes(127, 10), img, IMAGE_FORMAT_PCX));
    EXPECT_STREQ(img.GetLastError(), "Can't read PCX image");
    Bytes h = Header(4, 1, 8, 1, 4);
    h[0] = 11;
    EXPECT_FALSE(DecodeBytes(h, img, IMAGE_FORMAT_PCX));
    EXPECT_STREQ(img.GetLastError(), "Error: Not a PCX file");
    h = Header(4, 1, 8, 1, 4);
    h[2] = 0;
    EXPECT_FALSE(DecodeBytes(h, img, IMAGE_FORMAT_PCX));
    EXPECT_STREQ(img.GetLastError(), "PCX file has unknown encoding scheme");
    EXPECT_FALSE(DecodeBytes(Header(4, 1, 1, 5, 2), img, IMAGE_FORMAT_PCX));
    EXPECT_STREQ(img.GetLastError(), "Can't handle image with more than 4 planes");
    for (const Bytes& bad : {Header(4, 1, 8, 2, 4), Header(4, 1, 4, 2, 2), Header(4, 1, 2, 4, 2)}) {
        EXPECT_FALSE(DecodeBytes(Cat(bad, Bytes(16, 0)), img, IMAGE_FORMAT_PCX));
        EXPECT_STREQ(img.GetLastError(), "Can't handle more than 1 bit per pixel");
    }
    // Lines too short for the width, no planes, an unknown depth, x max below x min: not a picture.
    Bytes backwards = Header(4, 1, 8, 1, 4);
    backwards[4] = 10;
    for (const Bytes& bad : {Header(20, 1, 8, 1, 10), Header(4, 1, 8, 0, 4), Header(4, 1, 3, 1, 4), backwards}) {
        EXPECT_FALSE(DecodeBytes(Cat(bad, Bytes(64, 0)), img, IMAGE_FORMAT_PCX));
        EXPECT_STREQ(img.GetLastError(), "bad PCX header");
    }
    EXPECT_FALSE(DecodeBytes(Cat(Header(4, 2, 8, 1, 4), {1, 2, 3}), img, IMAGE_FORMAT_PCX));
    EXPECT_STREQ(img.GetLastError(), "corrupted PCX");
    EXPECT_FALSE(DecodeBytes(Cat(Header(4, 1, 8, 1, 4), {0xC5, 1}), img, IMAGE_FORMAT_PCX));
    EXPECT_STREQ(img.GetLastError(), "repeat count spans end of image");
    EXPECT_FALSE(DecodeBytes(Cat(Header(4, 1, 8, 1, 4), {0xC4, 1, 0}), img, IMAGE_FORMAT_PCX));
    EXPECT_STREQ(img.GetLastError(), "bad color map signature");
    CRasterImagePCX direct;
    EXPECT_FALSE(direct.Decode(nullptr));
}

TEST(PcxCodec, RunLengthDecoding)
{
    // C3 07 is three 7s, C0 07 nothing, 05 itself; the 8-bit palette follows the data.
    Bytes data = Cat(Header(4, 1, 8, 1, 4), {0xC3, 7, 0xC0, 7, 5, 12});
    Bytes palette(768, 0);
    palette[7 * 3] = 200;
    palette[5 * 3 + 2] = 100;
    data = Cat(data, palette);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(data, img, IMAGE_FORMAT_PCX)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetBpp(), 8);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 0), 7);
    EXPECT_EQ(img.GetPixelIndex(3, 0), 5);
    EXPECT_EQ(TopDown(img, 0, 0), 0xC80000u);
    EXPECT_EQ(TopDown(img, 3, 0), 0x000064u);
    EXPECT_EQ(img.GetXDPI(), 72);
    EXPECT_EQ(img.GetYDPI(), 150);
}

TEST(PcxCodec, RunLengthEncoding)
{
    EXPECT_EQ(Pack(Bytes(100, 9)), (Bytes{0xFF, 9, 0xE5, 9}));
    EXPECT_EQ(Pack(Bytes{200}), (Bytes{0xC1, 200}));
    EXPECT_EQ(Pack(Bytes{1, 2, 2, 3}), (Bytes{1, 0xC2, 2, 3}));
    std::vector<BYTE> out;
    BYTE last = 0;
    LONG count = 0;
    for (int i = 0; i < 100; ++i)
        CRasterImagePCX::PackPixels(9, last, count, out);
    CRasterImagePCX::PackPixels(-1, last, count, out);
    EXPECT_EQ(out, (Bytes{0xFF, 9, 0xE5, 9}));
    out.clear();
    last = 0;
    count = 0;
    for (BYTE v : {5, 200, 7})
        CRasterImagePCX::PackPixels(v, last, count, out);
    CRasterImagePCX::PackPixels(-2, last, count, out);
    EXPECT_EQ(out, (Bytes{5, 0xC1, 200, 7, 0}));
    BYTE plane[2];
    const BYTE idx[10] = {1, 0, 3, 2, 1, 1, 0, 0, 3, 1};
    CRasterImagePCX::PixelsToPlanes(idx, 10, plane, 1);
    EXPECT_EQ(plane[0], 0x30);
    EXPECT_EQ(plane[1], 0x80);
}

TEST(PcxCodec, EveryHeaderCombination)
{
    Bytes map(48, 0);
    for (int i = 0; i < 16; ++i) {
        map[i * 3] = BYTE(i * 16);
        map[i * 3 + 1] = BYTE(255 - i);
        map[i * 3 + 2] = BYTE(i);
    }
    auto entry = [&](int i) { return unsigned(map[i * 3]) << 16 | unsigned(map[i * 3 + 1]) << 8 | map[i * 3 + 2]; };
    CRasterImage img;
    // 1 plane of 1 bit: black and white whatever the header map says.
    ASSERT_TRUE(DecodeBytes(Cat(Header(8, 1, 1, 1, 2, map), {0xA5, 0}), img, IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(TopDown(img, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(TopDown(img, 1, 0), 0u);
    // 1 plane of 2 bits: 4-bit image, header map.
    ASSERT_TRUE(DecodeBytes(Cat(Header(4, 1, 2, 1, 2, map), {0x1B, 0}), img, IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(3, 0), 3);
    EXPECT_EQ(TopDown(img, 2, 0), entry(2));
    // 1 plane of 4 bits.
    ASSERT_TRUE(DecodeBytes(Cat(Header(3, 1, 4, 1, 2, map), {0x9A, 0x30}), img, IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 9);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 10);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 3);
    EXPECT_EQ(TopDown(img, 1, 0), entry(10));
    // 4 planes of 1 bit: plane p is bit p of the index.
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 1, 1, 4, 2, map), {0x80, 0, 0x40, 0, 0xC1, 0xC0, 0, 0x00, 0}), img, IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1 | 4);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 2 | 4);
    // 3 planes of 1 bit: only plane 0 survives, with the header's first two entries.
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 1, 1, 3, 2, map), {0x80, 0, 0xC1, 0xC0, 0, 0x40, 0}), img, IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(TopDown(img, 0, 0), entry(1));
    // 3 planes of 8 bits: red, green, blue; 2 rows, top first.
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 2, 8, 3, 2), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), img, IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_FALSE(img.AlphaIsValid());
    EXPECT_EQ(TopDown(img, 0, 0), 0x010305u);
    EXPECT_EQ(TopDown(img, 1, 1), 0x080A0Cu);
    // 4 planes of 8 bits: the fourth is alpha.
    ASSERT_TRUE(DecodeBytes(Cat(Header(2, 1, 8, 4, 2), {1, 2, 3, 4, 5, 6, 70, 80}), img, IMAGE_FORMAT_PCX));
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(img.AlphaGet(0, 0), 70);
    EXPECT_EQ(img.AlphaGet(1, 0), 80);
    // A resolution of 0 stays 0.
    Bytes zero = Header(2, 1, 8, 3, 2);
    zero[12] = zero[14] = 0;
    ASSERT_TRUE(DecodeBytes(Cat(zero, Bytes(6, 1)), img, IMAGE_FORMAT_PCX));
    EXPECT_EQ(img.GetXDPI(), 0);
}

TEST(PcxCodec, WriterLayout)
{
    // An 8-bit image 3 wide: bytes per line 4, each row ends with a pad byte 0.
    CRasterImage img;
    Pattern(img, 3, 2, 8);
    Bytes out = EncodeBytes(img, IMAGE_FORMAT_PCX);
    ASSERT_GE(out.size(), 128u);
    EXPECT_EQ(out[0], 10);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(out[3], 8);
    EXPECT_EQ(out[65], 1);
    EXPECT_EQ(out[66] | (out[67] << 8), 4);
    EXPECT_EQ(out[68], 0);
    EXPECT_EQ(out[out.size() - 769], 12);
    // 24 bits: 3 planes, palette info 1; with alpha 4 planes.
    Pattern(img, 5, 2, 24);
    out = EncodeBytes(img, IMAGE_FORMAT_PCX);
    EXPECT_EQ(out[65], 3);
    EXPECT_EQ(out[66], 6);
    EXPECT_EQ(out[68], 1);
    img.AlphaCreate();
    img.AlphaSet(2, 1, 9);
    out = EncodeBytes(img, IMAGE_FORMAT_PCX);
    EXPECT_EQ(out[65], 4);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_PCX));
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(2, 1), 9);
    ExpectSamePicture(img, back, "24-bit with alpha");
    // 4 bits: 4 bit planes and the palette in the header; 1 bit: one plane, black then white.
    Pattern(img, 9, 2, 4);
    out = EncodeBytes(img, IMAGE_FORMAT_PCX);
    EXPECT_EQ(out[3], 1);
    EXPECT_EQ(out[65], 4);
    EXPECT_EQ(out[66], 2);
    EXPECT_EQ(out[16 + 3 * 3], img.GetPaletteColor(3).rgbRed);
    Pattern(img, 9, 2, 1);
    out = EncodeBytes(img, IMAGE_FORMAT_PCX);
    EXPECT_EQ(out[65], 1);
    EXPECT_EQ(out[16], 0);
    EXPECT_EQ(out[19], 255);
}

TEST(PcxCodec, RoundTripsAtEveryWrittenDepth)
{
    for (DWORD bpp : {1u, 4u, 8u, 24u}) {
        for (LONG w : {1, 8, 17}) {
            CRasterImage img;
            Pattern(img, w, 5, bpp);
            if (bpp == 1) {
                img.SetPaletteColor(0, 0, 0, 0);
                img.SetPaletteColor(1, 255, 255, 255);
            }
            CRasterImage back;
            ASSERT_TRUE(DecodeBytes(EncodeBytes(img, IMAGE_FORMAT_PCX), back, IMAGE_FORMAT_PCX)) << back.GetLastError();
            EXPECT_EQ(back.GetBpp(), bpp);
            ExpectSamePicture(img, back, "depth " + std::to_string(bpp) + " width " + std::to_string(w));
        }
    }
}

TEST(PcxCodec, LightFirstMonochromePaletteIsWrittenInverted)
{
    CRasterImage img(10, 1, 1, 0);
    img.SetPaletteColor(0, 255, 255, 255);
    img.SetPaletteColor(1, 0, 0, 0);
    img.SetPixelIndex(3, 0, 1);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(EncodeBytes(img, IMAGE_FORMAT_PCX), back, IMAGE_FORMAT_PCX));
    EXPECT_EQ(back.GetPixelIndex(3, 0), 0);
    EXPECT_EQ(TopDown(back, 3, 0), 0u);
    EXPECT_EQ(TopDown(back, 0, 0), 0xFFFFFFu);
}

TEST(PcxCodec, WriterRefusals)
{
    CRasterImage empty;
    EXPECT_TRUE(EncodeBytes(empty, IMAGE_FORMAT_PCX).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    // Widths whose lines do not fit the 16-bit header field are refused rather than written wrong.
    CRasterImage wide(70000, 1, 8, 0);
    EXPECT_TRUE(EncodeBytes(wide, IMAGE_FORMAT_PCX).empty());
    EXPECT_STREQ(wide.GetLastError(), "Can't save this image as PCX");
}
