#include "platform/core/Profile.h"
#include "platform/core/RecentFileList.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Each test gets its own configuration folder and a profile named as the program names it.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/vantrel_profileXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadOld = old != nullptr;
        if (old)
            oldValue = old;
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        profile.SetRegistryKey("Quillmont");
        profile.SetAppName("FREEQuillmont");
    }
    void TearDown() override
    {
        if (hadOld)
            setenv("XDG_CONFIG_HOME", oldValue.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(dir);
    }

    std::string IniText() const
    {
        std::ifstream in(profile.GetProfilePath().str());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Moves the settings file to a folder it has never been read from, so that what follows reads what
    // the file holds rather than what this process wrote (the settings library caches files by path).
    void Reload()
    {
        const fs::path from = profile.GetProfilePath().str();
        const fs::path config = dir / ("copy" + std::to_string(++copies));
        fs::create_directories(config / "Quillmont");
        fs::copy_file(from, config / "Quillmont" / "FREEQuillmont.ini");
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }

    fs::path dir;
    int copies = 0;
    bool hadOld = false;
    std::string oldValue;
    CProfile profile;
};

} // namespace

TEST_F(ProfileTest, FileLivesUnderTheRegistryKeyAndAppName)
{
    EXPECT_EQ(profile.GetProfilePath().str(), (dir / "Quillmont" / "FREEQuillmont.ini").string());
    EXPECT_TRUE(profile.WriteProfileInt("size", "cellx", 12));
    EXPECT_TRUE(fs::exists(dir / "Quillmont" / "FREEQuillmont.ini"));
    const std::string text = IniText();
    EXPECT_NE(text.find("[size]"), std::string::npos);
    EXPECT_NE(text.find("cellx=12"), std::string::npos);
}

TEST_F(ProfileTest, MissingEntriesGiveTheDefaults)
{
    EXPECT_EQ(profile.GetProfileInt("size", "celly", 10), 10u);
    EXPECT_EQ(int(profile.GetProfileInt("size", "y_offset", -3)), -3);
    EXPECT_EQ(profile.GetProfileString("install", "path", "/opt/q\\"), "/opt/q\\");
    EXPECT_EQ(profile.GetProfileString("Ads", "LastAd"), "");
    std::vector<BYTE> data{1};
    EXPECT_FALSE(profile.GetProfileBinary("FONT", "CF", data));
    EXPECT_TRUE(data.empty());
    BYTE* raw = reinterpret_cast<BYTE*>(1);
    UINT n = 5;
    EXPECT_FALSE(profile.GetProfileBinary("FONT", "LF", &raw, &n));
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(n, 0u);
}

TEST_F(ProfileTest, IntsRoundTripWithoutDrift)
{
    const int values[] = {0, 1, -1, 746, 9499, -2147483647 - 1, 2147483647};
    for (int v : values)
        ASSERT_TRUE(profile.WriteProfileInt("size", ("v" + std::to_string(v)).c_str(), v));
    Reload();
    for (int v : values)
        EXPECT_EQ(int(profile.GetProfileInt("size", ("v" + std::to_string(v)).c_str(), 99)), v);
    // Read back from the file and written again, a value stays the same.
    for (int round = 0; round < 3; ++round) {
        const int v = int(profile.GetProfileInt("size", "v-1", 0));
        profile.WriteProfileInt("size", "v-1", v);
        Reload();
    }
    EXPECT_EQ(int(profile.GetProfileInt("size", "v-1", 0)), -1);
    EXPECT_NE(IniText().find("v-1=-1"), std::string::npos);
}

TEST_F(ProfileTest, StringsRoundTripWithoutDrift)
{
    const std::string values[] = {
        "",
        "plain",
        "a, b, c",
        "k=v",
        "  leading and trailing  ",
        "C:\\Program Files\\Quillmont\\",
        "\"quoted\"",
        "@ByteArray(not binary)",
        "semi;colon #hash",
        "line\nbreak\ttab",
        "12",
        "-5",
        std::string("\xE9\xFF\x01 eight-bit", 13),
        "[not a group]",
    };
    int i = 0;
    for (const std::string& v : values)
        ASSERT_TRUE(profile.WriteProfileString("Settings", ("s" + std::to_string(i++)).c_str(), v.c_str()));
    for (int round = 0; round < 2; ++round) {
        Reload();
        i = 0;
        for (const std::string& v : values) {
            const std::string entry = "s" + std::to_string(i++);
            const CString back = profile.GetProfileString("Settings", entry.c_str(), "default");
            EXPECT_EQ(back.str(), v) << entry;
            profile.WriteProfileString("Settings", entry.c_str(), back);
        }
    }
    Reload();
    // A string holding a number reads as that number; other text does not.
    EXPECT_EQ(profile.GetProfileInt("Settings", "s10", 0), 12u);
    EXPECT_EQ(int(profile.GetProfileInt("Settings", "s11", 0)), -5);
    EXPECT_EQ(profile.GetProfileInt("Settings", "s1", 77), 77u);
    // An int entry reads as its text.
    profile.WriteProfileInt("Settings", "n", -42);
    Reload();
    EXPECT_EQ(profile.GetProfileString("Settings", "n"), "-42");
}

