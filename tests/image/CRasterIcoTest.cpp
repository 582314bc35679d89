// ICO codec: the directory and frame choice, the AND mask turned into a transparent index, colour or
// alpha, and the single-image writer with its mask.
#include "image/CRasterIco.h"
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

namespace {

struct IconImage {
    int w, h, bits;
    Bytes palette; // 4-byte entries
    Bytes pixels;  // bottom-up, padded rows
    Bytes mask;    // bottom-up, rows of ((w + 31) / 32) x 4 bytes
};

Bytes IconFile(const std::vector<IconImage>& images, WORD type = 1)
{
    Bytes b;
    Put16(b, 0);
    Put16(b, type);
    Put16(b, unsigned(images.size()));
    unsigned offset = 6 + 16 * unsigned(images.size());
    std::vector<Bytes> data;
    for (const IconImage& im : images) {
        Bytes d;
        Put32(d, 40);
        Put32(d, unsigned(im.w));
        Put32(d, unsigned(im.h * 2));
        Put16(d, 1);
        Put16(d, unsigned(im.bits));
        Put32(d, 0);
        Put32(d, unsigned(im.pixels.size()));
        for (int i = 0; i < 4; ++i)
            Put32(d, 0);
        d.insert(d.end(), im.palette.begin(), im.palette.end());
        d.insert(d.end(), im.pixels.begin(), im.pixels.end());
        d.insert(d.end(), im.mask.begin(), im.mask.end());
        b.push_back(BYTE(im.w));
        b.push_back(BYTE(im.h));
        b.push_back(0);
        b.push_back(0);
        Put16(b, 1);
        Put16(b, unsigned(im.bits));
        Put32(b, unsigned(d.size()));
        Put32(b, offset);
        offset += unsigned(d.size());
        data.push_back(d);
    }
    for (const Bytes& d : data)
        b.insert(b.end(), d.begin(), d.end());
    return b;
}

// A 4 x 4 4-bit icon using indexes 1 to 3, with the given mask rows (bottom-up, one byte each).
IconImage FourBit(const Bytes& maskRows)
{
    IconImage im{4, 4, 4, Bytes(64, 0), {}, {}};
    for (int i = 0; i < 16; ++i) {
        im.palette[i * 4] = BYTE(i * 10);
        im.palette[i * 4 + 1] = BYTE(i * 5);
        im.palette[i * 4 + 2] = BYTE(255 - i);
    }
    for (int y = 0; y < 4; ++y)
        im.pixels.insert(im.pixels.end(), {0x12, 0x31, 0, 0});
    for (BYTE m : maskRows)
        im.mask.insert(im.mask.end(), {m, 0, 0, 0});
    return im;
}

} // namespace

TEST(IcoCodec, DirectoryChecksAndFrames)
{
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes({0, 0, 3, 0, 1, 0}, img, IMAGE_FORMAT_ICO));
    EXPECT_FALSE(DecodeBytes({1, 0, 1, 0, 1, 0}, img, IMAGE_FORMAT_ICO));
    EXPECT_STREQ(img.GetLastError(), "");

    IconImage a = FourBit({0, 0, 0, 0}), b = FourBit({0, 0, 0, 0}), c = FourBit({0, 0, 0, 0});
    b.palette[1 * 4 + 2] = 7; // entry 1's red tells the second image apart
    b.w = 3;
    const Bytes file = IconFile({a, b, c});
    img.SetFrame(1);
    ASSERT_TRUE(DecodeBytes(file, img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetNumFrames(), 3);
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 7);
    // A frame beyond the directory fails, and the caller learns the count.
    CRasterImage other;
    other.SetFrame(3);
    EXPECT_FALSE(DecodeBytes(file, other, IMAGE_FORMAT_ICO));
    EXPECT_EQ(other.GetNumFrames(), 3);
    // A cursor decodes like an icon.
    CRasterImage cursor;
    ASSERT_TRUE(DecodeBytes(IconFile({a}, 2), cursor, IMAGE_FORMAT_ICO));
    EXPECT_EQ(cursor.GetWidth(), 4u);
    // Width 0 (256 in later files) cannot be created here.
    IconImage zero = a;
    zero.w = 0;
    EXPECT_FALSE(DecodeBytes(IconFile({zero}), img, IMAGE_FORMAT_ICO));
    // An embedded PNG (no 40-byte header) and a depth without a layout here are refused.
    Bytes png = IconFile({a});
    png[22] = 0x89;
    png[23] = 'P';
    EXPECT_FALSE(DecodeBytes(png, img, IMAGE_FORMAT_ICO));
    IconImage sixteen = a;
    sixteen.bits = 16;
    EXPECT_FALSE(DecodeBytes(IconFile({sixteen}), img, IMAGE_FORMAT_ICO));
}

