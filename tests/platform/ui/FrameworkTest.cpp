// Command routing, update states, menus, toolbars and prompts of the window layer.
#include "tests/support/UiTestSupport.h"

#include "platform/core/ResourceTables.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CStatusBar.h"
#include "platform/ui/CToolBar.h"
#include "platform/ui/CWinApp.h"
#include "platform/ui/CWndView.h"
#include "platform/ui/KeyboardLocks.h"
#include "resources/VantrelResources.h"
#include "resources/resource.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QTextEdit>
#include <QMainWindow>
#include <QMenu>
#include <QKeyEvent>
#include <QStatusBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> g_calls;
int g_viewsDeleted = 0;

constexpr UINT ID_IN_VIEW = 40001;    // view and document and frame and application handle it
constexpr UINT ID_IN_DOC = 40002;     // document, frame and application
constexpr UINT ID_IN_FRAME = 40003;   // frame and application
constexpr UINT ID_IN_APP = 40004;     // application only
constexpr UINT ID_DISABLED = 40005;   // handled by the frame, disabled by its update handler
constexpr UINT ID_UNHANDLED = 40006;  // nobody
constexpr UINT ID_CHECKED = 40007;    // checked and enabled by the view's update handler

class TestApp : public CWinApp {
public:
    void OnViewCmd() { g_calls.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_IN_VIEW, &TestApp::OnViewCmd)
    ON_COMMAND(ID_IN_DOC, &TestApp::OnViewCmd)
    ON_COMMAND(ID_IN_FRAME, &TestApp::OnViewCmd)
    ON_COMMAND(ID_IN_APP, &TestApp::OnViewCmd)
END_MESSAGE_MAP()

class TestDoc : public CDocument, public CCmdTarget {
public:
    void OnCmd() { g_calls.push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDoc, CCmdTarget)
    ON_COMMAND(ID_IN_VIEW, &TestDoc::OnCmd)
    ON_COMMAND(ID_IN_DOC, &TestDoc::OnCmd)
END_MESSAGE_MAP()

class TestView : public CWndView {
    DECLARE_DYNCREATE(TestView)
public:
    ~TestView() override { ++g_viewsDeleted; }
    void OnDraw(CDC*) override {}
    void OnCmd() { g_calls.push_back("view"); }
    void OnChecked() { g_calls.push_back("checked"); }
    void OnUpdateChecked(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetCheck(1);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestView, CWndView)
BEGIN_MESSAGE_MAP(TestView, CWndView)
    ON_COMMAND(ID_IN_VIEW, &TestView::OnCmd)
    ON_COMMAND(ID_CHECKED, &TestView::OnChecked)
    ON_UPDATE_COMMAND_UI(ID_CHECKED, &TestView::OnUpdateChecked)
END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
public:
    void OnCmd() { g_calls.push_back("frame"); }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    CToolBar m_bar;
    CStatusBar m_status;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_COMMAND(ID_IN_VIEW, &TestFrame::OnCmd)
    ON_COMMAND(ID_IN_DOC, &TestFrame::OnCmd)
    ON_COMMAND(ID_IN_FRAME, &TestFrame::OnCmd)
    ON_COMMAND(ID_DISABLED, &TestFrame::OnCmd)
    ON_UPDATE_COMMAND_UI(ID_DISABLED, &TestFrame::OnUpdateDisabled)
END_MESSAGE_MAP()

// A menu and toolbar of the test commands, laid out as the program's resources are.
const MenuEntry kMenu[] = {
    {MENU_POPUP, "&Test", 0},
    {MENU_ITEM, "Disabled", ID_DISABLED},
    {MENU_ITEM, "Unhandled", ID_UNHANDLED},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Checked", ID_CHECKED},
    {MENU_END, nullptr, 0},
    {MENU_END, nullptr, 0},
};
const MenuResource kMenus[] = {{500, kMenu}};
const AccelEntry kAccel[] = {{FCONTROL, 'D', ID_DISABLED}, {FCONTROL, 'K', ID_CHECKED}, {FCONTROL | FSHIFT, '5', ID_IN_FRAME}};
const AccelResource kAccels[] = {{500, kAccel, 3}};
const UINT kButtons[] = {ID_DISABLED, ID_SEPARATOR, ID_UNHANDLED, ID_CHECKED};
const ToolBarResource kToolBars[] = {{500, 16, 15, ":/none", kButtons, 4}};
const StringResource kStrings[] = {{ID_CHECKED, "Check the thing\nCheck"}, {ID_INDICATOR_CAPS, "CAP"}};

// Counts the key presses a widget receives.
class KeyCounter : public QObject {
public:
    int presses = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress)
            ++presses;
        return false;
    }
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        g_calls.clear();
        m_tables.menus = kMenus;
        m_tables.menuCount = 1;
        m_tables.accels = kAccels;
        m_tables.accelCount = 1;
        m_tables.toolbars = kToolBars;
        m_tables.toolbarCount = 1;
        m_tables.strings = kStrings;
        m_tables.stringCount = 2;
        AfxSetResourceTables(&m_tables);
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(TestView);
        context.m_pCurrentDoc = &m_doc;
        ASSERT_TRUE(m_frame.LoadFrame(500, WS_OVERLAPPEDWINDOW, nullptr, &context));
        ASSERT_TRUE(m_frame.m_bar.Create(&m_frame));
        ASSERT_TRUE(m_frame.m_bar.LoadToolBar(500));
        m_app.m_pMainWnd = &m_frame;
        m_frame.InitialUpdateFrame(&m_doc, FALSE);
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        AfxSetResourceTables(nullptr);
    }

