// Document files of versions 1.0 and 2.0: exact bytes built from the format's tables, reading them
// back, and the files that must be refused without touching the document.
#include "image/CRasterImage.h"
#include "maze/CVantrelDoc.h"
#include "platform/core/CView.h"
#include "tests/support/DocTestSupport.h"
#include "tests/support/MzeBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

using doc_test::DocTest;

// The header fields as the tests set them, in the order of the file's fields.
struct Header {
    int type = 0;
    std::string style = "Box";
    int marks = 0x10;
    int grids = 1;
    int scale = 746, startX = 1, offsetX = 250, startY = 0, offsetY = 125;
    int cellsX = 3, pageWidth = 7499, xSign = 1, cellsY = 2, pageHeight = 9499, ySign = 1;
    int seed = 1;
};

void ApplyHeader(CVantrelDoc& doc, const Header& h)
{
    doc.m_nType = h.type;
    doc.m_strStyle = h.style.c_str();
    doc.m_nPlacedMarks = h.marks;
    doc.m_nScale = h.scale;
    doc.m_nStartX = h.startX;
    doc.m_nOffsetX = h.offsetX;
    doc.m_nStartY = h.startY;
    doc.m_nOffsetY = h.offsetY;
    doc.m_nPageWidth = h.pageWidth;
    doc.m_nXSign = h.xSign;
    doc.m_nPageHeight = h.pageHeight;
    doc.m_nYSign = h.ySign;
    doc.m_nSeed = h.seed;
}

void HeaderBytes(MzeBytes& b, const Header& h)
{
    b.Ints({h.scale, h.startX, h.offsetX, h.startY, h.offsetY});
    b.Ints({h.cellsX, h.pageWidth, h.xSign, h.cellsY, h.pageHeight, h.ySign});
}

// The grid record, with the cells listed in the file's order.
void GridBytes(MzeBytes& b, int w, int h, const std::vector<MazeCell>& cells)
{
    b.Double(1.0).Int(0).String("grid").Int(4).Int(1).Int(w).Int(h);
    b.Int(2).Double(0.25).Int(12).Zeros(3);
    for (const MazeCell& c : cells)
        b.Word(c.flags).Word(c.passages);
}

MzeBytes V1Bytes(const Header& h, const std::vector<MazeCell>& cells)
{
    MzeBytes b;
    b.Double(1.0).Int(h.type).String(h.style).Int(h.marks).Int(h.grids);
    HeaderBytes(b, h);
    b.Int(h.seed).Int(0).Zeros(3);
    GridBytes(b, h.cellsX, h.cellsY, cells);
    return b;
}

// The test's own picture, as the image library encodes it in its format.
std::vector<unsigned char> PictureBytes()
{
    auto bmp = MakeBmp24(3, 2, [](int x, int y) { return std::uint32_t(0x203040 + 17 * x + 5 * y); });
    CRasterImage img;
    EXPECT_TRUE(img.Decode(bmp.data(), DWORD(bmp.size()), IMAGE_FORMAT_BMP));
    BYTE* enc = nullptr;
    LONG size = 0;
    EXPECT_TRUE(img.Encode(enc, size, IMAGE_FORMAT_BMP));
    std::vector<unsigned char> out(enc, enc + size);
    std::free(enc);
    return out;
}

struct Fonts {
    CHOOSEFONTA cf;
    LOGFONTA lf;
    Fonts()
    {
        cf.iPointSize = 120;
        cf.rgbColors = 0x000000FF;
        lf.lfHeight = -167;
        lf.lfWeight = FW_NORMAL;
        std::strcpy(lf.lfFaceName, "Courier");
    }
};

