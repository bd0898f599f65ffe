#include "DllSearch.h"

#include <windows.h>

void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr) {
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Also drops the current folder where the call above is missing.
    ::SetDllDirectoryA("");
}
