// The view's cell drawing, extents, hit testing and single-cell redraws.
#include "view/CVantrelView.h"

#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "view/DrawerDC.h"

#include <algorithm>
#include <vector>

namespace {
constexpr COLORREF kColourBlackened = 0x000000;
constexpr COLORREF kColourFrontier = 0x300000;
constexpr COLORREF kColourErased = 0x40D0D0;
constexpr COLORREF kColourDeadEnd = 0xA0A0A0;
constexpr COLORREF kColourHiddenStart = 0xC0FFC0;
constexpr COLORREF kColourStart = 0x00FF00;
constexpr COLORREF kColourHiddenStop = 0xC0C0FF;
constexpr COLORREF kColourStop = 0x0000FF;
constexpr COLORREF kColourSolution = 0xF08080;
constexpr COLORREF kColourRingSolution = 0xFF8080;
constexpr COLORREF kColourPlain = 0xFFFFFF;
constexpr COLORREF kColourHiddenWall = 0xC0C0C0;

// First and one-past-last candidate index along one axis for a logical coordinate: the cell the integer
// quotient names, the one before it, and the one beyond it (rounding between logical and device units
// can put a pixel's logical point just short of the cell whose outline holds it).
void CandidateRange(int nLogical, int nCellSize, int nCount, int& nFirst, int& nEnd)
{
    int q = nLogical / nCellSize;
    nFirst = std::max(0, q - 1);
    nEnd = std::min(q + 2, nCount);
}

// A cell whose walls the screen draws with the dotted pen of a hidden mark.
bool DrawsDotted(const MazeCell& cell)
{
    return (cell.flags & (CELL_START | CELL_STOP)) && (cell.flags & CELL_HIDDEN);
}
}  // namespace

COLORREF CVantrelView::CellFillColour(const MazeCell& cell, BOOL bErasedVisible, BOOL bTemplateOnly, bool bRing)
{
    WORD f = cell.flags;
    if (f & CELL_BLACKENED)
        return kColourBlackened;
    if (f & CELL_FRONTIER)
        return kColourFrontier;
    if ((f & CELL_ERASED) && bErasedVisible)
        return kColourErased;
    if (!bTemplateOnly && cell.passages == 0 && !(f & CELL_ERASED))
        return kColourDeadEnd;
    if (f & CELL_START)
        return (f & CELL_HIDDEN) ? kColourHiddenStart : kColourStart;
    if (f & CELL_STOP)
        return (f & CELL_HIDDEN) ? kColourHiddenStop : kColourStop;
    if (f & CELL_SOLUTION)
        return bRing ? kColourRingSolution : kColourSolution;
    return kColourPlain;
}

void CVantrelView::CacheCellSize()
{
    CVantrelDoc* pDoc = GetDocument();
    m_nCachedCellWidth = pDoc->GetCellWidth();
    m_nCachedCellHeight = pDoc->GetCellHeight();
}

int CVantrelView::BuildCellOutline(const Object& grid, int nColumn, int nRow)
{
    int n = grid.sides;
    CSize size(m_nCachedCellWidth, m_nCachedCellHeight);
    CPoint origin(nColumn * size.cx, nRow * size.cy);
    if (m_polygon.GetSize() < n + 1)
        m_polygon.SetSize(n + 1, 2);
    for (int k = 0; k <= n; ++k)
        m_polygon[k] = grid.GetVertex(k, size, origin);
    return n;
}

template <class Fn> void CVantrelView::ForEachCell(Fn fn)
{
    CVantrelDoc* pDoc = GetDocument();
    Object* pFirst = pDoc->GetGrid(0);
    bool bRings = pDoc->m_pRingCells && pFirst && pFirst->kind == 2;
    for (int y = 0; y < pDoc->m_nCellsY; ++y) {
        int nColumns = bRings ? pDoc->m_pRingCells[y] : pDoc->m_nCellsX;
        for (int x = 0; x < nColumns; ++x)
            for (int g = 0; g < pDoc->m_nGrids; ++g)
                fn(x, y, g);
    }
}

