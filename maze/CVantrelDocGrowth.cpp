// Maze growth: the frontier, the direction choice, Make Maze, the growth loop and the Draw Solution
// tool. Every random choice draws from the program's one generator in a fixed order, so the same seed,
// template and start cell grow the same maze.
#include "maze/CVantrelDoc.h"

#include "maze/CompactGrowth.h"
#include "maze/IMazeCellDrawer.h"
#include "maze/MazeTopology.h"
#include "maze/SideSets.h"
#include "platform/core/Random.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <type_traits>

namespace {

// r mod n, with the divisions of the usual candidate counts made by the compiler.
inline int SmallModulo(int r, int n)
{
    switch (n) {
    case 1: return 0;
    case 2: return r & 1;
    case 3: return r % 3;
    case 4: return r & 3;
    default: return r % n;
    }
}

using namespace maze_sides;

inline unsigned SidesUpTo(int n) { return n <= 0 ? 0u : ((2u << n) - 2u) & 0x1FFFEu; }

inline int ToValues(unsigned mask, int n, int values[])
{
    for (int d = 1; d <= n; ++d)
        values[d] = (mask >> d) & 1;
    values[0] = CountSides(mask & SidesUpTo(n));
    return values[0];
}

template <class Topology>
struct MazeGrowthRun {
    CVantrelDoc& doc;
    const Topology& topo;
    IMazeCellDrawer* drawer;
    // Set while the frontier runs in its unique mode (from Make Maze's reset to the end of growth).
    bool uniqueRun = false;
    // Make Maze began on a template without passages.
    bool fresh = false;

    void EndRun()
    {
        if (uniqueRun)
            doc.m_frontier.EndUniqueRun();
        uniqueRun = false;
    }

    void Animate(int x, int y, int g, bool delay = false) const
    {
        if (drawer)
            doc.AnimateCell(drawer, x, y, g, delay);
    }

    bool TryAddFrontier(const MazeStep& s)
    {
        MazeCell& cell = *s.cell;
        if (cell.passages || (cell.flags & CELL_BLOCKING_MASK))
            return false;
        cell.flags |= CELL_FRONTIER;
        doc.m_frontier.Add({s.x, s.y, s.g});
        return true;
    }

    // Object::OpenPassage on a cell already found.
    void OpenPassage(MazeCell& cell, int d, int x, int y, int g)
    {
        cell.passages |= WORD(1u << (d - 1));
        if (cell.flags & CELL_FRONTIER) {
            cell.flags &= WORD(~CELL_FRONTIER);
            doc.m_frontier.Remove({x, y, g});
        }
    }

    // AddFreeNeighbours: the sides whose cell joined the frontier.
    unsigned AddFreeNeighbours(int x, int y, int g)
    {
        const int n = topo.Sides(g);
        unsigned added = 0;
        for (int d = 1; d <= n; ++d) {
            MazeStep s;
            if (!topo.Step(x, y, g, d, s))
                continue;
            MazeCell& cell = *s.cell;
            const bool free = !cell.passages && !(cell.flags & CELL_BLOCKING_MASK);
            cell.flags |= WORD(free ? CELL_FRONTIER : 0);
            doc.m_frontier.AddIf({s.x, s.y, s.g}, free);
            added |= unsigned(free) << d;
        }
        return added;
    }

    // The sides whose cell is carved, or (frontier) is a frontier cell.
    unsigned Neighbours(int x, int y, int g, bool frontier) const
    {
        if constexpr (Topology::kFlat) {
            if (topo.Interior(x, y)) {
                const MazeCell* cell = topo.cells + std::size_t(x) + std::size_t(y) * std::size_t(topo.width);
                unsigned found = 0;
                for (int d = 1; d <= Topology::kSideCount; ++d) {
                    const MazeCell& beyond = cell[topo.offset[d]];
                    const bool hit = frontier ? (beyond.flags & CELL_FRONTIER) != 0 : beyond.passages != 0;
                    found |= unsigned(hit) << d;
                }
                return found;
            }
        }
        const int n = topo.Sides(g);
        unsigned found = 0;
        for (int d = 1; d <= n; ++d) {
            MazeStep s;
            if (!topo.Step(x, y, g, d, s))
                continue;
            const bool hit = frontier ? (s.cell->flags & CELL_FRONTIER) != 0 : s.cell->passages != 0;
            found |= unsigned(hit) << d;
        }
        return found;
    }

