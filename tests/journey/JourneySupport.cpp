#include "tests/journey/JourneySupport.h"

#include "maze/CVantrelDoc.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/core/ResourceTables.h"
#include "resources/VantrelResources.h"

#include <QSettings>
#include <QSysInfo>

#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef VANTREL_PROGRAM
#error "VANTREL_PROGRAM names the program the journeys start"
#endif
#ifndef VANTREL_JOURNEY_OUTPUT
#error "VANTREL_JOURNEY_OUTPUT names the folder for screenshots"
#endif

extern char** environ;

namespace journey {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kPoll = 50ms;

// Windows can vanish between a query and the next request; such errors are expected, not fatal.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

std::vector<std::string> Split(std::string_view s, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : s) {
        if (c == sep) {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// A menu caption as a person reads it: without '&' and without the shortcut text after a tab.
std::string Caption(const char* text)
{
    std::string out;
    for (const char* p = text; p && *p && *p != '\t'; ++p)
        if (*p != '&')
            out += *p;
    return out;
}

// The mnemonic letter of a caption, 0 when it has none.
char Mnemonic(const char* text)
{
    for (const char* p = text; p && *p && *p != '\t'; ++p)
        if (*p == '&' && p[1] && p[1] != '&')
            return char(std::tolower(static_cast<unsigned char>(p[1])));
    return 0;
}

// One row of an open pop-up menu: an item (or sub-menu) or a separator.
struct MenuRow {
    std::string caption;
    char mnemonic = 0;
    bool separator = false;
    bool popup = false;
};

// The rows of the pop-up that begins after entries[start] (a MENU_POPUP); `next` gets the index after
// its MENU_END.
std::vector<MenuRow> PopupRows(const MenuEntry* entries, int start, int* next)
{
    std::vector<MenuRow> rows;
    int i = start + 1;
    while (entries[i].kind != MENU_END) {
        const MenuEntry& e = entries[i];
        MenuRow row;
        row.separator = e.kind == MENU_SEPARATOR;
        row.popup = e.kind == MENU_POPUP;
        if (!row.separator) {
            row.caption = Caption(e.text);
            row.mnemonic = Mnemonic(e.text);
        }
        rows.push_back(row);
        if (e.kind == MENU_POPUP) {
            int after = 0;
            PopupRows(entries, i, &after);
            i = after;
        } else {
            ++i;
        }
    }
    if (next)
        *next = i + 1;
    return rows;
}

struct TopMenu {
    std::string caption;
    char mnemonic = 0;
    int first = 0;  // index of its MENU_POPUP entry
};

const MenuEntry* MainMenuEntries()
{
    const ResourceTables& tables = GetVantrelResources();
    if (tables.menuCount < 1)
        throw std::runtime_error("the program has no menu resource");
    return tables.menus[0].entries;
}

std::vector<TopMenu> TopMenus(const MenuEntry* entries)
{
    std::vector<TopMenu> tops;
    int i = 0;
    while (entries[i].kind == MENU_POPUP) {
        tops.push_back({Caption(entries[i].text), Mnemonic(entries[i].text), i});
        int next = 0;
        PopupRows(entries, i, &next);
        i = next;
    }
    return tops;
}

// A nested pop-up's entry index among the rows of its parent.
int EntryIndexOfRow(const MenuEntry* entries, int popupStart, int row)
{
    int i = popupStart + 1;
    for (int r = 0; entries[i].kind != MENU_END; ++r) {
        if (r == row)
            return i;
        if (entries[i].kind == MENU_POPUP) {
            int next = 0;
            PopupRows(entries, i, &next);
            i = next;
        } else {
            ++i;
        }
    }
    return -1;
}

// Bands of rows in a pop-up menu's picture that are mostly not the background colour: the highlighted
// row reaches the pop-up's frame, separators stop a few pixels short of it.
struct Band {
    int top = 0;
    int bottom = 0;  // inclusive
    bool highlight = false;
    int Centre() const { return (top + bottom) / 2; }
};

std::vector<Band> RowBands(const QImage& img)
{
    const int w = img.width();
    const int h = img.height();
    // The background is the colour of most of the pop-up.
    std::vector<std::pair<QRgb, int>> counts;
    for (int y = 0; y < h; y += 2) {
        const QRgb c = img.pixel(w / 2, y);
        auto it = std::find_if(counts.begin(), counts.end(), [c](const auto& p) { return p.first == c; });
        if (it == counts.end())
            counts.push_back({c, 1});
        else
            ++it->second;
    }
    const QRgb bg = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; })->first;
    constexpr int kFrame = 3;  // columns of the frame and the highlight's reach
    std::vector<Band> bands;
    int kind = 0;  // of the band being read: 0 none, 1 separator, 2 highlight
    Band band;
    for (int y = 2; y <= h - 2; ++y) {
        int rowKind = 0;
        if (y < h - 2) {
            int off = 0;
            for (int x = w / 10; x < w - w / 10; ++x)
                off += img.pixel(x, y) != bg;
            if (off * 10 >= (w - 2 * (w / 10)) * 8) {
                int left = 1;
                while (left < w && img.pixel(left, y) == bg)
                    ++left;
                rowKind = left <= kFrame ? 2 : 1;
            }
        }
        if (rowKind != kind) {
            if (kind) {
                band.bottom = y - 1;
                band.highlight = kind == 2;
                bands.push_back(band);
            }
            band.top = y;
            kind = rowKind;
        }
    }
    return bands;
}

bool SameBox(const Box& a, const Box& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

// The window ids a window property of type WINDOW lists (empty when it is not there).
std::vector<unsigned long> WindowsOf(Display* x, Window window, const char* property)
{
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> windows;
    if (XGetWindowProperty(x, window, XInternAtom(x, property, False), 0, 1024, False, XA_WINDOW, &type, &format, &n,
                           &after, &data) == Success &&
        data && format == 32) {
        const auto* ids = reinterpret_cast<const unsigned long*>(data);
        windows.assign(ids, ids + n);
    }
    if (data)
        XFree(data);
    return windows;
}

} // namespace

// ---- Pixels --------------------------------------------------------------------------------------

Rgb PixelAt(const QImage& image, Point p)
{
    if (p.x < 0 || p.y < 0 || p.x >= image.width() || p.y >= image.height())
        return {-1, -1, -1};
    const QRgb c = image.pixel(p.x, p.y);
    return {qRed(c), qGreen(c), qBlue(c)};
}

int CountColour(const QImage& image, Box box, Rgb colour)
{
    const QRgb want = qRgb(colour.r, colour.g, colour.b);
    int n = 0;
    for (int y = std::max(0, box.y); y < std::min(image.height(), box.y + box.h); ++y)
        for (int x = std::max(0, box.x); x < std::min(image.width(), box.x + box.w); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
    return n;
}

int SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 0;
    int same = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            same += a.pixel(x, y) == b.pixel(x, y);
    return same;
}

Box BoxWhere(const QImage& image, Box within, const std::function<bool(QRgb)>& holds)
{
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = std::max(0, within.y); y < std::min(image.height(), within.y + within.h); ++y)
        for (int x = std::max(0, within.x); x < std::min(image.width(), within.x + within.w); ++x)
            if (holds(image.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? Box{} : Box{left, top, right - left + 1, bottom - top + 1};
}

bool IsHighlight(QRgb c) { return qBlue(c) > 140 && qBlue(c) - qRed(c) > 90; }

Box BoxOfColour(const QImage& image, Box within, Rgb colour)
{
    const QRgb want = qRgb(colour.r, colour.g, colour.b) & 0xFFFFFF;
    return BoxWhere(image, within, [want](QRgb c) { return (c & 0xFFFFFF) == want; });
}

Box GridOnScreen::CellBox(int col, int row) const
{
    const int x0 = box.x + col * box.w / cols, x1 = box.x + (col + 1) * box.w / cols;
    const int y0 = box.y + row * box.h / rows, y1 = box.y + (row + 1) * box.h / rows;
    // Walls are a pixel or two wide, and the cell edges fall on whole pixels either side of them.
    constexpr int kWall = 3;
    return {x0 + kWall, y0 + kWall, x1 - x0 - 2 * kWall, y1 - y0 - 2 * kWall};
}

bool GridOnScreen::Wall(const QImage& screen, int col, int row, int side) const
{
    const int x0 = box.x + col * box.w / cols, x1 = box.x + (col + 1) * box.w / cols;
    const int y0 = box.y + row * box.h / rows, y1 = box.y + (row + 1) * box.h / rows;
    const bool across = side == 1 || side == 3;  // a horizontal wall
    const int at = side == 1 ? y0 : side == 3 ? y1 : side == 2 ? x1 : x0;
    const int from = across ? x0 : y0, to = across ? x1 : y1;
    // Samples along the middle half of the wall; each looks a few pixels either side of its line.
    int drawn = 0, samples = 0;
    for (int t = from + (to - from) / 4; t <= to - (to - from) / 4; ++t, ++samples) {
        for (int d = -2; d <= 2; ++d) {
            const Rgb c = PixelAt(screen, across ? Point{t, at + d} : Point{at + d, t});
            if (c.r >= 0 && c.r + c.g + c.b < 60) {
                ++drawn;
                break;
            }
        }
    }
    return samples > 0 && drawn * 2 > samples;
}

int GridOnScreen::Share(const QImage& screen, int col, int row, Rgb colour) const
{
    const Box b = CellBox(col, row);
    return b.Empty() ? 0 : CountColour(screen, b, colour) * 100 / (b.w * b.h);
}

// ---- Processes -----------------------------------------------------------------------------------

void ChildProcess::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         const fs::path& workingDir, const fs::path& log, int extraFd)
{
    Stop();
    // Everything the child needs is made before fork: after it only async-signal-safe calls run.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const std::string dir = workingDir.string();
    const std::string logName = log.string();
    const pid_t parent = getpid();

    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        setpgid(0, 0);
        // The child goes when the journey's process goes, however it ends.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int out = open(logName.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        if (in >= 0)
            dup2(in, 0);
        if (extraFd >= 0)
            fcntl(extraFd, F_SETFD, 0);
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    setpgid(pid, pid);
    m_pid = pid;
    m_status = -1;
    m_reaped = false;
}

bool ChildProcess::Running()
{
    if (m_pid <= 0 || m_reaped)
        return false;
    int status = 0;
    const pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == m_pid) {
        m_reaped = true;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    return r == 0;
}

int ChildProcess::ExitCode()
{
    Running();
    return m_reaped ? m_status : -1;
}

void ChildProcess::Stop()
{
    if (m_pid <= 0)
        return;
    if (Running()) {
        // The whole group: the program's own helper processes go with it.
        kill(-m_pid, SIGTERM);
        const auto end = Clock::now() + 5s;
        while (Running() && Clock::now() < end)
            std::this_thread::sleep_for(20ms);
        if (Running()) {
            kill(-m_pid, SIGKILL);
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_reaped = true;
        }
    }
    // Helpers left behind in the group after their leader ended.
    kill(-m_pid, SIGKILL);
    m_pid = -1;
}

int RunTool(const std::vector<std::string>& argv, const fs::path& log, std::chrono::seconds deadline)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    std::string program = argv.at(0);
    if (program.find('/') == std::string::npos) {
        for (const std::string& dir : Split(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin", ':')) {
            if (access((fs::path(dir) / program).c_str(), X_OK) == 0) {
                program = (fs::path(dir) / program).string();
                break;
            }
        }
    }
    std::vector<std::string> args = argv;
    args[0] = program;
    ChildProcess tool;
    tool.Start(args, env, fs::current_path(), log);
    const auto end = Clock::now() + deadline;
    while (tool.Running()) {
        if (Clock::now() > end) {
            tool.Stop();
            throw std::runtime_error(argv[0] + " did not finish");
        }
        std::this_thread::sleep_for(20ms);
    }
    return tool.ExitCode();
}

// ---- The journey ---------------------------------------------------------------------------------

Journey::Journey() = default;

Journey::~Journey()
{
    if (m_x)
        XCloseDisplay(m_x);
}

void Journey::SetUp()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    m_output = fs::path(VANTREL_JOURNEY_OUTPUT) / name;
    fs::remove_all(m_output);
    fs::create_directories(m_output);

