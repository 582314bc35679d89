#include "maze/CompactGrid.h"

#include "MazeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace maze_test;

TEST(CompactGridTest, CopiesCellsWithABlockedBorderAndWritesGrowthBack)
{
    // Rows wider than the copies' widest vector steps too, with a tail after them.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}, std::pair{7, 5}, std::pair{71, 3},
                        std::pair{129, 2}}) {
        TestRng rng{unsigned(w * 31 + h)};
        Object grid;
        ASSERT_TRUE(grid.AllocCells(w, h));
        for (int i = 0; i < w * h; ++i) {
            MazeCell& c = grid.cells[std::size_t(i)];
            c.flags = WORD(rng.Next() & 0x807F);
            c.passages = WORD(rng.Below(3) ? rng.Below(16) : rng.Next() & 0xFFFF);
        }
        const std::vector<MazeCell> before(grid.cells.get(), grid.cells.get() + w * h);

        CompactGrid copy;
        ASSERT_TRUE(copy.Load(grid));
        ASSERT_EQ(copy.Width(), w);
        ASSERT_EQ(copy.Height(), h);
        std::vector<std::uint32_t> marked;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t i = copy.IndexOf(x, y);
                EXPECT_EQ(copy.XOf(i), x);
                EXPECT_EQ(copy.YOf(i), y);
                const MazeCell& c = grid.GetCell(x, y);
                const std::uint8_t b = copy.Cells()[i];
                EXPECT_EQ(b & CompactGrid::kOpenSides, c.passages & 0xF);
                EXPECT_EQ((b & CompactGrid::kOpenBeyond) != 0, (c.passages & 0xFFF0) != 0);
                EXPECT_EQ((b & CompactGrid::kFrontier) != 0, (c.flags & CELL_FRONTIER) != 0);
                EXPECT_EQ((b & CompactGrid::kBlocked) != 0, (c.flags & (CELL_BLACKENED | CELL_ERASED | 0x8)) != 0);
                EXPECT_EQ((b & CompactGrid::kMarked) != 0, (c.flags & (CELL_START | CELL_STOP)) != 0);
                if (c.flags & (CELL_START | CELL_STOP))
                    marked.push_back(i);
                // Every side leads to a cell of the grid or to the blocked border around it.
                for (int d = 1; d <= 4; ++d) {
                    const int nx = x + kDx[d], ny = y + kDy[d];
                    const std::uint32_t beyond = std::uint32_t(i + copy.Step(d));
                    if (grid.InBounds(nx, ny))
                        EXPECT_EQ(beyond, copy.IndexOf(nx, ny));
                    else
                        EXPECT_EQ(copy.Cells()[beyond], CompactGrid::kBlocked);
                    EXPECT_EQ(std::uint32_t(beyond + copy.Step(kRev[d])), i);
                }
            }
        EXPECT_EQ(copy.Marked(), marked);

        // Growth opens sides and moves frontier marks; the rest of each cell stays as it was.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t& b = copy.Cells()[copy.IndexOf(x, y)];
                b = std::uint8_t((b & ~CompactGrid::kFrontier) | rng.Below(16) | (rng.Below(2) ? CompactGrid::kFrontier : 0));
            }
        copy.StoreGrowth(grid);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t b = copy.Cells()[copy.IndexOf(x, y)];
                const MazeCell& was = before[std::size_t(x + y * w)];
                const MazeCell& c = grid.GetCell(x, y);
                EXPECT_EQ(c.passages, was.passages | (b & 0xF));
                EXPECT_EQ(c.flags, (was.flags & ~CELL_FRONTIER) | ((b & CompactGrid::kFrontier) ? CELL_FRONTIER : 0));
            }
    }
}
