#include "platform/ui/CWinApp.h"

#include "platform/core/CDocument.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/core/RecentFileList.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CSingleDocTemplate.h"
#include "platform/ui/QtText.h"
#include "platform/ui/TrackerLoop.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <cstdlib>
#include <cstring>

namespace {
CWinApp* g_pApp = nullptr;

char* Dup(const char* s) { return s ? strdup(s) : nullptr; }

void Release(const char*& s)
{
    std::free(const_cast<char*>(s));
    s = nullptr;
}

const char* const kRecentSection = "Recent File List";
const char* const kSettingsSection = "Settings";

// A real message box: the application name as caption, the buttons and icon of the request.
int ShowQtMessageBox(const MessageBoxRequest& request)
{
    QMessageBox box;
    CString caption = request.caption;
    if (caption.IsEmpty() && AfxGetApp() && AfxGetApp()->m_pszAppName)
        caption = AfxGetApp()->m_pszAppName;
    box.setWindowTitle(QStr(caption));
    box.setText(QStr(request.text));
    switch (request.type & MB_ICONMASK) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Button {
        QMessageBox::StandardButton qt;
        int answer;
    };
    std::vector<Button> buttons;
    switch (request.type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    default:
        buttons = {{QMessageBox::Ok, IDOK}};
        break;
    }
    QMessageBox::StandardButtons all;
    for (const Button& b : buttons)
        all |= b.qt;
    box.setStandardButtons(all);
    const std::size_t def = (request.type & MB_DEFMASK) >> 8;
    box.setDefaultButton(buttons[def < buttons.size() ? def : 0].qt);
    const int result = box.exec();
    for (const Button& b : buttons)
        if (b.qt == result)
            return b.answer;
    // Closed without a button: the Cancel answer when there is one, else the first.
    for (const Button& b : buttons)
        if (b.answer == IDCANCEL)
            return IDCANCEL;
    return buttons.front().answer;
}

FileDialogResult ShowQtFileDialog(const FileDialogRequest& request)
{
    QStringList filters;
    for (const auto& [text, patterns] : ParseFileDialogFilter(request.filter)) {
        // Qt reads a filter's patterns from the parentheses that end its text, separated by spaces. A
        // text that names its patterns there already, as the program's texts do, shows them once.
        QString label = QStr(text);
        QString p = QStr(patterns);
        p.replace(';', ' ');
        bool named = false;
        for (const QString& shown : {"(" + QStr(patterns) + ")", "(" + p + ")"})
            if (!named && label.endsWith(shown)) {
                label.chop(shown.size());
                named = true;
            }
        filters << (named ? label : label + " ") + "(" + p + ")";
    }
    QFileDialog dialog(nullptr, QStr(request.title), QPathStr(request.initialDir));
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.open && !(request.flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int i = int(request.filterIndex) - 1;
        if (i >= 0 && i < filters.size())
            dialog.selectNameFilter(filters[i]);
    }
    if (!request.fileName.IsEmpty())
        dialog.selectFile(QPathStr(request.fileName));
    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    result.ok = true;
    result.path = dialog.selectedFiles().front().toLocal8Bit().constData();
    result.filterIndex = DWORD(filters.indexOf(dialog.selectedNameFilter()) + 1);
    return result;
}

void QtWaitCursor(int nCode)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(nCode);
}
} // namespace

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL)
{
    if (bFlag)
        return;
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        m_nShellCommand = FileOpen;
    }
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
    ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
    ON_COMMAND(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup)
    ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, &CWinApp::OnOpenRecentFile)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* lpszAppName)
{
    g_pApp = this;
    m_pszAppName = Dup(lpszAppName);
    // Documents that take a path list it with the application.
    SetRecentFileHandler([](const char* lpszPathName) {
        if (CWinApp* pApp = AfxGetApp())
            pApp->AddToRecentFileList(lpszPathName);
    });
}

