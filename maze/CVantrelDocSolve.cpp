// Solving by dead-end filling, Clear and ReRender.
#include "maze/CVantrelDoc.h"

#include "maze/IMazeCellDrawer.h"
#include "maze/MazeTopology.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace {

template <class Topology>
struct DeadEndFill {
    CVantrelDoc& doc;
    const Topology& topo;
    IMazeCellDrawer* drawer;

    // A dead end: exactly one open side and no START or STOP mark (those count one exit more).
    static bool DeadEnd(const MazeCell& cell, int& side)
    {
        const unsigned p = cell.passages;
        if (!p || (p & (p - 1)) || (cell.flags & (CELL_START | CELL_STOP)))
            return false;
        side = std::countr_zero(p) + 1;
        return true;
    }

    // Closes the dead end at (x, y, g) and walks on through the corridor it ends, up to the first cell
    // with two or more exits. Returns whether the cell was a dead end.
    bool WalkFrom(Object& grid, int x, int y, int g)
    {
        int side = 0;
        MazeCell* cell = &grid.GetCell(x, y);
        if (!DeadEnd(*cell, side))
            return false;
        do {
            cell->passages &= WORD(~(1u << (side - 1)));
            if (drawer)
                doc.AnimateCell(drawer, x, y, g, true);
            MazeStep next;
            if (!topo.StepFrom(cell, x, y, g, side, next))
                break;  // a passage through the border or into nowhere: the walk ends
            x = next.x;
            y = next.y;
            g = next.g;
            cell = next.cell;
            cell->passages &= WORD(~(1u << (next.reverseDir - 1)));
        } while (DeadEnd(*cell, side));
        return true;
    }

    // One pass over grid g; columns outer as the animation shows it, or rows outer.
    bool Pass(Object& grid, int g, bool columnOrder)
    {
        bool changed = false;
        if (columnOrder) {
            for (int x = 0; x < grid.width; ++x)
                for (int y = 0; y < grid.height; ++y)
                    changed |= WalkFrom(grid, x, y, g);
        } else {
            for (int y = 0; y < grid.height; ++y) {
                const MazeCell* row = &grid.GetCell(0, y);
                for (int x = 0; x < grid.width; ++x) {
                    int side;
                    if (DeadEnd(row[x], side))
                        changed |= WalkFrom(grid, x, y, g);
                }
            }
        }
        return changed;
    }

    void Run()
    {
        if (drawer) {
            // Animated: whole passes in column order until one changes nothing, as the user sees it.
            bool changed = true;
            while (changed) {
                changed = false;
                for (int g = 0; g < doc.m_nGrids; ++g)
                    if (Object* grid = doc.GetGrid(g); grid && grid->cells)
                        changed |= Pass(*grid, g, true);
            }
            return;
        }
        // Filling is confluent (every order ends in the same cells) and one pass reaches the end: a
        // cell's exit count only drops when a walk arrives there, and the walk then tests it at once.
        // So a single pass in memory order gives what repeated passes in any order give.
        for (int g = 0; g < doc.m_nGrids; ++g)
            if (Object* grid = doc.GetGrid(g); grid && grid->cells)
                Pass(*grid, g, false);
    }
};

template <class Topology>
void Fill(CVantrelDoc& doc, const Topology& topo, IMazeCellDrawer* drawer)
{
    DeadEndFill<Topology>{doc, topo, drawer}.Run();
}