MzeBytes V2Bytes(const Header& h, const std::vector<MazeCell>& cells, const std::vector<unsigned char>& picture,
                 int marker = 0)
{
    Fonts f;
    MzeBytes b;
    b.Double(2.0).String("MZE").Int(h.type).String(h.style).Int(h.marks).Int(h.grids);
    HeaderBytes(b, h);
    b.Int(h.seed).Int(0).Int(1).String("builtin:1").Int(marker).Int(0).Zeros(6);
    GridBytes(b, h.cellsX, h.cellsY, cells);
    b.Int(2);
    // A text object on an opaque background.
    b.Double(1.0).String("NONE;").Int(2).Int(0).Ints({500, -300, 3000, -900}).Int(8).Int(17);
    b.Ints({60, 30, 300, 20}).Ints({0, 0}).Int(0x000000FF).Int(4).String("Start here");
    b.Int(60).Raw(&f.cf, 60).Int(60).Raw(&f.lf, 60);
    // A picture on the background layer, half transparent.
    b.Double(1.0).String("NONE;").Int(3).Int(0).Ints({0, 0, 1500, -1000}).Int(8).Int(10);
    b.Ints({100, 0, 150, 0}).Ints({0, 0}).Int(0).Int(1).String("");
    b.Int(1).Byte(128).Int(IMAGE_FORMAT_BMP).Int(std::int64_t(picture.size())).Raw(picture);
    // Two start points.
    b.Int(2).Ints({1, 0}).Ints({2, 1});
    b.Zeros(24);
    return b;
}

void AddObjects(CVantrelDoc& doc, const std::vector<unsigned char>& picture)
{
    Fonts f;
    CLogicalRectTracker text;
    text.m_nKind = 2;
    text.SetLogicalRect(500, -300, 3000, -900);
    text.m_nHandleSize = 8;
    text.m_nStyle = 17;
    text.m_rect = CRect(30, 20, 300, 60);
    text.m_crText = 0x000000FF;
    text.m_nLayer = LAYER_TEXT;
    text.m_strText = "Start here";
    text.NewFontRecord();
    *text.m_pChooseFont = f.cf;
    *text.m_pLogFont = f.lf;
    doc.m_objects.Add(text);
    text.ReleaseOwnership();

    CLogicalRectTracker pic;
    auto* img = new CRasterImage();
    ASSERT_TRUE(img->Decode(picture.data(), DWORD(picture.size()), IMAGE_FORMAT_BMP));
    img->AlphaCreate();
    img->AlphaSet(128);
    pic.SetImage(img, 3);
    pic.SetLogicalRect(0, 0, 1500, -1000);
    pic.m_nHandleSize = 8;
    pic.m_nStyle = 10;
    pic.m_rect = CRect(0, 0, 150, 100);
    pic.m_nLayer = LAYER_BACKGROUND;
    doc.m_objects.Add(pic);
    pic.ReleaseOwnership();
    doc.m_startPoints.Add(CPoint(1, 0));
    doc.m_startPoints.Add(CPoint(2, 1));
}

// A grown 3 x 2 maze with the test's header.
std::unique_ptr<CVantrelDoc> GrownDoc(const Header& h)
{
    auto doc = std::make_unique<CVantrelDoc>();
    doc->m_nCellsX = h.cellsX;
    doc->m_nCellsY = h.cellsY;
    doc->m_nSeed = 1;
    doc->OnFileNew();
    doc->OnGenerateMaze();
    doc->m_startPoints.RemoveAll();
    ApplyHeader(*doc, h);
    Object* g = doc->GetGrid(0);
    g->name = "grid";
    g->innerRadius = 0.25;
    g->innerRingCells = 12;
    doc->m_bTiled = 1;
    doc->m_strTilerID = "builtin:1";
    return doc;
}

// The cells in the file's order: (0,0), (1,0), (2,0), (0,1), (1,1), (2,1).
std::vector<MazeCell> CellsInFileOrder(CVantrelDoc& doc)
{
    Object* g = doc.GetGrid(0);
    std::vector<MazeCell> out;
    for (int y = 0; y < g->height; ++y)
        for (int x = 0; x < g->width; ++x)
            out.push_back(g->GetCell(x, y));
    return out;
}

std::vector<unsigned char> Save(CVantrelDoc& doc, double version)
{
    doc.m_dVersion = version;
    return StoreToBytes([&](CArchive& ar) { doc.Serialize(ar); });
}

void Load(CVantrelDoc& doc, const std::vector<unsigned char>& bytes)
{
    LoadFromBytes(bytes, [&](CArchive& ar) { doc.Serialize(ar); });
}

bool SameCells(CVantrelDoc& a, CVantrelDoc& b)
{
    Object* ga = a.GetGrid(0);
    Object* gb = b.GetGrid(0);
    if (!ga || !gb || ga->width != gb->width || ga->height != gb->height)
        return false;
    return std::memcmp(ga->cells.get(), gb->cells.get(), std::size_t(ga->GetCellCount()) * 4) == 0;
}

