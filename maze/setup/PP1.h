#pragma once
// The Style page of the Maze Setup sheet: the template type, or a square template drawn with a tile
// set chosen from a list (the built-in set and the definition files of the installation's "Tiler"
// folder), with a preview of the set. The page object outlives its window and also resolves tile-set
// references for the view, which has it load the document's set.
#include "platform/ui/CPropertyPage.h"
#include "tiles/CBMPTiler.h"

#include <vector>

class PP1 : public CPropertyPage {
    DECLARE_DYNCREATE(PP1)
public:
    // The list entry of the built-in set, and the reference string of a built-in sheet (":ID:#180").
    static constexpr const char* kBuiltinTilerName = "Std Black Line 200x200";
    static constexpr const char* kBuiltinPrefix = ":ID:#";
    static constexpr int kPreviewSize = 100;

    PP1();
    ~PP1() override;

    BOOL OnInitDialog() override;

    void OnBox();
    // The types without a grid builder say so and keep the current choice.
    void OnTriangular();
    void OnOctagonBox();
    void OnHex();
    void OnTrapezoidBox();
    void OnQuadTriangle();
    void OnCircular();
    void OnSquareTiled();
    void OnSelChangeTiler();

    // Loads the set chosen in the list into pTiler; with none, reads the list and loads the preview set.
    void LoadSelectedTiler(CBMPTiler* pTiler);
    // Loads the set that a reference string names into tiler: empty, the list's stored choice; ":ID:#n",
    // the built-in set (with a message when n is not its sheet); else the installed set of that
    // reference, or the definition file a path reference names. Works without the page's window.
    // Returns whether something was loaded.
    BOOL LoadTiler(CBMPTiler& tiler, const CString& reference);
    // Refills the installed lists from m_strTilerDir: every file whose text defines tiles, by file name.
    void ScanTilerFolder();

    CBitmap m_bmpExample;
    int m_nType = 0;
    BOOL m_bTiled = FALSE;
    CString m_strTilerName;
    CString m_strTilerID;
    CBMPTiler m_previewTiler;
    CStatic m_picture;
    CComboBox m_comboTiler;
    int m_nTilerSel = 0;
    CString m_strStyle;
    // Installed sets: definition file, list name and reference string (the file's name in the folder).
    std::vector<CString> m_tilerPaths;
    std::vector<CString> m_tilerNames;
    std::vector<CString> m_tilerIDs;
    int m_nTilerCount = 0;
    // The installed sets' folder, ending with a separator.
    CString m_strTilerDir;
    // The preview's bitmap, shown in m_picture; replaced by each preview.
    CBitmap m_bmpPreview;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()

private:
    void ChooseTemplate(int nType, UINT nIDBitmap);
    void RefuseTemplate(int nType);
    // The radio button of the current choice.
    UINT ChoiceButton() const;
    void LoadBuiltin(CBMPTiler& tiler);
    // The list entry to open on: the installed set the reference names, else the stored selection.
    int InitialSelection() const;
    CString ListText() const;
};
