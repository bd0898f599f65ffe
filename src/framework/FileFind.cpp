#include "FileFind.h"

#include "WideText.h"

bool CFileFind::FindFile(const std::string& pattern) {
    Close();
    WIN32_FIND_DATAW data{};
    m_find.Reset(::FindFirstFileW(ToLongPathW(pattern).c_str(), &data));
    if (!m_find) {
        return false;
    }
    m_name = FromWide(data.cFileName);
    m_attributes = data.dwFileAttributes;
    return true;
}

bool CFileFind::FindNextFile() {
    WIN32_FIND_DATAW data{};
    if (!m_find || !::FindNextFileW(m_find.Get(), &data)) {
        Close();
        return false;
    }
    m_name = FromWide(data.cFileName);
    m_attributes = data.dwFileAttributes;
    return true;
}

void CFileFind::Close() {
    m_find.Reset();
    m_name.clear();
    m_attributes = 0;
}
