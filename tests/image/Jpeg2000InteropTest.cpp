// Interoperability of the JPEG 2000 family with independent tools: OpenJPEG's opj_compress and
// opj_decompress, ImageMagick and netpbm. Files they write decode here to the pixels they report,
// and files written here decode in them to ours. A case is skipped when its tool is missing.
#include "ImageTestUtil.h"
#include "image/CRasterImage.h"
#include "image/CRasterJpeg2000Formats.h"
#include "image/CRasterMemFile.h"
#include "tests/image/TiffInteropTools.h"

#include <gtest/gtest.h>

#include <string>

using namespace codectest;

namespace {

const std::string& OpjCompress()
{
    static const std::string p = FindTool({"/usr/bin/opj_compress"});
    return p;
}
const std::string& OpjDecompress()
{
    static const std::string p = FindTool({"/usr/bin/opj_decompress"});
    return p;
}

// A picture with smooth areas, edges and all three channels varying.
void Picture(CRasterImage& img)
{
    Photo(img, 57, 41);
    for (LONG x = 0; x < 57; x += 4)
        img.SetPixelColor(x, 9, RGBQUAD{250, 10, 120, 0});
}

CRasterImage GreyPicture()
{
    CRasterImage img(45, 31, 8, 0);
    img.SetGrayPalette();
    for (LONG y = 0; y < 31; ++y)
        for (LONG x = 0; x < 45; ++x)
            img.SetPixelIndex(x, y, BYTE((x * 5 + y * 3) % 256));
    return img;
}

bool Load(CRasterImage& img, const std::string& path, DWORD type)
{
    return img.Load(path.c_str(), type);
}

} // namespace

TEST(Jpeg2000Interop, OpenJpegToolFilesDecodeToTheirPixels)
{
    if (OpjCompress().empty())
        GTEST_SKIP() << "opj_compress not installed";
    TempDir dir;
    CRasterImage src;
    Picture(src);
    CRasterImage grey = GreyPicture();
    const std::string ppm = dir / "src.ppm", pgm = dir / "src.pgm";
    WriteFile(ppm, EncodeBytes(src, IMAGE_FORMAT_PNM));
    WriteFile(pgm, EncodeBytes(grey, IMAGE_FORMAT_PNM));
    // Lossless (reversible) coding: the decoded picture is the source exactly, in both containers,
    // with tiles, precincts and resolution levels of the tool's choice.
    struct Case {
        const char* out;
        const char* options;
        const std::string* input;
        const CRasterImage* expected;
    };
    const Case cases[] = {
        {"a.jp2", "-n 4", &ppm, &src}, {"b.j2k", "-n 5", &ppm, &src},
        {"c.jp2", "-t 16,16 -n 3 -p RPCL", &ppm, &src}, {"d.j2k", "-SOP -EPH -M 63 -n 3", &ppm, &src},
        {"e.jp2", "-n 4", &pgm, &grey},        {"f.j2k", "-n 2", &pgm, &grey},
    };
    for (const Case& c : cases) {
        const std::string file = dir / c.out;
        ASSERT_TRUE(Shell(OpjCompress() + " -i '" + *c.input + "' -o '" + file + "' " + c.options)) << c.out;
        CRasterImage img;
        ASSERT_TRUE(Load(img, file, IMAGE_FORMAT_JP2)) << c.out << ": " << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), c.expected->GetBpp()) << c.out;
        EXPECT_EQ(MaxDifference(img, *c.expected), 0) << c.out;
    }
    // A lossy file decodes to what opj_decompress makes of it.
    const std::string lossy = dir / "lossy.jp2";
    ASSERT_TRUE(Shell(OpjCompress() + " -i '" + ppm + "' -o '" + lossy + "' -r 20 -I"));
    ASSERT_TRUE(Shell(OpjDecompress() + " -i '" + lossy + "' -o '" + lossy + ".ppm'"));
    Rgb tool;
    ASSERT_TRUE(ParsePnm(ReadFile(lossy + ".ppm"), tool));
    CRasterImage img;
    ASSERT_TRUE(Load(img, lossy, 0));
    EXPECT_EQ(MaxDifference(img, tool), 0);
}

