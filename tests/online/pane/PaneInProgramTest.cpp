// The information pane inside the running program: its place in the splitter, the document's links to
// it, the application's connection check, downloads and template opening behind its galleries, and
// when its browser is made.
#include "tests/support/UiTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/MazeSetupValues.h"
#include "maze/Object.h"
#include "online/ConnectionCheck.h"
#include "online/WebLinkScheme.h"
#include "online/pane/CAdWindow.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/core/ResourceTables.h"
#include "resources/VantrelResources.h"
#include "resources/resource.h"
#include "tests/support/LoopbackHttpServer.h"
#include "view/CVantrelView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
bool WaitFor(const std::function<bool()>& condition, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

class PaneInProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(name);
        EnsureTestApplication();
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit().constData(), 1);
        setenv("TMPDIR", m_config.path().toLocal8Bit().constData(), 1);
        // No echo leaves the machine: the check is answered here.
        AfxGetConnectionCheck() = CConnectionCheck(
            [this](DWORD* pFlags) {
                *pFlags = INTERNET_CONNECTION_LAN;
                return m_online;
            },
            [this](const char*) {
                ++m_probes;
                return TRUE;
            },
            {"127.0.0.1"});
        AfxSetResourceTables(&GetVantrelResources());
        AfxInstallWindowHandlers();
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_boxes.push_back(std::string(r.text));
            return (r.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
        });
        m_app.m_args = {CString("vantrel")};
        ASSERT_TRUE(m_app.InitInstance());
        m_pFrame = dynamic_cast<CMainFrame*>(m_app.m_pMainWnd);
        ASSERT_NE(m_pFrame, nullptr);
        m_pPane = dynamic_cast<CAdWindow*>(m_pFrame->GetSplitter().GetPane(1, 0));
        ASSERT_NE(m_pPane, nullptr);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        m_app.ExitInstance();
        m_app.CloseAllDocuments(TRUE);
        QCoreApplication::processEvents();
        SetMessageBoxHandler({});
        AfxSetResourceTables(nullptr);
        AfxGetConnectionCheck() = CConnectionCheck();
        unsetenv("TMPDIR");
    }
    CVantrelDoc* Document() const { return dynamic_cast<CVantrelDoc*>(m_pFrame->GetActiveDocument()); }
    // The height the splitter gave the pane's row.
    int PaneRow() const
    {
        int cur = 0, min = 0;
        m_pFrame->GetSplitter().GetRowInfo(1, cur, min);
        return cur;
    }
    // Paints the maze view at once, then resizes the window a little, which repaints it again.
    void RepaintAndResize(int step)
    {
        auto* pView = dynamic_cast<CVantrelView*>(m_pFrame->GetSplitter().GetPane(0, 0));
        ASSERT_NE(pView, nullptr);
        pView->Invalidate(TRUE);
        pView->UpdateWindow();
        m_pFrame->GetWidget()->resize(1000 + step, 760 + step);
        QCoreApplication::processEvents();
        pView->Invalidate(TRUE);
        pView->UpdateWindow();
        QCoreApplication::processEvents();
    }

    QTemporaryDir m_config;
    LoopbackHttpServer m_server;
    CVantrelApp m_app;
    CMainFrame* m_pFrame = nullptr;
    CAdWindow* m_pPane = nullptr;
    std::vector<std::string> m_boxes;
    BOOL m_online = FALSE;
    int m_probes = 0;
};
} // namespace

TEST_F(PaneInProgram, PaneReadsTheInstallationsPagesAndRotatesWhenSwitchedOn)
{
    EXPECT_EQ(m_app.adWindow, m_pPane);
    EXPECT_EQ(m_pPane->ads.GetSize(), 10);
    EXPECT_FALSE(m_app.internetConnected);
    EXPECT_EQ(m_probes, 0);
    // At start the pane is off: its first page timer collapses it.
    ASSERT_TRUE(WaitFor([&] { return m_pFrame->GetPaneHeight() == 1; }, 3000));

    // The Maze Setup apply starts the rotation through the document's link.
    m_app.infoPaneVisible = TRUE;
    GetVantrelDocShell().setInfoPaneTimer(CAdWindow::PAGE_TIMER, 1);
    ASSERT_TRUE(WaitFor([&] { return m_pFrame->GetPaneHeight() == 60; }));
    EXPECT_EQ(AfxGetProfile().GetProfileString("Ads", "LastAd"), "WELCOME");
    EXPECT_EQ(m_pPane->nextAdMs, 2 * 60000);

    // A grid rebuild hides the pane through the same links.
    GetVantrelDocShell().hideInfoPane();
    EXPECT_EQ(m_pFrame->GetPaneHeight(), 1);
    // The resize that follows stores the height the pane really got.
    EXPECT_EQ(m_pPane->expandedHeight, 1);
}

