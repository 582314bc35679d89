// Fetches and downloads against a server of the test's own on 127.0.0.1, the version probe, and the
// offline switch that keeps them on this machine.
#include "online/CWebGrab.h"
#include "online/Download.h"
#include "online/WebLinkScheme.h"
#include "platform/core/MessageBox.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/OfflineScope.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Loopback : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Loopback requests never go through a proxy of the environment.
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(name);
        char pattern[] = "/tmp/online-dl-XXXXXX";
        dir = mkdtemp(pattern);
        setenv("TMPDIR", dir.c_str(), 1);
        previousBox = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes.push_back(r);
            return answers.empty() ? IDOK : Next();
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler(previousBox);
        unsetenv("TMPDIR");
        fs::remove_all(dir);
    }
    int Next()
    {
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    LoopbackHttpServer server;
    std::string dir;
    MessageBoxHandler previousBox;
    std::vector<MessageBoxRequest> boxes;
    std::vector<int> answers;
    DownloadConnection online{[] { return TRUE; }, [] { return TRUE; }};
};
} // namespace

TEST_F(Loopback, FetchGivesExactBytesStatusAndHeaders)
{
    const std::string binary("a\0b\0\0c", 6);
    server.Serve("/bin", {200, binary, "X-Test: yes\r\n"});
    server.Serve("/empty", {200, ""});
    server.Serve("/missing", {404, "error page"});
    CWebGrab grab;
    CString content;
    ASSERT_TRUE(grab.GetPage(server.Url("/bin").c_str(), content, USER_AGENT));
    EXPECT_EQ(content.str(), binary);
    EXPECT_EQ(grab.statusCode, 200u);
    EXPECT_NE(grab.rawHeaders.Find("X-Test: yes\r\n"), -1);
    EXPECT_EQ(grab.GetStatusText(), "");

    ASSERT_TRUE(grab.GetPage(server.Url("/empty").c_str(), content, USER_AGENT));
    EXPECT_EQ(content.GetLength(), 0);
    // An error page is a successful fetch of its body; the status is only recorded.
    ASSERT_TRUE(grab.GetPage(server.Url("/missing").c_str(), content, USER_AGENT));
    EXPECT_EQ(content, "error page");
    EXPECT_EQ(grab.statusCode, 404u);

    // The agent of the first fetch stays with the session.
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& r : requests)
        EXPECT_NE(r.headers.find("User-Agent: QUILLMONT-FREE_QL19\r\n"), std::string::npos);
}

TEST_F(Loopback, ProgressTextsNameTheTotal)
{
    std::vector<CString> texts;
    const WebGrabStatusSink sink = [&](const CString& t) { texts.push_back(t); };
    for (int size : {4095, 4096}) {
        server.Serve("/body", {200, std::string(std::size_t(size), 'x')});
        texts.clear();
        CWebGrab grab;
        CString content;
        ASSERT_TRUE(grab.GetPage(server.Url("/body").c_str(), content, USER_AGENT, sink));
        EXPECT_EQ(content.GetLength(), size);
        std::vector<CString> reads;
        for (const CString& t : texts)
            if (t.Find("Read ") == 0)
                reads.push_back(t);
        ASSERT_FALSE(reads.empty());
        CString last;
        last.Format("Read %d bytes", size);
        EXPECT_EQ(reads.back().Left(last.GetLength()), last);
        // Never more than one chunk of 4095 bytes between two texts.
        EXPECT_GE(int(reads.size()), size > 4095 ? 2 : 1);
        EXPECT_EQ(texts.back(), "");
    }
}

