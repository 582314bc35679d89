// The information pane over a maze: switched on from Maze Setup's Advanced page, the lower row opens
// with the next local page of the installation (the program runs offline) at the height the page asks,
// grows after the page's delay, stays open while the maze repaints, and shrinks back step by step.
#include "tests/journey/MazeJourney.h"
#include "tests/journey/WindowReference.h"

#include "platform/ui/CPropertySheet.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using namespace journey;

constexpr int kAdvancedPage = 3;

// What the local pages ask in their titles: shown 60 pixels high, grown to 160 after 5 s, shrinking 20 s
// later.
constexpr int kShownHeight = 60;
constexpr int kExpandedHeight = 160;

// The local pages' ground, #f4f1e8.
bool PageGround(QRgb c) { return std::abs(qRed(c) - 244) <= 3 && std::abs(qGreen(c) - 241) <= 3 && std::abs(qBlue(c) - 232) <= 3; }

// Where the journey watches the lower row: a band right of the maze, from the maze's top to the bottom
// of the screen, where the view shows white and the pane its page.
Box Strip(const GridOnScreen& grid)
{
    const int left = grid.box.x + grid.box.w + 40;
    return {left, grid.box.y, Journey::kScreenWidth - 40 - left, Journey::kScreenHeight - grid.box.y};
}

// The rows of the strip that show a local page: mostly its ground (text leaves the rest).
int PageRows(const QImage& strip)
{
    int rows = 0;
    for (int y = 0; y < strip.height(); ++y) {
        int ground = 0;
        for (int x = 0; x < strip.width(); ++x)
            ground += PageGround(strip.pixel(x, y));
        rows += ground * 10 >= strip.width() * 3;
    }
    return rows;
}

// The page's text in the lower row, the strip's page rows across the whole width of the pane: dark
// pixels on the page's ground.
bool PageShowsText(const QImage& screen, const Box& strip)
{
    int first = -1, rows = 0;
    for (int y = strip.y; y < strip.y + strip.h; ++y) {
        int ground = 0;
        for (int x = strip.x; x < strip.x + strip.w; ++x)
            ground += PageGround(screen.pixel(x, y));
        if (ground * 10 >= strip.w * 3) {
            first = first < 0 ? y : first;
            ++rows;
        }
    }
    if (first < 0)
        return false;
    int dark = 0;
    for (int y = first; y < first + rows; ++y)
        for (int x = 60; x < strip.x + strip.w; ++x)
            dark += qGray(screen.pixel(x, y)) < 100;
    return dark > 100;
}

