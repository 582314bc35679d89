#include "platform/ui/CFrameWnd.h"

#include "platform/core/CDocument.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CActionCmdUI.h"
#include "platform/ui/CControlBar.h"
#include "platform/ui/CSingleDocTemplate.h"
#include "platform/ui/CWinApp.h"
#include "platform/ui/CWndView.h"
#include "platform/ui/QtText.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QKeyEvent>
#include <QWindow>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

IMPLEMENT_DYNCREATE(CFrameWnd, CObject)

BEGIN_MESSAGE_MAP(CFrameWnd, CCmdTarget)
    ON_COMMAND(ID_FILE_SAVE, &CFrameWnd::OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, &CFrameWnd::OnFileSaveAs)
    ON_COMMAND_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck)
    ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu)
END_MESSAGE_MAP()

namespace {
const char* const kIdProperty = "vantrel_id";

// The accelerator key code of a Qt key: letters and digits as themselves. With Shift held, a digit
// key reports the character above it; those of the common layout map back to their digit.
WORD AccelKeyCode(int nKey)
{
    if (nKey >= Qt::Key_A && nKey <= Qt::Key_Z)
        return WORD('A' + (nKey - Qt::Key_A));
    if (nKey >= Qt::Key_0 && nKey <= Qt::Key_9)
        return WORD('0' + (nKey - Qt::Key_0));
    static const std::pair<int, char> shifted[] = {
        {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
        {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'}};
    for (const auto& [qt, digit] : shifted)
        if (nKey == qt)
            return WORD(digit);
    return 0;
}
} // namespace

// Accelerators come before shortcuts, menu mnemonics and the focus window, as the frame's translation
// of keys does: a key combination of an enabled command runs it and goes no further. They belong to
// the frame's own window: keys typed into a dialog (modal or not), or while a modal dialog is up, or
// into a text field of the frame (the in-place editor) go to that dialog or field.
class CAcceleratorFilter : public QObject {
public:
    static void Install()
    {
        static CAcceleratorFilter* pFilter = nullptr;
        if (!pFilter && QCoreApplication::instance()) {
            pFilter = new CAcceleratorFilter;
            pFilter->setParent(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(pFilter);
        }
    }

    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        const QEvent::Type type = pEvent->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
            return false;
        auto* e = static_cast<QKeyEvent*>(pEvent);
        const auto combination = std::make_pair(e->key(), e->modifiers());
        if (type == QEvent::KeyPress) {
            // The press that follows a translated override is spent.
            const bool spent = m_bSpent && m_spent == combination;
            m_bSpent = false;
            return spent;
        }
        QWidget* pWidget = WidgetOf(pObject);
        CFrameWnd* pFrame = FrameOf(pWidget);
        if (!pFrame || !pFrame->AcceleratorsApplyTo(KeyWidget(pWidget)) || !pFrame->FindAccelerator(e->key(), e->modifiers()))
            return false;
        if (!pFrame->TranslateAccelerator(e->key(), e->modifiers()))
            return false;
        e->accept();
        m_bSpent = true;
        m_spent = combination;
        return true;
    }

private:
    static QWidget* WidgetOf(QObject* pObject)
    {
        if (auto* pWindow = qobject_cast<QWindow*>(pObject))
            return QWidget::find(pWindow->winId());
        return qobject_cast<QWidget*>(pObject);
    }

    // The widget a key is meant for: the key reaches the window first and climbs from the focus
    // widget to its parents, so along that road it is the focus widget's.
    static QWidget* KeyWidget(QWidget* pWidget)
    {
        QWidget* pFocus = QApplication::focusWidget();
        if (pWidget && pFocus && (pFocus == pWidget || pWidget->isAncestorOf(pFocus)))
            return pFocus;
        return pWidget;
    }

    static CFrameWnd* FrameOf(QWidget* pWidget)
    {
        for (QWidget* w = pWidget ? pWidget->window() : nullptr; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
            if (auto* pFrame = dynamic_cast<CFrameWnd*>(CWnd::FromWidget(w)))
                return pFrame;
        return nullptr;
    }

    bool m_bSpent = false;
    std::pair<int, Qt::KeyboardModifiers> m_spent;
};

// Turns the main window's resize into OnSizing (which may change the new size) and its close into OnClose.
class CFrameBridge : public QObject {
public:
    explicit CFrameBridge(CFrameWnd* pFrame) : m_pFrame(pFrame) {}
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Resize && pObject == m_pFrame->GetWidget() && !m_bAdjusting) {
            QWidget* w = m_pFrame->GetWidget();
            const QRect g = w->geometry();
            CRect rc(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
            const CRect before = rc;
            m_pFrame->OnSizing(WMSZ_BOTTOMRIGHT, &rc);
            if (!rc.EqualRect(before)) {
                m_bAdjusting = true;
                w->resize(rc.Width(), rc.Height());
                m_bAdjusting = false;
            }
        }
        return QObject::eventFilter(pObject, pEvent);
    }

private:
    CFrameWnd* m_pFrame;
    bool m_bAdjusting = false;
};

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd()
{
    if (CWinApp* pApp = AfxGetApp(); pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    // Views first: they leave their document and their widgets before the frame's goes.
    m_pActiveView = nullptr;
    for (CObject* pObject : m_views)
        delete pObject;
    m_views.clear();
    delete m_pFrameBridge;
}

QMainWindow* CFrameWnd::GetMainWindow() const { return static_cast<QMainWindow*>(m_pWidget); }

void CFrameWnd::CreateWidgets(QWidget* pParent)
{
    auto* pMain = new QMainWindow(pParent);
    m_pCentral = new QWidget(pMain);
    pMain->setCentralWidget(m_pCentral);
    m_pWidget = pMain;
    m_pClient = m_pCentral;
    m_pFrameBridge = new CFrameBridge(this);
    pMain->installEventFilter(m_pFrameBridge);
}

QWidget* CFrameWnd::GetChildParentWidget() const { return m_pWidget; }

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    if (const char* s = AfxFindString(nIDResource)) {
        CString str(s);
        int nl = str.Find('\n');
        m_strTitle = nl >= 0 ? str.Left(nl) : str;
    }
    m_pCreateContext = pContext;
    m_dwFrameStyle = dwDefaultStyle;
    CREATESTRUCT cs;
    cs.style = dwDefaultStyle;
    cs.lpszName = m_strTitle;
    if (!PreCreateWindow(cs))
        return FALSE;
    if (cs.lpszName)
        m_strTitle = cs.lpszName;
    m_pParent = pParentWnd;
    CreateWidgets(nullptr);
    AttachWidgets();
    // The client area of a frame is covered by its children; it needs no painting of its own.
    m_pClient->setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_pWidget->setWindowTitle(QStr(m_strTitle));
    if (const ResourceTables* t = AfxGetResourceTables()) {
        QIcon icon;
        for (const char* path : t->iconPaths)
            if (path)
                icon.addFile(QStr(path));
        if (!icon.isNull())
            m_pWidget->setWindowIcon(icon);
    }
    BuildMenu(nIDResource);
    BuildAccelerators(nIDResource);
    if (OnCreate(&cs) == -1) {
        m_pCreateContext = nullptr;
        return FALSE;
    }
    m_pCreateContext = nullptr;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return OnCreateClient(lpcs, m_pCreateContext) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass) {
        CWnd* pView = CreateView(pContext, AFX_IDW_PANE_FIRST);
        if (!pView)
            return FALSE;
        SetClientWindow(pView);
    }
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    auto* pWnd = dynamic_cast<CWnd*>(pObject);
    if (!pWnd) {
        delete pObject;
        return nullptr;
    }
    if (auto* pView = dynamic_cast<CView*>(pObject); pView && pContext->m_pCurrentDoc)
        pContext->m_pCurrentDoc->AddView(pView);
    if (!pWnd->Create(this, nID, WS_CHILD | WS_VISIBLE)) {
        delete pObject;
        return nullptr;
    }
    m_views.push_back(pObject);
    return pWnd;
}

void CFrameWnd::SetClientWindow(CWnd* pWnd)
{
    auto* pLayout = static_cast<QVBoxLayout*>(m_pCentral->layout());
    if (!pLayout) {
        pLayout = new QVBoxLayout(m_pCentral);
        pLayout->setContentsMargins(0, 0, 0, 0);
        pLayout->setSpacing(0);
    }
    while (QLayoutItem* pItem = pLayout->takeAt(0))
        delete pItem;
    pLayout->addWidget(pWnd->GetWidget());
    pWnd->GetWidget()->show();
}

void CFrameWnd::BuildMenu(UINT nIDResource)
{
    const MenuResource* pMenu = AfxFindMenu(nIDResource);
    if (!pMenu)
        return;
    QMenuBar* pBar = GetMainWindow()->menuBar();
    std::vector<QMenu*> stack;
    for (const MenuEntry* e = pMenu->entries;; ++e) {
        if (e->kind == MENU_END) {
            if (stack.empty())
                break;
            stack.pop_back();
            continue;
        }
        const QString text = QStr(e->text ? e->text : "");
        if (e->kind == MENU_POPUP) {
            QMenu* pPopup = stack.empty() ? pBar->addMenu(text) : stack.back()->addMenu(text);
            QObject::connect(pPopup, &QMenu::aboutToShow, pPopup, [this, pPopup] { UpdateMenuCmdUI(pPopup); });
            m_popups.push_back(pPopup);
            stack.push_back(pPopup);
            continue;
        }
        if (stack.empty())
            continue;
        if (e->kind == MENU_SEPARATOR) {
            stack.back()->addSeparator();
            continue;
        }
        // The recent-file placeholder stands for the whole list: one item per possible entry.
        const UINT count = e->id == ID_FILE_MRU_FILE1 ? 4 : 1;
        for (UINT i = 0; i < count; ++i) {
            const UINT nID = e->id + i;
            QAction* pAction = stack.back()->addAction(text);
            pAction->setProperty(kIdProperty, nID);
            CString prompt;
            GetMessageString(nID, prompt);
            pAction->setStatusTip(QStr(prompt));
            if (i > 0)
                pAction->setVisible(false);
            QObject::connect(pAction, &QAction::triggered, pAction, [this, nID] { ExecuteCommand(nID); });
            m_menuActions.emplace_back(nID, pAction);
        }
    }
}

void CFrameWnd::BuildAccelerators(UINT nIDResource)
{
    m_accelerators.clear();
    if (const AccelResource* pAccel = AfxFindAccelerators(nIDResource))
        m_accelerators.assign(pAccel->entries, pAccel->entries + pAccel->count);
    CAcceleratorFilter::Install();
}

BOOL CFrameWnd::AcceleratorsApplyTo(const QWidget* pTarget) const
{
    if (!m_pWidget || !pTarget || QApplication::activeModalWidget() || pTarget->window() != m_pWidget)
        return FALSE;
    for (const QWidget* w = pTarget; w && w != m_pWidget; w = w->parentWidget())
        if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
            qobject_cast<const QAbstractSpinBox*>(w))
            return FALSE;
    return TRUE;
}

BOOL CFrameWnd::TranslateAccelerator(int nKey, Qt::KeyboardModifiers modifiers)
{
    const UINT nID = FindAccelerator(nKey, modifiers);
    return nID != 0 && ExecuteCommand(nID);
}

UINT CFrameWnd::FindAccelerator(int nKey, Qt::KeyboardModifiers modifiers) const
{
    BYTE fVirt = 0;
    if (modifiers & Qt::ControlModifier)
        fVirt |= FCONTROL;
    if (modifiers & Qt::AltModifier)
        fVirt |= FALT;
    if (modifiers & Qt::ShiftModifier)
        fVirt |= FSHIFT;
    const WORD key = AccelKeyCode(nKey);
    for (const AccelEntry& a : m_accelerators)
        if (a.key == key && (a.fVirt & (FCONTROL | FALT | FSHIFT)) == fVirt)
            return a.cmd;
    return 0;
}

std::vector<QAction*> CFrameWnd::GetMenuActions(UINT nID) const
{
    std::vector<QAction*> result;
    for (const auto& [id, pAction] : m_menuActions)
        if (id == nID)
            result.push_back(pAction);
    return result;
}

QMenu* CFrameWnd::GetMenuBarPopup(int nIndex) const
{
    if (!m_pWidget)
        return nullptr;
    const QList<QAction*> tops = GetMainWindow()->menuBar()->actions();
    if (nIndex < 0 || nIndex >= tops.size())
        return nullptr;
    return tops[nIndex]->menu();
}

int CFrameWnd::GetMenuBarPopupCount() const
{
    return m_pWidget ? int(GetMainWindow()->menuBar()->actions().size()) : 0;
}

void CFrameWnd::UpdateRecentFileItems()
{
    CWinApp* pApp = AfxGetApp();
    const std::vector<CString> files = pApp ? pApp->GetRecentFileNames() : std::vector<CString>();
    for (const auto& [id, pAction] : m_menuActions) {
        if (id < ID_FILE_MRU_FILE1 || id > ID_FILE_MRU_FILE4)
            continue;
        const std::size_t i = id - ID_FILE_MRU_FILE1;
        if (files.empty() && i == 0) {
            pAction->setText(QStringLiteral("Recent File"));
            pAction->setVisible(true);
            pAction->setEnabled(false);
        } else if (i < files.size()) {
            pAction->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QPathStr(files[i])));
            pAction->setVisible(true);
            pAction->setEnabled(true);
        } else {
            pAction->setVisible(false);
        }
    }
}

