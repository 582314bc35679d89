// Saving never destroys the file it replaces (both save routes on a full disk), and Open and Save
// keep the document's path, title, modified flag and the recent-file list in step with its file.
#include "maze/CVantrelDoc.h"
#include "resources/resource.h"
#include "tests/support/DocTestSupport.h"
#include "tests/support/SmallDisk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using doc_test::DocTest;

// A square maze of side x side cells: 4 bytes a cell in the file.
std::unique_ptr<CVantrelDoc> MazeOf(int side)
{
    auto doc = std::make_unique<CVantrelDoc>();
    doc->m_nCellsX = side;
    doc->m_nCellsY = side;
    doc->m_nSeed = 3;
    doc->OnFileNew();
    doc->OnGenerateMaze();
    return doc;
}

class FullDiskSaveTest : public DocTest {
protected:
    // Saves a 160 KB document over a small saved maze on a 64 KB file system, by the menu's Save As or
    // by the framework's save; reports whether the old file is byte for byte there, the folder and
    // the messages (without the system's own wording of the error).
    small_disk::Result SaveOverOldFile(bool bMenu)
    {
        return small_disk::Run([this, bMenu](const std::string& dir) {
            const std::string path = dir + "/maze.mze";
            auto small = MazeOf(3);
            if (!small->OnSaveDocument(path.c_str()))
                return std::string("the old file could not be written\n");
            const std::vector<unsigned char> old = ReadFile(path);
            auto big = MazeOf(200);
            big->m_strError.Empty();
            big->SetModifiedFlag(TRUE);
            boxes.clear();
            std::string result;
            if (bMenu) {
                AnswerDialog(path, 1);
                big->OnFileSaveAs();
                result = big->m_strError.IsEmpty() ? "" : "queued: " + std::string(big->m_strError) + "\n";
            } else {
                result = big->OnSaveDocument(path.c_str()) ? "saved\n" : "failed\n";
            }
            for (const std::string& box : boxes)
                result += "box: " + box.substr(0, box.find(" (")) + "\n";
            result += ReadFile(path) == old ? "old file intact\n" : "old file changed\n";
            result += big->IsModified() ? "modified\n" : "not modified\n";
            result += small_disk::Listing(dir);
            for (std::size_t at; (at = result.find(dir)) != std::string::npos;)
                result.replace(at, dir.size(), "DIR");
            return result;
        });
    }
};

TEST_F(FullDiskSaveTest, TheMenusSaveAsKeepsTheOldFile)
{
    const small_disk::Result r = SaveOverOldFile(true);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.report, "box: There is no space left to write 'DIR/maze.mze'.\n"
                        "old file intact\nmodified\nmaze.mze\n")
        << r.how;
}

TEST_F(FullDiskSaveTest, TheFrameworksSaveKeepsTheOldFile)
{
    const small_disk::Result r = SaveOverOldFile(false);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.report, "failed\nbox: There is no space left to write 'DIR/maze.mze'.\n"
                        "old file intact\nmodified\nmaze.mze\n")
        << r.how;
}

// Records what documents hand to the recent-file list.
class TrackingTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        s_recent.clear();
        SetRecentFileHandler([](const char* path) { s_recent.emplace_back(path); });
    }
    void TearDown() override
    {
        SetRecentFileHandler(nullptr);
        DocTest::TearDown();
    }
    static BOOL Command(CVantrelDoc& doc, UINT id) { return doc.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }
    static std::string State(CVantrelDoc& doc)
    {
        return std::string(doc.GetPathName()) + " | " + doc.GetTitle().GetString() + " | " +
               (doc.IsModified() ? "modified" : "saved");
    }

    static std::vector<std::string> s_recent;
};
std::vector<std::string> TrackingTest::s_recent;

