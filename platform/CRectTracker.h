#pragma once
// The framework's rectangle tracker: a rectangle in device coordinates with a frame and resize handles
// that can be drawn, hit-tested and given a cursor. The mouse-driven tracking loop belongs to the window
// layer and is not part of this class yet.
#include "platform/CRect.h"
#include "platform/WinTypes.h"

class CDC;
class CWnd;

class CRectTracker {
public:
    // Frame styles (m_nStyle bits).
    enum StyleFlags {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };

    // Hit-test results: a handle, the inside, or nothing.
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker();
    CRectTracker(const RECT* lpSrcRect, UINT nStyle);

    // Draws the frame, the hatching and the handles of m_rect in device units (the DC's mapping is set to
    // device units with zero origins for the drawing and restored afterwards).
    void Draw(CDC* pDC) const;
    // The rectangle including the handles drawn outside it and the frame line.
    void GetTrueRect(RECT* lpTrueRect) const;
    // The part of the tracker under point (device coordinates), as a TrackerHit value.
    int HitTest(CPoint point) const;
    // Asks the window layer for the cursor position in the window's client coordinates and, when it lies
    // on the tracker, sets the matching sizing or moving cursor. nHitTest must be HTCLIENT.
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest) const;
    // The handle that lies at nHandle's place once an inverted rectangle is seen the right way round.
    int NormalizeHit(int nHandle) const;

    // Overridable steps, in the framework's order. The first three serve the tracking loop.
    virtual void DrawTrackerRect(const RECT* lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    virtual void AdjustRect(int nHandle, RECT* lpRect);
    virtual void OnChangedRect(const CRect& rectOld);
    // One bit per handle (TrackerHit 0..7) that is shown: side handles are hidden on sides too short
    // to hold three handles.
    virtual UINT GetHandleMask() const;
    virtual ~CRectTracker() = default;
    // The handle size for a rectangle (m_rect when null): m_nHandleSize, shrunk to half the shorter
    // side for the handles drawn inside a small rectangle.
    virtual int GetHandleSize(const RECT* lpRect = nullptr) const;

    // The window layer's part of SetCursor: the cursor position in client coordinates of the window
    // (false when it cannot be had), and the cursor to show for a hit (already normalised for an
    // inverted rectangle). Tests and the window layer install them.
    using CursorPosHandler = bool (*)(CWnd* pWnd, CPoint* pClient);
    using CursorShapeHandler = void (*)(CWnd* pWnd, int nHit);
    static void SetCursorHandlers(CursorPosHandler pos, CursorShapeHandler shape);

    CRect m_rect;
    UINT m_nStyle = 0;
    int m_nHandleSize = 0;
    CSize m_sizeMin;
    BOOL m_bAllowInvert = FALSE;

protected:
    int HitTestHandles(CPoint point) const;
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;
};

// The hit-test code of a window's client area, the only one for which SetCursor acts.
constexpr UINT HTCLIENT = 1;
