// Files that are refused say which file and why: messages name the file the user chose, and version
// numbers no file can mean are shown as such.
#include "maze/CVantrelDoc.h"
#include "tests/maze/doc_bytes.h"
#include "tests/maze/doc_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using doc_test::DocTest;

// A saved 3 x 3 maze with no style text, layer objects or start points, so the fields lie at known
// places: the version at 0, the x sign at 53, the object count 104 bytes before the end.
std::vector<unsigned char> SmallMazeFile()
{
    CVantrelDoc doc;
    doc.m_nCellsX = 3;
    doc.m_nCellsY = 3;
    doc.OnFileNew();
    doc.OnGenerateMaze();
    doc.m_strStyle.Empty();
    doc.m_startPoints.RemoveAll();
    doc.m_dVersion = 2.0;
    return StoreToBytes([&](CArchive& ar) { doc.Serialize(ar); });
}

template <class T>
std::vector<unsigned char> With(std::vector<unsigned char> bytes, std::size_t at, T value)
{
    std::memcpy(&bytes[at], &value, sizeof value);
    return bytes;
}

TEST_F(DocTest, RefusalsNameTheFile)
{
    const std::vector<unsigned char> good = SmallMazeFile();
    const std::size_t objectsAt = good.size() - 104;
    ASSERT_EQ(std::memcmp(&good[objectsAt], "\0\0\0\0", 4), 0);
    WriteFile(Path("sign.mze"), With(good, 53, 7));
    WriteFile(Path("objects.mze"), With(good, objectsAt, 50000));

    CVantrelDoc doc;
    boxes.clear();
    EXPECT_FALSE(doc.OnOpenDocument(Path("sign.mze").c_str()));
    EXPECT_FALSE(doc.OnOpenDocument(Path("objects.mze").c_str()));
    AnswerDialog(Path("objects.mze"));
    doc.OnFileOpen();
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         "An unexpected error occurred while reading or writing '" + Path("sign.mze") + "'.",
                         "Unexpected end of file while reading '" + Path("objects.mze") + "'.",
                         "Unexpected end of file while reading '" + Path("objects.mze") + "'."}));
    EXPECT_EQ(doc.m_nGrids, 0);
}

TEST_F(DocTest, VersionsNoFileCanMeanAreShownAsSuch)
{
    const std::vector<unsigned char> good = SmallMazeFile();
    const std::string tail = "} is greater than the maximum version supported by this program.  Please contact support "
                             "to upgrade: support@quillmont.example";
    const struct {
        double version;
        const char* shown;
    } cases[] = {{3.0, "3.0"},
                 {1e300, "1e+300"},
                 {std::numeric_limits<double>::infinity(), "inf"},
                 {std::nan(""), "nan"},
                 {123456.75, "123456.8"},
                 {std::numeric_limits<double>::max(), "1.79769e+308"}};
    for (const auto& c : cases) {
        CVantrelDoc doc;
        LoadFromBytes(With(good, 0, c.version), [&](CArchive& ar) { doc.Serialize(ar); });
        EXPECT_EQ(std::string(doc.m_strError), "ERROR: MZE File format {" + std::string(c.shown) + tail);
        EXPECT_TRUE(doc.GetFileFailed());
        EXPECT_EQ(doc.m_nGrids, 0);
    }
    // The writer's refusal shows its version the same way.
    CVantrelDoc doc;
    doc.m_dVersion = 1e300;
    EXPECT_FALSE(doc.OnSaveDocument(Path("never.mze").c_str()));
    EXPECT_EQ(std::string(doc.m_strError), "ERROR: Save MZE File format {1e+300} is greater than the maximum version "
                                           "supported by this program.  Please contact support: support@quillmont.example");
}

} // namespace