void CFrameWnd::UpdateMenuCmdUI(QMenu* pMenu)
{
    for (QAction* pAction : pMenu->actions()) {
        if (pAction->isSeparator() || pAction->menu())
            continue;
        const UINT nID = pAction->property(kIdProperty).toUInt();
        if (nID >= ID_FILE_MRU_FILE1 && nID <= ID_FILE_MRU_FILE4) {
            UpdateRecentFileItems();
            continue;
        }
        CActionCmdUI state(pAction, CActionCmdUI::MenuItem);
        state.m_nID = nID;
        state.DoUpdate(this, TRUE);
    }
}

BOOL CFrameWnd::IsCommandEnabled(UINT nID)
{
    if (nID >= ID_FILE_MRU_FILE1 && nID <= ID_FILE_MRU_FILE4) {
        CWinApp* pApp = AfxGetApp();
        return pApp && nID - ID_FILE_MRU_FILE1 < pApp->GetRecentFileNames().size();
    }
    CCmdUI state;
    state.m_nID = nID;
    state.DoUpdate(this, TRUE);
    return state.IsEnabled();
}

BOOL CFrameWnd::ExecuteCommand(UINT nID)
{
    if (!IsCommandEnabled(nID))
        return FALSE;
    const BOOL bHandled = OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
    if (CWinApp* pApp = AfxGetApp())
        pApp->OnIdle(0);
    return bHandled;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_pActiveView) {
        if (auto* pView = dynamic_cast<CWndView*>(m_pActiveView); pView && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWinApp* pApp = AfxGetApp(); pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return FALSE;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pActiveView;
    if (pViewNew == pViewOld)
        return;
    m_pActiveView = pViewNew;
    if (!bNotify)
        return;
    if (auto* pOld = dynamic_cast<CWndView*>(pViewOld))
        pOld->OnActivateView(FALSE, pViewNew, pViewOld);
    if (auto* pNew = dynamic_cast<CWndView*>(pViewNew))
        pNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument() const { return m_pActiveView ? m_pActiveView->GetDocument() : nullptr; }

void CFrameWnd::OnPaneMouseActivate(CWnd* pWnd)
{
    if (auto* pView = dynamic_cast<CWndView*>(pWnd); pView && pView->GetParentFrame() == this)
        SetActiveView(pView);
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    if (pDoc) {
        // Every view of the document that lives in this frame gets its first update.
        const std::vector<CView*> views = pDoc->GetViews();
        for (CView* pView : views) {
            auto* pWndView = dynamic_cast<CWndView*>(pView);
            if (pWndView && pWndView->GetParentFrame() == this)
                pView->OnInitialUpdate();
        }
        if (!m_pActiveView) {
            for (CView* pView : views)
                if (auto* p = dynamic_cast<CWndView*>(pView); p && p->GetParentFrame() == this) {
                    SetActiveView(pView);
                    break;
                }
        }
    }
    OnUpdateFrameTitle(TRUE);
    if (bMakeVisible)
        ActivateFrame();
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!m_pWidget)
        return;
    // "Document - Application" when the frame shows its document's title.
    CString title = m_strTitle;
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && (m_dwFrameStyle & FWS_ADDTOTITLE) && pDoc && !pDoc->GetTitle().IsEmpty())
        title = pDoc->GetTitle() + " - " + m_strTitle;
    m_pWidget->setWindowTitle(QStr(title));
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (!m_pWidget)
        return;
    if (nCmdShow == -1)
        m_pWidget->show();
    else
        ShowWindow(nCmdShow);
    m_pWidget->raise();
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    OnUpdateFrameTitle(TRUE);
    for (CControlBar* pBar : m_bars)
        if (pBar->IsWindow())
            pBar->OnUpdateCmdUI(this, TRUE);
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (std::find(m_bars.begin(), m_bars.end(), pBar) == m_bars.end())
        m_bars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_bars.erase(std::remove(m_bars.begin(), m_bars.end(), pBar), m_bars.end());
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    for (CControlBar* pBar : m_bars)
        if (pBar->GetDlgCtrlID() == nID)
            return pBar;
    return nullptr;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    GetMainWindow()->setDockNestingEnabled(true);
}

