#include "maze/CompactGrowth.h"

#include "maze/CVantrelDoc.h"
#include "maze/MazeTopology.h"
#include "maze/SideSets.h"
#include "platform/core/Random.h"

#include <bit>
#include <new>
#include <vector>

using namespace maze_sides;

namespace {

// The moves the compact copy steps by: north, east, south, west, each side's reverse the opposite.
constexpr int kDx[5] = {0, 0, 1, 0, -1};
constexpr int kDy[5] = {0, -1, 0, 1, 0};
constexpr int kReverse[5] = {0, 3, 4, 1, 2};
// Cycles ahead whose cells are fetched into the cache while this one runs.
constexpr int kLookahead = 4;

// The generator's state n draws on, as a function of the state now: state * mul + add.
struct RandJump {
    std::uint32_t mul = 1;
    std::uint32_t add = 0;

    explicit constexpr RandJump(int n)
    {
        // One draw's step, read off the generator itself: a state of 0 steps to c, one of 1 to a + c.
        std::uint32_t zero = 0, one = 1;
        VantrelRandStep(zero);
        VantrelRandStep(one);
        for (int k = 0; k < n; ++k) {
            mul *= one - zero;
            add = add * (one - zero) + zero;
        }
    }
    constexpr std::uint32_t From(std::uint32_t state) const { return state * mul + add; }
};

// What a corridor step through side d leaves in the frontier, for each set of free sides 1 to 4: the
// free sides' cells appended in side order, then the entry of side d's cell removed, that is replaced
// by the last one.
struct CorridorEntries {
    std::uint8_t count[32][5];
    std::uint8_t side[32][5][3];
    constexpr CorridorEntries() : count(), side()
    {
        for (unsigned m = 0; m < 32; ++m) {
            const int n = kSmallSets.count[m];
            for (int rank = 0; rank < n; ++rank) {
                const int d = kSmallSets.member[m][rank];
                for (int k = 0; k + 1 < n; ++k)
                    side[m][d][k] = kSmallSets.member[m][k == rank ? n - 1 : k];
                count[m][d] = std::uint8_t(n - 1);
            }
        }
    }
};
constexpr CorridorEntries kCorridorEntries;

// Parent sides, two bits a cell of the copy.
void SetParent(std::uint8_t* parents, std::uint32_t cell, int side)
{
    parents[cell >> 2] |= std::uint8_t((side - 1) << ((cell & 3) * 2));
}

int ParentOf(const std::uint8_t* parents, std::uint32_t cell)
{
    return ((parents[cell >> 2] >> ((cell & 3) * 2)) & 3) + 1;
}

// GrowMaze's loop over the copy. It keeps the frontier's size and block table in locals, and cells and
// parents are restricted, so that no store is taken to change what the loop holds in registers.
void Loop(std::uint8_t* __restrict cells, std::uint8_t* __restrict parents, const std::ptrdiff_t (&steps)[5],
          CompactFrontier& frontier, std::uint32_t& state, std::int64_t& last, int& lastDir)
{
    using G = CompactGrid;
    using F = CompactFrontier;
    // A cycle without a corridor takes two draws, and nine cycles in ten have none: the entry that
    // the draw kLookahead cycles on picks is then known now, and its cells can be on their way.
    static constexpr RandJump ahead(2 * kLookahead);
    const std::ptrdiff_t step[5] = {steps[0], steps[1], steps[2], steps[3], steps[4]};
    std::size_t size = frontier.Size();
    std::size_t room = frontier.Room();
    std::uint32_t* const* blocks = frontier.Blocks();
    std::uint32_t rand = state;
    // The cell growth is at, from the first cycle on.
    std::uint32_t cell = 0;
    const bool grows = size > 0;
    int dir = 0;
    int failedInRow = 0;
    std::int64_t stuck = 0;

    auto entry = [&](std::size_t i) -> std::uint32_t& {
        return blocks[i >> F::kBlockBits][i & (F::kBlockSize - 1)];
    };
    auto open = [](int d) { return std::uint8_t(1u << (d - 1)); };
    // The sides of cell whose cell is free.
    auto freeSides = [&](std::uint32_t cell) {
        unsigned sides = 0;
#pragma GCC unroll 4
        for (int d = 1; d <= 4; ++d)
            sides |= unsigned(!(cells[cell + step[d]] & G::kNotFree)) << d;
        return sides;
    };

    while (size) {
        std::uint32_t later = ahead.From(rand);
        if (const std::size_t r = std::size_t(VantrelRandStep(later)); r < size) {
            const std::uint32_t cell = entry(r);
            __builtin_prefetch(cells + cell - step[3]);
            __builtin_prefetch(cells + cell);
            __builtin_prefetch(cells + cell + step[3]);
        }

        const std::size_t r = std::size_t(VantrelRandStep(rand));
        const std::size_t i = r < size ? r : r % size;
        cell = entry(i);
        unsigned carved = 0, free = 0;
#pragma GCC unroll 4
        for (int d = 1; d <= 4; ++d) {
            const std::uint8_t beyond = cells[cell + step[d]];
            carved |= unsigned((beyond & G::kCarved) != 0) << d;
            free |= unsigned(!(beyond & G::kNotFree)) << d;
        }
        if (!carved) {
            if (++failedInRow > 20) {
                dir = 0;
                failedInRow = 0;
            }
            if (++stuck > 64 * std::int64_t(size) + 1024)
                break;
            continue;
        }
        failedInRow = 0;
        stuck = 0;
        int d = PickSmall(carved, VantrelRandStep(rand));
        --size;
        entry(i) = entry(size);
        cells[cell] = std::uint8_t((cells[cell] & ~G::kFrontier) | open(d));
        cells[cell + step[d]] |= open(kReverse[d]);
        SetParent(parents, cell, d);
        dir = d;

        // The corridor: each step's free cells join the frontier but for the one it moves into.
        while (free) {
            d = PickSmall(free, VantrelRandStep(rand));
            if (size + 3 > room) {
                frontier.Resize(size);
                frontier.Reserve(3);
                room = frontier.Room();
                blocks = frontier.Blocks();
            }
            // Three entries written in any case, as many kept as there are: no branch on the count.
            const int kept = kCorridorEntries.count[free][d];
#pragma GCC unroll 3
            for (int k = 0; k < 3; ++k) {
                const std::ptrdiff_t beyond = step[kCorridorEntries.side[free][d][k]];
                cells[cell + beyond] |= k < kept ? G::kFrontier : 0;
                entry(size + std::size_t(k)) = std::uint32_t(cell + beyond);
            }
            size += std::size_t(kept);
            cells[cell] |= open(d);
            cell = std::uint32_t(cell + step[d]);
            cells[cell] |= open(kReverse[d]);
            SetParent(parents, cell, kReverse[d]);
            dir = kReverse[d];
            free = freeSides(cell);
        }
    }
    frontier.Resize(size);
    state = rand;
    if (grows)
        last = cell;
    lastDir = dir;
}

}  // namespace

