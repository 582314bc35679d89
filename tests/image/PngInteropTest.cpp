// Interoperability with independent PNG implementations installed on the machine (ImageMagick,
// netpbm): files they write decode here to the pixels they report, and files written here decode
// to the same pixels in them. Files are generated at test time; a case is skipped when its tool is
// missing.
#include "image/CRasterPng.h"
#include "tests/image/PngJpegTestUtil.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

using namespace pjtest;

namespace {

const std::string& Pngtopnm()
{
    static const std::string p = FindTool({"/usr/bin/pngtopnm"});
    return p;
}
const std::string& Pnmtopng()
{
    static const std::string p = FindTool({"/usr/bin/pnmtopng"});
    return p;
}

class PngInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Convert().empty())
            GTEST_SKIP() << "ImageMagick is not installed";
        dir = TempDir("png_interop");
        source = dir + "/source.ppm";
        // 29 x 19: odd sizes exercise row padding and the 1-, 2- and 4-bit packing.
        ASSERT_TRUE(Shell(Convert() + " -size 29x19 gradient:orange-navy -fill lime -draw 'circle 14,9 14,3' -depth 8 " + source));
    }
    void TearDown() override
    {
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }

    bool Load(const std::string& file, CRasterImage& img) { return DecodeBytes(img, ReadFile(file), IMAGE_FORMAT_PNG); }

    // What ImageMagick reports for the colour of a file (8 bits a component).
    bool Reported(const std::string& file, Pnm& pnm, const std::string& extra = "")
    {
        const std::string out = file + ".ppm";
        return ToolPnm(Convert() + " '" + file + "' " + extra + " -depth 8 ppm:'" + out + "'", out, pnm);
    }

    void ExpectSame(const std::vector<std::uint32_t>& ours, const Pnm& theirs, int tolerance, const std::string& what)
    {
        ASSERT_EQ(ours.size(), theirs.px.size()) << what;
        int maxDiff;
        double mean;
        ComponentError(ours, theirs.px, maxDiff, mean);
        EXPECT_LE(maxDiff, tolerance) << what;
    }

    std::string dir, source;
};

} // namespace

TEST_F(PngInterop, FilesImageMagickWritesDecodeToItsPixels)
{
    struct Case {
        const char* name;
        const char* args;
        int bpp;
        int tolerance; // 16-bit files: ImageMagick rounds to 8 bits, libpng keeps the high byte
    } cases[] = {
        {"gray1", "-colorspace gray -depth 1 -define png:bit-depth=1", 1, 0},
        {"gray2", "-colorspace gray -define png:bit-depth=2 -define png:color-type=0", 4, 0},
        {"gray4", "-colorspace gray -define png:bit-depth=4 -define png:color-type=0", 4, 0},
        {"gray8", "-colorspace gray -define png:bit-depth=8 -define png:color-type=0", 8, 0},
        {"gray16", "-colorspace gray -depth 16 -define png:color-type=0", 8, 1},
        {"palette2", "-colors 4 -define png:bit-depth=2 -define png:color-type=3", 4, 0},
        {"palette4", "-colors 12 -define png:bit-depth=4 -define png:color-type=3", 4, 0},
        {"palette8", "-colors 100 -define png:color-type=3", 8, 0},
        {"rgb8", "-define png:color-type=2", 24, 0},
        {"rgb8-interlaced", "-interlace PNG -define png:color-type=2", 24, 0},
        {"rgb16", "-depth 16 -define png:color-type=2", 24, 1},
    };
    for (const Case& c : cases) {
        const std::string file = dir + "/" + c.name + ".png";
        ASSERT_TRUE(Shell(Convert() + " " + source + " " + c.args + " " + file)) << c.name;
        CRasterImage img;
        ASSERT_TRUE(Load(file, img)) << c.name << ": " << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), c.bpp) << c.name;
        Pnm theirs;
        ASSERT_TRUE(Reported(file, theirs)) << c.name;
        ExpectSame(TopDownPixels(img), theirs, c.tolerance, c.name);
    }
}

