// The bitmap mask: each cell takes the state the pixel under its centre calls for (sum of the colour
// channels below 70 blackens, above 702 erases, between leaves the cell), the centres of the first and
// last column and row lying on the picture's first and last pixel.
#include "ViewTestSupport.h"
#include "tests/support/TileTestSupport.h"

#include "image/CRasterImage.h"
#include "maze/MazeCell.h"
#include "platform/core/FileDialog.h"

#include <gtest/gtest.h>

#include <algorithm>

using viewtest::DetachedView;

namespace {
constexpr WORD kUntouched = CELL_START;  // a state no mask sets, so untouched cells stand out

// A colour whose channels add up to s (0..765).
COLORREF ColourOfSum(int s)
{
    int r = std::min(255, s), g = std::min(255, s - r), b = s - r - g;
    return RGB(r, g, b);
}

// A 24-bit picture whose pixel (x, y from the top) has the channel sum sum(x, y).
template <class Sum> CRasterImage MakeMask(int w, int h, Sum sum)
{
    CRasterImage image(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, h - 1 - y, ColourOfSum(sum(x, y)));
    return image;
}

WORD Expected(int s) { return s < 70 ? CELL_BLACKENED : s > 702 ? CELL_ERASED : kUntouched; }

struct Mask : ::testing::Test {
    CVantrelDoc doc;
    DetachedView view{&doc};

    void Grid(int cols, int rows)
    {
        viewtest::MakeGrid(doc, cols, rows, 400);
        ASSERT_EQ(doc.m_nGrids, 1);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cols; ++x)
                doc.GetGrid(0)->GetCell(x, y).flags = kUntouched;
    }
    WORD State(int x, int y) { return doc.GetGrid(0)->GetCell(x, y).flags; }
};
}  // namespace

// Ten columns over 100 pixels sample pixel columns 0, 10, 21, ..., 99; the thresholds are exact.
TEST_F(Mask, CellsSampleThePixelUnderTheirCentre)
{
    Grid(10, 7);
    const int W = 100, H = 40;
    // Sums that sweep through both thresholds, different for every sampled pixel.
    const int edges[] = {0, 69, 70, 300, 702, 703, 765};
    auto sum = [&](int x, int y) { return (x == 21 || x == 55) ? edges[(y * 7) / H] : (x * 7 + y * 13) % 766; };
    CRasterImage image = MakeMask(W, H, sum);
    EXPECT_EQ(view.ApplyBmpMask(image), 1);
    EXPECT_EQ(image.GetBpp(), 24);
    int blackened = 0, erased = 0, untouched = 0;
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 7; ++j) {
            const int px = int(W * i / 9.0 - 0.5), py = int(H * j / 6.0 - 0.5);
            const WORD want = Expected(sum(px, py));
            EXPECT_EQ(State(i, j), want) << "cell " << i << "," << j << " pixel " << px << "," << py;
            (want == CELL_BLACKENED ? blackened : want == CELL_ERASED ? erased : untouched)++;
        }
    EXPECT_GT(blackened, 0);
    EXPECT_GT(erased, 0);
    EXPECT_GT(untouched, 0);
    EXPECT_EQ(doc.m_bDirty, 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(Mask, BlackWhiteAndGreyPictures)
{
    Grid(4, 3);
    CRasterImage black = MakeMask(20, 20, [](int, int) { return 0; });
    view.ApplyBmpMask(black);
    EXPECT_EQ(State(0, 0), CELL_BLACKENED);
    EXPECT_EQ(State(3, 2), CELL_BLACKENED);
    CRasterImage grey = MakeMask(20, 20, [](int, int) { return 384; });
    view.ApplyBmpMask(grey);
    EXPECT_EQ(State(1, 1), CELL_BLACKENED) << "mid grey leaves every cell as it was";
    CRasterImage white = MakeMask(20, 20, [](int, int) { return 765; });
    view.ApplyBmpMask(white);
    EXPECT_EQ(State(0, 0), CELL_ERASED);
    EXPECT_EQ(State(3, 2), CELL_ERASED);
}

// One column or one row has no spread of centres: those cells sample the picture's middle.
TEST_F(Mask, OneColumnAndOneRowSampleTheMiddle)
{
    Grid(1, 5);
    // Dark only in the middle pixel column (of 9), light elsewhere; rows 0..4 over 5 pixel rows.
    CRasterImage column = MakeMask(9, 5, [](int x, int) { return x == 4 ? 0 : 765; });
    EXPECT_EQ(view.ApplyBmpMask(column), 1);
    for (int j = 0; j < 5; ++j)
        EXPECT_EQ(State(0, j), CELL_BLACKENED) << j;

    CVantrelDoc doc2;
    DetachedView view2{&doc2};
    viewtest::MakeGrid(doc2, 6, 1, 400);
    CRasterImage row = MakeMask(6, 7, [](int, int y) { return y == 3 ? 765 : 0; });
    EXPECT_EQ(view2.ApplyBmpMask(row), 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(doc2.GetGrid(0)->GetCell(i, 0).flags, CELL_ERASED) << i;
}

// A picture that did not decode leaves the grid as it was, through the command as well.
TEST_F(Mask, UndecodablePictureChangesNothing)
{
    Grid(3, 3);
    doc.m_bDirty = 0;
    CRasterImage empty;
    EXPECT_EQ(view.ApplyBmpMask(empty), 0);

    tiletest::ScratchDir dir;
    const std::string junk = dir.Write("junk.bmp", "BM this is not a bitmap");
    FileDialogRequest asked;
    FileDialogHandler old = SetFileDialogHandler([&](const FileDialogRequest& r) {
        asked = r;
        return FileDialogResult{true, junk.c_str(), 1};
    });
    view.OnApplyBmpMask();
    SetFileDialogHandler(old);
    EXPECT_EQ(asked.filter, CString("Bitmap Template file(*.bmp)|*.bmp||"));
    EXPECT_EQ(asked.defaultExt, CString("BMP"));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(State(i, j), kUntouched);
    EXPECT_EQ(doc.m_bDirty, 0);
}

// The command reads the chosen file whatever its format; ring templates are left alone.
TEST_F(Mask, CommandLoadsTheChosenFileAndSkipsRingTemplates)
{
    Grid(2, 2);
    tiletest::ScratchDir dir;
    CRasterImage picture = MakeMask(2, 2, [](int x, int) { return x == 0 ? 0 : 765; });
    const std::string path = dir.WriteBmp("mask.bmp", picture);
    int shown = 0;
    FileDialogHandler old = SetFileDialogHandler([&](const FileDialogRequest&) {
        ++shown;
        return FileDialogResult{true, path.c_str(), 1};
    });
    view.OnApplyBmpMask();
    EXPECT_EQ(State(0, 1), CELL_BLACKENED);
    EXPECT_EQ(State(1, 0), CELL_ERASED);

    doc.m_nType = 40;
    view.OnApplyBmpMask();
    EXPECT_EQ(shown, 1) << "no file dialog for a ring template";
    CRasterImage black = MakeMask(2, 2, [](int, int) { return 0; });
    EXPECT_EQ(view.ApplyBmpMask(black), 0);
    EXPECT_EQ(State(1, 0), CELL_ERASED);
    SetFileDialogHandler(old);
}
