// Pictures in saved files: a WBMP picture, whose own writer cannot write it once it is placed, comes back
// from the saved file; a save the writer must refuse says why in a message box and writes nothing.
#include "tests/journey/MazeJourney.h"

#include "image/CRasterImage.h"
#include "maze/CVantrelDoc.h"

#include <fstream>

namespace {

using namespace journey;

constexpr int kPictureWidth = 48;
constexpr int kPictureHeight = 32;

// The picture's pixel (x, y), y from the top: black in a checker of 8-pixel squares.
bool Black(int x, int y)
{
    return ((x / 8) + (y / 8)) % 2 == 0;
}

// A WBMP file of the picture: type 0, no fixed header, width and height, rows of bits (1 is white).
void WriteWbmp(const std::filesystem::path& file)
{
    std::ofstream out(file, std::ios::binary);
    out.put(0).put(0).put(char(kPictureWidth)).put(char(kPictureHeight));
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; x += 8) {
            unsigned char bits = 0;
            for (int b = 0; b < 8; ++b)
                if (!Black(x + b, y))
                    bits |= 0x80 >> b;
            out.put(char(bits));
        }
}

TEST_F(MazeJourney, APlacedWbmpPictureComesBackFromTheSavedFile)
{
    const GridOnScreen grid = NewMaze();
    const auto wbmp = WorkDir() / "checker.wbmp";
    WriteWbmp(wbmp);

    ChooseMenu("Maze Options", "Active Layer", "BackGround Imgs");
    const Point from = grid.Cell(1, 1), to = grid.Cell(m_cols / 2, m_rows / 2);
    Drag(from, to);
    WaitForActive("Open");
    EnterFileName(wbmp);
    WaitUntil("the picture shows where it was placed", [&] {
        const QImage screen = Shot();
        const Box band{from.x, from.y, to.x - from.x, to.y - from.y};
        return CountColour(screen, band, kBlack) * 4 > band.w * band.h;
    });
    Shot("placed");

    const auto doc = SaveNewAndRead("pictures.mze");
    ASSERT_EQ(doc->m_objects.GetSize(), 1);
    const CRasterImage* picture = doc->m_objects[0].m_pImage;
    ASSERT_TRUE(picture && picture->IsValid()) << "the picture is lost";
    EXPECT_EQ(picture->GetType(), DWORD(IMAGE_FORMAT_PNG));
    ASSERT_EQ(picture->GetWidth(), DWORD(kPictureWidth));
    ASSERT_EQ(picture->GetHeight(), DWORD(kPictureHeight));
    int wrong = 0;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const RGBQUAD c = picture->GetPixelColor(x, kPictureHeight - 1 - y, false);
            const int expected = Black(x, y) ? 0 : 255;
            wrong += c.rgbRed != expected || c.rgbGreen != expected || c.rgbBlue != expected;
        }
    EXPECT_EQ(wrong, 0);
}

// Before File New the document has no grid, and a file without one could not be read back.
TEST_F(Journey, ASaveTheWriterRefusesSaysWhyAndWritesNothing)
{
    Start();
    const auto file = WorkDir() / "empty.mze";
    Key("ctrl+s");
    WaitForActive("Save");
    EnterFileName(file);
    WaitForActive("FREEQuillmont");
    // Asked anew each time: the toolkit may replace the box's X window while it settles.
    // Drawn: a light ground with the dark ink of its text (a window not yet drawn is black). The
    // ink is the anti-aliased text's, dark grey more than black, and its amount depends on the path
    // the message names.
    WaitUntil("the message box shows its text", [&] {
        const unsigned long box = ActiveWindow();
        const Box b = ClientBox(box);
        if (Title(box).find("FREEQuillmont") == std::string::npos || b.Empty())
            return false;
        const QImage screen = Shot();
        int ink = 0, light = 0;
        for (int y = b.y; y < b.y + b.h; ++y)
            for (int x = b.x; x < b.x + b.w; ++x) {
                const int grey = qGray(screen.pixel(x, y));
                ink += grey < 80;
                light += grey > 200;
            }
        return ink > 300 && light * 10 > b.w * b.h * 8;
    });
    Shot("refused");
    Key("Return");
    WaitForNoWindow("FREEQuillmont");
    EXPECT_FALSE(std::filesystem::exists(file));
}

} // namespace
