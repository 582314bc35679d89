// Files that are refused say which file and why: messages name the file the user chose, version numbers
// no file can mean are shown as such, a file whose pictures would pass the document's budget for
// pictures is refused, and one that needs more memory than there is gives "Out of memory."; each
// leaves the document as it was. No picture is left out without a word.
#include "maze/CVantrelDoc.h"
#include "image/CRasterImage.h"
#include "platform/core/CMemFile.h"
#include "tests/maze/doc_bytes.h"
#include "tests/maze/doc_hostile_files.h"
#include "tests/maze/doc_support.h"
#include "tests/platform/child_process.h"

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

// The framework's file step (archive, Serialize, reporting) over any file.
struct OpeningDoc : CVantrelDoc {
    using CDocument::SerializeFile;
};

class OutOfMemoryTest : public DocTest {
protected:
    // Opens bytes into a grown maze in a child that has only `spare` bytes of address space to spare,
    // and reports the result, the messages shown and whether the maze is as it was.
    child_process::Result OpenWithLittleMemory(std::vector<unsigned char> bytes, std::size_t spare = 16u << 20)
    {
        return child_process::Run([&] {
            OpeningDoc doc;
            doc.m_nCellsX = 4;
            doc.m_nCellsY = 4;
            doc.OnFileNew();
            doc.OnGenerateMaze();
            const auto before = StoreToBytes([&](CArchive& ar) { doc.Serialize(ar); });
            boxes.clear();
            CMemFile file(bytes.data(), UINT(bytes.size()));
            if (!child_process::LimitAddressSpace(spare))
                return std::string("no limit");
            const BOOL opened = doc.SerializeFile(file, FALSE);
            std::string report = opened ? "opened\n" : "refused\n";
            for (const std::string& box : boxes)
                report += "box: " + box + "\n";
            const auto after = StoreToBytes([&](CArchive& ar) { doc.Serialize(ar); });
            return report + (after == before ? "the maze as it was" : "the maze changed");
        });
    }
};

TEST_F(OutOfMemoryTest, APictureWithoutMemoryRefusesTheFile)
{
    if (child_process::UnderAddressSanitizer())
        GTEST_SKIP() << "the sanitizer holds the address space";
    // One picture of 256 MB, which the image library allows but the process cannot have.
    const child_process::Result r = OpenWithLittleMemory(doc_test::HugePictureFile(1, 16000, false));
    ASSERT_TRUE(r.exited) << "signal " << r.signal;
    EXPECT_EQ(r.output, "refused\nbox: Out of memory.\nthe maze as it was");
}

TEST_F(OutOfMemoryTest, ALongTextWithoutMemoryRefusesTheFile)
{
    if (child_process::UnderAddressSanitizer())
        GTEST_SKIP() << "the sanitizer holds the address space";
    const child_process::Result r = OpenWithLittleMemory(doc_test::LongTextFile(48u << 20));
    ASSERT_TRUE(r.exited) << "signal " << r.signal;
    EXPECT_EQ(r.output, "refused\nbox: Out of memory.\nthe maze as it was");
}

// Finding the format of a picture that is no picture copies none of it: every codec in the detection
// order looks at its own header first.
TEST_F(OutOfMemoryTest, DetectionDoesNotCopyThePicture)
{
    if (child_process::UnderAddressSanitizer())
        GTEST_SKIP() << "the sanitizer holds the address space";
    // Room for the stored bytes, which the reader holds, but not for a second copy of them.
    const std::vector<unsigned char> junk(40u << 20, 0x5A);
    const child_process::Result r = OpenWithLittleMemory(doc_test::OneCellFile(1, [&](MzeBytes& b) {
        doc_test::ObjectHead(b, 3, 1, "");
        b.Int(0).Byte(0).Int(IMAGE_FORMAT_UNKNOWN).Int(std::int64_t(junk.size())).Raw(junk);
    }), junk.size() + (16u << 20));
    ASSERT_TRUE(r.exited) << "signal " << r.signal;
    EXPECT_EQ(r.output.substr(0, r.output.find('\n')), "opened") << r.output;
}

// With the memory they need, both files open.
TEST_F(DocTest, TheHostileFilesOpenWithEnoughMemory)
{
    OpeningDoc doc;
    auto textBytes = doc_test::LongTextFile(1u << 20);
    CMemFile file(textBytes.data(), UINT(textBytes.size()));
    EXPECT_TRUE(doc.SerializeFile(file, FALSE));
    ASSERT_EQ(doc.m_objects.GetSize(), 1);
    EXPECT_EQ(doc.m_objects[0].m_strText.GetLength(), 1 << 20);
    auto pictureBytes = doc_test::HugePictureFile(1, 2000, true);
    CMemFile pictureFile(pictureBytes.data(), UINT(pictureBytes.size()));
    OpeningDoc pictured;
    EXPECT_TRUE(pictured.SerializeFile(pictureFile, FALSE));
    ASSERT_EQ(pictured.m_objects.GetSize(), 1);
    ASSERT_NE(pictured.m_objects[0].m_pImage, nullptr);
    EXPECT_EQ(pictured.m_objects[0].m_pImage->GetWidth(), 2000u);
    EXPECT_EQ(pictured.m_objects[0].m_pImage->AlphaGet(5, 5), 128);
    EXPECT_TRUE(boxes.empty());
}

class PictureBudgetTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        doc = std::make_unique<OpeningDoc>();
        doc->m_nCellsX = 4;
        doc->m_nCellsY = 4;
        doc->OnFileNew();
        doc->OnGenerateMaze();
        doc->m_strError.Empty();
        before = Saved();
    }
    std::vector<unsigned char> Saved()
    {
        return StoreToBytes([&](CArchive& ar) { doc->Serialize(ar); });
    }
    // Opens the bytes from a file named for the test, as the framework does.
    BOOL Open(const std::vector<unsigned char>& bytes)
    {
        WriteFile(Path("pictures.mze"), bytes);
        return doc->OnOpenDocument(Path("pictures.mze").c_str());
    }
    std::string Refusal(int atLeastMB) const
    {
        return "ERROR: The pictures in '" + Path("pictures.mze") + "' need more memory than the 1000 MB a document "
               "may hold for its pictures (at least " + std::to_string(atLeastMB) + " MB).  Loading has stopped.";
    }

    std::unique_ptr<OpeningDoc> doc;
    std::vector<unsigned char> before;
};

// Eight pictures of 16000 x 16000 pixels with alpha in under 10 KB: their headers say 4 GB, and the
// file is refused before any of them is decoded.
TEST_F(PictureBudgetTest, HeadersOverTheBudgetRefuseTheFile)
{
    const auto bytes = doc_test::HugePictureFile(8, 16000);
    EXPECT_LT(bytes.size(), 10000u);
    const unsigned long failures = CRasterImage::GetAllocationFailures();
    EXPECT_FALSE(Open(bytes));
    // Two pictures of 256 MB with their 256 MB alpha planes already pass the budget.
    EXPECT_EQ(std::string(doc->m_strError), Refusal(1024));
    doc->m_strError.Empty();
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(CRasterImage::GetAllocationFailures(), failures);
    EXPECT_TRUE(boxes.empty());
}

// Pictures whose size only the decoder finds (format found by detection) are counted as they are
// decoded; the one that passes the budget refuses the file. Three of 256 MB fit.
TEST_F(PictureBudgetTest, DecodedPicturesOverTheBudgetRefuseTheFile)
{
    EXPECT_FALSE(Open(doc_test::HugePictureFile(4, 16000, false, IMAGE_FORMAT_UNKNOWN)));
    EXPECT_EQ(std::string(doc->m_strError), Refusal(1024));
    doc->m_strError.Empty();
    EXPECT_EQ(Saved(), before);

    EXPECT_TRUE(Open(doc_test::HugePictureFile(3, 16000, false, IMAGE_FORMAT_UNKNOWN)));
    EXPECT_TRUE(doc->m_strError.IsEmpty()) << doc->m_strError.GetString();
    ASSERT_EQ(doc->m_objects.GetSize(), 3);
    EXPECT_EQ(doc->m_objects[2].m_pImage->GetWidth(), 16000u);

    // The pictures the document keeps count too: kept at both questions, one more is too many.
    answers = {IDNO, IDNO};
    EXPECT_FALSE(Open(doc_test::HugePictureFile(1, 16000, false)));
    EXPECT_EQ(std::string(doc->m_strError), Refusal(1024));
    EXPECT_EQ(doc->m_objects.GetSize(), 3);
    // Deleted at the reset, they make room.
    doc->m_strError.Empty();
    answers = {IDYES};
    EXPECT_TRUE(Open(doc_test::HugePictureFile(1, 16000, false)));
    EXPECT_EQ(doc->m_objects.GetSize(), 1);
}

TEST_F(PictureBudgetTest, PicturesThatDoNotDecodeAreNamedNotDropped)
{
    const std::vector<unsigned char> junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    const std::vector<unsigned char> bmp = doc_test::RunLengthBmp(20);
    const auto file = [&](int bad) {
        return doc_test::OneCellFile(bad + 1, [&](MzeBytes& b) {
            for (int i = 0; i < bad; ++i) {
                doc_test::ObjectHead(b, 3, 1, "");
                b.Int(0).Byte(0).Int(IMAGE_FORMAT_PNG).Int(std::int64_t(junk.size())).Raw(junk);
            }
            doc_test::ObjectHead(b, 3, 3, "");
            b.Int(0).Byte(0).Int(IMAGE_FORMAT_BMP).Int(std::int64_t(bmp.size())).Raw(bmp);
        });
    };
    EXPECT_TRUE(Open(file(1)));
    EXPECT_EQ(std::string(doc->m_strError),
              "ERROR: A picture in '" + Path("pictures.mze") + "' could not be read and was left out.");
    ASSERT_EQ(doc->m_objects.GetSize(), 1);
    EXPECT_EQ(doc->m_objects[0].m_nLayer, LAYER_FOREGROUND);
    doc->m_strError.Empty();
    EXPECT_TRUE(Open(file(2)));
    EXPECT_EQ(std::string(doc->m_strError),
              "ERROR: 2 pictures in '" + Path("pictures.mze") + "' could not be read and were left out.");
}

} // namespace
