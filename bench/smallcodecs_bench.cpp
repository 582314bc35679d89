// Throughput of the small codecs in megapixels per second: TGA and PCX at every depth they write
// on a 4000 x 3000 picture, ICO at its largest size (255 x 255), WBMP at 127 x 127, and the WMF player
// rendering a metafile of many shapes at 4000 x 3000; beside ImageMagick's convert decoding and
// encoding the same files (when it is installed).
#include "image/CRasterIco.h"
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterPcx.h"
#include "image/CRasterTga.h"
#include "image/CRasterWbmp.h"
#include "image/CRasterWmf.h"
#include "ImageBenchUtil.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace imagebench;

constexpr int kSmall = 255;
// WBMP files of 128 pixels or more use multi-byte sizes elsewhere, so the comparison stays below.
constexpr int kWbmpSide = 127;

// A picture with smooth areas, edges and some grain, as a scan or a rendering would have.
unsigned Colour(int x, int y, int w, int h)
{
    const unsigned grain = (unsigned(x) * 2654435761u ^ unsigned(y) * 40503u) >> 29;
    const unsigned r = unsigned(x * 255 / w);
    const unsigned g = unsigned(y * 255 / h) + grain;
    const unsigned b = ((x / 250 + y / 250) % 2) ? 180 : 40;
    return (r << 16) | ((g > 255 ? 255 : g) << 8) | b;
}

// The picture at a depth (32 = 24 bits with an alpha plane), made once per size and depth.
CRasterImage& Picture(int w, int h, int depth)
{
    static std::map<std::pair<int, int>, CRasterImage> cache;
    auto key = std::make_pair(w, depth);
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    CRasterImage& img = cache[key];
    const int bpp = depth == 32 ? 24 : depth;
    img.Create(w, h, DWORD(bpp), 0);
    const DWORD n = img.GetNumColors();
    for (DWORD i = 0; i < n; ++i)
        img.SetPaletteColor(BYTE(i), BYTE((i & 7) * 36), BYTE(((i >> 3) & 7) * 36), BYTE((i >> 6) * 85));
    if (n == 2)
        img.SetGrayPalette();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned c = Colour(x, y, w, h);
            if (n == 0)
                img.SetPixelColor(x, h - 1 - y, RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0});
            else {
                const unsigned index = ((c >> 21) & 7) | (((c >> 13) & 7) << 3) | (((c >> 6) & 3) << 6);
                img.SetPixelIndex(x, h - 1 - y, BYTE(index % n));
            }
        }
    if (depth == 32) {
        img.AlphaCreate();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.AlphaSet(x, y, BYTE((x + y) & 0xFF));
    }
    return img;
}

void BM_Encode(benchmark::State& state, DWORD format, int side, int depth)
{
    const int w = side ? side : kWidth, h = side ? side : kHeight;
    CRasterImage& img = Picture(w, h, depth);
    TimeEncode(state, img, [&] { return EncodeBytes(img, format); }, double(w) * h);
}

void BM_Decode(benchmark::State& state, DWORD format, int side, int depth)
{
    const int w = side ? side : kWidth, h = side ? side : kHeight;
    const Bytes file = EncodeBytes(Picture(w, h, depth), format);
    TimeDecode(state, file.size(), [&](CRasterImage& img) { return img.Decode(file.data(), DWORD(file.size()), format); },
               w, double(w) * h);
}