    std::string pattern = (fs::temp_directory_path() / "vantrel-journey-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("no temporary folder");
    m_root = pattern;
    m_work = m_root / "work";
    m_home = m_root / "home";
    for (const char* d : {"work", "home", "config", "runtime", "cache", "data"})
        fs::create_directories(m_root / d);
    fs::permissions(m_root / "runtime", fs::perms::owner_all, fs::perm_options::replace);

    // The document library reads the journey's files in this process, with a profile of its own.
    AfxGetProfile().SetRegistryKey("Quillmont");
    AfxGetProfile().SetAppName("FREEQuillmont");

    StartDisplay();
    StartWindowManager();
}

void Journey::TearDown()
{
    if (HasFailure() && m_x) {
        try {
            Shot("at-failure");
        } catch (...) {
        }
    }
    m_program.Stop();
    m_wm.Stop();
    if (m_x) {
        XCloseDisplay(m_x);
        m_x = nullptr;
    }
    m_xvfb.Stop();
    SetMessageBoxHandler({});
    std::error_code ignored;
    if (HasFailure())
        std::printf("journey files kept in %s; screenshots and the program's log in %s\n", m_root.c_str(),
                    m_output.c_str());
    else
        fs::remove_all(m_root, ignored);
}

void Journey::Fail(const std::string& message)
{
    try {
        if (m_x)
            Shot("failed");
    } catch (...) {
    }
    throw std::runtime_error(message);
}

void Journey::StartDisplay()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    // The server writes its display number to the pipe once it accepts connections; choosing the
    // number itself, it never collides with another server on the machine.
    m_xvfb.Start({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                  std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24", "-nolisten", "tcp",
                  "-noreset"},
                 env, m_root, m_output / "xvfb.log", fds[1]);
    close(fds[1]);
    std::string number;
    const auto end = Clock::now() + kDeadline;
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    while (number.find('\n') == std::string::npos) {
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n > 0)
            number.append(buf, std::size_t(n));
        else if (n == 0 || !m_xvfb.Running() || Clock::now() > end)
            break;
        else
            std::this_thread::sleep_for(10ms);
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos)
        throw std::runtime_error("Xvfb did not start (see " + (m_output / "xvfb.log").string() + ")");
    m_display = ":" + number.substr(0, number.find('\n'));
    XSetErrorHandler(IgnoreXError);
    m_x = XOpenDisplay(m_display.c_str());
    if (!m_x)
        throw std::runtime_error("cannot open display " + m_display);
    int ev = 0, err = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_x, &ev, &err, &major, &minor))
        throw std::runtime_error("the X server has no XTest extension");
}

