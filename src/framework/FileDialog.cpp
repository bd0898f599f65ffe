#include "FileDialog.h"

#include "SystemLibrary.h"

#include <vector>

CFileDialog::CFileDialog(DWORD flags, const std::string& filter, CDialog* parent)
    : m_flags(flags), m_filter(filter), m_parent(parent) {
    // The picker wants each label and pattern ended by a zero, the list by two.
    for (char& c : m_filter) {
        if (c == '|') {
            c = '\0';
        }
    }
    m_filter.push_back('\0');
}

namespace {
CFileDialog::TestAnswer g_testAnswer = nullptr;
}

void CFileDialog::SetTestAnswer(TestAnswer answer) {
    g_testAnswer = answer;
}

INT_PTR CFileDialog::DoModal() {
    if (g_testAnswer != nullptr) {
        std::string path;
        if (!g_testAnswer(path)) {
            return IDCANCEL;
        }
        m_path = path;
        const std::string::size_type slash = path.rfind('\\');
        m_name = slash == std::string::npos ? path : path.substr(slash + 1);
        return IDOK;
    }

    // Room for long paths; a path that still does not fit fails the picker.
    std::vector<char> file(32768, '\0');

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_parent != nullptr ? m_parent->GetSafeHwnd() : nullptr;
    ofn.lpstrFilter = m_filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = m_initialFolder.empty() ? nullptr : m_initialFolder.c_str();
    ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
    // Explorer style and a resizable picker, as users expect today.
    ofn.Flags = m_flags | OFN_EXPLORER | OFN_ENABLESIZING;

    // Without the picker nothing can be chosen: the same as a cancel.
    static const auto getOpenFileName =
        SystemFunction<decltype(::GetOpenFileNameA)>(L"comdlg32.dll", "GetOpenFileNameA");
    if (getOpenFileName == nullptr || !getOpenFileName(&ofn)) {
        return IDCANCEL;
    }
    m_path = file.data();
    m_name = ofn.nFileOffset < m_path.size() ? m_path.substr(ofn.nFileOffset) : std::string();
    return IDOK;
}

std::string CFileDialog::GetPathName() const {
    return m_path;
}

std::string CFileDialog::GetFileName() const {
    return m_name;
}
