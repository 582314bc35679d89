#pragma once
// Shared parts of the PNG and JPEG throughput benchmarks: the test picture and the codec entry points
// timed through the common benchmark helpers.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "ImageBenchUtil.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace pjbench {

using namespace imagebench;

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

inline void BenchEncode(benchmark::State& state, CRasterImage& img, bool (*encode)(CRasterImage&, CRasterFile*))
{
    TimeEncode(state, img, [&] { return Encode(img, encode); });
}

inline void BenchDecode(benchmark::State& state, const std::vector<BYTE>& file, bool (*decode)(CRasterImage&, CRasterFile*))
{
    TimeDecode(state, file.size(), [&](CRasterImage& img) {
        CRasterMemFile mem(file.data(), DWORD(file.size()));
        return decode(img, &mem);
    });
}

// decode: convert reads our file into a discarded PPM; encode: it writes the format from the same
// picture as PPM.
inline void BenchImageMagick(benchmark::State& state, const std::vector<BYTE>& file, const std::string& ext,
                             bool decode, const std::string& encodeArgs = "")
{
    const std::string ours = WriteTemp("ours." + ext, file);
    const std::string ppm = WritePpm("source.ppm", Photo());
    TimeConvert(state, decode ? ours + " ppm:/dev/null" : ppm + " " + encodeArgs + " " + TempPath("im." + ext),
                file.size());
}

} // namespace pjbench
