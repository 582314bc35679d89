// The document's files: File New, Open and Save As, and the .mze format of versions 1.0 and 2.0.
//
// A file is read into a fresh document that starts from this one's settings and goes through the same
// reset as File New; only when the whole file has been read is its state moved into this document, so
// a rejected or broken file leaves the document the user had exactly as it was.
#include "maze/CVantrelDoc.h"

#include "maze/MzeArchive.h"
#include "maze/StoredPicture.h"
#include "maze/TemplateRules.h"
#include "platform/core/CArchive.h"
#include "platform/core/CAtomicFile.h"
#include "platform/core/CFile.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// Where the messages about newer formats send the user.
constexpr const char* kSupportEmail = "support@quillmont.example";

constexpr const char* kFileTag = "MZE";

// The title of a document that has no file yet.
constexpr const char* kUntitled = "Untitled";

constexpr const char* kNotAnMzeFile =
    "ERROR: Quillmont does not recognize this file as a valid MZE file.  Loading has stopped.";

// A format version as the messages show it: "%3.1f" for a version a file could mean; a value that is not
// finite, or too large to be a version, as %g gives it ("inf", "nan", "1e+300"), never 300 digits.
CString VersionText(double dVersion)
{
    CString text;
    if (std::isfinite(dVersion) && std::fabs(dVersion) < 1e6)
        text.Format("%3.1f", dVersion);
    else
        text.Format("%g", dVersion);
    return text;
}

// Lends the pictures encoded for a save to the Serialize that writes them, for as long as the save runs.
class LentPictures {
public:
    LentPictures(const std::vector<StoredPicture>*& slot, const std::vector<StoredPicture>& pictures) : m_slot(slot)
    {
        m_slot = &pictures;
    }
    ~LentPictures() { m_slot = nullptr; }
    LentPictures(const LentPictures&) = delete;
    LentPictures& operator=(const LentPictures&) = delete;

private:
    const std::vector<StoredPicture>*& m_slot;
};

} // namespace

BOOL CVantrelDoc::CanStoreVersion(double dVersion)
{
    return dVersion < 3.0;
}

void CVantrelDoc::SetStoreVersionError()
{
    m_strError.Format("ERROR: Save MZE File format {%s} is greater than the maximum version supported by this "
                      "program.  Please contact support: ",
                      VersionText(m_dVersion).GetString());
    m_strError += kSupportEmail;
}

// What of the document the reader would refuse, in words for the save's message; empty when nothing.
CString CVantrelDoc::FindUnstorable() const
{
    if (m_nGrids <= 0)
        return "the document has no maze grid";
    const bool pageHeld = mze::kScaleRange.Holds(m_nScale) && mze::kOffsetRange.Holds(m_nOffsetX) &&
                          mze::kOffsetRange.Holds(m_nOffsetY) && mze::kCellsRange.Holds(m_nCellsX) &&
                          mze::kCellsRange.Holds(m_nCellsY) && mze::kPageRange.Holds(m_nPageWidth) &&
                          mze::kPageRange.Holds(m_nPageHeight) && mze::kSignRange.Holds(m_nXSign) &&
                          mze::kSignRange.Holds(m_nYSign) && m_nXSign != 0 && m_nYSign != 0;
    if (!pageHeld)
        return "its page settings are outside what a maze file holds";
    if (m_dVersion < 2.0)
        return {};  // a version 1.0 file holds no layer objects and no start points
    if (m_objects.GetSize() > mze::kMaxObjects)
        return "it has more layer objects than a maze file holds";
    for (int i = 0; i < m_objects.GetSize(); ++i) {
        const CLogicalRectTracker& object = m_objects[i];
        if (object.m_nKind < CLogicalRectTracker::kindTextTransparent ||
            object.m_nKind > CLogicalRectTracker::kindImage || object.m_nLayer < LAYER_BACKGROUND ||
            object.m_nLayer > LAYER_TEXT)
            return "it has a layer object of no known kind or layer";
    }
    if (m_startPoints.GetSize() > mze::kMaxStartPoints)
        return "it has more start points than a maze file holds";
    return {};
}

