#pragma once
// What the interoperability tests share: finding and running the image tools installed on the
// machine (ImageMagick, netpbm...), scratch folders and files, reading the PPM/PGM pictures those
// tools write, and comparing them with an image's pixels.
#include "image/CRasterImage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace interop {

using Bytes = std::vector<BYTE>;
namespace fs = std::filesystem;

// The first of the candidate programs that can be run; empty when none can.
inline std::string FindTool(std::initializer_list<const char*> candidates)
{
    for (const char* c : candidates)
        if (::access(c, X_OK) == 0)
            return c;
    return {};
}

// ImageMagick's own program, not a wrapper that may shadow it on the PATH.
inline const std::string& Convert()
{
    static const std::string p = FindTool({"/usr/bin/convert-im6.q16", "/usr/bin/convert"});
    return p;
}

// A netpbm program by name; empty when it is not installed.
inline std::string Netpbm(const char* name)
{
    return FindTool({(std::string("/usr/bin/") + name).c_str()});
}

// Runs a shell command quietly (redirections inside it still apply); true when it succeeds.
inline bool Shell(const std::string& cmd)
{
    return std::system(("(" + cmd + ") >/dev/null 2>&1").c_str()) == 0;
}

inline Bytes ReadFile(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline bool WriteFile(const fs::path& path, const Bytes& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(f);
}

// A scratch folder removed with the object.
class ScratchDir {
public:
    ScratchDir()
    {
        char tmpl[] = "/tmp/vantrel-interop-XXXXXX";
        m_path = ::mkdtemp(tmpl) ? tmpl : "";
    }
    ~ScratchDir()
    {
        std::error_code ec;
        if (!m_path.empty())
            fs::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    bool Made() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return (m_path.empty() ? "/tmp" : m_path) + "/" + name; }

private:
    std::string m_path;
};

// A binary PPM (P6) or PGM (P5) of any maxval, as 0xRRGGBB pixels in top-down rows; samples are
// scaled to 0..255 (ImageMagick's Q16 build writes 16-bit files) and grey fills all three channels.
struct Pnm {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
    std::uint32_t At(int x, int y) const { return px[std::size_t(y) * w + x]; }
};

inline bool ParsePnm(const Bytes& data, Pnm& out)
{
    std::size_t pos = 0;
    auto token = [&]() {
        std::string t;
        while (pos < data.size()) {
            const char c = char(data[pos]);
            if (c == '#') {
                while (pos < data.size() && data[pos] != '\n')
                    ++pos;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                if (!t.empty())
                    break;
                ++pos;
            } else {
                t += c;
                ++pos;
            }
        }
        return t;
    };
    const std::string magic = token();
    if (magic != "P6" && magic != "P5")
        return false;
    const std::size_t channels = magic == "P6" ? 3 : 1;
    out.w = int(std::atol(token().c_str()));
    out.h = int(std::atol(token().c_str()));
    const long maxval = std::atol(token().c_str());
    ++pos; // the single white space before the raster
    if (maxval <= 0 || maxval > 65535 || out.w <= 0 || out.h <= 0)
        return false;
    const std::size_t n = std::size_t(out.w) * out.h, sampleBytes = maxval > 255 ? 2 : 1;
    if (data.size() < pos + n * channels * sampleBytes)
        return false;
    auto sample = [&](std::size_t i) {
        const BYTE* p = &data[pos + i * sampleBytes];
        const unsigned v = sampleBytes == 2 ? unsigned(p[0] << 8 | p[1]) : p[0];
        return std::uint32_t((v * 255 + unsigned(maxval) / 2) / unsigned(maxval));
    };
    out.px.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        out.px[i] = channels == 3 ? sample(3 * i) << 16 | sample(3 * i + 1) << 8 | sample(3 * i + 2)
                                  : sample(i) * 0x010101u;
    return true;
}

inline bool ReadPnm(const fs::path& path, Pnm& out)
{
    return ParsePnm(ReadFile(path), out);
}

// 0xRRGGBB of pixel (x, y), y counted from the top of the picture as the tools count it.
inline std::uint32_t TopDown(const CRasterImage& img, int x, int y)
{
    const RGBQUAD c = img.GetPixelColor(x, LONG(img.GetHeight()) - 1 - y, false);
    return std::uint32_t(c.rgbRed) << 16 | std::uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
}

// The tool's picture equals the image's, pixel for pixel (the first few differences are named).
inline void ExpectPixels(const CRasterImage& img, const Pnm& ref, const std::string& what)
{
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

// The same, the tool's picture read from a PPM or PGM file.
inline void ExpectPixels(const CRasterImage& img, const fs::path& pnmPath, const std::string& what)
{
    Pnm ref;
    ASSERT_TRUE(ReadPnm(pnmPath, ref)) << what << ": no picture from the tool";
    ExpectPixels(img, ref, what);
}

// A test with its own scratch folder, removed after the test.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/vantrel-interop-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override
    {
        std::error_code ec;
        if (!dir.empty())
            fs::remove_all(dir, ec);
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
};

} // namespace interop
