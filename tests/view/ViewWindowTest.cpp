// The view in the running program: File New and Make Maze through their command ids, the back buffer
// checked cell by cell against the grid, View Solution, animated cells on the window, the queued error
// text, and the update states of the View menu.
#include "tests/support/UiTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/FontDialog.h"
#include "resources/VantrelResources.h"
#include "resources/resource.h"
#include "tests/view/TrackerInput.h"
#include "view/CVantrelView.h"

#include <QAction>
#include <QCoreApplication>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;

class ViewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit().constData(), 1);
        AfxSetResourceTables(&GetVantrelResources());
        AfxInstallWindowHandlers();
        m_app.m_args = {CString("vantrel")};
        ASSERT_TRUE(m_app.InitInstance());
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_boxes.push_back(std::string(r.text));
            m_boxTypes.push_back(r.type);
            if (m_pDoc)
                m_errorWhileShown.push_back(std::string(m_pDoc->m_strError));
            return IDOK;
        });
        m_pFrame = dynamic_cast<CMainFrame*>(m_app.m_pMainWnd);
        ASSERT_NE(m_pFrame, nullptr);
        m_pView = dynamic_cast<CVantrelView*>(m_pFrame->GetSplitter().GetPane(0, 0));
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
        ASSERT_NE(m_pDoc, nullptr);
        m_pDoc->m_nSeed = 777;
        QCoreApplication::processEvents();  // the frame is shown and exposed
    }
    void TearDown() override
    {
        m_pDoc = nullptr;
        m_app.ExitInstance();
        m_app.CloseAllDocuments(TRUE);
        QCoreApplication::processEvents();
        SetMessageBoxHandler({});
        AfxSetResourceTables(nullptr);
    }

    // Runs what a window paint runs now.
    void Paint()
    {
        m_pView->Invalidate(FALSE);
        m_pView->UpdateWindow();
    }

    // On a new maze's text layer, a text object made by a drag from (100, 100) to (300, 200) with the
    // font the font dialog answers; the in-place editor opens on it. Returns the editor.
    CRichEditCtrl& NewTextObject(int nPointSize, COLORREF colour, LONG nWeight = FW_NORMAL)
    {
        SetFontDialogHandler([=](CHOOSEFONTA& cf, LOGFONTA& lf) {
            layerstest::AnswerFont(cf, lf, nPointSize, colour, nWeight);
            return TRUE;
        });
        EXPECT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
        EXPECT_TRUE(m_pFrame->ExecuteCommand(ID_ACTIVE_LAYER_TEXT));
        Paint();
        QApplication::setActiveWindow(m_pFrame->GetWidget());
        m_pView->SetFocus();
        layerstest::PostDrag(m_pView, {CPoint(300, 200)});
        layerstest::Press(m_pView, CPoint(100, 100));
        EXPECT_EQ(m_pDoc->m_objects.GetSize(), 1);
        return m_pView->m_textEditor;
    }

    // A device pixel of the back buffer (which has no origin: its mapping mode is all it needs).
    COLORREF BufferPixel(int x, int y)
    {
        m_pView->m_backBufferDC.SetMapMode(MM_HIENGLISH);
        POINT p{x, y};
        m_pView->m_backBufferDC.DPtoLP(&p);
        return m_pView->m_backBufferDC.GetPixel(p.x, p.y);
    }
    // A device pixel of the window's own image; white outside it.
    COLORREF WindowPixel(int x, int y)
    {
        const QImage* image = m_pView->GetBackingImage();
        if (!image->valid(x, y))
            return kWhite;
        QRgb c = image->pixel(x, y);
        return RGB(BYTE(qRed(c)), BYTE(qGreen(c)), BYTE(qBlue(c)));
    }
    CPoint ToDevice(int x, int y)
    {
        m_pView->m_backBufferDC.SetMapMode(MM_HIENGLISH);
        POINT p{x, y};
        m_pView->m_backBufferDC.LPtoDP(&p);
        return CPoint(p);
    }
    CPoint CellCentre(int x, int y)
    {
        int w = m_pDoc->GetCellWidth(), h = m_pDoc->GetCellHeight();
        return ToDevice(x * w + w / 2, y * h + h / 2);
    }
    // The middle of side k (1 north, 2 east, 3 south, 4 west) of cell (x, y).
    CPoint SideMiddle(int x, int y, int k)
    {
        static const int cx[5] = {0, 1, 1, 0, 0}, cy[5] = {0, 0, 1, 1, 0};
        int w = m_pDoc->GetCellWidth(), h = m_pDoc->GetCellHeight();
        CPoint a = ToDevice((x + cx[k - 1]) * w, (y + cy[k - 1]) * h);
        CPoint b = ToDevice((x + cx[k]) * w, (y + cy[k]) * h);
        return CPoint((a.x + b.x) / 2, (a.y + b.y) / 2);
    }
    const MazeCell& Cell(int x, int y) { return m_pDoc->GetGrid(0)->GetCell(x, y); }
    bool IsHiddenMark(int x, int y)
    {
        WORD f = Cell(x, y).flags;
        return (f & CELL_HIDDEN) && (f & (CELL_START | CELL_STOP));
    }

    // The shown state of a menu item after its menu's update handlers ran.
    QAction* MenuItem(UINT nID)
    {
        for (int i = 0; i < m_pFrame->GetMenuBarPopupCount(); ++i)
            m_pFrame->UpdateMenuCmdUI(m_pFrame->GetMenuBarPopup(i));
        std::vector<QAction*> items = m_pFrame->GetMenuActions(nID);
        return items.empty() ? nullptr : items.front();
    }

    QTemporaryDir m_config;
    CVantrelApp m_app;
    CMainFrame* m_pFrame = nullptr;
    CVantrelView* m_pView = nullptr;
    CVantrelDoc* m_pDoc = nullptr;
    std::vector<std::string> m_boxes;
    std::vector<UINT> m_boxTypes;
    std::vector<std::string> m_errorWhileShown;
};
}  // namespace

