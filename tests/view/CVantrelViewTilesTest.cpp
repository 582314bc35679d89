// Tiled mazes: each cell shows the tile of its code (first match: blackened, STOP, START, else the
// passage pattern), chosen among alternatives by the seeded random sequence, so repaints repeat; the
// tile-set reference loads the built-in set or a definition file.
#include "ViewTestSupport.h"
#include "tests/support/TileTestSupport.h"

#include "maze/MazeCell.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Random.h"
#include "view/TilerLoader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using viewtest::DetachedView;
using viewtest::MemoryPage;

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr int kTilePixels = 8;
constexpr int kCell = 400;  // cell size in thousandths: about 38 pixels, so tile centres are clear

// Sheet cell (row, col) of the alternatives of every tile code: passage code n has (n / 4 + 1, n % 4 + 1)
// with weight 1 and (n / 4 + 5, n % 4 + 1) with weight 2; SOLUTION and START two tiles each; BLACKEN
// and STOP one tile each.
struct TileRef {
    int row, col, weight;
};
std::vector<TileRef> Alternatives(int code)
{
    if (code < 16)
        return {{code / 4 + 1, code % 4 + 1, 1}, {code / 4 + 5, code % 4 + 1, 2}};
    switch (code) {
    case 16: return {{9, 1, 1}, {9, 2, 1}};
    case 17: return {{9, 3, 1}};
    case 18: return {{9, 4, 1}, {10, 2, 3}};
    default: return {{10, 1, 1}};
    }
}

std::string Definition()
{
    static const char* names[20] = {"0",  "1",  "2",  "3",  "4",  "5",  "6",        "7",       "8",     "9",
                                    "10", "11", "12", "13", "14", "15", "SOLUTION", "BLACKEN", "START", "STOP"};
    std::string text = "NAME: view test set\r\nBMPFILE: sheet.bmp\r\nPIXELSWIDE: 8\r\nPIXELSHIGH: 8\r\n";
    for (int code = 0; code < 20; ++code)
        for (const TileRef& t : Alternatives(code))
            text += "TILE: " + std::string(names[code]) + "," + std::to_string(t.row) + "," + std::to_string(t.col) +
                    "," + std::to_string(t.weight) + "\r\n";
    return text;
}

// The tile a group chooses for the next random number, as the weighted walk does.
TileRef Choose(const std::vector<TileRef>& tiles, tiletest::Sequence& seq)
{
    if (tiles.size() == 1)
        return tiles[0];
    int total = 0;
    for (const TileRef& t : tiles)
        total += t.weight;
    int r = seq.Next() % total, sum = 0;
    for (const TileRef& t : tiles) {
        sum += t.weight;
        if (sum > r)
            return t;
    }
    return tiles.back();
}

struct TiledMaze : ::testing::Test {
    tiletest::ScratchDir dir;
    CVantrelDoc doc;
    DetachedView view{&doc};
    MemoryPage page{721, 913};
    std::string definition;

    void SetUp() override
    {
        CRasterImage sheet = tiletest::MakeSheet(4, 10, kTilePixels, kTilePixels);
        dir.WriteBmp("sheet.bmp", sheet);
        definition = dir.Write("set.tdf", Definition());

        doc.m_nSeed = 777;
        viewtest::MakeGrid(doc, 6, 5, kCell);
        doc.OnGenerateMaze();
        // States the first-match rule must sort out, beside the hidden START and STOP of growth.
        doc.GetGrid(0)->GetCell(3, 0).flags |= CELL_STOP;
        doc.GetGrid(0)->GetCell(2, 2).flags |= CELL_BLACKENED | CELL_START;
        doc.GetGrid(0)->GetCell(4, 3).flags |= CELL_STOP | CELL_START;
        doc.GetGrid(0)->GetCell(1, 4).flags |= CELL_START;
        doc.GetGrid(0)->GetCell(1, 1).flags = CELL_ERASED;

        doc.m_bTiled = 1;
        doc.m_strTilerID = definition.c_str();
        doc.m_bLoadTiler = 1;
        view.RebuildBackBuffer(page.dc());
    }

    void Paint()
    {
        doc.m_bDirty = 1;
        view.OnDraw(page.dc());
    }

    CPoint Centre(int x, int y) { return page.ToDevice(x * kCell + kCell / 2, -(y * kCell + kCell / 2)); }

