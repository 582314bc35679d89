// BMP throughput on a 4000 x 3000 picture: decoding from memory and encoding to memory, at 24 bits,
// at 8 bits and (decoding) as RLE8, plus the whole-image transforms on the same picture.
// Reported as megapixels per second ("MP/s").
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "ImageBenchUtil.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr LONG kWidth = 4000, kHeight = 3000;

// A picture with smooth gradients and some structure, so RLE has runs to find but not only runs.
CRasterImage MakePicture(DWORD bpp)
{
    CRasterImage img(kWidth, kHeight, bpp);
    if (bpp == 8) {
        for (DWORD i = 0; i < 256; ++i)
            img.SetPaletteColor(BYTE(i), BYTE(i), BYTE(255 - i), BYTE(i / 2));
        for (LONG y = 0; y < kHeight; ++y) {
            BYTE* row = img.GetBits(DWORD(y));
            for (LONG x = 0; x < kWidth; ++x)
                row[x] = BYTE(((x / 16) ^ (y / 16)) & 0xFF);
        }
    } else {
        for (LONG y = 0; y < kHeight; ++y) {
            BYTE* row = img.GetBits(DWORD(y));
            for (LONG x = 0; x < kWidth; ++x) {
                row[3 * x] = BYTE(x);
                row[3 * x + 1] = BYTE(y);
                row[3 * x + 2] = BYTE(x ^ y);
            }
        }
    }
    return img;
}

std::vector<BYTE> Encoded(CRasterImage& img)
{
    return imagebench::EncodeBytes(img, IMAGE_FORMAT_BMP);
}

// An RLE8 file of the 8-bit picture: runs of equal bytes, at most 255 long, one line per row.
std::vector<BYTE> EncodedRle8(CRasterImage& img)
{
    std::vector<BYTE> bits;
    for (LONG y = 0; y < kHeight; ++y) {
        const BYTE* row = img.GetBits(DWORD(y));
        for (LONG x = 0; x < kWidth;) {
            LONG n = 1;
            while (x + n < kWidth && n < 255 && row[x + n] == row[x])
                ++n;
            bits.push_back(BYTE(n));
            bits.push_back(row[x]);
            x += n;
        }
        bits.push_back(0);
        bits.push_back(0);
    }
    bits.push_back(0);
    bits.push_back(1);
    std::vector<BYTE> file = Encoded(img);
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    std::memcpy(&fh, file.data(), sizeof fh);
    std::memcpy(&ih, file.data() + 14, sizeof ih);
    ih.biCompression = BI_RLE8;
    ih.biSizeImage = DWORD(bits.size());
    file.resize(fh.bfOffBits);
    std::memcpy(file.data() + 14, &ih, sizeof ih);
    file.insert(file.end(), bits.begin(), bits.end());
    fh.bfSize = DWORD(file.size());
    std::memcpy(file.data(), &fh, sizeof fh);
    return file;
}

void SetRate(benchmark::State& state)
{
    state.counters["MP/s"] = benchmark::Counter(double(kWidth) * kHeight * double(state.iterations()) / 1e6,
                                                benchmark::Counter::kIsRate);
}

void Decode(benchmark::State& state, const std::vector<BYTE>& file)
{
    for (auto _ : state) {
        CRasterImage img;
        bool ok = img.Decode(file.data(), DWORD(file.size()), IMAGE_FORMAT_BMP);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
    SetRate(state);
}

void BM_BmpDecode24(benchmark::State& state)
{
    CRasterImage img = MakePicture(24);
    Decode(state, Encoded(img));
}

void BM_BmpDecode8(benchmark::State& state)
{
    CRasterImage img = MakePicture(8);
    Decode(state, Encoded(img));
}

void BM_BmpDecodeRle8(benchmark::State& state)
{
    CRasterImage img = MakePicture(8);
    Decode(state, EncodedRle8(img));
}

void BM_BmpDecodeDetect24(benchmark::State& state)
{
    CRasterImage img = MakePicture(24);
    const std::vector<BYTE> file = Encoded(img);
    for (auto _ : state) {
        CRasterImage out;
        bool ok = out.Decode(file.data(), DWORD(file.size()), IMAGE_FORMAT_UNKNOWN);
        benchmark::DoNotOptimize(ok);
    }
    SetRate(state);
}

void Encode(benchmark::State& state, DWORD bpp)
{
    CRasterImage img = MakePicture(bpp);
    for (auto _ : state) {
        BYTE* buffer = nullptr;
        LONG size = 0;
        img.Encode(buffer, size, IMAGE_FORMAT_BMP);
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
    }
    SetRate(state);
}

void BM_BmpEncode24(benchmark::State& state) { Encode(state, 24); }
void BM_BmpEncode8(benchmark::State& state) { Encode(state, 8); }

void BM_Flip24(benchmark::State& state)
{
    CRasterImage img = MakePicture(24);
    for (auto _ : state)
        benchmark::DoNotOptimize(img.Flip());
    SetRate(state);
}

void BM_Mirror24(benchmark::State& state)
{
    CRasterImage img = MakePicture(24);
    for (auto _ : state)
        benchmark::DoNotOptimize(img.Mirror());
    SetRate(state);
}

void BM_RotateRight24(benchmark::State& state)
{
    CRasterImage img = MakePicture(24);
    for (auto _ : state)
        benchmark::DoNotOptimize(img.RotateRight());
    SetRate(state);
}

void BM_IncreaseBpp8To24(benchmark::State& state)
{
    CRasterImage src = MakePicture(8);
    for (auto _ : state) {
        state.PauseTiming();
        CRasterImage img(src);
        state.ResumeTiming();
        benchmark::DoNotOptimize(img.IncreaseBpp(24));
    }
    SetRate(state);
}

// Writes the benchmark's files for timing other tools on the same data:
//   image_bench --write-files DIR  ->  DIR/bench24.bmp, DIR/bench8.bmp, DIR/benchrle8.bmp
bool WriteFiles(const char* dir)
{
    CRasterImage rgb = MakePicture(24), pal = MakePicture(8);
    const std::pair<std::string, std::vector<BYTE>> files[] = {
        {"bench24.bmp", Encoded(rgb)}, {"bench8.bmp", Encoded(pal)}, {"benchrle8.bmp", EncodedRle8(pal)}};
    for (const auto& [name, bytes] : files) {
        std::FILE* fp = std::fopen((std::string(dir) + "/" + name).c_str(), "wb");
        if (!fp)
            return false;
        std::fwrite(bytes.data(), 1, bytes.size(), fp);
        std::fclose(fp);
    }
    return true;
}

} // namespace

BENCHMARK(BM_BmpDecode24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpDecode8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpDecodeRle8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpDecodeDetect24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpEncode24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpEncode8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Flip24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mirror24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateRight24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncreaseBpp8To24)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--write-files")
        return WriteFiles(argv[2]) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
