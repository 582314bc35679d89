// ICO interoperability with ImageMagick and netpbm: their icons decode here to the colours and
// transparency they report, and the icons written here read back identically in them.
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

namespace {

class IcoInterop : public ToolTest {
protected:
    // The alpha channel a tool reports, as a PGM, equals the image's (255 where it has none).
    static void ExpectAlpha(const CRasterImage& img, const std::string& pgm, const std::string& what)
    {
        Pnm alpha;
        ASSERT_TRUE(ReadPnm(pgm, alpha)) << what;
        int diffs = 0;
        for (int y = 0; y < alpha.h; ++y)
            for (int x = 0; x < alpha.w; ++x) {
                const LONG by = alpha.h - 1 - y;
                BYTE ours = img.AlphaIsValid() ? img.AlphaGet(x, by) : 255;
                if (img.IsTransparent() && img.GetBpp() <= 8 && img.GetPixelIndex(x, by) == img.GetTransIndex())
                    ours = 0;
                diffs += ours != (alpha.At(x, y) & 0xFF);
            }
        EXPECT_EQ(diffs, 0) << what;
    }
};

} // namespace

TEST_F(IcoInterop, ToolIconsDecodeAsTheToolsReport)
{
    if (Convert().empty() || Netpbm("pamtowinicon").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    WritePicture(P("src.ppm"), 32, 32);
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " " + P("im24.ico")));
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -alpha set -channel A -fx 'i/w' +channel " + P("im32.ico")));
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -colors 12 -type Palette BMP3:" + P("pal.bmp") + " && " +
                      Convert() + " " + P("pal.bmp") + " " + P("im-pal.ico")));
    ASSERT_TRUE(Shell(Netpbm("pamtowinicon") + " " + P("src.ppm") + " > " + P("np.ico")));
    for (const char* name : {"im24.ico", "im32.ico", "im-pal.ico", "np.ico"}) {
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img, IMAGE_FORMAT_ICO)) << name;
        ASSERT_TRUE(Shell(ToPnm(P(name), "-alpha off", P(std::string(name) + ".ppm"))));
        ExpectPixels(img, P(std::string(name) + ".ppm"), name);
        ASSERT_TRUE(Shell(ToPnm(P(name), "-alpha extract", P(std::string(name) + ".pgm"))));
        ExpectAlpha(img, P(std::string(name) + ".pgm"), name);
    }
}

TEST_F(IcoInterop, WrittenIconsReadBackInTheTools)
{
    if (Convert().empty() || Netpbm("winicontopam").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    for (DWORD bpp : {1u, 4u, 8u, 24u, 32u}) {
        CRasterImage img;
        Pattern(img, 16, 16, bpp == 32 ? 24 : bpp);
        if (bpp == 32) {
            img.AlphaCreate();
            for (LONG y = 0; y < 16; ++y)
                for (LONG x = 0; x < 16; ++x)
                    img.AlphaSet(x, y, BYTE((x + y) % 4 == 0 ? 0 : x * 16));
        }
        WriteFile(P("ours.ico"), EncodeBytes(img, IMAGE_FORMAT_ICO));
        const std::string what = "depth " + std::to_string(bpp);
        ASSERT_TRUE(Shell(ToPnm(P("ours.ico"), "-alpha off", P("im.ppm")))) << what;
        ExpectPixels(img, P("im.ppm"), "ImageMagick, " + what);
        ASSERT_TRUE(Shell(ToPnm(P("ours.ico"), "-alpha extract", P("im.pgm")))) << what;
        ExpectAlpha(img, P("im.pgm"), "ImageMagick, " + what);
        ASSERT_TRUE(Shell(Netpbm("winicontopam") + " " + P("ours.ico") + " | " + ToPnm("pam:-", "-alpha off", P("np.ppm")))) << what;
        ExpectPixels(img, P("np.ppm"), "netpbm, " + what);
    }
}
