#pragma once
// A private settings folder, recorded message boxes and scripted file dialogs for document tests.
#include "maze/CVantrelDoc.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace doc_test {

class DocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vantrel-doc-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
        AfxGetProfile().SetRegistryKey("Quillmont");
        AfxGetProfile().SetAppName("FREEQuillmont");
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes.push_back(std::string(r.text.GetString()));
            boxTypes.push_back(r.type);
            if (answers.empty())
                return MessageBoxDefaultAnswer(r.type);
            int a = answers.front();
            answers.pop_front();
            return a;
        });
        SetFileDialogHandler([this](const FileDialogRequest& r) {
            dialogs.push_back(r);
            FileDialogResult res;
            if (dialogAnswers.empty())
                return res;
            res = dialogAnswers.front();
            dialogAnswers.pop_front();
            return res;
        });
    }

    void TearDown() override
    {
        SetMessageBoxHandler({});
        SetFileDialogHandler({});
        SetMazeSetupSheetHandler({});
        SetVantrelDocShell({});
        std::filesystem::remove_all(m_dir);
    }

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    std::string IniPath() const { return m_dir + "/Quillmont/FREEQuillmont.ini"; }

    static std::vector<unsigned char> ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    void AnswerDialog(const std::string& path, DWORD filterIndex = 1)
    {
        FileDialogResult r;
        r.ok = true;
        r.path = path.c_str();
        r.filterIndex = filterIndex;
        dialogAnswers.push_back(r);
    }

    std::string m_dir;
    std::vector<std::string> boxes;
    std::vector<UINT> boxTypes;
    std::deque<int> answers;
    std::vector<FileDialogRequest> dialogs;
    std::deque<FileDialogResult> dialogAnswers;
};

} // namespace doc_test
