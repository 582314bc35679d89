#include "maze/IMazeCellDrawer.h"
#include "platform/core/CView.h"

#include "MazeTestSupport.h"

#include <gtest/gtest.h>

using namespace maze_test;

namespace {
class SilentDrawer : public CView, public IMazeCellDrawer {
public:
    int draws = 0;
    void DrawCell(CDC*, int, int, int, int) override { ++draws; }
    void DrawCircularCell(CDC*, int, int, int, int) override { ++draws; }
};

std::vector<int> SolutionCells(CVantrelDoc& doc)
{
    std::vector<int> out;
    Object& g = Grid(doc);
    for (int i = 0; i < g.width * g.height; ++i)
        if (g.cells[std::size_t(i)].flags & CELL_SOLUTION)
            out.push_back(i);
    return out;
}

// A 4 x 3 maze by hand: a corridor along row 0 and down column 3, with side branches.
void CarveByHand(CVantrelDoc& doc)
{
    auto join = [&](int x, int y, int d) {
        Grid(doc).GetCell(x, y).passages |= WORD(1 << (d - 1));
        Grid(doc).GetCell(x + kDx[d], y + kDy[d]).passages |= WORD(1 << (kRev[d] - 1));
    };
    for (int x = 0; x < 3; ++x)
        join(x, 0, 2);
    join(3, 0, 3);
    join(3, 1, 3);
    for (int x = 0; x < 3; ++x) {
        join(x, 0, 3);
        join(x, 1, 3);
    }
}
}

TEST(SolveTest, CornerToCornerPath)
{
    auto doc = MakeDoc(4, 3);
    CarveByHand(*doc);
    Cell(*doc, 0, 0).flags = CELL_START;
    Cell(*doc, 3, 2).flags = CELL_STOP;
    ReferenceMaze before = ReferenceOf(*doc);
    doc->OnSolve();
    EXPECT_EQ(SolutionCells(*doc), (std::vector<int>{0, 1, 2, 3, 7, 11}));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Grid(*doc).cells[std::size_t(i)].passages, before.cells[std::size_t(i)].passages);
    // Solving again marks the same cells.
    doc->OnSolve();
    EXPECT_EQ(SolutionCells(*doc), (std::vector<int>{0, 1, 2, 3, 7, 11}));
    EXPECT_EQ(doc->m_bDirty, 1);
}

TEST(SolveTest, MissingOrSharedMarksLeaveNoSolution)
{
    auto doc = MakeDoc(4, 3);
    CarveByHand(*doc);
    Cell(*doc, 0, 0).flags = CELL_START;
    doc->OnSolve();
    EXPECT_TRUE(SolutionCells(*doc).empty());
    Cell(*doc, 0, 0).flags = CELL_START | CELL_STOP;
    doc->OnSolve();
    EXPECT_TRUE(SolutionCells(*doc).empty());
}

TEST(SolveTest, ClearKeepsTheTemplate)
{
    auto doc = MakeDoc(6, 5, 21);
    Cell(*doc, 2, 2).flags = CELL_BLACKENED;
    Cell(*doc, 3, 3).flags = CELL_ERASED;
    Cell(*doc, 4, 1).flags = CELL_START;
    doc->OnGenerateMaze();
    doc->OnClearMaze();
    // Clear leaves frontier entries behind; only their marks go.
    doc->CarveCell(0, 3, 0);
    ASSERT_EQ(doc->m_frontier.GetSize(), 1);
    doc->OnClearMaze();
    EXPECT_EQ(doc->m_bGenerated, 0);
    EXPECT_EQ(doc->m_bTemplateOnly, 1);
    EXPECT_EQ(doc->m_frontier.GetSize(), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(Cell(*doc, x, y).passages, 0);
            EXPECT_FALSE(Cell(*doc, x, y).flags & (CELL_SOLUTION | CELL_FRONTIER));
        }
    EXPECT_EQ(Cell(*doc, 2, 2).flags, CELL_BLACKENED);
    EXPECT_EQ(Cell(*doc, 3, 3).flags, CELL_ERASED);
    EXPECT_EQ(Cell(*doc, 4, 1).flags, CELL_START);
    EXPECT_EQ(Cell(*doc, 0, 0).flags, CELL_START | CELL_HIDDEN);
    EXPECT_EQ(Cell(*doc, 5, 4).flags, CELL_STOP | CELL_HIDDEN);
}

TEST(SolveTest, ReRenderGrowsFromTheStartPointsWithoutReseeding)
{
    auto doc = MakeDoc(0, 0);
    EXPECT_EQ(doc->ReRender(), 0);

    doc = MakeDoc(15, 11, 5150);
    EXPECT_EQ(doc->ReRender(), 0);
    EXPECT_EQ(doc->m_bTemplateOnly, 1);
    doc->OnGenerateMaze();
    ASSERT_EQ(doc->m_startPoints.GetSize(), 1);
    const CPoint start = doc->m_startPoints[0];
    ReferenceMaze first = ReferenceOf(*doc);

    // The same growth, done by hand from the generator's state and the stored start point.
    auto copy = MakeDoc(15, 11, -1);
    copy->m_nStartX = start.x;
    copy->m_nStartY = start.y;
    const std::uint32_t state = VantrelRandState();
    VantrelSrand(state);
    copy->OnGenerateMaze();
    VantrelSrand(state);
    EXPECT_EQ(doc->ReRender(), 1);
    EXPECT_EQ(doc->m_nSeed, 5150);
    EXPECT_TRUE(SameCells(*doc, ReferenceOf(*copy)));
    EXPECT_FALSE(SameCells(*doc, first));
    EXPECT_EQ(doc->m_startPoints.GetSize(), 1);
}

TEST(SolveTest, AnyOrderOfFillingGivesTheSameCells)
{
    // Arbitrary cell states, passages one-sided and through the border included: the document's
    // filling, animated (column passes) and not, matches the reference passes.
    for (unsigned seed = 1; seed <= 80; ++seed) {
        TestRng rng{seed};
        int w = 1 + rng.Below(12), h = 1 + rng.Below(12);
        auto doc = MakeDoc(w, h);
        for (int i = 0; i < w * h; ++i) {
            MazeCell& c = Grid(*doc).cells[std::size_t(i)];
            c.passages = WORD(rng.Below(16));
            // Now and then a side the square cell does not have, as a damaged file could hold.
            if (seed % 4 == 0 && rng.Below(30) == 0)
                c.passages = WORD(1u << (4 + rng.Below(12)));
            int r = rng.Below(20);
            c.flags = r == 0 ? CELL_START : r == 1 ? CELL_STOP : r == 2 ? CELL_BLACKENED : 0;
        }
        ReferenceMaze ref = ReferenceOf(*doc);
        ref.Solve();
        auto animated = MakeDoc(w, h);
        for (int i = 0; i < w * h; ++i)
            Grid(*animated).cells[std::size_t(i)] = Grid(*doc).cells[std::size_t(i)];
        SilentDrawer drawer;
        animated->AddView(&drawer);
        animated->m_bAnimate = 1;
        doc->OnSolve();
        animated->OnSolve();
        EXPECT_TRUE(SameCells(*doc, ref)) << "seed " << seed;
        EXPECT_TRUE(SameCells(*animated, ref)) << "seed " << seed;
        animated->RemoveView(&drawer);
    }
}
