// Ring grids: the disc that the page holds (centre, radii, ring width, cells per ring), the radial-line
// and arc primitives in their drawing and point-collecting modes, the ring cell drawer and the ring hit
// test. Angles are degrees, 0 pointing up, growing clockwise.
#include "view/CVantrelView.h"

#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "view/DrawerDC.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {
// The ring geometry's own value of pi and of a full turn in radians.
constexpr double kPi = 3.1415926535898;
constexpr double kTwoPi = 6.2831853071796;
constexpr int RING_SEGMENTS = 10;
constexpr COLORREF kHiddenWallColour = 0xC0C0C0;
}  // namespace

CPoint CVantrelView::RingPoint(int cx, int cy, double t, double r)
{
    const double radians = t / 360.0 * 2.0 * kPi;
    return CPoint(cx + int(std::sin(radians) * r), cy + int(std::cos(radians) * r));
}

int CVantrelView::ComputeCircularGeometry()
{
    CVantrelDoc* pDoc = GetDocument();
    Object* pGrid = pDoc->GetGrid(0);
    if (!pGrid)
        return 1;

    int cx = m_extent.cx / 2;
    int cy = (m_extent.cy + m_nFooterHeight) / 2;
    // The disc touches the page's left and top edges and fits above the footer band.
    if (-cy >= cx)
        cy = -cx;
    else
        cx = -cy;
    m_ringCentre = CPoint(cx, cy);
    m_nOuterRadius = int(cx * 0.99);

    // A grid without inner cells or hole would divide by zero: it lays out no rings.
    m_nInnerCells = pGrid->innerRingCells;
    m_dInnerRadius = m_nOuterRadius * pGrid->innerRadius;
    if (m_nInnerCells < 1 || !(m_dInnerRadius > 0.0)) {
        m_dInnerStep = 0.0;
        m_dRingWidth = 0.0;
        return 1;
    }
    m_dInnerStep = 360.0 / m_nInnerCells;
    m_dRingWidth = m_dInnerRadius * kTwoPi / m_nInnerCells;

    if (pDoc->m_pRingCells)
        return 1;  // the ring table is computed once per document

    // Every ring holds at least the inner ring's cells: more rings than the cell array can have are
    // refused before anything is allocated.
    const double ringCount = (m_nOuterRadius - m_dInnerRadius) / m_dRingWidth;
    if (!(ringCount >= 1.0) || ringCount * m_nInnerCells > double(Object::kMaxCells))
        return 1;
    const int rings = int(ringCount);
    std::vector<int> ringCells;
    ringCells.reserve(std::size_t(rings));
    std::int64_t multiplier = 1;
    for (int i = 0; i < rings; ++i) {
        // One cell's inner edge at the current multiplier; twice the ring width or more doubles it.
        const double arc = (i * m_dRingWidth + m_dInnerRadius) * kTwoPi * m_dInnerStep / 360.0 / double(multiplier);
        if (2.0 * m_dRingWidth <= arc)
            multiplier *= 2;
        const std::int64_t cells = multiplier * m_nInnerCells;
        if (cells > INT_MAX || cells * rings > Object::kMaxCells)
            return 1;
        ringCells.push_back(int(cells));
    }
    const int columns = ringCells.back();
    if (!pGrid->AllocCells(columns, rings))
        return 1;  // too many cells: the grid stays as it was and no ring table is kept

    pDoc->m_pRingCells = new int[std::size_t(rings)];
    std::copy(ringCells.begin(), ringCells.end(), pDoc->m_pRingCells);
    pDoc->m_nCellsY = rings;
    pDoc->m_nCellsX = columns;
    // Array cells beyond a ring's count lie outside the ring.
    for (int i = 0; i < rings; ++i)
        for (int x = ringCells[std::size_t(i)]; x < columns; ++x)
            pGrid->GetCell(x, i).flags = CELL_ERASED;
    pDoc->SyncFrontierIndex();
    return 1;
}

// Marks point p with a two-point polygon about a quarter of a device pixel long.
static void MarkPoint(CDC* pDC, CPoint p)
{
    POINT marks[2] = {p, p};
    pDC->LPtoDP(marks, 2);
    marks[1].x += 1;
    pDC->DPtoLP(marks, 2);
    marks[1].x = marks[1].x / 4 + (3 * marks[0].x) / 4;
    pDC->Polygon(marks, 2);
}

