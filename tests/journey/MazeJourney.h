#pragma once
// Journeys over the maze grid: the cell colours and walls the screen shows, and checks of the grid a
// saved file holds. MazeJourney starts the program on a new maze of the grid a fresh profile gives.
#include "tests/journey/JourneySupport.h"

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <utility>

class CVantrelDoc;
class Object;

namespace journey {

// Cell fills: START and STOP as placed by Make Maze (hidden, the default) and as set visible, and the
// solution.
constexpr Rgb kHiddenStart{192, 255, 192};
constexpr Rgb kStart{0, 255, 0};
constexpr Rgb kHiddenStop{255, 192, 192};
constexpr Rgb kStop{255, 0, 0};
constexpr Rgb kSolution{128, 128, 240};
constexpr Rgb kBlack{0, 0, 0};

using Cell = std::pair<int, int>;  // (col, row)

// The neighbour beyond each side: 1 top, 2 right, 3 bottom, 4 left.
constexpr int kDx[] = {0, 0, 1, 0, -1};
constexpr int kDy[] = {0, -1, 0, 1, 0};

// The cells mostly filled with one of the colours.
std::set<Cell> CellsOf(const QImage& screen, const GridOnScreen& grid, std::initializer_list<Rgb> colours);
// Interior walls that are open (right and lower neighbours of every cell), leaving out the walls of
// the cells `unknown` (hidden cells draw their walls dotted and pale).
int OpenInteriorWalls(const QImage& screen, const GridOnScreen& grid, const std::set<Cell>& unknown = {});
// The cells a walk through the grid's passages reaches from `from`, over `over` cells only (all when
// empty).
std::set<Cell> Reach(const Object& g, Cell from, const std::set<Cell>& over = {});
// How many walls the screen shows (or leaves out) against the grid's passages, the walls of the
// `unknown` cells left out; `each` hears of every one.
int WallsDisagreeing(const QImage& screen, const GridOnScreen& grid, const Object& g, const std::set<Cell>& unknown,
                     const std::function<void(Cell, int)>& each = {});
// Every wall the screen shows agrees with the grid's passages, but the walls of the `unknown` cells.
void ExpectScreenShowsPassages(const QImage& screen, const GridOnScreen& grid, const Object& g,
                               const std::set<Cell>& unknown);
// A tree over the cells: passages agree from both sides, none leads out, n - 1 passages join n cells.
void ExpectTree(const Object& g, const std::set<Cell>& cells);
// The cells marked START or STOP.
std::set<Cell> MarkedCells(const Object& g);
// Whether the two grids hold the same cells: states and passages.
bool SameCells(const Object& a, const Object& b);
// How many cells have passages.
int CarvedCells(const Object& g);

class MazeJourney : public Journey {
protected:
    void SetUp() override;
    // Starts the program and makes a new maze (File New); returns its grid on the screen.
    GridOnScreen NewMaze();
    // File New in the running program; returns the new maze's grid on the screen.
    GridOnScreen FileNew();
    // Saves the maze by File Save into a new file, typed into the file dialog.
    void SaveNew(const std::filesystem::path& file);
    // Saves the maze by File Save As into the file, in the format chosen in the dialog's file types
    // (version 2, the first, or version 1).
    void SaveAs(const std::filesystem::path& file, int version);
    // Opens the file by File Open, typed into the file dialog.
    void OpenByDialog(const std::filesystem::path& file);
    // Saves the maze into WorkDir()/name by File Save and reads the file back; the journey fails unless
    // it holds a square grid of the new maze's size.
    std::unique_ptr<CVantrelDoc> SaveNewAndRead(const std::string& name);
    // Every cell of the grid.
    std::set<Cell> AllCells() const;
    // Maze Setup: chooses the Style page's template (its radio button, counted from the top: Box 0 ..
    // CIRCULAR 6, Square Tiled 7) and confirms the sheet by `confirm` (given the sheet's window, with
    // the keyboard's focus on the chosen button; Enter when not given), and the question that follows
    // by Enter.
    void ChooseTemplate(int choice, std::string_view shotName,
                        const std::function<void(unsigned long)>& confirm = {});

    int m_cols = 0;
    int m_rows = 0;
};

} // namespace journey

using journey::MazeJourney;
