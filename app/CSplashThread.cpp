#include "app/CSplashThread.h"

#include <QWidget>

CSplashThread::CSplashThread()
{
    m_wndSplash.onDestroyed = [this] {
        // Destroying the thread's main window ends the thread.
        m_bRunning = FALSE;
        m_pMainWnd = nullptr;
    };
}

CSplashThread::~CSplashThread() { m_wndSplash.onDestroyed = nullptr; }

void CSplashThread::SetBitmapToUse(const CString& path)
{
    splashVisible = TRUE;
    m_wndSplash.SetBitmapFile(path);
}

void CSplashThread::SetBitmapToUse(UINT nResourceID)
{
    splashVisible = TRUE;
    m_wndSplash.SetBitmapResource(nResourceID);
}

void CSplashThread::SetBitmapToUse(LPCSTR lpszResourceName)
{
    splashVisible = TRUE;
    m_wndSplash.SetBitmapResource(lpszResourceName);
}

DWORD CSplashThread::ResumeThread()
{
    if (m_bStarted)
        return 0xFFFFFFFF;
    m_bStarted = TRUE;
    m_bRunning = TRUE;
    InitInstance();
    return 1;
}

BOOL CSplashThread::InitInstance()
{
    splashVisible = TRUE;
    // Both threads' input is one here: the splash and the frame share the user-interface thread.
    m_wndSplash.Create();
    m_pMainWnd = &m_wndSplash;
    return TRUE;
}

void CSplashThread::HideSplash()
{
    if (!splashVisible)
        return;
    // The window exists once the thread has run; a thread that has ended took its window with it,
    // and one that never ran has nothing to close.
    splashVisible = FALSE;
    m_wndSplash.allowClose = TRUE;
    if (m_bRunning && m_wndSplash.GetWidget())
        m_wndSplash.GetWidget()->close();  // WM_CLOSE: OnClose destroys the window
}
