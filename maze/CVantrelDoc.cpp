#include "maze/CVantrelDoc.h"

#include "maze/IMazeCellDrawer.h"
#include "maze/RingGrid.h"
#include "platform/core/CView.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Random.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <ctime>
#include <thread>

IMPLEMENT_DYNCREATE(CVantrelDoc, CDocument)

CVantrelDoc::CVantrelDoc() : m_nSeed(int(std::time(nullptr)))
{
    LoadSettings();
    VantrelSrand(unsigned(m_nSeed));
}

CVantrelDoc::CVantrelDoc(ForLoading) {}

CVantrelDoc::~CVantrelDoc()
{
    DeleteGrids();
}

void CVantrelDoc::DeleteGrids()
{
    for (Object*& grid : m_pGrids) {
        delete grid;
        grid = nullptr;
    }
    m_nGrids = 0;
    delete[] m_pRingCells;
    m_pRingCells = nullptr;
}

// ---- Grid geometry -----------------------------------------------------------------------------

namespace {
// Truncates towards zero into an int; values that do not fit (or a zero divisor) keep the old size.
int FitCells(double length, double count, int old)
{
    if (!(count > 0.0))
        return old;
    double v = std::trunc(length / count);
    return v >= 0.0 && v <= double(INT_MAX) ? int(v) : old;
}
}

int CVantrelDoc::GetCellWidth()
{
    if (m_bFitToPage)
        m_nCellWidth = FitCells(m_nPageWidth, m_nCellsX + m_nExtraColsPct / 100.0, m_nCellWidth);
    else
        m_nCellWidth = m_nScale;
    return m_nXSign * m_nCellWidth;
}

int CVantrelDoc::GetCellHeight()
{
    if (m_bFitToPage)
        m_nCellHeight =
            FitCells(double(m_nPageHeight) - m_nTopReserve, m_nCellsY + m_nExtraRowsPct / 100.0, m_nCellHeight);
    else
        m_nCellHeight = m_nScale;
    return -m_nYSign * m_nCellHeight;
}

BOOL CVantrelDoc::CreateGrid()
{
    int w = GetCellWidth();
    int h = GetCellHeight();
    m_nCurGrid = 0;
    DeleteGrids();
    m_startPoints.RemoveAll();
    m_frontier.RemoveAll();

    if (CountObjectsToAskAbout() > 0 &&
        AfxMessageBox("Do you want to delete all TEXT/OBJECT layers?", MB_YESNO | MB_ICONWARNING) == IDYES) {
        m_objects.RemoveAll();
        if (m_pLoadTarget)
            m_bDropTargetObjects = TRUE;
    }

    if (m_nType == 0) {
        m_nExtraRowsPct = m_nExtraColsPct = 5;
        if (!m_bFitToPage) {
            if (w == 0 || h == 0) {
                m_strError = "ERROR: The cell size must be at least 1 when cells are not fitted to the page.";
                SyncFrontierIndex();
                UpdateAllViews(nullptr);
                return FALSE;
            }
            int colsFit = m_nPageWidth / w;
            int rowsFit = (m_nTopReserve - m_nPageHeight) / h;
            if (m_nCellsX == 0 || m_nCellsX > colsFit)
                m_nCellsX = colsFit;
            if (m_nCellsY == 0 || m_nCellsY > rowsFit)
                m_nCellsY = rowsFit;
        }
        if (m_nCellsX < 1 || m_nCellsY < 1) {
            m_strError = "ERROR: A maze needs at least one row and one column.";
        } else {
            auto* grid = new Object(SQUARE_SHAPE);
            grid->moves = SQUARE_MOVES;
            grid->SetCellShape(1);
            if (grid->AllocCells(m_nCellsX, m_nCellsY)) {
                m_pGrids[0] = grid;
                m_nGrids = 1;
            } else {
                delete grid;
                m_strError.Format("ERROR: A maze of %d x %d cells is too large.", m_nCellsX, m_nCellsY);
            }
        }
    } else if (m_nType == RING_TEMPLATE_TYPE) {
        // The view sizes the cells from the page the first time it lays the rings out.
        m_nExtraRowsPct = m_nExtraColsPct = 5;
        m_pGrids[0] = CreateRingGrid();
        m_nGrids = 1;
    }

    for (int g = 0; g < m_nGrids; ++g)
        m_pGrids[g]->BuildGrowthWeights(m_nProb);
    SyncFrontierIndex();
    if (GetVantrelDocShell().hideInfoPane)
        GetVantrelDocShell().hideInfoPane();
    UpdateAllViews(nullptr);
    return m_nGrids > 0;
}

void CVantrelDoc::SyncFrontierIndex()
{
    for (int g = 0; g < kMaxGrids; ++g) {
        Object* grid = GetGrid(g);
        if (grid && grid->cells)
            m_frontier.SetGridSize(g, grid->width, grid->height);
        else
            m_frontier.SetGridSize(g, 0, 0);
    }
}

