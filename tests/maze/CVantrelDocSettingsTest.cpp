// The document's settings: profile defaults, the values the setup sheet carries, and what applying
// it writes back.
#include "maze/CVantrelDoc.h"
#include "platform/core/CView.h"
#include "platform/core/Random.h"
#include "tests/support/DocTestSupport.h"
#include "tests/support/MzeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using doc_test::DocTest;

int ProfileInt(const char* section, const char* entry)
{
    return int(AfxGetProfile().GetProfileInt(section, entry, -12345));
}

// A view that lays the maze out on every update, as the real one does when it repaints.
class SizingView : public CView {
public:
    void OnUpdate(CView*, LPARAM, CObject*) override
    {
        auto* doc = static_cast<CVantrelDoc*>(GetDocument());
        doc->GetCellWidth();
        doc->GetCellHeight();
    }
};

TEST_F(DocTest, DefaultsFromAnEmptyProfile)
{
    std::time_t t0 = std::time(nullptr);
    CVantrelDoc doc;
    EXPECT_EQ(doc.m_nCellsX, 10);
    EXPECT_EQ(doc.m_nCellsY, 10);
    EXPECT_EQ(doc.m_nPageWidth, 7499);
    EXPECT_EQ(doc.m_nPageHeight, 9499);
    EXPECT_EQ(doc.m_nScale, 400);
    EXPECT_EQ(doc.m_nPenWidth, 10);
    EXPECT_EQ(doc.m_nType, 0);
    EXPECT_EQ(doc.m_bErasedVisible, 0);
    EXPECT_EQ(doc.m_bFitToPage, 1);
    EXPECT_EQ(doc.m_bAnimate, 0);
    EXPECT_EQ(doc.m_bTiled, 0);
    EXPECT_TRUE(doc.m_strTilerID.IsEmpty());
    EXPECT_EQ(doc.m_nOffsetX, 0);
    EXPECT_EQ(doc.m_nOffsetY, 0);
    EXPECT_EQ(doc.m_bPrinterDebug, 0);
    EXPECT_EQ(doc.m_bAutoCenter, 1);
    EXPECT_EQ(doc.m_nDeleteEnds, 0);
    const int prob[10] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 0};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(doc.m_nProb[i], prob[i]) << i;
    EXPECT_EQ(doc.m_nGrids, 0);
    EXPECT_EQ(doc.m_nStartX, -1);
    EXPECT_EQ(doc.m_nLastDir, -1);
    EXPECT_GE(doc.m_nSeed, int(t0));
    EXPECT_LE(doc.m_nSeed, int(std::time(nullptr)));
    // Nothing is written until a sheet is applied.
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(DocTest, FirstFileNewWritesEverySetting)
{
    CVantrelDoc doc;
    SizingView view;
    doc.AddView(&view);
    doc.OnFileNew();

    ASSERT_NE(doc.GetGrid(0), nullptr);
    EXPECT_EQ(doc.GetGrid(0)->width, 10);
    EXPECT_EQ(doc.GetGrid(0)->height, 10);
    EXPECT_EQ(doc.GetCellWidth(), 746);
    EXPECT_EQ(doc.GetCellHeight(), -920);
    // Fitting: the scale became the smaller cell side the view had computed.
    EXPECT_EQ(doc.m_nScale, 746);

    const std::pair<const char*, int> size[] = {
        {"animate", 0}, {"penwidth", 10}, {"ErasedVisible", 0}, {"Fittopage", 1}, {"cellx", 10},
        {"celly", 10},  {"x_offset", 0},  {"y_offset", 0},      {"x", 7499},      {"y", 9499},
        {"scale", 746}, {"type", 0},      {"Tiler", 0},         {"CircularCells", 10},
        {"CircularPercentRad", 4},        {"DeleteEnds", 0}};
    for (auto [entry, value] : size)
        EXPECT_EQ(ProfileInt("size", entry), value) << entry;
    EXPECT_EQ(AfxGetProfile().GetProfileString("size", "TilerID", "none"), "");
    const char* prob[10] = {"CENTER", "N", "NE", "E", "SE", "S", "SW", "W", "NW", "RELATIVE"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(ProfileInt("PROB", prob[i]), (i == 0 || i == 9) ? 0 : 1) << prob[i];
    EXPECT_EQ(ProfileInt("Settings", "AutoCenter"), 1);
    EXPECT_EQ(ProfileInt("Settings", "PrinterDebug"), 0);
    EXPECT_EQ(ProfileInt("Ads", "VISIBLE"), 0);

    // The file holds one group per section.
    std::ifstream in(IniPath());
    std::stringstream text;
    text << in.rdbuf();
    for (const char* group : {"[size]", "[PROB]", "[Settings]", "[Ads]"})
        EXPECT_NE(text.str().find(group), std::string::npos) << group;
}

TEST_F(DocTest, ProfileValuesReachANewDocument)
{
    CProfile& p = AfxGetProfile();
    p.WriteProfileInt("size", "cellx", 7);
    p.WriteProfileInt("size", "celly", 9);
    p.WriteProfileInt("size", "x", 8499);
    p.WriteProfileInt("size", "y", 10999);
    p.WriteProfileInt("size", "scale", 300);
    p.WriteProfileInt("size", "penwidth", 25);
    p.WriteProfileInt("size", "ErasedVisible", 1);
    p.WriteProfileInt("size", "Fittopage", 0);
    p.WriteProfileInt("size", "animate", 1);
    p.WriteProfileInt("size", "Tiler", 1);
    p.WriteProfileString("size", "TilerID", "garden");
    p.WriteProfileInt("size", "x_offset", 500);
    p.WriteProfileInt("size", "y_offset", -20);
    p.WriteProfileInt("size", "DeleteEnds", 3);
    p.WriteProfileInt("Settings", "PrinterDebug", 1);
    p.WriteProfileInt("Settings", "AutoCenter", 0);
    p.WriteProfileInt("PROB", "NE", 6);
    p.WriteProfileInt("PROB", "RELATIVE", 1);

    CVantrelDoc doc;
    EXPECT_EQ(doc.m_nCellsX, 7);
    EXPECT_EQ(doc.m_nCellsY, 9);
    EXPECT_EQ(doc.m_nPageWidth, 8499);
    EXPECT_EQ(doc.m_nPageHeight, 10999);
    EXPECT_EQ(doc.m_nScale, 300);
    EXPECT_EQ(doc.m_nPenWidth, 25);
    EXPECT_EQ(doc.m_bErasedVisible, 1);
    EXPECT_EQ(doc.m_bFitToPage, 0);
    EXPECT_EQ(doc.m_bAnimate, 1);
    EXPECT_EQ(doc.m_bTiled, 1);
    EXPECT_EQ(doc.m_strTilerID, "garden");
    EXPECT_EQ(doc.m_nOffsetX, 500);
    EXPECT_EQ(doc.m_nOffsetY, -20);
    EXPECT_EQ(doc.m_bPrinterDebug, 1);
    EXPECT_EQ(doc.m_bAutoCenter, 0);
    EXPECT_EQ(doc.m_nProb[2], 6);
    EXPECT_EQ(doc.m_nProb[9], 1);

    // Applying writes them back unchanged, the setting nothing else uses included.
    doc.OnFileNew();
    EXPECT_EQ(ProfileInt("size", "DeleteEnds"), 3);
    EXPECT_EQ(ProfileInt("size", "y_offset"), -20);
    EXPECT_EQ(ProfileInt("size", "scale"), 300);
    EXPECT_EQ(ProfileInt("PROB", "NE"), 6);
    EXPECT_EQ(ProfileInt("Settings", "AutoCenter"), 0);
    CVantrelDoc again;
    EXPECT_EQ(again.m_nCellsX, 7);
    EXPECT_EQ(again.m_strTilerID, "garden");
}

TEST_F(DocTest, WithoutFittingTheCountsAreClipped)
{
    AfxGetProfile().WriteProfileInt("size", "Fittopage", 0);
    CVantrelDoc doc;
    doc.OnFileNew();
    EXPECT_EQ(doc.m_nCellsX, 10);

    // At most 18 columns and 23 rows fit cells of 400 on a 7499 x 9499 page.
    SetMazeSetupSheetHandler([](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.dims.m_nCellsWide = 30;
        v.dims.m_nCellsLong = 30;
        return IDOK;
    });
    EXPECT_EQ(doc.ShowSettings(1), IDOK);
    EXPECT_EQ(doc.m_nCellsX, 18);
    EXPECT_EQ(doc.m_nCellsY, 23);
    EXPECT_EQ(doc.GetGrid(0)->width, 18);
    // Rows or columns given: the rebuild runs first, so the clipped counts are written.
    EXPECT_EQ(ProfileInt("size", "cellx"), 18);

    SetMazeSetupSheetHandler([](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.dims.m_nCellsWide = 0;
        v.dims.m_nCellsLong = 0;
        return IDOK;
    });
    EXPECT_EQ(doc.ShowSettings(1), IDOK);
    EXPECT_EQ(doc.m_nCellsX, 18);
    EXPECT_EQ(doc.m_nCellsY, 23);
    // Both 0: the settings are written before the rebuild fills the counts in.
    EXPECT_EQ(ProfileInt("size", "cellx"), 0);
    EXPECT_EQ(ProfileInt("size", "celly"), 0);
}

TEST_F(DocTest, ApplyingUnchangedKeepsTheTemplateAndClearsTheMaze)
{
    CVantrelDoc doc;
    doc.m_nSeed = 5;
    doc.OnFileNew();
    doc.SetCellState(3, 3, 0, CELL_BLACKENED);
    doc.OnGenerateMaze();
    Object* grid = doc.GetGrid(0);
    ASSERT_NE(grid->GetCell(0, 0).passages, 0);

    int pages = -1;
    SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues&, int nPage) {
        pages = nPage;
        return IDOK;
    });
    boxes.clear();
    doc.OnMazeSetup();
    EXPECT_EQ(pages, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(doc.GetGrid(0), grid);
    EXPECT_EQ(grid->GetCell(0, 0).passages, 0);
    EXPECT_EQ(grid->GetCell(3, 3).flags, CELL_BLACKENED);
    EXPECT_EQ(doc.m_bGenerated, 0);
    doc.OnPageSetup();
    EXPECT_EQ(pages, 2);
    doc.OnPrintingPenWidth();
    EXPECT_EQ(pages, 3);

    // A template type with no builder leaves no grid behind.
    CVantrelDoc other;
    other.OnFileNew();
    ASSERT_EQ(other.m_nGrids, 1);
    other.m_nType = 3;
    EXPECT_FALSE(other.CreateGrid());
    EXPECT_EQ(other.m_nGrids, 0);
    EXPECT_EQ(other.GetGrid(0), nullptr);

    // A sheet applied with no grid always rebuilds.
    CVantrelDoc empty;
    empty.ShowSettings(0);
    EXPECT_NE(empty.GetGrid(0), nullptr);
    EXPECT_EQ(empty.m_bLoadTiler, 0);
}

