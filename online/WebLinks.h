#pragma once
// The maker's web addresses that the shell opens. The servers are settings of this build; the paths,
// query keys and the edition code are fixed.
#include "platform/core/CString.h"

inline constexpr const char* kHomePageSite = "http://www.quillmont.example";
inline constexpr const char* kMainServer = "http://www.quillmont.example";
inline constexpr const char* kVersionCode = "FREE_QL19";

// The home page: "/?VER=" and the edition code on the home-page site.
inline CString HomePageAddress() { return CString(kHomePageSite) + "/?VER=" + kVersionCode; }

// A location of the redirect script, with the edition code.
inline CString RedirectAddress(const char* lpszLocation)
{
    return CString(kMainServer) + "/redir.asp?LOC=" + lpszLocation + "&VER=" + kVersionCode;
}
