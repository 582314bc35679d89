// The Style page: the template choice with its example pictures, the tile-set list of the built-in set
// and the installation's Tiler folder, the preview of the chosen set, and tile-set references.
#include "tests/maze/setup/SetupTestSupport.h"

#include "image/CRasterImage.h"
#include "maze/setup/StyleExamples.h"
#include "platform/core/Resource.h"
#include "platform/gdi/WinGdi.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

using setup_test::SetupTest;

// The pixels of a bitmap, top row first.
QImage PixelsOf(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!GetObject(hBitmap, sizeof bm, &bm))
        return {};
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    QImage image(bm.bmWidth, bm.bmHeight, QImage::Format_RGB32);
    HDC hdc = CreateCompatibleDC(nullptr);
    GetDIBits(hdc, hBitmap, 0, UINT(bm.bmHeight), image.bits(), &bmi, DIB_RGB_COLORS);
    DeleteDC(hdc);
    return image;
}

QImage PixelsOf(CRasterImage& image)
{
    HBITMAP hBitmap = image.MakeBitmap();
    QImage pixels = PixelsOf(hBitmap);
    DeleteObject(hBitmap);
    return pixels;
}

QImage ShownPicture(PP1& page)
{
    return qobject_cast<QLabel*>(page.GetDlgItem(IDC_STYLE_PICTURE)->GetWidget())->pixmap().toImage().convertToFormat(
        QImage::Format_RGB32);
}

QImage PreviewOf(CBMPTiler& tiler)
{
    CRasterImage preview;
    tiler.MakePreview(preview, 100, 100);
    return PixelsOf(preview);
}

QImage ExampleBitmap(UINT nID)
{
    VantrelInitStyleExampleResources();
    CRasterImage image;
    image.LoadResource(FindResource(nullptr, MAKEINTRESOURCE(nID), RT_BITMAP), IMAGE_FORMAT_BMP);
    return PixelsOf(image);
}

QComboBox* TilerList(PP1& page) { return qobject_cast<QComboBox*>(page.GetDlgItem(IDC_STYLE_TILER_LIST)->GetWidget()); }

class StyleTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        m_tilerDir = m_dir + "/Tiler/";
        std::filesystem::create_directories(m_tilerDir);
        // A sheet of two 4 x 4 tiles, red and blue; passage codes alternate between them.
        WriteSheet(m_tilerDir + "stone.bmp");
        std::string definition = "NAME: Stone\r\nBMPFILE: stone.bmp\r\nPIXELSWIDE: 4\r\nPIXELSHIGH: 4\r\n";
        for (int code = 0; code < 16; ++code)
            definition += "TILE: " + std::to_string(code) + ",1," + std::to_string(code % 2 + 1) + "\r\n";
        definition += "TILE: SOLUTION,1,1\r\nTILE: BLACKEN,1,2\r\n";
        WriteText(m_tilerDir + "stone.txt", definition);
        WriteText(m_tilerDir + "other.txt", "BMPFILE: stone.bmp\r\nPIXELSWIDE: 4\r\nPIXELSHIGH: 4\r\nTILE: 0,1,2\r\n");
        WriteText(m_tilerDir + "notes.txt", "NAME: not a tile set\r\n");
    }

    static void WriteText(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static void WriteSheet(const std::string& path)
    {
        const int w = 8, h = 4, row = w * 3;
        std::vector<unsigned char> bytes(54 + row * h);
        auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
        };
        bytes[0] = 'B';
        bytes[1] = 'M';
        put32(2, uint32_t(bytes.size()));
        put32(10, 54);
        put32(14, 40);
        put32(18, w);
        put32(22, h);
        bytes[26] = 1;
        bytes[28] = 24;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned char* p = &bytes[54 + y * row + x * 3]; // blue, green, red
                p[0] = x < 4 ? 0 : 255;
                p[1] = 0;
                p[2] = x < 4 ? 255 : 0;
            }
        WriteFile(path, bytes);
    }

    std::string m_tilerDir;
};

