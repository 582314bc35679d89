#pragma once
// Helpers of the WBMP, TGA, PCX, ICO and WMF tests: byte builders, memory round trips through the
// format dispatch, and the external tools (ImageMagick, netpbm) the interoperability tests run.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"

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

inline void Put16(Bytes& b, unsigned v)
{
    b.push_back(BYTE(v));
    b.push_back(BYTE(v >> 8));
}

inline void Put32(Bytes& b, unsigned v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

inline bool DecodeBytes(const Bytes& data, CRasterImage& img, DWORD type)
{
    return img.Decode(data.data(), DWORD(data.size()), type);
}

// Encodes through the dispatch; empty on failure (the message stays in img).
inline Bytes EncodeBytes(CRasterImage& img, DWORD type)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!img.Encode(buffer, size, type))
        return {};
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// 0xRRGGBB of pixel (x, y), y counted from the top of the picture.
inline unsigned TopDown(const CRasterImage& img, int x, int y)
{
    const RGBQUAD c = img.GetPixelColor(x, LONG(img.GetHeight()) - 1 - y, false);
    return unsigned(c.rgbRed) << 16 | unsigned(c.rgbGreen) << 8 | c.rgbBlue;
}

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

inline std::string FindTool(std::initializer_list<const char*> candidates)
{
    for (const char* c : candidates)
        if (::access(c, X_OK) == 0)
            return c;
    return {};
}

// ImageMagick's own program (not a wrapper that may shadow it on the PATH).
inline const std::string& Convert()
{
    static const std::string p = FindTool({"/usr/bin/convert-im6.q16", "/usr/bin/convert"});
    return p;
}

// A convert command that writes a PNM file at 8 bits per sample (ImageMagick would otherwise write the
// depth it read, sometimes fewer bits, losing the exact values).
inline std::string ToPnm(const std::string& in, const std::string& options, const std::string& out)
{
    return Convert() + " " + in + " " + options + " -depth 8 " + out;
}

inline std::string Netpbm(const char* name)
{
    const std::string path = std::string("/usr/bin/") + name;
    return ::access(path.c_str(), X_OK) == 0 ? path : std::string();
}

inline bool Shell(const std::string& cmd)
{
    return std::system(("(" + cmd + ") 2>/dev/null").c_str()) == 0;
}

inline void WriteFile(const fs::path& path, const Bytes& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

inline Bytes ReadFile(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A binary PPM (P6) or PGM (P5) of any maxval, rows top-down, samples scaled to 0..255; PGM values
// fill all three channels.
struct Pnm {
    int w = 0, h = 0;
    Bytes rgb;
    unsigned At(int x, int y) const
    {
        const BYTE* p = &rgb[(std::size_t(y) * w + x) * 3];
        return unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2];
    }
};

inline bool ReadPnm(const fs::path& path, Pnm& out)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    auto token = [&]() {
        std::string t;
        int c;
        while ((c = f.get()) != EOF) {
            if (c == '#') {
                while ((c = f.get()) != EOF && c != '\n') {
                }
                continue;
            }
            if (std::isspace(c)) {
                if (!t.empty())
                    return t;
                continue;
            }
            t.push_back(char(c));
        }
        return t;
    };
    const std::string magic = token();
    if (magic != "P6" && magic != "P5")
        return false;
    out.w = std::stoi(token());
    out.h = std::stoi(token());
    const unsigned maxval = unsigned(std::stoul(token()));
    if (maxval == 0 || maxval > 65535)
        return false;
    const std::size_t n = std::size_t(out.w) * out.h, channels = magic == "P6" ? 3 : 1;
    const std::size_t sampleBytes = maxval > 255 ? 2 : 1;
    Bytes raw(n * channels * sampleBytes);
    f.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size()));
    // Samples scaled to 0..255 (ImageMagick's Q16 build writes 16-bit files).
    auto sample = [&](std::size_t i) {
        const unsigned v = sampleBytes == 2 ? unsigned(raw[2 * i] << 8 | raw[2 * i + 1]) : raw[i];
        return BYTE((v * 255 + maxval / 2) / maxval);
    };
    out.rgb.resize(n * 3);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t c = 0; c < 3; ++c)
            out.rgb[i * 3 + c] = sample(i * channels + (channels == 3 ? c : 0));
    return bool(f);
}

// A test with a scratch folder and pixel comparison against a tool's PPM output.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/vantrel-small-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    // The tool's picture (a PPM or PGM file) equals the image's.
    static void ExpectPixels(const CRasterImage& img, const std::string& pnmPath, const std::string& what)
    {
        Pnm ref;
        ASSERT_TRUE(ReadPnm(pnmPath, ref)) << what << ": no picture from the tool";
        ASSERT_EQ(int(img.GetWidth()), ref.w) << what;
        ASSERT_EQ(int(img.GetHeight()), ref.h) << what;
        int diffs = 0;
        for (int y = 0; y < ref.h; ++y)
            for (int x = 0; x < ref.w; ++x)
                if (TopDown(img, x, y) != ref.At(x, y) && diffs++ < 3)
                    ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << TopDown(img, x, y)
                                  << ", the tool says " << ref.At(x, y);
        EXPECT_EQ(diffs, 0) << what;
    }

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

    fs::path dir;
};

} // namespace smalltest