    // PickDirection without a weight row: uniform over the candidates among grid toGrid's sides, the
    // (r+1)-th in side order for r = rand() mod their number.
    int Pick(unsigned candidates, int toGrid) const
    {
        candidates &= SidesUpTo(topo.Sides(toGrid));
        if (candidates < 32)
            return kSmallSets.count[candidates] ? PickSmall(candidates, VantrelRand()) : 0;
        const int total = CountSides(candidates);
        if (total <= 0)
            return 0;
        for (int r = SmallModulo(VantrelRand(), total); r > 0; --r)
            candidates &= candidates - 1;
        return std::countr_zero(candidates);
    }

    // Joins cell (x, y, g) through side d to the cell beyond, opening both sides; the cell beyond in out.
    bool Join(MazeCell& cell, int x, int y, int g, int d, MazeStep& out, bool animate)
    {
        if (!topo.StepFrom(&cell, x, y, g, d, out))
            return false;
        OpenPassage(cell, d, x, y, g);
        if (animate)
            Animate(x, y, g);
        OpenPassage(*out.cell, out.reverseDir, out.x, out.y, out.g);
        return true;
    }

    void Grow()
    {
        doc.BeginWaitCursor();
        doc.m_nLastDir = 0;
        int x = doc.m_nStartX, y = doc.m_nStartY;
        std::unique_ptr<CompactGrowth> compact = GrowCompact(x, y);
        if (!compact)
            GrowHere(x, y);
        doc.m_nStartX = x;
        doc.m_nStartY = y;
        EndRun();
        doc.EndWaitCursor();
        doc.UpdateAllViews(nullptr);
        // The views' update only asks for a repaint, so the cells are still those growth left.
        if (compact && compact->KnowsSolution())
            doc.SolveWith([&](Object& grid) { compact->MarkSolution(grid); });
        else
            doc.OnSolve();
    }

    // Make Maze on the square grid with nothing to draw grows on a compact copy; null when that does
    // not apply, with nothing changed. (x, y) becomes the last cell reached.
    std::unique_ptr<CompactGrowth> GrowCompact(int& x, int& y)
    {
        if constexpr (std::is_same_v<Topology, SquareTopology>) {
            if (drawer || !uniqueRun || !CompactGrowth::Serves(topo))
                return nullptr;
            auto run = std::make_unique<CompactGrowth>();
            if (!run->Begin(doc, fresh))
                return nullptr;
            try {
                run->Run();
            } catch (...) {
                run->End(doc);
                throw;
            }
            run->End(doc);
            run->LastCell(x, y);
            return run;
        }
        return nullptr;
    }