BOOL CVantrelDoc::ConfirmLayersDropped(const CString& path)
{
    if (m_dVersion >= 2.0 || m_objects.GetSize() == 0)
        return TRUE;
    CString prompt;
    prompt.Format("Quillmont V1 files hold the maze only.  The text and pictures of this document (layer "
                  "objects: %d) will not be saved in '%s'.\n\nSave anyway?",
                  m_objects.GetSize(), path.GetString());
    return AfxMessageBox(prompt, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

BOOL CVantrelDoc::PrepareStore(const CString& path, std::vector<StoredPicture>& pictures)
{
    pictures.clear();
    CString why = FindUnstorable();
    if (why.IsEmpty() && m_dVersion >= 2.0) {
        BeginWaitCursor();
        pictures.resize(std::size_t(m_objects.GetSize()));
        for (int i = 0; i < m_objects.GetSize(); ++i) {
            if (m_objects[i].m_nKind == CLogicalRectTracker::kindImage &&
                !pictures[std::size_t(i)].Encode(m_objects[i].m_pImage, why))
                break;
        }
        EndWaitCursor();
    }
    if (why.IsEmpty())
        return TRUE;
    pictures.clear();
    m_strError.Format("ERROR: Could not save '%s': %s.  The file was not changed.", path.GetString(),
                      why.GetString());
    // The views show the queued message at their next paint.
    MarkChanged();
    UpdateAllViews(nullptr);
    return FALSE;
}

// ---- Commands ----------------------------------------------------------------------------------

void CVantrelDoc::OnFileNew()
{
    CreateGrid();
    ShowSettings(-1);
    OnClearMaze();
    if (GetVantrelDocShell().hideInfoPane)
        GetVantrelDocShell().hideInfoPane();
    // A new maze has no file yet and is saved in the current format.
    DetachFromFile();
    SetModifiedFlag(FALSE);
    m_dVersion = 2.0;
}

void CVantrelDoc::DetachFromFile()
{
    SetPathName("", FALSE);
    SetTitle(kUntitled);
}

void CVantrelDoc::OnFileOpen()
{
    m_strError.Empty();
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Mazes (*.mze)|*.mze|All Files (*.*)|*.*||");
    if (dlg.DoModal() != IDOK)
        return;
    const CString path = dlg.GetPathName();
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        if (error.m_cause == CFileException::notRegularFile)
            m_strError = "ERROR: " + error.GetErrorMessage();
        else
            m_strError.Format("ERROR: Could not open %s for reading, please check you have rights to do so.",
                              path.GetString());
        return;
    }
    if (!SerializeFile(file, FALSE))
        return;
    SetPathName(path);
    SetModifiedFlag(FALSE);
}

void CVantrelDoc::OnFileSave()
{
    if (GetPathName().IsEmpty()) {
        OnFileSaveAs();
        return;
    }
    // The format the file was opened or last saved in.
    m_dVersion = m_dVersion < 2.0 ? 1.0 : 2.0;
    SaveToFile(GetPathName());
}

void CVantrelDoc::OnFileSaveAs()
{
    CFileDialog dlg(FALSE, "mze", nullptr, OFN_OVERWRITEPROMPT,
                    "Quillmont V2 (*.mze)|*.mze|Quillmont V1 (*.mze)|*.mze||");
    dlg.m_ofn.nFilterIndex = 1;
    if (dlg.DoModal() != IDOK)
        return;
    switch (dlg.m_ofn.nFilterIndex) {
    case 1:
        m_dVersion = 2.0;
        break;
    case 2:
        m_dVersion = 1.0;
        break;
    default:
        m_dVersion = 0.0;
        m_strError = "ERROR: Could not save in that format.  Save has stopped.";
        return;
    }
    SaveToFile(dlg.GetPathName());
}

BOOL CVantrelDoc::SaveToFile(const CString& path)
{
    if (!ConfirmLayersDropped(path))
        return FALSE;
    std::vector<StoredPicture> pictures;
    if (!PrepareStore(path, pictures))
        return FALSE;
    LentPictures lent(m_pStoredPictures, pictures);
    // The file is written beside the old one and replaces it only once it is whole.
    CAtomicFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
        m_strError.Format("ERROR: Could not open '%s' for writing, please check you have rights to do so.",
                          path.GetString());
        return FALSE;
    }
    if (!SerializeFile(file, TRUE))
        return FALSE;
    SetPathName(path);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CVantrelDoc::OnSaveDocument(const char* lpszPathName)
{
    // A version the writer cannot write is refused before anything is written.
    if (!CanStoreVersion(m_dVersion)) {
        SetStoreVersionError();
        return FALSE;
    }
    if (!ConfirmLayersDropped(lpszPathName))
        return FALSE;
    std::vector<StoredPicture> pictures;
    if (!PrepareStore(lpszPathName, pictures))
        return FALSE;
    LentPictures lent(m_pStoredPictures, pictures);
    return CDocument::OnSaveDocument(lpszPathName);
}

// ---- Serialisation -----------------------------------------------------------------------------

void CVantrelDoc::Serialize(CArchive& ar)
{
    m_bFileFailed = FALSE;
    if (ar.IsStoring()) {
        if (!CanStoreVersion(m_dVersion)) {
            SetStoreVersionError();
            m_bFileFailed = TRUE;
            return;
        }
        // The save routes encode the pictures before they open the file; any other store does it here.
        std::vector<StoredPicture> pictures;
        std::optional<LentPictures> lent;
        if (!m_pStoredPictures) {
            const CFile* file = ar.GetFile();
            if (!PrepareStore(file ? file->GetFilePath() : CString(), pictures)) {
                m_bFileFailed = TRUE;
                return;
            }
            lent.emplace(m_pStoredPictures, pictures);
        }
        if (m_dVersion < 2.0)
            SerializeV1(ar);
        else
            SerializeV2(ar);
        return;
    }

    std::unique_ptr<CVantrelDoc> loaded(new CVantrelDoc(ForLoading{}));
    loaded->CopySettingsFrom(*this);
    loaded->m_strError.Empty();
    loaded->m_pLoadTarget = this;
    // An exception from here on leaves this document untouched; the caller reports it.
    if (!loaded->LoadDocument(ar)) {
        m_bFileFailed = TRUE;
        if (!loaded->m_strError.IsEmpty()) {
            // The views show the queued message at their next paint.
            m_strError = loaded->m_strError;
            MarkChanged();
            UpdateAllViews(nullptr);
        }
        return;
    }
    AdoptLoaded(*loaded);
    MarkChanged();
    UpdateAllViews(nullptr);
}

BOOL CVantrelDoc::LoadDocument(CArchive& ar)
{
    OnFileNew();
    ar >> m_dVersion;
    if (m_dVersion < 2.0)
        return SerializeV1(ar);
    if (m_dVersion < 3.0)
        return SerializeV2(ar);
    m_strError.Format("ERROR: MZE File format {%s} is greater than the maximum version supported by this "
                      "program.  Please contact support to upgrade: ",
                      VersionText(m_dVersion).GetString());
    m_strError += kSupportEmail;
    return FALSE;
}

// The fields both versions share, from the template type to the seed.
void CVantrelDoc::StoreHeader(CArchive& ar)
{
    ar << m_nType << m_strStyle << m_nPlacedMarks << m_nGrids;
    ar << m_nScale << m_nStartX << m_nOffsetX << m_nStartY << m_nOffsetY;
    ar << m_nCellsX << m_nPageWidth << m_nXSign << m_nCellsY << m_nPageHeight << m_nYSign;
    ar << m_nSeed;
}

void CVantrelDoc::StoreGrids(CArchive& ar)
{
    for (int g = 0; g < m_nGrids; ++g)
        m_pGrids[g]->Serialize(ar, m_dVersion);
}

void CVantrelDoc::LoadHeader(CArchive& ar)
{
    m_nType = mze::ReadInt(ar);
    ar >> m_strStyle;
    m_nPlacedMarks = mze::ReadInt(ar);
    mze::ReadInt(ar);  // grid count: the rebuild decides
    // The page geometry must give cells a size and the grid record its cells; start cells and marks
    // need no check, the growth tests them.
    m_nScale = mze::ReadIntIn(ar, mze::kScaleRange);
    m_nStartX = mze::ReadInt(ar);
    m_nOffsetX = mze::ReadIntIn(ar, mze::kOffsetRange);
    m_nStartY = mze::ReadInt(ar);
    m_nOffsetY = mze::ReadIntIn(ar, mze::kOffsetRange);
    m_nCellsX = mze::ReadIntIn(ar, mze::kCellsRange);
    m_nPageWidth = mze::ReadIntIn(ar, mze::kPageRange);
    m_nXSign = mze::ReadIntIn(ar, mze::kSignRange);
    m_nCellsY = mze::ReadIntIn(ar, mze::kCellsRange);
    m_nPageHeight = mze::ReadIntIn(ar, mze::kPageRange);
    m_nYSign = mze::ReadIntIn(ar, mze::kSignRange);
    if (m_nXSign == 0 || m_nYSign == 0)
        mze::Reject();
    m_nSeed = mze::ReadInt(ar);
}

void CVantrelDoc::StoreRingCells(CArchive& ar)
{
    if (m_pRingCells) {
        ar << m_nCellsY;
        for (int i = 0; i < m_nCellsY; ++i)
            ar << m_pRingCells[i];
    } else {
        ar << 0;
    }
}

void CVantrelDoc::SkipRingCells(CArchive& ar)
{
    // The rebuild that follows discards them.
    int n = mze::ReadCount(ar, 4, mze::kMaxCellsPerSide);
    mze::SkipInts(ar, n);
}

BOOL CVantrelDoc::LoadGrids(CArchive& ar)
{
    if (!HasGridBuilder(m_nType)) {
        m_strError = "ERROR: This file holds a maze of " + DescribeTemplateType(m_nType) +
                     ", which is not available in this version of Quillmont.  Loading has stopped.";
        return FALSE;
    }
    // The grid record must hold the cells of the header's grid, which the rebuild is about to allocate.
    if (std::uint64_t(m_nCellsX) * std::uint64_t(m_nCellsY) * mze::kCellBytes > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    if (!CreateGrid()) {
        // A template this program cannot build: say so, unless the rebuild already did.
        if (m_strError.IsEmpty())
            m_strError = kNotAnMzeFile;
        return FALSE;
    }
    for (int g = 0; g < m_nGrids; ++g) {
        m_pGrids[g]->Serialize(ar, m_dVersion);
        // The program only ever stores a grid at least as large as the document's counts (a rebuild
        // may clip the counts, never the stored grid); a smaller one would leave the maze's cells short.
        if (m_pGrids[g]->width < m_nCellsX || m_pGrids[g]->height < m_nCellsY)
            mze::Reject();
    }
    SyncFrontierIndex();
    return TRUE;
}

BOOL CVantrelDoc::SerializeV1(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_dVersion;
        StoreHeader(ar);
        StoreRingCells(ar);
        mze::WriteZeros(ar, 3);
        StoreGrids(ar);
        return TRUE;
    }

    LoadHeader(ar);
    SkipRingCells(ar);
    mze::SkipInts(ar, 3);
    return LoadGrids(ar);
}

BOOL CVantrelDoc::SerializeV2(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_dVersion << CString(kFileTag);
        StoreHeader(ar);
        ar << 0 << m_bTiled << m_strTilerID << 0;
        StoreRingCells(ar);
        mze::WriteZeros(ar, 6);
        StoreGrids(ar);
        ar << m_objects.GetSize();
        for (int i = 0; i < m_objects.GetSize(); ++i) {
            const bool encoded = m_pStoredPictures && std::size_t(i) < m_pStoredPictures->size();
            m_objects[i].Serialize(ar, encoded ? &(*m_pStoredPictures)[std::size_t(i)] : nullptr);
        }
        ar << m_startPoints.GetSize();
        for (int i = 0; i < m_startPoints.GetSize(); ++i)
            ar << m_startPoints[i].x << m_startPoints[i].y;
        mze::WriteZeros(ar, 24);
        return TRUE;
    }

    CString tag;
    ar >> tag;
    if (tag != kFileTag) {
        m_strError = kNotAnMzeFile;
        return FALSE;
    }
    LoadHeader(ar);
    mze::ReadInt(ar);  // reserved
    m_bTiled = mze::ReadInt(ar);
    if (m_bTiled > 0)
        m_bLoadTiler = 1;
    ar >> m_strTilerID;
    if (mze::ReadInt(ar) > 0) {
        CString message;
        message.Format("ERROR: MZE File format {%s} is greater than the maximum version supported by this "
                       "program.  Please contact support to upgrade. email: ",
                       VersionText(m_dVersion).GetString());
        message += kSupportEmail;
        AfxMessageBox(message, MB_OKCANCEL);
        ar.Abort();
        return FALSE;
    }
    SkipRingCells(ar);
    mze::SkipInts(ar, 6);
    if (!LoadGrids(ar))
        return FALSE;

    // The pictures are decoded only once the whole file has been read and their sizes fit the budget.
    std::vector<CLogicalRectTracker> objects;
    std::vector<StoredPicture> pictures;
    if (!LoadObjectRecords(ar, objects, pictures))
        return FALSE;
    int nPoints = mze::ReadCount(ar, mze::kPointBytes, mze::kMaxStartPoints);
    for (int i = 0; i < nPoints; ++i) {
        CPoint point;
        ar >> point.x >> point.y;
        m_startPoints.Add(point);
    }
    mze::SkipInts(ar, 24);
    return TakeObjects(ar, objects, pictures);
}

