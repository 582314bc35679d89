#pragma once
// The splash screen's owner during start-up. Qt windows live on the user-interface thread, so the
// splash window is made, painted and destroyed there: "resuming" the thread creates the window and
// paints it at once, and the window keeps its picture on screen while start-up goes on. The
// operations keep the framework thread's shape: SetBitmapToUse before the resume, InitInstance when
// it runs, HideSplash from the view's first update.
#include "app/CSplashWnd.h"

class CSplashThread {
public:
    CSplashThread();
    ~CSplashThread();
    CSplashThread(const CSplashThread&) = delete;
    CSplashThread& operator=(const CSplashThread&) = delete;

    // Sets splashVisible and records the bitmap's source in the window.
    void SetBitmapToUse(const CString& path);
    void SetBitmapToUse(UINT nResourceID);
    void SetBitmapToUse(LPCSTR lpszResourceName);

    // Starts the suspended thread: runs InitInstance. Returns the previous suspend count (1), or
    // 0xFFFFFFFF when the thread has already run.
    DWORD ResumeThread();
    // Creates the splash window and makes it the thread's main window; TRUE.
    BOOL InitInstance();
    // Closes the splash once: a second call, or a call after the window has gone, returns at once.
    void HideSplash();

    // The thread has started and its window has not yet been destroyed.
    BOOL IsRunning() const { return m_bRunning; }
    CSplashWnd& GetSplashWnd() { return m_wndSplash; }
    CWnd* m_pMainWnd = nullptr;

    // A splash is wanted or shown.
    BOOL splashVisible = FALSE;

private:
    CSplashWnd m_wndSplash;
    BOOL m_bStarted = FALSE;
    BOOL m_bRunning = FALSE;
};
