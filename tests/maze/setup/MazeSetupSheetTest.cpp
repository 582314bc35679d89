// The Maze Setup sheet's Dimensions, Page, Advanced and GROWTH pages over a document: what each page
// shows, its checks and their messages, and what OK and Cancel do to the document and the profile.
#include "tests/maze/setup/SetupTestSupport.h"

#include <gtest/gtest.h>

#include <QDialog>

#include <memory>

namespace {

using setup_test::SetupTest;

TEST_F(SetupTest, MazeSetupOpensOnStyleAndOkAppliesTheDimensions)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    boxes.clear();
    const int result = Show(doc, 0, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        EXPECT_EQ(sheet.GetQDialog()->windowTitle(), "Quillmont Settings");
        QTabWidget* tabs = sheet.GetTabControl();
        ASSERT_EQ(tabs->count(), 5);
        const char* names[] = {"Style", "Dimensions", "Page", "Advanced", "GROWTH"};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(tabs->tabText(i).toStdString(), names[i]);
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        Tab(sheet, 1);
        EXPECT_EQ(Text(pages.m_dimensions, IDC_DIM_CELLS_WIDE), "10");
        EXPECT_EQ(Text(pages.m_dimensions, IDC_DIM_CELLS_LONG), "10");
        Type(pages.m_dimensions, IDC_DIM_CELLS_WIDE, "12");
        Type(pages.m_dimensions, IDC_DIM_CELLS_LONG, "14");
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    // Changing the grid's size asks first (the default answer, OK, goes on).
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Do you really wish to make these changes?  YOU WILL LOSE WHAT YOU WERE WORKING ON!");
    EXPECT_EQ(doc.m_nCellsX, 12);
    EXPECT_EQ(ProfileInt("size", "cellx"), 12);
    EXPECT_EQ(doc.m_nCellsY, 14);
    ASSERT_NE(doc.GetGrid(0), nullptr);
    EXPECT_EQ(doc.GetGrid(0)->width, 12);
    EXPECT_EQ(doc.GetGrid(0)->height, 14);
}

TEST_F(SetupTest, CountsOutsideTheirRangeAreRefusedOnThePageTheyAreOn)
{
    CVantrelDoc doc;
    doc.m_bFitToPage = 0;
    doc.OnFileNew();
    boxes.clear();
    const int result = Show(doc, 1, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP2& dims = pages.m_dimensions;
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        Type(dims, IDC_DIM_CELLS_WIDE, "100001");
        Tab(sheet, 2);
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        EXPECT_EQ(sheet.GetTabControl()->currentIndex(), 1);
        Type(dims, IDC_DIM_CELLS_WIDE, "ten");
        sheet.ClickDlgItem(IDOK);
        EXPECT_TRUE(sheet.GetQDialog()->isVisible());
        // 0 is a count the page takes (as many cells as fit, when not fitting to the page).
        Type(dims, IDC_DIM_CELLS_WIDE, "0");
        Tab(sheet, 2);
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        EXPECT_EQ(dims.m_nCellsWide, 0);
        Tab(sheet, 1);
        Type(dims, IDC_DIM_CELLS_WIDE, "100000");
        Type(dims, IDC_DIM_CELLS_LONG, "-1");
        sheet.ClickDlgItem(IDOK);
        EXPECT_TRUE(sheet.GetQDialog()->isVisible());
        sheet.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Please enter an integer between 0 and 100000.", "Please enter an integer.",
                                               "Please enter an integer between 0 and 100000."}));
    EXPECT_EQ(doc.m_nCellsX, 10);
    EXPECT_EQ(doc.m_nCellsY, 10);
}

TEST_F(SetupTest, NoCellsWithFitToPageAreRefusedOnTheDimensionsPage)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    ASSERT_EQ(doc.m_bFitToPage, 1);
    Object* grid = doc.GetGrid(0);
    const std::vector<unsigned char> profile = ReadFile(IniPath());
    const std::string refusal = "A maze fitted to the page needs at least 1 cell wide and 1 cell long.  Please "
                                "enter an integer between 1 and 100000.";
    boxes.clear();
    const int result = Show(doc, 1, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP2& dims = pages.m_dimensions;
        Type(dims, IDC_DIM_CELLS_WIDE, "0");
        Tab(sheet, 2);
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        EXPECT_TRUE(Edit(dims, IDC_DIM_CELLS_WIDE)->hasSelectedText());
        sheet.ClickDlgItem(IDOK);
        EXPECT_TRUE(sheet.GetQDialog()->isVisible());
        Type(dims, IDC_DIM_CELLS_WIDE, "12");
        Type(dims, IDC_DIM_CELLS_LONG, "0");
        sheet.ClickDlgItem(IDOK);
        EXPECT_TRUE(sheet.GetQDialog()->isVisible());
        EXPECT_TRUE(Edit(dims, IDC_DIM_CELLS_LONG)->hasSelectedText());
        Tab(sheet, 0);
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        sheet.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(boxes, std::vector<std::string>(4, refusal));
    EXPECT_EQ(doc.GetGrid(0), grid);
    EXPECT_EQ(doc.m_nCellsX, 10);
    EXPECT_EQ(ReadFile(IniPath()), profile);
}

