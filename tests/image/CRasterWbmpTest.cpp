// WBMP codec: the one-byte header, bit order and row order, the refusals of reader and writer.
#include "image/CRasterWbmp.h"
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

TEST(WbmpCodec, DecodesTopRowFirstMostSignificantBitLeftmost)
{
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes({0x00, 0x00, 0x03, 0x02, 0xA0, 0x40}, img, IMAGE_FORMAT_WBMP)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_WBMP));
    ASSERT_EQ(img.GetWidth(), 3u);
    ASSERT_EQ(img.GetHeight(), 2u);
    EXPECT_EQ(img.GetBpp(), 1);
    const unsigned white = 0xFFFFFF, black = 0;
    EXPECT_EQ(TopDown(img, 0, 0), white);
    EXPECT_EQ(TopDown(img, 1, 0), black);
    EXPECT_EQ(TopDown(img, 2, 0), white);
    EXPECT_EQ(TopDown(img, 0, 1), black);
    EXPECT_EQ(TopDown(img, 1, 1), white);
    EXPECT_EQ(TopDown(img, 2, 1), black);
    EXPECT_EQ(img.GetPaletteColor(0).rgbGreen, 0);
    EXPECT_EQ(img.GetPaletteColor(1).rgbGreen, 255);
}

TEST(WbmpCodec, RefusesBadHeadersWithTheirMessages)
{
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes({0x00, 0x00, 0x03}, img, IMAGE_FORMAT_WBMP));
    EXPECT_STREQ(img.GetLastError(), "Not a WBMP");
    EXPECT_FALSE(DecodeBytes({0x01, 0x00, 0x03, 0x02, 0xA0, 0x40}, img, IMAGE_FORMAT_WBMP));
    EXPECT_STREQ(img.GetLastError(), "Unsupported WBMP type");
    EXPECT_FALSE(DecodeBytes({0x00, 0x00, 0x00, 0x02, 0xA0, 0x40}, img, IMAGE_FORMAT_WBMP));
    EXPECT_STREQ(img.GetLastError(), "Corrupted WBMP");
    EXPECT_FALSE(DecodeBytes({0x00, 0x00, 0x05, 0x00}, img, IMAGE_FORMAT_WBMP));
    EXPECT_STREQ(img.GetLastError(), "Corrupted WBMP");
    EXPECT_FALSE(img.IsValid());
    CRasterImageWBMP direct;
    EXPECT_FALSE(direct.Decode(nullptr));
    EXPECT_STREQ(direct.GetLastError(), "");
}

TEST(WbmpCodec, ShortFileLeavesMissingRowsBlack)
{
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes({0x00, 0x00, 0x08, 0x03, 0xFF}, img, IMAGE_FORMAT_WBMP));
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(TopDown(img, x, 0), 0xFFFFFFu);
        EXPECT_EQ(TopDown(img, x, 1), 0u);
        EXPECT_EQ(TopDown(img, x, 2), 0u);
    }
}

TEST(WbmpCodec, WritesRowsAsStoredAndRefusesWhatItCannotHold)
{
    CRasterImage img(9, 2, 1, 0);
    img.SetGrayPalette();
    img.SetPixelIndex(0, 1, 1); // top-left
    img.SetPixelIndex(8, 0, 1); // bottom-right
    const Bytes out = EncodeBytes(img, IMAGE_FORMAT_WBMP);
    EXPECT_EQ(out, (Bytes{0, 0, 9, 2, 0x80, 0x00, 0x00, 0x80}));

    CRasterImage wide(256, 10, 1, 0);
    EXPECT_TRUE(EncodeBytes(wide, IMAGE_FORMAT_WBMP).empty());
    EXPECT_STREQ(wide.GetLastError(), "Can't save this image as WBMP");
    CRasterImage tall(10, 256, 1, 0);
    EXPECT_TRUE(EncodeBytes(tall, IMAGE_FORMAT_WBMP).empty());
    EXPECT_STREQ(tall.GetLastError(), "Can't save this image as WBMP");
    CRasterImage deep(10, 10, 8, 0);
    EXPECT_TRUE(EncodeBytes(deep, IMAGE_FORMAT_WBMP).empty());
    EXPECT_STREQ(deep.GetLastError(), "Can't save this image as WBMP");
    CRasterImage empty;
    EXPECT_TRUE(EncodeBytes(empty, IMAGE_FORMAT_WBMP).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

TEST(WbmpCodec, PaletteIsNotConsultedWhenWriting)
{
    CRasterImage img(4, 1, 1, 0);
    img.SetPaletteColor(0, 255, 255, 255);
    img.SetPaletteColor(1, 0, 0, 0);
    img.SetPixelIndex(1, 0, 1); // black in this palette
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(EncodeBytes(img, IMAGE_FORMAT_WBMP), back, IMAGE_FORMAT_WBMP));
    // Written as a set bit: it reads back white, the white pixels black.
    EXPECT_EQ(TopDown(back, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(TopDown(back, 0, 0), 0u);
}

TEST(WbmpCodec, RoundTripsAtTheLargestSizeAndIsFoundByDetection)
{
    CRasterImage img;
    Pattern(img, 255, 255, 1);
    img.SetGrayPalette();
    const Bytes out = EncodeBytes(img, IMAGE_FORMAT_WBMP);
    ASSERT_EQ(out.size(), 4u + 255u * 32u);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_UNKNOWN)) << back.GetLastError();
    EXPECT_EQ(back.GetType(), DWORD(IMAGE_FORMAT_WBMP));
    ExpectSamePicture(img, back, "255 x 255");
}
