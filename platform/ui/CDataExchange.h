#pragma once
// Dialog data exchange and validation: DDX_ functions move one member to or from one control, DDV_
// functions check a value just taken from a control. A value that cannot be read or lies outside its
// range shows the framework's message through the message-box seam, focuses the control (selecting an
// edit's text) and fails the exchange, which leaves the dialog open.
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CDialog;
class CDialogItem;
class QWidget;

// The framework's prompts.
inline constexpr const char* kPromptParseInt = "Please enter an integer.";
inline constexpr const char* kPromptParseUInt = "Please enter a positive integer.";
inline constexpr const char* kPromptParseReal = "Please enter a number.";
inline constexpr const char* kPromptParseIntRange = "Please enter an integer between %1 and %2.";
inline constexpr const char* kPromptParseRealRange = "Please enter a number between %1 and %2.";

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The control nIDC of the dialog, remembered as the one a failure focuses. Null when missing.
    QWidget* PrepareCtrl(int nIDC);
    QWidget* PrepareEditCtrl(int nIDC);
    // Focuses the last prepared control and throws CUserException.
    [[noreturn]] void Fail();

    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;
};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);        // "%d"
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);       // "%u"
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);      // "%.6g"
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);     // "%.15g"
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// A check box's state: 0 unchecked, 1 checked.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Binds rControl to the control nIDC (once; later exchanges leave it bound).
void DDX_Control(CDataExchange* pDX, int nIDC, CDialogItem& rControl);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);

// The prompt with %1 and %2 replaced.
CString AfxFormatPrompt2(const char* lpszFormat, const char* lpsz1, const char* lpsz2);
