// Interpolated sampling: kernels, overflow rules and the results at and beyond the edges.
#include "image/CRasterImage.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CRasterImage Pattern24(LONG w, LONG h)
{
    CRasterImage img;
    imagetest::Fill(img, w, h, 24);
    return img;
}

bool Same4(RGBQUAD a, RGBQUAD b)
{
    return imagetest::SameColor(a, b) && a.rgbReserved == b.rgbReserved;
}

} // namespace

TEST(RasterSampling, NearestRoundsHalfUpAndTruncates)
{
    CRasterImage img = Pattern24(6, 6);
    RGBQUAD c = img.GetPixelColorInterpolated(2.4f, 3.6f, INTERP_NEAREST, OVERFLOW_COLOR);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(2, 4)));
    c = img.GetPixelColorInterpolated(-0.7f, 0.0f, INTERP_NEAREST, OVERFLOW_COLOR);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(0, 0)));
}

TEST(RasterSampling, BilinearExactAndBetweenPixels)
{
    CRasterImage img = Pattern24(6, 6);
    RGBQUAD c = img.GetPixelColorInterpolated(3.0f, 2.0f, INTERP_BILINEAR, OVERFLOW_COLOR);
    EXPECT_TRUE(Same4(c, imagetest::ColorAt(3, 2)));
    // Half way between two pixels in x: 128/256 of each, in integer arithmetic.
    c = img.GetPixelColorInterpolated(3.5f, 2.0f, INTERP_BILINEAR, OVERFLOW_COLOR);
    const RGBQUAD a = imagetest::ColorAt(3, 2), b = imagetest::ColorAt(4, 2);
    EXPECT_EQ(c.rgbBlue, (128 * a.rgbBlue + 128 * b.rgbBlue) >> 8);
    EXPECT_EQ(c.rgbRed, (128 * a.rgbRed + 128 * b.rgbRed) >> 8);
    // With an alpha plane the alpha is interpolated too.
    img.AlphaCreate();
    img.AlphaSet(3, 2, 0);
    img.AlphaSet(4, 2, 200);
    c = img.GetPixelColorInterpolated(3.5f, 2.0f, INTERP_BILINEAR, OVERFLOW_COLOR);
    EXPECT_EQ(c.rgbReserved, 100);
    // Any method outside 1..16 samples bilinearly.
    for (LONG m : {0L, 17L, -3L})
        EXPECT_TRUE(Same4(img.GetPixelColorInterpolated(3.5f, 2.0f, m, OVERFLOW_COLOR), c)) << m;
}

TEST(RasterSampling, FarOutsideWithColourIsWhiteTransparentForEveryMethod)
{
    CRasterImage img = Pattern24(8, 8);
    const RGBQUAD white{255, 255, 255, 0};
    for (LONG m = INTERP_NEAREST; m <= INTERP_CATMULL_ROM; ++m) {
        RGBQUAD c = img.GetPixelColorInterpolated(-10.0f, 3.0f, m, OVERFLOW_COLOR);
        EXPECT_TRUE(Same4(c, white)) << m;
    }
    const RGBQUAD red{0, 0, 255, 77};
    EXPECT_TRUE(Same4(img.GetPixelColorInterpolated(3.0f, 40.0f, INTERP_BICUBIC, OVERFLOW_COLOR, &red), red));
    // Absurd coordinates are clamped, not turned into undefined integers.
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(Same4(img.GetPixelColorInterpolated(inf, -inf, INTERP_LANCZOS, OVERFLOW_COLOR), white));
    EXPECT_TRUE(Same4(img.GetPixelColorInterpolated(std::nanf(""), 1.0f, INTERP_BILINEAR, OVERFLOW_COLOR), white));
    img.GetPixelColorInterpolated(3e38f, 1.0f, INTERP_BICUBIC, OVERFLOW_WRAP);
}

