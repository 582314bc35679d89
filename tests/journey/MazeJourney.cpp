#include "tests/journey/MazeJourney.h"

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"

#include <deque>
#include <stdexcept>
#include <string>

namespace journey {

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

int OpenInteriorWalls(const QImage& screen, const GridOnScreen& grid, const std::set<Cell>& unknown)
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

std::set<Cell> Reach(const Object& g, Cell from, const std::set<Cell>& over)
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

int WallsDisagreeing(const QImage& screen, const GridOnScreen& grid, const Object& g, const std::set<Cell>& unknown,
                     const std::function<void(Cell, int)>& each)
{
    int wrong = 0;
    for (int r = 0; r < g.height; ++r)
        for (int c = 0; c < g.width; ++c) {
            if (unknown.count({c, r}))
                continue;
            for (int side = 1; side <= 4; ++side) {
                if (unknown.count({c + kDx[side], r + kDy[side]}))
                    continue;
                if (g.GetCell(c, r).HasPassage(side) == grid.Wall(screen, c, r, side)) {
                    ++wrong;
                    if (each)
                        each({c, r}, side);
                }
            }
        }
    return wrong;
}

void ExpectScreenShowsPassages(const QImage& screen, const GridOnScreen& grid, const Object& g,
                               const std::set<Cell>& unknown)
{
    WallsDisagreeing(screen, grid, g, unknown, [&](Cell at, int side) {
        ADD_FAILURE() << "cell " << at.first << "," << at.second << " side " << side << ": the screen shows "
                      << (g.GetCell(at.first, at.second).HasPassage(side) ? "a wall" : "no wall") << " where the grid has "
                      << (g.GetCell(at.first, at.second).HasPassage(side) ? "a passage" : "none");
    });
}

void ExpectTree(const Object& g, const std::set<Cell>& cells)
{
    int passages = 0;
    for (const Cell& at : cells) {
        const MazeCell& cell = g.GetCell(at.first, at.second);
        passages += cell.OpenSides();
        for (int side = 1; side <= 4; ++side)
            if (cell.HasPassage(side)) {
                const Cell next{at.first + kDx[side], at.second + kDy[side]};
                ASSERT_TRUE(cells.count(next)) << at.first << "," << at.second << " opens out of its part";
                EXPECT_TRUE(g.GetCell(next.first, next.second).HasPassage((side + 1) % 4 + 1));
            }
    }
    EXPECT_EQ(passages / 2, int(cells.size()) - 1);
    EXPECT_EQ(Reach(g, *cells.begin()), cells);
}

std::set<Cell> MarkedCells(const Object& g)
{
    std::set<Cell> marked;
    for (int r = 0; r < g.height; ++r)
        for (int c = 0; c < g.width; ++c)
            if (g.GetCell(c, r).flags & (CELL_START | CELL_STOP))
                marked.insert({c, r});
    return marked;
}

bool SameCells(const Object& a, const Object& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int r = 0; r < a.height; ++r)
        for (int c = 0; c < a.width; ++c)
            if (a.GetCell(c, r).flags != b.GetCell(c, r).flags || a.GetCell(c, r).passages != b.GetCell(c, r).passages)
                return false;
    return true;
}

int CarvedCells(const Object& g)
{
    int carved = 0;
    for (int r = 0; r < g.height; ++r)
        for (int c = 0; c < g.width; ++c)
            carved += g.GetCell(c, r).IsCarved();
    return carved;
}

void MazeJourney::SetUp()
{
    Journey::SetUp();
    // The grid of a new maze comes from the settings a fresh profile gives.
    CVantrelDoc defaults;
    m_cols = defaults.m_nCellsX;
    m_rows = defaults.m_nCellsY;
}

GridOnScreen MazeJourney::NewMaze()
{
    Start();
    return FileNew();
}

GridOnScreen MazeJourney::FileNew()
{
    Key("ctrl+n");
    GridOnScreen grid;
    WaitUntil("File New shows the template grid with every wall", [&] {
        const QImage screen = Shot();
        grid = FindGrid(screen, m_cols, m_rows);
        return !grid.Empty() && OpenInteriorWalls(screen, grid) == 0;
    });
    return grid;
}

void MazeJourney::SaveNew(const std::filesystem::path& file)
{
    Key("ctrl+s");
    WaitForActive("Save");
    EnterFileName(file);
}

void MazeJourney::SaveAs(const std::filesystem::path& file, int version)
{
    ChooseMenu("File", "Save As...");
    WaitForActive("Save As");
    // The dialog opens with its file name empty and focused, and the Save button off: Tab goes to the
    // file types, where Down chooses the second (version 1), and Shift+Tab comes back.
    if (version == 1)
        Key("Tab Down shift+Tab");
    EnterFileName(file);
}

void MazeJourney::OpenByDialog(const std::filesystem::path& file)
{
    Key("ctrl+o");
    WaitForActive("Open");
    EnterFileName(file);
}

std::unique_ptr<CVantrelDoc> MazeJourney::SaveNewAndRead(const std::string& name)
{
    const auto file = WorkDir() / name;
    SaveNew(file);
    auto doc = LoadMaze(file);
    const Object* g = doc->GetGrid(0);
    if (!g || g->width != m_cols || g->height != m_rows)
        throw std::runtime_error(name + " holds no grid of " + std::to_string(m_cols) + " x " + std::to_string(m_rows) +
                                 " cells");
    return doc;
}

std::set<Cell> MazeJourney::AllCells() const
{
    std::set<Cell> all;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c)
            all.insert({c, r});
    return all;
}

void MazeJourney::ChooseTemplate(int choice, std::string_view shotName, const std::function<void(unsigned long)>& confirm)
{
    ChooseMenu("Maze Options", "Maze Setup");
    const unsigned long sheet = WaitForActive("Quillmont Settings");
    std::vector<Point> radios;
    WaitUntil("the Style page shows its eight template choices", [&] {
        radios = FindRadioButtons(Shot(), ClientBox(sheet));
        return radios.size() == 8;
    });
    Click(radios[std::size_t(choice)]);
    WaitUntil("the template choice is checked", [&] { return RadioChecked(Shot(), radios[std::size_t(choice)]); });
    Shot(shotName);
    // Enter presses OK; a grid that is rebuilt asks first, and Enter answers OK.
    if (confirm)
        confirm(sheet);
    else
        Key("Return");
    WaitForActive("FREEQuillmont");
    Key("Return");
    WaitForActive("- FREE Quillmont");
}

} // namespace journey
