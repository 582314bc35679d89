// A full redraw of a grown 200 x 260 maze on the default page (7.5 x 9.5 inches at 96 dots per inch):
// every cell's fill and walls drawn into a page-sized memory bitmap, as a print or render pass does.
#include "maze/CVantrelDoc.h"
#include "platform/CDC.h"
#include "platform/CGdiObject.h"
#include "view/CVantrelView.h"

#include <benchmark/benchmark.h>

namespace {
class BenchView : public CVantrelView {
public:
    explicit BenchView(CVantrelDoc* pDoc) { m_pDocument = pDoc; }
    ~BenchView() override { m_pDocument = nullptr; }
};

void FullRedraw(benchmark::State& state, int nShowSolution)
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
    for (auto _ : state) {
        view.m_bScreen = 0;  // draw every layer straight onto the DC
        view.OnDraw(&dc);
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = 200.0 * 260.0;
    dc.SelectObject(pOld);
}

void BM_FullRedraw(benchmark::State& state) { FullRedraw(state, 0); }
void BM_FullRedrawWithSolution(benchmark::State& state) { FullRedraw(state, 1); }
}  // namespace

BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedrawWithSolution)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
