#pragma once
// The display-free interface of a view as its document sees it. The window layer derives its scroll view
// from this class; the document only attaches views, broadcasts updates and asks for its document back.
#include "platform/core/CDocument.h"

class CView : public CObject {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;
    // Detaches itself from its document.
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // Called by CDocument::UpdateAllViews for every view but the sender.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    // Called once after the view is attached to a document and before it is first shown.
    virtual void OnInitialUpdate();

    void BeginWaitCursor() { DoWaitCursor(1); }
    void EndWaitCursor() { DoWaitCursor(-1); }

protected:
    CDocument* m_pDocument = nullptr;
    friend class CDocument;
};