    // GrowMaze's loop over the grid itself.
    void GrowHere(int& x, int& y)
    {
        FrontierArray& frontier = doc.m_frontier;
        int failedInRow = 0;
        // A frontier cell with no carved neighbour is drawn again and again; only a grid whose moves
        // are not mutual can hold one. Growth gives up when such cells are all that is left.
        std::int64_t stuck = 0;
        while (!frontier.IsEmpty() && doc.m_nGrids > 0) {
            // A draw never exceeds VANTREL_RAND_MAX, so a large frontier needs no division.
            const int size = frontier.GetSize();
            const int r = VantrelRand();
            const int i = r < size ? r : r % size;
            const frontier_location entry = frontier[i];
            x = entry.x;
            y = entry.y;
            int g = entry.grid;
            doc.m_nCurGrid = g;
            MazeCell* cell = topo.CellAt(x, y, g);
            if (!cell) {
                // An entry left behind for a cell that no longer exists is dropped.
                frontier.RemoveAt(i);
                continue;
            }
            int d = Pick(Neighbours(x, y, g, false), g);
            if (d == 0) {
                if (++failedInRow > 20) {
                    doc.m_nLastDir = 0;
                    failedInRow = 0;
                }
                if (++stuck > 64 * std::int64_t(frontier.GetSize()) + 1024)
                    break;
                continue;
            }
            failedInRow = 0;
            stuck = 0;
            cell->flags &= WORD(~CELL_FRONTIER);
            frontier.RemoveAt(i);

            MazeStep next;
            if (!Join(*cell, x, y, g, d, next, true))
                continue;
            int pickGrid = next.g;
            unsigned candidates = AddFreeNeighbours(x, y, g);
            doc.m_nLastDir = d;

            // The corridor only steps into cells that became frontier cells in the step before.
            while (candidates) {
                d = Pick(candidates, pickGrid);
                if (d == 0 || !topo.StepFrom(cell, x, y, g, d, next))
                    break;
                OpenPassage(*cell, d, x, y, g);
                Animate(x, y, g);
                x = next.x;
                y = next.y;
                g = next.g;
                cell = next.cell;
                pickGrid = next.g;
                doc.m_nCurGrid = g;
                doc.m_nLastDir = next.reverseDir;
                if (uniqueRun) {
                    // The cell's entry is the only one, appended with the candidates in side order.
                    const unsigned below = candidates & ((1u << d) - 1u);
                    const int pos = frontier.GetSize() - CountSides(candidates) + CountSides(below);
                    cell->passages |= WORD(1u << (next.reverseDir - 1));
                    cell->flags &= WORD(~CELL_FRONTIER);
                    frontier.RemoveAt(pos);
                } else {
                    OpenPassage(*cell, next.reverseDir, x, y, g);
                }
                Animate(x, y, g, true);
                candidates = AddFreeNeighbours(x, y, g);
            }
        }
    }

    // Make Maze from its frontier fill on (steps 5 to 12 of the command).
    void Generate(bool anyCarved)
    {
        if (anyCarved) {
            // Column order: the fill order is the frontier order that growth draws from.
            for (int g = 0; g < doc.m_nGrids; ++g) {
                Object* grid = doc.GetGrid(g);
                if (!grid || !grid->cells)
                    continue;
                for (int x = 0; x < grid->width; ++x)
                    for (int y = 0; y < grid->height; ++y)
                        if (grid->GetCell(x, y).passages)
                            AddFreeNeighbours(x, y, g);
            }
            if (!doc.m_frontier.IsEmpty()) {
                Grow();
                return;
            }
        }
        if (doc.m_nSeed != -1)
            VantrelSrand(unsigned(doc.m_nSeed));
        doc.MarkChanged();
        if (!StartCell())
            return;
        if (doc.m_startPoints.IsEmpty())
            doc.m_startPoints.Add(CPoint(doc.m_nStartX, doc.m_nStartY));

        const int g = doc.m_nCurGrid;
        const int sx = doc.m_nStartX, sy = doc.m_nStartY;
        if (unsigned added = AddFreeNeighbours(sx, sy, g)) {
            int d = Pick(added, g);
            MazeStep next;
            MazeCell* start = topo.CellAt(sx, sy, g);
            if (d > 0 && start && topo.Step(sx, sy, g, d, next)) {
                OpenPassage(*start, d, sx, sy, g);
                Animate(sx, sy, g);
                doc.m_nStartX = next.x;
                doc.m_nStartY = next.y;
                doc.m_nLastDir = next.reverseDir;
                doc.m_nCurGrid = next.g;
                OpenPassage(*next.cell, next.reverseDir, next.x, next.y, next.g);
                AddFreeNeighbours(next.x, next.y, next.g);
                Animate(next.x, next.y, next.g);
                doc.UpdateAllViews(nullptr);
            }
        }
        Grow();
    }

