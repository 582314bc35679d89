#include "maze/IMazeCellDrawer.h"
#include "platform/core/CView.h"

#include "MazeTestSupport.h"

#include <gtest/gtest.h>

using namespace maze_test;

namespace {
class CountingView : public CView {
public:
    int updates = 0;
    void OnUpdate(CView*, LPARAM, CObject*) override { ++updates; }
};

// A view that records the cells the document animates.
class DrawingView : public CView, public IMazeCellDrawer {
public:
    std::vector<frontier_location> drawn;
    int ringDraws = 0;
    void DrawCell(CDC* pDC, int x, int y, int g, int pass) override
    {
        EXPECT_EQ(pDC, nullptr);
        EXPECT_EQ(pass, 1);
        drawn.push_back({x, y, g});
    }
    void DrawCircularCell(CDC*, int, int, int, int) override { ++ringDraws; }
};

int CountCarved(CVantrelDoc& doc)
{
    int n = 0;
    Object& g = Grid(doc);
    for (int i = 0; i < g.width * g.height; ++i)
        n += g.cells[std::size_t(i)].passages != 0;
    return n;
}
}

TEST(GrowthTest, TwoByOneWithSeedOne)
{
    auto doc = MakeDoc(2, 1, 1);
    CountingView view;
    doc->AddView(&view);
    doc->OnGenerateMaze();
    // Draws 41, 18467: start (41 mod 2, 18467 mod 1) = (1, 0); 6334 mod 1 takes its one free side, 4.
    EXPECT_EQ(Cell(*doc, 0, 0).passages, 0x2);
    EXPECT_EQ(Cell(*doc, 1, 0).passages, 0x8);
    EXPECT_EQ(Cell(*doc, 0, 0).flags, 0x50 | CELL_SOLUTION);
    EXPECT_EQ(Cell(*doc, 1, 0).flags, 0x60 | CELL_SOLUTION);
    ASSERT_EQ(doc->m_startPoints.GetSize(), 1);
    EXPECT_EQ(doc->m_startPoints[0], CPoint(1, 0));
    EXPECT_TRUE(doc->m_frontier.IsEmpty());
    EXPECT_EQ(doc->m_nStartX, 0);
    EXPECT_EQ(doc->m_nStartY, 0);
    EXPECT_EQ(doc->m_bGenerated, 1);
    EXPECT_EQ(doc->m_bTemplateOnly, 0);
    EXPECT_EQ(doc->m_bDirty, 1);
    EXPECT_GT(view.updates, 0);
    // Exactly three draws were taken: the next is the fourth of seed 1.
    EXPECT_EQ(VantrelRand(), 26500);
    doc->RemoveView(&view);
}

TEST(GrowthTest, OneByOneGrowsNothing)
{
    auto doc = MakeDoc(1, 1, 7);
    doc->OnGenerateMaze();
    EXPECT_EQ(Cell(*doc, 0, 0).passages, 0);
    EXPECT_EQ(Cell(*doc, 0, 0).flags, 0x70);
    EXPECT_EQ(doc->m_startPoints.GetSize(), 1);
}

TEST(GrowthTest, SameSeedTemplateAndStartGrowTheSameMaze)
{
    auto a = MakeDoc(23, 17, 4242);
    auto b = MakeDoc(23, 17, 4242);
    VantrelSrand(99);
    a->OnGenerateMaze();
    VantrelSrand(12345);
    b->OnGenerateMaze();
    ReferenceMaze ra = ReferenceOf(*a);
    EXPECT_TRUE(SameCells(*b, ra));
    EXPECT_EQ(CountCarved(*a), 23 * 17);
    EXPECT_EQ(a->m_startPoints[0], b->m_startPoints[0]);

    // A different seed grows another maze.
    auto c = MakeDoc(23, 17, 4243);
    c->OnGenerateMaze();
    EXPECT_FALSE(SameCells(*c, ra));
}

TEST(GrowthTest, SplitTemplateCarvesOnlyTheStartSide)
{
    auto doc = MakeDoc(9, 6, 3);
    for (int y = 0; y < 6; ++y)
        Cell(*doc, 4, y).flags = CELL_BLACKENED;
    doc->m_nStartX = 1;
    doc->m_nStartY = 2;
    doc->OnGenerateMaze();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            if (x < 4)
                EXPECT_NE(Cell(*doc, x, y).passages, 0) << x << "," << y;
            else
                EXPECT_EQ(Cell(*doc, x, y).passages, 0) << x << "," << y;
        }
    // The STOP corner lies on the far side: nothing is marked as a solution.
    for (int i = 0; i < 54; ++i)
        EXPECT_FALSE(Grid(*doc).cells[std::size_t(i)].flags & CELL_SOLUTION);
}

