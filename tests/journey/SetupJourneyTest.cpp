// Maze Setup: the ring template and the built-in tile set, chosen on the Style page with the mouse and
// confirmed with Enter; the screen shows the new template, Make Maze grows a maze on it, and the saved
// file and the profile hold the choice.
#include "tests/journey/MazeJourney.h"

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"

#include <cmath>
#include <map>

namespace {

using namespace journey;

constexpr int kCircularChoice = 6;
constexpr int kSquareTiledChoice = 7;

bool Dark(const QImage& screen, int x, int y) { return qGray(screen.pixel(x, y)) < 80; }

// A ring maze on the screen: the round outline the dark pixels in the box make.
struct RingOnScreen {
    int cx = 0, cy = 0, radius = 0, height = 0;
    int dark = 0;  // dark pixels inside the outline
};

RingOnScreen FindRing(const QImage& screen, Box within)
{
    int left = screen.width(), right = -1, top = screen.height(), bottom = -1;
    for (int y = within.y; y < within.y + within.h; ++y)
        for (int x = within.x; x < within.x + within.w; ++x)
            if (Dark(screen, x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    RingOnScreen ring;
    if (right < left || bottom < top)
        return ring;
    ring.cx = (left + right) / 2;
    ring.cy = (top + bottom) / 2;
    ring.radius = (right - left) / 2;
    ring.height = bottom - top;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            ring.dark += Dark(screen, x, y);
    return ring;
}

// Whether the outline is a closed round: a dark pixel near the radius at every angle (the outer wall
// is drawn as chords, a few pixels inside the circle between the corners).
bool RoundOutline(const QImage& screen, const RingOnScreen& ring)
{
    if (ring.radius < 50)
        return false;
    const auto darkNear = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Dark(screen, x + dx, y + dy))
                    return true;
        return false;
    };
    for (int a = 0; a < 360; a += 5) {
        const double t = a * 3.14159265358979 / 180;
        bool found = false;
        for (int r = ring.radius - 10; r <= ring.radius + 1 && !found; ++r)
            found = darkNear(ring.cx + int(std::lround(r * std::cos(t))), ring.cy + int(std::lround(r * std::sin(t))));
        if (!found)
            return false;
    }
    return true;
}

// What a cell shows, coarsely: which of its 4 x 4 blocks hold dark pixels. Tiles are scaled to cells
// that differ by a pixel, so cells with the same tile match block by block, not pixel by pixel.
using Look = std::vector<bool>;

Look LookOf(const QImage& screen, const GridOnScreen& grid, Cell at)
{
    constexpr int kBlocks = 4;
    const Box b = grid.CellBox(at.first, at.second);
    Look look(kBlocks * kBlocks, false);
    for (int by = 0; by < kBlocks; ++by)
        for (int bx = 0; bx < kBlocks; ++bx) {
            int dark = 0;
            for (int y = b.y + by * b.h / kBlocks; y < b.y + (by + 1) * b.h / kBlocks; ++y)
                for (int x = b.x + bx * b.w / kBlocks; x < b.x + (bx + 1) * b.w / kBlocks; ++x)
                    dark += Dark(screen, x, y);
            look[std::size_t(by * kBlocks + bx)] = dark >= 3;
        }
    return look;
}

TEST_F(MazeJourney, MazeSetupMakesARingTemplateThatGrowsARingMaze)
{
    const GridOnScreen grid = NewMaze();
    ChooseTemplate(kCircularChoice, "setup-circular");

    RingOnScreen tmpl;
    WaitUntil("the view shows a ring template", [&] {
        const QImage screen = Shot();
        tmpl = FindRing(screen, grid.box);
        return RoundOutline(screen, tmpl) && std::abs(tmpl.height - 2 * tmpl.radius) <= 2;
    });
    Shot("ring-template");
    EXPECT_NEAR(tmpl.cx, grid.box.Centre().x, grid.box.w / 10);
    EXPECT_EQ(ProfileValue("size", "type"), "40");

    ChooseMenu("Maze Options", "Make Maze");
    RingOnScreen maze;
    WaitUntil("Make Maze opens walls inside the ring", [&] {
        const QImage screen = Shot();
        maze = FindRing(screen, grid.box);
        return RoundOutline(screen, maze) && maze.dark * 10 < tmpl.dark * 9;
    });
    Shot("ring-maze");
    EXPECT_NEAR(maze.radius, tmpl.radius, 3);

    const auto file = WorkDir() / "ring.mze";
    SaveNew(file);
    const auto doc = LoadMaze(file);
    EXPECT_EQ(doc->m_nType, 40);
    ASSERT_GE(doc->m_nGrids, 1);
    const Object& g = *doc->GetGrid(0);
    EXPECT_EQ(g.kind, 2);
    // A maze joins the ring's cells by passages: a tree, n - 1 passages for n carved cells.
    int carved = 0, sides = 0;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            carved += g.GetCell(x, y).IsCarved();
            sides += g.GetCell(x, y).OpenSides();
        }
    EXPECT_GT(carved, 100);
    EXPECT_EQ(sides, 2 * (carved - 1));
}