// The same filling over a one-byte working copy of the square grid (open sides in bits 0 to 3, a START
// or STOP mark in bit 4), which keeps the walks in cache; the marks and the backup are then written
// as BackupCells, the filling and RestoreCells leave them. False (nothing changed) when a cell has an
// open side beyond the fourth or the copy cannot be had.
bool FillCompact(Object& grid, const SquareTopology& topo)
{
    const std::size_t count = std::size_t(grid.GetCellCount());
    std::unique_ptr<std::uint8_t[]> work(new (std::nothrow) std::uint8_t[count]);
    if (!work || !grid.backup)
        return false;
    MazeCell* cells = grid.cells.get();
    unsigned beyondFour = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned p = cells[i].passages;
        beyondFour |= p;
        work[i] = std::uint8_t((p & 0xF) | ((cells[i].flags & (CELL_START | CELL_STOP)) ? 0x10 : 0));
    }
    if (beyondFour & ~0xFu)
        return false;

    // The side to close for each working byte that is a dead end, else 0.
    std::uint8_t deadEndSide[32];
    for (unsigned b = 0; b < 32; ++b) {
        const unsigned p = b & 0xF;
        deadEndSide[b] = std::uint8_t(p && !(p & (p - 1)) && !(b & 0x10) ? std::countr_zero(p) + 1 : 0);
    }
    std::ptrdiff_t offset[5] = {};
    for (int d = 1; d <= 4; ++d)
        offset[d] = topo.offset[d];

    const int width = grid.width, height = grid.height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::size_t i = std::size_t(x) + std::size_t(y) * std::size_t(width);
            int side = deadEndSide[work[i]];
            int cx = x, cy = y;
            while (side) {
                work[i] &= std::uint8_t(~(1u << (side - 1)));
                int reverse = topo.reverse[side];
                if (topo.Interior(cx, cy)) {
                    i = std::size_t(std::ptrdiff_t(i) + offset[side]);
                    cx += topo.dx[side];
                    cy += topo.dy[side];
                } else {
                    MazeStep next;
                    if (!topo.Step(cx, cy, 0, side, next))
                        break;  // a passage through the border: the walk ends
                    cx = next.x;
                    cy = next.y;
                    i = std::size_t(cx) + std::size_t(cy) * std::size_t(width);
                }
                work[i] &= std::uint8_t(~(1u << (reverse - 1)));
                side = deadEndSide[work[i]];
            }
        }
    }

    MazeCell* kept = grid.backup.get();
    for (std::size_t i = 0; i < count; ++i) {
        cells[i].flags |= WORD((work[i] & 0xF) ? CELL_SOLUTION : 0);
        kept[i] = cells[i];
    }
    return true;
}

}  // namespace

void CVantrelDoc::OnSolve()
{
    SolveWith(nullptr);
}

void CVantrelDoc::SolveWith(const std::function<void(Object&)>& mark)
{
    BeginWaitCursor();
    IMazeCellDrawer* drawer = AnimationDrawer();
    SquareTopology flat;
    const bool square = flat.Init(*this);
    if (mark && square) {
        mark(*m_pGrids[0]);
        MarkChanged();
    } else if (square && !drawer && FillCompact(*m_pGrids[0], flat)) {
        MarkChanged();
    } else {
        for (int g = 0; g < m_nGrids; ++g)
            if (Object* grid = GetGrid(g))
                grid->BackupCells();
        if (square)
            Fill(*this, flat, drawer);
        else
            Fill(*this, GenericTopology{*this}, drawer);
        MarkChanged();
        for (int g = 0; g < m_nGrids; ++g)
            if (Object* grid = GetGrid(g))
                grid->RestoreCells();
    }
    EndWaitCursor();
    UpdateAllViews(nullptr);
}

void CVantrelDoc::OnClearMaze()
{
    m_bTemplateOnly = 1;
    m_bGenerated = 0;
    for (int g = 0; g < m_nGrids; ++g) {
        Object* grid = GetGrid(g);
        if (!grid || !grid->cells)
            continue;
        MazeCell* cells = grid->cells.get();
        const std::int64_t count = grid->GetCellCount();
        for (std::int64_t i = 0; i < count; ++i) {
            cells[i].passages = 0;
            cells[i].flags &= CELL_KEEP_ON_CLEAR;
        }
    }
    MarkChanged();
    UpdateAllViews(nullptr);
}

int CVantrelDoc::ReRender()
{
    OnClearMaze();
    if (m_startPoints.IsEmpty())
        return 0;
    // Growth appends a start point only when there is none, so the list stays as it is while walked.
    for (int i = 0; i < m_startPoints.GetSize(); ++i) {
        const CPoint point = m_startPoints[i];
        m_nStartX = point.x;
        m_nStartY = point.y;
        const int seed = m_nSeed;
        m_nSeed = -1;
        OnGenerateMaze();
        OnSolve();
        m_nSeed = seed;
    }
    return 1;
}
