// Start-up, the main frame's pane sizing, the recent-file list and the save prompt of the shell.
#include "tests/support/UiTestSupport.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "app/ProgramDataFolder.h"
#include "online/WebLinks.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeSetupValues.h"
#include "online/pane/CAdWindow.h"
#include "online/WebLinkScheme.h"
#include "platform/ui/CSingleDocTemplate.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/Shell.h"
#include "platform/core/ResourceTables.h"
#include "resources/VantrelResources.h"
#include "resources/periph/PeriphResources.h"
#include "resources/resource.h"
#include "tests/support/OfflineScope.h"
#include "view/CVantrelView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit().constData(), 1);
        AfxSetResourceTables(&GetVantrelResources());
        AfxInstallWindowHandlers();
        m_asked.clear();
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_asked.push_back(std::string(r.text));
            m_types.push_back(r.type);
            return m_answer;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler({});
        QCoreApplication::processEvents();
        AfxSetResourceTables(nullptr);
    }

    // Starts an application object as the program does, with the given arguments after the name.
    static BOOL Start(CVantrelApp& app, std::initializer_list<const char*> args = {})
    {
        app.m_args = {CString("vantrel")};
        for (const char* a : args)
            app.m_args.emplace_back(a);
        return app.InitInstance();
    }

    static void Stop(CVantrelApp& app)
    {
        app.ExitInstance();
        app.CloseAllDocuments(TRUE);
        QCoreApplication::processEvents();
    }

    QTemporaryDir m_config;
    std::vector<std::string> m_asked;
    std::vector<UINT> m_types;
    int m_answer = IDCANCEL;
};

TEST_F(ShellTest, StartsMaximisedWithTheProfileAndPanes)
{
    CVantrelApp app;
    ASSERT_TRUE(Start(app));
    auto* pFrame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    EXPECT_STREQ(app.m_pszAppName, "FREEQuillmont");
    EXPECT_TRUE(pFrame->GetWidget()->isMaximized());
    EXPECT_EQ(pFrame->GetWidget()->windowTitle(), QStringLiteral("Untitled - FREE Quillmont"));
    // The program's data lies beside it in the build tree.
    const std::string programFolder = std::string(ExecutableFolder()) + "/";
    EXPECT_EQ(std::string(app.installPath), programFolder);
    EXPECT_FALSE(app.infoPaneVisible);
    // The document reaches the application through its shell.
    ASSERT_TRUE(GetVantrelDocShell().installPath);
    EXPECT_EQ(std::string(GetVantrelDocShell().installPath()), programFolder);
    GetVantrelDocShell().setInfoPaneVisible(TRUE);
    EXPECT_TRUE(app.infoPaneVisible);
    EXPECT_TRUE(GetVantrelDocShell().isInfoPaneVisible());
    app.infoPaneVisible = FALSE;
    // Both panes exist; the maze view is the active one and the document's view.
    EXPECT_NE(pFrame->GetSplitter().GetPane(0, 0), nullptr);
    EXPECT_NE(pFrame->GetSplitter().GetPane(1, 0), nullptr);
    EXPECT_EQ(pFrame->GetActiveView(), dynamic_cast<CView*>(pFrame->GetSplitter().GetPane(0, 0)));
    EXPECT_NE(dynamic_cast<CVantrelDoc*>(pFrame->GetActiveDocument()), nullptr);
    // The edit toolbar is docked on the left, the main toolbar at the top.
    QMainWindow* pMain = pFrame->GetMainWindow();
    EXPECT_EQ(pMain->toolBarArea(pFrame->GetEditToolBar().GetQToolBar()), Qt::LeftToolBarArea);
    EXPECT_EQ(pMain->toolBarArea(pFrame->GetMainToolBar().GetQToolBar()), Qt::TopToolBarArea);
    EXPECT_EQ(pFrame->GetStatusBar().GetCount(), 4);
    Stop(app);
    // The profile file is the application's under the registry key.
    EXPECT_TRUE(QFile::exists(m_config.path() + "/Quillmont/FREEQuillmont.ini"));
}

