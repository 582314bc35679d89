#include "online/pane/CAdWindow.h"

#include "online/WebLinkScheme.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Offline.h"
#include "platform/core/Profile.h"
#include "resources/resource.h"

#include <cstdlib>

IMPLEMENT_DYNCREATE(CAdWindow, CHtmlView)

BEGIN_MESSAGE_MAP(CAdWindow, CHtmlView)
    ON_COMMAND(ID_TEMPLATE_GALLERY, &CAdWindow::OnTemplateGallery)
    ON_COMMAND(ID_TILER_GALLERY, &CAdWindow::OnTilerGallery)
    ON_COMMAND(ID_MASK_GALLERY, &CAdWindow::OnMaskGallery)
    ON_COMMAND(ID_CHECK_FOR_UPDATES, &CAdWindow::OnCheckForUpdates)
END_MESSAGE_MAP()

BOOL CAdWindow::updatePagePending = TRUE;

namespace {
CAdWindowShell& Shell()
{
    static CAdWindowShell shell;
    return shell;
}

BOOL PaneVisible() { return Shell().isInfoPaneVisible ? Shell().isInfoPaneVisible() : FALSE; }

void SetPaneHeight(int height, int minimum)
{
    if (Shell().setAdPaneHeight)
        Shell().setAdPaneHeight(height, minimum);
}

BOOL InternetConnected() { return Shell().isInternetConnected ? Shell().isInternetConnected() : FALSE; }

[[noreturn]] void EndProgram()
{
    if (Shell().abortProgram)
        Shell().abortProgram();
    std::_Exit(EXIT_FAILURE);
}
} // namespace

CAdWindowShell SetAdWindowShell(CAdWindowShell shell)
{
    CAdWindowShell previous = std::move(Shell());
    Shell() = std::move(shell);
    return previous;
}

const CAdWindowShell& GetAdWindowShell() { return Shell(); }

CAdWindow::CAdWindow() = default;
CAdWindow::~CAdWindow() = default;

// ---- Rotation ------------------------------------------------------------------------------------------

void CAdWindow::OnInitialUpdate()
{
    galleryMode = 0;
    SetRegisterAsDropTarget(FALSE);
    SetTop(100);
    SetLeft(100);
    const CString installPath = Shell().installPath ? Shell().installPath() : CString();
    LoadAdList(installPath + "html\\");
    if (Shell().registerPane)
        Shell().registerPane(this);
    connected = InternetConnected();
    if (connected && ProbeNewerVersion(webGrab)) {
        if (updatePagePending) {
            updatePagePending = FALSE;
            ShowUpdatePage(1);
        }
        return;
    }
    SetTimer(PAGE_TIMER, 1);
}

int CAdWindow::LoadAdList(const char* lpszFolder)
{
    // The list is read once: later initial updates keep it, so a list changed or removed while the
    // program runs neither doubles the entries nor ends the session.
    if (!ads.IsEmpty())
        return 0;
    int added = 0;
    const AdListStatus status = ReadAdList(lpszFolder, ads, &added);
    if (status != AdListStatus::Ok) {
        ads.RemoveAll();
        AfxMessageBox(status == AdListStatus::CannotRead ? kAdListReadError : kAdListShortError, MB_OK);
        EndProgram();
    }
    return added;
}

void CAdWindow::OnTimer(UINT_PTR nIDEvent)
{
    KillTimer(nIDEvent);
    connected = InternetConnected();
    switch (nIDEvent) {
    case PAGE_TIMER:
        if (!PaneVisible()) {
            SetPaneHeight(1, 0);
            KillTimer(PAGE_TIMER);
        } else if (connected) {
            NavigatePane(RedirectAddressFor("info"));
        } else {
            CProfile& profile = AfxGetProfile();
            const int next = NextAdIndex(ads, profile.GetProfileString("Ads", "LastAd", "NoLastCode"));
            if (next >= 0) {
                const CAdList entry = ads[next];
                NavigatePane(entry.location);
                profile.WriteProfileString("Ads", "LastAd", entry.code);
            }
        }
        KillTimer(EXPAND_TIMER);
        KillTimer(COLLAPSE_TIMER);
        break;
    case EXPAND_TIMER:
        // A pane switched off since its page loaded stays collapsed.
        if (!PaneVisible())
            break;
        SetPaneHeight(expandedHeight, expandedHeight);
        SetTimer(COLLAPSE_TIMER, UINT(collapseDelayMs));
        break;
    case COLLAPSE_TIMER:
        expandedHeight = CollapsedHeight(expandedHeight);
        SetPaneHeight(expandedHeight, 0);
        // The resize passes through OnSize, which stores the height the pane really got.
        if (expandedHeight > 0)
            SetTimer(COLLAPSE_TIMER, COLLAPSE_STEP_MS);
        break;
    default:
        break;
    }
    CHtmlView::OnTimer(nIDEvent);
}