CWinApp::~CWinApp()
{
    for (CDocTemplate* pTemplate : m_templates)
        delete pTemplate;
    m_templates.clear();
    Release(m_pszAppName);
    Release(m_pszExeName);
    Release(m_pszRegistryKey);
    Release(m_pszProfileName);
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp() { return g_pApp; }
CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }

BOOL AfxEnableControlContainer() { return TRUE; }
BOOL AfxInitRichEdit() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

BOOL CWinApp::OnIdle(LONG)
{
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pMainWnd))
        pFrame->OnIdleUpdateCmdUI();
    return FALSE;
}

int CWinApp::Run()
{
    // Idle time is when the loop is about to wait for the next event.
    bool bInIdle = false;
    const QMetaObject::Connection idle = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, qApp,
                     [this, &bInIdle] {
                         if (bInIdle)
                             return;
                         bInIdle = true;
                         OnIdle(0);
                         bInIdle = false;
                     });
    QApplication::exec();
    QObject::disconnect(idle);
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey)
{
    Release(m_pszRegistryKey);
    m_pszRegistryKey = Dup(lpszRegistryKey);
    Release(m_pszProfileName);
    m_pszProfileName = Dup(m_pszAppName);
    AfxGetProfile().SetRegistryKey(lpszRegistryKey);
    AfxGetProfile().SetAppName(m_pszAppName ? m_pszAppName : "");
}

UINT CWinApp::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault)
{
    return AfxGetProfile().GetProfileInt(lpszSection, lpszEntry, nDefault);
}

CString CWinApp::GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault)
{
    return AfxGetProfile().GetProfileString(lpszSection, lpszEntry, lpszDefault);
}

BOOL CWinApp::GetProfileBinary(const char* lpszSection, const char* lpszEntry, BYTE** ppData, UINT* pBytes)
{
    return AfxGetProfile().GetProfileBinary(lpszSection, lpszEntry, ppData, pBytes);
}

BOOL CWinApp::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue)
{
    return AfxGetProfile().WriteProfileInt(lpszSection, lpszEntry, nValue);
}

BOOL CWinApp::WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue)
{
    return AfxGetProfile().WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

BOOL CWinApp::WriteProfileBinary(const char* lpszSection, const char* lpszEntry, const BYTE* pData, UINT nBytes)
{
    return AfxGetProfile().WriteProfileBinary(lpszSection, lpszEntry, pData, nBytes);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    m_pRecentFileList.reset();
    if (nMaxMRU > 0) {
        m_pRecentFileList = std::make_unique<CRecentFileList>(ID_FILE_MRU_FILE1, kRecentSection, "File%d", int(nMaxMRU));
        m_pRecentFileList->ReadList(AfxGetProfile());
    }
    m_nNumPreviewPages = int(GetProfileInt(kSettingsSection, "PreviewPages", 0));
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList(AfxGetProfile());
    WriteProfileInt(kSettingsSection, "PreviewPages", m_nNumPreviewPages);
}

void CWinApp::AddToRecentFileList(const char* lpszPathName)
{
    if (m_pRecentFileList && lpszPathName && *lpszPathName)
        m_pRecentFileList->Add(lpszPathName);
}

std::vector<CString> CWinApp::GetRecentFileNames() const
{
    std::vector<CString> names;
    for (int i = 0; m_pRecentFileList && i < m_pRecentFileList->GetSize(); ++i)
        if (!(*m_pRecentFileList)[i].IsEmpty())
            names.push_back((*m_pRecentFileList)[i]);
    return names;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) { m_templates.push_back(pTemplate); }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (std::size_t i = 1; i < m_args.size(); ++i) {
        const CString& arg = m_args[i];
        const bool bFlag = arg.GetLength() > 1 && (arg[0] == '-' || arg[0] == '/') && arg.Find('/', 1) < 0;
        rCmdInfo.ParseParam(bFlag ? arg.Mid(1).GetString() : arg.GetString(), bFlag, i + 1 == m_args.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    default:
        return TRUE;
    }
}

CDocument* CWinApp::OpenDocumentFile(const char* lpszFileName)
{
    if (m_templates.empty())
        return nullptr;
    return m_templates.front()->OpenDocumentFile(lpszFileName);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, BOOL bOpenFileDialog, CDocTemplate* pTemplate)
{
    if (!pTemplate && !m_templates.empty())
        pTemplate = m_templates.front();
    CString filter, ext;
    if (pTemplate) {
        pTemplate->GetDocString(filter, CDocTemplate::filterName);
        pTemplate->GetDocString(ext, CDocTemplate::filterExt);
    }
    FileDialogRequest request;
    request.open = bOpenFileDialog;
    request.fileName = fileName;
    request.flags = bOpenFileDialog ? OFN_HIDEREADONLY | OFN_FILEMUSTEXIST : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!filter.IsEmpty() && !ext.IsEmpty())
        request.filter = filter + "|*" + ext + "|";
    request.filter += "All Files (*.*)|*.*||";
    request.defaultExt = ext.IsEmpty() ? ext : ext.Mid(ext[0] == '.' ? 1 : 0);
    const FileDialogResult result = ShowFileDialog(request);
    if (!result.ok)
        return FALSE;
    fileName = result.path;
    return TRUE;
}

