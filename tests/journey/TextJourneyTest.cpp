// Text objects on the text layer: a box dragged on the page, the font and colour dialogs confirmed, the
// text typed into the editor that opens over the box, committed by a click elsewhere, saved, opened
// again by a click on the object, changed and committed by Escape; and while it is typed the editor
// shows the text as the committed object draws it.
#include "tests/journey/MazeJourney.h"

#include "maze/CVantrelDoc.h"
#include "platform/core/WinFont.h"

#include <QByteArray>

#include <cstring>
#include <utility>

namespace {

using namespace journey;

// The last font chosen, as the profile keeps it: the font dialog starts with it and the colour dialog
// with its colour. Blue ink stands apart from the template's pale fills and black walls.
constexpr COLORREF kBlueInk = 0x00FF0000;
constexpr int kPointSize = 20;

// Solid ink of the blue text: the glyphs' cores. Their edges, blended with what lies below, are left
// out, so the same glyphs count alike on the editor's white and on the maze's fills.
bool SolidInk(QRgb c) { return qBlue(c) >= 180 && qRed(c) <= 90 && qGreen(c) <= 90; }

// The solid ink in an area of the screen.
struct Ink {
    Box box;             // the ink's bounding box
    int count = 0;       // solid pixels
    int longestRow = 0;  // the most solid pixels in one row near the bottom of the box (an underline)
};

Ink InkIn(const QImage& screen, Box area)
{
    Ink ink;
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    std::vector<int> rows(std::size_t(std::max(area.h, 0)), 0);
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            if (SolidInk(screen.pixel(x, y))) {
                ++ink.count;
                ++rows[std::size_t(y - area.y)];
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (ink.count == 0)
        return ink;
    ink.box = {left, top, right - left + 1, bottom - top + 1};
    for (int y = std::max(top, bottom - 8); y <= bottom; ++y)
        ink.longestRow = std::max(ink.longestRow, rows[std::size_t(y - area.y)]);
    return ink;
}

bool SameBox(const Box& a, const Box& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

std::string Describe(const Ink& ink)
{
    return std::to_string(ink.count) + " pixels in " + std::to_string(ink.box.w) + "x" + std::to_string(ink.box.h) +
           " at " + std::to_string(ink.box.x) + "," + std::to_string(ink.box.y) + ", longest low row " +
           std::to_string(ink.longestRow);
}

class TextJourney : public MazeJourney {
protected:
    // What an earlier session left in the profile: DejaVu Sans at 20 points, bold and italic, blue.
    void PresetFont()
    {
        LOGFONTA lf;
        lf.lfHeight = -(kPointSize * 96 / 72);  // pixels on a 96-dpi screen
        lf.lfWeight = FW_BOLD;
        lf.lfItalic = 1;
        std::strncpy(lf.lfFaceName, "DejaVu Sans", LF_FACESIZE - 1);
        CHOOSEFONTA cf;
        cf.iPointSize = kPointSize * 10;
        cf.rgbColors = kBlueInk;
        SetProfileValue("FONT", "CF", QByteArray(reinterpret_cast<const char*>(&cf), sizeof cf));
        SetProfileValue("FONT", "LF", QByteArray(reinterpret_cast<const char*>(&lf), sizeof lf));
    }

    // The font the profile holds as the last one chosen.
    LOGFONTA ChosenFont()
    {
        LOGFONTA lf;
        const QByteArray bytes = ProfileVariant("FONT", "LF").toByteArray();
        EXPECT_EQ(bytes.size(), qsizetype(sizeof lf));
        if (bytes.size() == qsizetype(sizeof lf))
            std::memcpy(&lf, bytes.constData(), sizeof lf);
        return lf;
    }

    // A new maze with the text layer active; a box dragged over four cells of its second row, room
    // for a line of text and some below it.
    void NewTextBox()
    {
        const GridOnScreen grid = NewMaze();
        Key("ctrl+4");
        m_box = {grid.Cell(1, 1).x, grid.Cell(1, 1).y, grid.Cell(5, 1).x - grid.Cell(1, 1).x,
                 grid.CellBox(1, 1).h * 3 / 4};
        m_elsewhere = grid.Cell(m_cols - 2, m_rows - 2);
        Drag({m_box.x, m_box.y}, {m_box.x + m_box.w, m_box.y + m_box.h});
        WaitForActive("Select Font");
    }

    // Confirms the colour dialog that follows the font dialog, with the colour it starts with.
    void ConfirmColour()
    {
        WaitForActive("Select Color");
        Key("Return");
        WaitForActive("FREE Quillmont");
    }

    // Whether the in-place editor covers the box: its white ground shows below the line of text, where
    // the template shows its pale fills and walls (no pure white).
    bool EditorShows(const QImage& screen) const
    {
        const Box band{m_box.x + 4, m_box.y + m_box.h - 8, m_box.w - 8, 4};
        return CountColour(screen, band, {255, 255, 255}) * 10 >= band.w * band.h * 8;
    }

    void WaitForEditor(bool open)
    {
        WaitUntil(open ? "the editor opens over the text object" : "the editor closes",
                  [&] { return EditorShows(Shot()) == open; });
    }

    // The ink of the text in and around the box, once the screen holds still.
    Ink SettledInk(std::string_view what, const std::function<bool(const QImage&)>& ready, QImage* shown = nullptr)
    {
        // The ink, not the whole screen: the editor's cursor blinks.
        const Box area{m_box.x - 10, m_box.y - 10, m_box.w + 20, m_box.h + 20};
        QImage screen;
        Ink ink, last;
        WaitUntil(what, [&] {
            screen = Shot();
            last = std::exchange(ink, InkIn(screen, area));
            return ink.count > 0 && ink.count == last.count && SameBox(ink.box, last.box) && ready(screen);
        });
        if (shown)
            *shown = screen;
        return ink;
    }

    Box m_box;
    Point m_elsewhere;
};

// Typed at once into the editor that opens, committed by a click elsewhere, saved; opened again by a
// click on the object, its text replaced (Ctrl+A selects the editor's text, and runs no command of the
// main window) and saved from the File menu while the editor is open, then committed by Escape.
TEST_F(TextJourney, ATextObjectIsTypedCommittedReopenedAndChanged)
{
    PresetFont();
    NewTextBox();
    Key("Return");
    ConfirmColour();
    WaitForEditor(true);
    Type("Hello maze");
    SettledInk("the typed text shows in the editor", [&](const QImage& s) { return EditorShows(s); });
    Shot("typed");

    Click(m_elsewhere);
    WaitForEditor(false);
    SettledInk("the committed text shows on the page", [&](const QImage& s) { return !EditorShows(s); });
    Shot("committed");
    const auto file = WorkDir() / "text.mze";
    SaveNew(file);
    {
        const auto doc = LoadMaze(file);
        ASSERT_EQ(doc->m_objects.GetSize(), 1);
        const CLogicalRectTracker& object = doc->m_objects[0];
        EXPECT_EQ(object.m_nKind, CLogicalRectTracker::kindTextTransparent);
        EXPECT_EQ(object.m_strText.str(), "Hello maze");
        EXPECT_EQ(object.m_crText, kBlueInk);
    }

    Click(m_box.Centre());
    WaitForEditor(true);
    const Ink reopened =
        SettledInk("the editor shows the object's text", [&](const QImage& s) { return EditorShows(s); });
    Shot("reopened");
    Key("ctrl+a");
    Type("Changed");
    SettledInk("the editor shows the changed text", [&](const QImage& s) {
        return EditorShows(s) && InkIn(s, m_box).count != reopened.count;
    });

    // File > Save from the menu opened with the mouse: the menu leaves the focus in the editor.
    const Box main = ClientBox(MainWindow());
    Click({main.x + 12, main.y + 10});
    WaitUntil("the File menu opens", [&] { return !Popups().empty(); });
    Key("Down Down Down Return");  // New, Open, Save
    std::string saved;
    WaitUntil("the saved file holds the text the editor shows", [&] {
        const auto doc = LoadMaze(file);
        saved = doc->m_objects.GetSize() == 1 ? doc->m_objects[0].m_strText.str() : "";
        return saved != "Hello maze";
    });
    EXPECT_EQ(saved, "Changed");
    EXPECT_TRUE(EditorShows(Shot())) << "the save ended the editing";

    Key("Escape");
    WaitForEditor(false);
    SettledInk("the changed text shows on the page", [&](const QImage& s) { return !EditorShows(s); });
    Shot("changed");
    EXPECT_FALSE(MenuItemChecked("View", "Animated Creation")) << "Ctrl+A in the editor ran the main window's command";
}

// Bold, italic and underlined: the editor draws the typed text with the same face, size, effects and
// place as the object draws it once committed.
TEST_F(TextJourney, TheEditorShowsTheTextAsTheCommittedObjectDrawsIt)
{
    PresetFont();
    NewTextBox();
    // Underline: the lower of the dialog's two effects, ticked with the mouse.
    std::vector<Point> boxes;
    WaitUntil("the font dialog shows its effects", [&] {
        boxes = FindCheckBoxes(Shot(), ClientBox(ActiveWindow()));
        return boxes.size() == 2;
    });
    Click(boxes[1]);
    WaitUntil("Underline is ticked", [&] { return CheckBoxChecked(Shot(), boxes[1]); });
    Shot("font-dialog");
    Key("Return");
    ConfirmColour();
    // The program keeps the chosen font in the profile before it opens the editor.
    WaitForEditor(true);
    const LOGFONTA chosen = ChosenFont();
    EXPECT_STREQ(chosen.lfFaceName, "DejaVu Sans");
    EXPECT_GE(chosen.lfWeight, FW_BOLD);
    EXPECT_TRUE(chosen.lfItalic);
    EXPECT_TRUE(chosen.lfUnderline);

    // A person clicks into the box before typing.
    Click({m_box.x + m_box.w / 2, m_box.y + m_box.h / 2});
    Type("Maze Text");
    const Ink typing = SettledInk("the typed text shows in the editor", [&](const QImage& s) { return EditorShows(s); });
    Shot("text-typing");

    Click(m_elsewhere);
    WaitForEditor(false);
    // With the maze layer active the object shows without its frame.
    Key("ctrl+2");
    const Ink committed =
        SettledInk("the committed text shows on the page", [&](const QImage& s) { return !EditorShows(s); });
    Shot("text-committed");

    // Both are drawn by the same rasteriser from the same font at the same origin; the ground below (the
    // editor's white, the maze's fills) moves a glyph edge pixel in or out of the solid ink now and
    // then, and that is all that may differ.
    const std::string both = "\n  typing:    " + Describe(typing) + "\n  committed: " + Describe(committed);
    EXPECT_NEAR(typing.box.x, committed.box.x, 2) << both;
    EXPECT_NEAR(typing.box.y, committed.box.y, 2) << both;
    EXPECT_NEAR(typing.box.w, committed.box.w, 3) << both;
    EXPECT_NEAR(typing.box.h, committed.box.h, 3) << both;
    EXPECT_NEAR(typing.count, committed.count, committed.count / 10) << both;
    // Underlined: a solid line under the whole text, in the editor as on the page.
    EXPECT_GE(typing.longestRow * 10, typing.box.w * 8) << both;
    EXPECT_GE(committed.longestRow * 10, committed.box.w * 8) << both;
}

} // namespace
