// Entry point of a program built on CWinApp; linked into the program only, so
// test executables keep their own main.
#include "WinApp.h"

namespace {

// Loads DLLs from the system folder only, so nothing planted beside the program
// or in a folder the user browsed to is ever picked up. Older systems without
// the call keep their defaults.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr) {
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryA("");
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    // The command line is not used. A dialog program runs entirely inside its hook.
    app->InitInstance();
    return app->ExitInstance();
}