bool CompactGrowth::Serves(const SquareTopology& topo)
{
    for (int d = 1; d <= 4; ++d)
        if (topo.dx[d] != kDx[d] || topo.dy[d] != kDy[d] || topo.reverse[d] != kReverse[d])
            return false;
    return true;
}

bool CompactGrowth::Begin(CVantrelDoc& doc, bool fresh)
{
    Object& cells = *doc.GetGrid(0);
    const FrontierArray& entries = doc.m_frontier;
    for (int i = 0; i < entries.GetSize(); ++i)
        if (entries[i].grid != 0 || !cells.InBounds(entries[i].x, entries[i].y))
            return false;
    if (!m_grid.Load(cells))
        return false;
    const std::size_t span = std::size_t(m_grid.IndexOf(m_grid.Width() - 1, m_grid.Height() - 1)) + 1;
    m_parents.reset(new (std::nothrow) std::uint8_t[span / 4 + 1]());
    if (!m_parents)
        return false;
    m_frontier.Reserve(std::size_t(entries.GetSize()));
    m_frontier.Resize(std::size_t(entries.GetSize()));
    for (int i = 0; i < entries.GetSize(); ++i)
        m_frontier[std::size_t(i)] = m_grid.IndexOf(entries[i].x, entries[i].y);
    doc.m_frontier.RemoveAll();
    m_state = VantrelRandState();

    m_tree = fresh && cells.InBounds(doc.m_nStartX, doc.m_nStartY);
    if (m_tree) {
        m_root = m_grid.IndexOf(doc.m_nStartX, doc.m_nStartY);
        // The first step's cell has one passage, back to the start cell, which it was carved from.
        if (const unsigned open = m_grid.Cells()[m_root] & CompactGrid::kOpenSides) {
            const int side = std::countr_zero(open) + 1;
            SetParent(m_parents.get(), std::uint32_t(m_root + m_grid.Step(side)), kReverse[side]);
        }
    }
    return true;
}