TEST(Jpeg2000Interop, OurFilesDecodeInTheTools)
{
    if (OpjDecompress().empty())
        GTEST_SKIP() << "opj_decompress not installed";
    TempDir dir;
    CRasterImage src;
    Picture(src);
    src.SetJpegQuality(90);
    for (DWORD type : {IMAGE_FORMAT_JP2, IMAGE_FORMAT_JPC}) {
        const std::string file = dir / (type == IMAGE_FORMAT_JP2 ? "ours.jp2" : "ours.j2k");
        ASSERT_TRUE(WriteFile(file, EncodeBytes(src, type)));
        ASSERT_TRUE(Shell(OpjDecompress() + " -i '" + file + "' -o '" + file + ".ppm'")) << type;
        Rgb tool;
        ASSERT_TRUE(ParsePnm(ReadFile(file + ".ppm"), tool)) << type;
        CRasterImage ours;
        ASSERT_TRUE(Load(ours, file, type));
        EXPECT_EQ(MaxDifference(ours, tool), 0) << type; // the same data decodes the same
        // rate 0.9 of the raw size with the irreversible wavelet: a few levels at most.
        EXPECT_LE(MaxDifference(src, tool), 6) << type;
        if (!Convert().empty()) {
            ASSERT_TRUE(ConvertToRgb(file, tool)) << type;
            EXPECT_LE(MaxDifference(ours, tool), 1) << type;
        }
    }
    // A grey picture goes out as one component and comes back grey in the tool.
    CRasterImage grey = GreyPicture();
    grey.SetJpegQuality(100);
    const std::string file = dir / "grey.jp2";
    ASSERT_TRUE(WriteFile(file, EncodeBytes(grey, IMAGE_FORMAT_JP2)));
    ASSERT_TRUE(Shell(OpjDecompress() + " -i '" + file + "' -o '" + file + ".pgm'"));
    Rgb tool;
    ASSERT_TRUE(ParsePnm(ReadFile(file + ".pgm"), tool)); // a PGM: one component
    EXPECT_LE(MaxDifference(grey, tool), 2);
}

TEST(Jpeg2000Interop, ImageMagickJp2)
{
    if (Convert().empty())
        GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    CRasterImage src;
    Picture(src);
    const std::string ppm = dir / "src.ppm", jp2 = dir / "im.jp2";
    WriteFile(ppm, EncodeBytes(src, IMAGE_FORMAT_PNM));
    if (!Shell(Convert() + " '" + ppm + "' -quality 40 '" + jp2 + "'"))
        GTEST_SKIP() << "this ImageMagick does not write JPEG 2000";
    Rgb tool;
    ASSERT_TRUE(ConvertToRgb(jp2, tool));
    CRasterImage img;
    ASSERT_TRUE(Load(img, jp2, 0));
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_JP2)); // found by detection
    EXPECT_LE(MaxDifference(img, tool), 1);
}

TEST(Jpeg2000Interop, NetpbmPnmAndSunRaster)
{
    if (Netpbm("pnmtorast").empty() || Netpbm("rasttopnm").empty() || Convert().empty())
        GTEST_SKIP() << "netpbm or ImageMagick not installed";
    TempDir dir;
    CRasterImage src;
    Picture(src);
    const std::string ppm = dir / "src.ppm";
    WriteFile(ppm, EncodeBytes(src, IMAGE_FORMAT_PNM));
    // netpbm reads our PPM and Sun raster files to the same pixels.
    const std::string ras = dir / "ours.ras";
    WriteFile(ras, EncodeBytes(src, IMAGE_FORMAT_RAS));
    ASSERT_TRUE(Shell(Netpbm("rasttopnm") + " '" + ras + "' > '" + ras + ".ppm'"));
    Rgb tool;
    ASSERT_TRUE(ParsePnm(ReadFile(ras + ".ppm"), tool));
    EXPECT_EQ(MaxDifference(src, tool), 0);
    CRasterImage grey = GreyPicture();
    WriteFile(ras, EncodeBytes(grey, IMAGE_FORMAT_RAS));
    ASSERT_TRUE(Shell(Netpbm("rasttopnm") + " '" + ras + "' > '" + ras + ".pgm'"));
    ASSERT_TRUE(ParsePnm(ReadFile(ras + ".pgm"), tool));
    EXPECT_EQ(MaxDifference(grey, tool), 0);

    // Their Sun raster files (standard, run-length, colour-mapped) decode to the source.
    struct Case {
        const char* name;
        std::string command;
    };
    const std::string quant = dir / "q.ppm";
    ASSERT_TRUE(Shell(Convert() + " '" + ppm + "' -colors 40 '" + quant + "'"));
    CRasterImage quantised;
    ASSERT_TRUE(Load(quantised, quant, IMAGE_FORMAT_PNM));
    const Case cases[] = {
        {"im-standard", Convert() + " '" + ppm + "' -type TrueColor 'sun:" + (dir / "a.ras") + "'"},
        {"netpbm-rle", Netpbm("pnmtorast") + " -rle '" + quant + "' > '" + (dir / "a.ras") + "'"},
        {"netpbm-mapped", Netpbm("pnmtorast") + " -standard '" + quant + "' > '" + (dir / "a.ras") + "'"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Shell(c.command)) << c.name;
        CRasterImage img;
        ASSERT_TRUE(Load(img, dir / "a.ras", IMAGE_FORMAT_RAS)) << c.name << ": " << img.GetLastError();
        EXPECT_EQ(MaxDifference(img, std::string(c.name) == "im-standard" ? src : quantised), 0) << c.name;
    }
    // Plain (text) PNM and bitmaps from netpbm.
    if (!Netpbm("pnmtoplainpnm").empty()) {
        ASSERT_TRUE(Shell(Netpbm("pnmtoplainpnm") + " '" + ppm + "' > '" + (dir / "plain.ppm") + "'"));
        CRasterImage img;
        ASSERT_TRUE(Load(img, dir / "plain.ppm", IMAGE_FORMAT_PNM));
        EXPECT_EQ(MaxDifference(img, src), 0);
    }
    const std::string pbm = dir / "bits.pbm";
    ASSERT_TRUE(Shell(Convert() + " '" + ppm + "' -monochrome '" + pbm + "'"));
    CRasterImage bits;
    ASSERT_TRUE(Load(bits, pbm, IMAGE_FORMAT_PNM));
    EXPECT_EQ(bits.GetBpp(), 1);
    ASSERT_TRUE(ConvertToRgb(pbm, tool));
    EXPECT_EQ(MaxDifference(bits, tool), 0);
}

