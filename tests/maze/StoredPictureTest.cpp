// Layer pictures in document files: a picture of every format the program reads, placed as the view
// places it, comes back from a version 2.0 file pixel for pixel; a document that the reader would
// refuse, or a picture that cannot be stored at all, is refused before the file is touched.
#include "image/CRasterImage.h"
#include "maze/CVantrelDoc.h"
#include "maze/StoredPicture.h"
#include "platform/core/CView.h"
#include "tests/support/DocTestSupport.h"
#include "tests/support/MzeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

namespace {

using doc_test::DocTest;
namespace fs = std::filesystem;

// The image seed files of the fuzzers: small pictures of every format, made by the scripts beside them.
std::string CorpusDir()
{
    std::string dir = VANTREL_TEST_DATA;
    return dir.substr(0, dir.rfind('/')) + "/fuzz/corpus/";
}

// The format id detection must give a file, by its name's extension.
DWORD FormatOfName(const std::string& name)
{
    static const std::map<std::string, DWORD> ids = {
        {".bmp", IMAGE_FORMAT_BMP},  {".dib", IMAGE_FORMAT_BMP},  {".gif", IMAGE_FORMAT_GIF},
        {".jpg", IMAGE_FORMAT_JPG},  {".png", IMAGE_FORMAT_PNG},  {".ico", IMAGE_FORMAT_ICO},
        {".tif", IMAGE_FORMAT_TIF},  {".tga", IMAGE_FORMAT_TGA},  {".pcx", IMAGE_FORMAT_PCX},
        {".wbmp", IMAGE_FORMAT_WBMP}, {".wmf", IMAGE_FORMAT_WMF}, {".emf", IMAGE_FORMAT_WMF},
        {".jp2", IMAGE_FORMAT_JP2},  {".j2k", IMAGE_FORMAT_JPC},  {".pgx", IMAGE_FORMAT_PGX},
        {".pbm", IMAGE_FORMAT_PNM},  {".pgm", IMAGE_FORMAT_PNM},  {".ppm", IMAGE_FORMAT_PNM},
        {".ras", IMAGE_FORMAT_RAS}};
    auto it = ids.find(fs::path(name).extension().string());
    return it == ids.end() ? IMAGE_FORMAT_UNKNOWN : it->second;
}

// A picture as the view places one: loaded with detection, then raised to 24 bits; or as a document
// file gives one back: decoded at its own depth.
std::unique_ptr<CRasterImage> PlacedPicture(const BYTE* bytes, DWORD size, bool raise)
{
    auto image = std::make_unique<CRasterImage>();
    if (!image->Decode(bytes, size, IMAGE_FORMAT_UNKNOWN))
        return nullptr;
    if (raise && image->GetBpp() < 24)
        image->IncreaseBpp(24);
    return image;
}

// A grown 3 x 2 maze holding one picture object on the background layer.
std::unique_ptr<CVantrelDoc> DocWithPicture(std::unique_ptr<CRasterImage> picture)
{
    auto doc = std::make_unique<CVantrelDoc>();
    doc->m_nCellsX = 3;
    doc->m_nCellsY = 2;
    doc->m_nSeed = 1;
    doc->OnFileNew();
    doc->OnGenerateMaze();
    CLogicalRectTracker object;
    object.SetImage(picture.release(), CLogicalRectTracker::kindImage);
    object.SetLogicalRect(0, 0, 1500, -1000);
    object.m_nLayer = LAYER_BACKGROUND;
    doc->m_objects.Add(object);
    object.ReleaseOwnership();
    return doc;
}

// A pixel's opacity as it draws: its alpha, 0 where it has the transparent index or colour.
int Opacity(const CRasterImage& image, LONG x, LONG y)
{
    if (image.IsTransparent()) {
        const RGBQUAD c = image.GetPixelColor(x, y, false), t = image.GetTransColor();
        if (image.IsIndexed() ? LONG(image.GetPixelIndex(x, y)) == image.GetTransIndex()
                              : c.rgbRed == t.rgbRed && c.rgbGreen == t.rgbGreen && c.rgbBlue == t.rgbBlue)
            return 0;
    }
    return image.AlphaIsValid() ? image.AlphaGet(x, y) : 255;
}

// The largest difference of a colour channel or the opacity between two pictures of the same size;
// the colour of a pixel that does not show does not count.
int LargestDifference(const CRasterImage& a, const CRasterImage& b)
{
    int worst = 0;
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            const int oa = Opacity(a, x, y), ob = Opacity(b, x, y);
            worst = std::max(worst, std::abs(oa - ob));
            if (oa == 0 && ob == 0)
                continue;
            const RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
            worst = std::max({worst, std::abs(p.rgbRed - q.rgbRed), std::abs(p.rgbGreen - q.rgbGreen),
                              std::abs(p.rgbBlue - q.rgbBlue)});
        }
    return worst;
}