    // The stored start cell when it is free; else, with none stored, a random free cell. A stored cell
    // outside the grid (left from an earlier, larger one) is dropped for a random one. False ends the
    // command without growing.
    bool StartCell()
    {
        const int g = doc.m_nCurGrid;
        Object* grid = doc.GetGrid(g);
        if (doc.m_nStartX != -1 || doc.m_nStartY != -1) {
            if (grid && grid->InBounds(doc.m_nStartX, doc.m_nStartY))
                return doc.IsCellFree(doc.m_nStartX, doc.m_nStartY, g);
            doc.m_nStartX = doc.m_nStartY = -1;
        }
        const int cellsX = doc.m_nCellsX, cellsY = doc.m_nCellsY;
        if (!grid || !grid->cells || cellsX <= 0 || cellsY <= 0)
            return false;
        // Only cells a draw can reach count: x = rand() mod cellsX cannot pass the generator's range.
        const int reachX = std::min({cellsX, grid->width, VANTREL_RAND_MAX + 1});
        const int reachY = std::min({cellsY, grid->height, VANTREL_RAND_MAX + 1});
        bool anyFree = false;
        for (int y = 0; y < reachY && !anyFree; ++y)
            for (int x = 0; x < reachX && !anyFree; ++x)
                anyFree = doc.IsCellFree(x, y, g);
        if (!anyFree)
            return false;
        // The pairs repeat after 2^31 draws of two; a cell not met by then is never met.
        for (std::uint64_t attempt = 0; attempt < (std::uint64_t(1) << 31); ++attempt) {
            int x = VantrelRand() % cellsX;
            int y = VantrelRand() % cellsY;
            if (doc.IsCellFree(x, y, g)) {
                doc.m_nStartX = x;
                doc.m_nStartY = y;
                return true;
            }
        }
        return false;
    }

    BOOL Carve(int x, int y, int g)
    {
        MazeCell* cell = topo.CellAt(x, y, g);
        if (!cell)
            return FALSE;
        TryAddFrontier({x, y, g, 0, cell});
        const unsigned carved = Neighbours(x, y, g, false);
        unsigned frontier = Neighbours(x, y, g, true);
        const int n = topo.Sides(g);
        MazeStep next;
        for (int d = 1; d <= n; ++d) {
            if (!((carved >> d) & 1) || cell->HasPassage(d))
                continue;
            AddFreeNeighbours(x, y, g);
            if (Join(*cell, x, y, g, d, next, false))
                AddFreeNeighbours(next.x, next.y, next.g);
        }
        if (!carved) {
            int d = Pick(frontier, g);
            if (d > 0 && Join(*cell, x, y, g, d, next, false))
                AddFreeNeighbours(next.x, next.y, next.g);
        }
        doc.MarkChanged();
        return TRUE;
    }
};

template <class Topology>
MazeGrowthRun<Topology> MakeRun(CVantrelDoc& doc, const Topology& topo, IMazeCellDrawer* drawer = nullptr)
{
    return MazeGrowthRun<Topology>{doc, topo, drawer, false, false};
}

// Make Maze's growth over a unique-entry frontier.
template <class Topology>
void GenerateWith(CVantrelDoc& doc, const Topology& topo, IMazeCellDrawer* drawer, bool anyCarved)
{
    // The unique run ends however the command ends, an exception included.
    struct EndUniqueRunOnExit {
        FrontierArray& frontier;
        ~EndUniqueRunOnExit() { frontier.EndUniqueRun(); }
    } guard{doc.m_frontier};
    auto run = MakeRun(doc, topo, drawer);
    run.uniqueRun = true;
    run.fresh = !anyCarved;
    run.Generate(anyCarved);
}

// The flat stepping serves growth only when every frontier entry lies in grid 0.
bool AllEntriesInGridZero(const FrontierArray& frontier)
{
    for (int i = 0; i < frontier.GetSize(); ++i)
        if (frontier[i].grid != 0)
            return false;
    return true;
}

}  // namespace

// ---- Frontier ----------------------------------------------------------------------------------

int CVantrelDoc::AddFrontier(int x, int y, int g)
{
    m_frontier.Add({x, y, g});
    return 1;
}

int CVantrelDoc::RemoveFrontier(int x, int y, int g)
{
    return m_frontier.Remove({x, y, g}) ? 1 : 0;
}

int CVantrelDoc::AddFreeNeighbours(int x, int y, int g, int values[])
{
    return ToValues(MakeRun(*this, GenericTopology{*this}).AddFreeNeighbours(x, y, g), SidesOf(g), values);
}

