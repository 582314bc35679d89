#pragma once
// The application object: its names and profile, the document templates, the standard command line,
// the recent-file list, the framework's file commands, and the message loop with idle updates.
#include "platform/core/CCmdTarget.h"
#include "platform/core/CString.h"

#include <memory>
#include <vector>

class CDocTemplate;
class CRecentFileList;
class CDocument;
class CWnd;

// The standard command line: no argument means File New; one file name opens that document.
class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FileNothing = -1 } m_nShellCommand = FileNew;
    CString m_strFileName;

    virtual ~CCommandLineInfo() = default;
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    // Owned copies (malloc'd); replace them with free + strdup.
    const char* m_pszAppName = nullptr;
    const char* m_pszExeName = nullptr;
    const char* m_pszRegistryKey = nullptr;
    const char* m_pszProfileName = nullptr;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = 5; // SW_SHOW
    int m_nNumPreviewPages = 0;
    // The process's arguments (set by AfxWinMain).
    std::vector<CString> m_args;

    virtual BOOL InitApplication() { return TRUE; }
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    // The message loop; returns ExitInstance's result.
    virtual int Run();
    // Idle processing: the main frame's bars take their update states. Returns FALSE (no more work).
    virtual BOOL OnIdle(LONG lCount);

    // The profile lives under the registry key and the application name (see platform/core/Profile.h).
    void SetRegistryKey(const char* lpszRegistryKey);
    UINT GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault);
    CString GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault = nullptr);
    BOOL GetProfileBinary(const char* lpszSection, const char* lpszEntry, BYTE** ppData, UINT* pBytes);
    BOOL WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue);
    BOOL WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue);
    BOOL WriteProfileBinary(const char* lpszSection, const char* lpszEntry, const BYTE* pData, UINT nBytes);

    // Reads the recent-file list ("Recent File List", entries "File1".."FileN") and "PreviewPages" of
    // "Settings"; SaveStdProfileSettings writes them back.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    virtual void AddToRecentFileList(const char* lpszPathName);
    // The names of the list, most recent first (empty when the list was not loaded).
    std::vector<CString> GetRecentFileNames() const;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;

    void AddDocTemplate(CDocTemplate* pTemplate);
    const std::vector<CDocTemplate*>& GetDocTemplates() const { return m_templates; }

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    virtual CDocument* OpenDocumentFile(const char* lpszFileName);

    // The file dialog of the framework's open and save (through the file-dialog seam).
    virtual BOOL DoPromptFileName(CString& fileName, BOOL bOpenFileDialog, CDocTemplate* pTemplate);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);

    // nCode 1 shows the wait cursor (nested), -1 ends one level, 0 shows it again after a change.
    virtual void DoWaitCursor(int nCode);

    CWnd* GetMainWnd() const { return m_pMainWnd; }

    // Framework commands.
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    void OnOpenRecentFile(UINT nID);
    void OnFilePrintSetup();

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CDocTemplate*> m_templates;
    int m_nWaitCursorCount = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// What the File menu's Print Setup command runs. Printing is a layer above this one (platform/print),
// which installs its command here when a program links it; until then the command does nothing.
using PrintSetupCommand = BOOL (*)();
void AfxSetPrintSetupCommand(PrintSetupCommand command);
// The framework's entry: makes the Qt application, installs the layer's handlers, runs InitInstance and
// the message loop of the one CWinApp object. Returns the exit code.
int AfxWinMain(int argc, char** argv);
// Installs the Qt message box, file dialog, wait cursor and string-table handlers; called by
// AfxWinMain, and by tests that drive windows without it.
void AfxInstallWindowHandlers();
BOOL AfxEnableControlContainer();
BOOL AfxInitRichEdit();
