// A file that replaces its target only once it is whole: the target keeps its old bytes until Close,
// and every failure or Abort leaves it as it was, with no temporary file behind.
#include "platform/core/CAtomicFile.h"
#include "tests/platform/core/FileTestSupport.h"
#include "tests/support/SmallDisk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public io_test::FileTest {
protected:
    static mode_t ModeOf(const std::string& path)
    {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }
};

TEST_F(AtomicFileTest, TheTargetChangesOnlyAtClose)
{
    const std::string path = PathOf("maze.mze");
    Put(path, "old contents");
    ::chmod(path.c_str(), 0640);
    {
        CAtomicFile f;
        ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(f.GetFilePath(), path.c_str());
        f.Write("new", 3);
        EXPECT_EQ(Contents(path), "old contents");
        // Hidden, beside the target.
        EXPECT_EQ(std::string(f.GetTempPath()).rfind(dir.string() + "/.maze.mze.", 0), 0u) << f.GetTempPath().GetString();
        EXPECT_TRUE(fs::exists(f.GetTempPath().GetString()));
        f.Close();
        EXPECT_TRUE(f.GetTempPath().IsEmpty());
    }
    EXPECT_EQ(Contents(path), "new");
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(small_disk::Listing(dir.string()), "maze.mze\n");

    // A new file gets the permissions the umask gives.
    const mode_t mask = ::umask(027);
    {
        CAtomicFile f;
        ASSERT_TRUE(f.Open(PathOf("fresh.mze").c_str(), CFile::modeCreate | CFile::modeWrite));
        f.Write("x", 1);
        f.Close();
    }
    ::umask(mask);
    EXPECT_EQ(ModeOf(PathOf("fresh.mze")), 0640u);
    EXPECT_EQ(Contents(PathOf("fresh.mze")), "x");
}

TEST_F(AtomicFileTest, AbortAndDestructionLeaveTheTargetAlone)
{
    const std::string path = PathOf("keep.mze");
    Put(path, "precious");
    {
        CAtomicFile f;
        ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
        f.Write("ruin", 4);
        f.Abort();
        f.Close();  // nothing left to put in place
    }
    {
        CAtomicFile f;
        ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        f.Write("ruin", 4);
    }
    EXPECT_EQ(Contents(path), "precious");
    EXPECT_EQ(small_disk::Listing(dir.string()), "keep.mze\n");
    // Nothing is created for a file that is never written and closed.
    {
        CAtomicFile f;
        ASSERT_TRUE(f.Open(PathOf("never.mze").c_str(), CFile::modeCreate | CFile::modeWrite));
    }
    EXPECT_EQ(small_disk::Listing(dir.string()), "keep.mze\n");
}

TEST_F(AtomicFileTest, ALinkKeepsPointingAtTheNewFile)
{
    fs::create_directory(PathOf("real"));
    const std::string real = PathOf("real/maze.mze");
    Put(real, "old");
    fs::create_symlink(real, PathOf("link.mze"));
    CAtomicFile f;
    ASSERT_TRUE(f.Open(PathOf("link.mze").c_str(), CFile::modeCreate | CFile::modeWrite));
    f.Write("new", 3);
    f.Close();
    EXPECT_TRUE(fs::is_symlink(PathOf("link.mze")));
    EXPECT_EQ(Contents(real), "new");
    EXPECT_EQ(small_disk::Listing(PathOf("real")), "maze.mze\n");
}

TEST_F(AtomicFileTest, OnlyRegularFilesAreReplaced)
{
    CAtomicFile f;
    CFileException error;
    fs::create_directory(PathOf("folder"));
    EXPECT_FALSE(f.Open(PathOf("folder").c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(f.Open(PathOf("pipe").c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.GetErrorMessage(), ("'" + PathOf("pipe") + "' is not a regular file.").c_str());
    EXPECT_FALSE(f.Open(PathOf("missing/x.mze").c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(f.Open(PathOf("x.mze").c_str(), CFile::modeRead, &error));
    EXPECT_TRUE(fs::is_fifo(PathOf("pipe")));
    EXPECT_EQ(small_disk::Listing(dir.string()), "folder\npipe\n");
}

// A full disk: the write fails with the disk-full cause naming the target, and the old file and the
// folder are as they were.
TEST_F(AtomicFileTest, AFullDiskLeavesTheOldFile)
{
    const small_disk::Result r = small_disk::Run([](const std::string& where) {
        const std::string path = where + "/maze.mze";
        std::ofstream(path, std::ios::binary) << "old file";
        const std::string big(3 * small_disk::kBytes, 'n');
        std::string report;
        CAtomicFile f;
        if (!f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite))
            return std::string("open failed\n");
        try {
            f.Write(big.data(), UINT(big.size()));
            f.Close();
            report = "written\n";
        } catch (const CFileException& e) {
            f.Abort();
            const bool named = e.GetErrorMessage().Find(("'" + path + "'").c_str()) >= 0;
            report = "cause " + std::to_string(e.m_cause) + (named ? " named\n" : " unnamed\n");
        }
        return report + Contents(path) + "\n" + small_disk::Listing(where);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.report, "cause " + std::to_string(CFileException::diskFull) + " named\nold file\nmaze.mze\n") << r.how;
}

} // namespace
