// A DLL planted under the name of a system DLL: when any process loads it, it
// appends that process's path to the file named by ZC_PLANTED_MARKER.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    char marker[MAX_PATH * 4] = {};
    char process[MAX_PATH * 4] = {};
    if (::GetEnvironmentVariableA("ZC_PLANTED_MARKER", marker, sizeof marker) == 0) {
        return TRUE;
    }
    ::GetModuleFileNameA(nullptr, process, sizeof process - 2);
    lstrcatA(process, "\r\n");
    const HANDLE file = ::CreateFileA(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, process, static_cast<DWORD>(lstrlenA(process)), &written, nullptr);
        ::CloseHandle(file);
    }
    // Refuse to stay: the real system DLL must still be usable by whoever asked.
    return FALSE;
}