TEST_F(PaneInProgram, PaneOverAMazeOpensGrowsAndShrinksWhateverRepaintsTheViewGets)
{
    m_pFrame->GetWidget()->showNormal();
    m_pFrame->GetWidget()->resize(1000, 760);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    ASSERT_GT(Document()->m_nGrids, 0);
    QCoreApplication::processEvents();

    // View > Info Box starts the rotation: the first local page opens the pane to its height.
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_INFO_BOX));
    EXPECT_TRUE(m_app.infoPaneVisible);
    ASSERT_TRUE(WaitFor([&] { return PaneRow() == 60; }));
    EXPECT_EQ(AfxGetProfile().GetProfileString("Ads", "LastAd"), "WELCOME");
    for (int i = 0; i < 3; ++i)
        RepaintAndResize(i);
    EXPECT_EQ(PaneRow(), 60);

    // Its expand timer grows it, and it stays grown.
    m_pPane->OnTimer(CAdWindow::EXPAND_TIMER);
    EXPECT_EQ(PaneRow(), 160);
    RepaintAndResize(3);
    EXPECT_EQ(PaneRow(), 160);
    // Its collapse timer shrinks it by a tenth a step, down to nothing.
    m_pPane->collapseDelayMs = 0;
    m_pPane->OnTimer(CAdWindow::COLLAPSE_TIMER);
    EXPECT_EQ(PaneRow(), 144);
    RepaintAndResize(4);
    ASSERT_TRUE(WaitFor([&] { return m_pPane->expandedHeight == 0; }, 5000));
    EXPECT_EQ(PaneRow(), 0);

    // The next page opens it again; a grid rebuild collapses it, and the repaint after keeps it so.
    m_pPane->OnTimer(CAdWindow::PAGE_TIMER);
    ASSERT_TRUE(WaitFor([&] { return PaneRow() == 60; }));
    EXPECT_EQ(AfxGetProfile().GetProfileString("Ads", "LastAd"), "TEMPLATES");
    ASSERT_TRUE(Document()->CreateGrid());
    RepaintAndResize(5);
    EXPECT_LE(PaneRow(), 1);

    // Switched off, the pane collapses and a maze paint keeps it collapsed, even when a timer fires.
    m_pPane->OnTimer(CAdWindow::PAGE_TIMER);
    ASSERT_TRUE(WaitFor([&] { return PaneRow() == 60; }));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_INFO_BOX));
    EXPECT_FALSE(m_app.infoPaneVisible);
    RepaintAndResize(6);
    EXPECT_EQ(PaneRow(), 0);
    m_pPane->expandedHeight = 160;
    m_pPane->OnTimer(CAdWindow::EXPAND_TIMER);
    EXPECT_EQ(PaneRow(), 0);
}

TEST_F(PaneInProgram, ConnectionCheckAndDownloadsOfTheApplication)
{
    m_online = TRUE;
    EXPECT_TRUE(m_app.IsInternetConnected());
    EXPECT_TRUE(m_app.internetConnected);
    EXPECT_EQ(m_app.internetFlags, INTERNET_CONNECTION_LAN);

    m_server.Serve("/f.txt", {200, "file"});
    BOOL ok = FALSE;
    const CString path = m_app.DownloadFile(m_server.Url("/f.txt").c_str(), "MASK", "TEMP", &ok);
    EXPECT_TRUE(ok);
    std::ifstream in(path.GetString());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "file");
    std::filesystem::remove(path.GetString());
    EXPECT_EQ(m_app.DownloadFile(m_server.Url("/none").c_str(), "MASK", "TEMP", &ok), "TEMP");
    EXPECT_FALSE(ok);
}

