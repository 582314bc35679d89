// The dialogs a person opens show every text whole: the print options, the About box and each page of
// the Maze Setup sheet. Each text on the screen is held against the same text drawn with nothing cut
// off, in the room its control gives it. The same journey runs at scale 1 and, as
// journey_dialogs_scaled_test, with the interface scaled by 1.5.
#include "tests/journey/WindowReference.h"

#include "app/CAboutDlg.h"
#include "maze/CVantrelDoc.h"
#include "maze/setup/MazeSetupSheet.h"
#include "platform/ui/CPropertySheet.h"
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

    // Waits until the window shows each of its texts whole, saving a screenshot by the name; a window
    // that never does fails the journey with the texts it cuts off or leaves out.
    void ExpectTextsWhole(unsigned long window, const std::vector<WindowText>& texts, const char* name)
    {
        const Box client = ClientBox(window);
        QImage shot;
        const auto cutNow = [&] {
            std::vector<std::string> cut;
            for (const WindowText& t : texts)
                if (std::string why = journey::Cut(shot, client, t); !why.empty())
                    cut.push_back(why);
            return cut;
        };
        // Until the window is drawn its texts are missing or half drawn; a window whose texts never all
        // show whole says which ones it leaves out or cuts, at its last look.
        try {
            WaitUntil(std::string(name) + " shows its texts whole", [&] {
                shot = Shot();
                return cutNow().empty();
            });
        } catch (...) {
            ADD_FAILURE() << name << ":" << Join(cutNow());
            throw;
        }
        Shot(name);
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
    ExpectTextsWhole(WaitForActive("Quillmont Print Dialog"), printTexts, "print-options");
    Key("Escape");
    WaitForNoWindow("Quillmont Print Dialog");

    WaitForActive("FREE Quillmont");
    ChooseMenu("Help", "About Quillmont...");
    ExpectTextsWhole(WaitForActive("About FREE Quillmont"), aboutTexts, "about");
    Key("Escape");
    WaitForNoWindow("About FREE Quillmont");

    OpenMazeSetup();
    const unsigned long sheet = WaitForActive("Quillmont Settings");
    const Box client = ClientBox(sheet);
    const char* names[] = {"setup-style", "setup-dimensions", "setup-page", "setup-advanced", "setup-growth"};
    for (size_t i = 0; i < pageTexts.size(); ++i) {
        if (i > 0)
            Click(journey::OnScreen(client, tabs[i]).Centre());
        ExpectTextsWhole(sheet, pageTexts[i], names[i]);
    }
    Key("Escape");
    WaitForNoWindow("Quillmont Settings");
}

} // namespace
