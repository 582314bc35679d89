// The local page list, the page-title parameters and the web link forms.
#include "online/CAdList.h"
#include "online/GalleryLink.h"
#include "online/PageTitle.h"
#include "online/WebLinkScheme.h"
#include "platform/core/CFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {
std::string Line(int i, const std::string& code, const std::string& type, const std::string& location)
{
    // Fields 1 to 15, with the number, code, type and location in their places.
    return "a|" + std::to_string(i) + "|c|d|e|" + code + "|g|h|i|j|k|" + type + "|" + location + "|n|o";
}

class AdListFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/online-pages-XXXXXX";
        dir = mkdtemp(pattern);
        folder = CString((dir + "/html/").c_str());
        std::filesystem::create_directories(dir + "/html");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void Write(const std::string& text) { std::ofstream(dir + "/html/index.lst", std::ios::binary) << text; }

    std::string dir;
    CString folder;
};
} // namespace

TEST(AdListLine, FieldsSplitAtBars)
{
    CAdList entry;
    ASSERT_TRUE(entry.ParseLine("f1|12abc|f3|f4|f5|CODE6|f7|f8|f9|f10|f11|http|host/page.htm|f14|f15"));
    EXPECT_EQ(entry.number, 12);
    EXPECT_EQ(entry.code, "CODE6");
    EXPECT_EQ(entry.locationType, "HTTP");
    EXPECT_EQ(entry.location, "host/page.htm");
    EXPECT_EQ(entry.Field(1), "f1");
    EXPECT_EQ(entry.Field(15), "f15");

    // Exactly fourteen bars: an empty last field; sixteen: the last two stay in field 15.
    ASSERT_TRUE(entry.ParseLine("||||||||||||||"));
    EXPECT_EQ(entry.Field(15), "");
    EXPECT_EQ(entry.number, 0);
    ASSERT_TRUE(entry.ParseLine("1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17"));
    EXPECT_EQ(entry.Field(15), "15|16|17");
    EXPECT_EQ(entry.Field(14), "14");

    EXPECT_FALSE(CAdList().ParseLine("1|2|3|4|5|6|7|8|9|10|11|12|13|14"));  // thirteen bars
    EXPECT_FALSE(CAdList().ParseLine(""));
    ASSERT_TRUE(entry.ParseLine("x|abc|||||||||||||"));
    EXPECT_EQ(entry.number, 0);
    ASSERT_TRUE(entry.ParseLine("x|-7z|||||||||||||"));
    EXPECT_EQ(entry.number, -7);
    ASSERT_TRUE(entry.ParseLine("x|99999999999|||||||||||||"));
    EXPECT_EQ(entry.number, 2147483647);
}

TEST(AdListLine, LocationsCompletedByType)
{
    const CString folder = "/inst/html\\";
    EXPECT_EQ(CompleteAdLocation(folder, "", "p.htm"), "/inst/html\\p.htm");
    EXPECT_EQ(CompleteAdLocation(folder, "FILE", "p.htm"), "/inst/html\\p.htm");
    EXPECT_EQ(CompleteAdLocation(folder, "FTP", "host/p"), "ftp:\\\\host/p");
    EXPECT_EQ(CompleteAdLocation(folder, "HTTP", "host/page.htm"), "http:\\\\host/page.htm");
    EXPECT_EQ(CompleteAdLocation(folder, "MAILTO", "x@y"), "x@y");

    // Types are upper-cased while parsing: file, File and FILE are the same.
    CAdListArray ads;
    ParseAdListText(folder, CString((Line(1, "A", "file", "a.htm") + "\n" + Line(2, "B", "File", "b.htm")).c_str()),
                    ads);
    ASSERT_EQ(ads.GetSize(), 2);
    EXPECT_EQ(ads[0].location, "/inst/html\\a.htm");
    EXPECT_EQ(ads[1].location, "/inst/html\\b.htm");
}

TEST_F(AdListFolder, TenEntriesLoadAmongCommentsAndShortLines)
{
    std::string text = "# the list\n\n";
    for (int i = 0; i < 10; ++i)
        text += Line(i, "P" + std::to_string(i), i % 2 ? "HTTP" : "", "p" + std::to_string(i) + ".htm") + "\r\n";
    text += "too|few|bars\n#|||||||||||||||||\n";
    Write(text);
    CAdListArray ads;
    int added = -1;
    EXPECT_EQ(ReadAdList(folder, ads, &added), AdListStatus::Ok);
    EXPECT_EQ(added, 10);
    ASSERT_EQ(ads.GetSize(), 10);
    EXPECT_EQ(ads[0].location, folder + "p0.htm");
    EXPECT_EQ(ads[1].location, "http:\\\\p1.htm");
    EXPECT_EQ(ads[9].code, "P9");  // the CR of a CR LF line is not part of field 15

}

