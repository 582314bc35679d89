// Parsing tile definitions: the keys and their values, line ends, TILE fields, order of lines, the
// sheet beside a definition file, the read limit, and the built-in resources.
#include "tiles/CBMPTiler.h"

#include "tests/support/TileTestSupport.h"

#include <string>

using tiletest::CellColour;
using tiletest::PixelFromTop;
using tiletest::ScratchDir;

namespace {

// Parses text in file mode with the sheet folder dir.
void Parse(CBMPTiler& set, const std::string& text, const std::string& folder = "")
{
    set.dir = folder.c_str();
    EXPECT_TRUE(set.ParseDefinition(CString(text.c_str()), 0, 0));
}

int TileCount(const CBMPTiler& set)
{
    int n = 0;
    for (int code = 0; code < set.groups.GetSize(); ++code)
        n += set.groups[code].tiles.GetSize();
    return n;
}

const CTileInfo& Tile(const CBMPTiler& set, int code, int index = 0) { return set.groups[code].tiles[index]; }

} // namespace

TEST(TileDefinition, NewSetIsEmpty)
{
    CBMPTiler set;
    EXPECT_EQ(set.groups.GetSize(), 20);
    EXPECT_EQ(TileCount(set), 0);
    EXPECT_FALSE(set.sheet.IsValid());
    EXPECT_EQ(set.pixelsWide, 0);
    EXPECT_EQ(set.seed, 0u);
    CTileInfo tile;
    EXPECT_STREQ(tile.name, "UNKNOWN");
    EXPECT_EQ(tile.weight, 0);
    EXPECT_EQ(tile.row, 0);
    EXPECT_EQ(tile.column, 0);
}

TEST(TileDefinition, StringKeysTakeTheTextAfterTheLinesFirstColon)
{
    CBMPTiler set;
    Parse(set,
          "NAME:   Spaced Name  \r\n"
          "UNIQUEID:u-1\r\nCREDITLINE: by us\r\nCOPYRIGHT: (c) us\r\nCOPYRIGHTDATE: 2026\r\n"
          "MOREINFO: more\r\nUSE: free\r\nTRANSRGBCOLOR: 1,2,3\r\n"
          "COMMENTS: see URL: elsewhere\r\n"
          "this line is a comment\r\n\r\n"
          "name: lower case keys do nothing");
    EXPECT_STREQ(set.name, "Spaced Name  "); // leading white space only is removed
    EXPECT_STREQ(set.uniqueId, "u-1");
    EXPECT_STREQ(set.creditLine, "by us");
    EXPECT_STREQ(set.rightsNotice, "(c) us");
    // "COPYRIGHTDATE:" does not contain "COPYRIGHT:", so the notice is not overwritten.
    EXPECT_STREQ(set.rightsDate, "2026");
    EXPECT_STREQ(set.moreInfo, "more");
    EXPECT_STREQ(set.use, "free");
    // One line can set several keys, each to everything after the line's first colon.
    EXPECT_STREQ(set.comments, "see URL: elsewhere");
    EXPECT_STREQ(set.url, "see URL: elsewhere");
    EXPECT_EQ(TileCount(set), 0);
}

TEST(TileDefinition, LinesEndInCrLfAndABareLfLosesTheLastCharacter)
{
    CBMPTiler set;
    Parse(set, "PIXELSWIDE: 200\nPIXELSHIGH: 200\r\nNAME: last line needs no end");
    EXPECT_EQ(set.pixelsWide, 20);
    EXPECT_EQ(set.pixelsHigh, 200);
    EXPECT_STREQ(set.name, "last line needs no end");
    // An empty line before the LF stays empty; a one-character line loses its character.
    Parse(set, "\nX\nPIXELSWIDE: 7\r\n");
    EXPECT_EQ(set.pixelsWide, 7);
}

