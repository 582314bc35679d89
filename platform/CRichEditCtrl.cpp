#include "platform/CRichEditCtrl.h"

#include "platform/CGdiObject.h"
#include "platform/QtText.h"

#include <QFocusEvent>
#include <QTextCursor>
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
        m_pCtrl->Notify(EN_KILLFOCUS);
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
    GetTextEdit()->setFrameShape((dwStyle & WS_BORDER) ? QFrame::Box : QFrame::NoFrame);
    GetTextEdit()->setLineWrapMode((dwStyle & ES_MULTILINE) ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
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
    QFont font(QStr(lf.lfFaceName));
    if (std::strncmp(lf.lfFaceName, "Courier", 7) == 0)
        font.setStyleHint(QFont::Monospace);
    // Heights are device pixels: negative for the character height, positive for the cell height.
    if (lf.lfHeight != 0)
        font.setPixelSize(std::max(1, std::abs(int(lf.lfHeight))));
    font.setWeight(lf.lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    GetTextEdit()->setFont(font);
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
    QTextCharFormat format;
    if (cf.dwMask & CFM_COLOR) {
        m_format.dwEffects = (m_format.dwEffects & ~CFE_AUTOCOLOR) | (cf.dwEffects & CFE_AUTOCOLOR);
        m_format.crTextColor = cf.crTextColor;
        const COLORREF c = cf.crTextColor;
        format.setForeground((cf.dwEffects & CFE_AUTOCOLOR) ? QColor(Qt::black) : QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
    if (cf.dwMask & CFM_SIZE) {
        m_format.yHeight = cf.yHeight;
        if (cf.yHeight > 0)
            format.setFontPointSize(cf.yHeight / 20.0);
    }
    if (cf.dwMask & CFM_FACE) {
        std::memcpy(m_format.szFaceName, cf.szFaceName, sizeof(m_format.szFaceName));
        m_format.szFaceName[sizeof(m_format.szFaceName) - 1] = '\0';
        format.setFontFamilies({QStr(m_format.szFaceName)});
    }
    auto effect = [&](DWORD mask, DWORD bit, auto apply) {
        if (cf.dwMask & mask) {
            m_format.dwEffects = (m_format.dwEffects & ~bit) | (cf.dwEffects & bit);
            apply((cf.dwEffects & bit) != 0);
        }
    };
    effect(CFM_BOLD, CFE_BOLD, [&](bool on) { format.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    effect(CFM_ITALIC, CFE_ITALIC, [&](bool on) { format.setFontItalic(on); });
    effect(CFM_UNDERLINE, CFE_UNDERLINE, [&](bool on) { format.setFontUnderline(on); });
    effect(CFM_STRIKEOUT, CFE_STRIKEOUT, [&](bool on) { format.setFontStrikeOut(on); });
    // The default format applies to the whole text and to what is typed next.
    QTextCursor all(GetTextEdit()->document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
    GetTextEdit()->mergeCurrentCharFormat(format);
    return TRUE;
}

void CRichEditCtrl::SetRect(LPCRECT lpRect)
{
    if (m_pWidget && lpRect)
        static_cast<CRichEditWidget*>(m_pWidget)->SetFormattingRect(
            QRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top));
}
