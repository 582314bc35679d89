// Interoperability with independent GIF implementations installed on the machine (ImageMagick,
// netpbm): files they write decode here to the pixels they report, and files written here decode
// identically in them. Files are generated at test time; a case is skipped when its tool is missing.
#include "gif_test_util.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace giftest;
namespace fs = std::filesystem;

namespace {

std::string FindTool(std::initializer_list<const char*> candidates)
{
    for (const char* c : candidates)
        if (::access(c, X_OK) == 0)
            return c;
    return {};
}

// ImageMagick's own program (not any wrapper that may shadow it on the PATH).
const std::string& Convert()
{
    static const std::string p = FindTool({"/usr/bin/convert-im6.q16", "/usr/bin/convert"});
    return p;
}
const std::string& Giftopnm()
{
    static const std::string p = FindTool({"/usr/bin/giftopnm"});
    return p;
}
const std::string& Pamtogif()
{
    static const std::string p = FindTool({"/usr/bin/pamtogif"});
    return p;
}
const std::string& Pnmquant()
{
    static const std::string p = FindTool({"/usr/bin/pnmquant"});
    return p;
}

bool Shell(const std::string& cmd)
{
    return std::system(("(" + cmd + ") 2>/dev/null").c_str()) == 0;
}

struct Ppm {
    int w = 0, h = 0;
    Bytes rgb; // top-down rows
    unsigned At(int x, int y) const
    {
        const BYTE* p = &rgb[(size_t(y) * w + x) * 3];
        return unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2];
    }
};

// Reads a binary PPM (P6, maxval 255).
bool ReadPpm(const fs::path& path, Ppm& out)
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
    if (token() != "P6")
        return false;
    out.w = std::stoi(token());
    out.h = std::stoi(token());
    if (token() != "255")
        return false;
    out.rgb.resize(size_t(out.w) * out.h * 3);
    f.read(reinterpret_cast<char*>(out.rgb.data()), std::streamsize(out.rgb.size()));
    return bool(f);
}

void WritePpm(const fs::path& path, int w, int h, unsigned (*colour)(int x, int y, int k), int k = 0)
{
    std::ofstream f(path, std::ios::binary);
    f << "P6\n" << w << " " << h << "\n255\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned c = colour(x, y, k);
            const char px[3] = {char(c >> 16), char(c >> 8), char(c)};
            f.write(px, 3);
        }
}

void WriteFile(const fs::path& path, const Bytes& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

Bytes ReadFile(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A picture with smooth gradients and hard edges, so that quantising keeps many colours.
unsigned Picture(int x, int y, int)
{
    const bool disc = (x - 40) * (x - 40) + (y - 25) * (y - 25) < 300;
    const unsigned r = disc ? 250 : unsigned(x * 255 / 96);
    const unsigned g = unsigned(y * 255 / 60);
    const unsigned b = (x / 8 + y / 8) % 2 ? 200 : 30;
    return r << 16 | g << 8 | b;
}

// Frame k of an animation: a square that moves over a fixed backdrop.
unsigned Frame(int x, int y, int k)
{
    const int sx = 4 + 6 * k, sy = 3 + 4 * k;
    if (x >= sx && x < sx + 10 && y >= sy && y < sy + 8)
        return k == 0 ? 0x00C000u : (k == 1 ? 0x0000F0u : 0xF0F000u);
    return (x + y) % 9 == 0 ? 0xFFFFFFu : 0xC00000u;
}

class GifInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/vantrel-gif-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    static void ExpectSamePixels(const CRasterImage& img, const Ppm& ref, const std::string& what)
    {
        ASSERT_EQ(int(img.GetWidth()), ref.w) << what;
        ASSERT_EQ(int(img.GetHeight()), ref.h) << what;
        int diffs = 0;
        for (int y = 0; y < ref.h; ++y)
            for (int x = 0; x < ref.w; ++x)
                if (ColorAt(img, x, y) != ref.At(x, y) && diffs++ < 3)
                    ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << ColorAt(img, x, y)
                                  << ", the tool says " << ref.At(x, y);
        EXPECT_EQ(diffs, 0) << what;
    }

    fs::path dir;
};

} // namespace

TEST_F(GifInterop, ImageMagickGifsDecodeAsGiftopnmReports)
{
    if (Convert().empty() || Giftopnm().empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    WritePpm(P("src.ppm"), 96, 60, Picture);
    for (int colours : {2, 7, 16, 64, 256}) {
        for (bool interlace : {false, true}) {
            const std::string name = "im" + std::to_string(colours) + (interlace ? "i" : "") + ".gif";
            ASSERT_TRUE(Shell(Convert() + " " + P("src.ppm") + " -colors " + std::to_string(colours) +
                            (interlace ? " -interlace GIF " : " ") + P(name)));
            ASSERT_TRUE(Shell(Giftopnm() + " " + P(name) + " > " + P(name + ".ppm")));
            Ppm ref;
            ASSERT_TRUE(ReadPpm(P(name + ".ppm"), ref));
            CRasterImage img;
            ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img)) << name << ": " << img.GetLastError();
            ExpectSamePixels(img, ref, name);
        }
    }
}

