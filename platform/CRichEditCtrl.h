#pragma once
// The rich edit control over QTextEdit: a child window whose text the program sets and reads.
#include "platform/CWnd.h"

class QTextEdit;

constexpr DWORD ENM_CHANGE = 0x00000001;
constexpr DWORD ENM_UPDATE = 0x00000002;

class CRichEditCtrl : public CWnd {
public:
    CRichEditCtrl();
    ~CRichEditCtrl() override;

    // Hidden unless dwStyle has WS_VISIBLE.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    DWORD GetEventMask() const { return m_dwEventMask; }
    DWORD SetEventMask(DWORD dwEventMask);

    void SetWindowText(const char* lpszText);
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetSel(long nStartChar, long nEndChar);
    void ReplaceSel(const char* lpszNewText);
    QTextEdit* GetTextEdit() const;

protected:
    void CreateWidgets(QWidget* pParent) override;
    bool IsNativeWidget() const override { return true; }

private:
    DWORD m_dwEventMask = 0;
};