BOOL CWinApp::SaveAllModified()
{
    for (CDocTemplate* pTemplate : m_templates)
        if (!pTemplate->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* pTemplate : m_templates)
        pTemplate->CloseAllDocuments(bEndSession);
    m_pMainWnd = nullptr;
    QCoreApplication::quit();
}

void CWinApp::DoWaitCursor(int nCode)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (nCode > 0) {
        ++m_nWaitCursorCount;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (nCode < 0) {
        if (m_nWaitCursorCount > 0) {
            --m_nWaitCursorCount;
            QApplication::restoreOverrideCursor();
        }
    } else if (m_nWaitCursorCount > 0) {
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    }
}

void CWinApp::OnFileNew()
{
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CString path;
    if (!DoPromptFileName(path, TRUE, nullptr))
        return;
    OpenDocumentFile(path);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->OnClose();
}

void CWinApp::OnOpenRecentFile(UINT nID)
{
    const int i = int(nID - ID_FILE_MRU_FILE1);
    if (!m_pRecentFileList || i < 0 || i >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[i].IsEmpty())
        return;
    const CString path = (*m_pRecentFileList)[i];
    // A file that cannot be opened leaves the list.
    if (!OpenDocumentFile(path))
        m_pRecentFileList->Remove(i);
}

namespace {
PrintSetupCommand g_printSetupCommand = nullptr;
} // namespace

void AfxSetPrintSetupCommand(PrintSetupCommand command) { g_printSetupCommand = command; }

void CWinApp::OnFilePrintSetup()
{
    if (g_printSetupCommand)
        g_printSetupCommand();
}

void AfxInstallWindowHandlers()
{
    SetMessageBoxHandler(ShowQtMessageBox);
    SetFileDialogHandler(ShowQtFileDialog);
    SetWaitCursorHandler(QtWaitCursor);
    AfxInstallTrackerLoop();
    SetStringResourceLoader([](UINT id) { return CString(AfxFindString(id) ? AfxFindString(id) : ""); });
}

int AfxWinMain(int argc, char** argv)
{
    QApplication app(argc, argv);
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_args.clear();
    for (int i = 0; i < argc; ++i)
        pApp->m_args.emplace_back(argv[i]);
    AfxInstallWindowHandlers();
    int nReturnCode = -1;
    if (pApp->InitApplication() && pApp->InitInstance()) {
        nReturnCode = pApp->Run();
    } else {
        if (pApp->m_pMainWnd)
            pApp->CloseAllDocuments(TRUE);
        nReturnCode = pApp->ExitInstance();
    }
    // Windows go before the Qt application object.
    for (CDocTemplate* pTemplate : pApp->GetDocTemplates())
        pTemplate->CloseAllDocuments(TRUE);
    QCoreApplication::processEvents();
    return nReturnCode;
}
