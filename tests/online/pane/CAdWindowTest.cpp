// The information pane in a real web view (offscreen): page-title parameters, the timers that grow and
// shrink the pane, the offline rotation over the page list, gallery pages, the version probe at the
// initial update, and gallery item links dispatched to their operations.
#include "tests/support/UiTestSupport.h"

#include "image/CRasterImage.h"
#include "online/Download.h"
#include "online/WebLinkScheme.h"
#include "online/pane/CAdWindow.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "resources/resource.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/OfflineScope.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
bool WaitFor(const std::function<bool()>& condition, int ms = 30000)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

void Pump(int ms) { WaitFor([] { return false; }, ms); }

struct EndOfProgram : std::runtime_error {
    EndOfProgram() : std::runtime_error("program ended") {}
};

std::string Page(const std::string& title, const std::string& body = "page")
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// A 2 x 2 monochrome BMP: something the image library decodes.
std::string SmallBmp()
{
    const unsigned char bytes[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
                                   0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0,
                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0x80, 0, 0, 0, 0x40, 0, 0, 0};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(name);
        char pattern[] = "/tmp/online-pane-XXXXXX";
        dir = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
        setenv("TMPDIR", (dir + "/tmp").c_str(), 1);
        fs::create_directories(dir + "/tmp");
        fs::create_directories(dir + "/inst/html");
        EnsureTestApplication();
        AfxGetProfile().SetRegistryKey("Quillmont");
        AfxGetProfile().SetAppName("FREEQuillmont");
        AfxGetProfile().WriteProfileString("install", "path", (dir + "/inst/").c_str());
        previousServer = SetRedirectServer(server.Base().c_str());
        CAdWindow::updatePagePending = TRUE;

        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes.push_back(r);
            if ((r.type & MB_TYPEMASK) == MB_YESNO)
                return answerYes ? IDYES : IDNO;
            return IDOK;
        });
        CAdWindowShell shell;
        shell.isInfoPaneVisible = [this] { return paneOn; };
        shell.setAdPaneHeight = [this](int h, int m) { heights.push_back({h, m}); };
        shell.paneMin = [this] { return paneMin; };
        shell.isInternetConnected = [this] { return online; };
        shell.registerPane = [this](CAdWindow* p) { registered = p; };
        shell.installPath = [this] { return CString((dir + "/inst/").c_str()); };
        shell.downloadFile = [this](const char* address, const char* prefix, const char* destination, CString& path) {
            downloads.push_back(std::string(address) + " " + prefix + " " + destination);
            DownloadConnection always{[] { return TRUE; }, [] { return TRUE; }};
            return DownloadToFile(address, prefix, destination, always, path);
        };
        shell.applyMask = [this](CRasterImage& image) {
            masks.push_back(int(image.GetWidth()) * 100 + int(image.GetHeight()));
            return maskEnabled;
        };
        shell.openTemplate = [this](const char* path) {
            std::ifstream in(path);
            templates.push_back(std::string(std::istreambuf_iterator<char>(in), {}));
            return TRUE;
        };
        shell.abortProgram = [] { throw EndOfProgram(); };
        previousShell = SetAdWindowShell(shell);

        pane = new CAdWindow;
        ASSERT_TRUE(pane->Create(nullptr, 0, WS_VISIBLE));
        pane->MoveWindow(0, 0, 400, 300);
        pane->ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        delete pane;
        QCoreApplication::processEvents();
        SetAdWindowShell(previousShell);
        SetMessageBoxHandler({});
        SetRedirectServer(previousServer);
        unsetenv("TMPDIR");
        fs::remove_all(dir);
    }

    void WriteList(int entries)
    {
        std::ofstream list(dir + "/inst/html/index.lst");
        list << "# local pages\n";
        for (int i = 0; i < entries; ++i) {
            const std::string name = "p" + std::to_string(i) + ".htm";
            list << "x|" << i << "|c|d|e|CODE" << i << "|g|h|i|j|k|file|" << name << "|n|o\n";
            std::ofstream(dir + "/inst/html/" + name)
                << Page("@2#" + std::to_string(i + 1) + "#50#100#1#0[Hello " + std::to_string(i) + "]");
        }
    }

    // Files left in the temporary folder (the browser keeps its runtime folder there).
    std::vector<std::string> TemporaryFiles() const
    {
        std::vector<std::string> files;
        for (const auto& e : fs::directory_iterator(dir + "/tmp"))
            if (e.is_regular_file())
                files.push_back(e.path().filename().string());
        return files;
    }

    // The server's requests without the browser's icon requests.
    std::vector<LoopbackHttpServer::Request> PageRequests()
    {
        std::vector<LoopbackHttpServer::Request> pages;
        for (const auto& r : server.Requests())
            if (r.path != "/favicon.ico")
                pages.push_back(r);
        return pages;
    }

    LoopbackHttpServer server;
    std::string dir;
    CString previousServer;
    CAdWindowShell previousShell;
    CAdWindow* pane = nullptr;
    CAdWindow* registered = nullptr;
    std::vector<MessageBoxRequest> boxes;
    std::vector<std::pair<int, int>> heights;
    std::vector<std::string> downloads;
    std::vector<int> masks;
    std::vector<std::string> templates;
    BOOL paneOn = TRUE;
    BOOL online = FALSE;
    BOOL maskEnabled = TRUE;
    bool answerYes = true;
    int paneMin = 0;
};
} // namespace

