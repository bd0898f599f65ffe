#include "AboutDlg.h"

#include "framework/Strings.h"

void AddAboutToSystemMenu(HWND hwnd) {
    const HMENU menu = ::GetSystemMenu(hwnd, FALSE);
    if (menu == nullptr) {
        return;
    }
    const std::string text = LoadResString(IDS_ABOUTBOX);
    if (text.empty()) {
        return;
    }
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text.c_str());
}

bool ShowAboutForCommand(UINT id) {
    // The system uses the low four bits of system commands itself.
    if ((id & 0xFFF0) != IDM_ABOUTBOX) {
        return false;
    }
    CAboutDlg about;
    about.DoModal();
    return true;
}
