#pragma once
// The information pane: the lower row of the main frame's splitter, a web view that rotates through
// information pages (online from the redirect script, offline from the installation's page list) on
// three one-shot timers, sized by each page's title; it also carries the version probe, the online
// galleries with their "mz...:" item links, and the update pages.
#include "online/CAdList.h"
#include "online/CWebGrab.h"
#include "online/GalleryLink.h"
#include "online/PageTitle.h"
#include "online/pane/CHtmlView.h"

#include <functional>

class CAdWindow;
class CRasterImage;

// What the pane needs of the application, the main frame, the document and the view. The application
// installs it; with none, the pane is off and every call does nothing.
struct CAdWindowShell {
    std::function<BOOL()> isInfoPaneVisible;                   // the user switched the pane on
    std::function<void(int height, int minimum)> setAdPaneHeight; // CMainFrame::SetAdPaneHeight
    std::function<int()> paneMin;                               // the frame's current pane minimum
    std::function<BOOL()> isInternetConnected;                  // CVantrelApp::IsInternetConnected
    std::function<void(CAdWindow*)> registerPane;               // the application's pane pointer
    std::function<CString()> installPath;                       // the document's install path
    // CVantrelApp::DownloadFile: TRUE with the written file in path.
    std::function<BOOL(const char* address, const char* prefix, const char* destination, CString& path)>
        downloadFile;
    // Applies a decoded mask to the current template; FALSE (nothing done) when Apply Mask is disabled.
    std::function<BOOL(CRasterImage& image)> applyMask;
    // Opens a maze file as the current document, which it replaces only when the file reads whole.
    std::function<BOOL(const char* path)> openTemplate;
    // Ends the program at once after a fatal installation error (no shut-down steps).
    std::function<void()> abortProgram;
};
CAdWindowShell SetAdWindowShell(CAdWindowShell shell);
const CAdWindowShell& GetAdWindowShell();

class CAdWindow : public CHtmlView {
    DECLARE_DYNCREATE(CAdWindow)
public:
    static constexpr UINT_PTR PAGE_TIMER = 1;
    static constexpr UINT_PTR EXPAND_TIMER = 2;
    static constexpr UINT_PTR COLLAPSE_TIMER = 3;
    static constexpr UINT COLLAPSE_STEP_MS = 50;

    CAdWindow();
    ~CAdWindow() override;

    void OnInitialUpdate() override;
    void OnBeforeNavigate2(const char* lpszURL, DWORD nFlags, const char* lpszTargetFrameName,
                           const CString& postedData, const char* lpszHeaders, BOOL* pbCancel) override;
    void OnTitleChange(const char* lpszText) override;
    void OnDocumentComplete(const char* lpszURL) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnSize(UINT nType, int cx, int cy) override;

    // Called by the document at every grid rebuild: leaves gallery mode and collapses the pane.
    BOOL HideAdPane();
    // Mode 1: the download page of a newer version; any other: the update check page.
    BOOL ShowUpdatePage(int mode);
    // Reads folder + "\\index.lst" into ads once per pane; returns the entries added. A list that
    // cannot be read or holds fewer than ten entries ends the program with its message.
    int LoadAdList(const char* lpszFolder);

    void OnTemplateGallery();
    void OnTilerGallery();
    void OnMaskGallery();
    void OnCheckForUpdates();

    // The process has not yet shown the download page for a newer version.
    static BOOL updatePagePending;

    int galleryMode = 0;
    int connected = 0;
    int collapseDelayMs = 0;
    CString titleMessage;
    int expandDelayMs = 0;
    int expandedHeight = 0;
    int shownHeight = 0;
    int nextAdMs = 0;
    int titleMode = 0;
    CAdListArray ads;
    CWebGrab webGrab;

    DECLARE_MESSAGE_MAP()

private:
    int m_nLastHeight = -1;  // the height of the last size event

    void ShowGallery(const char* lpszLocationCode);
    void NavigatePane(const CString& address);
    void KillAllTimers();
    void LeaveGalleryMode();
    void Redraw();
    void TakeGalleryItem(const GalleryLink& link);
    void TakeMask(const GalleryLink& link);
    void TakeTemplate(const GalleryLink& link);
    void TakeTiler(const GalleryLink& link);
};
