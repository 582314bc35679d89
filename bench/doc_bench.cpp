// Saving and loading a 2000 x 2000 maze document in the .mze format, through an archive over memory
// and over a file; opening a small file whose pictures would decode to gigabytes. Peak memory is read
// from outside, e.g. /usr/bin/time -v doc_bench --benchmark_filter=HugePictures.
#include "maze/CVantrelDoc.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CMemFile.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "tests/support/HostileMzeFiles.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 2000;

void Quiet()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    char pattern[] = "/tmp/vantrel-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    setenv("XDG_CONFIG_HOME", dir ? dir : "/tmp", 1);
    AfxGetProfile().SetRegistryKey("Quillmont");
    AfxGetProfile().SetAppName("FREEQuillmont");
    SetMessageBoxHandler([](const MessageBoxRequest& r) { return MessageBoxDefaultAnswer(r.type); });
}

// One grown maze, shared by the benchmarks.
CVantrelDoc& Maze()
{
    static std::unique_ptr<CVantrelDoc> doc = [] {
        Quiet();
        auto d = std::make_unique<CVantrelDoc>();
        d->m_nCellsX = kSide;
        d->m_nCellsY = kSide;
        d->m_nSeed = 7;
        d->OnFileNew();
        d->OnGenerateMaze();
        d->m_dVersion = 2.0;
        return d;
    }();
    return *doc;
}

std::vector<unsigned char> Saved(CVantrelDoc& doc)
{
    CMemFile file(1 << 20);
    CArchive ar(&file, CArchive::store);
    doc.Serialize(ar);
    ar.Close();
    std::vector<unsigned char> out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(out.data(), UINT(out.size()));
    return out;
}

void BM_SaveToMemory(benchmark::State& state)
{
    CVantrelDoc& doc = Maze();
    std::size_t bytes = 0;
    for (auto _ : state) {
        CMemFile file(1 << 20);
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
        bytes = std::size_t(file.GetLength());
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    state.counters["file_bytes"] = double(bytes);
}

void BM_LoadFromMemory(benchmark::State& state)
{
    std::vector<unsigned char> bytes = Saved(Maze());
    CVantrelDoc doc;
    doc.m_nCellsX = kSide;
    doc.m_nCellsY = kSide;
    for (auto _ : state) {
        CMemFile file(bytes.data(), UINT(bytes.size()));
        CArchive ar(&file, CArchive::load);
        doc.Serialize(ar);
        benchmark::DoNotOptimize(doc.m_nGrids);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}

void BM_SaveAndLoadFile(benchmark::State& state)
{
    CVantrelDoc& doc = Maze();
    const std::string path = std::string(std::getenv("XDG_CONFIG_HOME")) + "/bench.mze";
    CVantrelDoc reader;
    std::size_t bytes = 0;
    for (auto _ : state) {
        doc.OnSaveDocument(path.c_str());
        reader.OnOpenDocument(path.c_str());
        bytes = std::size_t(reader.GetGrid(0)->GetCellCount()) * 4;
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes) * 2);
}

// Eight 16000 x 16000 run-length BMP pictures in under 10 KB: opened once (the first open is what the
// user waits for), through the framework's open as the command line and the recent-file list use it.
void BM_OpenHugePictures(benchmark::State& state)
{
    Quiet();
    const std::vector<unsigned char> bytes = doc_test::HugePictureFile(8, 16000);
    const std::string path = std::string(std::getenv("XDG_CONFIG_HOME")) + "/huge.mze";
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write(bytes.data(), UINT(bytes.size()));
    }
    int opened = 0;
    int pictures = 0;
    for (auto _ : state) {
        CVantrelDoc doc;
        opened = doc.OnOpenDocument(path.c_str()) ? 1 : 0;
        pictures = doc.m_objects.GetSize();
    }
    state.counters["file_bytes"] = double(bytes.size());
    state.counters["opened"] = opened;
    state.counters["pictures"] = pictures;
}

} // namespace

BENCHMARK(BM_OpenHugePictures)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAndLoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
