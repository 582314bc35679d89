#pragma once
// What the image codec benchmarks share: the 4000 x 3000 picture size, encoding to memory, the
// megapixel-rate counters, the timed encode and decode loops, and ImageMagick's convert timed on
// the same files.
#include "image/CRasterImage.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace imagebench {

using Bytes = std::vector<BYTE>;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr double kPixels = double(kWidth) * kHeight;

// Encodes through the format dispatch into memory; empty on failure (the message stays in img).
inline Bytes EncodeBytes(CRasterImage& img, DWORD type)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!img.Encode(buffer, size, type))
        return {};
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// Megapixels per second over the runs, and the size of the file in megabytes.
inline void SetRate(benchmark::State& state, double pixels, std::size_t bytes)
{
    state.counters["MP/s"] = benchmark::Counter(pixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(bytes) / 1e6;
}

inline void SetRate(benchmark::State& state, std::size_t bytes)
{
    SetRate(state, kPixels, bytes);
}

// Times encode(), which gives the file (empty when it fails, with the message left in img).
template <class EncodeFn>
void TimeEncode(benchmark::State& state, const CRasterImage& img, EncodeFn encode, double pixels = kPixels)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Bytes out = encode();
        if (out.empty())
            state.SkipWithError(img.GetLastError());
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    SetRate(state, pixels, bytes);
}

// Times decode(img), which reads the file into a fresh image; a result of another width fails.
template <class DecodeFn>
void TimeDecode(benchmark::State& state, std::size_t fileSize, DecodeFn decode, int width = kWidth,
                double pixels = kPixels)
{
    for (auto _ : state) {
        CRasterImage img;
        if (!decode(img) || img.GetWidth() != DWORD(width))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.GetBits(0));
    }
    SetRate(state, pixels, fileSize);
}

// ImageMagick's own program, not a wrapper that may shadow it on the PATH; empty when missing.
inline std::string Convert()
{
    for (const char* c : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"})
        if (::access(c, X_OK) == 0)
            return c;
    return {};
}

inline std::string TempPath(const std::string& name)
{
    return "/tmp/vantrel_bench_" + name;
}

inline std::string WriteTemp(const std::string& name, const Bytes& data)
{
    const std::string path = TempPath(name);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return path;
}

// The picture as a binary PPM, rows from the top, for convert to encode from.
inline std::string WritePpm(const std::string& name, const CRasterImage& img)
{
    const std::string path = TempPath(name);
    std::ofstream f(path, std::ios::binary);
    f << "P6\n" << img.GetWidth() << " " << img.GetHeight() << "\n255\n";
    std::vector<char> row(std::size_t(img.GetWidth()) * 3);
    for (LONG y = LONG(img.GetHeight()) - 1; y >= 0; --y) {
        for (LONG x = 0; x < LONG(img.GetWidth()); ++x) {
            const RGBQUAD c = img.GetPixelColor(x, y, false);
            row[std::size_t(x) * 3] = char(c.rgbRed);
            row[std::size_t(x) * 3 + 1] = char(c.rgbGreen);
            row[std::size_t(x) * 3 + 2] = char(c.rgbBlue);
        }
        f.write(row.data(), std::streamsize(row.size()));
    }
    return path;
}

// convert with the given arguments, one process per run (its start-up is small beside 12
// megapixels); skipped when ImageMagick is not installed.
inline void TimeConvert(benchmark::State& state, const std::string& args, std::size_t fileSize,
                        double pixels = kPixels)
{
    const std::string convert = Convert();
    if (convert.empty()) {
        state.SkipWithError("ImageMagick not installed");
        return;
    }
    const std::string cmd = convert + " " + args + " 2>/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("convert failed");
    SetRate(state, pixels, fileSize);
}

} // namespace imagebench
