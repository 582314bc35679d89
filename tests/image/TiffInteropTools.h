#pragma once
// Helpers of the TIFF and JPEG 2000 family tests: memory round trips through the dispatch and what
// the independent tools installed on the machine report for a file.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "ImageTestUtil.h"
#include "InteropTools.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace codectest {

using Bytes = std::vector<BYTE>;

using imagetest::EncodeBytes;

inline bool DecodeBytes(CRasterImage& img, const Bytes& data, DWORD type)
{
    return img.Decode(data.data(), DWORD(data.size()), type);
}

using interop::Convert;
using interop::FindTool;
using interop::Netpbm;
using interop::ParsePnm;
using interop::ReadFile;
using interop::Shell;
using interop::WriteFile;
// A tool's picture: 0xRRGGBB pixels in top-down rows.
using Rgb = interop::Pnm;
// A scratch folder removed with the object.
using TempDir = interop::ScratchDir;

// What a tool reports for a file: its pixels through "convert file ppm:-".
inline bool ConvertToRgb(const std::string& file, Rgb& out, const std::string& options = "")
{
    if (Convert().empty())
        return false;
    const std::string ppm = file + ".tool.ppm";
    if (!Shell(Convert() + " " + options + " '" + file + "' -depth 8 ppm:'" + ppm + "'"))
        return false;
    return ParsePnm(ReadFile(ppm), out);
}

// Largest difference of one channel between the image and the tool's pixels; -1 for another size.
inline int MaxDifference(const CRasterImage& img, const Rgb& tool)
{
    if (LONG(img.GetWidth()) != tool.w || LONG(img.GetHeight()) != tool.h)
        return -1;
    int worst = 0;
    for (int y = 0; y < tool.h; ++y)
        for (int x = 0; x < tool.w; ++x) {
            const RGBQUAD c = img.GetPixelColor(x, tool.h - 1 - y, false);
            const std::uint32_t t = tool.At(x, y);
            const int d[3] = {std::abs(int(c.rgbRed) - int(t >> 16)), std::abs(int(c.rgbGreen) - int((t >> 8) & 255)),
                              std::abs(int(c.rgbBlue) - int(t & 255))};
            for (int v : d)
                worst = v > worst ? v : worst;
        }
    return worst;
}

// Largest channel difference between two images of the same size; -1 for another size.
inline int MaxDifference(const CRasterImage& a, const CRasterImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return -1;
    int worst = 0;
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            const RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
            const int d[3] = {std::abs(p.rgbRed - q.rgbRed), std::abs(p.rgbGreen - q.rgbGreen),
                              std::abs(p.rgbBlue - q.rgbBlue)};
            for (int v : d)
                worst = v > worst ? v : worst;
        }
    return worst;
}

// A smooth picture with edges, so lossy coders stay close and every pixel differs from its neighbour.
inline void Photo(CRasterImage& img, LONG w, LONG h)
{
    img.Create(w, h, 24, 0);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            img.SetPixelColor(x, y, RGBQUAD{BYTE(x * 255 / w), BYTE(y * 255 / h), BYTE(x < w / 2 ? 60 : 200), 0});
}

} // namespace codectest
