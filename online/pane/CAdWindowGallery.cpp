// The pane's handling of gallery item links: ask, download, then apply or store the item.
#include "online/pane/CAdWindow.h"

#include "image/CRasterImage.h"
#include "online/Download.h"
#include "platform/core/CFile.h"
#include "platform/core/MessageBox.h"
#include "tiles/CBMPTiler.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {
BOOL Download(const CString& address, const char* prefix, const CString& destination, CString& path)
{
    const CAdWindowShell& shell = GetAdWindowShell();
    return shell.downloadFile ? shell.downloadFile(address, prefix, destination, path) : FALSE;
}

void DeleteDownloaded(const CString& path) { ::unlink(CFile::ToNativePath(path)); }

bool IsDirectory(const CString& folder)
{
    struct stat st {};
    return ::stat(CFile::ToNativePath(folder), &st) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

void CAdWindow::OnBeforeNavigate2(const char* lpszURL, DWORD nFlags, const char* lpszTargetFrameName,
                                  const CString& postedData, const char* lpszHeaders, BOOL* pbCancel)
{
    const GalleryLink link = ParseGalleryLink(lpszURL);
    if (link.kind != GalleryLinkKind::None) {
        TakeGalleryItem(link);
        // No "mz" address is ever followed, taken or not.
        *pbCancel = TRUE;
    }
    CHtmlView::OnBeforeNavigate2(lpszURL, nFlags, lpszTargetFrameName, postedData, lpszHeaders, pbCancel);
}

void CAdWindow::TakeGalleryItem(const GalleryLink& link)
{
    const CString question = GalleryQuestion(link);
    if (question.IsEmpty() || AfxMessageBox(question, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    switch (link.kind) {
    case GalleryLinkKind::Mask: TakeMask(link); break;
    case GalleryLinkKind::Template: TakeTemplate(link); break;
    case GalleryLinkKind::Tiler: TakeTiler(link); break;
    default: break;
    }
}

void CAdWindow::TakeMask(const GalleryLink& link)
{
    CString file;
    if (Download(link.downloadAddress, "MASK", "TEMP", file)) {
        // Only a mask that decodes is handed on; the shell applies it only where Apply Mask is enabled.
        CRasterImage image;
        if (image.Load(CFile::ToNativePath(file), 0) && GetAdWindowShell().applyMask)
            GetAdWindowShell().applyMask(image);
        DeleteDownloaded(file);
    }
    LeaveGalleryMode();
}

void CAdWindow::TakeTemplate(const GalleryLink& link)
{
    CString file;
    if (Download(link.downloadAddress, "TEMPLATE", "TEMP", file)) {
        if (GetAdWindowShell().openTemplate)
            GetAdWindowShell().openTemplate(file);
        DeleteDownloaded(file);
    }
    LeaveGalleryMode();
}

void CAdWindow::TakeTiler(const GalleryLink& link)
{
    // The install path the program reads its pages from and the Style page lists tile sets from.
    const CAdWindowShell& shell = GetAdWindowShell();
    const CString folder = (shell.installPath ? shell.installPath() : CString()) + "Tiler\\";
    if (!IsDirectory(folder))
        ::mkdir(CFile::ToNativePath(folder), 0777);

    // Both files keep only their base names: a link or a definition cannot write outside the folder.
    const CString& address = link.downloadAddress;
    CString name;
    CString definition;
    if (ReduceToBaseName(address, name) && Download(address, "TILER", folder + name, definition)) {
        CBMPTiler tiler;
        tiler.LoadFromFile(CFile::ToNativePath(definition), folder);
        CString sheet;
        CString written;
        if (ReduceToBaseName(tiler.bmpFile, sheet))
            Download(address.Left(address.ReverseFind('/')) + "/" + sheet, "TILER", folder + sheet, written);
    }
    LeaveGalleryMode();
}
