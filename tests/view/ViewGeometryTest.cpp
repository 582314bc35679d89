// Cell geometry without a window: the page buffer, the extents, the fill colours and the hit test.
#include "ViewTestSupport.h"

#include "maze/MazeCell.h"
#include "maze/Object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using viewtest::DetachedView;
using viewtest::MemoryPage;

TEST(ViewPageBuffer, DefaultPageGivesTheWidenedExtentAndBufferSize)
{
    MemoryPage page(8, 8);
    CSize extent, buffer;
    CVantrelView::ComputePageBuffer(page.dc(), 7499, 9499, extent, buffer);
    EXPECT_EQ(extent, CSize(7510, -9500));
    EXPECT_EQ(buffer, CSize(721, 913));

    // A page of whole inches: 96 pixels per inch, one more pixel each way.
    CVantrelView::ComputePageBuffer(page.dc(), 2000, 1000, extent, buffer);
    EXPECT_EQ(buffer, CSize(193, 97));
    EXPECT_EQ(extent, CSize(2010, -1000));  // 193 pixels back in thousandths, rounded
}

TEST(ViewExtents, SquareGridBoxesOfCornersAndCentres)
{
    CVantrelDoc doc;
    viewtest::MakeGrid(doc, 10, 10, 400);
    DetachedView view(&doc);
    ASSERT_EQ(view.ComputeExtents(), 1);
    EXPECT_EQ(view.m_vertexMin, CPoint(0, 0));
    EXPECT_EQ(view.m_vertexMax, CPoint(4000, 4000));
    EXPECT_DOUBLE_EQ(view.m_centroidMinX, 200.0);
    EXPECT_DOUBLE_EQ(view.m_centroidMinY, 200.0);
    EXPECT_DOUBLE_EQ(view.m_centroidMaxX, 3800.0);
    EXPECT_DOUBLE_EQ(view.m_centroidMaxY, 3800.0);

    // Rectangular cells and an uneven count: the boxes follow the cell size, downwards positive.
    viewtest::MakeDefaultGrid(doc);
    ASSERT_EQ(view.ComputeExtents(), 1);
    EXPECT_EQ(view.m_vertexMax, CPoint(7460, 9200));
    EXPECT_DOUBLE_EQ(view.m_centroidMaxX, 7460.0 - 373.0);
    EXPECT_DOUBLE_EQ(view.m_centroidMaxY, 9200.0 - 460.0);
}

// The boxes of every cell's corners and centres, cell by cell: what the view's extents must equal.
struct Boxes {
    CPoint vertexMin, vertexMax;
    double centroidMinX = 0, centroidMaxX = 0, centroidMinY = 0, centroidMaxY = 0;
};
Boxes EveryCell(const CVantrelDoc& doc, CSize step)
{
    Boxes b;
    bool firstVertex = true, first = true;
    for (int i = 0; i < doc.m_nCellsX; ++i)
        for (int j = 0; j < doc.m_nCellsY; ++j)
            for (int g = 0; g < doc.m_nGrids; ++g) {
                const Object& grid = *doc.GetGrid(g);
                double sumX = 0, sumY = 0;
                for (int k = 0; k < grid.sides; ++k) {
                    const CPoint v = grid.GetVertex(k, step, CPoint(i * step.cx, j * step.cy));
                    if (firstVertex)
                        b.vertexMin = b.vertexMax = v;
                    firstVertex = false;
                    b.vertexMin = CPoint(std::min(b.vertexMin.x, v.x), std::min(b.vertexMin.y, v.y));
                    b.vertexMax = CPoint(std::max(b.vertexMax.x, v.x), std::max(b.vertexMax.y, v.y));
                    sumX += v.x;
                    sumY += v.y;
                }
                const double cx = sumX / grid.sides, cy = sumY / grid.sides;
                if (first) {
                    b.centroidMinX = b.centroidMaxX = cx;
                    b.centroidMinY = b.centroidMaxY = cy;
                    first = false;
                }
                b.centroidMinX = std::min(b.centroidMinX, cx);
                b.centroidMaxX = std::max(b.centroidMaxX, cx);
                b.centroidMinY = std::min(b.centroidMinY, cy);
                b.centroidMaxY = std::max(b.centroidMaxY, cy);
            }
    return b;
}

