#include "maze/setup/PP1.h"

#include "image/CRasterImage.h"
#include "maze/RingGrid.h"
#include "maze/TemplateRules.h"
#include "maze/setup/MazeSetupIds.h"
#include "maze/setup/StyleExamples.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Resource.h"
#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

IMPLEMENT_DYNCREATE(PP1, CPropertyPage)

BEGIN_MESSAGE_MAP(PP1, CPropertyPage)
    ON_BN_CLICKED(IDC_STYLE_BOX, &PP1::OnBox)
    ON_BN_CLICKED(IDC_STYLE_TRIANGULAR, &PP1::OnTriangular)
    ON_BN_CLICKED(IDC_STYLE_OCTAGON_BOX, &PP1::OnOctagonBox)
    ON_BN_CLICKED(IDC_STYLE_HEX, &PP1::OnHex)
    ON_BN_CLICKED(IDC_STYLE_TRAPEZOID_BOX, &PP1::OnTrapezoidBox)
    ON_BN_CLICKED(IDC_STYLE_QUAD_TRIANGLE, &PP1::OnQuadTriangle)
    ON_BN_CLICKED(IDC_STYLE_CIRCULAR, &PP1::OnCircular)
    ON_BN_CLICKED(IDC_STYLE_SQUARE_TILED, &PP1::OnSquareTiled)
    ON_CBN_SELCHANGE(IDC_STYLE_TILER_LIST, &PP1::OnSelChangeTiler)
END_MESSAGE_MAP()

namespace {
constexpr UINT kBuiltinTileDefinition = IDR_BUILTIN_TILES;
constexpr UINT kBuiltinTileSheet = IDR_BUILTIN_TILE_SHEET;

const DialogTemplate& StyleTemplate()
{
    using K = DialogItemKind;
    static const DialogTemplate t = {
        "Style",
        316,
        178,
        {
            {K::GroupBox, IDC_STATIC, "Template Selection", 7, 7, 140, 164},
            {K::RadioButton, IDC_STYLE_BOX, "Box", 16, 20, 120, 12, WS_GROUP},
            {K::RadioButton, IDC_STYLE_TRIANGULAR, "Triangular", 16, 34, 120, 12},
            {K::RadioButton, IDC_STYLE_OCTAGON_BOX, "Octagon-Box", 16, 48, 120, 12},
            {K::RadioButton, IDC_STYLE_HEX, "Hex", 16, 62, 120, 12},
            {K::RadioButton, IDC_STYLE_TRAPEZOID_BOX, "Trapezoid-Box", 16, 76, 120, 12},
            {K::RadioButton, IDC_STYLE_QUAD_TRIANGLE, "Quad-Triangle", 16, 90, 120, 12},
            {K::RadioButton, IDC_STYLE_CIRCULAR, "CIRCULAR", 16, 104, 120, 12},
            {K::RadioButton, IDC_STYLE_SQUARE_TILED, "Square Tiled:", 16, 118, 120, 12},
            {K::ComboBox, IDC_STYLE_TILER_LIST, "", 16, 134, 124, 14},
            {K::GroupBox, IDC_STATIC, "Template Example", 155, 7, 154, 164},
            {K::Static, IDC_STYLE_PICTURE, "", 198, 50, 67, 62},
        },
    };
    return t;
}

// The value after the first colon of the definition's first "NAME:" line, with leading blanks removed;
// lines end as the definition format has them (the character before each line feed is dropped).
CString DefinitionName(const std::string& text)
{
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string::npos)
            break;
        const std::string line = text.substr(start, lf > start ? lf - start - 1 : 0);
        start = lf + 1;
        if (line.find("NAME:") == std::string::npos)
            continue;
        CString value(line.substr(line.find(':') + 1).c_str());
        value.TrimLeft();
        return value;
    }
    return CString();
}

// The text a tile set would read from the file (up to its first zero byte, within the definition
// buffer), or empty when the file is no tile definition.
std::string DefinitionText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(CBMPTiler::DEFINITION_BUFFER_SIZE - 1, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(size_t(in.gcount()));
    text.resize(std::strlen(text.c_str()));
    text += "\r\n";
    return text.find("TILE:") == std::string::npos ? std::string() : text;
}
} // namespace

