// BMP against independent implementations: files that ImageMagick and netpbm write (every header
// kind and depth they offer, RLE8) decode to the pixels those tools report, files built here for
// what they do not write (RLE4, bit fields, 32 bits, top-down) decode as the tools decode them, and
// the files we write decode identically in both tools. Skipped when a tool is missing.
#include "image/CRasterImage.h"

#include "ImageTestUtil.h"
#include "InteropTools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

bool HaveTool(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The files of one run, removed when the program ends.
std::string Path(const std::string& name)
{
    static const interop::ScratchDir dir;
    return dir / name;
}

using interop::ReadFile;
using interop::Shell;
using interop::WriteFile;

// What a tool reports for a file: ImageMagick through "convert f -depth 8 ppm:-", netpbm through
// bmptoppm.
bool ToolPixels(const std::string& tool, const std::string& file, LONG& w, LONG& h, Pixels& pixels)
{
    const std::string out = file + "." + tool + ".ppm";
    const std::string cmd = tool == "convert" ? "convert '" + file + "' -depth 8 ppm:'" + out + "'"
                                              : "bmptoppm '" + file + "' > '" + out + "'";
    interop::Pnm pnm;
    if (!Shell(cmd) || !interop::ReadPnm(out, pnm))
        return false;
    w = pnm.w;
    h = pnm.h;
    pixels = pnm.px;
    return true;
}

// The test picture: 37 x 23, colours that vary in both directions.
void WriteSourcePpm(const std::string& path)
{
    std::string head = "P6\n37 23\n255\n";
    std::vector<BYTE> bytes(head.begin(), head.end());
    for (LONG y = 0; y < 23; ++y)
        for (LONG x = 0; x < 37; ++x) {
            bytes.push_back(BYTE(x * 7));
            bytes.push_back(BYTE(y * 11));
            bytes.push_back(BYTE((x + y) * 5));
        }
    WriteFile(path, bytes);
}

void ExpectDecodesLikeTool(const std::string& file, const std::string& tool, std::uint32_t mask = 0xFFFFFF)
{
    SCOPED_TRACE(file + " via " + tool);
    LONG w = 0, h = 0;
    Pixels expected;
    ASSERT_TRUE(ToolPixels(tool, file, w, h, expected));
    CRasterImage img;
    ASSERT_TRUE(img.Load(file.c_str(), IMAGE_FORMAT_BMP)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_BMP));
    ASSERT_EQ(LONG(img.GetWidth()), w);
    ASSERT_EQ(LONG(img.GetHeight()), h);
    Pixels ours = imagetest::TopDownPixels(img);
    for (std::size_t i = 0; i < ours.size(); ++i)
        ASSERT_EQ(ours[i] & mask, expected[i] & mask) << "pixel " << i % w << "," << i / w;
}

class BmpInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_source = Path("source.ppm");
        WriteSourcePpm(m_source);
    }
    std::string m_source;
};

// Files the tools do not write, built byte by byte.
using imagetest::Put16;
using imagetest::Put32;
std::vector<BYTE> BmpFile(std::int32_t w, std::int32_t h, unsigned bpp, unsigned compression,
                          const std::vector<BYTE>& extra, const std::vector<BYTE>& bits, std::uint32_t colours = 0)
{
    std::vector<BYTE> b = {'B', 'M'};
    Put32(b, std::uint32_t(14 + 40 + extra.size() + bits.size()));
    Put32(b, 0);
    Put32(b, std::uint32_t(14 + 40 + extra.size()));
    Put32(b, 40);
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(h));
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, compression);
    Put32(b, std::uint32_t(bits.size()));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, colours);
    Put32(b, 0);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), bits.begin(), bits.end());
    return b;
}

} // namespace

