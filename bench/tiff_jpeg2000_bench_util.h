#pragma once
// Shared by the TIFF and JPEG 2000 benchmarks: the test pictures and the dispatch timed through the
// common benchmark helpers.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "ImageBenchUtil.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace codecbench {

using namespace imagebench;

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

inline void Encode(benchmark::State& state, CRasterImage& img, DWORD type)
{
    TimeEncode(state, img, [&] { return EncodeBytes(img, type); });
}

inline void Decode(benchmark::State& state, CRasterImage& img, DWORD type)
{
    const auto file = EncodeBytes(img, type);
    TimeDecode(state, file.size(), [&](CRasterImage& back) { return back.Decode(file.data(), DWORD(file.size()), type); });
}

// decode: convert reads our file; encode: it writes the format from the picture as PNM, with the
// given options.
inline void ImageMagick(benchmark::State& state, CRasterImage& img, DWORD type, const std::string& ext, bool decode,
                        const std::string& options)
{
    const auto file = EncodeBytes(img, type);
    const std::string ours = WriteTemp("codec_ours." + ext, file);
    const std::string pnm =
        WriteTemp(img.GetBpp() == 24 ? "codec_src.ppm" : "codec_src.pgm", EncodeBytes(img, IMAGE_FORMAT_PNM));
    TimeConvert(state, decode ? ours + " ppm:/dev/null" : pnm + " " + options + " " + TempPath("codec_im." + ext),
                file.size());
}

} // namespace codecbench