int CVantrelView::DrawMazeFills(CDC* pDC)
{
    ForEachCell([&](int x, int y, int g) {
        if (GetDocument()->GetGrid(g)->kind == 2)
            DrawCircularCell(pDC, x, y, g, DRAW_PASS_FILL);
        else
            DrawCell(pDC, x, y, g, DRAW_PASS_FILL);
    });
    return 1;
}

int CVantrelView::DrawMazeWalls(CDC* pDC)
{
    // Every polygon cell strokes its closed sides and draws nothing else: with the wall pen, or on
    // screen with the dotted pen of a hidden mark (paper leaves hidden marks and erased cells out).
    // Where everything drawn from one cell's stroke of a shared wall to the other's is drawn with the
    // wall pen, the pixels are the same whichever cell draws it: the cell drawn later leaves it out.
    CVantrelDoc* pDoc = GetDocument();
    bool bPolygonsOnly = true;
    for (int g = 0; g < pDoc->m_nGrids; ++g)
        if (const Object* pGrid = pDoc->GetGrid(g); pGrid && pGrid->kind == 2)
            bPolygonsOnly = false;
    struct WallsOnce {
        CVantrelView& view;
        ~WallsOnce()
        {
            view.m_bWallsOnce = false;
            view.m_sharedSides.clear();
            view.m_dottedRows.clear();
        }
    } once{*this};
    m_bWallsOnce = !pDC->IsPrinting() && bPolygonsOnly;
    if (m_bWallsOnce) {
        const CSize size(m_nCachedCellWidth, m_nCachedCellHeight);
        for (int g = 0; g < pDoc->m_nGrids; ++g) {
            const Object* pGrid = pDoc->GetGrid(g);
            if (!pGrid)
                continue;
            const int n = pGrid->sides;
            std::vector<CPoint> corner(size_t(n) + 1);
            for (int k = 0; k <= n; ++k)
                corner[size_t(k)] = pGrid->GetVertex(k, size, CPoint(0, 0));
            std::vector<SharedSide> shared(size_t(n) + 1);
            const CPoint before[2] = {CPoint(-size.cx, 0), CPoint(0, -size.cy)};
            for (int k = 1; k <= n; ++k)
                for (int b = 0; b < 2 && shared[size_t(k)].before < 0; ++b)
                    for (int j = 1; j <= n; ++j) {
                        const CPoint p = before[b] + corner[size_t(j) - 1], q = before[b] + corner[size_t(j)];
                        const CPoint a = corner[size_t(k) - 1], c = corner[size_t(k)];
                        if ((p == a && q == c) || (p == c && q == a)) {
                            shared[size_t(k)] = {b, j};
                            break;
                        }
                    }
            m_sharedSides.emplace_back(pGrid, std::move(shared));
            if (m_bScreen && pGrid->cells) {
                m_dottedRows.resize(std::max(m_dottedRows.size(), size_t(pGrid->height)));
                for (int y = 0; y < pGrid->height; ++y)
                    for (int x = 0; x < pGrid->width; ++x)
                        if (DrawsDotted(pGrid->GetCell(x, y)))
                            m_dottedRows[size_t(y)] = true;
            }
        }
    }
    ForEachCell([&](int x, int y, int g) {
        if (pDoc->GetGrid(g)->kind == 2)
            DrawCircularCell(pDC, x, y, g, DRAW_PASS_WALLS);
        else
            DrawCell(pDC, x, y, g, DRAW_PASS_WALLS);
    });
    return 1;
}

