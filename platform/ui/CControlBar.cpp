#include "platform/ui/CControlBar.h"

#include "platform/ui/CFrameWnd.h"

#include <QToolBar>
#include <QWidget>

CControlBar::~CControlBar()
{
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (auto* pToolBar = qobject_cast<QToolBar*>(m_pWidget)) {
        Qt::ToolBarAreas areas;
        if (m_dwDockStyle & CBRS_ALIGN_TOP)
            areas |= Qt::TopToolBarArea;
        if (m_dwDockStyle & CBRS_ALIGN_LEFT)
            areas |= Qt::LeftToolBarArea;
        if (m_dwDockStyle & CBRS_ALIGN_RIGHT)
            areas |= Qt::RightToolBarArea;
        if (m_dwDockStyle & CBRS_ALIGN_BOTTOM)
            areas |= Qt::BottomToolBarArea;
        pToolBar->setAllowedAreas(areas);
        pToolBar->setMovable(m_dwDockStyle != 0);
        pToolBar->setFloatable(m_dwDockStyle != 0);
    }
}

BOOL CControlBar::IsVisible() const { return m_pWidget && !m_pWidget->isHidden(); }

void CControlBar::AttachToFrame(CWnd* pParentWnd)
{
    m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (m_pDockSite)
        m_pDockSite->AddControlBar(this);
}