TEST_F(ShellTest, StartsCleanlyFromAnyWorkingFolder)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(elsewhere.path().toLocal8Bit().constData()), 0);
    CVantrelApp app;
    const BOOL started = Start(app);
    const std::string installPath(app.installPath);
    const int pages = app.adWindow ? app.adWindow->ads.GetSize() : -1;
    if (started)
        Stop(app);
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_TRUE(started);
    EXPECT_EQ(installPath, std::string(ExecutableFolder()) + "/");
    EXPECT_EQ(pages, 10);
    EXPECT_TRUE(m_asked.empty()) << m_asked.front();
}

// A build tree keeps the data beside the program; an installation keeps it in share/vantrel beside
// the program's bin/ folder.
TEST(ProgramData, FoundBesideTheProgramOrInTheInstalledDataFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const std::string top = root.path().toStdString();
    const auto makeList = [](const std::string& folder) {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder + "/html")));
        QFile list(QString::fromStdString(folder + "/html/index.lst"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    };
    makeList(top + "/build/app");
    EXPECT_EQ(std::string(ProgramDataFolder((top + "/build/app").c_str())), top + "/build/app/");

    makeList(top + "/usr/share/vantrel");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(top + "/usr/bin")));
    EXPECT_EQ(std::string(ProgramDataFolder((top + "/usr/bin").c_str())), top + "/usr/share/vantrel/");

    // Nowhere: the program's own folder, where the missing list is then reported.
    EXPECT_EQ(std::string(ProgramDataFolder((top + "/bare/bin").c_str())), top + "/bare/bin/");
}

TEST_F(ShellTest, PaneHeightFollowsItsRules)
{
    CVantrelApp app;
    CVantrelDoc doc;
    CMainFrame frame;
    // Before the splitter is ready nothing changes, not even the stored values.
    frame.SetAdPaneHeight(100, 5);
    EXPECT_EQ(frame.GetPaneHeight(), 0);
    EXPECT_EQ(frame.GetPaneMin(), 0);

    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CVantrelView);
    context.m_pCurrentDoc = &doc;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context));
    frame.GetWidget()->resize(800, 600);
    frame.GetWidget()->show();
    QCoreApplication::processEvents();
    CSplitterWndEx& splitter = frame.GetSplitter();

    // Rows that total 500 pixels.
    splitter.GetWidget()->setGeometry(0, 0, 700, 500 + CSplitterWnd::kSplitterBar);
    splitter.SetRowInfo(0, 300, 0);
    splitter.RecalcLayout();
    int c0 = 0, c1 = 0, m0 = 0, m1 = 0;
    splitter.GetRowInfo(0, c0, m0);
    splitter.GetRowInfo(1, c1, m1);
    ASSERT_EQ(c0 + c1, 500);

    // A pane taller than the rows takes them all and becomes the active pane.
    frame.SetAdPaneHeight(10000, 1);
    splitter.GetRowInfo(0, c0, m0);
    splitter.GetRowInfo(1, c1, m1);
    EXPECT_EQ(c0, 0);
    EXPECT_EQ(c1, 500);
    EXPECT_EQ(m1, 1);
    EXPECT_EQ(frame.GetPaneHeight(), 500);
    int row = -1;
    splitter.GetActivePane(&row);
    EXPECT_EQ(row, 1);

    // (0, 0) collapses the pane and activates the maze view.
    frame.SetAdPaneHeight(0, 0);
    splitter.GetRowInfo(0, c0, m0);
    splitter.GetRowInfo(1, c1, m1);
    EXPECT_EQ(c0, 500);
    EXPECT_EQ(c1, 0);
    splitter.GetActivePane(&row);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(frame.GetActiveView(), dynamic_cast<CView*>(splitter.GetPane(0, 0)));

    // A stored height survives resizing; the view takes the rest.
    frame.SetAdPaneHeight(120, 0);
    frame.GetWidget()->resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.GetPaneHeight(), 120);
    splitter.GetRowInfo(1, c1, m1);
    EXPECT_EQ(c1, 120);
    splitter.GetRowInfo(0, c0, m0);
    EXPECT_EQ(c0 + c1 + CSplitterWnd::kSplitterBar, splitter.GetClientWidget()->height());

    // Rows with no height and the largest height a page title can give: the pane gets the one
    // pixel the rules leave it, not a view row pushed past the end of an int.
    splitter.GetWidget()->setGeometry(0, 0, 700, CSplitterWnd::kSplitterBar);
    splitter.SetRowInfo(0, 0, 0);
    splitter.SetRowInfo(1, 0, 0);
    splitter.RecalcLayout();
    frame.SetAdPaneHeight(INT_MAX, 0);
    EXPECT_EQ(frame.GetPaneHeight(), 1);
    splitter.GetActivePane(&row);
    EXPECT_EQ(row, 1);
}