TEST_F(DocTest, GrownMazeMatchesTheFormatTables)
{
    Header h;
    auto doc = GrownDoc(h);
    auto cells = CellsInFileOrder(*doc);
    // A grown maze: every cell carved, START at (0,0) and STOP at (2,1), so order mistakes show.
    EXPECT_EQ(cells[0].flags & CELL_START, CELL_START);
    EXPECT_EQ(cells[5].flags & CELL_STOP, CELL_STOP);
    for (const MazeCell& c : cells)
        EXPECT_NE(c.passages, 0);

    EXPECT_EQ(Save(*doc, 1.0), V1Bytes(h, cells).bytes);

    auto picture = PictureBytes();
    AddObjects(*doc, picture);
    auto saved = Save(*doc, 2.0);
    auto expected = V2Bytes(h, cells, picture).bytes;
    EXPECT_EQ(saved, expected) << "first difference at byte " << FirstDifference(saved, expected);
}

TEST_F(DocTest, TwoCellMazeFromTheGrowthExample)
{
    Header h;
    h.cellsX = 2;
    h.cellsY = 1;
    auto doc = GrownDoc(h);
    // Seed 1 on 2 x 1: START (0,0) and STOP (1,0) joined through sides 2 and 4, both on the solution.
    std::vector<MazeCell> cells = {{0x8050, 0x0002}, {0x8060, 0x0008}};
    EXPECT_EQ(Save(*doc, 1.0), V1Bytes(h, cells).bytes);
}

TEST_F(DocTest, VersionTwoReadsBackAndSavesTheSameBytes)
{
    Header h;
    h.marks = 0x30;
    h.startX = 2;
    h.startY = 1;
    h.seed = -1;
    std::vector<MazeCell> cells = {{0x8050, 0x2}, {0x8000, 0xC}, {0x0, 0x4}, {0x0, 0x2}, {0x8000, 0x9}, {0x8060, 0x8}};
    auto picture = PictureBytes();
    auto file = V2Bytes(h, cells, picture).bytes;

    CVantrelDoc doc;
    Load(doc, file);
    EXPECT_TRUE(doc.m_strError.IsEmpty()) << doc.m_strError.GetString();
    EXPECT_EQ(doc.m_dVersion, 2.0);
    EXPECT_EQ(doc.m_nCellsX, 3);
    EXPECT_EQ(doc.m_nCellsY, 2);
    EXPECT_EQ(doc.m_nPlacedMarks, 0x30);
    EXPECT_EQ(doc.m_nStartX, 2);
    EXPECT_EQ(doc.m_nSeed, -1);
    EXPECT_EQ(doc.m_nOffsetX, 250);
    EXPECT_EQ(doc.m_strStyle, "Box");
    EXPECT_EQ(doc.m_bTiled, 1);
    EXPECT_EQ(doc.m_bLoadTiler, 1);
    EXPECT_EQ(doc.m_strTilerID, "builtin:1");
    ASSERT_NE(doc.GetGrid(0), nullptr);
    EXPECT_EQ(doc.GetGrid(0)->GetCell(1, 0).passages, 0xC);
    EXPECT_EQ(doc.GetGrid(0)->GetCell(2, 1).flags, 0x8060);
    EXPECT_EQ(doc.GetGrid(0)->name, "grid");
    EXPECT_EQ(doc.GetGrid(0)->innerRadius, 0.25);
    ASSERT_EQ(doc.m_objects.GetSize(), 2);
    EXPECT_EQ(doc.m_objects[0].m_strText, "Start here");
    EXPECT_EQ(doc.m_objects[0].m_pChooseFont->iPointSize, 120);
    EXPECT_STREQ(doc.m_objects[0].m_pLogFont->lfFaceName, "Courier");
    ASSERT_NE(doc.m_objects[1].m_pImage, nullptr);
    EXPECT_EQ(doc.m_objects[1].m_pImage->GetWidth(), 3u);
    EXPECT_EQ(doc.m_objects[1].m_pImage->AlphaGet(1, 1), 128);
    ASSERT_EQ(doc.m_startPoints.GetSize(), 2);
    EXPECT_EQ(doc.m_startPoints[1], CPoint(2, 1));
    EXPECT_EQ(doc.m_bDirty, 1);

    EXPECT_EQ(Save(doc, 2.0), file);
}