TEST(IcoCodec, MaskBecomesTheFirstUnusedIndex)
{
    // Border masked: the pixels use indexes 1, 2 and 3, so index 0 is the first free one.
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(IconFile({FourBit({0xF0, 0x90, 0x90, 0xF0})}), img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(img.GetTransIndex(), 0);
    EXPECT_FALSE(img.AlphaIsValid());
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(3, 2), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 2);
    EXPECT_EQ(img.GetPixelIndex(2, 2), 3);
    // No masked pixel: nothing becomes transparent.
    CRasterImage clear;
    ASSERT_TRUE(DecodeBytes(IconFile({FourBit({0, 0, 0, 0})}), clear, IMAGE_FORMAT_ICO));
    EXPECT_EQ(clear.GetTransIndex(), -1);
    EXPECT_FALSE(clear.AlphaIsValid());
}

TEST(IcoCodec, EveryIndexUsedKeepsAlpha)
{
    IconImage im{2, 1, 1, {0, 0, 0, 0, 255, 255, 255, 0}, {0x80, 0, 0, 0}, {0x40, 0, 0, 0}};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(IconFile({im}), img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetTransIndex(), -1);
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(img.AlphaGet(0, 0), 255);
    EXPECT_EQ(img.AlphaGet(1, 0), 0);
}

TEST(IcoCodec, WholeMaskSetInvertsAndMarksIndexZero)
{
    IconImage im = FourBit({0xFF, 0xFF, 0xFF, 0xFF});
    for (BYTE& b : im.mask)
        b = 0xFF;
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(IconFile({im}), img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetTransIndex(), 0);
    // A colour palette is inverted, not the indexes.
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 255 - 254);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
}

