#pragma once

// Driving the built program's windows from another process: its captions and
// control ids, and finding and messaging its dialogs. Shared by the app tests
// and the demo driver.
#include <windows.h>

#include <string>

namespace program_window {

inline const wchar_t kMainCaption[] = L"Zendry Certificate Authority Updater";
inline const wchar_t kPickerCaption[] = L"Find Certificates";

// The main window's controls.
constexpr int kCertList = 1000;
constexpr int kAdd = 1001;
constexpr int kRemove = 1002;
constexpr int kGenerate = 1003;

// The explorer-style picker: file-name box (a combo box, or a plain edit) and file type.
constexpr int kPickerNameCombo = 0x47C;
constexpr int kPickerNameEdit = 0x480;
constexpr int kPickerTypeCombo = 0x470;

constexpr DWORD kSendTimeoutMs = 10000;

inline std::wstring WindowText(HWND hwnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

// A message to the other process; a hung program gives -1 instead of blocking.
inline LRESULT Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

struct DialogSearch {
    DWORD pid;
    const wchar_t* caption; // none: any caption but the picker's
    HWND except;
    HWND found;
};

// A named callback: the 32-bit build needs the stdcall convention, which a lambda lacks.
inline BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->pid && hwnd != search->except && ::IsWindowVisible(hwnd) &&
        ClassOf(hwnd) == L"#32770" &&
        (search->caption != nullptr ? WindowText(hwnd) == search->caption
                                    : WindowText(hwnd) != kPickerCaption)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog window of process `pid`, other than `except`.
inline HWND FindDialog(DWORD pid, const wchar_t* caption, HWND except = nullptr) {
    DialogSearch search{pid, caption, except, nullptr};
    ::EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The picker's file-name box: the edit inside its combo box, or a plain edit.
inline HWND PickerNameBox(HWND picker) {
    if (const HWND combo = ::GetDlgItem(picker, kPickerNameCombo); combo != nullptr) {
        if (const HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) {
            return edit;
        }
        return combo;
    }
    return ::GetDlgItem(picker, kPickerNameEdit);
}

} // namespace program_window