TEST_F(ShellTest, SizingLimitsApplyOnlyWithTheInformationPane)
{
    CVantrelApp app;
    CMainFrame frame;
    CRect rc(10, 20, 310, 120);
    frame.OnSizing(WMSZ_BOTTOMRIGHT, &rc);
    EXPECT_TRUE(rc.EqualRect(CRect(10, 20, 310, 120)));
    app.infoPaneVisible = TRUE;
    frame.OnSizing(WMSZ_BOTTOMRIGHT, &rc);
    EXPECT_TRUE(rc.EqualRect(CRect(10, 20, 610, 210)));
    CRect big(0, 0, 1000, 800);
    frame.OnSizing(WMSZ_BOTTOMRIGHT, &big);
    EXPECT_TRUE(big.EqualRect(CRect(0, 0, 1000, 800)));
}

TEST_F(ShellTest, TheFrameKeepsItsLeastSizeWhileThePaneIsOn)
{
    CVantrelApp app;
    ASSERT_TRUE(Start(app));
    QWidget* w = app.m_pMainWnd->GetWidget();
    w->showNormal();
    // Sizes the window's own layout allows; below the least size of the pane's rule.
    const QSize wish = QSize(400, 170).expandedTo(w->minimumSizeHint());
    w->resize(wish);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->size(), wish);
    app.infoPaneVisible = TRUE;
    w->resize(wish + QSize(10, 5));
    QCoreApplication::processEvents();
    EXPECT_EQ(w->width(), 600);
    EXPECT_EQ(w->height(), std::max(190, wish.height() + 5));
    Stop(app);
}

TEST_F(ShellTest, EditToolbarCommandTogglesTheBarAndItsCheck)
{
    CVantrelApp app;
    ASSERT_TRUE(Start(app));
    auto* pFrame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    QAction* item = pFrame->GetMenuActions(ID_VIEW_EDIT_TOOLBAR).at(0);
    pFrame->UpdateMenuCmdUI(pFrame->GetMenuBarPopup(3));
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(pFrame->ExecuteCommand(ID_VIEW_EDIT_TOOLBAR));
    EXPECT_FALSE(pFrame->GetEditToolBar().IsVisible());
    pFrame->UpdateMenuCmdUI(pFrame->GetMenuBarPopup(3));
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(pFrame->ExecuteCommand(ID_VIEW_EDIT_TOOLBAR));
    EXPECT_TRUE(pFrame->GetEditToolBar().IsVisible());
    // Without a grid the document commands are disabled; the galleries are always enabled.
    EXPECT_FALSE(pFrame->IsCommandEnabled(ID_GENERATE_MAZE));
    EXPECT_FALSE(pFrame->IsCommandEnabled(ID_TOOL_GROW_FROM_HERE));
    EXPECT_FALSE(pFrame->IsCommandEnabled(ID_APPLY_BMP_MASK));
    EXPECT_TRUE(pFrame->IsCommandEnabled(ID_TEMPLATE_GALLERY));
    EXPECT_TRUE(pFrame->IsCommandEnabled(ID_TILER_GALLERY));
    Stop(app);
}

