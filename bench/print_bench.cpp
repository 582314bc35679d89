// Printing a 200 x 260 maze at 600 dots per inch (run by hand, offscreen):
//   QT_QPA_PLATFORM=offscreen build-x/bench/print_bench
// RenderMazePage / RenderSolutionPage: the page drawn into its bitmap at printer resolution.
// PrintMazePage / PrintSolutionPage: a whole page of the job, render and copy to a PDF printer.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QPrinter>

#include <memory>

#include "platform/CPrintInfo.h"
#include "platform/PrinterDC.h"
#include "tests/view/tools_support.h"

namespace {
constexpr int kDpi = 600;

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
    for (auto _ : state) {
        CBitmap page;
        benchmark::DoNotOptimize(view.RenderToImage(page, W, -H, kDpi * W / 1000, kDpi * H / 1000));
    }
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

void RenderMazePage(benchmark::State& state) { Render(state, false); }
void RenderSolutionPage(benchmark::State& state) { Render(state, true); }
void PrintMazePage(benchmark::State& state) { Print(state, 1); }
void PrintSolutionPage(benchmark::State& state) { Print(state, 2); }
} // namespace

BENCHMARK(RenderMazePage)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RenderSolutionPage)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PrintMazePage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PrintSolutionPage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
