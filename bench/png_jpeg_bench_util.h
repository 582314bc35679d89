#pragma once
// Shared parts of the PNG and JPEG throughput benchmarks: the 4000 x 3000 test picture, encoding to
// memory, the megapixel rate, and ImageMagick's convert on the same files.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace pjbench {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr double kPixels = double(kWidth) * kHeight;

// Smooth gradients, hard-edged blocks and a little grain, as in a photograph of a drawing.
inline CRasterImage& Photo()
{
    static CRasterImage img = [] {
        CRasterImage i(kWidth, kHeight, 24, 0);
        for (int y = 0; y < kHeight; ++y) {
            BYTE* row = i.GetBits(DWORD(kHeight - 1 - y));
            for (int x = 0; x < kWidth; ++x) {
                unsigned h = unsigned(x) * 2654435761u ^ unsigned(y) * 2246822519u;
                h ^= h >> 15;
                h *= 2654435761u;
                const unsigned grain = h >> 28; // sensor noise of up to 15 levels
                const bool block = ((x / 250 + y / 250) % 2) != 0;
                row[3 * x] = BYTE(block ? 180 + grain : 40 + grain);
                row[3 * x + 1] = BYTE(y * 255 / kHeight + grain);
                row[3 * x + 2] = BYTE(x * 255 / kWidth);
            }
        }
        return i;
    }();
    return img;
}

inline std::vector<BYTE> Encode(CRasterImage& img, bool (*encode)(CRasterImage&, CRasterFile*))
{
    CRasterMemFile mem;
    mem.Open();
    if (!encode(img, &mem))
        return {};
    BYTE* b = mem.GetBuffer(false);
    return std::vector<BYTE>(b, b + mem.Size());
}

inline void SetRate(benchmark::State& state, std::size_t bytes)
{
    state.counters["MP/s"] = benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(bytes) / 1e6;
}

inline void BenchEncode(benchmark::State& state, CRasterImage& img, bool (*encode)(CRasterImage&, CRasterFile*))
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto out = Encode(img, encode);
        if (out.empty())
            state.SkipWithError("encode failed");
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    SetRate(state, bytes);
}

inline void BenchDecode(benchmark::State& state, const std::vector<BYTE>& file, bool (*decode)(CRasterImage&, CRasterFile*))
{
    for (auto _ : state) {
        CRasterImage img;
        CRasterMemFile mem(file.data(), DWORD(file.size()));
        if (!decode(img, &mem) || img.GetWidth() != DWORD(kWidth))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.GetBits(0));
    }
    SetRate(state, file.size());
}

inline std::string Convert()
{
    for (const char* c : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"})
        if (::access(c, X_OK) == 0)
            return c;
    return {};
}

inline std::string WriteTemp(const std::string& name, const std::vector<BYTE>& data)
{
    const std::string path = "/tmp/vantrel_bench_" + name;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return path;
}

inline std::string WritePpm(const std::string& name, CRasterImage& img)
{
    const std::string path = "/tmp/vantrel_bench_" + name;
    std::ofstream f(path, std::ios::binary);
    f << "P6\n" << img.GetWidth() << " " << img.GetHeight() << "\n255\n";
    std::vector<char> row(std::size_t(img.GetWidth()) * 3);
    for (LONG y = LONG(img.GetHeight()) - 1; y >= 0; --y) {
        const BYTE* p = img.GetBits(DWORD(y));
        for (std::size_t x = 0; x < img.GetWidth(); ++x) {
            row[3 * x] = char(p[3 * x + 2]);
            row[3 * x + 1] = char(p[3 * x + 1]);
            row[3 * x + 2] = char(p[3 * x]);
        }
        f.write(row.data(), std::streamsize(row.size()));
    }
    return path;
}

// convert as a separate process per run (its start-up is small beside 12 megapixels): decode reads
// our file into a discarded PPM, encode writes the format from the same picture as PPM.
inline void BenchImageMagick(benchmark::State& state, const std::vector<BYTE>& file, const std::string& ext,
                             bool decode, const std::string& encodeArgs = "")
{
    const std::string convert = Convert();
    if (convert.empty()) {
        state.SkipWithError("ImageMagick not installed");
        return;
    }
    const std::string ours = WriteTemp("ours." + ext, file);
    const std::string ppm = WritePpm("source.ppm", Photo());
    const std::string cmd = decode ? convert + " " + ours + " ppm:/dev/null"
                                   : convert + " " + ppm + " " + encodeArgs + " /tmp/vantrel_bench_im." + ext;
    for (auto _ : state) {
        if (std::system((cmd + " 2>/dev/null").c_str()) != 0)
            state.SkipWithError("convert failed");
    }
    SetRate(state, file.size());
}

} // namespace pjbench
