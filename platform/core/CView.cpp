#include "platform/core/CView.h"

IMPLEMENT_DYNAMIC(CView, CObject)

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {}

// The framework's default first update is a plain update from no sender.
void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
