// WMF interoperability: ImageMagick renders metafiles only through its WMF delegate; where that is
// installed, the sample metafile renders to the same picture size here and there and the shapes'
// colours agree at their centres. Without the delegate the case is skipped.
#include "image/CRasterWmf.h"
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

using namespace smalltest;

namespace {

class WmfInterop : public ToolTest {};

bool ImageMagickReadsWmf()
{
    if (Convert().empty())
        return false;
    return Shell(Convert() + " -list format | grep -q '^ *WMF\\*\\? *WMF *r'");
}

} // namespace

TEST_F(WmfInterop, SampleRendersLikeImageMagick)
{
    if (!ImageMagickReadsWmf() || ::access("/usr/bin/python3", X_OK) != 0)
        GTEST_SKIP() << "ImageMagick has no WMF delegate here";
    const std::string script = std::string(VANTREL_TEST_DATA) + "/../../tools/make_small_metafiles.py";
    ASSERT_TRUE(Shell("python3 " + script + " " + dir.string()));
    ASSERT_TRUE(Shell(Convert() + " -density 96 " + P("shapes.wmf") + " " + P("im.ppm")));
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(ReadFile(P("shapes.wmf")), img, IMAGE_FORMAT_WMF));
    Pnm ref;
    ASSERT_TRUE(ReadPnm(P("im.ppm"), ref));
    EXPECT_EQ(int(img.GetWidth()), ref.w);
    EXPECT_EQ(int(img.GetHeight()), ref.h);
    // Inside the rectangle (100..400, 100..300 of 1000 x 800 units) and the ellipse.
    EXPECT_EQ(TopDown(img, 24, 19), ref.At(24, 19));
    EXPECT_EQ(TopDown(img, 67, 52), ref.At(67, 52));
}
