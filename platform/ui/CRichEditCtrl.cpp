#include "platform/ui/CRichEditCtrl.h"

#include "platform/gdi/CGdiObject.h"
#include "platform/gdi/ScreenFont.h"
#include "platform/ui/QtText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cstring>

// The editor widget: reports focus changes to its window, and exposes the formatting rectangle.
class CRichEditWidget : public QTextEdit {
public:
    CRichEditWidget(CRichEditCtrl* pCtrl, QWidget* pParent) : QTextEdit(pParent), m_pCtrl(pCtrl) {}
    void SetFormattingRect(const QRect& r)
    {
        setViewportMargins(r.x(), r.y(), std::max(0, width() - (r.x() + r.width())), std::max(0, height() - (r.y() + r.height())));
    }

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        QTextEdit::focusInEvent(e);
        m_pCtrl->Notify(EN_SETFOCUS);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QTextEdit::focusOutEvent(e);
        if (e->reason() != Qt::PopupFocusReason)
            m_pCtrl->Notify(EN_KILLFOCUS);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && m_pCtrl->GetParent()) {
            m_pCtrl->GetParent()->SetFocus();
            return;
        }
        QTextEdit::keyPressEvent(e);
    }

private:
    CRichEditCtrl* m_pCtrl;
};

CRichEditCtrl::CRichEditCtrl()
{
    m_format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_COLOR | CFM_SIZE;
    m_format.dwEffects = CFE_AUTOCOLOR;
    m_format.yHeight = 200;
}

CRichEditCtrl::~CRichEditCtrl() = default;

void CRichEditCtrl::CreateWidgets(QWidget* pParent)
{
    auto* pEdit = new CRichEditWidget(this, pParent);
    pEdit->setAcceptRichText(false);
    QObject::connect(pEdit, &QTextEdit::textChanged, pEdit, [this] {
        if (m_dwEventMask & ENM_CHANGE)
            Notify(EN_CHANGE);
    });
    m_pWidget = pEdit;
    m_pClient = pEdit;
}

QTextEdit* CRichEditCtrl::GetTextEdit() const { return static_cast<QTextEdit*>(m_pWidget); }

void CRichEditCtrl::Notify(int nCode)
{
    if (m_pParent)
        m_pParent->OnCmdMsg(m_nID, nCode, nullptr, nullptr);
}

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::Create(pParentWnd, nID, dwStyle, &rect))
        return FALSE;
    // WS_BORDER: a plain line of one pixel.
    GetTextEdit()->setFrameStyle((dwStyle & WS_BORDER) ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    GetTextEdit()->setLineWidth(1);
    GetTextEdit()->document()->setDocumentMargin(2);
    GetTextEdit()->setLineWrapMode((dwStyle & ES_MULTILINE) ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    GetTextEdit()->setVerticalScrollBarPolicy((dwStyle & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    GetTextEdit()->setHorizontalScrollBarPolicy((dwStyle & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    ApplyFormat();
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
        pEdit->setPlainText(QStr(lpszText));
}

void CRichEditCtrl::GetWindowText(CString& rString) const
{
    rString = m_pWidget ? GetTextEdit()->toPlainText().toLatin1().constData() : "";
}

int CRichEditCtrl::GetWindowTextLength() const { return m_pWidget ? int(GetTextEdit()->toPlainText().size()) : 0; }

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
        GetTextEdit()->textCursor().insertText(QStr(lpszNewText));
}

void CRichEditCtrl::SetFont(CFont* pFont, BOOL)
{
    LOGFONTA lf{};
    if (!m_pWidget || !pFont || !pFont->GetLogFont(&lf))
        return;
    std::memcpy(m_format.szFaceName, lf.lfFaceName, std::min(sizeof(m_format.szFaceName), sizeof(lf.lfFaceName)));
    m_format.szFaceName[sizeof(m_format.szFaceName) - 1] = '\0';
    m_format.bCharSet = lf.lfCharSet;
    m_format.bPitchAndFamily = lf.lfPitchAndFamily;
    // Twips of the size the screen shows the font at (15 twips to a pixel at 96 dpi).
    m_format.yHeight = AfxScreenFont(lf).pixelSize() * 15;
    auto effect = [&](DWORD bit, bool on) { m_format.dwEffects = on ? (m_format.dwEffects | bit) : (m_format.dwEffects & ~bit); };
    effect(CFE_BOLD, lf.lfWeight >= FW_SEMIBOLD);
    effect(CFE_ITALIC, lf.lfItalic != 0);
    effect(CFE_UNDERLINE, lf.lfUnderline != 0);
    effect(CFE_STRIKEOUT, lf.lfStrikeOut != 0);
    ApplyFormat();
}

DWORD CRichEditCtrl::GetDefaultCharFormat(CHARFORMAT& cf) const
{
    cf = m_format;
    return cf.dwMask;
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT& cf)
{
    if (!m_pWidget)
        return FALSE;
    auto take = [&](DWORD mask, DWORD bits) {
        if (cf.dwMask & mask)
            m_format.dwEffects = (m_format.dwEffects & ~bits) | (cf.dwEffects & bits);
    };
    take(CFM_COLOR, CFE_AUTOCOLOR);
    if (cf.dwMask & CFM_COLOR)
        m_format.crTextColor = cf.crTextColor;
    if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0)
        m_format.yHeight = cf.yHeight;
    if (cf.dwMask & CFM_FACE) {
        std::memcpy(m_format.szFaceName, cf.szFaceName, sizeof(m_format.szFaceName));
        m_format.szFaceName[sizeof(m_format.szFaceName) - 1] = '\0';
        m_format.bCharSet = cf.bCharSet;
        m_format.bPitchAndFamily = cf.bPitchAndFamily;
    }
    take(CFM_BOLD, CFE_BOLD);
    take(CFM_ITALIC, CFE_ITALIC);
    take(CFM_UNDERLINE, CFE_UNDERLINE);
    take(CFM_STRIKEOUT, CFE_STRIKEOUT);
    ApplyFormat();
    return TRUE;
}

void CRichEditCtrl::ApplyFormat()
{
    QTextEdit* pEdit = GetTextEdit();
    if (!pEdit)
        return;
    LOGFONTA lf;
    std::memcpy(lf.lfFaceName, m_format.szFaceName, std::min(sizeof(m_format.szFaceName), sizeof(lf.lfFaceName)));
    lf.lfFaceName[sizeof(lf.lfFaceName) - 1] = '\0';
    lf.lfCharSet = m_format.bCharSet;
    lf.lfPitchAndFamily = m_format.bPitchAndFamily;
    lf.lfHeight = -std::max(1, MulDiv(m_format.yHeight, 96, 1440));
    lf.lfWeight = (m_format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (m_format.dwEffects & CFE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (m_format.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (m_format.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
    const QFont font = AfxScreenFont(lf);
    const COLORREF c = m_format.crTextColor;
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground((m_format.dwEffects & CFE_AUTOCOLOR) ? QColor(Qt::black) : QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    pEdit->setFont(font);
    pEdit->document()->setDefaultFont(font);
    // The default format applies to the whole text and to what is typed next.
    QTextCursor all(pEdit->document());
    all.select(QTextCursor::Document);
    all.setCharFormat(format);
    pEdit->setCurrentCharFormat(format);
}

void CRichEditCtrl::SetRect(LPCRECT lpRect)
{
    if (m_pWidget && lpRect)
        static_cast<CRichEditWidget*>(m_pWidget)->SetFormattingRect(
            QRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top));
}