TEST(TileDefinition, NumbersReadLikeDecimalIntegers)
{
    CBMPTiler set;
    Parse(set, "PIXELSWIDE:   -12px\r\nPIXELSHIGH: wide\r\n");
    EXPECT_EQ(set.pixelsWide, -12);
    EXPECT_EQ(set.pixelsHigh, 0);
    Parse(set, "PIXELSWIDE: 99999999999999999999\r\nPIXELSHIGH: -99999999999999999999\r\n");
    EXPECT_EQ(set.pixelsWide, 2147483647);
    EXPECT_EQ(set.pixelsHigh, -2147483647 - 1);
}

TEST(TileDefinition, TileFieldsNameRowColumnAndWeight)
{
    CBMPTiler set;
    Parse(set,
          "TILE: 3,2,4,5\r\nTILE: 3,2,4\r\nTILE: 3,2,4,x\r\nTILE: 3,2,4,\r\nTILE: 3, 1 , 2 , 7 ,9\r\n"
          "TILE: 7,1,1\r\nTILE: 7,1,2\r\n");
    ASSERT_EQ(set.groups[3].tiles.GetSize(), 5);
    EXPECT_STREQ(Tile(set, 3, 0).name, "3");
    EXPECT_EQ(Tile(set, 3, 0).row, 2);
    EXPECT_EQ(Tile(set, 3, 0).column, 4);
    EXPECT_EQ(Tile(set, 3, 0).weight, 5);
    EXPECT_EQ(Tile(set, 3, 1).weight, 1);
    EXPECT_EQ(Tile(set, 3, 2).weight, 0);
    EXPECT_EQ(Tile(set, 3, 3).weight, 1); // an empty fourth field counts as absent
    EXPECT_EQ(Tile(set, 3, 4).row, 1);
    EXPECT_EQ(Tile(set, 3, 4).column, 2);
    EXPECT_EQ(Tile(set, 3, 4).weight, 7);
    // Tiles of one code keep the order of their lines.
    ASSERT_EQ(set.groups[7].tiles.GetSize(), 2);
    EXPECT_EQ(Tile(set, 7, 0).column, 1);
    EXPECT_EQ(Tile(set, 7, 1).column, 2);
    EXPECT_EQ(TileCount(set), 7);
}

TEST(TileDefinition, TileNamesSelectGroups)
{
    CBMPTiler set;
    Parse(set,
          "TILE: solution,5,1\r\nTILE: Blacken,5,2\r\nTILE: START,1,1\r\nTILE: stop,1,1\r\n"
          "TILE: 16,1,1\r\nTILE: Fred,1,1\r\nTILE: 12abc,1,1\r\nTILE: 9\r\nTILE: SOLUTION ,1,1\r\n");
    EXPECT_EQ(set.groups[16].tiles.GetSize(), 2);
    EXPECT_STREQ(Tile(set, 16).name, "solution");
    EXPECT_EQ(set.groups[17].tiles.GetSize(), 1);
    EXPECT_EQ(set.groups[18].tiles.GetSize(), 1);
    EXPECT_EQ(set.groups[19].tiles.GetSize(), 1);
    EXPECT_EQ(set.groups[12].tiles.GetSize(), 1);
    // Any other word gives code 0, and so does a line without commas (its number is the column).
    ASSERT_EQ(set.groups[0].tiles.GetSize(), 3);
    EXPECT_STREQ(Tile(set, 0, 0).name, "Fred");
    EXPECT_STREQ(Tile(set, 0, 1).name, "");
    EXPECT_EQ(Tile(set, 0, 1).row, 0);
    EXPECT_EQ(Tile(set, 0, 1).column, 9);
    EXPECT_STREQ(Tile(set, 0, 2).name, "SOLUTION ");
}

TEST(TileDefinition, CodesOutsideTheTwentyKindsAreIgnored)
{
    CBMPTiler set;
    Parse(set, "TILE: 25,1,1\r\nTILE: -1,1,1\r\nTILE: 20,1,1\r\nTILE: 99999999999,1,1\r\nTILE: 4,1,1\r\n"
               "NAME: after\r\n");
    EXPECT_EQ(TileCount(set), 1);
    EXPECT_EQ(set.groups[4].tiles.GetSize(), 1);
    EXPECT_STREQ(set.name, "after"); // the lines after an ignored one still apply
}

