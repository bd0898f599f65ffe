#include "Dialog.h"

#include "WaitCursor.h"
#include "WinApp.h"

#include <algorithm>
#include <iterator>

CDialog::CDialog(UINT templateId, CDialog* parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR CDialog::DoModal() {
    HWND owner = nullptr;
    if (m_parent != nullptr) {
        owner = m_parent->m_hWnd;
    } else if (CWinApp* app = AfxGetApp();
               app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this) {
        owner = app->m_pMainWnd->m_hWnd;
    }
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

HWND CDialog::GetDlgItem(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hwnd;
        ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        self->m_hWnd = nullptr;
        return FALSE;
    }

    LRESULT result = 0;
    if (!self->Handle(message, wParam, lParam, result)) {
        return FALSE;
    }
    switch (message) {
    // These return their result straight from the dialog procedure.
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

namespace {
// What a busy dialog does not run: clicks, menu and system commands, close requests.
const UINT kCommands[] = {WM_COMMAND, WM_SYSCOMMAND, WM_CLOSE, BM_CLICK};
} // namespace

CDialog::CBusyScope::CBusyScope(CDialog& dialog) : m_dialog(dialog), m_focus(::GetFocus()) {
    m_dialog.m_busy = true;
    ::EnableWindow(m_dialog.m_hWnd, FALSE);
}

CDialog::CBusyScope::~CBusyScope() {
    // Posted ones would run as soon as the dialog's loop read them. Reading the
    // queue also delivers what was sent meanwhile, still while busy.
    MSG msg;
    for (const UINT command : kCommands) {
        while (::PeekMessageA(&msg, nullptr, command, command, PM_REMOVE)) {
        }
    }
    m_dialog.m_busy = false;
    ::EnableWindow(m_dialog.m_hWnd, TRUE);
    if (m_focus != nullptr && ::IsWindow(m_focus)) {
        ::SetFocus(m_focus);
    }
}

bool CDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    m_runDefault = false;
    if (m_busy &&
        std::find(std::begin(kCommands), std::end(kCommands), message) != std::end(kCommands)) {
        result = 0;
        return true;
    }
    if (DispatchFromTable(message, wParam, lParam, result)) {
        return !m_runDefault;
    }
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        CenterWindow();
        return true;
    case WM_SETCURSOR:
        // Over the window and its controls alike, which ask their parent first.
        if (CWaitCursor::Refresh()) {
            result = TRUE;
            return true;
        }
        return false;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
            OnOK();
            return true;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return true;
        }
        // Commands the dialog does not know go on to the application's table.
        if (CWinApp* app = AfxGetApp(); app != nullptr) {
            return app->DispatchFromTable(message, wParam, lParam, result);
        }
        return false;
    default:
        return false;
    }
}

void CDialog::CenterWindow() {
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const HMONITOR monitor = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoA(monitor, &info);
    const RECT work = info.rcWork;

    // Over a visible owner, otherwise over the screen's work area.
    RECT area = work;
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    }

    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG left = area.left + (area.right - area.left - width) / 2;
    LONG top = area.top + (area.bottom - area.top - height) / 2;
    // Keep the whole window on the work area where it fits.
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
