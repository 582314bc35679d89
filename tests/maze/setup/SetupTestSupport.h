#pragma once
// Maze Setup sheet tests: a document with a private profile and install folder, the sheet installed as
// the document's, and the sheet driven through the dialog runner.
#include "maze/CVantrelDoc.h"
#include "maze/setup/MazeSetupIds.h"
#include "maze/setup/MazeSetupSheet.h"
#include "platform/ui/CPropertySheet.h"
#include "tests/support/DocTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>

#include <functional>

namespace setup_test {

class SetupTest : public doc_test::DocTest {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char arg0[] = "setup_test";
        static char* argv[] = {arg0, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override
    {
        DocTest::SetUp();
        InstallMazeSetupSheet();
        CVantrelDocShell shell;
        shell.installPath = [this] { return CString((m_dir + "/").c_str()); };
        SetVantrelDocShell(shell);
    }
    void TearDown() override
    {
        SetDialogRunner({});
        DocTest::TearDown();
    }

    // Shows the document's sheet on nPage with the script working it; the document's result.
    int Show(CVantrelDoc& doc, int nPage, std::function<void(CPropertySheet&, CMazeSetupPages&)> script)
    {
        SetDialogRunner([&doc, script](CDialog& dialog) {
            script(static_cast<CPropertySheet&>(dialog), MazeSetupPagesOf(doc));
        });
        return doc.ShowSettings(nPage);
    }

    static QLineEdit* Edit(CDialog& page, UINT nID)
    {
        CDialogItem* pItem = page.GetDlgItem(int(nID));
        return pItem ? qobject_cast<QLineEdit*>(pItem->GetWidget()) : nullptr;
    }
    static std::string Text(CDialog& page, UINT nID) { return Edit(page, nID)->text().toStdString(); }
    static void Type(CDialog& page, UINT nID, const char* text) { Edit(page, nID)->setText(text); }
    static bool Visible(CDialog& page, UINT nID) { return page.GetDlgItem(int(nID))->IsWindowVisible(); }
    static bool Enabled(CDialog& page, UINT nID) { return page.GetDlgItem(int(nID))->IsWindowEnabled(); }
    // A click on a tab, as the user switches pages.
    static void Tab(CPropertySheet& sheet, int nPage) { sheet.GetTabControl()->setCurrentIndex(nPage); }

    static int ProfileInt(const char* section, const char* entry)
    {
        return int(AfxGetProfile().GetProfileInt(section, entry, -12345));
    }
};

} // namespace setup_test
