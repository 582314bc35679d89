#include "online/pane/CHtmlView.h"

#include "platform/core/CFile.h"
#include "platform/core/Offline.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <cstdlib>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CHtmlView, CWndView)

namespace {
// WebEngine wants contexts shared across the process, set before the application object exists. Its
// sandbox refuses to start for root, so a program run as root runs the browser without it.
const bool g_bShareContexts = [] {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0)
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    return true;
}();

// Hands each main-frame navigation to the view before it happens.
class CHtmlViewPage : public QWebEnginePage {
public:
    CHtmlViewPage(CHtmlView* pView, QObject* pParent) : QWebEnginePage(pParent), m_pView(pView)
    {
        // Links of schemes the browser does not know (the galleries' "mz...:") must reach the view.
        settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame)
            return true;
        BOOL cancel = FALSE;
        const QByteArray text = url.toString(QUrl::FullyEncoded).toUtf8();
        m_pView->OnBeforeNavigate2(text.constData(), 0, nullptr, CString(), nullptr, &cancel);
        // A link the view lets through still stays on this machine while the program works offline.
        return !cancel && !AfxOfflineRefuses(text.constData());
    }

private:
    CHtmlView* m_pView;
};

// While the program works offline, no request of a page (its pictures, frames, scripts, redirects)
// goes to another machine.
class COfflineGate : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (AfxOfflineRefuses(info.requestUrl().toString(QUrl::FullyEncoded).toUtf8().constData()))
            info.block(true);
    }
};

QString QText(const char* psz) { return QString::fromUtf8(psz ? psz : ""); }
CString CText(const QString& s) { return CString(s.toUtf8().toStdString()); }
} // namespace

CHtmlView::CHtmlView() { (void)g_bShareContexts; }
CHtmlView::~CHtmlView()
{
    // The browser and its page report to this view: they go before it does.
    if (m_pBrowser) {
        QWebEngineView* pBrowser = m_pBrowser;
        m_pBrowser = nullptr;
        QObject::disconnect(pBrowser, nullptr, nullptr, nullptr);
        delete pBrowser;
    }
}

QWebEngineView* CHtmlView::GetBrowser()
{
    // The browser engine starts with the first browser: it is made when first needed, not with the
    // window, so a program whose pane stays off never starts it.
    if (m_pBrowser || !m_pClient)
        return m_pBrowser;
    m_pBrowser = new QWebEngineView(m_pClient);
    auto* pPage = new CHtmlViewPage(this, m_pBrowser);
    pPage->setUrlRequestInterceptor(new COfflineGate(pPage));
    m_pBrowser->setPage(pPage);
    m_pBrowser->setContextMenuPolicy(Qt::NoContextMenu);
    m_pBrowser->setAcceptDrops(m_bDropTarget != FALSE);
    m_pBrowser->setGeometry(m_pClient->rect());
    QObject::connect(m_pBrowser, &QWebEngineView::titleChanged, m_pBrowser,
                     [this](const QString& title) { OnTitleChange(CText(title)); });
    QObject::connect(m_pBrowser, &QWebEngineView::loadFinished, m_pBrowser, [this](bool ok) {
        if (ok)
            OnDocumentComplete(GetLocationURL());
    });
    QObject::connect(m_pBrowser, &QObject::destroyed, [this] { m_pBrowser = nullptr; });
    m_pBrowser->show();
    return m_pBrowser;
}

CString CHtmlView::AddressToUrl(const char* lpszAddress)
{
    QString address = QText(lpszAddress);
    // A scheme of two or more letters: an address; anything else is a path of the installation.
    static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
    if (scheme.match(address).hasMatch()) {
        address.replace('\\', '/');
        return CText(QUrl(address).toString(QUrl::FullyEncoded));
    }
    return CText(QUrl::fromLocalFile(QText(CFile::ToNativePath(lpszAddress))).toString(QUrl::FullyEncoded));
}

void CHtmlView::Navigate2(const char* lpszURL, DWORD, const char*, const char* lpszHeaders, const void*, DWORD)
{
    const CString url = AddressToUrl(lpszURL);
    if (AfxOfflineRefuses(url) || !GetBrowser())
        return;
    QWebEngineHttpRequest request(QUrl(QText(url)));
    const QStringList lines = QText(lpszHeaders).split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            request.setHeader(line.left(colon).trimmed().toLatin1(), line.mid(colon + 1).trimmed().toLatin1());
    }
    m_pBrowser->load(request);
}

void CHtmlView::SetRegisterAsDropTarget(BOOL bNewValue)
{
    m_bDropTarget = bNewValue;
    if (m_pBrowser)
        m_pBrowser->setAcceptDrops(bNewValue != FALSE);
}

CString CHtmlView::GetLocationURL() const
{
    return m_pBrowser ? CText(m_pBrowser->url().toString(QUrl::FullyEncoded)) : CString();
}

void CHtmlView::OnBeforeNavigate2(const char*, DWORD, const char*, const CString&, const char*, BOOL*) {}
void CHtmlView::OnTitleChange(const char*) {}
void CHtmlView::OnDocumentComplete(const char*) {}
void CHtmlView::OnDraw(CDC*) {}

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CWndView::OnSize(nType, cx, cy);
    if (m_pBrowser)
        m_pBrowser->setGeometry(0, 0, cx, cy);
}
