// What a person sees of printing and of the About box: Print Preview shows the maze and its solution
// side by side, centred and whole at the zoom the toolbar chooses, and its fit buttons fit them; Print
// Setup opens from the File menu; the About box shows its picture; a tiled maze shows its START and STOP
// corners with their tiles.
#include "tests/journey/MazeJourney.h"
#include "tests/journey/WindowReference.h"
#include "tests/support/PreviewPages.h"

#include "app/CAboutDlg.h"
#include "maze/CVantrelDoc.h"
#include "resources/resource.h"

#include <QAction>
#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace {

using namespace journey;

// The share, in percent, of the box's pixels that pass the test.
int Share(const QImage& screen, const Box& box, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    for (int y = box.y; y < box.y + box.h; ++y)
        for (int x = box.x; x < box.x + box.w; ++x)
            n += test(screen.pixel(x, y)) ? 1 : 0;
    return box.Empty() ? 0 : n * 100 / (box.w * box.h);
}

bool Blue(QRgb c) { return qBlue(c) > 150 && qBlue(c) > qRed(c) + 60; }
bool Black(QRgb c) { return qGray(c) < 60; }
bool White(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }

// The maze on a preview page: the box of its outer walls, the outermost columns and rows of the page
// box that are dark (a wall's grey) for a quarter of its height or half its width; an empty box when
// there are none.
Box MazeOnPage(const QImage& shot, const Box& page)
{
    const auto dark = [&](int x, int y) { return qGray(shot.pixel(x, y)) < 200; };
    int left = -1, right = -1, top = -1, bottom = -1;
    for (int x = page.x; x < page.x + page.w; ++x) {
        int n = 0;
        for (int y = page.y; y < page.y + page.h; ++y)
            n += dark(x, y);
        if (n * 4 >= page.h) {
            left = left < 0 ? x : left;
            right = x;
        }
    }
    for (int y = page.y; left >= 0 && y < page.y + page.h; ++y) {
        int n = 0;
        for (int x = left; x <= right; ++x)
            n += dark(x, y);
        if (n * 2 >= right - left + 1) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    return top < 0 ? Box{} : Box{left, top, right - left, bottom - top};
}

// The walls that one screen shows and the other does not, as "col,row side" texts: `window` the grid
// in the program's window (black walls), `preview` the maze on a preview page (walls a grey darker than
// the paper and its pale watermark). The walls of the hidden START and STOP cells are left out: the
// window draws them pale.
std::string WallsNotAlike(const QImage& window, const GridOnScreen& grid, const QImage& preview,
                          const GridOnScreen& page)
{
    const std::set<Cell> hidden = CellsOf(window, grid, {kHiddenStart, kHiddenStop});
    std::string differ;
    for (int row = 0; row < grid.rows; ++row)
        for (int col = 0; col < grid.cols; ++col)
            for (int side = 1; side <= 4; ++side) {
                if (hidden.count({col, row}) || hidden.count({col + kDx[side], row + kDy[side]}))
                    continue;
                // The middle of the edge on the page, and the darkest grey two pixels either side of it.
                const Box& b = page.box;
                const bool across = side == 1 || side == 3;
                const int x = b.x + (across ? 2 * col + 1 : 2 * col + (side == 2 ? 2 : 0)) * b.w / (2 * page.cols);
                const int y = b.y + (across ? 2 * row + (side == 3 ? 2 : 0) : 2 * row + 1) * b.h / (2 * page.rows);
                int darkest = 255;
                for (int d = -2; d <= 2; ++d)
                    darkest = std::min(darkest, qGray(preview.pixel(across ? x : x + d, across ? y + d : y)));
                if ((darkest < 200) != grid.Wall(window, col, row, side))
                    differ += std::to_string(col) + "," + std::to_string(row) + " " + std::to_string(side) + "; ";
            }
    return differ;
}

class PrintJourney : public MazeJourney {
protected:
    // Waits until problem() finds nothing wrong; at the deadline the journey fails with what it found.
    void WaitForNothingWrong(const std::string& what, const std::function<std::string()>& problem)
    {
        std::string last;
        try {
            WaitUntil(what, [&] {
                last = problem();
                return last.empty();
            });
        } catch (...) {
            ADD_FAILURE() << what << ": " << last;
            throw;
        }
    }
};

// The preview window as the screen shows it: its page area (the box of its grey background below the
// toolbar) and the pages in it, in the area's pixels.
struct PreviewOnScreen {
    QImage shot;
    Box area;
    std::vector<QRect> pages;

    // Reads the screen; true when it shows the same as at the last look (the window holds still).
    bool Look(QImage screen, const Box& below)
    {
        const bool still = screen == shot;
        shot = std::move(screen);
        const QColor grey(Qt::gray);
        area = journey::BoxOfColour(shot, below, {grey.red(), grey.green(), grey.blue()});
        pages = area.Empty() ? std::vector<QRect>{} : preview_pages::Find(shot.copy(area.x, area.y, area.w, area.h));
        return still && !area.Empty();
    }
    std::string SideBySide() const { return preview_pages::SideBySide(pages, QSize(area.w, area.h), true, 3); }
    Box PageBox(int i) const
    {
        const QRect& p = pages[size_t(i)];
        return {area.x + p.x(), area.y + p.y(), p.width(), p.height()};
    }
};

TEST_F(PrintJourney, PreviewShowsTheMazeAndItsSolutionSideBySide)
{
    // Where the toolbar and its fit buttons lie, from the journey's own preview window.
    QRect bar, fitWidth, fitPage;
    {
        journey::EnsureReferenceApplication();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        QPrintPreviewDialog dialog(&printer);
        dialog.show();
        QCoreApplication::processEvents();
        auto* pBar = dialog.findChild<QToolBar*>();
        ASSERT_NE(pBar, nullptr);
        bar = journey::RectIn(&dialog, pBar);
        fitWidth = journey::RectIn(&dialog, pBar->widgetForAction(dialog.findChild<QAction*>("fitWidthAction")));
        fitPage = journey::RectIn(&dialog, pBar->widgetForAction(dialog.findChild<QAction*>("fitPageAction")));
        dialog.close();
    }

    const GridOnScreen grid = NewMaze();
    ChooseMenu("Maze Options", "Make Maze");
    WaitUntil("Make Maze grows a maze", [&] { return OpenInteriorWalls(Shot(), grid) * 2 > m_cols * m_rows; });
    const QImage mazeInWindow = Shot();

    ChooseMenu("File", "Print Preview");
    const unsigned long window = WaitForActive("Print Preview");
    const Box client = ClientBox(window);
    const Box toolbar = journey::OnScreen(client, bar);
    const Box below{client.x, toolbar.y + toolbar.h, client.w, client.y + client.h - (toolbar.y + toolbar.h)};
    PreviewOnScreen preview;
    WaitForNothingWrong("the preview shows two pages side by side, centred and whole", [&] {
        return preview.Look(Shot(), below) ? preview.SideBySide() : std::string("the preview is not drawn yet");
    });
    Shot("preview");
    // Page 1 is the maze, page 2 its solution.
    EXPECT_EQ(journey::CountColour(preview.shot, preview.PageBox(0), kSolution), 0) << "the maze page shows the solution";
    EXPECT_GT(journey::CountColour(preview.shot, preview.PageBox(1), kSolution), 100) << "the solution page shows none";
    // Page 1 shows every wall of the maze in the window, the outer ones too, and no other, though a wall
    // is far thinner than a screen pixel at this zoom.
    const GridOnScreen page{MazeOnPage(preview.shot, preview.PageBox(0)), m_cols, m_rows};
    ASSERT_FALSE(page.Empty()) << "the maze page shows no outer walls";
    EXPECT_EQ(WallsNotAlike(mazeInWindow, grid, preview.shot, page), "")
        << "walls shown in the window and not in the preview, or back";

    // Fit width: the pages fill the width; fit page: both whole and centred again.
    Click(journey::OnScreen(client, fitWidth).Centre());
    WaitUntil("Fit width fills the width with the two pages", [&] {
        return preview.Look(Shot(), below) && preview.pages.size() == 2 &&
               preview.pages[0].united(preview.pages[1]).width() * 10 >= preview.area.w * 9;
    });
    Shot("fit-width");
    Click(journey::OnScreen(client, fitPage).Centre());
    WaitForNothingWrong("Fit page shows both pages whole and centred again", [&] {
        return preview.Look(Shot(), below) ? preview.SideBySide() : std::string("the preview is not drawn yet");
    });
    Shot("fit-page");
    Key("Escape");
    WaitForNoWindow("Print Preview");
}

TEST_F(PrintJourney, AboutBoxShowsItsPicture)
{
    QRect picture;
    CAboutDlg about;
    journey::Reference([&] { about.DoModal(); }, [&](CDialog& d) {
        picture = journey::RectIn(d.GetQDialog(), d.GetDlgItem(IDC_ABOUT_PICTURE)->GetWidget());
    });
    ASSERT_FALSE(picture.isEmpty());

    Start();
    ChooseMenu("Help", "About Quillmont...");
    const unsigned long window = WaitForActive("About FREE Quillmont");
    const Box box = journey::OnScreen(ClientBox(window), picture);
    // The splash picture: a blue ground around a white maze.
    WaitUntil("the About box shows the splash picture", [&] {
        const QImage screen = Shot();
        return Share(screen, box, Blue) >= 15 && Share(screen, box, White) >= 25;
    });
    Shot("about");
    Key("Escape");
    WaitForNoWindow("About FREE Quillmont");
}

// Print Setup comes from the printing layer, which offers it to the application's File menu.
TEST_F(PrintJourney, PrintSetupOpensFromTheFileMenu)
{
    Start();
    ChooseMenu("File", "Print Setup...");
    WaitForActive("Page Setup");
    Shot("print-setup");
    Key("Escape");
    WaitForNoWindow("Page Setup");
}

TEST_F(PrintJourney, TiledMazeShowsItsStartAndStopTiles)
{
    const GridOnScreen grid = NewMaze();
    // A template of the built-in tile set, from a file opened by File Open.
    const auto file = WorkDir() / "tiled.mze";
    {
        CVantrelDoc tiled;
        tiled.OnFileNew();
        tiled.m_bTiled = 1;
        tiled.m_strTilerID = ":ID:#180";
        ASSERT_TRUE(tiled.OnSaveDocument(file.c_str()));
    }
    OpenByDialog(file);
    // The built-in set's tile of a closed cell draws thick bars where plain walls are thin lines.
    WaitUntil("the view shows the tiled template", [&] { return Share(Shot(), grid.box, Black) >= 8; });
    ChooseMenu("Maze Options", "Make Maze");

    // The built-in set has no START or STOP tile: those cells show the missing-tile picture, black bands
    // with a blue note, where the other cells show black walls on white.
    const Box start = grid.CellBox(0, 0), stop = grid.CellBox(m_cols - 1, m_rows - 1);
    const Box other = grid.CellBox(1, 0);
    WaitUntil("the tiled maze shows its START and STOP with their tiles", [&] {
        const QImage screen = Shot();
        return Share(screen, start, Black) >= 20 && Share(screen, start, Blue) >= 1 &&
               Share(screen, stop, Black) >= 20 && Share(screen, stop, Blue) >= 1 &&
               Share(screen, other, Black) > 0 && Share(screen, other, Blue) == 0;
    });
    Shot("tiled");
}

} // namespace