TEST_F(ShellTest, FourRecentFilesSurviveARestart)
{
    {
        CVantrelApp app;
        ASSERT_TRUE(Start(app));
        for (const char* path : {"/tmp/a.mze", "/tmp/b.mze", "/tmp/c.mze", "/tmp/d.mze", "/tmp/e.mze"})
            app.AddToRecentFileList(path);
        Stop(app);
    }
    CVantrelApp app;
    ASSERT_TRUE(Start(app));
    const std::vector<CString> names = app.GetRecentFileNames();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(std::string(names[0]), "/tmp/e.mze");
    EXPECT_EQ(std::string(names[3]), "/tmp/b.mze");
    // The File menu lists them.
    auto* pFrame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    pFrame->UpdateMenuCmdUI(pFrame->GetMenuBarPopup(0));
    EXPECT_EQ(pFrame->GetMenuActions(ID_FILE_MRU_FILE1).at(0)->text(), QStringLiteral("&1 /tmp/e.mze"));
    EXPECT_TRUE(pFrame->GetMenuActions(ID_FILE_MRU_FILE4).at(0)->isVisible());
    Stop(app);
}

TEST_F(ShellTest, ClosingAModifiedDocumentAsksToSave)
{
    CVantrelApp app;
    ASSERT_TRUE(Start(app));
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    pFrame->GetActiveDocument()->SetModifiedFlag(TRUE);

    m_answer = IDCANCEL; // keeps the program open
    app.OnAppExit();
    ASSERT_EQ(m_asked.size(), 1u);
    EXPECT_EQ(m_asked[0].rfind("Save changes to", 0), 0u) << m_asked[0];
    EXPECT_EQ(m_types[0] & MB_TYPEMASK, MB_YESNOCANCEL);
    EXPECT_EQ(app.m_pMainWnd, pFrame);

    m_answer = IDNO; // discards and closes
    app.OnAppExit();
    EXPECT_EQ(m_asked.size(), 2u);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    Stop(app);
}

// The window's title follows the file through the menu's Save As and Open; exiting after a save asks
// nothing, and a downloaded template is a document without a file.
TEST_F(ShellTest, TheTitleFollowsTheFile)
{
    QTemporaryDir files;
    const std::string saved = files.path().toStdString() + "/first maze.mze";
    const std::string other = files.path().toStdString() + "/other.mze";
    std::string answer;
    SetFileDialogHandler([&](const FileDialogRequest&) {
        FileDialogResult result;
        result.ok = !answer.empty();
        result.path = answer.c_str();
        result.filterIndex = 1;
        return result;
    });
    CVantrelApp app;
    ASSERT_TRUE(Start(app));
    auto* pFrame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    auto* pDoc = dynamic_cast<CVantrelDoc*>(pFrame->GetActiveDocument());
    ASSERT_NE(pDoc, nullptr);
    const auto title = [&] {
        app.OnIdle(0);
        return pFrame->GetWidget()->windowTitle().toStdString();
    };
    EXPECT_TRUE(pFrame->ExecuteCommand(ID_FILE_NEW));
    pDoc->SetModifiedFlag(TRUE);
    answer = other;
    EXPECT_TRUE(pFrame->ExecuteCommand(ID_FILE_SAVE_AS));
    answer = saved;
    EXPECT_TRUE(pFrame->ExecuteCommand(ID_FILE_SAVE_AS));
    EXPECT_EQ(title(), "first maze.mze - FREE Quillmont");
    answer = other;
    EXPECT_TRUE(pFrame->ExecuteCommand(ID_FILE_OPEN));
    EXPECT_EQ(title(), "other.mze - FREE Quillmont");
    ASSERT_EQ(app.GetRecentFileNames().size(), 2u);
    EXPECT_EQ(std::string(app.GetRecentFileNames()[0]), other);

    // A downloaded template takes the document, not the file opened before it.
    ASSERT_TRUE(GetAdWindowShell().openTemplate);
    EXPECT_TRUE(GetAdWindowShell().openTemplate(saved.c_str()));
    EXPECT_EQ(title(), "Untitled - FREE Quillmont");
    EXPECT_TRUE(pDoc->GetPathName().IsEmpty());
    answer = saved;
    EXPECT_TRUE(pFrame->ExecuteCommand(ID_FILE_SAVE));
    EXPECT_EQ(title(), "first maze.mze - FREE Quillmont");

    SetFileDialogHandler({});
    app.OnAppExit();
    EXPECT_TRUE(m_asked.empty()) << m_asked[0];
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    Stop(app);
}

