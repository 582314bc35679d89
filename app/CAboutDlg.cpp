#include "app/CAboutDlg.h"

#include "app/CVantrelApp.h"
#include "online/WebLinks.h"
#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_COMMAND(IDC_ABOUT_PICTURE, &CAboutDlg::OnHomePageLink)
    ON_COMMAND(IDC_ABOUT_VERSION, &CAboutDlg::OnHomePageLink)
    ON_COMMAND(IDC_ABOUT_HOMEPAGE, &CAboutDlg::OnHomePageLink)
END_MESSAGE_MAP()

namespace {
const DialogTemplate& AboutTemplate()
{
    static const DialogTemplate t = {
        "About FREE Quillmont",
        270,
        96,
        {
            {DialogItemKind::Picture, IDC_ABOUT_PICTURE, "", 7, 7, 60, 60, 0, false, IDB_SPLASH},
            {DialogItemKind::Static, IDC_ABOUT_VERSION, "", 75, 10, 188, 10},
            {DialogItemKind::Static, IDC_ABOUT_HOMEPAGE, "", 75, 30, 188, 10},
            {DialogItemKind::DefPushButton, IDOK, "OK", 213, 75, 50, 14},
        },
    };
    return t;
}

// Turns a click on a label into the command of its id, as a notifying static control sends it.
class CLinkClick : public QObject {
public:
    CLinkClick(CDialog* pDialog, UINT nID, QObject* pParent) : QObject(pParent), m_pDialog(pDialog), m_nID(nID) {}
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(pEvent)->button() == Qt::LeftButton) {
            m_pDialog->OnCmdMsg(m_nID, CN_COMMAND, nullptr, nullptr);
            return true;
        }
        return QObject::eventFilter(pObject, pEvent);
    }

private:
    CDialog* m_pDialog;
    UINT m_nID;
};
} // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX)
{
    AfxRegisterDialogTemplate(IDD_ABOUTBOX, &AboutTemplate());
    m_strVersion = CString("FREE Quillmont") + " Version " + kVersionCode;
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_VERSION, m_versionText);
    m_versionText.SetWindowText(m_strVersion);
}

BOOL CAboutDlg::OnInitDialog()
{
    const BOOL bResult = CDialog::OnInitDialog();
    if (CDialogItem* pItem = GetDlgItem(IDC_ABOUT_HOMEPAGE))
        pItem->SetWindowText(HomePageAddress());
    for (UINT nID : {IDC_ABOUT_PICTURE, IDC_ABOUT_VERSION, IDC_ABOUT_HOMEPAGE})
        if (CDialogItem* pItem = GetDlgItem(int(nID)); pItem && pItem->GetWidget()) {
            pItem->GetWidget()->setCursor(Qt::PointingHandCursor);
            pItem->GetWidget()->installEventFilter(new CLinkClick(this, nID, pItem->GetWidget()));
        }
    return bResult;
}

void CAboutDlg::OnHomePageLink()
{
    if (auto* pApp = dynamic_cast<CVantrelApp*>(AfxGetApp()))
        pApp->OnHomePage();
}