TEST_F(PaneTest, TitleParametersAndMessage)
{
    pane->OnTitleChange("@2#5#80#200#3#10[Welcome]");
    EXPECT_EQ(pane->titleMode, 2);
    EXPECT_EQ(pane->nextAdMs, 300000);
    EXPECT_EQ(pane->shownHeight, 80);
    EXPECT_EQ(pane->expandedHeight, 200);
    EXPECT_EQ(pane->expandDelayMs, 3000);
    EXPECT_EQ(pane->collapseDelayMs, 10000);
    EXPECT_EQ(pane->titleMessage, "Welcome");
    CString text;
    pane->GetWindowText(text);
    EXPECT_EQ(text, "@2#5#80#200#3#10[Welcome]");

    // A title without '@' leaves everything; the message then shows again with mode 2.
    pane->OnTitleChange("Ordinary page");
    EXPECT_EQ(pane->titleMessage, "Welcome");
    pane->OnDocumentComplete("file:///x");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Welcome");
    EXPECT_EQ(boxes[0].type, UINT(MB_OK));
    // The page is shown at its first height, and grows after its delay.
    EXPECT_EQ(heights.back(), std::make_pair(80, 80));
}

TEST_F(PaneTest, ExpandThenCollapseInFiftyMillisecondSteps)
{
    pane->expandedHeight = 10;
    pane->collapseDelayMs = 0;
    QElapsedTimer clock;
    clock.start();
    pane->OnTimer(CAdWindow::EXPAND_TIMER);
    EXPECT_EQ(heights.front(), std::make_pair(10, 10));
    ASSERT_TRUE(WaitFor([&] { return heights.back().first == 0; }, 5000));
    std::vector<int> steps;
    for (std::size_t i = 1; i < heights.size(); ++i) {
        steps.push_back(heights[i].first);
        EXPECT_EQ(heights[i].second, 0);
    }
    EXPECT_EQ(steps, (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    // Nine pauses of 50 ms between the ten steps.
    EXPECT_GE(clock.elapsed(), 9 * 45);
    Pump(150);
    EXPECT_EQ(heights.size(), 11u);  // nothing after 0

    // Expanded height 0: the first collapse step stops at once.
    heights.clear();
    pane->expandedHeight = 0;
    pane->OnTimer(CAdWindow::EXPAND_TIMER);
    Pump(150);
    EXPECT_EQ(heights, (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}}));

    // The largest height a title can give: the first step is nine tenths of it.
    heights.clear();
    pane->OnTitleChange("@0#5#50#2147483647#0#0");
    pane->OnTimer(CAdWindow::EXPAND_TIMER);
    ASSERT_TRUE(WaitFor([&] { return heights.size() >= 2; }, 5000));
    pane->KillTimer(CAdWindow::COLLAPSE_TIMER);
    EXPECT_EQ(heights[0], std::make_pair(2147483647, 2147483647));
    EXPECT_EQ(heights[1], std::make_pair(1932735282, 0));
}