TEST_F(SetupTest, RingTemplateShowsOnlyTheCircularValuesAndChecksTheirRanges)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    boxes.clear();
    Show(doc, 0, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP2& dims = pages.m_dimensions;
        pages.m_style.ClickDlgItem(IDC_STYLE_CIRCULAR);
        Tab(sheet, 1);
        EXPECT_TRUE(Visible(dims, IDC_DIM_INNER_CELLS));
        EXPECT_TRUE(Visible(dims, IDC_DIM_INNER_PCT));
        EXPECT_FALSE(Edit(dims, IDC_DIM_INNER_PCT)->isReadOnly());
        EXPECT_TRUE(Enabled(dims, IDC_DIM_CIRCULAR_GROUP));
        EXPECT_FALSE(Visible(dims, IDC_DIM_CELLS_WIDE));
        EXPECT_FALSE(Visible(dims, IDC_DIM_CELLS_LONG));
        EXPECT_TRUE(Edit(dims, IDC_DIM_CELLS_WIDE)->isReadOnly());
        EXPECT_FALSE(Enabled(dims, IDC_DIM_GROUP));
        EXPECT_FALSE(Enabled(dims, IDC_DIM_CELLS_WIDE_LABEL));
        // From the profile's defaults, as no ring grid exists.
        EXPECT_EQ(Text(dims, IDC_DIM_INNER_CELLS), "10");
        EXPECT_EQ(Text(dims, IDC_DIM_INNER_PCT), "4");
        for (const char* bad : {"0.05", "100"}) {
            Type(dims, IDC_DIM_INNER_PCT, bad);
            Tab(sheet, 2);
            EXPECT_EQ(sheet.GetActiveIndex(), 1) << bad;
        }
        for (const char* good : {"0.1", "99.9"}) {
            Type(dims, IDC_DIM_INNER_PCT, good);
            Tab(sheet, 2);
            EXPECT_EQ(sheet.GetActiveIndex(), 2) << good;
            Tab(sheet, 1);
        }
        EXPECT_FLOAT_EQ(dims.m_fInnerPct, 99.9f);
        Type(dims, IDC_DIM_INNER_CELLS, "0");
        Tab(sheet, 0);
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        Type(dims, IDC_DIM_INNER_CELLS, "5");
        // Back to Box on the Style page: the Dimensions page shows the cell counts again.
        Tab(sheet, 0);
        pages.m_style.ClickDlgItem(IDC_STYLE_BOX);
        Tab(sheet, 1);
        EXPECT_TRUE(Visible(dims, IDC_DIM_CELLS_WIDE));
        EXPECT_FALSE(Edit(dims, IDC_DIM_CELLS_WIDE)->isReadOnly());
        EXPECT_FALSE(Visible(dims, IDC_DIM_INNER_PCT));
        EXPECT_TRUE(Enabled(dims, IDC_DIM_GROUP));
        EXPECT_FALSE(Enabled(dims, IDC_DIM_CIRCULAR_GROUP));
        // Scale and Fit To Page pass through unseen.
        EXPECT_FALSE(Visible(dims, IDC_DIM_SCALE));
        EXPECT_FALSE(Enabled(dims, IDC_DIM_SCALE));
        EXPECT_FALSE(Visible(dims, IDC_DIM_FIT_TO_PAGE));
        sheet.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(boxes, (std::vector<std::string>{"Please enter a number between 0.1 and 99.9.",
                                               "Please enter a number between 0.1 and 99.9.",
                                               "Please enter an integer between 1 and 10000."}));
    EXPECT_EQ(doc.m_nType, 0);
}