TEST_F(StyleTest, ListsTheBuiltinAndInstalledSetsAndPreviewsTheChoice)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    doc.m_bTiled = 1;
    CBMPTiler builtin;
    builtin.ParseDefinition("", 192, 180);
    CBMPTiler stone;
    stone.LoadFromFile((m_tilerDir + "stone.txt").c_str(), m_tilerDir.c_str());
    answers.push_back(IDOK); // the tiled flag changed: rebuild
    const int result = Show(doc, 0, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP1& style = pages.m_style;
        EXPECT_EQ(style.GetCheckedRadioButton(IDC_STYLE_BOX, IDC_STYLE_SQUARE_TILED), int(IDC_STYLE_SQUARE_TILED));
        QComboBox* list = TilerList(style);
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->itemText(0), "Std Black Line 200x200");
        EXPECT_EQ(list->itemText(1), "other.txt"); // no NAME: the file's name
        EXPECT_EQ(list->itemText(2), "Stone");
        EXPECT_EQ(list->currentIndex(), 0);
        EXPECT_EQ(style.m_nTilerCount, 3);
        EXPECT_EQ(style.m_strTilerID, ":ID:#180");
        EXPECT_EQ(ShownPicture(style), PreviewOf(builtin));

        list->setCurrentIndex(2);
        emit list->activated(2);
        EXPECT_EQ(ShownPicture(style), PreviewOf(stone));
        EXPECT_NE(PreviewOf(stone), PreviewOf(builtin));
        EXPECT_EQ(style.m_strTilerID, "stone.txt");
        EXPECT_EQ(style.m_strStyle, "Stone");
        EXPECT_EQ(style.m_strTilerName, "Stone");
        EXPECT_EQ(style.m_nTilerSel, 2);
        EXPECT_TRUE(sheet.GetDlgItem(int(ID_APPLY_NOW))->IsWindowEnabled());
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(doc.m_strTilerID, "stone.txt");
    EXPECT_EQ(doc.m_strStyle, "Stone");
    EXPECT_EQ(doc.m_bTiled, 1);
    EXPECT_EQ(doc.m_bLoadTiler, 1);
    EXPECT_EQ(AfxGetProfile().GetProfileString("size", "TilerID", ""), "stone.txt");
    EXPECT_EQ(ProfileInt("size", "Tiler"), 1);
}

TEST_F(StyleTest, ReopensOnTheDocumentsSetAndAnotherTemplateDropsTheTiledChoice)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    doc.m_bTiled = 1;
    doc.m_strTilerID = "stone.txt";
    Show(doc, 0, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP1& style = pages.m_style;
        EXPECT_EQ(TilerList(style)->currentIndex(), 2);
        EXPECT_EQ(style.m_strTilerID, "stone.txt");
        style.ClickDlgItem(IDC_STYLE_CIRCULAR);
        EXPECT_EQ(style.m_nType, 40);
        EXPECT_EQ(style.m_bTiled, 0);
        EXPECT_TRUE(style.m_strTilerName.IsEmpty());
        EXPECT_EQ(style.m_strTilerID, "stone.txt");
        EXPECT_EQ(ShownPicture(style), ExampleBitmap(IDB_EXAMPLE_CIRCULAR));
        EXPECT_EQ(style.GetCheckedRadioButton(IDC_STYLE_BOX, IDC_STYLE_SQUARE_TILED), int(IDC_STYLE_CIRCULAR));
        sheet.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(doc.m_nType, 0);
    EXPECT_EQ(doc.m_bTiled, 1);
}

