// The start-up baseline: the least a dialog program can do to show a window.
#include <windows.h>

namespace {

constexpr int kDialog = 100; // minimal_dialog.rc

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    // WM_CLOSE reaches a dialog as IDCANCEL.
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(
        ::DialogBoxParamA(instance, MAKEINTRESOURCEA(kDialog), nullptr, &DialogProc, 0));
}