TEST_F(MazeJourney, TheInformationPaneOpensOverAMazeGrowsAndShrinks)
{
    // The page shown last in an earlier session: the rotation goes on with the one after it.
    SetProfileValue("Ads", "LastAd", "WELCOME");
    QRect advancedTab;
    ReferenceMazeSetup(kAdvancedPage, [&](CPropertySheet& sheet) { advancedTab = TabOf(sheet, kAdvancedPage); });

    const GridOnScreen grid = NewMaze();
    const Box strip = Strip(grid);
    ASSERT_EQ(PageRows(ShotOf(strip)), 0) << "the pane shows before it is switched on";

    // Switched on: the Advanced page's "Show Updated Information Window", then OK.
    ChooseMenu("Maze Options", "Maze Setup");
    const unsigned long sheet = WaitForActive("Quillmont Settings");
    Click(OnScreen(ClientBox(sheet), advancedTab).Centre());
    std::vector<Point> boxes;
    WaitUntil("the Advanced page shows its three switches", [&] {
        boxes = FindCheckBoxes(Shot(), ClientBox(sheet));
        return boxes.size() == 3;
    });
    ASSERT_FALSE(CheckBoxChecked(Shot(), boxes[1]));
    Click(boxes[1]);
    WaitUntil("the information window is switched on", [&] { return CheckBoxChecked(Shot(), boxes[1]); });
    Shot("switched-on");
    Box ok;
    WaitUntil("the sheet shows its OK button", [&] { return !(ok = FindDefaultButton(Shot(), ClientBox(sheet))).Empty(); });
    Click(ok.Centre());
    WaitForNoWindow("Quillmont Settings");

    // From here on every look at the screen notes the height of the lower row, when it has changed: the
    // page's timers size the pane while the journey goes on, at the machine's pace, and the heights it
    // went through are judged at the end.
    std::vector<int> heights;
    bool mazeGrown = false, grownSeen = false;
    // The maze shows in the top rows, above the pane: their outer wall whole (the hidden START in the
    // corner draws its walls pale) and passages open between their cells.
    const auto mazeOnTop = [&](const QImage& screen) {
        int open = 0;
        for (int c = 1; c < m_cols; ++c)
            if (!grid.Wall(screen, c, 0, 1))
                return false;
        for (int r = 0; r < 2; ++r)
            for (int c = 1; c + 1 < m_cols; ++c)
                open += !grid.Wall(screen, c, r, 2);
        return open > 2;
    };
    const auto look = [&] {
        const QImage screen = Shot();
        const int rows = PageRows(screen.copy(strip.x, strip.y, strip.w, strip.h));
        if ((!heights.empty() || rows > 0) && (heights.empty() || heights.back() != rows))
            heights.push_back(rows);
        // The grown pane under the grown maze, once.
        if (mazeGrown && !grownSeen && std::abs(rows - kExpandedHeight) <= 2) {
            grownSeen = true;
            EXPECT_TRUE(mazeOnTop(Shot("info-pane"))) << "the maze does not show above the grown pane";
        }
        return screen;
    };

    const auto seen = [&] {
        std::string text;
        for (int h : heights)
            text += " " + std::to_string(h);
        return text;
    };
    try {
        WaitUntil("the lower row opens with the next local page", [&] {
            const QImage screen = look();
            return ProfileValue("Ads", "LastAd") == "TEMPLATES" && !heights.empty() &&
                   std::abs(heights.back() - kShownHeight) <= 2 && PageShowsText(screen, strip);
        });
    } catch (...) {
        ADD_FAILURE() << "the pane went through the heights" << seen() << "; the page shown last is "
                      << ProfileValue("Ads", "LastAd");
        throw;
    }
    Shot("info-pane-shown");

    // The maze is grown and painted, its solution shown and hidden again, while the pane is open.
    ChooseMenu("Maze Options", "Make Maze");
    WaitUntil("Make Maze grows a maze", [&] { return mazeOnTop(look()); });
    mazeGrown = true;
    const auto solutionShows = [&](const QImage& screen) {
        for (int c = 0; c < m_cols; ++c)
            if (grid.Share(screen, c, 0, kSolution) > 50 || grid.Share(screen, c, 1, kSolution) > 50)
                return true;
        return false;
    };
    Key("ctrl+shift+5");
    WaitUntil("the view shows the solution", [&] { return solutionShows(look()); });
    Shot("solution");
    Key("ctrl+shift+5");
    WaitUntil("the view hides the solution", [&] { return !solutionShows(look()); });
    WaitUntil("the pane grows and shrinks away", [&] {
        look();
        const auto grown = std::find_if(heights.begin(), heights.end(),
                                        [](int h) { return std::abs(h - kExpandedHeight) <= 2; });
        return grown != heights.end() && heights.back() == 0;
    });
    Shot("shrunk");

    // The heights the pane went through: the page's shown height, its grown height, then nine tenths of
    // the height a step down to nothing (the journey may miss steps). A paint that collapsed the pane
    // would show as a height the steps do not reach, or as a fall to nothing in one go.
    std::printf("the pane went through the heights%s\n", seen().c_str());
    std::size_t i = 0;
    while (i < heights.size() && std::abs(heights[i] - kShownHeight) <= 2)
        ++i;
    EXPECT_GT(i, 0u) << "the pane did not open at the page's height; heights:" << seen();
    const std::size_t shown = i;
    while (i < heights.size() && std::abs(heights[i] - kExpandedHeight) <= 2)
        ++i;
    ASSERT_GT(i, shown) << "the pane did not go on to the page's grown height; heights:" << seen();
    for (std::size_t k = i; k < heights.size(); ++k) {
        int h = heights[k - 1];
        while (h > heights[k])
            h = h * 9 / 10;
        EXPECT_EQ(h, heights[k]) << "no step from " << heights[k - 1] << " gives " << heights[k] << "; heights:" << seen();
    }
    EXPECT_GE(heights.size() - i, 2u) << "the pane did not shrink step by step; heights:" << seen();
    EXPECT_TRUE(MenuItemChecked("View", "Info Box"));
}

} // namespace
