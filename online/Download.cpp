#include "online/Download.h"

#include "online/CWebGrab.h"
#include "online/WebLinkScheme.h"
#include "platform/core/CFile.h"
#include "platform/core/MessageBox.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <vector>

BOOL CanonicalizeAddress(const char* lpszAddress, CString& canonical)
{
    std::string out;
    for (const char* p = lpszAddress ? lpszAddress : ""; *p; ++p) {
        if (*p == ' ')
            out += "%20";
        else
            out += *p;
        if (out.size() > std::size_t(MAX_CANONICAL_ADDRESS))
            return FALSE;
    }
    canonical = CString(out);
    return TRUE;
}

BOOL ReduceToBaseName(const char* lpszName, CString& baseName)
{
    std::string name = lpszName ? lpszName : "";
    const std::size_t sep = name.find_last_of("/\\");
    if (sep != std::string::npos)
        name = name.substr(sep + 1);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return FALSE;
    baseName = CString(name);
    return TRUE;
}

CString TemporaryFolder()
{
    const char* dir = std::getenv("TMPDIR");
    CString folder = dir && *dir ? dir : "/tmp";
    if (folder[folder.GetLength() - 1] != '/')
        folder += '/';
    return folder;
}

namespace {
bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

// A new unique file from a mkstemp pattern (its last six X before suffixLength characters).
int MakeUnique(std::string& pattern, int suffixLength)
{
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemps(buffer.data(), suffixLength);
    if (fd >= 0)
        pattern.assign(buffer.data());
    return fd;
}

// Writes bytes to a new file beside target and renames it onto target; nothing is left on failure.
bool WriteInPlace(const std::string& target, const std::string& bytes)
{
    const std::size_t sep = target.find_last_of('/');
    std::string part = (sep == std::string::npos ? std::string() : target.substr(0, sep + 1)) + ".download-XXXXXX";
    const int fd = MakeUnique(part, 0);
    if (fd < 0)
        return false;
    // The part file is private while it is written; the finished file is readable like any other.
    bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(part.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(part.c_str());
    return ok;
}

bool WaitForConnection(const DownloadConnection& connection)
{
    BOOL connected = connection.isConnected ? connection.isConnected() : TRUE;
    while (!connected) {
        if (AfxMessageBox(kNoConnectionPrompt, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return false;
        connected = connection.recheck ? connection.recheck() : TRUE;
    }
    return true;
}
} // namespace

BOOL DownloadToFile(const char* lpszAddress, const char* lpszPrefix, const char* lpszDestination,
                    const DownloadConnection& connection, CString& path)
{
    path = lpszDestination;
    if (!WaitForConnection(connection))
        return FALSE;
    CString canonical;
    if (!CanonicalizeAddress(lpszAddress, canonical))
        return FALSE;

    CWebGrab grab;
    CString content;
    if (!grab.GetPage(canonical, content, USER_AGENT) || grab.statusCode < 200 || grab.statusCode > 299)
        return FALSE;

    if (CString(lpszDestination) == "TEMP") {
        std::string target = std::string(TemporaryFolder().GetString()) + lpszPrefix + "XXXXXX.tmp";
        const int fd = MakeUnique(target, 4);
        if (fd < 0)
            return FALSE;
        ::close(fd);
        if (!WriteInPlace(target, content.str())) {
            ::unlink(target.c_str());
            return FALSE;
        }
        path = CString(target);
        return TRUE;
    }
    if (!WriteInPlace(CFile::ToNativePath(lpszDestination).str(), content.str()))
        return FALSE;
    path = lpszDestination;
    return TRUE;
}
