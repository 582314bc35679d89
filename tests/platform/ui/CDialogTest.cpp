// Dialog data exchange: values reach the controls and come back, bad entries are refused with the
// framework's messages while the dialog stays open with the failing control focused.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>

#include <cstring>
#include <vector>

#include "platform/ui/CDataExchange.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/Clipboard.h"

namespace {
constexpr UINT kTemplate = 9001;
constexpr int kInt = 100, kUInt = 101, kFloat = 102, kDouble = 103, kText = 104, kCheck = 105, kApply = 106;

const DialogTemplate kLayout{
    "Test Dialog",
    200,
    120,
    {
        {DialogItemKind::Edit, kInt, "", 10, 10, 50, 12},
        {DialogItemKind::Edit, kUInt, "", 10, 25, 50, 12},
        {DialogItemKind::Edit, kFloat, "", 10, 40, 50, 12},
        {DialogItemKind::Edit, kDouble, "", 10, 55, 50, 12},
        {DialogItemKind::Edit, kText, "", 10, 70, 50, 12},
        {DialogItemKind::CheckBox, kCheck, "Check", 80, 10, 50, 12},
        {DialogItemKind::PushButton, kApply, "Apply", 80, 40, 50, 14},
        {DialogItemKind::DefPushButton, IDOK, "OK", 140, 80, 50, 14},
        {DialogItemKind::PushButton, IDCANCEL, "Cancel", 140, 100, 50, 14},
        {DialogItemKind::Static, IDC_STATIC, "Label", 80, 60, 50, 10},
    }};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(kTemplate) {}
    int m_nInt = 5;
    UINT m_nUInt = 7;
    float m_fFloat = 0.1f;
    double m_dDouble = 2.5;
    CString m_strText = "hello";
    int m_bCheck = 1;
    int m_nApplied = 0;
    CEdit m_intEdit;

    void OnApply() { ++m_nApplied; }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, kInt, m_intEdit);
        DDX_Text(pDX, kInt, m_nInt);
        DDV_MinMaxInt(pDX, m_nInt, 1, 999);
        DDX_Text(pDX, kUInt, m_nUInt);
        DDV_MinMaxUInt(pDX, m_nUInt, 2, 40);
        DDX_Text(pDX, kFloat, m_fFloat);
        DDV_MinMaxFloat(pDX, m_fFloat, 0.0f, 8.5f);
        DDX_Text(pDX, kDouble, m_dDouble);
        DDV_MinMaxDouble(pDX, m_dDouble, -1.0, 1000.0);
        DDX_Text(pDX, kText, m_strText);
        DDX_Check(pDX, kCheck, m_bCheck);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
    ON_BN_CLICKED(kApply, &TestDialog::OnApply)
END_MESSAGE_MAP()

QLineEdit* Edit(CDialog& d, int id) { return qobject_cast<QLineEdit*>(d.GetDlgItem(id)->GetWidget()); }

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char arg0[] = "dialog_test";
        static char* argv[] = {arg0, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
        AfxRegisterDialogTemplate(kTemplate, &kLayout);
    }
    void SetUp() override
    {
        m_oldBox = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_messages.push_back(r.text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler(m_oldBox);
        SetDialogRunner({});
    }
    std::vector<CString> m_messages;
    MessageBoxHandler m_oldBox;
};
} // namespace

