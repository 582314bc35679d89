#pragma once
// The rich edit control over QTextEdit: a child window whose text, font and default character format
// the program sets. It tells its parent when it gains or loses the focus (EN_SETFOCUS, EN_KILLFOCUS;
// not for a context menu of its own, after which the focus comes back) and, with ENM_CHANGE in its
// event mask, when its text changes (EN_CHANGE). Escape ends the typing: the focus goes back to the
// parent window. Its text is drawn as a window DC draws the same font, starting 3 pixels inside the
// control's outer edge (a 1-pixel border and a 2-pixel inset); scroll bars only with WS_VSCROLL or
// WS_HSCROLL.
#include "platform/ui/CWnd.h"

class QTextEdit;
class CFont;

constexpr DWORD ENM_CHANGE = 0x00000001;
constexpr DWORD ENM_UPDATE = 0x00000002;

// Character format fields (dwMask) and effects (dwEffects).
constexpr DWORD CFM_BOLD = 0x00000001;
constexpr DWORD CFM_ITALIC = 0x00000002;
constexpr DWORD CFM_UNDERLINE = 0x00000004;
constexpr DWORD CFM_STRIKEOUT = 0x00000008;
constexpr DWORD CFM_FACE = 0x20000000;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFM_SIZE = 0x80000000;
constexpr DWORD CFE_BOLD = 0x00000001;
constexpr DWORD CFE_ITALIC = 0x00000002;
constexpr DWORD CFE_UNDERLINE = 0x00000004;
constexpr DWORD CFE_STRIKEOUT = 0x00000008;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;

struct CHARFORMAT {
    UINT cbSize = sizeof(CHARFORMAT);
    DWORD dwMask = 0;
    DWORD dwEffects = 0;
    LONG yHeight = 0; // twips
    LONG yOffset = 0;
    COLORREF crTextColor = 0;
    BYTE bCharSet = 0;
    BYTE bPitchAndFamily = 0;
    char szFaceName[32] = {};
};

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

    // The font of the whole text (WM_SETFONT): it becomes the default character format's face,
    // size, charset, pitch and effects.
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    // Every field is filled; returns the mask.
    DWORD GetDefaultCharFormat(CHARFORMAT& cf) const;
    BOOL SetDefaultCharFormat(CHARFORMAT& cf);
    // The formatting rectangle in client coordinates (EM_SETRECT).
    void SetRect(LPCRECT lpRect);

    QTextEdit* GetTextEdit() const;

protected:
    void CreateWidgets(QWidget* pParent) override;
    bool IsNativeWidget() const override { return true; }

private:
    friend class CRichEditWidget;
    void Notify(int nCode);
    // Shows the whole text and what is typed next in m_format.
    void ApplyFormat();

    DWORD m_dwEventMask = 0;
    CHARFORMAT m_format;
};