std::vector<std::string> Journey::ProgramEnvironment() const
{
    static const char* const kReplaced[] = {"DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR",
                                            "HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "WAYLAND_DISPLAY",
                                            "XAUTHORITY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS",
                                            "VANTREL_OFFLINE", "QTWEBENGINE_DISABLE_SANDBOX"};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string key = entry.substr(0, entry.find('='));
        if (std::find(std::begin(kReplaced), std::end(kReplaced), key) == std::end(kReplaced))
            env.push_back(entry);
    }
    env.push_back("DISPLAY=" + m_display);
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("HOME=" + m_home.string());
    env.push_back("XDG_CONFIG_HOME=" + (m_root / "config").string());
    env.push_back("XDG_RUNTIME_DIR=" + (m_root / "runtime").string());
    env.push_back("XDG_CACHE_HOME=" + (m_root / "cache").string());
    env.push_back("XDG_DATA_HOME=" + (m_root / "data").string());
    // Nothing a journey starts sends a packet off the machine.
    env.push_back("VANTREL_OFFLINE=1");
    env.push_back("QTWEBENGINE_DISABLE_SANDBOX=1");
    return env;
}

void Journey::StartWindowManager()
{
    m_wm.Start({"/usr/bin/openbox", "--sm-disable"}, ProgramEnvironment(), m_home, m_output / "openbox.log");
    // Openbox announces itself on the root window once it manages the screen.
    WaitUntil("the window manager runs",
              [&] { return !WindowsOf(m_x, DefaultRootWindow(m_x), "_NET_SUPPORTING_WM_CHECK").empty(); });
}

fs::path Journey::ProgramPath()
{
    const char* other = std::getenv("VANTREL_JOURNEY_PROGRAM");
    return fs::path(other && *other ? other : VANTREL_PROGRAM);
}

void Journey::Start(const std::vector<std::string>& args, const fs::path& workingDir)
{
    // By default the program starts in the journey's work folder, where its file dialogs then open; an
    // older build (VANTREL_JOURNEY_PROGRAM) starts in its own folder, the only one it could start from.
    const fs::path program = ProgramPath();
    const bool older = std::getenv("VANTREL_JOURNEY_PROGRAM") && *std::getenv("VANTREL_JOURNEY_PROGRAM");
    StartProgram(program, args, !workingDir.empty() ? workingDir : older ? program.parent_path() : m_work);
}

