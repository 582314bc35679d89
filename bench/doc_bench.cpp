// Saving and loading a 2000 x 2000 maze document in the .mze format, through an archive over memory
// and over a file; storing a layer picture, with and without the check that it comes back.
#include "image/CRasterImage.h"
#include "maze/CVantrelDoc.h"
#include "maze/StoredPicture.h"
#include "platform/CArchive.h"
#include "platform/CFile.h"
#include "platform/CMemFile.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
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

// A 3000 x 2000 true-colour picture with smooth gradients and some detail, as a placed photo is, as the
// format of the benchmark's argument gives it back (a metafile's is drawn, and has no writer).
const CRasterImage& Photo(DWORD format)
{
    static std::map<DWORD, std::unique_ptr<CRasterImage>> photos;
    std::unique_ptr<CRasterImage>& photo = photos[format];
    if (photo)
        return *photo;
    photo = std::make_unique<CRasterImage>(3000, 2000, 24, format == IMAGE_FORMAT_WMF ? format : IMAGE_FORMAT_BMP);
    for (DWORD y = 0; y < photo->GetHeight(); ++y) {
        BYTE* row = photo->GetBits(y);
        for (DWORD x = 0; x < photo->GetWidth(); ++x) {
            row[3 * x] = BYTE(x / 12 + (x * y) % 7);
            row[3 * x + 1] = BYTE(y / 8 + ((x ^ y) & 15));
            row[3 * x + 2] = BYTE((x + y) / 20);
        }
    }
    BYTE* bytes = nullptr;
    LONG size = 0;
    if (format != IMAGE_FORMAT_BMP && format != IMAGE_FORMAT_WMF && photo->Encode(bytes, size, format)) {
        photo->Decode(bytes, DWORD(size), format);
        std::free(bytes);
    }
    return *photo;
}

// What a save of the picture cost before it was checked: a copy encoded in its own format.
void BM_EncodePicture(benchmark::State& state)
{
    const CRasterImage& picture = Photo(DWORD(state.range(0)));
    LONG size = 0;
    for (auto _ : state) {
        CRasterImage copy(picture, true, true, true);
        BYTE* bytes = nullptr;
        copy.Encode(bytes, size, picture.GetType());
        std::free(bytes);
    }
    state.counters["stored_bytes"] = double(size);
}

// What it costs now: encoded, decoded as the reader will and compared with the picture.
void BM_StorePicture(benchmark::State& state)
{
    const CRasterImage& picture = Photo(DWORD(state.range(0)));
    StoredPicture stored;
    CString why;
    for (auto _ : state)
        benchmark::DoNotOptimize(stored.Encode(&picture, why));
    state.counters["stored_bytes"] = double(stored.GetSize());
    state.counters["stored_format"] = double(stored.GetType());
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

} // namespace

BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAndLoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePicture)->Arg(IMAGE_FORMAT_BMP)->Arg(IMAGE_FORMAT_JPG)->Arg(IMAGE_FORMAT_PNG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StorePicture)->Arg(IMAGE_FORMAT_BMP)->Arg(IMAGE_FORMAT_JPG)->Arg(IMAGE_FORMAT_PNG)->Arg(IMAGE_FORMAT_WMF)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