TEST_F(PaneTest, PaneSwitchedOffCollapsesAndSchedulesNothing)
{
    WriteList(10);
    paneOn = FALSE;
    pane->OnInitialUpdate();
    EXPECT_EQ(registered, pane);
    ASSERT_TRUE(WaitFor([&] { return !heights.empty(); }, 2000));
    EXPECT_EQ(heights.back(), std::make_pair(1, 0));
    Pump(200);
    EXPECT_EQ(heights.size(), 1u);
    EXPECT_EQ(pane->GetBrowser()->url().toString().toStdString(), "");
}

TEST_F(PaneTest, OfflineRotationThroughLocalPages)
{
    WriteList(10);
    AfxGetProfile().WriteProfileString("Ads", "LastAd", "CODE8");
    pane->OnInitialUpdate();
    EXPECT_EQ(pane->ads.GetSize(), 10);
    // After CODE8 comes the tenth page.
    ASSERT_TRUE(WaitFor([&] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0].text, "Hello 9");
    EXPECT_EQ(AfxGetProfile().GetProfileString("Ads", "LastAd"), "CODE9");
    EXPECT_EQ(pane->nextAdMs, 10 * 60000);
    // Shown at 50 pixels, grown to 100 after a second, then shrinking at once (no collapse delay).
    EXPECT_EQ(heights.back(), std::make_pair(50, 50));
    ASSERT_TRUE(WaitFor([&] { return heights.back() == std::make_pair(90, 0); }, 3000));
    EXPECT_EQ(heights[heights.size() - 2], std::make_pair(100, 100));
    // Then the first again, when its timer fires.
    pane->OnTimer(CAdWindow::PAGE_TIMER);
    ASSERT_TRUE(WaitFor([&] { return boxes.size() == 2; }));
    EXPECT_EQ(boxes[1].text, "Hello 0");
    EXPECT_EQ(AfxGetProfile().GetProfileString("Ads", "LastAd"), "CODE0");
}