// The extents come from the first and last columns and rows only; they are those of every cell, for
// any count, cell size and shape (corners at fractions of the cell, truncated as the view draws them).
TEST(ViewExtents, TheOuterCellsGiveTheBoxesOfTheWholeGrid)
{
    static const ShapeVertex kOdd[] = {{0.3333, -0.25, 0, 0, 0, 1},  {1.25, 0.125, 90, 0, 0, 2},
                                       {0.875, 1.3333, 180, 0, 0, 3}, {-0.2, 0.6667, 270, 0, 0, 4},
                                       {0.0, 0.1, 300, 0, 0, 5},      {0.3333, -0.25, 0, 0, 0, 1}};
    const struct {
        int cols, rows, size;
        bool odd;
    } cases[] = {{1, 1, 400, false}, {1, 7, 333, false}, {7, 1, 333, true},  {13, 9, 373, true},
                 {200, 260, 28, false}, {200, 260, 29, true}, {2, 2, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows) + " of " + std::to_string(c.size) +
                     (c.odd ? ", odd shape" : ""));
        CVantrelDoc doc;
        viewtest::MakeGrid(doc, c.cols, c.rows, c.size);
        if (c.odd) {
            doc.GetGrid(0)->shape = kOdd;
            doc.GetGrid(0)->sides = 5;
        }
        DetachedView view(&doc);
        ASSERT_EQ(view.ComputeExtents(), 1);
        const Boxes want = EveryCell(doc, CSize(view.m_nCachedCellWidth, -view.m_nCachedCellHeight));
        EXPECT_EQ(view.m_vertexMin, want.vertexMin);
        EXPECT_EQ(view.m_vertexMax, want.vertexMax);
        EXPECT_EQ(view.m_centroidMinX, want.centroidMinX);
        EXPECT_EQ(view.m_centroidMaxX, want.centroidMaxX);
        EXPECT_EQ(view.m_centroidMinY, want.centroidMinY);
        EXPECT_EQ(view.m_centroidMaxY, want.centroidMaxY);
    }
}

TEST(ViewExtents, NoGridLeavesTheBoxesAndRingTemplatesTakeThePage)
{
    CVantrelDoc doc;
    DetachedView view(&doc);
    view.m_vertexMax = CPoint(5, 6);
    EXPECT_EQ(view.ComputeExtents(), 0);
    EXPECT_EQ(view.m_vertexMax, CPoint(5, 6));

    viewtest::MakeGrid(doc, 4, 4, 400);
    doc.m_nType = 40;
    EXPECT_EQ(view.ComputeExtents(), 0);
    EXPECT_EQ(view.m_vertexMax, CPoint(doc.m_nPageWidth, doc.m_nPageHeight));
    EXPECT_EQ(view.m_vertexMin, CPoint(0, 0));
}