TEST_F(DocTest, AChangeThatRebuildsAsksFirst)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    Object* grid = doc.GetGrid(0);
    SetMazeSetupSheetHandler([](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.dims.m_nCellsWide = 12;
        v.advanced.m_nPenWidth = 40;
        return IDOK;
    });
    answers = {IDCANCEL};
    boxes.clear();
    EXPECT_EQ(doc.ShowSettings(0), IDCANCEL);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Do you really wish to make these changes?  YOU WILL LOSE WHAT YOU WERE WORKING ON!");
    EXPECT_EQ(boxTypes[0] & MB_TYPEMASK, MB_OKCANCEL);
    EXPECT_EQ(doc.m_nCellsX, 10);
    EXPECT_EQ(doc.m_nPenWidth, 10);
    EXPECT_EQ(doc.GetGrid(0), grid);
    EXPECT_EQ(ProfileInt("size", "cellx"), 10);
    EXPECT_EQ(ProfileInt("size", "penwidth"), 10);

    answers = {IDOK};
    EXPECT_EQ(doc.ShowSettings(0), IDOK);
    EXPECT_EQ(doc.m_nCellsX, 12);
    EXPECT_EQ(doc.GetGrid(0)->width, 12);
    EXPECT_EQ(doc.m_nPenWidth, 40);
    EXPECT_EQ(ProfileInt("size", "cellx"), 12);
    EXPECT_EQ(doc.m_bLoadTiler, 0);
}