void Journey::StartProgram(const fs::path& program, const std::vector<std::string>& args, const fs::path& workingDir)
{
    std::vector<std::string> argv = {program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    m_program.Start(argv, ProgramEnvironment(), workingDir, m_output / "program.log");
    m_programFolder = workingDir;
    // A message box of the program's own (titled with the program's name alone) at start means the
    // program could not start cleanly.
    const auto noMessageBox = [&] {
        for (unsigned long w : Windows())
            if (Title(w) == "FREEQuillmont")
                Fail("the program shows a message box at start");
    };
    // The main window: active, holding the keyboard, and this program's own. A program started
    // before in the same journey may have had a window of the same id (the X server hands a new client
    // the ids of one that has gone), which the window manager may still name as active.
    const auto mainWindow = [&]() -> unsigned long {
        const unsigned long w = ActiveWindow();
        if (!w || Title(w).find("FREE Quillmont") == std::string::npos || !HoldsInputFocus(w) ||
            ProcessOf(w) != m_program.Pid())
            return 0;
        return w;
    };
    // The pointer rests where it opens no tool tip and covers no menu.
    MoveTo({kScreenWidth - 1, kScreenHeight - 1});
    WaitUntil("the main window is shown and active", [&] {
        if (!m_program.Running())
            Fail("the program ended at start (see " + (m_output / "program.log").string() + ")");
        noMessageBox();
        m_mainWindow = mainWindow();
        return m_mainWindow != 0;
    });
    // The program answers input once its window is drawn; a window made again at start (as for the
    // web pane's drawing surface) drops what was sent to the old one. So the journey knocks: it clicks
    // the menu bar's first menu until its pop-up opens, and closes it again.
    const auto end = Clock::now() + kDeadline;
    for (;;) {
        if (Clock::now() > end)
            Fail("the program does not answer a click on its menu bar (the input focus " + FocusHolder() + ")");
        // Clicked once the window manager has framed the window (a title bar above it): until then the
        // window may still move, and a click meant for its menu bar may land on the frame's own menu.
        const unsigned long w = mainWindow();
        if (!w || TitleBar(w).Empty()) {
            std::this_thread::sleep_for(kPoll);
            continue;
        }
        m_mainWindow = w;
        const Box b = ClientBox(w);
        Click({b.x + 12, b.y + 10});
        const auto knock = Clock::now() + 5s;
        while (Popups().empty() && Clock::now() < knock && ProgramRunning())
            std::this_thread::sleep_for(kPoll);
        if (!ProgramRunning())
            Fail("the program ended at start (see " + (m_output / "program.log").string() + ")");
        noMessageBox();
        if (!Popups().empty())
            break;
    }
    Key("Escape");
    WaitUntil("the menu closes", [&] { return Popups().empty(); });
    MoveTo({kScreenWidth - 1, kScreenHeight - 1});
    const unsigned long w = mainWindow();
    if (!w)
        Fail("the main window is not active after start (the input focus " + FocusHolder() + ")");
    m_mainWindow = w;
}

bool Journey::ProgramRunning() { return m_program.Running(); }

int Journey::WaitForExit()
{
    WaitUntil("the program has ended", [&] { return !m_program.Running(); });
    return m_program.ExitCode();
}

fs::path Journey::ProfileFile() const { return m_root / "config" / "Quillmont" / "FREEQuillmont.ini"; }

std::string Journey::ProfileValue(const std::string& section, const std::string& key) const
{
    return ProfileVariant(section, key).toString().toStdString();
}

QVariant Journey::ProfileVariant(const std::string& section, const std::string& key) const
{
    QSettings ini(QString::fromStdString(ProfileFile().string()), QSettings::IniFormat);
    return ini.value(QString::fromStdString(section + "/" + key));
}

void Journey::SetProfileValue(const std::string& section, const std::string& key, const QVariant& value)
{
    if (ProgramRunning())
        Fail("the profile is set before the program starts");
    fs::create_directories(ProfileFile().parent_path());
    QSettings ini(QString::fromStdString(ProfileFile().string()), QSettings::IniFormat);
    ini.setValue(QString::fromStdString(section + "/" + key), value);
    ini.sync();
    if (ini.status() != QSettings::NoError)
        Fail("cannot write the profile " + ProfileFile().string());
}

// ---- Input ---------------------------------------------------------------------------------------

void Journey::SyncInput() { XSync(m_x, False); }

void Journey::Key(std::string_view chords)
{
    for (const std::string& chord : Split(chords, ' ')) {
        std::vector<std::string> parts = Split(chord, '+');
        if (parts.empty())
            continue;
        const std::string keyName = parts.back();
        parts.pop_back();
        std::vector<KeyCode> mods;
        bool shift = false;
        for (const std::string& m : parts) {
            const std::string l = Lower(m);
            KeySym sym = NoSymbol;
            if (l == "ctrl" || l == "control")
                sym = XK_Control_L;
            else if (l == "shift")
                sym = XK_Shift_L, shift = true;
            else if (l == "alt")
                sym = XK_Alt_L;
            else if (l == "super")
                sym = XK_Super_L;
            else
                Fail("unknown modifier '" + m + "' in '" + chord + "'");
            mods.push_back(XKeysymToKeycode(m_x, sym));
        }
        KeySym sym = keyName.size() == 1 ? KeySym(static_cast<unsigned char>(keyName[0]))
                                         : XStringToKeysym(keyName.c_str());
        if (sym == NoSymbol)
            Fail("unknown key '" + keyName + "'");
        const KeyCode code = XKeysymToKeycode(m_x, sym);
        if (!code)
            Fail("no key on the keyboard gives '" + keyName + "'");
        // A symbol on the shifted level of its key needs Shift.
        if (!shift && XkbKeycodeToKeysym(m_x, code, 0, 0) != sym && XkbKeycodeToKeysym(m_x, code, 0, 1) == sym)
            mods.push_back(XKeysymToKeycode(m_x, XK_Shift_L));
        for (KeyCode m : mods)
            XTestFakeKeyEvent(m_x, m, True, CurrentTime);
        XTestFakeKeyEvent(m_x, code, True, CurrentTime);
        XTestFakeKeyEvent(m_x, code, False, CurrentTime);
        for (auto it = mods.rbegin(); it != mods.rend(); ++it)
            XTestFakeKeyEvent(m_x, *it, False, CurrentTime);
        SyncInput();
    }
}

void Journey::Type(std::string_view text)
{
    for (char c : text) {
        if (c == '\n')
            Key("Return");
        else if (c == '\t')
            Key("Tab");
        else if (c == ' ')
            Key("space");
        else if (static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 0x7F)
            Key(std::string(1, c));
        else
            Fail("Type() types printable ASCII only");
    }
}

void Journey::EnterFileName(const fs::path& file)
{
    // A file of the folder the program started in goes in by its name: the dialog shows that folder.
    // A path typed whole makes the dialog follow each folder on the way as the toolkit reads it in the
    // background, and now and then, on a loaded machine, it takes the Enter for the folder it last
    // followed: it opens that folder, empties its name field and stays. The name is then typed again;
    // a dialog that has taken it is no longer the active window.
    const std::string name =
        file.has_parent_path() && file.parent_path() == m_programFolder ? file.filename().string() : file.string();
    const unsigned long dialog = ActiveWindow();
    // Once the dialog has gone, the screen still shows its picture where it was until the window beneath
    // paints that part again: its title bar, which the window manager draws, tells.
    const Box titleBar = TitleBar(dialog);
    const QImage titleLook = titleBar.Empty() ? QImage() : ShotOf(titleBar);
    constexpr int kTries = 3;
    for (int attempt = 1;; ++attempt) {
        Key("End shift+Home");
        Type(name + "\n");
        const auto retry = Clock::now() + (attempt < kTries ? 10s : kDeadline);
        while (Clock::now() < retry) {
            // Done once the window that follows the dialog holds the keyboard, so that keys sent next
            // reach it, and the screen no longer shows the dialog, so that what it shows is judged.
            const unsigned long next = ActiveWindow();
            if (next && next != dialog && HoldsInputFocus(next)) {
                if (!titleLook.isNull())
                    WaitUntil("the screen no longer shows the file dialog", [&] {
                        return SamePixels(ShotOf(titleBar), titleLook) * 2 < titleBar.w * titleBar.h;
                    });
                return;
            }
            std::this_thread::sleep_for(kPoll);
        }
        if (attempt == kTries)
            Fail("the file dialog does not take " + file.string());
        Shot("file-name-again");
    }
}

void Journey::MoveTo(Point p)
{
    XTestFakeMotionEvent(m_x, DefaultScreen(m_x), p.x, p.y, CurrentTime);
    SyncInput();
}

void Journey::Click(Point p, int button)
{
    MoveTo(p);
    XTestFakeButtonEvent(m_x, unsigned(button), True, CurrentTime);
    XTestFakeButtonEvent(m_x, unsigned(button), False, CurrentTime);
    SyncInput();
}

void Journey::DoubleClick(Point p)
{
    Click(p);
    Click(p);
}

void Journey::Drag(Point from, Point to, int button, int steps, const std::function<void(Point)>& afterStep)
{
    MoveTo(from);
    XTestFakeButtonEvent(m_x, unsigned(button), True, CurrentTime);
    SyncInput();
    if (afterStep)
        afterStep(from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        const Point p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        MoveTo(p);
        if (afterStep)
            afterStep(p);
    }
    XTestFakeButtonEvent(m_x, unsigned(button), False, CurrentTime);
    SyncInput();
}

namespace {

// Where the highlighted row of an open pop-up is: its section (separators split a pop-up into
// sections) and its row within the section.
struct Highlight {
    int section = -1;
    int row = -1;
    int centre = -1;
};

// Where a row of a pop-up lies: its section (separators split a pop-up into sections), its index
// within the section and how many rows the section has.
struct RowPlace {
    int section = 0;
    int row = 0;
    int sectionRows = 0;
};

int RowsInSection(const std::vector<MenuRow>& rows, int k)
{
    int n = 0, section = 0;
    for (const MenuRow& r : rows) {
        if (r.separator)
            ++section;
        else if (section == k)
            ++n;
    }
    return n;
}

RowPlace PlaceOfRow(const std::vector<MenuRow>& rows, int index)
{
    RowPlace place;
    for (int i = 0; i < index; ++i) {
        if (rows[std::size_t(i)].separator)
            ++place.section, place.row = 0;
        else
            ++place.row;
    }
    place.sectionRows = RowsInSection(rows, place.section);
    return place;
}

// The separator lines of a pop-up's picture, and its highlighted row when it shows one.
void SplitBands(const QImage& img, std::vector<Band>* lines, std::vector<Band>* highlight)
{
    for (const Band& b : RowBands(img))
        (b.highlight ? *highlight : *lines).push_back(b);
}

// The rows of section `k` share the height between the separator lines around it (their centres).
std::pair<int, int> SectionSpan(const std::vector<Band>& lines, int k, int height)
{
    const int lo = k == 0 ? 0 : lines[std::size_t(k - 1)].Centre();
    const int hi = k == int(lines.size()) ? height : lines[std::size_t(k)].Centre();
    return {lo, hi};
}

// Reads the pop-up's picture: true when it shows the separators the menu has and one highlighted row
// (or none, when `needHighlight` is false). The rows of a section share its height evenly.
bool ReadPopup(const QImage& img, const std::vector<MenuRow>& rows, bool needHighlight, Highlight* out)
{
    const int separators = int(std::count_if(rows.begin(), rows.end(), [](const MenuRow& r) { return r.separator; }));
    std::vector<Band> lines, highlight;
    SplitBands(img, &lines, &highlight);
    if (int(lines.size()) != separators || highlight.size() > 1 || (needHighlight && highlight.empty()))
        return false;
    if (highlight.empty())
        return true;
    const int c = highlight[0].Centre();
    int k = 0;
    while (k < int(lines.size()) && lines[std::size_t(k)].Centre() < c)
        ++k;
    const auto [lo, hi] = SectionSpan(lines, k, img.height());
    const int n = RowsInSection(rows, k);
    out->section = k;
    out->row = std::clamp(n * (c - lo) / std::max(1, hi - lo), 0, std::max(0, n - 1));
    out->centre = c;
    return true;
}

} // namespace

int Journey::OpenMenu(std::string_view menu, std::vector<Box>* closed)
{
    const MenuEntry* entries = MainMenuEntries();
    const std::vector<TopMenu> tops = TopMenus(entries);
    const auto top = std::find_if(tops.begin(), tops.end(), [&](const TopMenu& t) { return t.caption == menu; });
    if (top == tops.end())
        Fail("no menu '" + std::string(menu) + "'");
    // Opened by the mnemonic of the nearest menu at or left of it, then Right. A mnemonic that is also
    // an Alt accelerator of the frame runs the accelerator instead (Alt+E is the Whiten tool).
    const auto isAccelerator = [](char letter) {
        const ResourceTables& tables = GetVantrelResources();
        for (int t = 0; t < tables.accelCount; ++t)
            for (int i = 0; i < tables.accels[t].count; ++i) {
                const AccelEntry& a = tables.accels[t].entries[i];
                if (a.fVirt == FALT && std::tolower(a.key) == letter)
                    return true;
            }
        return false;
    };
    auto opener = top;
    while (opener != tops.begin() && (!opener->mnemonic || isAccelerator(opener->mnemonic)))
        --opener;
    if (!opener->mnemonic || isAccelerator(opener->mnemonic))
        Fail("no menu left of '" + std::string(menu) + "' opens by its mnemonic");
    MoveTo({kScreenWidth - 1, kScreenHeight - 1});
    *closed = Popups();
    Key(std::string("alt+") + opener->mnemonic);
    for (auto it = opener; it != top; ++it)
        Key("Right");
    return top->first;
}

void Journey::ChooseMenu(std::string_view menu, std::string_view item, std::string_view subItem)
{
    const MenuEntry* entries = MainMenuEntries();
    std::vector<Box> closed;
    const int topFirst = OpenMenu(menu, &closed);

    // Chooses the row captioned `caption` of the pop-up that begins at entries[popupStart], opened
    // over the pop-ups `under`; returns the row's index.
    const auto pick = [&](int popupStart, std::string_view caption, const std::vector<Box>& under) {
        const std::vector<MenuRow> rows = PopupRows(entries, popupStart, nullptr);
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const MenuRow& r) { return r.caption == caption; });
        if (row == rows.end())
            Fail("no item '" + std::string(caption) + "' in menu '" + std::string(menu) + "'");
        const int rowIndex = int(row - rows.begin());
        const RowPlace place = PlaceOfRow(rows, rowIndex);
        // The newest pop-up that is not one of `under` and shows this menu's separators; while keys
        // move between menus, others open and close on the way.
        const auto read = [&](bool needHighlight, Highlight* h) {
            const QImage img = NewestPopup(under);
            return !img.isNull() && ReadPopup(img, rows, needHighlight, h);
        };
        Highlight h;
        if (row->mnemonic) {
            WaitUntil("the menu with '" + std::string(caption) + "' opens", [&] { return read(false, &h); });
            Key(std::string(1, row->mnemonic));
            return rowIndex;
        }
        // Down from row to row until the highlighted one is the item; coming back to a row already
        // seen means the item cannot be highlighted: it is disabled.
        std::vector<int> seen;
        for (;;) {
            WaitUntil("a row of the menu with '" + std::string(caption) + "' is highlighted", [&] {
                return read(true, &h) && (seen.empty() || h.centre != seen.back());
            });
            if (h.section == place.section && h.row == place.row)
                return rowIndex;
            if (std::find(seen.begin(), seen.end(), h.centre) != seen.end())
                Fail("menu item '" + std::string(caption) + "' is disabled");
            seen.push_back(h.centre);
            Key("Down");
        }
    };

    // Until the menu has closed, it holds the keyboard: keys sent sooner would reach the menu.
    const auto closedAgain = [&] {
        WaitUntil("the menu closes", [&] { return Popups().size() <= closed.size(); });
    };
    const std::vector<MenuRow> rows = PopupRows(entries, topFirst, nullptr);
    const int rowIndex = pick(topFirst, item, closed);
    const MenuRow& chosen = rows[std::size_t(rowIndex)];
    if (subItem.empty()) {
        if (chosen.popup)
            Fail("'" + std::string(item) + "' opens a sub-menu: name its item");
        if (!chosen.mnemonic)
            Key("Return");
        closedAgain();
        return;
    }
    if (!chosen.popup)
        Fail("'" + std::string(item) + "' has no sub-menu");
    const std::vector<Box> open = Popups();
    if (!chosen.mnemonic)
        Key("Right");
    const int subStart = EntryIndexOfRow(entries, topFirst, rowIndex);
    const int sub = pick(subStart, subItem, open);
    if (!PopupRows(entries, subStart, nullptr)[std::size_t(sub)].mnemonic)
        Key("Return");
    closedAgain();
}