TEST(GrowthTest, StartCellsThatCannotGrow)
{
    // A stored start cell on a blackened cell: nothing grows, and the views are not updated.
    auto doc = MakeDoc(5, 5, 8);
    Cell(*doc, 2, 2).flags = CELL_BLACKENED;
    doc->m_nStartX = doc->m_nStartY = 2;
    CountingView view;
    doc->AddView(&view);
    doc->OnGenerateMaze();
    EXPECT_EQ(CountCarved(*doc), 0);
    EXPECT_EQ(view.updates, 0);
    EXPECT_EQ(doc->m_bGenerated, 1);
    EXPECT_EQ(doc->m_startPoints.GetSize(), 0);
    doc->RemoveView(&view);

    // No start cell and no free cell: the search ends at once and nothing grows.
    auto full = MakeDoc(30, 20, 8);
    for (int i = 0; i < 600; ++i)
        Grid(*full).cells[std::size_t(i)].flags = CELL_BLACKENED;
    full->OnGenerateMaze();
    EXPECT_EQ(CountCarved(*full), 0);
    EXPECT_EQ(full->m_nStartX, -1);
    EXPECT_EQ(VantrelRandState(), 8u);

    // A single free cell is found by the random search.
    auto one = MakeDoc(6, 4, 5);
    for (int i = 0; i < 24; ++i)
        Grid(*one).cells[std::size_t(i)].flags = CELL_ERASED;
    Cell(*one, 3, 2).flags = 0;
    one->OnGenerateMaze();
    EXPECT_EQ(one->m_nStartX, 3);
    EXPECT_EQ(one->m_nStartY, 2);
}

TEST(GrowthTest, AStartCellOutsideTheGridIsDroppedForARandomOne)
{
    // A start cell left from an earlier, larger grid: the maze grows as if none had been set.
    auto plain = MakeDoc(6, 5, 3);
    plain->OnGenerateMaze();
    ASSERT_EQ(CountCarved(*plain), 30);
    for (CPoint start : {CPoint(50, 12), CPoint(6, 0), CPoint(0, 5), CPoint(-1, 3), CPoint(-7, -7)}) {
        auto doc = MakeDoc(6, 5, 3);
        doc->m_nStartX = start.x;
        doc->m_nStartY = start.y;
        doc->OnGenerateMaze();
        EXPECT_TRUE(SameCells(*doc, ReferenceOf(*plain))) << start.x << "," << start.y;
        ASSERT_EQ(doc->m_startPoints.GetSize(), 1);
        EXPECT_EQ(doc->m_startPoints[0], plain->m_startPoints[0]);
    }
}

TEST(GrowthTest, PlacedMarkBitsWithoutTheirMarksPlaceTheDefaultCorners)
{
    // The bits of a START and STOP that no cell carries any more: the corners are marked as if the bits
    // were clear, so the maze is the same and has its solution; the bits stay as files hold them.
    auto plain = MakeDoc(7, 7, 9);
    plain->OnGenerateMaze();
    auto stale = MakeDoc(7, 7, 9);
    stale->m_nPlacedMarks = CELL_START | CELL_STOP;
    stale->OnGenerateMaze();
    EXPECT_TRUE(SameCells(*stale, ReferenceOf(*plain)));
    EXPECT_EQ(Cell(*stale, 0, 0).flags, 0x50 | CELL_SOLUTION);
    EXPECT_EQ(Cell(*stale, 6, 6).flags, 0x60 | CELL_SOLUTION);
    EXPECT_EQ(stale->m_nPlacedMarks, CELL_START | CELL_STOP);

    // A STOP the user placed is kept and no corner STOP is added; the missing START still is.
    auto placed = MakeDoc(7, 7, 9);
    placed->m_nPlacedMarks = CELL_START | CELL_STOP;
    Cell(*placed, 3, 4).flags = CELL_STOP;
    placed->OnGenerateMaze();
    EXPECT_EQ(Cell(*placed, 6, 6).flags & (CELL_STOP | CELL_HIDDEN), 0);
    EXPECT_EQ(Cell(*placed, 0, 0).flags, 0x50 | CELL_SOLUTION);
    EXPECT_EQ(Cell(*placed, 3, 4).flags, CELL_STOP | CELL_SOLUTION);

    // The STOP tool used on one grid, then the grid rebuilt: the next maze gets the corner STOP.
    placed->CreateGrid();
    placed->OnGenerateMaze();
    EXPECT_EQ(Cell(*placed, 6, 6).flags, 0x60 | CELL_SOLUTION);
    EXPECT_EQ(Cell(*placed, 0, 0).flags, 0x50 | CELL_SOLUTION);
}

