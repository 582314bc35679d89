// The running program: a tiled cell drawn by itself on the scrolled window lands where the full redraw
// put the same tile, and the Apply BMP Mask command reaches the view and shapes the template.
#include "tests/support/TileTestSupport.h"
#include "tests/support/UiTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/core/ResourceTables.h"
#include "resources/VantrelResources.h"
#include "resources/resource.h"
#include "view/CVantrelView.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {
// One tile per code, so no random choice is involved: code n is sheet cell (n / 4 + 1, n % 4 + 1).
std::string OneTilePerCode()
{
    static const char* names[20] = {"0",  "1",  "2",  "3",  "4",  "5",  "6",        "7",       "8",     "9",
                                    "10", "11", "12", "13", "14", "15", "SOLUTION", "BLACKEN", "START", "STOP"};
    std::string text = "BMPFILE: sheet.bmp\r\nPIXELSWIDE: 4\r\nPIXELSHIGH: 4\r\n";
    for (int n = 0; n < 20; ++n)
        text += "TILE: " + std::string(names[n]) + "," + std::to_string(n / 4 + 1) + "," + std::to_string(n % 4 + 1) + "\r\n";
    return text;
}
class View2Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit().constData(), 1);
        AfxSetResourceTables(&GetVantrelResources());
        AfxInstallWindowHandlers();
        SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
        m_app.m_args = {CString("vantrel")};
        ASSERT_TRUE(m_app.InitInstance());
        m_pFrame = dynamic_cast<CMainFrame*>(m_app.m_pMainWnd);
        ASSERT_NE(m_pFrame, nullptr);
        m_pView = dynamic_cast<CVantrelView*>(m_pFrame->GetSplitter().GetPane(0, 0));
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
        QCoreApplication::processEvents();
        m_pDoc->m_nSeed = 31;
        ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    }
    void TearDown() override
    {
        m_app.ExitInstance();
        m_app.CloseAllDocuments(TRUE);
        QCoreApplication::processEvents();
        SetMessageBoxHandler({});
        SetFileDialogHandler({});
        AfxSetResourceTables(nullptr);
    }

    QTemporaryDir m_config;
    tiletest::ScratchDir m_dir;
    CVantrelApp m_app;
    CMainFrame* m_pFrame = nullptr;
    CVantrelView* m_pView = nullptr;
    CVantrelDoc* m_pDoc = nullptr;
};
}  // namespace

TEST_F(View2Window, TiledCellOnTheScrolledWindowMatchesTheBuffer)
{
    CRasterImage sheet = tiletest::MakeSheet(4, 5, 4, 4);
    m_dir.WriteBmp("sheet.bmp", sheet);
    const std::string definition = m_dir.Write("set.tdf", OneTilePerCode());
    CVantrelView* pView = m_pView;
    CVantrelDoc* pDoc = m_pDoc;
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_GENERATE_MAZE));
    pDoc->m_bTiled = 1;
    pDoc->m_strTilerID = definition.c_str();
    pDoc->m_bLoadTiler = 1;
    pDoc->m_bDirty = 1;
    pView->ScrollToDevicePosition(CPoint(40, 120));
    pView->Invalidate(FALSE);
    pView->UpdateWindow();
    const CPoint scroll = pView->GetDeviceScrollPosition();
    ASSERT_GT(scroll.y, 0) << "the page is taller than the window";

    const int w = pDoc->GetCellWidth(), h = pDoc->GetCellHeight();
    // A cell in view: its centre in buffer pixels, and on the window shifted by the scroll.
    const int cx = 3, cy = 4;
    POINT centre{cx * w + w / 2, cy * h + h / 2};
    pView->m_backBufferDC.SetMapMode(MM_HIENGLISH);
    pView->m_backBufferDC.LPtoDP(&centre, 1);
    const MazeCell& cell = pDoc->GetGrid(0)->GetCell(cx, cy);
    const int code = cell.passages & 0xF;
    const COLORREF tile = tiletest::CellColour(code / 4 + 1, code % 4 + 1);
    POINT logical = centre;
    pView->m_backBufferDC.DPtoLP(&logical, 1);
    EXPECT_EQ(pView->m_backBufferDC.GetPixel(logical.x, logical.y), tile);

    // Paint over the window's image, then redraw the cell by itself through a prepared window DC.
    QImage* image = pView->GetBackingImage();
    ASSERT_NE(image, nullptr);
    image->fill(Qt::gray);
    CDC* pDC = pView->GetDC();
    pView->OnPrepareDC(pDC);
    EXPECT_EQ(pView->RedrawCell(pDC, cx, cy, 0, DRAW_PASS_CELL), 1);
    pView->ReleaseDC(pDC);
    image = pView->GetBackingImage();
    const QRgb c = image->pixel(centre.x - scroll.x, centre.y - scroll.y);
    EXPECT_EQ(RGB(BYTE(qRed(c)), BYTE(qGreen(c)), BYTE(qBlue(c))), tile);
    // Where a doubled scroll offset would have put it, the window is still grey.
    ASSERT_TRUE(image->valid(centre.x - 2 * scroll.x, centre.y - 2 * scroll.y));
    const QRgb off = image->pixel(centre.x - 2 * scroll.x, centre.y - 2 * scroll.y);
    EXPECT_EQ(qRed(off), qRed(QColor(Qt::gray).rgb()));
}

// The command asks for a bitmap and applies it: the left half of the picture dark, the right half light.
TEST_F(View2Window, ApplyBmpMaskCommandShapesTheTemplate)
{
    CRasterImage picture(40, 40, 24);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            picture.SetPixelColor(x, y, x < 20 ? RGB(10, 10, 10) : RGB(250, 250, 250));
    const std::string path = m_dir.WriteBmp("mask.bmp", picture);
    SetFileDialogHandler([&](const FileDialogRequest&) { return FileDialogResult{true, path.c_str(), 1}; });
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_APPLY_BMP_MASK));
    const Object& grid = *m_pDoc->GetGrid(0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(grid.GetCell(x, y).flags, x < 5 ? CELL_BLACKENED : CELL_ERASED) << x << "," << y;
    EXPECT_EQ(m_pDoc->m_bDirty, 1);
}
