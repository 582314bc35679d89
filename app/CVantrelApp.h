#pragma once
// The application object: names the program and its profile, reads the installation folder, registers
// the document template, processes the command line and shows the main window maximised.
#include "platform/ui/CWinApp.h"
#include "view/IViewHost.h"

class CVantrelView;
class CAdWindow;
class CSplashThread;

class CVantrelApp : public CWinApp, public IViewHost {
public:
    CVantrelApp();
    ~CVantrelApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    void OnAppAbout();
    void OnHomePage();
    void OnHearAbout();
    void OnUserManual();
    void OnForum();
    void OnMailingList();

    // Whether the internet is reachable: the system's connection state, then an ICMP echo to the probe
    // hosts. Stores the result in internetConnected.
    BOOL IsInternetConnected();
    // Downloads address into destination ("TEMP": a new temporary file whose name begins with prefix)
    // after the connection prompt. Returns the written file's path, or destination as given when no
    // file was written (*pbOk then FALSE).
    CString DownloadFile(const char* lpszAddress, const char* lpszPrefix, const char* lpszDestination,
                         BOOL* pbOk = nullptr);

    // Switches the information pane on or off. Switching it on starts its page rotation at once;
    // switching it off collapses it.
    void SwitchInfoPane(BOOL bVisible) override;

    // The information pane as a window and command target, or null before the frame made it.
    CWnd* GetInfoPane() const override;

    // What the maze view asks of the application (IViewHost).
    BOOL IsInfoPaneOn() const override { return infoPaneVisible; }
    void CollapseInfoPane(CFrameWnd* pViewFrame) override;
    void OnMazeViewReady(CVantrelView* pView) override;

    CString installPath;             // the installation folder, ending with a separator
    BOOL infoPaneVisible = FALSE;    // the information pane is switched on; off at every start
    BOOL splashShown = FALSE;
    CVantrelView* mazeView = nullptr;
    CAdWindow* adWindow = nullptr;
    CSplashThread* splashThread = nullptr;
    char workingDir[260] = {};
    BOOL internetConnected = FALSE;
    DWORD internetFlags = 0;

    DECLARE_MESSAGE_MAP()

private:
    // Starts the splash screen showing bitmap 168; FALSE when it cannot be started.
    BOOL StartSplashScreen();
    // Gives the document its links to the application: the pane switch and the install path.
    void InstallDocumentShell();
    // Gives the information pane its links to the application, the frame and the document.
    void InstallPaneShell();
    // Opens a downloaded maze file as the document; a file that does not read whole changes nothing.
    BOOL OpenDownloadedTemplate(const char* lpszPath);
};
