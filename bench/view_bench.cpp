// A full redraw of a grown 200 x 260 maze on the default page (7.5 x 9.5 inches at 96 dots per inch):
// every cell's fill and walls drawn into a page-sized memory bitmap; and the page's watermark alone.
#include "maze/CVantrelDoc.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "resources/periph/PeriphResources.h"
#include "view/CVantrelView.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {
class BenchView : public CVantrelView {
public:
    explicit BenchView(CVantrelDoc* pDoc) { m_pDocument = pDoc; }
    ~BenchView() override { m_pDocument = nullptr; }
};

// bScreen: through the back buffer and copied out, as a window paint after a change; else straight
// onto the DC, as a print or render pass.
void FullRedraw(benchmark::State& state, int nShowSolution, bool bScreen)
{
    CVantrelDoc doc;
    doc.m_nSeed = 1;
    doc.m_bFitToPage = 1;
    doc.m_nCellsX = 200;
    doc.m_nCellsY = 260;
    doc.CreateGrid();
    doc.OnGenerateMaze();

    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, 721, 913);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.SetMapMode(MM_HIENGLISH);

    BenchView view(&doc);
    view.m_bShowSolution = nShowSolution;
    view.RebuildBackBuffer(&dc);
    for (auto _ : state) {
        if (bScreen)
            doc.m_bDirty = 1;
        else
            view.m_bScreen = 0;
        view.OnDraw(&dc);
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = 200.0 * 260.0;
    dc.SelectObject(pOld);
}

// The watermark alone: decoded from the resources and stretched into its 30 tiles over the page.
void BM_Watermark(benchmark::State& state)
{
    CVantrelDoc doc;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, 721, 913);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.SetMapMode(MM_HIENGLISH);
    BenchView view(&doc);
    view.m_extent = CSize(7510, -9500);
    for (auto _ : state) {
        view.DrawWatermark(&dc);
        benchmark::ClobberMemory();
    }
    dc.SelectObject(pOld);
}

void BM_FullRedraw(benchmark::State& state) { FullRedraw(state, 0, false); }
void BM_FullRedrawWithSolution(benchmark::State& state) { FullRedraw(state, 1, false); }
void BM_ScreenRedrawThroughBackBuffer(benchmark::State& state) { FullRedraw(state, 1, true); }
}  // namespace

BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedrawWithSolution)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenRedrawThroughBackBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Watermark)->Unit(benchmark::kMillisecond);

// A full redraw writes the footer's text, which needs the application's font database, and draws the
// watermark from the program's resources, registered as the program's entry does.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    VantrelInitPeriphResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
