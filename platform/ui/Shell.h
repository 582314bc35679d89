#pragma once
// Opening a URL or a file in the user's default application. Goes through one replaceable handler,
// as message boxes do, so tests can see what would be opened; the default hands it to the desktop,
// except an address of another machine while the program works offline (platform/core/Offline.h).
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <functional>

class CWnd;

// Returns whether the desktop accepted the request.
using ShellOpenHandler = std::function<bool(const CString& target)>;
ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler);

// Only the verb "open" (or none) is understood; parameters and directory are ignored. Returns a value
// above 32 on success and 2 on failure.
std::intptr_t ShellExecute(CWnd* pWnd, const char* lpOperation, const char* lpFile, const char* lpParameters,
                           const char* lpDirectory, int nShowCmd);
