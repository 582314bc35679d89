// Interoperability of the TIFF codec with independent tools (ImageMagick, libtiff's tools): files
// they write decode here to the pixels they report, and files written here decode identically in
// them. Files are made at test time; a case is skipped when its tool is missing.
#include "ImageTestUtil.h"
#include "image/CRasterImage.h"
#include "image/CRasterTiff.h"
#include "tests/image/TiffInteropTools.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

const std::string& Tiffcp()
{
    static const std::string p = FindTool({"/usr/bin/tiffcp"});
    return p;
}

// A 61 x 37 source picture as PPM for the tools.
std::string SourcePpm(const TempDir& dir)
{
    CRasterImage img;
    Photo(img, 61, 37);
    for (LONG x = 0; x < 61; x += 3) // some hard edges
        img.SetPixelColor(x, 20, RGBQUAD{0, 0, 255, 0});
    const std::string path = dir / "source.ppm";
    WriteFile(path, EncodeBytes(img, IMAGE_FORMAT_PNM));
    return path;
}

bool LoadFile(CRasterImage& img, const std::string& path)
{
    return img.Load(path.c_str(), IMAGE_FORMAT_TIF);
}

} // namespace

TEST(TiffInterop, FilesFromImageMagickDecodeToItsPixels)
{
    if (Convert().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string src = SourcePpm(dir);
    struct Case {
        const char* name;
        const char* options;
        int tolerance;
        int bpp;
    };
    const Case cases[] = {
        {"rgb-lzw", "-compress lzw", 0, 24},
        {"rgb-zip-predictor", "-compress zip -define tiff:predictor=2", 0, 24},
        {"rgb-jpeg", "-compress jpeg -quality 85", 0, 24},
        {"rgb-tiled", "-compress lzw -define tiff:tile-geometry=16x16", 0, 24},
        {"palette", "-colors 20 -type palette -compress lzw", 0, 8},
        {"grey", "-colorspace gray -compress rle", 0, 8},
        {"grey-tiled", "-colorspace gray -compress zip -define tiff:tile-geometry=16x16", 0, 8},
        {"grey16", "-colorspace gray -depth 16", 1, 8}, // high byte kept; ImageMagick rounds
        {"bilevel-g4", "-monochrome -compress group4", 0, 1},
        {"bilevel-fax", "-monochrome -compress fax", 0, 1},
        {"cmyk", "-colorspace cmyk", 2, 24},
    };
    for (const Case& c : cases) {
        const std::string file = dir / (std::string(c.name) + ".tif");
        ASSERT_TRUE(Shell(Convert() + " '" + src + "' " + c.options + " '" + file + "'")) << c.name;
        CRasterImage img;
        ASSERT_TRUE(LoadFile(img, file)) << c.name << ": " << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), c.bpp) << c.name;
        Rgb tool;
        ASSERT_TRUE(ConvertToRgb(file, tool)) << c.name;
        EXPECT_LE(MaxDifference(img, tool), c.tolerance) << c.name;
    }
}