TEST(TileDefinition, SheetBesideTheDefinitionIsCutIntoCells)
{
    ScratchDir folder;
    CRasterImage sheetImage = tiletest::MakeSheet(4, 3, 10, 8);
    folder.WriteBmp("sheet.bmp", sheetImage);
    const std::string def = folder.Write("set.txt",
        "NAME: Test\r\nPIXELSWIDE: 10\r\nPIXELSHIGH: 8\r\nBMPFILE: sheet.bmp\r\n"
        "TILE: 1,2,3\r\nTILE: 2,3,4\r\nTILE: 5,1,5\r\nTILE: 6,4,1\r\nTILE: 7,0,1\r\n");
    CBMPTiler set;
    EXPECT_EQ(set.LoadFromFile(def.c_str(), folder.Prefix().c_str()), 0);
    EXPECT_STREQ(set.dir, folder.Prefix().c_str());
    EXPECT_STREQ(set.bmpFile, "sheet.bmp");
    ASSERT_TRUE(set.sheet.IsValid());
    EXPECT_EQ(set.sheet.GetWidth(), 40u);

    const CRasterImage& a = Tile(set, 1).image;
    ASSERT_TRUE(a.IsValid());
    EXPECT_EQ(a.GetWidth(), 10u);
    EXPECT_EQ(a.GetHeight(), 8u);
    EXPECT_EQ(PixelFromTop(a, 0, 0), CellColour(2, 3));
    EXPECT_EQ(PixelFromTop(a, 9, 7), CellColour(2, 3));
    EXPECT_EQ(PixelFromTop(Tile(set, 2).image, 5, 5), CellColour(3, 4));
    // Cells beyond the sheet's columns or rows (or above it) are added with an empty image.
    EXPECT_EQ(set.groups[5].tiles.GetSize(), 1);
    EXPECT_FALSE(Tile(set, 5).image.IsValid());
    EXPECT_FALSE(Tile(set, 6).image.IsValid());
    EXPECT_FALSE(Tile(set, 7).image.IsValid());

    // Tiles are copies: discarding the sheet leaves them intact.
    set.sheet.Destroy();
    EXPECT_EQ(PixelFromTop(Tile(set, 1).image, 4, 4), CellColour(2, 3));
}

TEST(TileDefinition, LinesTakeTheSettingsInForceWhenTheyArrive)
{
    ScratchDir folder;
    CRasterImage sheetImage = tiletest::MakeSheet(2, 2, 6, 6);
    folder.WriteBmp("s.bmp", sheetImage);
    CBMPTiler set;
    Parse(set, "PIXELSWIDE: 3\r\nPIXELSHIGH: 3\r\nTILE: 1,1,1\r\nBMPFILE: s.bmp\r\nTILE: 2,2,2\r\n"
               "PIXELSWIDE: 6\r\nPIXELSHIGH: 6\r\nTILE: 3,2,2\r\n", folder.Prefix());
    EXPECT_FALSE(Tile(set, 1).image.IsValid()); // no sheet yet
    EXPECT_EQ(Tile(set, 2).image.GetWidth(), 3u);
    EXPECT_EQ(PixelFromTop(Tile(set, 2).image, 0, 0), CellColour(1, 1)); // 3 x 3 cell (2,2) of the sheet
    EXPECT_EQ(Tile(set, 3).image.GetWidth(), 6u);
    EXPECT_EQ(PixelFromTop(Tile(set, 3).image, 0, 0), CellColour(2, 2));

    // A new parse empties images and groups and keeps strings and sizes until a key sets them.
    const DWORD firstSeed = set.seed;
    EXPECT_NE(firstSeed, 0u);
    Parse(set, "TILE: 4,1,1\r\nNAME: second\r\n", folder.Prefix());
    EXPECT_FALSE(set.sheet.IsValid());
    EXPECT_EQ(TileCount(set), 1);
    EXPECT_EQ(set.pixelsWide, 6);
    EXPECT_STREQ(set.bmpFile, "s.bmp");
    EXPECT_STREQ(set.name, "second");
    EXPECT_GE(set.seed, firstSeed);
}

