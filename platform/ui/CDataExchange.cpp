#include "platform/ui/CDataExchange.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cfloat>
#include <climits>
#include <cstdlib>

#include "platform/core/CException.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/CDialog.h"

namespace {
QLineEdit* EditOf(CDataExchange* pDX, int nIDC) { return qobject_cast<QLineEdit*>(pDX->PrepareEditCtrl(nIDC)); }

CString TextOf(QLineEdit* pEdit) { return pEdit ? CString(pEdit->text().toLatin1().constData()) : CString(); }

void SetText(QLineEdit* pEdit, const CString& text)
{
    if (pEdit)
        pEdit->setText(QString::fromLatin1(text.GetString()));
}

// The text with its leading and trailing blanks removed; what a number must fill entirely.
CString Trimmed(const CString& text)
{
    CString s = text;
    s.Trim();
    return s;
}

// A whole decimal integer (optional sign) that fits in [lo, hi]; no other characters.
bool ParseInteger(const CString& text, long long lo, long long hi, long long& out)
{
    const CString s = Trimmed(text);
    if (s.IsEmpty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.GetString(), &end, 10);
    if (errno == ERANGE || end == s.GetString() || *end != '\0')
        return false;
    if (v < lo || v > hi)
        return false;
    out = v;
    return true;
}

bool ParseReal(const CString& text, double& out)
{
    const CString s = Trimmed(text);
    if (s.IsEmpty())
        return false;
    char* end = nullptr;
    const double v = std::strtod(s.GetString(), &end);
    if (end == s.GetString() || *end != '\0')
        return false;
    out = v;
    return true;
}

[[noreturn]] void FailWith(CDataExchange* pDX, const CString& text)
{
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    pDX->Fail();
}

[[noreturn]] void FailRange(CDataExchange* pDX, const char* lpszPrompt, const CString& lo, const CString& hi)
{
    FailWith(pDX, AfxFormatPrompt2(lpszPrompt, lo, hi));
}

// Moves a number between an edit control and a member: the member is shown as `shown`; the control's
// text is read back with parse, and a text it refuses fails the exchange with the prompt.
template <class T>
void ExchangeNumber(CDataExchange* pDX, int nIDC, T& value, const char* lpszPrompt, const CString& shown,
                    bool (*parse)(const CString& text, T& out))
{
    QLineEdit* pEdit = EditOf(pDX, nIDC);
    if (!pDX->m_bSaveAndValidate) {
        SetText(pEdit, shown);
        return;
    }
    T v{};
    if (!parse(TextOf(pEdit), v))
        FailWith(pDX, lpszPrompt);
    value = v;
}

CString Formatted(const char* lpszFormat, ...) __attribute__((format(printf, 1, 2)));
CString Formatted(const char* lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    char buffer[64];
    std::vsnprintf(buffer, sizeof buffer, lpszFormat, args);
    va_end(args);
    return CString(buffer);
}
} // namespace

CString AfxFormatPrompt2(const char* lpszFormat, const char* lpsz1, const char* lpsz2)
{
    CString result;
    for (const char* p = lpszFormat; *p; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            result += p[1] == '1' ? lpsz1 : lpsz2;
            ++p;
        } else {
            result += *p;
        }
    }
    return result;
}

CDataExchange::CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

QWidget* CDataExchange::PrepareCtrl(int nIDC)
{
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    CDialogItem* pItem = m_pDlgWnd->GetDlgItem(nIDC);
    return pItem ? pItem->GetWidget() : nullptr;
}

QWidget* CDataExchange::PrepareEditCtrl(int nIDC)
{
    QWidget* pWidget = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return pWidget;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate)
        throw CUserException();
    m_pDlgWnd->SetDlgItemFocus(m_idLastControl);
    if (m_bEditLastControl) {
        if (auto* pEdit = qobject_cast<QLineEdit*>(m_pDlgWnd->GetDlgItem(m_idLastControl)
                                                      ? m_pDlgWnd->GetDlgItem(m_idLastControl)->GetWidget()
                                                      : nullptr))
            pEdit->selectAll();
    }
    throw CUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeNumber<int>(pDX, nIDC, value, kPromptParseInt, Formatted("%d", value), [](const CString& text, int& v) {
        long long w = 0;
        if (!ParseInteger(text, INT_MIN, INT_MAX, w))
            return false;
        v = int(w);
        return true;
    });
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeNumber<UINT>(pDX, nIDC, value, kPromptParseUInt, Formatted("%u", value), [](const CString& text, UINT& v) {
        long long w = 0;
        if (text.Find('-') >= 0 || !ParseInteger(text, 0, UINT_MAX, w))
            return false;
        v = UINT(w);
        return true;
    });
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    ExchangeNumber<float>(pDX, nIDC, value, kPromptParseReal, Formatted("%.*g", FLT_DIG, double(value)),
                          [](const CString& text, float& v) {
                              double w = 0;
                              if (!ParseReal(text, w) || w > FLT_MAX || w < -FLT_MAX)
                                  return false;
                              v = float(w);
                              return true;
                          });
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    ExchangeNumber<double>(pDX, nIDC, value, kPromptParseReal, Formatted("%.*g", DBL_DIG, value), ParseReal);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    QLineEdit* pEdit = EditOf(pDX, nIDC);
    if (pDX->m_bSaveAndValidate)
        value = TextOf(pEdit);
    else
        SetText(pEdit, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    auto* pButton = qobject_cast<QAbstractButton*>(pDX->PrepareCtrl(nIDC));
    if (pDX->m_bSaveAndValidate)
        value = pButton && pButton->isChecked() ? 1 : 0;
    else if (pButton)
        pButton->setChecked(value == 1);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CDialogItem& rControl)
{
    CDialogItem* pItem = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pItem && rControl.GetWidget() != pItem->GetWidget()) {
        rControl.Attach(pItem->GetWidget(), UINT(nIDC), pItem->GetStyle());
        pDX->m_pDlgWnd->AddBoundControl(&rControl);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    FailRange(pDX, kPromptParseIntRange, Formatted("%d", minVal), Formatted("%d", maxVal));
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    FailRange(pDX, kPromptParseIntRange, Formatted("%u", minVal), Formatted("%u", maxVal));
}

void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    FailRange(pDX, kPromptParseRealRange, Formatted("%.*g", FLT_DIG, double(minVal)),
              Formatted("%.*g", FLT_DIG, double(maxVal)));
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    FailRange(pDX, kPromptParseRealRange, Formatted("%.*g", DBL_DIG, minVal),
              Formatted("%.*g", DBL_DIG, maxVal));
}