TEST(ViewCellColour, FirstMatchingRuleWins)
{
    auto colour = [](WORD flags, WORD passages, BOOL erasedVisible = 0, BOOL templateOnly = 1, bool ring = false) {
        return CVantrelView::CellFillColour(MazeCell{flags, passages}, erasedVisible, templateOnly, ring);
    };
    EXPECT_EQ(colour(0, 0), 0xFFFFFFu);
    EXPECT_EQ(colour(CELL_BLACKENED | CELL_START | CELL_FRONTIER, 0), 0x000000u);
    EXPECT_EQ(colour(CELL_FRONTIER | CELL_START, 0), 0x300000u);
    EXPECT_EQ(colour(CELL_ERASED, 0, 1), 0x40D0D0u);
    EXPECT_EQ(colour(CELL_ERASED, 0, 0), 0xFFFFFFu);
    // A dead end left by the solver is grey only once a maze was made, and never when erased.
    EXPECT_EQ(colour(CELL_START, 0, 0, 0), 0xA0A0A0u);
    EXPECT_EQ(colour(CELL_ERASED, 0, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(colour(CELL_START | CELL_HIDDEN, 1, 0, 0), 0xC0FFC0u);
    EXPECT_EQ(colour(CELL_START, 1, 0, 0), 0x00FF00u);
    EXPECT_EQ(colour(CELL_STOP | CELL_HIDDEN, 4), 0xC0C0FFu);
    EXPECT_EQ(colour(CELL_STOP, 4), 0x0000FFu);
    // START and STOP keep their colours on the solution path.
    EXPECT_EQ(colour(CELL_START | CELL_SOLUTION, 2, 0, 0), 0x00FF00u);
    EXPECT_EQ(colour(CELL_SOLUTION, 2, 0, 0), 0xF08080u);
    EXPECT_EQ(colour(CELL_SOLUTION, 2, 0, 0, true), 0xFF8080u);
}

namespace {
// The cell whose device outline holds pixel (px, py), found from the cell corners' device positions:
// polygon regions take their left and top edges and leave their right and bottom ones.
bool ExpectedCell(MemoryPage& page, int w, int h, int nCols, int nRows, int px, int py, int& col, int& row)
{
    col = row = -1;
    for (int i = 0; i < nCols; ++i)
        if (px >= page.ToDevice(i * w, 0).x && px < page.ToDevice((i + 1) * w, 0).x)
            col = i;
    for (int j = 0; j < nRows; ++j)
        if (py >= page.ToDevice(0, j * h).y && py < page.ToDevice(0, (j + 1) * h).y)
            row = j;
    return col >= 0 && row >= 0;
}
}  // namespace

// Every pixel of every cell maps back to that cell, the first pixels past a rounded cell edge included,
// and pixels outside the grid map to none.
TEST(ViewHitTest, EveryPixelOfTheGridFindsItsCell)
{
    CVantrelDoc doc;
    viewtest::MakeDefaultGrid(doc);
    DetachedView view(&doc);
    MemoryPage page(721, 913);
    const int w = doc.GetCellWidth(), h = doc.GetCellHeight();
    ASSERT_EQ(w, 746);
    ASSERT_EQ(h, -920);

    CRgn rgn;
    int misses = 0, wrong = 0, outside = 0;
    // The first three columns and rows hold edges that round both ways (72 and 143.2 pixels).
    const CPoint end = page.ToDevice(3 * w, 3 * h);
    for (int py = -3; py < end.y + 3; ++py) {
        for (int px = -3; px < end.x + 3; ++px) {
            int col = -1, row = -1, g = -1, ec, er;
            int hit = view.HitTestCell(page.dc(), px, py, &rgn, col, row, g);
            if (ExpectedCell(page, w, h, 4, 4, px, py, ec, er)) {
                if (!hit)
                    ++misses;
                else if (col != ec || row != er || g != 0)
                    ++wrong;
                else if (!rgn.GetSafeHandle() || !rgn.PtInRegion(px, py))
                    ++wrong;
            } else if (hit) {
                ++outside;
            }
        }
    }
    EXPECT_EQ(misses, 0);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(outside, 0);
}

TEST(ViewHitTest, PointsOffTheGridFindNothingAndLeaveNoRegion)
{
    CVantrelDoc doc;
    viewtest::MakeGrid(doc, 3, 2, 1000);  // 96 x 96 pixel cells
    DetachedView view(&doc);
    MemoryPage page(400, 300);
    CRgn rgn;
    int col = -1, row = -1, g = -1;

    ASSERT_EQ(view.HitTestCell(page.dc(), 100, 50, &rgn, col, row, g), 1);
    EXPECT_EQ(CPoint(col, row), CPoint(1, 0));
    EXPECT_TRUE(rgn.GetSafeHandle());
    CRect box;
    rgn.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(96, 0, 192, 96));

    // Beyond the last column, below the last row, and far outside: no cell, and the old region is gone.
    EXPECT_EQ(view.HitTestCell(page.dc(), 3 * 96 + 10, 50, &rgn, col, row, g), 0);
    EXPECT_FALSE(rgn.GetSafeHandle());
    EXPECT_EQ(view.HitTestCell(page.dc(), 10, 2 * 96 + 1, &rgn, col, row, g), 0);
    EXPECT_EQ(view.HitTestCell(page.dc(), 1000, 1000, &rgn, col, row, g), 0);
    EXPECT_FALSE(rgn.GetSafeHandle());

    // Corners of the grid belong to the cells they start.
    ASSERT_EQ(view.HitTestCell(page.dc(), 0, 0, &rgn, col, row, g), 1);
    EXPECT_EQ(CPoint(col, row), CPoint(0, 0));
    ASSERT_EQ(view.HitTestCell(page.dc(), 3 * 96 - 1, 2 * 96 - 1, &rgn, col, row, g), 1);
    EXPECT_EQ(CPoint(col, row), CPoint(2, 1));

    // Without a grid nothing is hit.
    CVantrelDoc empty;
    DetachedView emptyView(&empty);
    EXPECT_EQ(emptyView.HitTestCell(page.dc(), 10, 10, &rgn, col, row, g), 0);
}

TEST(ViewHitTest, BuildCellPolygonGivesDeviceCorners)
{
    CVantrelDoc doc;
    viewtest::MakeGrid(doc, 3, 2, 1000);
    DetachedView view(&doc);
    MemoryPage page(400, 300);
    ASSERT_EQ(view.BuildCellPolygon(2, 1, 0, page.dc()), 1);
    std::vector<CPoint> expected = {{192, 96}, {288, 96}, {288, 192}, {192, 192}, {192, 96}};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(view.m_polygon[k], expected[k]) << "corner " << k;
}
