#include "FileState.h"

#include "WideText.h"

bool operator==(const FileState& a, const FileState& b) {
    if (!a.exists || !b.exists) {
        return a.exists == b.exists;
    }
    return a.size == b.size && ::CompareFileTime(&a.lastWrite, &b.lastWrite) == 0;
}

FileState ReadFileState(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FileState state;
    if (!::GetFileAttributesExW(ToLongPathW(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return state;
    }
    state.exists = true;
    state.lastWrite = data.ftLastWriteTime;
    state.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return state;
}
