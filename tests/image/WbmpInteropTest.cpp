// WBMP interoperability with ImageMagick and netpbm: their files decode here to the pixels they
// report, and what is written here reads back identically in them.
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

namespace {

class WbmpInterop : public ToolTest {};

} // namespace

TEST_F(WbmpInterop, ToolFilesDecodeAsTheToolsReport)
{
    if (Convert().empty() || Netpbm("pbmtowbmp").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    WritePicture(P("src.ppm"), 37, 23);
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -monochrome " + P("im.wbmp")));
    ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -monochrome " + P("src.pbm")));
    ASSERT_TRUE(Shell(Netpbm("pbmtowbmp") + " " + P("src.pbm") + " > " + P("np.wbmp")));
    for (const char* name : {"im.wbmp", "np.wbmp"}) {
        ASSERT_TRUE(Shell(ToPnm(P(name), "", P(std::string(name) + ".ppm"))));
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img, IMAGE_FORMAT_WBMP)) << name << ": " << img.GetLastError();
        ExpectPixels(img, P(std::string(name) + ".ppm"), name);
    }
}

TEST_F(WbmpInterop, WrittenFilesReadBackInTheTools)
{
    if (Convert().empty() || Netpbm("wbmptopbm").empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    // Width and height are one byte each here, not the published multi-byte integers, so only sizes
    // below 128 mean the same to both.
    for (LONG w : {1, 8, 9, 127}) {
        CRasterImage img;
        Pattern(img, w, 17, 1);
        img.SetGrayPalette();
        WriteFile(P("ours.wbmp"), EncodeBytes(img, IMAGE_FORMAT_WBMP));
        ASSERT_TRUE(Shell(ToPnm(P("ours.wbmp"), "", P("im.ppm"))));
        ExpectPixels(img, P("im.ppm"), "ImageMagick, width " + std::to_string(w));
        ASSERT_TRUE(Shell(Netpbm("wbmptopbm") + " " + P("ours.wbmp") + " | " + ToPnm("pbm:-", "", P("np.ppm"))));
        ExpectPixels(img, P("np.ppm"), "netpbm, width " + std::to_string(w));
    }
}
