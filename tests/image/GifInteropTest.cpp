// Interoperability with independent GIF implementations installed on the machine (ImageMagick,
// netpbm): files they write decode here to the pixels they report, and files written here decode
// identically in them. Files are generated at test time; a case is skipped when its tool is missing.
#include "InteropTools.h"
#include "tests/image/GifTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace giftest;
namespace fs = std::filesystem;

namespace {

using interop::Convert;
using interop::FindTool;
using interop::ReadFile;
using interop::Shell;
using interop::WriteFile;
using Ppm = interop::Pnm;
using interop::ExpectPixels;
using interop::ReadPnm;

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

using GifInterop = interop::ToolTest;

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
            ASSERT_TRUE(ReadPnm(P(name + ".ppm"), ref));
            CRasterImage img;
            ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img)) << name << ": " << img.GetLastError();
            ExpectPixels(img, ref, name);
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
            ASSERT_TRUE(ReadPnm(P(name + ".ppm"), ref));
            CRasterImage img;
            ASSERT_TRUE(DecodeBytes(ReadFile(P(name)), img)) << name;
            ExpectPixels(img, ref, name);
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
            ASSERT_TRUE(ReadPnm(P(std::string(name) + "-" + std::to_string(k) + ".ppm"), ref));
            auto gif = std::make_unique<CRasterImageGIF>();
            gif->SetFrame(k);
            ASSERT_TRUE(DecodeInto(ReadFile(P(name)), *gif)) << name << " frame " << k;
            EXPECT_EQ(gif->GetNumFrames(), 3);
            EXPECT_EQ(gif->GetFrameDelay(), 10u);
            ExpectPixels(*gif, ref, std::string(name) + " frame " + std::to_string(k));
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
                ASSERT_TRUE(ReadPnm(P(name + ".ppm"), ref));
                ExpectPixels(img, ref, name + " via " + tool.substr(0, tool.find(' ')));
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
    ASSERT_TRUE(ReadPnm(P("m-14.ppm"), ref));
    ExpectPixels(img, ref, "mosaic");
    EXPECT_FALSE(fs::exists(P("m-15.ppm")));
}