namespace {
Qt::ToolBarArea AreaFor(UINT nDockBarID, DWORD dwStyle)
{
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_LEFT:
        return Qt::LeftToolBarArea;
    case AFX_IDW_DOCKBAR_RIGHT:
        return Qt::RightToolBarArea;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return Qt::BottomToolBarArea;
    case AFX_IDW_DOCKBAR_TOP:
        return Qt::TopToolBarArea;
    default:
        break;
    }
    if (dwStyle & CBRS_ALIGN_TOP)
        return Qt::TopToolBarArea;
    if (dwStyle & CBRS_ALIGN_LEFT)
        return Qt::LeftToolBarArea;
    if (dwStyle & CBRS_ALIGN_BOTTOM)
        return Qt::BottomToolBarArea;
    if (dwStyle & CBRS_ALIGN_RIGHT)
        return Qt::RightToolBarArea;
    return Qt::TopToolBarArea;
}
} // namespace

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID)
{
    auto* pToolBar = qobject_cast<QToolBar*>(pBar->GetWidget());
    if (!pToolBar)
        return;
    const bool bVisible = !pToolBar->isHidden();
    GetMainWindow()->addToolBar(AreaFor(nDockBarID, pBar->GetBarStyle() & CBRS_ALIGN_ANY), pToolBar);
    pToolBar->setVisible(bVisible);
    pBar->m_bFloating = FALSE;
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint, DWORD dwStyle)
{
    // A toolbar cannot float on its own under Qt; it is taken to the side the floating style names and
    // stays there until it is docked again.
    auto* pToolBar = qobject_cast<QToolBar*>(pBar->GetWidget());
    if (!pToolBar)
        return;
    const bool bVisible = !pToolBar->isHidden();
    GetMainWindow()->addToolBar(AreaFor(0, dwStyle), pToolBar);
    pToolBar->setVisible(bVisible);
    pBar->m_bFloating = TRUE;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (pBar && pBar->GetWidget())
        pBar->GetWidget()->setVisible(bShow);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_pWidget && m_pWidget->layout())
        m_pWidget->layout()->activate();
}

