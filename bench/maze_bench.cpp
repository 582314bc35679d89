// Make Maze (growth and solving, no view) on large square templates: cells per second, and the peak
// heap the document holds per cell from its creation to the end of the command.
#include "maze/CVantrelDoc.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <new>

namespace {
std::atomic<long long> g_liveBytes{0};
std::atomic<long long> g_peakBytes{0};

void Track(long long delta)
{
    long long now = g_liveBytes.fetch_add(delta) + delta;
    long long peak = g_peakBytes.load();
    while (now > peak && !g_peakBytes.compare_exchange_weak(peak, now)) {
    }
}
}

void* operator new(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    Track((long long)malloc_usable_size(p));
    return p;
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    void* p = std::malloc(n ? n : 1);
    if (p)
        Track((long long)malloc_usable_size(p));
    return p;
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept
{
    if (p) {
        Track(-(long long)malloc_usable_size(p));
        std::free(p);
    }
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {
std::unique_ptr<CVantrelDoc> MakeTemplate(int side)
{
    auto doc = std::make_unique<CVantrelDoc>();
    doc->m_nCellsX = side;
    doc->m_nCellsY = side;
    doc->m_nSeed = 12345;
    doc->CreateGrid();
    return doc;
}

void BM_MakeMaze(benchmark::State& state)
{
    const int side = int(state.range(0));
    const double cells = double(side) * side;

    // Peak heap of one whole run, from an empty document.
    long long base = g_liveBytes.load();
    g_peakBytes.store(base);
    {
        auto doc = MakeTemplate(side);
        doc->OnGenerateMaze();
    }
    const double peakPerCell = double(g_peakBytes.load() - base) / cells;

    auto doc = MakeTemplate(side);
    for (auto _ : state) {
        state.PauseTiming();
        doc->OnClearMaze();
        doc->m_nStartX = doc->m_nStartY = -1;
        state.ResumeTiming();
        doc->OnGenerateMaze();
        benchmark::DoNotOptimize(doc->m_pGrids[0]->cells.get());
    }
    state.counters["cells_per_second"] = benchmark::Counter(cells, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_bytes_per_cell"] = peakPerCell;
}

// Solving alone, again and again on one made maze (each solve finds the same marks).
void BM_Solve(benchmark::State& state)
{
    const int side = int(state.range(0));
    auto doc = MakeTemplate(side);
    doc->OnGenerateMaze();
    for (auto _ : state)
        doc->OnSolve();
    state.counters["cells_per_second"] =
        benchmark::Counter(double(side) * side, benchmark::Counter::kIsIterationInvariantRate);
}
}

BENCHMARK(BM_MakeMaze)->Arg(250)->Arg(1000)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Solve)->Arg(250)->Arg(1000)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
