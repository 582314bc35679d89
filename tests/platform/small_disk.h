#pragma once
// Runs a piece of a test in a child process whose folder lies on a file system of 64 KB: a tmpfs
// mounted in a private mount namespace where the test may (root, or user namespaces), otherwise a
// normal folder under a 64 KB file-size limit, where the kernel fails every write that would pass it.
// The child's observations come back as text for the test to check, so nothing is asserted in the
// child and nothing it mounts outlives it.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
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

inline void WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0 && errno != EINTR)
            return;
        if (n > 0)
            done += std::size_t(n);
    }
}

} // namespace detail

// body(dir) runs in the child with dir on the small file system and returns its report.
inline Result Run(const std::function<std::string(const std::string& dir)>& body)
{
    char pattern[] = "/tmp/vantrel-smalldisk-XXXXXX";
    const std::string dir = ::mkdtemp(pattern) ? pattern : "";
    Result result;
    int fds[2];
    if (dir.empty() || ::pipe(fds) != 0)
        return result;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string how = "tmpfs";
        if (!detail::MountTmpfs(dir)) {
            how = "file-size limit";
            // A write past the limit fails with EFBIG instead of ending the process.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{rlim_t(kBytes), rlim_t(kBytes)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        detail::WriteAll(fds[1], how + "\n" + body(dir));
        ::close(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, std::size_t(n));
    }
    ::close(fds[0]);
    int status = 0;
    if (pid > 0)
        ::waitpid(pid, &status, 0);
    result.exited = pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const std::size_t nl = text.find('\n');
    result.how = text.substr(0, nl);
    result.report = nl == std::string::npos ? "" : text.substr(nl + 1);
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