TEST_F(ViewWindowTest, FileNewSetsThePageAndAnUndrawnBuffer)
{
    EXPECT_EQ(m_pDoc->m_nGrids, 0);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    ASSERT_EQ(m_pDoc->m_nGrids, 1);
    EXPECT_EQ(m_pView->m_extent, CSize(7510, -9500));
    EXPECT_EQ(m_pView->m_bufferSize, CSize(721, 913));
    EXPECT_EQ(m_pView->GetTotalSize(), CSize(7499, 9499));
    EXPECT_EQ(m_pView->m_nFooterHeight, 250);
    EXPECT_EQ(m_app.mazeView, m_pView);
    Paint();
    EXPECT_EQ(m_pDoc->m_bDirty, 0);
    // The template shows every cell's outline.
    EXPECT_EQ(BufferPixel(SideMiddle(4, 4, 1).x, SideMiddle(4, 4, 1).y), kBlack);
    EXPECT_EQ(BufferPixel(CellCentre(4, 4).x, CellCentre(4, 4).y), kWhite);
}

// After Make Maze the buffer shows a wall exactly where the grid has no passage; the hidden START and
// STOP cells are pale with dotted walls of their own. View Solution then fills exactly the solution
// cells.
TEST_F(ViewWindowTest, MakeMazeThenViewSolution)
{
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_GENERATE_MAZE));
    Paint();
    ASSERT_EQ(m_pDoc->m_bGenerated, 1);
    static const int dx[5] = {0, 0, 1, 0, -1}, dy[5] = {0, -1, 0, 1, 0};
    int walls = 0, openings = 0;
    for (int y = 0; y < m_pDoc->m_nCellsY; ++y) {
        for (int x = 0; x < m_pDoc->m_nCellsX; ++x) {
            for (int k = 1; k <= 4; ++k) {
                int nx = x + dx[k], ny = y + dy[k];
                bool inside = nx >= 0 && nx < m_pDoc->m_nCellsX && ny >= 0 && ny < m_pDoc->m_nCellsY;
                // Sides that a hidden mark's dotted walls draw over are checked apart.
                if ((IsHiddenMark(x, y) && (!inside || (x == 9 && y == 9))) || (inside && nx == 9 && ny == 9 && IsHiddenMark(nx, ny)))
                    continue;
                CPoint p = SideMiddle(x, y, k);
                bool open = Cell(x, y).HasPassage(k);
                EXPECT_EQ(BufferPixel(p.x, p.y) == kBlack, !open) << x << "," << y << " side " << k;
                (open ? openings : walls)++;
            }
        }
    }
    EXPECT_GT(walls, 0);
    EXPECT_GT(openings, 0);
    // Hidden START (0, 0) and STOP (9, 9): pale fills, no black on their border sides.
    EXPECT_EQ(BufferPixel(CellCentre(0, 0).x, CellCentre(0, 0).y), 0xC0FFC0u);
    EXPECT_EQ(BufferPixel(CellCentre(9, 9).x, CellCentre(9, 9).y), 0xC0C0FFu);
    EXPECT_NE(BufferPixel(SideMiddle(0, 0, 1).x, SideMiddle(0, 0, 1).y), kBlack);
    EXPECT_NE(BufferPixel(SideMiddle(9, 9, 3).x, SideMiddle(9, 9, 3).y), kBlack);

    auto centres = [&](bool solutionShown) {
        int marked = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                WORD f = Cell(x, y).flags;
                if (f & (CELL_START | CELL_STOP))
                    continue;
                bool onPath = f & CELL_SOLUTION;
                marked += onPath;
                COLORREF c = BufferPixel(CellCentre(x, y).x, CellCentre(x, y).y);
                EXPECT_EQ(c, onPath && solutionShown ? 0xF08080u : kWhite) << x << "," << y;
            }
        return marked;
    };
    EXPECT_GT(centres(false), 0);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_SOLUTION));
    EXPECT_EQ(m_pView->m_bShowSolution, 1);
    Paint();
    centres(true);
    // The window shows the buffer.
    EXPECT_EQ(WindowPixel(CellCentre(0, 0).x, CellCentre(0, 0).y), 0xC0FFC0u);
}