TEST(TileDefinition, MissingFilesLeaveImagesEmptyOrTheSetUnchanged)
{
    ScratchDir folder;
    CBMPTiler set;
    Parse(set, "NAME: kept\r\nBMPFILE: none.gif\r\nMASKFILE: none.bmp\r\nPIXELSWIDE: 5\r\nPIXELSHIGH: 5\r\n"
               "TILE: 1,1,1\r\n", folder.Prefix());
    EXPECT_FALSE(set.sheet.IsValid());
    EXPECT_FALSE(set.maskSheet.IsValid());
    EXPECT_STREQ(set.maskFile, "none.bmp");
    EXPECT_EQ(set.groups[1].tiles.GetSize(), 1);

    // A definition that cannot be read changes nothing and raises nothing.
    const DWORD seed = set.seed;
    EXPECT_EQ(set.LoadFromFile((folder.Prefix() + "absent.txt").c_str(), "/elsewhere/"), 0);
    EXPECT_EQ(set.LoadFromFile(folder.Prefix().c_str(), "/elsewhere/"), 0); // a folder
    EXPECT_STREQ(set.name, "kept");
    EXPECT_STREQ(set.dir, folder.Prefix().c_str());
    EXPECT_EQ(set.seed, seed);
    EXPECT_EQ(set.groups[1].tiles.GetSize(), 1);

    // The mask is loaded and kept when it exists.
    CRasterImage mask = tiletest::MakeSheet(1, 1, 4, 4);
    folder.WriteBmp("mask.bmp", mask);
    Parse(set, "MASKFILE: mask.bmp\r\n", folder.Prefix());
    EXPECT_EQ(set.maskSheet.GetWidth(), 4u);
}

TEST(TileDefinition, FileReadStopsAfter39999BytesOrAtAZeroByte)
{
    ScratchDir folder;
    const std::string tail = "\r\nNAME: abcdefghij";
    std::string exact(39999 - tail.size(), '#');
    exact += tail;
    ASSERT_EQ(exact.size(), 39999u);
    CBMPTiler set;
    set.LoadFromFile(folder.Write("exact.txt", exact).c_str(), "");
    EXPECT_STREQ(set.name, "abcdefghij");

    std::string longer(40000 - tail.size(), '#');
    longer += tail + "\r\nNAME: never read\r\n";
    set.LoadFromFile(folder.Write("longer.txt", longer).c_str(), "");
    EXPECT_STREQ(set.name, "abcdefghi"); // byte 40,000 (the 'j') and everything after are dropped

    set.LoadFromFile(folder.Write("zero.txt", std::string("NAME: x\r\n\0NAME: y\r\n", 20)).c_str(), "");
    EXPECT_STREQ(set.name, "x");
}