TEST(WebGrabSession, StatusTexts)
{
    CWebGrabSession session("agent");
    session.OnStatusCallback(1, INTERNET_STATUS_RESOLVING_NAME, "host", 4);
    EXPECT_EQ(session.statusText, "Resolving name for host");
    session.OnStatusCallback(1, INTERNET_STATUS_CONNECTING_TO_SERVER, nullptr, 0);
    EXPECT_EQ(session.statusText, "Connecting to socket address ");
    session.OnStatusCallback(1, INTERNET_STATUS_RECEIVING_RESPONSE, nullptr, 0);
    EXPECT_EQ(session.statusText, "Connecting to socket address ");  // unchanged
    const std::uint32_t words[2] = {1, 0xABC};
    session.OnStatusCallback(1, INTERNET_STATUS_REQUEST_COMPLETE, words, 8);
    EXPECT_EQ(session.statusText, "Request complete, dwResult = 00000001, dwError = 00000ABC");
    session.OnStatusCallback(1, INTERNET_STATUS_REQUEST_COMPLETE, words, 4);
    EXPECT_EQ(session.statusText, "Request complete");
    session.OnStatusCallback(1, 77, nullptr, 0);
    EXPECT_EQ(session.statusText, "Unknown status: 77");
    session.SetStatus("%s", std::string(600, 'z').c_str());
    EXPECT_EQ(session.statusText.GetLength(), 511);
}

TEST(DownloadNames, CanonicalAddressAndBaseNames)
{
    CString out;
    ASSERT_TRUE(CanonicalizeAddress("http://h/a b/c%41 d", out));
    EXPECT_EQ(out, "http://h/a%20b/c%41%20d");
    EXPECT_TRUE(CanonicalizeAddress(std::string(699, 'a').c_str(), out));
    EXPECT_FALSE(CanonicalizeAddress((std::string(697, 'a') + " ").c_str(), out));

    ASSERT_TRUE(ReduceToBaseName("HTTP://server/sets/stone.txt", out));
    EXPECT_EQ(out, "stone.txt");
    ASSERT_TRUE(ReduceToBaseName("..\\..\\evil.bmp", out));
    EXPECT_EQ(out, "evil.bmp");
    EXPECT_FALSE(ReduceToBaseName("http://server/sets/", out));
    EXPECT_FALSE(ReduceToBaseName("a/..", out));
    EXPECT_FALSE(ReduceToBaseName(".", out));
    EXPECT_FALSE(ReduceToBaseName("", out));
}

TEST_F(Loopback, DownloadToTemporaryAndNamedFiles)
{
    server.Serve("/a%20b.gif", {200, std::string("GIF89a\0\1", 8)});
    CString path;
    ASSERT_TRUE(DownloadToFile(server.Url("/a b.gif").c_str(), "MASK", "TEMP", online, path));
    EXPECT_EQ(server.Requests().back().path, "/a%20b.gif");
    EXPECT_EQ(fs::path(path.GetString()).parent_path(), fs::path(dir));
    EXPECT_EQ(fs::path(path.GetString()).filename().string().rfind("MASK", 0), 0u);
    EXPECT_EQ(ReadFile(path.GetString()), std::string("GIF89a\0\1", 8));

    // A named destination is replaced whole; an empty body gives an empty file.
    const std::string target = dir + "/stone.txt";
    std::ofstream(target) << "old contents";
    server.Serve("/empty", {200, ""});
    ASSERT_TRUE(DownloadToFile(server.Url("/empty").c_str(), "TILER", target.c_str(), online, path));
    EXPECT_EQ(path, target.c_str());
    EXPECT_EQ(fs::file_size(target), 0u);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    // Only the two downloaded files: no partial file is left beside them.
    EXPECT_EQ(Files().size(), 2u);
}

