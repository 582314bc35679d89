// Editing layer objects in the view: placing pictures and text blocks with a rubber band, selecting,
// moving and sizing with the tracker, the in-place editor, the font change, the object commands and
// the drawing order, the last font choice in the profile, and the refusals.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "image/CRasterImage.h"
#include "maze/CLogicalRectTracker.h"
#include "platform/core/FileDialog.h"
#include "platform/core/Profile.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/TrackerLoop.h"
#include "tests/support/ToolsTestSupport.h"
#include "tests/view/TrackerInput.h"

using namespace layerstest;

namespace {

// The profile goes to a folder of the test's own.
QTemporaryDir& ConfigDir()
{
    static QTemporaryDir dir;
    return dir;
}
const bool kProfileReady = [] {
    setenv("XDG_CONFIG_HOME", ConfigDir().path().toLocal8Bit().constData(), 1);
    AfxGetProfile().SetRegistryKey("LayersTest");
    AfxGetProfile().SetAppName("layers");
    return true;
}();

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// An 8-bit BMP of one colour; the view widens it to 24 bits when it places it.
CString WriteBmp(const char* name, COLORREF colour)
{
    CRasterImage image;
    image.Create(40, 30, 8, IMAGE_FORMAT_BMP);
    image.SetPaletteColor(0, GetRValue(colour), GetGValue(colour), GetBValue(colour));
    BYTE* buffer = nullptr;
    LONG size = 0;
    EXPECT_TRUE(image.Encode(buffer, size, IMAGE_FORMAT_BMP));
    const QString path = ConfigDir().filePath(name);
    std::FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb");
    std::fwrite(buffer, 1, std::size_t(size), f);
    std::fclose(f);
    std::free(buffer);
    return CString(path.toLocal8Bit().constData());
}

class LayerEditing : public ::testing::Test {
protected:
    // One window for every test: the view makes its in-place editor once per process.
    static void SetUpTestSuite()
    {
        if (!s_window)
            s_window = new tooltest::MazeWindow(RUNTIME_CLASS(CVantrelView), 10, 10, 500);
    }

    LayerEditing() : w(*s_window) {}

    void SetUp() override
    {
        AfxInstallTrackerLoop();
        w.doc.m_objects.RemoveAll();
        view().SetActiveLayer(LAYER_MAZE);
        view().m_textEditor.ModifyStyle(WS_VISIBLE, 0);
        view().m_textEditor.SetWindowText("");
        view().SetFocus();
        QApplication::processEvents();
        QApplication::setActiveWindow(w.frame.GetWidget());
        AfxGetProfile().WriteProfileString("FONT", nullptr, nullptr);
        SetFileDialogHandler([this](const FileDialogRequest& r) {
            fileRequests.push_back(r);
            FileDialogResult result;
            result.ok = !answerPath.IsEmpty();
            result.path = answerPath;
            return result;
        });
        SetFontDialogHandler([this](CHOOSEFONTA& cf, LOGFONTA& lf) {
            fontRequests.push_back({cf, lf});
            if (!fontAnswer)
                return FALSE;
            AnswerFont(cf, lf, fontAnswer->iPointSize, fontAnswer->rgbColors);
            return TRUE;
        });
    }
    void TearDown() override
    {
        SetFileDialogHandler({});
        SetFontDialogHandler({});
    }

    CVantrelView& view() { return *w.view; }
    CArray<CLogicalRectTracker, CLogicalRectTracker&>& objects() { return w.doc.m_objects; }

    // The logical rectangle of a window rectangle, as the view converts it.
    CRect Logical(CRect r)
    {
        CClientDC dc(w.view);
        view().OnPrepareDC(dc);
        static_cast<CDC*>(dc)->DPtoLP(&r);
        return r;
    }

    // Draws a rubber band from a to b with the left button on the active layer.
    void Band(CPoint a, CPoint b)
    {
        PostDrag(w.view, {b});
        Press(w.view, a);
    }
    // A click that moves nothing.
    void Click(CPoint p) { Band(p, p); }

    void PlaceImage(int layer, CRect r, const CString& path)
    {
        view().SetActiveLayer(layer);
        answerPath = path;
        Band(r.TopLeft(), r.BottomRight());
        answerPath.Empty();
    }