bool CVantrelView::WallDrawnBefore(const Object& grid, int x, int y, int k) const
{
    const auto dottedRow = [&](int row) { return size_t(row) < m_dottedRows.size() && m_dottedRows[size_t(row)]; };
    for (const auto& [pGrid, shared] : m_sharedSides) {
        if (pGrid != &grid)
            continue;
        const SharedSide side = k < int(shared.size()) ? shared[size_t(k)] : SharedSide{};
        const int bx = side.before == 0 ? x - 1 : x, by = side.before == 1 ? y - 1 : y;
        if (side.before < 0 || !grid.InBounds(bx, by))
            return false;
        // On screen a dotted wall may be drawn in between: the cell to the left is drawn just before
        // this one when there is one grid, the cell above a row before.
        const bool between = side.before == 1 ? dottedRow(by) || dottedRow(y)
                                              : GetDocument()->m_nGrids > 1 && dottedRow(y);
        if (m_bScreen && between)
            return false;
        // That cell stroked the side with the wall pen when it was drawn at all and has a passage.
        const MazeCell& cell = grid.GetCell(bx, by);
        const bool drawn = m_bScreen || !(cell.flags & (CELL_ERASED | CELL_HIDDEN));
        return drawn && !DrawsDotted(cell) && cell.passages && !cell.HasPassage(side.side);
    }
    return false;
}

void CVantrelView::DrawCell(CDC* pDC, int x, int y, int g, int pass)
{
    Object* pGrid = GetDocument()->GetGrid(g);
    if (!pGrid || !pGrid->InBounds(x, y))
        return;
    DrawerDC dc(*this, pDC);
    PaintPolygonCell(dc.get(), *pGrid, x, y, pass == 2 ? DRAW_PASS_CELL : pass);
}

void CVantrelView::PaintPolygonCell(CDC* pDC, const Object& grid, int x, int y, int pass)
{
    CVantrelDoc* pDoc = GetDocument();
    const MazeCell cell = grid.GetCell(x, y);
    const WORD flags = cell.flags;
    // On paper erased cells and hidden START/STOP marks leave no trace at all.
    if (!m_bScreen && (flags & (CELL_ERASED | CELL_HIDDEN)))
        return;
    if (pass == DRAW_PASS_FILL && (flags & CELL_ERASED) && !pDoc->m_bErasedVisible)
        return;

    const int n = BuildCellOutline(grid, x, y);
    const POINT* pts = m_polygon.GetData();
    if (!m_wallPen.GetSafeHandle())  // a cell drawn before the first full redraw
        m_wallPen.CreatePen(PS_SOLID, pDoc->m_nPenWidth, 0x000000);
    CPen* pOldPen = pDC->SelectObject(&m_wallPen);

    if (pass != DRAW_PASS_WALLS)
        PaintCellFill(pDC, cell, pts, n, n + 1, pass, false);

    if (pass != DRAW_PASS_FILL) {
        CPen dottedPen;
        const bool bDotted = SelectHiddenMarkPen(pDC, cell, dottedPen);
        if (cell.passages || bDotted) {
            for (int k = 1; k <= n; ++k)
                if (!cell.HasPassage(k) && !(m_bWallsOnce && !bDotted && WallDrawnBefore(grid, x, y, k)))
                    pDC->Polygon(pts + k - 1, 2);
        }
        pDC->SelectObject(&m_wallPen);
    }
    pDC->SelectObject(pOldPen);
}

