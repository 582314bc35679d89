#pragma once
// The status bar: the message pane (command prompts and the idle text) and indicator panes.
#include "platform/ui/CControlBar.h"

#include <vector>

class QLabel;
class QStatusBar;

class CStatusBar : public CControlBar {
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    // Pane 0 is the message pane when its id is ID_SEPARATOR; the others show their string resource.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    int GetCount() const { return int(m_ids.size()); }
    UINT GetItemID(int nIndex) const { return m_ids.at(std::size_t(nIndex)); }
    int CommandToIndex(UINT nID) const;
    BOOL SetPaneText(int nIndex, const char* lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    // The text the message pane shows now (a prompt, or the idle text).
    CString GetMessageText() const;
    QStatusBar* GetQStatusBar() const;

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    void CreateWidgets(QWidget* pParent) override;

private:
    std::vector<UINT> m_ids;
    std::vector<QLabel*> m_panes;
};