TEST_F(PaneTest, PageListReadOnceAndShortListsEndTheProgramOnlyAtStart)
{
    WriteList(9);
    EXPECT_THROW(pane->OnInitialUpdate(), EndOfProgram);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "ERROR 011: Quillmont Installation Corrupted, please re-install.");

    boxes.clear();
    fs::remove(dir + "/inst/html/index.lst");
    EXPECT_THROW(pane->OnInitialUpdate(), EndOfProgram);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "ERROR 010: Quillmont Installation Corrupted, please re-install.");

    // A good list at start stays for the session: a later File New neither re-reads nor ends.
    boxes.clear();
    paneOn = FALSE;
    WriteList(10);
    pane->OnInitialUpdate();
    EXPECT_EQ(pane->ads.GetSize(), 10);
    WriteList(3);
    EXPECT_NO_THROW(pane->OnInitialUpdate());
    EXPECT_EQ(pane->ads.GetSize(), 10);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PaneTest, GalleryPageTakesTheWholeHeightUntilTheSecondResize)
{
    WriteList(10);
    pane->LoadAdList((dir + "/inst/html/").c_str());
    server.Serve("/redir.asp?LOC=MASKS&VER=FREE_QL19", {200, Page("Masks")});
    // The view hands the gallery commands to the pane's routing.
    EXPECT_TRUE(pane->OnCmdMsg(ID_MASK_GALLERY, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(pane->galleryMode, 1);
    ASSERT_TRUE(WaitFor([&] { return pane->nextAdMs == -1; }));
    EXPECT_EQ(heights.back(), std::make_pair(10000, 1));
    const auto requests = PageRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().path, "/redir.asp?LOC=MASKS&VER=FREE_QL19");
    EXPECT_NE(requests.back().headers.find("User-Agent: QUILLMONT-FREE_QL19"), std::string::npos);

    paneMin = 1;
    pane->OnSize(SIZE_RESTORED, 400, 250);
    EXPECT_EQ(pane->nextAdMs, -2);
    EXPECT_EQ(pane->galleryMode, 1);
    pane->OnSize(SIZE_RESTORED, 400, 200);
    EXPECT_EQ(pane->galleryMode, 0);
    // The rotation restarts at once: the offline page list's first page.
    ASSERT_TRUE(WaitFor([&] { return AfxGetProfile().GetProfileString("Ads", "LastAd") == "CODE0"; }));

    // Too small for the frame's minimum: the pane asks for the minimum.
    paneMin = 120;
    pane->OnSize(SIZE_RESTORED, 400, 100);
    EXPECT_EQ(heights.back(), std::make_pair(120, 120));
    // With no minimum the height the pane got is its expanded height.
    paneMin = 0;
    pane->OnSize(SIZE_RESTORED, 400, 77);
    EXPECT_EQ(pane->expandedHeight, 77);

    EXPECT_TRUE(pane->HideAdPane());
    EXPECT_EQ(pane->expandedHeight, 0);
    EXPECT_EQ(heights.back(), std::make_pair(1, 0));
}

TEST_F(PaneTest, NewerVersionShowsTheDownloadPageOncePerProcess)
{
    WriteList(10);
    online = TRUE;
    server.Serve("/redir.asp?LOC=latestversionfree&VER=FREE_QL19", {200, "FREE_QL20"});
    server.Serve("/redir.asp?LOC=latestdownloadfree&VER=FREE_QL19", {200, Page("Download")});
    server.Serve("/redir.asp?LOC=info", {200, Page("@0#1#40#40#0#0")});
    pane->OnInitialUpdate();
    EXPECT_FALSE(CAdWindow::updatePagePending);
    EXPECT_EQ(pane->galleryMode, 1);
    ASSERT_TRUE(WaitFor([&] { return pane->nextAdMs == -1; }));

    // The next initial update: still newer, but no page and no rotation.
    Pump(300);
    const std::size_t before = PageRequests().size();
    pane->OnInitialUpdate();
    EXPECT_EQ(pane->galleryMode, 0);
    Pump(300);
    const auto requests = PageRequests();
    ASSERT_EQ(requests.size(), before + 1);  // the probe only
    EXPECT_EQ(requests.back().path, "/redir.asp?LOC=latestversionfree&VER=FREE_QL19");

    // Not newer: the rotation starts and, online, shows the script's information page.
    server.Serve("/redir.asp?LOC=latestversionfree&VER=FREE_QL19", {200, "FREE_QL19"});
    pane->OnInitialUpdate();
    ASSERT_TRUE(WaitFor([&] { return PageRequests().back().path == "/redir.asp?LOC=info"; }));
    ASSERT_TRUE(WaitFor([&] { return pane->shownHeight == 40 && !heights.empty() && heights.back().first == 40; }));
}

TEST_F(PaneTest, GalleryLinksGoToTheirOperations)
{
    const std::string host = server.Base().substr(std::string("http").size());  // "://127.0.0.1:port"
    server.Serve("/m.bmp", {200, SmallBmp()});
    server.Serve("/bad.bmp", {200, "not an image"});
    server.Serve("/t.mze", {200, "maze bytes"});
    BOOL cancel = FALSE;
    const auto follow = [&](const std::string& link) {
        cancel = FALSE;
        pane->OnBeforeNavigate2(link.c_str(), 0, nullptr, CString(), nullptr, &cancel);
        return cancel;
    };

    pane->galleryMode = 1;
    EXPECT_TRUE(follow("MZmask" + host + "/m.bmp"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Apply MASK to current maze?");
    EXPECT_EQ(boxes[0].type, UINT(MB_YESNO | MB_ICONEXCLAMATION));
    ASSERT_EQ(downloads.size(), 1u);
    EXPECT_EQ(downloads[0], "HTTP" + host + "/m.bmp MASK TEMP");
    EXPECT_EQ(masks, std::vector<int>{202});
    EXPECT_EQ(pane->galleryMode, 0);

    // An image that does not decode is not applied; no temporary file stays behind.
    EXPECT_TRUE(follow("mzMask" + host + "/bad.bmp"));
    EXPECT_EQ(downloads.size(), 2u);
    EXPECT_EQ(masks.size(), 1u);
    EXPECT_TRUE(TemporaryFiles().empty());

    EXPECT_TRUE(follow("mzTEMPLATE" + host + "/t.mze"));
    EXPECT_EQ(boxes.back().text, "Use TEMPLATE as current maze?");
    EXPECT_EQ(templates, std::vector<std::string>{"maze bytes"});
    EXPECT_TRUE(TemporaryFiles().empty());

    // A failed download opens nothing.
    EXPECT_TRUE(follow("mztemplate" + host + "/missing.mze"));
    EXPECT_EQ(templates.size(), 1u);

    // No kind, an unknown kind: cancelled without a question; ordinary links go on.
    const std::size_t asked = boxes.size();
    EXPECT_TRUE(follow("mz:" + host));
    EXPECT_TRUE(follow("mzfoo" + host + "/x"));
    EXPECT_EQ(boxes.size(), asked);
    EXPECT_FALSE(follow(server.Url("/page.htm")));
    EXPECT_EQ(downloads.size(), 4u);

    // No: nothing downloaded, the gallery stays.
    answerYes = false;
    pane->galleryMode = 1;
    EXPECT_TRUE(follow("mzMASK" + host + "/m.bmp"));
    EXPECT_EQ(downloads.size(), 4u);
    EXPECT_EQ(pane->galleryMode, 1);
}

TEST_F(PaneTest, TileSetLinksStoreDefinitionAndSheetInTheTilerFolder)
{
    // The folder is the install path the program uses, even when the profile names another.
    AfxGetProfile().WriteProfileString("install", "path", (dir + "/elsewhere/").c_str());
    server.Serve("/sets/stone.txt", {200, "NAME:Stone\r\nBMPFILE:../../stone.gif\r\n"});
    server.Serve("/sets/stone.gif", {200, "GIF89a sheet"});
    const std::string host = server.Base().substr(4);
    BOOL cancel = FALSE;
    pane->OnBeforeNavigate2(("mzTILER" + host + "/sets/stone.txt").c_str(), 0, nullptr, CString(), nullptr, &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(boxes.back().text, "Download TILER?");
    const std::string tiler = dir + "/inst/Tiler\\";
    ASSERT_EQ(downloads.size(), 2u);
    EXPECT_EQ(downloads[0], "HTTP" + host + "/sets/stone.txt TILER " + tiler + "stone.txt");
    // The sheet keeps only its base name: it lands in the Tiler folder, not above it.
    EXPECT_EQ(downloads[1], "HTTP" + host + "/sets/stone.gif TILER " + tiler + "stone.gif");
    EXPECT_TRUE(fs::exists(dir + "/inst/Tiler/stone.txt"));
    EXPECT_TRUE(fs::exists(dir + "/inst/Tiler/stone.gif"));

    // An existing folder is reused; a link without a file name stores nothing.
    pane->OnBeforeNavigate2(("mzTILER" + host + "/sets/").c_str(), 0, nullptr, CString(), nullptr, &cancel);
    EXPECT_EQ(downloads.size(), 2u);
}

TEST_F(PaneTest, BrowserReportsGalleryLinksOfPages)
{
    const std::string host = server.Base().substr(4);
    server.Serve("/m.bmp", {200, SmallBmp()});
    server.Serve("/gallery.htm", {200, Page("Gallery", "<a id='m' href='mzMASK" + host + "/m.bmp'>mask</a>")});
    pane->Navigate2(server.Url("/gallery.htm").c_str());
    ASSERT_TRUE(WaitFor([&] { return pane->GetBrowser()->title() == "Gallery"; }));
    pane->GetBrowser()->page()->runJavaScript("document.getElementById('m').click();");
    ASSERT_TRUE(WaitFor([&] { return !masks.empty(); }));
    // The browser gives the scheme in lower case; the kind is compared upper-cased all the same.
    EXPECT_EQ(downloads[0], "HTTP" + host + "/m.bmp MASK TEMP");
    Pump(200);
    EXPECT_EQ(pane->GetBrowser()->url().toString().toStdString(), server.Url("/gallery.htm"));
}

// Offline, the pane asks nothing of another machine: the galleries and the update check say so in a
// message and leave the pane as it was; the browser opens no address there, follows no link there and
// loads no picture from there. The browser's way to other machines is a proxy, which is the test's
// server on this machine: so the server sees whatever the switch would let through, and no name is
// looked up. (With the switch off, the picture does come through the proxy; that is not run here, as
// the browser's first use of a proxy probes for IPv6 by connecting a socket to a public address.)
TEST_F(PaneTest, OfflineTheBrowserStaysOnThisMachine)
{
    const std::string elsewhere = "http://www.quillmont.example";
    const std::string port = server.Base().substr(server.Base().rfind(':') + 1);
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", quint16(std::stoi(port))));
    struct NoProxyAfter {
        ~NoProxyAfter() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }
    } noProxyAfter;
    SetRedirectServer(elsewhere.c_str());
    // A page of this machine that shows a picture of the other machine and links there.
    server.Serve("/near.htm", {200, Page("Near", "<img src='" + elsewhere + "/pic.png'><a id='a' href='" + elsewhere +
                                                    "/far.htm'>far</a>")});
    OfflineScope on(true);

    pane->nextAdMs = 300000;
    for (UINT id : {ID_CHECK_FOR_UPDATES, ID_TEMPLATE_GALLERY, ID_MASK_GALLERY, ID_TILER_GALLERY})
        EXPECT_TRUE(pane->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr));
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, OfflineNotice((elsewhere + "/redir.asp?LOC=CHECKUPDATE&VER=FREE_QL19").c_str()));
    EXPECT_EQ(boxes[1].text, OfflineNotice((elsewhere + "/redir.asp?LOC=templates_v2&VER=FREE_QL19").c_str()));
    EXPECT_EQ(boxes[2].text, OfflineNotice((elsewhere + "/redir.asp?LOC=MASKS&VER=FREE_QL19").c_str()));
    EXPECT_EQ(boxes[3].text, OfflineNotice((elsewhere + "/redir.asp?LOC=TILERS&VER=FREE_QL19").c_str()));
    EXPECT_EQ(boxes[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(pane->galleryMode, 0);
    EXPECT_EQ(pane->nextAdMs, 300000);
    EXPECT_FALSE(pane->HasBrowser()) << "no browser is started for a page that is not shown";

    // A page finishes loading once its picture has loaded or failed.
    bool loaded = false;
    QObject::connect(pane->GetBrowser(), &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
    pane->Navigate2(server.Url("/near.htm").c_str());
    ASSERT_TRUE(WaitFor([&] { return loaded; }));
    EXPECT_EQ(pane->GetBrowser()->title(), "Near");
    pane->GetBrowser()->page()->runJavaScript("document.getElementById('a').click();");
    // Neither the online rotation's page nor any other address there is opened.
    pane->Navigate2(RedirectAddressFor("info"));
    pane->Navigate2((elsewhere + "/far.htm").c_str());
    Pump(300);
    EXPECT_EQ(pane->GetBrowser()->url().toString().toStdString(), server.Url("/near.htm"));

    std::vector<std::string> paths;
    for (const auto& r : PageRequests())
        paths.push_back(r.path);
    EXPECT_EQ(paths, std::vector<std::string>{"/near.htm"});
}