TEST_F(TrackingTest, OpenTakesTheFilesPathAndTitle)
{
    const std::string one = Path("one.mze"), two = Path("two.mze");
    auto maze = MazeOf(3);
    ASSERT_TRUE(maze->OnSaveDocument(one.c_str()));
    ASSERT_TRUE(maze->OnSaveDocument(two.c_str()));
    const std::vector<unsigned char> good = ReadFile(two);
    WriteFile(Path("cut.mze"), std::vector<unsigned char>(good.begin(), good.begin() + 60));

    CVantrelDoc doc;
    doc.OnFileNew();
    EXPECT_EQ(State(doc), " | Untitled | saved");
    AnswerDialog(one);
    Command(doc, ID_FILE_OPEN);
    EXPECT_EQ(State(doc), one + " | one.mze | saved");
    doc.SetModifiedFlag(TRUE);
    AnswerDialog(two);
    Command(doc, ID_FILE_OPEN);
    EXPECT_EQ(State(doc), two + " | two.mze | saved");
    EXPECT_EQ(s_recent, (std::vector<std::string>{one, two}));

    // A refused file is neither the document's file nor a recent one.
    doc.SetModifiedFlag(TRUE);
    AnswerDialog(Path("cut.mze"));
    Command(doc, ID_FILE_OPEN);
    AnswerDialog(Path("missing.mze"));
    Command(doc, ID_FILE_OPEN);
    EXPECT_EQ(State(doc), two + " | two.mze | modified");
    EXPECT_EQ(s_recent.size(), 2u);
    // A FIFO is refused at once, by name, instead of waiting for a writer.
    ASSERT_EQ(::mkfifo(Path("pipe.mze").c_str(), 0600), 0);
    AnswerDialog(Path("pipe.mze"));
    Command(doc, ID_FILE_OPEN);
    EXPECT_EQ(doc.m_strError, ("ERROR: '" + Path("pipe.mze") + "' is not a regular file.").c_str());
    EXPECT_EQ(State(doc), two + " | two.mze | modified");

    // File New leaves the file behind: untitled, and Save asks for a name.
    Command(doc, ID_FILE_NEW);
    EXPECT_EQ(State(doc), " | Untitled | saved");
    dialogs.clear();
    Command(doc, ID_FILE_SAVE);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].open);
    EXPECT_EQ(ReadFile(two), good);
}

TEST_F(TrackingTest, SaveWritesToTheFileInItsFormat)
{
    auto doc = MazeOf(4);
    doc->SetModifiedFlag(TRUE);
    // No file yet: Save asks, like Save As, and takes the file chosen.
    const std::string v1 = Path("old format.mze");
    AnswerDialog(v1, 2);
    Command(*doc, ID_FILE_SAVE);
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(State(*doc), v1 + " | old format.mze | saved");
    EXPECT_EQ(s_recent, (std::vector<std::string>{v1}));

    // Once it has a file, Save writes there without asking, in the format chosen for it.
    doc->OnGenerateMaze();
    doc->SetModifiedFlag(TRUE);
    Command(*doc, ID_FILE_SAVE);
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(State(*doc), v1 + " | old format.mze | saved");
    const std::vector<unsigned char> written = ReadFile(v1);
    ASSERT_GT(written.size(), 8u);
    double version = 0;
    std::memcpy(&version, written.data(), 8);
    EXPECT_EQ(version, 1.0);

    // A file opened in version 1.0 is saved in version 1.0.
    CVantrelDoc reader;
    AnswerDialog(v1);
    Command(reader, ID_FILE_OPEN);
    reader.OnGenerateMaze();
    reader.SetModifiedFlag(TRUE);
    Command(reader, ID_FILE_SAVE);
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(reader.m_dVersion, 1.0);
    std::memcpy(&version, ReadFile(v1).data(), 8);
    EXPECT_EQ(version, 1.0);

    // Save As takes the new name and title; a save that fails keeps the file and the flag it had.
    const std::string v2 = Path("new.mze");
    AnswerDialog(v2, 1);
    Command(*doc, ID_FILE_SAVE_AS);
    EXPECT_EQ(State(*doc), v2 + " | new.mze | saved");
    std::memcpy(&version, ReadFile(v2).data(), 8);
    EXPECT_EQ(version, 2.0);
    doc->SetModifiedFlag(TRUE);
    AnswerDialog(Path("no folder/x.mze"), 1);
    Command(*doc, ID_FILE_SAVE_AS);
    EXPECT_EQ(State(*doc), v2 + " | new.mze | modified");
    // Each save and open lists its file again (the list keeps one entry per file).
    EXPECT_EQ(s_recent, (std::vector<std::string>{v1, v1, v1, v1, v2}));
}

} // namespace
