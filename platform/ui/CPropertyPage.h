#pragma once
// A page of a property sheet: a dialog laid out from its template inside one tab of the sheet. The
// page's window is made the first time the page is shown and lives until the sheet closes; the page
// object itself can outlive any number of sheets. Values move between members and controls through
// DoDataExchange: into the controls when the page opens and each time it becomes active again, back
// (with the checks) when the user leaves it or presses OK or Apply.
#include "platform/core/CObject.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/ui/CDialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog, public CObject {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate);
    ~CPropertyPage() override;

    // The page became the sheet's active page. The default moves the members into the controls,
    // except on the first activation, which follows OnInitDialog. FALSE keeps the page from showing.
    virtual BOOL OnSetActive();
    // The page is being left (another tab, OK, Apply). The default takes the controls back with the
    // checks; FALSE keeps the sheet on this page.
    virtual BOOL OnKillActive();
    // OK or Apply accepted the sheet's values; the default calls OnOK.
    virtual BOOL OnApply();
    // The sheet was cancelled.
    virtual void OnReset();
    // Called by OnApply: the default clears the changed mark.
    void OnOK() override;
    void OnCancel() override;

    // Marks the page changed (the sheet's Apply button is enabled while a page is marked).
    void SetModified(BOOL bChanged = TRUE);
    BOOL IsModified() const { return m_bModified; }
    CPropertySheet* GetParentSheet() const { return m_pSheet; }
    // The tab's text: the caption of the page's template.
    CString GetCaption() const;

    // Checks nIDCheckButton and unchecks the other buttons from nIDFirstButton to nIDLastButton.
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    // The checked button between the two ids, or 0.
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;

    // OK and Cancel of the page's own window (Enter, Escape) act on the sheet.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

private:
    friend class CPropertySheet;
    // Makes the page's window inside pParent and runs OnInitDialog; FALSE without a template.
    BOOL CreatePageWindow(CPropertySheet* pSheet, QWidget* pParent);

    CPropertySheet* m_pSheet = nullptr;
    BOOL m_bModified = FALSE;
    BOOL m_bFirstSetActive = TRUE;
};

// A picture control: shows a bitmap at its own size.
class CStatic : public CDialogItem {
public:
    // Shows the bitmap (a copy of its pixels; the caller keeps the bitmap). Returns the bitmap shown
    // before, or null.
    HBITMAP SetBitmap(HBITMAP hBitmap);
    HBITMAP GetBitmap() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap = nullptr;
};
