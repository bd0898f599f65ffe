#pragma once

#include <windows.h>

#include <string>

// What can be seen of a file without opening it: whether it is there, when it
// was last written and how large it is. A folder is no file. On a file system
// with a coarse clock, a rewrite of the same size can leave the state as it was.
struct FileState {
    bool exists = false;
    FILETIME lastWrite{};
    ULONGLONG size = 0;
};

bool operator==(const FileState& a, const FileState& b);

FileState ReadFileState(const std::string& path);
