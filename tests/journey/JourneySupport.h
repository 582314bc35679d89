#pragma once
// Journeys: the real program in a real X server, driven the way a person drives it.
//
// How to write a journey
// - Write TEST_F(Journey, WhatThePersonDoes) { ... } in a tests/journey/*_journey.cpp file and list the
//   file in tests/journey/CMakeLists.txt (label `journey`). Each test gets its own X server (Xvfb,
//   1280x1024x24), window manager (openbox), profile, runtime and work folder, so tests run side by side.
// - Start() starts the program (arguments go on its command line; a working folder may be given) and
//   returns once its main window is shown and has the focus.
// - Drive it only by input, sent to whatever has the focus as a person's keys go: Key("ctrl+n"),
//   Key("alt+f a"), Type("/some/file.mze"), Click(p), Drag(from, to), ChooseMenu("Maze Options",
//   "Make Maze"). Before typing into a dialog, wait for it: WaitForActive("Save As"); a file name goes
//   into a file dialog with EnterFileName(path).
// - Never sleep and never assert a duration. WaitUntil("what", condition) polls the condition with a
//   generous deadline; when the deadline passes it saves a screenshot and fails the test. Every helper
//   that cannot go on throws, which fails the test and still tears everything down.
// - What an earlier session left in the profile is set before Start() (SetProfileValue).
// - Check results from the program's state: files it saved (LoadMaze), its profile (ProfileValue), window
//   titles (ActiveTitle, Title), printed PDFs (PdfPages, rendered by pdftoppm) and pixels of screenshots
//   (Shot; FindGrid finds the maze grid on screen).
// - Shot("name") also saves the screen as NN-name.png into OutputDir() (build/tests/journey/output/
//   <test>/, with the program's log): look at them when you write a journey, and make sure the journey
//   fails when the behaviour it checks is broken.
#include <QImage>
#include <QVariant>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CVantrelDoc;
struct _XDisplay;

namespace journey {

using namespace std::chrono_literals;

struct Point {
    int x = 0;
    int y = 0;
};

struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    Point Centre() const { return {x + w / 2, y + h / 2}; }
    bool Contains(Point p) const { return p.x >= x && p.x < x + w && p.y >= y && p.y < y + h; }
    bool Empty() const { return w <= 0 || h <= 0; }
};

// An RGB colour of a screenshot pixel.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

// A square maze grid as the screen shows it: the box of its outer walls and its cell counts.
struct GridOnScreen {
    Box box;
    int cols = 0;
    int rows = 0;
    bool Empty() const { return box.Empty() || cols <= 0 || rows <= 0; }
    // The centre of cell (col, row), row 0 at the top.
    Point Cell(int col, int row) const
    {
        return {box.x + (2 * col + 1) * box.w / (2 * cols), box.y + (2 * row + 1) * box.h / (2 * rows)};
    }
    // The cell's box between its walls (the walls left out).
    Box CellBox(int col, int row) const;
    // Whether the wall on side `side` of the cell is drawn: 1 top, 2 right, 3 bottom, 4 left.
    bool Wall(const QImage& screen, int col, int row, int side) const;
    // The share, in percent, of the cell's box that has the colour.
    int Share(const QImage& screen, int col, int row, Rgb colour) const;
};

Rgb PixelAt(const QImage& image, Point p);
// How many pixels of the box have exactly the colour.
int CountColour(const QImage& image, Box box, Rgb colour);
// The box around the pixels within `within` that have exactly the colour; empty when none has it.
Box BoxOfColour(const QImage& image, Box within, Rgb colour);
// Whether the colour is the style's highlight: the frame of a field with the focus, the ground of
// selected text, the frame of a dialog's default button.
bool IsHighlight(QRgb c);
// How many pixels the two pictures have alike, place for place (none when their sizes differ).
int SamePixels(const QImage& a, const QImage& b);
// The box around the pixels within `within` for which `holds` is true; empty when there are none.
Box BoxWhere(const QImage& image, Box within, const std::function<bool(QRgb)>& holds);

// A process the journey started: its own process group, ended (TERM, then KILL) with the journey.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Stop(); }

    // Starts argv[0] with the environment and working folder; output goes to the log file (appended).
    void Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::filesystem::path& workingDir, const std::filesystem::path& log, int extraFd = -1);
    bool Running();
    // The exit status once it has ended (-1 while it runs or when it was killed by a signal).
    int ExitCode();
    void Stop();
    int Pid() const { return m_pid; }