    void Redraw()
    {
        w.doc.m_bDirty = 1;
        CClientDC dc(w.view);
        view().OnDraw(dc);
    }
    // The back buffer's colour at the centre of a window rectangle.
    COLORREF DrawnAt(CRect r)
    {
        const CRect logical = Logical(r);
        view().OnPrepareDC(&view().m_backBufferDC);
        return view().m_backBufferDC.GetPixel((logical.left + logical.right) / 2, (logical.top + logical.bottom) / 2);
    }

    void ClearModified()
    {
        w.doc.SetModifiedFlag(FALSE);
        w.doc.m_bDirty = 0;
    }

    struct FontRequest {
        CHOOSEFONTA cf;
        LOGFONTA lf;
    };

    static inline tooltest::MazeWindow* s_window = nullptr;
    tooltest::MazeWindow& w;
    CString answerPath;
    std::vector<FileDialogRequest> fileRequests;
    std::unique_ptr<CHOOSEFONTA> fontAnswer;
    std::vector<FontRequest> fontRequests;
};

TEST_F(LayerEditing, RubberBandPlacesAPictureFromTheChosenFile)
{
    const CString red = WriteBmp("red.bmp", kRed);
    ClearModified();
    PlaceImage(LAYER_BACKGROUND, CRect(100, 100, 200, 180), red);

    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_TRUE(fileRequests[0].open);
    EXPECT_TRUE(fileRequests[0].defaultExt.IsEmpty());
    EXPECT_EQ(fileRequests[0].flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    EXPECT_STREQ(fileRequests[0].filter, "Bitmap file(*.bmp)|*.bmp|GIF file(*.gif)|*.gif|TIFF file(*.tif)|*.tif||");

    ASSERT_EQ(objects().GetSize(), 1);
    CLogicalRectTracker& o = objects()[0];
    EXPECT_EQ(o.m_nKind, CLogicalRectTracker::kindImage);
    EXPECT_EQ(o.m_nLayer, LAYER_BACKGROUND);
    EXPECT_EQ(o.m_nSelectStyle, 2);
    EXPECT_EQ(o.m_rect, CRect(100, 100, 200, 180));
    EXPECT_EQ(o.m_rectLogical, Logical(CRect(100, 100, 200, 180)));
    ASSERT_NE(o.m_pImage, nullptr);
    EXPECT_EQ(o.m_pImage->GetBpp(), 24);
    EXPECT_TRUE(w.doc.IsModified());
    EXPECT_EQ(w.doc.m_bDirty, 1);

    Redraw();
    EXPECT_EQ(DrawnAt(CRect(100, 100, 200, 180)), kRed);
}

TEST_F(LayerEditing, AScrolledViewKeepsObjectsInTheWholeDocument)
{
    // The page is taller than the window: scroll down and place a picture and a text block.
    w.frame.MoveWindow(0, 0, 1000, 500);
    QApplication::processEvents();
    view().ScrollToDevicePosition(CPoint(0, 150));
    const CPoint scroll = view().GetDeviceScrollPosition();
    ASSERT_GT(scroll.y, 0);

    PlaceImage(LAYER_FOREGROUND, CRect(100, 100, 200, 180), WriteBmp("red.bmp", kRed));
    ASSERT_EQ(objects().GetSize(), 1);
    CRect whole(100, 100, 200, 180);
    whole.OffsetRect(scroll.x, scroll.y);
    EXPECT_EQ(objects()[0].m_rect, whole);
    EXPECT_EQ(objects()[0].m_rectLogical, Logical(CRect(100, 100, 200, 180)));
    // Scrolled down, the picture lies lower on the page than the window point would say unscrolled.
    EXPECT_LT(objects()[0].m_rectLogical.top, -100 * 1000 / 96 - scroll.y * 1000 / 96 + 20);
    Redraw();
    EXPECT_EQ(DrawnAt(CRect(100, 100, 200, 180)), kRed);

    // Moving it in the scrolled window keeps its place in the document.
    Band(CPoint(150, 140), CPoint(160, 140));
    whole.OffsetRect(10, 0);
    EXPECT_EQ(objects()[0].m_rect, whole);
    EXPECT_EQ(objects()[0].m_rectLogical, Logical(CRect(110, 100, 210, 180)));

    // The editor opens where the text block shows in the window.
    fontAnswer = std::make_unique<CHOOSEFONTA>();
    fontAnswer->iPointSize = 100;
    view().SetActiveLayer(LAYER_TEXT);
    Band(CPoint(300, 200), CPoint(400, 260));
    CRect editor;
    view().m_textEditor.GetWindowRect(&editor);
    EXPECT_EQ(editor, CRect(297, 197, 403, 263));
    view().SetFocus();
    view().ScrollToDevicePosition(CPoint(0, 0));
    w.frame.MoveWindow(0, 0, 1000, 800);
    QApplication::processEvents();
}

TEST_F(LayerEditing, NothingIsMadeFromACancelAnUndecodableFileOrAnEmptyBand)
{
    const QString junk = ConfigDir().filePath("junk.bmp");
    std::FILE* f = std::fopen(junk.toLocal8Bit().constData(), "wb");
    std::fputs("this is not a picture of any kind", f);
    std::fclose(f);

    // Cancelled file dialog.
    ClearModified();
    PlaceImage(LAYER_FOREGROUND, CRect(100, 100, 200, 180), CString());
    EXPECT_EQ(fileRequests.size(), 1u);
    EXPECT_EQ(objects().GetSize(), 0);
    EXPECT_TRUE(w.doc.IsModified());

    // A picture that does not decode makes no object, yet the click marks the document.
    ClearModified();
    PlaceImage(LAYER_FOREGROUND, CRect(100, 100, 200, 180), CString(junk.toLocal8Bit().constData()));
    EXPECT_EQ(fileRequests.size(), 2u);
    EXPECT_EQ(objects().GetSize(), 0);
    EXPECT_TRUE(w.doc.IsModified());
    EXPECT_EQ(w.doc.m_bDirty, 1);

    // A click on empty space asks for no file and clears the selection.
    PlaceImage(LAYER_FOREGROUND, CRect(100, 100, 200, 180), WriteBmp("blue.bmp", kBlue));
    ASSERT_EQ(objects().GetSize(), 1);
    ASSERT_EQ(objects()[0].m_nSelectStyle, 2);
    Click(CPoint(400, 400));
    EXPECT_EQ(fileRequests.size(), 3u);
    EXPECT_EQ(objects().GetSize(), 1);
    EXPECT_EQ(objects()[0].m_nSelectStyle, 1);
}

TEST_F(LayerEditing, AClickSelectsTheTopmostObjectOfTheActiveLayerOnly)
{
    PlaceImage(LAYER_BACKGROUND, CRect(100, 100, 200, 180), WriteBmp("red.bmp", kRed));
    // Drawn from the corner that lies outside the first picture.
    PlaceImage(LAYER_BACKGROUND, CRect(260, 200, 150, 120), WriteBmp("blue.bmp", kBlue));
    PlaceImage(LAYER_FOREGROUND, CRect(80, 80, 300, 240), WriteBmp("green.bmp", kGreen));
    EXPECT_EQ(objects()[1].m_rect, CRect(150, 120, 260, 200));
    ASSERT_EQ(objects().GetSize(), 3);

    // Layer 1: the upper of the two layer-1 objects, beneath the layer-3 one.
    view().SetActiveLayer(LAYER_BACKGROUND);
    Click(CPoint(170, 150));
    EXPECT_EQ(objects()[0].m_nSelectStyle, 1);
    EXPECT_EQ(objects()[1].m_nSelectStyle, 2);
    EXPECT_EQ(objects()[2].m_nSelectStyle, 0);
    EXPECT_EQ(fileRequests.size(), 3u);

    // Layer 3: the covering object.
    view().SetActiveLayer(LAYER_FOREGROUND);
    Click(CPoint(170, 150));
    EXPECT_EQ(objects()[1].m_nSelectStyle, 0);
    EXPECT_EQ(objects()[2].m_nSelectStyle, 2);

    // The maze layer's tools and the text layer leave the pictures alone.
    view().SetActiveLayer(LAYER_MAZE);
    const CRect before = objects()[2].m_rect;
    Band(CPoint(170, 150), CPoint(200, 200));
    QApplication::processEvents();
    EXPECT_EQ(objects()[2].m_rect, before);
    view().SetActiveLayer(LAYER_TEXT);
    Click(CPoint(170, 150));
    EXPECT_EQ(fontRequests.size(), 0u);  // an empty band shows no font dialog and makes nothing
    EXPECT_EQ(objects().GetSize(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(objects()[i].m_nSelectStyle, 0);
}

TEST_F(LayerEditing, TheTrackerMovesAndSizesAnObject)
{
    PlaceImage(LAYER_BACKGROUND, CRect(100, 100, 200, 180), WriteBmp("red.bmp", kRed));
    Redraw();  // the selected frame has its handles outside the rectangle

    PostDrag(w.view, {CPoint(160, 150), CPoint(180, 160)});
    Press(w.view, CPoint(150, 140));
    CLogicalRectTracker& o = objects()[0];
    EXPECT_EQ(o.m_rect, CRect(130, 120, 230, 200));
    EXPECT_EQ(o.m_rectLogical, Logical(CRect(130, 120, 230, 200)));
    EXPECT_EQ(o.m_nSelectStyle, 2);

    // The bottom-right handle.
    Redraw();
    Band(CPoint(234, 204), CPoint(274, 214));
    EXPECT_EQ(o.m_rect, CRect(130, 120, 270, 210));
    EXPECT_EQ(o.m_rectLogical, Logical(CRect(130, 120, 270, 210)));
    Redraw();
    EXPECT_EQ(DrawnAt(CRect(250, 190, 266, 206)), kRed);

    // Escape puts it back.
    PostMoveAndEscape(w.view, CPoint(300, 300));
    Press(w.view, CPoint(200, 160));
    EXPECT_EQ(o.m_rect, CRect(130, 120, 270, 210));
}

TEST_F(LayerEditing, ReorderingChangesWhatIsDrawnOnTop)
{
    PlaceImage(LAYER_BACKGROUND, CRect(100, 100, 200, 180), WriteBmp("red.bmp", kRed));
    PlaceImage(LAYER_BACKGROUND, CRect(260, 200, 150, 120), WriteBmp("blue.bmp", kBlue));
    const CRect overlap(150, 120, 200, 180);
    Redraw();
    EXPECT_EQ(DrawnAt(overlap), kBlue);

    // Select the red picture and bring it to the top through the command route.
    Click(CPoint(120, 110));
    ASSERT_EQ(objects()[0].m_nSelectStyle, 2);
    CRasterImage* pRed = objects()[0].m_pImage;
    EXPECT_TRUE(view().OnCmdMsg(ID_BRING_TO_TOP, CN_COMMAND, nullptr, nullptr));
    ASSERT_EQ(objects().GetSize(), 2);
    EXPECT_EQ(objects()[1].m_pImage, pRed);
    EXPECT_EQ(objects()[1].m_nSelectStyle, 2);
    EXPECT_EQ(objects()[0].m_pImage->GetPixelColor(0, 0).rgbBlue, 255);
    Redraw();
    EXPECT_EQ(DrawnAt(overlap), kRed);

    EXPECT_TRUE(view().OnCmdMsg(ID_MOVE_TO_BOTTOM, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(objects()[0].m_pImage, pRed);
    Redraw();
    EXPECT_EQ(DrawnAt(overlap), kBlue);
}

// Three text objects "1", "2", "3" on the text layer.
void AddTexts(CArray<CLogicalRectTracker, CLogicalRectTracker&>& objects)
{
    for (const char* text : {"1", "2", "3"}) {
        CLogicalRectTracker o;
        o.m_nKind = CLogicalRectTracker::kindTextTransparent;
        o.NewFontRecord();
        o.m_pChooseFont->iPointSize = 120;
        o.m_strText = text;
        o.m_nLayer = LAYER_TEXT;
        o.m_nSelectStyle = 1;
        CLogicalRectTracker empty;
        objects[objects.Add(empty)] = std::move(o);
    }
}

CString Order(CArray<CLogicalRectTracker, CLogicalRectTracker&>& objects)
{
    CString s;
    for (int i = 0; i < objects.GetSize(); ++i)
        s += objects[i].m_strText;
    return s;
}

TEST_F(LayerEditing, CommandsActOnTheSelectedObject)
{
    AddTexts(objects());
    auto enabled = [this](UINT nID) {
        CCmdUI ui;
        ui.m_nID = nID;
        ui.DoUpdate(w.view, TRUE);
        return ui.IsEnabled();
    };
    EXPECT_FALSE(enabled(ID_DELETE_OBJECT));
    EXPECT_FALSE(enabled(ID_BRING_TO_TOP));
    EXPECT_FALSE(enabled(ID_MOVE_TO_BOTTOM));

    objects()[1].m_nSelectStyle = 2;
    EXPECT_TRUE(enabled(ID_DELETE_OBJECT));
    EXPECT_TRUE(enabled(ID_BRING_TO_TOP));
    EXPECT_TRUE(enabled(ID_MOVE_TO_BOTTOM));
    view().OnBringToTop();
    EXPECT_STREQ(Order(objects()), "132");
    EXPECT_EQ(objects()[2].m_nSelectStyle, 2);
    ASSERT_NE(objects()[2].m_pChooseFont, nullptr);
    EXPECT_EQ(objects()[2].m_pChooseFont->iPointSize, 120);

    view().SetActiveLayer(-1);
    objects()[2].m_nSelectStyle = 2;
    view().OnMoveToBottom();
    EXPECT_STREQ(Order(objects()), "213");

    // Without a selection the commands only clear selections and repaint.
    view().SetActiveLayer(-1);
    view().OnBringToTop();
    view().OnDeleteObject();
    EXPECT_STREQ(Order(objects()), "213");
    EXPECT_EQ(w.doc.m_bDirty, 1);

    objects()[1].m_nSelectStyle = 2;
    EXPECT_TRUE(view().OnCmdMsg(ID_DELETE_OBJECT, CN_COMMAND, nullptr, nullptr));
    EXPECT_STREQ(Order(objects()), "23");
    EXPECT_FALSE(enabled(ID_DELETE_OBJECT));
}

TEST_F(LayerEditing, ANewTextBlockTakesTheChosenFontAndTheTypedText)
{
    fontAnswer = std::make_unique<CHOOSEFONTA>();
    fontAnswer->iPointSize = 120;
    fontAnswer->rgbColors = RGB(10, 20, 200);
    view().SetActiveLayer(LAYER_TEXT);
    ClearModified();
    Band(CPoint(300, 300), CPoint(500, 360));

    ASSERT_EQ(fontRequests.size(), 1u);
    EXPECT_EQ(fontRequests[0].cf.Flags, CF_PRINTERFONTS | CF_EFFECTS);  // no stored font yet
    ASSERT_EQ(objects().GetSize(), 1);
    CLogicalRectTracker& o = objects()[0];
    EXPECT_EQ(o.m_nKind, CLogicalRectTracker::kindTextTransparent);
    EXPECT_EQ(o.m_nLayer, LAYER_TEXT);
    EXPECT_EQ(o.m_nSelectStyle, 2);
    ASSERT_NE(o.m_pChooseFont, nullptr);
    EXPECT_EQ(o.m_pChooseFont->iPointSize, 120);
    EXPECT_EQ(o.m_crText, RGB(10, 20, 200));
    EXPECT_STREQ(o.m_pLogFont->lfFaceName, "DejaVu Sans");
    EXPECT_EQ(o.m_rectLogical, Logical(CRect(300, 300, 500, 360)));
    EXPECT_TRUE(w.doc.IsModified());

    // The editor stands over the block: 12 points are 240 twips, and its font 160 pixels (tenths of a
    // point taken as points on the 96-dpi screen).
    EXPECT_TRUE(view().m_textEditor.IsWindowVisible());
    CRect editor;
    view().m_textEditor.GetWindowRect(&editor);
    EXPECT_EQ(editor, CRect(297, 297, 503, 363));
    CHARFORMAT format;
    view().m_textEditor.GetDefaultCharFormat(format);
    EXPECT_EQ(format.yHeight, 240);
    EXPECT_EQ(format.crTextColor, RGB(10, 20, 200));
    EXPECT_EQ(format.dwEffects & CFE_AUTOCOLOR, 0u);
    EXPECT_EQ(o.m_pLogFont->lfHeight, -160);

    // Typing, then a click elsewhere: the editor loses the focus and its text goes to the object.
    view().m_textEditor.SetWindowText("Hello maze");
    view().SetFocus();
    QApplication::processEvents();
    EXPECT_STREQ(objects()[0].m_strText, "Hello maze");
    EXPECT_EQ(objects()[0].m_nSelectStyle, 1);
    EXPECT_FALSE(view().m_textEditor.IsWindowVisible());

    // The redrawn page shows the text in the block's colour.
    Redraw();
    view().OnPrepareDC(&view().m_backBufferDC);
    CRect block = objects()[0].m_rectLogical;
    block.NormalizeRect();
    int inked = 0;
    for (int y = block.top; y < block.bottom; y += 10)
        for (int x = block.left; x < block.right; x += 10)
            inked += view().m_backBufferDC.GetPixel(x, y) == RGB(10, 20, 200);
    EXPECT_GT(inked, 20);

    // The profile keeps the choice, 60 bytes each.
    std::vector<BYTE> cf, lf;
    ASSERT_TRUE(AfxGetProfile().GetProfileBinary("FONT", "CF", cf));
    ASSERT_TRUE(AfxGetProfile().GetProfileBinary("FONT", "LF", lf));
    ASSERT_EQ(cf.size(), 60u);
    ASSERT_EQ(lf.size(), 60u);
    EXPECT_EQ(ChooseFontFromBytes(cf.data(), cf.size()).iPointSize, 120);
    EXPECT_STREQ(LogFontFromBytes(lf.data(), lf.size()).lfFaceName, "DejaVu Sans");
}

TEST_F(LayerEditing, TheStoredFontOpensTheNextDialogUnlessItsRecordsHaveTheWrongSize)
{
    fontAnswer = std::make_unique<CHOOSEFONTA>();
    fontAnswer->iPointSize = 140;
    fontAnswer->rgbColors = RGB(1, 2, 3);
    view().SetActiveLayer(LAYER_TEXT);
    Band(CPoint(100, 100), CPoint(300, 160));
    view().SetFocus();
    Band(CPoint(100, 300), CPoint(300, 360));
    ASSERT_EQ(fontRequests.size(), 2u);
    EXPECT_EQ(fontRequests[1].cf.Flags & CF_INITTOLOGFONTSTRUCT, CF_INITTOLOGFONTSTRUCT);
    EXPECT_STREQ(fontRequests[1].lf.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(fontRequests[1].lf.lfHeight, -MulDiv(140, 96, 720));
    EXPECT_EQ(fontRequests[1].cf.rgbColors, RGB(1, 2, 3));
    view().SetFocus();

    // A record one byte short, then one byte long: neither is used.
    std::vector<BYTE> cf;
    ASSERT_TRUE(AfxGetProfile().GetProfileBinary("FONT", "CF", cf));
    for (UINT size : {59u, 61u}) {
        std::vector<BYTE> odd(size, 0x41);
        std::memcpy(odd.data(), cf.data(), std::min<std::size_t>(size, cf.size()));
        AfxGetProfile().WriteProfileBinary("FONT", "CF", odd.data(), size);
        fontAnswer.reset();
        Band(CPoint(400, 100), CPoint(500, 160));
        EXPECT_EQ(fontRequests.back().cf.Flags, CF_PRINTERFONTS | CF_EFFECTS);
        EXPECT_EQ(fontRequests.back().cf.rgbColors, 0u);
        EXPECT_EQ(fontRequests.back().lf.lfFaceName[0], '\0');
    }
    // A missing "LF" entry is no stored font either.
    AfxGetProfile().WriteProfileBinary("FONT", "CF", cf.data(), UINT(cf.size()));
    AfxGetProfile().WriteProfileString("FONT", "LF", nullptr);
    Band(CPoint(400, 100), CPoint(500, 160));
    EXPECT_EQ(fontRequests.back().cf.Flags, CF_PRINTERFONTS | CF_EFFECTS);
    EXPECT_EQ(objects().GetSize(), 2);
}

TEST_F(LayerEditing, CancellingTheFontDialogMakesNothingAndMarksNothing)
{
    view().SetActiveLayer(LAYER_TEXT);
    ClearModified();
    Band(CPoint(100, 100), CPoint(300, 160));
    EXPECT_EQ(fontRequests.size(), 1u);
    EXPECT_EQ(objects().GetSize(), 0);
    EXPECT_FALSE(w.doc.IsModified());
    std::vector<BYTE> cf;
    EXPECT_FALSE(AfxGetProfile().GetProfileBinary("FONT", "CF", cf));
}

TEST_F(LayerEditing, TheRightButtonChangesATextObjectsFont)
{
    AddTexts(objects());
    for (int i = 0; i < 3; ++i) {
        objects()[i].m_rect.SetRect(100, 100 + 80 * i, 300, 160 + 80 * i);
        objects()[i].m_crText = RGB(5, 5, 5);
    }
    view().SetActiveLayer(LAYER_TEXT);
    objects()[1].m_nSelectStyle = 2;

    // Cancelled: the object stays as it was, and the document is not marked.
    ClearModified();
    view().OnRButtonDown(MK_RBUTTON, CPoint(150, 200));
    ASSERT_EQ(fontRequests.size(), 1u);
    EXPECT_EQ(fontRequests[0].lf.lfHeight, -16);  // 12 points on the 96-dpi screen
    EXPECT_EQ(fontRequests[0].cf.rgbColors, RGB(5, 5, 5));
    EXPECT_EQ(fontRequests[0].cf.Flags & CF_INITTOLOGFONTSTRUCT, CF_INITTOLOGFONTSTRUCT);
    EXPECT_EQ(objects()[1].m_pChooseFont->iPointSize, 120);
    EXPECT_FALSE(w.doc.IsModified());

    fontAnswer = std::make_unique<CHOOSEFONTA>();
    fontAnswer->iPointSize = 200;
    fontAnswer->rgbColors = RGB(200, 0, 0);
    view().OnRButtonDown(MK_RBUTTON, CPoint(150, 200));
    CLogicalRectTracker& o = objects()[1];
    EXPECT_EQ(o.m_pChooseFont->iPointSize, 200);
    EXPECT_EQ(o.m_pLogFont->lfHeight, -267);
    EXPECT_STREQ(o.m_pLogFont->lfFaceName, "DejaVu Sans");
    EXPECT_EQ(o.m_crText, RGB(200, 0, 0));
    EXPECT_EQ(o.m_nSelectStyle, 1);
    EXPECT_TRUE(w.doc.IsModified());
    EXPECT_EQ(objects()[0].m_pChooseFont->iPointSize, 120);

    // Away from every object: no dialog, but the document is marked.
    ClearModified();
    view().OnRButtonDown(MK_RBUTTON, CPoint(600, 500));
    EXPECT_EQ(fontRequests.size(), 2u);
    EXPECT_TRUE(w.doc.IsModified());
}

TEST_F(LayerEditing, ClickingATextObjectOpensTheEditorOnItsText)
{
    AddTexts(objects());
    objects()[0].m_rect.SetRect(100, 100, 300, 160);
    objects()[0].m_pChooseFont->rgbColors = RGB(0, 90, 0);
    view().SetActiveLayer(LAYER_TEXT);
    Click(CPoint(150, 130));
    EXPECT_EQ(objects()[0].m_nSelectStyle, 2);
    EXPECT_TRUE(view().m_textEditor.IsWindowVisible());
    CString text;
    view().m_textEditor.GetWindowText(text);
    EXPECT_STREQ(text, "1");
    CHARFORMAT format;
    view().m_textEditor.GetDefaultCharFormat(format);
    EXPECT_EQ(format.crTextColor, RGB(0, 90, 0));

    // Bring to top gives the view the focus, which commits the editor's text, and hides the editor.
    view().m_textEditor.SetWindowText("one");
    view().OnBringToTop();
    EXPECT_FALSE(view().m_textEditor.IsWindowVisible());
    EXPECT_STREQ(Order(objects()), "23one");
    EXPECT_EQ(objects()[2].m_nSelectStyle, 1);
}

TEST_F(LayerEditing, CursorsAndDragMarksFollowTheActiveLayer)
{
    PlaceImage(LAYER_BACKGROUND, CRect(100, 100, 200, 180), WriteBmp("red.bmp", kRed));
    static CPoint s_pointer;
    static int s_hit = -2;
    CRectTracker::SetCursorHandlers(
        [](CWnd*, CPoint* p) {
            *p = s_pointer;
            return true;
        },
        [](CWnd*, int hit) { s_hit = hit; });
    s_pointer = CPoint(150, 140);
    view().SetActiveLayer(LAYER_BACKGROUND);
    EXPECT_TRUE(view().OnSetCursor(w.view, HTCLIENT, 0));
    EXPECT_EQ(s_hit, CRectTracker::hitMiddle);
    s_hit = -2;
    view().SetActiveLayer(LAYER_FOREGROUND);
    EXPECT_FALSE(view().OnSetCursor(w.view, HTCLIENT, 0));
    EXPECT_EQ(s_hit, -2);

    ClearModified();
    view().m_nDragState = 1;
    view().OnMouseMove(MK_LBUTTON, CPoint(10, 10));
    EXPECT_EQ(w.doc.m_bDirty, 1);
    EXPECT_TRUE(w.doc.IsModified());
    view().m_nDragState = 0;
    ClearModified();
    view().OnMouseMove(0, CPoint(10, 10));
    EXPECT_FALSE(w.doc.IsModified());
}

} // namespace