TEST(GrowthTest, MakeMazeOnAFinishedMaze)
{
    auto doc = MakeDoc(12, 9, 77);
    doc->OnGenerateMaze();
    ReferenceMaze before = ReferenceOf(*doc);
    CountingView view;
    doc->AddView(&view);
    VantrelSrand(5);
    doc->OnGenerateMaze();
    EXPECT_EQ(view.updates, 0);
    EXPECT_EQ(VantrelRandState(), 77u);
    Object& g = Grid(*doc);
    for (int i = 0; i < 12 * 9; ++i) {
        EXPECT_EQ(g.cells[std::size_t(i)].passages, before.cells[std::size_t(i)].passages);
        EXPECT_EQ(g.cells[std::size_t(i)].flags, before.cells[std::size_t(i)].flags & 0x7FFE);
    }
    doc->RemoveView(&view);
}

TEST(GrowthTest, MakeMazeContinuesFromCarvedCells)
{
    // Draw Solution strokes before Make Maze: growth starts from their free neighbours without
    // reseeding, in the reference order.
    auto doc = MakeDoc(10, 8, 31);
    doc->CarveCell(4, 4, 0);
    doc->CarveCell(5, 4, 0);
    ASSERT_NE(Cell(*doc, 4, 4).passages, 0);
    ReferenceMaze ref = ReferenceOf(*doc);
    VantrelSrand(555);
    doc->OnGenerateMaze();
    VantrelSrand(555);
    ref.MakeMaze();
    EXPECT_TRUE(SameCells(*doc, ref));
    EXPECT_EQ(CountCarved(*doc), 80);
    EXPECT_EQ(doc->m_nStartX, ref.startX);
    EXPECT_EQ(doc->m_nStartY, ref.startY);
    EXPECT_EQ(doc->m_startPoints.GetSize(), 0);
}

TEST(GrowthTest, DrawSolutionTool)
{
    auto doc = MakeDoc(6, 6, 2);
    // A free cell with no carved or frontier neighbour only joins the frontier.
    VantrelSrand(10);
    EXPECT_TRUE(doc->CarveCell(2, 2, 0));
    EXPECT_EQ(Cell(*doc, 2, 2).flags, CELL_FRONTIER);
    EXPECT_EQ(Cell(*doc, 2, 2).passages, 0);
    EXPECT_EQ(VantrelRandState(), 10u);
    EXPECT_EQ(doc->m_frontier.GetSize(), 1);

    // The cell beside it is joined to it with one draw over the one frontier neighbour.
    EXPECT_TRUE(doc->CarveCell(3, 2, 0));
    EXPECT_EQ(Cell(*doc, 3, 2).passages, 0x8);
    EXPECT_EQ(Cell(*doc, 2, 2).passages, 0x2);
    EXPECT_EQ(VantrelRandState(), 10u * 214013u + 2531011u);
    // The joined neighbour's free neighbours (not the clicked cell's) joined the frontier.
    EXPECT_EQ(doc->m_frontier.GetSize(), 3);
    EXPECT_EQ(doc->m_frontier.Find({2, 1, 0}), 0);
    EXPECT_EQ(doc->m_frontier.Find({2, 3, 0}), 1);
    EXPECT_EQ(doc->m_frontier.Find({1, 2, 0}), 2);
    EXPECT_FALSE(Cell(*doc, 3, 2).flags & CELL_FRONTIER);

    // A cell beside two carved cells is joined to both; a carved cell is joined to every carved
    // neighbour, making a loop.
    EXPECT_TRUE(doc->CarveCell(2, 3, 0));
    EXPECT_EQ(Cell(*doc, 2, 3).passages, 0x1);
    EXPECT_TRUE(doc->CarveCell(3, 3, 0));
    EXPECT_EQ(Cell(*doc, 3, 3).passages, 0x1 | 0x8);
    Cell(*doc, 3, 3).passages = 0x8;
    Cell(*doc, 3, 2).passages &= WORD(~0x4);
    EXPECT_TRUE(doc->CarveCell(3, 3, 0));
    EXPECT_EQ(Cell(*doc, 3, 3).passages, 0x9);
    EXPECT_EQ(Cell(*doc, 3, 2).passages, 0x8 | 0x4);
    EXPECT_FALSE(doc->CarveCell(6, 0, 0));
    EXPECT_EQ(doc->m_bDirty, 1);
}

