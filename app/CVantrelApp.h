#pragma once
// The application object: names the program and its profile, reads the installation folder, registers
// the document template, processes the command line and shows the main window maximised.
#include "platform/CWinApp.h"

class CVantrelView;
class CAdWindow;
class CSplashThread;

class CVantrelApp : public CWinApp {
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

    CString installPath;             // the installation folder, ending with a separator
    BOOL infoPaneVisible = FALSE;    // the information pane is switched on; off at every start
    BOOL splashShown = FALSE;
    CVantrelView* mazeView = nullptr;
    CAdWindow* adWindow = nullptr;
    CSplashThread* splashThread = nullptr;
    char workingDir[260] = {};

    DECLARE_MESSAGE_MAP()

private:
    // Starts the splash screen showing bitmap 168; FALSE when it cannot be started.
    BOOL StartSplashScreen();
    // Gives the document its links to the application: the pane switch and the install path.
    void InstallDocumentShell();
};