private:
    int m_pid = -1;
    int m_status = -1;
    bool m_reaped = false;
};

// Runs a tool to its end (with the deadline), returning its exit code; output goes to the log.
int RunTool(const std::vector<std::string>& argv, const std::filesystem::path& log,
            std::chrono::seconds deadline = 60s);

class Journey : public ::testing::Test {
public:
    static constexpr int kScreenWidth = 1280;
    static constexpr int kScreenHeight = 1024;
    // Long enough for a loaded machine running every test at once; only a failing journey waits it out.
    static constexpr std::chrono::seconds kDeadline = 60s;

    Journey();
    ~Journey() override;

protected:
    void SetUp() override;
    void TearDown() override;

    // ---- The program ---------------------------------------------------------------------------
    // Starts the program with these arguments in the working folder (by default WorkDir(), where its
    // file dialogs then open; an older build given by VANTREL_JOURNEY_PROGRAM starts in its own folder);
    // returns once its main window is shown and active. A message box of the program at start (as for
    // a broken installation) fails the journey.
    void Start(const std::vector<std::string>& args = {}, const std::filesystem::path& workingDir = {});
    // The same for another program, an installed copy say.
    void StartProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& workingDir);
    // The program the journeys drive: VANTREL_JOURNEY_PROGRAM when set (an older build, to see a journey
    // fail on it), else the build's own.
    static std::filesystem::path ProgramPath();
    bool ProgramRunning();
    // Waits until the program has ended (after File > Exit, say) and returns its exit code.
    int WaitForExit();
    unsigned long MainWindow() const { return m_mainWindow; }

    // ---- Folders -------------------------------------------------------------------------------
    // The journey's own folder for the files it makes (removed after a passing journey).
    const std::filesystem::path& WorkDir() const { return m_work; }
    // Screenshots and the program's log (kept).
    const std::filesystem::path& OutputDir() const { return m_output; }
    // The program's profile (INI) file.
    std::filesystem::path ProfileFile() const;
    // A value of the profile, "" when it is not there.
    std::string ProfileValue(const std::string& section, const std::string& key) const;
    // The same as the profile stores it (a binary value as a byte array); invalid when not there.
    QVariant ProfileVariant(const std::string& section, const std::string& key) const;
    // Sets a value of the profile before Start(), as an earlier session of the program left it.
    void SetProfileValue(const std::string& section, const std::string& key, const QVariant& value);

    // ---- Input, to whatever has the focus ------------------------------------------------------
    // Chords separated by spaces: "ctrl+n", "ctrl+shift+5", "alt+f a", "Down Down Return", "Tab".
    // Key names are X key names (Return, Escape, Tab, Down, F10, space, slash, a, A, 5).
    void Key(std::string_view chords);
    // Types the text as key strokes (printable ASCII and "\n").
    void Type(std::string_view text);
    // Into the file dialog that has the focus: replaces its file name with the file's path and presses
    // Enter.
    void EnterFileName(const std::filesystem::path& file);
    void MoveTo(Point p);
    void Click(Point p, int button = 1);
    void DoubleClick(Point p);
    // Presses at `from`, moves in steps to `to` and releases there. The X server hands the program a
    // burst of moves as one move, as it does when a person moves faster than the program draws; to be
    // sure the program saw a step, wait for its effect in `afterStep` (called with the step's point,
    // the button still held).
    void Drag(Point from, Point to, int button = 1, int steps = 12,
              const std::function<void(Point)>& afterStep = {});
    // Opens a menu of the menu bar by the keyboard and chooses the item (and the item of its
    // sub-menu), all named as the menu resource names them without '&' and shortcut text. Items
    // without a mnemonic are reached with Down, reading the highlighted row from the screen; an item
    // that is disabled fails the journey.
    void ChooseMenu(std::string_view menu, std::string_view item, std::string_view subItem = {});
    // Whether the item of the menu shows its check mark: opens the menu by the keyboard, reads the
    // item's row from the screen and closes the menu again.
    bool MenuItemChecked(std::string_view menu, std::string_view item);

    // ---- Windows -------------------------------------------------------------------------------
    // The top-level windows the window manager manages.
    std::vector<unsigned long> Windows();
    std::string Title(unsigned long window);
    unsigned long ActiveWindow();
    std::string ActiveTitle();
    // Whether the window (or one of its children) has the keyboard's input focus.
    bool HoldsInputFocus(unsigned long window);
    // The process that made the window (its _NET_WM_PID); -1 when it does not say.
    int ProcessOf(unsigned long window);
    // Where the keyboard's input focus is, in words (the title of the window that holds it).
    std::string FocusHolder();
    // Waits until the active window's title contains the text and the window has the input focus;
    // returns that window.
    unsigned long WaitForActive(std::string_view titlePart);
    // Waits until a managed window's title contains the text; returns it.
    unsigned long WaitForWindow(std::string_view titlePart);
    // Waits until no managed window's title contains the text.
    void WaitForNoWindow(std::string_view titlePart);
    // The window's client area in screen coordinates.
    Box ClientBox(unsigned long window);
    // The title bar the window manager draws above the window, on the screen; empty when it has none.
    Box TitleBar(unsigned long window);
    // The pop-up windows (menus, tool tips) the program shows, top-most last.
    std::vector<Box> Popups();

    // ---- Screen --------------------------------------------------------------------------------
    // The whole screen; a named shot is also saved as NN-name.png in OutputDir().
    QImage Shot(std::string_view name = {});
    // A part of the screen (the box must lie on it), its top-left corner at (0, 0) of the image: cheaper
    // than the whole screen when a journey watches one place for long.
    QImage ShotOf(Box box);
    // The maze grid of a square template (cols x rows cells) as the screen shows it, found by its
    // walls; empty when the screen shows none.
    static GridOnScreen FindGrid(const QImage& screen, int cols, int rows);

    // The radio buttons in the box, by their round indicators, in reading order (top to bottom, then
    // left to right); their centres are where a person clicks.
    static std::vector<Point> FindRadioButtons(const QImage& screen, Box within);
    static bool RadioChecked(const QImage& screen, Point centre);
    // The check boxes in the box, by their square indicators, in reading order; their centres.
    static std::vector<Point> FindCheckBoxes(const QImage& screen, Box within);
    static bool CheckBoxChecked(const QImage& screen, Point centre);
    // The default push button (OK) of a dialog whose client area is `within`; empty when none shows.
    static Box FindDefaultButton(const QImage& screen, Box within);

    // ---- Waiting -------------------------------------------------------------------------------
    // Polls until done() holds; at the deadline saves a screenshot and throws.
    void WaitUntil(std::string_view what, const std::function<bool()>& done, std::chrono::seconds deadline = kDeadline);

    // ---- Results -------------------------------------------------------------------------------
    // Waits until the file exists and the document library reads it (and, when given, until the
    // document read holds what `holds` looks for), and returns the document.
    std::unique_ptr<CVantrelDoc> LoadMaze(const std::filesystem::path& file,
                                          const std::function<bool(const CVantrelDoc&)>& holds = {});
    // The file's identity on its file system (its inode), 0 when there is none. A save that replaces
    // the file gives it a new one.
    static unsigned long FileId(const std::filesystem::path& file);
    // Renders the PDF's pages with pdftoppm at the resolution; waits until the file is complete.
    std::vector<QImage> PdfPages(const std::filesystem::path& pdf, int dpi = 50);

private:
    void StartDisplay();
    void StartWindowManager();
    std::vector<std::string> ProgramEnvironment() const;
    void SyncInput();
    // Opens the menu of the menu bar by the keyboard; `closed` gets the pop-ups shown before. Returns
    // the index of the menu's entry in the menu resource.
    int OpenMenu(std::string_view menu, std::vector<Box>* closed);
    // The picture of the newest pop-up when it is not one of `under`; null otherwise.
    QImage NewestPopup(const std::vector<Box>& under);
    [[noreturn]] void Fail(const std::string& message);

    std::filesystem::path m_root;    // temporary folder of the journey
    std::filesystem::path m_work;
    std::filesystem::path m_home;
    std::filesystem::path m_output;
    std::string m_display;           // ":N"
    _XDisplay* m_x = nullptr;
    ChildProcess m_xvfb;
    ChildProcess m_wm;
    ChildProcess m_program;
    std::filesystem::path m_programFolder;  // the working folder the program started in
    unsigned long m_mainWindow = 0;
    int m_shots = 0;
};

} // namespace journey

using journey::Journey;
using namespace std::chrono_literals;
