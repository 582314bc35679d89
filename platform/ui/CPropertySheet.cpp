#include "platform/ui/CPropertySheet.h"

#include "platform/ui/CPropertyPage.h"

#include <QDialog>
#include <QTabWidget>

#include <algorithm>

namespace {
// Each sheet lays itself out from a template of its own, registered under an id from this range.
UINT NextSheetTemplateID()
{
    static UINT nNext = 0xE100;
    return nNext++;
}

// Dialog units of the sheet's frame around the largest page: margins, the tab row, the button row.
constexpr int kMargin = 7;
constexpr int kTabRow = 16;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 6;
} // namespace

BEGIN_MESSAGE_MAP(CPropertySheet, CDialog)
    ON_COMMAND(ID_APPLY_NOW, &CPropertySheet::OnApplyNow)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(const char* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CDialog(NextSheetTemplateID(), pParentWnd), m_strCaption(pszCaption ? pszCaption : ""), m_nActive(int(iSelectPage))
{
    m_nSheetTemplate = GetTemplateID();
}

CPropertySheet::~CPropertySheet()
{
    DestroyControls();
    for (CPropertyPage* pPage : m_pages)
        if (pPage->m_pSheet == this)
            pPage->m_pSheet = nullptr;
    AfxRegisterDialogTemplate(m_nSheetTemplate, nullptr);
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage || GetPageIndex(pPage) >= 0)
        return;
    m_pages.push_back(pPage);
    m_opened.push_back(false);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[size_t(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : int(it - m_pages.begin());
}

int CPropertySheet::DoModal()
{
    if (m_pages.empty())
        return -1;
    if (m_nActive < 0 || m_nActive >= GetPageCount())
        m_nActive = 0;
    int cx = 0, cy = 0;
    for (CPropertyPage* pPage : m_pages)
        if (const DialogTemplate* pTemplate = AfxFindDialogTemplate(pPage->GetTemplateID())) {
            cx = std::max(cx, pTemplate->cx);
            cy = std::max(cy, pTemplate->cy);
        }
    const int width = cx + 2 * kMargin + 4;
    const int buttonsTop = kMargin + kTabRow + cy + 4 + kButtonGap;
    const int height = buttonsTop + kButtonHeight + kMargin;
    const int x3 = width - kMargin - kButtonWidth;
    const int x2 = x3 - kButtonGap - kButtonWidth;
    const int x1 = x2 - kButtonGap - kButtonWidth;
    m_template = {m_strCaption.GetString(),
                  width,
                  height,
                  {
                      {DialogItemKind::DefPushButton, IDOK, "OK", x1, buttonsTop, kButtonWidth, kButtonHeight},
                      {DialogItemKind::PushButton, IDCANCEL, "Cancel", x2, buttonsTop, kButtonWidth, kButtonHeight},
                      {DialogItemKind::PushButton, ID_APPLY_NOW, "&Apply", x3, buttonsTop, kButtonWidth, kButtonHeight,
                       WS_DISABLED},
                  }};
    AfxRegisterDialogTemplate(m_nSheetTemplate, &m_template);
    std::fill(m_opened.begin(), m_opened.end(), false);
    return CDialog::DoModal();
}

BOOL CPropertySheet::OnInitDialog()
{
    CDialog::OnInitDialog();
    QDialog* pWindow = GetQDialog();
    m_pTabs = new QTabWidget(pWindow);
    RECT tabs{kMargin, kMargin, m_template.cx - kMargin, m_template.cy - kMargin - kButtonHeight - kButtonGap};
    MapDialogRect(&tabs);
    m_pTabs->setGeometry(tabs.left, tabs.top, tabs.right - tabs.left, tabs.bottom - tabs.top);
    for (CPropertyPage* pPage : m_pages)
        m_pTabs->addTab(new QWidget, QString::fromLatin1(pPage->GetCaption().GetString()));
    m_bSwitching = true;
    m_pTabs->setCurrentIndex(m_nActive);
    m_bSwitching = false;
    QObject::connect(m_pTabs, &QTabWidget::currentChanged, pWindow, [this](int nIndex) { OnTabChanged(nIndex); });
    ShowPage(m_nActive);
    return TRUE;
}

void CPropertySheet::ShowPage(int nPage)
{
    CPropertyPage* pPage = GetPage(nPage);
    if (!pPage)
        return;
    if (!m_opened[size_t(nPage)]) {
        m_opened[size_t(nPage)] = true;
        pPage->CreatePageWindow(this, m_pTabs->widget(nPage));
    }
    pPage->OnSetActive();
}

void CPropertySheet::OnTabChanged(int nIndex)
{
    if (m_bSwitching || nIndex == m_nActive || !GetPage(nIndex))
        return;
    CPropertyPage* pOld = GetActivePage();
    if (pOld && m_opened[size_t(m_nActive)] && !pOld->OnKillActive()) {
        // The page refused to be left: the tab goes back to it.
        m_bSwitching = true;
        m_pTabs->setCurrentIndex(m_nActive);
        m_bSwitching = false;
        return;
    }
    m_nActive = nIndex;
    ShowPage(nIndex);
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (!GetPage(nPage))
        return FALSE;
    if (!m_pTabs) {
        m_nActive = nPage;
        return TRUE;
    }
    m_pTabs->setCurrentIndex(nPage);
    return m_nActive == nPage;
}

BOOL CPropertySheet::ApplyPages()
{
    CPropertyPage* pActive = GetActivePage();
    if (pActive && m_opened[size_t(m_nActive)] && !pActive->OnKillActive())
        return FALSE;
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_opened[i])
            m_pages[i]->OnApply();
    UpdateApplyButton();
    return TRUE;
}

void CPropertySheet::OnOK()
{
    if (ApplyPages())
        EndDialog(IDOK);
}

void CPropertySheet::OnCancel()
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_opened[i])
            m_pages[i]->OnReset();
    EndDialog(IDCANCEL);
}

void CPropertySheet::OnApplyNow() { ApplyPages(); }

void CPropertySheet::UpdateApplyButton()
{
    const bool changed = std::any_of(m_pages.begin(), m_pages.end(), [](CPropertyPage* p) { return p->IsModified(); });
    if (CDialogItem* pApply = GetDlgItem(int(ID_APPLY_NOW)))
        pApply->EnableWindow(changed);
}

void CPropertySheet::DestroyControls()
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_opened[i])
            m_pages[i]->DestroyControls();
        m_opened[i] = false;
    }
    m_pTabs = nullptr;
    CDialog::DestroyControls();
}