TEST_F(SetupTest, PageSetupShowsInchesAndStoresThousandthsLessOne)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    doc.m_nOffsetX = 700;
    const int result = Show(doc, 2, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP3& page = pages.m_page;
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        EXPECT_EQ(Text(page, IDC_PAGE_HEIGHT), "9.5");
        EXPECT_EQ(Text(page, IDC_PAGE_WIDTH), "7.5");
        EXPECT_EQ(Text(page, IDC_PAGE_LEFT), "0.7");
        EXPECT_EQ(Text(page, IDC_PAGE_TOP), "0");
        EXPECT_FALSE(Visible(page, IDC_PAGE_AUTO_CENTER));
        Type(page, IDC_PAGE_WIDTH, "wide");
        sheet.ClickDlgItem(IDOK);
        EXPECT_TRUE(sheet.GetQDialog()->isVisible());
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        Type(page, IDC_PAGE_WIDTH, "7.7");
        Type(page, IDC_PAGE_TOP, "0.5");
        page.ClickDlgItem(IDC_PAGE_PRINTER_DEBUG);
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(boxes, std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(doc.m_nPageHeight, 9499); // shown and confirmed unchanged
    EXPECT_EQ(doc.m_nPageWidth, 7698);  // the float nearest 7.7 lies just below it
    EXPECT_EQ(doc.m_nOffsetX, 700);
    EXPECT_EQ(doc.m_nOffsetY, 500);
    EXPECT_EQ(doc.m_bPrinterDebug, 1);
    EXPECT_EQ(ProfileInt("size", "x"), 7698);
    EXPECT_EQ(ProfileInt("size", "y_offset"), 500);
    EXPECT_EQ(ProfileInt("Settings", "PrinterDebug"), 1);

    Show(doc, 2, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        Type(pages.m_page, IDC_PAGE_WIDTH, "8.5");
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(doc.m_nPageWidth, 8499);
}

TEST_F(SetupTest, AdvancedPageSeedAndPenWidth)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    doc.m_nSeed = -1;
    doc.m_nPenWidth = 25;
    int result = Show(doc, 3, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP4& adv = pages.m_advanced;
        EXPECT_EQ(Text(adv, IDC_ADV_SEED), "4294967295");
        EXPECT_EQ(Text(adv, IDC_ADV_PEN_WIDTH), "25");
        EXPECT_EQ(adv.GetCheckedRadioButton(IDC_ADV_PEN_THINNEST, IDC_ADV_PEN_OTHER), int(IDC_ADV_PEN_OTHER));
        EXPECT_FALSE(Edit(adv, IDC_ADV_PEN_WIDTH)->isReadOnly());
        EXPECT_TRUE(Visible(adv, IDC_ADV_INFO_WINDOW));
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(doc.m_nSeed, -1);
    EXPECT_EQ(doc.m_nPenWidth, 25);

    boxes.clear();
    result = Show(doc, 3, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP4& adv = pages.m_advanced;
        adv.ClickDlgItem(IDC_ADV_PEN_HUNDREDTH);
        EXPECT_EQ(Text(adv, IDC_ADV_PEN_WIDTH), "10");
        EXPECT_TRUE(Edit(adv, IDC_ADV_PEN_WIDTH)->isReadOnly());
        EXPECT_EQ(adv.GetCheckedRadioButton(IDC_ADV_PEN_THINNEST, IDC_ADV_PEN_OTHER), int(IDC_ADV_PEN_HUNDREDTH));
        EXPECT_TRUE(sheet.GetDlgItem(int(ID_APPLY_NOW))->IsWindowEnabled());
        adv.ClickDlgItem(IDC_ADV_PEN_THINNEST);
        EXPECT_EQ(Text(adv, IDC_ADV_PEN_WIDTH), "0");
        adv.ClickDlgItem(IDC_ADV_PEN_OTHER);
        EXPECT_FALSE(Edit(adv, IDC_ADV_PEN_WIDTH)->isReadOnly());
        Type(adv, IDC_ADV_PEN_WIDTH, "15");
        Type(adv, IDC_ADV_SEED, "-5");
        sheet.ClickDlgItem(IDOK);
        EXPECT_TRUE(sheet.GetQDialog()->isVisible());
        Type(adv, IDC_ADV_SEED, "4294967295");
        adv.ClickDlgItem(IDC_ADV_ANIMATE);
        adv.ClickDlgItem(IDC_ADV_ERASED_VISIBLE);
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(boxes, std::vector<std::string>{"Please enter a positive integer."});
    EXPECT_EQ(doc.m_nSeed, -1);
    EXPECT_EQ(doc.m_nPenWidth, 15);
    EXPECT_EQ(doc.m_bAnimate, 1);
    EXPECT_EQ(doc.m_bErasedVisible, 1);
    EXPECT_EQ(ProfileInt("size", "penwidth"), 15);
    EXPECT_EQ(ProfileInt("size", "animate"), 1);
    EXPECT_EQ(ProfileInt("size", "ErasedVisible"), 1);
    EXPECT_EQ(ProfileInt("Ads", "VISIBLE"), 0);
}

TEST_F(SetupTest, GrowthWeightsReachTheProfile)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    const int result = Show(doc, 4, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP5& growth = pages.m_growth;
        for (UINT nID : {IDC_GROW_N, IDC_GROW_NE, IDC_GROW_E, IDC_GROW_SE, IDC_GROW_S, IDC_GROW_SW, IDC_GROW_W, IDC_GROW_NW})
            EXPECT_EQ(Text(growth, nID), "1") << nID;
        EXPECT_FALSE(Visible(growth, IDC_GROW_CENTER));
        EXPECT_FALSE(Enabled(growth, IDC_GROW_CENTER));
        Type(growth, IDC_GROW_N, "5");
        Type(growth, IDC_GROW_SW, "3");
        growth.ClickDlgItem(IDC_GROW_RELATIVE);
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    const int expected[10] = {0, 5, 1, 1, 1, 1, 3, 1, 1, 1};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(doc.m_nProb[i], expected[i]) << i;
    EXPECT_EQ(ProfileInt("PROB", "N"), 5);
    EXPECT_EQ(ProfileInt("PROB", "SW"), 3);
    EXPECT_EQ(ProfileInt("PROB", "RELATIVE"), 1);
    EXPECT_EQ(ProfileInt("PROB", "CENTER"), 0);
}

TEST_F(SetupTest, CancelChangesNothing)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    const std::vector<unsigned char> before = ReadFile(IniPath());
    ASSERT_FALSE(before.empty());
    const int result = Show(doc, 0, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        pages.m_style.ClickDlgItem(IDC_STYLE_HEX);
        for (int i = 1; i < 5; ++i)
            Tab(sheet, i);
        Type(pages.m_growth, IDC_GROW_N, "9");
        Tab(sheet, 1);
        Type(pages.m_dimensions, IDC_DIM_CELLS_WIDE, "30");
        Tab(sheet, 3);
        pages.m_advanced.ClickDlgItem(IDC_ADV_PEN_THINNEST);
        sheet.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(doc.m_nType, 0);
    EXPECT_EQ(doc.m_nCellsX, 10);
    EXPECT_EQ(doc.m_nPenWidth, 10);
    EXPECT_EQ(doc.m_nProb[1], 1);
    EXPECT_EQ(ReadFile(IniPath()), before);

    // A change that needs a rebuild, refused at the question, also leaves everything as it was.
    answers.push_back(IDCANCEL);
    boxes.clear();
    Show(doc, 1, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        Type(pages.m_dimensions, IDC_DIM_CELLS_WIDE, "30");
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(doc.m_nCellsX, 10);
    EXPECT_EQ(ReadFile(IniPath()), before);
}

TEST(SetupPages, AreCreatableByClassWithTheirTemplatesAndStartingValues)
{
    struct Case {
        CRuntimeClass* pClass;
        UINT nTemplate;
        const char* caption;
    };
    for (const Case& c : {Case{RUNTIME_CLASS(PP1), 164, "Style"}, Case{RUNTIME_CLASS(PP2), 165, "Dimensions"},
                          Case{RUNTIME_CLASS(PP3), 166, "Page"}, Case{RUNTIME_CLASS(PP4), 167, "Advanced"},
                          Case{RUNTIME_CLASS(PP5), 168, "GROWTH"}}) {
        std::unique_ptr<CObject> object(c.pClass->CreateObject());
        ASSERT_NE(object, nullptr) << c.caption;
        EXPECT_EQ(object->GetRuntimeClass(), c.pClass);
        EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CPropertyPage)));
        auto* page = dynamic_cast<CPropertyPage*>(object.get());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetTemplateID(), c.nTemplate);
        EXPECT_EQ(page->GetCaption(), c.caption);
    }
    PP1 style;
    EXPECT_EQ(style.m_nTilerSel, 0);
    EXPECT_TRUE(style.m_tilerIDs.empty());
    PP2 dims;
    EXPECT_EQ(dims.m_nCellsWide, 0);
    EXPECT_EQ(dims.m_fInnerPct, 0.0f);
    PP4 advanced;
    EXPECT_EQ(advanced.m_bInfoWindow, 1);
    EXPECT_EQ(advanced.m_nSeed, 0u);
    PP5 growth;
    for (int v : {growth.m_nE, growth.m_nN, growth.m_nNW, growth.m_nNE, growth.m_nS, growth.m_nSE, growth.m_nCenter,
                  growth.m_nSW, growth.m_nW})
        EXPECT_EQ(v, 1);
    EXPECT_EQ(growth.m_bRelative, 0);
}

} // namespace