// With animation on, growth and solving draw cells straight onto the window before any repaint; a cell
// the solver left without passages shows grey only until the next full redraw.
TEST_F(ViewWindowTest, AnimatedGrowthDrawsOnTheWindowAtOnce)
{
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    Paint();
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_ANIMATED_CREATION));
    ASSERT_EQ(m_pDoc->m_bAnimate, 1);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_GENERATE_MAZE));
    int grey = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            grey += WindowPixel(CellCentre(x, y).x, CellCentre(x, y).y) == 0xA0A0A0;
    EXPECT_GT(grey, 0) << "dead ends closed by the solver were drawn as they closed";
    Paint();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_NE(WindowPixel(CellCentre(x, y).x, CellCentre(x, y).y), 0xA0A0A0u);

    // The cell drawer the document calls takes the window's DC itself.
    m_pDoc->GetGrid(0)->GetCell(3, 2).flags = CELL_BLACKENED;
    m_pView->DrawCell(nullptr, 3, 2, 0, DRAW_PASS_CELL);
    EXPECT_EQ(WindowPixel(CellCentre(3, 2).x, CellCentre(3, 2).y), kBlack);
    EXPECT_EQ(m_pView->m_windowDC, nullptr);
}

// The queued error text is shown once, in a box with OK and Cancel, and is already empty while the box
// is up, so a paint under the box does not show it again.
TEST_F(ViewWindowTest, QueuedErrorIsShownOnce)
{
    m_pDoc->m_strError = "ERROR: something failed";
    Paint();
    Paint();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], "ERROR: something failed");
    EXPECT_EQ(m_boxTypes[0] & MB_TYPEMASK, MB_OKCANCEL);
    EXPECT_EQ(m_errorWhileShown[0], "");
}

// Saving before File New gave the document a grid is refused, and the view shows why at the paint the
// refusal asks for, though without a grid it has nothing else to draw.
TEST_F(ViewWindowTest, ARefusedSaveWithoutAGridIsShown)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("empty.mze").toStdString();
    SetFileDialogHandler([&path](const FileDialogRequest&) {
        FileDialogResult r;
        r.ok = true;
        r.path = path.c_str();
        r.filterIndex = 1;
        return r;
    });
    m_pView->UpdateWindow();
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_SAVE));
    SetFileDialogHandler({});
    m_pView->UpdateWindow();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], "ERROR: Could not save '" + path + "': the document has no maze grid.  The file was not changed.");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(ViewWindowTest, PaintCollapsesTheInformationPaneOnlyWithAGrid)
{
    m_pFrame->SetAdPaneHeight(80, 0);
    Paint();
    EXPECT_EQ(m_pFrame->GetPaneHeight(), 80);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    m_pFrame->SetAdPaneHeight(80, 0);
    Paint();
    EXPECT_EQ(m_pFrame->GetPaneHeight(), 0);
}

