#pragma once
// The state of a menu item or toolbar button (a QAction) as an update handler sets it. A menu item
// shows a check mark only while checked; a toolbar button, once pressed, stays a two-state button.
#include "platform/core/CCmdTarget.h"
#include "platform/ui/QtText.h"

#include <QAction>

class CActionCmdUI : public CCmdUI {
public:
    enum Kind { MenuItem, ToolButton };
    CActionCmdUI(QAction* pAction, Kind kind) : m_pAction(pAction), m_kind(kind) {}

    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        m_pAction->setEnabled(bOn);
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        if (m_kind == MenuItem)
            m_pAction->setCheckable(nCheck != 0);
        else if (nCheck)
            m_pAction->setCheckable(true);
        m_pAction->setChecked(nCheck != 0);
    }
    void SetText(const char* lpszText) override
    {
        if (m_kind == MenuItem)
            m_pAction->setText(QStr(lpszText));
    }

private:
    QAction* m_pAction;
    Kind m_kind;
};
