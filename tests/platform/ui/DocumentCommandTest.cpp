// The framework's file commands, and Print Setup: open and save through the document, the save prompt, recent files.
#include "tests/support/UiTestSupport.h"

#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/print/CPrintingView.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CSingleDocTemplate.h"
#include "platform/ui/CWinApp.h"
#include "platform/ui/CWndView.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {
std::vector<std::string> g_opened;
std::vector<std::string> g_saved;
bool g_openSucceeds = true;

class FileDoc : public CDocument {
    DECLARE_DYNCREATE(FileDoc)
public:
    BOOL OnOpenDocument(const char* lpszPathName) override
    {
        g_opened.emplace_back(lpszPathName);
        return g_openSucceeds;
    }
    BOOL OnSaveDocument(const char* lpszPathName) override
    {
        g_saved.emplace_back(lpszPathName);
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(FileDoc, CDocument)

class FileView : public CWndView {
    DECLARE_DYNCREATE(FileView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(FileView, CWndView)

class DocumentCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        setenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit().constData(), 1);
        g_opened.clear();
        g_saved.clear();
        g_openSucceeds = true;
        m_app.m_pszAppName = strdup("DocTest");
        m_app.SetRegistryKey("Vantrel tests");
        m_app.LoadStdProfileSettings(4);
        m_app.AddDocTemplate(new CSingleDocTemplate(1, RUNTIME_CLASS(FileDoc), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(FileView)));
        SetFileDialogHandler([this](const FileDialogRequest& r) {
            m_dialogs.push_back(r.open);
            FileDialogResult result;
            result.ok = !m_dialogPath.empty();
            result.path = m_dialogPath.c_str();
            result.filterIndex = 1;
            return result;
        });
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_boxes.emplace_back(r.text);
            return m_answer;
        });
        m_app.OnFileNew();
        ASSERT_NE(m_app.m_pMainWnd, nullptr);
    }
    void TearDown() override
    {
        SetFileDialogHandler({});
        SetMessageBoxHandler({});
        m_app.CloseAllDocuments(TRUE);
        QCoreApplication::processEvents();
    }
    CFrameWnd* Frame() { return static_cast<CFrameWnd*>(m_app.m_pMainWnd); }
    CDocument* Doc() { return Frame()->GetActiveDocument(); }

    QTemporaryDir m_dir;
    CWinApp m_app;
    std::string m_dialogPath;
    std::vector<bool> m_dialogs;
    std::vector<std::string> m_boxes;
    int m_answer = IDCANCEL;
};

TEST_F(DocumentCommandTest, OpenGoesThroughTheDocumentAndTheRecentList)
{
    EXPECT_EQ(std::string(Doc()->GetTitle()), "Untitled");
    m_dialogPath = "/tmp/maze one.mze";
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_OPEN));
    EXPECT_EQ(g_opened, (std::vector<std::string>{"/tmp/maze one.mze"}));
    EXPECT_EQ(std::string(Doc()->GetPathName()), "/tmp/maze one.mze");
    EXPECT_EQ(std::string(Doc()->GetTitle()), "maze one.mze");
    ASSERT_EQ(m_app.GetRecentFileNames().size(), 1u);

    // A file the document refuses is neither taken as the path nor listed.
    g_openSucceeds = false;
    m_dialogPath = "/tmp/bad.mze";
    Frame()->ExecuteCommand(ID_FILE_OPEN);
    EXPECT_EQ(std::string(Doc()->GetPathName()), "/tmp/maze one.mze");
    EXPECT_EQ(m_app.GetRecentFileNames().size(), 1u);

    // A recent file opens from its menu command.
    g_openSucceeds = true;
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_MRU_FILE1));
    EXPECT_EQ(g_opened.back(), "/tmp/maze one.mze");
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_FILE_MRU_FILE2));
}

TEST(PrintSetupTest, TheApplicationsCommandShowsPrintSetup)
{
    EnsureTestApplication();
    CWinApp app;
    int shown = 0;
    SetPrintSetupHandler([&](QPrinter&) {
        ++shown;
        return IDCANCEL;
    });
    EXPECT_TRUE(app.OnCmdMsg(ID_FILE_PRINT_SETUP, CN_COMMAND, nullptr, nullptr));
    SetPrintSetupHandler({});
    EXPECT_EQ(shown, 1);
}

TEST_F(DocumentCommandTest, AFileOnTheCommandLineIsOpened)
{
    m_app.m_args = {CString("vantrel"), CString("/tmp/from the command line.mze")};
    CCommandLineInfo info;
    m_app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_TRUE(m_app.ProcessShellCommand(info));
    EXPECT_EQ(g_opened, (std::vector<std::string>{"/tmp/from the command line.mze"}));
    // No argument is File New.
    m_app.m_args = {CString("vantrel")};
    CCommandLineInfo none;
    m_app.ParseCommandLine(none);
    EXPECT_EQ(none.m_nShellCommand, CCommandLineInfo::FileNew);
}

TEST_F(DocumentCommandTest, SaveAsksForAPathOnlyWhenThereIsNone)
{
    Doc()->SetModifiedFlag(TRUE);
    m_dialogPath = "/tmp/saved.mze";
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_SAVE));
    EXPECT_EQ(m_dialogs, (std::vector<bool>{false}));
    EXPECT_EQ(g_saved, (std::vector<std::string>{"/tmp/saved.mze"}));
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(std::string(Doc()->GetPathName()), "/tmp/saved.mze");
    Frame()->ExecuteCommand(ID_FILE_SAVE);
    EXPECT_EQ(m_dialogs.size(), 1u);
    EXPECT_EQ(g_saved.size(), 2u);
    m_dialogPath = "/tmp/other.mze";
    Frame()->ExecuteCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(m_dialogs.size(), 2u);
    EXPECT_EQ(g_saved.back(), "/tmp/other.mze");
    // Saved under another name, the document takes that name as its title and the recent list leads
    // with it.
    EXPECT_EQ(std::string(Doc()->GetTitle()), "other.mze");
    ASSERT_EQ(m_app.GetRecentFileNames().size(), 2u);
    EXPECT_EQ(std::string(m_app.GetRecentFileNames()[0]), "/tmp/other.mze");
}

TEST_F(DocumentCommandTest, TheSavePromptSavesDiscardsOrCancels)
{
    // Unmodified: no question.
    EXPECT_TRUE(CDocTemplate::SaveModified(Doc()));
    EXPECT_TRUE(m_boxes.empty());
    Doc()->SetModifiedFlag(TRUE);
    m_answer = IDYES;
    m_dialogPath.clear(); // the save dialog is cancelled: nothing is saved and the close stops
    EXPECT_FALSE(CDocTemplate::SaveModified(Doc()));
    EXPECT_TRUE(g_saved.empty());
    m_dialogPath = "/tmp/kept.mze";
    EXPECT_TRUE(CDocTemplate::SaveModified(Doc()));
    EXPECT_EQ(g_saved, (std::vector<std::string>{"/tmp/kept.mze"}));
    Doc()->SetModifiedFlag(TRUE);
    m_answer = IDNO;
    EXPECT_TRUE(CDocTemplate::SaveModified(Doc()));
    EXPECT_EQ(g_saved.size(), 1u);
    EXPECT_EQ(m_boxes.size(), 3u);
    // File New on a modified document asks first; Cancel keeps the document as it is.
    m_answer = IDCANCEL;
    CDocument* before = Doc();
    m_app.OnFileNew();
    EXPECT_EQ(m_boxes.size(), 4u);
    EXPECT_EQ(Doc(), before);
    EXPECT_TRUE(Doc()->IsModified());
}
} // namespace
