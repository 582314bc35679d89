#include "platform/gdi/CRectTracker.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"

#include <algorithm>
#include <cstdlib>

namespace {

CRectTracker::CursorPosHandler g_cursorPos = nullptr;
CRectTracker::CursorShapeHandler g_cursorShape = nullptr;
CRectTracker::TrackLoop g_trackLoop = nullptr;

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

void CRectTracker::SetTrackLoop(TrackLoop loop) { g_trackLoop = loop; }

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    const int nHandle = HitTest(point);
    if (nHandle < 0)
        return FALSE;
    m_bAllowInvert = bAllowInvert;
    return TrackHandle(nHandle, pWnd, point, pWndClipTo);
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert)
{
    m_bAllowInvert = bAllowInvert;
    m_rect.SetRect(point.x, point.y, point.x, point.y);
    return TrackHandle(hitBottomRight, pWnd, point, nullptr);
}

namespace {

// Keeps a moved edge at least nMin away from the fixed one, on the side it lies on now.
void KeepMinimum(LONG& moved, LONG fixed, int nMin)
{
    if (nMin <= 0 || std::abs(moved - fixed) >= nMin)
        return;
    moved = moved < fixed ? fixed - nMin : fixed + nMin;
}

} // namespace

BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo)
{
    const CRect rectSave = m_rect;
    if (!g_trackLoop)
        return FALSE;
    // The edges that follow the pointer; the middle moves the whole rectangle.
    const bool all = nHandle == hitMiddle;
    const bool moveLeft = all || nHandle == hitTopLeft || nHandle == hitBottomLeft || nHandle == hitLeft;
    const bool moveRight = all || nHandle == hitTopRight || nHandle == hitBottomRight || nHandle == hitRight;
    const bool moveTop = all || nHandle == hitTopLeft || nHandle == hitTopRight || nHandle == hitTop;
    const bool moveBottom = all || nHandle == hitBottomLeft || nHandle == hitBottomRight || nHandle == hitBottom;

    CRect drawn;
    bool bDrawn = false;
    auto erase = [&](CDC* pDC) {
        // The frame inverts what lies under it: drawing it again takes it away.
        if (bDrawn)
            DrawTrackerRect(&drawn, pWndClipTo, pDC, pWnd);
        bDrawn = false;
    };
    auto move = [&](CDC* pDC, CPoint pt) {
        const int dx = pt.x - point.x;
        const int dy = pt.y - point.y;
        CRect r = rectSave;
        if (moveLeft)
            r.left += dx;
        if (moveRight)
            r.right += dx;
        if (moveTop)
            r.top += dy;
        if (moveBottom)
            r.bottom += dy;
        if (!all) {
            if (moveLeft != moveRight)
                KeepMinimum(moveLeft ? r.left : r.right, moveLeft ? r.right : r.left, m_sizeMin.cx);
            if (moveTop != moveBottom)
                KeepMinimum(moveTop ? r.top : r.bottom, moveTop ? r.bottom : r.top, m_sizeMin.cy);
        }
        AdjustRect(nHandle, &r);
        if (r == m_rect && bDrawn)
            return;
        const CRect rectOld = m_rect;
        m_rect = r;
        erase(pDC);
        drawn = Normalized(m_rect);
        DrawTrackerRect(&drawn, pWndClipTo, pDC, pWnd);
        bDrawn = true;
        if (rectOld != m_rect)
            OnChangedRect(rectOld);
    };
    const bool released = g_trackLoop(pWnd, move, erase);
    if (!released) {
        m_rect = rectSave;
        return FALSE;
    }
    if (!m_bAllowInvert)
        m_rect.NormalizeRect();
    return m_rect != rectSave;
}

void CRectTracker::DrawTrackerRect(const RECT* lpRect, CWnd*, CDC* pDC, CWnd*)
{
    if (!pDC || !lpRect)
        return;
    // A one-pixel inverted outline in device units; the same call again restores the pixels.
    const CRect r = Normalized(CRect(*lpRect));
    pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    pDC->SetWindowOrg(0, 0);
    const int w = std::max(r.Width(), 1);
    const int h = std::max(r.Height(), 1);
    pDC->PatBlt(r.left, r.top, w, 1, DSTINVERT);
    if (h > 1) {
        pDC->PatBlt(r.left, r.top + h - 1, w, 1, DSTINVERT);
        if (h > 2) {
            pDC->PatBlt(r.left, r.top + 1, 1, h - 2, DSTINVERT);
            if (w > 1)
                pDC->PatBlt(r.left + w - 1, r.top + 1, 1, h - 2, DSTINVERT);
        }
    }
    pDC->RestoreDC(-1);
}

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