// Whether the format's own writer may change the picture's pixels (TIFF: with JPEG compression).
bool Lossy(const CRasterImage& picture)
{
    const DWORD format = picture.GetType();
    return format == IMAGE_FORMAT_JPG || format == IMAGE_FORMAT_JP2 || format == IMAGE_FORMAT_JPC ||
           (format == IMAGE_FORMAT_TIF && picture.GetCodecOption(IMAGE_FORMAT_TIF) == 7);
}

// What a file can give back of the picture: itself, or for a lossy format what its codec makes of it.
std::unique_ptr<CRasterImage> Expected(const CRasterImage& placed)
{
    auto expected = std::make_unique<CRasterImage>(placed, true, true, true);
    if (!Lossy(placed))
        return expected;
    BYTE* bytes = nullptr;
    LONG size = 0;
    if (!expected->Encode(bytes, size, placed.GetType()))
        return nullptr;
    auto decoded = std::make_unique<CRasterImage>();
    const bool ok = decoded->Decode(bytes, DWORD(size), placed.GetType());
    std::free(bytes);
    return ok ? std::move(decoded) : nullptr;
}

// The format a picture must be stored in: its own, unless that format cannot hold it (no writer, or not
// at the picture's depth), then PNG.
DWORD StoredFormat(const CRasterImage& placed)
{
    const DWORD own = placed.GetType(), bpp = placed.GetBpp(), scheme = placed.GetCodecOption(IMAGE_FORMAT_TIF);
    const bool fax = own == IMAGE_FORMAT_TIF && (scheme == 3 || scheme == 4);
    const bool held = own != IMAGE_FORMAT_WMF && !(own == IMAGE_FORMAT_PGX && bpp == 24) &&
                      !(own == IMAGE_FORMAT_WBMP && bpp > 1) && !(fax && bpp > 1) &&
                      !((own == IMAGE_FORMAT_PNM || own == IMAGE_FORMAT_RAS) && bpp == 1);
    return held ? own : DWORD(IMAGE_FORMAT_PNG);
}

class DocPicturesTest : public DocTest {
protected:
    // Saves a document holding the picture as version 2.0, opens the file in a new document and
    // compares the picture there with the one placed: placed as the view places it, and as a document
    // file gives it back.
    void ExpectPictureComesBack(const std::string& label, const std::vector<unsigned char>& bytes, DWORD format);
    // The labels of the pictures that came back.
    std::set<std::string> back;
};

void DocPicturesTest::ExpectPictureComesBack(const std::string& label, const std::vector<unsigned char>& bytes,
                                             DWORD format)
{
    for (bool raise : {true, false}) {
        SCOPED_TRACE(label + (raise ? " placed" : " as stored"));
        auto placed = PlacedPicture(bytes.data(), DWORD(bytes.size()), raise);
        ASSERT_TRUE(placed) << "the picture does not load";
        EXPECT_EQ(placed->GetType(), format);
        const DWORD storedFormat = StoredFormat(*placed);
        const auto expected = Expected(*placed);
        ASSERT_TRUE(expected);
        auto doc = DocWithPicture(std::move(placed));
        doc->m_dVersion = 2.0;
        const std::string path = Path("pictures.mze");
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str())) << doc->m_strError.GetString();

        CVantrelDoc reader;
        ASSERT_TRUE(reader.OnOpenDocument(path.c_str())) << reader.m_strError.GetString();
        ASSERT_EQ(reader.m_objects.GetSize(), 1) << "the picture is lost";
        const CRasterImage* picture = reader.m_objects[0].m_pImage;
        ASSERT_TRUE(picture && picture->IsValid());
        EXPECT_EQ(picture->GetType(), storedFormat);
        ASSERT_EQ(picture->GetWidth(), expected->GetWidth());
        ASSERT_EQ(picture->GetHeight(), expected->GetHeight());
        EXPECT_EQ(LargestDifference(*expected, *picture), 0);
        back.insert(label);
    }
}

