// Start-up time of the program: from process start to the first painted maze (run by hand).
//
// The parent saves a grown 200 x 260 maze through the document's own Save into a temporary folder, then
// starts itself again and again as a child that runs the program's own entry (the application object,
// the resource tables and AfxWinMain, as app/main.cpp does) with that file on its command line. The
// child watches, from a timer on its own event loop, for the view's first paint of the loaded maze and
// reports how long that took; the parent prints median and spread.
//
//   startup_bench [--runs N] [--app-dir DIR] [--fresh-profile] [--cold-cache]
//
// DIR becomes the child's working folder (default: ../app beside this program's folder); the program's
// data (the information pane's html folder) is found beside this program, as the program finds its
// own. Run under xvfb-run (xvfb-run -a -s '-screen 0 1280x1024x24' startup_bench ...), or with
// QT_QPA_PLATFORM=offscreen. The runs share a profile folder (XDG_CONFIG_HOME) in the temporary
// folder, filled by one uncounted start first, so they time an ordinary start; --fresh-profile gives
// every run an empty one instead, as the first start after installing (the document then writes every
// setting). --cold-cache gives every run empty cache and data folders too (XDG_CACHE_HOME,
// XDG_DATA_HOME: the OpenGL shader caches, the browser's data), as the first start of a new user.
// The user's own settings and caches are neither read nor written: without --cold-cache the runs
// share cache and data folders of their own, warmed by the uncounted start.
//
// Times are CLOCK_MONOTONIC, which all processes share: the parent reads it just before fork(), so
// "total" covers fork, exec, loading and static start-up too. The child's /proc/self/stat start time
// (clock ticks since boot, against /proc/uptime) is printed as a coarse cross-check.
#include "app/CSplashThread.h"
#include "app/CVantrelApp.h"
#include "maze/CVantrelDoc.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CWnd.h"
#include "resources/VantrelResources.h"
#include "resources/periph/PeriphResources.h"
#include "view/CVantrelView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

// The one application object, as in the program.
CVantrelApp theApp;

namespace {

constexpr const char* kChildEnv = "VANTREL_STARTUP_REPORT_FD";
constexpr const char* kForkEnv = "VANTREL_STARTUP_FORK_NS";

long long NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

double Ms(long long ns) { return double(ns) / 1e6; }

// Seconds from this process's start to now by /proc (resolution one clock tick).
double ProcAgeSeconds()
{
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    // The command name may hold spaces: fields count from after its closing parenthesis.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return -1.0;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22)
            startTicks = std::strtoull(field.c_str(), nullptr, 10);
    double uptime = 0.0;
    std::ifstream("/proc/uptime") >> uptime;
    return uptime - double(startTicks) / double(sysconf(_SC_CLK_TCK));
}

// ---- Child: the program starting up -----------------------------------------------------------------

// Moments of a start, in the order they happen.
enum Stage { kMain, kQApp, kFirstShown, kFirstTick, kFrameShown, kViewSeen, kPaintStart, kPainted, kStageCount };
const char* const kStageNames[kStageCount] = {
    "main() entered",
    "QApplication made",
    "first top-level window shown",  // the splash, when it starts
    "first event-loop turn",
    "main frame shown",
    "maze view announced (seen)",
    "first paint of the maze begins",
    "first painted maze",
};

struct ChildState {
    int reportFd = -1;
    long long forkNs = 0;
    long long at[kStageCount] = {};
    bool viewPainted = false;
    bool reported = false;
};
ChildState g_child;

// Notes the first time a stage is reached.
void Mark(Stage stage)
{
    if (!g_child.at[stage])
        g_child.at[stage] = NowNs();
}

// Sees every event before its receiver; notes a paint that reaches the maze view's window.
class PaintWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Show && pObject->isWidgetType() && static_cast<const QWidget*>(pObject)->isWindow())
            Mark(kFirstShown);
        if (pEvent->type() == QEvent::Show && theApp.m_pMainWnd && pObject == theApp.m_pMainWnd->GetWidget())
            Mark(kFrameShown);
        if (pEvent->type() == QEvent::Paint && theApp.mazeView && pObject->isWidgetType()) {
            const auto* pWidget = static_cast<const QWidget*>(pObject);
            const CVantrelDoc* pDoc = theApp.mazeView->GetDocument();
            // Only a paint of a document with grids counts: one before the file is read shows no maze.
            if ((pWidget == theApp.mazeView->GetWidget() || pWidget == theApp.mazeView->GetClientWidget()) && pDoc &&
                pDoc->m_nGrids && !g_child.viewPainted) {
                Mark(kPaintStart);
                g_child.viewPainted = true;
            }
        }
        return false;
    }
};