namespace {

// The memory the pictures of layer objects hold.
std::uint64_t PicturesHeld(const CArray<CLogicalRectTracker, CLogicalRectTracker&>& objects)
{
    std::uint64_t bytes = 0;
    for (int i = 0; i < objects.GetSize(); ++i)
        if (objects[i].m_pImage)
            bytes += PictureBytes(*objects[i].m_pImage);
    return bytes;
}

// The file an archive reads, as the messages name it.
CString QuotedFileName(CArchive& ar)
{
    const CFile* file = ar.GetFile();
    return file && !file->GetFilePath().IsEmpty() ? "'" + file->GetFilePath() + "'" : CString("the file");
}

} // namespace

std::uint64_t CVantrelDoc::PicturesKept() const
{
    // The document the file is read for keeps its objects when its user said so at the reset.
    return m_pLoadTarget && !m_bDropTargetObjects ? PicturesHeld(m_pLoadTarget->m_objects) : 0;
}

BOOL CVantrelDoc::RefusePictures(CArchive& ar, std::uint64_t bytes)
{
    m_strError.Format("ERROR: The pictures in %s need more memory than the %llu MB a document may hold for its "
                      "pictures (at least %llu MB).  Loading has stopped.",
                      QuotedFileName(ar).GetString(),
                      static_cast<unsigned long long>(mze::kPictureBudgetBytes / 1000000),
                      static_cast<unsigned long long>(bytes / 1000000));
    return FALSE;
}

