// Property sheets: pages open when first shown, their values are checked when the user leaves them or
// presses OK or Apply, a refused entry keeps the sheet on its page, Cancel takes nothing back; and the
// controls pages use (auto radio buttons, drop-down lists, read-only edits, pictures).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>

#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/WinGdi.h"
#include "platform/ui/CDataExchange.h"
#include "platform/ui/CPropertyPage.h"
#include "platform/ui/CPropertySheet.h"

namespace {
constexpr UINT kFirstTemplate = 9101, kSecondTemplate = 9102;
constexpr int kNumber = 100, kCheck = 101, kRadio1 = 102, kRadio2 = 103, kRadio3 = 104, kList = 105, kPicture = 106;
constexpr int kOther = 200;

const DialogTemplate kFirstLayout{"First",
                                  200,
                                  100,
                                  {
                                      {DialogItemKind::Edit, kNumber, "", 10, 10, 50, 12},
                                      {DialogItemKind::CheckBox, kCheck, "Check", 10, 26, 80, 12},
                                      {DialogItemKind::RadioButton, kRadio1, "One", 10, 40, 60, 12, WS_GROUP},
                                      {DialogItemKind::RadioButton, kRadio2, "Two", 10, 54, 60, 12},
                                      {DialogItemKind::RadioButton, kRadio3, "Three", 10, 68, 60, 12},
                                      {DialogItemKind::ComboBox, kList, "", 100, 10, 80, 14},
                                      {DialogItemKind::Static, kPicture, "", 100, 30, 40, 40},
                                  }};
const DialogTemplate kSecondLayout{"Second", 240, 120, {{DialogItemKind::Edit, kOther, "", 10, 10, 50, 12}}};

class FirstPage : public CPropertyPage {
public:
    FirstPage() : CPropertyPage(kFirstTemplate) { AfxRegisterDialogTemplate(kFirstTemplate, &kFirstLayout); }
    int m_nNumber = 3;
    int m_bCheck = 0;
    int m_nInits = 0, m_nActivations = 0, m_nApplies = 0, m_nResets = 0;
    std::vector<int> m_clicks;
    int m_nSelChanges = 0;
    CComboBox m_list;

    BOOL OnInitDialog() override
    {
        ++m_nInits;
        CPropertyPage::OnInitDialog();
        m_list.AddString("alpha");
        m_list.AddString("beta");
        m_list.SetCurSel(0);
        return TRUE;
    }
    BOOL OnSetActive() override
    {
        ++m_nActivations;
        return CPropertyPage::OnSetActive();
    }
    BOOL OnApply() override
    {
        ++m_nApplies;
        return CPropertyPage::OnApply();
    }
    void OnReset() override { ++m_nResets; }
    void OnRadio(UINT nID) { m_clicks.push_back(int(nID)); }
    void OnSelChange() { ++m_nSelChanges; }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, kList, m_list);
        DDX_Text(pDX, kNumber, m_nNumber);
        DDV_MinMaxInt(pDX, m_nNumber, 1, 10);
        DDX_Check(pDX, kCheck, m_bCheck);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FirstPage, CPropertyPage)
    ON_COMMAND_RANGE(kRadio1, kRadio3, &FirstPage::OnRadio)
    ON_CBN_SELCHANGE(kList, &FirstPage::OnSelChange)
END_MESSAGE_MAP()

class SecondPage : public CPropertyPage {
public:
    SecondPage() : CPropertyPage(kSecondTemplate) { AfxRegisterDialogTemplate(kSecondTemplate, &kSecondLayout); }
    int m_nOther = 7;
    int m_nInits = 0, m_nApplies = 0;
    BOOL OnInitDialog() override
    {
        ++m_nInits;
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnApply() override
    {
        ++m_nApplies;
        return CPropertyPage::OnApply();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kOther, m_nOther); }
};

QLineEdit* Edit(CDialog& dialog, int nID) { return qobject_cast<QLineEdit*>(dialog.GetDlgItem(nID)->GetWidget()); }

class SheetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char arg0[] = "sheet_test";
        static char* argv[] = {arg0, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override
    {
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes.push_back(r.text.GetString());
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler({});
        SetDialogRunner({});
    }
    // Runs the sheet with the script working its controls.
    int Run(CPropertySheet& sheet, std::function<void(CPropertySheet&)> script)
    {
        SetDialogRunner([script](CDialog& dialog) { script(static_cast<CPropertySheet&>(dialog)); });
        return sheet.DoModal();
    }

    std::vector<std::string> boxes;
    FirstPage first;
    SecondPage second;
};

