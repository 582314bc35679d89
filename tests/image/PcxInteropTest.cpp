// PCX interoperability with ImageMagick and netpbm: their files (24-bit planes, 8-bit with the
// trailing palette, bit planes, packed pixels, monochrome) decode here to the pixels they report, and
// the 1-, 4-, 8- and 24-bit files written here read back identically in them.
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

namespace {

class PcxInterop : public ToolTest {};

} // namespace

TEST_F(PcxInterop, ToolFilesDecodeAsTheToolsReport)
{
    if (Convert().empty() || Netpbm("ppmtopcx").empty() || Netpbm("pcxtoppm").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    WritePicture(P("src.ppm"), 45, 27);
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -colors 16 " + P("c16.ppm")));
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -colors 4 " + P("c4.ppm")));
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -colors 100 " + P("c100.ppm")));
    const std::pair<const char*, std::string> made[] = {
        {"im-rgb.pcx", Convert() + " " + P("src.ppm") + " " + P("im-rgb.pcx")},
        {"im-palette.pcx", Convert() + " " + P("c100.ppm") + " -type Palette " + P("im-palette.pcx")},
        {"im-mono.pcx", Convert() + " " + P("src.ppm") + " -monochrome " + P("im-mono.pcx")},
        {"np-planes.pcx", Netpbm("ppmtopcx") + " " + P("c16.ppm") + " > " + P("np-planes.pcx")},
        {"np-packed.pcx", Netpbm("ppmtopcx") + " -packed " + P("c4.ppm") + " > " + P("np-packed.pcx")},
        {"np-8bit.pcx", Netpbm("ppmtopcx") + " -8bit " + P("c100.ppm") + " > " + P("np-8bit.pcx")},
        {"np-24bit.pcx", Netpbm("ppmtopcx") + " -24bit " + P("src.ppm") + " > " + P("np-24bit.pcx")},
    };
    for (const auto& [name, command] : made) {
        ASSERT_TRUE(Shell(command)) << name;
        const std::string ref = P(std::string(name) + ".ppm");
        ASSERT_TRUE(Shell(Netpbm("pcxtoppm") + " " + P(name) + " > " + ref));
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img, IMAGE_FORMAT_PCX)) << name << ": " << img.GetLastError();
        ExpectPixels(img, ref, name);
        ASSERT_TRUE(Shell(ToPnm(P(name), "", ref)));
        ExpectPixels(img, ref, std::string(name) + " (ImageMagick)");
    }
}

TEST_F(PcxInterop, WrittenFilesReadBackInTheTools)
{
    if (Convert().empty() || Netpbm("pcxtoppm").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    for (DWORD bpp : {1u, 4u, 8u, 24u}) {
        for (LONG w : {7, 16}) {
            CRasterImage img;
            Pattern(img, w, 9, bpp);
            if (bpp == 1) {
                img.SetPaletteColor(0, 0, 0, 0);
                img.SetPaletteColor(1, 255, 255, 255);
            }
            WriteFile(P("ours.pcx"), EncodeBytes(img, IMAGE_FORMAT_PCX));
            const std::string what = "depth " + std::to_string(bpp) + ", width " + std::to_string(w);
            ASSERT_TRUE(Shell(Netpbm("pcxtoppm") + " " + P("ours.pcx") + " > " + P("np.ppm"))) << what;
            ExpectPixels(img, P("np.ppm"), "netpbm, " + what);
            // ImageMagick reads a one-plane 1-bit file as set bit = black whatever its palette says;
            // netpbm and this reader use the palette (black, white), so ImageMagick shows the negative.
            ASSERT_TRUE(Shell(ToPnm(P("ours.pcx"), bpp == 1 ? "-negate" : "", P("im.ppm")))) << what;
            ExpectPixels(img, P("im.ppm"), "ImageMagick, " + what);
        }
    }
}