TEST_F(GifInterop, NetpbmGifsDecodeAsImageMagickReports)
{
    if (Convert().empty() || Pamtogif().empty() || Pnmquant().empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    WritePpm(P("src.ppm"), 96, 60, Picture);
    for (int colours : {4, 32, 256}) {
        for (bool interlace : {false, true}) {
            const std::string name = "pbm" + std::to_string(colours) + (interlace ? "i" : "") + ".gif";
            ASSERT_TRUE(Shell(Pnmquant() + " " + std::to_string(colours) + " " + P("src.ppm") + " | " + Pamtogif() +
                            (interlace ? " -interlace" : "") + " > " + P(name)));
            ASSERT_TRUE(Shell(Convert() + " " + P(name) + " " + P(name + ".ppm")));
            Ppm ref;
            ASSERT_TRUE(ReadPpm(P(name + ".ppm"), ref));
            CRasterImage img;
            ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img)) << name;
            ExpectSamePixels(img, ref, name);
        }
    }
}

TEST_F(GifInterop, AnimationsDecodeToTheCoalescedFrames)
{
    if (Convert().empty())
        GTEST_SKIP() << "ImageMagick missing";
    for (int k = 0; k < 3; ++k)
        WritePpm(P("f" + std::to_string(k) + ".ppm"), 40, 30, Frame, k);
    const std::string frames = P("f0.ppm") + " " + P("f1.ppm") + " " + P("f2.ppm");
    // Full frames, sub-frames with transparency (optimised), and interlaced sub-frames.
    const std::pair<const char*, const char*> kinds[] = {
        {"full.gif", ""}, {"opt.gif", " -layers optimize"}, {"opti.gif", " -layers optimize -interlace GIF"}};
    for (auto [name, options] : kinds) {
        ASSERT_TRUE(Shell(Convert() + " -delay 10 " + frames + " -loop 0" + options + " " + P(name)));
        ASSERT_TRUE(Shell(Convert() + " " + P(name) + " -coalesce " + P(std::string(name) + "-%d.ppm")));
        for (int k = 0; k < 3; ++k) {
            Ppm ref;
            ASSERT_TRUE(ReadPpm(P(std::string(name) + "-" + std::to_string(k) + ".ppm"), ref));
            auto gif = std::make_unique<CRasterImageGIF>();
            gif->SetFrame(k);
            ASSERT_TRUE(DecodeInto(ReadFile(P(name)), *gif)) << name << " frame " << k;
            EXPECT_EQ(gif->GetNumFrames(), 3);
            EXPECT_EQ(gif->GetFrameDelay(), 10u);
            ExpectSamePixels(*gif, ref, std::string(name) + " frame " + std::to_string(k));
        }
    }
}

TEST_F(GifInterop, OurIndexedGifsDecodeIdenticallyInBothTools)
{
    if (Convert().empty() || Giftopnm().empty())
        GTEST_SKIP() << "ImageMagick or netpbm missing";
    // Noise defeats the dictionary, so these files carry table resets at every depth.
    for (int bpp : {1, 4, 8}) {
        CRasterImage img(203, 151, DWORD(bpp), 0);
        const int colours = int(img.GetNumColors());
        for (int i = 0; i < colours; ++i)
            img.SetPaletteColor(BYTE(i), BYTE(i * 53), BYTE(i * 7 + 3), BYTE(255 - i));
        unsigned seed = 12345;
        for (int y = 0; y < 151; ++y)
            for (int x = 0; x < 203; ++x) {
                seed = seed * 1103515245u + 12345u;
                const bool noisy = y < 100;
                img.SetPixelIndex(x, y, BYTE(noisy ? (seed >> 16) % colours : (x / 13) % colours));
            }
        for (DWORD option : {0u, 1u, 2u}) {
            img.SetCodecOption(option, IMAGE_FORMAT_GIF);
            Bytes file;
            ASSERT_TRUE(EncodeToBytes(img, file));
            const std::string name = "our" + std::to_string(bpp) + "-" + std::to_string(option) + ".gif";
            WriteFile(P(name), file);
            for (const std::string& tool : {Giftopnm() + " " + P(name) + " > ", Convert() + " " + P(name) + " "}) {
                ASSERT_TRUE(Shell(tool + P(name + ".ppm"))) << tool;
                Ppm ref;
                ASSERT_TRUE(ReadPpm(P(name + ".ppm"), ref));
                ExpectSamePixels(img, ref, name + " via " + tool.substr(0, tool.find(' ')));
            }
        }
    }
}

TEST_F(GifInterop, OurTrueColorMosaicComposesInImageMagick)
{
    if (Convert().empty())
        GTEST_SKIP() << "ImageMagick missing";
    CRasterImage img(75, 44, 24, 0);
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 75; ++x) {
            const unsigned c = Picture(x, y, 0);
            img.SetPixelColor(x, 43 - y, RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0});
        }
    Bytes file;
    ASSERT_TRUE(EncodeToBytes(img, file));
    WriteFile(P("mosaic.gif"), file);
    // 5 x 3 cells; after the last one the coalesced frame is the whole picture.
    ASSERT_TRUE(Shell(Convert() + " " + P("mosaic.gif") + " -coalesce " + P("m-%d.ppm")));
    Ppm ref;
    ASSERT_TRUE(ReadPpm(P("m-14.ppm"), ref));
    ExpectSamePixels(img, ref, "mosaic");
    EXPECT_FALSE(fs::exists(P("m-15.ppm")));
}