TEST_F(MazeJourney, MazeSetupWithTheTileSetDrawsEachCellWithTheTileOfItsPassages)
{
    const GridOnScreen grid = NewMaze();
    const QImage plain = Shot("template");
    ChooseTemplate(kSquareTiledChoice, "setup-tiled");
    // The template's cells all show the tile of a cell closed on every side.
    WaitUntil("the view draws the template with tiles", [&] {
        const QImage screen = Shot();
        const Look first = LookOf(screen, grid, {0, 0});
        if (std::count(first.begin(), first.end(), true) == 0)
            return false;
        for (const Cell& at : AllCells())
            if (LookOf(screen, grid, at) != first)
                return false;
        return true;
    });
    Shot("tiled-template");
    EXPECT_EQ(ProfileValue("size", "Tiler"), "1");
    EXPECT_EQ(ProfileValue("size", "TilerID"), ":ID:#180");

    ChooseMenu("Maze Options", "Make Maze");
    const auto doc = SaveNewAndRead("tiled.mze");
    EXPECT_EQ(doc->m_nType, 0);
    EXPECT_EQ(doc->m_bTiled, 1);
    EXPECT_EQ(doc->m_strTilerID, ":ID:#180");
    const Object& g = *doc->GetGrid(0);
    ExpectTree(g, AllCells());
    const QImage tiled = Shot("tiled-maze");

    // Every cell shows the tile of its passages: cells with the same passages look the same (in their
    // dark pixels; the watermark shows through), cells with other passages differ.
    std::map<int, Look> byCode;
    for (const Cell& at : AllCells()) {
        const MazeCell& cell = g.GetCell(at.first, at.second);
        if (cell.flags & (CELL_START | CELL_STOP))
            continue;
        const Look shown = LookOf(tiled, grid, at);
        // The built-in set draws corridors: a closed side is a line across the cell's edge blocks.
        static constexpr int kEdgeBlocks[5][2] = {{0, 0}, {1, 2}, {7, 11}, {13, 14}, {4, 8}};
        for (int side = 1; side <= 4; ++side) {
            const bool line = shown[std::size_t(kEdgeBlocks[side][0])] && shown[std::size_t(kEdgeBlocks[side][1])];
            EXPECT_EQ(line, !cell.HasPassage(side)) << "cell " << at.first << "," << at.second << " side " << side;
        }
        const int code = cell.passages & 0xF;
        auto [it, first] = byCode.emplace(code, shown);
        if (!first) {
            EXPECT_TRUE(it->second == shown) << "cell " << at.first << "," << at.second << " with passages " << code;
        }
    }
    EXPECT_GE(byCode.size(), 6u);
    for (auto a = byCode.begin(); a != byCode.end(); ++a)
        for (auto b = std::next(a); b != byCode.end(); ++b)
            EXPECT_FALSE(a->second == b->second) << "passages " << a->first << " and " << b->first << " look alike";
    EXPECT_NE(plain, tiled);
}

} // namespace
