// PNG throughput on a 4000 x 3000 picture: decode and encode in megapixels per second for 24-bit
// RGB, RGBA (an alpha plane) and interlaced files, beside ImageMagick's convert on the same files.
#include "image/CRasterPng.h"
#include "png_jpeg_bench_util.h"

namespace {

using namespace pjbench;

CRasterImage& WithAlpha()
{
    static CRasterImage img = [] {
        CRasterImage i(Photo());
        i.AlphaCreate();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                i.AlphaSet(x, y, BYTE((x + y) & 255));
        return i;
    }();
    return img;
}

CRasterImage& Pick(int kind)
{
    CRasterImage& img = kind == 1 ? WithAlpha() : Photo();
    img.SetCodecOption(kind == 2 ? 1 : 0, IMAGE_FORMAT_PNG);
    return img;
}

void BM_Encode(benchmark::State& state, int kind)
{
    BenchEncode(state, Pick(kind), EncodePng);
}

void BM_Decode(benchmark::State& state, int kind)
{
    BenchDecode(state, Encode(Pick(kind), EncodePng), DecodePng);
}

void BM_ImageMagick(benchmark::State& state, bool decode)
{
    BenchImageMagick(state, Encode(Pick(0), EncodePng), "png", decode);
}

} // namespace

BENCHMARK_CAPTURE(BM_Decode, rgb, 0)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, rgb, 0)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, rgba, 1)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, rgba, 1)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, rgb_interlaced, 2)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, decode_rgb, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, encode_rgb, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
