#pragma once
// One line of the installation's local page list "index.lst": fifteen '|'-separated fields, of which
// the pane uses the page code (field 6), the location type (field 12) and the location (field 13).
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CAdList : public CObject {
public:
    static constexpr int FIELD_COUNT = 15;

    CAdList() = default;
    CAdList(const CAdList& other) = default;
    CAdList& operator=(const CAdList& other) = default;
    ~CAdList() override = default;

    // Fills the fields from one line. FALSE when the line holds fewer than fourteen '|' separators; the
    // entry is then incomplete and must not be used.
    BOOL ParseLine(const CString& line);
    // Page lists are never stored.
    void Serialize(CArchive&) override {}

    // The text of field n, 1 to 15 (number and code included, as read).
    const CString& Field(int n) const { return fields[n - 1]; }

    int number = 0;        // field 2 as a decimal integer; kept, not used
    CString code;          // field 6: names the page in the rotation ("Ads"/"LastAd")
    CString locationType;  // field 12, upper-cased: "", "FILE", "FTP", "HTTP" or other
    CString location;      // field 13; after loading, the full address the pane opens

private:
    CString fields[FIELD_COUNT];
};

using CAdListArray = CArray<CAdList, const CAdList&>;

// Outcome of reading the page list.
enum class AdListStatus {
    Ok,
    CannotRead, // the file could not be opened or read
    TooShort,   // fewer than MIN_AD_COUNT entries in the whole list
};
inline constexpr int MIN_AD_COUNT = 10;
inline constexpr const char* kAdListReadError = "ERROR 010: Quillmont Installation Corrupted, please re-install.";
inline constexpr const char* kAdListShortError = "ERROR 011: Quillmont Installation Corrupted, please re-install.";

// Completes an entry's location by its type: a local file under folder, an ftp: or http: address
// written with backslashes, or the location as it stands.
CString CompleteAdLocation(const CString& folder, const CString& locationType, const CString& location);

// Reads folder + "\\index.lst" (folder ends with a separator) and appends its entries to ads; comment
// lines ('#' first) and lines with too few separators are skipped. *pAdded receives the number of
// entries added. TooShort when ads then holds fewer than MIN_AD_COUNT entries.
AdListStatus ReadAdList(const CString& folder, CAdListArray& ads, int* pAdded = nullptr);

// Parses list text as the file reader does (lines end with LF or CR LF), appending to ads.
int ParseAdListText(const CString& folder, const CString& text, CAdListArray& ads);

// The rotation rule: the entry after the last one whose code equals lastCode exactly, wrapping to the
// first; the first when no code matches. -1 for an empty list.
int NextAdIndex(const CAdListArray& ads, const CString& lastCode);
