// The local page list and the page-title parameters over arbitrary text: the list is parsed and
// rotated through, and the same bytes are applied as a page title; then read as a gallery link, whose
// file name must reduce to a safe base name.
#include "online/CAdList.h"
#include "online/Download.h"
#include "online/GalleryLink.h"
#include "online/PageTitle.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 16)
        return 0;
    const CString text(reinterpret_cast<const char*>(data), int(size));

    CAdListArray ads;
    const int added = ParseAdListText("/inst/html\\", text, ads);
    if (added != ads.GetSize())
        std::abort();
    CString last = "NoLastCode";
    for (int i = 0; i < ads.GetSize() && i < 64; ++i) {
        const int next = NextAdIndex(ads, last);
        if (next < 0 || next >= ads.GetSize())
            std::abort();
        last = ads[next].code;
    }

    CPageTitleParameters params;
    ApplyPageTitle(text, params);
    // Whatever the title, the delays stay valid timer intervals and the heights are not negative.
    if (params.nextAdMs < 0 || params.expandDelayMs < 0 || params.collapseDelayMs < 0 || params.shownHeight < 0 ||
        params.expandedHeight < 0 || params.titleMessage.GetLength() > int(size))
        std::abort();
    ApplyPageTitle(text, params);

    const GalleryLink link = ParseGalleryLink(text);
    GalleryQuestion(link);
    CString canonical;
    CanonicalizeAddress(link.downloadAddress, canonical);
    CString name;
    if (ReduceToBaseName(link.downloadAddress, name)) {
        // A base name never leaves its folder.
        if (name.IsEmpty() || name == "." || name == ".." || name.Find('/') >= 0 || name.Find('\\') >= 0)
            std::abort();
    }
    return 0;
}