    // The colour each cell's centre must show after a full redraw, walking the cells as the redraw does.
    // On paper hidden START and STOP cells stay white, their tiles chosen all the same.
    std::vector<COLORREF> ExpectedCentres(bool bShowSolution, bool bScreen = true)
    {
        tiletest::Sequence seq{view.m_tiler.seed};
        std::vector<COLORREF> expected;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const MazeCell& cell = doc.GetGrid(0)->GetCell(x, y);
                COLORREF colour = kWhite;
                if (!(cell.flags & CELL_ERASED)) {
                    int code = (cell.flags & CELL_BLACKENED) ? 17
                               : (cell.flags & CELL_STOP)    ? 19
                               : (cell.flags & CELL_START)   ? 18
                                                             : cell.passages & 0xF;
                    const TileRef t = Choose(Alternatives(code), seq);
                    colour = tiletest::CellColour(t.row, t.col);
                    if (cell.flags & CELL_SOLUTION) {
                        const TileRef s = Choose(Alternatives(16), seq);
                        if (bShowSolution)
                            colour = tiletest::CellColour(s.row, s.col);
                    }
                    if (!bScreen && (cell.flags & CELL_HIDDEN))
                        colour = kWhite;
                }
                expected.push_back(colour);
            }
        return expected;
    }

    std::vector<COLORREF> Centres()
    {
        std::vector<COLORREF> got;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                CPoint c = Centre(x, y);
                got.push_back(page.Pixel(c.x, c.y));
            }
        return got;
    }
};
}  // namespace

TEST_F(TiledMaze, EveryCellShowsTheTileOfItsCodeAndRepaintsRepeat)
{
    Paint();
    EXPECT_EQ(doc.m_bLoadTiler, 0);
    ASSERT_EQ(view.m_tiler.groups[5].tiles.GetSize(), 2) << "the definition file was loaded";
    const std::vector<COLORREF> expected = ExpectedCentres(false);
    EXPECT_EQ(Centres(), expected);
    ASSERT_TRUE(doc.GetGrid(0)->GetCell(0, 0).flags & CELL_HIDDEN);
    EXPECT_NE(expected[0], kWhite) << "the hidden START shows its tile on screen";
    EXPECT_NE(Centres()[0], kWhite);
    ASSERT_TRUE(doc.GetGrid(0)->GetCell(5, 4).flags & CELL_HIDDEN);
    EXPECT_EQ(Centres()[4 * 6 + 5], tiletest::CellColour(10, 1)) << "the hidden STOP shows its tile on screen";
    EXPECT_EQ(expected[1 * 6 + 1], kWhite) << "an erased cell has no tile";
    EXPECT_EQ(expected[2 * 6 + 2], tiletest::CellColour(9, 3)) << "blackened comes before START";
    EXPECT_EQ(expected[3 * 6 + 4], tiletest::CellColour(10, 1)) << "STOP comes before START";

    // Other users of the generator between repaints do not change the tiles.
    for (int i = 0; i < 17; ++i)
        VantrelRand();
    Paint();
    EXPECT_EQ(Centres(), expected);

    // The solution overlay was chosen all along; shown, it lies on top.
    view.m_bShowSolution = 1;
    Paint();
    EXPECT_EQ(Centres(), ExpectedCentres(true));
}

TEST_F(TiledMaze, HiddenMazeStillChoosesSoTheSolutionTilesStay)
{
    Paint();
    view.m_bShowSolution = 1;
    view.m_bShowMaze = 0;
    Paint();
    // Maze tiles are chosen but not drawn: only solution cells show a tile.
    const std::vector<COLORREF> all = ExpectedCentres(true);
    const std::vector<COLORREF> got = Centres();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const MazeCell& cell = doc.GetGrid(0)->GetCell(x, y);
            const bool bShown = (cell.flags & CELL_SOLUTION) && !(cell.flags & CELL_ERASED);
            EXPECT_EQ(got[std::size_t(y * 6 + x)], bShown ? all[std::size_t(y * 6 + x)] : kWhite) << x << "," << y;
        }
}