TEST_F(ShellTest, AboutBoxShowsTheVersionAndLinksTheHomePage)
{
    CVantrelApp app;
    std::vector<std::string> opened;
    SetShellOpenHandler([&](const CString& target) {
        opened.push_back(std::string(target));
        return true;
    });
    std::string version, caption;
    bool stayedOpen = false;
    SetDialogRunner([&](CDialog& dialog) {
        caption = dialog.GetQDialog()->windowTitle().toStdString();
        CString text;
        dialog.GetDlgItem(IDC_ABOUT_VERSION)->GetWindowText(text);
        version = std::string(text);
        QWidget* label = dialog.GetDlgItem(IDC_ABOUT_VERSION)->GetWidget();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, {});
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(label, &press);
        QCoreApplication::sendEvent(label, &release);
        stayedOpen = dialog.IsOpen();
        dialog.EndDialog(IDOK);
    });
    app.OnAppAbout();
    SetDialogRunner({});
    SetShellOpenHandler({});
    EXPECT_EQ(version, "FREE Quillmont Version FREE_QL19");
    EXPECT_EQ(caption, "About FREE Quillmont");
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].substr(opened[0].size() - 15), "/?VER=FREE_QL19");
}

namespace {
// Whether two colours are alike within a tolerance per channel (pictures are smoothed as they shrink).
bool Alike(QRgb a, QRgb b, int tolerance = 48)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The picture a control shows, as it paints itself.
QImage Painted(QWidget* pWidget)
{
    QImage image(pWidget->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    pWidget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}
} // namespace

// Control 1028 shows bitmap 168, shrunk to the control; a click on it opens the home page.
TEST_F(ShellTest, AboutBoxShowsTheSplashPicture)
{
    VantrelInitPeriphResources();
    const QImage bitmap(":/res/BITMAP/168");
    ASSERT_FALSE(bitmap.isNull());
    CVantrelApp app;
    std::vector<std::string> opened;
    SetShellOpenHandler([&](const CString& target) {
        opened.push_back(std::string(target));
        return true;
    });
    QImage shown;
    SetDialogRunner([&](CDialog& dialog) {
        QWidget* picture = dialog.GetDlgItem(IDC_ABOUT_PICTURE)->GetWidget();
        shown = Painted(picture);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(picture, &release);
        dialog.EndDialog(IDOK);
    });
    app.OnAppAbout();
    SetDialogRunner({});
    SetShellOpenHandler({});
    ASSERT_FALSE(shown.isNull());
    // The picture fills the control as far as its proportions allow, centred: it and the bitmap,
    // averaged over 8 x 8 blocks, look alike.
    QRect fit(QPoint(0, 0), bitmap.size().scaled(shown.size(), Qt::KeepAspectRatio));
    fit.moveCenter(shown.rect().center());
    ASSERT_GE(fit.width(), shown.width() - 1);
    const auto blocks = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_RGB32).scaled(8, 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage want = blocks(bitmap);
    const QImage got = blocks(shown.copy(fit));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(Alike(want.pixel(x, y), got.pixel(x, y), 24)) << "block " << x << "," << y;
    EXPECT_FALSE(Alike(shown.pixel(1, 1), shown.pixel(shown.width() / 2, shown.height() / 2)))
        << "the picture's blue edge and white middle";
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].substr(opened[0].size() - 15), "/?VER=FREE_QL19");
}