TEST(GrowthTest, AnimationDrawsEveryChangedCellThroughTheFirstView)
{
    auto doc = MakeDoc(8, 5, 6);
    DrawingView view;
    doc->AddView(&view);
    doc->OnGenerateMaze();
    EXPECT_TRUE(view.drawn.empty());
    doc->OnClearMaze();
    doc->m_bAnimate = 1;
    doc->OnGenerateMaze();
    // Every carved cell is drawn at least once during growth; solving draws every filled cell.
    std::vector<int> seen(40, 0);
    for (const frontier_location& c : view.drawn)
        seen[std::size_t(c.x + c.y * 8)]++;
    for (int i = 0; i < 40; ++i)
        EXPECT_GT(seen[std::size_t(i)], 0) << i;
    EXPECT_EQ(view.ringDraws, 0);
    doc->RemoveView(&view);
}

TEST(GrowthTest, PickDirectionIsUniformOverCandidatesInSideOrder)
{
    auto doc = MakeDoc(3, 3);
    int values[17] = {2, 0, 1, 0, 1};
    MoveRecord move = doc->LookupMove(1, 1, 0, 1);
    VantrelSrand(1);  // 41: 41 mod 2 = 1, the second candidate
    EXPECT_EQ(doc->PickDirection(values, move, nullptr), 4);
    VantrelSrand(1);
    VantrelRand();  // 18467 mod 2 = 1
    EXPECT_EQ(doc->PickDirection(values, move, nullptr), 4);
    VantrelRand();  // 6334 mod 2 = 0
    VantrelSrand(2);  // 45 mod 2 = 1
    EXPECT_EQ(doc->PickDirection(values, move, nullptr), 4);
    // Weights: sides 2 and 4 weighted 3 and 1; 41 mod 4 = 1 falls in side 2's share.
    const int weights[4] = {9, 3, 9, 1};
    VantrelSrand(1);
    EXPECT_EQ(doc->PickDirection(values, move, weights), 2);
    int none[17] = {};
    VantrelSrand(1);
    EXPECT_EQ(doc->PickDirection(none, move, nullptr), 0);
    EXPECT_EQ(VantrelRandState(), 1u);
}

TEST(GrowthTest, GrowthEndsWhenNoFrontierCellCanJoin)
{
    // Moves that are not mutual: both sides 2 and 4 lead right, so the cell the first step leaves
    // behind in the frontier never finds a carved neighbour. Growth gives up instead of spinning.
    static const MoveRecord oneWay[] = {{0, 1, 0, 0, 3, 0, -1}, {0, 2, 0, 0, 4, 1, 0}, {0, 3, 0, 0, 1, 0, 1},
                                        {0, 4, 0, 0, 2, 1, 0},  {-1, 0, 0, 0, 0, 0, 0}};
    for (int type : {0, 40}) {
        auto doc = MakeDoc(3, 1, 4);
        doc->m_nType = type;
        Grid(*doc).moves = oneWay;
        doc->m_nStartX = 0;
        doc->m_nStartY = 0;
        doc->OnGenerateMaze();
        EXPECT_EQ(Cell(*doc, 0, 0).passages, 0x2);
        EXPECT_EQ(Cell(*doc, 1, 0).passages, 0x8);
        EXPECT_EQ(Cell(*doc, 2, 0).passages, 0);
        EXPECT_EQ(doc->m_frontier.GetSize(), 1);
    }
}

TEST(GrowthTest, EntriesForCellsOutsideTheGridAreDropped)
{
    auto doc = MakeDoc(5, 5, 12);
    doc->OnGenerateMaze();
    ReferenceMaze made = ReferenceOf(*doc);
    doc->AddFrontier(50, 50, 0);
    doc->AddFrontier(-1, 2, 0);
    doc->AddFrontier(1, 1, 6);
    doc->GrowMaze();
    EXPECT_TRUE(doc->m_frontier.IsEmpty());
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(Grid(*doc).cells[std::size_t(i)].passages, made.cells[std::size_t(i)].passages);
}