BOOL CVantrelDoc::LoadObjectRecords(CArchive& ar, std::vector<CLogicalRectTracker>& objects,
                                    std::vector<StoredPicture>& pictures)
{
    const int nObjects = mze::ReadCount(ar, mze::kMinObjectBytes, mze::kMaxObjects);
    objects.resize(std::size_t(nObjects));
    pictures.resize(std::size_t(nObjects));
    // What the headers say the pictures will take, and what their stored bytes take meanwhile.
    std::uint64_t decoded = PicturesKept(), stored = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i].LoadRecord(ar, pictures[i]);
        decoded += pictures[i].DecodedBytesAtLeast();
        stored += pictures[i].GetSize();
        if (decoded > mze::kPictureBudgetBytes || stored > mze::kPictureBudgetBytes)
            return RefusePictures(ar, decoded > stored ? decoded : stored);
    }
    return TRUE;
}

BOOL CVantrelDoc::TakeObjects(CArchive& ar, std::vector<CLogicalRectTracker>& objects,
                              std::vector<StoredPicture>& pictures)
{
    std::uint64_t held = PicturesKept();
    int unreadable = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        CLogicalRectTracker& object = objects[i];
        if (object.m_nKind == CLogicalRectTracker::kindImage) {
            const bool decoded = object.DecodePicture(pictures[i]);
            pictures[i] = StoredPicture();
            // A picture whose stored bytes do not decode makes no object, and the user is told.
            if (!decoded) {
                ++unreadable;
                continue;
            }
            held += PictureBytes(*object.m_pImage);
            if (held > mze::kPictureBudgetBytes)
                return RefusePictures(ar, held);
        }
        m_objects.Add(std::move(object));
    }
    if (unreadable == 1)
        m_strError.Format("ERROR: A picture in %s could not be read and was left out.", QuotedFileName(ar).GetString());
    else if (unreadable > 1)
        m_strError.Format("ERROR: %d pictures in %s could not be read and were left out.", unreadable,
                          QuotedFileName(ar).GetString());
    return TRUE;
}