void CVantrelView::PaintCellFill(CDC* pDC, const MazeCell& cell, const POINT* pts, int nFill, int nOutline, int pass,
                                 bool bRing)
{
    CVantrelDoc* pDoc = GetDocument();
    const WORD flags = cell.flags;
    const bool bOpen = (flags & CELL_ERASED) || cell.passages;
    const bool bFilled = pass == DRAW_PASS_CELL ||
                         (bOpen ? flags != 0 && (flags != CELL_SOLUTION || m_bShowSolution) : flags != 0);
    if (!bFilled) {
        // A plain template cell of a full redraw shows its outline only; an open one, nothing.
        if (!bOpen)
            pDC->Polyline(pts, nOutline);
    } else {
        CBrush brush;
        brush.CreateSolidBrush(CellFillColour(cell, pDoc->m_bErasedVisible, pDoc->m_bTemplateOnly, bRing));
        CBrush* pOldBrush = pDC->SelectObject(&brush);
        if (bOpen && pass == DRAW_PASS_CELL && pDoc->m_bErasedVisible) {
            // A white outline covers the walls the cell had before.
            CPen whitePen;
            whitePen.CreatePen(PS_SOLID, pDoc->m_nPenWidth, 0xFFFFFF);
            pDC->SelectObject(&whitePen);
            pDC->Polygon(pts, nFill);
            pDC->SelectObject(&m_wallPen);
        } else if (bOpen) {
            CRgn rgn;
            rgn.CreatePolygonRgn(pts, nFill, ALTERNATE);
            pDC->FillRgn(&rgn, &brush);
        } else {
            pDC->Polygon(pts, nFill);
        }
        pDC->SelectObject(pOldBrush);
    }
}

bool CVantrelView::SelectHiddenMarkPen(CDC* pDC, const MazeCell& cell, CPen& dottedPen)
{
    if (!DrawsDotted(cell) || pDC->IsPrinting())
        return false;
    dottedPen.CreatePen(PS_DOT, 0, kColourHiddenWall);
    pDC->SelectObject(&dottedPen);
    return true;
}

int CVantrelView::ComputeExtents(int)
{
    CVantrelDoc* pDoc = GetDocument();
    if (pDoc->m_nGrids == 0)
        return 0;
    if (pDoc->m_nType == 40) {
        m_vertexMax = CPoint(pDoc->m_nPageWidth, pDoc->m_nPageHeight);
        m_vertexMin = CPoint(0, 0);
        return 0;
    }
    // The measure runs in logical units with y downwards, so no device conversion is involved.
    CacheCellSize();
    const CSize step(m_nCachedCellWidth, -m_nCachedCellHeight);
    // A vertex is its cell's origin plus an offset of its own, and a centroid grows with the origin:
    // so the extremes over the grid are those of the first and last columns and rows, and the cells
    // between them need not be visited (the grid may have a quarter of a million of them).
    const auto ends = [](int count) {
        std::vector<int> at;
        if (count > 0)
            at.push_back(0);
        if (count > 1)
            at.push_back(count - 1);
        return at;
    };
    bool bFirstVertex = true, bFirstCentroid = true;
    for (int i : ends(pDoc->m_nCellsX)) {
        for (int j : ends(pDoc->m_nCellsY)) {
            for (int g = 0; g < pDoc->m_nGrids; ++g) {
                const Object& grid = *pDoc->GetGrid(g);
                const int n = grid.sides;
                if (n <= 0)
                    continue;
                const CPoint origin(i * step.cx, j * step.cy);
                double sumX = 0.0, sumY = 0.0;
                for (int k = 0; k < n; ++k) {
                    CPoint v = grid.GetVertex(k, step, origin);
                    if (bFirstVertex) {
                        m_vertexMax = m_vertexMin = v;
                        bFirstVertex = false;
                    }
                    m_vertexMax.x = std::max(m_vertexMax.x, v.x);
                    m_vertexMax.y = std::max(m_vertexMax.y, v.y);
                    m_vertexMin.x = std::min(m_vertexMin.x, v.x);
                    m_vertexMin.y = std::min(m_vertexMin.y, v.y);
                    sumX += v.x;
                    sumY += v.y;
                }
                const double cx = sumX / n, cy = sumY / n;
                if (bFirstCentroid) {
                    m_centroidMaxX = m_centroidMinX = cx;
                    m_centroidMaxY = m_centroidMinY = cy;
                    bFirstCentroid = false;
                }
                m_centroidMaxX = std::max(m_centroidMaxX, cx);
                m_centroidMaxY = std::max(m_centroidMaxY, cy);
                m_centroidMinX = std::min(m_centroidMinX, cx);
                m_centroidMinY = std::min(m_centroidMinY, cy);
            }
        }
    }
    return 1;
}

