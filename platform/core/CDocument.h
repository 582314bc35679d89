#pragma once
// The display-free half of the framework's document: its views, the update broadcast, the modified flag,
// path and title. File opening and saving are added by the archive layer.
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <vector>

class CArchive;
class CFile;
class CView;

// An opaque iterator over a document's views; null ends the walk.
struct VantrelPosition;
using POSITION = VantrelPosition*;

// The wait cursor: code running long work on the UI thread brackets it with Begin/EndWaitCursor. The
// window layer installs the handler (nCode 1 begin, -1 end, 0 restore); without one the calls do nothing.
using WaitCursorHandler = void (*)(int nCode);
void SetWaitCursorHandler(WaitCursorHandler handler);
void DoWaitCursor(int nCode);

// The recent-file list: a document whose path is set with bAddToMRU hands the path to it. The
// application installs the handler (its AddToRecentFileList); without one nothing is listed.
using RecentFileHandler = void (*)(const char* lpszPathName);
void SetRecentFileHandler(RecentFileHandler handler);

class CDocument : public CObject {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    // Views still attached are detached (their document pointer becomes null), not deleted.
    ~CDocument() override;

    // Attaching sets the view's document; a view is attached at most once.
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    const std::vector<CView*>& GetViews() const { return m_viewList; }

    // Calls OnUpdate of every view but the sender, in attach order, before returning.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified ? TRUE : FALSE; }
    virtual BOOL IsModified() { return m_bModified; }
    const CString& GetPathName() const { return m_strPathName; }
    // A path names the document: the title becomes the file's name, and with bAddToMRU the path joins
    // the recent-file list. An empty path leaves the title as it is.
    virtual void SetPathName(const char* lpszPathName, BOOL bAddToMRU = TRUE);
    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const char* lpszTitle);

    virtual BOOL OnNewDocument();
    // Opens the file, reads the document through an archive over it and reports what went wrong;
    // FALSE when the file could not be read whole.
    virtual BOOL OnOpenDocument(const char* lpszPathName);
    // Writes the document through an archive into a new file that replaces lpszPathName only once it
    // is whole and on the disk; FALSE when that failed, and the old file is then as it was.
    virtual BOOL OnSaveDocument(const char* lpszPathName);
    virtual void DeleteContents() {}

    void BeginWaitCursor() { DoWaitCursor(1); }
    void EndWaitCursor() { DoWaitCursor(-1); }
    void RestoreWaitCursor() { DoWaitCursor(0); }

protected:
    // Runs Serialize over an archive on the open file (loading or storing) and closes both (closing a
    // CAtomicFile puts it in place). An archive or file exception is reported as the framework does,
    // naming the file, and running out of memory as "Out of memory."; the file is then aborted. FALSE
    // on an exception or when the document refused the work (IsSerializeRefused).
    BOOL SerializeFile(CFile& file, BOOL bStoring);
    // Whether the last Serialize refused its file or its store without an exception (it has queued or
    // shown its own message): the framework then neither takes the file as opened nor replaces one.
    virtual BOOL IsSerializeRefused() const { return FALSE; }

    // Called after a view is attached or detached.
    virtual void OnChangedViewList() {}

    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_viewList;
};
