// Making a maze: File New shows the template, Make Maze grows a maze over it, View Solution shows the
// way from START to STOP; a column blackened by a drag splits the grid, and Grow From Selector grows
// the chosen part. The saved file holds what the screen showed.
#include "tests/journey/MazeJourney.h"

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"

namespace {

using namespace journey;

TEST_F(MazeJourney, NewMazeGrowsAndShowsItsSolution)
{
    const GridOnScreen grid = NewMaze();
    Shot("template");
    EXPECT_NE(ActiveTitle().find("Untitled"), std::string::npos) << ActiveTitle();

    ChooseMenu("Maze Options", "Make Maze");
    QImage maze;
    WaitUntil("Make Maze grows a maze with a START and a STOP", [&] {
        maze = Shot();
        return CellsOf(maze, grid, {kStart, kHiddenStart}).size() == 1 &&
               CellsOf(maze, grid, {kStop, kHiddenStop}).size() == 1 &&
               OpenInteriorWalls(maze, grid) * 2 > m_cols * m_rows;
    });
    Shot("maze");
    EXPECT_TRUE(CellsOf(maze, grid, {kSolution}).empty()) << "the solution shows before View Solution";

    Key("ctrl+shift+5");
    QImage solved;
    WaitUntil("View Solution shows the solution", [&] {
        solved = Shot();
        return !CellsOf(solved, grid, {kSolution}).empty();
    });
    Shot("solution");
    const Cell start = *CellsOf(solved, grid, {kStart, kHiddenStart}).begin();
    const Cell stop = *CellsOf(solved, grid, {kStop, kHiddenStop}).begin();
    const std::set<Cell> path = CellsOf(solved, grid, {kSolution});

    // The document holds a maze, and the screen shows it: save it and read it back.
    const auto doc = SaveNewAndRead("grown.mze");
    const Object& g = *doc->GetGrid(0);

    // A maze over every cell of the grid, as the screen shows it (hidden START and STOP cells draw their
    // walls pale).
    const std::set<Cell> all = AllCells();
    ExpectTree(g, all);
    ExpectScreenShowsPassages(solved, grid, g, {start, stop});

    std::set<Cell> solution;
    for (const Cell& at : all) {
        const MazeCell& cell = g.GetCell(at.first, at.second);
        EXPECT_EQ((cell.flags & CELL_START) != 0, at == start) << at.first << "," << at.second;
        EXPECT_EQ((cell.flags & CELL_STOP) != 0, at == stop) << at.first << "," << at.second;
        if (cell.flags & CELL_SOLUTION)
            solution.insert(at);
    }
    // The screen's solution cells are the document's, and they lead from START to STOP.
    std::set<Cell> shown = solution;
    shown.erase(start);
    shown.erase(stop);
    EXPECT_EQ(shown, path);
    std::set<Cell> way = path;
    way.insert(start);
    way.insert(stop);
    EXPECT_TRUE(Reach(g, start, way).count(stop)) << "the solution does not lead from START to STOP";
    // Each of its cells is needed: the way is the maze's one path.
    for (const Cell& c : path) {
        std::set<Cell> without = way;
        without.erase(c);
        EXPECT_FALSE(Reach(g, start, without).count(stop)) << "solution cell " << c.first << "," << c.second;
    }
}

// Blackened by a drag down one column, the grid falls into two parts; growing from a cell of the right
// part carves that part only.
TEST_F(MazeJourney, BlackenedColumnSplitsTheGridAndGrowthStaysInTheChosenPart)
{
    const GridOnScreen grid = NewMaze();
    constexpr int kWallColumn = 3;
    const Cell chosen{m_cols - 3, m_rows / 2};

    // Dragged down the column a cell at a time, each cell turning black before the pointer moves on.
    Key("alt+b");
    Drag(grid.Cell(kWallColumn, 0), grid.Cell(kWallColumn, m_rows - 1), 1, m_rows - 1, [&](journey::Point p) {
        const int row = (p.y - grid.box.y) * m_rows / grid.box.h;
        WaitUntil("the cell under the pointer turns black",
                  [&] { return grid.Share(Shot(), kWallColumn, row, kBlack) >= 90; });
    });
    WaitUntil("the drag blackens the column", [&] {
        const QImage screen = Shot();
        for (int r = 0; r < m_rows; ++r)
            if (grid.Share(screen, kWallColumn, r, kBlack) < 90)
                return false;
        return true;
    });
    Shot("blackened");

    Key("alt+s");
    Click(grid.Cell(chosen.first, chosen.second));
    QImage grown;
    WaitUntil("Grow From Selector grows the right part", [&] {
        grown = Shot();
        return OpenInteriorWalls(grown, grid) > 0;
    });
    Shot("grown");

    const auto doc = SaveNewAndRead("split.mze");
    const Object& g = *doc->GetGrid(0);
    std::set<Cell> left, right, marks;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c) {
            const MazeCell& cell = g.GetCell(c, r);
            if (cell.flags & (CELL_START | CELL_STOP))
                marks.insert({c, r});
            if (c == kWallColumn) {
                EXPECT_EQ(cell.flags, CELL_BLACKENED) << "row " << r;
                EXPECT_FALSE(cell.IsCarved()) << "row " << r;
            } else {
                (c < kWallColumn ? left : right).insert({c, r});
            }
        }
    for (const Cell& at : left)
        EXPECT_FALSE(g.GetCell(at.first, at.second).IsCarved()) << at.first << "," << at.second;
    ExpectTree(g, right);
    // The screen shows the blackened column, the closed left part and the right part's maze.
    for (int r = 0; r < m_rows; ++r)
        EXPECT_GE(grid.Share(grown, kWallColumn, r, kBlack), 90) << "row " << r;
    std::set<Cell> unknown = marks;
    for (int r = 0; r < m_rows; ++r)
        unknown.insert({kWallColumn, r});
    ExpectScreenShowsPassages(grown, grid, g, unknown);
}

} // namespace