TEST(IcoCodec, TrueColourMasks)
{
    // 24 bits, masked pixels all one colour: that colour becomes the transparent colour.
    IconImage im{2, 2, 24, {}, {1, 2, 3, 9, 9, 9, 0, 0, 4, 5, 6, 9, 9, 9, 0, 0}, {0x40, 0, 0, 0, 0x40, 0, 0, 0}};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(IconFile({im}), img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetTransIndex(), 0);
    EXPECT_FALSE(img.AlphaIsValid());
    EXPECT_EQ(img.GetTransColor().rgbRed, 9);
    // Masked pixels of different colours keep an alpha plane; decoding into an image that was
    // transparent before does not keep its old transparency.
    im.pixels[3] = 8;
    ASSERT_TRUE(DecodeBytes(IconFile({im}), img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetTransIndex(), -1);
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(img.AlphaGet(1, 0), 0);
    EXPECT_EQ(img.AlphaGet(0, 0), 255);
    // 32 bits keep their alpha and get 0 where the mask is set.
    IconImage argb{2, 1, 32, {}, {1, 2, 3, 100, 4, 5, 6, 200}, {0x40, 0, 0, 0}};
    ASSERT_TRUE(DecodeBytes(IconFile({argb}), img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.GetBpp(), 24);
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(img.AlphaGet(0, 0), 100);
    EXPECT_EQ(img.AlphaGet(1, 0), 0);
    EXPECT_EQ(TopDown(img, 1, 0), 0x060504u);
    // No mask at all: the picture as read.
    argb.mask.clear();
    ASSERT_TRUE(DecodeBytes(IconFile({argb}), img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(img.AlphaGet(1, 0), 200);
}

TEST(IcoCodec, ShortPaletteIsReadAtItsOwnLength)
{
    // An 8-bit icon whose header names 2 colours stores only those 2 entries.
    IconImage im{1, 1, 8, {10, 20, 30, 0, 40, 50, 60, 0}, {1, 0, 0, 0}, {0, 0, 0, 0}};
    Bytes file = IconFile({im});
    file[22 + 32] = 2; // colours used
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(file, img, IMAGE_FORMAT_ICO));
    EXPECT_EQ(TopDown(img, 0, 0), 0x3C3228u);
}

TEST(IcoCodec, WriterLayoutAndRoundTrips)
{
    for (DWORD bpp : {1u, 4u, 8u, 24u}) {
        CRasterImage img;
        Pattern(img, 17, 9, bpp);
        const Bytes out = EncodeBytes(img, IMAGE_FORMAT_ICO);
        ASSERT_FALSE(out.empty()) << img.GetLastError();
        const unsigned colours = img.GetNumColors();
        const unsigned mask = 4 * 9, pixels = img.GetHeader().biSizeImage;
        EXPECT_EQ(out.size(), 22u + 40 + colours * 4 + pixels + mask);
        EXPECT_EQ(out[8], BYTE(colours));
        EXPECT_EQ(out[12] | (out[13] << 8), int(bpp));
        EXPECT_EQ(out[18], 22);
        EXPECT_EQ(out[22 + 8], 18); // the header's height counts both masks
        CRasterImage back;
        ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_ICO)) << bpp;
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(back.GetTransIndex(), -1);
        ExpectSamePicture(img, back, "depth " + std::to_string(bpp));
    }
}

TEST(IcoCodec, WriterMaskFromAlphaAndTransparency)
{
    // 24 bits with alpha: a 32-bit icon whose mask marks alpha 0.
    CRasterImage img;
    Pattern(img, 3, 2, 24);
    img.AlphaCreate();
    img.AlphaSet(1, 0, 0);
    img.AlphaSet(2, 1, 90);
    Bytes out = EncodeBytes(img, IMAGE_FORMAT_ICO);
    EXPECT_EQ(out[12], 32);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_ICO));
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(1, 0), 0);
    EXPECT_EQ(back.AlphaGet(2, 1), 90);
    EXPECT_EQ(back.AlphaGet(0, 0), 255);
    // A transparent index: its pixels are masked, and the reader paints them with a free index.
    CRasterImage idx(4, 1, 4, 0);
    for (int i = 0; i < 16; ++i)
        idx.SetPaletteColor(BYTE(i), BYTE(i * 16), 0, 0);
    idx.SetPixelIndex(0, 0, 5);
    idx.SetPixelIndex(1, 0, 6);
    idx.SetPixelIndex(2, 0, 5);
    idx.SetPixelIndex(3, 0, 7);
    idx.SetTransIndex(5);
    out = EncodeBytes(idx, IMAGE_FORMAT_ICO);
    ASSERT_TRUE(DecodeBytes(out, back, IMAGE_FORMAT_ICO));
    EXPECT_EQ(back.GetTransIndex(), 0);
    EXPECT_EQ(back.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(back.GetPixelIndex(1, 0), 6);
    EXPECT_EQ(back.GetPixelIndex(2, 0), 0);
}

TEST(IcoCodec, WriterRefusals)
{
    CRasterImage big(256, 256, 24, 0);
    EXPECT_TRUE(EncodeBytes(big, IMAGE_FORMAT_ICO).empty());
    EXPECT_STREQ(big.GetLastError(), "Can't save this image as icon");
    CRasterImage empty;
    EXPECT_TRUE(EncodeBytes(empty, IMAGE_FORMAT_ICO).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}