TEST_F(AdListFolder, NineEntriesAreTooFewAndAMissingFileCannotBeRead)
{
    std::string text;
    for (int i = 0; i < 9; ++i)
        text += Line(i, "P", "", "p.htm") + "\n";
    Write(text);
    CAdListArray ads;
    int added = -1;
    EXPECT_EQ(ReadAdList(folder, ads, &added), AdListStatus::TooShort);
    EXPECT_EQ(added, 9);
    // Entries of an earlier reading count towards the ten.
    EXPECT_EQ(ReadAdList(folder, ads, &added), AdListStatus::Ok);
    EXPECT_EQ(ads.GetSize(), 18);

    std::filesystem::remove(dir + "/html/index.lst");
    CAdListArray none;
    EXPECT_EQ(ReadAdList(folder, none), AdListStatus::CannotRead);
    EXPECT_EQ(none.GetSize(), 0);
}

TEST(AdListRotation, NextEntryAfterTheLastCode)
{
    CAdListArray ads;
    for (const char* code : {"A", "B", "A", "C"}) {
        CAdList entry;
        entry.code = code;
        ads.Add(entry);
    }
    EXPECT_EQ(NextAdIndex(ads, "NoLastCode"), 0);  // first run
    EXPECT_EQ(NextAdIndex(ads, "gone"), 0);        // a code no longer listed
    EXPECT_EQ(NextAdIndex(ads, "B"), 2);
    EXPECT_EQ(NextAdIndex(ads, "A"), 3);  // the later of two equal codes decides
    EXPECT_EQ(NextAdIndex(ads, "C"), 0);  // after the last entry comes the first
    EXPECT_EQ(NextAdIndex(ads, "a"), 0);  // exact comparison
    EXPECT_EQ(NextAdIndex(CAdListArray(), "A"), -1);
}

TEST(PageTitle, ExampleTitleGivesAllParameters)
{
    CPageTitleParameters p;
    ASSERT_TRUE(ApplyPageTitle("@2#5#80#200#3#10[Welcome]", p));
    EXPECT_EQ(p.titleMode, 2);
    EXPECT_EQ(p.nextAdMs, 300000);
    EXPECT_EQ(p.shownHeight, 80);
    EXPECT_EQ(p.expandedHeight, 200);
    EXPECT_EQ(p.expandDelayMs, 3000);
    EXPECT_EQ(p.collapseDelayMs, 10000);
    EXPECT_EQ(p.titleMessage, "Welcome");
}

TEST(PageTitle, MissingFieldsKeepTheirValuesAndAreScaledAgain)
{
    CPageTitleParameters p;
    ASSERT_TRUE(ApplyPageTitle("@2#1#50#100#0#0[Hi]", p));
    EXPECT_EQ(p.nextAdMs, 60000);
    // Only two numbers: the others keep their values, and the delays are scaled in place again.
    ASSERT_TRUE(ApplyPageTitle("@1#2 no brackets", p));
    EXPECT_EQ(p.titleMode, 1);
    EXPECT_EQ(p.nextAdMs, 120000);
    EXPECT_EQ(p.shownHeight, 50);
    EXPECT_EQ(p.expandedHeight, 100);
    EXPECT_EQ(p.titleMessage, "");
    // Unchanged minutes scaled again overflow 32 bits: clamped to the longest timer interval.
    ASSERT_TRUE(ApplyPageTitle("@1", p));
    EXPECT_EQ(p.nextAdMs, 2147483647);
    ASSERT_TRUE(ApplyPageTitle("@1#x", p));
    EXPECT_EQ(p.nextAdMs, 2147483647);

    // A title without '@' changes nothing, not even the message.
    p.titleMessage = "kept";
    EXPECT_FALSE(ApplyPageTitle("Plain page [x]", p));
    EXPECT_EQ(p.titleMessage, "kept");
    EXPECT_EQ(p.titleMode, 1);
}

TEST(PageTitle, ValuesClampedToTimersAndHeights)
{
    CPageTitleParameters p;
    ASSERT_TRUE(ApplyPageTitle("@2#-5#-80#99999999999#-3#4000000", p));
    EXPECT_EQ(p.nextAdMs, 0);
    EXPECT_EQ(p.shownHeight, 0);
    EXPECT_EQ(p.expandedHeight, 2147483647);
    EXPECT_EQ(p.expandDelayMs, 0);
    EXPECT_EQ(p.collapseDelayMs, 2147483647);
    // Blanks before a number are skipped as the scan does; a blank before '#' ends the scan.
    ASSERT_TRUE(ApplyPageTitle("@ 3# 1 #7", p));
    EXPECT_EQ(p.titleMode, 3);
    EXPECT_EQ(p.nextAdMs, 60000);
    EXPECT_EQ(p.shownHeight, 0);
}

