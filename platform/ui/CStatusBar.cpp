#include "platform/ui/CStatusBar.h"

#include "platform/core/ResourceTables.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/KeyboardLocks.h"
#include "platform/ui/QtText.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

void CStatusBar::CreateWidgets(QWidget* pParent)
{
    auto* pBar = new QStatusBar(pParent);
    m_pWidget = pBar;
    m_pClient = pBar;
}

QStatusBar* CStatusBar::GetQStatusBar() const { return static_cast<QStatusBar*>(m_pWidget); }

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & ~(WS_CHILD | WS_VISIBLE);
    if (!CWnd::Create(pParentWnd, nID, dwStyle & ~WS_VISIBLE))
        return FALSE;
    AttachToFrame(pParentWnd);
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(pParentWnd))
        pFrame->GetMainWindow()->setStatusBar(GetQStatusBar());
    GetQStatusBar()->setVisible(dwStyle & WS_VISIBLE);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    QStatusBar* pBar = GetQStatusBar();
    if (!pBar)
        return FALSE;
    for (QLabel* pLabel : m_panes)
        delete pLabel;
    m_panes.clear();
    m_ids.assign(lpIDArray, lpIDArray + nIDCount);
    for (int i = 0; i < nIDCount; ++i) {
        auto* pLabel = new QLabel(pBar);
        if (lpIDArray[i] == ID_SEPARATOR) {
            // The message pane: the idle text; prompts show over it as the status bar's messages.
            const char* idle = AfxFindString(AFX_IDS_IDLEMESSAGE);
            pLabel->setText(QStr(idle ? idle : AFX_IDLE_MESSAGE));
            pBar->addWidget(pLabel, 1);
        } else {
            // A lock indicator: its text shows while the lock is on (see OnUpdateCmdUI).
            const char* text = AfxFindString(lpIDArray[i]);
            pLabel->setMinimumWidth(pLabel->fontMetrics().horizontalAdvance(QStr(text ? text : "SCRL")) + 8);
            pLabel->setProperty("vantrel_indicator_text", QStr(text ? text : ""));
            pBar->addPermanentWidget(pLabel);
        }
        m_panes.push_back(pLabel);
    }
    return TRUE;
}

int CStatusBar::CommandToIndex(UINT nID) const
{
    for (std::size_t i = 0; i < m_ids.size(); ++i)
        if (m_ids[i] == nID)
            return int(i);
    return -1;
}

BOOL CStatusBar::SetPaneText(int nIndex, const char* lpszNewText, BOOL)
{
    if (nIndex < 0 || nIndex >= int(m_panes.size()))
        return FALSE;
    m_panes[std::size_t(nIndex)]->setText(QStr(lpszNewText ? lpszNewText : ""));
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= int(m_panes.size()))
        return CString();
    return CString(m_panes[std::size_t(nIndex)]->text().toLatin1().constData());
}

CString CStatusBar::GetMessageText() const
{
    QStatusBar* pBar = GetQStatusBar();
    if (pBar && !pBar->currentMessage().isEmpty())
        return CString(pBar->currentMessage().toLatin1().constData());
    const int i = CommandToIndex(ID_SEPARATOR);
    return i >= 0 ? GetPaneText(i) : CString();
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    const UINT locks = AfxGetKeyboardLocks();
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        UINT bit = 0;
        switch (m_ids[i]) {
        case ID_INDICATOR_CAPS:
            bit = LOCK_CAPS;
            break;
        case ID_INDICATOR_NUM:
            bit = LOCK_NUM;
            break;
        case ID_INDICATOR_SCRL:
            bit = LOCK_SCROLL;
            break;
        default:
            continue;
        }
        const QString text = (locks & bit) ? m_panes[i]->property("vantrel_indicator_text").toString() : QString();
        if (m_panes[i]->text() != text)
            m_panes[i]->setText(text);
    }
}