TEST(TileDefinition, BuiltInSetComesFromItsResourcesAlone)
{
    ScratchDir folder;
    CRasterImage decoy = tiletest::MakeSheet(1, 1, 10, 10);
    folder.WriteBmp("test1.gif", decoy); // what "BMPFILE:" names; resource mode must not load it
    CBMPTiler set;
    set.dir = folder.Prefix().c_str();
    set.bmpFile = "before";
    EXPECT_TRUE(set.ParseDefinition(CString("NAME: ignored text"), 192, 180));
    EXPECT_STREQ(set.name, "My Tile Design2");
    EXPECT_STREQ(set.bmpFile, "before");
    ASSERT_TRUE(set.sheet.IsValid());
    EXPECT_EQ(set.sheet.GetWidth(), 800u);
    EXPECT_EQ(set.sheet.GetHeight(), 1000u);
    EXPECT_EQ(set.pixelsWide, 200);
    EXPECT_EQ(set.pixelsHigh, 200);
    for (int code = 0; code < 20; ++code) {
        SCOPED_TRACE(code);
        const bool defined = code < 18;
        ASSERT_EQ(set.groups[code].tiles.GetSize(), defined ? 1 : 0);
        if (!defined)
            continue;
        const CTileInfo& tile = Tile(set, code);
        const int expectRow = code == 0 ? 4 : code < 16 ? (code - 1) / 4 + 1 : 5;
        const int expectCol = code == 0 ? 4 : code < 16 ? (code - 1) % 4 + 1 : code - 15;
        EXPECT_EQ(tile.row, expectRow);
        EXPECT_EQ(tile.column, expectCol);
        EXPECT_EQ(tile.weight, 1);
        EXPECT_EQ(tile.image.GetWidth(), 200u);
        EXPECT_EQ(tile.image.GetHeight(), 200u);
        EXPECT_TRUE(tile.image.IsTransparent());
    }

    // A missing resource leaves the sheet or the text empty.
    CBMPTiler none;
    none.ParseDefinition(CString("TILE: 1,1,1"), 193, 181);
    EXPECT_FALSE(none.sheet.IsValid());
    EXPECT_EQ(TileCount(none), 0);
    none.ParseDefinition(CString(), 192, 181);
    EXPECT_FALSE(none.sheet.IsValid());
    EXPECT_EQ(TileCount(none), 18);
}

TEST(TileDefinition, BuiltInSheetDrawsCorridorWalls)
{
    CBMPTiler set;
    set.ParseDefinition(CString(), 192, 180);
    const LONG clear = set.sheet.GetTransIndex();
    ASSERT_GE(clear, 0);
    auto index = [](const CRasterImage& img, LONG x, LONG y) {
        return LONG(img.GetPixelIndex(x, LONG(img.GetHeight()) - 1 - y));
    };
    auto isBlack = [&](const CRasterImage& img, LONG x, LONG y) {
        return PixelFromTop(img, x, y) == RGB(0, 0, 0) && index(img, x, y) != clear;
    };
    // Code 5 (north and south open): two side walls from edge to edge, no wall across.
    const CRasterImage& ns = Tile(set, 5).image;
    for (LONG y : {0, 100, 199}) {
        EXPECT_TRUE(isBlack(ns, 35, y));
        EXPECT_TRUE(isBlack(ns, 45, y));
        EXPECT_TRUE(isBlack(ns, 160, y));
        EXPECT_EQ(index(ns, 34, y), clear);
        EXPECT_EQ(index(ns, 46, y), clear);
        EXPECT_EQ(index(ns, 100, y), clear);
    }
    // Code 1 (north open only): a wall across the south side, side walls up to the north edge.
    const CRasterImage& n = Tile(set, 1).image;
    EXPECT_TRUE(isBlack(n, 100, 160));
    EXPECT_EQ(index(n, 100, 40), clear);
    EXPECT_TRUE(isBlack(n, 40, 0));
    EXPECT_EQ(index(n, 40, 199), clear);
    // Code 0: both pairs of lines right across the cell.
    const CRasterImage& none = Tile(set, 0).image;
    EXPECT_TRUE(isBlack(none, 0, 40));
    EXPECT_TRUE(isBlack(none, 199, 160));
    EXPECT_TRUE(isBlack(none, 40, 0));
    EXPECT_EQ(index(none, 100, 100), clear);
    // The solution spot is green in the middle; the blackened cell is solid black.
    EXPECT_EQ(PixelFromTop(Tile(set, 16).image, 100, 100), RGB(0, 255, 0));
    EXPECT_EQ(index(Tile(set, 16).image, 100, 60), clear);
    EXPECT_TRUE(isBlack(Tile(set, 17).image, 0, 0));
    EXPECT_TRUE(isBlack(Tile(set, 17).image, 199, 199));
}
