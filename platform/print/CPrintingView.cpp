#include "platform/print/CPrintingView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGraphicsView>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/gdi/CDC.h"
#include "platform/print/PreviewPageAverager.h"
#include "platform/print/PrinterDC.h"
#include "platform/ui/CWinApp.h"

namespace {
constexpr int kPdfResolution = 600;

int ShowQtPrintDialog(QPrinter& printer, PRINTDLG& pd)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setMinMax(pd.nMinPage, pd.nMaxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, !(pd.Flags & PD_NOPAGENUMS));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, !(pd.Flags & PD_NOSELECTION));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted)
        return IDCANCEL;
    if (dialog.printRange() == QAbstractPrintDialog::PageRange && dialog.fromPage() > 0) {
        pd.nFromPage = WORD(dialog.fromPage());
        pd.nToPage = WORD(dialog.toPage());
    }
    return IDOK;
}

int ShowQtPrintSetup(QPrinter& printer)
{
    QPageSetupDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void ShowQtPreview(QPrintPreviewDialog& dialog) { dialog.exec(); }

PrintDialogHandler& DialogHandler()
{
    static PrintDialogHandler handler = ShowQtPrintDialog;
    return handler;
}

PrintSetupHandler& SetupHandler()
{
    static PrintSetupHandler handler = ShowQtPrintSetup;
    return handler;
}

PrintPreviewHandler& PreviewHandler()
{
    static PrintPreviewHandler handler = ShowQtPreview;
    return handler;
}

template <class H>
H Replace(H& slot, H handler, H fallback)
{
    H old = std::move(slot);
    slot = handler ? std::move(handler) : std::move(fallback);
    return old;
}

// A job's printer starts from the application's settings.
std::unique_ptr<QPrinter> NewJobPrinter()
{
    QPrinter& setup = AfxGetPrinterSetup();
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (setup.outputFormat() == QPrinter::NativeFormat)
        printer->setPrinterName(setup.printerName());
    else
        printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageLayout(setup.pageLayout());
    printer->setResolution(setup.resolution());
    printer->setFullPage(setup.fullPage());
    printer->setOutputFileName(setup.outputFileName());
    return printer;
}

// PDF output without a file named yet asks for one.
bool ChooseOutputFile(QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || !printer.outputFileName().isEmpty())
        return true;
    CFileDialog dialog(FALSE, "pdf", "maze.pdf", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "PDF Files (*.pdf)|*.pdf||");
    if (dialog.DoModal() != IDOK)
        return false;
    printer.setOutputFileName(QString::fromLocal8Bit(dialog.GetPathName().GetString()));
    return true;
}

// The preview window's page layout. Qt's facing-pages view sets page 1 apart on the right, as a
// book's cover, and starts page 2 on a new row; these pages are not a book, so that view is not
// offered. Pages that go side by side use Qt's overview, which puts two pages in one row, page 1 on
// the left; the overview turns the fit buttons off, but with every page on view they fit them all,
// so they stay on and the pages open fitted to the window.
void ArrangePreview(QPrintPreviewDialog& dialog, UINT nPagesSideBySide)
{
    if (auto* pFacing = dialog.findChild<QAction*>("facingModeAction"))
        pFacing->setVisible(false);
    QAction* pOverview = dialog.findChild<QAction*>("overviewModeAction");
    QAction* pFitPage = dialog.findChild<QAction*>("fitPageAction");
    if (!pOverview || !pFitPage || !pFitPage->actionGroup())
        return;
    QObject::connect(pOverview, &QAction::triggered, &dialog, [pFitPage] {
        pFitPage->actionGroup()->setEnabled(true);
        pFitPage->trigger();
    });
    if (nPagesSideBySide >= 2)
        pOverview->trigger();
}
} // namespace

bool AfxHasSystemPrinter() { return !QPrinterInfo::availablePrinters().isEmpty(); }

QPrinter& AfxGetPrinterSetup()
{
    static QPrinter* pPrinter = [] {
        auto* p = new QPrinter(QPrinter::HighResolution);
        if (!AfxHasSystemPrinter() || !p->isValid()) {
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setResolution(kPdfResolution);
        }
        return p;
    }();
    return *pPrinter;
}

BOOL AfxDoPrintSetup() { return SetupHandler()(AfxGetPrinterSetup()) == IDOK; }

// Any program that prints links this file (its views derive from CPrintingView), and so offers Print
// Setup through the application's command.
[[maybe_unused]] static const bool g_printSetupOffered = (AfxSetPrintSetupCommand(AfxDoPrintSetup), true);

