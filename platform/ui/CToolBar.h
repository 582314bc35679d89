#pragma once
// A toolbar over QToolBar, loaded from a toolbar resource: one button per command id, images cut from
// the resource's strip, tooltips and status prompts from the string table.
#include "platform/ui/CControlBar.h"

#include <vector>

class QAction;
class QToolBar;
class CToolBar;

// The button-level operations of a toolbar (the messages TB_PRESSBUTTON, TB_HIDEBUTTON, TB_AUTOSIZE).
class CToolBarCtrl {
public:
    explicit CToolBarCtrl(CToolBar* pBar) : m_pBar(pBar) {}
    BOOL PressButton(int nID, BOOL bPress = TRUE);
    BOOL HideButton(int nID, BOOL bHide = TRUE);
    void AutoSize();
    BOOL IsButtonPressed(int nID) const;
    BOOL IsButtonHidden(int nID) const;
    BOOL IsButtonEnabled(int nID) const;
    BOOL IsButtonChecked(int nID) const { return IsButtonPressed(nID); }
    // TB_PRESSBUTTON and TB_HIDEBUTTON take the id in wParam and the state in the low word of lParam.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

private:
    CToolBar* m_pBar;
};

class CToolBar : public CControlBar {
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL LoadToolBar(UINT nIDResource);
    CToolBarCtrl& GetToolBarCtrl() { return m_ctrl; }
    QToolBar* GetQToolBar() const;

    int GetCount() const { return int(m_ids.size()); }
    UINT GetItemID(int nIndex) const { return m_ids.at(std::size_t(nIndex)); }
    int CommandToIndex(UINT nID) const;
    // The action of a button (null for a separator or an unknown id).
    QAction* GetButtonAction(UINT nID) const;

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    void CreateWidgets(QWidget* pParent) override;

private:
    CToolBarCtrl m_ctrl;
    std::vector<UINT> m_ids;
    std::vector<QAction*> m_actions;
};
