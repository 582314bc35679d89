// Keys typed into a dialog go to the dialog: Ctrl+A in a text field of Maze Setup selects the field's
// text, so what is typed next replaces it, and it leaves Animated Creation of the main window (Ctrl+A
// there) as it was.
#include "tests/journey/MazeJourney.h"
#include "tests/journey/WindowReference.h"

#include "maze/setup/MazeSetupIds.h"
#include "platform/ui/CPropertyPage.h"
#include "platform/ui/CPropertySheet.h"

namespace {

using namespace journey;

constexpr int kDimensionsPage = 1;

int HighlightIn(const QImage& screen, Box box)
{
    int n = 0;
    for (int y = box.y; y < box.y + box.h; ++y)
        for (int x = box.x; x < box.x + box.w; ++x)
            n += IsHighlight(screen.pixel(x, y));
    return n;
}

// The walls a row of cells crosses: runs of dark pixels along the middle of its first row.
int WallsAcross(const QImage& screen, const GridOnScreen& grid)
{
    const int y = grid.Cell(0, 0).y;
    int walls = 0;
    bool inWall = false;
    for (int x = grid.box.x - 2; x <= grid.box.x + grid.box.w + 2; ++x) {
        const bool dark = qGray(screen.pixel(x, y)) < 60;
        walls += dark && !inWall;
        inWall = dark;
    }
    return walls;
}

Box Inside(Box b) { return {b.x + 3, b.y + 3, b.w - 6, b.h - 6}; }

// The field with the focus around the point: its frame is drawn in the highlight. Empty when the
// field there has no focus.
Box FocusedField(const QImage& screen, Point at)
{
    const Box frame = BoxWhere(screen, {at.x - 80, at.y - 20, 161, 41}, IsHighlight);
    return frame.w < 40 || frame.h < 12 || !frame.Contains(at) ? Box{} : frame;
}

// Text of the field is selected: the highlight lies behind it.
bool Selected(const QImage& screen, Box field) { return HighlightIn(screen, Inside(field)) > 30; }

class KeysJourney : public MazeJourney {
protected:
    // Where the Dimensions tab and its Cells Wide field lie in the sheet, from the journey's own copy of
    // Maze Setup.
    void FindCellsWide()
    {
        ReferenceMazeSetup(kDimensionsPage, [&](CPropertySheet& sheet) {
            m_tab = TabOf(sheet, kDimensionsPage);
            CDialogItem* pField = sheet.GetPage(kDimensionsPage)->GetDlgItem(IDC_DIM_CELLS_WIDE);
            ASSERT_TRUE(pField);
            m_field = RectIn(sheet.GetQDialog(), pField->GetWidget());
        });
    }

    // Opens Maze Setup on its Dimensions page and clicks into Cells Wide.
    unsigned long OpenCellsWide()
    {
        ChooseMenu("Maze Options", "Maze Setup");
        const unsigned long sheet = WaitForActive("Quillmont Settings");
        const Box client = ClientBox(sheet);
        const Box field = OnScreen(client, m_field);
        const QImage style = Shot();
        Click(OnScreen(client, m_tab).Centre());
        WaitUntil("the Dimensions page shows", [&] {
            const QImage screen = Shot();
            return screen.copy(field.x, field.y, field.w, field.h) != style.copy(field.x, field.y, field.w, field.h);
        });
        Click(field.Centre());
        WaitUntil("Cells Wide takes the focus", [&] {
            m_onScreen = FocusedField(Shot(), field.Centre());
            return !m_onScreen.Empty();
        });
        return sheet;
    }

    // Presses the keys and waits until the field shows its text selected (or not).
    void KeysIntoField(std::string_view keys, bool selected, std::string_view what)
    {
        Key(keys);
        WaitUntil(what, [&] { return Selected(Shot(), m_onScreen) == selected; });
    }

    QRect m_tab;
    QRect m_field;
    Box m_onScreen;
};

TEST_F(KeysJourney, CtrlAInADialogsFieldSelectsItsTextAndRunsNoCommandOfTheMainWindow)
{
    FindCellsWide();
    NewMaze();
    ChooseMenu("View", "Animated Creation");
    ASSERT_TRUE(MenuItemChecked("View", "Animated Creation"));

    // Typed, selected with Ctrl+A and typed over: the field holds the last text typed.
    OpenCellsWide();
    KeysIntoField("End shift+Home", true, "the field's text is selected");
    KeysIntoField("1", false, "the typed text replaces it");
    KeysIntoField("ctrl+a", true, "Ctrl+A selects the field's text");
    KeysIntoField("8", false, "the typed text replaces it");
    Shot("cells-wide");
    Key("Return");
    WaitForActive("FREEQuillmont");
    Key("Return");
    WaitForActive("- FREE Quillmont");
    WaitUntil("the view shows a grid eight cells wide", [&] {
        const QImage screen = Shot();
        const GridOnScreen grid = FindGrid(screen, 8, m_rows);
        return !grid.Empty() && WallsAcross(screen, grid) == 9;
    });
    EXPECT_EQ(ProfileValue("size", "cellx"), "8");
    EXPECT_EQ(ProfileValue("size", "animate"), "1");

    // Ctrl+A in the field, and the sheet cancelled: Animated Creation is as it was.
    OpenCellsWide();
    KeysIntoField("End", false, "the field's text is not selected");
    KeysIntoField("ctrl+a", true, "Ctrl+A selects the field's text");
    Key("Escape");
    WaitForNoWindow("Quillmont Settings");
    WaitForActive("- FREE Quillmont");
    EXPECT_TRUE(MenuItemChecked("View", "Animated Creation")) << "Ctrl+A in the dialog switched Animated Creation off";
}

} // namespace
