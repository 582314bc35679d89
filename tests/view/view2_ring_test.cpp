// Ring grids in the view: the disc laid out on the default page (centre, radii, cells per ring and the
// cell array), ring cells drawn where the ring geometry puts them, and hit tests back to the same cell.
#include "ViewTestSupport.h"

#include "maze/MazeCell.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using viewtest::DetachedView;
using viewtest::MemoryPage;

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr double kPi = 3.1415926535898;

// A document whose only grid is a ring grid that the view has not laid out yet.
void MakeRingGrid(CVantrelDoc& doc, int innerCells = 15, double innerRadius = 0.05)
{
    viewtest::MakeDefaultGrid(doc);
    doc.m_nType = 40;
    Object* grid = doc.GetGrid(0);
    grid->SetCellShape(2);
    grid->innerRingCells = innerCells;
    grid->innerRadius = innerRadius;
    delete[] doc.m_pRingCells;
    doc.m_pRingCells = nullptr;
}

struct RingView : ::testing::Test {
    CVantrelDoc doc;
    DetachedView view{&doc};
    MemoryPage page{721, 913};

    void SetUp() override
    {
        MakeRingGrid(doc);
        view.RebuildBackBuffer(page.dc());  // the default page's extent, (7510, -9500)
        view.m_nFooterHeight = doc.m_nTopReserve;
        view.ComputeCircularGeometry();
    }

    // The logical point at angle t and radius r, computed here from the geometry's definition.
    CPoint At(double t, double r)
    {
        const double rad = t / 360.0 * 2.0 * kPi;
        return CPoint(view.m_ringCentre.x + int(std::sin(rad) * r), view.m_ringCentre.y + int(std::cos(rad) * r));
    }
    double Inner(int ring) { return ring * view.m_dRingWidth + view.m_dInnerRadius; }
    double Step(int ring) { return 360.0 / doc.m_pRingCells[ring]; }
    // The middle of ring cell (x, ring) in device units.
    CPoint Middle(int x, int ring)
    {
        const CPoint p = At((x + 0.5) * Step(ring), Inner(ring) + view.m_dRingWidth / 2);
        return page.ToDevice(p.x, p.y);
    }
    // Whether a device pixel within one pixel of the logical point p has colour c.
    bool Near(CPoint p, COLORREF c)
    {
        CPoint d = page.ToDevice(p.x, p.y);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (page.Pixel(d.x + dx, d.y + dy) == c)
                    return true;
        return false;
    }
    int NonWhitePixels()
    {
        int n = 0;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = 0; x < page.width(); x += 2)
                n += page.Pixel(x, y) != kWhite;
        return n;
    }
};
}  // namespace

TEST_F(RingView, DefaultPageLaysOutFortyFiveRings)
{
    EXPECT_EQ(view.m_extent, CSize(7510, -9500));
    EXPECT_EQ(view.m_ringCentre, CPoint(3755, -3755));
    EXPECT_EQ(view.m_nOuterRadius, 3717);
    EXPECT_NEAR(view.m_dInnerRadius, 185.85, 1e-9);
    EXPECT_DOUBLE_EQ(view.m_dInnerStep, 24.0);
    EXPECT_NEAR(view.m_dRingWidth, 77.8487, 5e-5);
    ASSERT_EQ(doc.m_nCellsY, 45);
    ASSERT_NE(doc.m_pRingCells, nullptr);
    std::vector<int> expected;
    for (int i = 0; i < 45; ++i)
        expected.push_back(i < 3 ? 15 : i < 8 ? 30 : i < 17 ? 60 : i < 36 ? 120 : 240);
    EXPECT_EQ(std::vector<int>(doc.m_pRingCells, doc.m_pRingCells + 45), expected);
    EXPECT_EQ(doc.m_nCellsX, 240);
    const Object& grid = *doc.GetGrid(0);
    EXPECT_EQ(grid.width, 240);
    EXPECT_EQ(grid.height, 45);
    // Array cells beyond a ring's count are erased; the ring's own cells are not.
    EXPECT_EQ(grid.GetCell(14, 0).flags, 0);
    EXPECT_EQ(grid.GetCell(15, 0).flags, CELL_ERASED);
    EXPECT_EQ(grid.GetCell(239, 0).flags, CELL_ERASED);
    EXPECT_EQ(grid.GetCell(119, 20).flags, 0);
    EXPECT_EQ(grid.GetCell(120, 20).flags, CELL_ERASED);
    EXPECT_EQ(grid.GetCell(239, 44).flags, 0);

    // The table is computed once: a later run keeps it and the cells.
    doc.GetGrid(0)->GetCell(3, 3).flags = CELL_BLACKENED;
    int* table = doc.m_pRingCells;
    view.ComputeCircularGeometry();
    EXPECT_EQ(doc.m_pRingCells, table);
    EXPECT_EQ(doc.GetGrid(0)->GetCell(3, 3).flags, CELL_BLACKENED);
}