// On paper the hidden START and STOP leave openings, and every other cell keeps the tile the screen
// shows: the hidden cells' tiles are chosen though not drawn.
TEST_F(TiledMaze, PaperLeavesHiddenMarksOpenWithTheScreensTiles)
{
    Paint();
    const std::vector<COLORREF> screen = Centres();
    view.m_bScreen = 0;
    Paint();
    view.m_bScreen = 1;
    const std::vector<COLORREF> paper = Centres();
    EXPECT_EQ(paper, ExpectedCentres(false, false));
    for (std::size_t i = 0; i < paper.size(); ++i) {
        const MazeCell& cell = doc.GetGrid(0)->GetCell(int(i % 6), int(i / 6));
        if (cell.flags & CELL_HIDDEN)
            EXPECT_EQ(paper[i], kWhite) << i;
        else
            EXPECT_EQ(paper[i], screen[i]) << i;
    }
}

// A cell drawn by itself whitens its square and draws its tile where the full redraw draws it; hidden
// marks and erased cells are drawn by themselves too.
TEST_F(TiledMaze, SingleCellLandsWhereTheFullRedrawPutsIt)
{
    Paint();
    MemoryPage single(721, 913);
    CBrush grey;
    grey.CreateSolidBrush(0x808080);
    RECT all{0, 0, 721, 913};
    single.dc()->SetMapMode(MM_TEXT);
    single.dc()->FillRect(&all, &grey);
    single.dc()->SetMapMode(MM_HIENGLISH);

    const MazeCell& cell = doc.GetGrid(0)->GetCell(3, 2);
    tiletest::Sequence seq{12345};
    VantrelSrand(12345);
    EXPECT_EQ(view.RedrawCell(single.dc(), 3, 2, 0, DRAW_PASS_CELL), 1);
    const TileRef t = Choose(Alternatives(cell.passages & 0xF), seq);
    CPoint c = Centre(3, 2);
    EXPECT_EQ(single.Pixel(c.x, c.y), tiletest::CellColour(t.row, t.col));
    // An erased cell drawn by itself has no tile: its square is only whitened.
    view.RedrawCell(single.dc(), 1, 1, 0, DRAW_PASS_CELL);
    CPoint e = Centre(1, 1);
    EXPECT_EQ(single.Pixel(e.x, e.y), kWhite);

    // The hidden START (0, 0) is drawn by itself (pass 1) with the fallback picture: not white, not grey.
    view.RedrawCell(single.dc(), 0, 0, 0, DRAW_PASS_CELL);
    CPoint s = Centre(0, 0);
    EXPECT_NE(single.Pixel(s.x, s.y), 0x808080u);
}

TEST(TilerReference, BuiltinByDefaultOrIdAndAMessageForUnknownIds)
{
    std::vector<std::string> messages;
    MessageBoxHandler old = SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        messages.push_back(r.text.GetString());
        return IDOK;
    });
    CBMPTiler tiler;
    EXPECT_TRUE(LoadTilerReference(tiler, "", ""));
    EXPECT_EQ(tiler.name, CString("My Tile Design2"));
    EXPECT_EQ(tiler.groups[5].tiles.GetSize(), 1);
    EXPECT_TRUE(LoadTilerReference(tiler, ":ID:#180", ""));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(LoadTilerReference(tiler, ":ID:#181", ""));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("ID=181 could not be located"), std::string::npos);
    EXPECT_EQ(tiler.groups[17].tiles.GetSize(), 1) << "the built-in set is loaded after the message";

    // A reference that names no file leaves the set as it was.
    tiler.name = "kept";
    EXPECT_FALSE(LoadTilerReference(tiler, "no-such-set.tdf", "/nonexistent/"));
    EXPECT_EQ(tiler.name, CString("kept"));
    SetMessageBoxHandler(old);
}

TEST(TilerReference, FileInTheInstallationsTilerFolder)
{
    tiletest::ScratchDir dir;
    std::filesystem::create_directory(dir.Prefix() + "Tiler");
    CRasterImage sheet = tiletest::MakeSheet(4, 10, kTilePixels, kTilePixels);
    dir.WriteBmp("Tiler/sheet.bmp", sheet);
    dir.Write("Tiler/set.tdf", Definition());
    CBMPTiler tiler;
    EXPECT_TRUE(LoadTilerReference(tiler, "set.tdf", dir.Prefix().c_str()));
    EXPECT_EQ(tiler.name, CString("view test set"));
    ASSERT_EQ(tiler.groups[16].tiles.GetSize(), 2);
    EXPECT_EQ(tiletest::PixelFromTop(tiler.groups[16].tiles[1].image, 3, 3), tiletest::CellColour(9, 2));
}
