// The dialogs a person opens show every text whole: the print options, the About box and each page of
// the Maze Setup sheet. Each text on the screen is held against the same text drawn with nothing cut
// off, in the room its control gives it. The same journey runs at scale 1 and, as
// journey_dialogs_scaled_test, with the interface scaled by 1.5.
#include "tests/journey/WindowReference.h"

#include "app/CAboutDlg.h"
#include "maze/CVantrelDoc.h"
#include "maze/setup/MazeSetupSheet.h"
#include "platform/CPropertySheet.h"
#include "view/CMazePrintDialog.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTabBar>
#include <QTabWidget>

namespace {

using journey::Box;
using journey::WindowText;

using dialog_fit::Join;

// The scaled program names its journey apart.
#ifndef DIALOGS_JOURNEY
#define DIALOGS_JOURNEY DialogsJourney
#endif

class DIALOGS_JOURNEY : public Journey {
protected:
    // Maze Setup is the first item of Maze Options, two menus right of File: the keyboard opens each
    // menu with its first item highlighted (the journey's menu reading knows menus at scale 1 only).
    void OpenMazeSetup()
    {
        WaitForActive("FREE Quillmont");
        Key("alt+f");
        journey::Box open;
        WaitUntil("the File menu opens", [&] {
            const auto popups = Popups();
            return !popups.empty() && (open = popups.back(), true);
        });
        for (const char* menu : {"Edit", "Maze Options"}) {
            Key("Right");
            WaitUntil(std::string("the ") + menu + " menu opens", [&] {
                const auto popups = Popups();
                if (popups.empty() || popups.back().x <= open.x)
                    return false;
                open = popups.back();
                return true;
            });
        }
        Key("Return");
    }

    // Waits until the window shows ink in the room of each text and holds still, then lists the texts
    // it shows cut off.
    std::vector<std::string> CutTexts(unsigned long window, const std::vector<WindowText>& texts, const char* name)
    {
        const Box client = ClientBox(window);
        QImage shot, last;
        const auto cutNow = [&] {
            std::vector<std::string> cut;
            for (const WindowText& t : texts)
                if (std::string why = journey::Cut(shot, client, t); !why.empty())
                    cut.push_back(why);
            return cut;
        };
        try {
            WaitUntil(std::string(name) + " is drawn and holds still", [&] {
                shot = Shot();
                const bool drawn = std::all_of(texts.begin(), texts.end(), [&](const WindowText& t) {
                    return journey::Cut(shot, client, t).find("no text") == std::string::npos;
                });
                const bool still = shot == last;
                last = shot;
                return drawn && still;
            });
        } catch (...) {
            // A window whose texts never all show says which ones it leaves out or cuts.
            ADD_FAILURE() << name << ":" << Join(cutNow());
            throw;
        }
        Shot(name);
        return cutNow();
    }
};

TEST_F(DIALOGS_JOURNEY, EveryDialogShowsItsTextsWhole)
{
    // Where the texts lie, from the journey's own copies of the dialogs.
    std::vector<WindowText> printTexts, aboutTexts;
    std::vector<std::vector<WindowText>> pageTexts;
    std::vector<QRect> tabs;
    {
        CMazePrintDialog print;
        journey::Reference([&] { print.DoModal(); }, [&](CDialog& d) { printTexts = journey::TextsOf(d.GetQDialog()); });
        CAboutDlg about;
        journey::Reference([&] { about.DoModal(); }, [&](CDialog& d) { aboutTexts = journey::TextsOf(d.GetQDialog()); });
        InstallMazeSetupSheet();
        CVantrelDoc doc;
        doc.OnFileNew();
        journey::Reference([&] { doc.ShowSettings(0); }, [&](CDialog& d) {
            auto& sheet = static_cast<CPropertySheet&>(d);
            QTabWidget* pTabs = sheet.GetTabControl();
            for (int i = 0; i < pTabs->count(); ++i) {
                pTabs->setCurrentIndex(i);
                QCoreApplication::processEvents();
                pageTexts.push_back(journey::TextsOf(d.GetQDialog()));
                tabs.push_back(pTabs->tabBar()->tabRect(i).translated(
                    pTabs->tabBar()->mapTo(d.GetQDialog(), QPoint(0, 0))));
            }
        });
    }
    ASSERT_GT(printTexts.size(), 10u);
    ASSERT_EQ(aboutTexts.size(), 3u);
    ASSERT_EQ(pageTexts.size(), 5u);

    Start();
    Key("ctrl+n");
    Key("ctrl+p");
    const auto printCut = CutTexts(WaitForActive("Quillmont Print Dialog"), printTexts, "print-options");
    EXPECT_TRUE(printCut.empty()) << "Print options:" << Join(printCut);
    Key("Escape");
    WaitForNoWindow("Quillmont Print Dialog");

    WaitForActive("FREE Quillmont");
    ChooseMenu("Help", "About Quillmont...");
    const auto aboutCut = CutTexts(WaitForActive("About FREE Quillmont"), aboutTexts, "about");
    EXPECT_TRUE(aboutCut.empty()) << "About:" << Join(aboutCut);
    Key("Escape");
    WaitForNoWindow("About FREE Quillmont");

    OpenMazeSetup();
    const unsigned long sheet = WaitForActive("Quillmont Settings");
    const Box client = ClientBox(sheet);
    const char* names[] = {"setup-style", "setup-dimensions", "setup-page", "setup-advanced", "setup-growth"};
    for (size_t i = 0; i < pageTexts.size(); ++i) {
        if (i > 0)
            Click(journey::OnScreen(client, tabs[i]).Centre());
        const auto cut = CutTexts(sheet, pageTexts[i], names[i]);
        EXPECT_TRUE(cut.empty()) << "Maze Setup, page " << i + 1 << ":" << Join(cut);
    }
    Key("Escape");
    WaitForNoWindow("Quillmont Settings");
}

} // namespace