int CVantrelView::DrawRadialLine(CDC* pDC, int cx, int cy, double t, double r1, double r2, int mode)
{
    const CPoint p1 = RingPoint(cx, cy, t, r1), p2 = RingPoint(cx, cy, t, r2);
    switch (mode) {
    case 1:
        m_polygon.Add(p1);
        m_polygon.Add(p2);
        break;
    case -1:
        m_polygon.Add(p2);
        m_polygon.Add(p1);
        break;
    case 0:
        pDC->MoveTo(p1);
        MarkPoint(pDC, p1);
        pDC->LineTo(p2);
        break;
    default:
        break;
    }
    return 1;
}

int CVantrelView::DrawArc(CDC* pDC, int cx, int cy, double r, double s, double e, int mode)
{
    const CPoint start = RingPoint(cx, cy, s, r), middle = RingPoint(cx, cy, (s + e) / 2, r),
                 end = RingPoint(cx, cy, e, r);
    auto fine = [&](int i) { return RingPoint(cx, cy, i * e / RING_SEGMENTS + (RING_SEGMENTS - i) * s / RING_SEGMENTS, r); };
    switch (mode) {
    case 1:
        m_polygon.Add(start);
        m_polygon.Add(middle);
        m_polygon.Add(end);
        break;
    case -1:
        m_polygon.Add(end);
        m_polygon.Add(middle);
        m_polygon.Add(start);
        break;
    case 2:
        for (int i = 0; i <= RING_SEGMENTS; ++i)
            m_polygon.Add(fine(i));
        break;
    case -2:
        for (int i = 0; i <= RING_SEGMENTS; ++i)
            m_polygon.Add(fine(RING_SEGMENTS - i));
        break;
    case 0:
        pDC->MoveTo(start);
        MarkPoint(pDC, start);
        for (int i = 0; i < RING_SEGMENTS; ++i)
            pDC->LineTo(fine(i));
        pDC->LineTo(end);
        break;
    default:
        break;
    }
    return 1;
}

bool CVantrelView::RingCellBounds(int x, int y, double& a, double& step, double& r, double& R) const
{
    const CVantrelDoc* pDoc = GetDocument();
    if (!pDoc->m_pRingCells || y < 0 || y >= pDoc->m_nCellsY || x < 0 || x >= pDoc->m_pRingCells[y] ||
        !(m_dRingWidth > 0.0))
        return false;
    step = 360.0 / pDoc->m_pRingCells[y];
    a = x * step;
    r = y * m_dRingWidth + m_dInnerRadius;
    R = r + m_dRingWidth;
    return true;
}

void CVantrelView::DrawCircularCell(CDC* pDC, int x, int y, int g, int pass)
{
    CVantrelDoc* pDoc = GetDocument();
    Object* pGrid = pDoc->GetGrid(g);
    double a = 0, step = 0, r = 0, R = 0;
    if (!pGrid || !pGrid->InBounds(x, y) || !RingCellBounds(x, y, a, step, r, R))
        return;
    if (pass == 2)
        pass = DRAW_PASS_CELL;
    const MazeCell cell = pGrid->GetCell(x, y);
    if (!m_bScreen && (cell.flags & (CELL_ERASED | CELL_HIDDEN)))
        return;
    if (pass == DRAW_PASS_FILL && (cell.flags & CELL_ERASED) && !pDoc->m_bErasedVisible)
        return;

    DrawerDC dc(*this, pDC);
    CDC* pTarget = dc.get();
    const int cx = m_ringCentre.x, cy = m_ringCentre.y;
    m_polygon.SetSize(0, 2);
    DrawArc(pTarget, cx, cy, r, a, a + step, -2);
    DrawRadialLine(pTarget, cx, cy, a, r, R, 1);
    DrawArc(pTarget, cx, cy, R, a, a + step, 2);
    DrawRadialLine(pTarget, cx, cy, a + step, r, R, -1);
    const int nPoints = int(m_polygon.GetSize());

    if (!m_wallPen.GetSafeHandle())
        m_wallPen.CreatePen(PS_SOLID, pDoc->m_nPenWidth, 0x000000);
    CPen* pOldPen = pTarget->SelectObject(&m_wallPen);
    if (pass != DRAW_PASS_WALLS)
        PaintCellFill(pTarget, cell, m_polygon.GetData(), nPoints, nPoints, pass, true);

    if (pass != DRAW_PASS_FILL) {
        CPen dottedPen;
        const bool bDotted = SelectHiddenMarkPen(pTarget, cell, dottedPen);
        if (cell.passages || bDotted) {
            const bool bDoubles =
                y + 1 < pDoc->m_nCellsY && pDoc->m_pRingCells[y + 1] > pDoc->m_pRingCells[y];
            const int sides = bDoubles ? 5 : 4;
            for (int d = 1; d <= sides; ++d) {
                if (cell.HasPassage(d))
                    continue;
                switch (d) {
                case 1: DrawRadialLine(pTarget, cx, cy, a, r, R, 0); break;
                case 2: DrawArc(pTarget, cx, cy, r, a, a + step, 0); break;
                case 3: DrawRadialLine(pTarget, cx, cy, a + step, r, R, 0); break;
                case 4: DrawArc(pTarget, cx, cy, R, bDoubles ? a + step / 2 : a, a + step, 0); break;
                case 5: DrawArc(pTarget, cx, cy, R, a, a + step / 2, 0); break;
                }
            }
        }
        pTarget->SelectObject(&m_wallPen);
    }
    pTarget->SelectObject(pOldPen);
}