void CompactGrowth::End(CVantrelDoc& doc)
{
    m_grid.StoreGrowth(*doc.GetGrid(0));
    m_grid.Release();
    for (std::size_t i = 0; i < m_frontier.Size(); ++i)
        doc.m_frontier.Add({m_grid.XOf(m_frontier[i]), m_grid.YOf(m_frontier[i]), 0});
    m_frontier = CompactFrontier();
    VantrelSrand(m_state);
    doc.m_nLastDir = m_lastDir;
}

void CompactGrowth::Run()
{
    const std::ptrdiff_t step[5] = {0, m_grid.Step(1), m_grid.Step(2), m_grid.Step(3), m_grid.Step(4)};
    Loop(m_grid.Cells(), m_parents.get(), step, m_frontier, m_state, m_last, m_lastDir);
}

bool CompactGrowth::LastCell(int& x, int& y) const
{
    if (m_last < 0)
        return false;
    x = m_grid.XOf(std::uint32_t(m_last));
    y = m_grid.YOf(std::uint32_t(m_last));
    return true;
}

// Dead-end filling of a tree keeps the cells on the paths between its marked cells when it has two or
// more, else none: every other cell lies in a branch without a mark, which filling empties, while a
// cell on those paths always keeps two exits. The paths are the cells met walking from each mark
// towards the root, up to a cell already met, less the root's stem above the marks: from the root
// down, while the cell is unmarked and joins only one cell of the paths.
void CompactGrowth::MarkSolution(Object& cells) const
{
    auto cellAt = [&](std::uint32_t c) -> MazeCell& { return cells.GetCell(m_grid.XOf(c), m_grid.YOf(c)); };
    std::vector<std::uint32_t> ends;
    for (std::uint32_t c : m_grid.Marked())
        if (cellAt(c).passages)
            ends.push_back(c);
    if (ends.size() >= 2) {
        for (std::uint32_t c : ends) {
            while (!(cellAt(c).flags & CELL_SOLUTION)) {
                cellAt(c).flags |= CELL_SOLUTION;
                const int up = ParentOf(m_parents.get(), c);
                // A parent side is always an open one: the test keeps the walk on the grid whatever.
                if (c == m_root || !cellAt(c).HasPassage(up))
                    break;
                c = std::uint32_t(c + m_grid.Step(up));
            }
        }
        for (std::uint32_t c = m_root; !(cellAt(c).flags & (CELL_START | CELL_STOP));) {
            int joined = 0;
            std::uint32_t next = c;
            for (int d = 1; d <= 4; ++d) {
                const std::uint32_t beyond = std::uint32_t(c + m_grid.Step(d));
                if (cellAt(c).HasPassage(d) && (cellAt(beyond).flags & CELL_SOLUTION)) {
                    ++joined;
                    next = beyond;
                }
            }
            if (joined != 1)
                break;
            cellAt(c).flags &= WORD(~CELL_SOLUTION);
            c = next;
        }
    }
    cells.BackupCells();
}