TEST_F(Loopback, FailedDownloadsLeaveNoFiles)
{
    WebGrabLimits& limits = WebGrabDefaultLimits();
    const WebGrabLimits saved = limits;
    limits.maxBytes = 1000;
    limits.timeoutMs = 700;
    server.Serve("/404", {404, "nope"});
    server.Serve("/500", {500, "server error"});
    server.Serve("/big", {200, std::string(1001, 'b')});
    server.Serve("/exact", {200, std::string(1000, 'b')});
    server.Serve("/slow", {200, "late", "", 3000});
    server.Serve("/cut", {200, std::string(800, 'c'), "", 0, true});
    const std::string target = dir + "/kept.txt";
    std::ofstream(target) << "kept";

    CString path;
    for (const char* route : {"/404", "/500", "/big", "/slow", "/cut"}) {
        SCOPED_TRACE(route);
        EXPECT_FALSE(DownloadToFile(server.Url(route).c_str(), "TEMPLATE", "TEMP", online, path));
        EXPECT_EQ(path, "TEMP");
        EXPECT_FALSE(DownloadToFile(server.Url(route).c_str(), "TILER", target.c_str(), online, path));
        EXPECT_EQ(path, target.c_str());
        EXPECT_EQ(ReadFile(target), "kept");
        EXPECT_EQ(Files(), std::vector<std::string>{"kept.txt"});
    }
    EXPECT_TRUE(DownloadToFile(server.Url("/exact").c_str(), "TILER", target.c_str(), online, path));
    EXPECT_EQ(fs::file_size(target), 1000u);
    // A destination in a folder that does not exist is not written anywhere else.
    EXPECT_FALSE(DownloadToFile(server.Url("/exact").c_str(), "TILER", (dir + "/no/such.txt").c_str(), online, path));
    EXPECT_EQ(Files(), std::vector<std::string>{"kept.txt"});
    limits = saved;
}

TEST_F(Loopback, RedirectsAreFollowedToHttpOnly)
{
    server.Serve("/moved", {302, "", "Location: /final\r\n"});
    server.Serve("/final", {200, "arrived"});
    server.Serve("/tofile", {302, "", "Location: file:///etc/passwd\r\n"});
    CString path;
    ASSERT_TRUE(DownloadToFile(server.Url("/moved").c_str(), "MASK", "TEMP", online, path));
    EXPECT_EQ(ReadFile(path.GetString()), "arrived");
    fs::remove(path.GetString());
    EXPECT_FALSE(DownloadToFile(server.Url("/tofile").c_str(), "MASK", "TEMP", online, path));
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(Loopback, ConnectionPromptRepeatsAndCanBeCancelled)
{
    server.Serve("/f", {200, "data"});
    int rechecks = 0;
    DownloadConnection offline{[] { return FALSE; }, [&] { return ++rechecks >= 2; }};
    CString path;
    ASSERT_TRUE(DownloadToFile(server.Url("/f").c_str(), "MASK", "TEMP", offline, path));
    EXPECT_EQ(rechecks, 2);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, kNoConnectionPrompt);
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);

    boxes.clear();
    rechecks = -100;
    answers = {IDOK, IDCANCEL};
    EXPECT_FALSE(DownloadToFile(server.Url("/f").c_str(), "MASK", "TEMP", offline, path));
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(path, "TEMP");
    EXPECT_EQ(server.Requests().size(), 1u);  // no fetch after the cancel
}

