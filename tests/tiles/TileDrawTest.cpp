// Drawing tiles into memory contexts: where a tile's pixels land, transparency of the built-in
// tiles, the missing-tile picture, and the 3 x 3 preview.
#include "tiles/CBMPTiler.h"

#include "platform/core/Random.h"
#include "platform/gdi/CDC.h"
#include "tests/support/GdiTestSupport.h"
#include "tests/support/TileTestSupport.h"

using tiletest::CellColour;
using tiletest::ScratchDir;
using tiletest::Sequence;

namespace {

// A set over a 4 x 1 sheet of 6 x 6 solid cells, loaded from a scratch folder.
void LoadColourSet(CBMPTiler& set, const ScratchDir& folder, const std::string& tiles)
{
    CRasterImage sheet = tiletest::MakeSheet(4, 1, 6, 6);
    folder.WriteBmp("colours.bmp", sheet);
    const std::string def = folder.Write("colours.txt",
        "PIXELSWIDE: 6\r\nPIXELSHIGH: 6\r\nBMPFILE: colours.bmp\r\n" + tiles);
    set.LoadFromFile(def.c_str(), folder.Prefix().c_str());
}

COLORREF PreviewPixel(const CRasterImage& image, LONG x, LONG y)
{
    return tiletest::PixelFromTop(image, x, y);
}

void ExpectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

// The preview's sample maze, by row from the top.
constexpr int kLayout[3][3] = {{2, 14, 8}, {6, 11, 12}, {3, 8, 1}};

} // namespace

TEST(TileDraw, TileIsStretchedOverTheRectangle)
{
    ScratchDir folder;
    CBMPTiler set;
    LoadColourSet(set, folder, "TILE: 9,1,3\r\n");
    Canvas canvas(40, 40);
    CDC* dc = CDC::FromHandle(canvas.dc);
    set.DrawTile(dc, 9, RECT{20, 10, 32, 28}, TRUE);
    ExpectRect(canvas.bounds(kWhite), 20, 10, 32, 28);
    EXPECT_EQ(canvas.count(CellColour(1, 3)), 12 * 18);

    // The rectangle is in logical units: two of them per pixel here.
    Canvas shifted(40, 40);
    SetMapMode(shifted.dc, MM_ANISOTROPIC);
    SetWindowExtEx(shifted.dc, 20, 20, nullptr);
    SetViewportExtEx(shifted.dc, 10, 10, nullptr);
    set.DrawTile(CDC::FromHandle(shifted.dc), 9, RECT{10, 6, 30, 26}, TRUE);
    ExpectRect(shifted.bounds(kWhite), 5, 3, 15, 13);

    // The draw flag cleared, or a tile with an empty image, paints nothing.
    Canvas blank(20, 20);
    set.DrawTile(CDC::FromHandle(blank.dc), 9, RECT{0, 0, 20, 20}, FALSE);
    LoadColourSet(set, folder, "TILE: 9,1,7\r\n");
    set.DrawTile(CDC::FromHandle(blank.dc), 9, RECT{0, 0, 20, 20}, TRUE);
    EXPECT_EQ(blank.count(kWhite), 400);
}

TEST(TileDraw, BuiltInTilesAreTransparentBetweenTheirWalls)
{
    CBMPTiler set;
    set.ParseDefinition(CString(), 192, 180);
    Canvas canvas(100, 100, kRed);
    // North and south open, drawn at half size: walls at 17..22 and 77..82 from the left.
    set.DrawTile(CDC::FromHandle(canvas.dc), 5, RECT{0, 0, 100, 100}, TRUE);
    EXPECT_EQ(canvas.at(50, 50), kRed);
    EXPECT_EQ(canvas.at(5, 50), kRed);
    EXPECT_EQ(canvas.at(20, 50), kBlack);
    EXPECT_EQ(canvas.at(80, 0), kBlack);
    EXPECT_EQ(canvas.at(80, 99), kBlack);
    EXPECT_EQ(canvas.at(50, 20), kRed);
    // The solution overlay on top keeps the walls beneath it.
    set.DrawTile(CDC::FromHandle(canvas.dc), 16, RECT{0, 0, 100, 100}, TRUE);
    EXPECT_EQ(canvas.at(50, 50), kGreen);
    EXPECT_EQ(canvas.at(20, 50), kBlack);
}

