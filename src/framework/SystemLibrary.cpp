#include "SystemLibrary.h"

#include <string>

HMODULE LoadSystemLibrary(const wchar_t* name) {
    // A loaded DLL stays loaded for the process: repeated calls find it at once.
    if (const HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return module;
    }
    // Systems without the search flags reject it as an invalid parameter: name
    // the file in the system folder instead, and let its own imports be found
    // from there.
    if (::GetLastError() != ERROR_INVALID_PARAMETER) {
        return nullptr;
    }
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::wstring path = std::wstring(folder, length) + L'\\' + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
