#include "app/CVantrelApp.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CSplashThread.h"
#include "app/ProgramDataFolder.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeSetupValues.h"
#include "maze/setup/MazeSetupSheet.h"
#include "online/ConnectionCheck.h"
#include "online/Download.h"
#include "online/WebLinkScheme.h"
#include "online/WebLinks.h"
#include "online/pane/CAdWindow.h"
#include "platform/core/CException.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Offline.h"
#include "platform/ui/CSingleDocTemplate.h"
#include "platform/ui/Shell.h"
#include "resources/resource.h"
#include "view/CVantrelView.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

BEGIN_MESSAGE_MAP(CVantrelApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, &CVantrelApp::OnAppAbout)
    ON_COMMAND(ID_HOME_PAGE, &CVantrelApp::OnHomePage)
    ON_COMMAND(ID_HEAR_ABOUT, &CVantrelApp::OnHearAbout)
    ON_COMMAND(ID_USER_MANUAL, &CVantrelApp::OnUserManual)
    ON_COMMAND(ID_FORUM, &CVantrelApp::OnForum)
    ON_COMMAND(ID_MAILING_LIST, &CVantrelApp::OnMailingList)
END_MESSAGE_MAP()

namespace {
// A link the desktop does not open says why in a message box: the program works offline (the
// desktop is not asked then), or no browser could be started.
void OpenAddress(const CString& address)
{
    if (ShellExecute(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL) > 32)
        return;
    AfxMessageBox(AfxOfflineRefuses(address) ? OfflineNotice(address) : NoBrowserNotice(address),
                  MB_OK | MB_ICONEXCLAMATION);
}
} // namespace

CVantrelApp::CVantrelApp()
{
    if (!getcwd(workingDir, sizeof(workingDir)))
        std::fprintf(stderr, "_getcwd error %s\n", std::strerror(errno));
}

// The splash thread object stays until the application goes, so that a late HideSplash is harmless.
CVantrelApp::~CVantrelApp() { delete splashThread; }

BOOL CVantrelApp::StartSplashScreen()
{
    // Created suspended: it learns its bitmap before it runs.
    splashThread = new (std::nothrow) CSplashThread;
    if (!splashThread)
        return FALSE;
    splashThread->SetBitmapToUse(UINT(IDB_SPLASH));
    splashThread->ResumeThread();
    splashShown = TRUE;
    return TRUE;
}

BOOL CVantrelApp::InitInstance()
{
    std::free(const_cast<char*>(m_pszAppName));
    m_pszAppName = strdup("FREEQuillmont");
    std::free(const_cast<char*>(m_pszExeName));
    m_pszExeName = strdup("FREEQuillmont");
    SetRegistryKey("Quillmont");
    AfxEnableControlContainer();
    AfxInitRichEdit();

    // Paths here end with the platform's separator. The default is where the program's data lives, so
    // the program starts the same from any working folder.
    installPath = GetProfileString("install", "path", ProgramDataFolder(ExecutableFolder()));

    if (!StartSplashScreen()) {
        AfxMessageBox("Failed to create splash screen", MB_ICONHAND);
        return FALSE;
    }

    InstallDocumentShell();
    InstallMazeSetupSheet();
    InstallPaneShell();
    LoadStdProfileSettings(4);
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVantrelDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CVantrelView)));

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    m_pMainWnd->ShowWindow(SW_SHOW);
    // The main window always starts maximised; no placement is stored.
    m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

void CVantrelApp::InstallDocumentShell()
{
    CVantrelDocShell shell;
    shell.isInfoPaneVisible = [this] { return infoPaneVisible; };
    shell.setInfoPaneVisible = [this](BOOL bVisible) { SwitchInfoPane(bVisible); };
    shell.hideInfoPane = [this] {
        if (adWindow)
            adWindow->HideAdPane();
    };
    shell.setInfoPaneTimer = [this](UINT nIDEvent, UINT nElapse) {
        if (adWindow)
            adWindow->SetTimer(nIDEvent, nElapse);
    };
    shell.installPath = [this] { return installPath; };
    SetVantrelDocShell(std::move(shell));
}

