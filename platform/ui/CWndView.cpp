#include "platform/ui/CWndView.h"

#include "platform/core/CDocument.h"
#include "platform/ui/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CWndView, CView)

CWndView::CWndView() = default;
CWndView::~CWndView()
{
    if (CFrameWnd* pFrame = GetParentFrame(); pFrame && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(nullptr, FALSE);
}

BOOL CWndView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // A document takes part in routing when it is also a command target.
    if (auto* pTarget = dynamic_cast<CCmdTarget*>(GetDocument()))
        return pTarget->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    return FALSE;
}

void CWndView::OnPrepareDC(CDC*, CPrintInfo*) {}

void CWndView::OnActivateView(BOOL, CView*, CView*) {}

void CWndView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CWndView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(dc);
    OnDraw(dc);
}

void CWndView::OnSetFocus(CWnd*)
{
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->SetActiveView(this);
}