TEST_F(DialogTest, ValuesReachTheControlsInTheirFormats)
{
    TestDialog dlg;
    dlg.m_nInt = -12;
    dlg.m_nUInt = 4000000000u;
    dlg.m_fFloat = 0.7f;
    dlg.m_dDouble = 1.0 / 3.0;
    QString seen[5];
    bool checked = false;
    SetDialogRunner([&](CDialog& d) {
        for (int i = 0; i < 5; ++i)
            seen[i] = Edit(d, kInt + i)->text();
        checked = qobject_cast<QCheckBox*>(d.GetDlgItem(kCheck)->GetWidget())->isChecked();
        d.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(seen[0], "-12");
    EXPECT_EQ(seen[1], "4000000000");
    EXPECT_EQ(seen[2], "0.7");  // six significant digits hide the float's error
    EXPECT_EQ(seen[3], "0.333333333333333");
    EXPECT_EQ(seen[4], "hello");
    EXPECT_TRUE(checked);
    EXPECT_EQ(dlg.m_nInt, -12);  // cancel takes nothing back
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(DialogTest, OkTakesTheEnteredValuesBack)
{
    TestDialog dlg;
    SetDialogRunner([&](CDialog& d) {
        Edit(d, kInt)->setText("  42 ");
        Edit(d, kUInt)->setText("40");
        Edit(d, kFloat)->setText("8.5");
        Edit(d, kDouble)->setText("-0.25e1");
        Edit(d, kDouble)->setText("-1");
        Edit(d, kText)->setText("maze");
        qobject_cast<QCheckBox*>(d.GetDlgItem(kCheck)->GetWidget())->setChecked(false);
        d.ClickDlgItem(kApply);
        EXPECT_EQ(dlg.m_intEdit.GetWidget(), Edit(d, kInt));
        d.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nInt, 42);
    EXPECT_EQ(dlg.m_nUInt, 40u);
    EXPECT_FLOAT_EQ(dlg.m_fFloat, 8.5f);
    EXPECT_DOUBLE_EQ(dlg.m_dDouble, -1.0);
    EXPECT_EQ(dlg.m_strText, "maze");
    EXPECT_EQ(dlg.m_bCheck, 0);
    EXPECT_EQ(dlg.m_nApplied, 1);
    EXPECT_FALSE(dlg.m_intEdit.IsAttached());  // its control went with the dialog
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(DialogTest, BadEntriesAreRefusedAndTheDialogStaysOpen)
{
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {kInt, "abc", "Please enter an integer."},
        {kInt, "12x", "Please enter an integer."},
        {kInt, "", "Please enter an integer."},
        {kInt, "99999999999", "Please enter an integer."},
        {kInt, "0", "Please enter an integer between 1 and 999."},
        {kInt, "1000", "Please enter an integer between 1 and 999."},
        {kUInt, "-3", "Please enter a positive integer."},
        {kUInt, "41", "Please enter an integer between 2 and 40."},
        {kFloat, "1,5", "Please enter a number."},
        {kFloat, "9", "Please enter a number between 0 and 8.5."},
        {kDouble, "x", "Please enter a number."},
        {kDouble, "1000.5", "Please enter a number between -1 and 1000."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m_messages.clear();
        TestDialog dlg;
        bool stayedOpen = false, focused = false, selected = false;
        SetDialogRunner([&](CDialog& d) {
            Edit(d, c.id)->setText(c.text);
            d.ClickDlgItem(IDOK);
            stayedOpen = d.GetQDialog()->isVisible();
            focused = d.GetQDialog()->focusWidget() == Edit(d, c.id);
            selected = Edit(d, c.id)->selectedText() == Edit(d, c.id)->text();
            // The user mends the entry; the same dialog then closes with OK.
            Edit(d, c.id)->setText(c.id == kFloat || c.id == kDouble ? "0.5" : "3");
            d.ClickDlgItem(IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(stayedOpen);
        EXPECT_TRUE(focused);
        EXPECT_TRUE(selected);
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_messages[0], c.message);
    }
}

TEST_F(DialogTest, ControlsKeepStyleAndUnknownTemplatesFail)
{
    TestDialog dlg;
    DWORD before = 0, after = 0;
    bool enabled = true;
    SetDialogRunner([&](CDialog& d) {
        CButton box;
        box.Attach(d.GetDlgItem(kCheck)->GetWidget(), kCheck, d.GetDlgItem(kCheck)->GetStyle());
        before = box.GetStyle();
        box.ModifyStyle(0, WS_DISABLED);
        after = box.GetStyle();
        enabled = d.GetDlgItem(kCheck)->IsWindowEnabled();
        d.ClickDlgItem(kCheck);  // a disabled box cannot be clicked
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);  // the runner left it open
    EXPECT_FALSE(before & WS_DISABLED);
    EXPECT_TRUE(after & WS_DISABLED);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(dlg.m_bCheck, 1);

    CDialog unknown(4242);
    EXPECT_EQ(unknown.DoModal(), -1);
}

TEST_F(DialogTest, ClipboardTakesTextOnlyWhileOpen)
{
    HGLOBAL h = GlobalAlloc(GMEM_DDESHARE, 6);
    ASSERT_NE(h, nullptr);
    std::memcpy(GlobalLock(h), "hello", 6);
    GlobalUnlock(h);
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);  // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));  // one owner at a time
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
    EXPECT_EQ(GlobalLock(h), nullptr);  // the clipboard owns and has released it
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");
    EXPECT_EQ(GlobalAlloc(GMEM_DDESHARE, 0), nullptr);
}
