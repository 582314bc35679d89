// Files as a person uses them: a maze saved in both formats by Save As, saved again by Ctrl+S without
// being asked for a name, and opened again by File Open, from the recent files of the File menu and
// from the command line. The window's title names the file each time, and the screen shows the maze
// the file holds.
#include "tests/journey/MazeJourney.h"
#include "tests/journey/WindowReference.h"

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

using namespace journey;

// The first file type of the save dialog.
const char* const kVersion2Type = "Quillmont V2 (*.mze)";

class FilesJourney : public MazeJourney {
protected:
    // Where a save dialog shows its file type (the text room of its list of types) and in which font,
    // from the journey's own save dialog.
    static std::pair<QRect, QFont> FileTypeRoom()
    {
        journey::EnsureReferenceApplication();
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({kVersion2Type, "Quillmont V1 (*.mze)"});
        dialog.show();
        QCoreApplication::processEvents();
        auto* pTypes = dialog.findChild<QComboBox*>("fileTypeCombo");
        if (!pTypes)
            throw std::runtime_error("the file dialog has no list of file types");
        QStyleOptionComboBox opt;
        opt.initFrom(pTypes);
        const QRect field =
            pTypes->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, pTypes);
        const QRect room = field.translated(journey::RectIn(&dialog, pTypes).topLeft());
        const QFont font = pTypes->font();
        dialog.close();
        return {room, font};
    }

    // The save dialog shows the type's text once: its ink is as wide as the text (a type whose
    // patterns show twice, "(*.mze) (*.mze)", is wider by the second). The ink is read from the left,
    // letter after letter, and ends at the first gap wider than two spaces (the list's frame lies
    // beyond). Until the dialog is drawn its room shows what lay beneath.
    void ExpectFileTypeShownOnce(unsigned long dialog, const std::pair<QRect, QFont>& room)
    {
        const Box box = journey::OnScreen(ClientBox(dialog), room.first);
        const int want = QFontMetrics(room.second).horizontalAdvance(kVersion2Type);
        const int gap = 2 * QFontMetrics(room.second).horizontalAdvance(' ') + 2;
        int shown = 0;
        try {
            WaitUntil("the save dialog shows its file type once", [&] {
                const QImage screen = Shot();
                int left = -1, right = -1;
                for (int x = box.x; x < box.x + box.w; ++x) {
                    bool ink = false;
                    for (int y = box.y; y < box.y + box.h && !ink; ++y)
                        ink = qGray(screen.pixel(x, y)) < 80;
                    if (!ink)
                        continue;
                    if (left >= 0 && x - right > gap)
                        break;
                    if (left < 0)
                        left = x;
                    right = x;
                }
                shown = left < 0 ? 0 : right - left + 1;
                return std::abs(shown - want) <= 4;
            });
        } catch (...) {
            // The journey goes on: the dialog still saves.
            ADD_FAILURE() << "the save dialog's file type is " << shown << " pixels wide, \"" << kVersion2Type
                          << "\" is " << want;
        }
        Shot("file-type");
    }

    // The grid the file holds (it must hold one).
    static const Object& GridOf(const CVantrelDoc& doc)
    {
        const Object* g = doc.GetGrid(0);
        if (!g)
            throw std::runtime_error("the file holds no grid");
        return *g;
    }

    // Waits until the title names the file and the screen shows the maze it holds.
    void WaitForMazeOf(const std::filesystem::path& file, const GridOnScreen& grid, const Object& g,
                       const std::string& shotName)
    {
        WaitForActive(file.filename().string() + " - FREE Quillmont");
        int wrong = -1;
        try {
            WaitUntil("the screen shows the maze of " + file.filename().string(), [&] {
                wrong = WallsDisagreeing(Shot(), grid, g, MarkedCells(g));
                return wrong == 0;
            });
        } catch (...) {
            ADD_FAILURE() << wrong << " walls of the screen disagree with " << file.filename().string();
            throw;
        }
        Shot(shotName);
    }

    // Ctrl+S writes the document to its file at once: the file is replaced (a new identity) with what
    // `holds` looks for, and no dialog asks for a name.
    std::unique_ptr<CVantrelDoc> SaveByCtrlS(const std::filesystem::path& file,
                                             const std::function<bool(const CVantrelDoc&)>& holds)
    {
        const unsigned long before = FileId(file);
        Key("ctrl+s");
        auto doc = LoadMaze(file, [&](const CVantrelDoc& d) { return FileId(file) != before && holds(d); });
        EXPECT_EQ(ActiveWindow(), MainWindow()) << "Ctrl+S opened '" << ActiveTitle() << "'";
        return doc;
    }
};

