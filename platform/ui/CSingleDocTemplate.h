#pragma once
// Document templates: a document class, a frame class and a view class created together from runtime
// class records. The single-document template keeps one document and one frame and reuses them for
// File New and File Open.
#include "platform/core/CCmdTarget.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
public:
    // The fields of the template's string resource, separated by '\n'.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    ~CDocTemplate() override;

    // A new document, or the named file opened into the document; null on failure (the failure has been
    // reported and a document that was open stays as it was).
    virtual CDocument* OpenDocumentFile(const char* lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual CDocument* GetOnlyDocument() const = 0;
    virtual CFrameWnd* GetFrame() const = 0;
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void SetDefaultTitle(CDocument* pDocument);
    // Asks to save each modified document; FALSE when the user cancelled or a save failed.
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

    BOOL GetDocString(CString& rString, DocStringIndex index) const;
    UINT GetResourceID() const { return m_nIDResource; }

    // The framework's handling of one document's file commands.
    // The save prompt for a modified document: Yes saves, No discards, Cancel keeps the document open.
    static BOOL SaveModified(CDocument* pDoc);
    // Saves to the document's path, asking for one when it has none.
    static BOOL DoFileSave(CDocument* pDoc);
    // Saves to lpszPathName, or to a path asked for when it is null; on success the document takes the
    // path, joins the recent-file list and is no longer modified.
    static BOOL DoSave(CDocument* pDoc, const char* lpszPathName, BOOL bReplace = TRUE);

protected:
    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate {
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(const char* lpszPathName, BOOL bMakeVisible = TRUE) override;
    CDocument* GetOnlyDocument() const override { return m_pOnlyDoc; }
    CFrameWnd* GetFrame() const override { return m_pFrame; }
    void CloseAllDocuments(BOOL bEndSession) override;

private:
    CDocument* m_pOnlyDoc = nullptr;
    CFrameWnd* m_pFrame = nullptr;
};
