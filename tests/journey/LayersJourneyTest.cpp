// Pictures over and in the maze: an image object placed on the background layer from a file and
// dragged to a new place, its rectangle in the saved file moved by the drag; and a mask applied to
// the template, its dark pixels blackening cells and its light pixels erasing them.
#include "tests/journey/MazeJourney.h"

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"

#include <QColor>

namespace {

using namespace journey;

// A colour nothing else on the screen shows.
constexpr Rgb kPictureColour{0, 0, 255};

TEST_F(MazeJourney, APlacedPictureMovesWhereItIsDragged)
{
    const GridOnScreen grid = NewMaze();
    const auto file = WorkDir() / "blue.png";
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(kPictureColour.r, kPictureColour.g, kPictureColour.b));
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));

    // A rubber band on the background layer, then the picture's file.
    ChooseMenu("Maze Options", "Active Layer", "BackGround Imgs");
    const Point from = grid.Cell(1, 1), to = grid.Cell(4, 3);
    Drag(from, to);
    WaitForActive("Open");
    EnterFileName(file);
    WaitForActive("- FREE Quillmont");
    Box placed;
    WaitUntil("the picture fills the rubber band", [&] {
        placed = BoxOfColour(Shot(), grid.box, kPictureColour);
        return std::abs(placed.x - from.x) <= 2 && std::abs(placed.y - from.y) <= 2 &&
               std::abs(placed.x + placed.w - to.x) <= 2 && std::abs(placed.y + placed.h - to.y) <= 2;
    });
    Shot("placed");
    const auto before = SaveNewAndRead("placed.mze");
    ASSERT_EQ(before->m_objects.GetSize(), 1);
    const CRect first = before->m_objects[0].m_rectLogical;
    EXPECT_EQ(before->m_objects[0].m_nLayer, 1);

    // Dragged by its middle two cells right and three down.
    const Point grab = placed.Centre();
    const Point drop{grab.x + (grid.Cell(2, 0).x - grid.Cell(0, 0).x), grab.y + (grid.Cell(0, 3).y - grid.Cell(0, 0).y)};
    const int dx = drop.x - grab.x, dy = drop.y - grab.y;
    Drag(grab, drop);
    Box moved;
    WaitUntil("the picture shows where it was dragged", [&] {
        moved = BoxOfColour(Shot(), grid.box, kPictureColour);
        return std::abs(moved.x - (placed.x + dx)) <= 1 && std::abs(moved.y - (placed.y + dy)) <= 1;
    });
    Shot("moved");
    EXPECT_NEAR(moved.w, placed.w, 1);
    EXPECT_NEAR(moved.h, placed.h, 1);

    // The saved rectangle moved by the drag, in the page's units (y grows upwards), and kept its size.
    SaveAs(WorkDir() / "moved.mze", 2);
    const auto after = LoadMaze(WorkDir() / "moved.mze");
    ASSERT_EQ(after->m_objects.GetSize(), 1);
    const CRect second = after->m_objects[0].m_rectLogical;
    // The screen shows a cell of the document's cell size (thousandths of an inch) in grid.box / cells
    // pixels.
    const double perPixelX = double(after->m_nCellWidth) * m_cols / grid.box.w;
    const double perPixelY = double(std::abs(after->m_nCellHeight)) * m_rows / grid.box.h;
    EXPECT_EQ(second.Width(), first.Width());
    EXPECT_EQ(second.Height(), first.Height());
    EXPECT_NEAR(second.left - first.left, dx * perPixelX, 2 * perPixelX);
    EXPECT_NEAR(second.top - first.top, -dy * perPixelY, 2 * perPixelY);
    EXPECT_EQ(after->m_objects[0].m_nLayer, 1);
}

// What the mask makes of cell (col, row): 0 blacken (black), 1 erase (white), 2 leave (mid grey).
int MaskChoice(int col, int row)
{
    return (col + 2 * row) % 3;
}

TEST_F(MazeJourney, AMaskBlackensCellsUnderDarkPixelsAndErasesCellsUnderLightOnes)
{
    const GridOnScreen grid = NewMaze();
    // A block of 10 x 10 pixels for each cell: the mask is spread over the grid from the first cell's
    // centre to the last's, so each cell's centre falls in its own block.
    constexpr int kBlock = 10;
    QImage mask(m_cols * kBlock, m_rows * kBlock, QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const int choice = MaskChoice(x / kBlock, y / kBlock);
            mask.setPixel(x, y, choice == 0 ? qRgb(0, 0, 0) : choice == 1 ? qRgb(255, 255, 255) : qRgb(128, 128, 128));
        }
    const auto file = WorkDir() / "mask.bmp";
    ASSERT_TRUE(mask.save(QString::fromStdString(file.string()), "BMP"));

    ChooseMenu("Maze Options", "Apply BMP Mask");
    WaitForActive("Open");
    EnterFileName(file);
    WaitForActive("- FREE Quillmont");
    std::set<Cell> black;
    for (const Cell& at : AllCells())
        if (MaskChoice(at.first, at.second) == 0)
            black.insert(at);
    QImage screen;
    WaitUntil("the cells under dark pixels turn black", [&] {
        screen = Shot();
        return CellsOf(screen, grid, {kBlack}) == black;
    });
    Shot("masked");
    // The cells under grey pixels are left as they were, a template's cells walled on every side.
    for (const Cell& at : AllCells()) {
        if (MaskChoice(at.first, at.second) != 2)
            continue;
        for (int side = 1; side <= 4; ++side)
            EXPECT_TRUE(grid.Wall(screen, at.first, at.second, side)) << "cell " << at.first << "," << at.second;
    }

    const auto doc = SaveNewAndRead("masked.mze");
    const Object& g = *doc->GetGrid(0);
    for (const Cell& at : AllCells()) {
        const MazeCell& cell = g.GetCell(at.first, at.second);
        static constexpr WORD kFlags[] = {CELL_BLACKENED, CELL_ERASED, 0};
        EXPECT_EQ(cell.flags, kFlags[MaskChoice(at.first, at.second)]) << "cell " << at.first << "," << at.second;
        EXPECT_EQ(cell.passages, 0) << "cell " << at.first << "," << at.second;
    }
}

} // namespace
