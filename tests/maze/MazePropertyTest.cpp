#include "MazeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <queue>

using namespace maze_test;

namespace {
// Free cells of the template reachable from (sx, sy) through free cells.
std::vector<char> Reachable(const std::vector<MazeCell>& cells, int w, int h, int sx, int sy)
{
    std::vector<char> seen(cells.size(), 0);
    std::queue<int> todo;
    seen[std::size_t(sx + sy * w)] = 1;
    todo.push(sx + sy * w);
    while (!todo.empty()) {
        int i = todo.front();
        todo.pop();
        for (int d = 1; d <= 4; ++d) {
            int nx = i % w + kDx[d], ny = i / w + kDy[d];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                continue;
            int j = nx + ny * w;
            if (!seen[std::size_t(j)] && !(cells[std::size_t(j)].flags & CELL_BLOCKING_MASK)) {
                seen[std::size_t(j)] = 1;
                todo.push(j);
            }
        }
    }
    return seen;
}

// Cells on the tree path from a to b through open passages, or none when b is not reached.
std::vector<char> TreePath(const Object& g, int a, int b)
{
    std::vector<int> parent(std::size_t(g.width * g.height), -2);
    std::queue<int> todo;
    parent[std::size_t(a)] = -1;
    todo.push(a);
    while (!todo.empty()) {
        int i = todo.front();
        todo.pop();
        for (int d = 1; d <= 4; ++d) {
            if (!g.cells[std::size_t(i)].HasPassage(d))
                continue;
            int j = i % g.width + kDx[d] + (i / g.width + kDy[d]) * g.width;
            if (parent[std::size_t(j)] == -2) {
                parent[std::size_t(j)] = i;
                todo.push(j);
            }
        }
    }
    std::vector<char> path(parent.size(), 0);
    if (a == b || parent[std::size_t(b)] == -2)
        return path;
    for (int i = b; i != -1; i = parent[std::size_t(i)])
        path[std::size_t(i)] = 1;
    return path;
}
}

TEST(MazePropertyTest, GrownMazesAreSpanningTreesWithTheirSolutionPath)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        TestRng rng{seed * 7919u};
        const int w = 1 + rng.Below(60), h = 1 + rng.Below(40);
        auto doc = MakeDoc(w, h, int(seed));
        BlackenRandomCells(*doc, rng, rng.Below(35));
        if (rng.Below(2)) {
            doc->m_nStartX = rng.Below(w);
            doc->m_nStartY = rng.Below(h);
        }
        const bool startGiven = doc->m_nStartX != -1;
        // Placed-mark bits whose marks no cell carries, and start cells left from a larger grid.
        doc->m_nPlacedMarks = rng.Below(4) * CELL_START;
        if (!startGiven && rng.Below(3) == 0) {
            doc->m_nStartX = w + rng.Below(9);
            doc->m_nStartY = rng.Below(h + 9);
        }
        Object& g = Grid(*doc);
        std::vector<MazeCell> templ(g.cells.get(), g.cells.get() + w * h);
        // The reference needs a free cell to search for; the document must stop on its own.
        bool anyFree = false;
        for (const MazeCell& c : templ)
            anyFree |= !(c.flags & CELL_BLOCKING_MASK);
        ReferenceMaze ref = ReferenceOf(*doc);

        doc->OnGenerateMaze();
        if (anyFree || startGiven) {
            ref.MakeMaze();
            ASSERT_TRUE(SameCells(*doc, ref)) << "seed " << seed << " " << w << "x" << h;
        }
        const CPoint start = doc->m_startPoints.IsEmpty() ? CPoint(-1, -1) : doc->m_startPoints[0];
        std::vector<char> reach;
        if (start.x >= 0)
            reach = Reachable(templ, w, h, start.x, start.y);

        int carved = 0, openSides = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const MazeCell& c = g.GetCell(x, y);
                carved += c.passages != 0;
                for (int d = 1; d <= 4; ++d) {
                    if (!c.HasPassage(d))
                        continue;
                    ++openSides;
                    int nx = x + kDx[d], ny = y + kDy[d];
                    ASSERT_TRUE(g.InBounds(nx, ny));
                    ASSERT_TRUE(g.GetCell(nx, ny).HasPassage(kRev[d])) << "seed " << seed;
                }
                // A start cell with no free neighbour stays uncarved.
                const bool expectCarved = !reach.empty() && reach[std::size_t(x + y * w)] &&
                                          std::count(reach.begin(), reach.end(), 1) > 1;
                ASSERT_EQ(c.passages != 0, expectCarved) << "seed " << seed << " cell " << x << "," << y;
            }
        if (carved > 0) {
            ASSERT_EQ(openSides / 2, carved - 1) << "seed " << seed;
        }

        // The solution marks are the tree path from START to STOP.
        const int a = 0, b = w * h - 1;
        std::vector<char> path = TreePath(g, a, b);
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ((g.cells[std::size_t(i)].flags & CELL_SOLUTION) != 0, path[std::size_t(i)] != 0)
                << "seed " << seed << " cell " << i;
    }
}