TEST(RasterSampling, OverflowCoordinateRules)
{
    CRasterImage img(10, 4, 24);
    const std::tuple<LONG, LONG, LONG> cases[] = {
        {OVERFLOW_WRAP, -1, 9},  {OVERFLOW_WRAP, 12, 2},  {OVERFLOW_MIRROR, -1, 1},  {OVERFLOW_MIRROR, 10, 9},
        {OVERFLOW_REPEAT, -1, 0}, {OVERFLOW_REPEAT, 10, 9}, {OVERFLOW_WRAP, -21, 9},   {OVERFLOW_COLOR, -1, -1},
    };
    for (auto [method, in, out] : cases) {
        LONG x = in, y = 1;
        img.ResolveOverflow(x, y, method);
        EXPECT_EQ(x, out) << method << " " << in;
        EXPECT_EQ(y, 1);
        float fx = float(in), fy = 1.0f;
        img.ResolveOverflow(fx, fy, method);
        EXPECT_FLOAT_EQ(fx, float(out)) << method << " " << in;
    }
    // Inside: unchanged by every rule.
    LONG x = 4, y = 3;
    img.ResolveOverflow(x, y, OVERFLOW_MIRROR);
    EXPECT_EQ(x, 4);
    // An empty image has nothing to wrap around.
    CRasterImage empty;
    x = -3;
    empty.ResolveOverflow(x, y, OVERFLOW_WRAP);
    EXPECT_EQ(x, -3);
}

TEST(RasterSampling, OverflowColours)
{
    CRasterImage pal(4, 4, 8);
    pal.SetPaletteColor(2, 9, 8, 7, 6);
    pal.SetPaletteColor(5, 1, 1, 1);
    pal.SetPixelIndex(0, 3, 5);
    const RGBQUAD rep{50, 60, 70, 80};
    EXPECT_TRUE(Same4(pal.GetOverflowPixelColor(-1, 0, OVERFLOW_BACKGROUND, &rep), rep));
    pal.SetTransIndex(2);
    EXPECT_TRUE(Same4(pal.GetOverflowPixelColor(-1, 0, OVERFLOW_BACKGROUND, &rep), RGBQUAD{7, 8, 9, 6}));
    EXPECT_TRUE(Same4(pal.GetOverflowPixelColor(-1, 0, OVERFLOW_TRANSPARENT, &rep), RGBQUAD{7, 8, 9, 6}));
    pal.AlphaCreate();
    EXPECT_TRUE(Same4(pal.GetOverflowPixelColor(-1, 0, OVERFLOW_TRANSPARENT, &rep), RGBQUAD{50, 60, 70, 0}));
    EXPECT_TRUE(Same4(pal.GetOverflowPixelColor(-1, 9, OVERFLOW_REPEAT), pal.GetPaletteColor(5)));
    EXPECT_TRUE(Same4(pal.GetOverflowPixelColor(0, 3, 99, &rep), pal.GetPaletteColor(5)));
    EXPECT_TRUE(Same4(pal.GetOverflowPixelColor(0, 4, 99, &rep), rep));

    CRasterImage rgb = Pattern24(3, 3);
    rgb.SetTransColor(RGBQUAD{4, 5, 6, 0});
    rgb.SetTransIndex(0);
    EXPECT_TRUE(Same4(rgb.GetOverflowPixelColor(5, 5, OVERFLOW_BACKGROUND), RGBQUAD{4, 5, 6, 0}));
    EXPECT_TRUE(Same4(rgb.GetOverflowPixelColor(-4, 1, OVERFLOW_MIRROR), imagetest::ColorAt(1, 1)));
    EXPECT_TRUE(Same4(CRasterImage().GetOverflowPixelColor(0, 0, OVERFLOW_REPEAT), RGBQUAD{255, 255, 255, 0}));
}

TEST(RasterSampling, EdgesWithRepeatAndMirror)
{
    CRasterImage img = Pattern24(5, 5);
    // Far left with repeat: moved to the border first, so the exact border pixel.
    RGBQUAD c = img.GetPixelColorInterpolated(-3.0f, 2.0f, INTERP_BILINEAR, OVERFLOW_REPEAT);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(0, 2)));
    // Half a pixel outside with repeat: the taps outside read the border, so the border colour.
    c = img.GetPixelColorInterpolated(-0.5f, 2.0f, INTERP_BILINEAR, OVERFLOW_REPEAT);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(0, 2)));
    // The top-right corner with repeat through a 4 x 4 kernel whose weights sum to 1.
    c = img.GetPixelColorInterpolated(4.0f, 4.0f, INTERP_CATMULL_ROM, OVERFLOW_REPEAT);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(4, 4)));
    // Box at an exact pixel reads that pixel alone, inside and across the border.
    c = img.GetPixelColorInterpolated(0.0f, 0.0f, INTERP_BOX, OVERFLOW_MIRROR);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(0, 0)));
    c = img.GetPixelColorInterpolated(2.0f, 3.0f, INTERP_BOX, OVERFLOW_COLOR);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(2, 3)));
    // Wrap far away lands in the image again.
    c = img.GetPixelColorInterpolated(12.0f, 2.0f, INTERP_NEAREST, OVERFLOW_WRAP);
    EXPECT_TRUE(imagetest::SameColor(c, imagetest::ColorAt(2, 2)));
}