TEST(TiffInterop, PagesAndOrientationAsImageMagickShowsThem)
{
    if (Convert().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const std::string src = SourcePpm(dir);
    const std::string pages = dir / "pages.tif";
    ASSERT_TRUE(Shell(Convert() + " '" + src + "' \\( '" + src + "' -rotate 90 -colors 12 \\) '" + pages + "'"));
    CRasterImage img;
    img.SetFrame(1);
    ASSERT_TRUE(LoadFile(img, pages));
    EXPECT_EQ(img.GetNumFrames(), 2);
    Rgb tool;
    ASSERT_TRUE(ConvertToRgb(pages + "[1]", tool));
    EXPECT_EQ(MaxDifference(img, tool), 0);

    // Orientation tags: what -auto-orient shows. Grey keeps the reader on its row path, which
    // applies the tag; the RGBA path (colour) handles the flips inside the library.
    for (const char* orient : {"TopRight", "BottomRight", "BottomLeft", "LeftTop", "RightTop", "RightBottom", "LeftBottom"}) {
        const std::string file = dir / (std::string(orient) + ".tif");
        ASSERT_TRUE(Shell(Convert() + " '" + src + "' -colorspace gray -orient " + orient + " '" + file + "'"));
        CRasterImage turned;
        ASSERT_TRUE(LoadFile(turned, file)) << orient;
        ASSERT_TRUE(ConvertToRgb(file, tool, "")) << orient;
        Rgb shown;
        ASSERT_TRUE(Shell(Convert() + " '" + file + "' -auto-orient -depth 8 ppm:'" + file + ".shown.ppm'"));
        ASSERT_TRUE(ParsePnm(ReadFile(file + ".shown.ppm"), shown));
        EXPECT_EQ(MaxDifference(turned, shown), 0) << orient;
    }
}

TEST(TiffInterop, OurFilesDecodeIdenticallyInTheTools)
{
    if (Convert().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    struct Case {
        const char* name;
        DWORD bpp;
        DWORD compression;
        int tolerance;
    };
    // JPEG at quality 90 on a smooth picture: within a few levels (both sides decode the same data
    // with libjpeg, so the difference is only ImageMagick's own rounding).
    const Case cases[] = {{"bilevel", 1, 0, 0}, {"four", 4, 0, 0}, {"palette", 8, 0, 0},
                          {"rgb-lzw", 24, 5, 0}, {"rgb-none", 24, 1, 0}, {"rgb-jpeg", 24, 0, 0}};
    for (const Case& c : cases) {
        CRasterImage img;
        if (c.bpp == 24)
            Photo(img, 50, 30);
        else
            imagetest::Fill(img, 50, 30, c.bpp);
        if (c.bpp == 1) {
            img.SetPaletteColor(0, 0, 0, 0); // black first: the writer turns it round
            img.SetPaletteColor(1, 255, 255, 255);
        }
        img.SetCodecOption(c.compression, IMAGE_FORMAT_TIF);
        const std::string file = dir / (std::string(c.name) + ".tif");
        ASSERT_TRUE(WriteFile(file, EncodeBytes(img, IMAGE_FORMAT_TIF))) << c.name;
        Rgb tool;
        ASSERT_TRUE(ConvertToRgb(file, tool)) << c.name;
        if (c.compression == 0 && c.bpp == 24) { // lossy
            CRasterImage ours; // the tool and this reader agree on the lossy data
            ASSERT_TRUE(LoadFile(ours, file));
            EXPECT_LE(MaxDifference(ours, tool), 1) << c.name;
            EXPECT_LE(MaxDifference(img, tool), 12) << c.name;
        } else {
            EXPECT_EQ(MaxDifference(img, tool), c.tolerance) << c.name;
        }
        if (!Tiffcp().empty()) { // libtiff's copier reads every strip and tag
            EXPECT_TRUE(Shell(Tiffcp() + " -c none '" + file + "' '" + file + ".copy.tif'")) << c.name;
        }
    }

    // Two appended pages: ImageMagick sees both.
    CRasterImage first, second;
    imagetest::Fill(first, 20, 10, 8);
    imagetest::Fill(second, 11, 13, 24);
    second.SetCodecOption(5, IMAGE_FORMAT_TIF);
    CRasterImageTIF writer;
    CRasterMemFile mem;
    mem.Open();
    writer.Copy(first);
    ASSERT_TRUE(writer.Encode(&mem, true));
    writer.Copy(second);
    ASSERT_TRUE(writer.Encode(&mem, false));
    const BYTE* data = mem.GetBuffer(false);
    const std::string file = dir / "pages.tif";
    WriteFile(file, Bytes(data, data + mem.Size()));
    Rgb tool;
    ASSERT_TRUE(ConvertToRgb(file + "[1]", tool));
    EXPECT_EQ(MaxDifference(second, tool), 0);
    ASSERT_TRUE(ConvertToRgb(file + "[0]", tool));
    EXPECT_EQ(MaxDifference(first, tool), 0);
}

TEST(TiffInterop, RetiledAndRestripedByTiffcp)
{
    if (Convert().empty() || Tiffcp().empty())
        GTEST_SKIP() << "ImageMagick or tiffcp not installed";
    TempDir dir;
    const std::string src = SourcePpm(dir);
    const std::string base = dir / "grey.tif";
    ASSERT_TRUE(Shell(Convert() + " '" + src + "' -colorspace gray -compress none '" + base + "'"));
    CRasterImage expected;
    ASSERT_TRUE(LoadFile(expected, base));
    for (const char* options : {"-t -w 16 -l 16", "-t -w 32 -l 48 -c lzw", "-r 1 -c packbits", "-r 5 -c zip:p2",
                                "-c lzw:2 -r 64"}) {
        const std::string file = dir / "copy.tif";
        ASSERT_TRUE(Shell(Tiffcp() + " " + options + " '" + base + "' '" + file + "'")) << options;
        CRasterImage img;
        ASSERT_TRUE(LoadFile(img, file)) << options << ": " << img.GetLastError();
        EXPECT_EQ(MaxDifference(img, expected), 0) << options;
    }
}
