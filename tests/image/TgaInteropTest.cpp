// TGA interoperability with ImageMagick and netpbm: their files (true colour, colour-mapped, grey,
// run-length encoded, with alpha) decode here to the pixels they report, and the 8-, 24- and
// 32-bit files written here read back identically in them.
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

namespace {

class TgaInterop : public ToolTest {};

// ImageMagick keeps a TGA's rows in file order and records their orientation; this applies it, so
// that what it reports is the picture the file describes (its own files say bottom-up but hold the
// top row first, which netpbm and this reader show upside down alike).
constexpr const char* kOrient = "-auto-orient";

} // namespace

TEST_F(TgaInterop, ImageMagickFilesDecodeAsItReports)
{
    if (Convert().empty())
        GTEST_SKIP() << "ImageMagick missing";
    WritePicture(P("src.ppm"), 41, 29);
    const std::pair<const char*, const char*> variants[] = {
        {"rgb.tga", ""},
        {"rgb-rle.tga", "-compress RLE"},
        {"mapped.tga", "-colors 40 -type Palette"},
        {"mapped-rle.tga", "-colors 40 -type Palette -compress RLE"},
        {"grey.tga", "-colorspace Gray"},
        {"grey-rle.tga", "-colorspace Gray -compress RLE"},
    };
    for (const auto& [name, options] : variants) {
        ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " " + options + " " + P(name))) << name;
        ASSERT_TRUE(Shell(ToPnm(P(name), kOrient, P(std::string(name) + ".ppm"))));
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img, IMAGE_FORMAT_TGA)) << name << ": " << img.GetLastError();
        ExpectPixels(img, P(std::string(name) + ".ppm"), name);
    }
    // With alpha: the colours and the alpha channel as ImageMagick reports them.
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -alpha set -channel A -fx 'i/w' +channel -compress RLE " +
                      P("rgba.tga")));
    ASSERT_TRUE(Shell(ToPnm(P("rgba.tga"), std::string(kOrient) + " -alpha off", P("rgba.ppm"))));
    ASSERT_TRUE(Shell(ToPnm(P("rgba.tga"), std::string(kOrient) + " -alpha extract", P("alpha.pgm"))));
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(ReadFile(P("rgba.tga")), img, IMAGE_FORMAT_TGA)) << img.GetLastError();
    ASSERT_TRUE(img.AlphaIsValid());
    ExpectPixels(img, P("rgba.ppm"), "rgba colours");
    Pnm alpha;
    ASSERT_TRUE(ReadPnm(P("alpha.pgm"), alpha));
    int diffs = 0;
    for (int y = 0; y < alpha.h; ++y)
        for (int x = 0; x < alpha.w; ++x)
            diffs += img.AlphaGet(x, alpha.h - 1 - y) != (alpha.At(x, y) & 0xFF);
    EXPECT_EQ(diffs, 0);
}

TEST_F(TgaInterop, NetpbmFilesDecodeAsItReports)
{
    if (Convert().empty() || Netpbm("ppmtotga").empty() || Netpbm("tgatoppm").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    WritePicture(P("src.ppm"), 33, 21);
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -colors 30 " + P("few.ppm")));
    const std::pair<const char*, std::string> variants[] = {
        {"rgb.tga", "-rgb -norle " + P("src.ppm")},
        {"rgb-rle.tga", "-rgb " + P("src.ppm")},
        {"cmap.tga", "-cmap -norle " + P("few.ppm")},
        {"cmap-rle.tga", "-cmap " + P("few.ppm")},
        {"mono.tga", "-mono " + P("few.ppm")},
    };
    for (const auto& [name, args] : variants) {
        ASSERT_TRUE(Shell(Netpbm("ppmtotga") + " " + args + " > " + P(name))) << name;
        ASSERT_TRUE(Shell(Netpbm("tgatoppm") + " " + P(name) + " > " + P(std::string(name) + ".ppm")));
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img, IMAGE_FORMAT_TGA)) << name << ": " << img.GetLastError();
        ExpectPixels(img, P(std::string(name) + ".ppm"), name);
    }
}

TEST_F(TgaInterop, WrittenFilesReadBackInTheTools)
{
    if (Convert().empty() || Netpbm("tgatoppm").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    for (DWORD bpp : {8u, 24u, 32u}) {
        CRasterImage img;
        Pattern(img, 19, 11, bpp == 32 ? 24 : bpp);
        if (bpp == 32) {
            img.AlphaCreate();
            for (LONG y = 0; y < 11; ++y)
                for (LONG x = 0; x < 19; ++x)
                    img.AlphaSet(x, y, BYTE(x * 13 + y));
        }
        WriteFile(P("ours.tga"), EncodeBytes(img, IMAGE_FORMAT_TGA));
        const std::string what = "depth " + std::to_string(bpp);
        ASSERT_TRUE(Shell(ToPnm(P("ours.tga"), std::string(kOrient) + " -alpha off", P("im.ppm"))));
        ExpectPixels(img, P("im.ppm"), "ImageMagick, " + what);
        ASSERT_TRUE(Shell(Netpbm("tgatoppm") + " " + P("ours.tga") + " > " + P("np.ppm")));
        ExpectPixels(img, P("np.ppm"), "netpbm, " + what);
        if (bpp == 32) {
            ASSERT_TRUE(Shell(ToPnm(P("ours.tga"), std::string(kOrient) + " -alpha extract", P("alpha.pgm"))));
            Pnm alpha;
            ASSERT_TRUE(ReadPnm(P("alpha.pgm"), alpha));
            EXPECT_EQ(alpha.At(5, 0) & 0xFF, unsigned(5 * 13 + 10));
        }
    }
}
