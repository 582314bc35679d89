#pragma once
// The framework's rectangle tracker: a rectangle in device coordinates with a frame and resize handles
// that can be drawn, hit-tested, given a cursor and tracked with the mouse. The geometry of tracking is
// here; the modal mouse loop that feeds it belongs to the window layer (see SetTrackLoop).
#include "platform/core/CRect.h"
#include "platform/core/WinTypes.h"

#include <functional>

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

    // Moves or sizes m_rect with the mouse until the left button is released (TRUE when the rectangle
    // changed) or Escape is pressed (FALSE, m_rect as before). FALSE at once when point misses the
    // tracker. point and m_rect are client coordinates of pWnd.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = nullptr);
    // Draws a new rectangle from point until the button is released; TRUE when it ended with a release
    // and a rectangle other than the empty one at point. Without bAllowInvert the result is normalised.
    BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);

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

    // The window layer's modal mouse loop: runs until the left button is released (returns true) or
    // tracking is cancelled (Escape, lost capture: false), calling move with every pointer position in
    // client coordinates of pWnd and a DC of the window in device units to draw the tracking frame on.
    // With no loop installed tracking is cancelled at once.
    using TrackMove = std::function<void(CDC* pDC, CPoint point)>;
    using TrackLoop = bool (*)(CWnd* pWnd, const TrackMove& move, const std::function<void(CDC*)>& finish);
    static void SetTrackLoop(TrackLoop loop);

    CRect m_rect;
    UINT m_nStyle = 0;
    int m_nHandleSize = 0;
    CSize m_sizeMin;
    BOOL m_bAllowInvert = FALSE;

protected:
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo);
    int HitTestHandles(CPoint point) const;
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;
};

// The hit-test code of a window's client area, the only one for which SetCursor acts.
constexpr UINT HTCLIENT = 1;