TEST_F(DocTest, PageValuesInInches)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    CMazeSetupValues shown;
    SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues& v, int) {
        shown = v;
        v.page.m_fHeight = 8.5f;
        v.page.m_fLeft = 0.7f;
        v.page.m_fWidth = 7.7f;
        v.page.m_fTop = 0.25f;
        return IDOK;
    });
    doc.ShowSettings(2);
    EXPECT_EQ(shown.page.m_fHeight, 9.5f);
    EXPECT_EQ(shown.page.m_fWidth, 7.5f);
    EXPECT_EQ(doc.m_nPageHeight, 8499);
    EXPECT_EQ(doc.m_nOffsetX, 699);
    EXPECT_EQ(doc.m_nPageWidth, 7698);
    EXPECT_EQ(doc.m_nOffsetY, 250);
    EXPECT_EQ(ProfileInt("size", "x"), 7698);

    // Values shown and confirmed unchanged keep their thousandths, even where a float cannot hold them.
    doc.m_nPageWidth = 7699;
    doc.m_nOffsetX = 333;
    SetMazeSetupSheetHandler([](CVantrelDoc&, CMazeSetupValues&, int) { return IDOK; });
    for (int i = 0; i < 3; ++i)
        doc.ShowSettings(2);
    EXPECT_EQ(doc.m_nPageWidth, 7699);
    EXPECT_EQ(doc.m_nOffsetX, 333);
    EXPECT_EQ(doc.m_nPageHeight, 8499);
}

