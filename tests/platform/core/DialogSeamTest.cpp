#include "platform/core/CException.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Installs a recording handler for one test and puts the previous one back.
class MessageBoxSeam : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            seen.push_back(r);
            return answer;
        });
    }
    void TearDown() override { SetMessageBoxHandler(previous); }

    MessageBoxHandler previous;
    std::vector<MessageBoxRequest> seen;
    int answer = IDOK;
};

class FileDialogSeam : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = SetFileDialogHandler([this](const FileDialogRequest& r) {
            seen.push_back(r);
            return result;
        });
    }
    void TearDown() override { SetFileDialogHandler(previous); }

    FileDialogHandler previous;
    std::vector<FileDialogRequest> seen;
    FileDialogResult result;
};

} // namespace

TEST_F(MessageBoxSeam, HandlerSeesTheBoxAndAnswers)
{
    answer = IDNO;
    EXPECT_EQ(AfxMessageBox("Do you want to delete all TEXT/OBJECT layers?", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    answer = IDCANCEL;
    EXPECT_EQ(AfxMessageBox("Failed to create splash screen", MB_ICONHAND), IDCANCEL);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "Do you want to delete all TEXT/OBJECT layers?");
    EXPECT_EQ(seen[0].type, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_TRUE(seen[0].caption.IsEmpty()); // the window layer puts the application name there
    EXPECT_EQ(seen[1].type & MB_ICONMASK, MB_ICONHAND);
}

TEST_F(MessageBoxSeam, StringResourcesGoThroughTheLoader)
{
    auto old = SetStringResourceLoader([](UINT id) { return id == 7 ? CString("seven") : CString(); });
    AfxMessageBox(7, MB_OKCANCEL);
    SetStringResourceLoader(old);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "seven");
    EXPECT_EQ(seen[0].helpId, 7u);
}

TEST_F(MessageBoxSeam, ExceptionsReportThroughTheSeam)
{
    answer = IDOK;
    CArchiveException e(CArchiveException::endOfFile, "maze.mze");
    EXPECT_EQ(e.ReportError(), IDOK);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.Find("maze.mze"), -1);
    EXPECT_EQ(seen[0].type, MB_OK | MB_ICONEXCLAMATION);

    CUserException user;
    user.ReportError();
    EXPECT_EQ(seen.size(), 1u); // already reported: nothing shown
}

TEST(MessageBoxDefault, WithoutHandlerTheDefaultButtonAnswers)
{
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_OK), IDOK);
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_YESNO | MB_DEFBUTTON3), IDYES); // no third button
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(MessageBoxDefaultAnswer(MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(AfxMessageBox("nobody answers", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

TEST(FileDialogFilter, SplitsTextAndPatterns)
{
    const auto filters = ParseFileDialogFilter("Mazes (*.mze)|*.mze|All Files (*.*)|*.*||");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].first, "Mazes (*.mze)");
    EXPECT_EQ(filters[0].second, "*.mze");
    EXPECT_EQ(filters[1].first, "All Files (*.*)");
    EXPECT_EQ(filters[1].second, "*.*");
    EXPECT_EQ(ParseFileDialogFilter("Bitmap file(*.bmp)|*.bmp|GIF file(*.gif)|*.gif|TIFF file(*.tif)|*.tif||").size(), 3u);
    EXPECT_EQ(ParseFileDialogFilter("Images|*.bmp;*.gif").at(0).second, "*.bmp;*.gif");
    EXPECT_TRUE(ParseFileDialogFilter(nullptr).empty());
    EXPECT_TRUE(ParseFileDialogFilter("").empty());
}

TEST_F(FileDialogSeam, SaveDialogReturnsPathAndChosenFilter)
{
    result = {true, "/home/u/mazes/first", 2};
    CFileDialog dlg(FALSE, "mze", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Quillmont V2 (*.mze)|*.mze|Quillmont V1 (*.mze)|*.mze||");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0].open);
    EXPECT_EQ(seen[0].defaultExt, "mze");
    EXPECT_EQ(seen[0].filterIndex, 1u);
    EXPECT_EQ(seen[0].flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(seen[0].filter, "Quillmont V2 (*.mze)|*.mze|Quillmont V1 (*.mze)|*.mze||");
    // The default extension is added to a name without one.
    EXPECT_EQ(dlg.GetPathName(), "/home/u/mazes/first.mze");
    EXPECT_EQ(dlg.GetFileName(), "first.mze");
    EXPECT_EQ(dlg.GetFileTitle(), "first");
    EXPECT_EQ(dlg.GetFileExt(), "mze");
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2u);
}

TEST_F(FileDialogSeam, NamesWithAnExtensionAreKept)
{
    result = {true, "/a.b/maze.old", 1};
    CFileDialog dlg(TRUE, "mze", nullptr, OFN_FILEMUSTEXIST, "Mazes (*.mze)|*.mze||");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(seen.at(0).open);
    EXPECT_EQ(dlg.GetPathName(), "/a.b/maze.old");
    EXPECT_EQ(dlg.GetFileExt(), "old");

    // A dot in a folder name is not an extension.
    result = {true, "/a.b/maze", 1};
    CFileDialog again(TRUE, "BMP");
    EXPECT_EQ(again.DoModal(), IDOK);
    EXPECT_EQ(again.GetPathName(), "/a.b/maze.BMP");
}

TEST_F(FileDialogSeam, CancelLeavesNoPath)
{
    result = {false, "/ignored", 1};
    CFileDialog dlg(TRUE);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.GetPathName().IsEmpty());
}

TEST(FileDialogDefault, WithoutHandlerEveryDialogIsCancelled)
{
    CFileDialog dlg(FALSE, "mze");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}
