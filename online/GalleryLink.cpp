#include "online/GalleryLink.h"

GalleryLink ParseGalleryLink(const CString& address)
{
    GalleryLink link;
    CString lower = address;
    lower.MakeLower();
    if (lower.Left(2) != "mz")
        return link;
    link.kind = GalleryLinkKind::Invalid;
    const int colon = address.Find(':');
    if (colon <= 2)
        return link;
    link.kindText = address.Mid(2, colon - 2);
    link.kindText.MakeUpper();
    link.downloadAddress = "HTTP" + address.Mid(colon);
    if (link.kindText == "MASK")
        link.kind = GalleryLinkKind::Mask;
    else if (link.kindText == "TEMPLATE")
        link.kind = GalleryLinkKind::Template;
    else if (link.kindText == "TILER")
        link.kind = GalleryLinkKind::Tiler;
    else
        link.kind = GalleryLinkKind::Other;
    return link;
}

CString GalleryQuestion(const GalleryLink& link)
{
    switch (link.kind) {
    case GalleryLinkKind::Mask: return "Apply " + link.kindText + " to current maze?";
    case GalleryLinkKind::Template: return "Use " + link.kindText + " as current maze?";
    case GalleryLinkKind::Tiler: return "Download " + link.kindText + "?";
    default: return CString();
    }
}
