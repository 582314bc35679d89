// Crop, depth increase, flip, mirror, quarter turns, negative and the selection, at every depth.
#include "image/CRasterImage.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

using imagetest::Fill;

namespace {

// The value a test compares: the palette index for palette images, the colour for 24-bit ones.
std::uint32_t Value(const CRasterImage& img, LONG x, LONG y)
{
    if (img.GetBpp() <= 8)
        return img.GetPixelIndex(x, y);
    RGBQUAD c = img.GetPixelColor(x, y, false);
    return (std::uint32_t(c.rgbRed) << 16) | (std::uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
}

void WithAlpha(CRasterImage& img)
{
    img.AlphaCreate();
    for (LONG y = 0; y < LONG(img.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(img.GetWidth()); ++x)
            img.AlphaSet(x, y, BYTE(x * 3 + y * 7));
}

} // namespace

class RasterTransformDepth : public ::testing::TestWithParam<DWORD> {};

TEST_P(RasterTransformDepth, FlipAndMirrorMovePixelsAndAlpha)
{
    const LONG w = 13, h = 5;
    CRasterImage src;
    Fill(src, w, h, GetParam());
    WithAlpha(src);
    src.SetXDPI(200);

    CRasterImage flipped(src);
    ASSERT_TRUE(flipped.Flip());
    CRasterImage mirrored(src);
    ASSERT_TRUE(mirrored.Mirror());
    EXPECT_EQ(flipped.GetXDPI(), 200);
    EXPECT_EQ(mirrored.GetBpp(), src.GetBpp());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            ASSERT_EQ(Value(flipped, x, y), Value(src, x, h - 1 - y)) << x << "," << y;
            ASSERT_EQ(flipped.AlphaGet(x, y), src.AlphaGet(x, h - 1 - y));
            ASSERT_EQ(Value(mirrored, x, y), Value(src, w - 1 - x, y)) << x << "," << y;
            ASSERT_EQ(mirrored.AlphaGet(x, y), src.AlphaGet(w - 1 - x, y));
        }
}

TEST_P(RasterTransformDepth, QuarterTurnsMapEveryPixel)
{
    // 70 x 67 crosses the 64 x 64 blocks in both directions.
    const LONG w = 70, h = 67;
    CRasterImage src;
    Fill(src, w, h, GetParam());
    WithAlpha(src);
    src.SelectionDelete();

    CRasterImage left;
    ASSERT_TRUE(src.RotateLeft(&left));
    ASSERT_EQ(left.GetWidth(), DWORD(h));
    ASSERT_EQ(left.GetHeight(), DWORD(w));
    CRasterImage right(src);
    ASSERT_TRUE(right.RotateRight());
    ASSERT_EQ(right.GetWidth(), DWORD(h));
    for (LONG y = 0; y < w; ++y)
        for (LONG x = 0; x < h; ++x) {
            ASSERT_EQ(Value(left, x, y), Value(src, y, h - 1 - x)) << x << "," << y;
            ASSERT_EQ(left.AlphaGet(x, y), src.AlphaGet(y, h - 1 - x));
            ASSERT_EQ(Value(right, x, y), Value(src, w - 1 - y, x)) << x << "," << y;
            ASSERT_EQ(right.AlphaGet(x, y), src.AlphaGet(w - 1 - y, x));
        }
    // Left then right gives the picture back, byte for byte.
    ASSERT_TRUE(left.RotateRight());
    EXPECT_EQ(std::memcmp(left.GetDIB(), src.GetDIB(), src.GetSize()), 0);
    EXPECT_EQ(std::memcmp(left.AlphaGetPointer(0, 0), src.AlphaGetPointer(0, 0), std::size_t(w) * h), 0);
}

TEST_P(RasterTransformDepth, CropCutsFromTheTopLeft)
{
    CRasterImage src;
    Fill(src, 20, 20, GetParam());
    WithAlpha(src);
    src.SetTransIndex(1);
    src.SetXDPI(300);
    CRasterImage full;
    ASSERT_TRUE(src.Crop(0, 0, 20, 20, &full));
    EXPECT_EQ(std::memcmp(static_cast<BYTE*>(full.GetDIB()) + 40, static_cast<BYTE*>(src.GetDIB()) + 40,
                          src.GetSize() - 40),
              0);
    EXPECT_EQ(full.GetXDPI(), 96); // DPI is not carried over
    EXPECT_EQ(full.GetTransIndex(), 1);

    // Beyond the image is clamped: (-5, -5, 10, 10) is the top-left 10 x 10 corner.
    CRasterImage corner;
    ASSERT_TRUE(src.Crop(-5, -5, 10, 10, &corner));
    ASSERT_EQ(corner.GetWidth(), 10u);
    ASSERT_EQ(corner.GetHeight(), 10u);
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 10; ++x) {
            ASSERT_EQ(Value(corner, x, y), Value(src, x, y + 10)) << x << "," << y;
            ASSERT_EQ(corner.AlphaGet(x, y), src.AlphaGet(x, y + 10));
        }
    // An inner rectangle given right-to-left and bottom-to-top is ordered first.
    CRasterImage inner;
    ASSERT_TRUE(src.Crop(9, 15, 3, 4, &inner));
    ASSERT_EQ(inner.GetWidth(), 6u);
    ASSERT_EQ(inner.GetHeight(), 11u);
    EXPECT_EQ(Value(inner, 0, 0), Value(src, 3, 20 - 15));
    EXPECT_EQ(Value(inner, 5, 10), Value(src, 8, 20 - 5));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, RasterTransformDepth, ::testing::Values(1u, 4u, 8u, 24u));