int CVantrelDoc::CountObjectsToAskAbout() const
{
    int n = m_objects.GetSize();
    if (m_pLoadTarget && !m_bDropTargetObjects)
        n += m_pLoadTarget->m_objects.GetSize();
    return n;
}

// ---- Moving a loaded document in -----------------------------------------------------------------

// Every plain field of the document: settings, geometry, generation state and texts.
#define VANTREL_DOC_PLAIN_FIELDS(X) \
    X(m_strStyle) X(m_strTilerID) X(m_strError) X(m_dVersion) X(m_nType) X(m_nPlacedMarks) X(m_nCurGrid) \
    X(m_nLastDir) X(m_nStartY) X(m_nStartX) X(m_nCellsY) X(m_nCellsX) X(m_nPageHeight) X(m_nPageWidth) \
    X(m_nScale) X(m_nYSign) X(m_nXSign) X(m_nSeed) X(m_nOffsetX) X(m_nOffsetY) X(m_bGenerated) \
    X(m_bTemplateOnly) X(m_bLoadTiler) X(m_bErasedVisible) X(m_nExtraRowsPct) X(m_nExtraColsPct) \
    X(m_nTopReserve) X(m_nCellWidth) X(m_nCellHeight) X(m_bFitToPage) X(m_bAnimate) X(m_strInstallPath) \
    X(m_bDirty) X(m_nPenWidth) X(m_bTiled) X(m_bPrinterDebug) X(m_bAutoCenter) X(m_nDeleteEnds) X(m_setup)

