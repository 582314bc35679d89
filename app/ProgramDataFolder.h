#pragma once
// Where the program's data (the information pane's html folder and the Tiler folder) lives: the
// default install path, whatever the working folder.
#include "platform/core/CString.h"

// The first of these folders that holds "html/index.lst": the executable's own folder (a build tree
// keeps the data beside the program), then the installed data folder relative to it
// (VANTREL_DATA_FROM_BIN, "../share/vantrel" for a standard layout). When neither does, the
// executable's folder, so that the missing page list is reported there. Ends with a separator.
CString ProgramDataFolder(const char* lpszExecutableFolder);

// The folder of the running executable (/proc/self/exe), without a trailing separator.
CString ExecutableFolder();