PP1::PP1() : CPropertyPage(IDD_PAGE_STYLE)
{
    AfxRegisterDialogTemplate(IDD_PAGE_STYLE, &StyleTemplate());
}

PP1::~PP1() = default;

void PP1::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STYLE_PICTURE, m_picture);
    DDX_Control(pDX, IDC_STYLE_TILER_LIST, m_comboTiler);
}

void PP1::ScanTilerFolder()
{
    m_tilerPaths.clear();
    m_tilerNames.clear();
    m_tilerIDs.clear();
    std::error_code ec;
    if (m_strTilerDir.IsEmpty() || !std::filesystem::is_directory(m_strTilerDir.GetString(), ec))
        return;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_strTilerDir.GetString(), ec))
        if (entry.is_regular_file(ec))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
        const std::string text = DefinitionText(path);
        if (text.empty())
            continue;
        const CString file(path.filename().string().c_str());
        CString name = DefinitionName(text);
        if (name.IsEmpty())
            name = file;
        // Entries are found by their list text, so two sets of one name are told apart by their files.
        if (name == kBuiltinTilerName || std::find(m_tilerNames.begin(), m_tilerNames.end(), name) != m_tilerNames.end())
            name += " (" + file + ")";
        m_tilerPaths.push_back(m_strTilerDir + file);
        m_tilerNames.push_back(name);
        m_tilerIDs.push_back(file);
    }
}

int PP1::InitialSelection() const
{
    if (m_strTilerID.Left(int(std::strlen(kBuiltinPrefix))) == kBuiltinPrefix)
        return 0;
    for (size_t i = 0; i < m_tilerIDs.size(); ++i)
        if (!m_strTilerID.IsEmpty() && m_tilerIDs[i] == m_strTilerID)
            return int(i) + 1;
    return m_nTilerSel >= 0 && m_nTilerSel < m_nTilerCount ? m_nTilerSel : 0;
}

BOOL PP1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    ScanTilerFolder();
    m_comboTiler.ResetContent();
    m_comboTiler.AddString(kBuiltinTilerName);
    for (const CString& name : m_tilerNames)
        m_comboTiler.AddString(name);
    m_nTilerCount = m_comboTiler.GetCount();
    UpdateData(TRUE);
    m_nTilerSel = InitialSelection();
    m_comboTiler.SetCurSel(m_nTilerSel);

    // A type without a grid builder opens as Box, as an unknown one does.
    const UINT nChecked = ChoiceButton();
    if (nChecked == IDC_STYLE_SQUARE_TILED)
        OnSquareTiled();
    else if (nChecked == IDC_STYLE_CIRCULAR)
        OnCircular();
    else
        OnBox();
    CheckRadioButton(IDC_STYLE_BOX, IDC_STYLE_SQUARE_TILED, int(nChecked));
    return TRUE;
}

void PP1::ChooseTemplate(int nType, UINT nIDBitmap)
{
    m_nType = nType;
    m_bTiled = FALSE;
    m_strTilerName.Empty();
    m_bmpExample.DeleteObject();
    CRasterImage image;
    VantrelInitStyleExampleResources();
    if (HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(nIDBitmap), RT_BITMAP))
        image.LoadResource(resource, IMAGE_FORMAT_BMP);
    if (image.IsValid())
        m_bmpExample.Attach(image.MakeBitmap());
    m_picture.SetBitmap(m_bmpExample);
    SetModified(TRUE);
}

UINT PP1::ChoiceButton() const
{
    if (m_nType == BOX_TEMPLATE_TYPE && m_bTiled)
        return IDC_STYLE_SQUARE_TILED;
    return m_nType == RING_TEMPLATE_TYPE ? IDC_STYLE_CIRCULAR : IDC_STYLE_BOX;
}

void PP1::RefuseTemplate(int nType)
{
    AfxMessageBox(RefuseTemplateType(nType), MB_OK | MB_ICONINFORMATION);
    CheckRadioButton(IDC_STYLE_BOX, IDC_STYLE_SQUARE_TILED, int(ChoiceButton()));
}

