#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CMemFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Store(const std::function<void(CArchive&)>& write, int bufSize = 4096)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, bufSize);
        write(ar);
        ar.Close();
    }
    const auto length = std::size_t(file.GetLength());
    BYTE* data = file.Detach();
    Bytes bytes(data, data + length);
    std::free(data);
    return bytes;
}

// A loading archive over a copy of the bytes.
struct Loader {
    explicit Loader(Bytes bytes, int bufSize = 4096)
        : data(std::move(bytes)), file(data.data(), UINT(data.size())), ar(&file, CArchive::load, bufSize)
    {
    }
    Bytes data;
    CMemFile file;
    CArchive ar;
};

Bytes Le(std::uint64_t value, int n)
{
    Bytes out;
    for (int i = 0; i < n; ++i)
        out.push_back(BYTE(value >> (8 * i)));
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::string Text(std::size_t n)
{
    std::string s(n, 'a');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = char('a' + i % 26);
    return s;
}

} // namespace

TEST(Archive, ScalarsAreLittleEndianWithFixedWidths)
{
    const Bytes bytes = Store([](CArchive& ar) {
        ar << BYTE(0xAB) << WORD(0x1234) << short(-2) << int(-1) << LONG(0x01020304) << DWORD(0xA1B2C3D4)
           << UINT(7) << true << false << 1.0f << 1.0;
    });
    const Bytes expected = Cat({{0xAB},
                                {0x34, 0x12},
                                {0xFE, 0xFF},
                                {0xFF, 0xFF, 0xFF, 0xFF},
                                {0x04, 0x03, 0x02, 0x01},
                                {0xD4, 0xC3, 0xB2, 0xA1},
                                {7, 0, 0, 0},
                                {1},
                                {0},
                                Le(0x3F800000, 4),
                                Le(0x3FF0000000000000ull, 8)});
    EXPECT_EQ(bytes, expected);

    Loader in(bytes);
    BYTE by = 0;
    WORD w = 0;
    short s = 0;
    int i = 0;
    LONG l = 0;
    DWORD dw = 0;
    UINT u = 0;
    bool t = false, f = true;
    float fl = 0;
    double d = 0;
    in.ar >> by >> w >> s >> i >> l >> dw >> u >> t >> f >> fl >> d;
    EXPECT_EQ(by, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(i, -1);
    EXPECT_EQ(l, 0x01020304);
    EXPECT_EQ(dw, 0xA1B2C3D4u);
    EXPECT_EQ(u, 7u);
    EXPECT_TRUE(t);
    EXPECT_FALSE(f);
    EXPECT_EQ(fl, 1.0f);
    EXPECT_EQ(d, 1.0);
    EXPECT_EQ(in.ar.GetBytesLeft(), 0u);
}

TEST(Archive, DoublesKeepEveryBit)
{
    const double values[] = {2.0, -0.5, 0.1, 1e300, -0.0, 5e-324};
    const Bytes bytes = Store([&](CArchive& ar) {
        for (double v : values)
            ar << v;
    });
    ASSERT_EQ(bytes.size(), 8 * std::size(values));
    // 2.0 is 0x4000000000000000; 0.1 is 0x3FB999999999999A.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), Le(0x4000000000000000ull, 8));
    EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 24), Le(0x3FB999999999999Aull, 8));
    Loader in(bytes);
    for (double v : values) {
        double d = 1;
        in.ar >> d;
        EXPECT_EQ(std::memcmp(&d, &v, 8), 0) << v;
    }
}

TEST(Archive, StringLengthPrefixesAtEveryBoundary)
{
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {1, {0x01}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, Cat({{0xFF, 0xFF, 0xFF}, Le(0xFFFE, 4)})},
        {0xFFFF, Cat({{0xFF, 0xFF, 0xFF}, Le(0xFFFF, 4)})},
        {70000, Cat({{0xFF, 0xFF, 0xFF}, Le(70000, 4)})},
    };
    for (const Case& c : cases) {
        const std::string text = Text(c.length);
        const Bytes bytes = Store([&](CArchive& ar) { ar << CString(text); });
        Bytes expected = c.prefix;
        expected.insert(expected.end(), text.begin(), text.end());
        EXPECT_EQ(bytes, expected) << "length " << c.length;

        Loader in(bytes);
        CString back("stale");
        in.ar >> back;
        EXPECT_EQ(back.str(), text) << "length " << c.length;
        EXPECT_EQ(in.ar.GetBytesLeft(), 0u);
    }
}

TEST(Archive, StringsCarryAnyEightBitCharacter)
{
    const std::string text("MZE\0\xFF\x80 end", 10);
    const Bytes bytes = Store([&](CArchive& ar) { ar << CString(text) << "NONE;"; });
    EXPECT_EQ(bytes, Cat({{10}, Bytes(text.begin(), text.end()), {5, 'N', 'O', 'N', 'E', ';'}}));
    Loader in(bytes);
    CString a, b;
    in.ar >> a >> b;
    EXPECT_EQ(a.str(), text);
    EXPECT_EQ(b, "NONE;");
}

