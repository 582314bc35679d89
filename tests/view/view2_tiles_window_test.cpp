// A tiled cell drawn by itself on the scrolled window lands where the full redraw put the same tile.
#include "tests/platform/ui_test_support.h"
#include "tests/tiles/tile_test_support.h"

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "platform/MessageBox.h"
#include "platform/ResourceTables.h"
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
}  // namespace

TEST(TiledWindow, SingleCellOnTheScrolledWindowMatchesTheBuffer)
{
    EnsureTestApplication();
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    tiletest::ScratchDir dir;
    CRasterImage sheet = tiletest::MakeSheet(4, 5, 4, 4);
    dir.WriteBmp("sheet.bmp", sheet);
    const std::string definition = dir.Write("set.tdf", OneTilePerCode());

    AfxSetResourceTables(&GetVantrelResources());
    AfxInstallWindowHandlers();
    SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    {
        CVantrelApp app;
        app.m_args = {CString("vantrel")};
        ASSERT_TRUE(app.InitInstance());
        auto* pFrame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
        ASSERT_NE(pFrame, nullptr);
        auto* pView = dynamic_cast<CVantrelView*>(pFrame->GetSplitter().GetPane(0, 0));
        ASSERT_NE(pView, nullptr);
        CVantrelDoc* pDoc = pView->GetDocument();
        QCoreApplication::processEvents();
        pDoc->m_nSeed = 31;
        ASSERT_TRUE(pFrame->ExecuteCommand(ID_FILE_NEW));
        ASSERT_TRUE(pFrame->ExecuteCommand(ID_GENERATE_MAZE));
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

        app.ExitInstance();
        app.CloseAllDocuments(TRUE);
        QCoreApplication::processEvents();
    }
    SetMessageBoxHandler({});
    AfxSetResourceTables(nullptr);
}