void CAdWindow::OnTitleChange(const char* lpszText)
{
    CPageTitleParameters params{titleMode, nextAdMs, shownHeight, expandedHeight, expandDelayMs, collapseDelayMs,
                                titleMessage};
    if (ApplyPageTitle(lpszText, params)) {
        SetWindowText(lpszText);
        titleMode = params.titleMode;
        nextAdMs = params.nextAdMs;
        shownHeight = params.shownHeight;
        expandedHeight = params.expandedHeight;
        expandDelayMs = params.expandDelayMs;
        collapseDelayMs = params.collapseDelayMs;
        titleMessage = params.titleMessage;
    }
    CHtmlView::OnTitleChange(lpszText);
}

void CAdWindow::OnDocumentComplete(const char* lpszURL)
{
    if (titleMode == 2)
        AfxMessageBox(titleMessage, MB_OK);
    if (galleryMode) {
        nextAdMs = -1;
        SetPaneHeight(10000, 1);
    } else if (PaneVisible()) {
        SetTimer(PAGE_TIMER, UINT(nextAdMs));
        SetTimer(EXPAND_TIMER, UINT(expandDelayMs));
        SetPaneHeight(shownHeight, shownHeight);
    }
    CHtmlView::OnDocumentComplete(lpszURL);
}

void CAdWindow::OnSize(UINT nType, int cx, int cy)
{
    CHtmlView::OnSize(nType, cx, cy);
    int minimum = 0;
    if (PaneVisible()) {
        if (nextAdMs == -2) {
            galleryMode = 0;
            SetTimer(PAGE_TIMER, 1);
        }
        if (nextAdMs == -1)
            nextAdMs = -2;
        minimum = Shell().paneMin ? Shell().paneMin() : 0;
    }
    // Only a change of height is the pane's new size: a window that only gets wider or narrower
    // leaves a shrinking pane shrinking.
    const bool bHeightChanged = cy != m_nLastHeight;
    m_nLastHeight = cy;
    if (cy < minimum) {
        SetPaneHeight(minimum, minimum);
    } else if (minimum == 0 && bHeightChanged) {
        KillTimer(COLLAPSE_TIMER);
        expandedHeight = cy;
    }
    Redraw();
}

BOOL CAdWindow::HideAdPane()
{
    galleryMode = 0;
    expandedHeight = 0;
    SetPaneHeight(1, 0);
    Redraw();
    return TRUE;
}

void CAdWindow::Redraw()
{
    Invalidate(TRUE);
    UpdateWindow();
}

void CAdWindow::NavigatePane(const CString& address) { Navigate2(address, 0, nullptr, NAVIGATION_HEADERS); }

void CAdWindow::KillAllTimers()
{
    KillTimer(PAGE_TIMER);
    KillTimer(EXPAND_TIMER);
    KillTimer(COLLAPSE_TIMER);
}

void CAdWindow::LeaveGalleryMode()
{
    galleryMode = 0;
    SetTimer(PAGE_TIMER, 1);
}

// ---- Galleries and update pages ------------------------------------------------------------------------

void CAdWindow::ShowGallery(const char* lpszLocationCode)
{
    // Offline, the page is not asked for: a message says so and the pane goes on as it was.
    const CString address = RedirectAddressFor(lpszLocationCode);
    if (AfxOfflineRefuses(address)) {
        AfxMessageBox(OfflineNotice(address), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    galleryMode = 1;
    NavigatePane(address);
    KillAllTimers();
}

BOOL CAdWindow::ShowUpdatePage(int mode)
{
    ShowGallery(mode == 1 ? "latestdownloadfree" : "CHECKUPDATE");
    return TRUE;
}

void CAdWindow::OnTemplateGallery() { ShowGallery("templates_v2"); }
void CAdWindow::OnTilerGallery() { ShowGallery("TILERS"); }
void CAdWindow::OnMaskGallery() { ShowGallery("MASKS"); }
void CAdWindow::OnCheckForUpdates() { ShowUpdatePage(0); }
