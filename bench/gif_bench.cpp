// GIF throughput on a 4000 x 3000 picture: decode and encode in megapixels per second, for an
// 8-bit image with each data encoder and for a 24-bit image (the true-colour mosaic), beside
// ImageMagick's convert decoding and encoding the same files (when it is installed).
#include "image/CRasterGif.h"
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "ImageBenchUtil.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace imagebench;

// A picture with large smooth areas, edges and some grain, so that the dictionary sees both long
// repeats and noise, as in a quantised photograph.
unsigned Colour(int x, int y)
{
    const unsigned grain = (unsigned(x) * 2654435761u ^ unsigned(y) * 40503u) >> 28;
    const unsigned r = unsigned(x * 255 / kWidth);
    const unsigned g = unsigned(y * 255 / kHeight);
    const unsigned b = ((x / 250 + y / 250) % 2) ? 180 : 40;
    return (r & 0xF8) << 16 | ((g + grain) & 0xF8) << 8 | b;
}

CRasterImage& Indexed()
{
    static CRasterImage img = [] {
        CRasterImage i(kWidth, kHeight, 8, 0);
        for (int c = 0; c < 256; ++c)
            i.SetPaletteColor(BYTE(c), BYTE((c & 7) * 36), BYTE(((c >> 3) & 7) * 36), BYTE((c >> 6) * 85));
        for (int y = 0; y < kHeight; ++y) {
            BYTE* row = i.GetBits(DWORD(kHeight - 1 - y));
            for (int x = 0; x < kWidth; ++x) {
                const unsigned c = Colour(x, y);
                row[x] = BYTE(((c >> 21) & 7) | (((c >> 13) & 7) << 3) | (((c >> 6) & 3) << 6));
            }
        }
        return i;
    }();
    return img;
}

CRasterImage& TrueColor()
{
    static CRasterImage img = [] {
        CRasterImage i(kWidth, kHeight, 24, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const unsigned c = Colour(x, y);
                i.SetPixelColor(x, kHeight - 1 - y, RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0});
            }
        return i;
    }();
    return img;
}

std::vector<BYTE> EncodeGifBytes(CRasterImage& img, DWORD option)
{
    img.SetCodecOption(option, IMAGE_FORMAT_GIF);
    CRasterMemFile mem;
    mem.Open();
    if (!EncodeGif(img, &mem))
        return {};
    BYTE* b = mem.GetBuffer(false);
    return std::vector<BYTE>(b, b + mem.Size());
}

void BM_Encode(benchmark::State& state, bool trueColor, DWORD option)
{
    CRasterImage& img = trueColor ? TrueColor() : Indexed();
    TimeEncode(state, img, [&] { return EncodeGifBytes(img, option); });
}

void BM_Decode(benchmark::State& state, bool trueColor, DWORD option)
{
    const auto file = EncodeGifBytes(trueColor ? TrueColor() : Indexed(), option);
    TimeDecode(state, file.size(), [&](CRasterImage& img) {
        CRasterMemFile mem(file.data(), DWORD(file.size()));
        return DecodeGif(img, &mem);
    });
}

// decode: convert reads our 8-bit GIF; encode: convert writes a GIF from the same picture as PPM
// (for the 24-bit picture that includes its own quantisation to 256 colours).
void BM_ImageMagick(benchmark::State& state, bool trueColor, bool decode)
{
    CRasterImage& img = trueColor ? TrueColor() : Indexed();
    const auto file = EncodeGifBytes(img, 0);
    const std::string gif = WriteTemp(trueColor ? "gif_24.gif" : "gif_8.gif", file);
    const std::string ppm = WritePpm(trueColor ? "gif_24.ppm" : "gif_8.ppm", img);
    TimeConvert(state, decode ? gif + " ppm:/dev/null" : ppm + " " + gif + ".out.gif", file.size());
}

} // namespace

BENCHMARK_CAPTURE(BM_Decode, indexed_lzw, false, 0)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, indexed_lzw, false, 0)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, indexed_plain, false, 1)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, indexed_runs, false, 2)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, indexed_runs, false, 2)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Decode, truecolor_mosaic, true, 0)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Encode, truecolor_mosaic, true, 0)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, decode_indexed, false, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, encode_indexed, false, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_ImageMagick, encode_truecolor, true, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
