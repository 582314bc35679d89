// Interoperability with libjpeg-turbo's tools (cjpeg, djpeg) and ImageMagick: files they write decode
// here to the pixels they report, and files written here decode to the same pixels in them.
// Files are generated at test time; a case is skipped when its tool is missing.
#include "image/CRasterJpeg.h"
#include "tests/image/PngJpegTestUtil.h"

#include <gtest/gtest.h>

using namespace pjtest;

namespace {

const std::string& Cjpeg()
{
    static const std::string p = FindTool({"/usr/bin/cjpeg"});
    return p;
}
const std::string& DjpegTool()
{
    static const std::string p = FindTool({"/usr/bin/djpeg"});
    return p;
}

class JpegInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Cjpeg().empty() || DjpegTool().empty() || Convert().empty())
            GTEST_SKIP() << "libjpeg-turbo-progs or ImageMagick is not installed";
        dir = TempDir("jpeg_interop");
        source = dir + "/source.ppm";
        ASSERT_TRUE(Shell(Convert() + " -size 45x31 gradient:orange-navy -fill lime -draw 'circle 22,15 22,6' -depth 8 " + source));
    }
    void TearDown() override
    {
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }
    bool Load(const std::string& file, CRasterImage& img) { return DecodeBytes(img, ReadFile(file), IMAGE_FORMAT_JPG); }
    // djpeg's own decode, as PPM (or PGM for grey files).
    bool Decoded(const std::string& file, Pnm& pnm)
    {
        return ToolPnm(DjpegTool() + " '" + file + "' > '" + file + ".pnm'", file + ".pnm", pnm);
    }
    std::string dir, source;
};

} // namespace

TEST_F(JpegInterop, FilesCjpegWritesDecodeExactlyAsDjpegDoes)
{
    // The same library with its default settings on both sides: identical pixels.
    struct Case {
        const char* name;
        const char* args;
        int bpp;
    } cases[] = {{"baseline", "-quality 75", 24},     {"progressive", "-progressive", 24},
                 {"grey", "-grayscale", 8},            {"restart", "-restart 1 -sample 1x1", 24},
                 {"arithmetic", "-arithmetic", 24},    {"optimized", "-optimize -sample 2x1", 24}};
    for (const Case& c : cases) {
        const std::string file = dir + "/" + c.name + ".jpg";
        ASSERT_TRUE(Shell(Cjpeg() + " " + c.args + " " + source + " > " + file)) << c.name;
        CRasterImage img;
        ASSERT_TRUE(Load(file, img)) << c.name << ": " << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), c.bpp) << c.name;
        Pnm theirs;
        ASSERT_TRUE(Decoded(file, theirs)) << c.name;
        EXPECT_EQ(TopDownPixels(img), theirs.px) << c.name;
    }
}

TEST_F(JpegInterop, FilesWrittenHereDecodeIdenticallyInTheTools)
{
    Pnm src;
    ASSERT_TRUE(ParsePnm(ReadFile(source), src));
    CRasterImage img;
    img.Create(src.w, src.h, 24, 0);
    for (LONG y = 0; y < src.h; ++y)
        for (LONG x = 0; x < src.w; ++x) {
            const std::uint32_t p = src.px[std::size_t(y) * src.w + x];
            img.SetPixelColor(x, src.h - 1 - y, RGBQUAD{BYTE(p), BYTE(p >> 8), BYTE(p >> 16), 0});
        }
    for (DWORD options : {0u, DWORD(CRasterImageJPG::ENCODE_PROGRESSIVE)}) {
        img.SetCodecOption(options, IMAGE_FORMAT_JPG);
        const std::string file = dir + "/ours" + std::to_string(options) + ".jpg";
        WriteFile(file, EncodeBytes(img, IMAGE_FORMAT_JPG));
        CRasterImage back;
        ASSERT_TRUE(Load(file, back));
        Pnm theirs;
        ASSERT_TRUE(Decoded(file, theirs));
        EXPECT_EQ(TopDownPixels(back), theirs.px) << options;
        // The same coding as cjpeg at quality 90 (default tables, 4:2:0): the same pixels.
        const std::string ref = file + ".cjpeg.jpg";
        ASSERT_TRUE(Shell(Cjpeg() + " -quality 90 " + (options ? "-progressive " : "") + source + " > " + ref));
        Pnm reference;
        ASSERT_TRUE(Decoded(ref, reference));
        EXPECT_EQ(theirs.px, reference.px) << options;
        // Against the source: the chroma of the saturated disc is halved in both directions, which
        // costs at its edges; elsewhere the error is a few levels.
        int maxDiff;
        double mean;
        ComponentError(theirs.px, src.px, maxDiff, mean);
        EXPECT_LT(mean, 8.0);
        // ImageMagick reads it too, within rounding of its own colour conversion.
        Pnm im;
        ASSERT_TRUE(ToolPnm(Convert() + " " + file + " -depth 8 ppm:" + file + ".im.ppm", file + ".im.ppm", im));
        ComponentError(im.px, theirs.px, maxDiff, mean);
        EXPECT_LE(maxDiff, 2);
    }
    // A grey image: djpeg writes a PGM of the same values.
    CRasterImage grey(45, 31, 8, 0);
    grey.SetGrayPalette();
    for (LONG y = 0; y < 31; ++y)
        for (LONG x = 0; x < 45; ++x)
            grey.SetPixelIndex(x, y, BYTE(x * 5 + y * 3));
    const std::string file = dir + "/grey.jpg";
    WriteFile(file, EncodeBytes(grey, IMAGE_FORMAT_JPG));
    CRasterImage back;
    ASSERT_TRUE(Load(file, back));
    Pnm theirs;
    ASSERT_TRUE(Decoded(file, theirs));
    EXPECT_EQ(TopDownPixels(back), theirs.px);
}

TEST_F(JpegInterop, CmykFromImageMagick)
{
    const std::string file = dir + "/cmyk.jpg";
    ASSERT_TRUE(Shell(Convert() + " " + source + " -colorspace CMYK -quality 95 " + file));
    CRasterImage img;
    ASSERT_TRUE(Load(file, img)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 24);
    Pnm theirs;
    ASSERT_TRUE(ToolPnm(Convert() + " " + file + " -colorspace sRGB -depth 8 ppm:" + file + ".ppm", file + ".ppm", theirs));
    // Both multiply the inverted components; ImageMagick rounds, the codec truncates.
    int maxDiff;
    double mean;
    ComponentError(TopDownPixels(img), theirs.px, maxDiff, mean);
    EXPECT_LE(maxDiff, 2);
}

TEST_F(JpegInterop, JfifDensityFromCjpeg)
{
    const std::string file = dir + "/dense.jpg";
    ASSERT_TRUE(Shell(Cjpeg() + " -density 118x59c " + source + " > " + file) ||
                Shell(Convert() + " " + source + " -units PixelsPerCentimeter -density 118x59 " + file));
    CRasterImage img;
    ASSERT_TRUE(Load(file, img));
    EXPECT_EQ(img.GetXDPI(), 300);
    EXPECT_EQ(img.GetYDPI(), 150);
}