    ResourceTables m_tables;
    TestApp m_app;
    TestDoc m_doc;
    TestFrame m_frame;
};

TEST_F(FrameworkTest, CommandsRouteViewDocumentFrameApplication)
{
    ASSERT_NE(m_frame.GetActiveView(), nullptr);
    for (UINT id : {ID_IN_VIEW, ID_IN_DOC, ID_IN_FRAME, ID_IN_APP})
        EXPECT_TRUE(m_frame.ExecuteCommand(id));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"view", "doc", "frame", "app"}));
}

TEST_F(FrameworkTest, DisabledAndUnhandledCommandsDoNotRun)
{
    EXPECT_FALSE(m_frame.IsCommandEnabled(ID_DISABLED));
    EXPECT_FALSE(m_frame.IsCommandEnabled(ID_UNHANDLED));
    EXPECT_TRUE(m_frame.IsCommandEnabled(ID_IN_APP));
    EXPECT_FALSE(m_frame.ExecuteCommand(ID_DISABLED));

    // A menu item whose shown state is stale still does not run its disabled command.
    std::vector<QAction*> items = m_frame.GetMenuActions(ID_DISABLED);
    ASSERT_EQ(items.size(), 1u);
    items[0]->setEnabled(true);
    items[0]->trigger();
    // Nor does its toolbar button, nor its accelerator.
    QAction* button = m_frame.m_bar.GetButtonAction(ID_DISABLED);
    ASSERT_NE(button, nullptr);
    button->setEnabled(true);
    button->trigger();
    // Nor its accelerator: the key goes on to the focus window instead.
    QKeyEvent ctrlD(QEvent::ShortcutOverride, Qt::Key_D, Qt::ControlModifier);
    QCoreApplication::sendEvent(m_frame.GetClientWidget(), &ctrlD);
    EXPECT_FALSE(ctrlD.isAccepted() && g_calls.size() > 0);
    EXPECT_TRUE(g_calls.empty());

    // An enabled command runs from its accelerator; other keys pass untouched.
    QKeyEvent ctrlK(QEvent::ShortcutOverride, Qt::Key_K, Qt::ControlModifier);
    QCoreApplication::sendEvent(m_frame.GetClientWidget(), &ctrlK);
    EXPECT_TRUE(ctrlK.isAccepted());
    KeyCounter keys;
    m_frame.GetClientWidget()->installEventFilter(&keys);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_J, Qt::NoModifier, QStringLiteral("j"));
    QCoreApplication::sendEvent(m_frame.GetClientWidget(), &other);
    EXPECT_EQ(keys.presses, 1);
    m_frame.GetClientWidget()->removeEventFilter(&keys);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"checked"}));
}

// A key press sent to a widget: Qt offers it as a shortcut override to the focus widget first (the
// frame's accelerators see it there), then delivers the press.
void SendKey(QWidget* pWidget, int nKey, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, nKey, modifiers);
    QCoreApplication::sendEvent(pWidget, &press);
}

