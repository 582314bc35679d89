#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CStringTest, ConstructAndCompare)
{
    CString a("abc"), b('x', 3), c("hello", 4), empty, fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(a.GetLength(), 3);
    EXPECT_STREQ(b, "xxx");
    EXPECT_STREQ(c.GetString(), "hell");
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(fromNull.IsEmpty());
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE("abc" == a);
    EXPECT_TRUE(a != "abd");
    EXPECT_TRUE(a < CString("abd"));
    EXPECT_TRUE(a < "b");
    EXPECT_EQ(a.Compare("abc"), 0);
    EXPECT_LT(a.Compare("abd"), 0);
    EXPECT_EQ(CString("HeLLo").CompareNoCase("hello"), 0);
    EXPECT_EQ(a.GetAt(1), 'b');
    EXPECT_EQ(a[2], 'c');
    a.SetAt(0, 'z');
    EXPECT_STREQ(a, "zbc");
    a.Empty();
    EXPECT_EQ(a.GetLength(), 0);
}

TEST(CStringTest, ConcatenateAndFormat)
{
    CString s = CString("ab") + "cd" + 'e';
    s += "fg";
    s += CString("h");
    s += 'i';
    EXPECT_STREQ(s, "abcdefghi");
    EXPECT_STREQ("x" + CString("y"), "xy");
    CString f;
    f.Format("ERROR: Could not open %s for reading, %d", "a.mze", 42);
    EXPECT_STREQ(f, "ERROR: Could not open a.mze for reading, 42");
    f.Format("%05.1f|%c", 3.14159, 'q');
    EXPECT_STREQ(f, "003.1|q");
    f.AppendFormat("%d", 7);
    EXPECT_STREQ(f, "003.1|q7");
    CString longText;
    longText.Format("%s", std::string(5000, 'w').c_str());
    EXPECT_EQ(longText.GetLength(), 5000);
}

TEST(CStringTest, SubstringsAndSearch)
{
    CString s("Hello, World");
    EXPECT_STREQ(s.Left(5), "Hello");
    EXPECT_STREQ(s.Left(100), "Hello, World");
    EXPECT_STREQ(s.Left(-1), "");
    EXPECT_STREQ(s.Right(5), "World");
    EXPECT_STREQ(s.Mid(7), "World");
    EXPECT_STREQ(s.Mid(7, 2), "Wo");
    EXPECT_STREQ(s.Mid(50, 2), "");
    EXPECT_EQ(s.Find('o'), 4);
    EXPECT_EQ(s.Find('o', 5), 8);
    EXPECT_EQ(s.Find('q'), -1);
    EXPECT_EQ(s.Find("World"), 7);
    EXPECT_EQ(s.Find("o", 9), -1);
    EXPECT_EQ(s.ReverseFind('o'), 8);
    EXPECT_EQ(s.ReverseFind('#'), -1);
}

TEST(CStringTest, CaseTrimReplace)
{
    CString s("  MiXed Case \t\n");
    s.Trim();
    EXPECT_STREQ(s, "MiXed Case");
    EXPECT_STREQ(CString(s).MakeUpper(), "MIXED CASE");
    EXPECT_STREQ(CString(s).MakeLower(), "mixed case");
    CString t("xxabcxx");
    t.TrimLeft('x');
    EXPECT_STREQ(t, "abcxx");
    t.TrimRight("xc");
    EXPECT_STREQ(t, "ab");
    CString blanks("   ");
    blanks.TrimRight();
    EXPECT_TRUE(blanks.IsEmpty());

    CString r("a\\b\\c");
    EXPECT_EQ(r.Replace('\\', '/'), 2);
    EXPECT_STREQ(r, "a/b/c");
    CString w("one two one");
    EXPECT_EQ(w.Replace("one", "three"), 2);
    EXPECT_STREQ(w, "three two three");
    EXPECT_EQ(w.Replace("", "x"), 0);
    EXPECT_EQ(w.Replace("three ", ""), 1);
    EXPECT_STREQ(w, "two three");
}

TEST(CStringTest, Buffer)
{
    CString s("abc");
    char* p = s.GetBuffer(10);
    std::strcpy(p, "longer");
    s.ReleaseBuffer();
    EXPECT_STREQ(s, "longer");
    EXPECT_EQ(s.GetLength(), 6);
    p = s.GetBuffer(0);
    p[0] = 'L';
    s.ReleaseBuffer(3);
    EXPECT_STREQ(s, "Lon");
}
