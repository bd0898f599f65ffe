#pragma once

#include <windows.h>

// DLLs that only some commands need are loaded when first used, not at start,
// and only from the system folder: a DLL of the same name beside the program or
// in a folder the user browsed to is never taken.
//
// Loads `name` from the system folder, or returns null.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The function `name` of system DLL `dll`, or null when either is missing.
// Fn is the function's own type, e.g. decltype(::GetOpenFileNameA), so the
// pointer carries the declared calling convention on every architecture.
template <class Fn> Fn* SystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE module = LoadSystemLibrary(dll);
    if (module == nullptr) {
        return nullptr;
    }
    // Through void*: FARPROC and Fn* are both plain code addresses.
    return reinterpret_cast<Fn*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