TEST_F(DocTest, VersionOneSavedAsVersionTwoKeepsTheMaze)
{
    Header h;
    auto grown = GrownDoc(h);
    auto v1 = Save(*grown, 1.0);

    CVantrelDoc a;
    Load(a, v1);
    EXPECT_EQ(a.m_dVersion, 1.0);
    EXPECT_TRUE(SameCells(a, *grown));
    EXPECT_EQ(a.m_objects.GetSize(), 0);
    EXPECT_EQ(a.m_startPoints.GetSize(), 0);
    auto v2 = Save(a, 2.0);

    CVantrelDoc b;
    Load(b, v2);
    EXPECT_EQ(b.m_dVersion, 2.0);
    EXPECT_TRUE(SameCells(b, *grown));
    EXPECT_EQ(b.m_nScale, h.scale);
    EXPECT_EQ(b.m_nOffsetY, h.offsetY);
    EXPECT_EQ(b.m_nStartX, h.startX);
    EXPECT_EQ(b.m_strStyle, "Box");
    EXPECT_EQ(b.GetGrid(0)->name, "grid");
}

TEST_F(DocTest, OpenedFilesWithStaleMarksOrStartGrowAWholeMaze)
{
    // A file whose placed-mark bits no cell carries and whose start cell lies outside its grid (as a
    // larger grid left it): Make Maze drops the start, marks the corners and grows a solved maze.
    Header h;
    h.marks = 0x30;
    h.startX = 50;
    h.startY = 12;
    std::vector<MazeCell> cells(6, MazeCell{0, 0});
    CVantrelDoc doc;
    Load(doc, V2Bytes(h, cells, PictureBytes()).bytes);
    ASSERT_TRUE(doc.m_strError.IsEmpty()) << doc.m_strError.GetString();
    doc.OnGenerateMaze();
    Object* g = doc.GetGrid(0);
    ASSERT_NE(g, nullptr);
    for (int i = 0; i < 6; ++i)
        EXPECT_NE(g->cells[std::size_t(i)].passages, 0) << i;
    EXPECT_EQ(g->GetCell(0, 0).flags, 0x50 | CELL_SOLUTION);
    EXPECT_EQ(g->GetCell(2, 1).flags, 0x60 | CELL_SOLUTION);
    EXPECT_TRUE(doc.m_nStartX >= 0 && doc.m_nStartX < 3 && doc.m_nStartY >= 0 && doc.m_nStartY < 2);
    // The file's bits are saved again as they were read.
    const auto saved = Save(doc, 2.0);
    int marks = 0;
    std::memcpy(&marks, &saved[8 + 4 + 4 + 4], 4);
    EXPECT_EQ(marks, 0x30);
}

// The state a user sees, to check that a refused file changed nothing.
struct Snapshot {
    double version;
    std::vector<unsigned char> bytes;
    int objects, points, grids;
    std::string error;
    explicit Snapshot(CVantrelDoc& doc)
        : version(doc.m_dVersion), bytes(Save(doc, 2.0)), objects(doc.m_objects.GetSize()),
          points(doc.m_startPoints.GetSize()), grids(doc.m_nGrids), error(doc.m_strError.GetString())
    {
        doc.m_dVersion = version;
    }
    bool operator==(const Snapshot&) const = default;
};

class DocRejectTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        Header h;
        h.cellsX = 4;
        h.cellsY = 3;
        doc = GrownDoc(h);
        AddObjects(*doc, PictureBytes());
        doc->m_strError = "";
        before = std::make_unique<Snapshot>(*doc);
    }

    // Loads bytes that must be refused: the document stays as it was, apart from a queued message.
    void ExpectRefused(const std::vector<unsigned char>& bytes, const char* message = nullptr)
    {
        bool threw = false;
        try {
            Load(*doc, bytes);
        } catch (const CException&) {
            threw = true;
        }
        if (message) {
            EXPECT_FALSE(threw);
            EXPECT_EQ(doc->m_strError, message);
            doc->m_strError = "";
        } else {
            EXPECT_TRUE(threw) << "accepted a broken file of " << bytes.size() << " bytes";
        }
        EXPECT_TRUE(Snapshot(*doc) == *before);
    }

    std::unique_ptr<CVantrelDoc> doc;
    std::unique_ptr<Snapshot> before;
};

