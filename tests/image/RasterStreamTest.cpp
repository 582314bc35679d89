// The byte streams over memory and C runtime files.
#include "image/CRasterIOFile.h"
#include "image/CRasterMemFile.h"
#include "image/CheckedMath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

TEST(RasterMemFile, GrowsInPagesAndHandsOverItsBuffer)
{
    CRasterMemFile f;
    ASSERT_TRUE(f.Open());
    EXPECT_FALSE(f.Open()); // a buffer already exists
    EXPECT_EQ(f.Capacity(), 0u);
    const char ten[] = "0123456789";
    EXPECT_EQ(f.Write(ten, 1, 10), 10u);
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(f.Tell(), 10);
    EXPECT_EQ(f.Capacity(), 4096u);
    BYTE* block = f.GetBuffer(true);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, ten, 10), 0);
    EXPECT_TRUE(f.Close());
    block[4095] = 1; // still ours: a 4096-byte heap block the stream no longer frees
    std::free(block);
}

TEST(RasterMemFile, CapacityIsNextMultipleOf4096)
{
    const std::pair<DWORD, DWORD> cases[] = {{1, 4096}, {4095, 4096}, {4096, 8192}, {5000, 8192}, {8193, 12288}};
    for (auto [n, cap] : cases) {
        CRasterMemFile f;
        f.Open();
        std::vector<BYTE> data(n, 7);
        EXPECT_EQ(f.Write(data.data(), n, 1), 1u);
        EXPECT_EQ(f.Capacity(), cap) << n;
    }
}

TEST(RasterMemFile, ReadSeekEofError)
{
    CRasterMemFile f;
    f.Open();
    BYTE data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    f.Write(data, 1, 10);
    ASSERT_TRUE(f.Seek(0, SEEK_SET));
    BYTE out[12] = {};
    // 3 items of 4 bytes with 10 left: 10 bytes copied, 2 whole items.
    EXPECT_EQ(f.Read(out, 4, 3), 2u);
    EXPECT_EQ(out[9], 10);
    EXPECT_EQ(f.Tell(), 10);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.GetC(), -1);

    EXPECT_TRUE(f.Seek(-5, SEEK_SET));
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.GetC(), 1);
    EXPECT_TRUE(f.Seek(-2, SEEK_END));
    EXPECT_EQ(f.GetC(), 9);
    EXPECT_TRUE(f.Seek(-1, SEEK_CUR));
    EXPECT_EQ(f.GetC(), 9);
    EXPECT_FALSE(f.Seek(0, 7));

    EXPECT_TRUE(f.Seek(100, SEEK_SET));
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), 1);
    EXPECT_EQ(f.Read(out, 1, 1), 0u);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Write(data, 1, 3), 3u);
    EXPECT_EQ(f.Size(), 103);
    EXPECT_EQ(f.Error(), 0);
    // The gap is zeroed memory, not heap garbage.
    f.Seek(50, SEEK_SET);
    EXPECT_EQ(f.GetC(), 0);

    EXPECT_EQ(f.Read(nullptr, 1, 1), 0u);
    f.Seek(0, SEEK_SET);
    EXPECT_EQ(f.Read(out, 0, 5), 0u);
    // A size x count that overflows 32 bits is not a small read or write.
    EXPECT_EQ(f.Write(data, 0x10000, 0x10001), 0u);
    EXPECT_TRUE(f.PutC(0xAB));
    f.Seek(0, SEEK_SET);
    EXPECT_EQ(f.GetC(), 0xAB);
}

TEST(RasterMemFile, CallerBufferIsReadInPlaceAndLeftAlone)
{
    std::vector<BYTE> buffer(1000);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = BYTE(i);
    {
        CRasterMemFile f(buffer.data(), 1000);
        EXPECT_EQ(f.Size(), 1000);
        EXPECT_EQ(f.Capacity(), 1000u);
        f.Seek(999, SEEK_SET);
        EXPECT_EQ(f.GetC(), 999 & 0xFF);
        // Not ours: no growing, no writing into the caller's (possibly read-only) memory.
        f.Seek(0, SEEK_SET);
        EXPECT_EQ(f.Write("x", 1, 1), 0u);
        EXPECT_FALSE(f.PutC(1));
        f.Seek(1000, SEEK_SET);
        EXPECT_EQ(f.Write("x", 1, 1), 0u);
        EXPECT_EQ(f.GetBuffer(false), buffer.data());
        EXPECT_TRUE(f.Close());
    } // destruction must not free the vector's memory (ASan would report it)
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 1);
}

