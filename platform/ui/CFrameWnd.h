#pragma once
// The frame window over a QMainWindow: menu bar from a menu resource, accelerators, dockable toolbars,
// status bar with command prompts, and command routing: the active view (then its document), the frame
// itself, then the application. Commands from menus, toolbars and accelerators run only while their
// update handlers (or, without one, the presence of a handler) leave them enabled.
#include "platform/core/CObject.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CWnd.h"

#include <QtCore/qnamespace.h>

#include <vector>

class QMainWindow;
class QMenu;
class QAction;
class CControlBar;
class CDocTemplate;
class CDocument;
class CView;
class CWndView;
class CFrameBridge;

// What a frame needs to create its views: the view class and the document they show.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    class CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CObject, public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the top-level window with the menu, accelerators, icon and title string of nIDResource,
    // then OnCreate (which calls OnCreateClient with pContext).
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);

    QMainWindow* GetMainWindow() const;

    // Creates the client: by default one view of the context's view class.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // Creates a view of the context's class as a child of this frame; the frame deletes it when it goes.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // Makes pWnd the widget that fills the client area.
    void SetClientWindow(CWnd* pWnd);

    CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    CDocument* GetActiveDocument() const;
    // Gives the views of the frame their first update and shows the frame.
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    // Called when the user presses a mouse button in a child window: a view becomes the active view.
    void OnPaneMouseActivate(CWnd* pWnd);

    // Routing: the active view (which offers the command to its document), this frame, the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Runs a command from a menu, toolbar or accelerator when its update state allows it; FALSE when it
    // is disabled or nothing handles it.
    BOOL ExecuteCommand(UINT nID);
    // Whether the command would run now (its update state, or the presence of a handler).
    BOOL IsCommandEnabled(UINT nID);

    // The command of an accelerator of the frame's table (0 for none), and running it when enabled.
    // Qt key code and keyboard modifiers.
    UINT FindAccelerator(int nKey, Qt::KeyboardModifiers modifiers) const;
    // Whether a key sent to pTarget is translated by the accelerators: not while a modal dialog is up,
    // nor for a widget of another window (a dialog), nor for a text field, which takes its own keys.
    BOOL AcceleratorsApplyTo(const QWidget* pTarget) const;
    BOOL TranslateAccelerator(int nKey, Qt::KeyboardModifiers modifiers);

    // Idle processing: toolbars and status bar take their update handlers' states.
    virtual void OnIdleUpdateCmdUI();
    // The states of a menu's items, as when it opens.
    void UpdateMenuCmdUI(QMenu* pMenu);
    // The menu actions of a command id (empty when the menu has none).
    std::vector<QAction*> GetMenuActions(UINT nID) const;
    QMenu* GetMenuBarPopup(int nIndex) const;
    int GetMenuBarPopupCount() const;

    // Docking.
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0);
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID) const;
    void RecalcLayout(BOOL bNotify = TRUE);

    // Status-bar message pane: a command's prompt (the string before '\n'), or a text.
    void SetMessageText(const char* lpszText);
    void SetMessageText(UINT nID);
    virtual void GetMessageString(UINT nID, CString& rMessage) const;

    void OnClose() override;
    // Lays the client window out at once, so that handlers after it see the new pane sizes.
    void OnSize(UINT nType, int cx, int cy) override;
    void ActivateFrame(int nCmdShow = -1);

    // Registered by the control bars themselves.
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);

protected:
    void CreateWidgets(QWidget* pParent) override;
    QWidget* GetChildParentWidget() const override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;

    // The framework's Save and Save As of the active document (a document's own handlers come first).
    void OnFileSave();
    void OnFileSaveAs();
    void OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    UINT m_nIDHelp = 0;
    CString m_strTitle;
    DWORD m_dwFrameStyle = 0;

    DECLARE_MESSAGE_MAP()

private:
    friend class CFrameBridge;
    void BuildMenu(UINT nIDResource);
    void BuildAccelerators(UINT nIDResource);
    void UpdateRecentFileItems();

    QWidget* m_pCentral = nullptr;
    CView* m_pActiveView = nullptr;
    std::vector<CObject*> m_views; // made by CreateView, deleted with the frame
    CCreateContext* m_pCreateContext = nullptr;
    std::vector<CControlBar*> m_bars;
    std::vector<std::pair<UINT, QAction*>> m_menuActions;
    std::vector<QMenu*> m_popups;
    std::vector<AccelEntry> m_accelerators;
    CFrameBridge* m_pFrameBridge = nullptr;
    DWORD m_dwDockStyle = 0;
};