TEST(MazePropertyTest, GeneralStepsGrowTheSameMazes)
{
    // A ring template type without a ring table takes the general neighbour path; on a square grid it
    // must give the same maze as the flat path.
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TestRng rng{seed};
        const int w = 2 + rng.Below(30), h = 2 + rng.Below(20);
        auto flat = MakeDoc(w, h, int(seed));
        auto general = MakeDoc(w, h, int(seed));
        general->m_nType = 40;
        TestRng r1{seed}, r2{seed};
        BlackenRandomCells(*flat, r1, 20);
        BlackenRandomCells(*general, r2, 20);
        flat->m_nStartX = general->m_nStartX = 0;
        flat->m_nStartY = general->m_nStartY = 0;
        Cell(*flat, 0, 0).flags = Cell(*general, 0, 0).flags = 0;
        flat->OnGenerateMaze();
        general->OnGenerateMaze();
        ASSERT_TRUE(SameCells(*general, ReferenceOf(*flat))) << "seed " << seed;
        EXPECT_EQ(flat->m_nStartX, general->m_nStartX);
        EXPECT_EQ(flat->m_nStartY, general->m_nStartY);
    }
}

namespace {
// A template of up to 40 x 30 cells, some blackened, with a given start cell and up to six marks
// placed at random: none, one, several STARTs and STOPs, both on one cell, on blackened cells too.
std::unique_ptr<CVantrelDoc> TemplateWithMarks(unsigned seed)
{
    TestRng rng{seed * 104729u};
    const int w = 1 + rng.Below(40), h = 1 + rng.Below(30);
    auto doc = MakeDoc(w, h, int(seed));
    BlackenRandomCells(*doc, rng, rng.Below(40));
    doc->m_nPlacedMarks = rng.Below(4) * CELL_START;
    for (int k = rng.Below(7); k > 0; --k) {
        const int r = rng.Below(6);
        Cell(*doc, rng.Below(w), rng.Below(h)).flags |= WORD(r < 2 ? CELL_START | CELL_STOP : r < 4 ? CELL_START : CELL_STOP);
    }
    doc->m_nStartX = rng.Below(w);
    doc->m_nStartY = rng.Below(h);
    return doc;
}
}

TEST(MazePropertyTest, PlacedMarksGetTheCellsDeadEndFillingKeeps)
{
    // Make Maze on a template without passages takes its solution from the tree it grew; it must be
    // what dead-end filling gives, whatever the marks, including those growth does not reach.
    for (unsigned seed = 1; seed <= 250; ++seed) {
        auto doc = TemplateWithMarks(seed);
        ReferenceMaze ref = ReferenceOf(*doc);
        const std::uint32_t state = VantrelRandState();
        doc->OnGenerateMaze();
        VantrelSrand(state);
        ref.MakeMaze();
        ASSERT_TRUE(SameCells(*doc, ref)) << "seed " << seed;

        // Filling the grown maze anew marks the same cells.
        Object& g = Grid(*doc);
        for (std::int64_t i = 0; i < g.GetCellCount(); ++i)
            g.cells[std::size_t(i)].flags &= WORD(~CELL_SOLUTION);
        doc->OnSolve();
        ASSERT_TRUE(SameCells(*doc, ref)) << "seed " << seed << " solved again";
    }
}
