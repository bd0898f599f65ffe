#pragma once

#include "Dialog.h"

#include <commdlg.h>

#include <string>

// The platform's open-file picker, single selection.
class CFileDialog {
public:
    // filter: label and pattern pairs separated by '|', e.g. "Text (*.txt)|*.txt|".
    CFileDialog(DWORD flags, const std::string& filter, CDialog* parent);

    void SetTitle(const std::string& title) { m_title = title; }
    void SetInitialFolder(const std::string& folder) { m_initialFolder = folder; }

    // IDOK once a file was chosen, IDCANCEL otherwise.
    INT_PTR DoModal();
    // Full path of the chosen file.
    std::string GetPathName() const;
    // Name and extension of the chosen file, without its folder.
    std::string GetFileName() const;

    // For test hosts only: while set, DoModal asks `answer` instead of showing
    // the picker; it returns true with a full path, or false for Cancel.
    using TestAnswer = bool (*)(std::string& path);
    static void SetTestAnswer(TestAnswer answer);

private:
    DWORD m_flags;
    std::string m_filter;
    CDialog* m_parent;
    std::string m_title;
    std::string m_initialFolder;
    std::string m_path;
    std::string m_name;
};