TEST_F(DocRejectTest, WrongTagAndNewerVersions)
{
    Header h;
    std::vector<MazeCell> cells(6, MazeCell{0, 0});
    auto good = V2Bytes(h, cells, PictureBytes()).bytes;

    auto badTag = good;
    badTag[9] = 'X';
    ExpectRefused(badTag,
                  "ERROR: Quillmont does not recognize this file as a valid MZE file.  Loading has stopped.");

    auto v3 = good;
    double three = 3.0;
    std::memcpy(v3.data(), &three, 8);
    ExpectRefused(v3, "ERROR: MZE File format {3.0} is greater than the maximum version supported by this "
                      "program.  Please contact support to upgrade: support@quillmont.example");

    // The newer-format marker is shown at once; the reset before it asked about the layer objects.
    boxes.clear();
    boxTypes.clear();
    ExpectRefused(V2Bytes(h, cells, PictureBytes(), 1).bytes, "");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Do you want to delete all TEXT/OBJECT layers?");
    EXPECT_EQ(boxes[1], "ERROR: MZE File format {2.0} is greater than the maximum version supported by this "
                        "program.  Please contact support to upgrade. email: support@quillmont.example");
    EXPECT_EQ(boxTypes[1] & MB_TYPEMASK, MB_OKCANCEL);
}

TEST_F(DocRejectTest, EveryTruncationIsRefused)
{
    Header h;
    std::vector<MazeCell> cells(6, MazeCell{0x10, 0x2});
    auto v2 = V2Bytes(h, cells, PictureBytes()).bytes;
    for (std::size_t n = 0; n < v2.size(); ++n)
        ExpectRefused(std::vector<unsigned char>(v2.begin(), v2.begin() + long(n)));
    auto v1 = V1Bytes(h, cells).bytes;
    for (std::size_t n = 0; n < v1.size(); ++n)
        ExpectRefused(std::vector<unsigned char>(v1.begin(), v1.begin() + long(n)));
}

