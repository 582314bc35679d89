// Working offline (VANTREL_OFFLINE, which every journey sets), the program asks nothing of another
// machine: Check For Program Updates and a help link say so in a message box instead. Were anything to
// go out all the same, it would go to this journey: the browser's proxy is the journey's own server on
// this machine, and the desktop's opener (xdg-open) is a script that notes what it is handed.
#include "tests/journey/JourneySupport.h"

#include "tests/support/LoopbackHttpServer.h"

#include <cstdlib>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the program the journey starts, and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
            m_had = true;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};

class OfflineJourney : public Journey {
protected:
    // The message box of the program (captioned with its name) that is on screen, or 0.
    unsigned long MessageBox()
    {
        for (unsigned long w : Windows())
            if (Title(w) == "FREEQuillmont")
                return w;
        return 0;
    }

    std::vector<std::string> Requests()
    {
        std::vector<std::string> paths;
        for (const auto& r : m_server.Requests())
            paths.push_back(r.path);
        return paths;
    }

    LoopbackHttpServer m_server;
};

TEST_F(OfflineJourney, UpdateCheckAndHelpLinksStayOnThisMachine)
{
    const std::string port = m_server.Base().substr(m_server.Base().rfind(':') + 1);
    const ScopedEnv proxy("QTWEBENGINE_CHROMIUM_FLAGS", "--proxy-server=http://127.0.0.1:" + port);
    const fs::path bin = WorkDir() / "bin";
    const fs::path opened = WorkDir() / "opened.txt";
    fs::create_directories(bin);
    {
        std::ofstream opener(bin / "xdg-open");
        opener << "#!/bin/sh\necho \"$@\" >> '" << opened.string() << "'\n";
    }
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const ScopedEnv path("PATH", bin.string() + ":" + std::getenv("PATH"));

    Start();
    ChooseMenu("Help", "Check For Program Updates");
    WaitUntil("a message box says the program works offline, or the pane asks for the update page",
              [&] { return MessageBox() != 0 || !m_server.Requests().empty(); });
    EXPECT_EQ(Requests(), std::vector<std::string>{}) << "the pane asked another machine for its page";
    ASSERT_NE(MessageBox(), 0u) << "no message says why the update page is not shown";
    WaitForActive("FREEQuillmont");
    Shot("update-check-offline");
    Key("Return");
    WaitForNoWindow("FREEQuillmont");

    WaitForActive("FREE Quillmont");
    ChooseMenu("Help", "Goto Online Quillmont User Manual");
    WaitUntil("a message box says the program works offline, or the desktop is handed the manual",
              [&] { return MessageBox() != 0 || fs::exists(opened); });
    EXPECT_FALSE(fs::exists(opened)) << "the desktop was handed the manual's address";
    ASSERT_NE(MessageBox(), 0u) << "no message says why the manual is not opened";
    WaitForActive("FREEQuillmont");
    Shot("help-link-offline");
    Key("Return");
    WaitForNoWindow("FREEQuillmont");
    EXPECT_EQ(Requests(), std::vector<std::string>{});
}

} // namespace
