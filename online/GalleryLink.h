#pragma once
// Gallery links: addresses "mz" + kind + ":" that gallery pages offer their items with. The pane never
// follows them; it downloads the item from "HTTP" + the link from its first colon on.
#include "platform/core/CString.h"

enum class GalleryLinkKind {
    None,     // not a gallery link: navigation goes on
    Invalid,  // begins with "mz" but has no kind before a colon: cancelled, nothing done
    Other,    // a kind the program does not know: cancelled, nothing done
    Mask,
    Template,
    Tiler,
};

struct GalleryLink {
    GalleryLinkKind kind = GalleryLinkKind::None;
    CString kindText;         // the kind, upper-cased ("MASK", ...)
    CString downloadAddress;  // "HTTP" + the link from its first colon on
};

// Classifies an address. The "mz" prefix is matched in any case.
GalleryLink ParseGalleryLink(const CString& address);

// The Yes/No question for a kind, naming the upper-cased kind; empty for kinds that are not taken.
CString GalleryQuestion(const GalleryLink& link);