TEST_F(DocRejectTest, OversizedAndImpossibleFields)
{
    Header h;
    std::vector<MazeCell> cells(6, MazeCell{0, 0});
    auto picture = PictureBytes();
    auto base = V2Bytes(h, cells, picture).bytes;

    // Offsets of the fields, from the layout: version 8, tag 4, type 4, style 4, marks 4, grids 4.
    const std::size_t header = 8 + 4 + 4 + 4 + 4 + 4;
    const std::size_t scaleAt = header, cellsXAt = header + 20, xSignAt = header + 28;
    const std::size_t cellsYAt = header + 32, pageHAt = header + 36;
    const std::size_t tilerAt = header + 44 + 4 + 4 + 4;  // seed, reserved, tiled, then the string
    const std::size_t ringAt = tilerAt + 10 + 4;
    const std::size_t gridAt = ringAt + 4 + 24;
    const std::size_t gridSidesAt = gridAt + 8 + 4 + 5, gridKindAt = gridSidesAt + 4;
    const std::size_t gridWAt = gridKindAt + 4, gridHAt = gridWAt + 4, radiusAt = gridHAt + 8;
    const std::size_t cellsAt = radiusAt + 8 + 4 + 12;
    const std::size_t objectsAt = cellsAt + 6 * 4;
    const std::size_t pointsAt = base.size() - 96 - 16 - 4;

    auto with = [&](std::size_t at, int v) {
        auto b = base;
        std::memcpy(&b[at], &v, 4);
        return b;
    };
    for (auto [at, v] : std::vector<std::pair<std::size_t, int>>{
             {scaleAt, -1},          {cellsXAt, 0},          {cellsXAt, 100001},       {cellsXAt, -3},
             {cellsXAt, 60000},      {cellsYAt, 0},          {xSignAt, 0},             {xSignAt, 7},
             {pageHAt, 0},           {ringAt, -1},           {ringAt, 1 << 20},        {gridSidesAt, 5},
             {gridSidesAt, 0},       {gridKindAt, 2},        {gridWAt, 0},            {gridWAt, 2},
             {gridHAt, 100000},      {objectsAt, -1},        {objectsAt, 3},           {objectsAt, 1 << 30},
             {pointsAt, -1},         {pointsAt, 3},          {pointsAt, 1 << 30}})
        ExpectRefused(with(at, v));

    // A template type this program cannot build is named, in both versions.
    const std::pair<int, const char*> types[] = {{1, "the Hex template type"},
                                                 {2, "the Octagon-Box template type"},
                                                 {3, "the Triangular template type"},
                                                 {4, "the Trapezoid-Box template type"},
                                                 {5, "the Quad-Triangle template type"},
                                                 {7, "template type 7"}};
    for (auto [type, name] : types) {
        const std::string message = std::string("ERROR: This file holds a maze of ") + name +
                                    ", which is not available in this version of Quillmont.  Loading has stopped.";
        ExpectRefused(with(12, type), message.c_str());
        Header v1Header;
        v1Header.type = type;
        ExpectRefused(V1Bytes(v1Header, cells).bytes, message.c_str());
    }

    // A string whose length the file cannot hold, in its 16- and 32-bit forms.
    auto longTiler = base;
    longTiler[tilerAt] = 0xFF;
    longTiler[tilerAt + 1] = 0xF0;
    longTiler[tilerAt + 2] = 0xFF;
    ExpectRefused(longTiler);
    // A passage through a side the cell does not have, and a bad inner radius.
    auto badPassage = base;
    badPassage[cellsAt + 2] = 0x10;
    ExpectRefused(badPassage);
    auto badRadius = base;
    double nan = std::nan("");
    std::memcpy(&badRadius[radiusAt], &nan, 8);
    ExpectRefused(badRadius);

    // The untouched file loads, so every refusal above came from its one changed field.
    answers = {IDNO, IDNO};
    Load(*doc, base);
    EXPECT_EQ(doc->m_nCellsX, 3);
    EXPECT_EQ(doc->m_objects.GetSize(), 2 + 2);
}