// No inner cells or no hole would divide by zero: nothing is laid out and nothing is drawn or hit.
TEST(RingGeometry, NoInnerCellsOrNoHoleLaysOutNoRings)
{
    for (int variant = 0; variant < 3; ++variant) {
        CVantrelDoc doc;
        DetachedView view{&doc};
        MemoryPage page{721, 913};
        MakeRingGrid(doc, variant == 0 ? 0 : 15, variant == 1 ? 0.0 : variant == 2 ? 0.999 : 0.05);
        view.RebuildBackBuffer(page.dc());
        view.ComputeCircularGeometry();
        EXPECT_EQ(doc.m_pRingCells, nullptr) << variant;
        view.DrawCircularCell(page.dc(), 0, 0, 0, DRAW_PASS_CELL);
        CRgn rgn;
        int c = -1, r = -1, g = -1;
        CPoint centre = page.ToDevice(3755, -3755 + 300);
        EXPECT_EQ(view.HitTestCell(page.dc(), centre.x, centre.y, &rgn, c, r, g), 0);
        doc.m_bDirty = 1;
        view.OnDraw(page.dc());  // a full redraw of a grid without rings draws no cell
    }
}

TEST_F(RingView, HitTestsFindTheCellUnderItsMiddle)
{
    const int probes[][2] = {{0, 0}, {14, 0}, {7, 2}, {0, 3}, {29, 7}, {31, 10}, {100, 30}, {0, 44}, {239, 44}, {123, 40}};
    for (const auto& probe : probes) {
        const CPoint d = Middle(probe[0], probe[1]);
        CRgn rgn;
        int c = -1, r = -1, g = -1;
        ASSERT_EQ(view.HitTestCell(page.dc(), d.x, d.y, &rgn, c, r, g), 1) << probe[0] << "," << probe[1];
        EXPECT_EQ(c, probe[0]);
        EXPECT_EQ(r, probe[1]);
        EXPECT_EQ(g, 0);
        EXPECT_TRUE(rgn.PtInRegion(d)) << "the hit cell's outline stays in the region";
    }
    CRgn rgn;
    int c = -1, r = -1, g = -1;
    const CPoint centre = page.ToDevice(3755, -3755);
    EXPECT_EQ(view.HitTestCell(page.dc(), centre.x, centre.y, &rgn, c, r, g), 0) << "the centre hole";
    const CPoint outside = page.ToDevice(7400, -9000);
    EXPECT_EQ(view.HitTestCell(page.dc(), outside.x, outside.y, &rgn, c, r, g), 0) << "outside the disc";
    EXPECT_EQ(rgn.GetSafeHandle(), nullptr);
}

TEST_F(RingView, CellDrawnByItselfFillsAndWallsWhereTheGeometrySays)
{
    // Ring 2 doubles outwards (15 -> 30): its cells have 5 sides, the outer arc in two halves.
    Object& grid = *doc.GetGrid(0);
    MazeCell& cell = grid.GetCell(4, 2);
    cell.flags = CELL_SOLUTION;
    cell.passages = 0x2 | 0x4 | 0x8;  // open: inner arc, end radial, outer second half; closed: 1 and 5
    doc.m_bTemplateOnly = 0;
    view.DrawCircularCell(page.dc(), 4, 2, 0, DRAW_PASS_CELL);

    const CPoint mid = Middle(4, 2);
    EXPECT_EQ(page.Pixel(mid.x, mid.y), 0xFF8080u) << "ring solution colour";
    const double a = 4 * Step(2), s = Step(2), r = Inner(2), R = r + view.m_dRingWidth;
    EXPECT_TRUE(Near(At(a, (r + R) / 2), kBlack)) << "side 1: start radial";
    EXPECT_FALSE(Near(At(a + s, (r + R) / 2), kBlack)) << "side 3 open";
    EXPECT_TRUE(Near(At(a + s / 4, R), kBlack)) << "side 5: first half of the outer arc";
    EXPECT_FALSE(Near(At(a + 3 * s / 4, R), kBlack)) << "side 4 open";
    EXPECT_FALSE(Near(At(a + s / 2, r), kBlack)) << "side 2 open";
}

TEST_F(RingView, CellsOutsideTheirRingAreNeverDrawn)
{
    view.DrawCircularCell(page.dc(), 15, 0, 0, DRAW_PASS_CELL);
    view.DrawCircularCell(page.dc(), 0, 45, 0, DRAW_PASS_CELL);
    EXPECT_EQ(NonWhitePixels(), 0);
}

// A full redraw outlines template cells, fills blackened ones and leaves erased array cells out.
TEST_F(RingView, FullRedrawDrawsEveryRing)
{
    doc.GetGrid(0)->GetCell(10, 20).flags = CELL_BLACKENED;
    doc.m_bDirty = 1;
    view.OnDraw(page.dc());
    const CPoint black = Middle(10, 20);
    EXPECT_EQ(page.Pixel(black.x, black.y), kBlack);
    const CPoint plain = Middle(11, 20);
    EXPECT_EQ(page.Pixel(plain.x, plain.y), kWhite);
    // The boundary between rings 20 and 21 is outlined, under the middle of cell 11.
    EXPECT_TRUE(Near(At((11 + 0.5) * Step(20), Inner(21)), kBlack));
    // The inner hole stays white.
    const CPoint centre = page.ToDevice(3755, -3755);
    EXPECT_EQ(page.Pixel(centre.x, centre.y), kWhite);
}