TEST_F(StyleTest, StoredTypesOpenTheirButtonAndPicture)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    struct Case {
        int nType;
        UINT nRadio, nBitmap;
    };
    // A type without a grid builder opens as Box, as an unknown one does, and says nothing.
    boxes.clear();
    for (const Case& c : {Case{40, IDC_STYLE_CIRCULAR, IDB_EXAMPLE_CIRCULAR}, Case{7, IDC_STYLE_BOX, IDB_EXAMPLE_BOX},
                          Case{3, IDC_STYLE_BOX, IDB_EXAMPLE_BOX}}) {
        doc.m_nType = c.nType;
        Show(doc, 0, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
            PP1& style = pages.m_style;
            EXPECT_EQ(style.GetCheckedRadioButton(IDC_STYLE_BOX, IDC_STYLE_SQUARE_TILED), int(c.nRadio)) << c.nType;
            const QImage example = ExampleBitmap(c.nBitmap);
            EXPECT_EQ(example.size(), QSize(100, 100));
            EXPECT_EQ(ShownPicture(style), example) << c.nType;
            sheet.ClickDlgItem(IDCANCEL);
        });
    }
    EXPECT_NE(ExampleBitmap(IDB_EXAMPLE_CIRCULAR), ExampleBitmap(IDB_EXAMPLE_BOX));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(StyleTest, TemplateTypesWithoutABuilderSaySoAndKeepTheChoice)
{
    CVantrelDoc doc;
    doc.OnFileNew();
    doc.OnGenerateMaze();
    Object* grid = doc.GetGrid(0);
    struct Case {
        UINT nRadio;
        const char* name;
    };
    const Case cases[] = {{IDC_STYLE_TRIANGULAR, "Triangular"},
                          {IDC_STYLE_OCTAGON_BOX, "Octagon-Box"},
                          {IDC_STYLE_HEX, "Hex"},
                          {IDC_STYLE_TRAPEZOID_BOX, "Trapezoid-Box"},
                          {IDC_STYLE_QUAD_TRIANGLE, "Quad-Triangle"}};
    boxes.clear();
    boxTypes.clear();
    const int result = Show(doc, 0, [&](CPropertySheet& sheet, CMazeSetupPages& pages) {
        PP1& style = pages.m_style;
        const QImage box = ShownPicture(style);
        for (UINT nFrom : {IDC_STYLE_BOX, IDC_STYLE_CIRCULAR, IDC_STYLE_SQUARE_TILED}) {
            style.ClickDlgItem(nFrom);
            const int nType = style.m_nType;
            const BOOL bTiled = style.m_bTiled;
            const QImage shown = ShownPicture(style);
            for (const Case& c : cases) {
                style.ClickDlgItem(c.nRadio);
                EXPECT_EQ(style.GetCheckedRadioButton(IDC_STYLE_BOX, IDC_STYLE_SQUARE_TILED), int(nFrom)) << c.name;
                EXPECT_EQ(style.m_nType, nType) << c.name;
                EXPECT_EQ(style.m_bTiled, bTiled) << c.name;
                EXPECT_EQ(ShownPicture(style), shown) << c.name;
            }
        }
        style.ClickDlgItem(IDC_STYLE_BOX);
        EXPECT_EQ(ShownPicture(style), box);
        style.ClickDlgItem(IDC_STYLE_HEX);
        sheet.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    // Five refusals from each of three choices and the last one, and no question about a rebuild.
    ASSERT_EQ(boxes.size(), 16u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Case& c = cases[i < 15 ? i % 5 : 2];
        EXPECT_EQ(boxes[i], std::string("Mazes of the ") + c.name +
                                " template type are not available in this version of Quillmont.  Please choose Box, "
                                "CIRCULAR or Square Tiled.");
        EXPECT_EQ(boxTypes[i], UINT(MB_OK | MB_ICONINFORMATION));
    }
    EXPECT_EQ(doc.m_nType, 0);
    EXPECT_EQ(doc.GetGrid(0), grid);
    EXPECT_EQ(ProfileInt("size", "type"), 0);
    CVantrelDoc later;
    later.OnFileNew();
    EXPECT_NE(later.GetGrid(0), nullptr);
}

TEST_F(StyleTest, ReferencesResolveWithoutTheWindow)
{
    CVantrelDoc doc;
    PP1& style = MazeStylePageOf(doc);
    CBMPTiler tiler;
    EXPECT_TRUE(style.LoadTiler(tiler, "stone.txt")); // before the page was ever shown
    EXPECT_EQ(tiler.name, "Stone");
    EXPECT_EQ(tiler.pixelsWide, 4);
    EXPECT_FALSE(style.LoadTiler(tiler, "missing.txt"));
    EXPECT_FALSE(style.LoadTiler(tiler, "notes.txt"));
    EXPECT_EQ(tiler.name, "Stone");
    EXPECT_TRUE(boxes.empty());

    for (const char* reference : {":ID:#180", ""}) {
        CBMPTiler builtin;
        EXPECT_TRUE(style.LoadTiler(builtin, reference));
        EXPECT_EQ(builtin.pixelsWide, 200) << reference;
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(style.LoadTiler(tiler, ":ID:#181"));
    EXPECT_EQ(tiler.pixelsWide, 200);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "ERROR, Quillmont Internal Maze Tiler with ID=181 could not be located in this version of the "
                        "program.  The default Tiler is being loaded.  You may need to upgrade to a newer/different "
                        "version of Quillmont.");
    EXPECT_EQ(boxTypes[0] & MB_TYPEMASK, MB_OKCANCEL);

    // A set installed after the lists were made is found by a fresh look at the folder.
    std::filesystem::copy_file(m_tilerDir + "stone.txt", m_tilerDir + "copy.txt");
    CBMPTiler copy;
    EXPECT_TRUE(style.LoadTiler(copy, "copy.txt"));
    EXPECT_EQ(copy.pixelsWide, 4);

    // A definition file named by its path, outside the Tiler folder, brings its sheet from beside it.
    const std::string elsewhere = m_dir + "/elsewhere/";
    std::filesystem::create_directories(elsewhere);
    std::filesystem::copy_file(m_tilerDir + "stone.txt", elsewhere + "mine.txt");
    std::filesystem::copy_file(m_tilerDir + "stone.bmp", elsewhere + "stone.bmp");
    CBMPTiler mine;
    EXPECT_TRUE(style.LoadTiler(mine, (elsewhere + "mine.txt").c_str()));
    EXPECT_EQ(mine.dir, elsewhere.c_str());
    EXPECT_EQ(mine.sheet.GetWidth(), 8u);
    EXPECT_FALSE(style.LoadTiler(mine, (elsewhere + "stone.bmp").c_str()));
    EXPECT_FALSE(style.LoadTiler(mine, elsewhere.c_str()));
}

} // namespace
