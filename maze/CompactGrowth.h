#pragma once
// Make Maze's growth when nothing is drawn meanwhile, on a compact copy of the square grid: the same
// draws in the same order, and the same cells, frontier order, last cell and last direction, as the
// growth loop over the grid itself. It needs the frontier's unique run, in which the cell a corridor
// steps into has exactly one entry.
//
// Each cell carved gets its parent side, the side towards the cell it was carved from. When the run
// begins on a maze of at most the start cell and the first step's cell, the passages form a tree, and
// the cells dead-end filling would keep are found by walking from the marks towards its root.
#include "maze/CompactFrontier.h"
#include "maze/CompactGrid.h"

#include <cstdint>
#include <memory>

class CVantrelDoc;
class Object;
template <int kSides>
struct FlatTopology;

class CompactGrowth {
public:
    // Whether the run serves a grid with these steps: the square grid's.
    static bool Serves(const FlatTopology<4>& topo);

    // Takes grid 0's cells and the document's frontier; false, with nothing changed, when an entry lies
    // outside grid 0 or memory is short. fresh: the maze is at most the start cell and the first step's
    // cell, which is the document's current cell.
    bool Begin(CVantrelDoc& doc, bool fresh);
    // GrowMaze's loop, drawing from the generator's state that Begin took.
    void Run();
    // Gives the document the cells, the entries left, the generator's state and the last direction.
    void End(CVantrelDoc& doc);
    // The cell growth reached last; false when it took no frontier entry.
    bool LastCell(int& x, int& y) const;
    // Whether the passages form the tree the run recorded, so that MarkSolution applies.
    bool KnowsSolution() const { return m_tree; }
    // Gives CELL_SOLUTION to the cells dead-end filling would keep, and takes the backup, as OnSolve
    // does; for the cells End left.
    void MarkSolution(Object& cells) const;

private:
    CompactGrid m_grid;
    CompactFrontier m_frontier;
    std::unique_ptr<std::uint8_t[]> m_parents;  // two bits a cell of the copy: parent side - 1
    std::uint32_t m_state = 0;                  // the generator's, taken for the run
    std::int64_t m_last = -1;                   // the cell reached last, -1 before the first cycle
    int m_lastDir = 0;
    bool m_tree = false;
    std::uint32_t m_root = 0;                   // the tree's root: the cell without a parent
};
