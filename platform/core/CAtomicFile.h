#pragma once
// A file that replaces its target only once it is whole. Open creates a temporary file in the target's
// folder and every write goes there; Close syncs it to the disk, renames it over the target and syncs
// the folder, so the target is at every moment either the old file or the new one. Abort, a Close that
// fails and the destructor remove the temporary file and leave the target byte for byte as it was.
// GetFilePath gives the target as it was passed, so messages name the file the user chose.
#include "platform/core/CFile.h"

class CAtomicFile : public CFile {
public:
    CAtomicFile() = default;
    ~CAtomicFile() override;

    // modeWrite or modeReadWrite; modeCreate is implied and the target is never truncated. A target
    // that is a symbolic link has the file it names replaced; one that exists and is not a regular
    // file (a folder, a FIFO, a device) is refused. The new file keeps the old one's permissions.
    BOOL Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    // Puts the new file in place; throws CFileException (after removing the temporary file) when it
    // cannot be synced, closed or renamed.
    void Close() override;
    // Drops what was written; the target stays as it was.
    void Abort() override;

    // The temporary file being written, empty when none is open.
    const CString& GetTempPath() const { return m_strTempPath; }

private:
    void RemoveTemp();

    CString m_strTempPath;    // native path of the temporary file
    CString m_strTargetPath;  // native path of the file it replaces (symbolic links resolved)
};
