#include "platform/ui/Shell.h"

#include "platform/core/Offline.h"
#include "platform/ui/QtText.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <cstring>

namespace {
bool OpenOnDesktop(const CString& target)
{
    // Offline, the desktop is not handed an address of another machine: its browser would go there.
    if (AfxOfflineRefuses(target))
        return false;
    const QString s = QPathStr(target);
    const QUrl url = QFileInfo::exists(s) ? QUrl::fromLocalFile(s) : QUrl(s);
    return QDesktopServices::openUrl(url);
}

ShellOpenHandler& Handler()
{
    static ShellOpenHandler handler = OpenOnDesktop;
    return handler;
}
} // namespace

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler)
{
    ShellOpenHandler old = Handler();
    Handler() = handler ? std::move(handler) : ShellOpenHandler(OpenOnDesktop);
    return old;
}

std::intptr_t ShellExecute(CWnd*, const char* lpOperation, const char* lpFile, const char*, const char*, int)
{
    if (lpOperation && *lpOperation && std::strcmp(lpOperation, "open") != 0)
        return 2;
    if (!lpFile || !*lpFile)
        return 2;
    return Handler()(CString(lpFile)) ? 42 : 2;
}
