// Ring grids in the view: the disc laid out on the default page (centre, radii, cells per ring and the
// cell array), ring cells drawn where the ring geometry puts them, and hit tests back to the same cell.
#include "ViewTestSupport.h"

#include "maze/MazeCell.h"
#include "maze/RingGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// A maze grown over a ring template: every passage is open from both sides, and the passages form one
// spanning tree over the ring cells, from the hidden START at (0, 0) to the STOP on the outer ring.
struct RingMaze : ::testing::Test {
    CVantrelDoc doc;
    DetachedView view{&doc};
    MemoryPage page{721, 913};

    void SetUp() override
    {
        viewtest::MakeDefaultGrid(doc);
        doc.m_nType = RING_TEMPLATE_TYPE;
        doc.m_nSeed = 2024;
        ASSERT_TRUE(doc.CreateGrid());
        view.RebuildBackBuffer(page.dc());
        view.m_nFooterHeight = doc.m_nTopReserve;
        view.ComputeCircularGeometry();
        ASSERT_EQ(doc.m_nCellsY, 45);
        doc.OnGenerateMaze();
    }
    int Cells(int ring) { return doc.m_pRingCells[ring]; }
    const MazeCell& Cell(int x, int y) { return doc.GetGrid(0)->GetCell(x, y); }
    bool Beyond(int x, int y, int d, int& nx, int& ny, int& reverse)
    {
        MoveRecord move = doc.LookupMove(x, y, 0, d);
        reverse = move.reverseDir;
        return move.fromGrid == 0 && doc.GetNeighbour(d, x, y, 0, move.dx, move.dy, move.toGrid, nx, ny) &&
               doc.GetGrid(0)->InBounds(nx, ny);
    }
};

TEST_F(RingMaze, NeighboursFollowTheRings)
{
    const Object& grid = *doc.GetGrid(0);
    EXPECT_EQ(grid.kind, 2);
    EXPECT_EQ(grid.sides, 5);
    int nx = 0, ny = 0, rev = 0;
    // Around the ring, wrapping at column 0.
    ASSERT_TRUE(Beyond(0, 5, 1, nx, ny, rev));
    EXPECT_EQ(CPoint(nx, ny), CPoint(29, 5));
    EXPECT_EQ(rev, 3);
    ASSERT_TRUE(Beyond(29, 5, 3, nx, ny, rev));
    EXPECT_EQ(CPoint(nx, ny), CPoint(0, 5));
    // Ring 2 (15 cells) doubles into ring 3 (30): side 5 leads to the even cell, side 4 to the odd one.
    ASSERT_TRUE(Beyond(6, 2, 5, nx, ny, rev));
    EXPECT_EQ(CPoint(nx, ny), CPoint(12, 3));
    EXPECT_EQ(rev, 2);
    ASSERT_TRUE(Beyond(6, 2, 4, nx, ny, rev));
    EXPECT_EQ(CPoint(nx, ny), CPoint(13, 3));
    ASSERT_TRUE(Beyond(12, 3, 2, nx, ny, rev));
    EXPECT_EQ(CPoint(nx, ny), CPoint(6, 2));
    EXPECT_EQ(rev, 5);
    ASSERT_TRUE(Beyond(13, 3, 2, nx, ny, rev));
    EXPECT_EQ(CPoint(nx, ny), CPoint(6, 2));
    EXPECT_EQ(rev, 4);
    // Rings that do not double: side 4 straight out, no side 5; nothing inside ring 0 or beyond the last.
    ASSERT_TRUE(Beyond(7, 4, 4, nx, ny, rev));
    EXPECT_EQ(CPoint(nx, ny), CPoint(7, 5));
    EXPECT_FALSE(Beyond(7, 4, 5, nx, ny, rev));
    EXPECT_FALSE(Beyond(3, 0, 2, nx, ny, rev));
    EXPECT_FALSE(Beyond(3, 44, 4, nx, ny, rev));
}

TEST_F(RingMaze, GrowthMakesOneSpanningTreeWithPassagesOpenFromBothSides)
{
    long cells = 0, openSides = 0;
    for (int y = 0; y < 45; ++y) {
        for (int x = 0; x < Cells(y); ++x) {
            const MazeCell& cell = Cell(x, y);
            ASSERT_NE(cell.passages, 0) << "every ring cell is carved: " << x << "," << y;
            ++cells;
            for (int d = 1; d <= 5; ++d) {
                if (!cell.HasPassage(d))
                    continue;
                ++openSides;
                int nx = 0, ny = 0, rev = 0;
                ASSERT_TRUE(Beyond(x, y, d, nx, ny, rev)) << x << "," << y << " side " << d;
                ASSERT_LT(nx, Cells(ny));
                EXPECT_TRUE(Cell(nx, ny).HasPassage(rev)) << x << "," << y << " side " << d;
                int bx = 0, by = 0, back = 0;
                ASSERT_TRUE(Beyond(nx, ny, rev, bx, by, back));
                EXPECT_EQ(CPoint(bx, by), CPoint(x, y));
                EXPECT_EQ(back, d);
            }
        }
        for (int x = Cells(y); x < 240; ++x)
            EXPECT_EQ(Cell(x, y).passages, 0) << "array cells outside the ring stay closed";
    }
    EXPECT_EQ(openSides % 2, 0);
    EXPECT_EQ(openSides / 2, cells - 1) << "a tree has one passage fewer than cells";

    // Connected: a walk along the passages from the START reaches every ring cell.
    std::vector<std::vector<bool>> seen(45, std::vector<bool>(240, false));
    std::vector<CPoint> todo{CPoint(0, 0)};
    seen[0][0] = true;
    long reached = 0;
    while (!todo.empty()) {
        CPoint p = todo.back();
        todo.pop_back();
        ++reached;
        for (int d = 1; d <= 5; ++d) {
            int nx = 0, ny = 0, rev = 0;
            if (Cell(p.x, p.y).HasPassage(d) && Beyond(p.x, p.y, d, nx, ny, rev) && !seen[ny][nx]) {
                seen[ny][nx] = true;
                todo.push_back(CPoint(nx, ny));
            }
        }
    }
    EXPECT_EQ(reached, cells);
    EXPECT_TRUE(Cell(0, 0).flags & CELL_SOLUTION);
    EXPECT_TRUE(Cell(239, 44).flags & CELL_SOLUTION);
}