// A PGX picture of 4 x 3 samples of the given precision, big-endian.
std::vector<unsigned char> Pgx(int precision)
{
    MzeBytes pgx;
    const std::string head = "PG ML + " + std::to_string(precision) + " 4 3\n";
    pgx.Raw(head.data(), head.size());
    for (int i = 0; i < 12; ++i) {
        const unsigned v = unsigned(i * 21) << (precision - 8);
        if (precision > 8)
            pgx.Byte(v >> 8);
        pgx.Byte(v & 0xFF);
    }
    return pgx.bytes;
}

TEST_F(DocPicturesTest, EveryFormatComesBackFromAVersionTwoFile)
{
    for (const char* folder : {"bmp", "gif", "jpeg", "png", "ico", "tiff", "tga", "pcx", "wbmp", "wmf",
                               "jpeg2000", "rawfamily"}) {
        for (const auto& entry : fs::directory_iterator(CorpusDir() + folder)) {
            const std::string name = entry.path().filename().string();
            const DWORD format = FormatOfName(name);
            ASSERT_NE(format, DWORD(IMAGE_FORMAT_UNKNOWN)) << name;
            const auto bytes = ReadFile(entry.path().string());
            // A seed the image library cannot read at all is no matter of saving.
            if (!PlacedPicture(bytes.data(), DWORD(bytes.size()), false))
                continue;
            ExpectPictureComesBack(std::string(folder) + "/" + name, bytes, format);
        }
    }
    // Grey 8-bit samples stay grey; 12-bit samples are brought to 8-bit RGB by the decoder.
    ExpectPictureComesBack("grey pgx", Pgx(8), IMAGE_FORMAT_PGX);
    ExpectPictureComesBack("colour pgx", Pgx(12), IMAGE_FORMAT_PGX);

    // Every format, and each kind of picture whose own writer cannot hold it once placed.
    for (const char* label :
         {"bmp/rle8.bmp", "gif/depth1.gif", "jpeg/baseline.jpg", "png/rgba8.png", "png/palette8-trns.png",
          "ico/palette.ico", "tiff/bilevel-g3.tif", "tiff/bilevel-g4.tif", "tiff/rgb-jpeg.tif", "tga/rgba32-rle.tga",
          "pcx/palette8.pcx", "wbmp/mono.wbmp", "wmf/shapes.wmf", "wmf/shapes.emf", "jpeg2000/rgb-rate.jp2",
          "jpeg2000/rgb-lossless.j2k", "rawfamily/bilevel.pbm", "rawfamily/plain.pbm", "rawfamily/grey.pgm",
          "rawfamily/rgb.ppm", "rawfamily/bilevel.ras", "rawfamily/rgb-standard.ras", "rawfamily/grey.pgx"})
        EXPECT_TRUE(back.count(label)) << label;
}

// A run-length BMP of w x h pixels at 8 bits: 50 short runs of colour, then the end of the bitmap, which
// leaves every other pixel at index 0.
std::vector<unsigned char> Rle8Bmp(int w, int h)
{
    MzeBytes data;
    for (int row = 0; row < 50; ++row)
        data.Byte(200).Byte(unsigned(row % 7 + 1)).Byte(0).Byte(0);
    data.Byte(0).Byte(1);
    MzeBytes b;
    const int offset = 14 + 40 + 256 * 4;
    b.Byte('B').Byte('M').Int(std::int64_t(offset + data.size())).Word(0).Word(0).Int(offset);
    b.Int(40).Int(w).Int(h).Word(1).Word(8).Int(1).Int(std::int64_t(data.size())).Int(3780).Int(3780);
    b.Int(256).Int(0);
    for (int i = 0; i < 256; ++i)
        b.Byte(unsigned(i)).Byte(unsigned(255 - i)).Byte(unsigned(i * 7)).Byte(0);
    return b.Raw(data.bytes).bytes;
}

// A checksum of the palette and the pixel rows of an 8-bit picture.
std::uint64_t Checksum(CRasterImage& picture)
{
    std::uint64_t h = 1469598103934665603ull;
    auto add = [&h](const BYTE* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            h = (h ^ p[i]) * 1099511628211ull;
    };
    add(reinterpret_cast<const BYTE*>(picture.GetPalette()), picture.GetPaletteSize());
    for (DWORD y = 0; y < picture.GetHeight(); ++y)
        add(picture.GetBits(y), picture.GetWidth());
    return h;
}

