#include "platform/core/FileDialog.h"

#include "platform/core/MessageBox.h"

namespace {

FileDialogHandler& Handler()
{
    static FileDialogHandler handler;
    return handler;
}

std::size_t NameStart(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

// Position of the extension's dot in the name part, or npos.
std::size_t ExtensionDot(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    return dot == std::string::npos || dot < NameStart(path) ? std::string::npos : dot;
}

} // namespace

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

FileDialogResult ShowFileDialog(const FileDialogRequest& request)
{
    if (const FileDialogHandler& handler = Handler())
        return handler(request);
    return {};
}

std::vector<std::pair<CString, CString>> ParseFileDialogFilter(const char* lpszFilter)
{
    std::vector<std::pair<CString, CString>> filters;
    const std::string filter = lpszFilter ? lpszFilter : "";
    std::size_t pos = 0;
    while (pos < filter.size()) {
        const std::size_t bar = filter.find('|', pos);
        if (bar == std::string::npos || bar == pos)
            break; // "||" or a trailing text without patterns ends the list
        const std::size_t end = filter.find('|', bar + 1);
        const std::size_t stop = end == std::string::npos ? filter.size() : end;
        filters.emplace_back(CString(filter.substr(pos, bar - pos)), CString(filter.substr(bar + 1, stop - bar - 1)));
        if (end == std::string::npos)
            break;
        pos = end + 1;
    }
    return filters;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : m_bOpen(bOpenFileDialog != FALSE), m_strDefExt(lpszDefExt), m_strFileName(lpszFileName),
      m_strFilter(lpszFilter), m_pParent(pParentWnd)
{
    m_ofn.Flags = dwFlags;
}

int CFileDialog::DoModal()
{
    FileDialogRequest request;
    request.open = m_bOpen;
    request.defaultExt = m_strDefExt;
    request.fileName = m_strFileName;
    request.flags = m_ofn.Flags;
    request.filter = m_strFilter;
    request.filterIndex = m_ofn.nFilterIndex;
    request.title = m_ofn.strTitle;
    request.initialDir = m_ofn.strInitialDir;
    request.parent = m_pParent;

    const FileDialogResult result = ShowFileDialog(request);
    if (!result.ok || result.path.IsEmpty())
        return IDCANCEL;
    m_strPathName = result.path;
    if (!m_strDefExt.IsEmpty() && ExtensionDot(m_strPathName.str()) == std::string::npos) {
        m_strPathName += ".";
        m_strPathName += m_strDefExt;
    }
    m_ofn.nFilterIndex = result.filterIndex;
    return IDOK;
}

CString CFileDialog::GetFileName() const
{
    const std::string& path = m_strPathName.str();
    return CString(path.substr(NameStart(path)));
}

CString CFileDialog::GetFileExt() const
{
    const std::string& path = m_strPathName.str();
    const std::size_t dot = ExtensionDot(path);
    return dot == std::string::npos ? CString() : CString(path.substr(dot + 1));
}

CString CFileDialog::GetFileTitle() const
{
    const std::string& path = m_strPathName.str();
    const std::size_t start = NameStart(path);
    const std::size_t dot = ExtensionDot(path);
    return CString(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
}
