// What a person sees of printing and of the About box: Print Preview shows the maze and its solution
// side by side, centred and whole at the zoom the toolbar chooses, and its fit buttons fit them; the
// About box shows its picture; a tiled maze shows its START and STOP corners with their tiles.
#include "tests/journey/MazeJourney.h"
#include "tests/journey/WindowReference.h"
#include "tests/platform/preview_pages.h"

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