TEST_F(ViewWindowTest, ViewMenuStatesWithAndWithoutAGrid)
{
    const UINT drawing[] = {ID_VIEW_SOLUTION, ID_VIEW_BACKGROUND_IMGS, ID_VIEW_MAZE_TEMPLATE,
                            ID_VIEW_FOREGROUND_IMGS, ID_VIEW_TEXT_LAYER};
    for (UINT id : drawing) {
        QAction* item = MenuItem(id);
        ASSERT_NE(item, nullptr) << id;
        EXPECT_FALSE(item->isEnabled()) << id;
        EXPECT_FALSE(item->isChecked()) << id;
        EXPECT_FALSE(m_pFrame->ExecuteCommand(id)) << id;
    }
    for (UINT id : {ID_SHOW_ERASED_CELLS, ID_ANIMATED_CREATION, ID_INFO_BOX}) {
        ASSERT_NE(MenuItem(id), nullptr) << id;
        EXPECT_TRUE(MenuItem(id)->isEnabled()) << id;
        EXPECT_FALSE(MenuItem(id)->isChecked()) << id;
    }

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    for (UINT id : drawing) {
        EXPECT_TRUE(MenuItem(id)->isEnabled()) << id;
        EXPECT_EQ(MenuItem(id)->isChecked(), id != ID_VIEW_SOLUTION) << id;
    }

    // Each drawing switch inverts its flag and asks for a full redraw.
    Paint();
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_MAZE_TEMPLATE));
    EXPECT_EQ(m_pView->m_bShowMaze, 0);
    EXPECT_EQ(m_pDoc->m_bDirty, 1);
    EXPECT_FALSE(MenuItem(ID_VIEW_MAZE_TEMPLATE)->isChecked());
    Paint();
    EXPECT_EQ(BufferPixel(SideMiddle(4, 4, 1).x, SideMiddle(4, 4, 1).y), kWhite) << "the maze layer is off";
    // With the maze layer off, View Solution still draws the maze.
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_SOLUTION));
    Paint();
    EXPECT_EQ(BufferPixel(SideMiddle(4, 4, 1).x, SideMiddle(4, 4, 1).y), kBlack);

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_SHOW_ERASED_CELLS));
    EXPECT_EQ(m_pDoc->m_bErasedVisible, 1);
    EXPECT_TRUE(MenuItem(ID_SHOW_ERASED_CELLS)->isChecked());

    // Animated Creation only flips the document's switch; nothing is to be redrawn.
    Paint();
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_ANIMATED_CREATION));
    EXPECT_EQ(m_pDoc->m_bAnimate, 1);
    EXPECT_EQ(m_pDoc->m_bDirty, 0);
    EXPECT_TRUE(MenuItem(ID_ANIMATED_CREATION)->isChecked());

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_INFO_BOX));
    EXPECT_TRUE(m_app.infoPaneVisible);
    EXPECT_TRUE(MenuItem(ID_INFO_BOX)->isChecked());
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_INFO_BOX));
    EXPECT_FALSE(m_app.infoPaneVisible);
}

// A resize sets the scroll sizes again but keeps the back buffer and its drawing.
TEST_F(ViewWindowTest, ResizeKeepsTheBuffer)
{
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_GENERATE_MAZE));
    Paint();
    HGDIOBJ buffer = m_pView->m_backBufferBitmap.GetSafeHandle();
    const CPoint p = SideMiddle(2, 2, 1);
    const COLORREF before = BufferPixel(p.x, p.y);
    m_pFrame->GetWidget()->showNormal();
    m_pFrame->GetWidget()->resize(500, 400);
    QCoreApplication::processEvents();
    m_pView->OnSize(0, 300, 200);
    EXPECT_EQ(m_pView->m_backBufferBitmap.GetSafeHandle(), buffer);
    EXPECT_EQ(BufferPixel(p.x, p.y), before);
    EXPECT_EQ(m_pView->GetTotalSize(), CSize(7499, 9499));
}

TEST_F(ViewWindowTest, GalleryCommandsAreOfferedToTheInformationPane)
{
    CWnd* pPane = m_app.GetInfoPane();
    ASSERT_NE(pPane, nullptr);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_NEW)); // the mask gallery needs a grid
    m_pView->SetFocus();
    ASSERT_NE(CWnd::GetFocus(), pPane);
    // Only the pane handles these: they stay enabled, and asking does not move the focus.
    for (UINT id : {ID_MASK_GALLERY, ID_TEMPLATE_GALLERY, ID_CHECK_FOR_UPDATES, ID_TILER_GALLERY}) {
        EXPECT_TRUE(m_pFrame->IsCommandEnabled(id)) << id;
        EXPECT_NE(CWnd::GetFocus(), pPane) << id;
    }
    // The view's own commands still reach the view afterwards.
    EXPECT_TRUE(m_pFrame->IsCommandEnabled(ID_VIEW_SOLUTION));
}

namespace {
// Keys as the window system sends them: to whatever has the focus.
void Type(const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
    }
}
void PressKey(int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, nKey, modifiers);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
}
}  // namespace