// A full redraw of the grown maze draws a cell's start radial exactly when side 1 is closed.
TEST_F(RingMaze, FullRedrawDrawsTheClosedRadialWalls)
{
    doc.m_bDirty = 1;
    view.OnDraw(page.dc());
    int checked = 0;
    for (int y : {5, 20, 40}) {
        const double step = 360.0 / Cells(y), mid = y * view.m_dRingWidth + view.m_dInnerRadius + view.m_dRingWidth / 2;
        for (int x = 0; x < Cells(y); ++x) {
            const double rad = x * step / 360.0 * 2.0 * kPi;
            const CPoint p = page.ToDevice(view.m_ringCentre.x + int(std::sin(rad) * mid),
                                           view.m_ringCentre.y + int(std::cos(rad) * mid));
            bool black = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    black = black || page.Pixel(p.x + dx, p.y + dy) == kBlack;
            if (Cell(x, y).HasPassage(1))
                EXPECT_NE(page.Pixel(p.x, p.y), kBlack) << x << "," << y;
            else
                EXPECT_TRUE(black) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 30 + 120 + 240);
}

// Every device pixel of the disc between the hole and the outer ring belongs to some cell.
TEST_F(RingView, NoDeadPixelsOnACircleAcrossTheRings)
{
    const CPoint c = page.ToDevice(view.m_ringCentre.x, view.m_ringCentre.y);
    const double pixel = 1000.0 / 96.0;
    const double inner = view.m_dInnerRadius / pixel + 1.5, outer = (view.m_dInnerRadius + 45 * view.m_dRingWidth) / pixel - 1.5;
    int tested = 0;
    for (int ring = 0; ring < 3; ++ring) {
        const double radius = inner + (outer - inner) * ring / 2.0;
        for (int i = 0; i < 720; ++i) {
            const double t = i * kPi / 360.0;
            const int x = c.x + int(std::lround(std::cos(t) * radius)), y = c.y + int(std::lround(std::sin(t) * radius));
            CRgn rgn;
            int col = -1, row = -1, g = -1;
            EXPECT_EQ(view.HitTestCell(page.dc(), x, y, &rgn, col, row, g), 1) << x << "," << y;
            ++tested;
        }
    }
    EXPECT_EQ(tested, 3 * 720);
}

// A ring maze saved and opened again has the same cells once the view lays the rings out.
TEST_F(RingMaze, SavedAndOpenedAgainKeepsEveryCell)
{
    char pattern[] = "/tmp/vantrel_ring_XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string path = dir + "/ring.mze";
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));

    CVantrelDoc reader;
    DetachedView readerView{&reader};
    ASSERT_TRUE(reader.OnOpenDocument(path.c_str()));
    std::remove(path.c_str());
    std::remove(dir.c_str());
    ASSERT_EQ(reader.m_nType, RING_TEMPLATE_TYPE);
    ASSERT_EQ(reader.m_nGrids, 1);
    MemoryPage readerPage{721, 913};
    readerView.RebuildBackBuffer(readerPage.dc());
    readerView.m_nFooterHeight = reader.m_nTopReserve;
    readerView.ComputeCircularGeometry();
    ASSERT_NE(reader.m_pRingCells, nullptr);
    const Object& a = *doc.GetGrid(0);
    const Object& b = *reader.GetGrid(0);
    EXPECT_EQ(b.kind, 2);
    ASSERT_EQ(b.width, a.width);
    ASSERT_EQ(b.height, a.height);
    int differing = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            differing += a.GetCell(x, y).flags != b.GetCell(x, y).flags ||
                         a.GetCell(x, y).passages != b.GetCell(x, y).passages;
    EXPECT_EQ(differing, 0);
}

// A hole so small that the rings would need more cells than a grid may have lays out nothing.
TEST(RingGeometry, TooManyRingsAreRefusedBeforeAllocating)
{
    CVantrelDoc doc;
    DetachedView view{&doc};
    MemoryPage page{721, 913};
    MakeRingGrid(doc, 15, 1e-7);
    view.RebuildBackBuffer(page.dc());
    view.ComputeCircularGeometry();
    EXPECT_EQ(doc.m_pRingCells, nullptr);
    EXPECT_GT(view.m_dRingWidth, 0.0);
    MakeRingGrid(doc, 1000000, 0.5);
    view.ComputeCircularGeometry();
    EXPECT_EQ(doc.m_pRingCells, nullptr);
}