int CVantrelView::BuildCellPolygon(int nColumn, int nRow, int nGrid, CDC* pDC)
{
    const Object* pGrid = GetDocument()->GetGrid(nGrid);
    if (!pGrid)
        return 0;
    if (pGrid->kind == 1) {
        CacheCellSize();
        int n = BuildCellOutline(*pGrid, nColumn, nRow);
        if (pDC)
            pDC->LPtoDP(m_polygon.GetData(), n + 1);
    } else if (pGrid->kind == 2) {
        BuildRingPolygon(nColumn, nRow, pDC);
    }
    return pGrid->kind;
}

int CVantrelView::HitTestCell(CDC* pDC, int x, int y, CRgn* pRgn, int& nColumn, int& nRow, int& nGrid)
{
    CPoint p(x, y);
    p -= GetDeviceScrollPosition();
    CVantrelDoc* pDoc = GetDocument();
    if (pDoc->m_nGrids == 0)
        return 0;
    pRgn->DeleteObject();
    CPoint L = p;
    pDC->DPtoLP(&L);
    if (pDoc->m_nType == 40)
        return HitTestRingCell(pDC, p, L, pRgn, nColumn, nRow, nGrid);

    m_polygon.SetSize(16, 2);
    CacheCellSize();
    int firstColumn, endColumn, firstRow, endRow;
    CandidateRange(L.x, m_nCachedCellWidth, pDoc->m_nCellsX, firstColumn, endColumn);
    CandidateRange(L.y, m_nCachedCellHeight, pDoc->m_nCellsY, firstRow, endRow);
    for (int row = firstRow; row < endRow; ++row) {
        for (int column = firstColumn; column < endColumn; ++column) {
            for (int g = 0; g < pDoc->m_nGrids; ++g) {
                const Object* pGrid = pDoc->GetGrid(g);
                if (!pGrid->InBounds(column, row) || BuildCellPolygon(column, row, g, pDC) != 1)
                    continue;
                pRgn->CreatePolygonRgn(m_polygon.GetData(), pGrid->sides + 1, ALTERNATE);
                if (pRgn->PtInRegion(p)) {
                    nColumn = column;
                    nRow = row;
                    nGrid = g;
                    return 1;
                }
                pRgn->DeleteObject();
            }
        }
    }
    return 0;
}

int CVantrelView::RedrawCell(CDC* pDC, int nColumn, int nRow, int nGrid, int pass)
{
    CVantrelDoc* pDoc = GetDocument();
    const Object* pGrid = pDoc->GetGrid(nGrid);
    if (!pGrid || !pGrid->InBounds(nColumn, nRow))
        return 0;
    if (pGrid->kind == 2)
        DrawCircularCell(pDC, nColumn, nRow, nGrid, pass);
    else if (pDoc->m_bTiled)
        DrawTilerCell(pDC, nColumn, nRow, nGrid, pass);
    else
        DrawCell(pDC, nColumn, nRow, nGrid, pass);
    return 1;
}

int CVantrelView::RedrawCellAndNeighbours(CDC* pDC, int nColumn, int nRow, int nGrid, int pass)
{
    CVantrelDoc* pDoc = GetDocument();
    const Object* pGrid = pDoc->GetGrid(nGrid);
    if (!pGrid)
        return 1;
    for (int d = 1; d <= pGrid->sides; ++d) {
        MoveRecord move = pDoc->LookupMove(nColumn, nRow, nGrid, d);
        if (move.fromGrid == -1)
            continue;
        int nx = 0, ny = 0;
        if (pDoc->GetNeighbour(d, nColumn, nRow, nGrid, move.dx, move.dy, move.toGrid, nx, ny))
            RedrawCell(pDC, nx, ny, move.toGrid, pass);
    }
    return 1;
}