// A picture in a control of other proportions keeps its own, centred; the sides show the dialog.
TEST_F(ShellTest, PictureControlsKeepTheBitmapsProportions)
{
    VantrelInitPeriphResources();
    const DialogTemplate wide{"Picture", 140, 60, {{DialogItemKind::Picture, 1000, "", 10, 10, 120, 40, 0, false, 168}}};
    AfxRegisterDialogTemplate(0xE000, &wide);
    QImage shown;
    QRgb face = 0;
    SetDialogRunner([&](CDialog& dialog) {
        face = dialog.GetQDialog()->palette().color(QPalette::Window).rgb();
        shown = Painted(dialog.GetDlgItem(1000)->GetWidget());
        dialog.EndDialog(IDOK);
    });
    CDialog dialog(0xE000);
    dialog.DoModal();
    SetDialogRunner({});
    AfxRegisterDialogTemplate(0xE000, nullptr);
    ASSERT_FALSE(shown.isNull());
    ASSERT_GT(shown.width(), 2 * shown.height());
    const int h = shown.height(), side = (shown.width() - h) / 2;
    // The square bitmap in the middle, the dialog's face beside it.
    EXPECT_NE(shown.pixel(shown.width() / 2, 2), face);
    EXPECT_NE(shown.pixel(side + 2, h / 2), face);
    EXPECT_NE(shown.pixel(side + h - 3, h / 2), face);
    for (int x : {0, side / 2, side - 2, side + h + 2, shown.width() - 1})
        EXPECT_TRUE(Alike(shown.pixel(x, h / 2), face, 0) || shown.pixel(x, h / 2) == qRgb(255, 0, 255)) << x;
}

TEST_F(ShellTest, HelpLinksCarryTheEditionCode)
{
    CVantrelApp app;
    std::vector<std::string> opened;
    SetShellOpenHandler([&](const CString& target) {
        opened.push_back(std::string(target));
        return true;
    });
    for (UINT id : {ID_USER_MANUAL, ID_FORUM, ID_MAILING_LIST, ID_HEAR_ABOUT, ID_HOME_PAGE})
        EXPECT_TRUE(app.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr));
    SetShellOpenHandler({});
    ASSERT_EQ(opened.size(), 5u);
    auto endsWith = [](const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    };
    EXPECT_TRUE(endsWith(opened[0], "/redir.asp?LOC=manual&VER=FREE_QL19")) << opened[0];
    EXPECT_TRUE(endsWith(opened[1], "/redir.asp?LOC=forum&VER=FREE_QL19")) << opened[1];
    EXPECT_TRUE(endsWith(opened[2], "/redir.asp?LOC=maillist&VER=FREE_QL19")) << opened[2];
    EXPECT_TRUE(endsWith(opened[3], "/maze.ram?VER=FREE_QL19")) << opened[3];
    EXPECT_TRUE(endsWith(opened[4], "/?VER=FREE_QL19")) << opened[4];
    EXPECT_TRUE(m_asked.empty());
}

namespace {
// Stands for the desktop's browser: QDesktopServices hands it every http address it is asked to open.
class DesktopBrowser : public QObject {
    Q_OBJECT
public:
    std::vector<std::string> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url.toString().toStdString()); }
};
} // namespace

