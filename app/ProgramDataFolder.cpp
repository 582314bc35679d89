#include "app/ProgramDataFolder.h"

#include <filesystem>
#include <system_error>

#ifndef VANTREL_DATA_FROM_BIN
#define VANTREL_DATA_FROM_BIN "../share/vantrel"
#endif

namespace fs = std::filesystem;

namespace {
bool HoldsPageList(const fs::path& folder)
{
    std::error_code ec;
    return fs::is_regular_file(folder / "html" / "index.lst", ec);
}

CString WithSeparator(const fs::path& folder)
{
    std::string text = folder.lexically_normal().string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return CString(text);
}
} // namespace

CString ProgramDataFolder(const char* lpszExecutableFolder)
{
    const fs::path executable = lpszExecutableFolder ? lpszExecutableFolder : "";
    for (const fs::path& candidate : {executable, executable / VANTREL_DATA_FROM_BIN})
        if (HoldsPageList(candidate))
            return WithSeparator(candidate);
    return WithSeparator(executable);
}

CString ExecutableFolder()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty())
        return CString(fs::current_path(ec).string());
    return CString(self.parent_path().string());
}
