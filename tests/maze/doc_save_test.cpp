// Saving never destroys the file it replaces: both save routes on a full disk, and what a successful
// save leaves in the folder.
#include "maze/CVantrelDoc.h"
#include "tests/maze/doc_support.h"
#include "tests/platform/small_disk.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

} // namespace
