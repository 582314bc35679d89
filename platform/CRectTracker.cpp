#include "platform/CRectTracker.h"

#include "platform/CDC.h"
#include "platform/CGdiObject.h"

#include <algorithm>
#include <cstdlib>

namespace {

CRectTracker::CursorPosHandler g_cursorPos = nullptr;
CRectTracker::CursorShapeHandler g_cursorShape = nullptr;

CRect Normalized(const CRect& r)
{
    CRect n = r;
    n.NormalizeRect();
    return n;
}

} // namespace

CRectTracker::CRectTracker() = default;

CRectTracker::CRectTracker(const RECT* lpSrcRect, UINT nStyle) : m_nStyle(nStyle)
{
    if (lpSrcRect)
        m_rect = *lpSrcRect;
}

void CRectTracker::SetCursorHandlers(CursorPosHandler pos, CursorShapeHandler shape)
{
    g_cursorPos = pos;
    g_cursorShape = shape;
}

int CRectTracker::GetHandleSize(const RECT* lpRect) const
{
    CRect r = Normalized(lpRect ? CRect(*lpRect) : m_rect);
    int size = m_nHandleSize;
    if (m_nStyle & resizeInside) {
        // Handles drawn inside a small rectangle shrink so that opposite handles do not overlap.
        int fit = std::min(r.Width(), r.Height()) / 2;
        size = std::min(size, std::max(fit, 0));
    }
    return std::max(size, 0);
}

UINT CRectTracker::GetHandleMask() const
{
    CRect r = Normalized(m_rect);
    int size = GetHandleSize();
    UINT mask = 0x0F;
    if (r.Width() > 3 * size)
        mask |= (1u << hitTop) | (1u << hitBottom);
    if (r.Height() > 3 * size)
        mask |= (1u << hitRight) | (1u << hitLeft);
    return mask;
}

void CRectTracker::GetTrueRect(RECT* lpTrueRect) const
{
    CRect r = Normalized(m_rect);
    if (m_nStyle & (resizeOutside | hatchedBorder)) {
        int size = GetHandleSize();
        r.InflateRect(size, size);
    }
    *lpTrueRect = r;
}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const
{
    CRect r = Normalized(m_rect);
    int size = GetHandleSize();
    // Corners and side midpoints; handles sit inside the rectangle or just outside it.
    bool outside = (m_nStyle & resizeOutside) != 0;
    int xl = outside ? r.left - size : r.left;
    int xr = outside ? r.right : r.right - size;
    int yt = outside ? r.top - size : r.top;
    int yb = outside ? r.bottom : r.bottom - size;
    int xm = r.left + (r.Width() - size) / 2;
    int ym = r.top + (r.Height() - size) / 2;
    int x = xl, y = yt;
    switch (nHandle) {
    case hitTopLeft: x = xl; y = yt; break;
    case hitTopRight: x = xr; y = yt; break;
    case hitBottomRight: x = xr; y = yb; break;
    case hitBottomLeft: x = xl; y = yb; break;
    case hitTop: x = xm; y = yt; break;
    case hitRight: x = xr; y = ym; break;
    case hitBottom: x = xm; y = yb; break;
    case hitLeft: x = xl; y = ym; break;
    default: break;
    }
    pHandleRect->SetRect(x, y, x + size, y + size);
}

int CRectTracker::HitTestHandles(CPoint point) const
{
    CRect trueRect;
    GetTrueRect(&trueRect);
    if (!trueRect.PtInRect(point))
        return hitNothing;
    if ((m_nStyle & (resizeInside | resizeOutside)) && GetHandleSize() > 0) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect h;
            GetHandleRect(i, &h);
            if (h.PtInRect(point))
                return i;
        }
    }
    return hitMiddle;
}

int CRectTracker::HitTest(CPoint point) const
{
    return HitTestHandles(point);
}

int CRectTracker::NormalizeHit(int nHandle) const
{
    if (nHandle < 0 || nHandle == hitMiddle)
        return nHandle;
    // Mirror the handle across the axes on which m_rect is inverted.
    static const int flipX[8] = {hitTopRight, hitTopLeft, hitBottomLeft, hitBottomRight,
                                 hitTop, hitLeft, hitBottom, hitRight};
    static const int flipY[8] = {hitBottomLeft, hitBottomRight, hitTopRight, hitTopLeft,
                                 hitBottom, hitRight, hitTop, hitLeft};
    if (m_rect.right < m_rect.left)
        nHandle = flipX[nHandle];
    if (m_rect.bottom < m_rect.top)
        nHandle = flipY[nHandle];
    return nHandle;
}

BOOL CRectTracker::SetCursor(CWnd* pWnd, UINT nHitTest) const
{
    if (nHitTest != HTCLIENT || !g_cursorPos)
        return FALSE;
    CPoint point;
    if (!g_cursorPos(pWnd, &point))
        return FALSE;
    int hit = HitTest(point);
    if (hit < 0)
        return FALSE;
    if (g_cursorShape)
        g_cursorShape(pWnd, hit);
    return TRUE;
}

void CRectTracker::DrawTrackerRect(const RECT*, CWnd*, CDC*, CWnd*) {}

void CRectTracker::AdjustRect(int, RECT*) {}

void CRectTracker::OnChangedRect(const CRect&) {}

namespace {

// Diagonal hatching over r, in the current clip region, with the selected pen.
void HatchRect(CDC* pDC, const CRect& r)
{
    const int step = 6;
    for (int k = -r.Height(); k < r.Width(); k += step) {
        pDC->MoveTo(r.left + k, r.bottom);
        pDC->LineTo(r.left + k + r.Height(), r.top);
    }
}

} // namespace

void CRectTracker::Draw(CDC* pDC) const
{
    if (!pDC)
        return;
    // The rectangle is in device units: draw with no mapping and no origins, then put them back.
    pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    pDC->SetWindowOrg(0, 0);

    const CRect r = Normalized(m_rect);
    CPen solid(PS_SOLID, 0, RGB(0, 0, 0));
    if (m_nStyle & (solidLine | dottedLine)) {
        CPen dotted(PS_DOT, 0, RGB(0, 0, 0));
        pDC->SelectObject((m_nStyle & dottedLine) ? &dotted : &solid);
        pDC->SelectStockObject(NULL_BRUSH);
        pDC->SetBkMode(OPAQUE);
        pDC->SetBkColor(RGB(255, 255, 255));
        pDC->Rectangle(r.left, r.top, r.right, r.bottom);
        pDC->SelectObject(&solid);
    }
    pDC->SelectObject(&solid);
    if (m_nStyle & hatchInside) {
        pDC->SaveDC();
        pDC->IntersectClipRect(r.left, r.top, r.right, r.bottom);
        HatchRect(pDC, r);
        pDC->RestoreDC(-1);
    }
    if (m_nStyle & hatchedBorder) {
        CRect outer;
        GetTrueRect(&outer);
        pDC->SaveDC();
        pDC->IntersectClipRect(outer.left, outer.top, outer.right, outer.bottom);
        pDC->ExcludeClipRect(r.left, r.top, r.right, r.bottom);
        HatchRect(pDC, outer);
        pDC->RestoreDC(-1);
    }
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect h;
            GetHandleRect(i, &h);
            pDC->PatBlt(h.left, h.top, h.Width(), h.Height(), DSTINVERT);
        }
    }
    pDC->RestoreDC(-1);
}
