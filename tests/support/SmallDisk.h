#pragma once
// Runs a piece of a test in a child process whose folder lies on a file system of 64 KB: a tmpfs
// mounted in a private mount namespace where the test may (root, or user namespaces), otherwise a
// normal folder under a 64 KB file-size limit, where the kernel fails every write that would pass it.
// The child's observations come back as text for the test to check, so nothing is asserted in the
// child and nothing it mounts outlives it.
#include "tests/support/ChildProcess.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace small_disk {

constexpr long kBytes = 64 * 1024;

struct Result {
    std::string how;     // "tmpfs" or "file-size limit"
    std::string report;  // what the body returned
    bool exited = false; // the child ran the body and exited normally
};

namespace detail {

inline bool MountTmpfs(const std::string& dir)
{
    if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    // Mounts made here must not reach the parent's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    const std::string options = "size=" + std::to_string(kBytes);
    return ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

} // namespace detail

// body(dir) runs in the child with dir on the small file system and returns its report.
inline Result Run(const std::function<std::string(const std::string& dir)>& body)
{
    char pattern[] = "/tmp/vantrel-smalldisk-XXXXXX";
    Result result;
    if (!::mkdtemp(pattern))
        return result;
    const std::string dir = pattern;
    const child_process::Result child = child_process::Run([&] {
        std::string how = "tmpfs";
        if (!detail::MountTmpfs(dir)) {
            how = "file-size limit";
            // A write past the limit fails with EFBIG instead of ending the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(kBytes), rlim_t(kBytes)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        return how + "\n" + body(dir);
    });
    result.exited = child.exited;
    const std::size_t nl = child.output.find('\n');
    result.how = child.output.substr(0, nl);
    result.report = nl == std::string::npos ? "" : child.output.substr(nl + 1);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}

// The names in a folder, sorted, one per line.
inline std::string Listing(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& name : names)
        out += name + "\n";
    return out;
}

} // namespace small_disk
