#pragma once
// The file open and save dialogs go through one replaceable handler, as message boxes do: the window
// layer installs one that shows a real dialog, tests install one that answers. With no handler
// installed every dialog is cancelled. The handler receives the request as the program made it
// (filter in the "Text|pattern|...||" form, 1-based filter index) and returns the chosen path and
// filter index; CFileDialog adds the default extension to a name that has none.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CWnd;

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

struct FileDialogRequest {
    bool open = true;        // false: a save dialog
    CString defaultExt;      // without the dot; empty for none
    CString fileName;        // initial file name
    DWORD flags = 0;         // OFN_*
    CString filter;          // "Text|pattern|Text|pattern||"
    DWORD filterIndex = 1;   // 1-based filter shown first
    CString title;           // empty: the dialog's own
    CString initialDir;
    CWnd* parent = nullptr;
};

struct FileDialogResult {
    bool ok = false;
    CString path;
    DWORD filterIndex = 0;   // 1-based filter chosen
};

using FileDialogHandler = std::function<FileDialogResult(const FileDialogRequest&)>;

// Installs the handler (an empty one restores the default) and returns the one it replaces.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

FileDialogResult ShowFileDialog(const FileDialogRequest& request);

// The (text, patterns) pairs of a filter string; patterns stay as written ("*.bmp;*.dib").
std::vector<std::pair<CString, CString>> ParseFileDialogFilter(const char* lpszFilter);

class CFileDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                         const char* lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK with the path chosen, or IDCANCEL.
    virtual int DoModal();

    CString GetPathName() const { return m_strPathName; }
    // The name without its folder.
    CString GetFileName() const;
    // The extension without the dot, or empty.
    CString GetFileExt() const;
    // The name without folder and extension.
    CString GetFileTitle() const;

    // The settings a caller may change before DoModal; nFilterIndex is 1-based and, after IDOK,
    // holds the filter that the user chose.
    struct Options {
        DWORD Flags = 0;
        DWORD nFilterIndex = 1;
        CString strTitle;
        CString strInitialDir;
    } m_ofn;

private:
    bool m_bOpen;
    CString m_strDefExt;
    CString m_strFileName;
    CString m_strFilter;
    CWnd* m_pParent;
    CString m_strPathName;
};
