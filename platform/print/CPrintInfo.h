#pragma once
// The record of one print or preview job that the framework hands to a view's printing overrides,
// and the print dialog's settings record.
#include <memory>

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/gdi/WinGdi.h"

class QPrinter;

// Print dialog flags.
constexpr DWORD PD_ALLPAGES = 0x00000000;
constexpr DWORD PD_SELECTION = 0x00000001;
constexpr DWORD PD_PAGENUMS = 0x00000002;
constexpr DWORD PD_NOSELECTION = 0x00000004;
constexpr DWORD PD_NOPAGENUMS = 0x00000008;
constexpr DWORD PD_PRINTTOFILE = 0x00000020;
constexpr DWORD PD_PRINTSETUP = 0x00000040;
constexpr DWORD PD_RETURNDC = 0x00000100;
constexpr DWORD PD_RETURNDEFAULT = 0x00000400;
constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;

struct PRINTDLG {
    DWORD Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION | PD_RETURNDC;
    WORD nFromPage = 1;
    WORD nToPage = 0xFFFF;
    WORD nMinPage = 1;
    WORD nMaxPage = 0xFFFF;
    WORD nCopies = 1;
    HDC hDC = nullptr;  // the printer's context after a successful dialog
};

class CPrintDialog {
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly = FALSE);
    PRINTDLG m_pd;
    BOOL m_bPrintSetupOnly;
};

class CPrintInfo {
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = WORD(nMinPage); }
    void SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = WORD(nMaxPage); }
    UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
    UINT GetFromPage() const { return m_pPD->m_pd.nFromPage; }
    UINT GetToPage() const { return m_pPD->m_pd.nToPage; }

    std::unique_ptr<CPrintDialog> m_pPDOwned;
    CPrintDialog* m_pPD;
    BOOL m_bDirect = FALSE;          // print to the default printer without the print dialog
    BOOL m_bPreview = FALSE;         // the job is a print preview
    BOOL m_bContinuePrinting = TRUE; // cleared to stop before the next page
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;     // pages shown side by side in the preview
    CString m_strPageDesc;
    LPVOID m_lpUserData = nullptr;
    CRect m_rectDraw;                // the printable area of the page, in device units

    // The printer the job goes to, set up by DoPreparePrinting.
    std::unique_ptr<QPrinter> m_pPrinter;
};