TEST_F(FilesJourney, SavedMazesOpenAgainByFileOpenTheRecentFilesAndTheCommandLine)
{
    const GridOnScreen grid = NewMaze();
    WaitForActive("Untitled - FREE Quillmont");
    const auto v2 = WorkDir() / "maze-v2.mze";
    const auto v1 = WorkDir() / "maze-v1.mze";

    // The template, saved as version 2: the title names the file.
    const auto typeRoom = FileTypeRoom();
    ChooseMenu("File", "Save As...");
    ExpectFileTypeShownOnce(WaitForActive("Save As"), typeRoom);
    EnterFileName(v2);
    WaitForActive("maze-v2.mze - FREE Quillmont");
    const auto tmpl = LoadMaze(v2);
    EXPECT_EQ(tmpl->m_dVersion, 2.0);
    EXPECT_EQ(CarvedCells(GridOf(*tmpl)), 0);

    // Grown, then saved by Ctrl+S into the same file, in the same format.
    ChooseMenu("Maze Options", "Make Maze");
    WaitUntil("Make Maze grows a maze", [&] { return OpenInteriorWalls(Shot(), grid) * 2 > m_cols * m_rows; });
    const auto grown = SaveByCtrlS(v2, [](const CVantrelDoc& d) { return d.GetGrid(0) && CarvedCells(*d.GetGrid(0)) > 0; });
    EXPECT_EQ(grown->m_dVersion, 2.0);
    const Object& maze = GridOf(*grown);
    ExpectTree(maze, AllCells());

    // Saved as version 1: the same cells, and the title names the new file.
    SaveAs(v1, 1);
    WaitForActive("maze-v1.mze - FREE Quillmont");
    const auto old = LoadMaze(v1);
    EXPECT_EQ(old->m_dVersion, 1.0);
    EXPECT_TRUE(SameCells(GridOf(*old), maze)) << "the version 1 file holds another maze";

    // File New leaves the document untitled; File Open brings the version 2 file back.
    Key("ctrl+n");
    WaitForActive("Untitled - FREE Quillmont");
    WaitUntil("File New shows the template", [&] { return OpenInteriorWalls(Shot(), grid) == 0; });
    OpenByDialog(v2);
    WaitForMazeOf(v2, grid, maze, "opened");
    // Ctrl+S writes it back where it came from, in its own format.
    const auto again = SaveByCtrlS(v2, [](const CVantrelDoc&) { return true; });
    EXPECT_EQ(again->m_dVersion, 2.0);
    EXPECT_TRUE(SameCells(GridOf(*again), maze));

    // The recent files list the version 2 file first (opened last), then the version 1 file.
    Key("ctrl+n");
    WaitForActive("Untitled - FREE Quillmont");
    WaitUntil("File New shows the template", [&] { return OpenInteriorWalls(Shot(), grid) == 0; });
    Key("alt+f");
    WaitUntil("the File menu opens", [&] { return !Popups().empty(); });
    Shot("recent-files");
    Key("2");
    WaitForMazeOf(v1, grid, maze, "recent");
    const auto kept = SaveByCtrlS(v1, [](const CVantrelDoc&) { return true; });
    EXPECT_EQ(kept->m_dVersion, 1.0) << "Ctrl+S changed the format the file was opened in";
    EXPECT_TRUE(SameCells(GridOf(*kept), maze));

    // Everything is saved: File Exit ends the program without a question.
    ChooseMenu("File", "Exit");
    EXPECT_EQ(WaitForExit(), 0);

    // Named on the command line, the file opens at start.
    Start({v2.string()});
    WaitForMazeOf(v2, grid, maze, "command-line");
}

} // namespace
