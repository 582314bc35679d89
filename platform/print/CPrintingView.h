#pragma once
// The framework's printing protocol for a view, over Qt PrintSupport. A view that prints derives from
// CPrintingView as well as from its window class and overrides the printing steps; its File Print and
// Print Preview commands call DoFilePrint and DoFilePrintPreview. A job runs:
//   OnPreparePrinting (which calls DoPreparePrinting: print dialog or default printer, printer context)
//   OnBeginPrinting, then for each page OnPrepareDC and OnPrint, then OnEndPrinting.
// The print dialog, Print Setup and the preview window go through replaceable handlers so that tests
// can answer them. Without a printer on the system, jobs print to a PDF file chosen through the file
// dialog seam.
#include <functional>

#include "platform/core/WinTypes.h"
#include "platform/print/CPrintInfo.h"

class CDC;
class QPrinter;
class QPrintPreviewDialog;

class CPrintingView {
public:
    virtual ~CPrintingView() = default;

    // FALSE: no job. The default prepares the printer with the print dialog.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }
    virtual void OnBeginPrinting(CDC*, CPrintInfo*) {}
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) = 0;
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo) = 0;
    virtual void OnEndPrinting(CDC*, CPrintInfo*) {}

    // Gets the job's printer: the default one for previews and direct jobs, else the one chosen in the
    // print dialog; makes its context (m_pPD->m_pd.hDC). FALSE when cancelled or no printer is usable.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);

    // The framework's File Print (bDirect: straight to the default printer) and Print Preview.
    // Return the number of pages printed or previewed, -1 when no job ran.
    int DoFilePrint(BOOL bDirect = FALSE);
    int DoFilePrintPreview();

    // Title of the printed document.
    virtual CString GetPrintJobTitle() const { return "Quillmont"; }

private:
    int RunPages(QPrinter* pPrinter, CPrintInfo* pInfo, HDC hDC);
};

// The application's printer settings, which Print Setup changes and every job starts from. With no
// printer installed it prints PDF at 600 dots per inch.
QPrinter& AfxGetPrinterSetup();
// Print Setup: shows the setup handler on the application's printer. TRUE when accepted.
BOOL AfxDoPrintSetup();
// Whether the system has a printer of its own; PDF output stands in when not.
bool AfxHasSystemPrinter();

// The print dialog: the job's printer (set up from the application's) and the dialog record (page
// range, flags such as PD_NOPAGENUMS). Returns IDOK with the printer and the range chosen, or IDCANCEL.
using PrintDialogHandler = std::function<int(QPrinter& printer, PRINTDLG& pd)>;
PrintDialogHandler SetPrintDialogHandler(PrintDialogHandler handler);
// Print Setup on the application's printer; IDOK or IDCANCEL.
using PrintSetupHandler = std::function<int(QPrinter& printer)>;
PrintSetupHandler SetPrintSetupHandler(PrintSetupHandler handler);
// Shows the preview window, already filled with the job's paint request; returns when it closes.
using PrintPreviewHandler = std::function<void(QPrintPreviewDialog& dialog)>;
PrintPreviewHandler SetPrintPreviewHandler(PrintPreviewHandler handler);