// The reported fault: a 16000 x 16000 picture from a 1.5 KB file, whose BMP is larger than the reader
// takes. It is stored as PNG, which fits, and comes back.
TEST_F(DocPicturesTest, APictureTooLargeForItsOwnFormatIsStoredAsPngAndComesBack)
{
    const auto bmp = Rle8Bmp(16000, 16000);
    EXPECT_LT(bmp.size(), 1600u);
    auto placed = PlacedPicture(bmp.data(), DWORD(bmp.size()), true);
    ASSERT_TRUE(placed);
    ASSERT_EQ(placed->GetBpp(), 8) << "too large to be raised to 24 bits, it keeps its depth";
    const std::uint64_t sum = Checksum(*placed);
    auto doc = DocWithPicture(std::move(placed));
    const std::string path = Path("large.mze");
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str())) << doc->m_strError.GetString();
    EXPECT_LT(fs::file_size(path), 4000000u);

    CVantrelDoc reader;
    ASSERT_TRUE(reader.OnOpenDocument(path.c_str())) << reader.m_strError.GetString();
    ASSERT_EQ(reader.m_objects.GetSize(), 1);
    CRasterImage* picture = reader.m_objects[0].m_pImage;
    ASSERT_TRUE(picture && picture->IsValid());
    EXPECT_EQ(picture->GetType(), DWORD(IMAGE_FORMAT_PNG));
    ASSERT_EQ(picture->GetWidth(), 16000u);
    ASSERT_EQ(picture->GetHeight(), 16000u);
    ASSERT_EQ(picture->GetBpp(), 8);
    EXPECT_EQ(Checksum(*picture), sum);
}

// The message a refused save leaves for the view.
std::string Refusal(const std::string& path, const std::string& why)
{
    return "ERROR: Could not save '" + path + "': " + why + ".  The file was not changed.";
}

// A picture that no format holds: a metafile drawn wider than a PNG row may be (1,000,000 pixels).
// Every save route refuses it before the file is opened; a version 1.0 file, which holds no pictures,
// saves.
TEST_F(DocPicturesTest, APictureThatCannotBeStoredRefusesTheSave)
{
    auto doc = DocWithPicture(std::make_unique<CRasterImage>(1000001, 1, 24, IMAGE_FORMAT_WMF));
    struct CountingView : CView {
        int updates = 0;
        void OnUpdate(CView*, LPARAM, CObject*) override { ++updates; }
    } view;
    doc->AddView(&view);
    const std::string why = "a picture of 1000001 x 1 pixels cannot be stored in any format";
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    WriteFile(Path("keep.mze"), old);

    doc->m_dVersion = 2.0;
    EXPECT_FALSE(doc->OnSaveDocument(Path("keep.mze").c_str()));
    EXPECT_EQ(ReadFile(Path("keep.mze")), old);
    EXPECT_EQ(doc->m_strError.GetString(), Refusal(Path("keep.mze"), why));
    EXPECT_EQ(view.updates, 1) << "the view shows the message at its next paint";

    for (const char* name : {"keep.mze", "new.mze"}) {
        doc->m_strError.Empty();
        AnswerDialog(Path(name), 1);
        doc->OnFileSaveAs();
        EXPECT_EQ(doc->m_strError.GetString(), Refusal(Path(name), why));
    }
    EXPECT_EQ(ReadFile(Path("keep.mze")), old);
    EXPECT_FALSE(fs::exists(Path("new.mze")));

    // A store into an archive refuses too and writes nothing.
    doc->m_dVersion = 2.0;
    doc->m_strError.Empty();
    EXPECT_TRUE(StoreToBytes([&](CArchive& ar) { doc->Serialize(ar); }).empty());
    EXPECT_TRUE(doc->GetFileFailed());

    doc->m_strError.Empty();
    AnswerDialog(Path("v1.mze"), 2);
    doc->OnFileSaveAs();
    EXPECT_TRUE(doc->m_strError.IsEmpty()) << doc->m_strError.GetString();
    CVantrelDoc reader;
    EXPECT_TRUE(reader.OnOpenDocument(Path("v1.mze").c_str()));
    EXPECT_EQ(reader.m_dVersion, 1.0);
    doc->RemoveView(&view);
}