TEST(TileDraw, CodesWithoutTilesDrawTheMissingTilePicture)
{
    CBMPTiler set;
    set.ParseDefinition(CString(), 192, 180);
    Canvas canvas(60, 60, kRed);
    VantrelSrand(21);
    set.DrawTile(CDC::FromHandle(canvas.dc), CBMPTiler::TILE_START, RECT{5, 5, 55, 55}, TRUE);
    EXPECT_EQ(VantrelRandState(), 21u); // no choice made
    ExpectRect(canvas.bounds(kRed), 5, 5, 55, 55);
    EXPECT_EQ(canvas.at(5, 5), kBlack);   // the top band
    EXPECT_EQ(canvas.at(5, 54), kBlack);  // the bottom band
    EXPECT_EQ(canvas.at(6, 30), kWhite);  // between the bands, left of the note
    EXPECT_GT(canvas.count(kBlue), 0);    // the note

    Canvas untouched(20, 20);
    set.DrawTile(CDC::FromHandle(untouched.dc), CBMPTiler::TILE_STOP, RECT{0, 0, 20, 20}, FALSE);
    EXPECT_EQ(untouched.count(kWhite), 400);
}

TEST(TileDraw, PreviewDrawsTheSampleMazeColumnByColumn)
{
    ScratchDir folder;
    CBMPTiler set;
    // Every code of the sample maze has two tiles (sheet cells 1 and 2, or 3 and 4).
    LoadColourSet(set, folder,
                  "TILE: 1,1,1\r\nTILE: 1,1,2\r\nTILE: 2,1,1\r\nTILE: 2,1,2\r\nTILE: 3,1,3\r\nTILE: 3,1,4\r\n"
                  "TILE: 6,1,3\r\nTILE: 6,1,4\r\nTILE: 8,1,1\r\nTILE: 8,1,2\r\nTILE: 11,1,3\r\nTILE: 11,1,4\r\n"
                  "TILE: 12,1,1\r\nTILE: 12,1,2\r\nTILE: 14,1,3\r\nTILE: 14,1,4\r\n");
    auto firstColumn = [](int code) { return code == 3 || code == 6 || code == 11 || code == 14 ? 3 : 1; };

    for (DWORD seed : {1u, 2u, 1000u}) {
        SCOPED_TRACE(seed);
        set.seed = seed;
        CRasterImage preview;
        set.MakePreview(preview, 100, 100);
        ASSERT_TRUE(preview.IsValid());
        ASSERT_EQ(preview.GetWidth(), 100u);
        ASSERT_EQ(preview.GetHeight(), 100u);
        Sequence s{seed};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                const int code = kLayout[j][i];
                const int pick = s.Next() % 2;
                const COLORREF want = CellColour(1, firstColumn(code) + pick);
                EXPECT_EQ(PreviewPixel(preview, i * 33, j * 33), want) << i << "," << j;
                EXPECT_EQ(PreviewPixel(preview, i * 33 + 32, j * 33 + 32), want) << i << "," << j;
            }
        // 33 x 33 cells leave the last column and row white.
        for (LONG k = 0; k < 100; ++k) {
            EXPECT_EQ(PreviewPixel(preview, 99, k), kWhite);
            EXPECT_EQ(PreviewPixel(preview, k, 99), kWhite);
        }
        // A second preview of the same set is identical.
        CRasterImage again;
        set.MakePreview(again, 100, 100);
        ASSERT_EQ(again.GetSize(), preview.GetSize());
        EXPECT_EQ(0, std::memcmp(again.GetDIB(), preview.GetDIB(), preview.GetSize()));
    }
}

TEST(TileDraw, PreviewOfTheBuiltInSetAndOfBadSizes)
{
    CBMPTiler set;
    set.ParseDefinition(CString(), 192, 180);
    CRasterImage preview;
    set.MakePreview(preview, 100, 100);
    ASSERT_TRUE(preview.IsValid());
    // Top-left cell is code 2 (east open): its west wall crosses the corridor at 35..45 / 200 of 33.
    EXPECT_EQ(PreviewPixel(preview, 7, 16), kBlack);
    EXPECT_EQ(PreviewPixel(preview, 16, 16), kWhite);
    EXPECT_EQ(PreviewPixel(preview, 99, 99), kWhite);

    CRasterImage none(4, 4, 24);
    set.MakePreview(none, 0, 100);
    EXPECT_FALSE(none.IsValid());
}