void CVantrelApp::InstallPaneShell()
{
    const auto frame = [this] { return dynamic_cast<CMainFrame*>(m_pMainWnd); };
    CAdWindowShell shell;
    shell.isInfoPaneVisible = [this] { return infoPaneVisible; };
    shell.setAdPaneHeight = [frame](int height, int minimum) {
        if (CMainFrame* pFrame = frame())
            pFrame->SetAdPaneHeight(height, minimum);
    };
    shell.paneMin = [frame] { return frame() ? frame()->GetPaneMin() : 0; };
    shell.isInternetConnected = [this] { return IsInternetConnected(); };
    shell.registerPane = [this](CAdWindow* pPane) { adWindow = pPane; };
    shell.installPath = [this] { return installPath; };
    shell.downloadFile = [this](const char* address, const char* prefix, const char* destination, CString& path) {
        BOOL ok = FALSE;
        path = DownloadFile(address, prefix, destination, &ok);
        return ok;
    };
    // A gallery mask shapes the template only where the Apply Mask command would be enabled.
    shell.applyMask = [this, frame](CRasterImage& image) {
        CMainFrame* pFrame = frame();
        if (!pFrame || !mazeView || !pFrame->IsCommandEnabled(ID_APPLY_BMP_MASK))
            return FALSE;
        return mazeView->ApplyBmpMask(image) ? TRUE : FALSE;
    };
    shell.openTemplate = [this](const char* path) { return OpenDownloadedTemplate(path); };
    SetAdWindowShell(std::move(shell));
}

BOOL CVantrelApp::IsInternetConnected()
{
    CConnectionCheck& check = AfxGetConnectionCheck();
    internetConnected = check.IsInternetConnected();
    internetFlags = check.internetFlags;
    return internetConnected;
}

CString CVantrelApp::DownloadFile(const char* lpszAddress, const char* lpszPrefix, const char* lpszDestination,
                                  BOOL* pbOk)
{
    DownloadConnection connection;
    connection.isConnected = [this] { return IsInternetConnected(); };
    connection.recheck = [this] {
        CConnectionCheck& check = AfxGetConnectionCheck();
        internetConnected = check.Recheck();
        internetFlags = check.internetFlags;
        return internetConnected;
    };
    CString path;
    const BOOL ok = DownloadToFile(lpszAddress, lpszPrefix, lpszDestination, connection, path);
    if (pbOk)
        *pbOk = ok;
    return path;
}

BOOL CVantrelApp::OpenDownloadedTemplate(const char* lpszPath)
{
    auto* pFrame = dynamic_cast<CMainFrame*>(m_pMainWnd);
    auto* pDoc = pFrame ? dynamic_cast<CVantrelDoc*>(pFrame->GetActiveDocument()) : nullptr;
    if (!pDoc)
        return FALSE;
    // Opening resets the document first, so the file is read into a scratch document before the
    // current maze is given up for it.
    try {
        CVantrelDoc trial;
        if (!trial.OnOpenDocument(lpszPath)) {
            pDoc->m_strError = trial.m_strError;
            pDoc->UpdateAllViews(nullptr, 0, nullptr);
            return FALSE;
        }
        if (!pDoc->OnOpenDocument(lpszPath))
            return FALSE;
    } catch (const CException& e) {
        e.ReportError();
        return FALSE;
    }
    // The template's file is a download: Save must not write over the file opened before it.
    pDoc->DetachFromFile();
    pDoc->m_bDirty = 1;
    pDoc->UpdateAllViews(nullptr, 0, nullptr);
    return TRUE;
}

int CVantrelApp::ExitInstance()
{
    SaveStdProfileSettings();
    return CWinApp::ExitInstance();
}

void CVantrelApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

void CVantrelApp::OnHomePage() { OpenAddress(HomePageAddress()); }
void CVantrelApp::OnHearAbout() { OpenAddress(CString(kMainServer) + "/maze.ram?VER=" + kVersionCode); }
void CVantrelApp::OnUserManual() { OpenAddress(RedirectAddress("manual")); }
void CVantrelApp::OnForum() { OpenAddress(RedirectAddress("forum")); }
void CVantrelApp::OnMailingList() { OpenAddress(RedirectAddress("maillist")); }

void CVantrelApp::SwitchInfoPane(BOOL bVisible)
{
    const BOOL bWasVisible = infoPaneVisible;
    infoPaneVisible = bVisible ? TRUE : FALSE;
    if (!adWindow || infoPaneVisible == bWasVisible)
        return;
    if (infoPaneVisible)
        adWindow->SetTimer(CAdWindow::PAGE_TIMER, 1);
    else
        adWindow->HideAdPane();
}

CWnd* CVantrelApp::GetInfoPane() const
{
    return adWindow;
}

void CVantrelApp::CollapseInfoPane(CFrameWnd* pViewFrame)
{
    if (auto* pFrame = dynamic_cast<CMainFrame*>(pViewFrame))
        pFrame->SetAdPaneHeight(0, 0);
}

void CVantrelApp::OnMazeViewReady(CVantrelView* pView)
{
    // The view's first update closes the splash screen.
    if (splashShown) {
        if (splashThread)
            splashThread->HideSplash();
        splashShown = FALSE;
    }
    mazeView = pView;
}
