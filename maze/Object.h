#pragma once
// The maze grid of one template shape: a width x height array of cells (x + y * width), the shape's
// corner table, the move table that says which cell lies beyond each side, a backup copy of the cells
// that solving works against, and the growth-weight table. The view reads the public fields directly.
#include "maze/MazeCell.h"
#include "maze/MoveRecord.h"
#include "maze/ShapeVertex.h"
#include "platform/core/CObject.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>

class CVantrelDoc;

class Object : public CObject {
    DECLARE_SERIAL(Object)
public:
    // Grids larger than this many cells are refused.
    static constexpr std::int64_t kMaxCells = std::int64_t(1) << 28;

    explicit Object(const ShapeVertex* pShape = SQUARE_SHAPE);
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    ~Object() override = default;

    using CObject::Serialize;
    // Reads or writes the grid record of the document format version dVersion.
    virtual void Serialize(CArchive& ar, double dVersion);

    // Resizes the cell and backup arrays (all zero, then baseFlags) when the size differs; keeps them
    // when it is the same. Refuses sizes below 1 x 1 or above kMaxCells, and memory it cannot have,
    // returning FALSE with the grid unchanged.
    BOOL AllocCells(int nWidth, int nHeight);
    void SetCellShape(int nKind) { kind = nKind; }
    bool InBounds(int x, int y) const { return unsigned(x) < unsigned(width) && unsigned(y) < unsigned(height); }
    // No bounds test: callers test InBounds first.
    MazeCell& GetCell(int x, int y) { return cells[std::size_t(x) + std::size_t(y) * std::size_t(width)]; }
    const MazeCell& GetCell(int x, int y) const
    {
        return cells[std::size_t(x) + std::size_t(y) * std::size_t(width)];
    }
    std::int64_t GetCellCount() const { return std::int64_t(width) * height; }

    // Opens side d of cell (x, y); a frontier cell leaves the frontier: returns 1 then, else 0.
    int OpenPassage(int d, int x, int y, int g, CVantrelDoc* pDoc);
    // Closes side d of cell (x, y); the frontier is not consulted. Returns 0.
    int ClosePassage(int d, int x, int y, int g, CVantrelDoc* pDoc);
    // Open sides of the cell, plus one when there is at least one and the cell is a START or STOP. With
    // exactly one open side its number goes to nSide.
    int CountExits(int x, int y, int& nSide) const;
    // Adds a cell that is neither carved nor blocked to the document's frontier: returns 1 then, else 0.
    int TryAddFrontier(int x, int y, int g, CVantrelDoc* pDoc);

    void BackupCells();
    // Marks in the backup every working cell that still has a passage, then takes the backup back as
    // the cells. Returns the number of cells marked.
    int RestoreCells();

    // values: CENTER, N, NE, E, SE, S, SW, W, NW, RELATIVE.
    void BuildGrowthWeights(const int values[10]);
    static int InterpolateCompass(const int values[10], double angle);
    // Growth weights are built but never chosen: every grid answers no row.
    const int* GetWeightsRow(int nLastDir) const;
    // Corner k of a cell of size (w, h) placed at origin; the outs take the corner's wall angle and
    // its two further fractions.
    CPoint GetVertex(int k, CSize size, CPoint origin, double* pAngle = nullptr, double* pFx = nullptr,
                     double* pFy = nullptr) const;

    int relative = 0;
    int innerRingCells = 15;
    double innerRadius = 0.05;
    CString name;
    const ShapeVertex* shape;  // not owned: constant data
    int baseFlags = 0;
    int width = 0;
    int height = 0;
    int kind = 0;  // 1 polygon cells in rows and columns, 2 concentric rings
    int sides = 0;
    std::unique_ptr<int[]> weights;
    const MoveRecord* moves = nullptr;  // not owned: constant data
    std::unique_ptr<MazeCell[]> cells;
    std::unique_ptr<MazeCell[]> backup;
};