TEST_F(PaneInProgram, TemplateLinksReplaceTheMazeOnlyWithAFileThatReads)
{
    m_online = TRUE;
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    CVantrelDoc* pDoc = Document();
    ASSERT_NE(pDoc, nullptr);
    ASSERT_GT(pDoc->m_nGrids, 0);
    const std::string saved = m_config.filePath("t.mze").toStdString();
    ASSERT_TRUE(pDoc->OnSaveDocument(saved.c_str()));
    std::ifstream file(saved, std::ios::binary);
    m_server.Serve("/t.mze", {200, std::string(std::istreambuf_iterator<char>(file), {})});
    m_server.Serve("/bad.mze", {200, "this is no maze"});
    const std::string host = m_server.Base().substr(4);

    BOOL cancel = FALSE;
    const Object* before = pDoc->GetGrid(0);
    m_pPane->OnBeforeNavigate2(("mzTEMPLATE" + host + "/bad.mze").c_str(), 0, nullptr, CString(), nullptr, &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(Document(), pDoc);
    EXPECT_EQ(pDoc->GetGrid(0), before);  // the current maze stays
    EXPECT_GT(pDoc->m_nGrids, 0);

    pDoc->m_bDirty = 0;
    m_pPane->OnBeforeNavigate2(("mzTEMPLATE" + host + "/t.mze").c_str(), 0, nullptr, CString(), nullptr, &cancel);
    EXPECT_EQ(pDoc->m_bDirty, 1);
    EXPECT_GT(pDoc->m_nGrids, 0);
    EXPECT_NE(pDoc->GetGrid(0), before);
    EXPECT_EQ(m_pPane->galleryMode, 0);
}

TEST_F(PaneInProgram, MaskLinksShapeATemplateOnlyWhereApplyMaskIsEnabled)
{
    // A 2 x 2 BMP, all black (palette index 0).
    const unsigned char bmp[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
                                 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    m_server.Serve("/black.bmp", {200, std::string(reinterpret_cast<const char*>(bmp), sizeof(bmp))});
    const std::string link = "mzMASK" + m_server.Base().substr(4) + "/black.bmp";
    m_online = TRUE;
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    CVantrelDoc* pDoc = Document();
    ASSERT_GT(pDoc->m_nGrids, 0);
    const auto blackened = [&] { return (pDoc->GetGrid(0)->GetCell(1, 1).flags & CELL_BLACKENED) != 0; };
    ASSERT_FALSE(blackened());

    // A grown maze is no template: Apply Mask is disabled and the mask changes nothing.
    pDoc->m_bTemplateOnly = 0;
    BOOL cancel = FALSE;
    m_pPane->OnBeforeNavigate2(link.c_str(), 0, nullptr, CString(), nullptr, &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(blackened());

    pDoc->m_bTemplateOnly = 1;
    m_pPane->OnBeforeNavigate2(link.c_str(), 0, nullptr, CString(), nullptr, &cancel);
    EXPECT_TRUE(blackened());
}

// The browser engine starts with the pane's first page, not with the program: a program whose pane
// stays off never makes a browser; Info Box makes it as the pane shows its first page, and so does a
// gallery or the update check. Offline, a gallery of another machine makes none.
TEST_F(PaneInProgram, TheBrowserIsMadeWhenThePaneFirstShowsAPage)
{
    const auto browsers = [&] { return m_pFrame->GetWidget()->findChildren<QWebEngineView*>().size(); };
    // At start the pane is off: its first page timer collapses it, and no page is shown.
    ASSERT_TRUE(WaitFor([&] { return m_pFrame->GetPaneHeight() == 1; }, 3000));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_pPane->HasBrowser());
    EXPECT_EQ(browsers(), 0);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_CHECK_FOR_UPDATES));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], std::string(OfflineNotice(RedirectAddressFor("CHECKUPDATE"))));
    EXPECT_EQ(browsers(), 0);

    // Info Box: the first local page opens the pane in a browser made for it, filling the pane.
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_INFO_BOX));
    ASSERT_TRUE(WaitFor([&] { return PaneRow() == 60; }));
    ASSERT_TRUE(m_pPane->HasBrowser());
    EXPECT_EQ(browsers(), 1);
    QWebEngineView* browser = m_pPane->GetBrowser();
    EXPECT_EQ(browser->title(), "@0#2#60#160#5#20");
    EXPECT_FALSE(browser->acceptDrops());
    EXPECT_EQ(browser->size(), m_pPane->GetClientWidget()->size());
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_INFO_BOX));
}

TEST_F(PaneInProgram, AGalleryMakesTheBrowserToShowItsPage)
{
    m_server.Serve("/redir.asp?LOC=TILERS&VER=FREE_QL19", {200, "<html><head><title>Tile sets</title></head></html>"});
    const CString previous = SetRedirectServer(m_server.Base().c_str());
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_pPane->HasBrowser());
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_TILER_GALLERY));
    ASSERT_TRUE(m_pPane->HasBrowser());
    ASSERT_TRUE(WaitFor([&] { return m_pPane->GetBrowser()->title() == "Tile sets"; }));
    // The gallery page takes the whole height, as it always has.
    ASSERT_TRUE(WaitFor([&] { return m_pFrame->GetPaneHeight() > 100 && PaneRow() == m_pFrame->GetPaneHeight(); }));
    SetRedirectServer(previous);
}