namespace {
// Everything a Make Maze leaves behind that a later command or a file can see.
struct MakeMazeResult {
    std::vector<MazeCell> cells;
    std::uint32_t generator;
    int startX, startY, lastDir, frontier;
    std::vector<CPoint> startPoints;
};

enum class Path { Fast, Animated, General };

MakeMazeResult MakeMazeBy(Path path, int w, int h, unsigned seed, bool blacken, bool startGiven)
{
    auto doc = MakeDoc(w, h, int(seed));
    TestRng rng{seed};
    if (blacken) {
        BlackenRandomCells(*doc, rng, 15);
        // Marks the user placed, two of them on one cell and one on a blackened cell.
        doc->m_nPlacedMarks = CELL_START | CELL_STOP;
        for (int k = 0; k < 5; ++k)
            Cell(*doc, rng.Below(w), rng.Below(h)).flags |= WORD(k % 2 ? CELL_STOP : CELL_START);
        Cell(*doc, w / 2, h / 2).flags = CELL_BLACKENED | CELL_START;
    }
    if (startGiven) {
        doc->m_nStartX = rng.Below(w);
        doc->m_nStartY = rng.Below(h);
        Cell(*doc, doc->m_nStartX, doc->m_nStartY).flags &= WORD(~CELL_BLOCKING_MASK);
    }
    DrawingView view;
    if (path == Path::Animated) {
        doc->AddView(&view);
        doc->m_bAnimate = 1;
    }
    if (path == Path::General)
        doc->m_nType = 40;  // a ring template type without a ring table: the general steps
    VantrelSrand(seed * 3u);
    doc->OnGenerateMaze();
    if (path == Path::Animated)
        doc->RemoveView(&view);
    Object& g = Grid(*doc);
    MakeMazeResult result{std::vector<MazeCell>(g.cells.get(), g.cells.get() + w * h), VantrelRandState(),
                          doc->m_nStartX, doc->m_nStartY, doc->m_nLastDir, doc->m_frontier.GetSize(), {}};
    for (int i = 0; i < doc->m_startPoints.GetSize(); ++i)
        result.startPoints.push_back(doc->m_startPoints[i]);
    return result;
}

void ExpectSameResult(const MakeMazeResult& a, const MakeMazeResult& b, const char* what)
{
    ASSERT_EQ(a.cells.size(), b.cells.size());
    for (std::size_t i = 0; i < a.cells.size(); ++i) {
        ASSERT_EQ(a.cells[i].flags, b.cells[i].flags) << what << " cell " << i;
        ASSERT_EQ(a.cells[i].passages, b.cells[i].passages) << what << " cell " << i;
    }
    EXPECT_EQ(a.generator, b.generator) << what;
    EXPECT_EQ(a.startX, b.startX) << what;
    EXPECT_EQ(a.startY, b.startY) << what;
    EXPECT_EQ(a.lastDir, b.lastDir) << what;
    EXPECT_EQ(a.frontier, b.frontier) << what;
    EXPECT_EQ(a.startPoints, b.startPoints) << what;
}
}

TEST(GrowthTest, WithoutAnimationTheSameMazeGrowsAsWithIt)
{
    // Without animation Make Maze grows on a working copy of the square grid and solves from the
    // tree growth recorded; with it, or by the general steps, on the grid itself with dead-end
    // filling. Every result must be the same. 420 x 420 cells: the frontier outgrows the draws'
    // range (32768) and the copy's storage blocks; thin grids have cells with one or two neighbours.
    const int shapes[][2] = {{420, 420}, {1, 2000}, {2000, 1}, {2, 900}, {900, 2}, {37, 23}};
    unsigned seed = 11;
    for (const auto& shape : shapes)
        for (int variant = 0; variant < 3; ++variant) {
            const int w = shape[0], h = shape[1];
            const bool blacken = variant == 1, startGiven = variant == 2;
            const MakeMazeResult fast = MakeMazeBy(Path::Fast, w, h, seed, blacken, startGiven);
            ExpectSameResult(fast, MakeMazeBy(Path::Animated, w, h, seed, blacken, startGiven), "animated");
            if (w * h < 100000 || variant == 0)
                ExpectSameResult(fast, MakeMazeBy(Path::General, w, h, seed, blacken, startGiven), "general");
            if (HasFatalFailure())
                return;
            ++seed;
        }
}