TEST_F(ProfileTest, BinariesKeepEveryByteAndTheirKind)
{
    std::vector<BYTE> block(60);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = BYTE(i * 37);
    block[5] = 0;
    block[6] = '\n';
    block[7] = '=';
    ASSERT_TRUE(profile.WriteProfileBinary("FONT", "CF", block.data(), UINT(block.size())));
    ASSERT_TRUE(profile.WriteProfileBinary("FONT", "Empty", nullptr, 0));
    Reload();
    std::vector<BYTE> back;
    ASSERT_TRUE(profile.GetProfileBinary("FONT", "CF", back));
    EXPECT_EQ(back, block);
    BYTE* raw = nullptr;
    UINT n = 0;
    ASSERT_TRUE(profile.GetProfileBinary("FONT", "CF", &raw, &n));
    ASSERT_EQ(n, 60u);
    EXPECT_TRUE(std::equal(raw, raw + n, block.begin()));
    delete[] raw;
    ASSERT_TRUE(profile.GetProfileBinary("FONT", "Empty", back));
    EXPECT_TRUE(back.empty());

    // Kinds do not mix: a binary is no string or int, and a string is no binary.
    EXPECT_EQ(profile.GetProfileString("FONT", "CF", "dflt"), "dflt");
    EXPECT_EQ(profile.GetProfileInt("FONT", "CF", 3), 3u);
    profile.WriteProfileString("FONT", "LF", "text");
    profile.WriteProfileString("FONT", "Digits", "60");
    Reload();
    EXPECT_FALSE(profile.GetProfileBinary("FONT", "Digits", back));
    EXPECT_FALSE(profile.GetProfileBinary("FONT", "LF", back));
}

TEST_F(ProfileTest, SectionAndEntryNamesArePreserved)
{
    profile.WriteProfileString("Recent File List", "File1", "/home/u/a.mze");
    profile.WriteProfileString("Recent File List", "File2", "/home/u/b.mze");
    profile.WriteProfileInt("PROB", "NE", 1);
    profile.WriteProfileInt("size", "Fittopage", 0);
    profile.WriteProfileInt("size", "fittopage", 1);
    EXPECT_EQ(profile.GetProfileString("Recent File List", "File2"), "/home/u/b.mze");
    EXPECT_EQ(profile.GetProfileInt("PROB", "NE", 0), 1u);
    EXPECT_EQ(profile.GetProfileInt("size", "Fittopage", 5), 0u);
    EXPECT_EQ(profile.GetProfileInt("size", "fittopage", 5), 1u);
    Reload();
    EXPECT_EQ(profile.GetProfileString("Recent File List", "File1"), "/home/u/a.mze");
    EXPECT_EQ(profile.GetProfileInt("size", "Fittopage", 5), 0u);

    // The file is an ordinary INI file with one group per section.
    QSettings ini(QString::fromStdString(profile.GetProfilePath().str()), QSettings::IniFormat);
    EXPECT_EQ(ini.childGroups(), (QStringList{"PROB", "Recent File List", "size"}));
    ini.beginGroup("Recent File List");
    EXPECT_EQ(ini.childKeys(), (QStringList{"File1", "File2"}));
}

TEST_F(ProfileTest, NullValuesRemoveEntriesAndSections)
{
    profile.WriteProfileString("Ads", "LastAd", "code7");
    profile.WriteProfileString("Ads", "Other", "x");
    profile.WriteProfileString("Ads", "LastAd", nullptr);
    EXPECT_EQ(profile.GetProfileString("Ads", "LastAd", "NoLastCode"), "NoLastCode");
    EXPECT_EQ(profile.GetProfileString("Ads", "Other"), "x");
    profile.WriteProfileString("Ads", nullptr, nullptr);
    EXPECT_EQ(profile.GetProfileString("Ads", "Other", "gone"), "gone");
    EXPECT_FALSE(profile.WriteProfileInt("", "x", 1));
    EXPECT_FALSE(profile.WriteProfileInt("size", "", 1));
}

TEST_F(ProfileTest, UnwritableFileReportsFailure)
{
    // A folder where the file should be cannot be written, even by root.
    fs::create_directories(dir / "Quillmont" / "FREEQuillmont.ini");
    EXPECT_FALSE(profile.WriteProfileInt("size", "x", 1));
    EXPECT_FALSE(profile.WriteProfileString("size", "s", "v"));
    EXPECT_EQ(profile.GetProfileInt("size", "x", 4), 4u);
}