bool Journey::MenuItemChecked(std::string_view menu, std::string_view item)
{
    const MenuEntry* entries = MainMenuEntries();
    std::vector<Box> closed;
    const std::vector<MenuRow> rows = PopupRows(entries, OpenMenu(menu, &closed), nullptr);
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const MenuRow& r) { return r.caption == item; });
    if (row == rows.end())
        Fail("no item '" + std::string(item) + "' in menu '" + std::string(menu) + "'");
    const RowPlace place = PlaceOfRow(rows, int(row - rows.begin()));
    QImage img;
    WaitUntil("the menu '" + std::string(menu) + "' opens", [&] {
        img = NewestPopup(closed);
        Highlight h;
        return !img.isNull() && ReadPopup(img, rows, false, &h);
    });
    // The row's place: the rows of a section share its height evenly, as ReadPopup reads them.
    std::vector<Band> lines, highlight;
    SplitBands(img, &lines, &highlight);
    const auto [lo, hi] = SectionSpan(lines, place.section, img.height());
    const int centre = lo + (2 * place.row + 1) * (hi - lo) / (2 * place.sectionRows);
    // A checked item shows a dark check mark in the column left of its caption.
    constexpr int kCheckColumn = 24;
    int dark = 0;
    for (int y = std::max(0, centre - 6); y <= std::min(img.height() - 1, centre + 6); ++y)
        for (int x = 2; x < kCheckColumn; ++x)
            dark += qGray(img.pixel(x, y)) < 100;
    // Escape closes the pop-up and leaves the menu bar in its keyboard mode; a second Escape ends it.
    Key("Escape");
    WaitUntil("the menu closes", [&] { return Popups().size() <= closed.size(); });
    Key("Escape");
    return dark > 4;
}

