#pragma once
// A modal property sheet over the dialog layer: a caption, one tab per page, and OK, Cancel and Apply.
// Leaving a page runs its checks first, and a failed check keeps the sheet on that page; OK and Apply
// check the active page and then hand the values to every page that was opened. DoModal goes through
// the dialog runner (SetDialogRunner), so tests drive a sheet as they drive any dialog.
#include "platform/ui/CDialog.h"

#include <vector>

class CPropertyPage;
class QTabWidget;

// The sheet's Apply button.
constexpr UINT ID_APPLY_NOW = 0x3021;

class CPropertySheet : public CDialog {
public:
    explicit CPropertySheet(const char* pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return int(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;
    int GetActiveIndex() const { return m_nActive; }
    CPropertyPage* GetActivePage() const { return GetPage(m_nActive); }
    // Before DoModal: the page to open on. While open: leaves the active page (which may refuse) and
    // shows this one. FALSE when the switch did not happen.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

    int DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnApplyNow();

    // Enables Apply while some page is marked changed.
    void UpdateApplyButton();
    QTabWidget* GetTabControl() const { return m_pTabs; }
    const CString& GetCaption() const { return m_strCaption; }

protected:
    void DestroyControls() override;
    DECLARE_MESSAGE_MAP()

private:
    // Checks the active page and applies every opened page; FALSE when the active page refused.
    BOOL ApplyPages();
    void ShowPage(int nPage);
    void OnTabChanged(int nIndex);

    CString m_strCaption;
    std::vector<CPropertyPage*> m_pages;
    std::vector<bool> m_opened;
    int m_nActive = 0;
    UINT m_nSheetTemplate = 0;
    DialogTemplate m_template;
    QTabWidget* m_pTabs = nullptr;
    bool m_bSwitching = false;
};
