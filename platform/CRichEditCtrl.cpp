#include "platform/CRichEditCtrl.h"

#include "platform/QtText.h"

#include <QTextCursor>
#include <QTextEdit>

CRichEditCtrl::CRichEditCtrl() = default;
CRichEditCtrl::~CRichEditCtrl() = default;

void CRichEditCtrl::CreateWidgets(QWidget* pParent)
{
    auto* pEdit = new QTextEdit(pParent);
    pEdit->setAcceptRichText(false);
    m_pWidget = pEdit;
    m_pClient = pEdit;
}

QTextEdit* CRichEditCtrl::GetTextEdit() const { return static_cast<QTextEdit*>(m_pWidget); }

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::Create(pParentWnd, nID, dwStyle, &rect))
        return FALSE;
    GetTextEdit()->setFrameShape((dwStyle & WS_BORDER) ? QFrame::Box : QFrame::NoFrame);
    GetTextEdit()->setVisible(dwStyle & WS_VISIBLE);
    return TRUE;
}

DWORD CRichEditCtrl::SetEventMask(DWORD dwEventMask)
{
    const DWORD old = m_dwEventMask;
    m_dwEventMask = dwEventMask;
    return old;
}

void CRichEditCtrl::SetWindowText(const char* lpszText)
{
    if (QTextEdit* pEdit = GetTextEdit())
        pEdit->setPlainText(QStr(lpszText ? lpszText : ""));
}

void CRichEditCtrl::GetWindowText(CString& rString) const
{
    rString = m_pWidget ? GetTextEdit()->toPlainText().toLatin1().constData() : "";
}

int CRichEditCtrl::GetWindowTextLength() const
{
    return m_pWidget ? int(GetTextEdit()->toPlainText().size()) : 0;
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    if (!m_pWidget)
        return;
    QTextCursor cursor = GetTextEdit()->textCursor();
    const int length = GetWindowTextLength();
    const int start = nStartChar < 0 ? length : std::min<int>(int(nStartChar), length);
    const int end = nEndChar < 0 ? length : std::min<int>(int(nEndChar), length);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    GetTextEdit()->setTextCursor(cursor);
}

void CRichEditCtrl::ReplaceSel(const char* lpszNewText)
{
    if (m_pWidget)
        GetTextEdit()->textCursor().insertText(QStr(lpszNewText ? lpszNewText : ""));
}
