#pragma once

#include "UniqueHandle.h"

#include <string>

// Directory search for a path or wildcard pattern. Files and folders alike are
// entries, in the file system's own order.
//
//   CFileFind find;
//   for (bool more = find.FindFile(pattern); more; more = find.FindNextFile())
//       use(find.GetFileName());
class CFileFind {
public:
    // Starts a search; true when at least one entry matches. The first entry is current.
    bool FindFile(const std::string& pattern);
    // Moves to the next entry; false when there is none.
    bool FindNextFile();
    // Name and extension of the current entry, without its folder.
    const std::string& GetFileName() const { return m_name; }
    // True when the current entry is a folder.
    bool IsDirectory() const { return (m_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    void Close();

private:
    UniqueFindHandle m_find;
    std::string m_name;
    DWORD m_attributes = 0;
};