TEST(RasterTransform, CropRefusalsAndInPlace)
{
    CRasterImage src;
    Fill(src, 8, 8, 8);
    const std::uint32_t before = Value(src, 3, 3);
    EXPECT_FALSE(src.Crop(4, 0, 4, 8));
    EXPECT_FALSE(src.Crop(10, 0, 30, 8)); // both clamp to 8
    EXPECT_EQ(src.GetWidth(), 8u);
    EXPECT_EQ(Value(src, 3, 3), before);
    EXPECT_FALSE(CRasterImage().Crop(0, 0, 1, 1));
    struct {
        int left, top, right, bottom;
    } rect{2, 2, 6, 6};
    ASSERT_TRUE(src.Crop(rect));
    EXPECT_EQ(src.GetWidth(), 4u);
    EXPECT_EQ(src.GetPaletteColor(7).rgbRed, 7 * 7 + 3);
}

TEST(RasterTransform, IncreaseBpp)
{
    CRasterImage img;
    Fill(img, 9, 4, 8);
    img.SetTransIndex(3);
    img.SetXDPI(150);
    const RGBQUAD pal3 = img.GetPaletteColor(3);
    CRasterImage src(img);
    ASSERT_TRUE(img.IncreaseBpp(24));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetTransIndex(), 3);
    EXPECT_TRUE(imagetest::SameColor(img.GetTransColor(), pal3));
    EXPECT_EQ(img.GetXDPI(), 150);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 9; ++x)
            ASSERT_TRUE(imagetest::SameColor(img.GetPixelColor(x, y), src.GetPixelColor(x, y)));
    EXPECT_FALSE(img.IncreaseBpp(8));
    EXPECT_TRUE(img.IncreaseBpp(24));
    EXPECT_FALSE(img.IncreaseBpp(16));

    CRasterImage one;
    Fill(one, 11, 3, 1);
    CRasterImage oneCopy(one);
    ASSERT_TRUE(one.IncreaseBpp(4));
    EXPECT_EQ(one.GetBpp(), 4);
    for (LONG x = 0; x < 11; ++x)
        EXPECT_EQ(one.GetPixelIndex(x, 2), oneCopy.GetPixelIndex(x, 2));
    EXPECT_TRUE(imagetest::SameColor(one.GetPaletteColor(1), oneCopy.GetPaletteColor(1)));

    // The escape flag stops the conversion early; the image is still replaced, the rows not yet
    // converted keeping the new image's zeroed contents.
    CRasterImage stopped;
    Fill(stopped, 4, 3, 8);
    stopped.SetEscape(1);
    ASSERT_TRUE(stopped.IncreaseBpp(24));
    EXPECT_EQ(stopped.GetBpp(), 24);
    EXPECT_TRUE(imagetest::SameColor(stopped.GetPixelColor(3, 2), RGBQUAD{0, 0, 0, 0}));

    // Palette alpha becomes an alpha plane at 24 bits.
    CRasterImage pa(2, 1, 8);
    pa.SetPaletteColor(1, 10, 20, 30, 40);
    pa.SetPixelIndex(1, 0, 1);
    ASSERT_TRUE(pa.IncreaseBpp(24));
    ASSERT_TRUE(pa.AlphaIsValid());
    EXPECT_EQ(pa.AlphaGet(1, 0), 40);
    EXPECT_EQ(pa.AlphaGet(0, 0), 0);
}

TEST(RasterTransform, Negative)
{
    // A colour palette: only the palette changes.
    CRasterImage colour;
    Fill(colour, 4, 4, 8);
    CRasterImage before(colour);
    ASSERT_TRUE(colour.Negative());
    EXPECT_EQ(colour.GetPixelIndex(2, 3), before.GetPixelIndex(2, 3));
    EXPECT_EQ(colour.GetPaletteColor(10).rgbRed, BYTE(~before.GetPaletteColor(10).rgbRed));

    // A grey ramp: the indexes change, 255 - i.
    CRasterImage gray(4, 4, 8);
    gray.SetGrayPalette();
    gray.SetPixelIndex(1, 1, 10);
    ASSERT_TRUE(gray.Negative());
    EXPECT_EQ(gray.GetPixelIndex(1, 1), 245);
    EXPECT_EQ(gray.GetPixelIndex(0, 0), 255);
    EXPECT_EQ(gray.GetPaletteColor(10).rgbRed, 10);

    // 24 bits: every byte, padding included, and the transparent colour.
    CRasterImage rgb(3, 2, 24);
    rgb.SetPixelColor(0, 0, RGBQUAD{1, 2, 3, 0});
    rgb.SetTransColor(RGBQUAD{10, 20, 30, 0});
    ASSERT_TRUE(rgb.Negative());
    EXPECT_TRUE(imagetest::SameColor(rgb.GetPixelColor(0, 0), RGBQUAD{254, 253, 252, 0}));
    EXPECT_EQ(rgb.GetBits(0)[9], 0xFF); // padding byte
    EXPECT_EQ(rgb.GetTransColor().rgbBlue, 245);
    EXPECT_FALSE(CRasterImage().Negative());
}

TEST(RasterTransform, Selection)
{
    CRasterImage img(5, 4, 24);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            ASSERT_TRUE(img.SelectionIsInside(x, y));
    EXPECT_FALSE(img.SelectionIsInside(-1, 0));
    EXPECT_FALSE(img.SelectionIsInside(5, 0));
    EXPECT_FALSE(img.SelectionIsInside(0, 4));
    CRasterBox box = img.GetSelectionBox();
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 0);
    EXPECT_EQ(box.bottom, 4);
    CRasterImage other(5, 4, 8);
    EXPECT_FALSE(img.SelectionCopy(other)); // no plane to copy
    EXPECT_TRUE(img.SelectionDelete());
}
