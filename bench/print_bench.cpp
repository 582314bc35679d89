// Printing a 200 x 260 maze at 600 dots per inch, on the program's watermark (run by hand, offscreen):
//   QT_QPA_PLATFORM=offscreen build-x/bench/print_bench
// RenderMazePage / RenderSolutionPage: the page drawn into its bitmap at printer resolution.
// PrintMazePage / PrintSolutionPage: a whole page of the job, render and copy to a PDF printer.
// PreviewToFirstPage: File Print Preview from the command to the first page painted in its window.
// PrintJobToPdf: File Print of the maze and its solution (two pages) to a PDF file, options answered
// with PRINT; the file's size is reported as pdfBytes.
// With VANTREL_PRINT_BENCH_OUT set to a folder, the last rendered pages (render-maze.png,
// render-solution.png), the preview as first painted (preview.png) and the job (job.pdf) are written
// there, to compare two builds pixel for pixel.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QGraphicsView>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <memory>

#include "platform/print/CPrintInfo.h"
#include "platform/print/CPrintingView.h"
#include "platform/print/PrinterDC.h"
#include "platform/ui/CDialog.h"
#include "resources/periph/PeriphResources.h"
#include "tests/support/ToolsTestSupport.h"

namespace {
constexpr int kDpi = 600;

// The folder the results go to; empty when they are not kept.
QString OutDir() { return qEnvironmentVariable("VANTREL_PRINT_BENCH_OUT"); }

void SavePage(CBitmap& page, const char* name)
{
    BITMAP bm{};
    if (OutDir().isEmpty() || !page.GetBitmap(&bm))
        return;
    QImage image(bm.bmWidth, bm.bmHeight, QImage::Format_RGB32);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;  // top-down, as the image's rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, HBITMAP(page.GetSafeHandle()), 0, UINT(bm.bmHeight), image.bits(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    image.save(QDir(OutDir()).filePath(name));
}

struct Fixture {
    Fixture() : window(RUNTIME_CLASS(CVantrelView), 200, 260, 35)
    {
        window.doc.m_nSeed = 2024;
        window.doc.OnGenerateMaze();
        CMazePrintDialog& dlg = window.view->m_printDialog;
        dlg.m_bPrintMaze = 1;
        dlg.m_bPrintSolution = 1;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(kDpi);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setOutputFileName(QDir::temp().filePath("vantrel_print_bench.pdf"));
    }
    tooltest::MazeWindow window;
    QPrinter printer{QPrinter::HighResolution};
};

Fixture& Shared()
{
    static Fixture* fixture = [] {
        tooltest::EnsureApplication();
        VantrelInitPeriphResources();  // the pictures the page draws, its watermark among them
        return new Fixture;
    }();
    return *fixture;
}

void Render(benchmark::State& state, bool bSolution)
{
    Fixture& f = Shared();
    CVantrelView& view = *f.window.view;
    const int W = f.window.doc.m_nPageWidth, H = f.window.doc.m_nPageHeight;
    view.m_bShowSolution = bSolution;
    CBitmap page;
    for (auto _ : state) {
        page.DeleteObject();
        benchmark::DoNotOptimize(view.RenderToImage(page, W, -H, kDpi * W / 1000, kDpi * H / 1000));
    }
    SavePage(page, bSolution ? "render-solution.png" : "render-maze.png");
    view.m_bShowSolution = 0;
}

void Print(benchmark::State& state, UINT nPage)
{
    Fixture& f = Shared();
    CDC dc;
    dc.Attach(CreatePrinterDC(&f.printer));
    dc.StartDoc("bench");
    CPrintInfo info;
    info.SetMaxPage(2);
    info.m_nCurPage = nPage;  // page 1 the maze, page 2 its solution
    for (auto _ : state) {
        dc.StartPage();
        f.window.view->OnPrint(&dc, &info);
        dc.EndPage();
    }
    dc.EndDoc();
}

// Notes when a widget has been painted.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        painted = painted || e->type() == QEvent::Paint;
        return false;
    }
};

void PreviewToFirstPage(benchmark::State& state)
{
    Fixture& f = Shared();
    QPrinter& setup = AfxGetPrinterSetup();
    setup.setOutputFormat(QPrinter::PdfFormat);
    setup.setResolution(kDpi);
    setup.setPageSize(QPageSize(QPageSize::Letter));
    SetPrintPreviewHandler([](QPrintPreviewDialog& dialog) {
        PaintWatch watch;
        auto* pView = dialog.findChild<QPrintPreviewWidget*>()->findChild<QGraphicsView*>();
        pView->viewport()->installEventFilter(&watch);
        dialog.resize(1000, 800);
        dialog.show();
        // The paint has ended when the event that delivered it has been handled.
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        pView->viewport()->removeEventFilter(&watch);
        if (!OutDir().isEmpty())
            pView->viewport()->grab().save(QDir(OutDir()).filePath("preview.png"));
        dialog.close();
    });
    for (auto _ : state)
        benchmark::DoNotOptimize(f.window.view->DoFilePrintPreview());
    SetPrintPreviewHandler({});
}

void PrintJobToPdf(benchmark::State& state)
{
    Fixture& f = Shared();
    const QString pdf = QDir::temp().filePath("vantrel_print_job_bench.pdf");
    QPrinter& setup = AfxGetPrinterSetup();
    setup.setOutputFormat(QPrinter::PdfFormat);
    setup.setResolution(kDpi);
    setup.setPageSize(QPageSize(QPageSize::Letter));
    setup.setOutputFileName(pdf);
    SetDialogRunner([](CDialog& d) { d.ClickDlgItem(IDOK); });
    for (auto _ : state)
        benchmark::DoNotOptimize(f.window.view->DoFilePrint(FALSE));
    SetDialogRunner({});
    setup.setOutputFileName(QString());
    state.counters["pdfBytes"] = double(QFileInfo(pdf).size());
    if (!OutDir().isEmpty()) {
        QFile::remove(QDir(OutDir()).filePath("job.pdf"));
        QFile::copy(pdf, QDir(OutDir()).filePath("job.pdf"));
    }
}

void RenderMazePage(benchmark::State& state) { Render(state, false); }
void RenderSolutionPage(benchmark::State& state) { Render(state, true); }
void PrintMazePage(benchmark::State& state) { Print(state, 1); }
void PrintSolutionPage(benchmark::State& state) { Print(state, 2); }
} // namespace

BENCHMARK(RenderMazePage)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RenderSolutionPage)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PrintMazePage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PrintSolutionPage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PreviewToFirstPage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PrintJobToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
