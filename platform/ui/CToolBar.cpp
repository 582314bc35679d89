#include "platform/ui/CToolBar.h"

#include "platform/core/ResourceTables.h"
#include "platform/ui/CActionCmdUI.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/QtText.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QPixmap>
#include <QToolBar>

namespace {
CString Part(UINT nID, bool tooltip)
{
    const char* s = AfxFindString(nID);
    if (!s)
        return CString();
    CString str(s);
    const int nl = str.Find('\n');
    if (nl < 0)
        return tooltip ? CString() : str;
    return tooltip ? str.Mid(nl + 1) : str.Left(nl);
}
} // namespace

CToolBar::CToolBar() : m_ctrl(this) {}

CToolBar::~CToolBar() = default;

void CToolBar::CreateWidgets(QWidget* pParent)
{
    auto* pToolBar = new QToolBar(pParent);
    m_pWidget = pToolBar;
    m_pClient = pToolBar;
}

QToolBar* CToolBar::GetQToolBar() const { return static_cast<QToolBar*>(m_pWidget); }

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & ~(WS_CHILD | WS_VISIBLE);
    if (!CWnd::Create(pParentWnd, nID, dwStyle & ~WS_VISIBLE))
        return FALSE;
    GetQToolBar()->setObjectName(QStringLiteral("toolbar%1").arg(nID));
    GetQToolBar()->setMovable(false);
    AttachToFrame(pParentWnd);
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(pParentWnd)) {
        Qt::ToolBarArea area = Qt::TopToolBarArea;
        if (dwStyle & CBRS_ALIGN_LEFT)
            area = Qt::LeftToolBarArea;
        else if (dwStyle & CBRS_ALIGN_BOTTOM)
            area = Qt::BottomToolBarArea;
        else if (dwStyle & CBRS_ALIGN_RIGHT)
            area = Qt::RightToolBarArea;
        pFrame->GetMainWindow()->addToolBar(area, GetQToolBar());
    }
    GetQToolBar()->setVisible(dwStyle & WS_VISIBLE);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    const ToolBarResource* pRes = AfxFindToolBar(nIDResource);
    if (!pRes || !m_pWidget)
        return FALSE;
    QPixmap strip(QStr(pRes->imagePath));
    QToolBar* pToolBar = GetQToolBar();
    pToolBar->clear();
    m_ids.clear();
    m_actions.clear();
    pToolBar->setIconSize(QSize(pRes->buttonWidth, pRes->buttonHeight));
    int nImage = 0;
    for (int i = 0; i < pRes->count; ++i) {
        const UINT nID = pRes->buttons[i];
        m_ids.push_back(nID);
        if (nID == ID_SEPARATOR) {
            pToolBar->addSeparator();
            m_actions.push_back(nullptr);
            continue;
        }
        QIcon icon;
        if (!strip.isNull())
            icon = QIcon(strip.copy(nImage * pRes->buttonWidth, 0, pRes->buttonWidth, pRes->buttonHeight));
        ++nImage;
        const CString tip = Part(nID, true);
        QAction* pAction = pToolBar->addAction(icon, QStr(tip));
        pAction->setToolTip(QStr(tip));
        pAction->setStatusTip(QStr(Part(nID, false)));
        pAction->setProperty("vantrel_id", nID);
        QObject::connect(pAction, &QAction::triggered, pAction, [this, nID, pAction] {
            // A click toggles a checkable button by itself; the command and its update decide the state.
            if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pParent))
                pFrame->ExecuteCommand(nID);
            (void)pAction;
        });
        m_actions.push_back(pAction);
    }
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nID) const
{
    for (std::size_t i = 0; i < m_ids.size(); ++i)
        if (m_ids[i] == nID && nID != ID_SEPARATOR)
            return int(i);
    return -1;
}

QAction* CToolBar::GetButtonAction(UINT nID) const
{
    const int i = CommandToIndex(nID);
    return i < 0 ? nullptr : m_actions[std::size_t(i)];
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        if (!m_actions[i])
            continue;
        CActionCmdUI state(m_actions[i], CActionCmdUI::ToolButton);
        state.m_nID = m_ids[i];
        state.m_nIndex = UINT(i);
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

BOOL CToolBarCtrl::PressButton(int nID, BOOL bPress)
{
    QAction* pAction = m_pBar->GetButtonAction(UINT(nID));
    if (!pAction)
        return FALSE;
    if (bPress)
        pAction->setCheckable(true);
    pAction->setChecked(bPress);
    return TRUE;
}

BOOL CToolBarCtrl::HideButton(int nID, BOOL bHide)
{
    QAction* pAction = m_pBar->GetButtonAction(UINT(nID));
    if (!pAction)
        return FALSE;
    pAction->setVisible(!bHide);
    return TRUE;
}

void CToolBarCtrl::AutoSize()
{
    if (QToolBar* pToolBar = m_pBar->GetQToolBar())
        pToolBar->adjustSize();
}

BOOL CToolBarCtrl::IsButtonPressed(int nID) const
{
    QAction* pAction = m_pBar->GetButtonAction(UINT(nID));
    return pAction && pAction->isChecked();
}

BOOL CToolBarCtrl::IsButtonHidden(int nID) const
{
    QAction* pAction = m_pBar->GetButtonAction(UINT(nID));
    return pAction && !pAction->isVisible();
}

BOOL CToolBarCtrl::IsButtonEnabled(int nID) const
{
    QAction* pAction = m_pBar->GetButtonAction(UINT(nID));
    return pAction && pAction->isEnabled();
}

LRESULT CToolBarCtrl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case TB_PRESSBUTTON:
        return PressButton(int(wParam), LOWORD(DWORD(lParam)) != 0);
    case TB_HIDEBUTTON:
        return HideButton(int(wParam), LOWORD(DWORD(lParam)) != 0);
    case TB_AUTOSIZE:
        AutoSize();
        return 0;
    default:
        return 0;
    }
}
