#pragma once
// A view that hosts a web browser (Qt WebEngine) filling its window, with the browser notifications a
// derived view overrides: before-navigate (which can cancel), title change and document complete. The
// browser is made when the view first opens a page; until then the window shows its white background.
// (The first browser moves its top-level window to OpenGL composition, for which the toolkit makes that
// window anew, once.)
#include "platform/ui/CWndView.h"

#include <memory>

class QWebEngineView;

class CHtmlView : public CWndView {
    DECLARE_DYNAMIC(CHtmlView)
public:
    CHtmlView();
    ~CHtmlView() override;

    // Opens an address: a URL ("http:", "ftp:", "file:"..., backslashes taken as slashes) or a local file
    // path. lpszHeaders: header lines "Name:Value", each ended by CR or LF, sent with the request.
    // The target frame and post data are not supported and must be null. While the program works
    // offline, an address of another machine is not opened, nor is any request of a page sent there.
    void Navigate2(const char* lpszURL, DWORD dwFlags = 0, const char* lpszTargetFrameName = nullptr,
                   const char* lpszHeaders = nullptr, const void* lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    // Whether files can be dropped on the browser.
    void SetRegisterAsDropTarget(BOOL bNewValue);
    // The browser's position in its container; it always fills the view, so the values are only kept.
    void SetTop(long nNewValue) { m_nTop = nNewValue; }
    void SetLeft(long nNewValue) { m_nLeft = nNewValue; }
    CString GetLocationURL() const;
    // The browser, made when first asked for: the first navigation makes it (or a caller that needs
    // it), so the browser engine starts only once the pane shows a page.
    QWebEngineView* GetBrowser();
    BOOL HasBrowser() const { return m_pBrowser != nullptr; }

    // Before each navigation of the main frame: set *pbCancel to TRUE to stop it.
    virtual void OnBeforeNavigate2(const char* lpszURL, DWORD nFlags, const char* lpszTargetFrameName,
                                   const CString& postedData, const char* lpszHeaders, BOOL* pbCancel);
    virtual void OnTitleChange(const char* lpszText);
    // After a page has loaded (not after a failed load).
    virtual void OnDocumentComplete(const char* lpszURL);

    void OnDraw(CDC* pDC) override;
    void OnSize(UINT nType, int cx, int cy) override;

    // The URL text an address of the program stands for.
    static CString AddressToUrl(const char* lpszAddress);

private:
    QWebEngineView* m_pBrowser = nullptr;
    BOOL m_bDropTarget = TRUE;
    long m_nTop = 0;
    long m_nLeft = 0;
};
