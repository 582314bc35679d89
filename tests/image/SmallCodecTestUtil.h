#pragma once
// Helpers of the WBMP, TGA, PCX, ICO and WMF tests: byte builders, memory round trips through the
// format dispatch, and the external tools (ImageMagick, netpbm) the interoperability tests run.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "ImageTestUtil.h"
#include "InteropTools.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

namespace smalltest {

using Bytes = std::vector<BYTE>;
namespace fs = std::filesystem;

using imagetest::Put16;
using imagetest::Put32;

inline bool DecodeBytes(const Bytes& data, CRasterImage& img, DWORD type)
{
    return img.Decode(data.data(), DWORD(data.size()), type);
}

using imagetest::EncodeBytes;

// An 8 x 8 image per depth with distinct, known colours.
inline void Pattern(CRasterImage& img, LONG w, LONG h, DWORD bpp)
{
    img.Create(w, h, bpp, 0);
    const DWORD n = img.GetNumColors();
    for (DWORD i = 0; i < n; ++i)
        img.SetPaletteColor(BYTE(i), BYTE(i * 37 + 5), BYTE(255 - i * 11), BYTE(i * 91));
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            if (n)
                img.SetPixelIndex(x, y, BYTE((x * 3 + y * 7 + x * y) % n));
            else
                img.SetPixelColor(x, y, RGBQUAD{BYTE(x * 29 + y), BYTE(y * 17 + 3), BYTE(255 - x * y), 0});
        }
}

// The same picture: every pixel's colour (and alpha where both have a plane) agrees.
inline void ExpectSamePicture(const CRasterImage& a, const CRasterImage& b, const std::string& what)
{
    ASSERT_EQ(a.GetWidth(), b.GetWidth()) << what;
    ASSERT_EQ(a.GetHeight(), b.GetHeight()) << what;
    int diffs = 0;
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            const RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
            const bool same = p.rgbRed == q.rgbRed && p.rgbGreen == q.rgbGreen && p.rgbBlue == q.rgbBlue &&
                              (!a.AlphaIsValid() || !b.AlphaIsValid() || a.AlphaGet(x, y) == b.AlphaGet(x, y));
            if (!same && diffs++ < 3)
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " differs";
        }
    EXPECT_EQ(diffs, 0) << what;
}

// ---- tools ----

using interop::Convert;
using interop::ExpectPixels;
using interop::FindTool;
using interop::Netpbm;
using interop::Pnm;
using interop::ReadFile;
using interop::ReadPnm;
using interop::Shell;
using interop::TopDown;
using interop::WriteFile;

// A convert command that writes a PNM file at 8 bits per sample (ImageMagick would otherwise write the
// depth it read, sometimes fewer bits, losing the exact values).
inline std::string ToPnm(const std::string& in, const std::string& options, const std::string& out)
{
    return Convert() + " " + in + " " + options + " -depth 8 " + out;
}

// A test with a scratch folder, able to write a test picture for the tools to read.
class ToolTest : public interop::ToolTest {
protected:
    // A test picture as PPM: gradients, a disc and a checker, top-down.
    void WritePicture(const std::string& path, int w, int h) const
    {
        std::ofstream f(path, std::ios::binary);
        f << "P6\n" << w << " " << h << "\n255\n";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool disc = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < w * h / 8;
                const char px[3] = {char(disc ? 250 : x * 255 / w), char(y * 255 / h),
                                    char((x / 4 + y / 4) % 2 ? 200 : 30)};
                f.write(px, 3);
            }
    }
};

} // namespace smalltest