// Whatever the writer writes, the reader reads: a document the reader would refuse is not written.
TEST_F(DocPicturesTest, ADocumentTheReaderWouldRefuseIsNotWritten)
{
    // The document the framework makes at start-up has no grid until File New.
    CVantrelDoc empty;
    for (double version : {2.0, 1.0}) {
        empty.m_dVersion = version;
        EXPECT_FALSE(empty.OnSaveDocument(Path("empty.mze").c_str()));
        EXPECT_EQ(empty.m_strError.GetString(), Refusal(Path("empty.mze"), "the document has no maze grid"));
    }
    EXPECT_FALSE(fs::exists(Path("empty.mze")));

    auto doc = DocWithPicture(nullptr);
    doc->m_objects[0].m_nLayer = 0;
    EXPECT_FALSE(doc->OnSaveDocument(Path("layer.mze").c_str()));
    EXPECT_EQ(doc->m_strError.GetString(), Refusal(Path("layer.mze"), "it has a layer object of no known kind or layer"));
    doc->m_objects[0].m_nLayer = LAYER_FOREGROUND;
    doc->m_objects[0].m_nKind = CLogicalRectTracker::kindNone;
    EXPECT_FALSE(doc->OnSaveDocument(Path("layer.mze").c_str()));
    EXPECT_FALSE(fs::exists(Path("layer.mze")));
    // An image object without a picture draws nothing and is stored without bytes, as before.
    doc->m_objects[0].m_nKind = CLogicalRectTracker::kindImage;
    EXPECT_TRUE(doc->OnSaveDocument(Path("layer.mze").c_str())) << doc->m_strError.GetString();

    doc->m_nXSign = 0;
    EXPECT_FALSE(doc->OnSaveDocument(Path("sign.mze").c_str()));
    EXPECT_EQ(doc->m_strError.GetString(),
              Refusal(Path("sign.mze"), "its page settings are outside what a maze file holds"));
    EXPECT_FALSE(fs::exists(Path("sign.mze")));
}

// A version 1.0 file holds the maze only: before one is written over a document with layer objects,
// the user confirms that they stay out; a No writes nothing.
TEST_F(DocPicturesTest, SavingAVersionOneFileAsksBeforeLeavingTheLayerObjectsOut)
{
    const auto bmp = MakeBmp24(3, 2, [](int x, int y) { return std::uint32_t(0x102030 * (x + 1) + y); });
    auto doc = DocWithPicture(PlacedPicture(bmp.data(), DWORD(bmp.size()), true));
    const std::string prompt = "Quillmont V1 files hold the maze only.  The text and pictures of this document "
                               "(layer objects: 1) will not be saved in '" + Path("one.mze") + "'.\n\nSave anyway?";
    answers.push_back(IDNO);
    AnswerDialog(Path("one.mze"), 2);
    doc->OnFileSaveAs();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], prompt);
    EXPECT_EQ(boxTypes[0] & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_FALSE(fs::exists(Path("one.mze")));
    EXPECT_TRUE(doc->m_strError.IsEmpty());

    answers.push_back(IDYES);
    AnswerDialog(Path("one.mze"), 2);
    doc->OnFileSaveAs();
    EXPECT_EQ(boxes.size(), 2u);
    CVantrelDoc reader;
    ASSERT_TRUE(reader.OnOpenDocument(Path("one.mze").c_str()));
    EXPECT_EQ(reader.m_objects.GetSize(), 0);

    // The framework's save, as the question on closing runs it, asks too.
    answers.push_back(IDNO);
    EXPECT_FALSE(doc->OnSaveDocument(Path("two.mze").c_str()));
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_FALSE(fs::exists(Path("two.mze")));
    // Without layer objects there is nothing to ask about.
    doc->m_objects.RemoveAll();
    EXPECT_TRUE(doc->OnSaveDocument(Path("two.mze").c_str()));
    EXPECT_EQ(boxes.size(), 3u);
}

// The format a picture is stored in: its own while that fits the reader's limit, else PNG; a picture
// neither fits is refused with the reason.
TEST(StoredPicture, OwnFormatWhileItFitsThenPngThenRefused)
{
    CRasterImage flat(64, 64, 24, IMAGE_FORMAT_BMP);
    flat.Clear(0x40);
    StoredPicture stored;
    CString why;
    ASSERT_TRUE(stored.Encode(&flat, why, 20000));
    EXPECT_EQ(stored.GetType(), DWORD(IMAGE_FORMAT_BMP));
    EXPECT_EQ(stored.GetSize(), 54u + 64 * 64 * 3);
    ASSERT_TRUE(stored.Encode(&flat, why, 5000));
    EXPECT_EQ(stored.GetType(), DWORD(IMAGE_FORMAT_PNG));
    EXPECT_LE(stored.GetSize(), 5000u);
    auto back = stored.Decode();
    ASSERT_TRUE(back);
    EXPECT_TRUE(SamePicture(flat, *back));
    EXPECT_FALSE(stored.Encode(&flat, why, 50));
    EXPECT_EQ(why, "a picture of 64 x 64 pixels is too large to be stored in a maze file");
    EXPECT_EQ(stored.GetSize(), 0u);
}

} // namespace
