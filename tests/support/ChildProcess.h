#pragma once
// Runs a piece of a test in a forked child process, for what must not touch the test process: a mount,
// a file-size or memory limit, a call that may block or crash. The child's observations come back as
// text for the test to check; nothing is asserted in the child.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace child_process {

struct Result {
    std::string output;   // what the body returned
    bool exited = false;  // the body returned and the child exited normally
    int signal = 0;       // the signal that ended the child, if one did
};

namespace detail {

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

inline Result Run(const std::function<std::string()>& body)
{
    Result result;
    int fds[2];
    if (::pipe(fds) != 0)
        return result;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        detail::WriteAll(fds[1], body());
        ::close(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        result.output.append(buffer, std::size_t(n));
    }
    ::close(fds[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid) {
        result.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return result;
}

// Whether the program runs under a sanitizer that reserves most of the address space for itself, so
// that an address-space limit means nothing.
inline bool UnderAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

// In a child: lets the process have only `extra` bytes of address space beyond what it has now, so
// that every larger allocation fails as it would on a machine out of memory.
inline bool LimitAddressSpace(std::size_t extra)
{
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    if (!(statm >> pages))
        return false;
    const rlim_t limit = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + extra;
    const rlimit rl{limit, limit};
    return ::setrlimit(RLIMIT_AS, &rl) == 0;
}

} // namespace child_process
