// Every dialog of the program shows its texts whole in the fonts installed here: each template as it
// stands, and each dialog with the texts it puts up itself. The same program runs at scale 1 and, as
// app_dialog_texts_scaled_test, with the whole interface scaled by 1.5.
#include "tests/support/DialogTextFit.h"
#include "tests/support/UiTestSupport.h"

#include "app/BitmapSetup.h"
#include "app/CAboutDlg.h"
#include "image/CRasterImage.h"
#include "maze/CVantrelDoc.h"
#include "maze/setup/MazeSetupSheet.h"
#include "platform/core/FileDialog.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CPropertySheet.h"
#include "platform/ui/CWinApp.h"
#include "resources/VantrelResources.h"
#include "resources/resource.h"
#include "view/CImageSettingsDialog.h"
#include "view/CMazePrintDialog.h"

#include <QDialog>
#include <QFileDialog>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

using dialog_fit::Join;

// The scaled program names its cases apart.
#ifndef DIALOG_TEXTS
#define DIALOG_TEXTS DialogTexts
#endif

class DIALOG_TEXTS : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        AfxSetResourceTables(&GetVantrelResources());
    }
    void TearDown() override
    {
        SetDialogRunner({});
        AfxSetResourceTables(nullptr);
    }

    // Opens the dialog, lets prepare work it, and returns what does not fit.
    static std::vector<std::string> ProblemsOf(CDialog& dialog, std::function<void(CDialog&)> prepare = {})
    {
        std::vector<std::string> problems;
        bool opened = false;
        SetDialogRunner([&](CDialog& d) {
            opened = true;
            if (prepare)
                prepare(d);
            problems = dialog_fit::Problems(d.GetQDialog());
            d.EndDialog(IDCANCEL);
        });
        dialog.DoModal();
        SetDialogRunner({});
        EXPECT_TRUE(opened) << "dialog " << dialog.GetTemplateID() << " did not open";
        return problems;
    }
};

// The scale this program was started with (QT_SCALE_FACTOR) is the one its dialogs are shown at.
TEST_F(DIALOG_TEXTS, RunsAtTheScaleItWasGiven)
{
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    CAboutDlg about;
    double shown = 0;
    SetDialogRunner([&](CDialog& d) {
        shown = d.GetQDialog()->devicePixelRatioF();
        d.EndDialog(IDOK);
    });
    about.DoModal();
    EXPECT_DOUBLE_EQ(shown, factor ? std::atof(factor) : 1.0);
}

TEST_F(DIALOG_TEXTS, EveryTemplateShowsItsOwnTextsWhole)
{
    // Making each dialog registers its template.
    CAboutDlg about;
    CMazePrintDialog print;
    CImageSettingsDialog image;
    BitmapSetup bitmap;
    CMazeSetupPages pages;
    const UINT ids[] = {IDD_ABOUTBOX,     IDD_MAZE_PRINT,      IDD_IMAGE_SETTINGS, IDD_BITMAP_SETUP,
                        IDD_PAGE_STYLE,   IDD_PAGE_DIMENSIONS, IDD_PAGE_PAGE,      IDD_PAGE_ADVANCED,
                        IDD_PAGE_GROWTH};
    for (UINT nID : ids) {
        ASSERT_NE(AfxFindDialogTemplate(nID), nullptr) << nID;
        // A plain dialog over the template shows the template's texts unchanged.
        CDialog plain(nID);
        const auto problems = ProblemsOf(plain);
        EXPECT_TRUE(problems.empty()) << "dialog " << nID << " \"" << AfxFindDialogTemplate(nID)->caption << "\":"
                                      << Join(problems);
    }
}

TEST_F(DIALOG_TEXTS, DialogsShowTheTextsTheyPutUpWhole)
{
    {
        CAboutDlg about;
        const auto problems = ProblemsOf(about);
        EXPECT_TRUE(problems.empty()) << "About:" << Join(problems);
    }
    {
        CMazePrintDialog print;
        print.m_nNumberOfMazes = 999;
        const auto problems = ProblemsOf(print);
        EXPECT_TRUE(problems.empty()) << "Print:" << Join(problems);
    }
    {
        // Numbers wider than the texts' fields.
        CImageSettingsDialog image;
        image.m_image.Create(10000, 2, 24, IMAGE_FORMAT_BMP);
        const auto problems = ProblemsOf(image);
        EXPECT_TRUE(problems.empty()) << "Image settings:" << Join(problems);
    }
}

TEST_F(DIALOG_TEXTS, TheMazeSetupSheetShowsEveryPageWhole)
{
    InstallMazeSetupSheet();
    CVantrelDoc doc;
    doc.OnFileNew();
    std::vector<std::string> problems;
    SetDialogRunner([&](CDialog& dialog) {
        auto& sheet = static_cast<CPropertySheet&>(dialog);
        for (int i = 0; i < sheet.GetTabControl()->count(); ++i)
            sheet.GetTabControl()->setCurrentIndex(i);
        problems = dialog_fit::Problems(sheet.GetQDialog());
        sheet.ClickDlgItem(IDCANCEL);
    });
    doc.ShowSettings(0);
    EXPECT_TRUE(problems.empty()) << "Maze Setup:" << Join(problems);
}

// The filters a file dialog lists, read from the Qt dialog it shows, which is then cancelled.
std::string FiltersShown(CFileDialog& dialog)
{
    QStringList shown;
    QTimer::singleShot(0, [&] {
        if (auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = pDialog->nameFilters();
            pDialog->reject();
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    return shown.join(" | ").toStdString();
}

// The save dialog lists each filter once with its patterns, as the program names them; a filter whose
// text does not show its patterns gets them added.
TEST_F(DIALOG_TEXTS, FileDialogFiltersNameTheirPatternsOnce)
{
    AfxInstallWindowHandlers();
    CFileDialog save(FALSE, "mze", nullptr, OFN_OVERWRITEPROMPT,
                     "Quillmont V2 (*.mze)|*.mze|Quillmont V1 (*.mze)|*.mze||");
    EXPECT_EQ(FiltersShown(save), "Quillmont V2 (*.mze) | Quillmont V1 (*.mze)");
    CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST,
                     "Pictures|*.bmp;*.png|Mazes (*.mze)|*.mze|Bitmap file(*.bmp)|*.bmp||");
    EXPECT_EQ(FiltersShown(open), "Pictures (*.bmp *.png) | Mazes (*.mze) | Bitmap file(*.bmp)");
    SetFileDialogHandler({});
    SetMessageBoxHandler({});
}

} // namespace