TEST_F(SheetTest, PagesOpenWhenFirstShownAndOkAppliesThoseThatOpened)
{
    CPropertySheet sheet("Caption", nullptr, 1);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    int result = Run(sheet, [&](CPropertySheet& s) {
        EXPECT_EQ(s.GetQDialog()->windowTitle(), "Caption");
        ASSERT_EQ(s.GetTabControl()->count(), 2);
        EXPECT_EQ(s.GetTabControl()->tabText(0), "First");
        EXPECT_EQ(s.GetTabControl()->tabText(1), "Second");
        EXPECT_EQ(s.GetTabControl()->currentIndex(), 1);
        EXPECT_EQ(first.m_nInits, 0);
        EXPECT_EQ(second.m_nInits, 1);
        EXPECT_EQ(Edit(second, kOther)->text(), "7");
        Edit(second, kOther)->setText("42");
        s.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(second.m_nOther, 42);
    EXPECT_EQ(second.m_nApplies, 1);
    EXPECT_EQ(first.m_nApplies, 0);
    EXPECT_EQ(first.m_nInits, 0);
    EXPECT_FALSE(second.IsOpen());
}

TEST_F(SheetTest, LeavingAPageChecksItAndARefusedEntryKeepsTheSheetThere)
{
    CPropertySheet sheet("S");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    int result = Run(sheet, [&](CPropertySheet& s) {
        EXPECT_EQ(Edit(first, kNumber)->text(), "3");
        Edit(first, kNumber)->setText("abc");
        s.GetTabControl()->setCurrentIndex(1); // as a click on the tab does
        EXPECT_EQ(s.GetActiveIndex(), 0);
        EXPECT_EQ(s.GetTabControl()->currentIndex(), 0);
        EXPECT_EQ(second.m_nInits, 0);
        Edit(first, kNumber)->setText("11");
        EXPECT_FALSE(s.SetActivePage(1));
        Edit(first, kNumber)->setText("5");
        EXPECT_TRUE(s.SetActivePage(1));
        EXPECT_EQ(first.m_nNumber, 5);
        EXPECT_EQ(second.m_nInits, 1);
        // Back on the first page, its controls show the members again.
        first.m_nNumber = 8;
        s.GetTabControl()->setCurrentIndex(0);
        EXPECT_EQ(Edit(first, kNumber)->text(), "8");
        EXPECT_EQ(first.m_nInits, 1);
        EXPECT_EQ(first.m_nActivations, 2);
        // OK with a bad entry leaves the sheet open on the page with the control focused.
        Edit(first, kNumber)->setText("0");
        s.ClickDlgItem(IDOK);
        EXPECT_TRUE(s.GetQDialog()->isVisible());
        EXPECT_EQ(first.m_nApplies, 0);
        Edit(first, kNumber)->setText("9");
        s.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Please enter an integer.", "Please enter an integer between 1 and 10.",
                                               "Please enter an integer between 1 and 10."}));
    EXPECT_EQ(first.m_nNumber, 9);
    EXPECT_EQ(first.m_nApplies, 1);
    EXPECT_EQ(second.m_nApplies, 1);
}

TEST_F(SheetTest, CancelTakesNothingBackAndEscapeOnAPageCancelsTheSheet)
{
    for (bool escape : {false, true}) {
        CPropertySheet sheet("S");
        sheet.AddPage(&first);
        int result = Run(sheet, [&](CPropertySheet& s) {
            Edit(first, kNumber)->setText("6");
            s.ClickDlgItem(kCheck);
            if (escape)
                first.GetQDialog()->reject();
            else
                s.ClickDlgItem(IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(first.m_nNumber, 3);
        EXPECT_EQ(first.m_bCheck, 0);
    }
    EXPECT_EQ(first.m_nResets, 2);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SheetTest, EnterOnAPagePressesTheSheetsDefaultButton)
{
    CPropertySheet sheet("S");
    sheet.AddPage(&first);
    int result = Run(sheet, [&](CPropertySheet&) {
        Edit(first, kNumber)->setText("6");
        // Enter where the focus is, on a page's control: the key travels up to the sheet's OK.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(first.GetDlgItem(kRadio2)->GetWidget(), &enter);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(first.m_nNumber, 6);
    EXPECT_EQ(first.m_nApplies, 1);
}

TEST_F(SheetTest, ApplyIsEnabledByAChangedPageAndAppliesWithoutClosing)
{
    CPropertySheet sheet("S");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    int result = Run(sheet, [&](CPropertySheet& s) {
        CDialogItem* pApply = s.GetDlgItem(int(ID_APPLY_NOW));
        ASSERT_NE(pApply, nullptr);
        EXPECT_FALSE(pApply->IsWindowEnabled());
        first.SetModified(TRUE);
        EXPECT_TRUE(pApply->IsWindowEnabled());
        Edit(first, kNumber)->setText("4");
        s.ClickDlgItem(int(ID_APPLY_NOW));
        EXPECT_EQ(first.m_nNumber, 4);
        EXPECT_EQ(first.m_nApplies, 1);
        EXPECT_EQ(second.m_nApplies, 0); // never opened
        EXPECT_FALSE(first.IsModified());
        EXPECT_FALSE(pApply->IsWindowEnabled());
        EXPECT_TRUE(s.GetQDialog()->isVisible());
        s.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(first.m_nNumber, 4); // what Apply took stays taken
}

TEST_F(SheetTest, AutoRadioButtonsListsAndReadOnlyEdits)
{
    CPropertySheet sheet("S");
    sheet.AddPage(&first);
    Run(sheet, [&](CPropertySheet& s) {
        auto checked = [&] { return first.GetCheckedRadioButton(kRadio1, kRadio3); };
        EXPECT_EQ(checked(), 0);
        first.ClickDlgItem(kRadio2);
        EXPECT_EQ(checked(), kRadio2);
        first.ClickDlgItem(kRadio3);
        first.ClickDlgItem(kRadio3); // a second click keeps it checked
        EXPECT_EQ(checked(), kRadio3);
        EXPECT_EQ(first.m_clicks, (std::vector<int>{kRadio2, kRadio3, kRadio3}));
        first.CheckRadioButton(kRadio1, kRadio3, kRadio1);
        EXPECT_EQ(checked(), kRadio1);
        // A radio button can be unchecked by itself, leaving none of its run checked.
        CButton radio;
        radio.Attach(first.GetDlgItem(kRadio1)->GetWidget(), kRadio1, 0);
        radio.SetCheck(BST_UNCHECKED);
        EXPECT_EQ(checked(), 0);

        EXPECT_EQ(first.m_list.GetCount(), 2);
        EXPECT_EQ(first.m_list.GetCurSel(), 0);
        auto* pBox = qobject_cast<QComboBox*>(first.m_list.GetWidget());
        pBox->setCurrentIndex(1);
        EXPECT_EQ(first.m_nSelChanges, 0); // only a choice by the user notifies
        emit pBox->activated(1);
        EXPECT_EQ(first.m_nSelChanges, 1);
        CString text;
        first.m_list.GetLBText(first.m_list.GetCurSel(), text);
        EXPECT_EQ(text, "beta");
        first.m_list.GetLBText(5, text);
        EXPECT_EQ(text, "");
        EXPECT_EQ(first.m_list.SetCurSel(7), CB_ERR);

        CEdit edit;
        edit.Attach(Edit(first, kNumber), kNumber, 0);
        EXPECT_FALSE(edit.IsReadOnly());
        edit.SetReadOnly(TRUE);
        EXPECT_TRUE(Edit(first, kNumber)->isReadOnly());
        s.ClickDlgItem(IDCANCEL);
    });
}

TEST_F(SheetTest, APictureShowsTheBitmapsPixels)
{
    CPropertySheet sheet("S");
    sheet.AddPage(&first);
    Run(sheet, [&](CPropertySheet& s) {
        // A 3 x 2 bitmap with a pixel of its own colour in each place.
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = 3;
        bmi.bmiHeader.biHeight = -2;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        HDC hdc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        HBITMAP hBitmap = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_TRUE(hBitmap && bits);
        auto* px = static_cast<unsigned*>(bits);
        for (unsigned i = 0; i < 6; ++i)
            px[i] = 0x102030u * (i + 1);
        CStatic picture;
        picture.Attach(first.GetDlgItem(kPicture)->GetWidget(), kPicture, 0);
        EXPECT_EQ(picture.SetBitmap(hBitmap), nullptr);
        const QImage shown = qobject_cast<QLabel*>(picture.GetWidget())->pixmap().toImage();
        ASSERT_EQ(shown.size(), QSize(3, 2));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(shown.pixel(x, y) & 0xFFFFFFu, 0x102030u * unsigned(y * 3 + x + 1)) << x << "," << y;
        EXPECT_EQ(picture.SetBitmap(nullptr), hBitmap);
        EXPECT_TRUE(qobject_cast<QLabel*>(picture.GetWidget())->pixmap().isNull());
        DeleteObject(hBitmap);
        DeleteDC(hdc);
        s.ClickDlgItem(IDCANCEL);
    });
}
} // namespace
