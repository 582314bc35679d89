// Printing with no printer: the print options dialog, then the PDF file the program offers in place of a
// printer. The pages pdftoppm renders from it are the maze and its solution: the walls of the maze the
// document holds, the hidden START and STOP left out, and the solution's cells on the second page only.
#include "tests/journey/MazeJourney.h"

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"

namespace {

using namespace journey;

// Walls on paper are a 150th of an inch: whole black pixels from 300 dpi up.
constexpr int kDpi = 300;

TEST_F(MazeJourney, PrintsTheMazeAndItsSolutionToAPdfFile)
{
    const GridOnScreen grid = NewMaze();
    ChooseMenu("Maze Options", "Make Maze");
    WaitUntil("Make Maze grows a maze", [&] { return OpenInteriorWalls(Shot(), grid) * 2 > m_cols * m_rows; });

    Key("ctrl+p");
    WaitForActive("Quillmont Print Dialog");
    Shot("print-options");
    // PRINT is the dialog's default button; with no printer the job goes to a PDF file the program asks for.
    Key("Return");
    WaitForActive("Save As");
    const auto pdf = WorkDir() / "maze.pdf";
    EnterFileName(pdf);
    const std::vector<QImage> pages = PdfPages(pdf, kDpi);
    ASSERT_EQ(pages.size(), 2u) << "the job prints the maze and its solution";

    // The maze the pages show is the document's.
    const auto doc = SaveNewAndRead("printed.mze");
    const Object& g = *doc->GetGrid(0);
    std::set<Cell> solution;
    for (const Cell& at : AllCells())
        if (g.GetCell(at.first, at.second).flags & CELL_SOLUTION)
            solution.insert(at);
    ASSERT_FALSE(solution.empty());
    const std::set<Cell> marks = MarkedCells(g);
    for (const Cell& at : marks)
        solution.erase(at);

    const char* names[] = {"maze page", "solution page"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(names[i]);
        const QImage& page = pages[std::size_t(i)];
        const GridOnScreen printed = FindGrid(page, m_cols, m_rows);
        ASSERT_FALSE(printed.Empty()) << "no maze grid on the page";
        // The grid fills a good part of the page's width, as the template is laid out for it.
        EXPECT_GT(printed.box.w * 2, page.width());
        ExpectScreenShowsPassages(page, printed, g, marks);
        // Hidden START and STOP are not drawn on paper, neither their fill nor their walls.
        EXPECT_TRUE(CellsOf(page, printed, {kHiddenStart, kHiddenStop, kStart, kStop}).empty());
        const std::set<Cell> shown = CellsOf(page, printed, {kSolution});
        EXPECT_EQ(shown, i == 0 ? std::set<Cell>{} : solution);
    }
}

} // namespace
