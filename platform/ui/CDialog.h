#pragma once
// Modal dialogs over QDialog. A dialog is laid out from a template registered under its resource id
// (controls placed in dialog units); buttons reach the dialog's message map as commands of their ids,
// IDOK running OnOK and IDCANCEL OnCancel; values move between members and controls through
// DoDataExchange (see platform/ui/CDataExchange.h). DoModal goes through one replaceable runner, as
// message boxes do, so tests can drive a dialog without a person.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/CCmdTarget.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/MessageBox.h"
#include "platform/core/WinTypes.h"

class QDialog;
class QFont;
class QWidget;
class CDataExchange;
class CDialog;
class CWnd;

// Window and control styles a dialog understands (others are kept but have no effect).
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;

// A button's clicked notification arrives as a command of the button's id.
constexpr UINT BN_CLICKED = 0;
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
// A combo box's new selection by the user arrives as this notification of the box's id.
constexpr int CBN_SELCHANGE = 1;
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
constexpr int CB_ERR = -1;

// ---- templates ----
// Static is a text that wraps at word breaks, as a left-aligned static control does. Picture is a
// static control showing the bitmap resource nBitmap, drawn to fit the control with its proportions
// kept. RadioButton is an auto radio button: a click checks it and unchecks the others of its group
// (a run of radio buttons in template order; WS_GROUP on one starts a new run). ComboBox is a
// drop-down list. TrackBar is a horizontal slider (CSliderCtrl); its moves reach the dialog's
// OnHScroll.
enum class DialogItemKind {
    PushButton,
    DefPushButton,
    CheckBox,
    Edit,
    Static,
    GroupBox,
    RadioButton,
    ComboBox,
    TrackBar,
    Picture
};
// The scroll code OnHScroll receives when a trackbar's position changed.
constexpr UINT SB_THUMBPOSITION = 4;

struct DialogItemTemplate {
    DialogItemKind kind;
    UINT nID;  // 0xFFFF (IDC_STATIC) for labels and group boxes that nobody addresses
    const char* text;
    int x, y, cx, cy;  // dialog units
    DWORD style = 0;   // WS_DISABLED starts it disabled; a missing WS_VISIBLE-free flag: see hidden
    bool hidden = false;
    UINT nBitmap = 0;  // the bitmap resource a Picture shows
};

struct DialogTemplate {
    const char* caption;
    int cx, cy;  // dialog units
    std::vector<DialogItemTemplate> items;
};

constexpr UINT IDC_STATIC = 0xFFFF;

// A dialog's base units in pixels (of the 96-dpi screen): the average character width and the
// character height of its font. A dialog unit is a quarter of the width across and an eighth of the
// height down, so templates grow with the font their texts are shown in.
SIZE AfxGetDialogBaseUnits(const QFont& font);

// Templates live for the process; registering an id again replaces its template.
void AfxRegisterDialogTemplate(UINT nIDTemplate, const DialogTemplate* pTemplate);
const DialogTemplate* AfxFindDialogTemplate(UINT nIDTemplate);

// ---- controls ----
// A control of an open dialog, found with CDialog::GetDlgItem or attached with DDX_Control.
class CDialogItem {
public:
    CDialogItem() = default;
    CDialogItem(const CDialogItem&) = delete;
    CDialogItem& operator=(const CDialogItem&) = delete;
    virtual ~CDialogItem() = default;

    QWidget* GetWidget() const { return m_pWidget; }
    BOOL IsAttached() const { return m_pWidget != nullptr; }
    UINT GetDlgCtrlID() const { return m_nID; }

    // Only WS_DISABLED and WS_VISIBLE act on the control; the rest are remembered.
    DWORD GetStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    void SetWindowText(const char* lpszText);
    void GetWindowText(CString& rString) const;
    void SetFocus();
    void Invalidate(BOOL bErase = TRUE);

    // Binds the object to a control; a control already bound elsewhere stays bound there too.
    void Attach(QWidget* pWidget, UINT nID, DWORD dwStyle);
    void Detach();

protected:
    QWidget* m_pWidget = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
};

class CButton : public CDialogItem {
public:
    // BST_UNCHECKED 0, BST_CHECKED 1.
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CEdit : public CDialogItem {
public:
    void SetSel(int nStart, int nEnd);
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    BOOL IsReadOnly() const;
};

// A drop-down list of texts; indexes from 0, CB_ERR for none.
class CComboBox : public CDialogItem {
public:
    int AddString(const char* lpszString);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    void GetLBText(int nIndex, CString& rString) const;
};

constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// ---- dialogs ----
// How DoModal runs an open dialog. The default runs Qt's modal loop; a test installs one that works
// the controls (clicking buttons routes their commands) and returns; a dialog the runner left open
// ends with IDCANCEL.
using DialogRunner = std::function<void(CDialog& dialog)>;
DialogRunner SetDialogRunner(DialogRunner runner);

class CDialog : public CCmdTarget {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Lays the dialog out from its template, runs OnInitDialog and the runner; IDOK, IDCANCEL or the
    // value given to EndDialog. -1 when the template is unknown.
    virtual int DoModal();
    // The default moves the members into the controls.
    virtual BOOL OnInitDialog();
    // The defaults: OnOK validates and, on success, ends with IDOK; OnCancel ends with IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);
    // A trackbar of the dialog moved to nPos; the default does nothing.
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CDialogItem* pScrollBar);

    // TRUE: from the controls into the members, with validation; FALSE: into the controls. A failed
    // validation has shown its message, focused the control and returns FALSE.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The control of an open dialog, or null.
    CDialogItem* GetDlgItem(int nID) const;
    BOOL IsOpen() const { return m_pDialog != nullptr; }
    QDialog* GetQDialog() const { return m_pDialog; }
    UINT GetTemplateID() const { return m_nIDTemplate; }
    void Invalidate(BOOL bErase = TRUE);
    // Runs the command of a control as a click on it would (a disabled control does nothing).
    void ClickDlgItem(int nID);

    // Dialog units to pixels of the open dialog (its base units are those of its font).
    void MapDialogRect(RECT* lpRect) const;

    // The control that should show a validation failure.
    void SetDlgItemFocus(int nID);
    // A member bound to one of the controls (DDX_Control); it is detached when the controls go.
    void AddBoundControl(CDialogItem* pControl);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    // Makes the dialog window and its controls from the template (a top-level window, which a
    // property page then places in its sheet); and deletes them again.
    void CreateControls(const DialogTemplate& tmpl);
    virtual void DestroyControls();

    DECLARE_MESSAGE_MAP()

private:
    class Window;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    QDialog* m_pDialog = nullptr;
    SIZE m_baseUnits{6, 13};
    std::map<UINT, std::unique_ptr<CDialogItem>> m_items;
    std::vector<CDialogItem*> m_bound;
    bool m_bEnded = false;
    int m_nResult = IDCANCEL;
    bool m_bInQtLoop = false;
};
