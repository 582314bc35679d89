// TIFF throughput on a 4000 x 3000 picture, in megapixels per second: true colour with JPEG (the
// writer's choice), LZW with the predictor and no compression, and 8-bit grey with LZW; beside
// ImageMagick's convert reading our files and writing the same compressions.
#include "image/CRasterImage.h"
#include "tiff_jpeg2000_bench_util.h"

#include <benchmark/benchmark.h>

using namespace codecbench;

namespace {

constexpr DWORD kWriterChoice = 0, kNone = 1, kLzw = 5;

CRasterImage& WithCompression(CRasterImage& img, DWORD compression)
{
    img.SetCodecOption(compression, IMAGE_FORMAT_TIF);
    return img;
}

void BM_Encode(benchmark::State& state, bool grey, DWORD compression)
{
    Encode(state, WithCompression(grey ? Grey() : TrueColor(), compression), IMAGE_FORMAT_TIF);
}

void BM_Decode(benchmark::State& state, bool grey, DWORD compression)
{
    Decode(state, WithCompression(grey ? Grey() : TrueColor(), compression), IMAGE_FORMAT_TIF);
}

void BM_ImageMagick(benchmark::State& state, bool grey, DWORD compression, bool decode)
{
    const char* options = compression == kLzw ? "-compress lzw -define tiff:predictor=2"
                                              : (compression == kNone ? "-compress none" : "-compress jpeg -quality 90");
    ImageMagick(state, WithCompression(grey ? Grey() : TrueColor(), compression), IMAGE_FORMAT_TIF, "tif", decode,
                options);
}

} // namespace

BENCHMARK_CAPTURE(BM_Decode, rgb_jpeg, false, kWriterChoice)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, rgb_jpeg, false, kWriterChoice)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, rgb_lzw, false, kLzw)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, rgb_lzw, false, kLzw)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, rgb_none, false, kNone)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, rgb_none, false, kNone)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, grey_lzw, true, kWriterChoice)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, grey_lzw, true, kWriterChoice)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, decode_rgb_jpeg, false, kWriterChoice, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, encode_rgb_jpeg, false, kWriterChoice, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, decode_rgb_lzw, false, kLzw, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, encode_rgb_lzw, false, kLzw, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, decode_rgb_none, false, kNone, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, decode_grey_lzw, true, kWriterChoice, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
