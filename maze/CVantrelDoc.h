#pragma once
// The maze document: owns the grids, the growth frontier and the start points, and runs the maze
// commands (Make Maze, Solve, Clear, ReRender) and the cell operations the view's tools use.
#include "maze/FrontierArray.h"
#include "maze/MoveRecord.h"
#include "maze/Object.h"
#include "platform/CArray.h"
#include "platform/CDocument.h"
#include "platform/CRect.h"
#include "platform/CString.h"

class IMazeCellDrawer;

class CVantrelDoc : public CDocument {
    DECLARE_DYNCREATE(CVantrelDoc)
public:
    static constexpr int kMaxGrids = 8;

    CVantrelDoc();
    ~CVantrelDoc() override;

    // ---- Grid geometry -------------------------------------------------------------------------
    int GetCellWidth();
    int GetCellHeight();
    // Rebuilds the grid from the settings. A grid with no cells, a cell size of 0 or cells that cannot
    // be had are refused: no grid is left and m_strError says why. Returns whether a grid was built.
    BOOL CreateGrid();
    // The grid g, or null when there is none.
    Object* GetGrid(int g) const { return g >= 0 && g < m_nGrids ? m_pGrids[g] : nullptr; }

    // ---- Cells and neighbours ------------------------------------------------------------------
    // values[]: direction flags, MAX_CELL_SIDES + 1 ints: [d] = 1 when side d qualifies, [0] = how many.
    MoveRecord LookupMove(int x, int y, int g, int d) const;
    int GetNeighbour(int d, int x, int y, int g, int dx, int dy, int toGrid, int& nx, int& ny) const;
    BOOL IsCellFree(int x, int y, int g) const;
    BOOL SetCellState(int x, int y, int g, int flags);
    int CountCarvedNeighbours(int x, int y, int g, int values[]) const;

    // ---- Frontier and growth -------------------------------------------------------------------
    int AddFrontier(int x, int y, int g);
    int RemoveFrontier(int x, int y, int g);
    int AddFreeNeighbours(int x, int y, int g, int values[]);
    int CountFrontierNeighbours(int x, int y, int g, int values[]) const;
    int PickDirection(const int values[], const MoveRecord& move, const int* pWeights);
    void OnGenerateMaze();
    void GrowMaze();
    // The Draw Solution tool: joins cell (x, y) of grid g to the maze. FALSE when the cell is outside.
    BOOL CarveCell(int x, int y, int g);

    // ---- Solving, clearing, re-rendering -------------------------------------------------------
    void OnSolve();
    void OnClearMaze();
    // Clears and grows again from every start point without reseeding; 1 when there was a start point.
    int ReRender();

    // ---- Fields --------------------------------------------------------------------------------
    FrontierArray m_frontier;
    CString m_strStyle;
    CString m_strTilerID;
    CString m_strError;
    double m_dVersion = 0.0;
    int m_nType = 0;
    int m_nPlacedMarks = 0;
    int m_nCurGrid = 0;
    int m_nLastDir = -1;
    int m_nStartY = -1;
    int m_nStartX = -1;
    Object* m_pGrids[kMaxGrids] = {};
    int m_nGrids = 0;
    int m_nCellsY = 10;
    int m_nCellsX = 10;
    int m_nPageHeight = 9499;
    int m_nPageWidth = 7499;
    int m_nScale = 400;
    int m_nYSign = 1;
    int m_nXSign = 1;
    int m_nSeed = 0;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    int m_bGenerated = 0;
    int m_bTemplateOnly = 1;
    int m_bLoadTiler = 0;
    int m_nProb[10] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 0};
    int m_bErasedVisible = 0;
    int m_nExtraRowsPct = 0;
    int m_nExtraColsPct = 0;
    int m_nTopReserve = 250;
    int m_nCellWidth = 400;
    int m_nCellHeight = 400;
    int m_bFitToPage = 1;
    int* m_pRingCells = nullptr;  // owned: cells per ring of a ring grid, filled by the view
    int m_bAnimate = 0;
    CString m_strInstallPath;
    int m_bDirty = 0;
    int m_nPenWidth = 10;
    int m_bTiled = 0;
    int m_bPrinterDebug = 0;
    int m_bAutoCenter = 1;
    CArray<CPoint, CPoint> m_startPoints;

    // ---- Used by the growth and solving runs ---------------------------------------------------
    // Sides of grid g's cells, 0 when there is no such grid.
    int SidesOf(int g) const;
    // The first view's cell drawer, when animation is on and the first view is one; else null.
    IMazeCellDrawer* AnimationDrawer() const;
    // Draws a cell through the drawer (ring drawer when the current grid has ring cells), pass 1.
    void AnimateCell(IMazeCellDrawer* pDrawer, int x, int y, int g, bool bDelay) const;
    void MarkChanged() { m_bDirty = 1; }
    // Gives the frontier's position index the grids' current sizes.
    void SyncFrontierIndex();

private:
    void DeleteGrids();
    bool FindRandomStart();

    // First row for (grid, side, parity) of the move table last looked up in; rebuilt when the
    // current grid's table changes.
    mutable const MoveRecord* m_pMoveCacheTable = nullptr;
    mutable const MoveRecord* m_moveCache[kMaxGrids][MAX_CELL_SIDES + 1][2] = {};
};