TEST(Jpeg2000Interop, PgxThroughOpenJpeg)
{
    if (OpjCompress().empty() || OpjDecompress().empty())
        GTEST_SKIP() << "OpenJPEG tools not installed";
    TempDir dir;
    CRasterImage grey = GreyPicture();
    // Our PGX is read by opj_compress (lossless), and its PGX output is read here.
    const std::string pgx = dir / "ours.pgx", j2k = dir / "x.j2k";
    WriteFile(pgx, EncodeBytes(grey, IMAGE_FORMAT_PGX));
    ASSERT_TRUE(Shell(OpjCompress() + " -i '" + pgx + "' -o '" + j2k + "' -n 4"));
    ASSERT_TRUE(Shell(OpjDecompress() + " -i '" + j2k + "' -o '" + (dir / "back.pgx") + "'"));
    CRasterImage back;
    // The tool names its output after the component: back_0.pgx.
    ASSERT_TRUE(Load(back, dir / "back_0.pgx", IMAGE_FORMAT_PGX)) << back.GetLastError();
    EXPECT_EQ(MaxDifference(back, grey), 0);
    CRasterImage viaJ2k;
    ASSERT_TRUE(Load(viaJ2k, j2k, IMAGE_FORMAT_JPC));
    EXPECT_EQ(MaxDifference(viaJ2k, grey), 0);
}

TEST(Jpeg2000Interop, DeclaredWorkOfOpenJpegStreamsIsWhatTheToolWrote)
{
    if (OpjCompress().empty())
        GTEST_SKIP() << "opj_compress not installed";
    TempDir dir;
    CRasterImage src;
    Photo(src, 20, 14);
    const std::string ppm = dir / "src.ppm";
    WriteFile(ppm, EncodeBytes(src, IMAGE_FORMAT_PNM));
    // Tiles of 8 x 8 (3 x 2 of them, the last column 4 wide, the last row 6 high), two resolutions,
    // three quality layers. Without precincts: one packet a layer of each tile-component resolution,
    // one code-block in each band. With precincts of 2 x 2 samples a tile of 8 x 8 has 16 at full
    // resolution and 4 at half, one of 4 x 6 has 6 and 2: 90 a component and layer in all.
    struct Case {
        const char* options;
        std::uint64_t packets, codeBlocks;
    };
    for (const Case& c : {Case{"-t 8,8 -n 2 -r 40,20,10", 6u * 3 * 2 * 3, 6u * 3 * 4},
                          Case{"-t 8,8 -n 2 -r 40,20,10 -c [2,2],[2,2]", 90u * 3 * 3, 0}}) {
        const std::string out = dir / "tiles.j2k";
        ASSERT_TRUE(Shell(OpjCompress() + " -i '" + ppm + "' -o '" + out + "' " + c.options)) << c.options;
        const Bytes data = ReadFile(out);
        CRasterMemFile f(data.data(), DWORD(data.size()));
        jas::DeclaredWork w;
        ASSERT_TRUE(jas::ReadDeclaredWork(f, jas::Family::Jpc, w));
        EXPECT_EQ(w.tiles, 6u);
        EXPECT_EQ(w.packets, c.packets) << c.options;
        if (c.codeBlocks) {
            EXPECT_EQ(w.codeBlocks, c.codeBlocks) << c.options;
        }
        EXPECT_EQ(jas::DisproportionateWork(w), "");
        CRasterImage back;
        EXPECT_TRUE(DecodeBytes(back, data, IMAGE_FORMAT_JPC)) << back.GetLastError();
        EXPECT_EQ(back.GetWidth(), 20u);
    }
}
