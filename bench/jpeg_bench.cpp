// JPEG throughput on a 4000 x 3000 picture: decode and encode in megapixels per second (baseline at
// quality 90, progressive, and a half-scale decode), beside ImageMagick's convert on the same files.
#include "image/CRasterJpeg.h"
#include "png_jpeg_bench_util.h"

namespace {

using namespace pjbench;

CRasterImage& Pick(bool progressive)
{
    CRasterImage& img = Photo();
    img.SetCodecOption(progressive ? CRasterImageJPG::ENCODE_PROGRESSIVE : 0, IMAGE_FORMAT_JPG);
    return img;
}

void BM_Encode(benchmark::State& state, bool progressive)
{
    BenchEncode(state, Pick(progressive), EncodeJpeg);
}

void BM_Decode(benchmark::State& state, bool progressive)
{
    BenchDecode(state, Encode(Pick(progressive), EncodeJpeg), DecodeJpeg);
}

// Rate counted on the file's 12 megapixels.
void BM_DecodeHalfScale(benchmark::State& state)
{
    const auto file = Encode(Pick(false), EncodeJpeg);
    for (auto _ : state) {
        CRasterImage img;
        img.SetJpegScale(2);
        CRasterMemFile mem(file.data(), DWORD(file.size()));
        if (!DecodeJpeg(img, &mem) || img.GetWidth() != DWORD(kWidth / 2))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.GetBits(0));
    }
    SetRate(state, file.size());
}

void BM_ImageMagick(benchmark::State& state, bool decode)
{
    BenchImageMagick(state, Encode(Pick(false), EncodeJpeg), "jpg", decode, "-quality 90");
}

} // namespace

BENCHMARK_CAPTURE(BM_Decode, baseline, false)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, baseline, false)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, progressive, true)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, progressive, true)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_DecodeHalfScale)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, decode, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, encode, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