void CFrameWnd::OnFileSave()
{
    if (CDocument* pDoc = GetActiveDocument())
        CDocTemplate::DoFileSave(pDoc);
}

void CFrameWnd::OnFileSaveAs()
{
    if (CDocument* pDoc = GetActiveDocument())
        CDocTemplate::DoSave(pDoc, nullptr);
}

void CFrameWnd::OnBarCheck(UINT nID)
{
    if (CControlBar* pBar = GetControlBar(nID))
        ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (!pBar) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(pBar->IsVisible() ? 1 : 0);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    if (const char* s = AfxFindString(nID)) {
        CString str(s);
        const int nl = str.Find('\n');
        rMessage = nl >= 0 ? str.Left(nl) : str;
    }
}

void CFrameWnd::SetMessageText(const char* lpszText)
{
    if (m_pWidget)
        GetMainWindow()->statusBar()->showMessage(QStr(lpszText ? lpszText : ""));
}

void CFrameWnd::SetMessageText(UINT nID)
{
    CString s;
    GetMessageString(nID, s);
    SetMessageText(s);
}

void CFrameWnd::OnClose()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        if (!pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        return;
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT, int cx, int cy)
{
    if (m_pCentral && m_pCentral->layout())
        m_pCentral->layout()->setGeometry(QRect(0, 0, cx, cy));
}