TEST_F(DocTest, SeedPaneAndGrowthValues)
{
    bool paneOn = false;
    std::vector<std::pair<UINT, UINT>> timers;
    CVantrelDocShell shell;
    shell.isInfoPaneVisible = [&] { return BOOL(paneOn); };
    shell.setInfoPaneVisible = [&](BOOL on) { paneOn = on; };
    shell.setInfoPaneTimer = [&](UINT id, UINT ms) { timers.emplace_back(id, ms); };
    int hidden = 0;
    shell.hideInfoPane = [&] { ++hidden; };
    SetVantrelDocShell(shell);

    CVantrelDoc doc;
    doc.OnFileNew();
    EXPECT_GE(hidden, 1);
    doc.m_nSeed = -1;
    CMazeSetupValues shown;
    SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues& v, int) {
        shown = v;
        v.advanced.m_bInfoWindow = TRUE;
        v.growth.m_nN = 5;
        v.growth.m_nE = 3;
        v.growth.m_nCenter = 9;
        return IDOK;
    });
    doc.ShowSettings(3);
    EXPECT_EQ(shown.advanced.m_nSeed, 4294967295u);
    EXPECT_EQ(shown.advanced.m_bInfoWindow, FALSE);
    EXPECT_EQ(doc.m_nSeed, -1);
    EXPECT_TRUE(paneOn);
    ASSERT_EQ(timers.size(), 1u);
    EXPECT_EQ(timers[0], std::make_pair(1u, 1u));
    EXPECT_EQ(ProfileInt("Ads", "VISIBLE"), 1);
    EXPECT_EQ(doc.m_nProb[1], 5);
    EXPECT_EQ(doc.m_nProb[3], 3);
    EXPECT_EQ(doc.m_nProb[0], 9);
    EXPECT_EQ(ProfileInt("PROB", "N"), 5);
    EXPECT_EQ(ProfileInt("PROB", "CENTER"), 9);
    // The grid's weights follow: north, east, south, west.
    EXPECT_EQ(doc.GetGrid(0)->weights[0], 5);
    EXPECT_EQ(doc.GetGrid(0)->weights[1], 3);
    // The generator was seeded with the seed (-1 as its 32-bit pattern).
    EXPECT_EQ(VantrelRandState(), 0xFFFFFFFFu);
}

} // namespace

namespace {

// The menu commands reach the document through its message map.
TEST_F(DocTest, CommandsByTheirIds)
{
    CVantrelDoc doc;
    int page = -2;
    SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues&, int nPage) {
        page = nPage;
        return IDOK;
    });
    auto run = [&](UINT id) { return doc.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); };
    EXPECT_TRUE(run(57600));  // New
    EXPECT_NE(doc.GetGrid(0), nullptr);
    EXPECT_TRUE(run(32772));
    EXPECT_EQ(page, 0);
    EXPECT_TRUE(run(32801));
    EXPECT_EQ(page, 2);
    EXPECT_TRUE(run(32790));
    EXPECT_EQ(page, 3);
    EXPECT_TRUE(run(32771));  // Make Maze
    EXPECT_EQ(doc.m_bGenerated, 1);
    EXPECT_TRUE(run(32784));  // Solve
    EXPECT_TRUE(run(32787));  // Clear
    EXPECT_EQ(doc.m_bGenerated, 0);
    EXPECT_TRUE(run(32824));  // ReRender: grows again from the start point Make Maze recorded
    EXPECT_EQ(doc.m_bGenerated, 1);
    for (UINT id : {57601u, 57603u, 57604u}) {
        dialogs.clear();
        EXPECT_TRUE(run(id));
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].open, id == 57601u);
    }
    EXPECT_FALSE(run(32773));  // a view tool, not the document's
}