// The in-place editor of the running program: it takes the focus when it opens and keeps it while the
// view paints (each paint collapses the information pane and activates the view's pane); what is
// typed goes into it, the frame's accelerators stay out (Ctrl+A selects the text, Animated Creation
// stays off), and it is committed when the view takes the focus back or on Escape. A click on the
// object opens it again on the object's text.
TEST_F(ViewWindowTest, TheTextEditorTakesTheKeysAndCommitsWhatWasTyped)
{
    CRichEditCtrl& editor = NewTextObject(140, RGB(0, 0, 160), FW_BOLD);
    ASSERT_EQ(m_pDoc->m_objects.GetSize(), 1);
    Paint();
    QCoreApplication::processEvents();
    EXPECT_EQ(CWnd::GetFocus(), &editor);
    EXPECT_TRUE(editor.IsWindowVisible());
    Type("Mazes");
    PressKey(Qt::Key_A, Qt::ControlModifier);
    Type("Maze");
    EXPECT_EQ(m_pDoc->m_bAnimate, 0);
    Type(" one");
    Paint();
    CString text;
    editor.GetWindowText(text);
    EXPECT_STREQ(text, "Maze one");
    // The bold face chosen is the one typed in.
    EXPECT_TRUE(editor.GetTextEdit()->currentCharFormat().font().bold());

    // The view takes the focus (a click on the page): the object keeps the text.
    m_pView->SetFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(editor.IsWindowVisible());
    EXPECT_STREQ(m_pDoc->m_objects[0].m_strText, "Maze one");
    EXPECT_EQ(m_pDoc->m_objects[0].m_nSelectStyle, 1);

    // A click on the object opens the editor on its text, with the focus; Escape commits the change.
    layerstest::PostRelease(m_pView, CPoint(150, 150));
    layerstest::Press(m_pView, CPoint(150, 150));
    Paint();
    QCoreApplication::processEvents();
    EXPECT_EQ(CWnd::GetFocus(), &editor);
    ASSERT_TRUE(editor.IsWindowVisible());
    editor.GetWindowText(text);
    EXPECT_STREQ(text, "Maze one");
    PressKey(Qt::Key_End, Qt::ControlModifier);
    Type(", two");
    PressKey(Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(CWnd::GetFocus(), m_pView);
    EXPECT_FALSE(editor.IsWindowVisible());
    EXPECT_STREQ(m_pDoc->m_objects[0].m_strText, "Maze one, two");
    SetFontDialogHandler({});
}

// A save from a toolbar button or from a menu opened with the mouse leaves the focus in the open
// editor, so its end does not commit the text: the edited object holds what the editor shows all
// along, and the saved file has it. A command that hides the editor keeps it too.
TEST_F(ViewWindowTest, TheOpenEditorsTextIsInTheObjectAndInASave)
{
    CRichEditCtrl& editor = NewTextObject(120, RGB(0, 0, 160));
    ASSERT_EQ(m_pDoc->m_objects.GetSize(), 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(CWnd::GetFocus(), &editor);
    m_pDoc->SetModifiedFlag(FALSE);
    EXPECT_STREQ(m_pDoc->m_objects[0].m_strText, "");
    EXPECT_FALSE(m_pDoc->IsModified()) << "opening the editor changed the document";

    Type("Typed");
    EXPECT_STREQ(m_pDoc->m_objects[0].m_strText, "Typed");
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_EQ(m_pDoc->m_objects[0].m_nSelectStyle, 2);
    EXPECT_TRUE(editor.IsWindowVisible());

    QTemporaryDir dir;
    const CString path(dir.filePath("typed.mze").toStdString());
    ASSERT_TRUE(m_pDoc->OnSaveDocument(path));
    EXPECT_EQ(CWnd::GetFocus(), &editor);
    {
        CVantrelDoc saved;
        ASSERT_TRUE(saved.OnOpenDocument(path));
        ASSERT_EQ(saved.m_objects.GetSize(), 1);
        EXPECT_STREQ(saved.m_objects[0].m_strText, "Typed");
    }

    // Reopened on its text, changed and brought to the top, which hides the editor without a commit.
    m_pView->SetFocus();
    QCoreApplication::processEvents();
    layerstest::PostRelease(m_pView, CPoint(150, 150));
    layerstest::Press(m_pView, CPoint(150, 150));
    QCoreApplication::processEvents();
    ASSERT_TRUE(editor.IsWindowVisible());
    EXPECT_STREQ(m_pDoc->m_objects[0].m_strText, "Typed");
    PressKey(Qt::Key_End, Qt::ControlModifier);
    Type(" on");
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_BRING_TO_TOP));
    EXPECT_FALSE(editor.IsWindowVisible());
    EXPECT_STREQ(m_pDoc->m_objects[0].m_strText, "Typed on");
    SetFontDialogHandler({});
}