TEST_F(Loopback, VersionProbeOutcomes)
{
    const CString previous = SetRedirectServer(server.Base().c_str());
    const std::string path = "/redir.asp?LOC=latestversionfree&VER=FREE_QL19";
    const struct {
        int status;
        const char* answer;
        bool newer;
    } cases[] = {{200, "FREE_QL19", false}, {200, "FREE_QL1", false}, {200, "", false},
                 {200, "FREE_QL19\r\n", true}, {200, "FREE_QL20", true}, {500, "Internal error", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        server.Serve(path, {c.status, c.answer});
        CWebGrab grab;
        EXPECT_EQ(ProbeNewerVersion(grab), c.newer ? TRUE : FALSE);
    }
    EXPECT_EQ(server.Requests().back().path, path);
    // No server answering: not newer.
    SetRedirectServer("http://127.0.0.1:1");
    CWebGrab grab;
    EXPECT_FALSE(ProbeNewerVersion(grab));
    SetRedirectServer(previous);
}

// Offline, no fetch goes to another machine: not the address asked for, not a redirect from this
// machine to another, not a download. "quillmont.localhost" is another machine to the offline switch
// (the system's resolver would send a query for it), while libcurl itself places it on this machine:
// so the server sees whatever the switch lets through.
TEST_F(Loopback, OfflineFetchesStayOnThisMachine)
{
    const std::string port = server.Base().substr(server.Base().rfind(':') + 1);
    const std::string elsewhere = "http://quillmont.localhost:" + port + "/far";
    server.Serve("/far", {200, "far away"});
    server.Serve("/hop", {302, "", "Location: " + elsewhere + "\r\n"});
    const auto paths = [&] {
        std::vector<std::string> p;
        for (const auto& r : server.Requests())
            p.push_back(r.path);
        return p;
    };

    OfflineScope on(true);
    CWebGrab grab;
    CString content = "old";
    EXPECT_FALSE(grab.GetPage(elsewhere.c_str(), content, USER_AGENT));
    EXPECT_EQ(content, "");
    EXPECT_EQ(grab.statusCode, 0u);
    EXPECT_NE(grab.GetStatusText().Find("offline"), -1) << grab.GetStatusText().GetString();
    EXPECT_FALSE(grab.GetPage(server.Url("/hop").c_str(), content, USER_AGENT));
    CString path;
    EXPECT_FALSE(DownloadToFile(elsewhere.c_str(), "MASK", "TEMP", online, path));
    EXPECT_EQ(path, "TEMP");
    EXPECT_EQ(Files(), std::vector<std::string>{});
    EXPECT_EQ(paths(), std::vector<std::string>{"/hop"});
    // The version probe asks nothing of a server elsewhere: not newer.
    const CString previous = SetRedirectServer(("http://quillmont.localhost:" + port).c_str());
    server.Serve("/redir.asp?LOC=latestversionfree&VER=FREE_QL19", {200, "FREE_QL20"});
    EXPECT_FALSE(ProbeNewerVersion(grab));
    EXPECT_EQ(paths(), std::vector<std::string>{"/hop"});

    // With the switch off the same fetches reach the server.
    {
        OfflineScope off(false);
        EXPECT_TRUE(ProbeNewerVersion(grab));
        ASSERT_TRUE(grab.GetPage(server.Url("/hop").c_str(), content, USER_AGENT));
        EXPECT_EQ(content, "far away");
        EXPECT_EQ(grab.statusCode, 200u);
    }
    SetRedirectServer(previous);
    EXPECT_EQ(paths(), (std::vector<std::string>{"/hop", "/redir.asp?LOC=latestversionfree&VER=FREE_QL19", "/hop",
                                                  "/far"}));
}

// Redirects are followed one at a time, within the limits of a single fetch.
TEST_F(Loopback, RedirectChainsKeepTheirLimits)
{
    WebGrabLimits& limits = WebGrabDefaultLimits();
    const WebGrabLimits saved = limits;
    limits.maxRedirects = 2;
    for (int i = 0; i < 3; ++i)
        server.Serve("/r" + std::to_string(i), {301, "moved", "Location: /r" + std::to_string(i + 1) + "\r\n"});
    server.Serve("/r3", {200, "end"});
    server.Serve("/r2", {307, "moved", "Location: " + server.Url("/r3") + "\r\n"});
    CString content;
    {
        CWebGrab grab;
        EXPECT_FALSE(grab.GetPage(server.Url("/r0").c_str(), content, USER_AGENT));
    }
    EXPECT_EQ(server.Requests().size(), 3u);  // r0, r1, r2: the third redirect is one too many
    {
        CWebGrab grab;
        ASSERT_TRUE(grab.GetPage(server.Url("/r1").c_str(), content, USER_AGENT));
        EXPECT_EQ(content, "end");
        EXPECT_EQ(grab.statusCode, 200u);
        // The headers are those of the last response.
        EXPECT_EQ(grab.rawHeaders.Find("Location"), -1);
    }
    limits = saved;
}