void CVantrelView::BuildRingPolygon(int x, int y, CDC* pDC)
{
    ComputeCircularGeometry();
    m_polygon.SetSize(0, 2);
    double a = 0, step = 0, r = 0, R = 0;
    if (!RingCellBounds(x, y, a, step, r, R))
        return;
    const int cx = m_ringCentre.x, cy = m_ringCentre.y;
    DrawArc(pDC, cx, cy, r, a, a + step, -1);
    DrawRadialLine(pDC, cx, cy, a, r, R, 1);
    DrawArc(pDC, cx, cy, R, a, a + step, 1);
    DrawRadialLine(pDC, cx, cy, a + step, r, R, -1);
    if (pDC)
        pDC->LPtoDP(m_polygon.GetData(), int(m_polygon.GetSize()));
}

int CVantrelView::HitTestRingCell(CDC* pDC, CPoint p, CPoint L, CRgn* pRgn, int& nColumn, int& nRow, int& nGrid)
{
    CVantrelDoc* pDoc = GetDocument();
    ComputeCircularGeometry();
    if (!pDoc->m_pRingCells || !(m_dRingWidth > 0.0))
        return 0;
    const double dx = double(L.x) - m_ringCentre.x, dy = double(L.y) - m_ringCentre.y;
    double angle = 90.0 - std::atan2(dy, dx) * 180.0 / kPi;
    if (angle < 0)
        angle += 360.0;
    const double d = std::sqrt(dx * dx + dy * dy);
    int first = pDoc->m_nCellsY;
    if (!(d < m_dInnerRadius || d > m_dInnerRadius + pDoc->m_nCellsY * m_dRingWidth))
        first = int((d - m_dInnerRadius) / m_dRingWidth);
    for (int ring = first; ring < pDoc->m_nCellsY; ++ring) {
        const int count = pDoc->m_pRingCells[ring];
        const int column = std::min(int(count * angle / 360.0), count - 1);
        // The column the angle names, then its neighbours around the ring: a point on a shared radial
        // edge may fall outside the named cell's outline after rounding to device pixels.
        for (int k : {0, -1, 1}) {
            const int c = (column + k + count) % count;
            for (int g = 0; g < pDoc->m_nGrids; ++g) {
                const Object* pGrid = pDoc->GetGrid(g);
                if (!pGrid->InBounds(c, ring) || BuildCellPolygon(c, ring, g, pDC) != 2 || m_polygon.GetSize() < 3)
                    continue;
                pRgn->CreatePolygonRgn(m_polygon.GetData(), int(m_polygon.GetSize()), ALTERNATE);
                if (pRgn->PtInRegion(p)) {
                    nColumn = c;
                    nRow = ring;
                    nGrid = g;
                    return 1;
                }
                pRgn->DeleteObject();
            }
        }
    }
    return 0;
}
