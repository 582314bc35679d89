#pragma once
// How growth and solving step from a cell to the cell beyond one of its sides. GenericTopology asks the
// document (move table, ring geometry, every grid); FlatTopology serves the common case of one polygon
// grid whose every side leads back into the same grid, with the steps precomputed. Both give the same
// cell for every step; the algorithms are written once over either.
#include "maze/CVantrelDoc.h"

#include <cstddef>

struct MazeStep {
    int x;
    int y;
    int g;
    int reverseDir;
    MazeCell* cell;
};

struct GenericTopology {
    static constexpr bool kFlat = false;
    static constexpr int kSideCount = 0;

    const CVantrelDoc& doc;

    int Sides(int g) const { return doc.SidesOf(g); }
    MazeCell* CellAt(int x, int y, int g) const
    {
        Object* grid = doc.GetGrid(g);
        return grid && grid->cells && grid->InBounds(x, y) ? &grid->GetCell(x, y) : nullptr;
    }
    // The cell beyond side d when there is one inside its grid.
    bool Step(int x, int y, int g, int d, MazeStep& out) const
    {
        MoveRecord row = doc.LookupMove(x, y, g, d);
        if (row.fromGrid == -1)
            return false;
        int nx = 0, ny = 0;
        if (!doc.GetNeighbour(d, x, y, g, row.dx, row.dy, row.toGrid, nx, ny))
            return false;
        MazeCell* cell = CellAt(nx, ny, row.toGrid);
        if (!cell)
            return false;
        out = {nx, ny, row.toGrid, row.reverseDir, cell};
        return true;
    }
    bool StepFrom(MazeCell*, int x, int y, int g, int d, MazeStep& out) const { return Step(x, y, g, d, out); }
};

// kSides: the number of sides every cell has, fixed so that the loops over them unroll.
template <int kSides>
struct FlatTopology {
    static constexpr bool kFlat = true;
    static constexpr int kSideCount = kSides;

    MazeCell* cells = nullptr;
    int width = 0;
    int height = 0;
    int dx[kSides + 1] = {};
    int dy[kSides + 1] = {};
    int reverse[kSides + 1] = {};
    std::ptrdiff_t offset[kSides + 1] = {};  // dx + dy * width
    // Every step moves at most one cell across and down, so a cell off the border has all its
    // neighbours inside the grid.
    bool unitSteps = true;

    // Whether the document's grids allow the flat stepping: one grid of polygon cells with kSides
    // sides, no ring parities, and a move row into grid 0 for every side of grid 0.
    bool Init(const CVantrelDoc& doc)
    {
        Object* grid = doc.GetGrid(0);
        if (doc.m_nGrids != 1 || doc.m_nCurGrid != 0 || doc.m_nType == 40 || !grid || !grid->cells ||
            grid->kind != 1 || grid->sides != kSides)
            return false;
        for (int d = 1; d <= kSides; ++d) {
            MoveRecord row = doc.LookupMove(0, 0, 0, d);
            if (row.fromGrid != 0 || row.toGrid != 0)
                return false;
            dx[d] = row.dx;
            dy[d] = row.dy;
            reverse[d] = row.reverseDir;
            offset[d] = std::ptrdiff_t(row.dx) + std::ptrdiff_t(row.dy) * grid->width;
            unitSteps = unitSteps && row.dx >= -1 && row.dx <= 1 && row.dy >= -1 && row.dy <= 1;
        }
        cells = grid->cells.get();
        width = grid->width;
        height = grid->height;
        return true;
    }

    static constexpr int Sides(int) { return kSides; }
    bool Interior(int x, int y) const
    {
        return unitSteps && x >= 1 && y >= 1 && x < width - 1 && y < height - 1;
    }
    MazeCell* CellAt(int x, int y, int g) const
    {
        if (g != 0 || unsigned(x) >= unsigned(width) || unsigned(y) >= unsigned(height))
            return nullptr;
        return cells + std::size_t(x) + std::size_t(y) * std::size_t(width);
    }
    bool Step(int x, int y, int, int d, MazeStep& out) const
    {
        if (d < 1 || d > kSides)
            return false;
        int nx = x + dx[d], ny = y + dy[d];
        if (unsigned(nx) >= unsigned(width) || unsigned(ny) >= unsigned(height))
            return false;
        out = {nx, ny, 0, reverse[d], cells + std::size_t(nx) + std::size_t(ny) * std::size_t(width)};
        return true;
    }
    // Step from cell (x, y), given as cell; off the border without any test.
    bool StepFrom(MazeCell* cell, int x, int y, int g, int d, MazeStep& out) const
    {
        if (d >= 1 && d <= kSides && Interior(x, y)) {
            out = {x + dx[d], y + dy[d], 0, reverse[d], cell + offset[d]};
            return true;
        }
        return Step(x, y, g, d, out);
    }
};

// The square grid's flat stepping.
using SquareTopology = FlatTopology<4>;