TEST(RasterMemFile, WithoutBuffer)
{
    CRasterMemFile f;
    BYTE b;
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Error(), -1);
    EXPECT_TRUE(f.Eof());
    EXPECT_FALSE(f.Flush());
    EXPECT_FALSE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.Read(&b, 1, 1), 0u);
    EXPECT_EQ(f.Write(&b, 1, 1), 0u);
    EXPECT_FALSE(f.PutC(1));
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.Close());
    // A detached buffer is the caller's: later writes do not touch it.
    CRasterMemFile g;
    g.Open();
    g.Write("abc", 1, 3);
    BYTE* mine = g.GetBuffer(true);
    EXPECT_EQ(g.Write("def", 1, 3), 0u);
    EXPECT_EQ(mine[0], 'a');
    std::free(mine);
}

TEST(RasterIOFile, OverCallersHandleAndOwnHandle)
{
    std::FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    {
        CRasterIOFile f(fp);
        EXPECT_EQ(f.Write("hello", 1, 5), 5u);
        EXPECT_TRUE(f.PutC('!'));
        EXPECT_TRUE(f.Seek(2, SEEK_SET));
        EXPECT_EQ(f.Size(), 6);
        EXPECT_EQ(f.Tell(), 2); // Size leaves the position where it was
        EXPECT_EQ(f.GetC(), 'l');
        char buf[8] = {};
        EXPECT_EQ(f.Read(buf, 1, 8), 3u);
        EXPECT_STREQ(buf, "lo!");
        EXPECT_TRUE(f.Eof());
        EXPECT_EQ(f.GetC(), -1);
        EXPECT_EQ(f.Error(), 0);
        EXPECT_TRUE(f.Flush());
        EXPECT_TRUE(f.Close()); // not owned: nothing happens
    }
    // The caller's handle is still open.
    EXPECT_EQ(std::fseek(fp, 0, SEEK_SET), 0);
    EXPECT_EQ(std::fgetc(fp), 'h');
    std::fclose(fp);

    CRasterIOFile none;
    char c;
    EXPECT_EQ(none.Read(&c, 1, 1), 0u);
    EXPECT_EQ(none.Write(&c, 1, 1), 0u);
    EXPECT_FALSE(none.Seek(0, SEEK_SET));
    EXPECT_EQ(none.Tell(), 0);
    EXPECT_EQ(none.Size(), -1);
    EXPECT_FALSE(none.Flush());
    EXPECT_TRUE(none.Eof());
    EXPECT_EQ(none.Error(), -1);
    EXPECT_FALSE(none.PutC('x'));
    EXPECT_EQ(none.GetC(), -1);
    EXPECT_TRUE(none.Close());
    EXPECT_FALSE(none.Open("/nonexistent/dir/file", "rb"));
}

TEST(RasterChecked, ArithmeticAndCursor)
{
    DWORD d = 5;
    EXPECT_FALSE(raster::CheckedMul(0x10000u, 0x10000u, d));
    EXPECT_EQ(d, 5u);
    EXPECT_TRUE(raster::CheckedMul(0x1000u, 0x1000u, d));
    EXPECT_EQ(d, 0x1000000u);
    EXPECT_FALSE(raster::CheckedAdd(0xFFFFFFFFu, 1u, d));
    EXPECT_EQ(raster::DibStride(3, 1), 4u);
    EXPECT_EQ(raster::DibStride(0xFFFFFFFFu, 24), ((0xFFFFFFFFull * 24 + 31) / 32) * 4);
    EXPECT_EQ(raster::DibDataSize(24, 3, -2), -24);
    EXPECT_EQ(raster::DibDataSize(0xFFFF, 0x7FFFFFFF, 0x7FFFFFFF), INT64_MAX);

    const BYTE bytes[] = {1, 2, 3};
    raster::ByteCursor c(bytes, 3);
    EXPECT_EQ(c.u16le(), 0x0201);
    EXPECT_TRUE(c.ok());
    EXPECT_EQ(c.u16le(), 3); // the missing byte reads as zero
    EXPECT_FALSE(c.ok());
    BYTE out[4] = {9, 9, 9, 9};
    raster::ByteCursor d2(bytes, 3);
    d2.skip(1);
    d2.bytes(out, 4);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[2], 0);
    EXPECT_FALSE(d2.ok());

    CRasterMemFile f(bytes, 3);
    WORD w = 0;
    DWORD dw = 0;
    EXPECT_TRUE(raster::ReadU16LE(f, w));
    EXPECT_EQ(w, 0x0201);
    EXPECT_FALSE(raster::ReadU32LE(f, dw));
}
