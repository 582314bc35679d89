#include "platform/core/CFile.h"
#include "platform/core/CMemFile.h"
#include "platform/core/CStdioFile.h"
#include "tests/platform/core/FileTestSupport.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using io_test::FileTest;

} // namespace

TEST_F(FileTest, CreateTruncatesAndNoTruncateKeeps)
{
    const std::string path = PathOf("a.bin");
    Put(path, "old contents");
    {
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        f.Write("new", 3);
    }
    EXPECT_EQ(Contents(path), "new");
    {
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        f.SeekToEnd();
        f.Write("er", 2);
    }
    EXPECT_EQ(Contents(path), "newer");
    {
        // Write without create changes bytes in place.
        CFile f(path.c_str(), CFile::modeWrite);
        f.Write("N", 1);
    }
    EXPECT_EQ(Contents(path), "Newer");
}

TEST_F(FileTest, ReadSeekLengthAndPosition)
{
    const std::string path = PathOf("b.bin");
    Put(path, "0123456789");
    CFile f(path.c_str(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary);
    EXPECT_EQ(f.GetLength(), 10u);
    EXPECT_EQ(f.GetFilePath().str(), path);
    EXPECT_EQ(f.GetFileName(), "b.bin");
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(f.GetPosition(), 4u);
    EXPECT_EQ(f.Seek(-2, CFile::end), 8u);
    EXPECT_EQ(f.Read(buf, 16), 2u);
    EXPECT_EQ(std::string(buf, 2), "89");
    EXPECT_EQ(f.Read(buf, 16), 0u);
    EXPECT_EQ(f.Seek(3, CFile::begin), 3u);
    EXPECT_EQ(f.Seek(2, CFile::current), 5u);
    EXPECT_THROW(f.Seek(-100, CFile::current), CFileException);
    // A read-only file refuses writes.
    EXPECT_THROW(f.Write("x", 1), CFileException);
    f.Close();
    EXPECT_FALSE(f.IsOpen());
    EXPECT_THROW(f.Read(buf, 1), CFileException);
}

TEST_F(FileTest, ReadWriteAndSetLength)
{
    const std::string path = PathOf("c.bin");
    CFile f(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    f.Write("abcdef", 6);
    f.SetLength(3);
    EXPECT_EQ(f.GetLength(), 3u);
    f.SeekToBegin();
    char buf[8] = {};
    EXPECT_EQ(f.Read(buf, 8), 3u);
    EXPECT_EQ(std::string(buf, 3), "abc");
    f.Flush();
}

TEST_F(FileTest, OpenFailuresReportTheCause)
{
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(PathOf("missing.bin").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_strFileName.str(), PathOf("missing.bin"));
    char message[256];
    EXPECT_TRUE(e.GetErrorMessage(message, sizeof message));
    EXPECT_NE(std::string(message).find("missing.bin"), std::string::npos);

    EXPECT_FALSE(f.Open(PathOf("no/such/dir/x.bin").c_str(), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);

    EXPECT_FALSE(f.Open(dir.c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);

    EXPECT_FALSE(f.Open("", CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);

    EXPECT_THROW(CFile(PathOf("missing.bin").c_str(), CFile::modeRead), CFileException);
}

// A FIFO, a device or a socket is refused at once, in every mode: opening a FIFO with no other end
// would otherwise wait for ever (the child is stopped after a while, which only a regression meets).
TEST_F(FileTest, OnlyRegularFilesOpen)
{
    const std::string fifo = PathOf("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const child_process::Result r = child_process::Run([&] {
        ::alarm(20);
        int refused = 0;
        for (UINT mode : {UINT(CFile::modeRead), UINT(CFile::modeWrite), UINT(CFile::modeReadWrite),
                          UINT(CFile::modeCreate | CFile::modeWrite)}) {
            for (const char* path : {fifo.c_str(), "/dev/null", "/dev/zero"}) {
                CFile f;
                CFileException e;
                if (!f.Open(path, mode, &e) &&
                    e.GetErrorMessage() == CString("'" + std::string(path) + "' is not a regular file."))
                    ++refused;
            }
        }
        return std::to_string(refused);
    });
    ASSERT_TRUE(r.exited) << "the open blocked";
    EXPECT_EQ(r.output, "12");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A regular file still reads and writes in blocking mode.
    Put(PathOf("plain.bin"), "abc");
    CFile f(PathOf("plain.bin").c_str(), CFile::modeReadWrite);
    EXPECT_EQ(::fcntl(f.GetHandle(), F_GETFL) & O_NONBLOCK, 0);
}

TEST_F(FileTest, BackslashesSeparateFolders)
{
    fs::create_directories(dir / "html");
    Put(PathOf("html/index.lst"), "x");
    // The folder ends with a backslash and another comes before the name, as the program builds it.
    const std::string path = dir.string() + "\\html\\\\index.lst";
    CFile f(path.c_str(), CFile::modeRead);
    EXPECT_EQ(f.GetLength(), 1u);
    EXPECT_EQ(f.GetFilePath().str(), path);
    EXPECT_EQ(f.GetFileName(), "index.lst");
}

TEST(FileExceptionTest, OsErrorsMapToCauses)
{
    EXPECT_EQ(CFileException::OsErrorToException(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::OsErrorToException(EACCES), CFileException::accessDenied);
    EXPECT_EQ(CFileException::OsErrorToException(ENOSPC), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToException(EMFILE), CFileException::tooManyOpenFiles);
    EXPECT_EQ(CFileException::OsErrorToException(0), CFileException::none);
    EXPECT_NO_THROW(CFileException::ThrowOsError(0, "x"));
    try {
        CFileException::ThrowOsError(EACCES, "secret.txt");
        FAIL() << "no exception";
    } catch (const CException& e) { // caught as the base class
        const auto& fe = dynamic_cast<const CFileException&>(e);
        EXPECT_EQ(fe.m_cause, CFileException::accessDenied);
        EXPECT_EQ(fe.m_lOsError, EACCES);
        // Messages are cut to the buffer and terminated.
        char small[6];
        EXPECT_TRUE(e.GetErrorMessage(small, sizeof small));
        EXPECT_EQ(std::string(small), e.GetErrorMessage().Left(5).str());
    }
}

TEST(MemFileTest, GrowsReadsAndSeeks)
{
    CMemFile f(16);
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data += char('A' + i % 26);
    f.Write(data.data(), UINT(data.size()));
    EXPECT_EQ(f.GetLength(), 1000u);
    EXPECT_EQ(f.GetPosition(), 1000u);
    f.SeekToBegin();
    std::string back(1000, '\0');
    EXPECT_EQ(f.Read(back.data(), 2000), 1000u);
    EXPECT_EQ(back, data);
    // Writing after a seek past the end leaves zeros in the gap.
    f.Seek(1004, CFile::begin);
    f.Write("Z", 1);
    EXPECT_EQ(f.GetLength(), 1005u);
    f.Seek(1000, CFile::begin);
    char gap[5];
    EXPECT_EQ(f.Read(gap, 5), 5u);
    EXPECT_EQ(std::string(gap, 5), std::string("\0\0\0\0Z", 5));
    EXPECT_THROW(f.Seek(-1, CFile::begin), CFileException);
    BYTE* buffer = f.Detach();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "ABC");
    std::free(buffer);
    EXPECT_EQ(f.GetLength(), 0u);
}

TEST(MemFileTest, AttachedBufferNeverGrows)
{
    BYTE buffer[4] = {1, 2, 3, 4};
    CMemFile f(buffer, 4);
    EXPECT_EQ(f.GetLength(), 4u);
    BYTE b[4] = {};
    EXPECT_EQ(f.Read(b, 4), 4u);
    EXPECT_EQ(b[3], 4);
    f.Seek(2, CFile::begin);
    f.Write("\x09\x08", 2);
    EXPECT_EQ(buffer[2], 9);
    EXPECT_THROW(f.Write("x", 1), CMemoryException);
    EXPECT_EQ(f.Detach(), buffer);
}

TEST_F(FileTest, StdioReadsLinesWithEitherEnding)
{
    const std::string path = PathOf("index.lst");
    Put(path, "# comment\r\nfirst|line\n\nlast without ending");
    CStdioFile f(path.c_str(), CFile::modeRead | CFile::typeText);
    CString line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "# comment");
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "first|line");
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "last without ending");
    EXPECT_FALSE(f.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());

    // The buffer form keeps the line feed and cuts long lines.
    f.SeekToBegin();
    char buf[6];
    EXPECT_STREQ(f.ReadString(buf, sizeof buf), "# com");
    EXPECT_STREQ(f.ReadString(buf, sizeof buf), "ment\n");
}

TEST_F(FileTest, StdioBinaryModeKeepsCarriageReturns)
{
    const std::string path = PathOf("crlf.txt");
    Put(path, "a\r\nb");
    CStdioFile f(path.c_str(), CFile::modeRead | CFile::typeBinary);
    CString line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "a\r");
}

TEST_F(FileTest, StdioWritesAndReadsBack)
{
    const std::string path = PathOf("out.txt");
    {
        CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        f.WriteString("one\n");
        f.WriteString("two\n");
        f.Write("3", 1);
        EXPECT_EQ(f.GetLength(), 9u);
        f.Close();
    }
    EXPECT_EQ(Contents(path), "one\ntwo\n3");
    CStdioFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(PathOf("absent.txt").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
    char raw[4] = {};
    EXPECT_EQ(f.Read(raw, 3), 3u);
    EXPECT_EQ(std::string(raw, 3), "one");
    EXPECT_EQ(f.GetPosition(), 3u);
    CString rest;
    f.ReadString(rest);
    EXPECT_EQ(rest, "");
    f.ReadString(rest);
    EXPECT_EQ(rest, "two");
}