// ---- Windows -------------------------------------------------------------------------------------

std::vector<unsigned long> Journey::Windows() { return WindowsOf(m_x, DefaultRootWindow(m_x), "_NET_CLIENT_LIST"); }

std::string Journey::Title(unsigned long window)
{
    if (!window)
        return {};
    const Atom name = XInternAtom(m_x, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(m_x, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(m_x, window, name, 0, 4096, False, utf8, &type, &format, &n, &after, &data) == Success &&
        data && format == 8)
        title.assign(reinterpret_cast<const char*>(data), n);
    if (data)
        XFree(data);
    if (title.empty()) {
        char* old = nullptr;
        if (XFetchName(m_x, window, &old) && old) {
            title = old;
            XFree(old);
        }
    }
    return title;
}

unsigned long Journey::ActiveWindow()
{
    const std::vector<unsigned long> active = WindowsOf(m_x, DefaultRootWindow(m_x), "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

std::string Journey::ActiveTitle() { return Title(ActiveWindow()); }

namespace {
// The window's parent; 0 when the window is gone.
Window ParentOf(Display* x, Window w)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(x, w, &root, &parent, &children, &n))
        return 0;
    if (children)
        XFree(children);
    return parent;
}
} // namespace

bool Journey::HoldsInputFocus(unsigned long window)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_x, &focus, &revert);
    // The focus may rest on the window itself or on one of its children.
    for (Window w = focus; w && w != PointerRoot && w != DefaultRootWindow(m_x);) {
        if (w == window)
            return true;
        w = ParentOf(m_x, w);
    }
    return false;
}

int Journey::ProcessOf(unsigned long window)
{
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    int pid = -1;
    if (XGetWindowProperty(m_x, window, XInternAtom(m_x, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type,
                           &format, &n, &after, &data) == Success &&
        data && format == 32 && n == 1)
        pid = int(*reinterpret_cast<const unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

std::string Journey::FocusHolder()
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_x, &focus, &revert);
    if (focus == None)
        return "is nowhere";
    if (focus == PointerRoot)
        return "follows the pointer";
    // Named by the nearest window up its tree that has a title.
    for (Window w = focus; w && w != DefaultRootWindow(m_x);) {
        if (const std::string title = Title(w); !title.empty())
            return "is in the window titled '" + title + "'";
        w = ParentOf(m_x, w);
    }
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(focus));
    return std::string("is on the untitled window ") + id;
}

unsigned long Journey::WaitForActive(std::string_view titlePart)
{
    unsigned long found = 0;
    // Active, and holding the keyboard: the window manager names the active window before it hands
    // the window the input focus, and keys sent in between go elsewhere.
    const auto active = [&] {
        const unsigned long w = ActiveWindow();
        if (w && Title(w).find(titlePart) != std::string::npos && HoldsInputFocus(w)) {
            found = w;
            return true;
        }
        return false;
    };
    // A journey that waits in vain says which window is active instead.
    try {
        WaitUntil("a window titled '" + std::string(titlePart) + "' is active", active);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(std::string(e.what()) + " (the active window is titled '" + ActiveTitle() +
                                 "', the input focus " + FocusHolder() + ")");
    }
    return found;
}