TEST_F(FrameworkTest, AcceleratorsStayOutOfDialogsAndTextFields)
{
    auto* pView = dynamic_cast<CWndView*>(m_frame.GetActiveView());
    ASSERT_NE(pView, nullptr);
    QApplication::setActiveWindow(m_frame.GetWidget());
    pView->SetFocus();
    SendKey(QApplication::focusWidget(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"checked"}));

    // A text field of the frame's own window takes the keys it knows (Ctrl+A selects its text) and
    // those it does not: the combination climbs to its parents, and still runs nothing.
    g_calls.clear();
    auto* pField = new QTextEdit(pView->GetClientWidget());
    pField->setPlainText("typed");
    pField->show();
    pField->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), pField);
    SendKey(pField, Qt::Key_K, Qt::ControlModifier);
    SendKey(pField, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(pField->textCursor().selectedText(), QString("typed"));
    EXPECT_TRUE(g_calls.empty());
    delete pField;

    // A dialog's field, in a dialog that is not modal and then in a modal one.
    QDialog dialog(m_frame.GetWidget());
    auto* pEdit = new QLineEdit("setup value", &dialog);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    pEdit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), pEdit);
    SendKey(pEdit, Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(g_calls.empty());
    dialog.hide();
    dialog.setModal(true);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    pEdit->setFocus();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    SendKey(pEdit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(pEdit->selectedText(), QString("setup value"));
    // Even a key given to the frame's window while the modal dialog is up.
    SendKey(m_frame.GetClientWidget(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(g_calls.empty());
    dialog.hide();

    // Back in the frame, its accelerators run again.
    QApplication::setActiveWindow(m_frame.GetWidget());
    pView->SetFocus();
    SendKey(QApplication::focusWidget(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"checked"}));
}

TEST_F(FrameworkTest, AcceleratorsMatchTheirModifiers)
{
    EXPECT_EQ(m_frame.FindAccelerator(Qt::Key_K, Qt::ControlModifier), ID_CHECKED);
    EXPECT_EQ(m_frame.FindAccelerator(Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier), 0u);
    EXPECT_EQ(m_frame.FindAccelerator(Qt::Key_K, Qt::AltModifier), 0u);
    // Shift with a digit key may report the character above the digit.
    EXPECT_EQ(m_frame.FindAccelerator(Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier), ID_IN_FRAME);
    EXPECT_EQ(m_frame.FindAccelerator(Qt::Key_Percent, Qt::ControlModifier | Qt::ShiftModifier), ID_IN_FRAME);
    EXPECT_EQ(m_frame.FindAccelerator(Qt::Key_5, Qt::ControlModifier), 0u);
}

TEST_F(FrameworkTest, UpdateStatesReachMenuItemsAndToolbarButtons)
{
    QMenu* menu = m_frame.GetMenuBarPopup(0);
    ASSERT_NE(menu, nullptr);
    m_frame.UpdateMenuCmdUI(menu);
    EXPECT_FALSE(m_frame.GetMenuActions(ID_DISABLED)[0]->isEnabled());
    EXPECT_FALSE(m_frame.GetMenuActions(ID_UNHANDLED)[0]->isEnabled());
    QAction* checked = m_frame.GetMenuActions(ID_CHECKED)[0];
    EXPECT_TRUE(checked->isEnabled());
    EXPECT_TRUE(checked->isChecked());

    m_app.OnIdle(0);
    EXPECT_FALSE(m_frame.m_bar.GetButtonAction(ID_DISABLED)->isEnabled());
    EXPECT_FALSE(m_frame.m_bar.GetButtonAction(ID_UNHANDLED)->isEnabled());
    EXPECT_TRUE(m_frame.m_bar.GetButtonAction(ID_CHECKED)->isEnabled());
    EXPECT_TRUE(m_frame.m_bar.GetToolBarCtrl().IsButtonPressed(ID_CHECKED));
}

TEST_F(FrameworkTest, PromptsGoToTheStatusBarAndTooltips)
{
    ASSERT_TRUE(m_frame.m_status.Create(&m_frame));
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
    ASSERT_TRUE(m_frame.m_status.SetIndicators(indicators, 2));
    EXPECT_EQ(std::string(m_frame.m_status.GetMessageText()), "Ready");

    // Lock indicators show their text while the lock is on.
    SetKeyboardLockQuery([] { return LOCK_CAPS; });
    m_app.OnIdle(0);
    EXPECT_EQ(std::string(m_frame.m_status.GetPaneText(1)), "CAP");
    SetKeyboardLockQuery([] { return LOCK_NUM | LOCK_SCROLL; });
    m_app.OnIdle(0);
    EXPECT_EQ(std::string(m_frame.m_status.GetPaneText(1)), "");
    SetKeyboardLockQuery({});

    CString prompt;
    m_frame.GetMessageString(ID_CHECKED, prompt);
    EXPECT_EQ(std::string(prompt), "Check the thing");
    QAction* button = m_frame.m_bar.GetButtonAction(ID_CHECKED);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Check"));
    button->showStatusText(m_frame.GetWidget());
    EXPECT_EQ(std::string(m_frame.m_status.GetMessageText()), "Check the thing");
    m_frame.GetMenuActions(ID_CHECKED)[0]->showStatusText(m_frame.GetWidget());
    EXPECT_EQ(std::string(m_frame.m_status.GetMessageText()), "Check the thing");
}

TEST_F(FrameworkTest, ToolbarButtonsPressAndHide)
{
    CToolBarCtrl& ctrl = m_frame.m_bar.GetToolBarCtrl();
    EXPECT_EQ(m_frame.m_bar.GetCount(), 4);
    EXPECT_EQ(m_frame.m_bar.GetItemID(1), ID_SEPARATOR);
    ctrl.SendMessage(TB_PRESSBUTTON, ID_UNHANDLED, 1);
    EXPECT_TRUE(ctrl.IsButtonPressed(ID_UNHANDLED));
    ctrl.SendMessage(TB_PRESSBUTTON, ID_UNHANDLED, 0);
    EXPECT_FALSE(ctrl.IsButtonPressed(ID_UNHANDLED));
    ctrl.SendMessage(TB_HIDEBUTTON, ID_CHECKED, 1);
    EXPECT_TRUE(ctrl.IsButtonHidden(ID_CHECKED));
    ctrl.HideButton(ID_CHECKED, FALSE);
    EXPECT_FALSE(ctrl.IsButtonHidden(ID_CHECKED));
}

// The program's own menu 128, as the frame builds it.
TEST_F(FrameworkTest, AFrameDeletesTheViewItMadeAndTheViewLeavesItsDocument)
{
    TestDoc doc;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(TestView);
    context.m_pCurrentDoc = &doc;
    auto* frame = new TestFrame;
    ASSERT_TRUE(frame->LoadFrame(500, WS_OVERLAPPEDWINDOW, nullptr, &context));
    ASSERT_EQ(doc.GetViews().size(), 1u);
    const int before = g_viewsDeleted;
    delete frame;
    EXPECT_EQ(g_viewsDeleted, before + 1);
    EXPECT_TRUE(doc.GetViews().empty());
}

TEST(MainMenuTest, Menu128HasThePopupsItemsAndIds)
{
    EnsureTestApplication();
    AfxSetResourceTables(&GetVantrelResources());
    CFrameWnd frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    ASSERT_EQ(frame.GetMenuBarPopupCount(), 5);
    auto describe = [](QMenu* menu) {
        std::vector<std::string> items;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                items.push_back("|");
            else if (a->menu())
                items.push_back("popup " + a->text().toStdString());
            else if (a->isVisible())
                items.push_back(std::to_string(a->property("vantrel_id").toUInt()) + " " + a->text().toStdString());
        }
        return items;
    };
    const std::vector<std::vector<std::string>> expected = {
        {"57600 &New\tCtrl+N", "57601 &Open...\tCtrl+O", "57603 &Save\tCtrl+S", "57604 Save &As...", "|",
         "32798 Show Template Gallery", "32828 Show Tiler Gallery", "|", "32801 Page Setup",
         "57607 &Print...\tCtrl+P", "57609 Print Pre&view", "57606 P&rint Setup...", "|", "57616 Recent File", "|",
         "57665 E&xit"},
        {"57643 &Undo\tCtrl+Z", "|", "57635 Cu&t\tCtrl+X", "57634 &Copy\tCtrl+C", "57637 &Paste\tCtrl+V"},
        {"32772 Maze Setup", "32790 Set &Printing Pen Width", "|", "32792 Apply BMP Mask", "32796 Show Mask Gallery",
         "|", "32771 Make Maze", "32824 ReRender Maze", "32787 Clear Maze", "|", "popup Active Layer"},
        {"59392 System &Toolbar", "32783 Edit Toolbar", "59393 &Status Bar", "|", "32810 BackGround Imgs",
         "32811 Maze Template", "32812 ForeGround Imgs", "32813 Text Layer", "32805 View Solution", "|",
         "1050 Show Erased Cells", "1052 Animated Creation", "1051 Info Box"},
        {"57664 &About Quillmont...", "32803 Goto Online Quillmont User Manual",
         "32822 Goto Online Quillmont Forum/Support", "32789 Goto QUILLMONT &HOME PAGE",
         "32823 Goto Quillmont Mailing List", "32802 Check For Program Updates", "32795 Hear About Quillmont"},
    };
    const char* titles[] = {"&File", "&Edit", "Maze Options", "&View", "&Help"};
    for (int i = 0; i < 5; ++i) {
        QMenu* menu = frame.GetMenuBarPopup(i);
        EXPECT_EQ(menu->title().toStdString(), titles[i]);
        EXPECT_EQ(describe(menu), expected[std::size_t(i)]) << titles[i];
    }
    QMenu* layers = frame.GetMenuBarPopup(2)->actions().back()->menu();
    EXPECT_EQ(describe(layers), (std::vector<std::string>{"32806 BackGround Imgs", "32807 Maze Template",
                                                          "32808 ForeGround Imgs", "32809 Text Layer"}));
    // With no handlers anywhere, the Edit items are disabled when the menu opens.
    frame.UpdateMenuCmdUI(frame.GetMenuBarPopup(1));
    for (QAction* a : frame.GetMenuBarPopup(1)->actions())
        if (!a->isSeparator())
            EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    AfxSetResourceTables(nullptr);
}

TEST(MainMenuTest, ToolbarsAndPromptsOfTheProgram)
{
    EnsureTestApplication();
    AfxSetResourceTables(&GetVantrelResources());
    CFrameWnd frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    CToolBar main, edit;
    ASSERT_TRUE(main.Create(&frame) && main.LoadToolBar(IDR_MAINFRAME));
    ASSERT_TRUE(edit.Create(&frame) && edit.LoadToolBar(IDR_EDIT_TOOLBAR));
    EXPECT_EQ(main.GetCount(), 15);
    EXPECT_EQ(main.GetQToolBar()->iconSize(), QSize(16, 15));
    EXPECT_EQ(edit.GetQToolBar()->iconSize(), QSize(40, 40));
    const std::vector<UINT> editIds = {32772, 0, 32818, 32773, 32774, 32780, 0, 32820, 32821, 32779, 32778, 0, 32819, 32782};
    ASSERT_EQ(edit.GetCount(), int(editIds.size()));
    for (int i = 0; i < edit.GetCount(); ++i)
        EXPECT_EQ(edit.GetItemID(i), editIds[std::size_t(i)]);
    EXPECT_FALSE(edit.GetButtonAction(ID_TOOL_BLACKEN)->icon().isNull());
    EXPECT_EQ(edit.GetButtonAction(ID_TOOL_STOP)->toolTip(), QStringLiteral("STOP  (Left Hidden, Right Visable)"));
    EXPECT_EQ(edit.GetButtonAction(ID_TOOL_STOP)->statusTip(),
              QStringLiteral("Set a STOP Location  (Left Hidde, Right Visable)"));
    EXPECT_EQ(main.GetButtonAction(ID_ACTIVE_LAYER_TEXT)->statusTip(), QStringLiteral("Set working Layer to TEXT"));
    CString prompt;
    frame.GetMessageString(ID_MASK_GALLERY, prompt);
    EXPECT_EQ(std::string(prompt), "Go online to show updated Gallery of Masks");
    AfxSetResourceTables(nullptr);
}
} // namespace
