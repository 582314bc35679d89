#pragma once
// The window half of a view: the document-facing CView of the core joined with a window. Commands the
// view does not handle go on to its document; painting runs OnPrepareDC and OnDraw on the window's DC.
#include "platform/core/CView.h"
#include "platform/ui/CWnd.h"

class CPrintInfo;

class CWndView : public CView, public CWnd {
    DECLARE_DYNAMIC(CWndView)
public:
    CWndView();
    ~CWndView() override;

    // The view's own map, then its document's (when the document takes commands).
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    // Called by the frame when the view becomes or stops being the active view.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

    // The framework's update: the whole window is to be repainted.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // Both bases offer these; the window's are the ones that show a cursor.
    using CWnd::BeginWaitCursor;
    using CWnd::EndWaitCursor;

protected:
    void OnPaint() override;
    void OnSetFocus(CWnd* pOldWnd) override;
};
