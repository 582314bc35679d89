// GIF throughput on a 4000 x 3000 picture: decode and encode in megapixels per second, for an
// 8-bit image with each data encoder and for a 24-bit image (the true-colour mosaic), beside
// ImageMagick's convert decoding and encoding the same files (when it is installed).
#include "image/CRasterGif.h"
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr double kPixels = double(kWidth) * kHeight;

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

void SetRate(benchmark::State& state, std::size_t bytes)
{
    state.counters["MP/s"] = benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(bytes) / 1e6;
}

void BM_Encode(benchmark::State& state, bool trueColor, DWORD option)
{
    CRasterImage& img = trueColor ? TrueColor() : Indexed();
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto out = EncodeGifBytes(img, option);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    SetRate(state, bytes);
}

void BM_Decode(benchmark::State& state, bool trueColor, DWORD option)
{
    const auto file = EncodeGifBytes(trueColor ? TrueColor() : Indexed(), option);
    for (auto _ : state) {
        CRasterImage img;
        CRasterMemFile mem(file.data(), DWORD(file.size()));
        if (!DecodeGif(img, &mem) || img.GetWidth() != DWORD(kWidth))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.GetBits(0));
    }
    SetRate(state, file.size());
}

// ImageMagick on the same files, as a separate process per run (process start is included, and is
// small beside 12 megapixels).
std::string Convert()
{
    for (const char* c : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"})
        if (::access(c, X_OK) == 0)
            return c;
    return {};
}

std::string WriteTemp(const std::string& name, const std::vector<BYTE>& data)
{
    const std::string path = "/tmp/vantrel_gif_bench_" + name;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return path;
}

std::string WritePpm(const std::string& name, const CRasterImage& img)
{
    const std::string path = "/tmp/vantrel_gif_bench_" + name;
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

// decode: convert reads our 8-bit GIF; encode: convert writes a GIF from the same picture as PPM
// (for the 24-bit picture that includes its own quantisation to 256 colours).
void BM_ImageMagick(benchmark::State& state, bool trueColor, bool decode)
{
    const std::string convert = Convert();
    if (convert.empty()) {
        state.SkipWithError("ImageMagick not installed");
        return;
    }
    CRasterImage& img = trueColor ? TrueColor() : Indexed();
    const auto file = EncodeGifBytes(img, 0);
    const std::string gif = WriteTemp(trueColor ? "24.gif" : "8.gif", file);
    const std::string ppm = WritePpm(trueColor ? "24.ppm" : "8.ppm", img);
    const std::string cmd = decode ? convert + " " + gif + " ppm:/dev/null" : convert + " " + ppm + " " + gif + ".out.gif";
    for (auto _ : state) {
        if (std::system((cmd + " 2>/dev/null").c_str()) != 0)
            state.SkipWithError("convert failed");
    }
    SetRate(state, file.size());
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
