// The main of every unit-test program: each test process gets a profile and runtime folder of its
// own, so tests that run side by side never read each other's settings (or the user's).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#ifndef VANTREL_TEST_ENV
#define VANTREL_TEST_ENV ""
#endif

// Under AddressSanitizer (a VANTREL_SANITIZE build), leaks inside third-party libraries that our code
// cannot free are not failures: fontconfig keeps its caches for the life of the process, and Qt
// WebEngine keeps objects of its own. Our code is never listed here.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libQt6WebEngineCore.so\n";
}

#ifdef VANTREL_ASAN_OPTIONS
// The test program's own sanitizer options; ASAN_OPTIONS given at run time still come after them.
extern "C" const char* __asan_default_options() { return VANTREL_ASAN_OPTIONS; }
#endif

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "vantrel-test-XXXXXX").string();
    const char* dir = mkdtemp(pattern.data());
    if (dir) {
        const fs::path root(dir);
        fs::create_directories(root / "config");
        fs::create_directories(root / "runtime");
        fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    }
    // No test may send echoes to the program's public probe hosts.
    setenv("VANTREL_OFFLINE", "1", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The test program's own settings, "k=v|k2=v2".
    std::istringstream pairs(VANTREL_TEST_ENV);
    for (std::string pair; std::getline(pairs, pair, '|');) {
        const auto eq = pair.find('=');
        if (eq != std::string::npos)
            setenv(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str(), 1);
    }
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (dir) {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    return result;
}