// One line: each stage's time since fork in nanoseconds, the /proc age in seconds, whether the splash
// was started, whether it was still up at the first paint, and whether a browser had been made.
void Report()
{
    Mark(kPainted);
    std::string text;
    for (long long at : g_child.at)
        text += std::to_string(at ? at - g_child.forkNs : -1) + " ";
    const QList<QWidget*> widgets = QApplication::allWidgets();
    const bool browser =
        std::any_of(widgets.begin(), widgets.end(), [](const QWidget* w) { return w->inherits("QWebEngineView"); });
    text += std::to_string(ProcAgeSeconds()) + " " + (theApp.splashThread ? "1 " : "0 ") +
            (theApp.splashThread && theApp.splashThread->splashVisible ? "1 " : "0 ") + (browser ? "1\n" : "0\n");
    if (write(g_child.reportFd, text.data(), text.size()) < 0)
        std::perror("report");
    close(g_child.reportFd);
    g_child.reported = true;
}

// Polls after each pass of the event loop: the maze counts as painted once a paint reached the view
// and the document's redraw has gone through the back buffer (the view clears m_bDirty there).
void Poll()
{
    if (g_child.reported)
        return;
    Mark(kFirstTick);
    CVantrelView* pView = theApp.mazeView;
    if (!pView)
        return;
    Mark(kViewSeen);
    const CVantrelDoc* pDoc = pView->GetDocument();
    if (!g_child.viewPainted || !pDoc || pDoc->m_nGrids == 0 || pDoc->m_bDirty)
        return;
    Report();
    QCoreApplication::quit();
}

// Runs inside the QApplication constructor of AfxWinMain, before InitInstance.
void OnApplicationMade()
{
    if (g_child.reportFd < 0)
        return;
    Mark(kQApp);
    qApp->installEventFilter(new PaintWatcher(qApp));
    auto* pTimer = new QTimer(qApp);
    pTimer->setInterval(0);
    QObject::connect(pTimer, &QTimer::timeout, &Poll);
    pTimer->start();
}
Q_COREAPP_STARTUP_FUNCTION(OnApplicationMade)

int RunChild(int argc, char** argv)
{
    Mark(kMain);
    g_child.reportFd = std::atoi(std::getenv(kChildEnv));
    g_child.forkNs = std::atoll(std::getenv(kForkEnv) ? std::getenv(kForkEnv) : "0");
    AfxSetResourceTables(&GetVantrelResources());
    VantrelInitPeriphResources();
    const int code = AfxWinMain(argc, argv);
    return g_child.reported ? 0 : (code ? code : 3);
}

// ---- Parent: the maze file and the runs ---------------------------------------------------------------