TEST(RasterSampling, GaussianBrightensFlatGrey)
{
    CRasterImage img(8, 8, 24);
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 8; ++x)
            img.SetPixelColor(x, y, RGBQUAD{200, 200, 200, 0});
    float sum = 0;
    for (int d = -1; d <= 2; ++d)
        sum += 0.7978845834732056f * std::exp(-2.0f * d * d);
    const int expected = int(200 * sum * sum);
    RGBQUAD c = img.GetPixelColorInterpolated(3.0f, 3.0f, INTERP_GAUSSIAN, OVERFLOW_REPEAT);
    EXPECT_GT(c.rgbRed, 200);
    EXPECT_NEAR(c.rgbRed, expected, 1);
    // Brighter still is clamped to 255.
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 8; ++x)
            img.SetPixelColor(x, y, RGBQUAD{254, 254, 254, 0});
    EXPECT_EQ(img.GetPixelColorInterpolated(3.0f, 3.0f, INTERP_GAUSSIAN, OVERFLOW_REPEAT).rgbGreen, 255);
    // A palette image takes the slow path and gives the same answer.
    CRasterImage gray(8, 8, 8);
    gray.SetPaletteColor(0, 200, 200, 200);
    EXPECT_NEAR(gray.GetPixelColorInterpolated(3.0f, 3.0f, INTERP_GAUSSIAN, OVERFLOW_REPEAT).rgbRed, expected, 1);
}

TEST(RasterSampling, KernelValues)
{
    EXPECT_FLOAT_EQ(CRasterImage::KernelCatmullRom(0), 1.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelCatmullRom(1), 0.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelCatmullRom(2.5f), 0.0f);
    EXPECT_NEAR(CRasterImage::KernelBSpline(0), 2.0f / 3, 1e-6);
    EXPECT_NEAR(CRasterImage::KernelBSpline(1), 1.0f / 6, 1e-6);
    EXPECT_NEAR(CRasterImage::KernelBSpline(-1), 1.0f / 6, 1e-6);
    EXPECT_FLOAT_EQ(CRasterImage::KernelBSpline(2.5f), 0.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelCubic(0), 1.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelCubic(1.5f), 4 - 12 + 11.25f - 3.375f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelGeneralizedCubic(0.5f), 1.5f * 0.125f - 2.5f * 0.25f + 1);
    EXPECT_FLOAT_EQ(CRasterImage::KernelLanczosSinc(0), 1.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelLanczosSinc(6.5f), 0.0f);
    EXPECT_NEAR(CRasterImage::KernelLanczosSinc(1), 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(CRasterImage::KernelBox(-0.5f), 1.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelBox(0.5f), 0.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelHermite(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelHermite(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelDampedHermite(0.5f), 0.92f * (0.25f - 0.75f) + 1);
    EXPECT_NEAR(CRasterImage::KernelSinc(0.5f), 2 / 3.1415927f, 1e-6);
    EXPECT_NEAR(CRasterImage::KernelBlackman(0), 1.0f, 1e-6);
    EXPECT_NEAR(CRasterImage::KernelBlackman(1), 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(CRasterImage::KernelBessel(0), 0.7853982f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelGaussian(0), 0.7978845834732056f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelQuadratic(0), 0.75f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelQuadratic(1), 0.125f);
    EXPECT_FLOAT_EQ(CRasterImage::KernelQuadratic(-1.5f), 0.0f);
    EXPECT_NEAR(CRasterImage::KernelMitchell(0), 0.8888889f, 1e-6);
    EXPECT_NEAR(CRasterImage::KernelMitchell(1), 1.0f / 18, 1e-6);
}

TEST(RasterSampling, BesselOrderOneMatchesTheLibrary)
{
    for (double x : {-20.0, -8.0, -7.99, -3.0, -0.5, 0.0, 1e-3, 0.5, 1.0, 2.5, 3.8317, 7.99, 8.0, 8.01, 15.0, 40.0, 100.0})
        EXPECT_NEAR(CRasterImage::BesselOrderOne(x), std::cyl_bessel_j(1.0, std::fabs(x)) * (x < 0 ? -1 : 1), 1e-7)
            << x;
}
