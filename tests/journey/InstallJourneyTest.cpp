// Starting from anywhere: the program started from a working folder that is not its own starts without
// an error box and finds its information pages; `cmake --install` of the build into a fresh prefix gives
// a program that, started from yet another folder, does the same and finds the tile sets of its Tiler
// folder. The installing journey installs the build named by VANTREL_JOURNEY_BUILD when set (an older
// build, to see it fail there), else this build.
#include "tests/journey/MazeJourney.h"

#include <QColor>
#include <QImage>

#include <fstream>

#ifndef VANTREL_BUILD_DIR
#error "VANTREL_BUILD_DIR names the build folder that the journey installs"
#endif

namespace {

using namespace journey;
namespace fs = std::filesystem;

constexpr int kSquareTiledChoice = 7;
// The ground of the local information pages.
constexpr Rgb kPageGround{0xf4, 0xf1, 0xe8};
// The one tile of the journey's tile set.
constexpr Rgb kTileColour{255, 128, 0};

class StartJourney : public MazeJourney {
protected:
    // View > Info Box opens the information pane with a local page of the program's html folder.
    void ExpectLocalPageShows()
    {
        ChooseMenu("View", "Info Box");
        WaitUntil("the information pane shows a local page", [&] {
            const QImage screen = Shot();
            return CountColour(screen, {0, 0, kScreenWidth, kScreenHeight}, kPageGround) > kScreenWidth * 40;
        });
        Shot("local-page");
    }
};

TEST_F(StartJourney, StartsCleanlyFromAnotherFolder)
{
    // Start fails the journey on a message box at start (the page list's "ERROR 010" among them).
    Start({}, WorkDir());
    ExpectLocalPageShows();
}

// A tile set in the Tiler folder: one tile of one colour for every cell.
void WriteTileSet(const fs::path& folder)
{
    QImage sheet(4, 4, QImage::Format_RGB32);
    sheet.fill(QColor(kTileColour.r, kTileColour.g, kTileColour.b));
    ASSERT_TRUE(sheet.save(QString::fromStdString((folder / "journey.bmp").string()), "BMP"));
    std::string definition = "NAME: Journey tiles\r\nBMPFILE: journey.bmp\r\nPIXELSWIDE: 4\r\nPIXELSHIGH: 4\r\n";
    for (int code = 0; code < 16; ++code)
        definition += "TILE: " + std::to_string(code) + ",1,1\r\n";
    definition += "TILE: SOLUTION,1,1\r\nTILE: BLACKEN,1,1\r\nTILE: START,1,1\r\nTILE: STOP,1,1\r\n";
    std::ofstream(folder / "journey.txt", std::ios::binary) << definition;
}

TEST_F(StartJourney, InstalledProgramStartsFromAnotherFolderWithItsPagesAndTileSets)
{
    const char* other = std::getenv("VANTREL_JOURNEY_BUILD");
    const fs::path build = other && *other ? fs::path(other) : fs::path(VANTREL_BUILD_DIR);
    const fs::path prefix = WorkDir() / "prefix";
    ASSERT_EQ(RunTool({"cmake", "--install", build.string(), "--prefix", prefix.string()}, OutputDir() / "install.log"),
              0)
        << "see " << (OutputDir() / "install.log").string();
    const fs::path program = prefix / "bin" / "vantrel";
    const fs::path data = prefix / "share" / "vantrel";
    ASSERT_TRUE(fs::is_regular_file(program)) << "the install holds no program";
    EXPECT_TRUE(fs::is_regular_file(data / "html" / "index.lst"));
    EXPECT_TRUE(fs::is_regular_file(data / "html" / "welcome.htm"));
    ASSERT_TRUE(fs::is_directory(data / "Tiler"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share" / "applications" / "vantrel.desktop"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share" / "icons" / "hicolor" / "48x48" / "apps" / "vantrel.png"));
    WriteTileSet(data / "Tiler");

    const fs::path elsewhere = WorkDir() / "elsewhere";
    fs::create_directories(elsewhere);
    StartProgram(program, {}, elsewhere);
    ExpectLocalPageShows();

    // The Style page lists the set of the Tiler folder after the built-in one: Square Tiled, then the
    // last entry of the list below it.
    const GridOnScreen grid = FileNew();
    ChooseTemplate(kSquareTiledChoice, "square-tiled", [&](unsigned long) {
        Key("Tab End");
        Shot("tile-set-chosen");
        Key("Return");
    });
    WaitUntil("the template is drawn with the set's tile", [&] {
        const QImage screen = Shot();
        for (const Cell& at : AllCells())
            if (grid.Share(screen, at.first, at.second, kTileColour) < 80)
                return false;
        return true;
    });
    Shot("tiled");
    WaitUntil("the profile names the set's file", [&] { return ProfileValue("size", "TilerID") == "journey.txt"; });
}

} // namespace