TEST_F(BmpInterop, ImageMagickFilesDecodeToItsPixels)
{
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    const struct {
        const char* name;
        const char* options;
    } kinds[] = {
        {"im_rgb24.bmp", "BMP3:"},                           // 40-byte header, 24 bits
        {"im_v5_24.bmp", "BMP:"},                            // 124-byte header, plain 24 bits
        {"im_core24.bmp", "BMP2:"},                          // 12-byte OS/2 core header
        {"im_core4.bmp", "-colors 16 BMP2:"},                // core header, 3-byte palette
        {"im_pal8.bmp", "-colors 200 BMP3:"},                // 8 bits
        {"im_pal4.bmp", "-colors 12 BMP3:"},                 // 4 bits
        {"im_pal1.bmp", "-colors 2 -type palette BMP3:"},    // 1 bit
        {"im_mono.bmp", "-monochrome BMP3:"},                // 1 bit, black and white
        {"im_rle8.bmp", "-colors 200 -compress RLE BMP3:"},  // RLE8
        {"im_rle8b.bmp", "-colors 7 -compress RLE BMP3:"},   // RLE8 of a few colours
    };
    for (const auto& k : kinds) {
        const std::string file = Path(k.name);
        const std::string options = k.options;
        const std::size_t split = options.rfind(' ');
        const std::string flags = split == std::string::npos ? "" : options.substr(0, split);
        const std::string format = split == std::string::npos ? options : options.substr(split + 1);
        ASSERT_TRUE(Shell("convert '" + m_source + "' " + flags + " " + format + "'" + file + "'")) << k.name;
        ExpectDecodesLikeTool(file, "convert");
    }
    // Headers of every kind were really produced.
    EXPECT_EQ(ReadFile(Path("im_core4.bmp"))[14], 12);
    EXPECT_EQ(ReadFile(Path("im_v5_24.bmp"))[14], 124);
    EXPECT_EQ(ReadFile(Path("im_rle8.bmp"))[30], 1);
    EXPECT_EQ(ReadFile(Path("im_pal1.bmp"))[28], 1);
    EXPECT_EQ(ReadFile(Path("im_pal4.bmp"))[28], 4);
}

TEST_F(BmpInterop, NetpbmFilesDecodeToItsPixels)
{
    if (!HaveTool("ppmtobmp") || !HaveTool("bmptoppm") || !HaveTool("pnmquant"))
        GTEST_SKIP() << "netpbm is not installed";
    for (const char* style : {"-windows", "-os2"})
        for (int bpp : {1, 4, 8, 24}) {
            const std::string file = Path(std::string("nb") + style + std::to_string(bpp) + ".bmp");
            const std::string input = bpp == 24 ? m_source : Path("q" + std::to_string(bpp) + ".ppm");
            if (bpp < 24) {
                ASSERT_TRUE(Shell("pnmquant " + std::to_string(1 << bpp) + " '" + m_source + "' > '" + input + "'"));
            }
            ASSERT_TRUE(Shell(std::string("ppmtobmp ") + style + " -bpp " + std::to_string(bpp) + " '" + input +
                            "' > '" + file + "'"))
                << file;
            ExpectDecodesLikeTool(file, "bmptoppm");
        }
}

