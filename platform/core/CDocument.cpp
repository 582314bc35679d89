#include "platform/core/CDocument.h"

#include "platform/core/CView.h"

#include <algorithm>
#include <cstdint>

IMPLEMENT_DYNAMIC(CDocument, CObject)

namespace {
WaitCursorHandler g_waitCursorHandler = nullptr;
RecentFileHandler g_recentFileHandler = nullptr;

// Positions are index + 1, so that null means "no more views".
POSITION ToPosition(std::size_t index) { return reinterpret_cast<POSITION>(std::uintptr_t(index + 1)); }
std::size_t FromPosition(POSITION pos) { return std::size_t(reinterpret_cast<std::uintptr_t>(pos)) - 1; }
}

void SetWaitCursorHandler(WaitCursorHandler handler) { g_waitCursorHandler = handler; }

void SetRecentFileHandler(RecentFileHandler handler) { g_recentFileHandler = handler; }

void DoWaitCursor(int nCode)
{
    if (g_waitCursorHandler)
        g_waitCursorHandler(nCode);
}

CDocument::~CDocument()
{
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
}

void CDocument::AddView(CView* pView)
{
    if (!pView || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    if (pView->m_pDocument && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.empty() ? nullptr : ToPosition(0);
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    if (!rPosition)
        return nullptr;
    std::size_t i = FromPosition(rPosition);
    if (i >= m_viewList.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    rPosition = i + 1 < m_viewList.size() ? ToPosition(i + 1) : nullptr;
    return m_viewList[i];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A copy, so a view that detaches itself while updating does not disturb the walk.
    std::vector<CView*> views = m_viewList;
    for (CView* pView : views)
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
}

void CDocument::SetPathName(const char* lpszPathName, BOOL bAddToMRU)
{
    m_strPathName = lpszPathName;
    if (m_strPathName.IsEmpty())
        return;
    SetTitle(m_strPathName.Mid(m_strPathName.ReverseFind('/') + 1));
    if (bAddToMRU && g_recentFileHandler)
        g_recentFileHandler(m_strPathName);
}

void CDocument::SetTitle(const char* lpszTitle) { m_strTitle = lpszTitle; }

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}