unsigned long Journey::WaitForWindow(std::string_view titlePart)
{
    unsigned long found = 0;
    WaitUntil("a window titled '" + std::string(titlePart) + "' is shown", [&] {
        for (unsigned long w : Windows()) {
            XWindowAttributes a;
            if (Title(w).find(titlePart) != std::string::npos && XGetWindowAttributes(m_x, w, &a) &&
                a.map_state == IsViewable) {
                found = w;
                return true;
            }
        }
        return false;
    });
    return found;
}

void Journey::WaitForNoWindow(std::string_view titlePart)
{
    WaitUntil("no window titled '" + std::string(titlePart) + "' is left", [&] {
        for (unsigned long w : Windows()) {
            XWindowAttributes a;
            if (Title(w).find(titlePart) != std::string::npos && XGetWindowAttributes(m_x, w, &a) &&
                a.map_state == IsViewable)
                return false;
        }
        return true;
    });
}

Box Journey::TitleBar(unsigned long window)
{
    // The window manager's frame is the window's ancestor just below the root.
    Window frame = window;
    for (Window up = ParentOf(m_x, frame); up && up != DefaultRootWindow(m_x); up = ParentOf(m_x, up))
        frame = up;
    const Box outer = ClientBox(frame), client = ClientBox(window);
    const int x0 = std::max(0, outer.x), y0 = std::max(0, outer.y);
    const Box bar{x0, y0, std::min(kScreenWidth, outer.x + outer.w) - x0, std::min(kScreenHeight, client.y) - y0};
    return bar.Empty() ? Box{} : bar;
}

Box Journey::ClientBox(unsigned long window)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(m_x, window, &a))
        return {};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(m_x, window, DefaultRootWindow(m_x), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

std::vector<Box> Journey::Popups()
{
    // The program's own class names its pop-ups too.
    std::string programClass;
    XClassHint hint{};
    if (m_mainWindow && XGetClassHint(m_x, m_mainWindow, &hint)) {
        programClass = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    std::vector<Box> popups;
    if (!XQueryTree(m_x, DefaultRootWindow(m_x), &root, &parent, &children, &n))
        return popups;
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(m_x, children[i], &a) || !a.override_redirect || a.map_state != IsViewable ||
            a.width < 8 || a.height < 8)
            continue;
        XClassHint h{};
        bool ours = false;
        if (XGetClassHint(m_x, children[i], &h)) {
            ours = programClass.empty() || (h.res_class && programClass == h.res_class);
            XFree(h.res_name);
            XFree(h.res_class);
        }
        if (ours)
            popups.push_back({a.x, a.y, a.width, a.height});
    }
    if (children)
        XFree(children);
    return popups;
}

QImage Journey::NewestPopup(const std::vector<Box>& under)
{
    const std::vector<Box> now = Popups();
    if (now.empty() || std::any_of(under.begin(), under.end(), [&](const Box& b) { return SameBox(b, now.back()); }))
        return {};
    // Clipped to the screen, which is all there is to read.
    const Box b = now.back();
    const int x0 = std::max(0, b.x), y0 = std::max(0, b.y);
    return ShotOf({x0, y0, std::min(kScreenWidth, b.x + b.w) - x0, std::min(kScreenHeight, b.y + b.h) - y0});
}

// ---- Screen --------------------------------------------------------------------------------------

QImage Journey::Shot(std::string_view name)
{
    const QImage image = ShotOf({0, 0, kScreenWidth, kScreenHeight});
    if (!name.empty()) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%02d-", ++m_shots);
        image.save(QString::fromStdString((m_output / (prefix + std::string(name) + ".png")).string()));
    }
    return image;
}

QImage Journey::ShotOf(Box box)
{
    XImage* xi = XGetImage(m_x, DefaultRootWindow(m_x), box.x, box.y, unsigned(box.w), unsigned(box.h), AllPlanes, ZPixmap);
    if (!xi)
        throw std::runtime_error("cannot read the screen");
    QImage image(box.w, box.h, QImage::Format_RGB32);
    // The screen's 24 bits in 32-bit pixels of this machine's byte order are the picture's own layout:
    // rows are copied as they are (a pixel at a time takes long enough to matter on a loaded machine).
    const int nativeOrder = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
    const bool sameLayout = xi->bits_per_pixel == 32 && xi->byte_order == nativeOrder && xi->red_mask == 0xFF0000 &&
                            xi->green_mask == 0xFF00 && xi->blue_mask == 0xFF;
    for (int y = 0; y < box.h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (sameLayout) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(xi->data + std::ptrdiff_t(y) * xi->bytes_per_line);
            for (int x = 0; x < box.w; ++x)
                line[x] = row[x] | 0xFF000000u;
        } else {
            for (int x = 0; x < box.w; ++x)
                line[x] = QRgb(XGetPixel(xi, x, y)) | 0xFF000000u;
        }
    }
    XDestroyImage(xi);
    return image;
}

GridOnScreen Journey::FindGrid(const QImage& screen, int cols, int rows)
{
    // Walls are black; a grid's outer walls are the outermost long straight black lines.
    const auto dark = [&](int x, int y) {
        const QRgb c = screen.pixel(x, y);
        return qRed(c) + qGreen(c) + qBlue(c) < 60;
    };
    // The first and last line (rows when `across`, else columns) holding a long dark run.
    constexpr int kLong = 150;
    const auto outermost = [&](bool across, int* first, int* last) {
        const int lines = across ? screen.height() : screen.width();
        const int length = across ? screen.width() : screen.height();
        *first = *last = -1;
        for (int i = 0; i < lines; ++i) {
            int run = 0;
            for (int t = 0; t < length && run < kLong; ++t)
                run = (across ? dark(t, i) : dark(i, t)) ? run + 1 : 0;
            if (run >= kLong) {
                if (*first < 0)
                    *first = i;
                *last = i;
            }
        }
    };
    int top = -1, bottom = -1, left = -1, right = -1;
    outermost(true, &top, &bottom);
    outermost(false, &left, &right);
    GridOnScreen grid;
    if (top < 0 || left < 0 || bottom - top < 4 * rows || right - left < 4 * cols)
        return grid;
    grid.box = {left, top, right - left + 1, bottom - top + 1};
    grid.cols = cols;
    grid.rows = rows;
    // Lines around cells, not a dark area: most cells are light inside.
    int light = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            light += !dark(grid.Cell(c, r).x, grid.Cell(c, r).y);
    if (light * 2 < rows * cols)
        return {};
    return grid;
}

