#include "online/CAdList.h"

#include "platform/core/CException.h"
#include "platform/core/CStdioFile.h"
#include "tiles/TileText.h"

BOOL CAdList::ParseLine(const CString& line)
{
    const std::string& s = line.str();
    std::size_t start = 0;
    for (int i = 0; i < FIELD_COUNT - 1; ++i) {
        const std::size_t bar = s.find('|', start);
        if (bar == std::string::npos)
            return FALSE;
        fields[i] = CString(s.substr(start, bar - start));
        start = bar + 1;
    }
    fields[FIELD_COUNT - 1] = CString(s.substr(start));
    fields[11].MakeUpper();
    number = TileDecimalValue(fields[1]); // the runtime's atoi, saturating
    code = fields[5];
    locationType = fields[11];
    location = fields[12];
    return TRUE;
}

CString CompleteAdLocation(const CString& folder, const CString& locationType, const CString& location)
{
    if (locationType.IsEmpty() || locationType == "FILE")
        return folder + location;
    if (locationType == "FTP")
        return "ftp:\\\\" + location;
    if (locationType == "HTTP")
        return "http:\\\\" + location;
    return location;
}

namespace {
bool AddLine(const CString& folder, const CString& line, CAdListArray& ads)
{
    if (line.IsEmpty() || line[0] == '#')
        return false;
    CAdList entry;
    if (!entry.ParseLine(line))
        return false;
    entry.location = CompleteAdLocation(folder, entry.locationType, entry.location);
    ads.Add(entry);
    return true;
}
} // namespace

int ParseAdListText(const CString& folder, const CString& text, CAdListArray& ads)
{
    const std::string& s = text.str();
    int added = 0;
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t end = s.find('\n', start);
        const std::size_t next = end == std::string::npos ? s.size() : end + 1;
        if (end == std::string::npos)
            end = s.size();
        // A carriage return before the line feed is part of the line ending, as in a text-mode read.
        if (end > start && end < s.size() && s[end - 1] == '\r')
            --end;
        if (AddLine(folder, CString(s.substr(start, end - start)), ads))
            ++added;
        start = next;
    }
    return added;
}

AdListStatus ReadAdList(const CString& folder, CAdListArray& ads, int* pAdded)
{
    int added = 0;
    if (pAdded)
        *pAdded = 0;
    try {
        CStdioFile file;
        if (!file.Open(CFile::ToNativePath(folder + "\\index.lst"), CFile::modeRead | CFile::typeText))
            return AdListStatus::CannotRead;
        CString line;
        while (file.ReadString(line))
            if (AddLine(folder, line, ads))
                ++added;
        file.Close();
    } catch (const CFileException&) {
        return AdListStatus::CannotRead;
    }
    if (pAdded)
        *pAdded = added;
    return ads.GetSize() < MIN_AD_COUNT ? AdListStatus::TooShort : AdListStatus::Ok;
}

int NextAdIndex(const CAdListArray& ads, const CString& lastCode)
{
    if (ads.IsEmpty())
        return -1;
    int next = 0;
    for (int i = 0; i < ads.GetSize(); ++i)
        if (ads[i].code == lastCode)
            next = i + 1;
    return next < ads.GetSize() ? next : 0;
}