void PP1::OnBox() { ChooseTemplate(BOX_TEMPLATE_TYPE, IDB_EXAMPLE_BOX); }
void PP1::OnTriangular() { RefuseTemplate(3); }
void PP1::OnOctagonBox() { RefuseTemplate(2); }
void PP1::OnHex() { RefuseTemplate(1); }
void PP1::OnTrapezoidBox() { RefuseTemplate(4); }
void PP1::OnQuadTriangle() { RefuseTemplate(5); }
void PP1::OnCircular() { ChooseTemplate(RING_TEMPLATE_TYPE, IDB_EXAMPLE_CIRCULAR); }

CString PP1::ListText() const
{
    CString text;
    m_comboTiler.GetLBText(m_comboTiler.GetCurSel(), text);
    return text;
}

void PP1::OnSquareTiled()
{
    m_nType = 0;
    m_bTiled = TRUE;
    m_strTilerName = ListText();
    LoadSelectedTiler(nullptr);
    CRasterImage preview;
    m_previewTiler.MakePreview(preview, kPreviewSize, kPreviewSize);
    m_bmpPreview.DeleteObject();
    m_bmpPreview.Attach(preview.MakeBitmap());
    m_picture.SetBitmap(m_bmpPreview);
    SetModified(TRUE);
}

void PP1::OnSelChangeTiler()
{
    UpdateData(FALSE);
    OnSquareTiled();
}

void PP1::LoadBuiltin(CBMPTiler& tiler) { tiler.ParseDefinition("", kBuiltinTileDefinition, kBuiltinTileSheet); }

void PP1::LoadSelectedTiler(CBMPTiler* pTiler)
{
    if (!pTiler) {
        UpdateData(FALSE);
        pTiler = &m_previewTiler;
        m_strStyle = ListText();
        m_nTilerSel = std::max(m_comboTiler.GetCurSel(), 0);
    }
    if (m_nTilerSel == 0) {
        LoadBuiltin(*pTiler);
        m_strTilerID.Format("%s%d", kBuiltinPrefix, int(kBuiltinTileSheet));
        return;
    }
    for (size_t i = 0; i < m_tilerNames.size(); ++i)
        if (m_tilerNames[i] == m_strTilerName) {
            pTiler->LoadFromFile(m_tilerPaths[i], m_strTilerDir);
            m_strTilerID = m_tilerIDs[i];
        }
}

BOOL PP1::LoadTiler(CBMPTiler& tiler, const CString& reference)
{
    if (reference.IsEmpty()) {
        LoadSelectedTiler(&tiler);
        return TRUE;
    }
    const int prefixLength = int(std::strlen(kBuiltinPrefix));
    if (reference.Left(prefixLength) == kBuiltinPrefix) {
        const int id = std::atoi(reference.Mid(prefixLength).GetString());
        if (id != int(kBuiltinTileSheet)) {
            CString message;
            message.Format("ERROR, Quillmont Internal Maze Tiler with ID=%d could not be located in this version of "
                           "the program.  The default Tiler is being loaded.  You may need to upgrade to a "
                           "newer/different version of Quillmont.",
                           id);
            AfxMessageBox(message, MB_OKCANCEL);
        }
        LoadBuiltin(tiler);
        return TRUE;
    }
    // The lists are filled when the page opens; a set installed since, or a load before the page was
    // ever shown, finds its file through a fresh look at the folder.
    auto find = [&] { return std::find(m_tilerIDs.begin(), m_tilerIDs.end(), reference); };
    if (find() == m_tilerIDs.end())
        ScanTilerFolder();
    auto it = find();
    if (it != m_tilerIDs.end()) {
        tiler.LoadFromFile(m_tilerPaths[size_t(it - m_tilerIDs.begin())], m_strTilerDir);
        return TRUE;
    }
    // A reference that is the path of a definition file elsewhere loads it with its sheet beside it.
    const std::filesystem::path path(reference.GetString());
    if (!path.has_parent_path() || DefinitionText(path).empty())
        return FALSE;
    const CString dir = (path.parent_path().string() + "/").c_str();
    tiler.LoadFromFile(reference, dir);
    return TRUE;
}