TEST(Archive, ReadingPastTheEndThrows)
{
    const Bytes three = {1, 2, 3};
    {
        Loader in(three);
        int i = 0;
        EXPECT_THROW(in.ar >> i, CArchiveException);
    }
    {
        Loader in(three);
        WORD w = 0;
        BYTE b = 0;
        in.ar >> w >> b;
        EXPECT_EQ(w, 0x0201);
        try {
            in.ar >> b;
            FAIL() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    }
    {
        // Raw reads are short instead.
        Loader in(three);
        BYTE buf[8] = {};
        EXPECT_EQ(in.ar.Read(buf, 8), 3u);
        EXPECT_EQ(in.ar.Read(buf, 8), 0u);
        EXPECT_THROW(in.ar.EnsureRead(buf, 1), CArchiveException);
    }
}

TEST(Archive, BrokenStringsThrowBeforeAllocating)
{
    const Bytes cases[] = {
        {5, 'a', 'b'},                                  // short text
        {0xFF},                                         // prefix cut off
        {0xFF, 0x10},                                   // word cut off
        {0xFF, 0xFF, 0xFF, 0x01, 0x00},                 // long length cut off
        Cat({{0xFF, 0xFF, 0xFF}, Le(0xFFFFFFFE, 4)}),   // 4 GB promised, nothing there
        {0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00},            // wide-character marker
    };
    for (const Bytes& bytes : cases) {
        Loader in(bytes);
        CString s;
        EXPECT_THROW(in.ar >> s, CArchiveException);
    }
}

TEST(Archive, BytesLeftCountsBufferAndFile)
{
    Bytes data(10000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = BYTE(i * 7);
    Loader in(data, 512);
    EXPECT_EQ(in.ar.GetBytesLeft(), 10000u);
    BYTE b = 0;
    in.ar >> b;
    EXPECT_EQ(in.ar.GetBytesLeft(), 9999u);
    Bytes chunk(3000);
    EXPECT_EQ(in.ar.Read(chunk.data(), 3000), 3000u);
    EXPECT_EQ(chunk[0], data[1]);
    EXPECT_EQ(chunk[2999], data[3000]);
    EXPECT_EQ(in.ar.GetBytesLeft(), 6999u);
    in.ar >> b;
    EXPECT_EQ(b, data[3001]);
}

TEST(Archive, SmallBuffersWriteTheSameBytes)
{
    auto write = [](CArchive& ar) {
        for (int i = 0; i < 300; ++i)
            ar << i << CString(Text(std::size_t(i))) << double(i) / 3;
    };
    const Bytes big = Store(write, 4096);
    EXPECT_EQ(Store(write, 1), big);
    Loader in(big, 1);
    for (int i = 0; i < 300; ++i) {
        int n = -1;
        CString s;
        double d = 0;
        in.ar >> n >> s >> d;
        ASSERT_EQ(n, i);
        ASSERT_EQ(s.str(), Text(std::size_t(i)));
        ASSERT_EQ(d, double(i) / 3);
    }
}

TEST(Archive, DirectionIsEnforced)
{
    CMemFile file;
    CArchive store(&file, CArchive::store);
    EXPECT_TRUE(store.IsStoring());
    EXPECT_FALSE(store.IsLoading());
    int i = 0;
    EXPECT_THROW(store >> i, CArchiveException);
    store.Abort();

    Loader in({1, 2, 3, 4});
    EXPECT_TRUE(in.ar.IsLoading());
    EXPECT_THROW(in.ar << 5, CArchiveException);
}

TEST(Archive, AbortWritesNothingAndCloseWritesAll)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << 1 << 2;
        ar.Abort();
    }
    EXPECT_EQ(file.GetLength(), 0u);
    {
        CArchive ar(&file, CArchive::store);
        ar << 1 << 2;
    } // the destructor flushes an archive left open
    EXPECT_EQ(file.GetLength(), 8u);
}

TEST(Archive, WorksOverARealFile)
{
    char path[] = "/tmp/vantrel_io_archiveXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        CArchive ar(&file, CArchive::store, 4096);
        ar << 2.0 << CString("MZE") << 42;
        ar.Close();
        file.Close();
    }
    {
        CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
        EXPECT_EQ(file.GetLength(), 8u + 4u + 4u);
        CArchive ar(&file, CArchive::load, 4096);
        EXPECT_EQ(ar.GetBytesLeft(), 16u);
        double v = 0;
        CString tag;
        int n = 0;
        ar >> v >> tag >> n;
        EXPECT_EQ(v, 2.0);
        EXPECT_EQ(tag, "MZE");
        EXPECT_EQ(n, 42);
        EXPECT_EQ(ar.GetBytesLeft(), 0u);
        BYTE b;
        try {
            ar >> b;
            FAIL() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_strFileName.str(), path);
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        }
    }
    unlink(path);
}