PrintDialogHandler SetPrintDialogHandler(PrintDialogHandler handler)
{
    return Replace(DialogHandler(), std::move(handler), PrintDialogHandler(ShowQtPrintDialog));
}

PrintSetupHandler SetPrintSetupHandler(PrintSetupHandler handler)
{
    return Replace(SetupHandler(), std::move(handler), PrintSetupHandler(ShowQtPrintSetup));
}

PrintPreviewHandler SetPrintPreviewHandler(PrintPreviewHandler handler)
{
    return Replace(PreviewHandler(), std::move(handler), PrintPreviewHandler(ShowQtPreview));
}

BOOL CPrintingView::DoPreparePrinting(CPrintInfo* pInfo)
{
    PRINTDLG& pd = pInfo->m_pPD->m_pd;
    if (pd.hDC) {
        ::DeleteDC(pd.hDC);
        pd.hDC = nullptr;
    }
    std::unique_ptr<QPrinter> printer = NewJobPrinter();
    pd.nFromPage = pd.nMinPage;
    pd.nToPage = pd.nMaxPage;
    if (!pInfo->m_bPreview && !pInfo->m_bDirect && DialogHandler()(*printer, pd) != IDOK)
        return FALSE;
    if (!pInfo->m_bPreview && !ChooseOutputFile(*printer))
        return FALSE;
    HDC hDC = CreatePrinterDC(printer.get());
    if (!hDC)
        return FALSE;
    pd.hDC = hDC;
    pInfo->m_pPrinter = std::move(printer);
    return TRUE;
}

int CPrintingView::RunPages(QPrinter* pPrinter, CPrintInfo* pInfo, HDC hDC)
{
    (void)pPrinter;
    CDC dc;
    dc.Attach(hDC);
    pInfo->m_bContinuePrinting = TRUE;
    OnBeginPrinting(&dc, pInfo);
    int nPages = -1;
    if (dc.StartDoc(GetPrintJobTitle()) > 0) {
        nPages = 0;
        const UINT nFirst = std::max(pInfo->GetFromPage(), pInfo->GetMinPage());
        const UINT nLast = std::min(pInfo->GetToPage(), pInfo->GetMaxPage());
        for (UINT nPage = nFirst; nPage <= nLast && pInfo->m_bContinuePrinting; ++nPage) {
            // A job that never said how many pages it has prints one.
            if (pInfo->GetMaxPage() == 0xFFFF && nPage > 1)
                break;
            pInfo->m_nCurPage = nPage;
            OnPrepareDC(&dc, pInfo);
            if (!pInfo->m_bContinuePrinting)
                break;
            dc.StartPage();
            pInfo->m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
            OnPrint(&dc, pInfo);
            dc.EndPage();
            ++nPages;
        }
        if (dc.EndDoc() <= 0)
            nPages = -1;
    }
    OnEndPrinting(&dc, pInfo);
    dc.Detach();
    return nPages;
}

int CPrintingView::DoFilePrint(BOOL bDirect)
{
    CPrintInfo info;
    info.m_bDirect = bDirect;
    if (!OnPreparePrinting(&info))
        return -1;
    if (!info.m_pPD->m_pd.hDC && !DoPreparePrinting(&info))
        return -1;
    const int nPages = RunPages(info.m_pPrinter.get(), &info, info.m_pPD->m_pd.hDC);
    if (nPages < 0)
        AfxMessageBox("Could not start print job.", MB_ICONEXCLAMATION);
    return nPages;
}

int CPrintingView::DoFilePrintPreview()
{
    CPrintInfo info;
    info.m_bPreview = TRUE;
    if (!OnPreparePrinting(&info))
        return -1;
    if (!info.m_pPD->m_pd.hDC && !DoPreparePrinting(&info))
        return -1;
    QPrintPreviewDialog dialog(info.m_pPrinter.get(), QApplication::activeWindow());
    int nPages = -1;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter* pPrinter) {
        if (HDC hDC = CreatePrinterDC(pPrinter)) {
            nPages = RunPages(pPrinter, &info, hDC);
            ::DeleteDC(hDC);
        }
    });
    ArrangePreview(dialog, info.m_nNumPreviewPages);
    if (auto* pView = dialog.findChild<QGraphicsView*>())
        new PreviewPageAverager(pView);
    PreviewHandler()(dialog);
    return nPages;
}