// Settings that would leave no grid are refused before the grid or the profile changes.
TEST_F(DocTest, SettingsThatLeaveNoGridAreRefusedWithAMessage)
{
    CVantrelDoc doc;
    doc.m_nSeed = 6;
    doc.OnFileNew();
    doc.OnGenerateMaze();
    Object* grid = doc.GetGrid(0);
    ASSERT_NE(grid, nullptr);
    const std::vector<MazeCell> maze(grid->cells.get(), grid->cells.get() + grid->GetCellCount());
    const std::vector<unsigned char> profile = ReadFile(IniPath());
    ASSERT_FALSE(profile.empty());

    const std::string noCells = "A maze fitted to the page needs at least 1 cell wide and 1 cell long.  Please "
                                "enter an integer between 1 and 100000.";
    struct Case {
        std::function<void(CMazeSetupValues&)> change;
        std::string message;
    };
    const Case cases[] = {
        {[](CMazeSetupValues& v) { v.dims.m_nCellsWide = 0; }, noCells},
        {[](CMazeSetupValues& v) { v.dims.m_nCellsLong = 0; }, noCells},
        {[](CMazeSetupValues& v) { v.dims.m_nCellsWide = v.dims.m_nCellsLong = 0; }, noCells},
        {[](CMazeSetupValues& v) { v.style.m_nType = 3; },
         "Mazes of the Triangular template type are not available in this version of Quillmont.  Please "
         "choose Box, CIRCULAR or Square Tiled."},
        {[](CMazeSetupValues& v) { v.style.m_nType = 1; },
         "Mazes of the Hex template type are not available in this version of Quillmont.  Please choose "
         "Box, CIRCULAR or Square Tiled."},
    };
    for (const Case& c : cases) {
        SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues& v, int) {
            c.change(v);
            v.advanced.m_nPenWidth = 33;
            return IDOK;
        });
        boxes.clear();
        boxTypes.clear();
        EXPECT_EQ(doc.ShowSettings(0), IDCANCEL) << c.message;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], c.message);
        EXPECT_EQ(boxTypes[0] & MB_ICONMASK, MB_ICONEXCLAMATION);
        ASSERT_EQ(doc.GetGrid(0), grid);
        EXPECT_TRUE(std::equal(maze.begin(), maze.end(), grid->cells.get(), [](const MazeCell& a, const MazeCell& b) {
            return a.flags == b.flags && a.passages == b.passages;
        }));
        EXPECT_EQ(doc.m_nCellsX, 10);
        EXPECT_EQ(doc.m_nCellsY, 10);
        EXPECT_EQ(doc.m_nType, 0);
        EXPECT_EQ(doc.m_nPenWidth, 10);
        EXPECT_EQ(ReadFile(IniPath()), profile);
    }

    // A later start and File New still have their maze.
    CVantrelDoc next;
    next.OnFileNew();
    EXPECT_NE(next.GetGrid(0), nullptr);

    // Without fitting to the page, 0 cells mean as many as fit.
    SetMazeSetupSheetHandler([](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.dims.m_bFitToPage = FALSE;
        v.dims.m_nScale = 500;
        v.dims.m_nCellsWide = 0;
        return IDOK;
    });
    boxes.clear();
    EXPECT_EQ(doc.ShowSettings(0), IDOK);
    EXPECT_EQ(boxes.size(), 1u);  // the question before the rebuild
    EXPECT_EQ(doc.m_nCellsX, 14);
    EXPECT_EQ(ProfileInt("size", "cellx"), 14);
}

TEST_F(DocTest, ProfileSettingsThatLeaveNoGridGiveWayToTheDefaults)
{
    // What earlier versions stored: a type without a builder and 0 cells fitted to the page.
    AfxGetProfile().WriteProfileInt("size", "type", 3);
    AfxGetProfile().WriteProfileInt("size", "cellx", 0);
    AfxGetProfile().WriteProfileInt("size", "celly", 12);
    CVantrelDoc doc;
    EXPECT_EQ(doc.m_nType, 0);
    EXPECT_EQ(doc.m_nCellsX, 10);
    EXPECT_EQ(doc.m_nCellsY, 12);
    doc.OnFileNew();
    ASSERT_NE(doc.GetGrid(0), nullptr);
    EXPECT_EQ(doc.GetGrid(0)->width, 10);
    EXPECT_EQ(ProfileInt("size", "type"), 0);
    EXPECT_EQ(ProfileInt("size", "cellx"), 10);

    // Not fitting, 0 stays: as many cells as fit.
    AfxGetProfile().WriteProfileInt("size", "Fittopage", 0);
    AfxGetProfile().WriteProfileInt("size", "cellx", 0);
    CVantrelDoc unfitted;
    EXPECT_EQ(unfitted.m_nCellsX, 0);
    // A ring template keeps its type.
    AfxGetProfile().WriteProfileInt("size", "type", 40);
    CVantrelDoc ring;
    EXPECT_EQ(ring.m_nType, 40);
}