TEST_F(DocTest, LayerObjectsQuestionDuringLoad)
{
    Header h;
    auto picture = PictureBytes();
    std::vector<MazeCell> cells(6, MazeCell{0, 0});
    auto file = V2Bytes(h, cells, picture).bytes;

    // Kept at the reset and at the reader's rebuild: the file's objects follow the document's.
    auto doc = GrownDoc(h);
    AddObjects(*doc, picture);
    boxes.clear();
    answers = {IDNO, IDNO};
    Load(*doc, file);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Do you want to delete all TEXT/OBJECT layers?");
    EXPECT_EQ(boxTypes[0] & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(boxTypes[0] & MB_ICONMASK, MB_ICONWARNING);
    EXPECT_EQ(doc->m_objects.GetSize(), 4);

    // Deleted at the reset: asked once, only the file's objects remain.
    boxes.clear();
    answers = {IDYES};
    Load(*doc, file);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(doc->m_objects.GetSize(), 2);
    EXPECT_EQ(doc->m_objects[0].m_strText, "Start here");

    // Deleted, but the file is refused: the document keeps its objects.
    boxes.clear();
    answers = {IDYES};
    auto broken = std::vector<unsigned char>(file.begin(), file.end() - 10);
    EXPECT_THROW(Load(*doc, broken), CArchiveException);
    EXPECT_EQ(doc->m_objects.GetSize(), 2);
}

TEST_F(DocTest, AnImageThatDoesNotDecodeMakesNoObject)
{
    Header h;
    std::vector<MazeCell> cells(6, MazeCell{0, 0});
    std::vector<unsigned char> junk = {'n', 'o', 't', 'a', 'b', 'm', 'p'};
    CVantrelDoc doc;
    Load(doc, V2Bytes(h, cells, junk).bytes);
    ASSERT_EQ(doc.m_objects.GetSize(), 1);
    EXPECT_EQ(doc.m_objects[0].m_nKind, 2);
    EXPECT_EQ(doc.m_startPoints.GetSize(), 2);
}

TEST_F(DocTest, FrameworkOpenAndSaveReportFailure)
{
    Header h;
    auto doc = GrownDoc(h);
    auto good = Save(*doc, 2.0);
    WriteFile(Path("good.mze"), good);
    auto badTag = good;
    badTag[9] = 'Q';
    WriteFile(Path("tag.mze"), badTag);
    WriteFile(Path("short.mze"), std::vector<unsigned char>(good.begin(), good.begin() + 40));
    WriteFile(Path("newer.mze"), V2Bytes(h, std::vector<MazeCell>(6, MazeCell{0, 0}), PictureBytes(), 1).bytes);

    CVantrelDoc reader;
    EXPECT_TRUE(reader.OnOpenDocument(Path("good.mze").c_str()));
    EXPECT_TRUE(SameCells(reader, *doc));
    EXPECT_FALSE(reader.OnOpenDocument(Path("tag.mze").c_str()));
    EXPECT_FALSE(reader.OnOpenDocument(Path("short.mze").c_str()));
    EXPECT_FALSE(reader.OnOpenDocument(Path("missing.mze").c_str()));
    EXPECT_FALSE(reader.OnOpenDocument(Path("newer.mze").c_str()));
    EXPECT_TRUE(reader.GetFileFailed());
    EXPECT_TRUE(SameCells(reader, *doc));

    // A version the writer cannot write is refused before the file is touched.
    WriteFile(Path("keep.mze"), good);
    doc->m_dVersion = 3.0;
    EXPECT_FALSE(doc->OnSaveDocument(Path("keep.mze").c_str()));
    EXPECT_EQ(ReadFile(Path("keep.mze")), good);
    EXPECT_EQ(doc->m_strError, "ERROR: Save MZE File format {3.0} is greater than the maximum version supported "
                               "by this program.  Please contact support: support@quillmont.example");
    doc->m_dVersion = 1.0;
    EXPECT_TRUE(doc->OnSaveDocument(Path("v1.mze").c_str()));
    EXPECT_EQ(ReadFile(Path("v1.mze")), Save(*doc, 1.0));
}

TEST_F(DocTest, OpenAndSaveCommands)
{
    Header h;
    auto doc = GrownDoc(h);

    AnswerDialog(Path("two.mze"), 1);
    doc->OnFileSaveAs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].open);
    EXPECT_EQ(dialogs[0].defaultExt, "mze");
    EXPECT_EQ(dialogs[0].filter, "Quillmont V2 (*.mze)|*.mze|Quillmont V1 (*.mze)|*.mze||");
    EXPECT_EQ(dialogs[0].filterIndex, 1u);
    EXPECT_TRUE(dialogs[0].flags & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(doc->m_dVersion, 2.0);
    EXPECT_EQ(ReadFile(Path("two.mze")), Save(*doc, 2.0));

    AnswerDialog(Path("one.mze"), 2);
    doc->OnFileSaveAs();
    EXPECT_EQ(doc->m_dVersion, 1.0);
    EXPECT_EQ(ReadFile(Path("one.mze")), Save(*doc, 1.0));

    AnswerDialog(Path("three.mze"), 3);
    doc->OnFileSaveAs();
    EXPECT_EQ(doc->m_dVersion, 0.0);
    EXPECT_EQ(doc->m_strError, "ERROR: Could not save in that format.  Save has stopped.");
    EXPECT_FALSE(std::filesystem::exists(Path("three.mze")));

    AnswerDialog(Path("nodir/x.mze"), 1);
    doc->OnFileSaveAs();
    EXPECT_EQ(doc->m_strError, ("ERROR: Could not open '" + Path("nodir/x.mze") +
                                "' for writing, please check you have rights to do so.").c_str());

    CVantrelDoc reader;
    reader.m_strError = "old";
    AnswerDialog(Path("missing.mze"));
    reader.OnFileOpen();
    EXPECT_EQ(dialogs.back().filter, "Mazes (*.mze)|*.mze|All Files (*.*)|*.*||");
    EXPECT_TRUE(dialogs.back().flags & OFN_FILEMUSTEXIST);
    EXPECT_EQ(reader.m_strError, ("ERROR: Could not open " + Path("missing.mze") +
                                  " for reading, please check you have rights to do so.").c_str());

    AnswerDialog(Path("one.mze"));
    reader.OnFileOpen();
    EXPECT_TRUE(reader.m_strError.IsEmpty());
    EXPECT_EQ(reader.m_dVersion, 1.0);
    EXPECT_TRUE(SameCells(reader, *doc));
    // Cancelled dialog: nothing happens.
    reader.OnFileOpen();
    EXPECT_TRUE(SameCells(reader, *doc));

    // A broken file through the command is reported and leaves the document alone.
    auto good = ReadFile(Path("two.mze"));
    WriteFile(Path("cut.mze"), std::vector<unsigned char>(good.begin(), good.begin() + 100));
    boxes.clear();
    AnswerDialog(Path("cut.mze"));
    reader.OnFileOpen();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(reader.m_dVersion, 1.0);
    EXPECT_TRUE(SameCells(reader, *doc));
}

} // namespace

