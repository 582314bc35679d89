#pragma once
// Sets the program's offline switch (VANTREL_OFFLINE) for a scope, then restores what the environment
// held. Every test process starts with the switch on.
#include <cstdlib>
#include <string>

class OfflineScope {
public:
    explicit OfflineScope(bool on)
    {
        if (const char* value = std::getenv("VANTREL_OFFLINE")) {
            m_saved = value;
            m_had = true;
        }
        if (on)
            setenv("VANTREL_OFFLINE", "1", 1);
        else
            unsetenv("VANTREL_OFFLINE");
    }
    ~OfflineScope()
    {
        if (m_had)
            setenv("VANTREL_OFFLINE", m_saved.c_str(), 1);
        else
            unsetenv("VANTREL_OFFLINE");
    }
    OfflineScope(const OfflineScope&) = delete;
    OfflineScope& operator=(const OfflineScope&) = delete;

private:
    std::string m_saved;
    bool m_had = false;
};
