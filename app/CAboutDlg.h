#pragma once
// The About box (dialog 100): the version line, the picture and the home-page line, each of which
// opens the home page when clicked; the dialog stays open.
#include "platform/ui/CDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    // "FREE Quillmont Version FREE_QL19".
    CString m_strVersion;
    CDialogItem m_versionText;

    BOOL OnInitDialog() override;
    void OnHomePageLink();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()
};
