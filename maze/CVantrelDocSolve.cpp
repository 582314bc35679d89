// Solving by dead-end filling, Clear and ReRender.
#include "maze/CVantrelDoc.h"

#include "maze/IMazeCellDrawer.h"
#include "maze/MazeTopology.h"

#include <bit>
#include <cstdint>

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
            if (!topo.Step(x, y, g, side, next))
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
            for (int y = 0; y < grid.height; ++y)
                for (int x = 0; x < grid.width; ++x)
                    changed |= WalkFrom(grid, x, y, g);
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

}  // namespace

void CVantrelDoc::OnSolve()
{
    BeginWaitCursor();
    for (int g = 0; g < m_nGrids; ++g)
        if (Object* grid = GetGrid(g))
            grid->BackupCells();

    IMazeCellDrawer* drawer = AnimationDrawer();
    SquareTopology flat;
    if (flat.Init(*this))
        Fill(*this, flat, drawer);
    else
        Fill(*this, GenericTopology{*this}, drawer);

    MarkChanged();
    for (int g = 0; g < m_nGrids; ++g)
        if (Object* grid = GetGrid(g))
            grid->RestoreCells();
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
