// A new maze: File New shows the template, Make Maze grows a maze over it, View Solution shows the way
// from START to STOP, and the saved file holds what the screen showed.
#include "tests/journey/JourneySupport.h"

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"

#include <deque>
#include <set>
#include <utility>

namespace {

using journey::GridOnScreen;
using journey::Rgb;

// Cell fills: START and STOP as placed by Make Maze (hidden, the default) and as set visible, and the
// solution.
constexpr Rgb kHiddenStart{192, 255, 192};
constexpr Rgb kStart{0, 255, 0};
constexpr Rgb kHiddenStop{255, 192, 192};
constexpr Rgb kStop{255, 0, 0};
constexpr Rgb kSolution{128, 128, 240};

using Cell = std::pair<int, int>;  // (col, row)

constexpr int kDx[] = {0, 0, 1, 0, -1};  // by side: 1 top, 2 right, 3 bottom, 4 left
constexpr int kDy[] = {0, -1, 0, 1, 0};

// The cells mostly filled with one of the colours.
std::set<Cell> CellsOf(const QImage& screen, const GridOnScreen& grid, std::initializer_list<Rgb> colours)
{
    std::set<Cell> cells;
    for (int r = 0; r < grid.rows; ++r)
        for (int c = 0; c < grid.cols; ++c)
            for (const Rgb& colour : colours)
                if (grid.Share(screen, c, r, colour) > 50)
                    cells.insert({c, r});
    return cells;
}

// Interior walls that are open (right and lower neighbours of every cell), leaving out the walls of
// the cells `unknown` (hidden cells draw their walls dotted and pale).
int OpenInteriorWalls(const QImage& screen, const GridOnScreen& grid, const std::set<Cell>& unknown = {})
{
    int open = 0;
    for (int r = 0; r < grid.rows; ++r)
        for (int c = 0; c < grid.cols; ++c) {
            if (unknown.count({c, r}))
                continue;
            open += c + 1 < grid.cols && !unknown.count({c + 1, r}) && !grid.Wall(screen, c, r, 2);
            open += r + 1 < grid.rows && !unknown.count({c, r + 1}) && !grid.Wall(screen, c, r, 3);
        }
    return open;
}

// The cells a walk through the grid's passages reaches from `from`, over `over` cells only (all
// when empty).
std::set<Cell> Reach(const Object& g, Cell from, const std::set<Cell>& over = {})
{
    std::set<Cell> seen = {from};
    std::deque<Cell> todo = {from};
    while (!todo.empty()) {
        const Cell at = todo.front();
        todo.pop_front();
        for (int side = 1; side <= 4; ++side) {
            const Cell next{at.first + kDx[side], at.second + kDy[side]};
            if (!g.InBounds(next.first, next.second) || !g.GetCell(at.first, at.second).HasPassage(side) ||
                seen.count(next) || (!over.empty() && !over.count(next)))
                continue;
            seen.insert(next);
            todo.push_back(next);
        }
    }
    return seen;
}

class MazeJourney : public Journey {
protected:
    void SetUp() override
    {
        Journey::SetUp();
        // The grid of a new maze comes from the settings a fresh profile gives.
        CVantrelDoc defaults;
        m_cols = defaults.m_nCellsX;
        m_rows = defaults.m_nCellsY;
    }

    // Starts the program and makes a new maze; returns its grid on the screen.
    GridOnScreen NewMaze()
    {
        Start();
        Key("ctrl+n");
        GridOnScreen grid;
        WaitUntil("File New shows the template grid with every wall", [&] {
            const QImage screen = Shot();
            grid = FindGrid(screen, m_cols, m_rows);
            return !grid.Empty() && OpenInteriorWalls(screen, grid) == 0;
        });
        return grid;
    }

    // Saves the maze by File Save into a new file, typed into the file dialog.
    void SaveNew(const std::filesystem::path& file)
    {
        Key("ctrl+s");
        WaitForActive("Save");
        Key("End shift+Home");
        Type(file.string() + "\n");
    }

    int m_cols = 0;
    int m_rows = 0;
};

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
    const auto file = WorkDir() / "grown.mze";
    SaveNew(file);
    const auto doc = LoadMaze(file);
    ASSERT_GE(doc->m_nGrids, 1);
    const Object& g = *doc->GetGrid(0);
    ASSERT_EQ(g.width, m_cols);
    ASSERT_EQ(g.height, m_rows);

    // A maze over every cell of the grid: a tree, with passages that agree from both sides.
    int passages = 0;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c) {
            const MazeCell& cell = g.GetCell(c, r);
            passages += cell.OpenSides();
            for (int side = 1; side <= 4; ++side)
                if (cell.HasPassage(side)) {
                    ASSERT_TRUE(g.InBounds(c + kDx[side], r + kDy[side])) << c << "," << r << " opens outwards";
                    EXPECT_TRUE(g.GetCell(c + kDx[side], r + kDy[side]).HasPassage((side + 1) % 4 + 1));
                }
        }
    EXPECT_EQ(passages / 2, m_cols * m_rows - 1);
    EXPECT_EQ(int(Reach(g, {0, 0}).size()), m_cols * m_rows);

    std::set<Cell> solution;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c) {
            const MazeCell& cell = g.GetCell(c, r);
            SCOPED_TRACE(testing::Message() << "cell " << c << "," << r);
            EXPECT_EQ((cell.flags & CELL_START) != 0, Cell(c, r) == start);
            EXPECT_EQ((cell.flags & CELL_STOP) != 0, Cell(c, r) == stop);
            if (cell.flags & CELL_SOLUTION)
                solution.insert({c, r});
            // Walls as drawn; hidden START and STOP cells draw theirs pale.
            const bool known = Cell(c, r) != start && Cell(c, r) != stop;
            for (int side = 1; side <= 4 && known; ++side) {
                const Cell next{c + kDx[side], r + kDy[side]};
                if (next != start && next != stop) {
                    EXPECT_EQ(cell.HasPassage(side), !grid.Wall(solved, c, r, side)) << "side " << side;
                }
            }
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

} // namespace