namespace {

// The fuzzer's seed files are valid documents.
TEST_F(DocTest, FuzzSeedFilesLoad)
{
    std::string dir = VANTREL_TEST_DATA;
    dir = dir.substr(0, dir.rfind('/')) + "/fuzz/corpus/mze/";
    const struct {
        const char* name;
        double version;
        int objects;
    } seeds[] = {{"v1_3x2.mze", 1.0, 0}, {"v2_3x2_plain.mze", 2.0, 0}, {"v2_3x2_objects.mze", 2.0, 2}};
    for (auto s : seeds) {
        CVantrelDoc doc;
        Load(doc, ReadFile(dir + s.name));
        EXPECT_TRUE(doc.m_strError.IsEmpty()) << s.name;
        EXPECT_EQ(doc.m_dVersion, s.version) << s.name;
        EXPECT_EQ(doc.m_objects.GetSize(), s.objects) << s.name;
        ASSERT_NE(doc.GetGrid(0), nullptr);
        EXPECT_EQ(doc.GetGrid(0)->GetCell(2, 1).flags, 0x8060);
    }
}

} // namespace

namespace {

// A message already waiting for the view stays through a good load and gives way to a refusal's.
TEST_F(DocTest, QueuedMessagesAcrossLoads)
{
    Header h;
    auto doc = GrownDoc(h);
    auto good = Save(*doc, 2.0);
    doc->m_strError = "ERROR: waiting";
    Load(*doc, good);
    EXPECT_EQ(doc->m_strError, "ERROR: waiting");
    // The refusal's message reaches the view, which shows it at the paint the update asks for.
    struct CountingView : CView {
        int updates = 0;
        void OnUpdate(CView*, LPARAM, CObject*) override { ++updates; }
    } view;
    doc->AddView(&view);
    auto bad = good;
    bad[10] = 'z';
    Load(*doc, bad);
    EXPECT_EQ(doc->m_strError,
              "ERROR: Quillmont does not recognize this file as a valid MZE file.  Loading has stopped.");
    EXPECT_EQ(view.updates, 1);
    doc->RemoveView(&view);
}

} // namespace

namespace {

// A file saved fitting the page, read without fitting: the rebuild clips the document's columns, the
// grid keeps the stored size, and the result saves and reads again.
TEST_F(DocTest, FittedFileReadWithoutFitting)
{
    AfxGetProfile().WriteProfileInt("size", "Fittopage", 0);
    Header h;
    h.cellsX = 30;
    h.scale = 400;
    std::vector<MazeCell> cells(60, MazeCell{0, 0});
    cells[59] = MazeCell{0x20, 0};
    CVantrelDoc doc;
    Load(doc, V1Bytes(h, cells).bytes);
    EXPECT_EQ(doc.m_nCellsX, 18);
    EXPECT_EQ(doc.m_nCellsY, 2);
    ASSERT_NE(doc.GetGrid(0), nullptr);
    EXPECT_EQ(doc.GetGrid(0)->width, 30);
    EXPECT_EQ(doc.GetGrid(0)->GetCell(29, 1).flags, 0x20);

    CVantrelDoc again;
    Load(again, Save(doc, 2.0));
    EXPECT_FALSE(again.GetFileFailed());
    EXPECT_EQ(again.GetGrid(0)->width, 30);
    EXPECT_EQ(again.GetGrid(0)->GetCell(29, 1).flags, 0x20);
}

} // namespace