std::string MakeMazeFile(const std::string& dir)
{
    CVantrelDoc doc;
    doc.m_nSeed = 1;
    doc.m_bFitToPage = 1;
    doc.m_nCellsX = 200;
    doc.m_nCellsY = 260;
    doc.CreateGrid();
    doc.OnGenerateMaze();
    const std::string path = dir + "/grown-200x260.mze";
    if (!doc.OnSaveDocument(path.c_str())) {
        std::fprintf(stderr, "cannot save %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

struct RunResult {
    bool ok = false;
    double ms[kStageCount] = {};  // -1: the stage was not seen
    double procAgeMs = 0;
    int splashStarted = 0, splashAtPaint = 0, browserMade = 0;
};

// The child's own folders: its profile, and its cache and data folders.
struct RunFolders {
    std::string profile;
    std::string cache;
    std::string data;
};

RunResult RunOnce(const std::string& self, const std::string& appDir, const std::string& mazeFile,
                  const RunFolders& folders)
{
    int fds[2];
    if (pipe(fds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const long long forkNs = NowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        setenv(kChildEnv, std::to_string(fds[1]).c_str(), 1);
        setenv(kForkEnv, std::to_string(forkNs).c_str(), 1);
        setenv("XDG_CONFIG_HOME", folders.profile.c_str(), 1);
        setenv("XDG_CACHE_HOME", folders.cache.c_str(), 1);
        setenv("XDG_DATA_HOME", folders.data.c_str(), 1);
        // The connection check's echoes go to public hosts: never from a benchmark. Where they are
        // sent and nobody answers they add up to 6 x 500 ms to the start.
        setenv("VANTREL_OFFLINE", "1", 1);
        if (chdir(appDir.c_str()) != 0)
            _exit(126);
        execl(self.c_str(), self.c_str(), mazeFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    RunResult result;
    std::string text;
    char buffer[512];
    pollfd pfd{fds[0], POLLIN, 0};
    // A child that does not paint within a minute has failed.
    while (poll(&pfd, 1, 60000) > 0) {
        const ssize_t n = read(fds[0], buffer, sizeof(buffer));
        if (n <= 0)
            break;
        text.append(buffer, std::size_t(n));
    }
    close(fds[0]);
    // The child ends itself after its report; one that lingers is stopped.
    int status = 0;
    for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(50000);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    std::istringstream fields(text);
    long long ns[kStageCount];
    for (long long& v : ns)
        fields >> v;
    double age = 0;
    fields >> age >> result.splashStarted >> result.splashAtPaint >> result.browserMade;
    if (fields) {
        result.ok = true;
        for (int i = 0; i < kStageCount; ++i)
            result.ms[i] = ns[i] < 0 ? -1.0 : Ms(ns[i]);
        result.procAgeMs = age * 1000.0;
    }
    return result;
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const double at = p * double(v.size() - 1);
    const std::size_t lo = std::size_t(at);
    const std::size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (at - double(lo));
}

void PrintRow(const char* name, const std::vector<double>& v)
{
    std::printf("%-34s median %8.1f  min %8.1f  p25 %8.1f  p75 %8.1f  max %8.1f ms\n", name, Percentile(v, 0.5),
                Percentile(v, 0.0), Percentile(v, 0.25), Percentile(v, 0.75), Percentile(v, 1.0));
}

int RunParent(int argc, char** argv)
{
    int runs = 10;
    bool freshProfile = false;
    bool coldCache = false;
    char selfPath[4096] = {};
    const ssize_t len = readlink("/proc/self/exe", selfPath, sizeof(selfPath) - 1);
    if (len <= 0)
        return 1;
    const std::string self(selfPath, std::size_t(len));
    std::string appDir = self.substr(0, self.rfind('/')) + "/../app";
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--app-dir") && i + 1 < argc)
            appDir = argv[++i];
        else if (!std::strcmp(argv[i], "--fresh-profile"))
            freshProfile = true;
        else if (!std::strcmp(argv[i], "--cold-cache"))
            coldCache = true;
    }
    char dirTemplate[] = "/tmp/vantrel-startup-XXXXXX";
    if (!mkdtemp(dirTemplate))
        return 1;
    const std::string dir = dirTemplate;
    // The document reads its settings from the profile even here.
    setenv("XDG_CONFIG_HOME", (dir + "/maker").c_str(), 1);
    const std::string mazeFile = MakeMazeFile(dir);
    std::printf("maze file %s, app folder %s, platform %s, %d runs, %s profile, %s caches\n", mazeFile.c_str(),
                appDir.c_str(), std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "(default)", runs,
                freshProfile ? "a fresh" : "one warmed-up", coldCache ? "empty" : "warmed-up");
    const auto folders = [&](const std::string& suffix) {
        RunFolders f;
        f.profile = dir + "/profile" + (freshProfile ? suffix : std::string());
        f.cache = dir + "/cache" + (coldCache ? suffix : std::string());
        f.data = dir + "/data" + (coldCache ? suffix : std::string());
        return f;
    };
    if ((!freshProfile || !coldCache) && !RunOnce(self, appDir, mazeFile, folders("-warm-up")).ok)
        std::printf("warm-up run: no painted maze reported\n");

    std::vector<double> stageMs[kStageCount], procMs;
    int failures = 0, splashStarted = 0, splashAtPaint = 0, browserMade = 0;
    for (int i = 0; i < runs; ++i) {
        const RunResult r = RunOnce(self, appDir, mazeFile, folders(std::to_string(i)));
        if (!r.ok) {
            ++failures;
            std::printf("run %d: no painted maze reported\n", i);
            continue;
        }
        std::printf("run %2d: first painted maze %.1f ms (proc %.0f ms)\n", i, r.ms[kPainted], r.procAgeMs);
        for (int s = 0; s < kStageCount; ++s)
            if (r.ms[s] >= 0)
                stageMs[s].push_back(r.ms[s]);
        procMs.push_back(r.procAgeMs);
        splashStarted += r.splashStarted;
        splashAtPaint += r.splashAtPaint;
        browserMade += r.browserMade;
    }
    if (!procMs.empty()) {
        std::printf("\nfrom fork, over %zu runs:\n", procMs.size());
        for (int s = 0; s < kStageCount; ++s)
            if (!stageMs[s].empty())
                PrintRow(kStageNames[s], stageMs[s]);
        PrintRow("first painted maze (/proc, coarse)", procMs);
        std::printf("splash started in %d runs, still up at the first paint in %d\n", splashStarted, splashAtPaint);
        std::printf("the information pane's browser made by the first paint in %d runs\n", browserMade);
    }
    std::printf("failed runs: %d\n", failures);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv(kChildEnv))
        return RunChild(argc, argv);
    return RunParent(argc, argv);
}