namespace {
// The round indicator of a radio button: a grey ring 14 pixels across on a light ground.
constexpr int kRadio = 14;

bool RadioAt(const QImage& img, int x, int y)
{
    const auto grey = [&](int px, int py) { return qGray(img.pixel(px, py)) < 200; };
    const auto light = [&](int px, int py) { return qGray(img.pixel(px, py)) > 225; };
    const int m = kRadio / 2 - 1, e = kRadio - 1;
    return grey(x, y + m) && grey(x, y + m + 1) && grey(x + e, y + m) && grey(x + e, y + m + 1) && grey(x + m, y) &&
           grey(x + m + 1, y) && grey(x + m, y + e) && grey(x + m + 1, y + e) && light(x - 1, y + m) &&
           light(x + e + 1, y + m) && light(x + m, y - 1) && light(x + m, y + e + 1) && light(x + 2, y + m) &&
           light(x + e - 2, y + m) && light(x + m, y + 2) && light(x + m, y + e - 2) && light(x - 1, y - 1) &&
           light(x + e + 1, y + e + 1);
}

// The indicators of `size` pixels across in the box, found where `at` holds for their top-left
// corner, by their centres in reading order (top to bottom, then left to right).
template <typename At>
std::vector<Point> FindIndicators(const QImage& screen, Box within, int size, At at)
{
    std::vector<Point> found;
    const int x0 = std::max(1, within.x), y0 = std::max(1, within.y);
    const int x1 = std::min(screen.width() - size - 1, within.x + within.w - size);
    const int y1 = std::min(screen.height() - size - 1, within.y + within.h - size);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (!at(screen, x, y))
                continue;
            const Point centre{x + size / 2, y + size / 2};
            if (std::none_of(found.begin(), found.end(), [&](const Point& p) {
                    return std::abs(p.x - centre.x) < size && std::abs(p.y - centre.y) < size;
                }))
                found.push_back(centre);
        }
    std::sort(found.begin(), found.end(), [size](const Point& a, const Point& b) {
        return std::abs(a.y - b.y) > size / 2 ? a.y < b.y : a.x < b.x;
    });
    return found;
}
} // namespace

std::vector<Point> Journey::FindRadioButtons(const QImage& screen, Box within)
{
    return FindIndicators(screen, within, kRadio, RadioAt);
}

bool Journey::RadioChecked(const QImage& screen, Point centre)
{
    // The checked indicator has a dark dot in the middle.
    return qGray(screen.pixel(centre.x, centre.y)) < 160;
}

namespace {
// The square indicator of a check box: a grey frame 14 pixels across, light inside and around.
constexpr int kCheckBox = 14;

bool CheckBoxAt(const QImage& img, int x, int y)
{
    const auto grey = [&](int px, int py) { return qGray(img.pixel(px, py)) < 215; };
    const auto light = [&](int px, int py) { return qGray(img.pixel(px, py)) > 225; };
    const int e = kCheckBox - 1, m = kCheckBox / 2;
    for (int t = 2; t < e - 1; ++t)
        if (!grey(x + t, y) || !grey(x + t, y + e) || !grey(x, y + t) || !grey(x + e, y + t))
            return false;
    return light(x - 1, y + m) && light(x + e + 1, y + m) && light(x + m, y - 1) && light(x + m, y + e + 1) &&
           light(x + 1, y + m) && light(x + e - 1, y + m) && light(x + m, y + 1) && light(x + m, y + e - 1);
}
} // namespace

std::vector<Point> Journey::FindCheckBoxes(const QImage& screen, Box within)
{
    return FindIndicators(screen, within, kCheckBox, CheckBoxAt);
}

bool Journey::CheckBoxChecked(const QImage& screen, Point centre)
{
    // The check mark is dark across the middle of the indicator.
    int dark = 0;
    for (int y = centre.y - 3; y <= centre.y + 3; ++y)
        for (int x = centre.x - 4; x <= centre.x + 4; ++x)
            dark += qGray(screen.pixel(x, y)) < 120;
    return dark >= 4;
}

Box Journey::FindDefaultButton(const QImage& screen, Box within)
{
    // The style frames the default button in its highlight colour; the buttons sit in the window's
    // bottom band, below any focus frame of the controls above.
    const Box band{within.x, within.y + within.h - 60, within.w, 60};
    return BoxWhere(screen, band, IsHighlight);
}

// ---- Waiting -------------------------------------------------------------------------------------

void Journey::WaitUntil(std::string_view what, const std::function<bool()>& done, std::chrono::seconds deadline)
{
    const auto end = Clock::now() + deadline;
    while (!done()) {
        if (Clock::now() > end)
            Fail("waited in vain until " + std::string(what));
        std::this_thread::sleep_for(kPoll);
    }
}

// ---- Results -------------------------------------------------------------------------------------

std::unique_ptr<CVantrelDoc> Journey::LoadMaze(const fs::path& file, const std::function<bool(const CVantrelDoc&)>& holds)
{
    std::vector<std::string> messages;
    SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        messages.emplace_back(r.text.GetString());
        return MessageBoxDefaultAnswer(r.type);
    });
    std::unique_ptr<CVantrelDoc> doc;
    WaitUntil("the program has saved " + file.string() + " and it reads back", [&] {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) == 0)
            return false;
        auto d = std::make_unique<CVantrelDoc>();
        try {
            if (!d->OnOpenDocument(file.c_str()) || (holds && !holds(*d)))
                return false;
        } catch (...) {
            return false;
        }
        doc = std::move(d);
        return true;
    });
    SetMessageBoxHandler({});
    return doc;
}

unsigned long Journey::FileId(const fs::path& file)
{
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? static_cast<unsigned long>(st.st_ino) : 0;
}

std::vector<QImage> Journey::PdfPages(const fs::path& pdf, int dpi)
{
    const fs::path prefix = m_output / ("pdf-" + pdf.stem().string());
    WaitUntil("the program has printed " + pdf.string(), [&] {
        std::error_code ec;
        if (!fs::is_regular_file(pdf, ec) || fs::file_size(pdf, ec) == 0)
            return false;
        // A PDF is complete once its trailer is written.
        std::ifstream in(pdf, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        if (bytes.rfind("%%EOF") == std::string::npos)
            return false;
        return RunTool({"pdftoppm", "-r", std::to_string(dpi), "-png", pdf.string(), prefix.string()},
                       m_output / "pdftoppm.log") == 0;
    });
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(m_output))
        if (e.path().filename().string().rfind(prefix.filename().string() + "-", 0) == 0 &&
            e.path().extension() == ".png")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<QImage> pages;
    for (const fs::path& f : files)
        pages.emplace_back(QString::fromStdString(f.string()));
    return pages;
}

} // namespace journey