// An apply writes some thirty settings; in a batch they reach the file in one write when the
// outermost batch closes, and reads in between already see them.
TEST_F(ProfileTest, BatchedWritesReachTheFileTogether)
{
    CProfile& app = AfxGetProfile();
    const CString key = app.GetRegistryKey(), name = app.GetAppName();
    app.SetRegistryKey("Quillmont");
    app.SetAppName("FREEQuillmont");
    ASSERT_EQ(app.GetProfilePath(), profile.GetProfilePath());
    ASSERT_TRUE(app.WriteProfileInt("size", "cellx", 5));
    EXPECT_NE(IniText().find("cellx=5"), std::string::npos) << "outside a batch each write reaches the file";
    {
        CProfileBatch outer;
        EXPECT_TRUE(app.WriteProfileInt("size", "cellx", 7));
        EXPECT_TRUE(app.WriteProfileString("size", "TilerID", "stone"));
        {
            CProfileBatch inner;
            EXPECT_TRUE(app.WriteProfileInt("PROB", "N", 3));
            EXPECT_TRUE(app.WriteProfileString("size", "gone", nullptr));
        }
        EXPECT_EQ(app.GetProfileInt("size", "cellx", 0), 7u);
        EXPECT_EQ(app.GetProfileString("size", "TilerID"), "stone");
        EXPECT_EQ(profile.GetProfileInt("PROB", "N", 0), 3u);
        const std::string text = IniText();
        EXPECT_NE(text.find("cellx=5"), std::string::npos);
        EXPECT_EQ(text.find("TilerID"), std::string::npos);
        EXPECT_EQ(text.find("[PROB]"), std::string::npos);
    }
    const std::string text = IniText();
    EXPECT_NE(text.find("cellx=7"), std::string::npos);
    EXPECT_NE(text.find("TilerID=stone"), std::string::npos);
    EXPECT_NE(text.find("N=3"), std::string::npos);
    Reload();
    EXPECT_EQ(profile.GetProfileInt("size", "cellx", 0), 7u);
    EXPECT_EQ(profile.GetProfileString("size", "TilerID"), "stone");
    EXPECT_EQ(profile.GetProfileInt("PROB", "N", 0), 3u);
    // After the batch, writes reach the file one by one again.
    EXPECT_TRUE(app.WriteProfileInt("size", "celly", 9));
    EXPECT_NE(IniText().find("celly=9"), std::string::npos);
    app.SetRegistryKey(key);
    app.SetAppName(name);
}

TEST(ProfileGlobal, OneProfilePerProcess)
{
    AfxGetProfile().SetAppName("FREEQuillmont");
    EXPECT_EQ(&AfxGetProfile(), &AfxGetProfile());
    EXPECT_EQ(AfxGetProfile().GetAppName(), "FREEQuillmont");
}

TEST_F(ProfileTest, RecentFileListKeepsFourMostRecentFirst)
{
    CRecentFileList list(0xE110, "Recent File List", "File%d", 4);
    for (const char* name : {"/m/a.mze", "/m/b.mze", "/m/c.mze", "/m/d.mze", "/m/e.mze"})
        list.Add(name);
    ASSERT_EQ(list.GetSize(), 4);
    EXPECT_EQ(list[0], "/m/e.mze");
    EXPECT_EQ(list[3], "/m/b.mze"); // a dropped off
    list.Add("/m/c.mze");           // moves up, nothing lost
    EXPECT_EQ(list[0], "/m/c.mze");
    EXPECT_EQ(list[1], "/m/e.mze");
    EXPECT_EQ(list[2], "/m/d.mze");
    EXPECT_EQ(list[3], "/m/b.mze");
    list.Remove(1);
    EXPECT_EQ(list[1], "/m/d.mze");
    EXPECT_TRUE(list[3].IsEmpty());

    profile.WriteProfileString("Recent File List", "File4", "stale");
    list.WriteList(profile);
    Reload();
    EXPECT_EQ(profile.GetProfileString("Recent File List", "File1"), "/m/c.mze");
    EXPECT_EQ(profile.GetProfileString("Recent File List", "File3"), "/m/b.mze");
    EXPECT_EQ(profile.GetProfileString("Recent File List", "File4", "none"), "none");

    CRecentFileList read(0xE110, "Recent File List", "File%d", 4);
    read.ReadList(profile);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(read[i], list[i]) << i;
}

TEST(RecentFileList, RelativeNamesBecomeAbsolute)
{
    CRecentFileList list(0, "Recent File List", "File%d", 4);
    list.Add("maze.mze");
    EXPECT_EQ(list[0].str(), (std::filesystem::current_path() / "maze.mze").string());
}
