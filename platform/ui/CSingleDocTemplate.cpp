#include "platform/ui/CSingleDocTemplate.h"

#include "platform/core/CDocument.h"
#include "platform/core/MessageBox.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CWinApp.h"

#include <QCoreApplication>
#include <QMetaObject>



CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
    if (const char* s = AfxFindString(nIDResource))
        m_strDocStrings = s;
}

CDocTemplate::~CDocTemplate() = default;

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int i = 0; i < int(index); ++i) {
        const int nl = m_strDocStrings.Find('\n', start);
        if (nl < 0)
            return FALSE;
        start = nl + 1;
    }
    const int end = m_strDocStrings.Find('\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return !rString.IsEmpty();
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* pObject = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* pDoc = dynamic_cast<CDocument*>(pObject);
    if (!pDoc)
        delete pObject;
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd*)
{
    CObject* pObject = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* pFrame = dynamic_cast<CFrameWnd*>(pObject);
    if (!pFrame) {
        delete pObject;
        return nullptr;
    }
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewDocTemplate = this;
    context.m_pCurrentFrame = pFrame;
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        delete pFrame;
        return nullptr;
    }
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title = "Untitled";
    pDocument->SetTitle(title);
}

BOOL CDocTemplate::SaveAllModified()
{
    CDocument* pDoc = GetOnlyDocument();
    return pDoc ? SaveModified(pDoc) : TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {}

BOOL CDocTemplate::SaveModified(CDocument* pDoc)
{
    if (!pDoc->IsModified())
        return TRUE;
    CString name = pDoc->GetPathName();
    if (name.IsEmpty())
        name = pDoc->GetTitle();
    if (name.IsEmpty())
        name = "Untitled";
    CString prompt;
    prompt.Format("Save changes to %s?", name.GetString());
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return DoFileSave(pDoc);
    case IDNO:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CDocTemplate::DoFileSave(CDocument* pDoc)
{
    const CString path = pDoc->GetPathName();
    return DoSave(pDoc, path.IsEmpty() ? nullptr : path.GetString());
}

BOOL CDocTemplate::DoSave(CDocument* pDoc, const char* lpszPathName, BOOL bReplace)
{
    CString path = lpszPathName ? lpszPathName : "";
    if (path.IsEmpty()) {
        path = pDoc->GetTitle();
        CWinApp* pApp = AfxGetApp();
        if (!pApp || !pApp->DoPromptFileName(path, FALSE, nullptr))
            return FALSE;
    }
    if (!pDoc->OnSaveDocument(path))
        return FALSE; // the document has reported why
    if (bReplace)
        pDoc->SetPathName(path);
    pDoc->SetModifiedFlag(FALSE);
    return TRUE;
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    // The frame's views leave the document before it goes.
    delete m_pFrame;
    delete m_pOnlyDoc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = m_pOnlyDoc;
    bool bCreated = false;
    if (pDoc) {
        if (!SaveModified(pDoc))
            return nullptr;
    } else {
        pDoc = CreateNewDocument();
        if (!pDoc) {
            AfxMessageBox("Failed to create empty document.");
            return nullptr;
        }
        m_pOnlyDoc = pDoc;
        bCreated = true;
    }
    if (!m_pFrame) {
        m_pFrame = CreateNewFrame(pDoc, nullptr);
        if (!m_pFrame) {
            AfxMessageBox("Failed to create the main window.");
            if (bCreated) {
                delete m_pOnlyDoc;
                m_pOnlyDoc = nullptr;
            }
            return nullptr;
        }
    }
    if (CWinApp* pApp = AfxGetApp(); pApp && !pApp->m_pMainWnd)
        pApp->m_pMainWnd = m_pFrame;
    if (!lpszPathName) {
        SetDefaultTitle(pDoc);
        pDoc->SetPathName("", FALSE);
        if (!pDoc->OnNewDocument())
            return nullptr;
    } else {
        // A failed open reports itself; the framework does not record the file as opened.
        if (!pDoc->OnOpenDocument(lpszPathName))
            return nullptr;
        pDoc->SetPathName(lpszPathName);
        pDoc->SetModifiedFlag(FALSE);
    }
    InitialUpdateFrame(m_pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CSingleDocTemplate::CloseAllDocuments(BOOL)
{
    CFrameWnd* pFrame = m_pFrame;
    CDocument* pDoc = m_pOnlyDoc;
    m_pFrame = nullptr;
    m_pOnlyDoc = nullptr;
    if (pFrame)
        pFrame->DestroyWindow();
    // The frame may be the caller (its close handler): it is deleted once control is back in the loop.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [pFrame, pDoc] {
            delete pFrame;
            delete pDoc;
        },
        Qt::QueuedConnection);
}