TEST_F(BmpInterop, HandBuiltFilesDecodeAsTheToolsDecodeThem)
{
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    // RLE4 with runs and absolute data starting on odd pixels, deltas and line ends; 9 x 4.
    std::vector<BYTE> palette;
    for (int i = 0; i < 16; ++i) {
        palette.push_back(BYTE(i * 16));
        palette.push_back(BYTE(255 - i * 16));
        palette.push_back(BYTE(i * 9));
        palette.push_back(0);
    }
    const std::vector<BYTE> rle4 = {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 1, 0x80, 0, 0,  // row 0
                                    9, 0xAB, 0, 0,                                       // row 1
                                    2, 0xCD, 0, 2, 3, 0, 0, 3, 0xEF, 0x10, 0, 0,         // row 2
                                    0, 4, 0x11, 0x22, 1, 0x33, 0, 1,                     // row 3, end
                                    0, 0, 0, 0}; // ImageMagick reads a little past the end code
    WriteFile(Path("rle4.bmp"), BmpFile(9, 4, 4, 2, palette, rle4, 16));
    ExpectDecodesLikeTool(Path("rle4.bmp"), "convert");
    // netpbm's reader takes neither RLE4 deltas nor 16-bit masks; it reads the rest.
    const bool netpbm = HaveTool("bmptoppm");

    // 16 bits without bit fields (5-5-5) and with 5-6-5 fields, 7 x 3; 32 bits plain and with
    // fields; a top-down 24-bit file.
    std::vector<BYTE> bits555, bits565, bits32, bits24;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x) {
            Put16(bits555, unsigned(((x * 4) << 10) | ((y * 9) << 5) | (x + y * 3)));
            Put16(bits565, unsigned(((x * 4) << 11) | ((y * 20 + x) << 5) | (31 - x)));
            bits32.insert(bits32.end(), {BYTE(x * 30), BYTE(y * 70), BYTE(x * y * 9), 0xFF});
            bits24.insert(bits24.end(), {BYTE(x * 30 + 1), BYTE(y * 70 + 2), BYTE(x * y * 9 + 3)});
        }
        Put16(bits555, 0);
        Put16(bits565, 0);
        bits24.insert(bits24.end(), {0, 0, 0});
    }
    std::vector<BYTE> masks;
    Put32(masks, 0xF800);
    Put32(masks, 0x07E0);
    Put32(masks, 0x001F);
    WriteFile(Path("rgb555.bmp"), BmpFile(7, 3, 16, 0, {}, bits555));
    WriteFile(Path("rgb565.bmp"), BmpFile(7, 3, 16, 3, masks, bits565));
    std::vector<BYTE> masks32;
    Put32(masks32, 0xFF0000);
    Put32(masks32, 0xFF00);
    Put32(masks32, 0xFF);
    WriteFile(Path("rgb32.bmp"), BmpFile(7, 3, 32, 0, {}, bits32));
    WriteFile(Path("rgb32bf.bmp"), BmpFile(7, 3, 32, 3, masks32, bits32));
    WriteFile(Path("topdown24.bmp"), BmpFile(7, -3, 24, 0, {}, bits24));
    // Five-bit channels are widened differently (we shift, the tools scale): compare the bits the
    // file holds, the top five of each channel (six for the green of 5-6-5).
    ExpectDecodesLikeTool(Path("rgb555.bmp"), "convert", 0xF8F8F8);
    ExpectDecodesLikeTool(Path("rgb565.bmp"), "convert", 0xF8FCF8);
    ExpectDecodesLikeTool(Path("rgb32.bmp"), "convert");
    ExpectDecodesLikeTool(Path("rgb32bf.bmp"), "convert");
    ExpectDecodesLikeTool(Path("topdown24.bmp"), "convert");
    if (netpbm) {
        ExpectDecodesLikeTool(Path("rgb555.bmp"), "bmptoppm", 0xF8F8F8);
        ExpectDecodesLikeTool(Path("rgb32.bmp"), "bmptoppm");
        ExpectDecodesLikeTool(Path("topdown24.bmp"), "bmptoppm");
    }
}

TEST_F(BmpInterop, OurFilesDecodeIdenticallyInTheTools)
{
    const bool im = HaveTool("convert"), nb = HaveTool("bmptoppm");
    if (!im && !nb)
        GTEST_SKIP() << "neither ImageMagick nor netpbm is installed";
    for (DWORD bpp : {1u, 4u, 8u, 24u}) {
        CRasterImage img;
        imagetest::Fill(img, 37, 23, bpp);
        const std::string file = Path("ours" + std::to_string(bpp) + ".bmp");
        BYTE* buffer = nullptr;
        LONG size = 0;
        ASSERT_TRUE(img.Encode(buffer, size, IMAGE_FORMAT_BMP));
        WriteFile(file, std::vector<BYTE>(buffer, buffer + size));
        std::free(buffer);
        const Pixels ours = imagetest::TopDownPixels(img);
        for (const char* tool : {"convert", "bmptoppm"}) {
            if ((tool[0] == 'c' && !im) || (tool[0] == 'b' && !nb))
                continue;
            LONG w = 0, h = 0;
            Pixels theirs;
            ASSERT_TRUE(ToolPixels(tool, file, w, h, theirs)) << tool << " " << bpp;
            EXPECT_EQ(w, 37);
            EXPECT_EQ(h, 23);
            EXPECT_EQ(theirs, ours) << tool << " reading our " << bpp << "-bit file";
        }
    }
}