// A placeable metafile of a grid of filled and outlined shapes covering the whole picture.
Bytes Metafile()
{
    Bytes body;
    auto rec = [&](WORD function, std::initializer_list<int> words) {
        const unsigned size = unsigned(3 + words.size());
        for (unsigned v : {size & 0xFFFF, size >> 16, unsigned(function)}) {
            body.push_back(BYTE(v));
            body.push_back(BYTE(v >> 8));
        }
        for (int w : words) {
            body.push_back(BYTE(w));
            body.push_back(BYTE(unsigned(w) >> 8));
        }
    };
    rec(0x02FA, {0, 3, 0, 0x0080, 0});
    rec(0x012D, {0});
    for (int i = 0; i < 40; ++i) {
        rec(0x02FC, {0, ((i * 37) & 0xFF) | (((i * 91) & 0xFF) << 8), (i * 53) & 0xFF, 0});
        rec(0x012D, {1 + i % 2});
        const int x = (i % 8) * 500, y = (i / 8) * 600;
        rec(0x041B, {y + 550, x + 450, y + 20, x + 20});
        rec(0x0418, {y + 500, x + 400, y + 60, x + 60});
        rec(0x0324, {3, x + 250, y + 100, x + 100, y + 450, x + 400, y + 450});
        rec(0x01F0, {1 + i % 2});
    }
    rec(0x0000, {});
    Bytes b;
    auto put16 = [&](unsigned v) {
        b.push_back(BYTE(v));
        b.push_back(BYTE(v >> 8));
    };
    put16(0xCDD7);
    put16(0x9AC6);
    for (unsigned v : {0u, 0u, 0u, 4000u, 3000u, 96u, 0u, 0u})
        put16(v);
    WORD sum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        sum ^= WORD(b[i] | (b[i + 1] << 8));
    put16(sum);
    for (unsigned v : {1u, 9u, 0x300u})
        put16(v);
    const unsigned words = unsigned(9 + body.size() / 2);
    put16(words & 0xFFFF);
    put16(words >> 16);
    for (unsigned v : {3u, 64u, 0u, 0u})
        put16(v);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

void BM_DecodeWmf(benchmark::State& state)
{
    const Bytes file = Metafile();
    for (auto _ : state) {
        CRasterImage img;
        if (!img.Decode(file.data(), DWORD(file.size()), IMAGE_FORMAT_WMF) || img.GetWidth() != DWORD(kWidth))
            state.SkipWithError(img.GetLastError());
        benchmark::DoNotOptimize(img.GetBits(0));
    }
    SetRate(state, double(kWidth) * kHeight, file.size());
}

// decode: convert reads our file; encode: convert writes the format from the same picture as PPM
// (with the options that give the same depth).
void BM_ImageMagick(benchmark::State& state, DWORD format, const char* ext, int side, int depth, bool decode,
                    const char* options)
{
    const int w = side ? side : kWidth, h = side ? side : kHeight;
    CRasterImage& img = Picture(w, h, depth);
    const std::string tag = "small_" + std::string(ext) + std::to_string(depth);
    const Bytes file = EncodeBytes(img, format);
    const std::string ours = WriteTemp(tag + "." + ext, file);
    const std::string ppm = WritePpm(tag + ".ppm", img);
    TimeConvert(state, decode ? ours + " ppm:/dev/null" : ppm + " " + options + " " + ours + ".out." + ext, file.size(),
                double(w) * h);
}

} // namespace

#define SMALL_CASE(fmt, name, side, depth)                                                                              \
    BENCHMARK_CAPTURE(BM_Decode, name, fmt, side, depth)->Unit(benchmark::kMillisecond)->MinTime(1)->UseRealTime();   \
    BENCHMARK_CAPTURE(BM_Encode, name, fmt, side, depth)->Unit(benchmark::kMillisecond)->MinTime(1)->UseRealTime();

SMALL_CASE(IMAGE_FORMAT_TGA, tga8, 0, 8)
SMALL_CASE(IMAGE_FORMAT_TGA, tga24, 0, 24)
SMALL_CASE(IMAGE_FORMAT_TGA, tga32, 0, 32)
SMALL_CASE(IMAGE_FORMAT_PCX, pcx1, 0, 1)
SMALL_CASE(IMAGE_FORMAT_PCX, pcx4, 0, 4)
SMALL_CASE(IMAGE_FORMAT_PCX, pcx8, 0, 8)
SMALL_CASE(IMAGE_FORMAT_PCX, pcx24, 0, 24)
SMALL_CASE(IMAGE_FORMAT_WBMP, wbmp_127, kWbmpSide, 1)
SMALL_CASE(IMAGE_FORMAT_ICO, ico8_255, kSmall, 8)
SMALL_CASE(IMAGE_FORMAT_ICO, ico24_255, kSmall, 24)
SMALL_CASE(IMAGE_FORMAT_ICO, ico32_255, kSmall, 32)
BENCHMARK(BM_DecodeWmf)->Unit(benchmark::kMillisecond)->MinTime(1)->UseRealTime();

#define MAGICK_CASE(fmt, ext, name, side, depth, options)                                                               \
    BENCHMARK_CAPTURE(BM_ImageMagick, decode_##name, fmt, ext, side, depth, true, options)                              \
        ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();                                                  \
    BENCHMARK_CAPTURE(BM_ImageMagick, encode_##name, fmt, ext, side, depth, false, options)                             \
        ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

MAGICK_CASE(IMAGE_FORMAT_TGA, "tga", tga8, 0, 8, "-type Palette")
MAGICK_CASE(IMAGE_FORMAT_TGA, "tga", tga24, 0, 24, "-type TrueColor")
MAGICK_CASE(IMAGE_FORMAT_PCX, "pcx", pcx8, 0, 8, "-type Palette")
MAGICK_CASE(IMAGE_FORMAT_PCX, "pcx", pcx24, 0, 24, "-type TrueColor")
MAGICK_CASE(IMAGE_FORMAT_WBMP, "wbmp", wbmp_127, kWbmpSide, 1, "-monochrome")
MAGICK_CASE(IMAGE_FORMAT_ICO, "ico", ico24_255, kSmall, 24, "")

BENCHMARK_MAIN();