int CVantrelDoc::CountCarvedNeighbours(int x, int y, int g, int values[]) const
{
    auto& self = const_cast<CVantrelDoc&>(*this);
    return ToValues(MakeRun(self, GenericTopology{*this}).Neighbours(x, y, g, false), SidesOf(g), values);
}

int CVantrelDoc::CountFrontierNeighbours(int x, int y, int g, int values[]) const
{
    auto& self = const_cast<CVantrelDoc&>(*this);
    return ToValues(MakeRun(self, GenericTopology{*this}).Neighbours(x, y, g, true), SidesOf(g), values);
}

int CVantrelDoc::PickDirection(const int values[], const MoveRecord& move, const int* pWeights)
{
    const int n = SidesOf(move.toGrid);
    int total = 0;
    for (int d = 1; d <= n; ++d)
        if (values[d])
            total += pWeights ? pWeights[d - 1] : 1;
    if (total <= 0)
        return 0;
    int r = VantrelRand() % total;
    for (int d = 1; d <= n; ++d) {
        if (!values[d])
            continue;
        r -= pWeights ? pWeights[d - 1] : 1;
        if (r < 0)
            return d;
    }
    return 0;
}

// ---- Make Maze ---------------------------------------------------------------------------------

void CVantrelDoc::OnGenerateMaze()
{
    m_bTemplateOnly = 0;
    m_bGenerated = 1;

    // The passages and the flags of all cells, ORed: a loop without a branch, which the compiler widens.
    unsigned passages = 0, marks = 0;
    for (int g = 0; g < m_nGrids; ++g) {
        Object* grid = GetGrid(g);
        if (!grid || !grid->cells)
            continue;
        MazeCell* cells = grid->cells.get();
        const std::int64_t count = grid->GetCellCount();
        for (std::int64_t i = 0; i < count; ++i) {
            const WORD flags = WORD(cells[i].flags & CELL_KEEP_ON_CLEAR);
            cells[i].flags = flags;
            passages |= cells[i].passages;
            marks |= flags;
        }
    }
    const bool anyCarved = passages != 0;

    // Default START and STOP marks, hidden, unless the user placed marks of that kind. A placed-mark
    // bit whose mark no cell carries any more (a later grid, or a tool that overwrote the cell) counts
    // as clear, so every maze gets its START and STOP; the bits stay as the files hold them.
    Object* first = GetGrid(0);
    Object* last = GetGrid(m_nGrids - 1);
    const bool startPlaced = (m_nPlacedMarks & CELL_START) && (marks & CELL_START);
    const bool stopPlaced = (m_nPlacedMarks & CELL_STOP) && (marks & CELL_STOP);
    if (!startPlaced && first && first->cells && first->InBounds(0, 0))
        first->GetCell(0, 0).flags |= CELL_START | CELL_HIDDEN;
    if (!stopPlaced && last && last->cells && last->InBounds(m_nCellsX - 1, m_nCellsY - 1))
        last->GetCell(m_nCellsX - 1, m_nCellsY - 1).flags |= CELL_STOP | CELL_HIDDEN;
    // Every frontier mark is gone and the frontier is emptied: from here to the end of growth each
    // entry is added beside its mark and leaves with it, so no cell has two entries.
    SyncFrontierIndex();
    m_frontier.BeginUniqueRun();

    IMazeCellDrawer* drawer = AnimationDrawer();
    SquareTopology flat;
    if (flat.Init(*this))
        GenerateWith(*this, flat, drawer, anyCarved);
    else
        GenerateWith(*this, GenericTopology{*this}, drawer, anyCarved);
}

void CVantrelDoc::GrowMaze()
{
    IMazeCellDrawer* drawer = AnimationDrawer();
    SquareTopology flat;
    if (flat.Init(*this) && AllEntriesInGridZero(m_frontier))
        MakeRun(*this, flat, drawer).Grow();
    else
        MakeRun(*this, GenericTopology{*this}, drawer).Grow();
}

BOOL CVantrelDoc::CarveCell(int x, int y, int g)
{
    SyncFrontierIndex();
    return MakeRun(*this, GenericTopology{*this}).Carve(x, y, g);
}
