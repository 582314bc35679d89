#include "maze/Object.h"

#include "maze/CVantrelDoc.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <new>

IMPLEMENT_SERIAL(Object, CObject, 11)

// Corner rows: x, y, wall angle, fx, fy, side.
const ShapeVertex SQUARE_SHAPE[5] = {
    {0, 0, 0, 0, 0, 1},
    {1, 0, 90, -1, 0, 2},
    {1, 1, 180, -1, -1, 3},
    {0, 1, 270, 0, -1, 4},
    {0, 0, 0, 0, 0, 0},
};

// fromGrid, dir, parity, toGrid, reverseDir, dx, dy.
const MoveRecord SQUARE_MOVES[5] = {
    {0, 1, 0, 0, 3, 0, -1},
    {0, 2, 0, 0, 4, 1, 0},
    {0, 3, 0, 0, 1, 0, 1},
    {0, 4, 0, 0, 2, -1, 0},
    {-1, 0, 0, 0, 0, 0, 0},
};

Object::Object(const ShapeVertex* pShape) : shape(pShape)
{
    // The first row after row 0 that returns to row 0's corner closes the shape; a malformed table is
    // cut at the most sides a passage word can hold.
    if (!shape)
        return;
    int n = 1;
    while (n <= MAX_CELL_SIDES && !(shape[n].x == shape[0].x && shape[n].y == shape[0].y))
        ++n;
    sides = n > MAX_CELL_SIDES ? MAX_CELL_SIDES : n;
}

BOOL Object::AllocCells(int nWidth, int nHeight)
{
    if (nWidth == width && nHeight == height && cells)
        return TRUE;
    std::int64_t count = std::int64_t(nWidth) * std::int64_t(nHeight);
    if (nWidth < 1 || nHeight < 1 || count > kMaxCells)
        return FALSE;
    std::unique_ptr<MazeCell[]> newCells(new (std::nothrow) MazeCell[std::size_t(count)]());
    std::unique_ptr<MazeCell[]> newBackup(new (std::nothrow) MazeCell[std::size_t(count)]());
    if (!newCells || !newBackup)
        return FALSE;
    for (std::int64_t i = 0; i < count; ++i)
        newCells[std::size_t(i)].flags = WORD(baseFlags);
    cells = std::move(newCells);
    backup = std::move(newBackup);
    width = nWidth;
    height = nHeight;
    return TRUE;
}

int Object::OpenPassage(int d, int x, int y, int g, CVantrelDoc* pDoc)
{
    MazeCell& cell = GetCell(x, y);
    cell.passages |= WORD(1u << (d - 1));
    if (!(cell.flags & CELL_FRONTIER))
        return 0;
    cell.flags &= WORD(~CELL_FRONTIER);
    if (pDoc)
        pDoc->RemoveFrontier(x, y, g);
    return 1;
}

int Object::ClosePassage(int d, int x, int y, int, CVantrelDoc*)
{
    GetCell(x, y).passages &= WORD(~(1u << (d - 1)));
    return 0;
}

int Object::CountExits(int x, int y, int& nSide) const
{
    const MazeCell& cell = GetCell(x, y);
    int n = cell.OpenSides();
    if (n == 1)
        nSide = std::countr_zero(unsigned(cell.passages)) + 1;
    if (n > 0 && (cell.flags & (CELL_START | CELL_STOP)))
        ++n;
    return n;
}

int Object::TryAddFrontier(int x, int y, int g, CVantrelDoc* pDoc)
{
    MazeCell& cell = GetCell(x, y);
    if (cell.passages || (cell.flags & CELL_BLOCKING_MASK))
        return 0;
    cell.flags |= CELL_FRONTIER;
    if (pDoc)
        pDoc->AddFrontier(x, y, g);
    return 1;
}

void Object::BackupCells()
{
    if (cells && backup)
        std::memcpy(backup.get(), cells.get(), std::size_t(GetCellCount()) * sizeof(MazeCell));
}

int Object::RestoreCells()
{
    if (!cells || !backup)
        return 0;
    // Row order here: the result does not depend on the order of the walk.
    int marked = 0;
    const std::size_t count = std::size_t(GetCellCount());
    MazeCell* __restrict work = cells.get();
    MazeCell* __restrict kept = backup.get();
    for (std::size_t i = 0; i < count; ++i) {
        const bool survives = work[i].passages != 0;
        kept[i].flags |= WORD(survives ? CELL_SOLUTION : 0);
        marked += survives;
        work[i] = kept[i];
    }
    return marked;
}

void Object::BuildGrowthWeights(const int values[10])
{
    relative = 0;
    weights.reset();
    if (sides <= 0 || !shape)
        return;
    weights.reset(new int[std::size_t(sides)]);
    for (int i = 0; i < sides; ++i)
        weights[std::size_t(i)] = InterpolateCompass(values, shape[i].angle);
}

int Object::InterpolateCompass(const int values[10], double angle)
{
    if (!std::isfinite(angle))
        return values[1];
    double a = std::fmod(angle, 360.0);
    if (a < 0)
        a += 360.0;
    if (a >= 360.0)
        a -= 360.0;
    int k = int(a / 45.0) + 1;
    if (k > 8)
        k = 8;
    double f = (a - 45.0 * (k - 1)) / 45.0;
    int next = k == 8 ? 1 : k + 1;
    return int(values[k] * (1.0 - f) + f * values[next]);
}

const int* Object::GetWeightsRow(int) const
{
    return nullptr;
}

CPoint Object::GetVertex(int k, CSize size, CPoint origin, double* pAngle, double* pFx, double* pFy) const
{
    const ShapeVertex& v = shape[k];
    if (pAngle)
        *pAngle = v.angle;
    if (pFx)
        *pFx = v.fx;
    if (pFy)
        *pFy = v.fy;
    return CPoint(origin.x + int(size.cx * v.x), origin.y + int(size.cy * v.y));
}

// The grid record of the document file (Object::Serialize) lives with the file format.