TEST(PageTitle, MessageNeedsABracketPairWithTextBetween)
{
    CPageTitleParameters p;
    ApplyPageTitle("@2[a]b]", p);
    EXPECT_EQ(p.titleMessage, "a");
    ApplyPageTitle("@2[]", p);
    EXPECT_EQ(p.titleMessage, "");
    ApplyPageTitle("@2]x[y", p);
    EXPECT_EQ(p.titleMessage, "");
    ApplyPageTitle("@2[[x]", p);
    EXPECT_EQ(p.titleMessage, "[x");
    ApplyPageTitle("@2[x", p);
    EXPECT_EQ(p.titleMessage, "");
}

TEST(WebLinks, AddressFormsAndHeaders)
{
    const CString server = GetRedirectServer();
    EXPECT_EQ(RedirectAddressFor("info"), server + "/redir.asp?LOC=info");
    EXPECT_EQ(RedirectAddressFor("MASKS"), server + "/redir.asp?LOC=MASKS&VER=FREE_QL19");
    EXPECT_EQ(RedirectAddressFor("latestversionfree"), server + "/redir.asp?LOC=latestversionfree&VER=FREE_QL19");
    EXPECT_EQ(RedirectAddressFor("templates_v2"), server + "/redir.asp?LOC=templates_v2&VER=FREE_QL19");
    EXPECT_STREQ(USER_AGENT, "QUILLMONT-FREE_QL19");
    EXPECT_STREQ(NAVIGATION_HEADERS, "User-Agent:QUILLMONT-FREE_QL19\r");

    const CString previous = SetRedirectServer("http://127.0.0.1:9");
    EXPECT_EQ(RedirectAddressFor("TILERS"), "http://127.0.0.1:9/redir.asp?LOC=TILERS&VER=FREE_QL19");
    SetRedirectServer(previous);
    EXPECT_EQ(GetRedirectServer(), server);
}

TEST(WebLinks, NewerVersionAnswers)
{
    EXPECT_FALSE(IsNewerVersionAnswer("FREE_QL19"));
    EXPECT_FALSE(IsNewerVersionAnswer("FREE_QL1"));
    EXPECT_FALSE(IsNewerVersionAnswer("FREE_"));
    EXPECT_FALSE(IsNewerVersionAnswer(""));
    EXPECT_TRUE(IsNewerVersionAnswer("FREE_QL19\r\n"));
    EXPECT_TRUE(IsNewerVersionAnswer("FREE_QL20"));
    EXPECT_TRUE(IsNewerVersionAnswer("free_ql19"));
    EXPECT_TRUE(IsNewerVersionAnswer(CString("FREE\0QL19", 9)));
}

TEST(GalleryLinks, KindsAndDownloadAddresses)
{
    GalleryLink link = ParseGalleryLink("mzMASK://server/path/name.gif");
    EXPECT_EQ(link.kind, GalleryLinkKind::Mask);
    EXPECT_EQ(link.downloadAddress, "HTTP://server/path/name.gif");
    EXPECT_EQ(GalleryQuestion(link), "Apply MASK to current maze?");
    // Only the first colon splits; later ones stay in the address.
    link = ParseGalleryLink("mztemplate://server:8080/a:b.mze");
    EXPECT_EQ(link.kind, GalleryLinkKind::Template);
    EXPECT_EQ(link.kindText, "TEMPLATE");
    EXPECT_EQ(link.downloadAddress, "HTTP://server:8080/a:b.mze");
    EXPECT_EQ(GalleryQuestion(link), "Use TEMPLATE as current maze?");
    link = ParseGalleryLink("Mztiler://s/x.txt");
    EXPECT_EQ(link.kind, GalleryLinkKind::Tiler);
    EXPECT_EQ(GalleryQuestion(link), "Download TILER?");

    EXPECT_EQ(ParseGalleryLink("mz://server/x").kind, GalleryLinkKind::Invalid);
    EXPECT_EQ(ParseGalleryLink("mzmask").kind, GalleryLinkKind::Invalid);
    EXPECT_EQ(ParseGalleryLink("mzfoo://x").kind, GalleryLinkKind::Other);
    EXPECT_EQ(GalleryQuestion(ParseGalleryLink("mzfoo://x")), "");
    EXPECT_EQ(ParseGalleryLink("http://mz/x").kind, GalleryLinkKind::None);
    EXPECT_EQ(ParseGalleryLink("m").kind, GalleryLinkKind::None);
}

TEST(AdListInstallation, ShippedPagesLoad)
{
    const CString folder = VANTREL_TEST_DATA "/../../online/html/";
    CAdListArray ads;
    ASSERT_EQ(ReadAdList(folder, ads), AdListStatus::Ok);
    ASSERT_EQ(ads.GetSize(), 10);
    for (int i = 0; i < ads.GetSize(); ++i) {
        SCOPED_TRACE(ads[i].code.GetString());
        EXPECT_TRUE(std::filesystem::exists(std::string(CFile::ToNativePath(ads[i].location))));
        EXPECT_EQ(NextAdIndex(ads, ads[i].code), (i + 1) % 10);
    }
}