// A help link that is not opened says why in a message box: offline, the desktop is not asked at all;
// otherwise the desktop's browser opens it, or the box says that no browser could be started.
TEST_F(ShellTest, HelpLinksThatAreNotOpenedSaySo)
{
    CVantrelApp app;
    DesktopBrowser browser;
    QDesktopServices::setUrlHandler("http", &browser, "open");
    struct Unset {
        ~Unset() { QDesktopServices::unsetUrlHandler("http"); }
    } unset;
    const UINT links[] = {ID_USER_MANUAL, ID_FORUM, ID_MAILING_LIST, ID_HEAR_ABOUT, ID_HOME_PAGE};
    const std::vector<std::string> addresses = {RedirectAddress("manual").str(), RedirectAddress("forum").str(),
                                                RedirectAddress("maillist").str(),
                                                std::string(kMainServer) + "/maze.ram?VER=FREE_QL19",
                                                HomePageAddress().str()};
    {
        OfflineScope on(true);
        for (UINT id : links)
            EXPECT_TRUE(app.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr));
        EXPECT_TRUE(browser.opened.empty());
        ASSERT_EQ(m_asked.size(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(m_asked[i], std::string(OfflineNotice(addresses[i].c_str())));
            EXPECT_EQ(m_types[i], UINT(MB_OK | MB_ICONEXCLAMATION));
        }
        // The About box's link to the home page is the same link.
        m_asked.clear();
        SetDialogRunner([&](CDialog& dialog) {
            dialog.OnCmdMsg(IDC_ABOUT_HOMEPAGE, CN_COMMAND, nullptr, nullptr);
            dialog.EndDialog(IDOK);
        });
        app.OnAppAbout();
        SetDialogRunner({});
        EXPECT_EQ(m_asked, std::vector<std::string>{std::string(OfflineNotice(HomePageAddress()))});
    }

    OfflineScope off(false);
    m_asked.clear();
    for (UINT id : links)
        EXPECT_TRUE(app.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(browser.opened, addresses);
    EXPECT_TRUE(m_asked.empty());
    // A desktop with no browser to start.
    SetShellOpenHandler([](const CString&) { return false; });
    EXPECT_TRUE(app.OnCmdMsg(ID_FORUM, CN_COMMAND, nullptr, nullptr));
    SetShellOpenHandler({});
    EXPECT_EQ(m_asked, std::vector<std::string>{std::string(NoBrowserNotice(addresses[1].c_str()))});
}

// A file named on the command line is opened through the document's own open.
TEST_F(ShellTest, CommandLineFileReachesTheDocument)
{
    const std::string path = (m_config.path() + "/named.mze").toStdString();
    {
        CVantrelApp app;
        ASSERT_TRUE(Start(app));
        auto* pDoc = dynamic_cast<CVantrelDoc*>(static_cast<CFrameWnd*>(app.m_pMainWnd)->GetActiveDocument());
        ASSERT_NE(pDoc, nullptr);
        pDoc->OnFileNew();
        pDoc->m_dVersion = 2.0;
        ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
        Stop(app);
    }
    {
        CVantrelApp app;
        ASSERT_TRUE(Start(app, {path.c_str()}));
        auto* pFrame = static_cast<CFrameWnd*>(app.m_pMainWnd);
        auto* pDoc = dynamic_cast<CVantrelDoc*>(pFrame->GetActiveDocument());
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(std::string(pDoc->GetPathName()), path);
        EXPECT_EQ(pDoc->m_nGrids, 1);
        EXPECT_EQ(pFrame->GetWidget()->windowTitle(), QStringLiteral("named.mze - FREE Quillmont"));
        ASSERT_FALSE(app.GetRecentFileNames().empty());
        EXPECT_EQ(std::string(app.GetRecentFileNames()[0]), path);
        Stop(app);
    }
    // A file that cannot be opened stops the start-up, and the framework does not list it.
    CVantrelApp app;
    EXPECT_FALSE(Start(app, {"/nonexistent/none.mze"}));
    const std::vector<CString> names = app.GetRecentFileNames();
    for (const CString& name : names)
        EXPECT_NE(std::string(name), "/nonexistent/none.mze");
    Stop(app);
}
} // namespace

#include "AppShellTest.moc"