int CVantrelDoc::SidesOf(int g) const
{
    Object* grid = GetGrid(g);
    if (!grid)
        return 0;
    return grid->sides < 0 ? 0 : grid->sides > MAX_CELL_SIDES ? MAX_CELL_SIDES : grid->sides;
}

// ---- Cells and neighbours ----------------------------------------------------------------------

MoveRecord CVantrelDoc::LookupMove(int x, int y, int g, int d) const
{
    Object* current = GetGrid(m_nCurGrid);
    const MoveRecord* table = current ? current->moves : nullptr;
    if (!table)
        return NO_MOVE;

    int parity = 0;
    if (m_nType == 40 && d == 2 && y > 0 && m_pRingCells && y < m_nCellsY &&
        m_pRingCells[y] > m_pRingCells[y - 1])
        parity = 1 - (x % 2);

    // Tables are constant data, so the first row for each (grid, side, parity) can be kept.
    if (m_pMoveCacheTable != table) {
        for (auto& sidesOfGrid : m_moveCache)
            for (auto& rows : sidesOfGrid)
                rows[0] = rows[1] = nullptr;
        constexpr int kMaxRows = 4096;
        for (int i = 0; i < kMaxRows && table[i].fromGrid != -1; ++i) {
            const MoveRecord& row = table[i];
            if (row.fromGrid >= 0 && row.fromGrid < kMaxGrids && row.dir >= 1 && row.dir <= MAX_CELL_SIDES &&
                (row.parity == 0 || row.parity == 1) && !m_moveCache[row.fromGrid][row.dir][row.parity])
                m_moveCache[row.fromGrid][row.dir][row.parity] = &row;
        }
        m_pMoveCacheTable = table;
    }
    if (g < 0 || g >= kMaxGrids || d < 1 || d > MAX_CELL_SIDES || (parity != 0 && parity != 1))
        return NO_MOVE;
    const MoveRecord* row = m_moveCache[g][d][parity];
    return row ? *row : NO_MOVE;
}

int CVantrelDoc::GetNeighbour(int d, int x, int y, int g, int dx, int dy, int, int& nx, int& ny) const
{
    Object* grid = GetGrid(g);
    if (!grid)
        return 0;
    if (grid->kind == 1) {
        nx = x + dx;
        ny = y + dy;
        return 1;
    }
    if (grid->kind != 2 || !m_pRingCells)
        return 0;

    // Rings are rows, ring 0 innermost; positions around a ring wrap.
    const int rings = std::min(m_nCellsY, grid->height);
    if (y < 0 || y >= rings)
        return 0;
    nx = x;
    ny = y;
    int target = y + dy;
    int maxSide = 0;
    if (target >= 0 && target < rings)
        maxSide = (y + 1 < rings && m_pRingCells[y + 1] > m_pRingCells[y]) ? 5 : 4;
    if (d > maxSide || m_pRingCells[y] <= 0 || m_pRingCells[target] <= 0)
        return 0;
    double ratio = double(m_pRingCells[target]) / double(m_pRingCells[y]);
    if (ratio > 1 && d > 3)
        nx = int(ratio * x) - d + 5;
    else if (ratio < 1 && d == 2)
        nx = int(ratio * x);
    ny = target;
    nx += dx;
    if (nx < 0)
        nx = m_pRingCells[ny] - 1;
    else if (nx >= m_pRingCells[ny])
        nx = 0;
    return 1;
}

BOOL CVantrelDoc::IsCellFree(int x, int y, int g) const
{
    Object* grid = GetGrid(g);
    if (!grid || !grid->cells || !grid->InBounds(x, y))
        return FALSE;
    const MazeCell& cell = grid->GetCell(x, y);
    return cell.passages == 0 && !(cell.flags & CELL_BLOCKING_MASK);
}

BOOL CVantrelDoc::SetCellState(int x, int y, int g, int flags)
{
    Object* grid = GetGrid(g);
    if (!grid || !grid->cells || !grid->InBounds(x, y))
        return FALSE;
    grid->GetCell(x, y).flags = WORD(flags);
    MarkChanged();
    return TRUE;
}

// ---- Animation ---------------------------------------------------------------------------------

IMazeCellDrawer* CVantrelDoc::AnimationDrawer() const
{
    if (!m_bAnimate || m_viewList.empty())
        return nullptr;
    return dynamic_cast<IMazeCellDrawer*>(m_viewList.front());
}

void CVantrelDoc::AnimateCell(IMazeCellDrawer* pDrawer, int x, int y, int g, bool bDelay) const
{
    if (!pDrawer)
        return;
    Object* current = GetGrid(m_nCurGrid);
    if (current && current->kind == 2)
        pDrawer->DrawCircularCell(nullptr, x, y, g, 1);
    else
        pDrawer->DrawCell(nullptr, x, y, g, 1);
    // The animation delay is 0 ms: give up the rest of the time slice.
    if (bDelay)
        std::this_thread::sleep_for(std::chrono::milliseconds(0));
}
