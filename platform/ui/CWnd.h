#pragma once
// A window of the framework over a Qt widget. Window messages reach the virtual handlers below
// (OnPaint, OnSize, OnLButtonDown ...); commands reach the message map (CCmdTarget). Each window keeps a
// backing image of its client area: paints and window DCs draw into it, and drawing through a window DC
// shows at once, without a return to the event loop.
#include "platform/core/CCmdTarget.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"

#include <map>
#include <memory>

class QWidget;
class QImage;
class QTimer;
class CDC;
class CFrameWnd;
class CWndBridge;
struct DRAWITEMSTRUCT;
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;
using UINT_PTR = std::uintptr_t;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

// The creation record that PreCreateWindow may change.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

struct CREATESTRUCT {
    const char* lpszName = nullptr; // window title
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};
using LPCREATESTRUCT = CREATESTRUCT*;

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    // The widget that holds the window (its frame, scroll bars ...) and the one that is its client
    // area (painting, mouse). For a plain window they are the same.
    QWidget* GetWidget() const { return m_pWidget; }
    QWidget* GetClientWidget() const { return m_pClient; }
    BOOL IsWindow() const { return m_pWidget != nullptr; }
    static CWnd* FromWidget(const QWidget* pWidget);

    // Creates the window as a child of pParent (a top-level window without one). Runs PreCreateWindow
    // and OnCreate; FALSE when OnCreate returns -1 (the window is destroyed again).
    BOOL Create(CWnd* pParent, UINT nID, DWORD dwStyle = WS_CHILD | WS_VISIBLE, const RECT* pRect = nullptr);
    BOOL DestroyWindow();

    CWnd* GetParent() const { return m_pParent; }
    // The nearest frame window above this one (the window itself is not counted).
    CFrameWnd* GetParentFrame() const;
    UINT GetDlgCtrlID() const { return m_nID; }
    void SetDlgCtrlID(UINT nID) { m_nID = nID; }

    void SetWindowText(const char* lpszText);
    void GetWindowText(CString& rString) const;

    void GetClientRect(LPRECT lpRect) const;
    // In the parent's client coordinates (screen coordinates for a top-level window).
    void GetWindowRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL ShowWindow(int nCmdShow);
    // Position and size in the parent's client coordinates; SWP_* flags. An insert-after window of
    // wndTop raises the window above its siblings.
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    static const CWnd wndTop;
    // Only WS_VISIBLE acts (shown or hidden at once); the other bits are remembered.
    DWORD GetStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);

    // Marks the client area for the next paint; bErase also runs OnEraseBkgnd first.
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    // Paints now when part of the window is marked.
    void UpdateWindow();

    // A device context over the client area; drawing through it is visible at once. Release it with
    // ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    // The client-area image that paints and window DCs draw into.
    QImage* GetBackingImage();

    // Window timers: OnTimer(nIDEvent) every nElapse ms until KillTimer. A new timer with the id of a
    // running one replaces it.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    CWnd* SetFocus();
    static CWnd* GetFocus();
    // Whether this window or a child of it is the one that has, or gets back, the keyboard focus of
    // its top-level window: true also while that window is inactive (a modal dialog above it).
    BOOL HoldsFocus() const;
    CWnd* SetCapture();
    static CWnd* GetCapture();

    // The wait cursor for work that pumps no messages; shown at once.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // Window messages. The defaults do the framework's default processing.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy() {}
    virtual void OnClose();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnSizing(UINT fwSide, LPRECT pRect);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called by the frame when the window is activated as a pane (the splitter's active pane).
    virtual void OnActivatePane() {}

    // Fills a PAINT: called on a paint with the window DC the paint draws through.
    // Applies to the backing image; used by CPaintDC.
    CDC* BeginPaintDC();
    void EndPaintDC(CDC* pDC);

protected:
    // Makes the window's widgets; pParent is the parent's client widget (null for a top level).
    // Sets m_pWidget and m_pClient. The default is a plain widget that is its own client.
    virtual void CreateWidgets(QWidget* pParent);
    // A Qt control that paints and takes input by itself (bars): no backing image, no message handlers.
    virtual bool IsNativeWidget() const { return false; }
    // The widget to parent child windows on.
    virtual QWidget* GetChildParentWidget() const { return m_pClient; }
    // Drops the widget pointers after the widgets were deleted by their parent.
    void DetachWidgets();
    // Connects the widgets made by CreateWidgets to the message handlers.
    void AttachWidgets();

    QWidget* m_pWidget = nullptr;
    QWidget* m_pClient = nullptr;
    CWnd* m_pParent = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;

private:
    friend class CWndBridge;
    void ShowBacking(const RECT& changed);
    void PaintNow(); // runs the marked paint into the backing image
    void ResizeBacking();
    void DropLiveDC();

    std::unique_ptr<QImage> m_pBacking;
    CWndBridge* m_pBridge = nullptr;
    std::map<UINT_PTR, QTimer*> m_timers;
    bool m_bNeedsPaint = true;
    bool m_bNeedsErase = true;
    bool m_bInPaint = false;
    bool m_bFlushing = false;
    // Window and paint DCs hold the backing image by pointer: while any is alive the image is kept,
    // and a resize asked for meanwhile waits until the last one is released.
    int m_nLiveDCs = 0;
    bool m_bResizePending = false;
};

BOOL ReleaseCapture();

// A DC for OnPaint: draws into the window's backing image, which the paint then shows.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd) : m_pWnd(pWnd), m_pDC(pWnd->BeginPaintDC()) {}
    ~CPaintDC() { m_pWnd->EndPaintDC(m_pDC); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    CDC* operator->() const { return m_pDC; }
    operator CDC*() const { return m_pDC; }
    CDC* GetDC() const { return m_pDC; }

private:
    CWnd* m_pWnd;
    CDC* m_pDC;
};

// A client-area DC for the lifetime of the object.
class CClientDC {
public:
    explicit CClientDC(CWnd* pWnd) : m_pWnd(pWnd), m_pDC(pWnd->GetDC()) {}
    ~CClientDC() { m_pWnd->ReleaseDC(m_pDC); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    CDC* operator->() const { return m_pDC; }
    operator CDC*() const { return m_pDC; }

private:
    CWnd* m_pWnd;
    CDC* m_pDC;
};

// The wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore();
};