TEST_F(DocTest, InnerRadiusIsThePercentTypedAndChangesOnlyWithIt)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    EXPECT_EQ(doc.GetGrid(0)->innerRadius, 0.04);  // the profile's 4 percent

    float typed = 4.3f;
    int innerCells = 15;
    SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.style.m_nType = 40;
        v.dims.m_fInnerPct = typed;
        v.dims.m_nInnerCells = innerCells;
        return IDOK;
    });
    doc.ShowSettings(0);
    ASSERT_EQ(doc.m_nType, 40);
    EXPECT_EQ(doc.GetGrid(0)->innerRadius, 0.043);
    typed = 12.7f;
    doc.ShowSettings(0);
    EXPECT_EQ(doc.GetGrid(0)->innerRadius, 0.127);
    typed = 0.1f;
    doc.ShowSettings(0);
    EXPECT_EQ(doc.GetGrid(0)->innerRadius, 0.001);

    // A radius the page shows rounded (as a file may hold it) stays exact while its percent is
    // confirmed unchanged, also when another change rebuilds the grid.
    doc.GetGrid(0)->innerRadius = 0.0431234567;
    SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.dims.m_nInnerCells = innerCells;
        return IDOK;
    });
    doc.ShowSettings(0);
    EXPECT_EQ(doc.GetGrid(0)->innerRadius, 0.0431234567);
    innerCells = 9;
    boxes.clear();
    doc.ShowSettings(0);
    EXPECT_EQ(boxes.size(), 1u);  // the question before the rebuild
    EXPECT_EQ(doc.GetGrid(0)->innerRingCells, 9);
    EXPECT_EQ(doc.GetGrid(0)->innerRadius, 0.0431234567);

    // A file holds the value typed.
    doc.GetGrid(0)->innerRadius = 0.05;
    typed = 4.3f;
    SetMazeSetupSheetHandler([&](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.dims.m_fInnerPct = typed;
        return IDOK;
    });
    doc.ShowSettings(0);
    doc.m_dVersion = 2.0;
    const std::vector<unsigned char> file = StoreToBytes([&](CArchive& ar) { doc.Serialize(ar); });
    const double expected = 0.043;
    const auto* raw = reinterpret_cast<const unsigned char*>(&expected);
    EXPECT_NE(std::search(file.begin(), file.end(), raw, raw + 8), file.end());
}

TEST_F(DocTest, MakeMazeAfterASmallerTemplateGrowsAWholeMaze)
{
    // A start cell left by a larger grid (as a ring maze's file leaves it), then a smaller box
    // template and File New: Make Maze picks a random free start and grows and solves the maze.
    CVantrelDoc doc;
    doc.m_nCellsX = doc.m_nCellsY = 30;
    doc.OnFileNew();
    doc.m_nStartX = 25;
    doc.m_nStartY = 27;
    SetMazeSetupSheetHandler([](CVantrelDoc&, CMazeSetupValues& v, int) {
        v.dims.m_nCellsWide = 5;
        v.dims.m_nCellsLong = 4;
        return IDOK;
    });
    doc.ShowSettings(0);
    SetMazeSetupSheetHandler({});
    doc.OnFileNew();
    doc.OnGenerateMaze();
    Object* grid = doc.GetGrid(0);
    ASSERT_EQ(grid->width, 5);
    int carved = 0, solution = 0;
    for (int i = 0; i < 20; ++i) {
        carved += grid->cells[std::size_t(i)].passages != 0;
        solution += (grid->cells[std::size_t(i)].flags & CELL_SOLUTION) != 0;
    }
    EXPECT_EQ(carved, 20);
    EXPECT_GE(solution, 8);
    ASSERT_EQ(doc.m_startPoints.GetSize(), 1);
    EXPECT_TRUE(grid->InBounds(doc.m_startPoints[0].x, doc.m_startPoints[0].y));
}

} // namespace
