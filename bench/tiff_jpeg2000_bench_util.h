#pragma once
// Shared by the TIFF and JPEG 2000 benchmarks: the 4000 x 3000 test pictures, encoding to memory,
// the megapixel-rate counter, and ImageMagick's convert run on the same files.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace codecbench {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr double kPixels = double(kWidth) * kHeight;

// Smooth gradients, hard edges and a little grain, as in a photograph of a drawing.
inline void Colour(int x, int y, BYTE& r, BYTE& g, BYTE& b)
{
    const unsigned grain = (unsigned(x) * 2654435761u ^ unsigned(y) * 40503u) >> 29;
    r = BYTE(x * 255 / kWidth + grain);
    g = BYTE(y * 255 / kHeight);
    b = BYTE(((x / 250 + y / 250) % 2) ? 180 + grain : 40);
}

inline CRasterImage& TrueColor()
{
    static CRasterImage img = [] {
        CRasterImage i(kWidth, kHeight, 24, 0);
        for (int y = 0; y < kHeight; ++y) {
            BYTE* row = i.GetBits(DWORD(kHeight - 1 - y));
            for (int x = 0; x < kWidth; ++x)
                Colour(x, y, row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        }
        return i;
    }();
    return img;
}

inline CRasterImage& Grey()
{
    static CRasterImage img = [] {
        CRasterImage i(kWidth, kHeight, 8, 0);
        i.SetGrayPalette();
        for (int y = 0; y < kHeight; ++y) {
            BYTE* row = i.GetBits(DWORD(kHeight - 1 - y));
            for (int x = 0; x < kWidth; ++x) {
                BYTE r, g, b;
                Colour(x, y, r, g, b);
                row[x] = BYTE((r * 3 + g * 5 + b * 2) / 10);
            }
        }
        return i;
    }();
    return img;
}

inline std::vector<BYTE> EncodeBytes(CRasterImage& img, DWORD type)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!img.Encode(buffer, size, type))
        return {};
    std::vector<BYTE> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

inline void SetRate(benchmark::State& state, std::size_t bytes)
{
    state.counters["MP/s"] = benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(bytes) / 1e6;
}

inline void Encode(benchmark::State& state, CRasterImage& img, DWORD type)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto out = EncodeBytes(img, type);
        if (out.empty())
            state.SkipWithError(img.GetLastError());
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    SetRate(state, bytes);
}

inline void Decode(benchmark::State& state, CRasterImage& img, DWORD type)
{
    const auto file = EncodeBytes(img, type);
    for (auto _ : state) {
        CRasterImage back;
        if (!back.Decode(file.data(), DWORD(file.size()), type) || back.GetWidth() != DWORD(kWidth))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(back.GetBits(0));
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
    const std::string path = "/tmp/vantrel_codec_bench_" + name;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return path;
}

// convert on the same picture, one process per run (its start-up is small beside 12 megapixels):
// decode reads our file; encode writes the format from the picture as PNM, with the given options.
inline void ImageMagick(benchmark::State& state, CRasterImage& img, DWORD type, const std::string& ext, bool decode,
                        const std::string& options)
{
    const std::string convert = Convert();
    if (convert.empty()) {
        state.SkipWithError("ImageMagick not installed");
        return;
    }
    const auto file = EncodeBytes(img, type);
    const std::string ours = WriteTemp("ours." + ext, file);
    const std::string pnm = WriteTemp(img.GetBpp() == 24 ? "src.ppm" : "src.pgm", EncodeBytes(img, IMAGE_FORMAT_PNM));
    const std::string cmd = decode ? convert + " " + ours + " ppm:/dev/null"
                                   : convert + " " + pnm + " " + options + " /tmp/vantrel_codec_bench_im." + ext;
    for (auto _ : state)
        if (std::system((cmd + " 2>/dev/null").c_str()) != 0)
            state.SkipWithError("convert failed");
    SetRate(state, file.size());
}

} // namespace codecbench