void CVantrelDoc::CopySettingsFrom(const CVantrelDoc& src)
{
#define VANTREL_COPY_FIELD(f) f = src.f;
    VANTREL_DOC_PLAIN_FIELDS(VANTREL_COPY_FIELD)
#undef VANTREL_COPY_FIELD
    std::copy(std::begin(src.m_nProb), std::end(src.m_nProb), std::begin(m_nProb));
}

static_assert(std::is_nothrow_move_assignable_v<CLogicalRectTracker> && std::is_nothrow_move_assignable_v<CString> &&
                  std::is_nothrow_move_assignable_v<CMazeSetupValues> &&
                  std::is_nothrow_move_assignable_v<FrontierArray> &&
                  std::is_nothrow_move_assignable_v<CArray<CPoint, CPoint>> &&
                  std::is_nothrow_move_assignable_v<CArray<CLogicalRectTracker, CLogicalRectTracker&>>,
              "adopting a loaded document must not be able to fail half way");

void CVantrelDoc::AdoptLoaded(CVantrelDoc& loaded)
{
    // What allocates comes first, while this document is untouched: running out of memory here
    // leaves it as it was. From the reset of the objects on, everything moves and nothing can fail.
    CString waiting = m_strError;
    const int kept = loaded.m_bDropTargetObjects ? 0 : m_objects.GetSize();
    CArray<CLogicalRectTracker, CLogicalRectTracker&> objects;
    objects.SetSize(kept + loaded.m_objects.GetSize());

    // The user kept or dropped this document's objects when the reset asked; the file's follow them.
    for (int i = 0; i < kept; ++i)
        objects[i] = std::move(m_objects[i]);
    for (int i = 0; i < loaded.m_objects.GetSize(); ++i)
        objects[kept + i] = std::move(loaded.m_objects[i]);
    m_objects = std::move(objects);
    loaded.m_objects.RemoveAll();

#define VANTREL_MOVE_FIELD(f) f = std::move(loaded.f);
    VANTREL_DOC_PLAIN_FIELDS(VANTREL_MOVE_FIELD)
#undef VANTREL_MOVE_FIELD
    std::copy(std::begin(loaded.m_nProb), std::end(loaded.m_nProb), std::begin(m_nProb));
    // A message the load queued replaces one already waiting; otherwise that one stays.
    if (m_strError.IsEmpty())
        m_strError = std::move(waiting);
    DeleteGrids();
    for (int g = 0; g < kMaxGrids; ++g)
        m_pGrids[g] = std::exchange(loaded.m_pGrids[g], nullptr);
    m_nGrids = std::exchange(loaded.m_nGrids, 0);
    m_pRingCells = std::exchange(loaded.m_pRingCells, nullptr);
    m_frontier = std::move(loaded.m_frontier);
    m_startPoints = std::move(loaded.m_startPoints);
    SyncFrontierIndex();
}
