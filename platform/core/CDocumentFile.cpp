// The framework's side of opening and saving a document: the file, the archive over it, the
// document's Serialize, and the report of what went wrong.
#include "platform/core/CDocument.h"

#include "platform/core/CArchive.h"
#include "platform/core/CAtomicFile.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"

#include <new>

BOOL CDocument::SerializeFile(CFile& file, BOOL bStoring)
{
    try {
        CArchive ar(&file, (bStoring ? CArchive::store : CArchive::load) | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
        // A store the document refused replaces nothing.
        if (IsSerializeRefused()) {
            file.Abort();
            return FALSE;
        }
        file.Close();
    } catch (const CArchiveException& e) {
        file.Abort();
        // Checks deep in a reader throw without knowing the file: name the one the user chose.
        if (e.m_strFileName.IsEmpty())
            CArchiveException(e.m_cause, file.GetFilePath()).ReportError();
        else
            e.ReportError();
        return FALSE;
    } catch (const CException& e) {
        file.Abort();
        e.ReportError();
        return FALSE;
    } catch (const std::bad_alloc&) {
        file.Abort();
        CMemoryException().ReportError();
        return FALSE;
    }
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* lpszPathName)
{
    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        fe.ReportError();
        return FALSE;
    }
    DeleteContents();
    if (!SerializeFile(file, FALSE))
        return FALSE;
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char* lpszPathName)
{
    CAtomicFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &fe)) {
        fe.ReportError();
        return FALSE;
    }
    if (!SerializeFile(file, TRUE))
        return FALSE;
    SetModifiedFlag(FALSE);
    return TRUE;
}