TEST_F(PngInterop, AlphaFilesKeepColourAndAlpha)
{
    for (const char* depth : {"32", "64"}) {
        const std::string file = dir + "/rgba" + depth + ".png";
        ASSERT_TRUE(Shell(Convert() + " " + source + " -alpha set -channel A -fx 'i/w' +channel -define png:exclude-chunk=bKGD PNG" + depth + ":" + file));
        CRasterImage img;
        ASSERT_TRUE(Load(file, img)) << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), 24);
        ASSERT_TRUE(img.AlphaIsValid());
        if (std::string(depth) == "32") {
            Pnm colour, alpha;
            ASSERT_TRUE(Reported(file, colour, "-alpha off"));
            ASSERT_TRUE(ToolPnm(Convert() + " '" + file + "' -alpha extract -depth 8 pgm:'" + file + ".pgm'", file + ".pgm", alpha));
            ExpectSame(TopDownPixels(img), colour, 0, "rgba8 colour");
            ExpectSame(TopDownAlpha(img), alpha, 0, "rgba8 alpha");
        } else {
            // 16 bits a channel (pixel depth 64): composited on light grey (the file has no bKGD),
            // then an opaque plane.
            Pnm flat;
            ASSERT_TRUE(Reported(file, flat, "-background 'rgb(192,192,192)' -flatten"));
            ExpectSame(TopDownPixels(img), flat, 1, "rgba16 on grey");
            for (std::uint32_t a : TopDownAlpha(img))
                EXPECT_EQ(a, 0xFFFFFFu);
        }
    }
    // Grey with alpha at 8 bits: composited on light grey without a bKGD chunk, on it with one.
    const std::string ga = dir + "/graya8.png";
    ASSERT_TRUE(Shell(Convert() + " " + source + " -colorspace gray -alpha set -channel A -fx 'i/w' +channel -depth 8 " +
                      "-define png:color-type=4 -define png:exclude-chunk=bKGD " + ga));
    CRasterImage img;
    ASSERT_TRUE(Load(ga, img)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 8);
    Pnm flat;
    ASSERT_TRUE(Reported(ga, flat, "-background 'rgb(192,192,192)' -flatten"));
    ExpectSame(TopDownPixels(img), flat, 1, "graya8 on grey");
    const std::string gb = dir + "/graya8-bkgd.png";
    ASSERT_TRUE(Shell(Convert() + " " + ga + " -background 'rgb(40,40,40)' " + gb));
    ASSERT_TRUE(Load(gb, img)) << img.GetLastError();
    ASSERT_TRUE(Reported(gb, flat, "-background 'rgb(40,40,40)' -flatten"));
    ExpectSame(TopDownPixels(img), flat, 1, "graya8 on its bKGD");
}

TEST_F(PngInterop, FilesWrittenHereDecodeIdenticallyInTheTools)
{
    struct Case {
        DWORD bpp;
        bool interlace;
        bool alpha;
    } cases[] = {{1, false, false}, {4, false, false}, {8, false, false}, {8, true, false},
                 {24, false, false}, {24, true, false}, {24, false, true}, {24, true, true}};
    for (const Case& c : cases) {
        CRasterImage img;
        imagetest::Fill(img, 29, 19, c.bpp);
        if (c.alpha) {
            img.AlphaCreate();
            for (LONG y = 0; y < 19; ++y)
                for (LONG x = 0; x < 29; ++x)
                    img.AlphaSet(x, y, BYTE(x * 8 + y));
        }
        img.SetCodecOption(c.interlace ? 1 : 0, IMAGE_FORMAT_PNG);
        const std::string what = std::to_string(c.bpp) + (c.interlace ? " interlaced" : "") + (c.alpha ? " alpha" : "");
        const std::string file = dir + "/ours" + std::to_string(c.bpp) + (c.interlace ? "i" : "") + (c.alpha ? "a" : "") + ".png";
        WriteFile(file, EncodeBytes(img, IMAGE_FORMAT_PNG));
        Pnm theirs;
        ASSERT_TRUE(Reported(file, theirs, c.alpha ? "-alpha off" : "")) << what;
        ExpectSame(TopDownPixels(img), theirs, 0, "convert " + what);
        if (c.alpha) {
            Pnm alpha;
            ASSERT_TRUE(ToolPnm(Convert() + " '" + file + "' -alpha extract -depth 8 pgm:'" + file + ".pgm'", file + ".pgm", alpha));
            ExpectSame(TopDownAlpha(img), alpha, 0, "alpha " + what);
        }
        if (!Pngtopnm().empty()) {
            Pnm netpbm;
            // pngtopnm writes grey files as PGM and keeps the bit depth's maximum; ask for 8-bit colour.
            ASSERT_TRUE(ToolPnm(Pngtopnm() + " '" + file + "' | ppmtoppm | pnmdepth 255 > '" + file + ".n.ppm'",
                                file + ".n.ppm", netpbm))
                << what;
            ExpectSame(TopDownPixels(img), netpbm, 0, "pngtopnm " + what);
        }
    }
}

TEST_F(PngInterop, FilesNetpbmWritesDecodeToTheirSource)
{
    if (Pnmtopng().empty())
        GTEST_SKIP() << "netpbm is not installed";
    for (const char* opts : {"", "-interlace"}) {
        const std::string file = dir + "/netpbm" + (opts[0] ? "i" : "") + ".png";
        ASSERT_TRUE(Shell(Pnmtopng() + " " + opts + " " + source + " > " + file));
        CRasterImage img;
        ASSERT_TRUE(Load(file, img)) << img.GetLastError();
        Pnm src;
        ASSERT_TRUE(ParsePnm(ReadFile(source), src));
        ExpectSame(TopDownPixels(img), src, 0, std::string("pnmtopng ") + opts);
    }
}
